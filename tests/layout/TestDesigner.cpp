#include "data/TDM.h"
#include "layout/TForm_Visualizar.h"
#include "layout/TForm_pos.h"
#include "support/WindowWatcher.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace {
const QString kSaveQuestion = QStringLiteral("Existem dados na Rifa a serem Gravados. Deseja Gravar?");

// Presses, moves and releases the mouse over a widget, the cursor travelling by delta.
void drag(QWidget *w, QPoint delta) {
    const QPointF local(3, 3);
    const QPointF global = w->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

QAction *action(QMenu *menu, const QString &text) {
    for (QAction *a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}
} // namespace

class TestDesigner : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void neverLaidOutOpensWithTheDefaults();
    void numberLabelsByNumbersPerTicket_data();
    void numberLabelsByNumbersPerTicket();
    void millimetresBecomePixels();
    void draggingANumberWritesAllTen();
    void draggedFreeImageIsStoredWhenClosingWithYes();
    void failedSaveOnCloseKeepsTheDesignerOpen();
    void resizedFreeImageIsSavedBesideTheOriginal();
    void gridButtonsRememberTheChoice();
    void printRunPreviewsAndEmptiesTheQueue();
    void clickingThroughFieldsIsNoEdit();
    void enterInAFieldPressesNoButton_data();
    void enterInAFieldPressesNoButton();
    void resizePanelClosesWhenTheResizeIsDropped();
    void unusablePictureIsRefusedByName_data();
    void unusablePictureIsRefusedByName();
    void storedPictureThatNoLongerLoadsKeepsItsName();
    void largeArtworkLoads();
    void rangeFieldsTakeAControlNumbersDigits();
    void ticketSizeOfZeroIsRefused_data();
    void ticketSizeOfZeroIsRefused();
    void overlappingBarcodesAreWarnedOnSaving_data();
    void overlappingBarcodesAreWarnedOnSaving();
    void textFieldsHoldNoMoreThanTheirColumns();

private:
    void open(const QString &set = {}, const QVariantList &values = {}, int perTicket = 4);
    template <class T> T *child(const char *name) {
        T *w = form->findChild<T *>(QLatin1String(name));
        if (!w) qWarning() << "no control" << name;
        return w;
    }
    QVariant column(const QString &name) {
        return inst->scalar(QStringLiteral("SELECT %1 FROM CADASTRO WHERE CODRIFA=1").arg(name));
    }
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_pos> form;
};

void TestDesigner::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
}

void TestDesigner::init() {
    inst->dialogs.clear();
    // Every case starts from a raffle never laid out.
    QStringList nulls;
    QSqlQuery cols(inst->tdm->CONEX_R());
    cols.exec(QStringLiteral(
        "SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME='CADASTRO' "
        "AND RDB$FIELD_NAME NOT IN ('CODRIFA','RIFA_ATIVA','NOME_RIFA')"));
    while (cols.next())
        nulls << cols.value(0).toString() + QStringLiteral("=NULL");
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET %1 WHERE CODRIFA=1").arg(nulls.join(u','))));
    inst->raffle.CodRifaUsar = QStringLiteral("1");
    inst->raffle.MaiorNumero = 9999;
    inst->raffle.QtNumBilhete = 4;
    inst->raffle.TabelaBaseUsar = QStringLiteral("BS4_D");
    inst->raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
}

void TestDesigner::cleanup() {
    form.reset();
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

void TestDesigner::open(const QString &set, const QVariantList &values, int perTicket) {
    // The modality of a 4-digit raffle unless the case sets its own.
    QStringList parts;
    if (!set.contains(QLatin1String("MODALIDADE="))) parts << QStringLiteral("MODALIDADE='0000 - 9999'");
    if (!set.isEmpty()) parts << set;
    const QString assignments = parts.join(u',');
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET %1 WHERE CODRIFA=1").arg(assignments), values));
    inst->raffle.QtNumBilhete = quint8(perTicket);
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(1, &error), qPrintable(error));
    form = std::make_unique<TForm_pos>(inst->context());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestDesigner::neverLaidOutOpensWithTheDefaults() {
    QVERIFY(inst->exec(
        QStringLiteral("UPDATE CADASTRO SET USAR_NUM_ID_BILHETE=2, USAR_CBARRA=2, USAR_TEXTO_BAS=1, "
                       "USAR_TEXTO_BAS_C=1 WHERE CODRIFA=1")));
    // A registry without the grid value.
    Registry fresh(inst->file(QStringLiteral("fresh-registry.ini")));
    AppServices s{*inst->tdm, inst->dialogs, inst->clock, inst->random, fresh, inst->folder()};
    WorkingRaffle raffle = inst->raffle;
    AppContext ctx(s, raffle);
    QString error;
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET MODALIDADE='0000 - 9999' WHERE CODRIFA=1")));
    QVERIFY(inst->tdm->loadRaffleRow(1, &error));
    TForm_pos designer(ctx);
    designer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designer));
    auto *outline = designer.findChild<QWidget *>(QStringLiteral("Shape_DimBilhete"));
    QCOMPARE(outline->geometry(), QRect(15, 20, 436, 245));
    auto at = [&](const char *name) {
        auto *w = designer.findChild<QWidget *>(QLatin1String(name));
        return w && w->isVisible() ? w->pos() : QPoint(-1, -1);
    };
    QCOMPARE(at("BilheteNum1"), QPoint(365, 31));
    QCOMPARE(at("BilheteNum2"), QPoint(29, 31));
    QCOMPARE(at("IMG_CODBARRA1"), QPoint(256, 272));
    QCOMPARE(at("IMG_CODBARRA2"), QPoint(368, 272));
    QCOMPARE(at("DBR_TextoBasico"), QPoint(94, 31));
    QCOMPARE(at("DBR_TextoBasico_C"), QPoint(31, 31));
    QCOMPARE(designer.findChild<QWidget *>(QStringLiteral("DBR_TextoBasico"))->size(), QSize(266, 224));
    QCOMPARE(at("NumB1"), QPoint(365, 74));
    QCOMPARE(at("NumB4"), QPoint(365, 178));
    QVERIFY(!designer.findChild<QWidget *>(QStringLiteral("Num_Autentic"))->isVisible());
    QCOMPARE(designer.findChild<QLabel *>(QStringLiteral("NumB1"))->text(), QStringLiteral("0000"));
    QCOMPARE(designer.findChild<QLabel *>(QStringLiteral("BilheteNum1"))->text(), QStringLiteral("C-0001"));
    QCOMPARE(designer.findChild<QLabel *>(QStringLiteral("BilheteNum2"))->text(), QStringLiteral("C-0002"));
    // No grid value yet: hidden, 0 written, "Mostrar Grade" offered.
    QVERIFY(fresh.contains(QStringLiteral("GRADE")));
    QCOMPARE(fresh.value(QStringLiteral("GRADE")).toInt(), 0);
    QVERIFY(designer.findChild<QWidget *>(QStringLiteral("BotaoGrade"))->isVisible());
    QVERIFY(!designer.findChild<QWidget *>(QStringLiteral("BotaoGradeSem"))->isVisible());
    // Loading is not an edit.
    QVERIFY(!designer.hasUnsavedChanges());
    designer.findChild<QToolButton *>(QStringLiteral("img_fecharPOS"))->click();
}

void TestDesigner::numberLabelsByNumbersPerTicket_data() {
    QTest::addColumn<int>("perTicket");
    QTest::newRow("4") << 4;
    QTest::newRow("5") << 5;
    QTest::newRow("10") << 10;
}

void TestDesigner::numberLabelsByNumbersPerTicket() {
    QFETCH(int, perTicket);
    open({}, {}, perTicket);
    for (int k = 1; k <= 10; ++k) {
        auto *label = child<QLabel>(QStringLiteral("NumB%1").arg(k).toLatin1().constData());
        const bool shown = k <= 5 ? k <= perTicket : perTicket == 10;
        QCOMPARE(label->isVisible(), shown);
        if (shown) QCOMPARE(label->pos(), TicketLayout::defaultNumberPos(k));
    }
    if (perTicket == 10) {
        QCOMPARE(child<QLabel>("NumB6")->x(), 285);
        QCOMPARE(child<QLabel>("NumB5")->x(), 365);
    }
}

void TestDesigner::millimetresBecomePixels() {
    open(QStringLiteral("DIM_BILHETE_ALT=50, DIM_BILHETE_COMP=100, USAR_TEXTO_BAS=1, DIM_TEXTO_BAS_ALT=40, "
                        "DIM_TEXTO_BAS_COMP=100"));
    QCOMPARE(child<QWidget>("Shape_DimBilhete")->size(), QSize(378, 189));
    // The text box shows the printed 100 x 40 mm (378 x 151) inside its one-pixel frame, so its lines
    // break where the paper's do.
    QCOMPARE(child<QWidget>("DBR_TextoBasico")->size(), QSize(380, 153));
    // Typing new dimensions and "Aplicar" resizes the outline and stores the row.
    child<QLineEdit>("DBEdit5")->clear();
    QTest::keyClicks(child<QLineEdit>("DBEdit5"), QStringLiteral("60"));
    child<QLineEdit>("DBEdit6")->clear();
    QTest::keyClicks(child<QLineEdit>("DBEdit6"), QStringLiteral("90"));
    QTest::mouseClick(child<QWidget>("Button3"), Qt::LeftButton);
    QCOMPARE(child<QWidget>("Shape_DimBilhete")->size(), QSize(3 * 90 + 70, 3 * 60 + 46));
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_ALT")).toInt(), 60);
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_COMP")).toInt(), 90);
    // A size that is not a number stops with the conversion error and stores nothing.
    QTest::mouseClick(child<QLineEdit>("DBEdit5"), Qt::LeftButton);
    QTest::keyClick(child<QLineEdit>("DBEdit5"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(child<QLineEdit>("DBEdit5"), QStringLiteral("6x"));
    inst->dialogs.expectMessage(QStringLiteral("'6x' não é um valor inteiro válido"), BoxIcon::Error);
    QTest::mouseClick(child<QWidget>("Button3"), Qt::LeftButton);
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_ALT")).toInt(), 60);
}

void TestDesigner::draggingANumberWritesAllTen() {
    open({}, {}, 4);
    QVERIFY(!form->hasUnsavedChanges());
    drag(child<QWidget>("NumB2"), QPoint(12, -7));
    QCOMPARE(child<QWidget>("NumB2")->pos(), QPoint(365 + 12, 106 - 7));
    QVERIFY(child<QWidget>("botaoSalvarAtivo")->isVisible());
    // Posted, not applied: the database still has nothing; all ten places are in the row.
    QVERIFY(column(QStringLiteral("POS_N2_L")).isNull());
    const RaffleRow &row = inst->tdm->CDS_RIfaUSar;
    QCOMPARE(row.value(QStringLiteral("POS_N2_L")).toInt(), 377);
    QCOMPARE(row.value(QStringLiteral("POS_N2_T")).toInt(), 99);
    for (int k : {1, 3, 4, 5, 6, 7, 8, 9, 10}) {
        QCOMPARE(row.value(QStringLiteral("POS_N%1_L").arg(k)).toInt(),
                 TicketLayout::defaultNumberPos(k).x());
        QCOMPARE(row.value(QStringLiteral("POS_N%1_T").arg(k)).toInt(),
                 TicketLayout::defaultNumberPos(k).y());
    }
    // A click without movement stores nothing new and the flag stays up until Save.
    drag(child<QWidget>("NumB1"), QPoint(0, 0));
    QVERIFY(child<QWidget>("botaoSalvarAtivo")->isVisible());
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QVERIFY(!child<QWidget>("botaoSalvarAtivo")->isVisible());
    QCOMPARE(column(QStringLiteral("POS_N2_L")).toInt(), 377);
    QCOMPARE(column(QStringLiteral("POS_N10_T")).toInt(), 208);
}

void TestDesigner::draggedFreeImageIsStoredWhenClosingWithYes() {
    const QString path = inst->file(QStringLiteral("selo.jpg"));
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    QVERIFY(img.save(path, "JPG"));
    open(QStringLiteral("IMG_LIVRE1=?, IMG_LIVRE1_L=100, IMG_LIVRE1_T=90"), {path});
    auto *image = child<QLabel>("Img_LIVRE1");
    QVERIFY(image->isVisible());
    QCOMPARE(image->geometry(), QRect(100, 90, 60, 40));
    drag(image, QPoint(25, 15));
    QCOMPARE(image->pos(), QPoint(125, 105));
    QVERIFY(form->hasUnsavedChanges());
    QVERIFY(column(QStringLiteral("IMG_LIVRE1_L")).toInt() == 100);
    inst->dialogs.expectQuestion(kSaveQuestion, true, QStringLiteral("Korvante"));
    child<QToolButton>("img_fecharPOS")->click();
    QVERIFY(!form->isVisible());
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1_L")).toInt(), 125);
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1_T")).toInt(), 105);
    // Closing copies the row to the print database.
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(q.exec(QStringLiteral("SELECT IMG_LIVRE1_L FROM cadastro_temp WHERE CODRIFA=1")) && q.next());
    QCOMPARE(q.value(0).toInt(), 125);
}

void TestDesigner::failedSaveOnCloseKeepsTheDesignerOpen() {
    const QString path = inst->file(QStringLiteral("selo.jpg"));
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    QVERIFY(img.save(path, "JPG"));
    open(QStringLiteral("IMG_LIVRE1=?, IMG_LIVRE1_L=100, IMG_LIVRE1_T=90"), {path});
    drag(child<QLabel>("Img_LIVRE1"), QPoint(25, 15));
    // Another computer changes the raffle meanwhile: the save is refused.
    QVERIFY(inst->execElsewhere(QStringLiteral("UPDATE CADASTRO SET LINK_SORT='outro' WHERE CODRIFA=1")));
    inst->dialogs.expectQuestion(kSaveQuestion, true, QStringLiteral("Korvante"));
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    child<QToolButton>("img_fecharPOS")->click();
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(form->isVisible()); // the edits are still there to save again or to discard
    QVERIFY(form->hasUnsavedChanges());
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1_L")).toInt(), 100);
}

void TestDesigner::resizedFreeImageIsSavedBesideTheOriginal() {
    QDir(inst->folder()).mkpath(QStringLiteral("art"));
    const QString path = inst->file(QStringLiteral("art/logo.jpg"));
    QImage img(80, 60, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QVERIFY(img.save(path, "JPG"));
    open(QStringLiteral("IMG_LIVRE1=?, IMG_LIVRE1_L=40, IMG_LIVRE1_T=40"), {path});
    auto *menu = form->findChild<QMenu *>(QStringLiteral("Pop_imagemLivre"));
    const QString newPath = inst->file(QStringLiteral("art/logo_New1.JPG"));

    for (QSize size : {QSize(40, 30), QSize(50, 20)}) {
        action(menu, QStringLiteral("Alterar Dimensões"))->trigger();
        QVERIFY(child<QWidget>("Panel_Imagem_Livre")->isVisible());
        QVERIFY(!child<QWidget>("BTN_GravarNovaImagem")->isEnabled());
        for (auto [name, value] :
             {std::pair{"ED_Largura", size.width()}, std::pair{"ED_Altura", size.height()}}) {
            child<QLineEdit>(name)->clear();
            QTest::keyClicks(child<QLineEdit>(name), QString::number(value));
        }
        QVERIFY(child<QWidget>("BTN_GravarNovaImagem")->isEnabled());
        QTest::mouseClick(child<QWidget>("Button1"), Qt::LeftButton);
        QCOMPARE(child<QLabel>("Img_LIVRE1")->size(), size);
        inst->dialogs.expectMessage(QStringLiteral("Nova imagem Gerada e Gravada com essas Dimensões!"),
                                    BoxIcon::Information);
        QTest::mouseClick(child<QWidget>("BTN_GravarNovaImagem"), Qt::LeftButton);
        QVERIFY(!child<QWidget>("Panel_Imagem_Livre")->isVisible());
        QCOMPARE(QImage(newPath).size(), size);
        QCOMPARE(inst->tdm->CDS_RIfaUSar.value(QStringLiteral("IMG_LIVRE1")).toString(), newPath);
        QCOMPARE(child<QLineEdit>("DBEdit_Livre1")->text(), newPath);
        QVERIFY(form->hasUnsavedChanges());
    }
    QCOMPARE(QDir(inst->file(QStringLiteral("art"))).entryList(QDir::Files).size(), 2);
    QCOMPARE(QImage(path).size(), QSize(80, 60)); // the original is untouched
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1")).toString(), newPath);
}

void TestDesigner::gridButtonsRememberTheChoice() {
    open();
    child<QToolButton>("BotaoGrade")->click();
    QCOMPARE(inst->registry->value(QStringLiteral("GRADE")).toInt(), 1);
    QVERIFY(child<QWidget>("BotaoGradeSem")->isVisible());
    QVERIFY(!child<QWidget>("BotaoGrade")->isVisible());
    form.reset();
    open();
    QVERIFY(child<QWidget>("BotaoGradeSem")->isVisible());
    child<QToolButton>("BotaoGradeSem")->click();
    QCOMPARE(inst->registry->value(QStringLiteral("GRADE")).toInt(), 0);
}

namespace {
void typeInto(QWidget *edit, const QString &text);
}

void TestDesigner::printRunPreviewsAndEmptiesTheQueue() {
    for (int t = 1; t <= 40; ++t)
        inst->exec(
            QStringLiteral("UPDATE OR INSERT INTO BS4_D (NUMBILHETE, N1, N2, N3, N4) VALUES (?, ?, ?, ?, ?)"),
            {t, t, t + 2500, t + 5000, t + 7500});
    open(QStringLiteral("USAR_CBARRA=1, USAR_NUM_ID_BILHETE=1"));
    child<QToolButton>("BOTAO_IMPRIMIR")->click();
    QCOMPARE(child<QWidget>("Panel_impre_pos")->pos(), QPoint(531, 74));
    QCOMPARE(form->Edit_DE->text(), QStringLiteral("1"));
    QCOMPARE(form->Edit_ATE->text(), QStringLiteral("20"));
    typeInto(form->Edit_ATE, QStringLiteral("40"));
    const QString pdf = inst->file(QStringLiteral("bilhetes.pdf"));
    inst->dialogs.expectFileChoice(QStringLiteral("save"), pdf);
    int queued = -1, pages = -1, rendered = -1;
    // The preview is caught when it shows: the progress of the queueing runs events before that.
    WindowWatcher watcher;
    watcher.on(QStringLiteral("TForm_Visualizar"), [&](QWidget *w) {
        auto *preview = qobject_cast<TForm_Visualizar *>(w);
        QSqlQuery q(inst->tdm->CONEX_PRINT());
        if (q.exec(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")) && q.next()) queued = q.value(0).toInt();
        pages = preview->findChild<QLabel *>(QStringLiteral("LBL_Pagina"))->text().split(u' ').last().toInt();
        rendered = preview->renderedPages();
        preview->findChild<QPushButton *>(QStringLiteral("BTN_SalvarPDF"))->click();
        preview->findChild<QPushButton *>(QStringLiteral("BTN_Fechar"))->click();
    });
    child<QToolButton>("Img_botaoImprimir")->click();
    QCOMPARE(queued, 40);
    QCOMPARE(pages, 10);   // four 245-pixel tickets a page
    QCOMPARE(rendered, 1); // only the page shown was drawn
    QVERIFY(QFileInfo(pdf).size() > 0);
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QVERIFY(!child<QWidget>("Panel_impre_pos")->isVisible());
}

namespace {
void typeInto(QWidget *edit, const QString &text) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}
QByteArray jpegBytes(QSize size, QColor colour) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG");
    return bytes;
}
void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

void TestDesigner::clickingThroughFieldsIsNoEdit() {
    open(QStringLiteral("TAM_FONTE_ID_BILH=12, TAM_FONTE_POS_N=14"));
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    auto *idSize = child<QComboBox>("cmb_NumID_Tam");
    auto *numSize = child<QComboBox>("cmb_numerosTam");
    QCOMPARE(idSize->currentText(), QStringLiteral("12"));
    QCOMPARE(numSize->currentText(), QStringLiteral("14"));
    // A person clicks into the size boxes and on to another field, changing nothing.
    for (QWidget *w : {static_cast<QWidget *>(idSize->lineEdit()), static_cast<QWidget *>(numSize->lineEdit()),
                       static_cast<QWidget *>(child<QLineEdit>("DBEdit1")), static_cast<QWidget *>(idSize->lineEdit()),
                       static_cast<QWidget *>(child<QLineEdit>("DBEdit5"))})
        QTest::mouseClick(w, Qt::LeftButton);
    QVERIFY(!form->hasUnsavedChanges());
    QVERIFY(!child<QWidget>("botaoSalvarAtivo")->isVisible());
    // Closing asks nothing (the recorder fails on any box).
    child<QToolButton>("img_fecharPOS")->click();
    QVERIFY(!form->isVisible());
    QVERIFY(inst->dialogs.shown.isEmpty());
}

void TestDesigner::enterInAFieldPressesNoButton_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("ALTURA") << "DBEdit5" << "60";
    QTest::newRow("COMPRIMENTO") << "DBEdit6" << "90";
    QTest::newRow("NOME RIFA") << "DBEdit1" << "RIFA NOVA";
    QTest::newRow("De:") << "Edit_DE" << "3";
    QTest::newRow("Largura") << "ED_Largura" << "30";
}

void TestDesigner::enterInAFieldPressesNoButton() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    const QString path = inst->file(QStringLiteral("selo.jpg"));
    writeFile(path, jpegBytes(QSize(60, 40), Qt::darkGreen));
    open(QStringLiteral("IMG_LIVRE1=?, IMG_LIVRE1_L=100, IMG_LIVRE1_T=90, DIM_BILHETE_ALT=50, DIM_BILHETE_COMP=100"),
         {path});
    // Every panel with a field is open, and "Aplicar" was pressed once (as a person does).
    QTest::mouseClick(child<QWidget>("Button3"), Qt::LeftButton);
    child<QToolButton>("BOTAO_IMPRIMIR")->click();
    action(form->findChild<QMenu *>(QStringLiteral("Pop_imagemLivre")), QStringLiteral("Alterar Dimensões"))->trigger();
    const QSize outline = child<QWidget>("Shape_DimBilhete")->size();
    const QSize picture = child<QWidget>("Img_LIVRE1")->size();
    auto *edit = form->findChild<QLineEdit *>(field);
    QVERIFY(edit && edit->isVisible());
    typeInto(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    // Nothing was applied, printed or resized, and no box came up.
    QVERIFY(inst->dialogs.shown.isEmpty());
    QCOMPARE(child<QWidget>("Shape_DimBilhete")->size(), outline);
    QCOMPARE(child<QWidget>("Img_LIVRE1")->size(), picture);
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_ALT")).toInt(), 50);
    QCOMPARE(column(QStringLiteral("NOME_RIFA")).toString(), QStringLiteral("RIFA 1"));
    QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == form.get());
}

void TestDesigner::resizePanelClosesWhenTheResizeIsDropped() {
    const QString path = inst->file(QStringLiteral("logo.jpg"));
    writeFile(path, jpegBytes(QSize(80, 60), Qt::blue));
    open(QStringLiteral("IMG_LIVRE1=?, IMG_LIVRE1_L=40, IMG_LIVRE1_T=40"), {path});
    action(form->findChild<QMenu *>(QStringLiteral("Pop_imagemLivre")), QStringLiteral("Alterar Dimensões"))->trigger();
    typeInto(child<QLineEdit>("ED_Largura"), QStringLiteral("40"));
    typeInto(child<QLineEdit>("ED_Altura"), QStringLiteral("30"));
    QTest::mouseClick(child<QWidget>("Button1"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("Img_LIVRE1")->size(), QSize(40, 30));
    inst->dialogs.expectQuestion(
        QStringLiteral("Você alterou as Dimensões da imagem, mas para ficar gravado essas novas dimensões, será "
                       "preciso clicar no botão GRAVAR NOVA IMAGEM. Deseja Gravar a Nova Imagem para Usá-la em "
                       "Definitivo?"),
        false);
    QTest::mouseClick(child<QWidget>("Panel_Imagem_Livre_Fechar"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(!child<QWidget>("Panel_Imagem_Livre")->isVisible());
    QVERIFY(!child<QWidget>("BTN_GravarNovaImagem")->isEnabled());
    QVERIFY(!QFile::exists(inst->file(QStringLiteral("logo_New1.JPG"))));
    QCOMPARE(inst->tdm->CDS_RIfaUSar.value(QStringLiteral("IMG_LIVRE1")).toString(), path);
    // Closing the panel again asks nothing more.
    action(form->findChild<QMenu *>(QStringLiteral("Pop_imagemLivre")), QStringLiteral("Alterar Dimensões"))->trigger();
    QTest::mouseClick(child<QWidget>("Panel_Imagem_Livre_Fechar"), Qt::LeftButton);
    QVERIFY(!child<QWidget>("Panel_Imagem_Livre")->isVisible());
}

void TestDesigner::unusablePictureIsRefusedByName_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = jpegBytes(QSize(300, 200), Qt::red);
    QTest::newRow("not an image") << QByteArray("isto não é uma imagem\n");
    QTest::newRow("cut short") << whole.left(whole.size() / 2);
    QByteArray damaged = whole;
    for (qsizetype i = 20; i < damaged.size() - 2; ++i)
        damaged[i] = char(0xFF - i % 7);
    QTest::newRow("damaged") << damaged;
}

void TestDesigner::unusablePictureIsRefusedByName() {
    QFETCH(QByteArray, bytes);
    const QString path = inst->file(QStringLiteral("arte.jpg"));
    writeFile(path, bytes);
    open();
    child<QToolButton>("Image54")->click();
    inst->dialogs.expectFileChoice(QStringLiteral("open"), path);
    inst->dialogs.expectMessage(TicketLayout::unusablePictureMessage(path), BoxIcon::Error);
    QTest::mouseClick(child<QWidget>("BTN_ObterImagem"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(!child<QWidget>("img_fundo")->isVisible());
    QVERIFY(column(QStringLiteral("ART_FUNDO")).isNull());
    QVERIFY(child<QLineEdit>("DBEdit4")->text().isEmpty());
}

void TestDesigner::storedPictureThatNoLongerLoadsKeepsItsName() {
    const QByteArray whole = jpegBytes(QSize(300, 200), Qt::red);
    const QString art = inst->file(QStringLiteral("fundo.jpg"));
    const QString free = inst->file(QStringLiteral("selo.jpg"));
    writeFile(art, whole.left(whole.size() / 2));
    writeFile(free, "");
    inst->dialogs.expectMessage(TicketLayout::unusablePictureMessage(art), BoxIcon::Error);
    inst->dialogs.expectMessage(TicketLayout::unusablePictureMessage(free), BoxIcon::Error);
    open(QStringLiteral("ART_FUNDO=?, IMG_LIVRE1=?, IMG_LIVRE1_L=10, IMG_LIVRE1_T=10"), {art, free});
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(column(QStringLiteral("ART_FUNDO")).toString(), art);
    QCOMPARE(column(QStringLiteral("IMG_LIVRE1")).toString(), free);
    QCOMPARE(child<QLineEdit>("DBEdit4")->text(), art);
    QVERIFY(!form->hasUnsavedChanges());
}

void TestDesigner::largeArtworkLoads() {
    // Above Qt's own limit of 128 MB once decoded (6,000 x 6,000 x 4 bytes).
    const QString art = inst->file(QStringLiteral("grande.jpg"));
    {
        QImage img(6000, 6000, QImage::Format_RGB32);
        img.fill(QColor(200, 40, 40));
        QVERIFY(img.save(art, "JPG"));
    }
    open(QStringLiteral("ART_FUNDO=?, ART_EXTENDIDA='S'"), {art});
    QVERIFY(inst->dialogs.shown.isEmpty());
    QVERIFY(child<QWidget>("img_fundo")->isVisible());
    QCOMPARE(form->layout().fundo.image.size(), QSize(6000, 6000));
}

void TestDesigner::rangeFieldsTakeAControlNumbersDigits() {
    open();
    child<QToolButton>("BOTAO_IMPRIMIR")->click();
    typeInto(form->Edit_ATE, QStringLiteral("99999999999"));
    QCOMPARE(form->Edit_ATE->text(), QStringLiteral("9999999"));
    inst->dialogs.expectMessage(
        QStringLiteral("O Número de Controle do Bilhete digitado está além do último Bilhete desta Rifa. "
                       "O C.Bilhete máximo que pode ser digitado é até: 2500"),
        BoxIcon::Error);
    child<QToolButton>("Img_botaoImprimir")->click();
    QVERIFY(inst->dialogs.scriptDone());
}

void TestDesigner::ticketSizeOfZeroIsRefused_data() {
    QTest::addColumn<QString>("altura");
    QTest::addColumn<QString>("comprimento");
    QTest::newRow("height 0") << "0" << "90";
    QTest::newRow("length 0") << "60" << "0";
    QTest::newRow("length -5") << "60" << "-5";
}

void TestDesigner::ticketSizeOfZeroIsRefused() {
    QFETCH(QString, altura);
    QFETCH(QString, comprimento);
    open(QStringLiteral("DIM_BILHETE_ALT=50, DIM_BILHETE_COMP=100"));
    typeInto(child<QLineEdit>("DBEdit5"), altura);
    typeInto(child<QLineEdit>("DBEdit6"), comprimento);
    inst->dialogs.expectMessage(QStringLiteral("A ALTURA e o COMPRIMENTO do Bilhete têm que ser maiores que zero."),
                                BoxIcon::Error);
    QTest::mouseClick(child<QWidget>("Button3"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(child<QWidget>("Shape_DimBilhete")->size(), QSize(378, 189));
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_ALT")).toInt(), 50);
    QCOMPARE(column(QStringLiteral("DIM_BILHETE_COMP")).toInt(), 100);
}

void TestDesigner::overlappingBarcodesAreWarnedOnSaving_data() {
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("perTicket");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("modality");
    QTest::addColumn<QString>("warning");
    QTest::newRow("1.000.000 tickets at the default places")
        << 999999 << 1 << "BS1_MISTURADO" << "000000 - 999999"
        << "ATENÇÃO... os dois Códigos de Barras vão se encostar na impressão: o código do último Bilhete "
           "(1000000) tem 112 pixels de largura, mais uma margem branca de 10 pixels de cada lado. Afaste os "
           "dois Códigos de Barras para que o leitor consiga lê-los.";
    QTest::newRow("100.000 tickets fit beside each other") << 99999 << 1 << "BS1_C" << "00000 - 99999" << "";
}

void TestDesigner::overlappingBarcodesAreWarnedOnSaving() {
    QFETCH(int, highest);
    QFETCH(int, perTicket);
    QFETCH(QString, table);
    QFETCH(QString, modality);
    QFETCH(QString, warning);
    inst->raffle.MaiorNumero = highest;
    inst->raffle.TabelaBaseUsar = table;
    open(QStringLiteral("USAR_CBARRA=2, MODALIDADE=?"), {modality}, perTicket);
    // Barcode 1 is nudged down one pixel and back: an edit that leaves the places as they were.
    drag(child<QWidget>("IMG_CODBARRA1"), QPoint(0, 1));
    drag(child<QWidget>("IMG_CODBARRA1"), QPoint(0, -1));
    QCOMPARE(child<QWidget>("IMG_CODBARRA2")->pos(), TicketLayout::DefaultBarcode2);
    if (!warning.isEmpty()) inst->dialogs.expectMessage(warning, BoxIcon::Warning);
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(inst->dialogs.shown.size(), warning.isEmpty() ? 0 : 1);
    // The placeholders keep their 66 x 28 and the save went through.
    QCOMPARE(child<QWidget>("IMG_CODBARRA1")->size(), TicketLayout::BarcodeBox);
    QCOMPARE(column(QStringLiteral("POS_CBARRA2_L")).toInt(), TicketLayout::DefaultBarcode2.x());
}

void TestDesigner::textFieldsHoldNoMoreThanTheirColumns() {
    open();
    // Every text field of the designer that is saved to a column holds at most that column's length.
    const QList<std::pair<const char *, const char *>> fields = {
        {"DBEdit1", "NOME_RIFA"}, {"DBEdit2", "MODALIDADE"},       {"DBEdit3", "USAR_QT_NUM"},
        {"DBEdit4", "ART_FUNDO"}, {"DBEdit_Livre1", "IMG_LIVRE1"}, {"DBEdit_Livre2", "IMG_LIVRE2"}};
    for (const auto &[control, columnName] : fields) {
        const int length =
            inst->scalar(QStringLiteral(
                             "SELECT f.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS r JOIN RDB$FIELDS f "
                             "ON f.RDB$FIELD_NAME=r.RDB$FIELD_SOURCE WHERE r.RDB$RELATION_NAME='CADASTRO' "
                             "AND r.RDB$FIELD_NAME=?"),
                         {QLatin1String(columnName)})
                .toInt();
        QVERIFY2(length > 0, columnName);
        QCOMPARE(child<QLineEdit>(control)->maxLength(), length);
    }
    // A long name, accents included, keeps its first 35 characters and every later save goes through.
    const QString name = QStringLiteral("RIFA BENEFICENTE DA ASSOCIAÇÃO DOS MORADORES DO BAIRRO");
    typeInto(child<QLineEdit>("DBEdit1"), name);
    QCOMPARE(child<QLineEdit>("DBEdit1")->text(), name.left(35));
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QVERIFY(!form->hasUnsavedChanges());
    QCOMPARE(column(QStringLiteral("NOME_RIFA")).toString(), name.left(35));
    drag(child<QWidget>("NumB1"), QPoint(5, 5));
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QVERIFY(!form->hasUnsavedChanges());
    QCOMPARE(column(QStringLiteral("POS_N1_L")).toInt(), 370);
    // A character the code page cannot hold is stored as '?', and the field shows what was stored.
    QGuiApplication::clipboard()->setText(QStringLiteral("RIFA \U0001F600 DA SORTE"));
    typeInto(child<QLineEdit>("DBEdit1"), QString());
    QTest::keyClick(child<QLineEdit>("DBEdit1"), Qt::Key_V, Qt::ControlModifier); // pasted
    QTest::mouseClick(child<QToolButton>("botaoSalvarAtivo"), Qt::LeftButton);
    QCOMPARE(column(QStringLiteral("NOME_RIFA")).toString(), QStringLiteral("RIFA ? DA SORTE"));
    QCOMPARE(child<QLineEdit>("DBEdit1")->text(), QStringLiteral("RIFA ? DA SORTE"));
    // A picture whose path is longer than its column is refused by name, and nothing is stored.
    QString deep = inst->folder();
    while (deep.size() < 300)
        deep += QStringLiteral("/pasta_de_imagens_do_organizador");
    QVERIFY(QDir().mkpath(deep));
    const QString path = deep + QStringLiteral("/selo.jpg");
    writeFile(path, jpegBytes(QSize(20, 20), Qt::red));
    inst->dialogs.expectFileChoice(QStringLiteral("open"), path);
    inst->dialogs.expectMessage(
        QStringLiteral("O caminho da imagem tem mais de 300 caracteres e não pode ser "
                       "gravado. Coloque a imagem em uma pasta de caminho mais curto: ") +
            QDir::toNativeSeparators(path),
        BoxIcon::Error);
    action(form->findChild<QMenu *>(QStringLiteral("Pop_imagemLivre")),
           QStringLiteral("Inserir Imagem Livre"))
        ->trigger();
    QVERIFY(inst->dialogs.scriptDone());
    QVERIFY(column(QStringLiteral("IMG_LIVRE1")).isNull());
    QVERIFY(!child<QWidget>("Img_LIVRE1")->isVisible());
}

KORVANTE_TEST(TestDesigner)
#include "TestDesigner.moc"
