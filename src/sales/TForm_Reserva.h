#pragma once

#include "data/AppContext.h"
#include "sales/ReserveBlock.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "KORVANTE - Reserva de Bilhetes": defines and removes the reserve block of the working raffle.
class TForm_Reserva : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Reserva(AppContext &ctx, QWidget *parent = nullptr);

    void MostrarDados();

    // A range that is not two control numbers.
    static QString invalidRangeMessage();

private Q_SLOTS:
    void Button1Click(); // "DEFINIR"
    void Button2Click(); // "Retirar Definição"

protected:
    void showEvent(QShowEvent *event) override;

private:
    AppContext &m_ctx;
    ReserveBlock m_block;
    int m_total = 0;

    QLineEdit *ED_INICIO = nullptr;
    QLineEdit *ED_FIM = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QTableWidget *DBGrid1 = nullptr;
    QLabel *LBL_TotalReservas = nullptr;
};
