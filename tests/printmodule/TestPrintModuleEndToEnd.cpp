#include "layout/PrintPackage.h"
#include "support/PackageFixture.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

namespace {

QMap<QString, QString> readLog(const QString &path) {
    QMap<QString, QString> values;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return values;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return values;
}

} // namespace

// The package written by the main program, laid into a fresh program folder beside a main program:
// the real Korvante hands over to the real Korvante_PRINT, which a person then drives (the driver
// loaded into it clicks and types, and writes down what the screens show).
class TestPrintModuleEndToEnd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainProgramHandsOverAndTheModulePrints();
};

void TestPrintModuleEndToEnd::mainProgramHandsOverAndTheModulePrints() {
    QTemporaryDir pendrive;
    {
        TestInstallation org;
        QVERIFY2(org.ok() && org.openTdm(), qPrintable(org.error()));
        QVERIFY(PackageFixture::prepareRaffleTwo(org, PackageFixture::writePictures(org)));
        QVERIFY(PackageFixture::installPrintModule(org));
        PrintPackage package(org.context());
        org.dialogs.expectMessage(PrintPackage::successMessage(), BoxIcon::Information);
        QVERIFY(package.build(pendrive.path(), {org.file(QStringLiteral("art/fundo.jpg")),
                                                org.file(QStringLiteral("art/livre1.jpg")),
                                                org.file(QStringLiteral("art/livre2.jpg"))}));
    }

    // A fresh installation of the main program, its databases made by the preparation tool.
    TestInstallation shop(false);
    QProcess tool;
    tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("criar"), shop.folder()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QString korvante = shop.file(QStringLiteral("Korvante"));
    QVERIFY(QFile::copy(QStringLiteral(KORVANTE_APP_DIR "/Korvante"), korvante));
    // The package's whole content copied over it, replacing its files.
    const QDir package(pendrive.path() + QStringLiteral("/ModuloKorvante"));
    for (const QString &f : package.entryList(QDir::Files)) {
        QFile::remove(shop.file(f));
        QVERIFY(QFile::copy(package.filePath(f), shop.file(f)));
    }

    QTemporaryDir out;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KORVANTE_PRINT_DRIVER));
    env.insert(QStringLiteral("KORVANTE_DRIVER_OUT"), out.path());
    QProcess main;
    main.setProcessEnvironment(env);
    main.setStandardOutputFile(QProcess::nullDevice());
    main.setStandardErrorFile(out.filePath(QStringLiteral("stderr.txt")));
    main.start(korvante, {});
    QVERIFY(main.waitForFinished(60000));
    QCOMPARE(main.exitStatus(), QProcess::NormalExit);
    QCOMPARE(main.exitCode(), 0);

    const QString logPath = out.filePath(QStringLiteral("log.txt"));
    QElapsedTimer waited;
    waited.start();
    while (!readLog(logPath).contains(QStringLiteral("done")) && !readLog(logPath).contains(QStringLiteral("timeout")) &&
           waited.elapsed() < 150000)
        QTest::qWait(200);
    if (!readLog(logPath).contains(QStringLiteral("done"))) {
        QFile log(logPath), err(out.filePath(QStringLiteral("stderr.txt")));
        log.open(QIODevice::ReadOnly);
        err.open(QIODevice::ReadOnly);
        QFAIL(qPrintable(QStringLiteral("The print module did not finish.\nSeen:\n%1\nstderr:\n%2")
                             .arg(QString::fromUtf8(log.readAll()), QString::fromUtf8(err.readAll().right(3000)))));
    }
    const QMap<QString, QString> seen = readLog(logPath);
    // The module ends when its window is closed, letting go of the folder's files.
    const QString pid = seen.value(QStringLiteral("started"));
    QVERIFY(!pid.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/") + pid), 30000);
    QVERIFY2(!seen.contains(QStringLiteral("timeout")), qPrintable(seen.value(QStringLiteral("timeout"))));
    QCOMPARE(seen.value(QStringLiteral("program")), PrintPackage::printModuleFileName());
    QCOMPARE(seen.value(QStringLiteral("title")), QStringLiteral("KORVANTE 2.0 - MÓDULO DE IMPRESSÃO EXTERNA"));
    QCOMPARE(seen.value(QStringLiteral("label")), PackageFixture::raffleName());
    QCOMPARE(seen.value(QStringLiteral("designer")),
             QStringLiteral("KORVANTE - Personalizador - Módulo de Impressão Externa"));

    // The pictures came from the .idx files and carry those names again.
    QCOMPARE(seen.value(QStringLiteral("fundoVisible")), QStringLiteral("1"));
    const QImage fundo(out.filePath(QStringLiteral("fundo.png")));
    QCOMPARE(fundo.size(), QSize(300, 160));
    QVERIFY(PackageFixture::near(fundo.pixelColor(20, 20), QColor(200, 30, 30)));
    QVERIFY(PackageFixture::near(fundo.pixelColor(20, 140), QColor(30, 30, 200)));
    const QImage livre1(out.filePath(QStringLiteral("livre1.png")));
    QCOMPARE(livre1.size(), QSize(60, 40));
    QVERIFY(PackageFixture::near(livre1.pixelColor(50, 5), QColor(240, 240, 20)));
    const QString idx = QStringLiteral("imd0.idx,imd1.idx,imd2.idx");
    QCOMPARE(seen.value(QStringLiteral("picturesOpen")), idx);
    QCOMPARE(seen.value(QStringLiteral("picturesAfter")), idx);

    // "Número de Colunas por Folha" is refused and keeps its value.
    QCOMPARE(seen.value(QStringLiteral("columnsBox")),
             QStringLiteral("KORVANTE|Não é permitido fazer essa alteração pelo Módulo de Impressão Externa. Faça "
                            "a alteração no KORVANTE principal e gere novamente o Módulo de Impressão Externa!"));
    QCOMPARE(seen.value(QStringLiteral("columnsBefore")), QStringLiteral("2"));
    QCOMPARE(seen.value(QStringLiteral("columnsAfter")), QStringLiteral("2"));

    // 1 to 5000 in a raffle of 2500 tickets: the 2500 tickets, two columns of five a page, to PDF.
    QCOMPARE(seen.value(QStringLiteral("queued")), QStringLiteral("2500"));
    QCOMPARE(seen.value(QStringLiteral("pages")), QStringLiteral("Página 1 de 250"));
    QFile pdf(out.filePath(QStringLiteral("bilhetes.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdf.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QVERIFY(pdfBytes.contains("/Count 250"));

    // "Escolher Depois" leaves no raffle, and "Imprimir Rifa" asks for one.
    QCOMPARE(seen.value(QStringLiteral("labelAfterChooser")), QStringLiteral("Não Definida"));
    QCOMPARE(seen.value(QStringLiteral("noRaffleBox")), QStringLiteral("KORVANTE|Favor escolha uma Rifa a Trabalhar..."));
}

KORVANTE_TEST(TestPrintModuleEndToEnd)
#include "TestPrintModuleEndToEnd.moc"
