#include "sales/TForm_Validacao.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "layout/TForm_pos.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/TerminationSignals.h"
#include "platform/WaitCursor.h"
#include "platform/WidgetStepAside.h"
#include "sales/TForm_Reserva.h"
#include "sales/WidgetValidatedList.h"
#include "sales/WidgetValidationFile.h"
#include "sales/WidgetWhatsAppOrder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QTextEdit>
#include <QTimer>

namespace {

const QColor kEnabled(255, 255, 255);
const QColor kDisabled(221, 219, 217);
const QColor kSellerOff(195, 195, 195);
const QString kSellerHintOn = QStringLiteral("F5-Valldar sem Vendedor");
const QString kSellerHintOff = QStringLiteral("F4 - Pesquisar     F5-Validar Com Vendedor");
const QString kDefaultCity = QStringLiteral("CidPadrao");

bool isEnter(const QKeyEvent *e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

QFont arialFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

TForm_Validacao::TForm_Validacao(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_sales(ctx), m_sellers(ctx.tdm.CONEX_R()) {
    m_tone = std::make_unique<ToneBeep>();
    m_beep = m_tone.get();
    buildWindow();
    // Every panel sells through the service; this window shows what came of each sale.
    m_sales.setForm(this);
    connect(&m_sales, &SalesService::saleStarting, this, &TForm_Validacao::saleStarting);
    connect(&m_sales, &SalesService::saleSettled, this, &TForm_Validacao::showOutcome);
    // A long sequence keeps the window painted between tickets.
    m_sales.setBetweenTickets([] { QCoreApplication::processEvents(); });
    // Told to end (logout, shutdown): a running sequence stops after its current ticket.
    if (auto *termination = TerminationSignals::current())
        connect(termination, &TerminationSignals::received, this, [this] { m_sales.requestStop(); });
}

TForm_Validacao::~TForm_Validacao() = default;

void TForm_Validacao::paint(QWidget *w, const QColor &colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, colour);
    w->setPalette(pal);
}

QLabel *TForm_Validacao::addLabel(const QString &text, QRect place, const char *name) {
    auto *l = new QLabel(text, this);
    if (name) l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    l->setFont(arialFont(13, true));
    return l;
}

QLineEdit *TForm_Validacao::addEdit(const char *name, QRect place, int maxLength) {
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(place);
    if (maxLength > 0) e->setMaxLength(maxLength);
    e->installEventFilter(this);
    return e;
}

void TForm_Validacao::buildWindow() {
    setObjectName(QStringLiteral("TForm_Validacao"));
    setWindowTitle(QStringLiteral("Korvante"));
    setFixedSize(900, 560);

    auto *header = addLabel(QStringLiteral("VALIDANDO BILHETES"), {0, 0, 900, 36}, "LBL_Titulo");
    header->setAlignment(Qt::AlignCenter);
    header->setFont(arialFont(20, true));
    header->setAutoFillBackground(true);
    QPalette hp = header->palette();
    hp.setColor(QPalette::Window, QColor(0, 0x40, 0));
    hp.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(hp);

    addLabel(QStringLiteral("NOME DA RIFA:"), {16, 48, 120, 20});
    LBL_EVENTO = addLabel(QString(), {140, 48, 420, 20}, "LBL_EVENTO");
    addLabel(QStringLiteral("Valor:"), {600, 48, 50, 20});
    CurrencyEdit1 = addEdit("CurrencyEdit1", {650, 46, 110, 24}, 0);
    CurrencyEdit1->setReadOnly(true);
    CurrencyEdit1->setAlignment(Qt::AlignRight);

    addLabel(QStringLiteral("Nº Controle Bilhete:"), {16, 86, 170, 20});
    addLabel(QStringLiteral("ou código barra"), {16, 104, 170, 18})->setFont(arialFont(11));
    ED_NUM_BILHETE = addEdit("ED_NUM_BILHETE", {190, 84, 200, 30}, 0);
    ED_NUM_BILHETE->setFont(arialFont(18, true));
    ED_NUM_BILHETE->setToolTip(QStringLiteral(
        "Informe o Nº da Cartela ou Utilize o sinal '-' para validar um lote de Cartela ( 10-40 )"));
    // Pasted text obeys the same rule as the keys: digits and the sequence dash only.
    ED_NUM_BILHETE->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9-]*")), ED_NUM_BILHETE));
    BTN_Validar = new QPushButton(QStringLiteral("Validar"), this);
    BTN_Validar->setObjectName(QStringLiteral("BTN_Validar"));
    BTN_Validar->setGeometry(400, 84, 110, 30);
    BTN_Validar->setAutoDefault(true);
    connect(BTN_Validar, &QPushButton::clicked, this, &TForm_Validacao::BTN_ValidarClick);
    BTN_Parar = new QPushButton(QStringLiteral("Parar"), this);
    BTN_Parar->setObjectName(QStringLiteral("BTN_Parar"));
    BTN_Parar->setGeometry(400, 116, 110, 26);
    BTN_Parar->setAutoDefault(false);
    BTN_Parar->setToolTip(QStringLiteral("Interrompe a validação em sequência após o Bilhete atual"));
    BTN_Parar->hide();
    connect(BTN_Parar, &QPushButton::clicked, this, [this] { m_sales.requestStop(); });

    LBL_Ajuda = addLabel(QStringLiteral(" ? "), {520, 88, 24, 22}, "LBL_Ajuda");
    LBL_Ajuda->setToolTip(QStringLiteral("Dicas & Ajuda sobre Validação..."));
    LBL_Ajuda->setCursor(Qt::PointingHandCursor);
    LBL_Ajuda->installEventFilter(this);

    GroupBox1 = new QGroupBox(QStringLiteral("Ativar Campos Extras:"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(600, 80, 180, 44);
    RB_Sim = new QRadioButton(QStringLiteral("Sim"), GroupBox1);
    RB_Sim->setObjectName(QStringLiteral("RB_Sim"));
    RB_Sim->setGeometry(12, 20, 60, 20);
    RB_Nao = new QRadioButton(QStringLiteral("Não"), GroupBox1);
    RB_Nao->setObjectName(QStringLiteral("RB_Nao"));
    RB_Nao->setGeometry(90, 20, 60, 20);
    RB_Nao->setChecked(true);
    connect(RB_Sim, &QRadioButton::clicked, this, [this] { Ativa_campos_extra(true); });
    connect(RB_Nao, &QRadioButton::clicked, this, [this] { Ativa_campos_extra(false); });

    const int lx = 16, ex = 170;
    auto extraLabel = [&](const QString &text, int y) {
        QLabel *l = addLabel(text, {lx, y + 2, 150, 20});
        m_extraLabels << l;
        return l;
    };
    extraLabel(QStringLiteral("Data Venda......:"), 140);
    DateEdit1 = addEdit("DateEdit1", {ex, 140, 110, 24}, 10);
    DateEdit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/]*")), DateEdit1));
    CHK_UsarDataAutom = new QCheckBox(QStringLiteral("Usar a Data de Hoje Automática"), this);
    CHK_UsarDataAutom->setObjectName(QStringLiteral("CHK_UsarDataAutom"));
    CHK_UsarDataAutom->setGeometry(ex + 120, 142, 240, 20);
    CHK_UsarDataAutom->setChecked(true);
    connect(CHK_UsarDataAutom, &QCheckBox::clicked, this, &TForm_Validacao::CHK_UsarDataAutomClick);

    extraLabel(QStringLiteral("Comprador........:"), 172);
    ed_comprador = addEdit("ed_comprador", {ex, 172, 380, 24}, BuyerColumns::NOMECOMP);
    extraLabel(QStringLiteral("Telefone...........:"), 204);
    Mask_telefone = addEdit("Mask_telefone", {ex, 204, 150, 24}, 14);
    Mask_telefone->setInputMask(QStringLiteral("(00)00000-0000"));
    extraLabel(QStringLiteral("Endereço..........:"), 236);
    ed_endereco = addEdit("ed_endereco", {ex, 236, 380, 24}, BuyerColumns::ENDCOMP);
    extraLabel(QStringLiteral("Cidade/UF........:"), 268);
    ed_cidade = addEdit("ed_cidade", {ex, 268, 250, 24}, BuyerColumns::CIDCOMP);
    extraLabel(QStringLiteral("Cód. Vendedor:"), 300);
    ed_CodVend = addEdit("ed_CodVend", {ex, 300, 80, 24}, 45);
    ed_nomVend = addEdit("ed_nomVend", {ex + 90, 300, 290, 24}, 0);
    ed_nomVend->setReadOnly(true);
    ed_nomVend->setFocusPolicy(Qt::NoFocus);
    chk_fixarVend = new QCheckBox(QStringLiteral("Fixar esse Vendedor"), this);
    chk_fixarVend->setObjectName(QStringLiteral("chk_fixarVend"));
    chk_fixarVend->setGeometry(ex + 390, 302, 170, 20);
    connect(chk_fixarVend, &QCheckBox::clicked, this, &TForm_Validacao::chk_fixarVendClick);
    Label12 = addLabel(kSellerHintOn, {ex, 328, 380, 18}, "Label12");
    Label12->setFont(arialFont(11));
    m_extraInputs = {DateEdit1,   CHK_UsarDataAutom, ed_comprador, Mask_telefone,
                     ed_endereco, ed_cidade,         ed_CodVend,   chk_fixarVend};
    m_enterOrder = {DateEdit1, ed_comprador, Mask_telefone, ed_endereco, ed_cidade, ed_CodVend, BTN_Validar};
    QWidget::setTabOrder(ED_NUM_BILHETE, BTN_Validar);
    for (int i = 0; i + 1 < m_enterOrder.size(); ++i)
        QWidget::setTabOrder(m_enterOrder[i], m_enterOrder[i + 1]);

    Chk_som = new QCheckBox(QStringLiteral("Som"), this);
    Chk_som->setObjectName(QStringLiteral("Chk_som"));
    Chk_som->setGeometry(800, 92, 80, 20);
    connect(Chk_som, &QCheckBox::clicked, this, &TForm_Validacao::Chk_somClick);

    LBL_AvisoValidada1 =
        addLabel(QStringLiteral("Validada com Sucesso"), {16, 360, 300, 30}, "LBL_AvisoValidada1");
    LBL_AvisoValidada2 =
        addLabel(QStringLiteral("Validada com Sucesso"), {560, 360, 300, 30}, "LBL_AvisoValidada2");
    LBL_CartValid = addLabel(QString(), {320, 360, 230, 30}, "LBL_CartValid");
    for (QLabel *l : {LBL_AvisoValidada1, LBL_AvisoValidada2, LBL_CartValid}) {
        l->setFont(arialFont(18, true));
        l->setAlignment(Qt::AlignCenter);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0x80, 0));
        l->setPalette(p);
        l->hide();
    }
    addLabel(QStringLiteral("Última Nº C. Validado:"), {16, 404, 190, 20});
    LBL_ULTIMA_VALID = addLabel(QString(), {206, 404, 150, 20}, "LBL_ULTIMA_VALID");

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(0);
    connect(Timer2, &QTimer::timeout, this, &TForm_Validacao::Timer2Timer);
    connect(ED_NUM_BILHETE, &QLineEdit::textChanged, this, [this](const QString &text) {
        // Typing the next ticket ends the notice of the last one.
        if (Timer2->isActive() && Timer2->interval() >= 500 && !text.isEmpty()) stopNotice();
    });

    // Entries whose actions come with the listing, the orders, the reserve and the file.
    auto *Btn_ver = new QPushButton(QStringLiteral("Ver validadas"), this);
    Btn_ver->setObjectName(QStringLiteral("Btn_ver"));
    Btn_ver->setGeometry(16, 510, 130, 32);
    auto *Button1 = new QPushButton(QStringLiteral("Zerar Validações"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(156, 510, 140, 32);
    auto *BTN_Mais = new QPushButton(QStringLiteral("Mais..."), this);
    BTN_Mais->setObjectName(QStringLiteral("BTN_Mais"));
    BTN_Mais->setGeometry(306, 510, 100, 32);
    for (QPushButton *b : {Btn_ver, Button1, BTN_Mais})
        b->setAutoDefault(false);
    m_validatedList = new WidgetValidatedList(m_ctx, this);
    connect(Btn_ver, &QPushButton::clicked, m_validatedList, &WidgetValidatedList::Btn_verClick);
    connect(Button1, &QPushButton::clicked, m_validatedList, &WidgetValidatedList::Button1Click);
    Pop_Opcoes = new QMenu(this);
    Pop_Opcoes->setObjectName(QStringLiteral("Pop_Opcoes"));
    Pop_Opcoes->addSection(QStringLiteral("  *** OPÇÕES ***"));
    const struct {
        const char *name;
        const char *text;
    } options[] = {{"Exportar1", "Exportar Validações"},
                   {"Importar1", "Importar Validações"},
                   {"MarcarBlocos1", "Marcar Blocos Reservas"}};
    m_filePanel = new WidgetValidationFile(m_ctx, m_sales, ModoImportacao, this);
    for (const auto &o : options) {
        QAction *a = Pop_Opcoes->addAction(QString::fromUtf8(o.text));
        a->setObjectName(QLatin1String(o.name));
        if (!m_filePanel->takesAction(a))
            connect(a, &QAction::triggered, this, &TForm_Validacao::notYetAvailable);
    }
    if (QAction *reserve = Pop_Opcoes->findChild<QAction *>(QStringLiteral("MarcarBlocos1"))) {
        reserve->disconnect(this);
        connect(reserve, &QAction::triggered, this, &TForm_Validacao::MarcarBlocos1Click);
    }
    connect(BTN_Mais, &QPushButton::clicked, this, [this] { Pop_Opcoes->popup(QCursor::pos()); });

    IMM_ValidaMaisZap = addLabel(QStringLiteral("WhatsApp"), {760, 140, 120, 40}, "IMM_ValidaMaisZap");
    IMM_ValidaMaisZap->setToolTip(QStringLiteral("Efetuar Validação Via dados do WhasApp"));
    img_whats = addLabel(QStringLiteral("Enviar"), {760, 190, 120, 40}, "img_whats");
    img_whats->setToolTip(QStringLiteral("Envia por Whatsapp 1 único Bilhete"));
    for (QLabel *l : {IMM_ValidaMaisZap, img_whats}) {
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, QColor(0x25, 0xD3, 0x66));
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }

    m_whatsApp = new WidgetWhatsAppOrder(m_ctx, m_sales, this);
    // A validated row goes to the WhatsApp sending on its own or into the group.
    connect(m_validatedList, &WidgetValidatedList::enviarPorWhatsApp, m_whatsApp,
            &WidgetWhatsAppOrder::EnviarPorWhatsApp);
    connect(m_validatedList, &WidgetValidatedList::agruparParaEnvio, m_whatsApp,
            &WidgetWhatsAppOrder::AgruparParaEnvio);
    LBL_AvisoValidada_Zap = m_whatsApp->noticeLabel();
    // An order's buyer fills the extra fields; it is sold with today's date.
    connect(m_whatsApp, &WidgetWhatsAppOrder::opened, this, [this] { Ativa_campos_extra(true); });
    connect(m_whatsApp, &WidgetWhatsAppOrder::closed, this, &TForm_Validacao::clearOrderFields);
    connect(m_whatsApp, &WidgetWhatsAppOrder::orderSelling, this, [this] {
        CHK_UsarDataAutom->setChecked(true);
        CHK_UsarDataAutomClick();
    });
    m_whatsApp->setHandOver([this](const WhatsAppHandOver &h) { PrepararEnvioWhatsApp(h); });

    Panel_CidPadrao = new QFrame(this);
    Panel_CidPadrao->setObjectName(QStringLiteral("Panel_CidPadrao"));
    Panel_CidPadrao->setFrameShape(QFrame::Box);
    Panel_CidPadrao->setGeometry(440, 250, 380, 130);
    Panel_CidPadrao->setAutoFillBackground(true);
    auto *cityTitle = new QLabel(QStringLiteral("CIDADE PADRÃO"), Panel_CidPadrao);
    cityTitle->setGeometry(8, 4, 300, 22);
    cityTitle->setFont(arialFont(15, true));
    Img_FecharCid = new QLabel(QStringLiteral("X"), Panel_CidPadrao);
    Img_FecharCid->setObjectName(QStringLiteral("Img_FecharCid"));
    Img_FecharCid->setGeometry(350, 4, 22, 22);
    Img_FecharCid->setAlignment(Qt::AlignCenter);
    Img_FecharCid->setCursor(Qt::PointingHandCursor);
    Img_FecharCid->installEventFilter(this);
    auto *cityHint =
        new QLabel(QStringLiteral("Informer a Cidade-UF ( em letras Maíusculas )"), Panel_CidPadrao);
    cityHint->setGeometry(8, 32, 360, 20);
    ed_cidpadrao = new QLineEdit(Panel_CidPadrao);
    ed_cidpadrao->setObjectName(QStringLiteral("ed_cidpadrao"));
    ed_cidpadrao->setGeometry(8, 56, 250, 24);
    ed_cidpadrao->setMaxLength(BuyerColumns::CIDCOMP); // it goes into the city field
    auto *confirm = new QPushButton(QStringLiteral("Confirmar"), Panel_CidPadrao);
    confirm->setObjectName(QStringLiteral("BTN_ConfirmarCid"));
    confirm->setGeometry(268, 54, 100, 28);
    confirm->setAutoDefault(false);
    connect(confirm, &QPushButton::clicked, this, &TForm_Validacao::BTN_ConfirmarCidClick);
    Panel_CidPadrao->hide();

    Ativa_campos_extra(false);
}

void TForm_Validacao::setEvento(const QString &raffleName) {
    LBL_EVENTO->setText(raffleName);
    m_validatedList->setRaffleName(raffleName);
    m_whatsApp->setRaffleName(raffleName);
}

void TForm_Validacao::setValor(double price) {
    m_price = price;
    CurrencyEdit1->setText(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(price, 'f', 2));
}

bool TForm_Validacao::whatsAppPanelOpen() const {
    return m_whatsApp->isOpen();
}

void TForm_Validacao::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm_Validacao::FormShow() {
    QString error;
    if (!m_sellers.open(&error)) m_ctx.dialogs.error(error);
    if (m_ctx.registry.contains(kDefaultCity))
        ed_cidpadrao->setText(m_ctx.registry.value(kDefaultCity).toString());
    ED_NUM_BILHETE->setFocus();
}

void TForm_Validacao::Ativa_campos_extra(bool on) {
    for (QLabel *l : m_extraLabels)
        l->setEnabled(on);
    for (QWidget *w : m_extraInputs) {
        const bool enabled = on && !(w == ed_CodVend && m_sellerSwitchedOff);
        w->setEnabled(enabled);
        paint(w, enabled ? kEnabled : (w == ed_CodVend && on ? kSellerOff : kDisabled));
    }
    RB_Sim->setChecked(on);
    RB_Nao->setChecked(!on);
    ED_NUM_BILHETE->setFocus();
}

void TForm_Validacao::BTN_ValidarClick() {
    if (m_busy) return; // a sequence in progress lets clicks through while it repaints
    m_busy = true;
    const auto release = qScopeGuard([this] { m_busy = false; });

    SaleRequest in;
    in.source = SaleRequest::Source::Window;
    in.ticketText = ED_NUM_BILHETE->text();
    in.extraFields = RB_Sim->isChecked();
    in.sellerFieldEnabled = ed_CodVend->isEnabled();
    in.sellerInvalid = m_vendedorInvalido;
    in.buyer = ed_comprador->text();
    in.phone = Mask_telefone->text();
    in.address = ed_endereco->text();
    in.city = ed_cidade->text();
    in.sellerCode = ed_CodVend->text();
    in.useToday = CHK_UsarDataAutom->isChecked();
    in.dateFieldEnabled = DateEdit1->isEnabled();
    in.dateText = DateEdit1->text();
    in.price = m_price;
    m_sales.sell(in);
}

SaleFormState TForm_Validacao::saleFormState() const {
    SaleFormState state;
    state.extraFields = RB_Sim->isChecked();
    state.sellerSwitchedOff = m_sellerSwitchedOff;
    state.dateFieldEnabled = DateEdit1->isEnabled();
    state.sellerFixed = chk_fixarVend->isChecked();
    state.sellerCode = ed_CodVend->text();
    state.sellerInvalid = m_vendedorInvalido;
    state.price = m_price;
    return state;
}

void TForm_Validacao::clearOrderFields() {
    Ativa_campos_extra(false);
    for (QLineEdit *e : {ED_NUM_BILHETE, DateEdit1, ed_comprador, Mask_telefone, ed_endereco, ed_cidade})
        e->clear();
    if (!chk_fixarVend->isChecked()) {
        ed_CodVend->clear();
        ed_nomVend->clear();
    }
}

void TForm_Validacao::holdForSequence(bool hold) {
    // While a sequence sells, nothing else may change the sales under it: only "Parar" and closing
    // the window stay live.
    if (hold) {
        m_heldForSequence.clear();
        for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w == BTN_Parar || !w->isEnabled()) continue;
            m_heldForSequence << w;
            w->setEnabled(false);
        }
        BTN_Parar->setFocus();
        return;
    }
    for (QWidget *w : std::as_const(m_heldForSequence))
        if (w) w->setEnabled(true);
    m_heldForSequence.clear();
}

void TForm_Validacao::saleStarting(const SaleRequest &request) {
    // A file's sale with a buyer switches the extra fields on, as typing that buyer would.
    if (request.extraFields && !RB_Sim->isChecked()) Ativa_campos_extra(true);
    if (!request.isSequence()) return;
    m_sequenceWait = std::make_unique<WaitCursor>();
    BTN_Parar->show();
    BTN_Parar->raise();
    holdForSequence(true);
}

void TForm_Validacao::showOutcome(const SaleRequest &request, const SaleOutcome &o) {
    const QString text = request.ticketText;
    const bool sequence = request.isSequence();
    m_sequenceWait.reset();
    if (sequence) holdForSequence(false);
    BTN_Parar->hide();
    // The import sums its sales up in its own boxes.
    if (request.source == SaleRequest::Source::ValidationFile) return;
    // However it ended, the tickets written show as a finished sequence shows them.
    if (o.sequence && !o.written.isEmpty() && o.result != SaleOutcome::Result::Validated)
        showValidatedPart(QStringLiteral("%1-%2").arg(o.written.first()).arg(o.written.last()));
    if (m_closeAfterSequence) {
        // Closed during the run: say what was validated, then close as asked.
        m_closeAfterSequence = false;
        if (!o.message.isEmpty()) m_ctx.dialogs.message(o.title, o.message, o.icon);
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }

    using R = SaleOutcome::Result;
    switch (o.result) {
    case R::Ignored:
        return;
    case R::Refused:
        if (o.focus == SaleFocus::Seller)
            ed_CodVend->setFocus();
        else if (o.focus == SaleFocus::Date && DateEdit1->isEnabled())
            DateEdit1->setFocus();
        else
            ED_NUM_BILHETE->setFocus();
        m_ctx.dialogs.message(o.title, o.message, o.icon);
        return;
    case R::AlreadyValidated:
        ED_NUM_BILHETE->setFocus();
        m_ctx.dialogs.message(o.title, o.message, o.icon);
        if (!o.sequence) {
            if (ModoImportacao &&
                !m_ctx.dialogs.question(QStringLiteral("KORVANTE"),
                                        QStringLiteral("Deseja prosseguir para tentar validar os "
                                                       "demais bilhetes?"),
                                        true)) {
                ModoImportacao = false;
                for (QLineEdit *e : {ed_comprador, Mask_telefone, ed_endereco, ed_cidade})
                    e->clear();
            }
            ED_NUM_BILHETE->clear();
        }
        return;
    case R::Stopped:
    case R::Interrupted:
    case R::Failed:
        ED_NUM_BILHETE->setFocus();
        m_ctx.dialogs.message(o.title, o.message, o.icon);
        return;
    case R::Validated:
        break;
    }

    if (o.sequence) {
        if (o.written.size() == 1) startNotice(); // "7-7"
        LBL_CartValid->setText(QStringLiteral("[ ") + text + QStringLiteral(" ]"));
        LBL_CartValid->show();
        soundIfWanted();
        m_whatsApp->sequenceValidated(true);
        LBL_ULTIMA_VALID->setText(text);
        ED_NUM_BILHETE->clear();
        ED_NUM_BILHETE->setFocus();
        return;
    }
    m_vendedorInvalido = false;
    if (!chk_fixarVend->isChecked()) {
        ed_CodVend->clear();
        ed_nomVend->clear();
    }
    for (QLineEdit *e : {ed_comprador, Mask_telefone, ed_endereco, ed_cidade})
        e->clear();
    startNotice();
    LBL_CartValid->setText(QStringLiteral("[ ") + text + QStringLiteral(" ]"));
    LBL_CartValid->show();
    soundIfWanted();
    if (whatsAppPanelOpen()) m_whatsApp->addToSendList(text);
    LBL_ULTIMA_VALID->setText(text);
    ED_NUM_BILHETE->setFocus();
    ED_NUM_BILHETE->clear();
    return;
}

void TForm_Validacao::showValidatedPart(const QString &range) {
    // What a sequence validated before it stopped, as a completed one shows it.
    LBL_CartValid->setText(QStringLiteral("[ ") + range + QStringLiteral(" ]"));
    LBL_CartValid->show();
    LBL_ULTIMA_VALID->setText(range);
    ED_NUM_BILHETE->clear();
    m_whatsApp->sequenceValidated(false);
}

void TForm_Validacao::closeEvent(QCloseEvent *event) {
    if (m_sales.running()) {
        // The sequence ends after its current ticket; the window closes once it has.
        m_sales.requestStop();
        m_closeAfterSequence = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm_Validacao::reject() {
    if (m_sales.running()) {
        m_sales.requestStop();
        m_closeAfterSequence = true;
        return;
    }
    QDialog::reject();
}

void TForm_Validacao::soundIfWanted() {
    if (Chk_som->isChecked() && m_beep) m_beep->play(BeepHertz, BeepMilliseconds);
}

void TForm_Validacao::startNotice() {
    m_ticks = 0;
    Timer2->setInterval(500);
    Timer2->start();
}

void TForm_Validacao::stopNotice() {
    Timer2->stop();
    Timer2->setInterval(0);
    m_ticks = 0;
    for (QLabel *l : {LBL_AvisoValidada1, LBL_AvisoValidada2, LBL_AvisoValidada_Zap, LBL_CartValid})
        l->hide();
}

void TForm_Validacao::Timer2Timer() {
    ++m_ticks;
    if (m_ticks >= 4) {
        stopNotice();
        return;
    }
    LBL_AvisoValidada1->setVisible(!LBL_AvisoValidada1->isVisible());
    LBL_AvisoValidada2->setVisible(!LBL_AvisoValidada2->isVisible());
    if (whatsAppPanelOpen()) LBL_AvisoValidada_Zap->setVisible(!LBL_AvisoValidada_Zap->isVisible());
}

void TForm_Validacao::Chk_somClick() {
    if (!Chk_som->isChecked()) return;
    if (m_beep) m_beep->play(BeepHertz, BeepMilliseconds);
    m_ctx.dialogs.message(
        QStringLiteral("KORVANTE"),
        QStringLiteral("Um pequeno aviso sono como esse,  será emitido quando um Bilhete for Validado!"),
        BoxIcon::None);
}

void TForm_Validacao::chk_fixarVendClick() {
    const QString code = ed_CodVend->text().trimmed();
    if (!code.isEmpty() && code != u"0") return;
    chk_fixarVend->setChecked(false);
    ed_CodVend->setFocus();
    m_ctx.dialogs.message(QStringLiteral("KORVANTE"),
                          QStringLiteral("Favor informar antes o código do Vendedor!"), BoxIcon::None);
}

void TForm_Validacao::CHK_UsarDataAutomClick() {
    if (CHK_UsarDataAutom->isChecked())
        DateEdit1->setText(m_ctx.clock.today().toString(QStringLiteral("dd/MM/yyyy")));
    else
        DateEdit1->clear();
}

void TForm_Validacao::ed_CodVendExit() {
    const QString code = ed_CodVend->text().trimmed();
    if (code.isEmpty() || m_lookingUp) return;
    m_lookingUp = true;
    const auto release = qScopeGuard([this] { m_lookingUp = false; });
    bool isNumber = false;
    const int value = code.toUpper().toInt(&isNumber);
    const int row = isNumber ? m_sellers.findCode(value) : -1;
    if (row >= 0) {
        ed_nomVend->setText(m_sellers.value(row, QStringLiteral("NOME_VEND")).toString());
        m_vendedorInvalido = false;
        return;
    }
    // Back into the field once the focus change that brought us here has finished.
    QTimer::singleShot(0, ed_CodVend, [this] { ed_CodVend->setFocus(); });
    ed_nomVend->clear();
    m_vendedorInvalido = true;
    m_ctx.dialogs.error(QStringLiteral("Código de Vendedor não encontrado..."));
    ed_CodVend->clear();
}

void TForm_Validacao::toggleSellerField() {
    if (!RB_Sim->isChecked()) return;
    if (!m_sellerSwitchedOff) {
        m_sellerSwitchedOff = true;
        paint(ed_CodVend, kSellerOff);
        ed_CodVend->setEnabled(false);
        Label12->setText(kSellerHintOff);
        m_ctx.dialogs.notice(
            QStringLiteral("O Campo de Controle de Vendedores na validação será Desabilitado "
                           "Temporariamente. Caso queira reabilitar, pressione novamente a Tecla F5 "
                           "Novamente!"),
            QStringLiteral("Quelmaro"));
    } else {
        m_sellerSwitchedOff = false;
        paint(ed_CodVend, kEnabled);
        ed_CodVend->setEnabled(true);
        Label12->setText(kSellerHintOn);
    }
    ED_NUM_BILHETE->setFocus();
}

void TForm_Validacao::useDefaultCity() {
    if (!ed_cidpadrao->text().trimmed().isEmpty()) {
        ed_cidade->setText(ed_cidpadrao->text());
        return;
    }
    m_ctx.dialogs.notice(QStringLiteral("Você não tem Cidade Padrão Definida. Pressione a tecla F10 para "
                                        "Alterar/Cadastrar uma Cidade!"),
                         QStringLiteral("Quelmaro"));
}

void TForm_Validacao::showDefaultCityPanel() {
    Panel_CidPadrao->show();
    Panel_CidPadrao->raise();
    ed_cidpadrao->setFocus();
}

void TForm_Validacao::BTN_ConfirmarCidClick() {
    m_ctx.registry.setValue(kDefaultCity, ed_cidpadrao->text());
    m_ctx.dialogs.message(
        QStringLiteral("KORVANTE"),
        QStringLiteral("Cidade Padrão Criada com Sucesso. Pressione F9 toda vez que desejar usar "
                       "essa cidade!"),
        BoxIcon::None);
    ed_cidade->setText(ed_cidpadrao->text());
    ed_cidade->setFocus();
    Panel_CidPadrao->hide();
}

void TForm_Validacao::showHelp() {
    const QString text =
        QStringLiteral("Para Validar C.Bilhetes em seqüência, use ") + QStringLiteral("\"-\"") +
        QStringLiteral(" ( hífem ) entre os números. Ex.: [1 - 30] Validará 30 C.Bilhetes de uma só vez") +
        QStringLiteral("\r\r") +
        QStringLiteral(
            "F7 - Para Retirar uma Validação de Rifa ou Click em Ver Validadas e com o Botão direito em uma "
            "Delas você poderá Excluir!") +
        QStringLiteral("\r\r") +
        QStringLiteral(
            "Caso você tenha gerado Página HTML de vendas click no [ Botão Validar Várias Rifas Vinda do "
            "WhatsApp ] para Validar e Retornar as Validadas para o Comprador.");
    m_ctx.dialogs.message(QStringLiteral("Quelmaro"), text, BoxIcon::Information);
}

void TForm_Validacao::notYetAvailable() {
    m_ctx.dialogs.information(
        QStringLiteral("Esta função ainda não está disponível nesta versão do KORVANTE."));
}

void TForm_Validacao::PrepararEnvioWhatsApp(const WhatsAppHandOver &h) {
    // The designer, never shown, draws the pictures and opens the sending window; this window
    // steps aside meanwhile and keeps its own exec() going.
    TForm_pos pos(m_ctx, this);
    pos.CarregarLayout();
    const QString range = h.qtBilhetesEnvio > 1 ? QStringLiteral("1") : h.bilheteUnico;
    pos.Edit_DE->setText(range);
    pos.Edit_ATE->setText(range);
    pos.setSendList(h.tickets);
    WidgetStepAside aside;
    aside.hide(this);
    pos.img_whatsClick();
}

void TForm_Validacao::MarcarBlocos1Click() {
    TForm_Reserva reserva(m_ctx, this);
    reserva.exec();
}

void TForm_Validacao::focusNextInput(QWidget *from) {
    for (qsizetype i = m_enterOrder.indexOf(from) + 1; i > 0 && i < m_enterOrder.size(); ++i)
        if (m_enterOrder[i]->isEnabled()) {
            m_enterOrder[i]->setFocus();
            return;
        }
}

void TForm_Validacao::ED_NUM_BILHETEKeyDown(QKeyEvent *event, bool *handled) {
    *handled = false;
    const int key = event->key();
    if (key == Qt::Key_F7) {
        *handled = true;
        m_validatedList->withdrawByNumber(ED_NUM_BILHETE);
        return;
    }
    if (isEnter(event) || key == Qt::Key_Tab) {
        *handled = true;
        if (RB_Sim->isChecked()) {
            if (CHK_UsarDataAutom->isChecked())
                DateEdit1->setText(m_ctx.clock.today().toString(QStringLiteral("dd/MM/yyyy")));
            DateEdit1->setFocus();
        } else {
            BTN_ValidarClick();
            ED_NUM_BILHETE->setFocus();
        }
        return;
    }
    // Only digits, the sequence dash and the editing keys reach the field.
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        const QChar c = typed.at(0);
        if (!(c.isDigit() && c.unicode() < 128) && c != u'-') *handled = true;
    }
}

void TForm_Validacao::keyPressEvent(QKeyEvent *event) {
    if (m_sales.running()) {
        event->accept(); // F5, F9, F10 and Esc wait for the sequence to end
        return;
    }
    if (event->key() == Qt::Key_F5) {
        if (!event->isAutoRepeat()) toggleSellerField();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        // Esc closes the WhatsApp panel, never the window.
        if (whatsAppPanelOpen()) m_whatsApp->Img_FecharClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm_Validacao::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (m_sales.running()) return true; // keys wait for the sequence to end
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_F5 || ke->key() == Qt::Key_Escape) {
            keyPressEvent(ke);
            return true;
        }
        if (watched == ED_NUM_BILHETE) {
            bool handled = false;
            ED_NUM_BILHETEKeyDown(ke, &handled);
            return handled;
        }
        if (watched == ed_cidade && ke->key() == Qt::Key_F9) {
            useDefaultCity();
            return true;
        }
        if (watched == ed_cidade && ke->key() == Qt::Key_F10) {
            showDefaultCityPanel();
            return true;
        }
        const bool walks = isEnter(ke) || (watched == Mask_telefone && ke->key() == Qt::Key_Tab);
        if (walks && m_enterOrder.contains(qobject_cast<QWidget *>(watched))) {
            focusNextInput(qobject_cast<QWidget *>(watched));
            return true;
        }
        if (isEnter(ke) && qobject_cast<QLineEdit *>(watched))
            return true; // never the dialog's default button
        break;
    }
    case QEvent::FocusOut:
        if (watched == ed_CodVend) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            // A box or menu taking the focus is not the user leaving the field.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) ed_CodVendExit();
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton) break;
        if (auto *widget = qobject_cast<QWidget *>(watched); widget && !widget->isEnabled()) return true;
        if (watched == LBL_Ajuda) {
            showHelp();
            return true;
        }
        if (watched == Img_FecharCid) {
            Panel_CidPadrao->hide();
            ed_cidade->setFocus();
            return true;
        }
        if (watched == IMM_ValidaMaisZap) {
            m_whatsApp->IMM_ValidaMaisZapClick();
            return true;
        }
        if (watched == img_whats) {
            m_whatsApp->img_whatsClick(LBL_ULTIMA_VALID->text());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
