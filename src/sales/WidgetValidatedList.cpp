#include "sales/WidgetValidatedList.h"

#include "data/Fingerprint.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "layout/TForm_Visualizar.h"
#include "platform/Dialogs.h"
#include "platform/TypedValues.h"
#include "platform/WaitCursor.h"
#include "reports/TQRY_REL_VENDAS.h"
#include "sales/SaleValidator.h"
#include "sales/ValidatedRowsModel.h"
#include "sellers/SellerRegistry.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>

namespace {

const QString kKorvante = QStringLiteral("KORVANTE");
const QString kCidade = QStringLiteral("Cidade");
const QString kData = QStringLiteral("Data Validação");
const QString kVendedor = QStringLiteral("Vendedor");
const QString kBilhete = QStringLiteral("Nº do Bilhete");

QFont arial(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QLabel *label(const QString &text, QWidget *parent, QRect place, const char *name = nullptr,
              bool bold = true) {
    auto *l = new QLabel(text, parent);
    if (name) l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    l->setFont(arial(13, bold));
    return l;
}

QPushButton *button(const QString &text, QWidget *parent, QRect place, const char *name) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(place);
    b->setAutoDefault(false); // Enter in a field of the window must never press it
    return b;
}

QFrame *panel(QWidget *parent, const char *name, QRect place) {
    auto *f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(place);
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    return f;
}

QLabel *heading(const QString &text, QWidget *parent, int width) {
    QLabel *l = label(text, parent, {0, 0, width, 26});
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0, 0x40, 0x80));
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    return l;
}

bool isEnter(const QKeyEvent *e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

} // namespace

WidgetValidatedList::WidgetValidatedList(AppContext &ctx, QWidget *window)
    : QFrame(window), m_ctx(ctx), m_listing(ctx), m_withdrawal(ctx), m_closing(ctx) {
    setObjectName(QStringLiteral("Panel8"));
    // Down to just above the window's bottom buttons, which stay within reach.
    setGeometry(0, 137, window->width(), 371);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    buildList();
    buildViewPanel(window);
    buildFilterPanel(window);
    hide();
}

WidgetValidatedList::~WidgetValidatedList() = default;

QLabel *WidgetValidatedList::closeImage(QWidget *parent, const char *name, int x) {
    auto *l = new QLabel(QStringLiteral("X"), parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(x, 2, 22, 22);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(arial(14, true));
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(QStringLiteral("Fechar"));
    l->installEventFilter(this);
    return l;
}

void WidgetValidatedList::buildList() {
    const int w = width();
    heading(QStringLiteral("LISTA DE BILHETES VALIDADOS"), this, w);
    Img_FecharLista = closeImage(this, "Img_FecharLista", w - 26);
    Img_FecharLista->raise();

    m_model = new ValidatedRowsModel(m_listing, this);
    DBGrid3 = new QTableView(this);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setGeometry(6, 30, w - 12, 200);
    DBGrid3->setModel(m_model);
    DBGrid3->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid3->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid3->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid3->verticalHeader()->setDefaultSectionSize(20);
    DBGrid3->verticalHeader()->setFixedWidth(12);
    DBGrid3->verticalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background: black; }"));
    DBGrid3->horizontalHeader()->setSectionsClickable(true);
    DBGrid3->horizontalHeader()->setHighlightSections(false);
    // Every column within the grid, room kept for the scroll bar of a long list, each title whole;
    // the buyer's name takes what is left.
    const QFontMetrics fm(DBGrid3->horizontalHeader()->font());
    const int margin = 2 * DBGrid3->style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
    const int widths[] = {0, 0, 96, 120, 0, 78, 86, 120, 84};
    int taken = 0;
    for (int c = 0; c < ValidationListing::ColumnCount; ++c) {
        if (c == ValidationListing::Comprador) continue;
        const int column = qMax(widths[c], fm.horizontalAdvance(ValidationListing::columnTitle(c)) + margin);
        DBGrid3->setColumnWidth(c, column);
        taken += column;
    }
    const int room = DBGrid3->width() - 2 * DBGrid3->frameWidth() - DBGrid3->verticalHeader()->width() -
                     DBGrid3->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    DBGrid3->setColumnWidth(ValidationListing::Comprador, room - taken);
    connect(DBGrid3->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        QString error;
        m_model->beginChange();
        const bool ok = m_listing.sortBy(column, &error);
        m_model->endChange();
        DBGrid3->horizontalHeader()->setSortIndicatorShown(ok);
        DBGrid3->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
        if (!ok) m_ctx.dialogs.error(QStringLiteral("Erro ao Validar. Detalhe do Erro: ") + error);
        if (m_listing.count() > 0) DBGrid3->selectRow(0);
        rowChanged();
    });
    connect(DBGrid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { rowChanged(); });
    connect(DBGrid3, &QWidget::customContextMenuRequested, this, &WidgetValidatedList::popupMenu);

    DBGrid1 = new QTableWidget(1, 10, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(6, 234, w - 12, 50);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    for (int i = 0; i < 10; ++i) {
        DBGrid1->setHorizontalHeaderItem(i, new QTableWidgetItem(QStringLiteral("Nº %1").arg(i + 1)));
        DBGrid1->setColumnWidth(i, (w - 16) / 10);
    }

    const int y = 290;
    label(QStringLiteral("Total de Bilhetes Vendidos..:"), this, {8, y, 230, 22});
    Lbl_N_Total = label(QStringLiteral("0"), this, {238, y, 80, 22}, "Lbl_N_Total");
    label(QStringLiteral("--->"), this, {320, y, 40, 22});
    Lbl_TotalVend = label(QStringLiteral("R$ 0,00"), this, {362, y, 170, 22}, "Lbl_TotalVend");

    auto *nav = new QFrame(this);
    nav->setObjectName(QStringLiteral("DBNavigator1"));
    nav->setGeometry(540, y - 2, 130, 28);
    const struct {
        const char *name;
        const char *text;
        int move;
    } moves[] = {{"BTN_Primeiro", "|<", 0},
                 {"BTN_Anterior", "<", 1},
                 {"BTN_Proximo", ">", 2},
                 {"BTN_Ultimo", ">|", 3}};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = button(QString::fromUtf8(moves[i].text), nav, {i * 32, 0, 30, 26}, moves[i].name);
        const int move = moves[i].move;
        connect(b, &QPushButton::clicked, this, [this, move] {
            const int n = m_listing.count();
            if (n == 0) return;
            const int current = qMax(0, DBGrid3->currentIndex().row());
            const int target = move == 0   ? 0
                               : move == 1 ? qMax(0, current - 1)
                               : move == 2 ? qMin(n - 1, current + 1)
                                           : n - 1;
            DBGrid3->selectRow(target);
        });
    }

    img_imprmirValidadas =
        label(QStringLiteral("Imprimir"), this, {680, y - 2, 80, 28}, "img_imprmirValidadas");
    img_imprmirValidadas->setFrameShape(QFrame::Panel);
    img_imprmirValidadas->setAlignment(Qt::AlignCenter);
    img_imprmirValidadas->setToolTip(QStringLiteral("Imprimir"));
    img_imprmirValidadas->setCursor(Qt::PointingHandCursor);
    img_imprmirValidadas->installEventFilter(this);

    QPushButton *Button2 =
        button(QStringLiteral("Filtrar por..."), this, {w - 126, y - 2, 118, 28}, "Button2");
    connect(Button2, &QPushButton::clicked, this, &WidgetValidatedList::Button2Click);

    QLabel *hint =
        label(QStringLiteral("Botão Direito em um Bilhete da lista aparece Várias Opções como: Excluir, "
                             "Envio por WhatsApp  etc"),
              this, {8, y + 30, w - 16, 20}, "LBL_DicaValidadas", false);
    hint->setFont(arial(11));

    // The closing of sales, beside the list it fixes.
    LBL_Encerramento = label(QString(), this, {8, y + 54, w - 440, 22}, "LBL_Encerramento", false);
    LBL_Encerramento->setFont(arial(11, true));
    BTN_EncerrarVendas =
        button(QStringLiteral("Encerrar Vendas"), this, {w - 426, y + 52, 136, 26}, "BTN_EncerrarVendas");
    BTN_ReabrirVendas =
        button(QStringLiteral("Reabrir Vendas"), this, {w - 284, y + 52, 126, 26}, "BTN_ReabrirVendas");
    BTN_SalvarVendidos =
        button(QStringLiteral("Salvar Lista"), this, {w - 152, y + 52, 144, 26}, "BTN_SalvarVendidos");
    BTN_SalvarVendidos->setToolTip(
        QStringLiteral("Grava a lista de vendidos do encerramento: a impressão digital é o SHA-256 do arquivo"));
    connect(BTN_EncerrarVendas, &QPushButton::clicked, this, &WidgetValidatedList::BTN_EncerrarVendasClick);
    connect(BTN_ReabrirVendas, &QPushButton::clicked, this, &WidgetValidatedList::BTN_ReabrirVendasClick);
    connect(BTN_SalvarVendidos, &QPushButton::clicked, this, &WidgetValidatedList::BTN_SalvarVendidosClick);

    Pop_Validadas = new QMenu(this);
    Pop_Validadas->setObjectName(QStringLiteral("Pop_Validadas"));
    QAction *opcoes = Pop_Validadas->addAction(QStringLiteral("                   :: OPÇÕES ::"));
    opcoes->setEnabled(false);
    Pop_Validadas->addSeparator();
    QAction *enviar = Pop_Validadas->addAction(QStringLiteral("Enviar por WhatsSapp"));
    enviar->setObjectName(QStringLiteral("EnviarporWhatsSapp1"));
    Pop_Validadas->addSeparator();
    QAction *agrupar = Pop_Validadas->addAction(QStringLiteral("Agrupar Para Envio por WhatsApp..."));
    agrupar->setObjectName(QStringLiteral("AgruparParaEnvio1"));
    Pop_Validadas->addSeparator();
    Pop_Validadas->addAction(QString());
    Pop_Validadas->addSeparator();
    QAction *retirar = Pop_Validadas->addAction(QStringLiteral("                Retirar Validação"));
    retirar->setObjectName(QStringLiteral("RetirarValidacao1"));
    Pop_Validadas->addSeparator();
    connect(enviar, &QAction::triggered, this, [this] {
        if (const auto s = selectedSale()) emit enviarPorWhatsApp(s->numBilhete, s->foneComp);
    });
    connect(agrupar, &QAction::triggered, this, [this] {
        if (const auto s = selectedSale()) emit agruparParaEnvio(s->numBilhete, s->foneComp);
    });
    connect(retirar, &QAction::triggered, this, &WidgetValidatedList::RetirarValidacaoClick);
}

void WidgetValidatedList::buildViewPanel(QWidget *window) {
    Panel_PeqVal = panel(window, "Panel_PeqVal", {468, 245, 300, 170});
    heading(QStringLiteral("Como deseja Ver?"), Panel_PeqVal, 300);
    Img_FecharPeqVal = closeImage(Panel_PeqVal, "Img_FecharPeqVal", 274);
    RB_Todas = new QRadioButton(QStringLiteral("Todas"), Panel_PeqVal);
    RB_Todas->setObjectName(QStringLiteral("RB_Todas"));
    RB_Todas->setGeometry(16, 34, 120, 22);
    RB_Todas->setChecked(true);
    RB_Intervalo = new QRadioButton(QStringLiteral("Por Intervalo"), Panel_PeqVal);
    RB_Intervalo->setObjectName(QStringLiteral("RB_Intervalo"));
    RB_Intervalo->setGeometry(150, 34, 140, 22);
    auto *choices = new QButtonGroup(Panel_PeqVal);
    choices->addButton(RB_Todas);
    choices->addButton(RB_Intervalo);
    label(QStringLiteral("( Controle Bilhete )"), Panel_PeqVal, {150, 58, 150, 18}, nullptr, false);
    label(QStringLiteral("De:"), Panel_PeqVal, {150, 80, 40, 22});
    label(QStringLiteral("Ate:"), Panel_PeqVal, {150, 106, 40, 22});
    const auto digits = QRegularExpression(QStringLiteral("[0-9]*"));
    Ed_V_Inicial = new QLineEdit(QStringLiteral("0"), Panel_PeqVal);
    Ed_V_Inicial->setObjectName(QStringLiteral("Ed_V_Inicial"));
    Ed_V_Inicial->setGeometry(192, 80, 90, 24);
    Ed_V_Final = new QLineEdit(QStringLiteral("0"), Panel_PeqVal);
    Ed_V_Final->setObjectName(QStringLiteral("Ed_V_Final"));
    Ed_V_Final->setGeometry(192, 106, 90, 24);
    for (QLineEdit *e : {Ed_V_Inicial, Ed_V_Final}) {
        e->setValidator(new QRegularExpressionValidator(digits, e));
        e->setMaxLength(7);
        e->installEventFilter(this);
    }
    QPushButton *Button3 = button(QStringLiteral("PESQUISAR"), Panel_PeqVal, {16, 134, 268, 28}, "Button3");
    connect(Button3, &QPushButton::clicked, this, &WidgetValidatedList::Button3Click);
    Panel_PeqVal->hide();
}

void WidgetValidatedList::buildFilterPanel(QWidget *window) {
    Panel_FiltroValidar = panel(window, "Panel_FiltroValidar", {252, 243, 420, 176});
    heading(QStringLiteral("Filtrar Por:"), Panel_FiltroValidar, 420);
    Img_FecharFiltro = closeImage(Panel_FiltroValidar, "Img_FecharFiltro", 394);
    cmb_PesqValidada = new QComboBox(Panel_FiltroValidar);
    cmb_PesqValidada->setObjectName(QStringLiteral("cmb_PesqValidada"));
    cmb_PesqValidada->setGeometry(12, 34, 180, 26);
    cmb_PesqValidada->addItems({kCidade, kData, kVendedor, kBilhete});
    cmb_PesqValidada->setCurrentIndex(-1);
    connect(cmb_PesqValidada, &QComboBox::currentIndexChanged, this,
            &WidgetValidatedList::filterChoiceChanged);
    Ed_CidVal = new QLineEdit(Panel_FiltroValidar);
    Ed_CidVal->setObjectName(QStringLiteral("Ed_CidVal"));
    Ed_CidVal->setGeometry(200, 34, 208, 26);
    Ed_CidVal->setMaxLength(30);
    Ed_CidVal->installEventFilter(this);
    Ed_CidVal->hide();
    cmb_vendedor = new QComboBox(Panel_FiltroValidar);
    cmb_vendedor->setObjectName(QStringLiteral("cmb_vendedor"));
    cmb_vendedor->setGeometry(200, 34, 208, 26);
    cmb_vendedor->hide();
    label(QStringLiteral("DE"), Panel_FiltroValidar, {12, 72, 40, 22});
    label(QStringLiteral("ATE"), Panel_FiltroValidar, {200, 72, 40, 22});
    const auto dateChars = QRegularExpression(QStringLiteral("[0-9/]*"));
    DateEdit_De = new QLineEdit(Panel_FiltroValidar);
    DateEdit_De->setObjectName(QStringLiteral("DateEdit_De"));
    DateEdit_De->setGeometry(52, 70, 120, 26);
    DateEdit_Ate = new QLineEdit(Panel_FiltroValidar);
    DateEdit_Ate->setObjectName(QStringLiteral("DateEdit_Ate"));
    DateEdit_Ate->setGeometry(244, 70, 120, 26);
    for (QLineEdit *e : {DateEdit_De, DateEdit_Ate}) {
        e->setValidator(new QRegularExpressionValidator(dateChars, e));
        e->setMaxLength(10);
        e->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
        e->installEventFilter(this);
    }
    QPushButton *BitBtn1 =
        button(QStringLiteral("Filtrar"), Panel_FiltroValidar, {12, 136, 396, 30}, "BitBtn1");
    connect(BitBtn1, &QPushButton::clicked, this, &WidgetValidatedList::BitBtn1Click);
    Panel_FiltroValidar->hide();
}

void WidgetValidatedList::Btn_verClick() {
    Panel_PeqVal->show();
    Panel_PeqVal->raise();
    RB_Todas->setFocus();
}

void WidgetValidatedList::closeViewPanel() {
    Panel_PeqVal->hide();
    // Neither choice is left, so "PESQUISAR" asks for one the next time.
    auto *group = RB_Todas->group();
    group->setExclusive(false);
    RB_Todas->setChecked(false);
    RB_Intervalo->setChecked(false);
    group->setExclusive(true);
}

void WidgetValidatedList::Button3Click() {
    if (!RB_Todas->isChecked() && !RB_Intervalo->isChecked()) {
        m_ctx.dialogs.notice(QStringLiteral("Favor, marque uma das opções de Como Deseja Ver!"));
        return;
    }
    ListingFilter filter;
    if (RB_Intervalo->isChecked()) {
        const auto from = TypedValues::parseWholeNumber(Ed_V_Inicial->text().trimmed());
        const auto to = TypedValues::parseWholeNumber(Ed_V_Final->text().trimmed());
        if (!from || !to) {
            (from ? Ed_V_Final : Ed_V_Inicial)->setFocus();
            m_ctx.dialogs.notice(
                QStringLiteral("Favor, informe os Nº de Controle de Bilhete De: e Ate: do Intervalo!"));
            return;
        }
        filter.kind = ListingFilter::Kind::Range;
        filter.from = *from;
        filter.to = *to;
    }
    QFrame::show();
    raise();
    if (!runListing(filter, {})) return;
    Panel_PeqVal->hide();
}

bool WidgetValidatedList::runListing(const ListingFilter &filter, const ListingFilterText &text) {
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        m_model->beginChange();
        ok = m_listing.run(filter, &error);
        m_model->endChange();
        DBGrid3->horizontalHeader()->setSortIndicatorShown(false);
        m_filterText = ok ? text : ListingFilterText{};
        if (m_listing.count() > 0) DBGrid3->selectRow(0);
        rowChanged();
        DBGrid3->setFocus();
        if (ok) ok = countRows(&error);
    }
    showTotals();
    if (!ok) m_ctx.dialogs.error(QStringLiteral("Erro ao Validar. Detalhe do Erro: ") + error);
    return ok;
}

bool WidgetValidatedList::countRows(QString *error) {
    // The first screen is painted before the engine counts and sums every row of the list.
    Lbl_N_Total->clear();
    Lbl_TotalVend->clear();
    if (isVisible()) repaint();
    const bool ok = m_listing.readTotals(error);
    m_model->countChanged();
    return ok;
}

void WidgetValidatedList::showTotals() {
    if (!m_listing.totalsKnown() && m_listing.isOpen()) {
        // Not counted (the count failed): no figure rather than a wrong one.
        Lbl_N_Total->setText(QStringLiteral("?"));
        Lbl_TotalVend->setText(QStringLiteral("?"));
        return;
    }
    Lbl_N_Total->setText(m_listing.countText());
    Lbl_TotalVend->setText(m_listing.totalText());
}

void WidgetValidatedList::reloadKeepingTotals() {
    // Rows read again after a withdrawal; the totals follow the rows, so the list and its printout agree.
    const int at = DBGrid3->currentIndex().row();
    QString error;
    bool ok = false;
    {
        WaitCursor wait;
        m_model->beginChange();
        ok = m_listing.refresh(&error);
        m_model->endChange();
        if (ok) ok = countRows(&error);
    }
    showTotals();
    if (m_listing.count() > 0) DBGrid3->selectRow(qBound(0, at, m_listing.count() - 1));
    rowChanged();
    if (!ok) m_ctx.dialogs.error(QStringLiteral("Erro ao Validar. Detalhe do Erro: ") + error);
}

std::optional<ValidatedSale> WidgetValidatedList::selectedSale() const {
    const QModelIndex i = DBGrid3->currentIndex();
    if (!i.isValid()) return std::nullopt;
    return m_listing.row(i.row());
}

void WidgetValidatedList::rowChanged() {
    const auto sale = selectedSale();
    fillNumbers(sale ? sale->numBilhete : 0);
}

void WidgetValidatedList::fillNumbers(int numBilhete) {
    const QList<QVariant> numbers =
        numBilhete > 0 ? m_listing.numbersOf(numBilhete, nullptr) : QList<QVariant>();
    for (int i = 0; i < 10; ++i) {
        const QString text = i < numbers.size() ? m_listing.formatNumber(numbers.at(i)) : QString();
        DBGrid1->setItem(0, i, new QTableWidgetItem(text));
    }
}

void WidgetValidatedList::closeList() {
    QFrame::hide();
    m_model->beginChange();
    m_listing.clear(); // the sort goes with the list
    m_model->endChange();
    DBGrid3->horizontalHeader()->setSortIndicatorShown(false);
    fillNumbers(0);
}

void WidgetValidatedList::Button2Click() {
    cmb_vendedor->clear();
    SellerRegistry sellers(m_ctx.tdm.CONEX_R());
    QString error;
    if (!sellers.open(&error)) {
        m_ctx.dialogs.error(error);
    } else {
        for (int r = 0; r < sellers.rowCount(); ++r)
            cmb_vendedor->addItem(SellerRegistry::codeText(sellers.value(r, QStringLiteral("COD_VEND"))) +
                                  u'-' + sellers.value(r, QStringLiteral("NOME_VEND")).toString().trimmed());
    }
    cmb_vendedor->setCurrentIndex(-1);
    filterChoiceChanged();
    Panel_FiltroValidar->show();
    Panel_FiltroValidar->raise();
    cmb_PesqValidada->setFocus();
}

void WidgetValidatedList::filterChoiceChanged() {
    const QString choice = cmb_PesqValidada->currentText();
    const bool text = choice == kCidade || choice == kBilhete;
    Ed_CidVal->setVisible(text);
    cmb_vendedor->setVisible(choice == kVendedor);
    if (text && Panel_FiltroValidar->isVisible()) Ed_CidVal->setFocus();
}

void WidgetValidatedList::closeFilterPanel() {
    Panel_FiltroValidar->hide();
    cmb_PesqValidada->setCurrentIndex(-1);
    cmb_vendedor->setCurrentIndex(-1);
    Ed_CidVal->clear();
    DateEdit_De->clear();
    DateEdit_Ate->clear();
}

void WidgetValidatedList::BitBtn1Click() {
    const QString choice = cmb_PesqValidada->currentText();
    ListingFilter filter;
    ListingFilterText line;
    if (choice == kCidade) {
        filter.kind = ListingFilter::Kind::City;
        filter.city = Ed_CidVal->text();
        line = {QStringLiteral("Cidade:"), Ed_CidVal->text()};
    } else if (choice == kData) {
        // Typed as every date field takes it: "05/12/2026" or "05122026".
        const QDate from = TypedValues::parseDate(DateEdit_De->text()).value_or(QDate());
        const QDate to = TypedValues::parseDate(DateEdit_Ate->text()).value_or(QDate());
        if (!from.isValid() || !to.isValid()) {
            (from.isValid() ? DateEdit_Ate : DateEdit_De)->setFocus();
            m_ctx.dialogs.notice(QStringLiteral("Favor, informe as Datas DE e ATE válidas ( dd/mm/aaaa )!"));
            return;
        }
        filter.kind = ListingFilter::Kind::Date;
        filter.dateFrom = from;
        filter.dateTo = to;
    } else if (choice == kVendedor) {
        const QString chosen = cmb_vendedor->currentText();
        const auto code = TypedValues::parseWholeNumber(chosen.section(u'-', 0, 0).trimmed());
        if (cmb_vendedor->currentIndex() < 0 || !code) {
            cmb_vendedor->setFocus();
            m_ctx.dialogs.notice(QStringLiteral("Favor, escolha um Vendedor da lista!"));
            return;
        }
        filter.kind = ListingFilter::Kind::Seller;
        filter.seller = *code;
        line = {QStringLiteral("Vendedor:"), chosen};
    } else if (choice == kBilhete) {
        const QString typed = Ed_CidVal->text().toUpper().trimmed();
        const auto n = TypedValues::parseWholeNumber(typed.trimmed());
        if (!n) {
            Ed_CidVal->setFocus();
            m_ctx.dialogs.error(SaleValidator::invalidNumberMessage(typed));
            return;
        }
        filter.kind = ListingFilter::Kind::Ticket;
        filter.ticket = *n;
    } else {
        cmb_PesqValidada->setFocus();
        m_ctx.dialogs.notice(QStringLiteral("Favor, escolha uma das opções de Filtrar Por!"));
        return;
    }
    QFrame::show();
    if (!runListing(filter, line)) return;
    if (filter.kind == ListingFilter::Kind::Ticket && m_listing.count() == 0)
        m_ctx.dialogs.notice(QStringLiteral("O Bilhete informado ainda não foi Validado!"),
                             QStringLiteral("Korvante"));
    Panel_FiltroValidar->hide();
}

void WidgetValidatedList::img_imprmirValidadasClick() {
    const ValidationListing &listing = m_listing;
    TQRY_REL_VENDAS report(
        listing.count(),
        [&listing](int row) -> std::optional<SalesReportRow> {
            const auto s = listing.row(row);
            if (!s) return std::nullopt;
            return SalesReportRow{s->numBilhete, s->validado, s->valor, s->nomeComp};
        },
        listing.digits());
    if (!m_filterText.label.isEmpty()) report.setFilter(m_filterText.label, m_filterText.value);
    report.QRL_TotalBilhete = Lbl_N_Total->text();
    report.QRL_TotalPago = Lbl_TotalVend->text();
    report.QRL_Titulo = m_raffleName;
    TForm_Visualizar preview(report, m_ctx.dialogs, window());
    preview.setWindowTitle(QStringLiteral("KORVANTE - Relatório de Vendas"));
    preview.setDocumentTitles(QStringLiteral("Imprimir Relatório de Vendas"),
                              QStringLiteral("Salvar Relatório de Vendas em PDF"));
    preview.exec();
}

void WidgetValidatedList::popupMenu(const QPoint &pos) {
    const QModelIndex at = DBGrid3->indexAt(pos);
    if (at.isValid()) DBGrid3->selectRow(at.row());
    if (!selectedSale()) return;
    Pop_Validadas->popup(DBGrid3->viewport()->mapToGlobal(pos));
}

void WidgetValidatedList::RetirarValidacaoClick() {
    const auto sale = selectedSale();
    if (!sale) return;
    if (!m_ctx.dialogs.question(QStringLiteral("Korvante"),
                                QStringLiteral("Deseja Retirar a Validação desse Controle de Bilhete?"),
                                true))
        return;
    const WithdrawalOutcome o = m_withdrawal.withdrawTicket(sale->numBilhete);
    if (!o.message.isEmpty()) m_ctx.dialogs.message(o.title, o.message, o.icon);
    reloadKeepingTotals();
}

void WidgetValidatedList::withdrawByNumber(QLineEdit *ticketField) {
    const std::optional<QString> answer =
        m_ctx.dialogs.inputText(QStringLiteral("Retirar validação de Bilhete"),
                                QStringLiteral("Qual o Nº do Bilhete a Invalidar?"), QString());
    ticketField->setText(answer.value_or(QString()));
    if (!answer || answer->trimmed().isEmpty()) {
        m_ctx.dialogs.message(kKorvante, QStringLiteral("Invalidação Cancelada"), BoxIcon::None);
        return;
    }
    WithdrawalOutcome o;
    {
        WaitCursor wait;
        o = m_withdrawal.withdrawTyped(*answer);
    }
    if (o.ok()) ticketField->clear();
    if (!o.message.isEmpty()) m_ctx.dialogs.message(o.title, o.message, o.icon);
    if (o.ok() && isVisible()) reloadKeepingTotals();
    ticketField->setFocus();
}

void WidgetValidatedList::showClosing() {
    QString error;
    const auto s = m_closing.state(&error);
    const bool closed = s && s->closed();
    LBL_Encerramento->setText(!s       ? QStringLiteral("Encerramento das vendas: não foi possível ler")
                              : closed ? QStringLiteral("Vendas ENCERRADAS em ") + BrasiliaTime::shown(s->closedAt)
                                       : QStringLiteral("Vendas abertas"));
    BTN_EncerrarVendas->setEnabled(s && !closed);
    BTN_ReabrirVendas->setEnabled(closed);
    BTN_SalvarVendidos->setEnabled(closed);
}

void WidgetValidatedList::showEvent(QShowEvent *event) {
    QFrame::showEvent(event);
    showClosing();
}

void WidgetValidatedList::BTN_EncerrarVendasClick() {
    if (!m_ctx.dialogs.question(kKorvante, m_closing.closeQuestion(), false, BoxIcon::Warning)) return;
    ClosingOutcome o;
    {
        WaitCursor wait;
        o = m_closing.close();
    }
    m_ctx.dialogs.message(kKorvante, o.message, o.icon);
    showClosing();
}

void WidgetValidatedList::BTN_ReabrirVendasClick() {
    QString error;
    const auto s = m_closing.state(&error);
    if (!s) {
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler o encerramento das vendas. Detalhe do Erro: ") + error);
        return;
    }
    const QString question = m_closing.reopenQuestion(*s);
    if (question.isEmpty()) {
        m_ctx.dialogs.notice(QStringLiteral("As vendas desta Rifa não estão encerradas."));
        showClosing();
        return;
    }
    if (!m_ctx.dialogs.question(kKorvante, question, false, BoxIcon::Warning)) return;
    const ClosingOutcome o = m_closing.reopen();
    m_ctx.dialogs.message(kKorvante, o.message, o.icon);
    showClosing();
}

void WidgetValidatedList::BTN_SalvarVendidosClick() {
    const QString path = m_ctx.dialogs.chooseSaveFile(QStringLiteral("Salvar a Lista de Vendidos"),
                                                      m_ctx.programFolder, QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty()) return;
    const ClosingOutcome o = m_closing.saveSoldList(path);
    m_ctx.dialogs.message(kKorvante, o.message, o.icon);
}

void WidgetValidatedList::Button1Click() {
    // After a closing the reset ends it: a question of its own says so first.
    QString closingError;
    const auto closing = m_closing.state(&closingError);
    const bool endClosing = closing && closing->closed();
    if (endClosing &&
        !m_ctx.dialogs.question(kKorvante, SalesClosing::resetQuestion(closing->closedAt), false, BoxIcon::Warning))
        return;
    if (!m_ctx.dialogs.question(kKorvante,
                                QStringLiteral("Deseja REALMENTE ZERAR todas as validações da Rifa?"), false))
        return;
    if (!m_ctx.dialogs.question(kKorvante, QStringLiteral("Confirma ZERAR as Validações?"), false,
                                BoxIcon::Warning)) {
        m_ctx.dialogs.information(QStringLiteral("Processo Cancelado!"));
        return;
    }
    WithdrawalOutcome o;
    {
        WaitCursor wait;
        o = m_withdrawal.resetAll(endClosing);
    }
    m_ctx.dialogs.message(kKorvante, o.message, o.icon);
    if (o.ok() && isVisible()) reloadKeepingTotals();
    showClosing();
}

bool WidgetValidatedList::eventFilter(QObject *watched, QEvent *event) {
    // A greyed-out picture takes no clicks (the window holds its panels while a sequence runs).
    if (auto *widget = qobject_cast<QWidget *>(watched);
        widget && !widget->isEnabled() && event->type() == QEvent::MouseButtonRelease)
        return true;
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Img_FecharLista) {
            closeList();
            return true;
        }
        if (watched == Img_FecharPeqVal) {
            closeViewPanel();
            return true;
        }
        if (watched == Img_FecharFiltro) {
            closeFilterPanel();
            return true;
        }
        if (watched == img_imprmirValidadas) {
            img_imprmirValidadasClick();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent *>(event))) {
        // Enter in a field of these panels runs its own panel, never the window's "Validar".
        if (watched == Ed_V_Inicial || watched == Ed_V_Final)
            Button3Click();
        else if (watched == Ed_CidVal || watched == DateEdit_De || watched == DateEdit_Ate)
            BitBtn1Click();
        return watched == Ed_V_Inicial || watched == Ed_V_Final || watched == Ed_CidVal ||
               watched == DateEdit_De || watched == DateEdit_Ate;
    }
    return QFrame::eventFilter(watched, event);
}
