#include "layout/TForm_pos.h"

#include "layout/TicketPictures.h"
#include "layout/TicketSheet.h"
#include "whatsapp/TForm_Whats.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "layout/Code128.h"
#include "layout/RtfCodec.h"
#include "layout/TForm_ModuloPrint.h"
#include "layout/TForm_Visualizar.h"
#include "layout/WidgetPrintProgress.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/WaitCursor.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QImageReader>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

// The white design area: rulers along the top and left edges and the optional guide grid.
class DesignArea : public QWidget {
public:
    explicit DesignArea(QWidget *parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Panel3"));
        setFixedSize(856, 1000);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
    }
    bool gridShown = false;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        if (gridShown) {
            p.setPen(TicketLayout::colour(15593454));
            for (int x = 0; x < width(); x += 19)
                p.drawLine(x, 0, x, height());
            for (int y = 0; y < height(); y += 19)
                p.drawLine(0, y, width(), y);
        }
        p.fillRect(QRect(0, 0, width(), 20), QColor(240, 240, 240));
        p.fillRect(QRect(0, 0, 20, height()), QColor(240, 240, 240));
        p.setPen(Qt::black);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(9);
        p.setFont(f);
        for (int cm = 0; cm <= 21; ++cm) {
            const int x = 15 + qRound(cm * 37.8);
            p.drawLine(x, 14, x, 20);
            p.drawText(QRect(x - 10, 0, 20, 13), Qt::AlignCenter, QString::number(cm));
        }
        for (int cm = 0; cm * 37.8 < height(); ++cm) {
            const int y = 20 + qRound(cm * 37.8);
            p.drawLine(14, y, 20, y);
            p.drawText(QRect(0, y - 6, 13, 12), Qt::AlignCenter, QString::number(cm));
        }
    }
};

namespace {

// The ticket outline: a red rectangle with a 3-pixel border that lets the mouse through.
class Outline : public QWidget {
public:
    explicit Outline(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setPen(QPen(Qt::red, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(1.5, 1.5, width() - 3, height() - 3));
    }
};

// The stub's dotted separator.
class DottedLine : public QWidget {
public:
    explicit DottedLine(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawLine(0, 0, 0, height());
    }
};

const QList<QPair<QString, int>> &standardColours() {
    static const QList<QPair<QString, int>> c = {
        {QStringLiteral("Black"), 0x000000},  {QStringLiteral("Maroon"), 0x000080},
        {QStringLiteral("Green"), 0x008000},  {QStringLiteral("Olive"), 0x008080},
        {QStringLiteral("Navy"), 0x800000},   {QStringLiteral("Purple"), 0x800080},
        {QStringLiteral("Teal"), 0x808000},   {QStringLiteral("Gray"), 0x808080},
        {QStringLiteral("Silver"), 0xC0C0C0}, {QStringLiteral("Red"), 0x0000FF},
        {QStringLiteral("Lime"), 0x00FF00},   {QStringLiteral("Yellow"), 0x00FFFF},
        {QStringLiteral("Blue"), 0xFF0000},   {QStringLiteral("Fuchsia"), 0xFF00FF},
        {QStringLiteral("Aqua"), 0xFFFF00},   {QStringLiteral("White"), 0xFFFFFF}};
    return c;
}

void fillColours(QComboBox *box) {
    for (const auto &[name, value] : standardColours()) {
        QPixmap swatch(12, 12);
        swatch.fill(TicketLayout::colour(value));
        box->addItem(QIcon(swatch), name, value);
    }
}

QPixmap barcodePicture() {
    QImage img(101, 28, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        Code128::paint(p, 0, 0, QStringLiteral("123456"));
    }
    return QPixmap::fromImage(img.scaled(TicketLayout::BarcodeBox, Qt::IgnoreAspectRatio));
}

// An editable list set by its text keeps its old item and reports the text as chosen when it loses
// the focus: select the item itself, and show a value outside the list as text only.
void selectSize(QComboBox *box, int value) {
    const int i = box->findText(QString::number(value));
    box->setCurrentIndex(i);
    if (i < 0) box->setEditText(QString::number(value));
}

// Digits, backspace, tab and enter only.
void digitsOnly(QLineEdit *edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

// Lengths of the raffle row's text columns: a field never holds more than its column keeps.
constexpr int kNomeRifaLength = 35, kModalidadeLength = 20, kUsarQtNumLength = 15, kPathLength = 300;

QString pathTooLongMessage(const QString &path) {
    return QStringLiteral(
               "O caminho da imagem tem mais de %1 caracteres e não pode ser gravado. Coloque a imagem "
               "em uma pasta de caminho mais curto: ")
               .arg(kPathLength) +
           QDir::toNativeSeparators(path);
}

const QString kSaveQuestion = QStringLiteral("Existem dados na Rifa a serem Gravados. Deseja Gravar?");
const QString kApplyError = QStringLiteral("Erro ao gravar os dados da Rifa: ");
const QString kPrintOnlyRefusal =
    QStringLiteral("Não é permitido fazer essa alteração pelo Módulo de Impressão Externa. Faça a alteração "
                   "no KORVANTE principal e gere novamente o Módulo de Impressão Externa!");

} // namespace

TForm_pos::TForm_pos(AppContext &ctx, QWidget *parent, Variant variant)
    : QDialog(parent), m_ctx(ctx), m_variant(variant), m_run(ctx) {
    setObjectName(QStringLiteral("TForm_pos"));
    setWindowTitle(variant == Variant::PrintOnly
                       ? QStringLiteral("KORVANTE - Personalizador - Módulo de Impressão Externa")
                       : QStringLiteral("KORVANTE - Personalizador"));
    m_run.setPrintOnly(variant == Variant::PrintOnly);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(1183, 660);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    build();
}

TForm_pos::~TForm_pos() = default;

// ---------- building the window ----------

void TForm_pos::build() {
    buildToolbar();

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox"));
    m_scroll->setGeometry(0, 56, 862, 604);
    Panel3 = new DesignArea(nullptr);
    m_scroll->setWidget(Panel3);

    img_fundo = new QLabel(Panel3);
    img_fundo->setObjectName(QStringLiteral("img_fundo"));
    img_fundo->hide();
    Shape_DimBilhete = new Outline(Panel3);
    Shape_DimBilhete->setObjectName(QStringLiteral("Shape_DimBilhete"));
    Shape_DimBilhete->setGeometry(
        QRect(QPoint(TicketLayout::OutlineLeft, TicketLayout::OutlineTop), TicketLayout::DefaultOutline));

    auto freeImage = [&](const char *name) {
        auto *l = new QLabel(Panel3);
        l->setObjectName(QLatin1String(name));
        l->setCursor(Qt::SizeAllCursor);
        l->hide();
        return l;
    };
    Img_LIVRE1 = freeImage("Img_LIVRE1");
    IMG_LIVRE2 = freeImage("IMG_LIVRE2");

    auto textBox = [&](const char *name) {
        auto *t = new QTextEdit(Panel3);
        t->setObjectName(QLatin1String(name));
        t->setAcceptRichText(true);
        t->setFrameStyle(QFrame::Box);
        // Lines break where the printed page breaks them.
        t->setFont(QFont(QStringLiteral("Arial"), 10));
        TicketSheet::prepareTextDocument(*t->document());
        t->setLineWrapMode(QTextEdit::FixedPixelWidth);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
        t->viewport()->installEventFilter(this);
        t->installEventFilter(this);
        t->hide();
        return t;
    };
    DBR_TextoBasico = textBox("DBR_TextoBasico");
    DBR_TextoBasico_C = textBox("DBR_TextoBasico_C");
    Shape_traco = new DottedLine(Panel3);
    Shape_traco->setObjectName(QStringLiteral("Shape_traco"));
    Shape_traco->hide();

    auto label = [&](const char *name, bool italic) {
        auto *l = new QLabel(Panel3);
        l->setObjectName(QLatin1String(name));
        l->setCursor(Qt::SizeAllCursor);
        QFont f(QStringLiteral("Arial"));
        f.setItalic(italic);
        l->setFont(f);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->hide();
        return l;
    };
    BilheteNum1 = label("BilheteNum1", true);
    BilheteNum2 = label("BilheteNum2", true);
    for (int k = 0; k < 10; ++k)
        NumB[k] = label(QStringLiteral("NumB%1").arg(k + 1).toLatin1().constData(), false);
    Num_Autentic = label("Num_Autentic", false);
    {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(12);
        Num_Autentic->setFont(f);
        Num_Autentic->setStyleSheet(QStringLiteral("color: #FF00FF"));
        Num_Autentic->setText(QLatin1String(TicketLayout::AuthPlaceholder));
    }
    const QPixmap bars = barcodePicture();
    IMG_CODBARRA1 = label("IMG_CODBARRA1", false);
    IMG_CODBARRA2 = label("IMG_CODBARRA2", false);
    for (QLabel *b : {IMG_CODBARRA1, IMG_CODBARRA2}) {
        b->setPixmap(bars);
        b->setScaledContents(true);
        b->resize(TicketLayout::BarcodeBox);
    }

    m_draggables = {{IMG_CODBARRA1, Family::Barcodes, &m_layout.codBarra[0].pos},
                    {IMG_CODBARRA2, Family::Barcodes, &m_layout.codBarra[1].pos},
                    {BilheteNum1, Family::ControlNumbers, &m_layout.bilheteNum[0].pos},
                    {BilheteNum2, Family::ControlNumbers, &m_layout.bilheteNum[1].pos},
                    {Num_Autentic, Family::AuthCode, &m_layout.autentic.pos},
                    {DBR_TextoBasico->viewport(), Family::TextBoxes, &m_layout.texto.pos},
                    {DBR_TextoBasico_C->viewport(), Family::TextBoxes, &m_layout.textoC.pos},
                    {Img_LIVRE1, Family::FreeImages, nullptr},
                    {IMG_LIVRE2, Family::FreeImages, nullptr}};
    for (int k = 0; k < 10; ++k)
        m_draggables.append({NumB[k], Family::Numbers, &m_layout.numB[k].pos});
    for (const Draggable &d : m_draggables)
        if (d.family != Family::TextBoxes) d.widget->installEventFilter(this);

    buildSettings();
    buildPanels();
    buildMenus();
    // Enter in a field is for the field: no button of the designer is pressed by it.
    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (m_variant == Variant::PrintOnly) lockForPrinting();
}

bool TForm_pos::printOnly() const {
    return m_variant == Variant::PrintOnly;
}

bool TForm_pos::refusedInPrintModule() {
    if (!printOnly()) return false;
    m_ctx.dialogs.notice(kPrintOnlyRefusal);
    return true;
}

void TForm_pos::lockForPrinting() {
    DBR_TextoBasico->setReadOnly(true);
    DBR_TextoBasico_C->setReadOnly(true);
    for (QWidget *w : std::initializer_list<QWidget *>{DBEdit5, DBEdit6, DBEdit_TxtAlt, DBEdit_TxtComp,
                                                       DBEdit_TxtCAlt, DBEdit_TxtCComp, ED_Largura, ED_Altura,
                                                       Button1, BTN_SALVAR_BARRA, BTN_SALVAR_BARRA_C})
        w->setEnabled(false);
    Panel_apoio->setToolTip(QStringLiteral(
        "<p style=\"color:#FF0000\">IMPORTANTE: Você está usando um Módulo apenas para Impressão. Diversas "
        "funções estão bloqueadas e não permitem alterar aqui pelo Módulo.</p>"));
}

// A read-only list: whatever is picked, it shows the stored value again.
void TForm_pos::keepStored(QComboBox *box, const QString &column) {
    const QVariant v = field(column);
    const QString stored = v.typeId() == QMetaType::QString ? v.toString().trimmed() : QString::number(v.toInt());
    box->setCurrentIndex(box->findText(stored));
}

void TForm_pos::buildToolbar() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 1183, 56);
    Panel1->setAutoFillBackground(true);
    Panel1->setStyleSheet(QStringLiteral("QFrame#Panel1 { background: #202020; } QLabel { color: white; }"));

    auto caption = [&](const QString &text, int x, int y) {
        auto *l = new QLabel(text, Panel1);
        l->move(x, y);
        return l;
    };
    caption(QStringLiteral("Nº de Controle de Bilhete"), 8, 4);
    cmb_NumID_Tam = new QComboBox(Panel1);
    cmb_NumID_Tam->setObjectName(QStringLiteral("cmb_NumID_Tam"));
    cmb_NumID_Tam->setEditable(true);
    cmb_NumID_Tam->addItems({"0", "8", "9", "10", "11", "12", "13", "14", "15", "16", "18"});
    cmb_NumID_Tam->setGeometry(8, 24, 55, 24);
    CMB_COR_ID_BIL = new QComboBox(Panel1);
    CMB_COR_ID_BIL->setObjectName(QStringLiteral("CMB_COR_ID_BIL"));
    fillColours(CMB_COR_ID_BIL);
    CMB_COR_ID_BIL->setGeometry(68, 24, 110, 24);

    caption(QStringLiteral("Nº que Compõem o Bilhete"), 200, 4);
    cmb_numerosTam = new QComboBox(Panel1);
    cmb_numerosTam->setObjectName(QStringLiteral("cmb_numerosTam"));
    cmb_numerosTam->setEditable(true);
    cmb_numerosTam->addItems(
        {"0", "8", "10", "11", "12", "13", "14", "16", "18", "20", "22", "24", "26", "28", "30"});
    cmb_numerosTam->setGeometry(200, 24, 55, 24);
    CMB_COR_NUM = new QComboBox(Panel1);
    CMB_COR_NUM->setObjectName(QStringLiteral("CMB_COR_NUM"));
    fillColours(CMB_COR_NUM);
    CMB_COR_NUM->setGeometry(260, 24, 110, 24);

    auto tool = [&](const char *name, const QString &text, const QString &hint, int x) {
        auto *b = new QToolButton(Panel1);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setGeometry(x, 6, 64, 44);
        return b;
    };
    BOTAO_IMPRIMIR = tool("BOTAO_IMPRIMIR", QStringLiteral("Imprmir"), QStringLiteral("Imprimir"), 420);
    auto *inactiveSave = new QLabel(QStringLiteral("Gravar"), Panel1);
    inactiveSave->setObjectName(QStringLiteral("botaoSalvarInativo"));
    inactiveSave->setGeometry(500, 6, 64, 44);
    inactiveSave->setAlignment(Qt::AlignCenter);
    inactiveSave->setStyleSheet(QStringLiteral("color: #707070"));
    botaoSalvarAtivo =
        tool("botaoSalvarAtivo", QStringLiteral("Gravar"), QStringLiteral("Gravar alterações"), 500);
    botaoSalvarAtivo->hide();
    BOTAO_OPCOES = tool("BOTAO_OPCOES", QStringLiteral("Opções"), QStringLiteral("Opções"), 580);
    BotaoGrade = tool("BotaoGrade", QStringLiteral("Grade"), QStringLiteral("Mostrar Grade"), 660);
    BotaoGradeSem = tool("BotaoGradeSem", QStringLiteral("Grade"), QStringLiteral("Ocultar Grade"), 660);
    BotaoGradeSem->hide();
    img_fecharPOS =
        tool("img_fecharPOS", QStringLiteral("Sair"), QStringLiteral("Sair do Personalizador"), 1110);

    connect(botaoSalvarAtivo, &QToolButton::clicked, this, &TForm_pos::botaoSalvarAtivoClick);
    connect(BOTAO_IMPRIMIR, &QToolButton::clicked, this, &TForm_pos::BOTAO_IMPRIMIRClick);
    connect(BotaoGrade, &QToolButton::clicked, this, &TForm_pos::BotaoGradeClick);
    connect(BotaoGradeSem, &QToolButton::clicked, this, &TForm_pos::BotaoGradeSemClick);
    connect(img_fecharPOS, &QToolButton::clicked, this, &TForm_pos::img_fecharPOSClick);
    connect(BOTAO_OPCOES, &QToolButton::clicked, this, [this] { Pop->popup(QCursor::pos()); });

    connect(cmb_NumID_Tam, &QComboBox::activated, this, [this] {
        int v = 0;
        if (!toInt(cmb_NumID_Tam->currentText(), &v) || v == m_layout.tamFonteId) return;
        m_layout.tamFonteId = v;
        applyFonts();
        editRow();
    });
    connect(cmb_numerosTam, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (m_loading) return;
        int v = 0;
        if (!toInt(text, &v) || v == m_layout.tamFonteNum) return;
        m_layout.tamFonteNum = v;
        applyFonts();
        editRow();
    });
    connect(CMB_COR_ID_BIL, &QComboBox::activated, this, [this] {
        m_layout.corFonteId = colourOf(CMB_COR_ID_BIL);
        applyFonts();
        editRow();
    });
    connect(CMB_COR_NUM, &QComboBox::activated, this, [this] {
        m_layout.corFonteNum = colourOf(CMB_COR_NUM);
        applyFonts();
        editRow();
    });
}

void TForm_pos::bindLine(QLineEdit *edit, const QString &column, bool numeric) {
    connect(edit, &QLineEdit::textEdited, this, [this, column, numeric](const QString &text) {
        if (numeric) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            setField(column, ok ? QVariant(v) : QVariant(QMetaType(QMetaType::Int)));
        } else {
            setField(column, text);
        }
        editRow();
    });
}

void TForm_pos::buildSettings() {
    Panel_apoio = new QFrame(this);
    Panel_apoio->setObjectName(QStringLiteral("Panel_apoio"));
    Panel_apoio->setGeometry(864, 56, 319, 604);
    Panel_apoio->setAutoFillBackground(true);
    Panel_apoio->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette p = Panel_apoio->palette();
    p.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    p.setColor(QPalette::WindowText, Qt::black);
    Panel_apoio->setPalette(p);

    int y = 4;
    auto caption = [&](const QString &text, int x, int at, bool bold = false) {
        auto *l = new QLabel(text, Panel_apoio);
        if (bold) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        l->move(x, at);
        l->adjustSize();
        return l;
    };
    caption(QStringLiteral("CONFIGURAÇÕES"), 110, y, true);
    y += 22;
    auto line = [&](const char *name, const QString &text, const QString &column, int maxLength) {
        caption(text, 8, y + 3);
        auto *e = new QLineEdit(Panel_apoio);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(110, y, 200, 22);
        e->setMaxLength(maxLength);
        bindLine(e, column, false);
        y += 26;
        return e;
    };
    DBEdit1 = line("DBEdit1", QStringLiteral("NOME RIFA"), QStringLiteral("NOME_RIFA"), kNomeRifaLength);
    DBEdit2 = line("DBEdit2", QStringLiteral("MODALIDADE"), QStringLiteral("MODALIDADE"), kModalidadeLength);
    DBEdit3 = line("DBEdit3", QStringLiteral("USAR QT NUM"), QStringLiteral("USAR_QT_NUM"), kUsarQtNumLength);
    DBEdit2->setReadOnly(true);
    DBEdit3->setReadOnly(true);

    auto pathRow = [&](const char *editName, const char *buttonName, const QString &text,
                       const QString &column) {
        caption(text, 8, y + 3);
        auto *e = new QLineEdit(Panel_apoio);
        e->setObjectName(QLatin1String(editName));
        e->setGeometry(110, y, 170, 22);
        e->setMaxLength(kPathLength);
        bindLine(e, column, false);
        auto *b = new QToolButton(Panel_apoio);
        b->setObjectName(QLatin1String(buttonName));
        b->setText(QStringLiteral("..."));
        b->setGeometry(284, y, 26, 22);
        y += 26;
        return std::pair{e, b};
    };
    std::tie(DBEdit4, Image54) =
        pathRow("DBEdit4", "Image54", QStringLiteral("Arte de Fundo"), QStringLiteral("ART_FUNDO"));
    caption(QStringLiteral("Modo da Arte de Fundo"), 8, y + 3);
    DBCheckBox2 = new QCheckBox(QStringLiteral("Estendida"), Panel_apoio);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    DBCheckBox2->move(150, y);
    y += 26;
    std::tie(DBEdit_Livre1, botao_img_Livre1) = pathRow(
        "DBEdit_Livre1", "botao_img_Livre1", QStringLiteral("Imagem Livre 1"), QStringLiteral("IMG_LIVRE1"));
    std::tie(DBEdit_Livre2, botao_img_Livre2) = pathRow(
        "DBEdit_Livre2", "botao_img_Livre2", QStringLiteral("Imagem Livre 2"), QStringLiteral("IMG_LIVRE2"));

    auto list = [&](const char *name, const QString &text, const QStringList &items) {
        caption(text, 8, y + 3);
        auto *c = new QComboBox(Panel_apoio);
        c->setObjectName(QLatin1String(name));
        c->addItems(items);
        c->setGeometry(250, y, 60, 22);
        y += 26;
        return c;
    };
    DBComboBox1 = list("DBComboBox1", QStringLiteral("Usar Qts Cod. de Barra"), {"0", "1", "2"});
    DBComboBox2 = list("DBComboBox2", QStringLiteral("Usar Nº de Controle do BIlhete"), {"0", "1", "2"});
    DBC_NumColuna = list("DBC_NumColuna", QStringLiteral("Número de Colunas por Folha"), {"0", "2", "3"});
    DBComboBox3 = list("DBComboBox3", QStringLiteral("Usar Identificador de Autenticação"), {"S", "N"});

    caption(QStringLiteral("Dimensões do Bilhete"), 8, y + 3, true);
    y += 22;
    // Each field follows its caption, so the row reads whole in any font.
    const QLabel *altura = caption(QStringLiteral("ALTURA"), 8, y + 3);
    DBEdit5 = new QLineEdit(Panel_apoio);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    DBEdit5->setGeometry(altura->geometry().right() + 5, y, 36, 22);
    bindLine(DBEdit5, QStringLiteral("DIM_BILHETE_ALT"), true);
    const QLabel *comprimento = caption(QStringLiteral("COMPRIMENTO"), DBEdit5->geometry().right() + 6, y + 3);
    DBEdit6 = new QLineEdit(Panel_apoio);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBEdit6->setGeometry(comprimento->geometry().right() + 5, y, 36, 22);
    bindLine(DBEdit6, QStringLiteral("DIM_BILHETE_COMP"), true);
    const QLabel *mm = caption(QStringLiteral("mm"), DBEdit6->geometry().right() + 4, y + 3);
    Button3 = new QPushButton(QStringLiteral("Aplicar"), Panel_apoio);
    Button3->setObjectName(QStringLiteral("Button3"));
    const int aplicar = mm->geometry().right() + 5;
    Button3->setGeometry(aplicar, y, qMax(Panel_apoio->width() - 8 - aplicar, 48), 22);
    y += 30;
    DBCheckBox1 = new QCheckBox(QStringLiteral("Digitar Textos para usar na Rifa."), Panel_apoio);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->move(8, y);
    Button5 = new QPushButton(QStringLiteral("Ajustar..."), Panel_apoio);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(230, y, 80, 22);

    connect(Image54, &QToolButton::clicked, this, &TForm_pos::Image54Click);
    connect(DBCheckBox2, &QCheckBox::clicked, this, &TForm_pos::DBCheckBox2Click);
    connect(botao_img_Livre1, &QToolButton::clicked, this, [this] { botao_img_LivreClick(1); });
    connect(botao_img_Livre2, &QToolButton::clicked, this, [this] { botao_img_LivreClick(2); });
    connect(DBComboBox1, &QComboBox::activated, this, &TForm_pos::DBComboBox1Change);
    connect(DBComboBox2, &QComboBox::activated, this, &TForm_pos::DBComboBox2Change);
    connect(DBC_NumColuna, &QComboBox::activated, this, &TForm_pos::DBC_NumColunaChange);
    connect(DBComboBox3, &QComboBox::activated, this, &TForm_pos::DBComboBox3Change);
    connect(Button3, &QPushButton::clicked, this, &TForm_pos::Button3Click);
    connect(DBCheckBox1, &QCheckBox::clicked, this, &TForm_pos::DBCheckBox1Click);
    connect(Button5, &QPushButton::clicked, this, &TForm_pos::Button5Click);
    // A typed path is stored as typed when the field is left.
    connect(DBEdit4, &QLineEdit::editingFinished, this, [this] {
        if (!m_loading) applyRow();
    });
}

void TForm_pos::buildPanels() {
    auto panel = [&](const char *name, QWidget *parent, QRect place, const QString &title) {
        auto *f = new QFrame(parent);
        f->setObjectName(QLatin1String(name));
        f->setGeometry(place);
        f->setFrameStyle(QFrame::Panel | QFrame::Raised);
        f->setAutoFillBackground(true);
        QPalette p = f->palette();
        p.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
        p.setColor(QPalette::WindowText, Qt::black);
        f->setPalette(p);
        if (!title.isEmpty()) {
            auto *t = new QLabel(title, f);
            t->setObjectName(QLatin1String(name) + QStringLiteral("_Titulo"));
            QFont bold = t->font();
            bold.setBold(true);
            t->setFont(bold);
            t->move(8, 4);
            t->adjustSize();
        }
        f->hide();
        return f;
    };
    auto closer = [&](QFrame *f, const QString &hint) {
        auto *b = new QToolButton(f);
        b->setObjectName(f->objectName() + QStringLiteral("_Fechar"));
        b->setText(QStringLiteral("X"));
        b->setToolTip(hint);
        b->setGeometry(f->width() - 24, 2, 20, 20);
        return b;
    };
    auto edit = [&](QWidget *parent, const char *name, QRect at) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(at);
        return e;
    };
    auto caption = [&](QWidget *parent, const QString &text, QPoint at) {
        auto *l = new QLabel(text, parent);
        l->move(at);
        l->adjustSize();
        return l;
    };

    // Text boxes
    PANEL_TEXTOBASICO =
        panel("PANEL_TEXTOBASICO", this, QRect(572, 297, 300, 190), QStringLiteral("QUADROS DE TEXTO"));
    // The fields stand after the wider of the two captions of their column.
    const QLabel *ticketAlt = caption(PANEL_TEXTOBASICO, QStringLiteral("Bilhete:  Altura"), QPoint(8, 32));
    const QLabel *stubAlt = caption(PANEL_TEXTOBASICO, QStringLiteral("Canhoto: Altura"), QPoint(8, 112));
    const int altX = qMax(ticketAlt->geometry().right(), stubAlt->geometry().right()) + 6;
    DBEdit_TxtAlt = edit(PANEL_TEXTOBASICO, "DBEdit_TxtAlt", QRect(altX, 28, 40, 22));
    DBEdit_TxtCAlt = edit(PANEL_TEXTOBASICO, "DBEdit_TxtCAlt", QRect(altX, 108, 40, 22));
    const QLabel *ticketComp = caption(PANEL_TEXTOBASICO, QStringLiteral("Comprimento"), QPoint(altX + 46, 32));
    caption(PANEL_TEXTOBASICO, QStringLiteral("Comprimento"), QPoint(altX + 46, 112));
    const int compX = ticketComp->geometry().right() + 6;
    DBEdit_TxtComp = edit(PANEL_TEXTOBASICO, "DBEdit_TxtComp", QRect(compX, 28, 40, 22));
    DBEdit_TxtCComp = edit(PANEL_TEXTOBASICO, "DBEdit_TxtCComp", QRect(compX, 108, 40, 22));
    BTN_SALVAR_BARRA = new QPushButton(QStringLiteral("Aplicar"), PANEL_TEXTOBASICO);
    BTN_SALVAR_BARRA->setObjectName(QStringLiteral("BTN_SALVAR_BARRA"));
    BTN_SALVAR_BARRA->setGeometry(compX, 54, 70, 22);
    DBC_USAR_CANHOTO = new QCheckBox(QStringLiteral("Usar também Canhoto"), PANEL_TEXTOBASICO);
    DBC_USAR_CANHOTO->setObjectName(QStringLiteral("DBC_USAR_CANHOTO"));
    DBC_USAR_CANHOTO->move(8, 84);
    BTN_SALVAR_BARRA_C = new QPushButton(QStringLiteral("Aplicar"), PANEL_TEXTOBASICO);
    BTN_SALVAR_BARRA_C->setObjectName(QStringLiteral("BTN_SALVAR_BARRA_C"));
    BTN_SALVAR_BARRA_C->setGeometry(compX, 134, 70, 22);
    const QLabel *hint = caption(PANEL_TEXTOBASICO, QStringLiteral("Medidas em mm. Botão direito no quadro: Mover."),
                                 QPoint(8, 164));
    // The panel is as wide as its widest line.
    PANEL_TEXTOBASICO->resize(std::max({PANEL_TEXTOBASICO->width(), compX + 40 + 8, BTN_SALVAR_BARRA->geometry().right() + 9,
                                    hint->geometry().right() + 9}),
                              PANEL_TEXTOBASICO->height());
    for (QLineEdit *e : {DBEdit_TxtAlt, DBEdit_TxtComp, DBEdit_TxtCAlt, DBEdit_TxtCComp})
        digitsOnly(e);
    bindLine(DBEdit_TxtAlt, QStringLiteral("DIM_TEXTO_BAS_ALT"), true);
    bindLine(DBEdit_TxtComp, QStringLiteral("DIM_TEXTO_BAS_COMP"), true);
    bindLine(DBEdit_TxtCAlt, QStringLiteral("DIM_TEXTO_BAS_C_ALT"), true);
    bindLine(DBEdit_TxtCComp, QStringLiteral("DIM_TEXTO_BAS_C_COMP"), true);
    connect(BTN_SALVAR_BARRA, &QPushButton::clicked, this, &TForm_pos::BTN_SALVAR_BARRAClick);
    connect(BTN_SALVAR_BARRA_C, &QPushButton::clicked, this, &TForm_pos::BTN_SALVAR_BARRA_CClick);
    connect(DBC_USAR_CANHOTO, &QCheckBox::clicked, this, &TForm_pos::DBC_USAR_CANHOTOClick);
    connect(closer(PANEL_TEXTOBASICO, QStringLiteral("Fechar")), &QToolButton::clicked, this, [this] {
        BTN_SALVAR_BARRAClick();
        PANEL_TEXTOBASICO->hide();
    });

    // Background art
    Panel_obterImagem =
        panel("Panel_obterImagem", this, QRect(80, 116, 260, 80), QStringLiteral("ARTE DE FUNDO DA RIFA"));
    auto *obter = new QPushButton(QStringLiteral("Obter Imagem"), Panel_obterImagem);
    obter->setObjectName(QStringLiteral("BTN_ObterImagem"));
    obter->setGeometry(10, 36, 110, 26);
    auto *remover = new QPushButton(QStringLiteral("Remover"), Panel_obterImagem);
    remover->setObjectName(QStringLiteral("BTN_Remover"));
    remover->setGeometry(130, 36, 110, 26);
    connect(obter, &QPushButton::clicked, this, &TForm_pos::BTN_ObterImagemClick);
    connect(remover, &QPushButton::clicked, this, &TForm_pos::BTN_RemoverClick);
    connect(closer(Panel_obterImagem, QStringLiteral("Fechar")), &QToolButton::clicked, Panel_obterImagem,
            &QWidget::hide);

    // Free image dimensions
    Panel_Imagem_Livre =
        panel("Panel_Imagem_Livre", this, QRect(944, 280, 230, 130), QStringLiteral("ALTERAR DIMENSÕES"));
    LBL_ImagemLivre = new QLabel(Panel_Imagem_Livre);
    LBL_ImagemLivre->setObjectName(QStringLiteral("LBL_ImagemLivre"));
    LBL_ImagemLivre->setGeometry(8, 22, 200, 16);
    caption(Panel_Imagem_Livre, QStringLiteral("Largura"), QPoint(8, 46));
    ED_Largura = edit(Panel_Imagem_Livre, "ED_Largura", QRect(64, 42, 50, 22));
    caption(Panel_Imagem_Livre, QStringLiteral("Altura"), QPoint(120, 46));
    ED_Altura = edit(Panel_Imagem_Livre, "ED_Altura", QRect(166, 42, 50, 22));
    digitsOnly(ED_Largura);
    digitsOnly(ED_Altura);
    Button1 = new QPushButton(QStringLiteral("Aplicar"), Panel_Imagem_Livre);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 74, 70, 24);
    BTN_GravarNovaImagem = new QPushButton(QStringLiteral("Gravar Nova Imagem"), Panel_Imagem_Livre);
    BTN_GravarNovaImagem->setObjectName(QStringLiteral("BTN_GravarNovaImagem"));
    BTN_GravarNovaImagem->setGeometry(84, 74, 136, 24);
    BTN_GravarNovaImagem->setEnabled(false);
    for (QLineEdit *e : {ED_Largura, ED_Altura})
        connect(e, &QLineEdit::textEdited, this, [this] { BTN_GravarNovaImagem->setEnabled(true); });
    connect(Button1, &QPushButton::clicked, this, &TForm_pos::Button1Click);
    connect(BTN_GravarNovaImagem, &QPushButton::clicked, this, &TForm_pos::BTN_GravarNovaImagemClick);
    connect(closer(Panel_Imagem_Livre, QStringLiteral("Fechar")), &QToolButton::clicked, this,
            &TForm_pos::FecharPanelImagemLivre);

    // Formatting bar, in the design area under the ticket
    Panel_Formatacao = panel("Panel_Formatacao", Panel3, QRect(70, 345, 470, 34), QString());
    cmb_fonte = new QComboBox(Panel_Formatacao);
    cmb_fonte->setObjectName(QStringLiteral("cmb_fonte"));
    cmb_fonte->setGeometry(4, 5, 180, 24);
    cmb_tam = new QComboBox(Panel_Formatacao);
    cmb_tam->setObjectName(QStringLiteral("cmb_tam"));
    cmb_tam->addItems(
        {"7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "18", "20", "22", "24", "26"});
    cmb_tam->setCurrentText(QStringLiteral("12"));
    cmb_tam->setGeometry(188, 5, 50, 24);
    ColorBox1 = new QComboBox(Panel_Formatacao);
    ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
    fillColours(ColorBox1);
    selectColour(ColorBox1, 0xFF0000);
    ColorBox1->setGeometry(242, 5, 110, 24);
    IMG_Negrito = new QToolButton(Panel_Formatacao);
    IMG_Negrito->setObjectName(QStringLiteral("IMG_Negrito"));
    IMG_Negrito->setText(QStringLiteral("N"));
    IMG_Negrito->setToolTip(QStringLiteral("Negrito"));
    IMG_Negrito->setGeometry(358, 5, 24, 24);
    IMG_Sublinhado = new QToolButton(Panel_Formatacao);
    IMG_Sublinhado->setObjectName(QStringLiteral("IMG_Sublinhado"));
    IMG_Sublinhado->setText(QStringLiteral("S"));
    IMG_Sublinhado->setToolTip(QStringLiteral("Sublinhado"));
    IMG_Sublinhado->setGeometry(386, 5, 24, 24);
    IMG_Negrito->setAutoRaise(true);
    IMG_Sublinhado->setAutoRaise(true);
    Panel_Formatacao->installEventFilter(this);
    m_draggables.append({Panel_Formatacao, Family::FormatBar, nullptr});
    connect(cmb_fonte, &QComboBox::activated, this, [this] {
        const QString family = cmb_fonte->currentText();
        formatSelection(
            [family](QTextCharFormat &f, const QTextCharFormat &) { f.setFontFamilies(QStringList{family}); },
            false);
    });
    connect(cmb_tam, &QComboBox::activated, this, [this] {
        const double size = cmb_tam->currentText().toDouble();
        if (size > 0)
            formatSelection([size](QTextCharFormat &f, const QTextCharFormat &) { f.setFontPointSize(size); },
                            false);
    });
    connect(ColorBox1, &QComboBox::activated, this, [this] {
        const QColor c = TicketLayout::colour(colourOf(ColorBox1));
        formatSelection([c](QTextCharFormat &f, const QTextCharFormat &) { f.setForeground(c); }, true);
    });
    connect(IMG_Negrito, &QToolButton::clicked, this, [this] {
        formatSelection(
            [](QTextCharFormat &f, const QTextCharFormat &was) {
                f.setFontWeight(was.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
            },
            true);
    });
    connect(IMG_Sublinhado, &QToolButton::clicked, this, [this] {
        formatSelection(
            [](QTextCharFormat &f, const QTextCharFormat &was) { f.setFontUnderline(!was.fontUnderline()); },
            true);
    });

    // Print panel
    Panel_impre_pos = panel("Panel_impre_pos", this, QRect(531, 74, 300, 110), QStringLiteral("IMPRIMIR"));
    caption(Panel_impre_pos, QStringLiteral("De:"), QPoint(8, 34));
    Edit_DE = edit(Panel_impre_pos, "Edit_DE", QRect(36, 30, 70, 22));
    Edit_DE->setText(QStringLiteral("1"));
    caption(Panel_impre_pos, QStringLiteral("Até:"), QPoint(114, 34));
    Edit_ATE = edit(Panel_impre_pos, "Edit_ATE", QRect(146, 30, 70, 22));
    Edit_ATE->setText(QStringLiteral("20"));
    digitsOnly(Edit_DE);
    digitsOnly(Edit_ATE);
    // No more digits than the largest control number has (1.000.000 tickets).
    Edit_DE->setMaxLength(PrintRun::ControlNumberDigits);
    Edit_ATE->setMaxLength(PrintRun::ControlNumberDigits);
    Img_botaoImprimir = new QToolButton(Panel_impre_pos);
    Img_botaoImprimir->setObjectName(QStringLiteral("Img_botaoImprimir"));
    Img_botaoImprimir->setText(QStringLiteral("Imprimir"));
    Img_botaoImprimir->setToolTip(QStringLiteral("Visualiza ou Imprime Cartelas"));
    Img_botaoImprimir->setGeometry(224, 26, 68, 30);
    img_whats = new QToolButton(Panel_impre_pos);
    img_whats->setObjectName(QStringLiteral("img_whats"));
    img_whats->setText(QStringLiteral("Enviar por WhatsApp"));
    img_whats->setGeometry(8, 66, 160, 30);
    connect(Img_botaoImprimir, &QToolButton::clicked, this, &TForm_pos::Img_botaoImprimirClick);
    connect(img_whats, &QToolButton::clicked, this, &TForm_pos::img_whatsClick);
    connect(closer(Panel_impre_pos, QStringLiteral("Fechar esse aviso!")), &QToolButton::clicked,
            Panel_impre_pos, &QWidget::hide);
}

void TForm_pos::buildMenus() {
    Pop = new QMenu(this);
    Pop->setObjectName(QStringLiteral("Pop"));
    if (printOnly()) {
        connect(Pop->addAction(QStringLiteral("Usando CorelDraw para Criar Art de Fundo em JPG")),
                &QAction::triggered, this, [this] {
                    m_ctx.dialogs.information(QStringLiteral("Não Disponível por esse Módulo de Impressão!"));
                });
        Pop->addAction(QStringLiteral("Ajuda com Vídeo Aulas..."));
        connect(Pop->addAction(QStringLiteral("Sair")), &QAction::triggered, this, &TForm_pos::SairClick);
    } else {
        buildMainOptions();
    }
    buildTextAndImageMenus();
}

void TForm_pos::buildMainOptions() {
    connect(Pop->addAction(QStringLiteral("Usando CorelDraw para Criar Art de Fundo em JPG")),
            &QAction::triggered, this, [this] {
                const QString help = QDir(m_ctx.programFolder).filePath(QStringLiteral("Ajuda_per.doc"));
                if (QFileInfo::exists(help))
                    Shell::open(QUrl::fromLocalFile(help));
                else
                    m_ctx.dialogs.notice(QStringLiteral("Não foi possível localizar o arquivo de ajuda ") +
                                             QDir::toNativeSeparators(help),
                                         QStringLiteral("QUELMARO 6"));
            });
    const auto onlineHelp = [] {
        Shell::open(QUrl(QStringLiteral("https://www.korvante.com.br/softwares/AjudaKorvante.html")));
    };
    connect(Pop->addAction(QStringLiteral("Ajuda com Vídeo Aulas...")), &QAction::triggered, this,
            onlineHelp);
    connect(Pop->addAction(QStringLiteral("Ajuda via Manual...")), &QAction::triggered, this, onlineHelp);
    connect(Pop->addAction(QStringLiteral("Gerar Módulo para Impressão Externa")), &QAction::triggered, this,
            &TForm_pos::GerarModuloClick);
    connect(Pop->addAction(QStringLiteral("Sair")), &QAction::triggered, this, &TForm_pos::SairClick);
}

void TForm_pos::GerarModuloClick() {
    // The package takes the pictures named in the path fields and the layout as last applied.
    TForm_ModuloPrint builder(m_ctx, {DBEdit4->text(), DBEdit_Livre1->text(), DBEdit_Livre2->text()}, this);
    builder.exec();
}

void TForm_pos::buildTextAndImageMenus() {

    auto moveMenu = [&](const char *name, QTextEdit *box) {
        auto *m = new QMenu(this);
        m->setObjectName(QLatin1String(name));
        connect(m->addAction(QStringLiteral("Mover")), &QAction::triggered, this, [this, box] {
            m_textMovePermission = true;
            box->viewport()->setCursor(Qt::SizeAllCursor);
        });
        connect(box, &QWidget::customContextMenuRequested, this,
                [m, box](const QPoint &at) { m->popup(box->mapToGlobal(at)); });
        return m;
    };
    PopTexto = moveMenu("PopTexto", DBR_TextoBasico);
    PopTexto_Canhoto = moveMenu("PopTexto_Canhoto", DBR_TextoBasico_C);

    Pop_imagemLivre = new QMenu(this);
    Pop_imagemLivre->setObjectName(QStringLiteral("Pop_imagemLivre"));
    Pop_imagemLivre->addAction(QStringLiteral("  >> OPÇÕES <<"))->setEnabled(false);
    m_insertImageAction = Pop_imagemLivre->addAction(QStringLiteral("Inserir Imagem Livre"));
    connect(m_insertImageAction, &QAction::triggered, this, [this] {
        if (refusedInPrintModule()) return;
        m_pictureFor = m_freeImage;
        Open_figuraClose(m_ctx.dialogs.chooseOpenFile(
            QStringLiteral("Abrir"), QString(), QStringLiteral("Arquivos  JPG (*.JPG *.JPEG *.jpg *.jpeg)")));
    });
    connect(Pop_imagemLivre->addAction(QStringLiteral("Alterar Dimensões")), &QAction::triggered, this,
            &TForm_pos::AlterarDimensoesClick);
    Pop_imagemLivre->addSeparator();
    connect(Pop_imagemLivre->addAction(QStringLiteral("Excluir Imagem")), &QAction::triggered, this,
            &TForm_pos::ExcluirImagemClick);
}

// ---------- the row ----------

QVariant TForm_pos::field(const QString &column) const {
    return m_ctx.tdm.CDS_RIfaUSar.value(0, column);
}

void TForm_pos::setField(const QString &column, const QVariant &value) {
    m_ctx.tdm.CDS_RIfaUSar.setValue(0, column, value);
}

void TForm_pos::editRow() {
    if (!m_loading) botaoSalvarAtivo->show();
}

bool TForm_pos::hasUnsavedChanges() const {
    return !botaoSalvarAtivo->isHidden();
}

bool TForm_pos::applyRow() {
    QString error;
    if (!m_ctx.tdm.CDS_RIfaUSar.applyUpdates(&error)) {
        m_ctx.dialogs.error(kApplyError + error);
        return false;
    }
    return true;
}

// Every step that ends with the save button hidden saves the layout: what the design area shows is
// what the row keeps, also for elements that were never dragged.
bool TForm_pos::saveRow() {
    m_layout.storeShownPositions(m_ctx.tdm.CDS_RIfaUSar);
    if (!applyRow()) return false;
    botaoSalvarAtivo->hide();
    // The fields show what was stored: a character the code page cannot hold became '?'.
    for (QLineEdit *e : {DBEdit1, DBEdit4, DBEdit_Livre1, DBEdit_Livre2}) {
        const QString stored = Cp1252::representable(e->text());
        if (stored != e->text()) e->setText(stored);
    }
    return true;
}

bool TForm_pos::toInt(const QString &text, int *value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) {
        m_ctx.dialogs.error(QStringLiteral("'%1' não é um valor inteiro válido").arg(text));
        return false;
    }
    *value = v;
    return true;
}

// ---------- loading ----------

void TForm_pos::FormShow() {
    CarregarLayout();
    cmb_fonte->clear();
    cmb_fonte->addItems(QFontDatabase::families());
    cmb_fonte->setCurrentIndex(cmb_fonte->findText(QStringLiteral("Courier New")));
}

void TForm_pos::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TForm_pos::CarregarLayout() {
    m_loading = true;
    setGrid(TicketLayout::readGrid(m_ctx.registry));

    QList<TicketLayout::Problem> problems;
    const QSqlRecord row = m_ctx.tdm.CDS_RIfaUSar.record(0);
    m_layout.load(row, m_ctx.raffle.QtNumBilhete, &problems, !printOnly());
    if (printOnly()) m_layout.loadPackagePictures(m_ctx.programFolder, &problems);

    // The bound fields show the row.
    DBEdit1->setText(field(QStringLiteral("NOME_RIFA")).toString());
    DBEdit2->setText(field(QStringLiteral("MODALIDADE")).toString());
    DBEdit3->setText(field(QStringLiteral("USAR_QT_NUM")).toString());
    DBEdit4->setText(field(QStringLiteral("ART_FUNDO")).toString());
    DBEdit_Livre1->setText(m_layout.imgLivre[0]);
    DBEdit_Livre2->setText(m_layout.imgLivre[1]);
    DBCheckBox2->setChecked(m_layout.artExtendida);
    DBCheckBox1->setChecked(m_layout.usarTextoBas == 1);
    DBC_USAR_CANHOTO->setChecked(m_layout.usarTextoBasC == 1);
    auto intText = [this](const char *column) {
        const QVariant v = field(QLatin1String(column));
        return v.isNull() ? QString() : QString::number(v.toInt());
    };
    DBEdit5->setText(intText("DIM_BILHETE_ALT"));
    DBEdit6->setText(intText("DIM_BILHETE_COMP"));
    DBEdit_TxtAlt->setText(intText("DIM_TEXTO_BAS_ALT"));
    DBEdit_TxtComp->setText(intText("DIM_TEXTO_BAS_COMP"));
    DBEdit_TxtCAlt->setText(intText("DIM_TEXTO_BAS_C_ALT"));
    DBEdit_TxtCComp->setText(intText("DIM_TEXTO_BAS_C_COMP"));
    const bool stubOn = m_layout.usarTextoBasC == 1 && !printOnly();
    DBEdit_TxtCAlt->setEnabled(stubOn);
    DBEdit_TxtCComp->setEnabled(stubOn);
    DBComboBox1->setCurrentText(QString::number(m_layout.usarCBarra));
    DBComboBox2->setCurrentText(QString::number(m_layout.usarNumId));
    DBC_NumColuna->setCurrentText(QString::number(m_layout.qtColFolha));
    DBComboBox3->setCurrentIndex(m_layout.usarAutentic == QLatin1String("S") ? 0
                                 : m_layout.usarAutentic.isEmpty()           ? -1
                                                                             : 1);
    RtfCodec::read(m_layout.texto.rtf, *DBR_TextoBasico->document());
    RtfCodec::read(m_layout.textoC.rtf, *DBR_TextoBasico_C->document());
    DBR_TextoBasico->document()->setModified(false);
    DBR_TextoBasico_C->document()->setModified(false);

    selectSize(cmb_NumID_Tam, m_layout.tamFonteId);
    selectSize(cmb_numerosTam, m_layout.tamFonteNum);
    selectColour(CMB_COR_ID_BIL, m_layout.corFonteId);
    selectColour(CMB_COR_NUM, m_layout.corFonteNum);

    const QString modality = m_layout.modalidade;
    for (QLabel *n : NumB)
        n->setText(TicketLayout::zeroString(modality));
    // The print module keeps the form's own text for the smallest modality.
    const bool formText = printOnly() && modality == QLatin1String("00 - 99");
    BilheteNum1->setText(formText ? QStringLiteral("C-000000") : TicketLayout::ticketIdPlaceholder(modality));
    BilheteNum2->setText(formText ? QStringLiteral("C-000000") : TicketLayout::stubIdPlaceholder(modality));
    applyFonts();
    placeWidgets();
    if (m_layout.texto.visible) Panel_Formatacao->move(70, m_layout.outlineRect().bottom() + 1 + 80);
    Panel_Formatacao->setVisible(m_layout.texto.visible);
    m_loading = false;

    for (const TicketLayout::Problem &p : problems) {
        if (p.kind == TicketLayout::Problem::MissingBackground) {
            m_ctx.dialogs.error(p.text);
            removeBackground();
        } else if (p.kind == TicketLayout::Problem::PackagePicture ||
                   p.kind == TicketLayout::Problem::UnusablePicture) {
            m_ctx.dialogs.error(p.text);
        } else {
            m_ctx.dialogs.notice(p.text);
        }
    }
}

void TForm_pos::applyFonts() {
    auto sized = [](QLabel *l, int points, int colour) {
        QFont f = l->font();
        if (points > 0) f.setPointSize(points);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, TicketLayout::colour(colour));
        l->setPalette(p);
        l->adjustSize();
    };
    for (QLabel *l : {BilheteNum1, BilheteNum2})
        sized(l, m_layout.tamFonteId, m_layout.corFonteId);
    for (QLabel *l : NumB)
        sized(l, m_layout.tamFonteNum, m_layout.corFonteNum);
}

void TForm_pos::showPicture(QLabel *label, const TicketLayout::Picture &picture) {
    label->setVisible(picture.visible && !picture.image.isNull());
    if (!label->isVisible()) return;
    label->setScaledContents(label != img_fundo || picture.stretched);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPixmap(QPixmap::fromImage(picture.image));
    label->setGeometry(picture.rect);
}

void TForm_pos::placeWidgets() {
    Shape_DimBilhete->setGeometry(m_layout.outlineRect());
    showPicture(img_fundo, m_layout.fundo);
    for (int i = 0; i < 2; ++i) {
        QLabel *l = i == 0 ? Img_LIVRE1 : IMG_LIVRE2;
        TicketLayout::Picture &p = m_layout.livre[i];
        p.rect.setSize(p.image.size());
        showPicture(l, p);
    }
    auto place = [](QWidget *w, const TicketLayout::Placed &p) {
        w->move(p.pos);
        w->setVisible(p.visible);
    };
    place(BilheteNum1, m_layout.bilheteNum[0]);
    place(BilheteNum2, m_layout.bilheteNum[1]);
    for (int k = 0; k < 10; ++k)
        place(NumB[k], m_layout.numB[k]);
    place(IMG_CODBARRA1, m_layout.codBarra[0]);
    place(IMG_CODBARRA2, m_layout.codBarra[1]);
    place(Num_Autentic, m_layout.autentic);
    Num_Autentic->adjustSize();
    // A box with its size in mm shows the printed box inside its frame; the text wraps at the printed width.
    const auto placeText = [](QTextEdit *box, const TicketLayout::TextBox &t, int widthMm, int heightMm) {
        QSize size = t.size;
        int wrap = size.width() - 2 * box->frameWidth();
        if (widthMm > 0 && heightMm > 0) {
            wrap = TicketSheet::printedTextWidth(widthMm);
            size = QSize(wrap, TicketSheet::printedTextWidth(heightMm)) +
                   QSize(2 * box->frameWidth(), 2 * box->frameWidth());
        }
        box->setGeometry(QRect(t.pos, size));
        box->setLineWrapColumnOrWidth(qMax(1, wrap));
        box->setVisible(t.visible);
    };
    placeText(DBR_TextoBasico, m_layout.texto, m_layout.dimTextoComp, m_layout.dimTextoAlt);
    placeText(DBR_TextoBasico_C, m_layout.textoC, m_layout.dimTextoCComp, m_layout.dimTextoCAlt);
    Shape_traco->setGeometry(m_layout.traco.pos.x(), m_layout.traco.pos.y(), 1,
                             qMax(1, m_layout.tracoHeight));
    Shape_traco->setVisible(m_layout.traco.visible);
    Shape_DimBilhete->raise();
    for (QWidget *w : {static_cast<QWidget *>(Img_LIVRE1), static_cast<QWidget *>(IMG_LIVRE2)})
        w->raise();
    for (QWidget *w : {static_cast<QWidget *>(DBR_TextoBasico), static_cast<QWidget *>(DBR_TextoBasico_C)})
        w->raise();
    for (QLabel *l : {BilheteNum1, BilheteNum2, IMG_CODBARRA1, IMG_CODBARRA2, Num_Autentic})
        l->raise();
    for (QLabel *l : NumB)
        l->raise();
    Panel_Formatacao->raise();
}

void TForm_pos::setGrid(bool shown) {
    m_gridShown = shown;
    Panel3->gridShown = shown;
    Panel3->update();
    BotaoGradeSem->setVisible(shown);
    BotaoGrade->setVisible(!shown);
}

void TForm_pos::selectColour(QComboBox *box, int value) {
    int i = box->findData(value);
    if (i < 0) {
        QPixmap swatch(12, 12);
        swatch.fill(TicketLayout::colour(value));
        box->addItem(QIcon(swatch), QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(),
                     value);
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}

int TForm_pos::colourOf(QComboBox *box) const {
    return box->currentData().toInt();
}

// ---------- dragging ----------

bool TForm_pos::eventFilter(QObject *watched, QEvent *event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease &&
        type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);

    if (type == QEvent::FocusIn) {
        if (watched == DBR_TextoBasico) m_textTarget = u'B';
        if (watched == DBR_TextoBasico_C) m_textTarget = u'C';
        return QDialog::eventFilter(watched, event);
    }
    if (type == QEvent::FocusOut) {
        auto *box = qobject_cast<QTextEdit *>(watched);
        if (box && box->document()->isModified()) {
            writeTextBoxes();
            editRow();
        }
        return QDialog::eventFilter(watched, event);
    }

    const Draggable *d = nullptr;
    for (const Draggable &candidate : m_draggables)
        if (candidate.widget == watched) d = &candidate;
    if (!d) return QDialog::eventFilter(watched, event);

    auto *me = static_cast<QMouseEvent *>(event);
    const QPoint cursor = me->globalPosition().toPoint();
    const bool textBox = d->family == Family::TextBoxes;
    QWidget *moving = textBox ? d->widget->parentWidget() : d->widget;

    if (type == QEvent::MouseButtonPress) {
        if (textBox && !m_textMovePermission) return false;
        m_lastCursor = cursor;
        m_dragActive = true;
        return textBox; // a box being moved does not also select text
    }
    if (type == QEvent::MouseMove) {
        if (d->family == Family::FormatBar) {
            IMG_Negrito->setDown(false);
            IMG_Sublinhado->setDown(false);
        }
        if (!m_dragActive) return false;
        QPoint at = moving->pos();
        if (cursor.x() != m_lastCursor.x()) {
            at.rx() += cursor.x() - m_lastCursor.x();
            m_moved = true;
        }
        if (cursor.y() != m_lastCursor.y()) {
            at.ry() += cursor.y() - m_lastCursor.y();
            m_moved = true;
        }
        // A stored left below 1 means "never placed": an element dragged there stays at 1.
        if (d->family != Family::FormatBar) at.setX(qMax(1, at.x()));
        if (m_moved) moving->setCursor(Qt::ClosedHandCursor);
        moving->move(at);
        if (d->pos) *d->pos = at;
        if (d->family == Family::FreeImages)
            m_layout.livre[moving == Img_LIVRE1 ? 0 : 1].rect.moveTopLeft(at);
        m_lastCursor = cursor;
        return textBox;
    }
    // Release
    const bool wasDragging = m_dragActive;
    m_dragActive = false;
    if (textBox) {
        d->widget->setCursor(Qt::IBeamCursor);
        m_textMovePermission = false;
    } else {
        moving->setCursor(Qt::SizeAllCursor);
    }
    if (m_moved) storeAfterDrag(d->family);
    m_moved = false;
    return textBox && wasDragging;
}

void TForm_pos::storeAfterDrag(Family family) {
    CachedTable &row = m_ctx.tdm.CDS_RIfaUSar;
    switch (family) {
    case Family::Barcodes:
        editRow();
        m_layout.storeBarcodePositions(row);
        break;
    case Family::ControlNumbers:
        editRow();
        m_layout.storeIdPositions(row);
        break;
    case Family::Numbers:
        editRow();
        m_layout.storeNumberPositions(row);
        break;
    case Family::AuthCode:
    case Family::FreeImages:
        // A free image's own place is written by the next Save.
        editRow();
        m_layout.storeAuthPosition(row);
        applyRow();
        break;
    case Family::TextBoxes:
        GravarPosQuadroTxt();
        break;
    case Family::FormatBar:
        break;
    }
}

void TForm_pos::GravarPosQuadroTxt() {
    m_layout.texto.pos = DBR_TextoBasico->pos();
    m_layout.textoC.pos = DBR_TextoBasico_C->pos();
    if (m_layout.textoC.visible) {
        m_layout.placeStubSeparator();
        placeWidgets();
    }
    m_layout.storeTextBoxPositions(m_ctx.tdm.CDS_RIfaUSar);
    saveRow();
    update();
}

// ---------- saving and closing ----------

void TForm_pos::writeTextBoxes() {
    if (DBR_TextoBasico->document()->isModified()) {
        m_layout.texto.rtf = RtfCodec::write(*DBR_TextoBasico->document());
        setField(QStringLiteral("TEXTO_BASICO"), m_layout.texto.rtf);
        DBR_TextoBasico->document()->setModified(false);
    }
    if (DBR_TextoBasico_C->document()->isModified()) {
        m_layout.textoC.rtf = RtfCodec::write(*DBR_TextoBasico_C->document());
        setField(QStringLiteral("TEXTO_BASICO_C"), m_layout.textoC.rtf);
        DBR_TextoBasico_C->document()->setModified(false);
    }
}

void TForm_pos::botaoSalvarAtivoClick() {
    editRow();
    int idSize = 0, numSize = 0;
    if (!toInt(cmb_NumID_Tam->currentText(), &idSize) || !toInt(cmb_numerosTam->currentText(), &numSize))
        return;
    m_layout.corFonteId = colourOf(CMB_COR_ID_BIL);
    m_layout.corFonteNum = colourOf(CMB_COR_NUM);
    m_layout.tamFonteId = idSize;
    m_layout.tamFonteNum = numSize;
    CachedTable &row = m_ctx.tdm.CDS_RIfaUSar;
    m_layout.storeFonts(row);
    m_layout.imgLivre[0] = DBEdit_Livre1->text();
    m_layout.imgLivre[1] = DBEdit_Livre2->text();
    m_layout.storeFreeImagePositions(row);
    writeTextBoxes();
    const QString overlap = m_layout.barcodeOverlapWarning(m_run.ticketCount());
    if (!overlap.isEmpty()) m_ctx.dialogs.notice(overlap);
    saveRow();
}

void TForm_pos::img_fecharPOSClick() {
    if (hasUnsavedChanges() && m_ctx.dialogs.question(QStringLiteral("Korvante"), kSaveQuestion, false)) {
        botaoSalvarAtivoClick();
        if (botaoSalvarAtivo->isVisible()) return; // the save failed and was reported: keep the edits
    }
    done(QDialog::Accepted);
    if (m_variant == Variant::Main) m_ctx.tdm.AtualCadBaseID(m_ctx.tdm.CDS_RIfaUSar.record(0));
}

void TForm_pos::SairClick() {
    done(QDialog::Rejected);
}

// Escape takes the close picture's road, so unsaved changes are offered for saving.
void TForm_pos::reject() {
    img_fecharPOSClick();
}

void TForm_pos::BotaoGradeClick() {
    m_ctx.registry.setValue(QStringLiteral("GRADE"), 1);
    setGrid(true);
}

void TForm_pos::BotaoGradeSemClick() {
    m_ctx.registry.setValue(QStringLiteral("GRADE"), 0);
    setGrid(false);
}

// ---------- element options ----------

void TForm_pos::DBComboBox1Change() {
    if (printOnly()) {
        keepStored(DBComboBox1, QStringLiteral("USAR_CBARRA"));
        return;
    }
    setField(QStringLiteral("USAR_CBARRA"), DBComboBox1->currentText().toInt());
    editRow();
    m_layout.usarCBarra = DBComboBox1->currentText().toInt();
    m_layout.placeBarcodes(m_ctx.tdm.CDS_RIfaUSar.record(0));
    placeWidgets();
}

void TForm_pos::DBComboBox2Change() {
    if (printOnly()) {
        keepStored(DBComboBox2, QStringLiteral("USAR_NUM_ID_BILHETE"));
        refusedInPrintModule();
        return;
    }
    setField(QStringLiteral("USAR_NUM_ID_BILHETE"), DBComboBox2->currentText().toInt());
    editRow();
    m_layout.usarNumId = DBComboBox2->currentText().toInt();
    m_layout.bilheteNum[0].visible = m_layout.usarNumId == 1 || m_layout.usarNumId == 2;
    m_layout.bilheteNum[1].visible = m_layout.usarNumId == 2;
    placeWidgets();
}

void TForm_pos::DBComboBox3Change() {
    if (printOnly()) {
        keepStored(DBComboBox3, QStringLiteral("USAR_AUTENTIC"));
        refusedInPrintModule();
        return;
    }
    const QString v = DBComboBox3->currentText();
    setField(QStringLiteral("USAR_AUTENTIC"), v);
    editRow();
    m_layout.usarAutentic = v;
    if (v == QLatin1String("S"))
        m_ctx.dialogs.notice(QStringLiteral("Posicione o código de autenticação (está na cor rosa) em uma "
                                            "área do Bilhete, mas lembrando, ele não "
                                            "sairá na impressão, será mostrado apenas em Bilhetes que forem "
                                            "VALIDADOS(pagos) e gerado como Imagens "
                                            "para Enviar por Whatsapp"));
    m_layout.placeAuthCode(m_ctx.tdm.CDS_RIfaUSar.record(0));
    placeWidgets();
}

void TForm_pos::DBC_NumColunaChange() {
    if (printOnly()) {
        keepStored(DBC_NumColuna, QStringLiteral("QT_COL_FOLHA"));
        refusedInPrintModule();
        return;
    }
    setField(QStringLiteral("QT_COL_FOLHA"), DBC_NumColuna->currentText().toInt());
    editRow();
    m_layout.qtColFolha = DBC_NumColuna->currentText().toInt();
}

void TForm_pos::DBCheckBox2Click() {
    setField(QStringLiteral("ART_EXTENDIDA"),
             DBCheckBox2->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    editRow();
    m_layout.artExtendida = DBCheckBox2->isChecked();
    m_layout.fundo.stretched = m_layout.artExtendida;
    placeWidgets();
}

void TForm_pos::Button3Click() {
    if (refusedInPrintModule()) return;
    int alt = 0, comp = 0;
    if (!toInt(DBEdit5->text(), &alt) || !toInt(DBEdit6->text(), &comp)) return;
    if (alt <= 0 || comp <= 0) {
        m_ctx.dialogs.error(QStringLiteral("A ALTURA e o COMPRIMENTO do Bilhete têm que ser maiores que zero."));
        return;
    }
    m_layout.dimBilheteAlt = alt;
    m_layout.dimBilheteComp = comp;
    m_layout.outline = QSize(TicketLayout::outlinePixels(comp), TicketLayout::outlinePixels(alt));
    m_layout.placeBackground(false);
    setField(QStringLiteral("DIM_BILHETE_ALT"), alt);
    setField(QStringLiteral("DIM_BILHETE_COMP"), comp);
    editRow();
    applyRow();
    placeWidgets();
    Panel_Formatacao->move(80, m_layout.outlineRect().bottom() + 1 + 80);
}

// ---------- text boxes ----------

void TForm_pos::DBCheckBox1Click() {
    const bool on = DBCheckBox1->isChecked();
    setField(QStringLiteral("USAR_TEXTO_BAS"), on ? 1 : 0);
    editRow();
    m_layout.usarTextoBas = on ? 1 : 0;
    if (!on) {
        m_layout.texto.visible = false;
        m_layout.textoC.visible = false;
        m_layout.traco.visible = false;
        Panel_Formatacao->hide();
        DBC_USAR_CANHOTO->setChecked(false);
        setField(QStringLiteral("USAR_TEXTO_BAS_C"), 0);
        m_layout.usarTextoBasC = 0;
    } else {
        const QSqlRecord row = m_ctx.tdm.CDS_RIfaUSar.record(0);
        m_layout.texto.visible = true;
        Panel_Formatacao->move(80, m_layout.outlineRect().bottom() + 1 + 80);
        Panel_Formatacao->show();
        m_layout.texto.size = m_layout.dimTextoAlt <= 0
                                  ? TicketLayout::DefaultTextSizeSwitchedOn
                                  : QSize(TicketLayout::textBoxPixels(m_layout.dimTextoComp),
                                          TicketLayout::textBoxPixels(m_layout.dimTextoAlt));
        const QPoint stored(row.value(QStringLiteral("POS_TEXTO_BAS_L")).toInt(),
                            row.value(QStringLiteral("POS_TEXTO_BAS_T")).toInt());
        m_layout.texto.pos = stored.x() <= 0 ? TicketLayout::DefaultTextSwitchedOn : stored;
        Ativar_canhoto();
    }
    placeWidgets();
}

void TForm_pos::Ativar_canhoto() {
    m_layout.activateStub(m_ctx.tdm.CDS_RIfaUSar.record(0));
    if (m_layout.usarTextoBasC == 1 && !printOnly()) {
        DBEdit_TxtCAlt->setEnabled(true);
        DBEdit_TxtCComp->setEnabled(true);
    }
    placeWidgets();
}

void TForm_pos::DBC_USAR_CANHOTOClick() {
    const bool on = DBC_USAR_CANHOTO->isChecked();
    setField(QStringLiteral("USAR_TEXTO_BAS_C"), on ? 1 : 0);
    editRow();
    m_layout.usarTextoBasC = on ? 1 : 0;
    Ativar_canhoto();
    BTN_SALVAR_BARRA_CClick();
    DBEdit_TxtCAlt->setEnabled(on && !printOnly());
    DBEdit_TxtCComp->setEnabled(on && !printOnly());
    m_layout.traco.visible = on;
    m_layout.textoC.visible = on;
    placeWidgets();
}

void TForm_pos::Button5Click() {
    if (!DBCheckBox1->isChecked()) return;
    if (field(QStringLiteral("POS_TEXTO_BAS_L")).toInt() <= 0)
        m_layout.texto.pos = TicketLayout::DefaultTextAdjust;
    m_layout.texto.visible = true;
    placeWidgets();
    PANEL_TEXTOBASICO->move(572, 297);
    PANEL_TEXTOBASICO->show();
    PANEL_TEXTOBASICO->raise();
}

void TForm_pos::BTN_SALVAR_BARRAClick() {
    int alt = 0, comp = 0;
    if (!toInt(DBEdit_TxtAlt->text(), &alt) || !toInt(DBEdit_TxtComp->text(), &comp)) return;
    editRow();
    m_layout.dimTextoAlt = alt;
    m_layout.dimTextoComp = comp;
    m_layout.texto.size = QSize(TicketLayout::textBoxPixels(comp), TicketLayout::textBoxPixels(alt));
    setField(QStringLiteral("DIM_TEXTO_BAS_ALT"), alt);
    setField(QStringLiteral("DIM_TEXTO_BAS_COMP"), comp);
    placeWidgets();
    saveRow();
}

void TForm_pos::BTN_SALVAR_BARRA_CClick() {
    int alt = 0, comp = 0;
    // An empty stub size while the stub is being switched on keeps the default box.
    if (DBEdit_TxtCAlt->text().trimmed().isEmpty() && DBEdit_TxtCComp->text().trimmed().isEmpty()) {
        saveRow();
        return;
    }
    if (!toInt(DBEdit_TxtCAlt->text(), &alt) || !toInt(DBEdit_TxtCComp->text(), &comp)) return;
    editRow();
    m_layout.dimTextoCAlt = alt;
    m_layout.dimTextoCComp = comp;
    m_layout.textoC.size = QSize(TicketLayout::textBoxPixels(comp), TicketLayout::textBoxPixels(alt));
    m_layout.textoC.visible = true;
    setField(QStringLiteral("DIM_TEXTO_BAS_C_ALT"), alt);
    setField(QStringLiteral("DIM_TEXTO_BAS_C_COMP"), comp);
    saveRow();
    m_layout.placeStubSeparator();
    m_layout.traco.visible = true;
    placeWidgets();
}

QTextEdit *TForm_pos::textTarget() const {
    if (m_textTarget == u'B') return DBR_TextoBasico;
    if (m_textTarget == u'C') return DBR_TextoBasico_C;
    return nullptr;
}

void TForm_pos::formatSelection(const std::function<void(QTextCharFormat &, const QTextCharFormat &)> &change,
                                bool editsRow) {
    QTextEdit *box = textTarget();
    if (!box) return;
    QTextCursor c = box->textCursor();
    QTextCharFormat f;
    change(f, c.charFormat());
    c.mergeCharFormat(f);
    box->mergeCurrentCharFormat(f);
    if (editsRow) editRow();
}

// ---------- pictures ----------

void TForm_pos::Image54Click() {
    m_pictureFor = 0;
    Panel_obterImagem->move(80, 116);
    Panel_obterImagem->show();
    Panel_obterImagem->raise();
}

void TForm_pos::BTN_ObterImagemClick() {
    Panel_obterImagem->hide();
    if (refusedInPrintModule()) return;
    Open_figuraClose(m_ctx.dialogs.chooseOpenFile(
        QStringLiteral("Abrir"), QString(), QStringLiteral("Arquivos  JPG (*.JPG *.JPEG *.jpg *.jpeg)")));
}

void TForm_pos::BTN_RemoverClick() {
    if (printOnly() &&
        !m_ctx.dialogs.question(
            QStringLiteral("KORVANTE"),
            QStringLiteral("Depois de removida, uma nova Arte de Fundo só poderá ser colocada pelo KORVANTE "
                           "principal, gerando novamente o Módulo de Impressão Externa. Deseja Remover a "
                           "Arte de Fundo?"),
            false))
        return;
    removeBackground();
}

void TForm_pos::removeBackground() {
    DBEdit4->clear();
    setField(QStringLiteral("ART_FUNDO"), QString());
    editRow();
    saveRow();
    m_layout.artFundo.clear();
    m_layout.fundo = TicketLayout::Picture();
    img_fundo->clear();
    img_fundo->hide();
    Panel_obterImagem->hide();
}

void TForm_pos::Open_figuraClose(const QString &chosen) {
    if (!chosen.isEmpty() && QFileInfo::exists(chosen)) {
        TicketLayout::Picture probe;
        if (chosen.size() > kPathLength) {
            m_ctx.dialogs.error(pathTooLongMessage(chosen));
        } else if (!m_layout.loadPicture(probe, chosen)) {
            m_ctx.dialogs.error(TicketLayout::unusablePictureMessage(chosen));
        } else if (m_pictureFor == 0) {
            TicketLayout::Picture p = probe;
            {
                editRow();
                setField(QStringLiteral("ART_FUNDO"), chosen);
                DBEdit4->setText(chosen);
                m_layout.artFundo = chosen;
                m_layout.fundo.image = p.image;
                m_layout.placeBackground(true);
                m_layout.fundo.visible = true;
            }
        } else {
            const int i = m_pictureFor - 1;
            TicketLayout::Picture p = probe;
            {
                editRow();
                m_layout.livre[i].image = p.image;
                m_layout.livre[i].visible = true;
                if (m_layout.livre[i].rect.left() < 1)
                    m_layout.livre[i].rect.moveTopLeft(TicketLayout::DefaultFreeImage);
                m_layout.imgLivre[i] = chosen;
                setField(QStringLiteral("IMG_LIVRE%1").arg(m_pictureFor), chosen);
                (i == 0 ? DBEdit_Livre1 : DBEdit_Livre2)->setText(chosen);
            }
        }
        placeWidgets();
    }
    // Accepted or not, the row is posted and applied.
    saveRow();
}

void TForm_pos::botao_img_LivreClick(int image) {
    m_freeImage = image;
    const bool set = !(image == 1 ? DBEdit_Livre1 : DBEdit_Livre2)->text().isEmpty();
    m_insertImageAction->setText(set ? QStringLiteral("Trocar Imagem Livre")
                                     : QStringLiteral("Inserir Imagem Livre"));
    Pop_imagemLivre->popup(QCursor::pos());
}

void TForm_pos::AlterarDimensoesClick() {
    const int i = m_freeImage - 1;
    if ((i == 0 ? DBEdit_Livre1 : DBEdit_Livre2)->text().isEmpty()) return;
    Panel_Imagem_Livre->move(944, i == 0 ? 280 : 310);
    LBL_ImagemLivre->setText(i == 0 ? QStringLiteral("IMAGEM LIVRE 1") : QStringLiteral("IMAGEM LIVRE 2"));
    ED_Largura->setText(QString::number(m_layout.livre[i].image.width()));
    ED_Altura->setText(QString::number(m_layout.livre[i].image.height()));
    Panel_Imagem_Livre->show();
    Panel_Imagem_Livre->raise();
}

void TForm_pos::Button1Click() {
    const int i = m_freeImage - 1;
    int w = 0, h = 0;
    if (!toInt(ED_Largura->text(), &w) || !toInt(ED_Altura->text(), &h)) return;
    if (w <= 0 || h <= 0) return;
    QImageReader reader(m_layout.imgLivre[i]);
    const QImage stored = reader.read();
    if (stored.isNull()) {
        m_ctx.dialogs.error(QStringLiteral("Não foi possível ler a imagem ") + m_layout.imgLivre[i]);
        return;
    }
    QImage scaled(w, h, QImage::Format_RGB32);
    {
        QPainter p(&scaled);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, w, h), stored);
    }
    // The picture shown is the JPEG that saving will write.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    scaled.save(&buffer, "JPG");
    m_layout.livre[i].image = QImage::fromData(jpeg, "JPG");
    m_resizePending = true;
    placeWidgets();
}

void TForm_pos::BTN_GravarNovaImagemClick() {
    if (refusedInPrintModule()) return;
    const int i = m_freeImage - 1;
    editRow();
    const QString stored = m_layout.imgLivre[i];
    const QString path = stored.contains(QLatin1String("_New"))
                             ? stored
                             : stored.left(stored.size() - 4) +
                                   (i == 0 ? QStringLiteral("_New1.JPG") : QStringLiteral("_New2.JPG"));
    if (path.size() > kPathLength) {
        m_ctx.dialogs.error(pathTooLongMessage(path));
        return;
    }
    if (!m_layout.livre[i].image.save(path, "JPG")) {
        m_ctx.dialogs.error(QStringLiteral("Não foi possível gravar a imagem ") + path);
        return;
    }
    m_layout.imgLivre[i] = path;
    setField(QStringLiteral("IMG_LIVRE%1").arg(i + 1), path);
    (i == 0 ? DBEdit_Livre1 : DBEdit_Livre2)->setText(path);
    m_resizePending = false;
    BTN_GravarNovaImagem->setEnabled(false);
    FecharPanelImagemLivre();
    m_ctx.dialogs.information(QStringLiteral("Nova imagem Gerada e Gravada com essas Dimensões!"));
}

void TForm_pos::FecharPanelImagemLivre() {
    if (m_resizePending) {
        if (m_ctx.dialogs.question(
                QStringLiteral("KORVANTE"),
                QStringLiteral(
                    "Você alterou as Dimensões da imagem, mas para ficar gravado essas novas dimensões, será "
                    "preciso clicar no botão GRAVAR NOVA IMAGEM. Deseja Gravar a Nova Imagem para Usá-la em "
                    "Definitivo?"),
                false)) {
            BTN_GravarNovaImagemClick();
            return;
        }
        // "Não": the resize is dropped; the resized picture stays on screen until the next opening.
    }
    m_resizePending = false;
    BTN_GravarNovaImagem->setEnabled(false);
    Panel_Imagem_Livre->hide();
}

void TForm_pos::ExcluirImagemClick() {
    const int i = m_freeImage - 1;
    const QString question =
        printOnly() ? QStringLiteral("Depois de excluída, uma nova Imagem Livre só poderá ser colocada pelo "
                                     "KORVANTE principal, gerando novamente o Módulo de Impressão Externa. "
                                     "Deseja Excluir a Imagem Livre %1?")
                    : QStringLiteral("Deseja Excluir a Imagem Livre %1?");
    if (!m_ctx.dialogs.question(QStringLiteral("KORVANTE"), question.arg(i + 1), false)) return;
    // The place stays for the next picture put there.
    m_layout.livre[i].image = QImage();
    m_layout.livre[i].visible = false;
    m_layout.imgLivre[i].clear();
    setField(QStringLiteral("IMG_LIVRE%1").arg(i + 1), QString());
    (i == 0 ? DBEdit_Livre1 : DBEdit_Livre2)->clear();
    placeWidgets();
    botaoSalvarAtivoClick();
}

// ---------- printing ----------

void TForm_pos::BOTAO_IMPRIMIRClick() {
    Panel_impre_pos->move(531, 74);
    Panel_impre_pos->show();
    Panel_impre_pos->raise();
    botaoSalvarAtivoClick();
}

void TForm_pos::Img_botaoImprimirClick() {
    runPrint(false);
}

void TForm_pos::img_whatsClick() {
    if (printOnly()) {
        m_ctx.dialogs.notice(
            QStringLiteral("Não é permitido usar o Recurso de enviar Bilhete para o Whatsapp do comprador, "
                           "pois você está usando um Módulo que só serve para Impressão!"));
        return;
    }
    const int count = m_run.ticketCount();
    if (Edit_ATE->text().trimmed().toInt() > count) {
        m_ctx.dialogs.error(
            QStringLiteral("O Número de Controle do Bilhete digitado está além do último Bilhete desta Rifa. "
                           "O C.Bilhete máximo que pode ser digitado é até: %1")
                .arg(count));
        return;
    }
    if (Edit_DE->text() != Edit_ATE->text()) {
        Edit_DE->setFocus();
        m_ctx.dialogs.notice(
            QStringLiteral(
                "Só é permitido enviar 1 Bilhete por vez fazendo dessa forma. Para enviar mais que um, "
                "vá na Guia VALIDAÇÃO e na Lista de Validadas, agrupe os Bilhetes(botão direito neles ) "
                "e Envie por lá!"),
            QStringLiteral("Korvante"));
        return;
    }
    if (m_ctx.raffle.QtBilhetesEnvio == 0) m_ctx.raffle.QtBilhetesEnvio = 1;
    runPrint(true);
}

void TForm_pos::sendPictures(const TicketSheet &sheet) {
    const QString folder = QDir(m_ctx.programFolder).filePath(QStringLiteral("RifaWhatsApp"));
    QString error;
    {
        WaitCursor wait;
        if (!TicketPictures::clearFolder(folder, &error) ||
            !TicketPictures::QrpToImg(m_layout, m_run.digits(), sheet.tickets(), folder, &error)) {
            wait.restore();
            m_ctx.dialogs.error(error);
            return;
        }
    }
    QList<int> tickets;
    for (const QueuedTicket &t : sheet.tickets())
        tickets << t.numBilhete;
    const auto lines =
        TicketPictures::MostrarNumMemo(sheet.tickets(), m_run.digits(), m_ctx.raffle.QtNumBilhete);
    m_ctx.raffle.FoneEnvio = m_run.buyersPhone(tickets);
    TForm_Whats whats(m_ctx, tickets, m_run.digits(), this);
    whats.setNumberLines(lines.withoutCode, lines.withCode);
    whats.exec();
}

void TForm_pos::runPrint(bool whatsMode) {
    PrintRunInput in;
    in.columnsText = DBC_NumColuna->currentText();
    in.comprimentoText = DBEdit6->text();
    in.de = Edit_DE->text();
    in.ate = Edit_ATE->text();
    in.usarCBarra = DBComboBox1->currentText().toInt();
    in.whatsMode = whatsMode;
    if (whatsMode && m_ctx.raffle.QtBilhetesEnvio >= 2)
        in.sendList = m_sendList.mid(0, m_ctx.raffle.QtBilhetesEnvio);
    if (!m_run.check(in)) return;
    QString error;
    bool cancelled = false;
    {
        WaitCursor wait;
        WidgetPrintProgress progress(this, QStringLiteral("Preparando os bilhetes para a impressão..."));
        const bool filled = m_run.fillQueue(
            in, &error, [&progress](qint64 done, qint64 total) { return progress.step(done, total); },
            &cancelled);
        if (!filled) {
            wait.restore();
            // "Cancelar" leaves the queue empty and asks nothing more.
            if (!cancelled) m_ctx.dialogs.error(QStringLiteral("Erro ao preparar a impressão: ") + error);
            return;
        }
    }
    m_run.chooseFormat(field(QStringLiteral("MODALIDADE")).toString());
    // The sheet prints what the design area shows now.
    m_layout.tamFonteId = cmb_NumID_Tam->currentText().trimmed().toInt();
    m_layout.tamFonteNum = cmb_numerosTam->currentText().trimmed().toInt();
    m_layout.corFonteId = colourOf(CMB_COR_ID_BIL);
    m_layout.corFonteNum = colourOf(CMB_COR_NUM);
    m_layout.dimBilheteAlt = DBEdit5->text().trimmed().toInt();
    m_layout.dimBilheteComp = DBEdit6->text().trimmed().toInt();
    m_layout.dimTextoAlt = DBEdit_TxtAlt->text().trimmed().toInt();
    m_layout.dimTextoComp = DBEdit_TxtComp->text().trimmed().toInt();
    m_layout.dimTextoCAlt = DBEdit_TxtCAlt->text().trimmed().toInt();
    m_layout.dimTextoCComp = DBEdit_TxtCComp->text().trimmed().toInt();
    writeTextBoxes();
    TicketSheet sheet(m_layout, m_run.digits(), whatsMode);
    sheet.setPrintModuleGuides(printOnly());
    // Pages read the queue as they are drawn: the preview opens at once on a whole raffle.
    sheet.setSource(std::make_shared<QueueTickets>(m_ctx.tdm.CONEX_PRINT(), m_run.queued()));
    if (whatsMode) {
        // The queue stays filled: there is no preview to empty it.
        sendPictures(sheet);
        Panel_impre_pos->hide();
        return;
    }
    {
        TForm_Visualizar preview(sheet, m_ctx.dialogs, this);
        if (!sheet.readError().isEmpty()) {
            // An unreadable queue must not look like an empty run that can be printed.
            m_ctx.dialogs.error(QStringLiteral("Erro ao preparar a impressão: ") + sheet.readError());
        } else {
            preview.exec();
        }
    }
    if (!m_run.emptyQueue(&error))
        m_ctx.dialogs.error(QStringLiteral("Erro ao esvaziar a fila de impressão: ") + error);
    Panel_impre_pos->hide();
}
