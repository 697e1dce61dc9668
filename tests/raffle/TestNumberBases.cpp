#include "raffle/InstallationBuilder.h"
#include "raffle/NumberBaseDealer.h"
#include "support/TestInstallation.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlError>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <algorithm>

// The dealing of numbers onto tickets, over one installation whose BS1 is filled once.
class TestNumberBases : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void masterTableHoldsEveryNumberOnce();
    void dealsEveryNumberOnceOntoNumberedTickets_data();
    void dealsEveryNumberOnceOntoNumberedTickets();
    void twoRunsDealDifferently();
    void fullRunFreesEarlierMarks();
    void appendingDealsOnlyFreeNumbersBelowTheBound();
    void appendingWithNothingFreeInsertsNothing();
    void preparationToolNeverDealsANumberTwice();
    void secondPreparationOfAFolderIsRefused();
    void namingNeverReplacesAFileItDidNotMake_data();
    void namingNeverReplacesAFileItDidNotMake();
    void failedInsertIsReportedAndTheRunGoesOn();
    void failedRunLeavesTheTableAsItWas();
    void wrongParametersAreRefused_data();
    void wrongParametersAreRefused();
    void preparationToolRefusesBadCommands_data();
    void preparationToolRefusesBadCommands();
    void preparationToolKeepsSoldTickets_data();
    void preparationToolKeepsSoldTickets();
    void masterTableRefillKilledLeavesTheOldTable();
    void failedPreparationLeavesNothingBehind();
    void dealingFingerprintIsKeptAndChecked();

private:
    NumberBaseDealer dealer() { return NumberBaseDealer(inst->tdm->CONEX_R(), inst->dialogs, inst->random); }
    QVector<QVector<int>> tickets(const QString &table, int perTicket);
    QString usedMarks(int below);
    std::unique_ptr<TestInstallation> inst;
    // A folder prepared by the real tool (BS1 and BS2_D dealt), for the tool's own refusals.
    QTemporaryDir m_toolDir;
    qint64 m_bs1Millis = 0; // how long the tool took to fill BS1 there
};

namespace {

int runTool(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr) {
    QProcess p;
    p.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), arguments);
    if (!p.waitForFinished(180000)) return -1;
    if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput());
    if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Runs statements on the folder's CRF.XML while no tool holds it; returns the first column of the last.
QVariant onToolFolder(const QString &folder, const QStringList &statements) {
    QVariant result;
    {
        QString error;
        if (!TDM::openConnection(QStringLiteral("TOOL_FOLDER"), folder + QStringLiteral("/CRF.XML"), &error))
            qFatal("%s", qPrintable(error));
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("TOOL_FOLDER"));
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            if (!q.exec(sql)) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            if (q.next()) result = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("TOOL_FOLDER"));
    return result;
}

} // namespace

void TestNumberBases::initTestCase() {
    inst = std::make_unique<TestInstallation>();
    QVERIFY2(inst->ok(), qPrintable(inst->error()));
    QVERIFY2(inst->openTdm(), qPrintable(inst->error()));
    inst->dialogs.expectMessage(QStringLiteral("Será gerado 1 milhão de números para a base principal BS1"),
                                BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("Base Criada com sucesso!"), BoxIcon::None);
    qint64 lastDone = -1;
    NumberBaseDealer d = dealer();
    d.setProgress([&](qint64 done, qint64 total) {
        QCOMPARE(total, 1000000);
        lastDone = done;
    });
    QVERIFY(d.fillMasterTable());
    QCOMPARE(lastDone, 1000000);
    QVERIFY(inst->dialogs.scriptDone());
}

void TestNumberBases::init() {
    inst->dialogs.clear();
    inst->dialogs.setLenient(false);
}

// Every box a test expected has appeared.
void TestNumberBases::cleanup() {
    QVERIFY2(inst->dialogs.scriptDone(), qPrintable(inst->dialogs.pendingTexts().join(u'\n')));
}

QVector<QVector<int>> TestNumberBases::tickets(const QString &table, int perTicket) {
    QVector<QVector<int>> rows;
    QSqlQuery q(inst->tdm->CONEX_R());
    // A query that fails fails the test: it must not read as a table without tickets.
    if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY NUMBILHETE").arg(table))) {
        QTest::qFail(qPrintable(q.lastError().text()), __FILE__, __LINE__);
        return {{-1}};
    }
    while (q.next()) {
        QVector<int> row{q.value(QStringLiteral("NUMBILHETE")).toInt()};
        for (int k = 1; k <= perTicket; ++k)
            row << q.value(QStringLiteral("N%1").arg(k)).toInt();
        rows << row;
    }
    return rows;
}

// The numbers below the bound that BS1 marks as used, as "a,b,c".
QString TestNumberBases::usedMarks(int below) {
    return inst
        ->scalar(QStringLiteral("SELECT LIST(N1, ',') FROM (SELECT N1 FROM BS1 WHERE N1 < ? AND INC = 1 "
                                "ORDER BY N1)"),
                 {below})
        .toString();
}

void TestNumberBases::masterTableHoldsEveryNumberOnce() {
    QCOMPARE(inst->count(QStringLiteral("BS1")), 1000000);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE NUMBILHETE = N1 + 1 AND INC = 0"))
                 .toInt(),
             1000000);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT NUMBILHETE FROM BS1 WHERE N1 = 0")).toInt(), 1);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT NUMBILHETE FROM BS1 WHERE N1 = 999999")).toInt(), 1000000);
    // The generator stands where a million single inserts would have left it.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT GEN_ID(GEN_BS1_ID, 0) FROM RDB$DATABASE")).toInt(), 1000000);
}

void TestNumberBases::dealsEveryNumberOnceOntoNumberedTickets_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("perTicket");
    QTest::addColumn<int>("numbers");
    QTest::newRow("2 numbers of 00-99") << "BS2_100G" << 2 << 100;
    QTest::newRow("10 numbers of 000-999") << "BS10_M" << 10 << 1000;
    QTest::newRow("5 numbers of 0000-9999") << "BS5_D" << 5 << 10000;
    QTest::newRow("1 number of 000-999") << "BS1_M" << 1 << 1000;
}

void TestNumberBases::dealsEveryNumberOnceOntoNumberedTickets() {
    QFETCH(QString, table);
    QFETCH(int, perTicket);
    QFETCH(int, numbers);
    inst->dialogs.expectMessage(QString(), BoxIcon::None);
    const auto r = dealer().generateTicketTable(table, perTicket, numbers);
    QVERIFY(r.ok);
    QCOMPARE(r.inserted, numbers / perTicket);
    QVERIFY(inst->dialogs.shown.last().text.startsWith(QStringLiteral("Concluído com sucesso em...:")));
    QVERIFY(QTime::fromString(inst->dialogs.shown.last().text.mid(28), QStringLiteral("hh:mm:ss")).isValid());

    const auto rows = tickets(table, perTicket);
    QCOMPARE(rows.size(), numbers / perTicket);
    QVector<int> all;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i][0], i + 1); // control numbers 1..n without gaps
        all << rows[i].mid(1);
    }
    std::sort(all.begin(), all.end());
    QVector<int> expected(numbers);
    std::iota(expected.begin(), expected.end(), 0);
    QCOMPARE(all, expected);
    // Every number of the modality is marked used, and nothing beyond it.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE INC = 1")).toInt(), numbers);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT MAX(N1) FROM BS1 WHERE INC = 1")).toInt(), numbers - 1);
}

void TestNumberBases::twoRunsDealDifferently() {
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100).ok);
    const auto first = tickets(QStringLiteral("BS2_100G"), 2);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100).ok);
    const auto second = tickets(QStringLiteral("BS2_100G"), 2);
    inst->dialogs.setLenient(false);
    QCOMPARE(first.size(), 50);
    QCOMPARE(second.size(), 50);
    QVERIFY(first != second);
    // Stored in drawing order, not sorted: some ticket has its larger number first.
    QVERIFY(std::any_of(second.begin(), second.end(), [](const QVector<int> &t) { return t[1] > t[2]; }));
}

void TestNumberBases::fullRunFreesEarlierMarks() {
    QVERIFY(inst->exec(QStringLiteral("UPDATE BS1 SET INC = 1 WHERE N1 IN (500, 777777)")));
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS1_100G"), 1, 100).ok);
    inst->dialogs.setLenient(false);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE INC = 1")).toInt(), 100);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT INC FROM BS1 WHERE N1 = 777777")).toString(), QStringLiteral("0"));
}

void TestNumberBases::appendingDealsOnlyFreeNumbersBelowTheBound() {
    QVERIFY(inst->exec(QStringLiteral("DELETE FROM BS4_M")));
    QVERIFY(inst->exec(QStringLiteral("ALTER SEQUENCE GEN_BS4_M_ID RESTART WITH 0")));
    // Marks left in BS1 by another table do not count: only BS4_M's own tickets do.
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100).ok); // 0..99 marked
    inst->dialogs.setLenient(false);

    inst->dialogs.expectMessage(QStringLiteral("200"), BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("Processo Concluído!"), BoxIcon::None);
    auto r = dealer().appendTickets(QStringLiteral("BS4_M"), 4, 199);
    QCOMPARE(r.inserted, 50);
    // 202 free numbers make 50 tickets; the last 2 stay free for a later run.
    inst->dialogs.expectMessage(QStringLiteral("202"), BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("Processo Concluído!"), BoxIcon::None);
    r = dealer().appendTickets(QStringLiteral("BS4_M"), 4, 401);
    QCOMPARE(r.inserted, 50);
    // A full run of another table clears every mark of BS1; appending again deals nothing twice.
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100).ok);
    inst->dialogs.setLenient(false);
    inst->dialogs.expectMessage(QStringLiteral("2"), BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("Processo Concluído!"), BoxIcon::None);
    r = dealer().appendTickets(QStringLiteral("BS4_M"), 4, 401);
    QCOMPARE(r.inserted, 0);
    QVERIFY(inst->dialogs.scriptDone());

    const auto rows = tickets(QStringLiteral("BS4_M"), 4);
    QCOMPARE(rows.size(), 100);
    QVector<int> all;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i][0], i + 1); // the second run continues the control numbers
        all << rows[i].mid(1);
    }
    std::sort(all.begin(), all.end());
    QCOMPARE(std::adjacent_find(all.begin(), all.end()), all.end());
    QCOMPARE(all.first(), 0);
    QVERIFY(all.last() <= 401);
    QCOMPARE(all.size(), 400);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT GEN_ID(GEN_BS4_M_ID, 0) FROM RDB$DATABASE")).toInt(), 100);
}

void TestNumberBases::appendingWithNothingFreeInsertsNothing() {
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_M"), 2, 1000).ok);
    inst->dialogs.setLenient(false);
    const int before = inst->count(QStringLiteral("BS2_M"));
    inst->dialogs.expectMessage(QStringLiteral("0"), BoxIcon::None);
    inst->dialogs.expectMessage(QStringLiteral("Processo Concluído!"), BoxIcon::None);
    const auto r = dealer().appendTickets(QStringLiteral("BS2_M"), 2, 99);
    QVERIFY(r.ok);
    QCOMPARE(r.inserted, 0);
    QCOMPARE(inst->count(QStringLiteral("BS2_M")), before);
}

void TestNumberBases::preparationToolNeverDealsANumberTwice() {
    QTemporaryDir dir;
    const auto tool = [&](const QStringList &arguments, QString *out = nullptr) {
        QProcess p;
        p.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), arguments);
        if (!p.waitForFinished(120000)) return -1;
        if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitCode();
    };
    const QString folder = dir.path();
    QCOMPARE(tool({QStringLiteral("criar"), folder}), 0);
    QCOMPARE(tool({QStringLiteral("bs1"), folder}), 0);
    // Half the table first, then another table's full run clears BS1's marks, then the rest.
    QString out;
    QCOMPARE(tool({QStringLiteral("acrescentar"), folder, QStringLiteral("BS4_M"), QStringLiteral("4"),
                   QStringLiteral("499")},
                  &out),
             0);
    QVERIFY2(out.contains(QStringLiteral("125 bilhetes gravados")), qPrintable(out));
    // The rest once, then nothing more: the table is full.
    for (const char *written : {"125 bilhetes gravados", "0 bilhetes gravados"}) {
        QCOMPARE(tool({QStringLiteral("gerar"), folder, QStringLiteral("BS2_M"), QStringLiteral("2"),
                       QStringLiteral("1000")}),
                 0);
        QCOMPARE(tool({QStringLiteral("acrescentar"), folder, QStringLiteral("BS4_M"), QStringLiteral("4"),
                       QStringLiteral("999")},
                      &out),
                 0);
        QVERIFY2(out.contains(QLatin1String(written)), qPrintable(out));
    }
    // One number per ticket is not a table to append to.
    QCOMPARE(tool({QStringLiteral("acrescentar"), folder, QStringLiteral("BS1_M"), QStringLiteral("1"),
                   QStringLiteral("999")}),
             2);

    // Every number of the modality exactly once, on control numbers 1..250.
    QString error;
    QVERIFY(TDM::openConnection(QStringLiteral("prepared"), folder + QStringLiteral("/CRF.XML"), &error));
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("prepared")));
        QVERIFY(q.exec(QStringLiteral(
                    "SELECT COUNT(*), COUNT(DISTINCT v), MIN(v), MAX(v) FROM (SELECT N1 v FROM BS4_M UNION ALL "
                    "SELECT N2 FROM BS4_M UNION ALL SELECT N3 FROM BS4_M UNION ALL SELECT N4 FROM BS4_M)")) &&
                q.next());
        QCOMPARE(q.value(0).toInt(), 1000);
        QCOMPARE(q.value(1).toInt(), 1000);
        QCOMPARE(q.value(2).toInt(), 0);
        QCOMPARE(q.value(3).toInt(), 999);
        QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), MIN(NUMBILHETE), MAX(NUMBILHETE) FROM BS4_M")) && q.next());
        QCOMPARE(q.value(0).toInt(), 250);
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 250);
    }
    QSqlDatabase::database(QStringLiteral("prepared")).close();
    QSqlDatabase::removeDatabase(QStringLiteral("prepared"));
}

void TestNumberBases::secondPreparationOfAFolderIsRefused() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    QProcess first;
    first.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("instalar"), folder});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(QStringLiteral("CRF.XML.preparando"))), 120000);

    // A second preparation of the same folder is refused and touches nothing.
    QProcess second;
    second.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("instalar"), folder});
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(second.exitCode(), 1);
    const QString refused = QString::fromLocal8Bit(second.readAllStandardError());
    QVERIFY2(refused.contains(QStringLiteral("Outra preparação desta pasta já está em andamento: ") + folder),
             qPrintable(refused));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("CRF.XML.preparando"))));
    first.kill();
    QVERIFY(first.waitForFinished(60000));
}

void TestNumberBases::namingNeverReplacesAFileItDidNotMake_data() {
    QTest::addColumn<QString>("theirs");
    QTest::newRow("CRF.XML already there") << "CRF.XML";
    QTest::newRow("ID_BASE.FDB already there") << "ID_BASE.FDB";
}

void TestNumberBases::namingNeverReplacesAFileItDidNotMake() {
    QFETCH(QString, theirs);
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const auto read = [&](const QString &name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(nenhum)");
    };
    write(QStringLiteral("CRF.XML.preparando"), "novo principal");
    write(QStringLiteral("ID_BASE.FDB.preparando"), "nova fila");
    write(theirs, "banco de outra pessoa");
    QString error;
    QVERIFY(!InstallationBuilder::nameFiles(dir.filePath(QStringLiteral("CRF.XML.preparando")),
                                            dir.filePath(QStringLiteral("ID_BASE.FDB.preparando")), dir.path(), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Não foi possível dar o nome final aos bancos em ")), qPrintable(error));
    QCOMPARE(read(theirs), QByteArray("banco de outra pessoa"));
    // Nothing of this run is left under a final name; its working files are as they were.
    const QString other = theirs == QLatin1String("CRF.XML") ? QStringLiteral("ID_BASE.FDB") : QStringLiteral("CRF.XML");
    QVERIFY(!QFile::exists(dir.filePath(other)));
    QCOMPARE(read(QStringLiteral("CRF.XML.preparando")), QByteArray("novo principal"));
    QCOMPARE(read(QStringLiteral("ID_BASE.FDB.preparando")), QByteArray("nova fila"));
}

void TestNumberBases::failedInsertIsReportedAndTheRunGoesOn() {
    QVERIFY(inst->exec(
        QStringLiteral("ALTER TABLE BS2_100G ADD CONSTRAINT NO_42 CHECK (N1 <> 42 AND N2 <> 42)")));
    inst->dialogs.expectMessage(QString(), BoxIcon::None); // the failure
    inst->dialogs.expectMessage(QString(), BoxIcon::None); // the end of the run
    const auto r = dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100);
    QVERIFY(inst->exec(QStringLiteral("ALTER TABLE BS2_100G DROP CONSTRAINT NO_42")));
    QVERIFY(r.ok);
    QCOMPARE(r.failed, 1);
    QCOMPARE(r.inserted, 49);
    QCOMPARE(inst->dialogs.shown.size(), 2);
    const QString failure = inst->dialogs.shown[0].text;
    QVERIFY2(failure.startsWith(QStringLiteral("Houve uma falha na geração de números. Detalhes: ")) &&
                 failure.contains(QStringLiteral("NO_42")),
             qPrintable(failure));
    QVERIFY(inst->dialogs.shown[1].text.startsWith(QStringLiteral("Concluído com sucesso em...:")));

    QCOMPARE(inst->count(QStringLiteral("BS2_100G")), 49);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS2_100G WHERE N1 = 42 OR N2 = 42")).toString(),
             QStringLiteral("0"));
    // The failed ticket's two numbers are free again; every other number is used.
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE N1 < 100 AND INC = 0")).toInt(), 2);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT INC FROM BS1 WHERE N1 = 42")).toString(), QStringLiteral("0"));
}

void TestNumberBases::failedRunLeavesTheTableAsItWas() {
    inst->dialogs.setLenient(true);
    QVERIFY(dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100).ok);
    inst->dialogs.setLenient(false);
    const auto before = tickets(QStringLiteral("BS2_100G"), 2);
    // The marks cannot be written: the run fails at its very end.
    QVERIFY(inst->exec(QStringLiteral("CREATE EXCEPTION NO_MARKS 'marcas bloqueadas'")));
    QVERIFY(inst->exec(QStringLiteral("CREATE TRIGGER BS1_NO_MARKS FOR BS1 BEFORE UPDATE AS BEGIN "
                                      "IF (NEW.INC = 1) THEN EXCEPTION NO_MARKS; END")));
    inst->dialogs.expectMessage(QString(), BoxIcon::Error);
    const auto r = dealer().generateTicketTable(QStringLiteral("BS2_100G"), 2, 100);
    QVERIFY(inst->exec(QStringLiteral("DROP TRIGGER BS1_NO_MARKS")));
    QVERIFY(inst->exec(QStringLiteral("DROP EXCEPTION NO_MARKS")));
    QVERIFY(!r.ok);
    QVERIFY(inst->dialogs.shown.last().text.contains(QStringLiteral("marcas bloqueadas")));
    QCOMPARE(tickets(QStringLiteral("BS2_100G"), 2), before);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE INC = 1")).toInt(), 100);
    QCOMPARE(inst->scalar(QStringLiteral("SELECT GEN_ID(GEN_BS2_100G_ID, 0) FROM RDB$DATABASE")).toInt(), 50);
}

void TestNumberBases::wrongParametersAreRefused_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("perTicket");
    QTest::addColumn<int>("numbers");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown table") << "BS3_M" << 3 << 1000 << "Tabela desconhecida: BS3_M";
    QTest::newRow("q of another table")
        << "BS2_D" << 4 << 10000 << "A tabela BS2_D tem 2 números por bilhete, não 4";
    QTest::newRow("m outside the list")
        << "BS2_D" << 2 << 5000
        << "Quantidade de números inválida: 5000 (use 100, 1000, 10000, 100000 ou 1000000)";
    QTest::newRow("m of another modality")
        << "BS2_D" << 2 << 1000 << "A tabela BS2_D é da modalidade de 10000 números, não 1000";
}

void TestNumberBases::wrongParametersAreRefused() {
    QFETCH(QString, table);
    QFETCH(int, perTicket);
    QFETCH(int, numbers);
    QFETCH(QString, message);
    inst->dialogs.expectMessage(message, BoxIcon::Error);
    QVERIFY(!dealer().generateTicketTable(table, perTicket, numbers).ok);
    QVERIFY(inst->dialogs.scriptDone());
}

void TestNumberBases::preparationToolRefusesBadCommands_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrText");
    QTest::newRow("unknown command") << QStringList{"sortear"} << 2 << "comando desconhecido: sortear";
    QTest::newRow("missing folder") << QStringList{"instalar"} << 2
                                    << "parâmetros errados para o comando instalar";
    QTest::newRow("unknown table") << QStringList{"gerar", "@", "BS9_X", "9", "100"} << 2
                                   << "Tabela desconhecida: BS9_X";
    QTest::newRow("q that does not match") << QStringList{"gerar", "@", "BS2_M", "4", "1000"} << 2
                                           << "A tabela BS2_M tem 2 números por bilhete, não 4";
    QTest::newRow("m outside the list")
        << QStringList{"gerar", "@", "BS2_M", "2", "999"} << 2 << "Quantidade de números inválida: 999";
    QTest::newRow("bound above the modality") << QStringList{"acrescentar", "@", "BS4_M", "4", "1000"} << 2
                                              << "O limite deve estar entre 0 e 999 para a tabela BS4_M";
    QTest::newRow("existing files") << QStringList{"instalar", "@"} << 1
                                    << "já existe e não será sobrescrito";
    QTest::newRow("existing files, empty")
        << QStringList{"criar", "@"} << 1 << "já existe e não será sobrescrito";
}

void TestNumberBases::preparationToolRefusesBadCommands() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrText);
    arguments.replaceInStrings(QStringLiteral("@"), inst->folder());
    const qint64 sizeBefore = QFileInfo(inst->file(QStringLiteral("CRF.XML"))).size();
    QProcess tool;
    tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), arguments);
    QVERIFY(tool.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), exitCode);
    QVERIFY2(err.contains(stderrText), qPrintable(err));
    QCOMPARE(QFileInfo(inst->file(QStringLiteral("CRF.XML"))).size(), sizeBefore);
}

void TestNumberBases::preparationToolKeepsSoldTickets_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("sale"); // statements that record the sale
    QTest::addColumn<QString>("why");
    QTest::newRow("gerar, ticket sold in raffle 3")
        << "gerar" << QStringList{"UPDATE BS2_D SET VALID_R3='S' WHERE NUMBILHETE=7"}
        << "A tabela BS2_D tem bilhetes vendidos ou reservados (o bilhete 7 é um deles)";
    QTest::newRow("acrescentar, ticket reserved in raffle 5")
        << "acrescentar" << QStringList{"UPDATE BS2_D SET VALID_R5='R' WHERE NUMBILHETE=7"}
        << "A tabela BS2_D tem bilhetes vendidos ou reservados (o bilhete 7 é um deles)";
    QTest::newRow("gerar, raffle 1's buyer rows without marks")
        << "gerar"
        << QStringList{"UPDATE CADASTRO SET MODALIDADE='0000 - 9999', USAR_QT_NUM='2 Números' WHERE CODRIFA=1",
                       "INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NOMECOMP, NUMBILHETE, VALIDADO) "
                       "VALUES (1, 'ANA', 7, 'Sim')"}
        << "A tabela BS2_D é a da RIFA Nº 1, que tem 1 venda(s) registrada(s) em DADOSCOMPRADOR_1";
}

void TestNumberBases::preparationToolKeepsSoldTickets() {
    QFETCH(QString, command);
    QFETCH(QStringList, sale);
    QFETCH(QString, why);
    const QString folder = m_toolDir.path();
    if (!QFile::exists(folder + QStringLiteral("/CRF.XML"))) {
        QCOMPARE(runTool({QStringLiteral("criar"), folder}), 0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runTool({QStringLiteral("bs1"), folder}), 0);
        m_bs1Millis = clock.elapsed();
        QCOMPARE(runTool({QStringLiteral("gerar"), folder, QStringLiteral("BS2_D"), QStringLiteral("2"),
                          QStringLiteral("10000")}),
                 0);
    }
    const QString ticket7 = QStringLiteral("SELECT N1 || '-' || N2 FROM BS2_D WHERE NUMBILHETE=7");
    const QString before = onToolFolder(folder, sale + QStringList{ticket7}).toString();
    const QString usedBefore =
        onToolFolder(folder, {QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE INC=1")}).toString();
    QString err;
    const int code = runTool({command, folder, QStringLiteral("BS2_D"), QStringLiteral("2"),
                              command == u"gerar" ? QStringLiteral("10000") : QStringLiteral("9999")},
                             nullptr, &err);
    QVERIFY2(code != 0 && code != -1, qPrintable(err));
    QVERIFY2(err.contains(why), qPrintable(err));
    // The sold ticket keeps its numbers, the table its size and BS1 its marks.
    QCOMPARE(onToolFolder(folder, {ticket7}).toString(), before);
    QCOMPARE(onToolFolder(folder, {QStringLiteral("SELECT COUNT(*) FROM BS2_D")}).toInt(), 5000);
    QCOMPARE(onToolFolder(folder, {QStringLiteral("SELECT COUNT(*) FROM BS1 WHERE INC=1")}).toString(),
             usedBefore);
    // Once the sale is gone the table can be dealt again.
    onToolFolder(folder, {QStringLiteral("UPDATE BS2_D SET VALID_R3=NULL, VALID_R5=NULL"),
                          QStringLiteral("DELETE FROM DADOSCOMPRADOR_1")});
    QCOMPARE(runTool({QStringLiteral("gerar"), folder, QStringLiteral("BS2_D"), QStringLiteral("2"),
                      QStringLiteral("10000")}),
             0);
}

void TestNumberBases::masterTableRefillKilledLeavesTheOldTable() {
    const QString folder = m_toolDir.path();
    QVERIFY2(m_bs1Millis > 0, "runs after preparationToolKeepsSoldTickets");
    // A mark the refill would clear tells the old table from a new one.
    onToolFolder(folder, {QStringLiteral("UPDATE BS1 SET INC=1 WHERE N1=5")});
    QProcess tool;
    tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("bs1"), folder});
    QVERIFY(tool.waitForStarted());
    // Half-way through the refill, as a power cut would.
    QTest::qWait(int(m_bs1Millis / 2));
    tool.kill();
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(onToolFolder(folder, {QStringLiteral("SELECT COUNT(*) FROM BS1")}).toInt(), 1000000);
    QCOMPARE(onToolFolder(folder, {QStringLiteral("SELECT INC FROM BS1 WHERE N1=5")}).toInt(), 1);
}

void TestNumberBases::failedPreparationLeavesNothingBehind() {
    QTemporaryDir dir;
    // The print database cannot be created where a folder already takes its working name.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ID_BASE.FDB.preparando")));
    QProcess tool;
    tool.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"),
               {QStringLiteral("instalar"), dir.path()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("CRF.XML"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ID_BASE.FDB"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("CRF.XML.preparando"))));

    QProcess help;
    help.start(QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR"), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(10000));
    QCOMPARE(help.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
    for (const char *command : {"instalar PASTA", "criar PASTA", "bs1 PASTA", "gerar PASTA TABELA Q M",
                                "acrescentar PASTA TABELA Q U"})
        QVERIFY2(text.contains(QLatin1String(command)), command);
}

void TestNumberBases::dealingFingerprintIsKeptAndChecked() {
    // Dealt by the tool; the fingerprint kept is sha256sum over the lines written here from the table
    // as read back.
    const QString folder = m_toolDir.path();
    QVERIFY2(m_bs1Millis > 0, "runs after preparationToolKeepsSoldTickets");
    QString out, err;
    QCOMPARE(runTool({QStringLiteral("gerar"), folder, QStringLiteral("BS2_100G"), QStringLiteral("2"),
                      QStringLiteral("100")},
                     &out, &err),
             0);
    QByteArray lines;
    {
        QString error;
        QVERIFY(TDM::openConnection(QStringLiteral("TOOL_FOLDER"), folder + QStringLiteral("/CRF.XML"), &error));
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("TOOL_FOLDER")));
        QVERIFY(q.exec(QStringLiteral("SELECT NUMBILHETE, N1, N2 FROM BS2_100G ORDER BY NUMBILHETE")));
        while (q.next())
            lines += QStringLiteral("%1;%2;%3\n")
                         .arg(q.value(0).toInt(), 2, 10, QChar(u'0'))
                         .arg(q.value(1).toInt(), 2, 10, QChar(u'0'))
                         .arg(q.value(2).toInt(), 2, 10, QChar(u'0'))
                         .toLatin1();
        QSqlQuery kept(QSqlDatabase::database(QStringLiteral("TOOL_FOLDER")));
        QVERIFY(kept.exec(QStringLiteral("SELECT HASH, ORIGEM FROM HASH_TABELAS WHERE TABELA='BS2_100G'")));
        QVERIFY(kept.next());
        QProcess sum;
        sum.start(QStringLiteral("sha256sum"), {QStringLiteral("-")});
        sum.waitForStarted();
        sum.write(lines);
        sum.closeWriteChannel();
        sum.waitForFinished();
        QCOMPARE(lines.count('\n'), 50);
        QCOMPARE(kept.value(0).toString(), QString::fromLatin1(sum.readAllStandardOutput()).section(u' ', 0, 0));
        QCOMPARE(kept.value(1).toString(), QStringLiteral("gerar"));
    }
    QSqlDatabase::database(QStringLiteral("TOOL_FOLDER")).close();
    QSqlDatabase::removeDatabase(QStringLiteral("TOOL_FOLDER"));

    QCOMPARE(runTool({QStringLiteral("conferir"), folder}, &out, &err), 0);
    QVERIFY2(out.contains(QStringLiteral("BS2_100G: confere ")), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("BS2_D: confere ")));
    QVERIFY(out.contains(QStringLiteral("BS1_M: sem impressão digital guardada")));
    // One number of one ticket changed behind the program's back.
    onToolFolder(folder, {QStringLiteral("UPDATE BS2_100G SET N1 = N2, N2 = N1 WHERE NUMBILHETE = 7")});
    QCOMPARE(runTool({QStringLiteral("conferir"), folder}, &out, &err), 1);
    QVERIFY2(out.contains(QStringLiteral("BS2_100G: NÃO CONFERE (guardada ")), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("ATENÇÃO: há tabela que não confere")));
}

KORVANTE_TEST(TestNumberBases)
#include "TestNumberBases.moc"
