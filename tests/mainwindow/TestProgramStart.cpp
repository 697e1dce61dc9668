#include "data/TDM.h"
#include "support/ProgramProcesses.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <csignal>

// The programs of the build started from a prepared program folder, as a person starts them.
class TestProgramStart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void printModuleTakesOverTheDatabases();
    void terminationClosesTheProgramCleanly_data();
    void terminationClosesTheProgramCleanly();
    void terminationWhileTheServerNoticeWaitsEndsAtOnce();

private:
    static bool holdsBothDatabases(qint64 pid, const TestInstallation &inst) {
        const QStringList open = ProgramProcesses::openFiles(pid);
        return open.contains(inst.file(QStringLiteral("CRF.XML"))) &&
               open.contains(inst.file(QStringLiteral("ID_BASE.FDB")));
    }
    // A program folder prepared by the preparation tool: this process never opens its files while
    // the programs run.
    static void prepare(TestInstallation &inst) {
        QProcess tool;
        tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("criar"), inst.folder()});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
    }
};

void TestProgramStart::printModuleTakesOverTheDatabases() {
    TestInstallation inst(false);
    prepare(inst);
    const QString korvante = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), inst.folder());
    const QString printModule =
        ProgramProcesses::copyProgram(QStringLiteral("Korvante_moduloPrint/Korvante_PRINT"), inst.folder());
    QVERIFY(!korvante.isEmpty() && !printModule.isEmpty());

    QProcess main;
    main.start(korvante, {});
    QVERIFY(main.waitForFinished(60000));
    QCOMPARE(main.exitStatus(), QProcess::NormalExit);
    QCOMPARE(main.exitCode(), 0);

    // The print module comes up with its main window open on both databases, and stays.
    qint64 pid = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QList<qint64> pids = ProgramProcesses::running(printModule);
            pid = pids.isEmpty() ? 0 : pids.first();
            return pid && holdsBothDatabases(pid, inst);
        }(),
        30000);
    QTest::qWait(1500);
    QVERIFY(ProgramProcesses::alive(pid));
    QVERIFY(holdsBothDatabases(pid, inst));
    QVERIFY(ProgramProcesses::stop(pid));
}

void TestProgramStart::terminationClosesTheProgramCleanly_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM (logout, shutdown)") << int(SIGTERM);
    QTest::newRow("SIGHUP (terminal closed)") << int(SIGHUP);
}

void TestProgramStart::terminationClosesTheProgramCleanly() {
    QFETCH(int, signal);
    TestInstallation inst(false);
    prepare(inst);
    const QString korvante = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), inst.folder());
    QProcess main;
    main.start(korvante, {});
    QVERIFY(main.waitForStarted());
    // Up with both databases open, then the raffle chooser opens over the menu.
    QTRY_VERIFY_WITH_TIMEOUT(holdsBothDatabases(main.processId(), inst), 30000);
    QTest::qWait(1500);
    ::kill(pid_t(main.processId()), signal);
    QVERIFY(main.waitForFinished(20000));
    QCOMPARE(main.exitStatus(), QProcess::NormalExit);
    QCOMPARE(main.exitCode(), 0);
    // The files are free and whole: this program opens and changes them at once.
    QVERIFY2(inst.openTdm(), qPrintable(inst.error()));
    QVERIFY(inst.exec(QStringLiteral("UPDATE CADASTRO SET NOME_RIFA='DEPOIS' WHERE CODRIFA=1")));
    QCOMPARE(inst.count(QStringLiteral("CADASTRO")), 5);
}

void TestProgramStart::terminationWhileTheServerNoticeWaitsEndsAtOnce() {
    TestInstallation inst(false);
    prepare(inst);
    {
        // Nothing listens on port 1 of the loopback: the notice that the local files will be used
        // comes up at once and waits for a person.
        QFile config(inst.file(QStringLiteral("config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write("[BANCO]\r\nNOME_SERVIDOR=127.0.0.1/1\r\nCAMINHO_BD_MAQ=/srv/rifas\r\n");
    }
    const QString korvante = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), inst.folder());
    QProcess main;
    main.start(korvante, {});
    QVERIFY(main.waitForStarted());
    QTest::qWait(3000);
    QCOMPARE(main.state(), QProcess::Running);
    QVERIFY(!ProgramProcesses::openFiles(main.processId()).contains(inst.file(QStringLiteral("CRF.XML"))));
    ::kill(pid_t(main.processId()), SIGTERM);
    const bool ended = main.waitForFinished(10000);
    if (!ended) main.kill();
    QVERIFY2(ended, "the program still waits with its notice open");
    QCOMPARE(main.exitStatus(), QProcess::NormalExit);
    QCOMPARE(main.exitCode(), 0);
}

KORVANTE_TEST(TestProgramStart)
#include "TestProgramStart.moc"
