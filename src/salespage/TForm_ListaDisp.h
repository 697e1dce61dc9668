#pragma once

#include "data/AppContext.h"
#include "salespage/ModalityFormat.h"
#include "salespage/SalesPageGenerator.h"
#include "salespage/SalesPageLists.h"
#include "salespage/SalesPageSettings.h"
#include "salespage/TicketListing.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;

// "Gerar Página HTML": lists the tickets for sale of the working raffle, keeps the order phones,
// the PIX key and the page names, and writes the sales page.
class TForm_ListaDisp : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ListaDisp(AppContext &ctx, QWidget *parent = nullptr);
    ~TForm_ListaDisp() override;

    TicketListing &CDS_ListarBIlhete() { return m_listing; }
    const ModalityFormat &numberFormat() const { return m_format; }

public Q_SLOTS:
    void Button4Click();
    void BTN_GerarClick();
    void Button2Click();
    void LBL_MaisFoneClick();
    void BTN_NovoClick();
    void BTN_ExcluirClick();
    void Img_FecharClick();
    void Label12Click();
    void BTN_NOVO_ARQ_SAIDAClick();
    void Button3Click();
    void Image1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void followRaffleRow();
    void chooseMode(QRadioButton *option);
    TicketListing::Mode mode() const;
    void fillPhones();
    void fillFileNames();
    void refreshPhoneGrid();
    void refreshFileGrid();
    void showTotal(int total);
    QLabel *clickable(const QString &text, const char *name, QWidget *parent);
    void settingTouched() { m_settings.setChanged(); }

    AppContext &m_ctx;
    TicketListing m_listing;
    SalesPageLists m_lists;
    SalesPageSettings m_settings;
    SalesPageGenerator m_generator;
    ModalityFormat m_format;
    bool m_shown = false;

    QLabel *LBL_StatusBingo = nullptr;
    QLabel *LBL_Modal = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QFrame *Panel_Bloco = nullptr;
    QLineEdit *Entre_1 = nullptr;
    QLineEdit *Entre_2 = nullptr;
    QPushButton *Button4 = nullptr;
    QTableView *DBGrid1 = nullptr;
    QLabel *LBL_Total = nullptr;
    QComboBox *CMB_NomeArq = nullptr;
    QLabel *Label12 = nullptr;
    QComboBox *CMB_TELEFONE = nullptr;
    QLabel *LBL_MaisFone = nullptr;
    QComboBox *CMB_TIPO_PIX = nullptr;
    QLineEdit *ED_PIX = nullptr;
    QLineEdit *ED_NomeRecebedor = nullptr; // with a name, the page carries the payment QR code
    QLineEdit *ED_CidadeRecebedor = nullptr;
    QPushButton *BTN_Gerar = nullptr;
    QPushButton *Button2 = nullptr;

    QFrame *Panel_Telefone = nullptr;
    QTableView *GridTelefones = nullptr;
    QStandardItemModel *m_phoneRows = nullptr;
    QPushButton *BTN_Novo = nullptr;
    QPushButton *BTN_Excluir = nullptr;
    QLabel *Img_Fechar = nullptr;

    QFrame *Panel_ARQ_SAIDA = nullptr;
    QTableView *GridArquivos = nullptr;
    QStandardItemModel *m_fileRows = nullptr;
    QPushButton *BTN_NOVO_ARQ_SAIDA = nullptr;
    QPushButton *Button3 = nullptr;
    QLabel *Image1 = nullptr;
};
