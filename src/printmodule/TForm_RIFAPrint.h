#pragma once

#include "data/AppContext.h"
#include "data/WorkingRaffle.h"

#include <QWidget>

class QLabel;

// The print module's main window; its menu is a reduced one of the main program's: the raffle named
// by the package is printed with the print-only designer, everything else is shown in grey.
class TForm_RIFAPrint : public QWidget {
    Q_OBJECT
public:
    explicit TForm_RIFAPrint(const AppServices &services, QWidget *parent = nullptr);

    WorkingRaffle &raffle() { return m_raffle; }
    AppContext &context() { return m_ctx; }

    static QString missingControlFileMessage();

public Q_SLOTS:
    void Img_PersonClick(); // "Imprimir Rifa"
    void IMG_EscolherRifaClick();
    void img_fecharClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    // The package's raffle, from COD_RIFA of the control file, becomes the working raffle.
    void loadPackageRaffle(const QString &codRifa);
    QLabel *addCaption(const char *name, QPoint place, const QString &text, int pixelSize, quint32 colour);
    QLabel *addHotArea(const char *name, QRect place, const QString &hint);

    WorkingRaffle m_raffle;
    AppContext m_ctx;
    bool m_shown = false;
    QLabel *IMG_FUNDO = nullptr;
    QLabel *LBL_RifaUsar = nullptr;
    QLabel *LBL_CADASTRAR = nullptr;
    QLabel *img_fechar = nullptr;
    QLabel *Img_Person = nullptr;
    QLabel *LBL_Personalizar = nullptr;
    QLabel *IMG_EscolherRifa = nullptr;
};
