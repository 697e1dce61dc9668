#pragma once

#include "data/AppContext.h"
#include "sales/SalesClosing.h"
#include "sales/ValidationListing.h"
#include "sales/Withdrawal.h"

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class QTableWidget;
class ValidatedRowsModel;

// The filter line the report prints: what the listed rows were chosen by ("Cidade:" or "Vendedor:").
struct ListingFilterText {
    QString label;
    QString value;
};

// The validated list of the validation window ("LISTA DE BILHETES VALIDADOS", Panel8) with its two
// floating panels, "Como deseja Ver?" and "Filtrar Por:", which it places on the window; withdrawal
// from the list or by number (F7), "Zerar Validações" and the sales report.
class WidgetValidatedList : public QFrame {
    Q_OBJECT
public:
    // window: the validation window, on which the list and its panels are placed.
    WidgetValidatedList(AppContext &ctx, QWidget *window);
    ~WidgetValidatedList() override;

    // The raffle's name shown in the window, which the report takes as its title.
    void setRaffleName(const QString &name) { m_raffleName = name; }
    const ValidationListing &listing() const { return m_listing; }

    // F7 in the ticket field: the answer goes into the field, which is cleared once withdrawn.
    void withdrawByNumber(QLineEdit *ticketField);

public Q_SLOTS:
    void Btn_verClick();              // "Ver validadas"
    void Button3Click();              // "PESQUISAR"
    void Button2Click();              // "Filtrar por..."
    void BitBtn1Click();              // "Filtrar"
    void img_imprmirValidadasClick(); // the sales report
    void Button1Click();              // "Zerar Validações"
    void RetirarValidacaoClick();     // withdrawal of the selected row
    void BTN_EncerrarVendasClick();
    void BTN_ReabrirVendasClick();
    void BTN_SalvarVendidosClick(); // the sold list of the closing, to a file

Q_SIGNALS:
    // Context menu entries that hand the selected ticket to the WhatsApp sending.
    void enviarPorWhatsApp(int numBilhete, const QString &phone);
    void agruparParaEnvio(int numBilhete, const QString &phone);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildList();
    void buildViewPanel(QWidget *window);
    void buildFilterPanel(QWidget *window);
    QLabel *closeImage(QWidget *parent, const char *name, int x);
    // Shows the rows of the filter; on a database error says so and keeps the list empty.
    bool runListing(const ListingFilter &filter, const ListingFilterText &text);
    // Counts and sums the rows of the list once its first screen is shown.
    bool countRows(QString *error);
    void showTotals();
    void reloadKeepingTotals();
    void rowChanged();
    void fillNumbers(int numBilhete);
    std::optional<ValidatedSale> selectedSale() const;
    void closeList();
    void closeViewPanel();
    void closeFilterPanel();
    void filterChoiceChanged();
    void popupMenu(const QPoint &pos);
    void showClosing();

    AppContext &m_ctx;
    ValidationListing m_listing;
    Withdrawal m_withdrawal;
    SalesClosing m_closing;
    ValidatedRowsModel *m_model = nullptr;
    QString m_raffleName;
    ListingFilterText m_filterText;

    QTableView *DBGrid3 = nullptr;
    QTableWidget *DBGrid1 = nullptr;
    QLabel *Lbl_N_Total = nullptr;
    QLabel *Lbl_TotalVend = nullptr;
    QLabel *img_imprmirValidadas = nullptr;
    QLabel *Img_FecharLista = nullptr;
    QMenu *Pop_Validadas = nullptr;
    QLabel *LBL_Encerramento = nullptr;
    QPushButton *BTN_EncerrarVendas = nullptr;
    QPushButton *BTN_ReabrirVendas = nullptr;
    QPushButton *BTN_SalvarVendidos = nullptr;

    QFrame *Panel_PeqVal = nullptr;
    QRadioButton *RB_Todas = nullptr;
    QRadioButton *RB_Intervalo = nullptr;
    QLineEdit *Ed_V_Inicial = nullptr;
    QLineEdit *Ed_V_Final = nullptr;
    QLabel *Img_FecharPeqVal = nullptr;

    QFrame *Panel_FiltroValidar = nullptr;
    QComboBox *cmb_PesqValidada = nullptr;
    QLineEdit *Ed_CidVal = nullptr;
    QComboBox *cmb_vendedor = nullptr;
    QLineEdit *DateEdit_De = nullptr;
    QLineEdit *DateEdit_Ate = nullptr;
    QLabel *Img_FecharFiltro = nullptr;
};
