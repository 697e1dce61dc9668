#include "layout/TForm_pos.h"

#include "layout/TicketPictures.h"
#include "layout/TicketSheet.h"
#include "whatsapp/TForm_Whats.h"

#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "layout/RtfCodec.h"
#include "layout/TForm_ModuloPrint.h"
#include "layout/TForm_Visualizar.h"
#include "layout/WidgetBackgroundArtPanel.h"
#include "layout/WidgetDesignerPrintPanel.h"
#include "layout/WidgetDesignerSettings.h"
#include "layout/WidgetDesignerToolbar.h"
#include "layout/WidgetFormatBar.h"
#include "layout/WidgetFreeImagePanel.h"
#include "layout/WidgetPrintProgress.h"
#include "layout/WidgetTextBoxPanel.h"
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
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int kPathLength = WidgetDesignerSettings::PathLength;

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

// ---------- composing the window ----------

void TForm_pos::build() {
    m_toolbar = new WidgetDesignerToolbar(this);
    connectToolbar();

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox"));
    m_scroll->setGeometry(0, 56, 862, 604);
    m_area = new WidgetDesignArea(m_layout);
    m_scroll->setWidget(m_area);
    connect(m_area, &WidgetDesignArea::dropped, this, &TForm_pos::storeAfterDrag);
    connect(m_area, &WidgetDesignArea::textLeft, this, [this] {
        writeTextBoxes();
        editRow();
    });

    m_settings = new WidgetDesignerSettings(this);
    connectSettings();
    m_textBoxes = new WidgetTextBoxPanel(this);
    connectTextBoxes();

    m_backgroundArt = new WidgetBackgroundArtPanel(this);
    connect(m_backgroundArt, &WidgetBackgroundArtPanel::obtainClicked, this,
            &TForm_pos::BTN_ObterImagemClick);
    connect(m_backgroundArt, &WidgetBackgroundArtPanel::removeClicked, this, &TForm_pos::BTN_RemoverClick);

    m_freeImagePanel = new WidgetFreeImagePanel(this);
    connect(m_freeImagePanel, &WidgetFreeImagePanel::applyClicked, this, &TForm_pos::Button1Click);
    connect(m_freeImagePanel, &WidgetFreeImagePanel::saveImageClicked, this,
            &TForm_pos::BTN_GravarNovaImagemClick);
    connect(m_freeImagePanel, &WidgetFreeImagePanel::closeClicked, this, &TForm_pos::FecharPanelImagemLivre);

    m_formatBar = new WidgetFormatBar(m_area);
    m_area->addFormatBar(m_formatBar);
    connectFormatBar();

    m_printPanel = new WidgetDesignerPrintPanel(this);
    Edit_DE = m_printPanel->Edit_DE;
    Edit_ATE = m_printPanel->Edit_ATE;
    connect(m_printPanel, &WidgetDesignerPrintPanel::printClicked, this, &TForm_pos::Img_botaoImprimirClick);
    connect(m_printPanel, &WidgetDesignerPrintPanel::whatsClicked, this, &TForm_pos::img_whatsClick);

    buildMenus();
    // Enter in a field is for the field: no button of the designer is pressed by it.
    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (m_variant == Variant::PrintOnly) lockForPrinting();
}

void TForm_pos::connectToolbar() {
    connect(m_toolbar, &WidgetDesignerToolbar::saveClicked, this, &TForm_pos::botaoSalvarAtivoClick);
    connect(m_toolbar, &WidgetDesignerToolbar::printClicked, this, &TForm_pos::BOTAO_IMPRIMIRClick);
    connect(m_toolbar, &WidgetDesignerToolbar::gridClicked, this,
            [this](bool show) { show ? BotaoGradeClick() : BotaoGradeSemClick(); });
    connect(m_toolbar, &WidgetDesignerToolbar::closeClicked, this, &TForm_pos::img_fecharPOSClick);
    connect(m_toolbar, &WidgetDesignerToolbar::optionsClicked, this, [this] { Pop->popup(QCursor::pos()); });
    connect(m_toolbar, &WidgetDesignerToolbar::idSizeChosen, this, [this](const QString &text) {
        int v = 0;
        if (!toInt(text, &v) || v == m_layout.tamFonteId) return;
        m_layout.tamFonteId = v;
        fontsChosen();
    });
    connect(m_toolbar, &WidgetDesignerToolbar::numberSizeChanged, this, [this](const QString &text) {
        if (m_loading) return;
        int v = 0;
        if (!toInt(text, &v) || v == m_layout.tamFonteNum) return;
        m_layout.tamFonteNum = v;
        fontsChosen();
    });
    connect(m_toolbar, &WidgetDesignerToolbar::idColourChosen, this, [this](int colour) {
        m_layout.corFonteId = colour;
        fontsChosen();
    });
    connect(m_toolbar, &WidgetDesignerToolbar::numberColourChosen, this, [this](int colour) {
        m_layout.corFonteNum = colour;
        fontsChosen();
    });
}

void TForm_pos::fontsChosen() {
    m_area->applyFonts();
    editRow();
}

void TForm_pos::connectSettings() {
    const WidgetDesignerSettings *s = m_settings;
    connect(s, &WidgetDesignerSettings::fieldEdited, this,
            [this](const QString &column, const QVariant &value) {
                setField(column, value);
                editRow();
            });
    connect(s->Image54, &QToolButton::clicked, this, &TForm_pos::Image54Click);
    connect(s->DBCheckBox2, &QCheckBox::clicked, this, &TForm_pos::DBCheckBox2Click);
    connect(s->botao_img_Livre1, &QToolButton::clicked, this, [this] { botao_img_LivreClick(1); });
    connect(s->botao_img_Livre2, &QToolButton::clicked, this, [this] { botao_img_LivreClick(2); });
    connect(s->DBComboBox1, &QComboBox::activated, this, &TForm_pos::DBComboBox1Change);
    connect(s->DBComboBox2, &QComboBox::activated, this, &TForm_pos::DBComboBox2Change);
    connect(s->DBC_NumColuna, &QComboBox::activated, this, &TForm_pos::DBC_NumColunaChange);
    connect(s->DBComboBox3, &QComboBox::activated, this, &TForm_pos::DBComboBox3Change);
    connect(s->Button3, &QPushButton::clicked, this, &TForm_pos::Button3Click);
    connect(s->DBCheckBox1, &QCheckBox::clicked, this, &TForm_pos::DBCheckBox1Click);
    connect(s->Button5, &QPushButton::clicked, this, &TForm_pos::Button5Click);
    // A typed path is stored as typed when the field is left.
    connect(s->DBEdit4, &QLineEdit::editingFinished, this, [this] {
        if (!m_loading) applyRow();
    });
}

void TForm_pos::connectTextBoxes() {
    const WidgetTextBoxPanel *t = m_textBoxes;
    connect(t, &WidgetTextBoxPanel::fieldEdited, this, [this](const QString &column, const QVariant &value) {
        setField(column, value);
        editRow();
    });
    connect(t->BTN_SALVAR_BARRA, &QPushButton::clicked, this, &TForm_pos::BTN_SALVAR_BARRAClick);
    connect(t->BTN_SALVAR_BARRA_C, &QPushButton::clicked, this, &TForm_pos::BTN_SALVAR_BARRA_CClick);
    connect(t->DBC_USAR_CANHOTO, &QCheckBox::clicked, this, &TForm_pos::DBC_USAR_CANHOTOClick);
    connect(t, &WidgetTextBoxPanel::closeClicked, this, [this] {
        BTN_SALVAR_BARRAClick();
        m_textBoxes->hide();
    });
}

void TForm_pos::connectFormatBar() {
    connect(m_formatBar, &WidgetFormatBar::fontChosen, this, [this](const QString &family) {
        formatSelection(
            [family](QTextCharFormat &f, const QTextCharFormat &) { f.setFontFamilies(QStringList{family}); },
            false);
    });
    connect(m_formatBar, &WidgetFormatBar::sizeChosen, this, [this](double size) {
        formatSelection([size](QTextCharFormat &f, const QTextCharFormat &) { f.setFontPointSize(size); },
                        false);
    });
    connect(m_formatBar, &WidgetFormatBar::colourChosen, this, [this](const QColor &c) {
        formatSelection([c](QTextCharFormat &f, const QTextCharFormat &) { f.setForeground(c); }, true);
    });
    connect(m_formatBar, &WidgetFormatBar::boldClicked, this, [this] {
        formatSelection(
            [](QTextCharFormat &f, const QTextCharFormat &was) {
                f.setFontWeight(was.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
            },
            true);
    });
    connect(m_formatBar, &WidgetFormatBar::underlineClicked, this, [this] {
        formatSelection(
            [](QTextCharFormat &f, const QTextCharFormat &was) { f.setFontUnderline(!was.fontUnderline()); },
            true);
    });
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
    m_area->lockForPrinting();
    m_settings->lockForPrinting();
    m_textBoxes->lockForPrinting();
    m_freeImagePanel->lockForPrinting();
}

// A read-only list: whatever is picked, it shows the stored value again.
void TForm_pos::keepStored(QComboBox *box, const QString &column) {
    const QVariant v = field(column);
    const QString stored =
        v.typeId() == QMetaType::QString ? v.toString().trimmed() : QString::number(v.toInt());
    box->setCurrentIndex(box->findText(stored));
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
    buildImageMenu();
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
    TForm_ModuloPrint builder(
        m_ctx,
        {m_settings->DBEdit4->text(), m_settings->DBEdit_Livre1->text(), m_settings->DBEdit_Livre2->text()},
        this);
    builder.exec();
}

void TForm_pos::buildImageMenu() {
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

QLineEdit *TForm_pos::freeImageField(int image) const {
    return image == 1 ? m_settings->DBEdit_Livre1 : m_settings->DBEdit_Livre2;
}

// ---------- the row ----------

QVariant TForm_pos::field(const QString &column) const {
    return m_ctx.tdm.CDS_RIfaUSar.value(0, column);
}

void TForm_pos::setField(const QString &column, const QVariant &value) {
    m_ctx.tdm.CDS_RIfaUSar.setValue(0, column, value);
}

void TForm_pos::editRow() {
    if (!m_loading) m_toolbar->setSaveNeeded(true);
}

bool TForm_pos::hasUnsavedChanges() const {
    return m_toolbar->saveNeeded();
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
    m_toolbar->setSaveNeeded(false);
    // The fields show what was stored: a character the code page cannot hold became '?'.
    for (QLineEdit *e :
         {m_settings->DBEdit1, m_settings->DBEdit4, m_settings->DBEdit_Livre1, m_settings->DBEdit_Livre2}) {
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
    m_formatBar->fillFonts();
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

    m_settings->showRow(row, m_layout);
    m_textBoxes->showRow(row, m_layout, printOnly());
    RtfCodec::read(m_layout.texto.rtf, *m_area->ticketText()->document());
    RtfCodec::read(m_layout.textoC.rtf, *m_area->stubText()->document());
    m_area->ticketText()->document()->setModified(false);
    m_area->stubText()->document()->setModified(false);
    m_toolbar->showFonts(m_layout.tamFonteId, m_layout.corFonteId, m_layout.tamFonteNum,
                         m_layout.corFonteNum);

    // The print module keeps the form's own text for the smallest modality.
    m_area->showPlaceholders(m_layout.modalidade,
                             printOnly() && m_layout.modalidade == QLatin1String("00 - 99"));
    m_area->applyFonts();
    m_area->placeWidgets();
    if (m_layout.texto.visible) m_formatBar->move(70, m_layout.outlineRect().bottom() + 1 + 80);
    m_formatBar->setVisible(m_layout.texto.visible);
    m_loading = false;
    reportProblems(problems);
}

void TForm_pos::reportProblems(const QList<TicketLayout::Problem> &problems) {
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

void TForm_pos::setGrid(bool shown) {
    m_area->setGrid(shown);
    m_toolbar->setGridShown(shown);
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
    m_layout.texto.pos = m_area->ticketText()->pos();
    m_layout.textoC.pos = m_area->stubText()->pos();
    if (m_layout.textoC.visible) {
        m_layout.placeStubSeparator();
        m_area->placeWidgets();
    }
    m_layout.storeTextBoxPositions(m_ctx.tdm.CDS_RIfaUSar);
    saveRow();
    update();
}

// ---------- saving and closing ----------

void TForm_pos::writeTextBoxes() {
    if (m_area->ticketText()->document()->isModified()) {
        m_layout.texto.rtf = RtfCodec::write(*m_area->ticketText()->document());
        setField(QStringLiteral("TEXTO_BASICO"), m_layout.texto.rtf);
        m_area->ticketText()->document()->setModified(false);
    }
    if (m_area->stubText()->document()->isModified()) {
        m_layout.textoC.rtf = RtfCodec::write(*m_area->stubText()->document());
        setField(QStringLiteral("TEXTO_BASICO_C"), m_layout.textoC.rtf);
        m_area->stubText()->document()->setModified(false);
    }
}

void TForm_pos::botaoSalvarAtivoClick() {
    editRow();
    int idSize = 0, numSize = 0;
    if (!toInt(m_toolbar->idSizeText(), &idSize) || !toInt(m_toolbar->numberSizeText(), &numSize)) return;
    m_layout.corFonteId = m_toolbar->idColour();
    m_layout.corFonteNum = m_toolbar->numberColour();
    m_layout.tamFonteId = idSize;
    m_layout.tamFonteNum = numSize;
    CachedTable &row = m_ctx.tdm.CDS_RIfaUSar;
    m_layout.storeFonts(row);
    m_layout.imgLivre[0] = m_settings->DBEdit_Livre1->text();
    m_layout.imgLivre[1] = m_settings->DBEdit_Livre2->text();
    m_layout.storeFreeImagePositions(row);
    writeTextBoxes();
    const QString overlap = m_layout.barcodeOverlapWarning(m_run.ticketCount());
    if (!overlap.isEmpty()) m_ctx.dialogs.notice(overlap);
    saveRow();
}

void TForm_pos::img_fecharPOSClick() {
    if (hasUnsavedChanges() && m_ctx.dialogs.question(QStringLiteral("Korvante"), kSaveQuestion, false)) {
        botaoSalvarAtivoClick();
        if (hasUnsavedChanges()) return; // the save failed and was reported: keep the edits
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
        keepStored(m_settings->DBComboBox1, QStringLiteral("USAR_CBARRA"));
        return;
    }
    setField(QStringLiteral("USAR_CBARRA"), m_settings->DBComboBox1->currentText().toInt());
    editRow();
    m_layout.usarCBarra = m_settings->DBComboBox1->currentText().toInt();
    m_layout.placeBarcodes(m_ctx.tdm.CDS_RIfaUSar.record(0));
    m_area->placeWidgets();
}

void TForm_pos::DBComboBox2Change() {
    if (printOnly()) {
        keepStored(m_settings->DBComboBox2, QStringLiteral("USAR_NUM_ID_BILHETE"));
        refusedInPrintModule();
        return;
    }
    setField(QStringLiteral("USAR_NUM_ID_BILHETE"), m_settings->DBComboBox2->currentText().toInt());
    editRow();
    m_layout.usarNumId = m_settings->DBComboBox2->currentText().toInt();
    m_layout.bilheteNum[0].visible = m_layout.usarNumId == 1 || m_layout.usarNumId == 2;
    m_layout.bilheteNum[1].visible = m_layout.usarNumId == 2;
    m_area->placeWidgets();
}

void TForm_pos::DBComboBox3Change() {
    if (printOnly()) {
        keepStored(m_settings->DBComboBox3, QStringLiteral("USAR_AUTENTIC"));
        refusedInPrintModule();
        return;
    }
    const QString v = m_settings->DBComboBox3->currentText();
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
    m_area->placeWidgets();
}

void TForm_pos::DBC_NumColunaChange() {
    if (printOnly()) {
        keepStored(m_settings->DBC_NumColuna, QStringLiteral("QT_COL_FOLHA"));
        refusedInPrintModule();
        return;
    }
    setField(QStringLiteral("QT_COL_FOLHA"), m_settings->DBC_NumColuna->currentText().toInt());
    editRow();
    m_layout.qtColFolha = m_settings->DBC_NumColuna->currentText().toInt();
}

void TForm_pos::DBCheckBox2Click() {
    setField(QStringLiteral("ART_EXTENDIDA"),
             m_settings->DBCheckBox2->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    editRow();
    m_layout.artExtendida = m_settings->DBCheckBox2->isChecked();
    m_layout.fundo.stretched = m_layout.artExtendida;
    m_area->placeWidgets();
}

void TForm_pos::Button3Click() {
    if (refusedInPrintModule()) return;
    int alt = 0, comp = 0;
    if (!toInt(m_settings->DBEdit5->text(), &alt) || !toInt(m_settings->DBEdit6->text(), &comp)) return;
    if (alt <= 0 || comp <= 0) {
        m_ctx.dialogs.error(
            QStringLiteral("A ALTURA e o COMPRIMENTO do Bilhete têm que ser maiores que zero."));
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
    m_area->placeWidgets();
    m_formatBar->move(80, m_layout.outlineRect().bottom() + 1 + 80);
}

// ---------- text boxes ----------

void TForm_pos::DBCheckBox1Click() {
    const bool on = m_settings->DBCheckBox1->isChecked();
    setField(QStringLiteral("USAR_TEXTO_BAS"), on ? 1 : 0);
    editRow();
    m_layout.usarTextoBas = on ? 1 : 0;
    if (!on) {
        m_layout.texto.visible = false;
        m_layout.textoC.visible = false;
        m_layout.traco.visible = false;
        m_formatBar->hide();
        m_textBoxes->DBC_USAR_CANHOTO->setChecked(false);
        setField(QStringLiteral("USAR_TEXTO_BAS_C"), 0);
        m_layout.usarTextoBasC = 0;
    } else {
        const QSqlRecord row = m_ctx.tdm.CDS_RIfaUSar.record(0);
        m_layout.texto.visible = true;
        m_formatBar->move(80, m_layout.outlineRect().bottom() + 1 + 80);
        m_formatBar->show();
        m_layout.texto.size = m_layout.dimTextoAlt <= 0
                                  ? TicketLayout::DefaultTextSizeSwitchedOn
                                  : QSize(TicketLayout::textBoxPixels(m_layout.dimTextoComp),
                                          TicketLayout::textBoxPixels(m_layout.dimTextoAlt));
        const QPoint stored(row.value(QStringLiteral("POS_TEXTO_BAS_L")).toInt(),
                            row.value(QStringLiteral("POS_TEXTO_BAS_T")).toInt());
        m_layout.texto.pos = stored.x() <= 0 ? TicketLayout::DefaultTextSwitchedOn : stored;
        Ativar_canhoto();
    }
    m_area->placeWidgets();
}

void TForm_pos::Ativar_canhoto() {
    m_layout.activateStub(m_ctx.tdm.CDS_RIfaUSar.record(0));
    if (m_layout.usarTextoBasC == 1 && !printOnly()) {
        m_textBoxes->setStubSizesEnabled(true);
    }
    m_area->placeWidgets();
}

void TForm_pos::DBC_USAR_CANHOTOClick() {
    const bool on = m_textBoxes->DBC_USAR_CANHOTO->isChecked();
    setField(QStringLiteral("USAR_TEXTO_BAS_C"), on ? 1 : 0);
    editRow();
    m_layout.usarTextoBasC = on ? 1 : 0;
    Ativar_canhoto();
    BTN_SALVAR_BARRA_CClick();
    m_textBoxes->setStubSizesEnabled(on && !printOnly());
    m_layout.traco.visible = on;
    m_layout.textoC.visible = on;
    m_area->placeWidgets();
}

void TForm_pos::Button5Click() {
    if (!m_settings->DBCheckBox1->isChecked()) return;
    if (field(QStringLiteral("POS_TEXTO_BAS_L")).toInt() <= 0)
        m_layout.texto.pos = TicketLayout::DefaultTextAdjust;
    m_layout.texto.visible = true;
    m_area->placeWidgets();
    m_textBoxes->open();
}

void TForm_pos::BTN_SALVAR_BARRAClick() {
    int alt = 0, comp = 0;
    if (!toInt(m_textBoxes->DBEdit_TxtAlt->text(), &alt) ||
        !toInt(m_textBoxes->DBEdit_TxtComp->text(), &comp))
        return;
    editRow();
    m_layout.dimTextoAlt = alt;
    m_layout.dimTextoComp = comp;
    m_layout.texto.size = QSize(TicketLayout::textBoxPixels(comp), TicketLayout::textBoxPixels(alt));
    setField(QStringLiteral("DIM_TEXTO_BAS_ALT"), alt);
    setField(QStringLiteral("DIM_TEXTO_BAS_COMP"), comp);
    m_area->placeWidgets();
    saveRow();
}

void TForm_pos::BTN_SALVAR_BARRA_CClick() {
    int alt = 0, comp = 0;
    // An empty stub size while the stub is being switched on keeps the default box.
    if (m_textBoxes->DBEdit_TxtCAlt->text().trimmed().isEmpty() &&
        m_textBoxes->DBEdit_TxtCComp->text().trimmed().isEmpty()) {
        saveRow();
        return;
    }
    if (!toInt(m_textBoxes->DBEdit_TxtCAlt->text(), &alt) ||
        !toInt(m_textBoxes->DBEdit_TxtCComp->text(), &comp))
        return;
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
    m_area->placeWidgets();
}

void TForm_pos::formatSelection(const std::function<void(QTextCharFormat &, const QTextCharFormat &)> &change,
                                bool editsRow) {
    QTextEdit *box = m_area->textTarget();
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
    m_backgroundArt->open();
}

void TForm_pos::BTN_ObterImagemClick() {
    m_backgroundArt->hide();
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
    m_settings->DBEdit4->clear();
    setField(QStringLiteral("ART_FUNDO"), QString());
    editRow();
    saveRow();
    m_layout.artFundo.clear();
    m_layout.fundo = TicketLayout::Picture();
    m_area->clearBackground();
    m_backgroundArt->hide();
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
                m_settings->DBEdit4->setText(chosen);
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
                freeImageField(i + 1)->setText(chosen);
            }
        }
        m_area->placeWidgets();
    }
    // Accepted or not, the row is posted and applied.
    saveRow();
}

void TForm_pos::botao_img_LivreClick(int image) {
    m_freeImage = image;
    const bool set = !freeImageField(image)->text().isEmpty();
    m_insertImageAction->setText(set ? QStringLiteral("Trocar Imagem Livre")
                                     : QStringLiteral("Inserir Imagem Livre"));
    Pop_imagemLivre->popup(QCursor::pos());
}

void TForm_pos::AlterarDimensoesClick() {
    if (freeImageField(m_freeImage)->text().isEmpty()) return;
    m_freeImagePanel->open(m_freeImage, m_layout.livre[m_freeImage - 1].image.size());
}

void TForm_pos::Button1Click() {
    const int i = m_freeImage - 1;
    int w = 0, h = 0;
    if (!toInt(m_freeImagePanel->widthText(), &w) || !toInt(m_freeImagePanel->heightText(), &h)) return;
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
    m_area->placeWidgets();
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
    freeImageField(i + 1)->setText(path);
    m_resizePending = false;
    m_freeImagePanel->setSaveEnabled(false);
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
    m_freeImagePanel->setSaveEnabled(false);
    m_freeImagePanel->hide();
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
    freeImageField(i + 1)->clear();
    m_area->placeWidgets();
    botaoSalvarAtivoClick();
}

// ---------- printing ----------

void TForm_pos::BOTAO_IMPRIMIRClick() {
    m_printPanel->open();
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

// The sheet prints what the design area and the fields show now.
void TForm_pos::takeShownSizes() {
    m_layout.tamFonteId = m_toolbar->idSizeText().trimmed().toInt();
    m_layout.tamFonteNum = m_toolbar->numberSizeText().trimmed().toInt();
    m_layout.corFonteId = m_toolbar->idColour();
    m_layout.corFonteNum = m_toolbar->numberColour();
    m_layout.dimBilheteAlt = m_settings->DBEdit5->text().trimmed().toInt();
    m_layout.dimBilheteComp = m_settings->DBEdit6->text().trimmed().toInt();
    m_layout.dimTextoAlt = m_textBoxes->DBEdit_TxtAlt->text().trimmed().toInt();
    m_layout.dimTextoComp = m_textBoxes->DBEdit_TxtComp->text().trimmed().toInt();
    m_layout.dimTextoCAlt = m_textBoxes->DBEdit_TxtCAlt->text().trimmed().toInt();
    m_layout.dimTextoCComp = m_textBoxes->DBEdit_TxtCComp->text().trimmed().toInt();
}

void TForm_pos::runPrint(bool whatsMode) {
    PrintRunInput in;
    in.columnsText = m_settings->DBC_NumColuna->currentText();
    in.comprimentoText = m_settings->DBEdit6->text();
    in.de = Edit_DE->text();
    in.ate = Edit_ATE->text();
    in.usarCBarra = m_settings->DBComboBox1->currentText().toInt();
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
    takeShownSizes();
    writeTextBoxes();
    TicketSheet sheet(m_layout, m_run.digits(), whatsMode);
    sheet.setPrintModuleGuides(printOnly());
    // Pages read the queue as they are drawn: the preview opens at once on a whole raffle.
    sheet.setSource(std::make_shared<QueueTickets>(m_ctx.tdm.CONEX_PRINT(), m_run.queued()));
    if (whatsMode) {
        // The queue stays filled: there is no preview to empty it.
        sendPictures(sheet);
        m_printPanel->hide();
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
    m_printPanel->hide();
}
