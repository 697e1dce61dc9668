#include "data/TDM.h"
#include "layout/PrintPackage.h"
#include "layout/TForm_Visualizar.h"
#include "layout/TForm_pos.h"
#include "layout/TicketSheet.h"
#include "platform/ProfileFile.h"
#include "printmodule/TForm_RIFAPrint.h"
#include "support/DesignerElements.h"
#include "support/PackageFixture.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

namespace {

const QString kRefusal =
    QStringLiteral("Não é permitido fazer essa alteração pelo Módulo de Impressão Externa. Faça a alteração no "
                   "KORVANTE principal e gere novamente o Módulo de Impressão Externa!");
const QString kWhatsRefusal =
    QStringLiteral("Não é permitido usar o Recurso de enviar Bilhete para o Whatsapp do comprador, pois você "
                   "está usando um Módulo que só serve para Impressão!");
const QString kChoose = QStringLiteral("Favor escolha uma Rifa a Trabalhar...");

void click(QWidget *w) {
    QVERIFY(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void retype(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

QVariant printScalar(TDM &tdm, const QString &sql) {
    QSqlQuery q(tdm.CONEX_PRINT());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

} // namespace

// The print module opened on a package written by the main program, in a program folder of its own.
class TestPrintModule : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void opensWithThePackageRaffle();
    void controlFileDecidesTheRaffle_data();
    void controlFileDecidesTheRaffle();
    void missingControlFileEndsTheModule();
    void escolherDepoisLeavesNoRaffle();
    void designerShowsThePackagePictures();
    void brokenPackagePictureIsReportedAndKeepsItsName();
    void lockedSettingsAreRefused_data();
    void lockedSettingsAreRefused();
    void runAcceptsAnyRangeAndQueuesTheTickets();
    void saveGoesIntoThePackageOnly();
    void guideLinesAreShortMarks();
    void designerStoresAndPrintsWhatItShows();

private:
    void show();
    TForm_pos *openDesigner();
    template <class T> T *child(QWidget *w, const char *name) {
        T *c = w->findChild<T *>(QLatin1String(name));
        if (!c) qWarning() << "no control" << name;
        return c;
    }
    QTemporaryDir m_package;
    std::unique_ptr<TestInstallation> shop;
    std::unique_ptr<TForm_RIFAPrint> form;
    std::unique_ptr<WindowWatcher> watcher;
};

void TestPrintModule::initTestCase() {
    // The organiser's installation writes the package once; every case lays it into a new folder.
    TestInstallation org;
    QVERIFY2(org.ok() && org.openTdm(), qPrintable(org.error()));
    QVERIFY(PackageFixture::prepareRaffleTwo(org, PackageFixture::writePictures(org)));
    QVERIFY(org.exec(QStringLiteral("UPDATE CADASTRO SET RIFA_ATIVA=0, NOME_RIFA='PARADA' WHERE CODRIFA=3")));
    QVERIFY(PackageFixture::installPrintModule(org));
    PrintPackage package(org.context());
    org.dialogs.setLenient(true);
    QVERIFY(package.build(m_package.path(), {org.file(QStringLiteral("art/fundo.jpg")),
                                             org.file(QStringLiteral("art/livre1.jpg")),
                                             org.file(QStringLiteral("art/livre2.jpg"))}));
}

void TestPrintModule::init() {
    shop = std::make_unique<TestInstallation>(false);
    const QDir from(m_package.path() + QStringLiteral("/ModuloKorvante"));
    for (const QString &f : from.entryList(QDir::Files))
        QVERIFY(QFile::copy(from.filePath(f), shop->file(f)));
    QVERIFY2(shop->openTdm(), qPrintable(shop->error()));
    watcher = std::make_unique<WindowWatcher>();
}

void TestPrintModule::cleanup() {
    form.reset();
    watcher.reset();
    if (shop) QVERIFY2(shop->dialogs.scriptDone(), qPrintable(shop->dialogs.pendingTexts().join(u'\n')));
    shop.reset();
}

void TestPrintModule::show() {
    form = std::make_unique<TForm_RIFAPrint>(shop->services());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

TForm_pos *TestPrintModule::openDesigner() {
    TForm_pos *designer = nullptr;
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) { designer = static_cast<TForm_pos *>(w); });
    click(child<QLabel>(form.get(), "LBL_Personalizar"));
    return designer;
}

void TestPrintModule::opensWithThePackageRaffle() {
    show();
    QCOMPARE(form->windowTitle(), QStringLiteral("KORVANTE 2.0 - MÓDULO DE IMPRESSÃO EXTERNA"));
    QCOMPARE(form->size(), QSize(970, 670));
    QCOMPARE(child<QLabel>(form.get(), "LBL_RifaUsar")->text(), PackageFixture::raffleName());
    QCOMPARE(child<QLabel>(form.get(), "LBL_Personalizar")->text(), QStringLiteral("Imprimir Rifa"));
    QCOMPARE(form->raffle().CodRifaUsar, QStringLiteral("2"));
    QCOMPARE(form->raffle().TabelaBaseUsar, QStringLiteral("BS4_D"));
    QCOMPARE(form->raffle().TabelaCompradorUsar, QStringLiteral("DADOSCOMPRADOR_2"));
    // The main program's other entries are grey and do nothing; "Cadastrar" only lights up.
    const QColor grey(0x51, 0x51, 0x51);
    auto *cadastrar = child<QLabel>(form.get(), "LBL_CADASTRAR");
    QCOMPARE(cadastrar->palette().color(QPalette::WindowText), grey);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), cadastrar->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(cadastrar, &move);
    QCOMPARE(cadastrar->palette().color(QPalette::WindowText), QColor(0xD0, 0xD2, 0x75));
    for (const char *name : {"LBL_CADASTRAR", "LBL_Validacao", "LBL_Backup", "LBL_Ajuda"})
        click(child<QLabel>(form.get(), name));
    QVERIFY(shop->dialogs.shown.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    click(child<QLabel>(form.get(), "img_fechar"));
    QVERIFY(!form->isVisible());
    QVERIFY(!shop->tdm->CONEX_R().isOpen());
}

void TestPrintModule::controlFileDecidesTheRaffle_data() {
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("error");
    QTest::newRow("no COD_RIFA: raffle 1") << QByteArray("[KORVANTE]\r\n") << "RIFA 1" << false;
    QTest::newRow("inactive raffle") << QByteArray("[KORVANTE]\r\nCOD_RIFA=3\r\n") << "---" << true;
    QTest::newRow("no such raffle") << QByteArray("[KORVANTE]\r\nCOD_RIFA=9\r\n") << "---" << true;
    QTest::newRow("not a number") << QByteArray("[KORVANTE]\r\nCOD_RIFA=2'\r\n") << "---" << true;
}

void TestPrintModule::controlFileDecidesTheRaffle() {
    QFETCH(QByteArray, control);
    QFETCH(QString, label);
    QFETCH(bool, error);
    QVERIFY(shop->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='RIFA 1', RIFA_ATIVA=1 WHERE CODRIFA=1")));
    QFile f(shop->file(QStringLiteral("zqPrint.dll")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(control);
    f.close();
    if (error)
        shop->dialogs.expectMessage(QStringLiteral("A Rifa Selecionada Não está ATIVA no Cadastro de Rifas!"),
                                    BoxIcon::Error);
    show();
    QVERIFY(shop->dialogs.scriptDone());
    QCOMPARE(child<QLabel>(form.get(), "LBL_RifaUsar")->text(), label);
    QCOMPARE(form->raffle().isChosen(), !error);
    if (error) {
        shop->dialogs.expectMessage(kChoose, BoxIcon::Warning);
        click(child<QLabel>(form.get(), "Img_Person"));
    }
}

void TestPrintModule::missingControlFileEndsTheModule() {
    QVERIFY(QFile::remove(shop->file(QStringLiteral("zqPrint.dll"))));
    shop->dialogs.expectMessage(TForm_RIFAPrint::missingControlFileMessage(), BoxIcon::None);
    form = std::make_unique<TForm_RIFAPrint>(shop->services());
    form->show();
    QTRY_VERIFY(!form->isVisible());
    QVERIFY(!shop->tdm->CONEX_R().isOpen());
    QVERIFY(!form->raffle().isChosen());
}

void TestPrintModule::escolherDepoisLeavesNoRaffle() {
    show();
    int confirmed = 0;
    watcher->on(QStringLiteral("TForm_Usar"), [&](QWidget *chooser) {
        auto *list = child<QComboBox>(chooser, "CMB_RIFA");
        QCOMPARE(list->count(), 4); // raffle 3 is inactive
        QCOMPARE(list->currentText(), QStringLiteral("001 - RIFA 1"));
        // CONFIRMAR does nothing here: the chooser stays.
        WindowWatcher::click(chooser, QStringLiteral("BTN_CONFIRMAR"));
        confirmed = chooser->isVisible() ? 1 : -1;
        WindowWatcher::click(chooser, QStringLiteral("BTN_ESCOLHER"));
    });
    click(child<QLabel>(form.get(), "IMG_EscolherRifa"));
    QCOMPARE(confirmed, 1);
    QCOMPARE(child<QLabel>(form.get(), "LBL_RifaUsar")->text(), QStringLiteral("Não Definida"));
    QVERIFY(!form->raffle().isChosen());
    shop->dialogs.expectMessage(kChoose, BoxIcon::Warning);
    click(child<QLabel>(form.get(), "LBL_Personalizar"));
    QVERIFY(shop->dialogs.scriptDone());
}

void TestPrintModule::designerShowsThePackagePictures() {
    show();
    bool checked = false;
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        QCOMPARE(w->windowTitle(), QStringLiteral("KORVANTE - Personalizador - Módulo de Impressão Externa"));
        // The background art fills the outline less 2 pixels, not stretched: its own pixels.
        auto *fundo = child<QLabel>(w, "img_fundo");
        QVERIFY(fundo->isVisible());
        QCOMPARE(fundo->geometry(), QRect(15, 20, 3 * 95 + 78 * 95 / 100 - 2, 3 * 50 + 78 * 50 / 100 - 2));
        const QImage art = fundo->pixmap().toImage();
        QCOMPARE(art.size(), QSize(300, 160));
        QVERIFY(PackageFixture::near(art.pixelColor(20, 20), QColor(200, 30, 30)));
        QVERIFY(PackageFixture::near(art.pixelColor(280, 20), QColor(30, 30, 200)));
        auto *livre1 = child<QLabel>(w, "Img_LIVRE1");
        auto *livre2 = child<QLabel>(w, "IMG_LIVRE2");
        QCOMPARE(livre1->geometry(), QRect(60, 70, 60, 40));
        QCOMPARE(livre2->geometry(), QRect(200, 120, 50, 50));
        QVERIFY(PackageFixture::near(livre1->pixmap().toImage().pixelColor(5, 5), QColor(20, 160, 20)));
        QVERIFY(PackageFixture::near(livre2->pixmap().toImage().pixelColor(40, 5), QColor(250, 120, 0)));
        // Only the ticket label of "0000 - 9999" and its locked options.
        QCOMPARE(child<QLabel>(w, "BilheteNum1")->text(), QStringLiteral("C-0001"));
        QVERIFY(!child<QLineEdit>(w, "DBEdit5")->isEnabled());
        QVERIFY(!child<QLineEdit>(w, "DBEdit6")->isEnabled());
        QVERIFY(w->findChild<QWidget *>(QStringLiteral("Panel_apoio"))->toolTip().contains(
            QStringLiteral("IMPORTANTE: Você está usando um Módulo apenas para Impressão.")));
        checked = true;
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QVERIFY(checked);
    QStringList files = QDir(shop->folder()).entryList({QStringLiteral("imd*")}, QDir::Files);
    files.sort();
    QCOMPARE(files, (QStringList{QStringLiteral("imd0.idx"), QStringLiteral("imd1.idx"), QStringLiteral("imd2.idx")}));
}

void TestPrintModule::brokenPackagePictureIsReportedAndKeepsItsName() {
    QFile broken(shop->file(QStringLiteral("imd1.idx")));
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    QVERIFY(QFile::remove(shop->file(QStringLiteral("imd2.idx"))));
    show();
    shop->dialogs.expectMessage(QString(), BoxIcon::Error);
    shop->dialogs.expectMessage(QString(), BoxIcon::Error);
    bool shownArt = false;
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        shownArt = child<QLabel>(w, "img_fundo")->isVisible() && !child<QLabel>(w, "Img_LIVRE1")->isVisible();
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QVERIFY(shownArt);
    // The files the person lacks are named as the package holds them, and a new package is asked for.
    const QString newPackage = QStringLiteral(" do pacote de impressão (%1). Prepare um novo pacote no "
                                              "computador principal (\"Prepara Módulo de Impressão Externa\") "
                                              "e copie-o para esta pasta.");
    QCOMPARE(shop->dialogs.shown.at(0).text,
             QStringLiteral("Não foi possível carregar a imagem ") +
                 QDir::toNativeSeparators(shop->file(QStringLiteral("imd1.idx"))) +
                 newPackage.arg(QStringLiteral("o arquivo está danificado ou não é uma imagem")));
    QCOMPARE(shop->dialogs.shown.at(1).text,
             QStringLiteral("Não foi possível carregar a imagem ") +
                 QDir::toNativeSeparators(shop->file(QStringLiteral("imd2.idx"))) +
                 newPackage.arg(QStringLiteral("o arquivo não existe")));
    QVERIFY(QFile::exists(shop->file(QStringLiteral("imd1.idx"))));
    QVERIFY(QFile::exists(shop->file(QStringLiteral("imd0.idx"))));
    QVERIFY(QDir(shop->folder()).entryList({QStringLiteral("*.jpg")}, QDir::Files).isEmpty());
}

void TestPrintModule::lockedSettingsAreRefused_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("warns");
    QTest::newRow("Número de Colunas por Folha") << "DBC_NumColuna" << "QT_COL_FOLHA" << true;
    QTest::newRow("Usar Nº de Controle do BIlhete") << "DBComboBox2" << "USAR_NUM_ID_BILHETE" << true;
    QTest::newRow("Usar Identificador de Autenticação") << "DBComboBox3" << "USAR_AUTENTIC" << true;
    QTest::newRow("Usar Qts Cod. de Barra") << "DBComboBox1" << "USAR_CBARRA" << false;
}

void TestPrintModule::lockedSettingsAreRefused() {
    QFETCH(QString, list);
    QFETCH(QString, column);
    QFETCH(bool, warns);
    show();
    const QVariant before =
        shop->scalar(QStringLiteral("SELECT %1 FROM CADASTRO WHERE CODRIFA=2").arg(column));
    QString shownBefore, shownAfter;
    bool saveOffered = true;
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        auto *box = w->findChild<QComboBox *>(list);
        shownBefore = box->currentText();
        if (warns) shop->dialogs.expectMessage(kRefusal, BoxIcon::Warning);
        box->setFocus();
        QTest::keyClick(box, shownBefore == box->itemText(0) ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(shop->dialogs.scriptDone());
        shownAfter = box->currentText();
        saveOffered = child<QToolButton>(w, "botaoSalvarAtivo")->isVisible();
        // The other refused operations of the settings panel.
        shop->dialogs.expectMessage(kRefusal, BoxIcon::Warning);
        click(child<QPushButton>(w, "Button3"));
        click(child<QToolButton>(w, "Image54"));
        shop->dialogs.expectMessage(kRefusal, BoxIcon::Warning);
        click(child<QPushButton>(w, "BTN_ObterImagem"));
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QCOMPARE(shownAfter, shownBefore);
    QVERIFY(!saveOffered);
    QCOMPARE(shop->scalar(QStringLiteral("SELECT %1 FROM CADASTRO WHERE CODRIFA=2").arg(column)), before);
}

void TestPrintModule::runAcceptsAnyRangeAndQueuesTheTickets() {
    show();
    const QString pdf = shop->file(QStringLiteral("bilhetes.pdf"));
    int queued = -1, pages = -1;
    watcher->on(QStringLiteral("TForm_Visualizar"), [&](QWidget *preview) {
        queued = printScalar(*shop->tdm, QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt();
        pages = child<QLabel>(preview, "LBL_Pagina")->text().split(u' ').last().toInt();
        shop->dialogs.expectFileChoice(QStringLiteral("save"), pdf);
        click(child<QPushButton>(preview, "BTN_SalvarPDF"));
        click(child<QPushButton>(preview, "BTN_Fechar"));
    });
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        auto *designer = static_cast<TForm_pos *>(w);
        click(child<QToolButton>(w, "BOTAO_IMPRIMIR"));
        shop->dialogs.expectMessage(kWhatsRefusal, BoxIcon::Warning);
        click(child<QToolButton>(w, "img_whats"));
        QVERIFY(QDir(shop->folder()).entryList({QStringLiteral("RifaWhatsApp")}, QDir::Dirs).isEmpty());
        retype(designer->Edit_DE, QStringLiteral("1"));
        retype(designer->Edit_ATE, QStringLiteral("5000"));
        click(child<QToolButton>(w, "Img_botaoImprimir"));
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QCOMPARE(queued, 2500);
    QCOMPARE(pages, 2500 / 2 / 5); // two columns of five 192-pixel tickets
    QVERIFY(QFile(pdf).size() > 0);
    QCOMPARE(printScalar(*shop->tdm, QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")).toInt(), 0);
}

void TestPrintModule::saveGoesIntoThePackageOnly() {
    show();
    const QVariant copied = printScalar(*shop->tdm, QStringLiteral("SELECT ART_EXTENDIDA FROM CADASTRO_TEMP WHERE CODRIFA=2"));
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        click(child<QCheckBox>(w, "DBCheckBox2"));
        shop->dialogs.expectQuestion(QStringLiteral("Existem dados na Rifa a serem Gravados. Deseja Gravar?"), true,
                                     QStringLiteral("Korvante"));
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QCOMPARE(shop->scalar(QStringLiteral("SELECT ART_EXTENDIDA FROM CADASTRO WHERE CODRIFA=2")).toString().trimmed(),
             QStringLiteral("S"));
    QCOMPARE(printScalar(*shop->tdm, QStringLiteral("SELECT ART_EXTENDIDA FROM CADASTRO_TEMP WHERE CODRIFA=2")),
             copied);
}

void TestPrintModule::guideLinesAreShortMarks() {
    TicketLayout layout;
    layout.usarTextoBas = 1;
    layout.dimBilheteAlt = 50;
    layout.dimBilheteComp = 95;
    layout.outline = QSize(359, 189);
    QueuedTicket t;
    t.numBilhete = 1;
    const QColor guide = TicketLayout::colour(9080209);
    const auto guidePixels = [&](bool printModule, QRect where) {
        TicketSheet sheet(layout, 4);
        sheet.setPrintModuleGuides(printModule);
        sheet.setTickets({t});
        const QImage page = sheet.pageImage(0);
        const QPoint o = sheet.bandOrigin(0);
        int n = 0;
        for (int y = where.top(); y <= where.bottom(); ++y)
            for (int x = where.left(); x <= where.right(); ++x)
                if (PackageFixture::near(page.pixelColor(o + QPoint(x, y)), guide, 40)) ++n;
        return n;
    };
    const int x0 = 15 + 359 - 25;
    // Down the middle of the 9 x 33 box at top 82, dash-dot: marked, but not all the way.
    const int vertical = guidePixels(true, QRect(x0, 82, 9, 33));
    QVERIFY2(vertical > 10 && vertical < 33, qPrintable(QString::number(vertical)));
    QCOMPARE(guidePixels(true, QRect(x0, 20, 9, 60)), 0);
    // Both ends of the band's foot, and nothing between them.
    QVERIFY(guidePixels(true, QRect(0, 184, 33, 8)) > 10);
    QVERIFY(guidePixels(true, QRect(329, 184, 30, 8)) > 10);
    QCOMPARE(guidePixels(true, QRect(40, 184, 280, 8)), 0);
    // The main program's long guide runs under the whole foot.
    QVERIFY(guidePixels(false, QRect(40, 184, 280, 8)) > 50);
}

void TestPrintModule::designerStoresAndPrintsWhatItShows() {
    using namespace DesignerElements;
    // The package's raffle with options never placed (control number "1", authentication code, a
    // barcode), an 80 mm ticket, and free image 1's package file gone.
    QVERIFY(
        shop->exec(QStringLiteral("UPDATE CADASTRO SET POS_NUMBILHETE_L=NULL, POS_NUMBILHETE_T=NULL, "
                                  "USAR_AUTENTIC='S', USAR_CBARRA=1, DIM_BILHETE_ALT=80 WHERE CODRIFA=2")));
    QVERIFY(QFile::remove(shop->file(QStringLiteral("imd1.idx"))));
    const QList<Element> elements = {controlNumber(), number(1),  number(2),  number(3),
                                     number(4),       barcode1(), authCode(), freeImage(2, Ink::dark)};
    const auto shownIn = [&](QWidget *w) {
        QHash<QString, QPoint> shown;
        for (const Element &e : elements) {
            auto *c = w->findChild<QWidget *>(QLatin1String(e.control));
            if (c && c->isVisible()) shown.insert(QLatin1String(e.control), c->pos());
        }
        return shown;
    };
    const auto pick = [](QComboBox *box, int steps) {
        box->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    };
    show();

    QHash<QString, QPoint> shown;
    shop->dialogs.expectMessage(QString(), BoxIcon::Error);
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        // Red control number, blue numbers, number 3 dragged; then closed saving.
        pick(child<QComboBox>(w, "CMB_COR_ID_BIL"), 9);
        pick(child<QComboBox>(w, "CMB_COR_NUM"), 12);
        QWidget *n3 = child<QWidget>(w, "NumB3");
        const QPointF local(3, 3);
        QMouseEvent press(QEvent::MouseButtonPress, local, n3->mapToGlobal(local), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(n3, &press);
        QMouseEvent move(QEvent::MouseMove, local + QPointF(-30, 9), n3->mapToGlobal(local) + QPointF(-30, 9),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(n3, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, local, n3->mapToGlobal(local), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(n3, &release);
        shown = shownIn(w);
        shop->dialogs.expectQuestion(QStringLiteral("Existem dados na Rifa a serem Gravados. Deseja Gravar?"),
                                     true, QStringLiteral("Korvante"));
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QCOMPARE(shown.size(), elements.size());
    QCOMPARE(shown.value(QStringLiteral("BilheteNum1")), TicketLayout::DefaultTicketId);
    QCOMPARE(shown.value(QStringLiteral("Num_Autentic")), TicketLayout::DefaultAuthCode);
    QCOMPARE(shown.value(QStringLiteral("NumB3")), TicketLayout::defaultNumberPos(3) + QPoint(-30, 9));
    // The package's database keeps every shown place, and free image 1 keeps its own.
    for (const Element &e : elements) {
        const QPoint stored(
            shop->scalar(
                    QStringLiteral("SELECT %1_L FROM CADASTRO WHERE CODRIFA=2").arg(QLatin1String(e.columns)))
                .toInt(),
            shop->scalar(
                    QStringLiteral("SELECT %1_T FROM CADASTRO WHERE CODRIFA=2").arg(QLatin1String(e.columns)))
                .toInt());
        QVERIFY2(stored.x() >= 1, e.columns);
        QCOMPARE(stored, shown.value(QLatin1String(e.control)));
    }
    QCOMPARE(shop->scalar(QStringLiteral("SELECT IMG_LIVRE1_L FROM CADASTRO WHERE CODRIFA=2")).toInt(), 60);
    QCOMPARE(shop->scalar(QStringLiteral("SELECT IMG_LIVRE1_T FROM CADASTRO WHERE CODRIFA=2")).toInt(), 70);

    // Opened again: the same places, and the printed page draws them there.
    QHash<QString, QPoint> again;
    QImage page;
    shop->dialogs.expectMessage(QString(), BoxIcon::Error);
    watcher->on(QStringLiteral("TForm_Visualizar"), [&](QWidget *preview) {
        page = child<QLabel>(preview, "IMG_Pagina")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        click(child<QPushButton>(preview, "BTN_Fechar"));
    });
    watcher->on(QStringLiteral("TForm_pos"), [&](QWidget *w) {
        auto *designer = static_cast<TForm_pos *>(w);
        again = shownIn(w);
        click(child<QToolButton>(w, "BOTAO_IMPRIMIR"));
        retype(designer->Edit_DE, QStringLiteral("1"));
        retype(designer->Edit_ATE, QStringLiteral("1"));
        click(child<QToolButton>(w, "Img_botaoImprimir"));
        click(child<QToolButton>(w, "img_fecharPOS"));
    });
    click(child<QLabel>(form.get(), "Img_Person"));
    QCOMPARE(again, shown);
    QList<Element> printed = elements;
    printed.removeAt(6); // the authentication code prints only on ticket pictures
    comparePrinted(page, printed, shown, QStringLiteral("página do módulo"));
    QCOMPARE(shop->scalar(QStringLiteral("SELECT IMG_LIVRE1_L FROM CADASTRO WHERE CODRIFA=2")).toInt(), 60);
}

KORVANTE_TEST(TestPrintModule)
#include "TestPrintModule.moc"
