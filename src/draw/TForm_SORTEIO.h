#pragma once

#include "data/AppContext.h"
#include "draw/DrawRecords.h"
#include "draw/FederalDraw.h"
#include "draw/OwnDraw.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// The own draw on screen: spinning digits or numbers, the winning ticket, whether it is paid.
class TForm_SORTEIO : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SORTEIO(AppContext &ctx, QWidget *parent = nullptr);
    ~TForm_SORTEIO() override;

    OwnDraw &draw() { return m_draw; }

public Q_SLOTS:
    void BitBtn1Click();

private Q_SLOTS:
    void CHK_TodosClick();
    void CHK_PagosClick();
    void CHK_ControleClick();
    void CHK_FederalClick();
    void BTN_AtaClick();
    void BTN_AtaPDFClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void FormShow();
    void resetDisplay();
    void clearOtherOptions(QCheckBox *keep);
    void onTick(QTimer *timer);
    void stopTimers();
    void setSpinning(bool on);
    void LBL_BILDblClick();
    void LBL_AvisoPagoDblClick();
    void showBigNumber(bool visible, const QColor &colour);
    void setBigNumberShown(bool shown);
    void buildFederalPanel();
    void sortearFederal();
    void record(DrawRecord &record, const std::optional<TicketRow> &winner);
    std::optional<DrawRecord> recordForAta();
    QLabel *label(const QString &text, QRect place, int pixelSize, const QColor &colour,
                  const char *name = nullptr);

    AppContext &m_ctx;
    OwnDraw m_draw;
    FederalDraw m_federal;
    DrawRecords m_records;
    int m_lastRecord = 0; // the draw recorded in this opening, for its "Ata"
    std::optional<TicketRow> m_winner;
    bool m_paidHidden = false;
    bool m_inTick = false;

    QLabel *LBL_NOME_RIFA = nullptr;
    std::array<QLabel *, 6> LN{};
    QLabel *LBL_NUM_SORT_AMPLIAR = nullptr;
    QLabel *LBL_BIL = nullptr;
    QLabel *LBL_AvisoPago = nullptr;
    QFrame *Shape_Pago = nullptr;
    QLabel *LBL_PAGO_AMPLI = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QCheckBox *CHK_Todos = nullptr;
    QCheckBox *CHK_Pagos = nullptr;
    QCheckBox *CHK_Controle = nullptr;
    QCheckBox *CHK_Federal = nullptr;
    QFrame *Panel_FEDERAL = nullptr;
    QLineEdit *Ed_Extracao = nullptr;
    QLineEdit *Ed_DataExtracao = nullptr;
    std::array<QLineEdit *, 5> Ed_Premio{};
    QComboBox *CMB_Regra = nullptr;
    QTableWidget *Grid_Premios = nullptr;
    QPushButton *BTN_Ata = nullptr;
    QPushButton *BTN_AtaPDF = nullptr;
    QFrame *Panel_GANHADOR = nullptr;
    QLabel *LBL_ID = nullptr;
    QLabel *LBL_CID = nullptr;
    QLabel *LBL_FONE = nullptr;
    QLabel *IMG_FecharGanhador = nullptr;
    QLabel *IMG_Fechar = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
};
