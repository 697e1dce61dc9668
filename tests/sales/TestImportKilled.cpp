#include "SalesFixture.h"
#include "data/TDM.h"
#include "sales/ValidationFile.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// An import killed at any moment (a power cut, the task manager) leaves whole batches only, every
// buyer row with its mark; importing the same file again validates exactly what the kill left out.
class TestImportKilled : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedImportLeavesWholeBatches_data();
    void killedImportLeavesWholeBatches();

private:
    int count(const QString &sql) { return inst->scalar(sql).toInt(); }
    // Runs the import as another program; kills it after record killAfter, or after delayMs.
    QString runWorker(int killAfter, int delayMs, bool *killed);
    std::unique_ptr<TestInstallation> inst;
    QString file;
    static constexpr int Records = 1200;
};

void TestImportKilled::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    QVERIFY(SalesFixture::dealTickets(*inst, QStringLiteral("BS1_M"), 1000, 1));
    // Tickets 1..1000 once, then 200 of them again: those are refused as already sold.
    QByteArray bytes;
    for (int i = 0; i < Records; ++i) {
        ValidationRecord r;
        r.numBilhete = QString::number(i < 1000 ? i + 1 : i - 999);
        r.nomeComp = QStringLiteral("COMPRADOR %1").arg(r.numBilhete);
        r.dataVal = QStringLiteral("02/12/2026");
        r.autDigital = QStringLiteral("XYZ123ABC");
        bytes += ValidationFile::encode(r);
    }
    file = inst->file(QStringLiteral("R1.dat"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QString TestImportKilled::runWorker(int killAfter, int delayMs, bool *killed) {
    // The other program opens the files itself: this one lets go of them first.
    inst->tdm->closeConnections();
    QProcess worker;
    worker.setProcessChannelMode(QProcess::SeparateChannels);
    worker.start(QStringLiteral(KORVANTE_VALIDATION_WORKER), {inst->folder(), QStringLiteral("import"), file});
    *killed = false;
    if (worker.waitForStarted()) {
        QElapsedTimer clock;
        clock.start();
        QByteArray seen;
        while (worker.state() == QProcess::Running) {
            worker.waitForReadyRead(5);
            seen += worker.readAllStandardOutput();
            const bool reached =
                (killAfter > 0 && seen.contains("RECORD " + QByteArray::number(killAfter) + '\n')) ||
                (delayMs > 0 && clock.elapsed() >= delayMs);
            if (reached) {
                worker.kill();
                *killed = true;
                break;
            }
            if (clock.elapsed() > 120000) break;
        }
        worker.waitForFinished(30000);
    }
    const QString boxes = QString::fromUtf8(worker.readAllStandardError());
    QString error;
    if (!inst->tdm->reopenConnections(&error)) qWarning() << error;
    return boxes;
}

void TestImportKilled::killedImportLeavesWholeBatches_data() {
    QTest::addColumn<int>("killAfter"); // the record whose progress line is the signal
    QTest::addColumn<int>("delayMs");
    for (int n : {1, 250, 499, 500, 501, 999, 1001})
        QTest::addRow("after record %d", n) << n << 0;
    for (int ms : {40, 400, 900})
        QTest::addRow("after %d ms", ms) << 0 << ms;
}

void TestImportKilled::killedImportLeavesWholeBatches() {
    QFETCH(int, killAfter);
    QFETCH(int, delayMs);
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS1_M SET VALID_R1=NULL")));
    bool killed = false;
    runWorker(killAfter, delayMs, &killed);
    const QString sold = QStringLiteral("SELECT COUNT(*) FROM BS1_M WHERE VALID_R1='S'");
    const QString rows = QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1");
    const QString matched = QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 d JOIN BS1_M b ON "
                                           "b.NUMBILHETE = d.NUMBILHETE WHERE b.VALID_R1='S'");
    const int kept = count(rows);
    // Marks equal buyer rows, and only whole batches were kept.
    QCOMPARE(count(sold), kept);
    QCOMPARE(count(matched), kept);
    if (killed) QVERIFY2(kept % ValidationImport::BatchSize == 0, qPrintable(QString::number(kept)));

    // The same file again: exactly the records the kill left out are validated, the rest refused.
    const QString boxes = runWorker(0, 0, &killed);
    QVERIFY(!killed);
    QCOMPARE(count(rows), 1000);
    QCOMPARE(count(sold), 1000);
    QCOMPARE(count(matched), 1000);
    const QString summary = QStringLiteral("Importação do arquivo R1.dat concluída: %1 Bilhete(s) validado(s) de "
                                           "%2 registro(s).")
                                .arg(1000 - kept)
                                .arg(Records);
    QVERIFY2(boxes.contains(summary), qPrintable(boxes.right(600)));
    QVERIFY2(boxes.contains(QStringLiteral("Registros ignorados: %1 ").arg(kept + 200)), qPrintable(boxes.right(600)));
}

KORVANTE_TEST(TestImportKilled)
#include "TestImportKilled.moc"
