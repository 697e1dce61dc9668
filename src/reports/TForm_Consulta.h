#pragma once

#include "data/AppContext.h"
#include "reports/TicketQuery.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The ticket query: who bought a ticket, and which ticket holds a number.
class TForm_Consulta : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Consulta(AppContext &ctx, QWidget *parent = nullptr);

    // Filled by the main window before the window is shown.
    void setRifaDefinida(const QString &raffleName, const QString &modalidade);

public Q_SLOTS:
    void Button1Click();

private Q_SLOTS:
    void CMB_TipoConsultaChange();
    void RB_ValidadosClick();
    void RB_GeraisClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void MostrarConfGridPadrao();
    void MostrarConfGridGeral();
    void fillGrids();
    TicketQuery::By queryBy() const;
    QString number(int value) const;

    AppContext &m_ctx;
    TicketQuery m_query;
    std::optional<BuyerRow> m_buyer;   // the buyer grid's row
    std::optional<TicketRow> m_ticket; // the ticket row: numbers grid, and the general layout
    bool m_general = false;
    bool m_busy = false;

    QLabel *LBL_StatusBingo = nullptr;
    QLabel *LBL_Modal = nullptr;
    QComboBox *CMB_TipoConsulta = nullptr;
    QLabel *LBL_Campo = nullptr;
    QLineEdit *Ed_numBilhete = nullptr;
    QPushButton *Button1 = nullptr;
    QRadioButton *RB_Validados = nullptr;
    QRadioButton *RB_Gerais = nullptr;
    QTableWidget *DBGrid1 = nullptr;
    QTableWidget *DBGrid2 = nullptr;
};
