#include "raffle/TForm_Cadastro.h"

#include "data/Fingerprint.h"
#include "data/TDM.h"
#include "data/TicketTables.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/TypedValues.h"
#include "platform/WaitCursor.h"
#include "platform/WidgetDateEdit.h"
#include "platform/WidgetMoneyEdit.h"
#include "raffle/TForm_Usar.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kRulesMargin = 2;
// Sizes of the text columns of CADASTRO; a line break is stored as CR LF.
constexpr int kTextColumnSize = 2048;

QString forBox(const QString &stored) {
    QString t = stored;
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

QString forColumn(const QString &shown) {
    QString t = shown;
    return t.replace(u'\n', QStringLiteral("\r\n"));
}

QLabel *bar(const QString &text, QRgb background, int pixelSize, bool bold, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(background));
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

} // namespace

TForm_Cadastro::TForm_Cadastro(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_reg(ctx.tdm, ctx.raffle) {
    setObjectName(QStringLiteral("TForm_Cadastro"));
    setWindowTitle(QStringLiteral("KORVANTE - CADASTRO DA RIFA"));
    setFixedSize(870, 498);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(215, 225, 234));
    setPalette(pal);

    QLabel *title = bar(QStringLiteral("CADASTRAMENTO DE RIFAS"), qRgb(0, 0, 0), 19, true, this);
    title->setObjectName(QStringLiteral("LBL_Titulo"));
    title->setGeometry(0, 0, 870, 36);
    QLabel *bottom = bar(QStringLiteral("O SISTEMA GERENCIA ATÉ 5 RIFAS SIMULTÂNEAS"), qRgb(0x1E, 0x5B, 0x1F),
                         13, true, this);
    bottom->setObjectName(QStringLiteral("LBL_Rodape"));
    bottom->setGeometry(0, 470, 870, 28);

    addCaption(QStringLiteral("RIFA Nº"), 20, 48);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(20, 66, 60, 24);
    DBEdit1->setEnabled(false);

    addCaption(QStringLiteral("NOME RIFA"), 95, 48);
    DBEdit3 = new QLineEdit(this);
    DBEdit3->setObjectName(QStringLiteral("DBEdit3"));
    DBEdit3->setGeometry(95, 66, 340, 24);
    DBEdit3->setMaxLength(35);
    auto *hint =
        new QLabel(QStringLiteral("( Este nome não sairá na art impressa ) Màximo: 35 caracteres"), this);
    hint->setObjectName(QStringLiteral("LBL_DicaNome"));
    hint->setGeometry(95, 91, 340, 16);
    QFont small = hint->font();
    small.setPixelSize(10);
    hint->setFont(small);

    addCaption(QStringLiteral("DATA SORTEIO"), 450, 48);
    DBDateEdit1 = new WidgetDateEdit(QStringLiteral("DBDateEdit1"), this);
    DBDateEdit1->setGeometry(450, 66, 130, 24);
    DBDateEdit1->setToday(ctx.clock.today());

    addCaption(QStringLiteral("Valor BILHETE"), 595, 48);
    RxDBCalcEdit1 = new WidgetMoneyEdit(this);
    RxDBCalcEdit1->setObjectName(QStringLiteral("RxDBCalcEdit1"));
    RxDBCalcEdit1->setGeometry(595, 66, 140, 24);

    addCaption(QStringLiteral("MODALIDADE"), 20, 116);
    DBC_Modal = new QComboBox(this);
    DBC_Modal->setObjectName(QStringLiteral("DBC_Modal"));
    DBC_Modal->setGeometry(20, 134, 160, 26);
    DBC_Modal->addItems(RaffleRegistration::modalities());

    addCaption(QStringLiteral("Quantos Nºs Por BIlhete:"), 192, 116);
    DBC_NumBilhete = new QComboBox(this);
    DBC_NumBilhete->setObjectName(QStringLiteral("DBC_NumBilhete"));
    DBC_NumBilhete->setGeometry(192, 134, 150, 26);
    DBC_NumBilhete->addItems(RaffleRegistration::perTicketItems());
    // The highlighted item stays readable on the yellow list: white on navy.
    DBC_NumBilhete->setStyleSheet(
        QStringLiteral("QComboBox { background-color: yellow; } "
                       "QComboBox QAbstractItemView { background-color: yellow; color: black; "
                       "selection-background-color: #000080; selection-color: white; }"));

    addCaption(QStringLiteral("Total Gerado e disponivel"), 400, 116);
    LBL_TotalNmeros = new QLabel(QStringLiteral("[0 números]"), this);
    LBL_TotalNmeros->setObjectName(QStringLiteral("LBL_TotalNmeros"));
    LBL_TotalNmeros->setGeometry(350, 138, 142, 18);
    LBL_PorBIlhete = new QLabel(QStringLiteral("000 Bilhetes"), this);
    LBL_PorBIlhete->setObjectName(QStringLiteral("LBL_PorBIlhete"));
    LBL_PorBIlhete->setGeometry(494, 138, 134, 18);
    LBL_PorBIlhete->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LBL_HashTabela = new QLabel(this);
    LBL_HashTabela->setObjectName(QStringLiteral("LBL_HashTabela"));
    LBL_HashTabela->setGeometry(20, 453, 830, 16);
    LBL_HashTabela->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont hashFont(QStringLiteral("Arial"));
    hashFont.setPixelSize(11);
    LBL_HashTabela->setFont(hashFont);
    addCaption(QStringLiteral("(Sem Repetições)"), 494, 158, 134)->setAlignment(Qt::AlignRight);
    for (QLabel *l : {LBL_TotalNmeros, LBL_PorBIlhete}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }

    auto *status = new QGroupBox(QStringLiteral("STATUS DA RIFA"), this);
    status->setObjectName(QStringLiteral("DBRadioGroup1"));
    status->setGeometry(630, 110, 220, 60);
    m_ativa = new QRadioButton(QStringLiteral("Rifa ATIVA"), status);
    m_ativa->setObjectName(QStringLiteral("DBRadioGroup1_Ativa"));
    m_inativa = new QRadioButton(QStringLiteral("Rifa INATIVA"), status);
    m_inativa->setObjectName(QStringLiteral("DBRadioGroup1_Inativa"));
    auto *statusLayout = new QHBoxLayout(status);
    statusLayout->addWidget(m_ativa);
    statusLayout->addWidget(m_inativa);
    DBRadioGroup1 = new QButtonGroup(this);
    DBRadioGroup1->addButton(m_ativa, 1);
    DBRadioGroup1->addButton(m_inativa, 0);

    addCaption(QStringLiteral("Dados da Premiação "), 20, 184);
    DBMemo1 = new QTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setGeometry(20, 202, 360, 190);
    DBMemo1->setLineWrapMode(QTextEdit::NoWrap);

    addCaption(QStringLiteral("Informações Extras ou Regras do Sorteio:"), 394, 184);
    DBMemo2 = new QTextEdit(this);
    DBMemo2->setObjectName(QStringLiteral("DBMemo2"));
    DBMemo2->setGeometry(394, 202, RaffleRegistration::RulesBoxWidth, 190);
    DBMemo2->document()->setDocumentMargin(kRulesMargin);
    // Shown exactly as the line limit counts it.
    DBMemo2->setLineWrapMode(QTextEdit::FixedPixelWidth);
    DBMemo2->setLineWrapColumnOrWidth(RaffleRegistration::RulesTextWidth + 2 * kRulesMargin);
    DBMemo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QTextEdit *memo : {DBMemo1, DBMemo2}) {
        memo->setAcceptRichText(false);
        memo->setTabChangesFocus(true);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->installEventFilter(this);
    }

    QLabel *linkCaption = addCaption(
        QStringLiteral("Qual o Link se for publicar o Sorteio ou Resultado ( Instagran, Face, Youtube ou "
                       "Site ) "),
        20, 402);
    linkCaption->setFont(linkCaptionFont());
    linkCaption->adjustSize();
    DBEdit2 = new QLineEdit(this);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setGeometry(20, 420, 560, 24);
    DBEdit2->setMaxLength(256);

    addCaption(QStringLiteral("<<Navega entre as Rivas >>"), 596, 402);
    auto *navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    navigator->setGeometry(596, 420, 128, 26);
    auto *navLayout = new QHBoxLayout(navigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(0);
    struct Nav {
        const char *name;
        const char *text;
        QToolButton **button;
        void (TForm_Cadastro::*slot)();
    };
    const Nav navs[] = {{"nbFirst", "|◀", &m_first, &TForm_Cadastro::First},
                        {"nbPrior", "◀", &m_prior, &TForm_Cadastro::Prior},
                        {"nbNext", "▶", &m_next, &TForm_Cadastro::Next},
                        {"nbLast", "▶|", &m_last, &TForm_Cadastro::Last}};
    for (const Nav &n : navs) {
        auto *b = new QToolButton(navigator);
        b->setObjectName(QLatin1String(n.name));
        b->setText(QString::fromUtf8(n.text));
        b->setFocusPolicy(Qt::NoFocus); // moving between rows leaves the focus where it is
        b->setFixedSize(32, 26);
        navLayout->addWidget(b);
        *n.button = b;
        connect(b, &QToolButton::clicked, this, n.slot);
    }

    Button1 = new QPushButton(QStringLiteral("GRAVAR DADOS"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(740, 420, 110, 32);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm_Cadastro::Button1Click);

    connect(DBEdit3, &QLineEdit::textEdited, this, [this](const QString &typed) {
        const QString upper = RaffleRegistration::upperAscii(typed);
        if (upper != typed) {
            const int at = DBEdit3->cursorPosition();
            DBEdit3->setText(upper);
            DBEdit3->setCursorPosition(at);
        }
        setField("NOME_RIFA", upper);
    });
    connect(DBEdit2, &QLineEdit::textEdited, this, [this](const QString &t) { setField("LINK_SORT", t); });
    connect(DBDateEdit1, &WidgetDateEdit::dateEdited, this, [this] {
        if (!m_loading && m_row >= 0) m_typedDate[m_row] = DBDateEdit1->edit()->text();
    });
    connect(RxDBCalcEdit1, &WidgetMoneyEdit::amountEdited, this, [this] {
        if (!m_loading && m_row >= 0) m_typedPrice[m_row] = RxDBCalcEdit1->text();
    });
    connect(DBC_Modal, &QComboBox::currentIndexChanged, this, &TForm_Cadastro::DBC_ModalChange);
    connect(DBC_NumBilhete, &QComboBox::currentIndexChanged, this, &TForm_Cadastro::DBC_NumBilheteChange);
    connect(DBRadioGroup1, &QButtonGroup::idClicked, this, [this](int id) { setField("RIFA_ATIVA", id); });
    connect(DBMemo1, &QTextEdit::textChanged, this, [this] {
        keepWithinColumn(DBMemo1, kTextColumnSize);
        setField("PREMIOS", forColumn(DBMemo1->toPlainText()));
    });
    connect(DBMemo2, &QTextEdit::textChanged, this, [this] {
        keepWithinColumn(DBMemo2, kTextColumnSize);
        setField("REGRAS_SORT", forColumn(DBMemo2->toPlainText()));
    });
    m_reg.setRulesFont(DBMemo2->font());
}

QFont TForm_Cadastro::linkCaptionFont() const {
    // Small enough for the long caption to end before the navigator's.
    QFont f = font();
    f.setPixelSize(11);
    return f;
}

QLabel *TForm_Cadastro::addCaption(const QString &text, int x, int y, int w) {
    auto *label = new QLabel(text, this);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->move(x, y);
    if (w > 0)
        label->setFixedWidth(w);
    else
        label->adjustSize();
    return label;
}

void TForm_Cadastro::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm_Cadastro::FormShow() {
    WaitCursor wait;
    QString error;
    if (!m_reg.open(&error)) {
        wait.restore();
        m_ctx.dialogs.error(QStringLiteral("Erro ao ler o Cadastro de Rifas. Detalhe do Erro: ") + error);
    }
    m_workingRaffleEdited = false;
    forgetTypedValues();
    moveTo(m_reg.workingRaffleRow());
}

void TForm_Cadastro::moveTo(int row) {
    const int rows = m_reg.CDS_CADASTRO.rowCount();
    m_row = rows == 0 ? -1 : qBound(0, row, rows - 1);
    loadRow();
    m_first->setEnabled(m_row > 0);
    m_prior->setEnabled(m_row > 0);
    m_next->setEnabled(m_row >= 0 && m_row < rows - 1);
    m_last->setEnabled(m_row >= 0 && m_row < rows - 1);
    AtualizarTotais();
}

void TForm_Cadastro::First() {
    moveTo(0);
}
void TForm_Cadastro::Prior() {
    moveTo(m_row - 1);
}
void TForm_Cadastro::Next() {
    moveTo(m_row + 1);
}
void TForm_Cadastro::Last() {
    moveTo(m_reg.CDS_CADASTRO.rowCount() - 1);
}

void TForm_Cadastro::loadRow() {
    const CachedTable &t = m_reg.CDS_CADASTRO;
    auto value = [&](const char *column) { return t.value(m_row, QLatin1String(column)); };
    m_loading = true;
    DBEdit1->setText(value("CODRIFA").toString());
    DBEdit3->setText(value("NOME_RIFA").toString());
    // A row left with typed text shows it again as it was typed.
    if (m_typedDate.contains(m_row)) {
        DBDateEdit1->edit()->setText(m_typedDate.value(m_row));
    } else {
        const QVariant date = value("DATA_EVENTO");
        DBDateEdit1->setDate(date.isNull() ? QDate() : date.toDate());
    }
    if (m_typedPrice.contains(m_row))
        RxDBCalcEdit1->setTypedText(m_typedPrice.value(m_row));
    else
        RxDBCalcEdit1->setCents(qRound64(value("VLR_RIFA").toDouble() * 100));
    DBC_Modal->setCurrentIndex(RaffleRegistration::modalities().indexOf(value("MODALIDADE").toString()));
    DBC_NumBilhete->setCurrentIndex(
        RaffleRegistration::perTicketItems().indexOf(value("USAR_QT_NUM").toString()));
    const QVariant active = value("RIFA_ATIVA");
    DBRadioGroup1->setExclusive(false);
    m_ativa->setChecked(!active.isNull() && active.toInt() == 1);
    m_inativa->setChecked(!active.isNull() && active.toInt() == 0);
    DBRadioGroup1->setExclusive(true);
    DBMemo1->setPlainText(forBox(value("PREMIOS").toString()));
    DBMemo2->setPlainText(forBox(value("REGRAS_SORT").toString()));
    DBEdit2->setText(value("LINK_SORT").toString());
    m_loading = false;
}

void TForm_Cadastro::setField(const char *column, const QVariant &value) {
    if (m_loading || m_row < 0) return;
    m_reg.CDS_CADASTRO.setValue(m_row, QLatin1String(column), value);
}

void TForm_Cadastro::AtualizarTotais() {
    QString error;
    const auto labels =
        m_reg.AtualizarTotais(DBC_Modal->currentIndex(), DBC_NumBilhete->currentIndex(), &error);
    LBL_TotalNmeros->setText(labels.numbers);
    if (labels.tickets) LBL_PorBIlhete->setText(*labels.tickets);
    showDealingFingerprint();
    if (!error.isEmpty())
        m_ctx.dialogs.error(QStringLiteral("Erro ao contar os Bilhetes da base. Detalhe do Erro: ") + error);
}

void TForm_Cadastro::showDealingFingerprint() {
    // The modality's highest number is its last digits ("000 - 999" gives 999).
    const QString highest = DBC_Modal->currentText().section(u'-', 1).trimmed();
    const QString table =
        TicketTables::nameFor(highest.toInt(), DBC_NumBilhete->currentText().section(u' ', 0, 0).toInt());
    if (highest.isEmpty() || table.isEmpty()) {
        LBL_HashTabela->clear();
        return;
    }
    QString error;
    const auto kept = DealingFingerprints::stored(m_ctx.tdm.CONEX_R(), table, &error);
    LBL_HashTabela->setText(
        QStringLiteral("Impressão digital (SHA-256) da distribuição, %1: %2")
            .arg(table, kept          ? kept->hash
                        : error.isEmpty() ? QStringLiteral("ainda não guardada (será calculada no encerramento das vendas)")
                                          : QStringLiteral("não foi possível ler")));
}

void TForm_Cadastro::DBC_ModalChange() {
    if (m_loading) return;
    setField("MODALIDADE", DBC_Modal->currentText());
    AtualizarTotais();
}

void TForm_Cadastro::DBC_NumBilheteChange() {
    if (m_loading) return;
    setField("USAR_QT_NUM", DBC_NumBilhete->currentText());
    if (!RaffleRegistration::perTicketAllowed(DBC_Modal->currentText(), DBC_NumBilhete->currentText())) {
        m_ctx.dialogs.notice(RaffleRegistration::tooManyPerTicketMessage());
        return;
    }
    AtualizarTotais();
}

bool TForm_Cadastro::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn && (watched == DBMemo1 || watched == DBMemo2))
        m_lastMemo = static_cast<QTextEdit *>(watched);
    if (event->type() == QEvent::FocusOut && (watched == DBMemo1 || watched == DBMemo2)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Only leaving the box counts, not another window or a menu taking the focus.
        // Nor the other box losing the focus that a refusal brings back.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_refocusing) {
            auto *memo = static_cast<QTextEdit *>(watched);
            QTimer::singleShot(0, this, [this, memo] { memoExit(memo); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Cadastro::memoExit(QTextEdit *memo) {
    if (m_linesReported) return;
    if (RaffleRegistration::shownLines(DBMemo1->toPlainText(), DBMemo2->toPlainText(), DBMemo2->font()) <=
        RaffleRegistration::MaxTextLines)
        return;
    // The focus stays in the box, and a button pressed to leave it is not clicked.
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        if (b->isDown()) b->setDown(false);
    m_refocusing = true;
    memo->setFocus(Qt::OtherFocusReason);
    m_refocusing = false;
    m_ctx.dialogs.error(memo == DBMemo1 ? RaffleRegistration::premiosLimitMessage()
                                        : RaffleRegistration::regrasLimitMessage());
}

void TForm_Cadastro::keepWithinColumn(QTextEdit *memo, int columnSize) {
    const QString text = memo->toPlainText();
    const int stored = int(forColumn(text).size());
    if (stored <= columnSize) return;
    // Cut what does not fit where it was typed or pasted, keeping the cursor there.
    QTextCursor cursor = memo->textCursor();
    const int excess = stored - columnSize;
    int end = cursor.position();
    int start = end;
    int removed = 0;
    while (start > 0 && removed < excess) {
        removed += text.at(start - 1) == u'\n' ? 2 : 1;
        --start;
    }
    if (removed < excess) { // the cursor was not at the end of the surplus: cut from the end
        start = int(text.size());
        end = start;
        removed = 0;
        while (start > 0 && removed < excess) {
            removed += text.at(start - 1) == u'\n' ? 2 : 1;
            --start;
        }
    }
    const QSignalBlocker block(memo);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    memo->setTextCursor(cursor);
}

void TForm_Cadastro::Button1Click() {
    if (m_row < 0) return;
    if (!takeTypedValues()) return;
    if (RaffleRegistration::shownLines(DBMemo1->toPlainText(), DBMemo2->toPlainText(), DBMemo2->font()) >
        RaffleRegistration::MaxTextLines) {
        // The button may be pressed before leaving the box is noticed: the save tells it, once.
        QTextEdit *memo = m_lastMemo ? m_lastMemo : DBMemo1;
        m_linesReported = true;
        QTimer::singleShot(0, this, [this] { m_linesReported = false; });
        m_refocusing = true;
        memo->setFocus(Qt::OtherFocusReason);
        m_refocusing = false;
        m_ctx.dialogs.error(memo == DBMemo1 ? RaffleRegistration::premiosLimitMessage()
                                            : RaffleRegistration::regrasLimitMessage());
        return;
    }
    const RaffleRegistration::SaveResult r = m_reg.GravarDados(m_row);
    switch (r.kind) {
    case RaffleRegistration::SaveResult::Unchanged:
        break;
    case RaffleRegistration::SaveResult::Refused:
        if (r.row != m_row) moveTo(r.row);
        m_ctx.dialogs.error(r.message);
        break;
    case RaffleRegistration::SaveResult::HasValidations:
        forgetTypedValues(); // every unsaved edit was dropped
        moveTo(r.row); // the working raffle, back to its stored values
        m_ctx.dialogs.error(r.message);
        break;
    case RaffleRegistration::SaveResult::Failed:
        m_ctx.dialogs.error(QStringLiteral("Erro ao gravar os dados da Rifa. Detalhe do Erro: ") + r.message);
        break;
    case RaffleRegistration::SaveResult::Saved: {
        if (r.wroteWorkingRaffle) m_workingRaffleEdited = true;
        // The window shows what was stored (a character the code page cannot hold became "?").
        QString error;
        const int row = m_row;
        forgetTypedValues();
        if (m_reg.open(&error)) moveTo(row);
        m_ctx.dialogs.message(QStringLiteral("KORVANTE"), r.message, BoxIcon::None);
        break;
    }
    }
}

void TForm_Cadastro::forgetTypedValues() {
    m_typedPrice.clear();
    m_typedDate.clear();
}

bool TForm_Cadastro::takeTypedValues() {
    // The shown row first, then the others in order: the first refusal is the one the person sees.
    QList<int> rows = m_typedPrice.keys() + m_typedDate.keys();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.removeOne(m_row)) rows.prepend(m_row);
    CachedTable &t = m_reg.CDS_CADASTRO;
    for (int row : rows) {
        const QString slot = t.value(row, QStringLiteral("CODRIFA")).toString();
        if (m_typedPrice.contains(row)) {
            const auto cents = TypedValues::parseMoneyCents(m_typedPrice.value(row));
            if (!cents) {
                if (row != m_row) moveTo(row);
                RxDBCalcEdit1->setFocus();
                m_ctx.dialogs.error(
                    QStringLiteral("Valor do Bilhete inválido na RIFA Nº %1! Digite o valor com uma única "
                                   "vírgula (ou ponto) antes dos centavos, por exemplo 12,50.")
                        .arg(slot));
                return false;
            }
            t.setValue(row, QStringLiteral("VLR_RIFA"), double(*cents) / 100.0);
        }
        if (m_typedDate.contains(row)) {
            const auto date = TypedValues::parseDate(m_typedDate.value(row));
            if (!date) {
                if (row != m_row) moveTo(row);
                DBDateEdit1->setFocus();
                m_ctx.dialogs.error(
                    QStringLiteral("Favor informe uma Data do Sorteio válida ( dd/mm/aaaa ) na RIFA Nº %1!")
                        .arg(slot));
                return false;
            }
            t.setValue(row, QStringLiteral("DATA_EVENTO"),
                       date->isValid() ? QVariant(*date) : QVariant(QMetaType(QMetaType::QDate)));
        }
    }
    return true;
}

void TForm_Cadastro::done(int result) {
    if (m_workingRaffleEdited) {
        m_workingRaffleEdited = false;
        m_ctx.dialogs.notice(
            QStringLiteral("Você fez alteração da RIFA em Andamento e assim, deverá escolher "
                           "novamente a RIFA A TRABALHAR!"));
        // The working raffle state is rebuilt from the saved row.
        TForm_Usar chooser(m_ctx, this);
        chooser.exec();
    }
    QDialog::done(result);
}
