#include "salespage/TForm_ListaDisp.h"

#include "salespage/PixCode.h"

#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrl>

namespace {

QFont arialFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QLabel *label(const QString &text, QRect place, QWidget *parent, int pixelSize = 13, bool bold = false) {
    auto *l = new QLabel(text, parent);
    l->setGeometry(place);
    l->setFont(arialFont(pixelSize, bold));
    return l;
}

QLabel *note(const QString &text, QRect place, QWidget *parent) {
    QLabel *l = label(text, place, parent, 11);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *button(const QString &text, const char *name, QRect place, QWidget *parent) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(place);
    b->setAutoDefault(false); // Enter in the fields must not press the first button
    return b;
}

QFrame *panel(const char *name, const QString &title, QRect place, QWidget *parent) {
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::Box);
    p->setGeometry(place);
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xE6));
    p->setPalette(pal);
    QLabel *t = label(title, QRect(6, 4, place.width() - 40, 20), p, 12, true);
    t->setAlignment(Qt::AlignCenter);
    return p;
}

QTableView *grid(const char *name, QStandardItemModel *model, QRect place, QWidget *parent) {
    auto *g = new QTableView(parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(place);
    g->setModel(model);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

// The message of a whole number that could not be read, as the standard conversion says it.
QString notAnInteger(const QString &text) {
    return QStringLiteral("'%1' não é um valor inteiro válido.").arg(text);
}

} // namespace

TForm_ListaDisp::TForm_ListaDisp(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_listing(ctx.tdm.CONEX_R()), m_lists(ctx.tdm.CONEX_R()),
      m_settings(ctx.programFolder), m_generator(ctx) {
    setObjectName(QStringLiteral("TForm_ListaDisp"));
    setWindowTitle(QStringLiteral("Gerando HTML de Rifas para Vendas Por WhatsApp"));
    setFixedSize(900, 660);

    label(QStringLiteral("Rifa Definida.............:"), {10, 10, 175, 20}, this, 13, true);
    LBL_StatusBingo = label(QString(), {190, 10, 700, 20}, this, 13, true);
    LBL_StatusBingo->setObjectName(QStringLiteral("LBL_StatusBingo"));
    label(QStringLiteral("Modalidade Definida:"), {10, 34, 175, 20}, this, 13, true);
    LBL_Modal = label(QString(), {190, 34, 200, 20}, this, 13, true);
    LBL_Modal->setObjectName(QStringLiteral("LBL_Modal"));

    auto option = [this](const QString &text, const char *name, int y) {
        auto *r = new QRadioButton(text, this);
        r->setObjectName(QLatin1String(name));
        r->setGeometry(10, y, 330, 22);
        connect(r, &QRadioButton::clicked, this, [this, r] { chooseMode(r); });
        return r;
    };
    RadioButton1 = option(QStringLiteral("Listar Todos os Bilhetes Não Comprados"), "RadioButton1", 66);
    RadioButton2 = option(QStringLiteral("Listar Bilhetes por Bloco ( Não Comprados )"), "RadioButton2", 92);
    RadioButton3 =
        option(QStringLiteral("Listar Bilhetes por Bloco ( Comprados ou Não )"), "RadioButton3", 118);
    RadioButton1->setChecked(true);

    Panel_Bloco = panel("Panel_Bloco", QStringLiteral("Defina o Bloco/Intervalo de Bilhetes"),
                        {345, 60, 300, 60}, this);
    label(QStringLiteral("Entre"), {10, 30, 40, 22}, Panel_Bloco);
    Entre_1 = new QLineEdit(QStringLiteral("1"), Panel_Bloco);
    Entre_1->setObjectName(QStringLiteral("Entre_1"));
    Entre_1->setGeometry(50, 30, 90, 22);
    label(QStringLiteral("ATÉ"), {155, 30, 35, 22}, Panel_Bloco);
    Entre_2 = new QLineEdit(QStringLiteral("1"), Panel_Bloco);
    Entre_2->setObjectName(QStringLiteral("Entre_2"));
    Entre_2->setGeometry(190, 30, 90, 22);
    Panel_Bloco->hide();

    Button4 = button(QStringLiteral("Mostrar Lista"), "Button4", {670, 78, 150, 32}, this);
    connect(Button4, &QPushButton::clicked, this, &TForm_ListaDisp::Button4Click);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(10, 150, 525, 330);
    DBGrid1->setModel(&m_listing);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->hide();
    // Fixed row heights: a million rows scroll without the view measuring them.
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->setColumnWidth(0, 100);
    for (int c = 1; c <= TicketListing::NumberColumns; ++c)
        DBGrid1->setColumnWidth(c, 62);

    label(QStringLiteral("Total...:"), {10, 486, 60, 20}, this, 13, true);
    LBL_Total = label(QStringLiteral("000000"), {72, 486, 80, 20}, this, 13, true);
    LBL_Total->setObjectName(QStringLiteral("LBL_Total"));
    label(QStringLiteral("( Disponíveis para Venda )"), {155, 486, 200, 20}, this);
    auto countShown = [this] { showTotal(m_listing.rowCount()); };
    connect(&m_listing, &QAbstractItemModel::rowsInserted, this, countShown);
    connect(&m_listing, &QAbstractItemModel::modelReset, this, countShown);
    connect(&m_listing, &TicketListing::failed, this,
            [this](const QString &error) { m_ctx.dialogs.error(error); });

    label(QStringLiteral("Nome do Arquivo a Gerar:"), {550, 150, 250, 20}, this, 13, true);
    CMB_NomeArq = new QComboBox(this);
    CMB_NomeArq->setObjectName(QStringLiteral("CMB_NomeArq"));
    CMB_NomeArq->setGeometry(550, 172, 200, 24);
    auto *extension = new QLineEdit(QStringLiteral(".html"), this);
    extension->setObjectName(QStringLiteral("ED_Extensao"));
    extension->setReadOnly(true);
    extension->setFocusPolicy(Qt::NoFocus);
    extension->setGeometry(752, 172, 50, 24);
    Label12 = clickable(QStringLiteral("+"), "Label12", this);
    Label12->setGeometry(808, 170, 24, 26);

    label(QStringLiteral("Pedidos vem P/ WhtasApp;"), {550, 206, 250, 20}, this, 13, true);
    CMB_TELEFONE = new QComboBox(this);
    CMB_TELEFONE->setObjectName(QStringLiteral("CMB_TELEFONE"));
    CMB_TELEFONE->setGeometry(550, 228, 252, 24);
    LBL_MaisFone = clickable(QStringLiteral("+"), "LBL_MaisFone", this);
    LBL_MaisFone->setGeometry(808, 226, 24, 26);

    label(QStringLiteral("PIX para Pagamentos:"), {550, 262, 250, 20}, this, 13, true);
    CMB_TIPO_PIX = new QComboBox(this);
    CMB_TIPO_PIX->setObjectName(QStringLiteral("CMB_TIPO_PIX"));
    // The two later kinds come after the first three, so a stored TIPO_PIX keeps its meaning.
    CMB_TIPO_PIX->addItems({QStringLiteral("CPF"), QStringLiteral("Celular"), QStringLiteral("E-mail"),
                            PixCode::cnpjType(), PixCode::randomKeyType()});
    CMB_TIPO_PIX->setCurrentIndex(1);
    CMB_TIPO_PIX->setGeometry(550, 284, 95, 24);
    ED_PIX = new QLineEdit(this);
    ED_PIX->setObjectName(QStringLiteral("ED_PIX"));
    ED_PIX->setGeometry(650, 284, 230, 24);
    ED_PIX->installEventFilter(this);

    label(QStringLiteral("Nome do Recebedor:"), {550, 316, 140, 22}, this);
    ED_NomeRecebedor = new QLineEdit(this);
    ED_NomeRecebedor->setObjectName(QStringLiteral("ED_NomeRecebedor"));
    ED_NomeRecebedor->setGeometry(690, 314, 190, 24);
    ED_NomeRecebedor->setMaxLength(25);
    ED_NomeRecebedor->setToolTip(
        QStringLiteral("Nome do titular da chave PIX, como o banco mostra. Com ele, a página "
                       "traz o QR Code e o Pix Copia e Cola com o valor exato do pedido."));
    label(QStringLiteral("Cidade do Recebedor:"), {550, 344, 140, 22}, this);
    ED_CidadeRecebedor = new QLineEdit(this);
    ED_CidadeRecebedor->setObjectName(QStringLiteral("ED_CidadeRecebedor"));
    ED_CidadeRecebedor->setGeometry(690, 342, 190, 24);
    ED_CidadeRecebedor->setMaxLength(15);
    connect(ED_NomeRecebedor, &QLineEdit::textEdited, this, [this] { settingTouched(); });
    connect(ED_CidadeRecebedor, &QLineEdit::textEdited, this, [this] { settingTouched(); });

    BTN_Gerar = button(QStringLiteral("Gerar Arquivo HTML"), "BTN_Gerar", {550, 376, 330, 36}, this);
    BTN_Gerar->setFont(arialFont(14, true));
    Button2 = button(QStringLiteral("Como Enviar..."), "Button2", {550, 418, 330, 28}, this);
    connect(BTN_Gerar, &QPushButton::clicked, this, &TForm_ListaDisp::BTN_GerarClick);
    connect(Button2, &QPushButton::clicked, this, &TForm_ListaDisp::Button2Click);

    note(
        QStringLiteral("É ideal que vá atualizando ( gerando novos intervalos ) do Bloco de Bilhetes à venda "
                       "para Não Haver muita Seleção de C. Bilhetes já Vendidos."),
        {550, 452, 330, 42}, this);
    note(QStringLiteral(
             "Obs.: Não há garantias que Sistemas como esse e outros no Brasil ou no mundo, sempre "
             "continuei a comunicação com a Plataforma Whatsapp, já que a política de trabalhos deles "
             "podem impedir ou gerar burocracias extras para a integração."),
         {550, 498, 330, 86}, this);
    note(QStringLiteral(
             "- Páginas geradas aqui, podem não ser 100% bem visualizadas em navegadores que não seja o "
             "Google Chrome ou Edege.  Algumas resoluções de Telas de Celulares poderão mostrar "
             "pequenas diferenças Visualmente. Em iphone, pode não mostrar adequadamente a página, "
             "principalmente se abrir via navegador Opera."),
         {10, 590, 870, 60}, this);

    // The settings: the key type and typed key, and closing the drop-down of the two lists.
    connect(CMB_TIPO_PIX, &QComboBox::activated, this, [this] {
        settingTouched();
        m_ctx.dialogs.message(QStringLiteral("KORVANTE"), QStringLiteral("selecionou"), BoxIcon::None);
    });
    connect(ED_PIX, &QLineEdit::textEdited, this, [this] { settingTouched(); });
    for (QComboBox *list : {CMB_TELEFONE, CMB_NomeArq}) {
        connect(list, &QComboBox::activated, this, [this] { settingTouched(); });
        list->view()->parentWidget()->installEventFilter(this);
    }

    Panel_Telefone = panel("Panel_Telefone", QStringLiteral("LISTA DE TELEFONES PARA USO NO WHATSAPP"),
                           {545, 148, 345, 250}, this);
    m_phoneRows = new QStandardItemModel(this);
    GridTelefones = grid("GridTelefones", m_phoneRows, {8, 28, 329, 170}, Panel_Telefone);
    BTN_Novo = button(QStringLiteral("Novo"), "BTN_Novo", {8, 206, 100, 32}, Panel_Telefone);
    BTN_Excluir = button(QStringLiteral("Excluir"), "BTN_Excluir", {116, 206, 100, 32}, Panel_Telefone);
    Img_Fechar = clickable(QStringLiteral("X"), "Img_Fechar", Panel_Telefone);
    Img_Fechar->setGeometry(318, 2, 22, 22);
    connect(BTN_Novo, &QPushButton::clicked, this, &TForm_ListaDisp::BTN_NovoClick);
    connect(BTN_Excluir, &QPushButton::clicked, this, &TForm_ListaDisp::BTN_ExcluirClick);
    Panel_Telefone->hide();

    Panel_ARQ_SAIDA = panel("Panel_ARQ_SAIDA", QStringLiteral("LISTA DE ARQUIVO DE SAÍDA EM HTML"),
                            {545, 148, 345, 250}, this);
    m_fileRows = new QStandardItemModel(this);
    GridArquivos = grid("GridArquivos", m_fileRows, {8, 28, 329, 170}, Panel_ARQ_SAIDA);
    BTN_NOVO_ARQ_SAIDA =
        button(QStringLiteral("Novo"), "BTN_NOVO_ARQ_SAIDA", {8, 206, 100, 32}, Panel_ARQ_SAIDA);
    Button3 = button(QStringLiteral("Excluir"), "Button3", {116, 206, 100, 32}, Panel_ARQ_SAIDA);
    Image1 = clickable(QStringLiteral("X"), "Image1", Panel_ARQ_SAIDA);
    Image1->setGeometry(318, 2, 22, 22);
    connect(BTN_NOVO_ARQ_SAIDA, &QPushButton::clicked, this, &TForm_ListaDisp::BTN_NOVO_ARQ_SAIDAClick);
    connect(Button3, &QPushButton::clicked, this, &TForm_ListaDisp::Button3Click);
    Panel_ARQ_SAIDA->hide();
}

TForm_ListaDisp::~TForm_ListaDisp() {
    DBGrid1->setModel(nullptr);
}

QLabel *TForm_ListaDisp::clickable(const QString &text, const char *name, QWidget *parent) {
    QLabel *l = label(text, {}, parent, 18, true);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    return l;
}

bool TForm_ListaDisp::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Label12)
            Label12Click();
        else if (watched == LBL_MaisFone)
            LBL_MaisFoneClick();
        else if (watched == Img_Fechar)
            Img_FecharClick();
        else if (watched == Image1)
            Image1Click();
    }
    if (watched == ED_PIX && event->type() == QEvent::KeyPress &&
        CMB_TIPO_PIX->currentText() != QLatin1String("E-mail")) {
        // CPF and phone keys take digits only, a CNPJ digits and capitals, a random key digits, a-f
        // and '-'; Backspace, Tab, Enter and other control keys pass.
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && !text.isEmpty() && text.at(0).isPrint()) {
            const QChar c = text.at(0);
            const bool digit = c >= u'0' && c <= u'9';
            const QString kind = CMB_TIPO_PIX->currentText();
            QChar typed;
            if (digit)
                typed = c;
            else if (kind == PixCode::cnpjType() && c.toUpper() >= u'A' && c.toUpper() <= u'Z')
                typed = c.toUpper();
            else if (kind == PixCode::randomKeyType() &&
                     (c == u'-' || (c.toLower() >= u'a' && c.toLower() <= u'f')))
                typed = c.toLower();
            if (typed.isNull()) return true;
            if (typed != c) {
                // Typed as the key is written: the person's own edit, with its setting flag.
                ED_PIX->insert(QString(typed));
                settingTouched();
                return true;
            }
        }
    }
    if (event->type() == QEvent::Hide &&
        (watched == CMB_TELEFONE->view()->parentWidget() || watched == CMB_NomeArq->view()->parentWidget()))
        settingTouched();
    return QDialog::eventFilter(watched, event);
}

void TForm_ListaDisp::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm_ListaDisp::FormShow() {
    QString error;
    if (!m_lists.openPhones(&error)) m_ctx.dialogs.error(error);
    fillPhones();
    if (!m_lists.openFileNames(&error)) m_ctx.dialogs.error(error);
    fillFileNames();
    if (CMB_NomeArq->count() == 1) CMB_NomeArq->setCurrentIndex(0);

    if (m_settings.exists()) {
        const int phone = m_settings.foneGerHtml();
        CMB_TELEFONE->setCurrentIndex(phone >= 0 && phone < CMB_TELEFONE->count() ? phone : -1);
        const int type = m_settings.tipoPix();
        CMB_TIPO_PIX->setCurrentIndex(type >= 0 && type < CMB_TIPO_PIX->count() ? type : -1);
        ED_PIX->setText(m_settings.pix());
        ED_NomeRecebedor->setText(m_settings.pixNome());
        ED_CidadeRecebedor->setText(m_settings.pixCidade());
    } else {
        CMB_TELEFONE->setCurrentIndex(-1);
    }

    const WorkingRaffle &raffle = m_ctx.raffle;
    const CachedTable &row = m_ctx.tdm.CDS_RIfaUSar;
    const QString modalidade = row.isOpen() && row.rowCount() > 0
                                   ? row.value(0, QStringLiteral("MODALIDADE")).toString()
                                   : QString();
    m_format = ModalityFormat::fromModalidade(modalidade);
    if (m_format.width() == 1 &&
        raffle.MaiorNumero > 0) // no raffle row at hand: the width of its highest number
        m_format = ModalityFormat(int(QString::number(raffle.MaiorNumero).size()));
    m_listing.setFormat(m_format, raffle.QtNumBilhete);
    // The number columns the raffle's tickets have (the ticket table has no others).
    if (raffle.QtNumBilhete > 0)
        for (int c = 1; c <= TicketListing::NumberColumns; ++c)
            DBGrid1->setColumnHidden(c, c > raffle.QtNumBilhete);

    LBL_StatusBingo->setText(raffle.LBL_RifaUsar);
    LBL_Modal->setText(QString::number(raffle.MaiorNumero));
}

void TForm_ListaDisp::done(int result) {
    if (m_settings.changed() &&
        !m_settings.write(CMB_TELEFONE->currentIndex(), CMB_TIPO_PIX->currentIndex(), ED_PIX->text(),
                          ED_NomeRecebedor->text(), ED_CidadeRecebedor->text()))
        m_ctx.dialogs.error(QStringLiteral("Não foi possível gravar as configurações da Página HTML em %1.")
                                .arg(QDir::toNativeSeparators(m_settings.path())));
    m_listing.close();
    QDialog::done(result);
}

void TForm_ListaDisp::chooseMode(QRadioButton *option) {
    if (option == RadioButton1) {
        Panel_Bloco->hide();
        return;
    }
    // Beside the option, and above the listing and the file name, never over them.
    Panel_Bloco->move(Panel_Bloco->x(), qMin(option->y() - 20, DBGrid1->y() - 4 - Panel_Bloco->height()));
    Panel_Bloco->show();
    Panel_Bloco->raise();
}

TicketListing::Mode TForm_ListaDisp::mode() const {
    if (RadioButton2->isChecked()) return TicketListing::Mode::FreeBlock;
    if (RadioButton3->isChecked()) return TicketListing::Mode::Block;
    return TicketListing::Mode::FreeAll;
}

void TForm_ListaDisp::showTotal(int total) {
    LBL_Total->setText(QString::number(total));
}

void TForm_ListaDisp::Button4Click() {
    Dialogs &dialogs = m_ctx.dialogs;
    const WorkingRaffle &raffle = m_ctx.raffle;
    bool ok = false;
    const int from = Entre_1->text().trimmed().toInt(&ok);
    if (!ok) {
        dialogs.error(notAnInteger(Entre_1->text()));
        return;
    }
    if (from <= 0) {
        dialogs.error(QStringLiteral("O campo ENTRE deverá iniciar com o número maior que ZERO!"));
        return;
    }
    if (raffle.QtNumBilhete == 0 || !TicketTables::find(raffle.TabelaBaseUsar)) {
        dialogs.error(QStringLiteral("A Rifa escolhida não tem Bilhetes gerados. Escolha a Rifa novamente ou "
                                     "gere os Números da Rifa no Cadastro."));
        return;
    }
    const int tickets = (raffle.MaiorNumero + 1) / raffle.QtNumBilhete;
    const int to = Entre_2->text().trimmed().toInt(&ok);
    if (!ok) {
        dialogs.error(notAnInteger(Entre_2->text()));
        return;
    }
    if (to > tickets) {
        dialogs.error(QStringLiteral("O valor do campo ATÉ passa do último C.Bilhete desta Rifa.\n"
                                     "O C.Bilhete máximo que pode ser digitado é até: %1")
                          .arg(tickets));
        return;
    }
    WaitCursor wait;
    DBGrid1->setUpdatesEnabled(false);
    QString error;
    const bool opened = m_listing.open(raffle.TabelaBaseUsar, raffle.slot(), mode(), from, to, &error);
    DBGrid1->setUpdatesEnabled(true);
    wait.restore();
    if (!opened) dialogs.error(QStringLiteral("Erro ao listar os Bilhetes: ") + error);
}

void TForm_ListaDisp::BTN_GerarClick() {
    if (m_listing.isOpen() && !m_listing.isComplete()) {
        WaitCursor wait;
        QString error;
        if (!m_listing.finishLoading(&error)) {
            wait.restore();
            m_ctx.dialogs.error(QStringLiteral("Erro ao listar os Bilhetes: ") + error);
            return;
        }
    }
    SalesPageRequest r;
    r.listing = &m_listing;
    r.total = LBL_Total->text().toInt();
    r.mode = mode();
    r.entre1 = Entre_1->text();
    r.entre2 = Entre_2->text();
    r.phone = CMB_TELEFONE->currentIndex() >= 0 ? CMB_TELEFONE->currentText() : QString();
    r.pixType = CMB_TIPO_PIX->currentText();
    r.pixKey = ED_PIX->text();
    r.fileName = CMB_NomeArq->currentIndex() >= 0 ? CMB_NomeArq->currentText() : QString();
    r.raffleName = LBL_StatusBingo->text();
    r.format = m_format;
    r.recipientName = ED_NomeRecebedor->text();
    r.recipientCity = ED_CidadeRecebedor->text();
    if (r.fileName.isEmpty() && r.total <= 1500) CMB_NomeArq->setFocus();
    m_generator.BTN_GerarClick(r);
}

void TForm_ListaDisp::Button2Click() {
    m_ctx.dialogs.notice(QStringLiteral("O arquivo gerado está na pasta HTML que o sistema vai mostrar agora "
                                        "pra você. Depois, abra o WhatsApp Web e "
                                        "chame o Cliente ou Grupo que deseja mandar o arquivo HTML e anexe o "
                                        "arquivo gerado no zap dele ou do Grupo"));
    const QString folder = m_generator.pagesFolder();
    Shell::open(QUrl::fromLocalFile(folder));
    const QDir program(m_ctx.programFolder);
    for (const QString &name : {QStringLiteral("Dravelo.exe"), QStringLiteral("Quispen.txt")}) {
        const QString target = QDir(folder).filePath(name);
        if (!QFile::exists(program.filePath(name)) || !QDir(folder).exists()) continue; // nothing to copy
        QFile::remove(target);
        QFile::copy(program.filePath(name), target);
    }
}

void TForm_ListaDisp::fillPhones() {
    CMB_TELEFONE->clear();
    CMB_TELEFONE->addItems(m_lists.phoneEntries());
}

void TForm_ListaDisp::fillFileNames() {
    CMB_NomeArq->clear();
    CMB_NomeArq->addItems(m_lists.fileNames());
}

void TForm_ListaDisp::refreshPhoneGrid() {
    m_phoneRows->clear();
    m_phoneRows->setHorizontalHeaderLabels({QStringLiteral("DDD"), QStringLiteral("TELEFONE")});
    const CachedTable &t = m_lists.CDS_Telefones();
    for (int r = 0; r < t.rowCount(); ++r)
        m_phoneRows->appendRow({new QStandardItem(t.value(r, QStringLiteral("DDD")).toString()),
                                new QStandardItem(t.value(r, QStringLiteral("TELEFONE")).toString())});
    if (t.rowCount() > 0) GridTelefones->setCurrentIndex(m_phoneRows->index(0, 0));
}

void TForm_ListaDisp::refreshFileGrid() {
    m_fileRows->clear();
    m_fileRows->setHorizontalHeaderLabels({QStringLiteral("NOME ARQUIVO HTML A GERAR")});
    const CachedTable &t = m_lists.CDS_ARQ_SAIDA();
    for (int r = 0; r < t.rowCount(); ++r)
        m_fileRows->appendRow(new QStandardItem(t.value(r, QStringLiteral("NOME_ARQUIVO")).toString()));
    if (t.rowCount() > 0) GridArquivos->setCurrentIndex(m_fileRows->index(0, 0));
}

void TForm_ListaDisp::LBL_MaisFoneClick() {
    QString error;
    if (!m_lists.openPhones(&error)) m_ctx.dialogs.error(error);
    refreshPhoneGrid();
    Panel_ARQ_SAIDA->hide();
    Panel_Telefone->show();
    Panel_Telefone->raise();
}

void TForm_ListaDisp::BTN_NovoClick() {
    Dialogs &dialogs = m_ctx.dialogs;
    const QString title = QStringLiteral("Cadastro de Telefone");
    const QString ddd =
        dialogs
            .inputText(title, QStringLiteral("Informe qual o DDD do Telefone: (SOMENTE NÚMEROS)"), QString())
            .value_or(QString());
    if (ddd.isEmpty()) {
        dialogs.error(QStringLiteral("DDD deve ser informado!"));
        return;
    }
    const QString number =
        dialogs
            .inputText(title, QStringLiteral("Informe qual o Número do Telefone:(SOMENTE NÚMEROS)"),
                       QString())
            .value_or(QString());
    if (number.isEmpty()) {
        dialogs.error(QStringLiteral("O Número do Telefone deve ser informado!"));
        return;
    }
    if (const QString refusal = SalesPageLists::phoneRefusal(ddd, number); !refusal.isEmpty()) {
        dialogs.error(refusal);
        return;
    }
    QString error;
    if (!m_lists.addPhone(ddd, number, &error)) {
        dialogs.error(QStringLiteral("Erro ao gravar o Telefone: ") + error);
        return;
    }
    refreshPhoneGrid();
    dialogs.information(QStringLiteral("Número telefone adicionado com Sucesso!"));
}

void TForm_ListaDisp::BTN_ExcluirClick() {
    const int row = GridTelefones->currentIndex().row();
    const CachedTable &t = m_lists.CDS_Telefones();
    if (row < 0 || row >= t.rowCount()) return;
    const QString entry = t.value(row, QStringLiteral("DDD")).toString() + u' ' +
                          t.value(row, QStringLiteral("TELEFONE")).toString();
    if (!m_ctx.dialogs.question(QStringLiteral("KORVANTE"),
                                QStringLiteral("Deseja realmente Excluir esse Telefone: ") + entry + u'?',
                                true)) {
        m_ctx.dialogs.information(QStringLiteral("Processo cancelado!"));
        return;
    }
    QString error;
    if (!m_lists.removePhone(row, &error))
        m_ctx.dialogs.error(QStringLiteral("Erro ao excluir o Telefone: ") + error);
    refreshPhoneGrid();
}

void TForm_ListaDisp::Img_FecharClick() {
    Panel_Telefone->hide();
    fillPhones();
    CMB_TELEFONE->setCurrentIndex(-1);
}

void TForm_ListaDisp::Label12Click() {
    QString error;
    if (!m_lists.openFileNames(&error)) m_ctx.dialogs.error(error);
    refreshFileGrid();
    Panel_Telefone->hide();
    Panel_ARQ_SAIDA->show();
    Panel_ARQ_SAIDA->raise();
}

void TForm_ListaDisp::BTN_NOVO_ARQ_SAIDAClick() {
    Dialogs &dialogs = m_ctx.dialogs;
    const QString name = dialogs
                             .inputText(QStringLiteral("Cadastro de Arquivo de Saida HTML"),
                                        QStringLiteral("Informe o Nome"), QString())
                             .value_or(QString());
    if (name.isEmpty()) return;
    if (const QString refusal = SalesPageLists::fileNameRefusal(name); !refusal.isEmpty()) {
        dialogs.error(refusal);
        return;
    }
    QString error;
    if (!m_lists.addFileName(name, &error)) {
        dialogs.error(QStringLiteral("Erro ao gravar o Nome do Arquivo: ") + error);
        return;
    }
    refreshFileGrid();
    dialogs.information(QStringLiteral("O Nome do Arquivo foi Adicionado com Sucesso!"));
}

void TForm_ListaDisp::Button3Click() {
    const int row = GridArquivos->currentIndex().row();
    const CachedTable &t = m_lists.CDS_ARQ_SAIDA();
    if (row < 0 || row >= t.rowCount()) return;
    const QString name = t.value(row, QStringLiteral("NOME_ARQUIVO")).toString();
    if (name == SalesPageLists::defaultFileName()) {
        m_ctx.dialogs.error(
            QStringLiteral("Esse nome de Arquivo é PADRÃO do Sistema, não pode ser excluído!"));
        return;
    }
    if (!m_ctx.dialogs.question(
            QStringLiteral("KORVANTE"),
            QStringLiteral("Deseja realmente Excluir esse Nome de Arquivo: ") + name + u'?', true)) {
        m_ctx.dialogs.information(QStringLiteral("Processo cancelado!"));
        return;
    }
    QString error;
    if (!m_lists.removeFileName(row, &error))
        m_ctx.dialogs.error(QStringLiteral("Erro ao excluir o Nome do Arquivo: ") + error);
    refreshFileGrid();
}

void TForm_ListaDisp::Image1Click() {
    Panel_ARQ_SAIDA->hide();
    fillFileNames();
    CMB_NomeArq->setCurrentIndex(-1);
}
