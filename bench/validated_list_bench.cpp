// The validated list of a raffle with 1,000,000 sold tickets: listing every row (keys, count and the
// exact sum), sorting it by buyer, reading a screen of rows at its end and the sales report's last
// page, against the engine's own count and sum of the same rows in the same run
// (ratio = listing / engine's aggregate). The memory the list keeps is read from the process.
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "reports/TQRY_REL_VENDAS.h"
#include "sales/ValidationListing.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kRows = 1000000;

bool fill(QSqlDatabase db, QString *error) {
    QSqlQuery q(db);
    const QString sql =
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < %1) DO BEGIN "
            "INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, AUT_DIGITAL_VAL, "
            "DATA_VAL, NOMECOMP, CIDCOMP) VALUES (1, :i + 1, 10.05, 'Sim', 'ABC123XYZ', "
            "DATE '2026-12-10', 'COMPRADOR ' || MOD(:i * 7919, %1), 'SAO PAULO'); i = i + 1; "
            "END END")
            .arg(kRows);
    if (!q.exec(sql)) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

double residentMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    QString error;
    if (!DatabaseFiles::createInFolder(dir.path(), &error)) {
        out << "cannot create databases: " << error << Qt::endl;
        return 1;
    }
    ConsoleDialogs dialogs;
    TDM tdm(dir.path(), dialogs);
    QElapsedTimer t;
    t.start();
    if (!tdm.open(&error) || !fill(tdm.CONEX_R(), &error)) {
        out << "cannot prepare: " << error << Qt::endl;
        return 1;
    }
    out << kRows << " validated tickets written in " << t.elapsed() << " ms" << Qt::endl;

    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(10, 0))};
    SeededRandom random{1};
    Registry registry(dir.filePath(QStringLiteral("registry.ini")));
    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = 999999;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = QStringLiteral("BS1_MISTURADO");
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, dir.path()}, raffle);

    // Baseline: the engine counts and sums the same rows itself.
    t.restart();
    QSqlQuery q(tdm.CONEX_R());
    q.exec(QStringLiteral(
        "SELECT COUNT(*), SUM(VALOR) FROM DADOSCOMPRADOR_1 WHERE VALIDADO='Sim' AND NUM_CAD_RIFA=1"));
    q.next();
    const double engine = t.nsecsElapsed() / 1e6;
    q.finish();

    const double before = residentMb();
    ValidationListing listing(ctx);
    t.restart();
    if (!listing.run({}, &error)) {
        out << "listing failed: " << error << Qt::endl;
        return 1;
    }
    const double listed = t.nsecsElapsed() / 1e6;
    const double kept = residentMb() - before;
    out << "listing: " << listing.count() << " rows, " << listing.totalText() << Qt::endl;

    t.restart();
    listing.sortBy(ValidationListing::Comprador, &error);
    const double sorted = t.nsecsElapsed() / 1e6;

    t.restart();
    for (int r = listing.count() - 40; r < listing.count(); ++r)
        listing.row(r);
    const double screen = t.nsecsElapsed() / 1e6;

    TQRY_REL_VENDAS report(
        listing.count(),
        [&](int r) -> std::optional<SalesReportRow> {
            const auto s = listing.row(r);
            if (!s) return std::nullopt;
            return SalesReportRow{s->numBilhete, s->validado, s->valor, s->nomeComp};
        },
        6);
    t.restart();
    const int pages = report.pageCount();
    const QImage last = PageOutput::pageImage(report, pages - 1, 96);
    const double lastPage = t.nsecsElapsed() / 1e6;

    out << QStringLiteral("engine's own count and sum: %1 ms\n").arg(engine, 0, 'f', 1);
    out << QStringLiteral("listing (keys, count, exact sum): %1 ms, ratio %2\n")
               .arg(listed, 0, 'f', 1)
               .arg(listed / engine, 0, 'f', 1);
    out << QStringLiteral("memory kept by the list: %1 MB\n").arg(kept, 0, 'f', 1);
    out << QStringLiteral("sorted by buyer: %1 ms, ratio %2\n")
               .arg(sorted, 0, 'f', 1)
               .arg(sorted / engine, 0, 'f', 1);
    out << QStringLiteral("a screen of 40 rows at the end: %1 ms\n").arg(screen, 0, 'f', 1);
    out << QStringLiteral("sales report: %1 pages, last page drawn in %2 ms\n")
               .arg(pages)
               .arg(lastPage, 0, 'f', 1);
    return 0;
}
