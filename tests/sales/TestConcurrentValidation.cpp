#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "support/TestFirebirdServer.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Two computers validating the same raffle on one Firebird server at the same moment.
class TestConcurrentValidation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void sameTicketsAtTheSameMoment_data();
    void sameTicketsAtTheSameMoment();
    void overlappingSequences();

private:
    struct Report {
        QSet<int> ok;
        QList<QPair<int, QString>> refused;
        QStringList failed;
    };
    // Runs both workers together and returns what each printed.
    QList<Report> runWorkers(const QList<QStringList> &jobs);
    QMap<int, int> rowsPerTicket();
    void checkMarksMatchRows();
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("server-check")); }

    TestFirebirdServer server;
    QTemporaryDir programFolder;
};

void TestConcurrentValidation::initTestCase() {
    if (!QFile::exists(QStringLiteral("/usr/sbin/firebird"))) QSKIP("no Firebird server installed");
    QString error;
    // The databases are made before the server starts: never two engines on one file at once.
    QVERIFY2(DatabaseFiles::createInFolder(server.dataFolder(), &error), qPrintable(error));
    QVERIFY2(server.start(&error), qPrintable(error));
    const QString main =
        server.connectionHost() + u':' + QDir(server.dataFolder()).filePath(QStringLiteral("CRF.XML"));

    // The workers' program folder points at the server, as a second computer's would.
    QFile config(programFolder.filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=%2\r\n")
                     .arg(server.connectionHost(), server.dataFolder())
                     .toUtf8());
    config.close();

    QVERIFY2(TDM::openConnection(QStringLiteral("server-check"), main, &error), qPrintable(error));
    QSqlDatabase check = db();
    QVERIFY(check.transaction());
    for (int t = 1; t <= 300; ++t) {
        QSqlQuery q(check);
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO BS1_M (NUMBILHETE, N1) VALUES (?, ?)")));
        q.addBindValue(t);
        q.addBindValue(t - 1);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QVERIFY(check.commit());
}

void TestConcurrentValidation::init() {
    QSqlQuery q(db());
    QVERIFY(q.exec(QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")));
    QVERIFY(q.exec(QStringLiteral("UPDATE BS1_M SET VALID_R1=NULL")));
}

void TestConcurrentValidation::cleanupTestCase() {
    {
        QSqlDatabase check = QSqlDatabase::database(QStringLiteral("server-check"), false);
        if (check.isValid()) check.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("server-check"));
    server.stop();
}

QList<TestConcurrentValidation::Report> TestConcurrentValidation::runWorkers(const QList<QStringList> &jobs) {
    QList<QProcess *> workers;
    QList<Report> reports;
    for (const QStringList &job : jobs) {
        auto *p = new QProcess(this);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QStringLiteral(KORVANTE_VALIDATION_WORKER), QStringList{programFolder.path()} + job);
        workers << p;
    }
    // Both connected before either starts.
    for (QProcess *p : workers) {
        while (!p->canReadLine() && p->waitForReadyRead(20000)) {
        }
        const QByteArray first = p->readLine().trimmed();
        if (first != "READY") {
            qWarning() << "worker did not connect:" << first << p->readAllStandardError();
            return {};
        }
    }
    for (QProcess *p : workers)
        p->write("go\n");
    // Flushed now: a pipe is otherwise written only while that process is waited for.
    for (QProcess *p : workers)
        p->waitForBytesWritten(5000);
    for (QProcess *p : workers) {
        p->waitForFinished(120000);
        Report r;
        bool done = false;
        for (const QByteArray &raw : p->readAllStandardOutput().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            if (line.startsWith(u"OK "))
                r.ok << line.mid(3).toInt();
            else if (line.startsWith(u"REFUSED ")) {
                const QString rest = line.mid(8);
                r.refused << qMakePair(rest.section(u' ', 0, 0).toInt(), rest.section(u' ', 1));
            } else if (line == u"DONE")
                done = true;
            else if (!line.isEmpty())
                r.failed << line;
        }
        if (!done)
            r.failed << QStringLiteral("worker did not finish: ") +
                            QString::fromUtf8(p->readAllStandardError());
        reports << r;
        delete p;
    }
    return reports;
}

QMap<int, int> TestConcurrentValidation::rowsPerTicket() {
    QMap<int, int> rows;
    QSqlQuery q(db());
    q.exec(QStringLiteral("SELECT NUMBILHETE, COUNT(*) FROM DADOSCOMPRADOR_1 GROUP BY NUMBILHETE"));
    while (q.next())
        rows.insert(q.value(0).toInt(), q.value(1).toInt());
    return rows;
}

void TestConcurrentValidation::checkMarksMatchRows() {
    QSqlQuery q(db());
    // A buyer row without its mark, or a mark without its buyer row.
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 D LEFT JOIN BS1_M "
                                  "B ON B.NUMBILHETE = "
                                  "D.NUMBILHETE WHERE B.VALID_R1 IS DISTINCT FROM 'S'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM BS1_M B WHERE B.VALID_R1 = 'S' AND "
                                  "NOT EXISTS (SELECT 1 FROM "
                                  "DADOSCOMPRADOR_1 D WHERE D.NUMBILHETE = B.NUMBILHETE)")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 0);
}

void TestConcurrentValidation::sameTicketsAtTheSameMoment_data() {
    QTest::addColumn<QString>("secondFrom");
    QTest::addColumn<QString>("secondTo");
    // Same order: the two race for nearly every ticket. Opposite order: each surely sells some,
    // which shows they ran at the same time, and they meet in the middle.
    QTest::newRow("same order") << QStringLiteral("1") << QStringLiteral("200");
    QTest::newRow("opposite order") << QStringLiteral("200") << QStringLiteral("1");
}

void TestConcurrentValidation::sameTicketsAtTheSameMoment() {
    QFETCH(QString, secondFrom);
    QFETCH(QString, secondTo);
    // Both computers sell every ticket of 1..200 one by one.
    const QList<Report> r = runWorkers({{QStringLiteral("each"), QStringLiteral("1"), QStringLiteral("200")},
                                        {QStringLiteral("each"), secondFrom, secondTo}});
    QCOMPARE(r.size(), 2);
    for (const Report &w : r)
        QVERIFY2(w.failed.isEmpty(), qPrintable(w.failed.join(u'\n')));
    if (secondFrom != u"1")
        QVERIFY2(!r[0].ok.isEmpty() && !r[1].ok.isEmpty(), "the two computers did not sell at the same time");
    const QMap<int, int> rows = rowsPerTicket();
    QCOMPARE(rows.size(), 200);
    for (int t = 1; t <= 200; ++t) {
        QCOMPARE(rows.value(t), 1);
        // Sold by exactly one computer, and the other one was told.
        QVERIFY2(r[0].ok.contains(t) != r[1].ok.contains(t), qPrintable(QString::number(t)));
        const Report &loser = r[0].ok.contains(t) ? r[1] : r[0];
        const auto refusal = std::find_if(loser.refused.begin(), loser.refused.end(),
                                          [t](const QPair<int, QString> &p) { return p.first == t; });
        QVERIFY2(refusal != loser.refused.end(), qPrintable(QString::number(t)));
        QCOMPARE(refusal->second, QStringLiteral("Bilhete [ %1 ] já foi Validado anteriormente!").arg(t));
    }
    QCOMPARE(r[0].refused.size() + r[1].refused.size(), 200);
    checkMarksMatchRows();
}

void TestConcurrentValidation::overlappingSequences() {
    // Both start at the same ticket: they race for it at once.
    const QList<Report> r =
        runWorkers({{QStringLiteral("seq"), QStringLiteral("100"), QStringLiteral("250")},
                    {QStringLiteral("seq"), QStringLiteral("100"), QStringLiteral("180")}});
    QCOMPARE(r.size(), 2);
    for (const Report &w : r)
        QVERIFY2(w.failed.isEmpty(), qPrintable(w.failed.join(u'\n')));
    const QMap<int, int> rows = rowsPerTicket();
    QVERIFY(!(r[0].ok & r[1].ok).size());
    QCOMPARE(QSet<int>(rows.keyBegin(), rows.keyEnd()),
             r[0].ok | r[1].ok); // a row exactly where a sale was reported
    for (int count : rows)
        QCOMPARE(count, 1);
    // A sequence ends at the first ticket the other computer sold, and says so.
    for (const Report &w : r) {
        QVERIFY(w.refused.size() <= 1);
        if (w.refused.isEmpty()) continue;
        const int at = w.refused.first().first;
        QCOMPARE(w.refused.first().second, QStringLiteral("Esse Bilhete [%1] na Sequencia informada, já foi "
                                                          "Validado anteriormente!")
                                               .arg(at));
        QCOMPARE(rows.value(at), 1);
        QVERIFY(!w.ok.contains(at));
        for (int n : w.ok)
            QVERIFY(n < at);
    }
    // Ticket 100 went to exactly one of them, and the other stopped there.
    QCOMPARE(rows.value(100), 1);
    QVERIFY(r[0].ok.contains(100) != r[1].ok.contains(100));
    QCOMPARE(r[0].refused.size() + r[1].refused.size(), 1);
    checkMarksMatchRows();
}

KORVANTE_TEST(TestConcurrentValidation)
#include "TestConcurrentValidation.moc"
