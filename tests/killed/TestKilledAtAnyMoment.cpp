#include "data/DatabaseCreator.h"
#include "data/TDM.h"
#include "sales/SalesFixture.h"
#include "sales/ValidationFile.h"
#include "support/ProgramProcesses.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>

// A program ended in the middle of a sale (the task manager, a crash): another program selling a
// sequence, or importing a validation file, is killed (SIGKILL) at a moment from a fixed table, after the n-th committed ticket
// or record or after a fixed delay. The database keeps whole sales only, a buyer row always with its
// mark, keeps every sale the program reported as done, and the program starts on it afterwards as on
// any other day.
class TestKilledAtAnyMoment : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void killedSequenceKeepsEveryCommittedTicket_data();
    void killedSequenceKeepsEveryCommittedTicket();
    void killedImportLeavesWholeBatches_data();
    void killedImportLeavesWholeBatches();

private:
    struct Run {
        bool killed = false;
        QList<int> reported; // tickets the program said were sold
        QString boxes;       // what it would have shown a person
    };
    // Runs the other program with the folder; kills it once it printed the line `killAt`, or once
    // delayMs passed since it started selling (its READY answered) or importing.
    Run runWorker(const QStringList &args, const QByteArray &killAt, int delayMs);
    int count(const QString &sql) { return inst->scalar(sql).toInt(); }
    // Every buyer row with its mark and every mark with its buyer row; returns the rows.
    int wholeSales();
    // The program of the build opens the folder with no message about the database and ends cleanly.
    void programStartsCleanly();

    // The engines of this test and of the programs it kills keep their locks here, never in the
    // folder other programs on this computer share: a killed engine may leave its lock files behind.
    QTemporaryDir lockFolder;
    std::unique_ptr<TestInstallation> inst;
    QString program;
    QString file;
    static constexpr int Tickets = 1000;
    // The file: tickets 1..Sold once, then the first Again of them a second time.
    static constexpr int Sold = 600;
    static constexpr int Again = 20;
    static constexpr int Records = Sold + Again;
};

void TestKilledAtAnyMoment::initTestCase() {
    QVERIFY(lockFolder.isValid());
    // Before this process's engine starts: it reads the folder once.
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockFolder.path()));
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    // What a killed process wrote is in the system's file cache whether or not each write waited for
    // the disk: synchronous writes would only make every row of the table slower.
    QString error;
    QVERIFY2(DatabaseCreator::setForcedWrites(inst->file(QStringLiteral("CRF.XML")), false, &error),
             qPrintable(error));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY2(!QDir(lockFolder.path()).entryList({QStringLiteral("fb_lock_*")}, QDir::Files).isEmpty(),
             "the engine of this process does not keep its locks in the test's own folder");
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS1_M"), Tickets, 1));
    program = ProgramProcesses::copyProgram(QStringLiteral("Korvante"), inst->folder());
    QVERIFY(!program.isEmpty());

    // The tickets sold again are refused as already sold.
    QByteArray bytes;
    for (int i = 0; i < Records; ++i) {
        ValidationRecord r;
        r.numBilhete = QString::number(i < Sold ? i + 1 : i - Sold + 1);
        r.nomeComp = QStringLiteral("COMPRADOR %1").arg(r.numBilhete);
        r.dataVal = QStringLiteral("02/12/2026");
        r.autDigital = QStringLiteral("XYZ123ABC");
        bytes += ValidationFile::encode(r);
    }
    file = inst->file(QStringLiteral("R1.dat"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

void TestKilledAtAnyMoment::init() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS1_M SET VALID_R1=NULL")));
}

TestKilledAtAnyMoment::Run TestKilledAtAnyMoment::runWorker(const QStringList &args, const QByteArray &killAt,
                                                           int delayMs) {
    Run run;
    // The other program opens the files itself: this one lets go of them first.
    inst->tdm->closeConnections();
    QProcess worker;
    worker.setProcessChannelMode(QProcess::SeparateChannels);
    worker.start(QStringLiteral(KORVANTE_VALIDATION_WORKER), QStringList{inst->folder()} + args);
    QByteArray pending;
    const auto readLines = [&](const std::function<bool(const QByteArray &)> &stopAt) {
        pending += worker.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (line.startsWith("OK ")) run.reported << line.mid(3).toInt();
            if (stopAt(line)) return true;
        }
        return false;
    };
    if (worker.waitForStarted()) {
        QElapsedTimer clock;
        clock.start();
        bool selling = args.first() == u"import"; // a seller starts once its READY is answered
        bool reached = false;
        while (!reached && worker.state() == QProcess::Running && clock.elapsed() < 60000) {
            if (selling && delayMs >= 0 && clock.elapsed() >= delayMs) {
                reached = true;
                break;
            }
            worker.waitForReadyRead(2);
            reached = readLines([&](const QByteArray &line) {
                if (line == "READY") {
                    worker.write("go\n");
                    worker.waitForBytesWritten(5000);
                    selling = true;
                    clock.restart();
                }
                return !killAt.isEmpty() && line == killAt;
            });
        }
        if (reached) {
            worker.kill();
            run.killed = true;
        }
        worker.waitForFinished(30000);
    }
    // Lines already written when it died were sales done too.
    readLines([](const QByteArray &) { return false; });
    run.boxes = QString::fromUtf8(worker.readAllStandardError());
    QString error;
    if (!inst->tdm->reopenConnections(&error)) qWarning() << error;
    return run;
}

int TestKilledAtAnyMoment::wholeSales() {
    const int rows = count(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1"));
    const int marked = count(QStringLiteral("SELECT COUNT(*) FROM BS1_M WHERE VALID_R1='S'"));
    const int matched = count(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 d JOIN BS1_M b ON "
                                             "b.NUMBILHETE = d.NUMBILHETE WHERE b.VALID_R1='S'"));
    if (rows != marked || rows != matched) {
        qWarning() << "buyer rows" << rows << "marks" << marked << "rows with their mark" << matched;
        return -1;
    }
    return rows;
}

void TestKilledAtAnyMoment::programStartsCleanly() {
    inst->tdm->closeConnections();
    QProcess korvante;
    korvante.start(program, {});
    QVERIFY(korvante.waitForStarted());
    const auto holdsBoth = [&] {
        const QStringList open = ProgramProcesses::openFiles(korvante.processId());
        return open.contains(inst->file(QStringLiteral("CRF.XML"))) &&
               open.contains(inst->file(QStringLiteral("ID_BASE.FDB")));
    };
    QTRY_VERIFY_WITH_TIMEOUT(holdsBoth() || korvante.state() != QProcess::Running, 30000);
    // A database the program cannot use is a message before any window, and start-up ends with it.
    QTest::qWait(300);
    const bool running = korvante.state() == QProcess::Running;
    if (running) ::kill(pid_t(korvante.processId()), SIGTERM);
    const bool ended = korvante.waitForFinished(20000);
    if (!ended) korvante.kill();
    QString error;
    QVERIFY2(inst->tdm->reopenConnections(&error), qPrintable(error));
    QVERIFY2(running && ended, qPrintable(QString::fromLocal8Bit(korvante.readAllStandardError())));
    QCOMPARE(korvante.exitStatus(), QProcess::NormalExit);
    QCOMPARE(korvante.exitCode(), 0);
}

void TestKilledAtAnyMoment::killedSequenceKeepsEveryCommittedTicket_data() {
    QTest::addColumn<int>("afterTicket"); // killed once the program told this ticket was committed
    QTest::addColumn<int>("delayMs");     // or this long after it started selling (-1: no delay)
    for (int n : {1, 2, 3, 10, 30})
        QTest::addRow("after ticket %d", n) << n << -1;
    for (int ms : {0, 5, 15, 40, 100, 250, 600})
        QTest::addRow("after %d ms", ms) << 0 << ms;
}

void TestKilledAtAnyMoment::killedSequenceKeepsEveryCommittedTicket() {
    QFETCH(int, afterTicket);
    QFETCH(int, delayMs);
    const Run run = runWorker({QStringLiteral("seq"), QStringLiteral("1"), QString::number(Tickets)},
                              afterTicket ? "OK " + QByteArray::number(afterTicket) : QByteArray(), delayMs);
    const int kept = wholeSales();
    QVERIFY(kept >= 0);
    // A sequence sells in order: what is kept is 1..kept, with every ticket the program told of.
    if (kept > 0) {
        QCOMPARE(count(QStringLiteral("SELECT MIN(NUMBILHETE) FROM DADOSCOMPRADOR_1")), 1);
        QCOMPARE(count(QStringLiteral("SELECT MAX(NUMBILHETE) FROM DADOSCOMPRADOR_1")), kept);
    }
    if (!run.reported.isEmpty()) QVERIFY2(kept >= run.reported.last(), qPrintable(QString::number(kept)));
    if (!run.killed) QCOMPARE(kept, Tickets);
    if (afterTicket) QVERIFY(run.killed);
    programStartsCleanly();
}

void TestKilledAtAnyMoment::killedImportLeavesWholeBatches_data() {
    QTest::addColumn<int>("killAfter"); // the record whose progress line is the signal
    QTest::addColumn<int>("delayMs");   // or this long after the program started (-1: no delay)
    // Around the end of the first batch, and among the records refused as already sold.
    for (int n : {1, 499, 500, 501, 610})
        QTest::addRow("after record %d", n) << n << -1;
    for (int ms : {40, 400, 900})
        QTest::addRow("after %d ms", ms) << 0 << ms;
}

void TestKilledAtAnyMoment::killedImportLeavesWholeBatches() {
    QFETCH(int, killAfter);
    QFETCH(int, delayMs);
    const QStringList import{QStringLiteral("import"), file};
    Run run = runWorker(import, killAfter ? "RECORD " + QByteArray::number(killAfter) : QByteArray(), delayMs);
    const int kept = wholeSales();
    QVERIFY(kept >= 0);
    // Only whole batches were kept: a batch ends every BatchSize sales and before the first ticket
    // refused as already sold.
    if (run.killed)
        QVERIFY2(kept % ValidationImport::BatchSize == 0 || kept == Sold, qPrintable(QString::number(kept)));
    programStartsCleanly();

    // The same file again: exactly the records the kill left out are validated, the rest refused.
    run = runWorker(import, {}, -1);
    QVERIFY(!run.killed);
    QCOMPARE(wholeSales(), Sold);
    const QString summary = QStringLiteral("Importação do arquivo R1.dat concluída: %1 Bilhete(s) validado(s) de "
                                           "%2 registro(s).")
                                .arg(Sold - kept)
                                .arg(Records);
    QVERIFY2(run.boxes.contains(summary), qPrintable(run.boxes.right(600)));
    QVERIFY2(run.boxes.contains(QStringLiteral("Registros ignorados: %1 ").arg(kept + Again)),
             qPrintable(run.boxes.right(600)));
}

KORVANTE_TEST(TestKilledAtAnyMoment)
#include "TestKilledAtAnyMoment.moc"
