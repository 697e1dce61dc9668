#pragma once

#include "data/AppContext.h"
#include "platform/Beep.h"
#include "sales/SalesService.h"
#include "sellers/SellerRegistry.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class WidgetValidatedList;
class WidgetWhatsAppOrder;
struct WhatsAppHandOver;
class WidgetValidationFile;
class WaitCursor;

// The validation window: sales of the working raffle, one ticket at a time or as a sequence.
class TForm_Validacao : public QDialog, public SaleForm {
    Q_OBJECT
public:
    explicit TForm_Validacao(AppContext &ctx, QWidget *parent = nullptr);
    ~TForm_Validacao() override;

    // Set by the main window before the window is shown.
    void setEvento(const QString &raffleName);
    void setValor(double price);
    double valor() const { return m_price; }

    // Tests give a recording beep; by default a generated tone.
    void setBeep(Beep *beep) { m_beep = beep; }

    bool VendedorInvalido() const { return m_vendedorInvalido; }
    void Ativa_campos_extra(bool on);
    bool whatsAppPanelOpen() const;
    // A sequence is being validated; stopSequence ends it after the current ticket.
    bool sequenceRunning() const { return m_sales.running(); }
    void stopSequence() { m_sales.requestStop(); }
    // What the fields give every sale, whichever panel sells.
    SaleFormState saleFormState() const override;

    // State the validation file works with.
    bool ModoImportacao = false;
    // The WhatsApp order panel, with the send list.
    WidgetWhatsAppOrder *whatsAppOrder() const { return m_whatsApp; }

    static constexpr int BeepHertz = 250;
    static constexpr int BeepMilliseconds = 300;

public Q_SLOTS:
    void BTN_ValidarClick();
    void reject() override;

private Q_SLOTS:
    void Timer2Timer();
    void Chk_somClick();
    void chk_fixarVendClick();
    void CHK_UsarDataAutomClick();
    void BTN_ConfirmarCidClick();
    void notYetAvailable();
    void MarcarBlocos1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void saleStarting(const SaleRequest &request);
    void showOutcome(const SaleRequest &request, const SaleOutcome &o);
    void clearOrderFields();
    void PrepararEnvioWhatsApp(const WhatsAppHandOver &h);
    void buildWindow();
    QLabel *addLabel(const QString &text, QRect place, const char *name = nullptr);
    QLineEdit *addEdit(const char *name, QRect place, int maxLength);
    void ED_NUM_BILHETEKeyDown(QKeyEvent *event, bool *handled);
    void ed_CodVendExit();
    void toggleSellerField();
    void useDefaultCity();
    void showDefaultCityPanel();
    void showHelp();
    void startNotice();
    void stopNotice();
    void soundIfWanted();
    void focusNextInput(QWidget *from);
    void showValidatedPart(const QString &range);
    void holdForSequence(bool hold);
    static void paint(QWidget *w, const QColor &colour);

    AppContext &m_ctx;
    SalesService m_sales;
    SellerRegistry m_sellers;
    std::unique_ptr<ToneBeep> m_tone;
    Beep *m_beep = nullptr;
    double m_price = 0;
    bool m_vendedorInvalido = false;
    bool m_sellerSwitchedOff = false; // F5
    bool m_shown = false;
    bool m_busy = false;
    bool m_lookingUp = false;
    int m_ticks = 0;

    QLabel *LBL_EVENTO = nullptr;
    QLineEdit *CurrencyEdit1 = nullptr;
    QLineEdit *ED_NUM_BILHETE = nullptr;
    QLineEdit *DateEdit1 = nullptr;
    QCheckBox *CHK_UsarDataAutom = nullptr;
    QLineEdit *ed_comprador = nullptr;
    QLineEdit *Mask_telefone = nullptr;
    QLineEdit *ed_endereco = nullptr;
    QLineEdit *ed_cidade = nullptr;
    QLineEdit *ed_CodVend = nullptr;
    QLineEdit *ed_nomVend = nullptr;
    QCheckBox *chk_fixarVend = nullptr;
    QCheckBox *Chk_som = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *RB_Sim = nullptr;
    QRadioButton *RB_Nao = nullptr;
    QLabel *Label12 = nullptr;
    QPushButton *BTN_Validar = nullptr;
    QPushButton *BTN_Parar = nullptr; // shown while a sequence runs
    bool m_closeAfterSequence = false;
    std::unique_ptr<WaitCursor> m_sequenceWait;
    QLabel *LBL_AvisoValidada1 = nullptr;
    QLabel *LBL_AvisoValidada2 = nullptr;
    QLabel *LBL_AvisoValidada_Zap = nullptr;
    QLabel *LBL_CartValid = nullptr;
    QLabel *LBL_ULTIMA_VALID = nullptr;
    QLabel *LBL_Ajuda = nullptr;
    QTimer *Timer2 = nullptr;
    QFrame *Panel_CidPadrao = nullptr;
    QLineEdit *ed_cidpadrao = nullptr;
    QLabel *Img_FecharCid = nullptr;
    WidgetWhatsAppOrder *m_whatsApp = nullptr; // Panel_validarW
    QLabel *IMM_ValidaMaisZap = nullptr;
    QLabel *img_whats = nullptr;
    QMenu *Pop_Opcoes = nullptr;
    WidgetValidatedList *m_validatedList = nullptr; // "Ver validadas", F7, "Zerar Validações"
    WidgetValidationFile *m_filePanel = nullptr;
    QList<QLabel *> m_extraLabels;
    QList<QWidget *> m_extraInputs;
    QList<QWidget *> m_enterOrder;
    QList<QPointer<QWidget>> m_heldForSequence; // disabled while a sequence runs
};
