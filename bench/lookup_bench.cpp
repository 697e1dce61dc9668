// The drawn-number look-up (which ticket holds a number) in BS10_MILHAO, 100,000 tickets of 10
// numbers: through the number-column indexes, against the same statements with the indexes switched
// off, in the same run (ratio = time without / time with).
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/ConsoleDialogs.h"
#include "reports/TicketLookup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kTickets = 100000;
constexpr int kNumbers = 1000000;

// Every number 0..999999 once: a fixed permutation (7919 is prime to 1,000,000) spread over the tickets.
bool fill(QSqlDatabase db, QString *error) {
    QString cols, vals;
    for (int i = 1; i <= 10; ++i) {
        cols += QStringLiteral(", N%1").arg(i);
        vals += QStringLiteral(", MOD((:i * 10 + %1) * 7919, %2)").arg(i - 1).arg(kNumbers);
    }
    QSqlQuery q(db);
    const QString sql =
        QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < %1) DO BEGIN "
                       "INSERT INTO BS10_MILHAO (NUMBILHETE%2) VALUES (:i + 1%3); i = i + 1; "
                       "END END")
            .arg(kTickets)
            .arg(cols, vals);
    if (!q.exec(sql)) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

bool setIndexes(QSqlDatabase db, bool active, QString *error) {
    for (int i = 1; i <= 10; ++i) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("ALTER INDEX IX_BS10_MILHAO_N%1 %2")
                        .arg(i)
                        .arg(active ? QStringLiteral("ACTIVE") : QStringLiteral("INACTIVE")))) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

// Milliseconds per look-up over `count` numbers drawn with a fixed seed; each must be found.
double measure(const TicketLookup &lookup, int count, QString *error) {
    QRandomGenerator gen(2026);
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < count; ++k) {
        const int n = int(gen.bounded(kNumbers));
        if (!lookup.ticketHolding(n, error)) {
            if (error->isEmpty()) *error = QStringLiteral("number %1 not found").arg(n);
            return -1;
        }
    }
    return clock.nsecsElapsed() / 1e6 / count;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    QString error;
    if (!DatabaseFiles::createInFolder(dir.path(), &error)) {
        out << "cannot create databases: " << error << Qt::endl;
        return 1;
    }
    ConsoleDialogs dialogs;
    TDM tdm(dir.path(), dialogs);
    QElapsedTimer prep;
    prep.start();
    if (!tdm.open(&error) || !fill(tdm.CONEX_R(), &error)) {
        out << "cannot prepare: " << error << Qt::endl;
        return 1;
    }
    out << "BS10_MILHAO filled with " << kTickets << " tickets in " << prep.elapsed() << " ms" << Qt::endl;

    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = kNumbers - 1;
    raffle.QtNumBilhete = 10;
    raffle.TabelaBaseUsar = QStringLiteral("BS10_MILHAO");
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    TicketLookup lookup(tdm.CONEX_R(), raffle);

    measure(lookup, 20, &error); // warm the cache
    const double indexed = measure(lookup, 500, &error);
    if (indexed < 0 || !setIndexes(tdm.CONEX_R(), false, &error)) {
        out << "failed: " << error << Qt::endl;
        return 1;
    }
    const double bare = measure(lookup, 30, &error);
    setIndexes(tdm.CONEX_R(), true, &error);
    if (bare < 0) {
        out << "failed: " << error << Qt::endl;
        return 1;
    }
    out << QStringLiteral("look-up with the indexes:    %1 ms\n").arg(indexed, 0, 'f', 3);
    out << QStringLiteral("look-up without the indexes: %1 ms\n").arg(bare, 0, 'f', 1);
    out << QStringLiteral("ratio (without / with): %1\n").arg(bare / indexed, 0, 'f', 0);
    return 0;
}
