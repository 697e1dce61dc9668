#include "sellers/TForm_vendedor.h"

#include "data/TDM.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

QFont labelFont() {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(16);
    return f;
}

void setBackground(QWidget *w, const QColor &colour) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::Base, colour);
    w->setPalette(pal);
}

} // namespace

TForm_vendedor::TForm_vendedor(const AppServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), m_sellers(services.tdm.CONEX_R()) {
    setObjectName(QStringLiteral("TForm_vendedor"));
    setWindowTitle(QStringLiteral("KORVANTE - Cadastro de Vendedores"));
    setFixedSize(826, 255);
    setBackground(this, QColor(0xD7, 0xE1, 0xEA)); // 0xEAE1D7 written blue-green-red

    auto *title = new QLabel(QStringLiteral("CADASTRO DE VENDEDORES"), this);
    title->setObjectName(QStringLiteral("LBL_Titulo"));
    title->setGeometry(0, 0, 826, 32);
    title->setAlignment(Qt::AlignCenter);
    setBackground(title, Qt::black);
    QPalette tp = title->palette();
    tp.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(tp);
    QFont tf(QStringLiteral("Arial"));
    tf.setPixelSize(19);
    tf.setBold(true);
    title->setFont(tf);

    dbcod = addField("dbcod", QStringLiteral("COD_VEND"), QStringLiteral("Código"), {12, 60, 70, 24}, 0);
    dbcod->setEnabled(false);
    setBackground(dbcod, QColor(0xC0, 0xC0, 0xC0));
    // Disabled, yet the code must stay readable: black on the grey field.
    QPalette codePal = dbcod->palette();
    codePal.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
    dbcod->setPalette(codePal);
    dbnome = addField("dbnome", QStringLiteral("NOME_VEND"), QStringLiteral("Nome"), {92, 60, 420, 24}, 30);
    dbdocumento = addField("dbdocumento", QStringLiteral("CPF_VEND"), QStringLiteral("Documento"),
                           {522, 60, 150, 24}, 16);
    dbfone = addField("dbfone", QStringLiteral("FONE1"), QStringLiteral("Fone"), {682, 60, 132, 24}, 15);
    dbende =
        addField("dbende", QStringLiteral("END_VEND"), QStringLiteral("Endereço"), {12, 112, 420, 24}, 100);
    dbbairro = addField("dbbairro", QStringLiteral("BAIRRO_VEND"), QStringLiteral("Bairro"),
                        {442, 112, 200, 24}, 30);
    dbcidade =
        addField("dbcidade", QStringLiteral("CID_VEND"), QStringLiteral("Cidade/UF"), {12, 164, 420, 24}, 30);

    auto *ufLabel = new QLabel(QStringLiteral("UF"), this);
    ufLabel->setFont(labelFont());
    ufLabel->setGeometry(442, 142, 60, 20);
    DBC_UF = new QComboBox(this);
    DBC_UF->setObjectName(QStringLiteral("DBC_UF"));
    DBC_UF->setEditable(false); // a fixed list: no typing, no completion
    DBC_UF->addItems({QStringLiteral("AC"), QStringLiteral("AL"), QStringLiteral("AM"), QStringLiteral("AP"),
                      QStringLiteral("BA"), QStringLiteral("CE"), QStringLiteral("DF"), QStringLiteral("ES"),
                      QStringLiteral("GO"), QStringLiteral("MA"), QStringLiteral("MG"), QStringLiteral("MS"),
                      QStringLiteral("MT"), QStringLiteral("PA"), QStringLiteral("PB"), QStringLiteral("PE"),
                      QStringLiteral("PI"), QStringLiteral("PR"), QStringLiteral("RJ"), QStringLiteral("RN"),
                      QStringLiteral("RO"), QStringLiteral("RR"), QStringLiteral("RS"), QStringLiteral("SC"),
                      QStringLiteral("SE"), QStringLiteral("SP"), QStringLiteral("TO")});
    DBC_UF->setCurrentIndex(-1);
    DBC_UF->setGeometry(442, 164, 70, 24);
    DBC_UF->installEventFilter(this);
    connect(DBC_UF, &QComboBox::activated, this,
            [this](int index) { fieldEdited(QStringLiteral("UF_VEND"), DBC_UF->itemText(index)); });

    auto *Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(0, 205, 826, 50);
    auto *bar = new QHBoxLayout(Panel1);
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, Panel1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->installEventFilter(this);
        bar->addWidget(b);
        return b;
    };
    Btn_novo = button("Btn_novo", QStringLiteral("Novo"));
    btn_gravar = button("btn_gravar", QStringLiteral("Gravar"));
    btn_cancelar = button("btn_cancelar", QStringLiteral("Cancelar"));
    btn_localizar = button("btn_localizar", QStringLiteral("Localizar"));
    auto *navigator = new QFrame(Panel1);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    auto *nav = new QHBoxLayout(navigator);
    nav->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char *name;
        const char *text;
        const char *hint;
        void (SellerRegistry::*move)();
    } moves[] = {{"nav_first", "|<", "Primeiro", &SellerRegistry::first},
                 {"nav_prior", "<", "Anterior", &SellerRegistry::prior},
                 {"nav_next", ">", "Próximo", &SellerRegistry::next},
                 {"nav_last", ">|", "Último", &SellerRegistry::last}};
    for (const auto &m : moves) {
        auto *b = new QToolButton(navigator);
        b->setObjectName(QLatin1String(m.name));
        b->setText(QLatin1String(m.text));
        b->setToolTip(QString::fromUtf8(m.hint));
        nav->addWidget(b);
        const auto step = m.move;
        connect(b, &QToolButton::clicked, this, [this, step] { navigate(step); });
    }
    bar->addWidget(navigator);
    btn_excluir = button("btn_excluir", QStringLiteral("Excluir"));

    connect(Btn_novo, &QPushButton::clicked, this, &TForm_vendedor::Btn_novoClick);
    connect(btn_gravar, &QPushButton::clicked, this, &TForm_vendedor::btn_gravarClick);
    connect(btn_cancelar, &QPushButton::clicked, this, &TForm_vendedor::btn_cancelarClick);
    connect(btn_localizar, &QPushButton::clicked, this, &TForm_vendedor::btn_localizarClick);
    connect(btn_excluir, &QPushButton::clicked, this, &TForm_vendedor::btn_excluirClick);

    m_enterOrder = {dbnome, dbdocumento, dbfone, dbende, dbbairro, dbcidade, DBC_UF};
    for (int i = 0; i + 1 < m_enterOrder.size(); ++i)
        setTabOrder(m_enterOrder[i], m_enterOrder[i + 1]);
    LigarB2(false, true);
}

TForm_vendedor::~TForm_vendedor() = default;

QLineEdit *TForm_vendedor::addField(const char *name, const QString &column, const QString &label,
                                    QRect place, int maxLength) {
    auto *l = new QLabel(label, this);
    l->setFont(labelFont());
    l->setGeometry(place.x(), place.y() - 22, place.width(), 20);
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(place);
    if (maxLength > 0) e->setMaxLength(maxLength);
    e->installEventFilter(this);
    connect(e, &QLineEdit::textEdited, this,
            [this, column](const QString &text) { fieldEdited(column, text); });
    m_fields.append({e, column});
    return e;
}

void TForm_vendedor::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm_vendedor::FormShow() {
    QString error;
    if (!m_sellers.open(&error)) m_services.dialogs.error(error);
    showCurrent();
}

void TForm_vendedor::done(int result) {
    m_sellers.close();
    QDialog::done(result);
}

void TForm_vendedor::LigarB2(bool editing, bool browsing) {
    Btn_novo->setEnabled(browsing);
    btn_excluir->setEnabled(browsing);
    btn_localizar->setEnabled(browsing);
    btn_gravar->setEnabled(editing);
    btn_cancelar->setEnabled(editing);
}

void TForm_vendedor::showCurrent() {
    m_filling = true;
    dbcod->setText(SellerRegistry::codeText(m_sellers.value(QStringLiteral("COD_VEND"))));
    for (const auto &[field, column] : m_fields)
        if (field != dbcod) field->setText(m_sellers.value(column).toString());
    DBC_UF->setCurrentIndex(DBC_UF->findText(m_sellers.value(QStringLiteral("UF_VEND")).toString()));
    m_filling = false;
}

void TForm_vendedor::fieldEdited(const QString &column, const QVariant &value) {
    if (m_filling) return;
    // Typing into an empty list starts a new seller, as a data-aware field does.
    if (m_sellers.current() < 0) {
        m_sellers.append();
        LigarB2(true, false);
    }
    if (m_sellers.setValue(column, value)) LigarB2(true, false);
}

void TForm_vendedor::navigate(void (SellerRegistry::*step)()) {
    (m_sellers.*step)();
    showCurrent();
}

void TForm_vendedor::Btn_novoClick() {
    dbnome->setFocus();
    m_sellers.append();
    showCurrent();
    LigarB2(true, false);
}

void TForm_vendedor::btn_gravarClick() {
    if (const int nameless = m_sellers.pendingRowWithoutName(); nameless >= 0) {
        m_sellers.moveTo(nameless);
        showCurrent();
        dbnome->setFocus();
        m_services.dialogs.error(QStringLiteral("Favor informe o Nome do Vendedor!"));
        return;
    }
    const bool isNew = m_sellers.state() == SellerRegistry::State::Insert ||
                       (m_sellers.current() >= 0 && m_sellers.value(QStringLiteral("COD_VEND")).isNull());
    QString error;
    QVariant code = isNew ? QVariant() : m_sellers.value(QStringLiteral("COD_VEND"));
    QVariant newCode;
    if (!m_sellers.save(&error, &newCode)) {
        m_services.dialogs.error(error);
        return;
    }
    if (isNew) code = newCode;
    m_services.dialogs.information(QStringLiteral("Dados gravados com sucesso!"));
    LigarB2(false, true);
    // Read back, so the window shows what the database holds (a character the code page lacks is
    // stored as '?') and a new seller shows the code the database gave it.
    if (!m_sellers.open(&error)) {
        m_services.dialogs.error(error);
        return;
    }
    const int row = code.isNull() ? -1 : m_sellers.findCode(code.toInt());
    m_sellers.moveTo(row >= 0 ? row : m_sellers.rowCount() - 1);
    showCurrent();
}

void TForm_vendedor::btn_cancelarClick() {
    m_sellers.cancel();
    showCurrent();
    LigarB2(false, true);
}

void TForm_vendedor::btn_localizarClick() {
    const QString answer = m_services.dialogs
                               .inputText(QStringLiteral("Pesquisa Vendedor"),
                                          QStringLiteral("Digite o código ou o início do nome"), QString())
                               .value_or(QString());
    bool isCode = false;
    const int code = answer.trimmed().toInt(&isCode);
    if (isCode) {
        // A number always means a code, never the start of a name.
        const int row = m_sellers.findCode(code);
        if (row >= 0) m_sellers.moveTo(row);
    } else {
        const int row = m_sellers.findName(answer);
        if (row >= 0)
            m_sellers.moveTo(row);
        else
            m_services.dialogs.message(QStringLiteral("KORVANTE"), QStringLiteral("Vendedor não encontrado"),
                                       BoxIcon::None);
    }
    showCurrent();
}

void TForm_vendedor::btn_excluirClick() {
    if (m_sellers.current() < 0) return;
    if (!m_services.dialogs.question(QStringLiteral("KORVANTE"),
                                     QStringLiteral("Deseja Excluir esse Vendedor"), false)) {
        m_services.dialogs.message(QStringLiteral("KORVANTE"), QStringLiteral("Processo Cancelado!"),
                                   BoxIcon::None);
        return;
    }
    QString error;
    if (!m_sellers.removeCurrent(&error)) {
        m_services.dialogs.error(error);
        return;
    }
    showCurrent();
    m_services.dialogs.message(QStringLiteral("KORVANTE"), QStringLiteral("Vendedor Excluído com Sucesso!"),
                               BoxIcon::None);
}

void TForm_vendedor::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        // Esc is the "Cancelar" key, not a way to close the window.
        if (btn_cancelar->isEnabled()) btn_cancelar->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm_vendedor::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            if (auto *button = qobject_cast<QPushButton *>(watched)) {
                if (button->isEnabled()) button->click();
                return true;
            }
            const int at = m_enterOrder.indexOf(qobject_cast<QWidget *>(watched));
            if (at >= 0 && at + 1 < m_enterOrder.size())
                m_enterOrder[at + 1]->setFocus();
            else if (watched == DBC_UF && btn_gravar->isEnabled())
                btn_gravar->setFocus();
            return true;
        }
        // A fixed list without completion: letters do not jump to a state.
        if (watched == DBC_UF && !ke->text().isEmpty() && ke->text().at(0).isLetterOrNumber()) return true;
    }
    return QDialog::eventFilter(watched, event);
}
