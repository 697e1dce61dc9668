#include "data/DatabaseFiles.h"
#include "data/SchemaSteps.h"
#include "data/SchemaUpgrade.h"
#include "data/TDM.h"
#include "support/RecordingDialogs.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFixtures = QStringLiteral(KORVANTE_SOURCE_DIR "/tests/data/fixtures/");

// A database file restored from a fixture's engine backup.
bool restoreFixture(const QString &backup, const QString &target, QString *error) {
    QProcess gbak;
    gbak.setProcessChannelMode(QProcess::MergedChannels);
    gbak.start(QStringLiteral("gbak"),
               {QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-password"), QStringLiteral("quillmoss"), backup, target});
    if (!gbak.waitForFinished(60000) || gbak.exitCode() != 0) {
        *error = QString::fromLocal8Bit(gbak.readAll()) + gbak.errorString();
        return false;
    }
    return true;
}

QSqlDatabase open(const QString &name, const QString &path) {
    QString error;
    if (!TDM::openConnection(name, path, &error)) qWarning() << error;
    return QSqlDatabase::database(name, false);
}

void close(const QString &name) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

QStringList userTables(QSqlDatabase db) {
    QStringList tables;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0 "
                          "ORDER BY 1"));
    while (q.next())
        tables << q.value(0).toString();
    return tables;
}

// The columns each table has now, in their order.
QMap<QString, QString> columnsOf(QSqlDatabase db, const QStringList &tables) {
    QMap<QString, QString> columns;
    for (const QString &table : tables)
        columns[table] = db.record(table).isEmpty() ? QStringLiteral("*") : [&] {
            QStringList names;
            const QSqlRecord r = db.record(table);
            for (int i = 0; i < r.count(); ++i)
                names << r.fieldName(i);
            return names.join(u',');
        }();
    return columns;
}

// Every row of the tables, as text, in key order; only the given columns of a table when told.
QStringList rows(QSqlDatabase db, const QStringList &tables, const QMap<QString, QString> &columns = {}) {
    QStringList all;
    for (const QString &table : tables) {
        all << QStringLiteral("== ") + table;
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT %2 FROM %1 ORDER BY 1").arg(table, columns.value(table, QStringLiteral("*")))))
            all << q.lastError().text();
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            all << cells.join(u'|');
        }
    }
    return all;
}

// Tables, columns with their types, and the indexes named by us.
QStringList shape(QSqlDatabase db) {
    QStringList all;
    QSqlQuery q(db);
    q.exec(QStringLiteral(
        "SELECT TRIM(RF.RDB$RELATION_NAME), TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
        "F.RDB$FIELD_LENGTH, F.RDB$CHARACTER_SET_ID, RF.RDB$NULL_FLAG, RF.RDB$IDENTITY_TYPE "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        "WHERE R.RDB$SYSTEM_FLAG = 0 ORDER BY 1, 2"));
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << q.value(i).toString();
        all << cells.join(u'|');
    }
    QSqlQuery ix(db);
    ix.exec(QStringLiteral(
        "SELECT TRIM(RDB$INDEX_NAME), TRIM(RDB$RELATION_NAME), RDB$UNIQUE_FLAG FROM RDB$INDICES "
        "WHERE RDB$SYSTEM_FLAG = 0 AND RDB$INDEX_NAME NOT STARTING WITH 'RDB$' ORDER BY 1"));
    while (ix.next())
        all << ix.value(0).toString() + u'|' + ix.value(1).toString() + u'|' + ix.value(2).toString();
    return all;
}

} // namespace

// The schema's version kept in CRF.XML and the steps that bring a database of an earlier program to it.
class TestSchemaUpgrade : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void earlierDatabaseIsUpgraded_data();
    void earlierDatabaseIsUpgraded();
    void newerDatabaseIsRefused();
    void preparationToolUpgradesOrRefuses();

private:
    QTemporaryDir m_fresh;
    QStringList m_freshShape;
};

void TestSchemaUpgrade::initTestCase() {
    QString error;
    QVERIFY2(DatabaseFiles::createInFolder(m_fresh.path(), &error), qPrintable(error));
    {
        QSqlDatabase fresh = open(QStringLiteral("fresh"), m_fresh.filePath(QStringLiteral("CRF.XML")));
        // A new database is born at the current version.
        QCOMPARE(SchemaUpgrade::versionOf(fresh, &error), SchemaSteps::currentVersion());
        QCOMPARE(SchemaUpgrade::run(fresh).result, SchemaUpgrade::Outcome::Result::Current);
        m_freshShape = shape(fresh);
        QVERIFY(m_freshShape.size() > 100);
    }
    close(QStringLiteral("fresh"));
}

void TestSchemaUpgrade::earlierDatabaseIsUpgraded_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<bool>("hadDrawRecords");
    QTest::newRow("a raffle, sales and a draw record") << "today-with-sales-and-draw.fbk" << true;
    QTest::newRow("without SORTEIOS") << "today-without-draw-records.fbk" << false;
}

void TestSchemaUpgrade::earlierDatabaseIsUpgraded() {
    QFETCH(QString, fixture);
    QFETCH(bool, hadDrawRecords);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CRF.XML"));
    QString error;
    QVERIFY2(restoreFixture(kFixtures + fixture, path, &error), qPrintable(error));
    {
        QSqlDatabase db = open(QStringLiteral("earlier"), path);
        QVERIFY(db.isOpen());
        QCOMPARE(SchemaUpgrade::versionOf(db, &error), 1);
        const QStringList tables = userTables(db);
        QCOMPARE(tables.contains(QStringLiteral("SORTEIOS")), hadDrawRecords);
        const QStringList before = rows(db, tables);
        // Later steps add columns to tables it had: their rows are compared on the columns they had.
        const QMap<QString, QString> hadColumns = columnsOf(db, tables);
        if (hadDrawRecords) {
            QVERIFY(before.contains(QStringLiteral("== SORTEIOS")));
            QVERIFY(
                before.join(u'\n').contains(QStringLiteral("JOÃO PEREIRA|SANTOS|<null>|(13) 9****-7777")));
        }

        const SchemaUpgrade::Outcome o = SchemaUpgrade::run(db);
        QVERIFY2(o.ok(), qPrintable(o.message));
        QCOMPARE(o.result, SchemaUpgrade::Outcome::Result::Upgraded);
        QCOMPARE(o.found, 1);
        QCOMPARE(SchemaUpgrade::versionOf(db, &error), SchemaSteps::currentVersion());
        // Every row it had is there as it was; the draw records start empty where they were missing.
        QCOMPARE(rows(db, tables, hadColumns), before);
        QCOMPARE(rows(db, {QStringLiteral("SORTEIOS")}).size(), hadDrawRecords ? 2 : 1);
        // The same tables and columns as a database made new by this program.
        QCOMPARE(shape(db), m_freshShape);
        // Each raffle's closing row and the rows its writers of sales take.
        QCOMPARE(rows(db, {QStringLiteral("VENDAS_ENCERRAMENTO")}).size(), 6);
        QCOMPARE(rows(db, {QStringLiteral("VENDAS_TRAVAS")}).size(), 1 + 5 * 64);
        // Run again (another computer, the next start): nothing to do.
        QCOMPARE(SchemaUpgrade::run(db).result, SchemaUpgrade::Outcome::Result::Current);
        QCOMPARE(rows(db, tables, hadColumns), before);
        // The upgraded table takes a record.
        QSqlQuery insert(db);
        QVERIFY2(insert.exec(QStringLiteral("INSERT INTO SORTEIOS (CODRIFA, NOME_RIFA) VALUES (1, 'X')")),
                 qPrintable(insert.lastError().text()));
    }
    close(QStringLiteral("earlier"));
}

void TestSchemaUpgrade::newerDatabaseIsRefused() {
    QTemporaryDir dir;
    QString error;
    QVERIFY2(DatabaseFiles::createInFolder(dir.path(), &error), qPrintable(error));
    const QString path = dir.filePath(QStringLiteral("CRF.XML"));
    const int newer = SchemaSteps::currentVersion() + 1;
    {
        QSqlDatabase db = open(QStringLiteral("newer"), path);
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("UPDATE VERSAO_BANCO SET VERSAO = %1").arg(newer)));
        const QStringList before = rows(db, userTables(db));
        RecordingDialogs dialogs;
        dialogs.expectMessage(
            QStringLiteral(
                "O banco de dados %1 foi atualizado por uma versão mais nova do KORVANTE (versão %2 do "
                "banco de dados; este programa conhece até a versão %3). Para não danificar os dados, "
                "ele não será aberto: instale a versão mais nova do KORVANTE neste computador.")
                .arg(path)
                .arg(newer)
                .arg(SchemaSteps::currentVersion()),
            BoxIcon::Error);
        QVERIFY(!SchemaUpgrade::atStart(db, dialogs));
        QVERIFY(dialogs.scriptDone());
        QCOMPARE(rows(db, userTables(db)), before);
    }
    close(QStringLiteral("newer"));
}

void TestSchemaUpgrade::preparationToolUpgradesOrRefuses() {
    const QString tool = QStringLiteral(KORVANTE_APP_DIR "/Korvante_PREPARAR");
    auto run = [&](const QString &folder, QString *output) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool, {QStringLiteral("gerar"), folder, QStringLiteral("BS2_100G"), QStringLiteral("2"),
                       QStringLiteral("100")});
        p.waitForFinished(120000);
        *output = QString::fromLocal8Bit(p.readAll());
        return p.exitCode();
    };
    auto ticketsAndVersion = [](const QString &path) {
        QStringList result;
        {
            QSqlDatabase db = open(QStringLiteral("prepared"), path);
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT COUNT(*) FROM BS2_100G"));
            q.next();
            QString error;
            result << q.value(0).toString() << QString::number(SchemaUpgrade::versionOf(db, &error));
        }
        close(QStringLiteral("prepared"));
        return result;
    };

    // An earlier database: upgraded, then dealt.
    QTemporaryDir earlier;
    QString error, output;
    const QString earlierPath = earlier.filePath(QStringLiteral("CRF.XML"));
    QVERIFY2(
        restoreFixture(kFixtures + QStringLiteral("today-without-draw-records.fbk"), earlierPath, &error),
        qPrintable(error));
    {
        // The numbers the dealing draws from.
        QSqlDatabase db = open(QStringLiteral("prepared"), earlierPath);
        QSqlQuery q(db);
        QVERIFY(q.exec(
            QStringLiteral("EXECUTE BLOCK AS DECLARE n INTEGER = 0; BEGIN WHILE (n < 100) DO BEGIN "
                           "INSERT INTO BS1 (NUMBILHETE, N1) VALUES (:n + 1, :n); n = n + 1; END END")));
    }
    close(QStringLiteral("prepared"));
    QVERIFY2(run(earlier.path(), &output) == 0, qPrintable(output));
    QCOMPARE(ticketsAndVersion(earlierPath),
             (QStringList{QStringLiteral("50"), QString::number(SchemaSteps::currentVersion())}));

    // A newer one: refused, nothing dealt.
    QTemporaryDir newer;
    QVERIFY2(DatabaseFiles::createInFolder(newer.path(), &error), qPrintable(error));
    const QString newerPath = newer.filePath(QStringLiteral("CRF.XML"));
    {
        QSqlDatabase db = open(QStringLiteral("prepared"), newerPath);
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("UPDATE VERSAO_BANCO SET VERSAO = VERSAO + 1")));
    }
    close(QStringLiteral("prepared"));
    QCOMPARE(run(newer.path(), &output), 1);
    QVERIFY2(
        output.contains(QStringLiteral("Erro: O banco de dados %1 foi atualizado por uma versão mais nova do "
                                       "KORVANTE")
                            .arg(newerPath)),
        qPrintable(output));
    QCOMPARE(ticketsAndVersion(newerPath),
             (QStringList{QStringLiteral("0"), QString::number(SchemaSteps::currentVersion() + 1)}));
}

KORVANTE_TEST(TestSchemaUpgrade)
#include "TestSchemaUpgrade.moc"
