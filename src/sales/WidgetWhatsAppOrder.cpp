#include "sales/WidgetWhatsAppOrder.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/Random.h"
#include "platform/TypedValues.h"
#include "sales/ReplacementChoices.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>

namespace {

const QString kKorvante = QStringLiteral("KORVANTE");
const QString kAllReplaced =
    QStringLiteral("Todos os Bilhetes ja foram trocados. Conclua e efetue a Validação!");

QFont arial(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QLabel *text(const QString &t, QWidget *parent, QRect place, int size = 12, bool bold = false) {
    auto *l = new QLabel(t, parent);
    l->setGeometry(place);
    l->setFont(arial(size, bold));
    return l;
}

QFrame *panel(const char *name, QWidget *parent, QRect place) {
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::Box);
    p->setGeometry(place);
    p->setAutoFillBackground(true);
    return p;
}

QTableView *grid(const char *name, QWidget *parent, QRect place, QAbstractItemModel *model) {
    auto *g = new QTableView(parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(place);
    g->setModel(model);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    // The selected row: yellow, its text as the row draws it.
    QPalette p = g->palette();
    p.setColor(QPalette::Highlight, Qt::yellow);
    p.setColor(QPalette::HighlightedText, Qt::black);
    g->setPalette(p);
    return g;
}

// A counter shown in the blank gap its caption's first line leaves for it.
void placeInGap(QLabel *counter, const QLabel *caption) {
    const QString first = caption->text().section(u'\r', 0, 0);
    const qsizetype start = first.indexOf(QStringLiteral("  "));
    qsizetype end = start;
    while (end < first.size() && first.at(end) == u' ')
        ++end;
    const QFontMetrics fm = caption->fontMetrics();
    const int left = fm.horizontalAdvance(first.left(start));
    const int right = fm.horizontalAdvance(first.left(end));
    QFont f = caption->font();
    f.setBold(true);
    counter->setFont(f);
    counter->setAlignment(Qt::AlignCenter);
    counter->setGeometry(caption->x() + left, caption->y(), right - left, QFontMetrics(f).height() + 1);
}

} // namespace

WidgetWhatsAppOrder::WidgetWhatsAppOrder(AppContext &ctx, SalesService &sales, QWidget *window)
    : QFrame(window), m_ctx(ctx), m_sellers(ctx.tdm.CONEX_R()), m_sales(sales) {
    CDS_Sugestao = new ReplacementChoices(ctx.tdm.CONEX_R(), this);
    CDS_Sugestao->setObjectName(QStringLiteral("CDS_Sugestao"));
    CDS_Sugestao_ForaFaixa = new ReplacementChoices(ctx.tdm.CONEX_R(), this);
    CDS_Sugestao_ForaFaixa->setObjectName(QStringLiteral("CDS_Sugestao_ForaFaixa"));
    buildPanel();
    buildSuggestionPanel(window);
    buildGroupPanel(window);
    hide();
}

WidgetWhatsAppOrder::~WidgetWhatsAppOrder() = default;

QString WidgetWhatsAppOrder::tooShortMessage() {
    return QStringLiteral(
        "O texto colado é curto demais para ser um pedido: ele precisa ter as linhas dos Bilhetes (C-...) "
        "seguidas das 7 linhas Nome, End., Cidade, Fone, TOTAL A PAGAR, Vend e Bloco. Nenhum Bilhete foi "
        "validado. Favor, selecione e cole os dados Novamente!");
}

QString WidgetWhatsAppOrder::tooManyMessage(int tickets) {
    return QStringLiteral("Esse pedido soma %1 Bilhetes e um envio por WhatsApp leva no máximo %2 Bilhetes. "
                          "Nenhum Bilhete foi validado: divida o pedido em partes de até %2 Bilhetes e valide "
                          "cada parte separadamente.")
        .arg(tickets)
        .arg(SendListCapacity);
}

QLabel *WidgetWhatsAppOrder::closeImage(QWidget *parent, const char *name, QPoint at) {
    auto *l = new QLabel(QStringLiteral("X"), parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(at.x(), at.y(), 22, 22);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(arial(14, true));
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    return l;
}

void WidgetWhatsAppOrder::buildPanel() {
    setObjectName(QStringLiteral("Panel_validarW"));
    setFrameShape(QFrame::Box);
    setGeometry(270, 69, 600, 420);
    setAutoFillBackground(true);
    LBL_TituloW = text(QStringLiteral("VALIDAR DADOS VINDO DO WHATSAPP"), this, {8, 4, 540, 24}, 15, true);
    LBL_TituloW->setObjectName(QStringLiteral("LBL_TituloW"));
    LBL_TituloW->setCursor(Qt::SizeAllCursor);
    LBL_TituloW->installEventFilter(this);
    installEventFilter(this); // the frame drags too
    Img_Fechar = closeImage(this, "Img_Fechar", {570, 4});

    text(QStringLiteral("Vendedor"), this, {8, 36, 160, 18}, 12, true);
    cmb_VendW = new QComboBox(this);
    cmb_VendW->setObjectName(QStringLiteral("cmb_VendW"));
    cmb_VendW->setGeometry(8, 56, 164, 26);
    Check_EnviarZap = new QCheckBox(QStringLiteral("Enviar por Zap apos Validar"), this);
    Check_EnviarZap->setObjectName(QStringLiteral("Check_EnviarZap"));
    Check_EnviarZap->setGeometry(8, 92, 170, 22);
    Check_EnviarZap->setFont(arial(11));
    Check_EnviarZap->setChecked(true);
    BTN_Colar = new QPushButton(QStringLiteral("Colar Dados"), this);
    BTN_Colar->setObjectName(QStringLiteral("BTN_Colar"));
    BTN_Colar->setGeometry(8, 124, 164, 32);
    connect(BTN_Colar, &QPushButton::clicked, this, &WidgetWhatsAppOrder::BTN_ColarClick);

    Rich_DadosW = new QTextEdit(this);
    Rich_DadosW->setObjectName(QStringLiteral("Rich_DadosW"));
    Rich_DadosW->setGeometry(180, 32, 410, 320);
    Rich_DadosW->setAcceptRichText(false);
    Rich_DadosW->setReadOnly(true);
    LBL_AvisoValidada_Zap = text(QStringLiteral("Validada(s) com Sucesso"), this, {180, 362, 250, 30}, 16, true);
    LBL_AvisoValidada_Zap->setObjectName(QStringLiteral("LBL_AvisoValidada_Zap"));
    LBL_AvisoValidada_Zap->hide();
    BTN_ValidarDadosW = new QPushButton(QStringLiteral("VALIDAR"), this);
    BTN_ValidarDadosW->setObjectName(QStringLiteral("BTN_ValidarDadosW"));
    BTN_ValidarDadosW->setGeometry(440, 360, 150, 40);
    BTN_ValidarDadosW->setFont(arial(16, true));
    connect(BTN_ValidarDadosW, &QPushButton::clicked, this, &WidgetWhatsAppOrder::BTN_ValidarDadosWClick);
    for (QPushButton *b : {BTN_Colar, BTN_ValidarDadosW})
        b->setAutoDefault(false);
}

void WidgetWhatsAppOrder::buildSuggestionPanel(QWidget *window) {
    Panel_Sugestao = panel("Panel_Sugestao", window, {14, 34, 420, 500});
    text(QStringLiteral("CHECAGEM DE BILHETES"), Panel_Sugestao, {8, 4, 360, 22}, 15, true);
    Img_FecharSug = closeImage(Panel_Sugestao, "Img_FecharSug", {392, 4});
    auto *soldCaption =
        text(QStringLiteral("Essas       Já Foram Vendidas"), Panel_Sugestao, {10, 30, 180, 18}, 11, true);
    soldCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    soldCaption->setObjectName(QStringLiteral("LBL_VendidasLegenda"));
    LBL_Vendidas = text(QStringLiteral("0"), Panel_Sugestao, {}, 11, true);
    LBL_Vendidas->setObjectName(QStringLiteral("LBL_Vendidas"));
    placeInGap(LBL_Vendidas, soldCaption);
    Memo_NaoDisponivel = new QPlainTextEdit(Panel_Sugestao);
    Memo_NaoDisponivel->setObjectName(QStringLiteral("Memo_NaoDisponivel"));
    Memo_NaoDisponivel->setGeometry(10, 50, 180, 70);
    Memo_NaoDisponivel->setReadOnly(true);
    auto *caption = text(QStringLiteral("Você Ainda Precisa trocar      Já Vendidas por ") + QStringLiteral("\r\n") +
                             QStringLiteral("outras Dispníveis."),
                         Panel_Sugestao, {200, 30, 210, 40}, 11);
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    caption->setObjectName(QStringLiteral("LBL_TotalRepLegenda"));
    LBL_TotalRep = text(QStringLiteral("0"), Panel_Sugestao, {}, 11, true);
    LBL_TotalRep->setObjectName(QStringLiteral("LBL_TotalRep"));
    placeInGap(LBL_TotalRep, caption);
    QPalette red = LBL_TotalRep->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LBL_TotalRep->setPalette(red);
    LBL_Faixa = text(QString(), Panel_Sugestao, {200, 80, 210, 36}, 11, true);
    LBL_Faixa->setObjectName(QStringLiteral("LBL_Faixa"));
    text(QStringLiteral("Essas abaixo Estão Disponíveis"), Panel_Sugestao, {10, 126, 300, 18}, 12, true);
    DBGrid_Sugestao = grid("DBGrid_Sugestao", Panel_Sugestao, {10, 146, 400, 230}, CDS_Sugestao);
    connect(DBGrid_Sugestao, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &i) { chooseFrom(CDS_Sugestao, CDS_Sugestao_ForaFaixa, i.row()); });
    auto *hint = text(QStringLiteral(" Escolha  na Lista Dando Duplo Click ou deixe o sistema escolher clicando "
                                     "em Automático."),
                      Panel_Sugestao, {10, 380, 400, 36}, 11);
    hint->setWordWrap(true);
    BTN_MaisDisp = new QPushButton(QStringLiteral("Ver mais Disponíveis..."), Panel_Sugestao);
    BTN_MaisDisp->setObjectName(QStringLiteral("BTN_MaisDisp"));
    BTN_MaisDisp->setGeometry(11, 423, 180, 28);
    BTN_MaisDisp->hide();
    BTN_Automatico = new QPushButton(QStringLiteral("Automático"), Panel_Sugestao);
    BTN_Automatico->setObjectName(QStringLiteral("BTN_Automatico"));
    BTN_Automatico->setGeometry(200, 458, 100, 32);
    BTN_Concluir = new QPushButton(QStringLiteral("Concluir"), Panel_Sugestao);
    BTN_Concluir->setObjectName(QStringLiteral("BTN_Concluir"));
    BTN_Concluir->setGeometry(310, 458, 100, 32);
    for (QPushButton *b : {BTN_MaisDisp, BTN_Automatico, BTN_Concluir})
        b->setAutoDefault(false);
    connect(BTN_MaisDisp, &QPushButton::clicked, this, &WidgetWhatsAppOrder::BTN_MaisDispClick);
    connect(BTN_Automatico, &QPushButton::clicked, this, &WidgetWhatsAppOrder::BTN_AutomaticoClick);
    connect(BTN_Concluir, &QPushButton::clicked, this, &WidgetWhatsAppOrder::BTN_ConcluirClick);

    Panel_ForaFaixa = panel("Panel_ForaFaixa", Panel_Sugestao, {10, 133, 400, 280});
    LBL_BlocoReserva = text(QStringLiteral("Disponíveis do Bloco Reserva"), Panel_ForaFaixa, {8, 4, 340, 20}, 13, true);
    LBL_BlocoReserva->setObjectName(QStringLiteral("LBL_BlocoReserva"));
    Img_FecharFora = closeImage(Panel_ForaFaixa, "Img_FecharFora", {372, 4});
    DBGrid_Sugestao_ForaFaixa =
        grid("DBGrid_Sugestao_ForaFaixa", Panel_ForaFaixa, {8, 30, 384, 242}, CDS_Sugestao_ForaFaixa);
    connect(DBGrid_Sugestao_ForaFaixa, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &i) { chooseFrom(CDS_Sugestao_ForaFaixa, CDS_Sugestao, i.row()); });
    Panel_ForaFaixa->hide();
    Panel_Sugestao->hide();
}

void WidgetWhatsAppOrder::buildGroupPanel(QWidget *window) {
    Panel_Agrupa_Whats = panel("Panel_Agrupa_Whats", window, {574, 177, 300, 260});
    text(QStringLiteral("CARTELAS AGRUPADAS"), Panel_Agrupa_Whats, {8, 4, 250, 22}, 14, true);
    Img_FecharAgrupa = closeImage(Panel_Agrupa_Whats, "Img_FecharAgrupa", {272, 4});
    List_Agrupar = new QListWidget(Panel_Agrupa_Whats);
    List_Agrupar->setObjectName(QStringLiteral("List_Agrupar"));
    List_Agrupar->setGeometry(8, 30, 284, 170);
    auto *send = text(QStringLiteral("Manda Bilhetes p/ o Preparo p/Envio por WhatasApp"), Panel_Agrupa_Whats,
                      {8, 206, 284, 44}, 12, true);
    send->setWordWrap(true);
    Img_EnviarAgrupados = send;
    Img_EnviarAgrupados->setObjectName(QStringLiteral("Img_EnviarAgrupados"));
    Img_EnviarAgrupados->setCursor(Qt::PointingHandCursor);
    Img_EnviarAgrupados->installEventFilter(this);
    Panel_Agrupa_Whats->hide();
}

ModalityFormat WidgetWhatsAppOrder::format() const {
    return ModalityFormat(int(QString::number(m_ctx.raffle.MaiorNumero).size()));
}

int WidgetWhatsAppOrder::totalRep() const {
    return LBL_TotalRep->text().toInt();
}

void WidgetWhatsAppOrder::setTotalRep(int n) {
    LBL_TotalRep->setText(QString::number(n));
}

QStringList WidgetWhatsAppOrder::sendList() const {
    QStringList list;
    for (int i = 1; i <= qMin<int>(m_ctx.raffle.QtBilhetesEnvio, SendListCapacity); ++i)
        list << BilhetesEnvio[i];
    return list;
}

void WidgetWhatsAppOrder::clearSendList() {
    m_ctx.raffle.QtBilhetesEnvio = 0;
    for (QString &e : BilhetesEnvio)
        e.clear();
}

void WidgetWhatsAppOrder::addToSendList(const QString &ticket) {
    if (m_ctx.raffle.QtBilhetesEnvio >= SendListCapacity) return;
    ++m_ctx.raffle.QtBilhetesEnvio;
    BilhetesEnvio[m_ctx.raffle.QtBilhetesEnvio] = ticket;
}

void WidgetWhatsAppOrder::sequenceValidated(bool clearOrderText) {
    DisponibilidadeChecada = false;
    if (clearOrderText && isOpen()) Rich_DadosW->clear();
}

void WidgetWhatsAppOrder::fillSellers() {
    if (cmb_VendW->count() > 0) return;
    QString error;
    if (!m_sellers.isOpen() && !m_sellers.open(&error)) m_ctx.dialogs.error(error);
    cmb_VendW->addItem(QStringLiteral("Não Informar"));
    for (int r = 0; r < m_sellers.rowCount(); ++r)
        cmb_VendW->addItem(SellerRegistry::codeText(m_sellers.value(r, QStringLiteral("COD_VEND"))) + u'-' +
                           m_sellers.value(r, QStringLiteral("NOME_VEND")).toString());
}

void WidgetWhatsAppOrder::IMM_ValidaMaisZapClick() {
    Rich_DadosW->clear();
    Rich_DadosW->setReadOnly(false);
    fillSellers();
    cmb_VendW->setCurrentIndex(-1);
    move(270, 69);
    show();
    raise();
    if (Panel_Sugestao->isVisible()) Panel_Sugestao->raise();
    Q_EMIT opened();
    Rich_DadosW->setFocus();
}

void WidgetWhatsAppOrder::BTN_ColarClick() {
    Rich_DadosW->clear();
    Rich_DadosW->setPlainText(QGuiApplication::clipboard()->text());
}

void WidgetWhatsAppOrder::Img_FecharClick() {
    hide();
    Panel_Sugestao->hide();
    Panel_ForaFaixa->hide();
    // A later order starts its count of sold tickets afresh.
    closeLists();
    setTotalRep(0);
    DisponibilidadeChecada = false;
    Rich_DadosW->clear();
    Q_EMIT closed();
}

std::optional<bool> WidgetWhatsAppOrder::ChecarDisponivel(OrderText &order) {
    Memo_NaoDisponivel->clear();
    bool free = true;
    QStringList soldLines;
    for (int i : order.ticketLines()) {
        const QString line = order.lines().at(i);
        const auto n = TypedValues::parseWholeNumber(OrderText::controlNumberOf(line));
        if (!n) continue; // the validation routine refuses it with its own message
        bool sold = false;
        QString error;
        if (!ReplacementChoices::isSold(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), *n, &sold, &error)) {
            m_ctx.dialogs.error(QStringLiteral("Erro ao checar os Bilhetes do pedido. Detalhe do Erro: ") + error);
            return std::nullopt;
        }
        if (!sold) continue;
        soldLines << line;
        Memo_NaoDisponivel->appendPlainText(line);
        free = false;
        if (!Panel_Sugestao->isVisible()) {
            Panel_Sugestao->move(14, 34);
            Panel_Sugestao->show();
            Panel_Sugestao->raise();
        }
        setTotalRep(totalRep() + 1);
    }
    LBL_Vendidas->setText(QString::number(soldLines.size()));
    order.removeLines(soldLines);
    return free;
}

void WidgetWhatsAppOrder::BTN_ValidarDadosWClick() {
    OrderText order(Rich_DadosW->toPlainText());
    if (Rich_DadosW->toPlainText().isEmpty()) return;
    if (totalRep() != 0 && Panel_Sugestao->isVisible() &&
        !m_ctx.dialogs.question(kKorvante,
                                QStringLiteral("Existem Controle de Bilhetes de Rifas repetidos e você não "
                                               "selecionou Novos Bilhetes para substituir. Deseja Validar só "
                                               "esses ainda disponíveis?"),
                                false))
        return;
    if (cmb_VendW->currentIndex() < 0) cmb_VendW->setCurrentIndex(0);
    if (!Panel_Sugestao->isVisible()) clearSendList();
    if (!m_sales.formState().extraFields) {
        m_ctx.dialogs.message(QStringLiteral("Korvante"),
                              QStringLiteral("Para usar esse recurso ao opção ATIVAR CAMPOS EXTRAS deverá esta "
                                             "marcado com SIM"),
                              BoxIcon::Information);
        return;
    }

    QString seller = order.seller();
    if (seller == u"Nao Informar") seller.clear();
    if (seller.isEmpty() && cmb_VendW->currentIndex() > 0) {
        const QString entry = cmb_VendW->currentText();
        seller = entry.left(entry.indexOf(u'-'));
        const auto code = TypedValues::parseWholeNumber(seller.trimmed().toUpper());
        if (!code || m_sellers.findCode(*code) < 0) {
            m_ctx.dialogs.error(QStringLiteral("Código de Vendedor não encontrado..."));
            return;
        }
    }
    if (!order.hasBlockLine()) {
        m_ctx.dialogs.error(QStringLiteral("Não foi possível identificar na Última Linha de dados Colada o campo "
                                           "BLOCO. Favor, selecione e cole os dados Novamente!"));
        return;
    }
    LBL_Faixa->setText(order.lastLine());
    if (order.count() < OrderText::MinimumLines) {
        m_ctx.dialogs.error(tooShortMessage());
        return;
    }
    const int wanted = int(m_ctx.raffle.QtBilhetesEnvio) + int(order.ticketLines().size());
    if (wanted > SendListCapacity) {
        m_ctx.dialogs.error(tooManyMessage(wanted));
        return;
    }

    if (!DisponibilidadeChecada) {
        const auto free = ChecarDisponivel(order);
        if (!free) return;
        DisponibilidadeChecada = *free;
        Rich_DadosW->setPlainText(order.text());
    }

    const OrderText::Buyer buyer = order.buyer();
    SaleRequest sale;
    sale.source = SaleRequest::Source::WhatsAppOrder;
    sale.buyer = buyer.nome.trimmed();
    sale.address = buyer.endereco.trimmed();
    sale.city = buyer.cidade.trimmed();
    sale.phone = OrderText::phoneDigits(buyer.fone);
    sale.useToday = true;
    m_ctx.raffle.FoneEnvio = sale.phone;
    Q_EMIT orderSelling();

    for (int i = 0; i < order.ticketRange(); ++i) {
        if (!OrderText::isTicketLine(order.lines().at(i))) continue;
        sale.ticketText = OrderText::controlNumberOf(order.lines().at(i));
        // The window's fields as they stand at each ticket: a seller fixed there goes with every sale.
        const SaleFormState form = m_sales.formState();
        sale.extraFields = form.extraFields;
        sale.sellerFieldEnabled = form.sellerFieldEnabled();
        sale.sellerCode = form.sellerFixed ? form.sellerCode : seller;
        sale.sellerInvalid = form.sellerFixed && form.sellerInvalid;
        sale.dateFieldEnabled = form.dateFieldEnabled;
        sale.price = form.price;
        const SaleOutcome o = m_sales.sell(sale);
        using R = SaleOutcome::Result;
        // "-OK" says the sale is written; any other line is tried again at the next "VALIDAR".
        if (o.result == R::Validated) {
            order.markDone(i);
            Rich_DadosW->setPlainText(order.text());
        }
        if (o.result == R::Validated || o.result == R::AlreadyValidated || o.result == R::Ignored) continue;
        return; // refused or failed: what was validated stays, nothing is handed over
    }

    if (m_ctx.raffle.QtBilhetesEnvio == 0)
        m_ctx.dialogs.notice(
            QStringLiteral("Não foi identificado Bilhete disponível para venda nessa Lista informada!"));
    if (DisponibilidadeChecada) {
        Panel_Sugestao->hide();
        closeLists();
        setTotalRep(0);
        if (m_ctx.raffle.QtBilhetesEnvio == 0) return;
        if (!Check_EnviarZap->isChecked()) {
            // Validated without pictures: the order is done, a second "VALIDAR" does nothing.
            DisponibilidadeChecada = false;
            Rich_DadosW->clear();
            return;
        }
        if (m_ctx.raffle.QtBilhetesEnvio == 1) BilheteUnicoEnvio = BilhetesEnvio[1];
        PrepararEnvioWhatsApp();
        return;
    }
    PesquisaCartDisp(order);
}

void WidgetWhatsAppOrder::PesquisaCartDisp(const OrderText &order) {
    const OrderText::Block block = order.block();
    const auto from = TypedValues::parseWholeNumber(block.from);
    const auto to = TypedValues::parseWholeNumber(block.to);
    CDS_Sugestao->setFormat(format());
    QString error;
    if (from && to) {
        if (!CDS_Sugestao->openBlock(m_ctx.raffle.TabelaBaseUsar, m_ctx.raffle.slot(), *from, *to, &error))
            m_ctx.dialogs.error(error);
    } else {
        CDS_Sugestao->close(); // a block that is not two numbers offers nothing of its own
    }
    if (!Panel_Sugestao->isVisible()) {
        Panel_Sugestao->move(14, 34);
        Panel_Sugestao->show();
    }
    Panel_Sugestao->raise();
    const int rows = CDS_Sugestao->rowCount();
    if (rows < totalRep()) {
        BTN_MaisDisp->move(11, 423);
        BTN_MaisDisp->show();
    }
    if (rows == 0) {
        BTN_MaisDisp->hide();
        BTN_MaisDispClick();
    }
}

void WidgetWhatsAppOrder::BTN_MaisDispClick() {
    Panel_ForaFaixa->move(10, 133);
    Panel_ForaFaixa->show();
    Panel_ForaFaixa->raise();
    if (CDS_Sugestao_ForaFaixa->isOpen()) return;
    CDS_Sugestao_ForaFaixa->setFormat(format());
    QString error;
    const QString table = m_ctx.raffle.TabelaBaseUsar;
    const int slot = m_ctx.raffle.slot();
    if (!CDS_Sugestao_ForaFaixa->openReserved(table, slot, m_ctx.raffle.MaiorNumero + 1, &error)) {
        m_ctx.dialogs.error(error);
        return;
    }
    if (CDS_Sugestao_ForaFaixa->rowCount() > 0) {
        LBL_BlocoReserva->setText(QStringLiteral("Disponíveis do Bloco Reserva"));
        return;
    }
    if (!CDS_Sugestao_ForaFaixa->openFree(table, slot, &error)) m_ctx.dialogs.error(error);
    LBL_BlocoReserva->setText(QStringLiteral("Disponíveis Fora do Bloco"));
}

void WidgetWhatsAppOrder::insertReplacement(int numBilhete) {
    OrderText order(Rich_DadosW->toPlainText());
    order.insertTicket(format().ticketId(numBilhete));
    Rich_DadosW->setPlainText(order.text());
}

void WidgetWhatsAppOrder::chooseFrom(ReplacementChoices *list, ReplacementChoices *other, int row) {
    if (list->rowCount() == 0 || row < 0) return;
    const int n = list->numBilhete(row);
    if (other->hasChosen(n)) {
        m_ctx.dialogs.error(list == CDS_Sugestao_ForaFaixa
                                ? QStringLiteral("Esse bilhete ja foi selecionado na Bloco disponível anterior!")
                                : QStringLiteral("Esse bilhete já foi selecionado na lista de Disponíveis "
                                                 "Fora do Bloco!"));
        return;
    }
    if (list->isChosen(row)) {
        m_ctx.dialogs.error(list == CDS_Sugestao_ForaFaixa
                                ? QStringLiteral("Esses Controle de Bilhete já está Selecionado!")
                                : QStringLiteral("Esse Controle de Bilhete já está Selecionado!"));
        return;
    }
    if (totalRep() == 0) {
        m_ctx.dialogs.notice(kAllReplaced);
        return;
    }
    insertReplacement(n);
    list->choose(row);
    setTotalRep(totalRep() - 1);
    if (totalRep() == 0) BTN_MaisDisp->hide();
}

void WidgetWhatsAppOrder::BTN_AutomaticoClick() {
    if (BTN_MaisDisp->isVisible() || Panel_ForaFaixa->isVisible()) {
        m_ctx.dialogs.notice(QStringLiteral(
            "Nessa condição especial, aonde não tinha Bilhetes disponíveis totalmente no Bloco, você deverá "
            "escolher os novos Bilhetes Manualmente, dando Duplo Click na Nova Lista!"));
        return;
    }
    QString error;
    if (!CDS_Sugestao->finishLoading(&error)) {
        m_ctx.dialogs.error(error);
        return;
    }
    // Only rows not chosen yet, in either list, can still be picked.
    QList<int> rows;
    for (int r = 0; r < CDS_Sugestao->rowCount(); ++r)
        if (!CDS_Sugestao->isChosen(r) && !CDS_Sugestao_ForaFaixa->hasChosen(CDS_Sugestao->numBilhete(r)))
            rows << r;
    const int needed = totalRep();
    if (rows.size() < needed) {
        m_ctx.dialogs.error(QStringLiteral(
            "A quantidade de Cartelas Disponíveis no Bloco de compra feita pelo Cliente está inferior.\r\r"
            "SUGESTÃO: Escolha as que ainda estão disponíveis dando DUPLO CLICK na lista, e depois click no "
            "botão [Ver Mais Disponíveis]"));
        return;
    }
    for (int picked = 0; picked < needed; ++picked) {
        const int r = rows.takeAt(int(m_ctx.random.bounded(quint32(rows.size()))));
        insertReplacement(CDS_Sugestao->numBilhete(r));
        CDS_Sugestao->choose(r);
    }
    setTotalRep(0);
    CDS_Sugestao->close();
}

void WidgetWhatsAppOrder::closeLists() {
    CDS_Sugestao->close();
    CDS_Sugestao_ForaFaixa->close();
}

void WidgetWhatsAppOrder::BTN_ConcluirClick() {
    if (totalRep() != 0 &&
        !m_ctx.dialogs.question(kKorvante,
                                QStringLiteral("Você não trocou todas as Rifas ja Vendidas por novas Rifas "
                                               "Disponíveis.\r\rVocê deseja realmente fechar essa Tela sem "
                                               "Concluir a Troca Completa?"),
                                false))
        return;
    setTotalRep(0);
    DisponibilidadeChecada = false;
    Panel_ForaFaixa->hide();
    Panel_Sugestao->hide();
    closeLists();
}

void WidgetWhatsAppOrder::PrepararEnvioWhatsApp() {
    m_ctx.raffle.LBL_RifaUsar = m_raffleName;
    DisponibilidadeChecada = false;
    WhatsAppHandOver h;
    h.qtBilhetesEnvio = m_ctx.raffle.QtBilhetesEnvio;
    if (h.qtBilhetesEnvio > 1)
        h.tickets = sendList();
    else
        h.bilheteUnico = BilheteUnicoEnvio;
    h.foneEnvio = m_ctx.raffle.FoneEnvio;
    if (m_handOver) m_handOver(h);
    Rich_DadosW->clear();
}

void WidgetWhatsAppOrder::img_whatsClick(const QString &lastValidated) {
    // A sequence shows as "10-12": only one ticket goes alone.
    if (lastValidated.isEmpty() || lastValidated == u"00" || !TypedValues::parseWholeNumber(lastValidated)) {
        m_ctx.dialogs.error(QStringLiteral(
            "Envia por Whatsapp 1 único Bilhete, mas não está mostrando o último número Validado!"));
        return;
    }
    BilheteUnicoEnvio = lastValidated;
    PrepararEnvioWhatsApp();
}

void WidgetWhatsAppOrder::EnviarPorWhatsApp(int numBilhete, const QString &phone) {
    if (Panel_Agrupa_Whats->isVisible() && List_Agrupar->count() > 0) {
        AgruparParaEnvio(numBilhete, phone);
        return;
    }
    BilheteUnicoEnvio = QString::number(numBilhete);
    m_ctx.raffle.QtBilhetesEnvio = 1;
    m_ctx.raffle.FoneEnvio = phone;
    PrepararEnvioWhatsApp();
}

void WidgetWhatsAppOrder::AgruparParaEnvio(int numBilhete, const QString &phone) {
    if (List_Agrupar->count() >= SendListCapacity) {
        m_ctx.dialogs.error(QStringLiteral("O grupo já tem %1 Bilhetes, o máximo de um envio por WhatsApp. "
                                           "Envie esse grupo antes de agrupar outros Bilhetes.")
                                .arg(SendListCapacity));
        return;
    }
    if (!Panel_Agrupa_Whats->isVisible()) {
        Panel_Agrupa_Whats->move(574, 177);
        Panel_Agrupa_Whats->show();
    }
    Panel_Agrupa_Whats->raise();
    List_Agrupar->addItem(format().format(numBilhete));
    m_ctx.raffle.FoneEnvio = phone;
    ++m_ctx.raffle.QtBilhetesEnvio;
}

void WidgetWhatsAppOrder::Img_EnviarAgrupadosClick() {
    const int n = qMin(List_Agrupar->count(), int(SendListCapacity));
    if (n == 0) return;
    clearSendList();
    for (int i = 0; i < n; ++i)
        BilhetesEnvio[i + 1] = List_Agrupar->item(i)->text();
    // The count is the group's, whatever an earlier send left in it.
    m_ctx.raffle.QtBilhetesEnvio = quint8(n);
    BilheteUnicoEnvio = BilhetesEnvio[1];
    PrepararEnvioWhatsApp();
    clearSendList();
    List_Agrupar->clear();
    Panel_Agrupa_Whats->hide();
}

void WidgetWhatsAppOrder::Img_FecharAgrupaClick() {
    if (!m_ctx.dialogs.question(QStringLiteral("Quelmaro"),
                                QStringLiteral("Deseja fechar esse Painel? Ao fechar o sistema limpa os BIlhtes "
                                               "ja Agrupados... Confirma fechamento?"),
                                false))
        return;
    clearSendList();
    List_Agrupar->clear();
    Panel_Agrupa_Whats->hide();
}

bool WidgetWhatsAppOrder::eventFilter(QObject *watched, QEvent *event) {
    // A greyed-out picture takes no clicks (the window holds its panels while a sequence runs).
    if (auto *widget = qobject_cast<QWidget *>(watched);
        widget && !widget->isEnabled() && event->type() == QEvent::MouseButtonRelease)
        return true;
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        m_dragging = nullptr;
        if (watched == Img_Fechar) {
            Img_FecharClick();
            return true;
        }
        if (watched == Img_FecharSug) {
            BTN_ConcluirClick();
            return true;
        }
        if (watched == Img_FecharFora) {
            if (BTN_MaisDisp->isVisible()) Panel_ForaFaixa->hide();
            return true;
        }
        if (watched == Img_EnviarAgrupados) {
            Img_EnviarAgrupadosClick();
            return true;
        }
        if (watched == Img_FecharAgrupa) {
            Img_FecharAgrupaClick();
            return true;
        }
    }
    // Dragging the title or the frame moves the panel.
    if (watched == LBL_TituloW || watched == this) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
            m_dragging = this;
            m_dragFrom = me->globalPosition().toPoint() - pos();
            return true;
        }
        if (event->type() == QEvent::MouseMove && m_dragging && (me->buttons() & Qt::LeftButton)) {
            move(me->globalPosition().toPoint() - m_dragFrom);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
