// The validated list of a raffle with 1,000,000 sold tickets, each figure against the engine's own
// statement measured in the same run, paired and repeated (medians):
//  - the first screen (40 rows) of a new list, against the bare query of those 40 rows (meta <= 2);
//  - the same after sorting by buyer, against the bare sorted query of 40 rows (meta <= 2);
//  - the totals (count and exact sum), against the engine's own COUNT/SUM of the same rows (meta <= 1.5);
//  - scrolling on from the first screen, a jump to the end and the sales report's last page;
//  - the process's peak memory (the rows are written by a child process, so the peak is the list's
//    own together with the engine's cache; meta < 150 MB).
#include "data/DatabaseCreator.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Money.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "reports/TQRY_REL_VENDAS.h"
#include "sales/ValidationListing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 1000000;
constexpr int kScreen = 40;
constexpr int kRepeats = 20;

// Child process: the databases and a million validated tickets, written by the engine itself.
int fill(const QString &folder) {
    QString error;
    const QString main = folder + QStringLiteral("/CRF.XML");
    if (!DatabaseFiles::createInFolder(folder, &error) || !DatabaseCreator::setForcedWrites(main, false, &error) ||
        !TDM::openConnection(QStringLiteral("fill"), main, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("fill"));
    {
        QSqlQuery q(db);
        // Prices of 0,01 to 10,05 (whole cents), buyers in a scattered order, three sellers' codes (one
        // not registered). The statements after the block commit it.
        const bool ok =
            q.exec(QStringLiteral(
                       "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < %1) DO BEGIN "
                       "INSERT INTO DADOSCOMPRADOR_1 (NUM_CAD_RIFA, NUMBILHETE, VALOR, VALIDADO, AUT_DIGITAL_VAL, "
                       "DATA_VAL, NOMECOMP, CIDCOMP, COD_VENDEDOR) VALUES (1, :i + 1, (MOD(:i, 1005) + 1) / 100e0, "
                       "'Sim', 'ABC123XYZ', DATE '2026-12-10', 'COMPRADOR ' || MOD(:i * 7919, %1), 'SAO PAULO', "
                       "MOD(:i, 3)); i = i + 1; END END")
                       .arg(kRows)) &&
            q.exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (1, 'ANA LIMA')")) &&
            q.exec(QStringLiteral("INSERT INTO CAD_VENDEDOR (COD_VEND, NOME_VEND) VALUES (2, 'JOSE SOUZA')"));
        if (!ok) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return 1;
        }
    }
    db.close();
    return DatabaseCreator::setForcedWrites(main, true, &error) ? 0 : 1;
}

double peakMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

// The bare query of a screen's rows: the same columns, filter and order, 40 rows.
double bareScreen(QSqlDatabase db, const QString &order) {
    QElapsedTimer t;
    t.start();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
                  "select C.AUTOCOD, C.NUMBILHETE, C.NOMECOMP, C.FONECOMP, C.CIDCOMP, C.VALIDADO, C.DATA_VAL, "
                  "C.VALOR, C.AUT_DIGITAL_VAL, V.NOME_VEND, C.COD_VENDEDOR from DADOSCOMPRADOR_1 C left join "
                  "CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND where C.VALIDADO='Sim' and C.NUM_CAD_RIFA=? "
                  "order by %1 rows %2")
                  .arg(order)
                  .arg(kScreen));
    q.addBindValue(1);
    q.exec();
    int rows = 0;
    while (q.next()) {
        for (int c = 0; c < 11; ++c)
            q.value(c);
        ++rows;
    }
    if (rows != kScreen) std::fprintf(stderr, "a consulta direta leu %d linhas\n", rows);
    return ms(t);
}

// The engine's own count and sum, its sum (a floating one) in ten-thousandths.
double engineTotals(QSqlDatabase db, qint64 *sum) {
    QElapsedTimer t;
    t.start();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT COUNT(*), SUM(VALOR) FROM DADOSCOMPRADOR_1 WHERE VALIDADO='Sim' AND NUM_CAD_RIFA=?"));
    q.addBindValue(1);
    q.exec();
    q.next();
    *sum = qint64(std::llround(q.value(1).toDouble() * 10000));
    return ms(t);
}

// Reads a screen of rows as the grid does; false when one is missing.
bool screenOf(const ValidationListing &listing, int first) {
    for (int r = first; r < first + kScreen; ++r)
        if (!listing.row(r)) return false;
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--fill") {
        QCoreApplication app(argc, argv);
        return fill(QString::fromLocal8Bit(argv[2]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temporary;
    // "--folder DIR": the databases of an earlier "--fill DIR", kept between runs.
    const bool reuse = argc == 3 && QByteArray(argv[1]) == "--folder";
    const QDir dir(reuse ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    QElapsedTimer t;
    t.start();
    if (!reuse) {
        std::printf("gravando %d bilhetes validados...\n", kRows);
        std::fflush(stdout);
        if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--fill"), dir.path()}) !=
            0) {
            std::fprintf(stderr, "preparação falhou\n");
            return 1;
        }
        std::printf("  gravados em %.1f s\n", t.elapsed() / 1000.0);
    }
    const double peakBefore = peakMb();

    ConsoleDialogs dialogs;
    TDM tdm(dir.path(), dialogs);
    QString error;
    if (!tdm.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
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
    QSqlDatabase db = tdm.CONEX_R();

    // Warm-up: both sides start from the same cache.
    qint64 engineSum = 0;
    engineTotals(db, &engineSum);
    bareScreen(db, QStringLiteral("C.NUMBILHETE"));

    // 1. First screen of a new list, and its totals.
    std::vector<double> bare, first, firstRatios, engine, totals, totalRatios;
    ValidationListing listing(ctx);
    bool exact = true;
    qint64 expected = 0; // the prices written, in whole ten-thousandths
    for (int i = 0; i < kRows; ++i)
        expected += (i % 1005 + 1) * 100;
    for (int i = 0; i < kRepeats; ++i) {
        bare.push_back(bareScreen(db, QStringLiteral("C.NUMBILHETE")));
        t.restart();
        if (!listing.run({}, &error) || !screenOf(listing, 0)) {
            std::fprintf(stderr, "a lista falhou: %s\n", qPrintable(error));
            return 1;
        }
        first.push_back(ms(t));
        firstRatios.push_back(first.back() / bare.back());
        if (i < 5) {
            engine.push_back(engineTotals(db, &engineSum));
            t.restart();
            if (!listing.readTotals(&error)) {
                std::fprintf(stderr, "os totais falharam: %s\n", qPrintable(error));
                return 1;
            }
            totals.push_back(ms(t));
            totalRatios.push_back(totals.back() / engine.back());
            exact = exact && listing.count() == kRows && listing.totalTenThousandths() == expected;
        }
    }
    if (!listing.readTotals(&error)) return 1;
    const double peakOpen = peakMb();

    // 2. Sorted by buyer: the first screen in that order.
    std::vector<double> bareSorted, sorted, sortedRatios;
    for (int i = 0; i < kRepeats / 4; ++i) {
        bareSorted.push_back(bareScreen(db, QStringLiteral("C.NOMECOMP, C.NUMBILHETE")));
        t.restart();
        if (!listing.sortBy(ValidationListing::Comprador, &error) || !screenOf(listing, 0)) return 1;
        sorted.push_back(ms(t));
        sortedRatios.push_back(sorted.back() / bareSorted.back());
    }
    const bool sortedFirst = listing.row(0)->nomeComp == QLatin1String("COMPRADOR 0");

    // 3. Moving through the list in control-number order: scrolling on, a jump to the end.
    if (!listing.sortBy(ValidationListing::NumBilhete, &error)) return 1;
    t.restart();
    int previous = 0;
    bool inOrder = true;
    for (int r = 0; r < 10000; ++r) {
        const auto s = listing.row(r);
        inOrder = inOrder && s && s->numBilhete > previous;
        previous = s ? s->numBilhete : previous;
    }
    const double scrolled = ms(t);
    t.restart();
    const bool endOk = screenOf(listing, listing.count() - kScreen);
    const double toEnd = ms(t);
    const bool lastRight = listing.row(listing.count() - 1)->numBilhete == kRows;
    t.restart();
    const bool nearOk = screenOf(listing, listing.count() / 2);
    const double nearMiddle = ms(t);

    // The same jump sorted by buyer.
    if (!listing.sortBy(ValidationListing::Comprador, &error)) return 1;
    t.restart();
    const bool sortedEndOk = screenOf(listing, listing.count() - kScreen);
    const double sortedToEnd = ms(t);

    // 4. The sales report's last page, over the list as shown.
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
    const double lastPage = ms(t);
    const double peak = peakMb();

    const double firstRatio = median(firstRatios), totalRatio = median(totalRatios),
                 sortedRatio = median(sortedRatios);
    std::printf("lista de %d bilhetes validados, %s; medianas (%d vezes; totais e ordem por comprador %d e %d):\n",
                listing.count(), qPrintable(listing.totalText()), kRepeats, int(totals.size()),
                int(sorted.size()));
    std::printf("  primeira tela (%d linhas)        : %8.2f ms\n", kScreen, median(first));
    std::printf("  consulta direta das %d linhas    : %8.2f ms\n", kScreen, median(bare));
    std::printf("  razão (mediana das pareadas)      : %8.2f (meta <= 2)\n", firstRatio);
    std::printf("  totais (contagem e soma exata)    : %8.2f ms\n", median(totals));
    std::printf("  COUNT/SUM do próprio banco        : %8.2f ms\n", median(engine));
    std::printf("  razão                             : %8.2f (meta <= 1.5)\n", totalRatio);
    std::printf("  soma exata: %s (esperado %s; SUM em ponto flutuante do banco: %s)\n", exact ? "sim" : "NÃO",
                qPrintable(Money::currency(expected)), qPrintable(Money::currency(engineSum)));
    std::printf("  ordenar por comprador, 1ª tela    : %8.2f ms\n", median(sorted));
    std::printf("  consulta direta ordenada          : %8.2f ms\n", median(bareSorted));
    std::printf("  razão                             : %8.2f (meta <= 2)\n", sortedRatio);
    std::printf("  rolar 10.000 linhas em ordem      : %8.2f ms (%.3f ms por tela de %d)\n", scrolled,
                scrolled / (10000.0 / kScreen), kScreen);
    std::printf("  ir ao fim (por Nº do bilhete)     : %8.2f ms\n", toEnd);
    std::printf("  tela no meio, depois do fim       : %8.2f ms\n", nearMiddle);
    std::printf("  ir ao fim (por comprador)         : %8.2f ms\n", sortedToEnd);
    std::printf("  relatório: %d páginas, última em  : %8.2f ms\n", pages, lastPage);
    std::printf("  pico de memória                   : %8.1f MB (%.1f MB antes de abrir, %.1f MB com a lista "
                "aberta e contada; meta < 150)\n",
                peak, peakBefore, peakOpen);
    const bool rowsRight = sortedFirst && inOrder && endOk && lastRight && nearOk && sortedEndOk && !last.isNull();
    if (!rowsRight) std::printf("  LINHAS ERRADAS\n");
    const bool ok = rowsRight && exact && firstRatio <= 2 && sortedRatio <= 2 && totalRatio <= 1.5 && peak < 150;
    std::printf("%s\n", ok ? "OK" : "FORA DA META");
    return ok ? 0 : 1;
}
