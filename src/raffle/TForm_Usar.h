#pragma once

#include "data/AppContext.h"
#include "raffle/RaffleSelection.h"

#include <QDialog>

class QComboBox;
class QPushButton;

// "CONTROLE DE RIFAS A TRABALHAR": picks the working raffle among the active ones.
class TForm_Usar : public QDialog {
    Q_OBJECT
public:
    // The print module's chooser lists the same raffles but its CONFIRMAR does nothing.
    explicit TForm_Usar(AppContext &ctx, QWidget *parent = nullptr, bool confirmSetsRaffle = true);

public Q_SLOTS:
    void BTN_CONFIRMARClick();
    void BTN_ESCOLHERClick();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();

    AppContext &m_ctx;
    RaffleSelection m_selection;
    bool m_confirmSetsRaffle;
    bool m_leftByChoice = false;
    QComboBox *CMB_RIFA = nullptr;
    QPushButton *BTN_ESCOLHER = nullptr;
    QPushButton *BTN_CONFIRMAR = nullptr;
};
