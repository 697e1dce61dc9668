#pragma once

#include "data/AppContext.h"
#include "data/WorkingRaffle.h"

#include <QMap>
#include <QWidget>

class QLabel;
class QMenu;

// The picture menu: a background picture with transparent hot areas and caption labels over it.
class TForm_RIFA : public QWidget {
    Q_OBJECT
public:
    enum class MenuEntry { Cadastro, Personalizar, Validacao, Vendedores, HTML, Sorteio, Consulta, Backup };

    explicit TForm_RIFA(const AppServices &services, QWidget *parent = nullptr);

    WorkingRaffle &raffle() { return m_raffle; }
    AppContext &context() { return m_ctx; }
    bool hoverFlag() const { return m_hover; }
    int tag() const { return m_tag; }

    // Colour values are written blue-green-red, low byte red.
    void MudarCor(QLabel *label, quint32 colour);
    static QColor colourOf(quint32 bgr);
    // A bold Arial caption of the menu picture, watched by the window for hover and clicks.
    static QLabel *menuCaption(QWidget *window, const char *name, QPoint place, const QString &text, int pixelSize,
                               quint32 colour);

    static QString helpManualAddress();
    static QString videoLessonsAddress();

public Q_SLOTS:
    void Img_CadastroClick();
    void LBL_CADASTRARClick();
    void Img_PersonClick();
    void LBL_PersonalizarClick();
    void Img_validaClick();
    void LBL_ValidacaoClick();
    void Img_VendedorClick();
    void Img_HTMLClick();
    void Img_sorteioClick();
    void Img_ConsultaClick();
    void LBL_BackupClick();
    void IMG_EscolherRifaClick();
    void LBL_AjudaClick();
    void ManualdeAjuda1Click();
    void VideoAulas1Click();
    void img_fecharClick();
    void img_tiraOcultoDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormActivate();
    // The one place where a menu entry opens its window.
    void openEntry(MenuEntry entry);
    static bool needsRaffle(MenuEntry entry);
    void openChooser();
    void refreshRaffleLabel();
    void resetCaptions();

    QLabel *addHotArea(const char *name, QRect place, const QString &hint, bool handCursor);
    QLabel *addCaption(const char *name, QPoint place, const QString &text, int pixelSize, bool handCursor);

    WorkingRaffle m_raffle;
    AppContext m_ctx;
    bool m_hover = false;
    int m_tag = 0;
    bool m_shown = false;
    bool m_handingOver = false;

    QLabel *IMG_FUNDO = nullptr;
    QLabel *LBL_RifaUsar = nullptr;
    QMenu *Pop_Ajuda = nullptr;
    QList<QLabel *> m_captions;              // the nine labels that hover recolours
    QMap<QObject *, QLabel *> m_hoverTarget; // hot area or caption -> caption it highlights
    QMap<QObject *, quint32> m_hoverColour;
    QMap<QObject *, void (TForm_RIFA::*)()> m_clicks;
};
