#include "reports/TForm_Consulta.h"

#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>

namespace {

const char *const kValidatedTitles[] = {"Nº BILHETE", "COMPRADOR", "CIDADE",  "FONE",
                                        "PAGTO EM",   "AUTENTIC",  "VENDEDOR"};
constexpr int kColumns = 7;

QLabel *label(QWidget *parent, const QString &text, QRect place, bool bold = false) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(place);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QTableWidget *grid(QWidget *parent, const char *name, QRect place, int columns) {
    auto *g = new QTableWidget(0, columns, parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(place);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->verticalHeader()->hide();
    return g;
}

} // namespace

TForm_Consulta::TForm_Consulta(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_query(ctx) {
    setObjectName(QStringLiteral("TForm_Consulta"));
    setWindowTitle(QStringLiteral("Consulta Bilhetes"));
    buildWindow();
    // Let the window repaint between the per-column reads of a large ticket table.
    m_query.setBetweenReads([] { QCoreApplication::processEvents(); });
    MostrarConfGridPadrao();
}

void TForm_Consulta::buildWindow() {
    resize(760, 470);
    label(this, QStringLiteral("Rifa Definida.............:"), {12, 10, 152, 18}, true);
    LBL_StatusBingo = label(this, QString(), {165, 10, 400, 18}, true);
    LBL_StatusBingo->setObjectName(QStringLiteral("LBL_StatusBingo"));
    label(this, QStringLiteral("Modalidade Definida:"), {12, 30, 150, 18}, true);
    LBL_Modal = label(this, QString(), {165, 30, 200, 18}, true);
    LBL_Modal->setObjectName(QStringLiteral("LBL_Modal"));

    label(this, QStringLiteral("CONSULTAR POR"), {12, 60, 200, 18}, true);
    CMB_TipoConsulta = new QComboBox(this);
    CMB_TipoConsulta->setObjectName(QStringLiteral("CMB_TipoConsulta"));
    CMB_TipoConsulta->setGeometry(12, 80, 210, 24);
    CMB_TipoConsulta->addItems({QStringLiteral("Nº Controle do Bilhete"), QStringLiteral("Nº Sorteado")});
    CMB_TipoConsulta->setCurrentIndex(-1);
    connect(CMB_TipoConsulta, &QComboBox::currentIndexChanged, this, &TForm_Consulta::CMB_TipoConsultaChange);

    LBL_Campo = label(this, QStringLiteral("C.Bilhete Nº"), {240, 60, 120, 18}, true);
    LBL_Campo->setObjectName(QStringLiteral("LBL_Campo"));
    Ed_numBilhete = new QLineEdit(this);
    Ed_numBilhete->setObjectName(QStringLiteral("Ed_numBilhete"));
    Ed_numBilhete->setGeometry(240, 80, 120, 24);
    Ed_numBilhete->setMaxLength(10);
    Ed_numBilhete->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("Consultar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(370, 79, 100, 26);
    Button1->setAutoDefault(false); // Enter in the field runs the query itself
    connect(Button1, &QPushButton::clicked, this, &TForm_Consulta::Button1Click);

    RB_Validados = new QRadioButton(QStringLiteral("Bilhetes Validados"), this);
    RB_Validados->setObjectName(QStringLiteral("RB_Validados"));
    RB_Validados->setGeometry(500, 62, 200, 20);
    RB_Validados->setChecked(true);
    RB_Gerais = new QRadioButton(QStringLiteral("Bilhetes Gerais ( * )"), this);
    RB_Gerais->setObjectName(QStringLiteral("RB_Gerais"));
    RB_Gerais->setGeometry(500, 84, 200, 20);
    label(this, QStringLiteral("* Validados ou Não"), {520, 106, 200, 16});
    connect(RB_Validados, &QRadioButton::clicked, this, &TForm_Consulta::RB_ValidadosClick);
    connect(RB_Gerais, &QRadioButton::clicked, this, &TForm_Consulta::RB_GeraisClick);

    label(this, QStringLiteral("Dados do Bilhete"), {12, 130, 300, 18}, true);
    DBGrid1 = grid(this, "DBGrid1", {12, 150, 736, 120}, kColumns);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    label(this, QStringLiteral("Números que compõem o Bilhete"), {12, 285, 300, 18}, true);
    label(this, QStringLiteral("( do Bilhete Impresso acima )"), {250, 285, 300, 18});
    DBGrid2 = grid(this, "DBGrid2", {12, 305, 736, 80}, qMax(1, int(m_ctx.raffle.QtNumBilhete)));
    QStringList numberTitles;
    for (int i = 1; i <= DBGrid2->columnCount(); ++i)
        numberTitles << QStringLiteral("N%1").arg(i);
    DBGrid2->setHorizontalHeaderLabels(numberTitles);
}

void TForm_Consulta::setRifaDefinida(const QString &raffleName, const QString &modalidade) {
    LBL_StatusBingo->setText(raffleName);
    LBL_Modal->setText(modalidade);
}

QString TForm_Consulta::number(int value) const {
    return NumberFormat::number(value, m_ctx.raffle.MaiorNumero);
}

TicketQuery::By TForm_Consulta::queryBy() const {
    switch (CMB_TipoConsulta->currentIndex()) {
    case 0:
        return TicketQuery::By::ControlNumber;
    case 1:
        return TicketQuery::By::DrawnNumber;
    default:
        return TicketQuery::By::None;
    }
}

void TForm_Consulta::CMB_TipoConsultaChange() {
    LBL_Campo->setText(CMB_TipoConsulta->currentIndex() == 1 ? QStringLiteral("Nº Sorteado")
                                                             : QStringLiteral("C.Bilhete Nº"));
}

void TForm_Consulta::MostrarConfGridPadrao() {
    m_general = false;
    for (int c = 0; c < kColumns; ++c) {
        DBGrid1->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kValidatedTitles[c])));
        DBGrid1->setColumnHidden(c, false);
    }
    // Every column within the grid's width, the seller last and taking what is left.
    const QFontMetrics fm(DBGrid1->horizontalHeader()->font());
    const int widths[] = {80, 180, 100, 100, 80, 80};
    for (int c = 0; c < kColumns - 1; ++c)
        DBGrid1->setColumnWidth(c, qMax(widths[c], fm.horizontalAdvance(QString::fromUtf8(kValidatedTitles[c])) + 16));
    fillGrids();
}

void TForm_Consulta::MostrarConfGridGeral() {
    m_general = true;
    DBGrid1->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Nº BILHETE")));
    DBGrid1->setHorizontalHeaderItem(1, new QTableWidgetItem(QStringLiteral("PAGO")));
    DBGrid1->setColumnHidden(0, false);
    DBGrid1->setColumnHidden(1, false);
    for (int c = 2; c < kColumns; ++c)
        DBGrid1->setColumnHidden(c, true);
    fillGrids();
}

void TForm_Consulta::fillGrids() {
    DBGrid1->setRowCount(0);
    DBGrid2->setRowCount(0);
    auto put = [](QTableWidget *g, int column, const QString &text) {
        g->setItem(0, column, new QTableWidgetItem(text));
    };
    if (m_general && m_ticket) {
        DBGrid1->setRowCount(1);
        put(DBGrid1, 0, number(m_ticket->numBilhete));
        put(DBGrid1, 1, m_ticket->mark);
    } else if (!m_general && m_buyer) {
        DBGrid1->setRowCount(1);
        put(DBGrid1, 0, number(m_buyer->numBilhete));
        put(DBGrid1, 1, m_buyer->comprador);
        put(DBGrid1, 2, m_buyer->cidade);
        put(DBGrid1, 3, m_buyer->fone);
        put(DBGrid1, 4, m_buyer->pagtoEm.toString(QStringLiteral("dd/MM/yyyy")));
        put(DBGrid1, 5, m_buyer->autentic);
        put(DBGrid1, 6, m_buyer->vendedor);
    }
    if (m_ticket) {
        DBGrid2->setRowCount(1);
        for (int i = 0; i < m_ticket->numbers.size() && i < DBGrid2->columnCount(); ++i)
            put(DBGrid2, i, number(m_ticket->numbers.at(i)));
    }
}

void TForm_Consulta::RB_ValidadosClick() {
    m_buyer.reset();
    m_ticket.reset();
    MostrarConfGridPadrao();
}

void TForm_Consulta::RB_GeraisClick() {
    MostrarConfGridGeral();
}

void TForm_Consulta::Button1Click() {
    // The window repaints between the reads of a look-up; a click meanwhile must not start another.
    if (m_busy) return;
    m_busy = true;
    auto done = qScopeGuard([this] { m_busy = false; });
    const TicketQuery::Scope scope =
        RB_Gerais->isChecked() ? TicketQuery::Scope::All : TicketQuery::Scope::Validated;
    const TicketQuery::By by = queryBy();
    const QueryOutcome o = m_query.Consultar(by, scope, Ed_numBilhete->text());
    // A refused input leaves the last result on screen; a query that ran shows what it found.
    const bool ran = by != TicketQuery::By::None && NumberFormat::parse(Ed_numBilhete->text()).has_value();
    if (ran) {
        m_buyer = o.buyer;
        m_ticket = o.ticket;
        fillGrids();
    }
    if (!o.message.isEmpty()) m_ctx.dialogs.message(o.title, o.message, o.icon);
}

bool TForm_Consulta::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Ed_numBilhete && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            Button1Click();
            return true;
        }
        const QString text = ke->text();
        if (ke->key() == Qt::Key_Backspace || ke->key() == Qt::Key_Tab || text.isEmpty() ||
            (ke->modifiers() & Qt::ControlModifier))
            return false;
        // Only digits and '-' are typed into the field; a pasted text is checked when the query runs.
        const QChar c = text.size() == 1 ? text.at(0) : QChar();
        if (!((c >= u'0' && c <= u'9') || c == u'-')) return true;
    }
    return QDialog::eventFilter(watched, event);
}
