#include "draw/TForm_SORTEIO.h"

#include "data/Fingerprint.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "draw/TForm_Ata.h"
#include "platform/Dialogs.h"
#include "sales/SalesClosing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

const QColor kIdleDigit(29, 28, 27); // near-black on the black window
const QColor kYellow(Qt::yellow);
const QColor kWhite(Qt::white);
const QColor kAqua(0, 255, 255);
constexpr int kDigitStep = 74;
constexpr int kDigitTop = 190;

void paintText(QWidget *w, const QColor &colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::Text, colour);
    w->setPalette(pal);
}

} // namespace

TForm_SORTEIO::TForm_SORTEIO(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_draw(ctx), m_federal(ctx), m_records(ctx) {
    setObjectName(QStringLiteral("TForm_SORTEIO"));
    setWindowTitle(QStringLiteral("KORVANTE - SORTEIO"));
    // The look-up of a drawn number lets the window repaint between its per-column reads.
    m_draw.setBetweenReads([] { QCoreApplication::processEvents(); });
    m_federal.setBetweenReads([] { QCoreApplication::processEvents(); });
    buildWindow();
}

TForm_SORTEIO::~TForm_SORTEIO() {
    stopTimers();
}

QLabel *TForm_SORTEIO::label(const QString &text, QRect place, int pixelSize, const QColor &colour,
                             const char *name) {
    auto *l = new QLabel(text, this);
    if (name) l->setObjectName(QLatin1String(name));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    l->setFont(f);
    paintText(l, colour);
    l->setGeometry(place);
    return l;
}

void TForm_SORTEIO::buildWindow() {
    setFixedSize(800, 746);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    auto *banner = label(QStringLiteral("SORTEANDO NÚMERO DA RIFA"), {0, 20, 800, 36}, 30, kWhite);
    banner->setAlignment(Qt::AlignCenter);
    LBL_NOME_RIFA = label(QString(), {0, 62, 800, 30}, 22, kYellow, "LBL_NOME_RIFA");
    LBL_NOME_RIFA->setAlignment(Qt::AlignCenter);
    label(QStringLiteral("Número Sorteado"), {0, 150, 800, 26}, 20, kWhite)->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "LN_" + QByteArray::number(i + 1);
        LN[i] = label(QStringLiteral("0"), {0, kDigitTop, 70, 90}, 80, kIdleDigit, name.constData());
        LN[i]->setAlignment(Qt::AlignCenter);
        LN[i]->hide();
    }
    LBL_NUM_SORT_AMPLIAR = label(QString(), {234, 196, 340, 90}, 80, kWhite, "LBL_NUM_SORT_AMPLIAR");
    LBL_NUM_SORT_AMPLIAR->setAlignment(Qt::AlignCenter);
    LBL_NUM_SORT_AMPLIAR->hide();

    label(QStringLiteral("Controle de Bilhete:"), {120, 312, 230, 30}, 22, kWhite);
    LBL_BIL = label(QStringLiteral("-"), {360, 306, 220, 40}, 34, kYellow, "LBL_BIL");
    LBL_BIL->setToolTip(QStringLiteral("Duplo Click - Mostra Dados do Ganhador"));
    LBL_BIL->installEventFilter(this);

    LBL_AvisoPago = label(QStringLiteral("Pago:"), {120, 356, 230, 30}, 22, kWhite, "LBL_AvisoPago");
    LBL_AvisoPago->installEventFilter(this);
    Shape_Pago = new QFrame(this);
    Shape_Pago->setObjectName(QStringLiteral("Shape_Pago"));
    Shape_Pago->setFrameShape(QFrame::Box);
    Shape_Pago->setGeometry(352, 350, 120, 42);
    paintText(Shape_Pago, kWhite);
    LBL_PAGO_AMPLI = label(QStringLiteral("-"), {356, 352, 112, 38}, 28, kYellow, "LBL_PAGO_AMPLI");
    LBL_PAGO_AMPLI->setAlignment(Qt::AlignCenter);

    BitBtn1 = new QPushButton(QStringLiteral("SORTEAR"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(600, 320, 160, 56);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm_SORTEIO::BitBtn1Click);

    auto option = [this](const char *name, const QString &text, int top) {
        auto *c = new QCheckBox(text, this);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(30, top, 740, 24);
        paintText(c, kWhite);
        return c;
    };
    CHK_Todos = option("CHK_Todos",
                       QStringLiteral("Gerar Número idêntico aos da Loteria Federal para concorrer pelos "
                                      "Números contidos no C. Bilhete"),
                       420);
    CHK_Pagos =
        option("CHK_Pagos",
               QStringLiteral("Sortear Entre os Números Contidos nos C. Bilhetes que foram Pagos."), 448);
    CHK_Controle = option("CHK_Controle",
                          QStringLiteral("Giro da Sorte - Sorteia Apenas pelo Número do Controle do Bilhete "
                                         "( Somente os Pagos )"),
                          476);
    connect(CHK_Todos, &QCheckBox::clicked, this, &TForm_SORTEIO::CHK_TodosClick);
    connect(CHK_Pagos, &QCheckBox::clicked, this, &TForm_SORTEIO::CHK_PagosClick);
    connect(CHK_Controle, &QCheckBox::clicked, this, &TForm_SORTEIO::CHK_ControleClick);
    CHK_Federal = option("CHK_Federal", QStringLiteral("Pela Loteria Federal"), 504);
    connect(CHK_Federal, &QCheckBox::clicked, this, &TForm_SORTEIO::CHK_FederalClick);
    buildFederalPanel();

    auto ataButton = [this](const char *name, const QString &text, QRect place) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(place);
        b->setAutoDefault(false);
        return b;
    };
    BTN_Ata = ataButton("BTN_Ata", QStringLiteral("Ata do Sorteio"), {678, 104, 112, 28});
    connect(BTN_Ata, &QPushButton::clicked, this, &TForm_SORTEIO::BTN_AtaClick);
    // This window changes no data: it only shows whether and when the sales were closed.
    LBL_Encerramento = label(QString(), {20, 108, 640, 22}, 13, kWhite, "LBL_Encerramento");

    Panel_GANHADOR = new QFrame(this);
    Panel_GANHADOR->setObjectName(QStringLiteral("Panel_GANHADOR"));
    Panel_GANHADOR->setFrameShape(QFrame::Panel);
    Panel_GANHADOR->setGeometry(60, 208, 680, 150);
    QPalette panelPal = Panel_GANHADOR->palette();
    panelPal.setColor(QPalette::Window, QColor(0, 0, 96));
    panelPal.setColor(QPalette::WindowText, kWhite);
    Panel_GANHADOR->setPalette(panelPal);
    Panel_GANHADOR->setAutoFillBackground(true);
    auto panelLabel = [this](const QString &text, QRect place, int size, const char *name = nullptr) {
        auto *l = new QLabel(text, Panel_GANHADOR);
        if (name) l->setObjectName(QLatin1String(name));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(size);
        f.setBold(true);
        l->setFont(f);
        l->setGeometry(place);
        return l;
    };
    panelLabel(QStringLiteral("DADOS DO GANHADOR"), {12, 8, 400, 24}, 20);
    panelLabel(QStringLiteral("ID:"), {12, 44, 140, 26}, 18);
    panelLabel(QStringLiteral("CIDADE/UF:"), {12, 78, 140, 26}, 18);
    panelLabel(QStringLiteral("FONE:"), {12, 112, 140, 26}, 18);
    LBL_ID = panelLabel(QStringLiteral("--"), {160, 44, 500, 26}, 18, "LBL_ID");
    LBL_CID = panelLabel(QStringLiteral("--"), {160, 78, 500, 26}, 18, "LBL_CID");
    LBL_FONE = panelLabel(QStringLiteral("--"), {160, 112, 500, 26}, 18, "LBL_FONE");
    IMG_FecharGanhador = panelLabel(QStringLiteral("X"), {646, 6, 26, 26}, 20, "IMG_FecharGanhador");
    IMG_FecharGanhador->setAlignment(Qt::AlignCenter);
    IMG_FecharGanhador->setCursor(Qt::PointingHandCursor);
    IMG_FecharGanhador->setToolTip(QStringLiteral("Fechar"));
    IMG_FecharGanhador->installEventFilter(this);
    Panel_GANHADOR->hide();

    IMG_Fechar = label(QStringLiteral("X"), {764, 8, 28, 28}, 24, kWhite, "IMG_Fechar");
    IMG_Fechar->setAlignment(Qt::AlignCenter);
    IMG_Fechar->setCursor(Qt::PointingHandCursor);
    IMG_Fechar->setToolTip(QStringLiteral("Fechar"));
    IMG_Fechar->installEventFilter(this);

    auto timer = [this](const char *name, void (TForm_SORTEIO::*handler)()) {
        auto *t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(0);
        connect(t, &QTimer::timeout, this, handler);
        return t;
    };
    Timer1 = timer("Timer1", &TForm_SORTEIO::Timer1Timer);
    Timer2 = timer("Timer2", &TForm_SORTEIO::Timer2Timer);
    Timer3 = timer("Timer3", &TForm_SORTEIO::Timer3Timer);
}

void TForm_SORTEIO::buildFederalPanel() {
    Panel_FEDERAL = new QFrame(this);
    Panel_FEDERAL->setObjectName(QStringLiteral("Panel_FEDERAL"));
    Panel_FEDERAL->setGeometry(30, 532, 740, 206);
    auto text = [this](const QString &t, QRect place) {
        auto *l = new QLabel(t, Panel_FEDERAL);
        l->setGeometry(place);
        paintText(l, kWhite);
        return l;
    };
    auto edit = [this](const char *name, QRect place, int length) {
        auto *e = new QLineEdit(Panel_FEDERAL);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(place);
        e->setMaxLength(length);
        return e;
    };
    text(QStringLiteral("Extração nº"), {0, 0, 70, 24});
    Ed_Extracao = edit("Ed_Extracao", {72, 0, 70, 24}, 10);
    text(QStringLiteral("Data"), {152, 0, 34, 24});
    Ed_DataExtracao = edit("Ed_DataExtracao", {188, 0, 92, 24}, 10);
    Ed_DataExtracao->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    text(QStringLiteral("Hora"), {292, 0, 34, 24});
    // The Loteria Federal draws at 19:00 in Brasília; the closing of sales must come before.
    Ed_HoraExtracao = edit("Ed_HoraExtracao", {328, 0, 56, 24}, 5);
    Ed_HoraExtracao->setText(QStringLiteral("19:00"));
    text(QStringLiteral("horário de Brasília"), {390, 0, 160, 24});
    text(QStringLiteral("Se o número não foi vendido"), {0, 26, 178, 24});
    CMB_Regra = new QComboBox(Panel_FEDERAL);
    CMB_Regra->setObjectName(QStringLiteral("CMB_Regra"));
    CMB_Regra->setGeometry(180, 26, 268, 24);
    for (FederalRule r : {FederalRule::ProximoPremio, FederalRule::MaisProximo, FederalRule::Organizacao})
        CMB_Regra->addItem(FederalDraw::ruleText(r), int(r));
    for (int i = 0; i < 5; ++i) {
        text(QStringLiteral("%1º prêmio").arg(i + 1), {i * 148, 54, 64, 24});
        const QByteArray name = "Ed_Premio" + QByteArray::number(i + 1);
        Ed_Premio[i] = edit(name.constData(), {i * 148 + 64, 54, 76, 24}, 6);
    }
    Grid_Premios = new QTableWidget(5, 5, Panel_FEDERAL);
    Grid_Premios->setObjectName(QStringLiteral("Grid_Premios"));
    Grid_Premios->setGeometry(0, 84, 740, 122);
    Grid_Premios->setHorizontalHeaderLabels({QStringLiteral("Prêmio"), QStringLiteral("Resultado"),
                                             QStringLiteral("Número"), QStringLiteral("Bilhete"),
                                             QStringLiteral("Pago")});
    Grid_Premios->horizontalHeader()->setFixedHeight(20);
    Grid_Premios->verticalHeader()->hide();
    Grid_Premios->verticalHeader()->setMinimumSectionSize(10);
    Grid_Premios->verticalHeader()->setDefaultSectionSize(20);
    Grid_Premios->horizontalHeader()->setStretchLastSection(true);
    Grid_Premios->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < 5; ++i)
        Grid_Premios->setItem(i, 0, new QTableWidgetItem(QStringLiteral("%1º").arg(i + 1)));
    Panel_FEDERAL->hide();
}

void TForm_SORTEIO::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm_SORTEIO::FormShow() {
    LBL_NOME_RIFA->setText(m_draw.raffleName().toUpper());
    LBL_NUM_SORT_AMPLIAR->move(234, 196);
    m_draw.start(DrawMode::None);
    const int maior = m_ctx.raffle.MaiorNumero;
    const int left = OwnDraw::firstDigitLeft(maior);
    for (int i = 0; i < 6; ++i)
        LN[i]->move(left + i * kDigitStep, kDigitTop);
    setBigNumberShown(LBL_NUM_SORT_AMPLIAR->isVisibleTo(this));
    LBL_NUM_SORT_AMPLIAR->setText(m_draw.number(0));
    QString error;
    const auto closing = SalesClosing::stateOf(m_ctx.tdm.CONEX_R(), m_ctx.raffle.slot(), &error);
    LBL_Encerramento->setText(!closing ? QStringLiteral("Encerramento das vendas: não foi possível ler")
                              : closing->closed()
                                  ? QStringLiteral("Vendas encerradas em %1 - %2 Bilhetes vendidos")
                                        .arg(BrasiliaTime::shown(closing->closedAt))
                                        .arg(closing->sold)
                                  : QStringLiteral("Vendas abertas (não encerradas)"));
}

void TForm_SORTEIO::hideEvent(QHideEvent *event) {
    stopTimers(); // closing stops everything
    QDialog::hideEvent(event);
}

void TForm_SORTEIO::resetDisplay() {
    LBL_BIL->setText(QStringLiteral("-"));
    LBL_PAGO_AMPLI->setText(QStringLiteral("-"));
    m_winner.reset();
    LBL_NUM_SORT_AMPLIAR->setText(m_draw.number(0));
    for (QLabel *l : LN) {
        l->setText(QStringLiteral("0"));
        paintText(l, kIdleDigit);
    }
}

void TForm_SORTEIO::showBigNumber(bool visible, const QColor &colour) {
    paintText(LBL_NUM_SORT_AMPLIAR, colour);
    setBigNumberShown(visible);
}

void TForm_SORTEIO::setBigNumberShown(bool shown) {
    LBL_NUM_SORT_AMPLIAR->setVisible(shown);
    // The big number stands where the digits stand: the idle digits step aside while it shows.
    const int digits = OwnDraw::digitCount(m_ctx.raffle.MaiorNumero);
    for (int i = 0; i < 6; ++i)
        LN[i]->setVisible(!shown && i < digits);
}

void TForm_SORTEIO::clearOtherOptions(QCheckBox *keep) {
    // Unchecking the others does not run their own click handling: only clicks do.
    for (QCheckBox *c : {CHK_Todos, CHK_Pagos, CHK_Controle, CHK_Federal})
        if (c != keep) c->setChecked(false);
    Panel_FEDERAL->setVisible(CHK_Federal->isChecked());
}

void TForm_SORTEIO::CHK_TodosClick() {
    setBigNumberShown(false);
    clearOtherOptions(CHK_Todos);
    resetDisplay();
}

void TForm_SORTEIO::CHK_PagosClick() {
    resetDisplay();
    setBigNumberShown(true);
    clearOtherOptions(CHK_Pagos);
}

void TForm_SORTEIO::CHK_ControleClick() {
    resetDisplay();
    setBigNumberShown(true);
    clearOtherOptions(CHK_Controle);
}

void TForm_SORTEIO::CHK_FederalClick() {
    resetDisplay();
    setBigNumberShown(true);
    clearOtherOptions(CHK_Federal);
}

void TForm_SORTEIO::setSpinning(bool on) {
    // One draw at a time: a second SORTEAR or a change of option while spinning is refused.
    for (QWidget *w : std::initializer_list<QWidget *>{BitBtn1, CHK_Todos, CHK_Pagos, CHK_Controle,
                                                       CHK_Federal, Panel_FEDERAL, BTN_Ata})
        w->setEnabled(!on);
}

void TForm_SORTEIO::stopTimers() {
    for (QTimer *t : {Timer1, Timer2, Timer3}) {
        if (!t) continue;
        t->stop();
        t->setInterval(0);
    }
}

void TForm_SORTEIO::BitBtn1Click() {
    if (Timer1->isActive() || Timer2->isActive() || Timer3->isActive()) return;
    if (!CHK_Todos->isChecked() && !CHK_Pagos->isChecked() && !CHK_Controle->isChecked() &&
        !CHK_Federal->isChecked()) {
        m_ctx.dialogs.notice(OwnDraw::noOptionMessage());
        return;
    }
    resetDisplay();
    Panel_GANHADOR->hide();
    if (CHK_Federal->isChecked()) {
        sortearFederal();
        return;
    }
    if (CHK_Todos->isChecked()) {
        m_draw.start(DrawMode::Todos);
        setBigNumberShown(false);
        Timer1->start(OwnDraw::DigitsInterval);
    } else if (CHK_Pagos->isChecked()) {
        showBigNumber(true, kWhite);
        m_draw.start(DrawMode::Pagos);
        Timer2->start(OwnDraw::CandidateInterval);
    } else {
        showBigNumber(true, kAqua);
        m_draw.start(DrawMode::Controle);
        Timer3->start(OwnDraw::CandidateInterval);
    }
    setSpinning(true);
}

void TForm_SORTEIO::Timer1Timer() {
    onTick(Timer1);
}
void TForm_SORTEIO::Timer2Timer() {
    onTick(Timer2);
}
void TForm_SORTEIO::Timer3Timer() {
    onTick(Timer3);
}

void TForm_SORTEIO::onTick(QTimer *timer) {
    // The last tick looks the winner up and lets the window repaint meanwhile: a tick arriving then
    // would spin a digit that is already final.
    if (m_inTick) return;
    m_inTick = true;
    const DrawTick t = m_draw.tick();
    m_inTick = false;
    if (t.state == DrawTick::State::Failed) {
        stopTimers();
        setSpinning(false);
        resetDisplay();
        m_ctx.dialogs.message(QStringLiteral("KORVANTE"), t.message, t.icon);
        return;
    }
    if (timer == Timer1) {
        QLabel *digit = LN[t.position - 1];
        digit->setText(QString::number(t.digit));
        paintText(digit, kYellow);
    } else {
        LBL_NUM_SORT_AMPLIAR->setText(m_draw.number(t.shown));
    }
    if (t.state != DrawTick::State::Finished) return;

    stopTimers();
    setSpinning(false);
    m_winner = t.winner;
    if (t.winner) {
        LBL_BIL->setText(m_draw.ticketId(t.winner->numBilhete));
        LBL_PAGO_AMPLI->setText(t.paid ? QStringLiteral("Sim") : QStringLiteral("Não"));
    }
    if (!t.message.isEmpty()) m_ctx.dialogs.message(QStringLiteral("KORVANTE"), t.message, t.icon);
    if (!t.winner) return; // a number no ticket holds is no result
    DrawRecord r;
    if (timer == Timer1) {
        r.modo = QStringLiteral("TODOS");
        r.sorteado = m_draw.number(t.drawnNumber);
    } else if (timer == Timer2) {
        r.modo = QStringLiteral("PAGOS");
        r.sorteado = m_draw.number(t.drawnNumber);
    } else {
        r.modo = QStringLiteral("CONTROLE");
        r.sorteado = m_draw.ticketId(t.winner->numBilhete);
    }
    record(r, t.winner);
}

void TForm_SORTEIO::sortearFederal() {
    FederalInput input;
    input.extracao = Ed_Extracao->text();
    input.data = Ed_DataExtracao->text();
    input.hora = Ed_HoraExtracao->text();
    for (int i = 0; i < 5; ++i)
        input.premios[i] = Ed_Premio[i]->text();
    input.rule = FederalRule(CMB_Regra->currentData().toInt());
    setSpinning(true); // the look-ups let the window repaint: no second draw meanwhile
    const FederalResult res = m_federal.draw(input);
    setSpinning(false);
    for (int i = 0; i < 5; ++i)
        for (int c = 1; c < 5; ++c)
            Grid_Premios->setItem(i, c, new QTableWidgetItem());
    if (!res.drawn) {
        m_ctx.dialogs.message(res.title, res.message, res.icon);
        return;
    }
    DrawRecord r;
    r.modo = QStringLiteral("FEDERAL");
    r.regra = FederalDraw::ruleCode(input.rule);
    r.extracao = res.extracao;
    r.dataExtracao = res.data;
    r.horaExtracao = res.hora;
    r.numReferencia = res.referenceNumber;
    r.empateCom = res.tieWith;
    for (int i = 0; i < 5; ++i) {
        const FederalPrize &p = res.prizes[i];
        r.premio[i] = p.premio;
        r.numPremio[i] = p.numero;
        r.bilPremio[i] = p.ticket ? p.ticket->numBilhete : 0;
        r.pagoPremio[i] =
            p.ticket ? (p.ticket->paid() ? QStringLiteral("S") : QStringLiteral("N")) : QString();
        Grid_Premios->item(i, 1)->setText(p.premio);
        Grid_Premios->item(i, 2)->setText(m_draw.number(p.numero));
        Grid_Premios->item(i, 3)->setText(p.ticket ? m_draw.ticketId(p.ticket->numBilhete)
                                                   : QStringLiteral("-"));
        Grid_Premios->item(i, 4)->setText(!p.ticket          ? QStringLiteral("-")
                                          : p.ticket->paid() ? QStringLiteral("Sim")
                                                             : QStringLiteral("Não"));
    }
    m_winner = res.winner;
    if (res.winner) {
        r.sorteado = m_draw.number(res.winningNumber);
        LBL_BIL->setText(m_draw.ticketId(res.winner->numBilhete));
        LBL_PAGO_AMPLI->setText(QStringLiteral("Sim"));
        LBL_NUM_SORT_AMPLIAR->setText(m_draw.number(res.winningNumber));
    }
    if (!res.message.isEmpty()) m_ctx.dialogs.message(res.title, res.message, res.icon);
    record(r, res.winner);
}

void TForm_SORTEIO::record(DrawRecord &r, const std::optional<TicketRow> &winner) {
    // The draw on screen stands whatever happens to its record.
    QString error;
    if (m_records.complete(r, winner, &error) && m_records.write(r, &error)) {
        m_lastRecord = r.id;
        return;
    }
    m_ctx.dialogs.error(DrawRecords::writeFailedMessage() + error);
}

void TForm_SORTEIO::BTN_AtaClick() {
    TForm_Ata ata(m_ctx, m_lastRecord, this);
    ata.exec();
}

void TForm_SORTEIO::LBL_BILDblClick() {
    if (!m_winner) return; // "-": no ticket drawn yet
    QString error;
    const std::optional<WinnerData> w = m_draw.winnerData(m_winner->numBilhete, &error);
    if (!error.isEmpty()) {
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler os Dados do Ganhador. Detalhe do Erro: ") + error);
        return;
    }
    if (!w) {
        m_ctx.dialogs.notice(OwnDraw::winnerNotFoundMessage());
        return;
    }
    Panel_GANHADOR->move(60, 208);
    LBL_ID->setText(QStringLiteral("--"));
    LBL_CID->setText(QStringLiteral("--"));
    LBL_FONE->setText(QStringLiteral("--"));
    LBL_ID->setText(w->nome);
    LBL_CID->setText(w->cidade);
    LBL_FONE->setText(OwnDraw::maskedPhone(w->fone));
    if (w->hasData()) {
        Panel_GANHADOR->show();
        Panel_GANHADOR->raise();
    } else {
        m_ctx.dialogs.notice(OwnDraw::winnerWithoutDataMessage());
    }
}

void TForm_SORTEIO::LBL_AvisoPagoDblClick() {
    // For showing the draw without revealing payment, until the window is opened again.
    m_paidHidden = true;
    LBL_AvisoPago->hide();
    Shape_Pago->hide();
    LBL_PAGO_AMPLI->hide();
    Grid_Premios->setColumnHidden(4, true);
}

bool TForm_SORTEIO::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == LBL_BIL) {
            LBL_BILDblClick();
            return true;
        }
        if (watched == LBL_AvisoPago) {
            LBL_AvisoPagoDblClick();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        if (me->button() == Qt::LeftButton && w && w->rect().contains(me->position().toPoint())) {
            if (watched == IMG_Fechar) {
                close();
                return true;
            }
            if (watched == IMG_FecharGanhador) {
                Panel_GANHADOR->hide();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
