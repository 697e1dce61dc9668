#include "data/TDM.h"
#include "layout/PrintPackage.h"
#include "layout/TForm_ModuloPrint.h"
#include "layout/TForm_pos.h"
#include "platform/ProfileFile.h"
#include "support/PackageFixture.h"
#include "support/TestFirebirdServer.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"
#include "support/WindowWatcher.h"

#include "data/DatabaseFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

namespace {

QByteArray bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// NOME_RIFA of raffle 2 in a copy of CRF.XML, read over a connection of its own.
QString raffleNameIn(const QString &crf) {
    QString name, error;
    if (TDM::openConnection(QStringLiteral("package"), crf, &error)) {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("package")));
        if (q.exec(QStringLiteral("select NOME_RIFA from CADASTRO where CODRIFA=2")) && q.next())
            name = q.value(0).toString();
    } else {
        qWarning() << error;
    }
    QSqlDatabase::database(QStringLiteral("package"), false).close();
    QSqlDatabase::removeDatabase(QStringLiteral("package"));
    return name;
}

} // namespace

class TestPrintPackage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void packageForRaffleTwoFromTheDesigner();
    void picturesTakenOnlyWhenSet_data();
    void picturesTakenOnlyWhenSet();
    void chosenFolderGetsOneSeparator_data();
    void chosenFolderGetsOneSeparator();
    void driveRootFromTheFolderList();
    void folderThatCannotBeRemovedWritesNothing();
    void controlFileKeepsItsOtherKeys();
    void serverDatabasesStayOutOfThePackage();

private:
    void openDesigner();
    // "Gerar Módulo para Impressão Externa" from the options menu; the builder is driven by act.
    void fromOptionsMenu(const std::function<void(TForm_ModuloPrint *)> &act);
    void buildInto(const QString &folder);
    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<TForm_pos> designer;
    std::unique_ptr<WindowWatcher> watcher;
    QStringList pictures;
    QString target;
};

void TestPrintPackage::init() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok() && inst->openTdm(), qPrintable(inst->error()));
    pictures = PackageFixture::writePictures(*inst);
    QVERIFY(PackageFixture::prepareRaffleTwo(*inst, pictures));
    QVERIFY(PackageFixture::installPrintModule(*inst));
    target = inst->file(QStringLiteral("pendrive"));
    QVERIFY(QDir().mkpath(target));
    watcher = std::make_unique<WindowWatcher>();
}

void TestPrintPackage::cleanup() {
    designer.reset();
    watcher.reset();
    if (inst) QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
    inst.reset();
}

void TestPrintPackage::openDesigner() {
    QString error;
    QVERIFY2(inst->tdm->loadRaffleRow(2, &error), qPrintable(error));
    designer = std::make_unique<TForm_pos>(inst->context());
    designer->show();
    QVERIFY(QTest::qWaitForWindowExposed(designer.get()));
}

void TestPrintPackage::fromOptionsMenu(const std::function<void(TForm_ModuloPrint *)> &act) {
    bool driven = false;
    watcher->on(QStringLiteral("TForm_ModuloPrint"), [&](QWidget *w) {
        act(static_cast<TForm_ModuloPrint *>(w));
        driven = true;
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QTest::mouseClick(designer->findChild<QToolButton *>(QStringLiteral("BOTAO_OPCOES")), Qt::LeftButton);
    auto *menu = designer->findChild<QMenu *>(QStringLiteral("Pop"));
    QTRY_VERIFY(menu->isVisible());
    QAction *entry = nullptr;
    for (QAction *a : menu->actions())
        if (a->text() == QStringLiteral("Gerar Módulo para Impressão Externa")) entry = a;
    QVERIFY(entry);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    QTRY_VERIFY(driven);
    QTRY_VERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == designer.get());
}

void TestPrintPackage::buildInto(const QString &folder) {
    fromOptionsMenu([&](TForm_ModuloPrint *builder) {
        PackageFixture::walkTo(builder->findChild<QListWidget *>(QStringLiteral("DirectoryListBox1")), folder);
        QCOMPARE(builder->currentFolder(), folder);
        QTest::mouseClick(builder->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
}

void TestPrintPackage::packageForRaffleTwoFromTheDesigner() {
    openDesigner();
    inst->dialogs.expectMessage(PrintPackage::successMessage(), BoxIcon::Information);
    int gauge = -1;
    fromOptionsMenu([&](TForm_ModuloPrint *builder) {
        QCOMPARE(builder->windowTitle(), QStringLiteral("KORVANTE - Gerando Módulo de Impressão Externa"));
        QCOMPARE(builder->size(), QSize(638, 548));
        PackageFixture::walkTo(builder->findChild<QListWidget *>(QStringLiteral("DirectoryListBox1")), target);
        QTest::mouseClick(builder->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        gauge = builder->findChild<QProgressBar *>(QStringLiteral("Gauge1"))->value();
    });
    QVERIFY(inst->dialogs.scriptDone());
    QCOMPARE(gauge, 100);

    const QString package = target + QStringLiteral("/ModuloKorvante");
    const QString module = PrintPackage::printModuleFileName();
    QStringList expected = {QStringLiteral("CRF.XML"), QStringLiteral("ID_BASE.FDB"), module, QStringLiteral("imd0.idx"),
                            QStringLiteral("imd1.idx"), QStringLiteral("imd2.idx"), QStringLiteral("zqPrint.dll")};
    expected.sort();
    QCOMPARE(filesIn(package), expected);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(bytes(package + QStringLiteral("/imd%1.idx").arg(i)), bytes(pictures[i]));
    QCOMPARE(bytes(package + u'/' + module), bytes(PrintPackage::installedPrintModule(inst->folder())));
    QVERIFY(QFileInfo(package + u'/' + module).isExecutable());
    // The control file stays in the program folder and its copy names raffle 2.
    QCOMPARE(bytes(package + QStringLiteral("/zqPrint.dll")), QByteArray("[KORVANTE]\r\nCOD_RIFA=2\r\n"));
    QCOMPARE(bytes(inst->file(QStringLiteral("zqPrint.dll"))), bytes(package + QStringLiteral("/zqPrint.dll")));
    QCOMPARE(raffleNameIn(package + QStringLiteral("/CRF.XML")), PackageFixture::raffleName());

    // Both connections are open again: the designer still saves, and prints.
    QVERIFY(inst->tdm->CONEX_R().isOpen() && inst->tdm->CONEX_PRINT().isOpen());
    QTest::mouseClick(designer->findChild<QCheckBox *>(QStringLiteral("DBCheckBox2")), Qt::LeftButton);
    QTest::mouseClick(designer->findChild<QToolButton *>(QStringLiteral("botaoSalvarAtivo")), Qt::LeftButton);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT ART_EXTENDIDA FROM CADASTRO WHERE CODRIFA=2")).toString().trimmed(),
             QStringLiteral("S"));
    QSqlQuery q(inst->tdm->CONEX_PRINT());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM TAB_PRN")));
}

void TestPrintPackage::picturesTakenOnlyWhenSet_data() {
    QTest::addColumn<bool>("fundo");
    QTest::addColumn<bool>("livres");
    QTest::addColumn<QStringList>("idx");
    QTest::newRow("background art only") << true << false << QStringList{QStringLiteral("imd0.idx")};
    QTest::newRow("no picture at all") << false << false << QStringList{};
    QTest::newRow("free images only")
        << false << true << QStringList{QStringLiteral("imd1.idx"), QStringLiteral("imd2.idx")};
}

// Building again replaces the earlier package completely, stale pictures included.
void TestPrintPackage::picturesTakenOnlyWhenSet() {
    QFETCH(bool, fundo);
    QFETCH(bool, livres);
    QFETCH(QStringList, idx);
    const QString package = target + QStringLiteral("/ModuloKorvante");
    QVERIFY(QDir().mkpath(package));
    for (const char *stale : {"imd0.idx", "imd1.idx", "imd2.idx", "old.txt"}) {
        QFile f(package + u'/' + QLatin1String(stale));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier package");
    }
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET ART_FUNDO=?, IMG_LIVRE1=?, IMG_LIVRE2=? WHERE CODRIFA=2"),
                       {fundo ? pictures[0] : QString(), livres ? pictures[1] : QString(),
                        livres ? pictures[2] : QString()}));
    openDesigner();
    inst->dialogs.expectMessage(PrintPackage::successMessage(), BoxIcon::Information);
    buildInto(target);
    const QStringList files = filesIn(package);
    QStringList pictureFiles;
    for (const QString &f : files)
        if (f.endsWith(QLatin1String(".idx"))) pictureFiles << f;
    QCOMPARE(pictureFiles, idx);
    QVERIFY(!files.contains(QStringLiteral("old.txt")));
    for (const QString &f : pictureFiles)
        QVERIFY(bytes(package + u'/' + f) != "earlier package");
}

void TestPrintPackage::chosenFolderGetsOneSeparator_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("package");
    QTest::newRow("drive root") << "/" << "/ModuloKorvante";
    QTest::newRow("pen drive mount point") << "/media/pen/" << "/media/pen/ModuloKorvante";
    QTest::newRow("folder") << "/media/pen/Rifas" << "/media/pen/Rifas/ModuloKorvante";
}

void TestPrintPackage::chosenFolderGetsOneSeparator() {
    QFETCH(QString, chosen);
    QFETCH(QString, package);
    QCOMPARE(PrintPackage::packageFolder(chosen), package);
}

void TestPrintPackage::driveRootFromTheFolderList() {
    TForm_ModuloPrint builder(inst->context(), {});
    builder.show();
    QVERIFY(QTest::qWaitForWindowExposed(&builder));
    QCOMPARE(builder.currentFolder(), QDir(inst->folder()).absolutePath());
    auto *list = builder.findChild<QListWidget *>(QStringLiteral("DirectoryListBox1"));
    const QString root = list->item(0)->data(Qt::UserRole).toString();
    PackageFixture::doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
    QCOMPARE(builder.currentFolder(), root);
    QVERIFY(!PrintPackage::packageFolder(builder.currentFolder()).contains(QStringLiteral("//")));
    // The list now shows the root's own folders.
    QVERIFY(list->count() > 1);
}

void TestPrintPackage::folderThatCannotBeRemovedWritesNothing() {
    const QString package = target + QStringLiteral("/ModuloKorvante");
    QVERIFY(QDir().mkpath(package + QStringLiteral("/aberta")));
    openDesigner();
    inst->dialogs.expectMessage(PrintPackage::removeFailedMessage(), BoxIcon::Error, QStringLiteral("QUELMARO 6"));
    inst->dialogs.expectMessage(PrintPackage::createFailedMessage(), BoxIcon::Error);
    buildInto(target);
    QCOMPARE(filesIn(package), QStringList{QStringLiteral("aberta")});
    QVERIFY(!QFile::exists(inst->file(QStringLiteral("zqPrint.dll"))));
}

void TestPrintPackage::controlFileKeepsItsOtherKeys() {
    const QByteArray before = "; gerado pelo KORVANTE\r\n[KORVANTE]\r\nVERSAO=2.0\r\nCOD_RIFA=5\r\n"
                              "[OUTRA]\r\nCOD_RIFA=9\r\n";
    QFile f(inst->file(QStringLiteral("zqPrint.dll")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    PrintPackage package(inst->context());
    inst->dialogs.expectMessage(PrintPackage::successMessage(), BoxIcon::Information);
    QVERIFY(package.build(target, {}));
    QByteArray after = before;
    after.replace("COD_RIFA=5", "COD_RIFA=2");
    QCOMPARE(bytes(inst->file(QStringLiteral("zqPrint.dll"))), after);
    QCOMPARE(bytes(target + QStringLiteral("/ModuloKorvante/zqPrint.dll")), after);
}

void TestPrintPackage::serverDatabasesStayOutOfThePackage() {
    TestFirebirdServer server;
    QString error;
    QVERIFY2(DatabaseFiles::createInFolder(server.dataFolder(), &error), qPrintable(error));
    QVERIFY2(server.start(&error), qPrintable(error));
    QFile ini(inst->file(QStringLiteral("config.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=%2\r\n")
                  .arg(server.connectionHost(), server.dataFolder())
                  .toLocal8Bit());
    ini.close();
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(inst->tdm->mainPath().startsWith(server.connectionHost()));
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='NO SERVIDOR' WHERE CODRIFA=2")));

    PrintPackage package(inst->context());
    inst->dialogs.expectMessage(PrintPackage::successMessage(), BoxIcon::Information);
    QVERIFY(package.build(target, {}));
    const QString copy = target + QStringLiteral("/ModuloKorvante/");
    QCOMPARE(bytes(copy + QStringLiteral("ID_BASE.FDB")), bytes(inst->file(QStringLiteral("ID_BASE.FDB"))));
    // The server is still the one the program works on.
    QVERIFY(inst->exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='DE NOVO' WHERE CODRIFA=2")));
    inst->tdm.reset();
    server.stop();
    QCOMPARE(raffleNameIn(copy + QStringLiteral("CRF.XML")), PackageFixture::raffleName());
}

KORVANTE_TEST(TestPrintPackage)
#include "TestPrintPackage.moc"
