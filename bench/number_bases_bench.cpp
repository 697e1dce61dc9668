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
    return ours / theirs >= 0.6 && peakAfterPreparation <= 300 ? 0 : 1;
}
