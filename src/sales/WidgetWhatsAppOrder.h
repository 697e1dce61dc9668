#pragma once

#include "data/AppContext.h"
#include "sales/OrderText.h"
#include "sales/SalesService.h"
#include "salespage/ModalityFormat.h"
#include "sellers/SellerRegistry.h"

#include <QFrame>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTextEdit;
class ReplacementChoices;

// The tickets handed to the ticket pictures and the WhatsApp sending window.
struct WhatsAppHandOver {
    QStringList tickets;  // send-list entries 1 to QtBilhetesEnvio when two or more are sent
    QString bilheteUnico; // the ticket sent alone
    int qtBilhetesEnvio = 0;
    QString foneEnvio;
};

// "VALIDAR DADOS VINDO DO WHATSAPP": each ticket of the pasted order sold through the sales service,
// sold tickets replaced from the order's block, the reserve block or the whole raffle ("CHECAGEM DE
// BILHETES"), tickets grouped for one sending ("CARTELAS AGRUPADAS"), and the hand-over of the send list.
class WidgetWhatsAppOrder : public QFrame {
    Q_OBJECT
public:
    static constexpr int SendListCapacity = 20;

    WidgetWhatsAppOrder(AppContext &ctx, SalesService &sales, QWidget *window);
    ~WidgetWhatsAppOrder() override;

    // Called with the send list when tickets are to be pictured and sent.
    void setHandOver(std::function<void(const WhatsAppHandOver &)> handOver) { m_handOver = std::move(handOver); }
    void setRaffleName(const QString &name) { m_raffleName = name; }

    bool isOpen() const { return isVisible(); }
    QLabel *noticeLabel() const { return LBL_AvisoValidada_Zap; }

    // The window validated a ticket while the panel is open.
    void addToSendList(const QString &ticket);
    // A sequence was validated: the order must be checked again.
    void sequenceValidated(bool clearOrderText);

    // Send list: entries 1 to QtBilhetesEnvio in use.
    QStringList sendList() const;
    QString BilheteUnicoEnvio;
    bool DisponibilidadeChecada = false;

    static QString tooShortMessage();
    static QString tooManyMessage(int tickets);

Q_SIGNALS:
    // The panel opened: the window's extra fields go on for the order's buyer.
    void opened();
    // The panel closed: the window's extra fields go off and the sale fields are cleared.
    void closed();
    // An order is about to be sold: its date is today's.
    void orderSelling();

public Q_SLOTS:
    void IMM_ValidaMaisZapClick();
    void BTN_ColarClick();
    void BTN_ValidarDadosWClick();
    void Img_FecharClick();
    void img_whatsClick(const QString &lastValidated);
    void BTN_AutomaticoClick();
    void BTN_MaisDispClick();
    void BTN_ConcluirClick();
    // Validated-list menu entries.
    void EnviarPorWhatsApp(int numBilhete, const QString &phone);
    void AgruparParaEnvio(int numBilhete, const QString &phone);
    void Img_EnviarAgrupadosClick();
    void Img_FecharAgrupaClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPanel();
    void buildSuggestionPanel(QWidget *window);
    void buildGroupPanel(QWidget *window);
    QLabel *closeImage(QWidget *parent, const char *name, QPoint at);
    std::optional<bool> ChecarDisponivel(OrderText &order);
    void PesquisaCartDisp(const OrderText &order);
    void PrepararEnvioWhatsApp();
    void chooseFrom(ReplacementChoices *list, ReplacementChoices *other, int row);
    void insertReplacement(int numBilhete);
    int totalRep() const;
    void setTotalRep(int n);
    void clearSendList();
    void closeLists();
    void fillSellers();
    ModalityFormat format() const;

    AppContext &m_ctx;
    SellerRegistry m_sellers;
    SalesService &m_sales;
    std::function<void(const WhatsAppHandOver &)> m_handOver;
    QString m_raffleName;
    std::array<QString, SendListCapacity + 1> BilhetesEnvio; // entries 1 to 20
    ReplacementChoices *CDS_Sugestao = nullptr;
    ReplacementChoices *CDS_Sugestao_ForaFaixa = nullptr;
    QPoint m_dragFrom;
    QWidget *m_dragging = nullptr;

    QLabel *LBL_TituloW = nullptr;
    QLabel *Img_Fechar = nullptr;
    QComboBox *cmb_VendW = nullptr;
    QCheckBox *Check_EnviarZap = nullptr;
    QPushButton *BTN_Colar = nullptr;
    QTextEdit *Rich_DadosW = nullptr;
    QPushButton *BTN_ValidarDadosW = nullptr;
    QLabel *LBL_AvisoValidada_Zap = nullptr;

    QFrame *Panel_Sugestao = nullptr;
    QLabel *Img_FecharSug = nullptr;
    QPlainTextEdit *Memo_NaoDisponivel = nullptr;
    QLabel *LBL_Vendidas = nullptr;
    QLabel *LBL_TotalRep = nullptr;
    QLabel *LBL_Faixa = nullptr;
    QTableView *DBGrid_Sugestao = nullptr;
    QPushButton *BTN_Concluir = nullptr;
    QPushButton *BTN_Automatico = nullptr;
    QPushButton *BTN_MaisDisp = nullptr;
    QFrame *Panel_ForaFaixa = nullptr;
    QLabel *LBL_BlocoReserva = nullptr;
    QLabel *Img_FecharFora = nullptr;
    QTableView *DBGrid_Sugestao_ForaFaixa = nullptr;

    QFrame *Panel_Agrupa_Whats = nullptr;
    QListWidget *List_Agrupar = nullptr;
    QLabel *Img_EnviarAgrupados = nullptr;
    QLabel *Img_FecharAgrupa = nullptr;
};
