// The print run of a whole raffle: from confirming the range to the first preview page, the peak
// memory, and the whole PDF. Each figure is a ratio against a baseline measured in the same run:
// the engine's own INSERT ... SELECT of the same rows from a copy inside ID_BASE.FDB into an empty
// queue, and the same pages painted with the same elements from tickets made in memory.
#include "data/AppContext.h"
#include "data/BulkWriter.h"
#include "data/DatabaseFiles.h"
#include "data/TDM.h"
#include "layout/PrintQueue.h"
#include "layout/PrintRun.h"
#include "layout/TicketSheet.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "raffle/NumberBaseDealer.h"
#include "raffle/WorkingRaffle.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
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

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QList<int> sizes{2500, 100000, 1000000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes << QString::fromLatin1(argv[i]).toInt();
    }
    QTemporaryDir dir;
    ConsoleDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry(dir.filePath(QStringLiteral("registry.ini")));
    QString error;
    if (!DatabaseFiles::createInFolder(dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    TDM tdm(dir.path(), dialogs);
    if (!tdm.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // A raffle of a million tickets of one number each.
    const QString table = QStringLiteral("BS1_MISTURADO");
    {
        NumberBaseDealer dealer(tdm.CONEX_R(), dialogs, random);
        dealer.setQuiet(true);
        dealer.setWriteMarks(false);
        if (!dealer.fillMasterTable() || !dealer.generateTicketTable(table, 1, 1000000).ok) return 1;
    }
    // The same rows inside ID_BASE.FDB, for the engine's own copy.
    if (!run(tdm.CONEX_PRINT(), QStringLiteral("CREATE TABLE PRN_ORIGEM (NUMBILHETE INTEGER NOT NULL PRIMARY KEY, "
                                               "N1 INTEGER)")))
        return 1;
    {
        BulkWriter reader, writer;
        if (!reader.open(tdm.mainPath(), &error, true) || !writer.open(tdm.printPath(), &error)) return 1;
        QVector<qint32> block;
        const auto flush = [&] {
            QStringList rows;
            for (qsizetype i = 0; i < block.size(); i += 2)
                rows << QStringLiteral("INSERT INTO PRN_ORIGEM VALUES (%1, %2);").arg(block[i]).arg(block[i + 1]);
            block.clear();
            return rows.isEmpty() ||
                   writer.execute(QStringLiteral("EXECUTE BLOCK AS BEGIN %1 END").arg(rows.join(u' ')), {}, &error);
        };
        reader.select(QStringLiteral("SELECT NUMBILHETE, N1 FROM %1 ORDER BY NUMBILHETE").arg(table), {},
                      [&](const qint32 *v, const bool *, int) {
                          block << v[0] << v[1];
                          return block.size() < 500 || flush();
                      },
                      &error);
        if (!flush() || !writer.commit(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }

    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = 999999;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = table;
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, dir.path()}, raffle);
    PrintRun printRun(ctx);
    PrintQueue queue(tdm);

    // A ticket of 60 x 35 mm in three columns: control number, its number and a barcode.
    if (!run(tdm.CONEX_R(), QStringLiteral("UPDATE CADASTRO SET MODALIDADE='000000 - 999999', USAR_QT_NUM='1 Número', "
                                           "USAR_NUM_ID_BILHETE=1, POS_NUMBILHETE_L=30, POS_NUMBILHETE_T=30, "
                                           "USAR_CBARRA=1, POS_CBARRA1_L=60, POS_CBARRA1_T=110, QT_COL_FOLHA=3, "
                                           "DIM_BILHETE_ALT=35, DIM_BILHETE_COMP=60, POS_N1_L=120, POS_N1_T=60, "
                                           "TAM_FONTE_ID_BILH=12, TAM_FONTE_POS_N=14 WHERE CODRIFA=1")) ||
        !tdm.loadRaffleRow(1, &error))
        return 1;
    TicketLayout layout;
    layout.load(tdm.CDS_RIfaUSar.record(0), 1);
    printRun.chooseFormat(QStringLiteral("000000 - 999999"));

    bool allMet = true;
    std::printf("%-10s %10s %10s %7s %9s %10s %10s %7s %10s\n", "bilhetes", "piso (s)", "nosso (s)", "razão",
                "pico MB", "PDF (s)", "memória(s)", "razão", "páginas");
    for (int n : sizes) {
        // The floor: the engine copies the same rows into an empty queue by itself.
        queue.empty();
        QElapsedTimer t;
        double floor = 0;
        {
            BulkWriter writer;
            if (!writer.open(tdm.printPath(), &error)) return 1;
            t.start();
            if (!writer.execute(QStringLiteral("INSERT INTO TAB_PRN (N1, NUMBILHETE, AUT_DIGITAL) SELECT N1, NUMBILHETE, "
                                               "'' FROM PRN_ORIGEM WHERE NUMBILHETE <= ? ORDER BY NUMBILHETE"),
                                {n}, &error) ||
                !writer.commit(&error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            floor = t.elapsed() / 1000.0;
        }
        queue.empty();

        // Ours: confirm the range, queue it, draw the first preview page.
        PrintRunInput in;
        in.columnsText = QStringLiteral("3");
        in.de = QStringLiteral("1");
        in.ate = QString::number(n);
        t.start();
        if (!printRun.check(in) || !printRun.fillQueue(in, &error)) {
            std::fprintf(stderr, "fila: %s\n", qPrintable(error));
            return 1;
        }
        TicketSheet sheet(layout, printRun.digits());
        sheet.setSource(std::make_shared<QueueTickets>(tdm.CONEX_PRINT(), printRun.queued()));
        const QImage first = sheet.pageImage(0);
        const double ours = t.elapsed() / 1000.0;
        const double peak = peakMegabytes();
        if (printRun.queued() != n || first.isNull()) {
            std::fprintf(stderr, "a fila tem %lld bilhetes, não %d\n", printRun.queued(), n);
            return 1;
        }

        // The whole PDF from the queue, then the same pages from tickets made in memory.
        const QString pdf = dir.filePath(QStringLiteral("bilhetes.pdf"));
        t.start();
        if (!sheet.writePdf(pdf)) return 1;
        const double pdfQueue = t.elapsed() / 1000.0;
        const qint64 pdfSize = QFileInfo(pdf).size();
        QFile::remove(pdf);
        TicketSheet made(layout, printRun.digits());
        made.setSource(std::make_shared<MadeTickets>(n));
        t.start();
        if (!made.writePdf(pdf)) return 1;
        const double pdfMemory = t.elapsed() / 1000.0;
        QFile::remove(pdf);
        queue.empty();

        const double fillRatio = ours / floor, pdfRatio = pdfMemory / pdfQueue;
        const bool met = fillRatio <= 2.0 && peak < 200 && pdfRatio >= 0.5;
        allMet = allMet && met;
        std::printf("%-10d %10.2f %10.2f %7.2f %9.1f %10.2f %10.2f %7.2f %10d  %s (PDF %.1f MB)\n", n, floor, ours,
                    fillRatio, peak, pdfQueue, pdfMemory, pdfRatio, sheet.pageCount(), met ? "meta atingida" : "META NÃO ATINGIDA",
                    pdfSize / 1048576.0);
        std::fflush(stdout);
    }
    std::printf("metas: até a primeira página <= 2 x o piso, pico de memória < 200 MB, PDF >= 0,5 x a taxa "
                "da pintura em memória\n");
    return allMet ? 0 : 1;
}
