// Prepares a whole installation and compares its rate with the engine's own INSERT ... SELECT of the
// same rows into empty copies, measured in the same run.
#include "data/DatabaseCreator.h"
#include "data/SchemaScript.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "raffle/InstallationBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

bool run(QSqlDatabase &db, const QString &sql) {
    QSqlQuery q(db);
    if (q.exec(sql)) return true;
    std::fprintf(stderr, "falhou: %s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// Whether a whole installation is right: every ticket table holds each number of its modality
// exactly once on control numbers 1..n, BS1 holds 0..999,999 on keys 1..1,000,000, every number
// index is active and both files write synchronously. Prints its figures; true when all hold.
bool checkInstallation(const QString &folder) {
    QString error;
    if (!TDM::openConnection(QStringLiteral("check"), folder + QStringLiteral("/CRF.XML"), &error) ||
        !TDM::openConnection(QStringLiteral("checkPrint"), folder + QStringLiteral("/ID_BASE.FDB"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    bool right = true;
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("check"));
    const auto row = [&](const QString &sql) {
        QSqlQuery q(db);
        QList<qint64> values;
        if (!q.exec(sql) || !q.next()) {
            std::fprintf(stderr, "falhou: %s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
            right = false;
            return values;
        }
        for (int i = 0; i < q.record().count(); ++i)
            values << q.value(i).toLongLong();
        return values;
    };
    qint64 tickets = 0, numbers = 0;
    std::printf("\nverificação da instalação:\n");
    const QList<qint64> bs1 = row(QStringLiteral(
        "SELECT COUNT(*), MIN(NUMBILHETE), MAX(NUMBILHETE), SUM(CASE WHEN N1 = NUMBILHETE - 1 THEN 1 ELSE 0 END) "
        "FROM BS1"));
    const bool bs1Right = bs1 == QList<qint64>{1000000, 1, 1000000, 1000000};
    right = right && bs1Right;
    std::printf("  BS1            %8lld linhas  chaves %lld..%lld  N1 = chave - 1 em %lld  %s\n",
                bs1.value(0), bs1.value(1), bs1.value(2), bs1.value(3), bs1Right ? "certa" : "ERRADA");
    for (const TicketTable &t : TicketTables::all()) {
        QStringList parts;
        for (int k = 1; k <= t.perTicket; ++k)
            parts << QStringLiteral("SELECT N%1 v FROM %2").arg(k).arg(t.name);
        const QList<qint64> keys =
            row(QStringLiteral("SELECT COUNT(*), MIN(NUMBILHETE), MAX(NUMBILHETE) FROM %1").arg(t.name));
        const QList<qint64> values =
            row(QStringLiteral("SELECT COUNT(v), COUNT(DISTINCT v), MIN(v), MAX(v) FROM (%1)")
                    .arg(parts.join(QStringLiteral(" UNION ALL "))));
        const bool tableRight = keys == QList<qint64>{t.tickets(), 1, t.tickets()} &&
                                values == QList<qint64>{t.numbers, t.numbers, 0, t.highestNumber()};
        right = right && tableRight;
        tickets += keys.value(0);
        numbers += values.value(1);
        std::printf("  %-14s %8lld bilhetes  chaves %lld..%lld  %lld números, %lld distintos, %lld..%lld  %s\n",
                    qPrintable(t.name), keys.value(0), keys.value(1), keys.value(2), values.value(0),
                    values.value(1), values.value(2), values.value(3), tableRight ? "certa" : "ERRADA");
    }
    const QList<qint64> indexes = row(QStringLiteral(
        "SELECT COUNT(*), SUM(CASE WHEN COALESCE(RDB$INDEX_INACTIVE, 0) = 0 THEN 1 ELSE 0 END) FROM RDB$INDICES "
        "WHERE RDB$INDEX_NAME STARTING WITH 'IX_BS'"));
    qint64 expectedIndexes = 0;
    for (const TicketTable &t : TicketTables::all())
        expectedIndexes += t.perTicket;
    const bool indexesRight = indexes.value(0) == expectedIndexes && indexes.value(1) == expectedIndexes;
    right = right && indexesRight;
    std::printf("  índices de números: %lld de %lld ativos  %s\n", indexes.value(1), expectedIndexes,
                indexesRight ? "certo" : "ERRADO");
    const QList<qint64> forcedMain = row(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE"));
    QSqlQuery p(QSqlDatabase::database(QStringLiteral("checkPrint")));
    const bool forcedPrint = p.exec(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")) && p.next() &&
                             p.value(0).toInt() == 1;
    const bool forcedRight = forcedMain.value(0) == 1 && forcedPrint;
    right = right && forcedRight;
    std::printf("  gravação síncrona: CRF.XML %s, ID_BASE.FDB %s\n", forcedMain.value(0) == 1 ? "ligada" : "DESLIGADA",
                forcedPrint ? "ligada" : "DESLIGADA");
    std::printf("  %lld bilhetes, %lld números distintos em %lld tabelas\n", tickets, numbers,
                qint64(TicketTables::all().size()));
    std::printf("veredito da verificação: %s\n\n", right ? "INSTALAÇÃO CERTA" : "INSTALAÇÃO ERRADA");
    p = QSqlQuery();
    db = QSqlDatabase();
    for (const char *name : {"check", "checkPrint"}) {
        QSqlDatabase::database(QLatin1String(name)).close();
        QSqlDatabase::removeDatabase(QLatin1String(name));
    }
    return right;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ConsoleDialogs dialogs;
    SystemRandom random;
    InstallationBuilder builder(dialogs, random);
    QElapsedTimer clock, stageClock;
    clock.start();
    stageClock.start();
    QString currentStage;
    QMap<QString, double> stageSeconds;
    builder.setProgress([&](const QString &stage, qint64, qint64) {
        if (stage == currentStage) return;
        if (!currentStage.isEmpty()) stageSeconds[currentStage] = stageClock.restart() / 1000.0;
        currentStage = stage;
    });
    QString error;
    if (!builder.build(dir.path(), &error)) {
        std::fprintf(stderr, "preparação falhou: %s\n", qPrintable(error));
        return 1;
    }
    const double prepared = clock.elapsed() / 1000.0;
    stageSeconds[currentStage] = stageClock.elapsed() / 1000.0;
    const double peakAfterPreparation = peakMegabytes();
    const bool installationRight = checkInstallation(dir.path());

    // The copies are written under the same conditions as the preparation: no synchronous page writes.
    if (!DatabaseCreator::setForcedWrites(dir.filePath(QStringLiteral("CRF.XML")), false, &error) ||
        !TDM::openConnection(QStringLiteral("bench"), dir.filePath(QStringLiteral("CRF.XML")), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("bench"));
    QStringList tables{QStringLiteral("BS1")};
    for (const TicketTable &t : TicketTables::all())
        tables << t.name;

    qint64 rows = 0;
    double engine = 0;
    for (const QString &table : tables) {
        // An empty copy with the same columns, key, trigger and indexes.
        const QString copy = table + QStringLiteral("_CP");
        QStringList ddl =
            table == QLatin1String("BS1")
                ? QStringList{QStringLiteral("CREATE TABLE BS1 (NUMBILHETE INTEGER NOT NULL PRIMARY KEY, "
                                             "N1 INTEGER, INC SMALLINT, VALID_R1 CHAR(1), VALID_R2 CHAR(1), "
                                             "VALID_R3 CHAR(1), VALID_R4 CHAR(1), VALID_R5 CHAR(1))")}
                : SchemaScript::ticketTable(table);
        for (QString statement : ddl) {
            statement.replace(table, copy);
            if (!run(db, statement)) return 1;
        }
        // The same index handling as the preparation: rows first, then each index built once.
        QStringList indexes;
        for (const QString &statement : ddl)
            if (statement.startsWith(QLatin1String("CREATE INDEX")))
                indexes << statement.section(u' ', 2, 2).replace(table, copy);
        QElapsedTimer t;
        t.start();
        for (const QString &index : indexes)
            if (!run(db, QStringLiteral("ALTER INDEX %1 INACTIVE").arg(index))) return 1;
        db.transaction();
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(copy, table))) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return 1;
        }
        rows += q.numRowsAffected();
        db.commit();
        for (const QString &index : indexes)
            if (!run(db, QStringLiteral("ALTER INDEX %1 ACTIVE").arg(index))) return 1;
        const double seconds = t.elapsed() / 1000.0;
        engine += seconds;
        std::printf("%-14s %8d linhas  nossa %6.2f s  motor %6.2f s\n", qPrintable(table),
                    q.numRowsAffected(), stageSeconds.value(table), seconds);
    }
    const double ours = rows / prepared, theirs = rows / engine;
    std::printf("linhas: %lld\n", rows);
    std::printf("preparação completa : %8.2f s  %9.0f linhas/s\n", prepared, ours);
    std::printf("INSERT ... SELECT   : %8.2f s  %9.0f linhas/s\n", engine, theirs);
    std::printf("razão               : %8.2f (meta >= 0.6)\n", ours / theirs);
    std::printf("pico de memória     : %8.1f MB na preparação, %.1f MB no total (meta <= 300)\n",
                peakAfterPreparation, peakMegabytes());
    return installationRight && ours / theirs >= 0.6 && peakAfterPreparation <= 300 ? 0 : 1;
}
