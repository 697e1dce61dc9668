// The print run of a whole raffle: from confirming the range to the first preview page, the peak
// memory, and the whole PDF. Each figure is a ratio against a baseline measured in the same run:
// the engine's own INSERT ... SELECT of the same rows from a copy inside ID_BASE.FDB into an empty
// queue, and the same pages painted with the same elements from tickets made in memory. Each size
// runs in a process of its own on the prepared folder, so the peak memory is that of the print run
// alone, as the program would meet it, not of preparing a million tickets.
#include "data/AppContext.h"
#include "data/BulkWriter.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "layout/PrintQueue.h"
#include "layout/PrintRun.h"
#include "layout/TicketSheet.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "raffle/NumberBaseDealer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
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

// The same tickets as the queue holds, made on the spot: no database behind them.
class MadeTickets : public TicketSource {
public:
    explicit MadeTickets(qint64 count) : m_count(count) {}
    qint64 count() const override { return m_count; }
    QList<QueuedTicket> fetch(qint64 first, int n, QString *) override {
        QList<QueuedTicket> out;
        for (qint64 i = first; i < qMin(m_count, first + n); ++i) {
            QueuedTicket t;
            t.numBilhete = int(i + 1);
            t.numbers[0] = int((i * 7919) % 1000000);
            t.autDigital = QString();
            out.append(t);
        }
        return out;
    }

private:
    qint64 m_count;
};

bool run(QSqlDatabase db, const QString &sql) {
    QSqlQuery q(db);
    if (q.exec(sql)) return true;
    std::fprintf(stderr, "falhou: %s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

const QString kTable = QStringLiteral("BS1_MISTURADO");

// Prepares the folder: a raffle of a million tickets of one number each in CRF.XML and the same
// rows in PRN_ORIGEM inside ID_BASE.FDB, copied there by our own queue.
bool prepare(const QString &folder) {
    ConsoleDialogs dialogs;
    SystemRandom random;
    QString error;
    if (!DatabaseFiles::createInFolder(folder, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    TDM tdm(folder, dialogs);
    if (!tdm.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    {
        NumberBaseDealer dealer(tdm.CONEX_R(), dialogs, random);
        dealer.setQuiet(true);
        dealer.setWriteMarks(false);
        if (!dealer.fillMasterTable() || !dealer.generateTicketTable(kTable, 1, 1000000).ok) return false;
    }
    PrintQueue queue(tdm);
    const PrintQueue::Outcome all = queue.fill(kTable, 1, {{1, 1000000}});
    if (!all.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(all.error));
        return false;
    }
    const bool ok = run(tdm.CONEX_PRINT(), QStringLiteral("CREATE TABLE PRN_ORIGEM (NUMBILHETE INTEGER NOT NULL "
                                                          "PRIMARY KEY, N1 INTEGER)")) &&
                    run(tdm.CONEX_PRINT(), QStringLiteral("INSERT INTO PRN_ORIGEM SELECT NUMBILHETE, N1 FROM TAB_PRN")) &&
                    queue.empty(&error);
    const QString printPath = tdm.printPath();
    tdm.closeConnections();
    // The million rows just deleted from the queue are swept now, not during the first measure.
    QProcess sweep;
    sweep.start(QStringLiteral("gfix"), {QStringLiteral("-sweep"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                         printPath});
    if (!sweep.waitForFinished(-1) || sweep.exitCode() != 0) {
        std::fprintf(stderr, "gfix -sweep: %s\n", sweep.readAllStandardError().constData());
        return false;
    }
    return ok;
}

// The floor: the engine copies the same rows into an empty queue by itself. Seconds, or < 0.
double measureFloor(const QString &folder, int n) {
    ConsoleDialogs dialogs;
    QString error;
    TDM tdm(folder, dialogs);
    BulkWriter writer;
    if (!tdm.open(&error) || !writer.open(tdm.printPath(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    QElapsedTimer t;
    t.start();
    if (!writer.execute(QStringLiteral("INSERT INTO TAB_PRN (N1, NUMBILHETE, AUT_DIGITAL) SELECT N1, NUMBILHETE, "
                                       "'' FROM PRN_ORIGEM WHERE NUMBILHETE <= ? ORDER BY NUMBILHETE"),
                        {n}, &error) ||
        !writer.commit(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    return t.elapsed() / 1000.0;
}

// One size on the prepared folder; prints its line, returns whether the goals were met.
bool measure(const QString &folder, int n, double floor) {
    ConsoleDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry(QDir(folder).filePath(QStringLiteral("registry.ini")));
    QString error;
    TDM tdm(folder, dialogs);
    if (!tdm.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = 999999;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = kTable;
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, folder}, raffle);
    PrintRun printRun(ctx);
    PrintQueue queue(tdm);

    // A ticket of 60 x 35 mm in three columns: control number, its number and a barcode.
    if (!run(tdm.CONEX_R(), QStringLiteral("UPDATE CADASTRO SET MODALIDADE='000000 - 999999', USAR_QT_NUM='1 Número', "
                                           "USAR_NUM_ID_BILHETE=1, POS_NUMBILHETE_L=30, POS_NUMBILHETE_T=30, "
                                           "USAR_CBARRA=1, POS_CBARRA1_L=60, POS_CBARRA1_T=110, QT_COL_FOLHA=3, "
                                           "DIM_BILHETE_ALT=35, DIM_BILHETE_COMP=60, POS_N1_L=120, POS_N1_T=60, "
                                           "TAM_FONTE_ID_BILH=12, TAM_FONTE_POS_N=14 WHERE CODRIFA=1")) ||
        !tdm.loadRaffleRow(1, &error))
        return false;
    TicketLayout layout;
    layout.load(tdm.CDS_RIfaUSar.record(0), 1);
    printRun.chooseFormat(QStringLiteral("000000 - 999999"));

    QElapsedTimer t;
    // Ours: confirm the range, queue it, draw the first preview page.
    PrintRunInput in;
    in.columnsText = QStringLiteral("3");
    in.de = QStringLiteral("1");
    in.ate = QString::number(n);
    t.start();
    if (!printRun.check(in) || !printRun.fillQueue(in, &error)) {
        std::fprintf(stderr, "fila: %s\n", qPrintable(error));
        return false;
    }
    TicketSheet sheet(layout, printRun.digits());
    sheet.setSource(std::make_shared<QueueTickets>(tdm.CONEX_PRINT(), printRun.queued()));
    const QImage first = sheet.pageImage(0);
    const double ours = t.elapsed() / 1000.0;
    const double peakFirst = peakMegabytes();
    if (printRun.queued() != n || first.isNull()) {
        std::fprintf(stderr, "a fila tem %lld bilhetes, não %d\n", printRun.queued(), n);
        return false;
    }

    // The whole PDF from the queue, then the same pages from tickets made in memory.
    const QString pdf = QDir(folder).filePath(QStringLiteral("bilhetes.pdf"));
    t.start();
    if (!sheet.writePdf(pdf)) return false;
    const double pdfQueue = t.elapsed() / 1000.0;
    const double peakPdf = peakMegabytes();
    const qint64 pdfSize = QFileInfo(pdf).size();
    QFile::remove(pdf);
    TicketSheet made(layout, printRun.digits());
    made.setSource(std::make_shared<MadeTickets>(n));
    t.start();
    if (!made.writePdf(pdf)) return false;
    const double pdfMemory = t.elapsed() / 1000.0;
    QFile::remove(pdf);
    queue.empty();

    const double fillRatio = ours / floor, pdfRatio = pdfMemory / pdfQueue;
    const bool met = fillRatio <= 2.0 && peakPdf < 200 && pdfRatio >= 0.5;
    std::printf("%-10d %9.2f %9.2f %6.2f %9.1f %9.1f %9.2f %10.2f %6.2f %8d  %s (PDF %.1f MB)\n", n, floor, ours,
                fillRatio, peakFirst, peakPdf, pdfQueue, pdfMemory, pdfRatio, sheet.pageCount(),
                met ? "meta atingida" : "META NÃO ATINGIDA", pdfSize / 1048576.0);
    std::fflush(stdout);
    return met;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && args[0] == QLatin1String("--medir"))
        return measure(args[1], args[2].toInt(), args[3].toDouble()) ? 0 : 1;
    if (args.size() == 3 && args[0] == QLatin1String("--piso")) {
        const double floor = measureFloor(args[1], args[2].toInt());
        std::printf("%.4f\n", floor);
        return floor < 0 ? 1 : 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("--preparar")) return prepare(args[1]) ? 0 : 1;

    QList<int> sizes{2500, 100000, 1000000};
    if (!args.isEmpty()) {
        sizes.clear();
        for (const QString &a : args)
            sizes << a.toInt();
    }
    QTemporaryDir dir;
    const QString prepared = dir.filePath(QStringLiteral("preparada"));
    if (!QDir().mkpath(prepared) || !prepare(prepared)) return 1;
    std::printf("%-10s %9s %9s %6s %9s %9s %9s %10s %6s %8s\n", "bilhetes", "piso (s)", "nosso (s)", "razão",
                "pico 1ªp", "pico PDF", "PDF (s)", "memória(s)", "razão", "páginas");
    std::fflush(stdout);
    // Both copies start from the same prepared folder in a fresh process: neither pays for the
    // other's rows (the engine collects deleted rows in the background).
    const QString work = dir.filePath(QStringLiteral("trabalho"));
    const auto fresh = [&] {
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        for (const QString &f : QDir(prepared).entryList(QDir::Files))
            if (!QFile::copy(QDir(prepared).filePath(f), QDir(work).filePath(f))) return false;
        return true;
    };
    bool allMet = true;
    for (int n : sizes) {
        QProcess floor;
        if (!fresh()) return 1;
        floor.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--piso"), work, QString::number(n)});
        if (!floor.waitForFinished(-1) || floor.exitCode() != 0) return 1;
        const QString seconds = QString::fromLatin1(floor.readAllStandardOutput()).trimmed().split(u'\n').last();
        QProcess ours;
        ours.setProcessChannelMode(QProcess::ForwardedChannels);
        if (!fresh()) return 1;
        ours.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--medir"), work, QString::number(n), seconds});
        if (!ours.waitForFinished(-1) || ours.exitStatus() != QProcess::NormalExit) return 1;
        allMet = allMet && ours.exitCode() == 0;
    }
    std::printf("metas: até a primeira página <= 2 x o piso, pico de memória < 200 MB, PDF >= 0,5 x a taxa "
                "da pintura em memória (pico em MB de cada processo: até a 1ª página e com o PDF)\n");
    return allMet ? 0 : 1;
}
