// The sales page's two costly moments, each against a baseline measured in the same run:
//  1. "Listar Todos os Bilhetes Não Comprados" over 1,000,000 free tickets (BS1_MISTURADO): time to
//     the first screen of the grid against reading the same first rows with one bare query, quiet and
//     again under the bench's own load (one busy process per core), each split into the click (the
//     statement and the model) and the painting, with the context switches of each (by thread: the
//     painting hands its large fills to Qt's thread pool and waits for them, and under load each
//     hand-off waits for a core); and the
//     process's peak memory after scrolling to the end (the table is filled by a child process, so
//     the peak is the window's own);
//  2. writing a page of 1,500 tickets against writing the same bytes with one plain file write.
#include "MillionTickets.h"
#include "data/AppContext.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "salespage/SalesPageWriter.h"
#include "salespage/TForm_ListaDisp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <map>
#include <string>
#include <memory>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kTickets = MillionTickets::Count;
constexpr int kRepeats = 20;

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Context switches and CPU time of the whole process (the engine's threads included) and of the
// window's own thread.
struct Switches {
    long voluntary = 0, forced = 0;     // the process
    long ownVoluntary = 0, ownForced = 0; // the window's thread
    double cpuMs = 0, ownCpuMs = 0;
    Switches operator-(const Switches &o) const {
        return {voluntary - o.voluntary,       forced - o.forced, ownVoluntary - o.ownVoluntary,
                ownForced - o.ownForced,       cpuMs - o.cpuMs,   ownCpuMs - o.ownCpuMs};
    }
};

double cpuOf(const rusage &u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

Switches switches() {
    rusage all{}, own{};
    getrusage(RUSAGE_SELF, &all);
    getrusage(RUSAGE_THREAD, &own);
    return {all.ru_nvcsw, all.ru_nivcsw, own.ru_nvcsw, own.ru_nivcsw, cpuOf(all), cpuOf(own)};
}

// Child process: one core kept busy until the bench ends it (or a minute and a half has passed).
int busy() {
    QElapsedTimer t;
    t.start();
    volatile quint64 x = 0;
    while (t.elapsed() < 90000)
        for (int i = 0; i < 1000000; ++i)
            x = x + i;
    return 0;
}

// Context switches of each thread of the process by thread name ("Thread (pooled)" for Qt's pool).
std::map<std::string, long> switchesByThread() {
    std::map<std::string, long> by;
    for (const QString &tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly)) continue;
        const std::string name = comm.readAll().trimmed().toStdString();
        long n = 0;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:")) n += line.mid(line.indexOf(':') + 1).trimmed().toLong();
        by[name] += n;
    }
    return by;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Child process: the million free tickets, so that the peak memory measured is the window's own.
int fill(const QString &folder) {
    QString error;
    if (MillionTickets::prepare(folder, &error)) return 0;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
}

double bareFirstRows(QSqlDatabase db) {
    QElapsedTimer t;
    t.start();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT FIRST %1 NUMBILHETE, N1, VALID_R1 FROM BS1_MISTURADO WHERE (VALID_R1 IS NULL "
                       "OR VALID_R1='') ORDER BY NUMBILHETE")
            .arg(TicketListing::PageSize));
    q.exec();
    int rows = 0;
    while (q.next()) {
        q.value(0);
        q.value(1);
        ++rows;
    }
    if (rows != TicketListing::PageSize) std::fprintf(stderr, "consulta direta leu %d linhas\n", rows);
    return t.nsecsElapsed() / 1e6;
}

SalesPageInput pageOf1500() {
    SalesPageInput in;
    in.raffleName = QStringLiteral("RIFA DA MOTO");
    in.valorDataRifa = QStringLiteral("2,5-24/12/2026");
    in.valorRifa = 2.5;
    in.textoPremios = QStringLiteral("1º PRÊMIO: UMA MOTO\\n ");
    in.textoRegras = QStringLiteral("Loteria Federal\\n ");
    in.maiorNumero = 9999;
    in.qtNumBilhete = 4;
    in.format = ModalityFormat(4);
    in.entre1 = QStringLiteral("1");
    in.entre2 = QStringLiteral("1500");
    in.phone = QStringLiteral("11 987654321");
    in.pixType = QStringLiteral("CPF");
    in.pixKey = QStringLiteral("12345678909");
    in.sellers = {{1, QStringLiteral("Maria")}, {2, QStringLiteral("João")}};
    for (int t = 1; t <= 1500; ++t)
        in.tickets.append(
            ListedTicket{t, {(t - 1) * 4, (t - 1) * 4 + 1, (t - 1) * 4 + 2, (t - 1) * 4 + 3}, QString()});
    return in;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 2 && QByteArray(argv[1]) == "--busy") return busy();
    if (argc == 3 && QByteArray(argv[1]) == "--fill") {
        QCoreApplication app(argc, argv);
        return fill(QString::fromLocal8Bit(argv[2]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("preparando %d bilhetes livres em BS1_MISTURADO...\n", kTickets);
    std::fflush(stdout);
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--fill"), dir.path()}) !=
        0) {
        std::fprintf(stderr, "preparação falhou\n");
        return 1;
    }
    const double peakBefore = peakMegabytes();

    ConsoleDialogs dialogs;
    FixedClock clock(QDateTime::currentDateTime());
    SeededRandom random(1);
    Registry registry(dir.filePath(QStringLiteral("registry.ini")));
    TDM tdm(dir.path(), dialogs);
    QString error;
    if (!tdm.open(&error) || !tdm.loadRaffleRow(1, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = 999999;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = QStringLiteral("BS1_MISTURADO");
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    raffle.LBL_RifaUsar = QStringLiteral("RIFA DO MILHAO");
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, dir.path()}, raffle);

    // 1. The listing.
    bareFirstRows(tdm.CONEX_R()); // both start from a warm cache
    double completeSeconds = 0, endMs = 0, scrollMs = 0;
    int total = 0;
    struct Run {
        double bare, screen, click, paint, ratio;
        Switches bareSw, clickSw, paintSw;
        std::map<std::string, long> paintByThread; // switches during the painting, by thread name
    };
    // Paired, so a busy moment weighs on both.
    // settle: a pause before each timed part, so that what the engine's own threads still do after
    // a statement is not counted in the next one.
    auto measure = [&](TForm_ListaDisp &form, std::vector<Run> *runs, bool settle) {
        auto *button = form.findChild<QPushButton *>(QStringLiteral("Button4"));
        auto *grid = form.findChild<QTableView *>(QStringLiteral("DBGrid1"));
        for (int i = 0; i < kRepeats; ++i) {
            Run r{};
            if (settle) QThread::msleep(30);
            Switches a = switches();
            r.bare = bareFirstRows(tdm.CONEX_R());
            r.bareSw = switches() - a;
            if (settle) QThread::msleep(30);
            QElapsedTimer t;
            t.start();
            a = switches();
            button->click();
            r.click = t.nsecsElapsed() / 1e6;
            const Switches b = switches();
            const auto before = switchesByThread();
            grid->viewport()->repaint(); // the first screen, painted
            r.screen = t.nsecsElapsed() / 1e6;
            r.paint = r.screen - r.click;
            r.clickSw = b - a;
            r.paintSw = switches() - b;
            for (const auto &[name, n] : switchesByThread())
                if (const long d = n - (before.count(name) ? before.at(name) : 0); d > 0) r.paintByThread[name] += d;
            r.ratio = r.screen / r.bare;
            if (grid->model()->data(grid->model()->index(0, 0)).toString() != QLatin1String("000001")) {
                std::fprintf(stderr, "primeira linha errada\n");
                return false;
            }
            runs->push_back(r);
        }
        return true;
    };
    std::vector<Run> quiet, loaded, quietSettled, loadedSettled;
    int cores = 0;
    {
        TForm_ListaDisp form(ctx);
        form.show();
        QApplication::processEvents();
        auto *button = form.findChild<QPushButton *>(QStringLiteral("Button4"));
        auto *grid = form.findChild<QTableView *>(QStringLiteral("DBGrid1"));
        TicketListing &listing = form.CDS_ListarBIlhete();
        for (int i = 0; i < 3; ++i) { // warm-up: the window's first layout and the engine's cache
            button->click();
            grid->viewport()->repaint();
        }
        if (!measure(form, &quiet, false) || !measure(form, &quietSettled, true)) return 1;
        // The same under load: one busy process per core, started and ended by the bench.
        cores = std::max(1, QThread::idealThreadCount());
        std::vector<std::unique_ptr<QProcess>> load;
        for (int c = 0; c < cores; ++c) {
            load.push_back(std::make_unique<QProcess>());
            load.back()->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--busy")});
            load.back()->waitForStarted();
        }
        QThread::msleep(300);
        const bool measured = measure(form, &loaded, false) && measure(form, &loadedSettled, true);
        for (auto &p : load) {
            p->kill(); // our own child, by its handle
            p->waitForFinished();
        }
        if (!measured) return 1;

        QElapsedTimer t;
        t.start();
        while (!listing.isComplete())
            QApplication::processEvents();
        completeSeconds = t.elapsed() / 1000.0;
        QApplication::processEvents();
        total = form.findChild<QLabel *>(QStringLiteral("LBL_Total"))->text().toInt();
        t.restart();
        grid->scrollToBottom();
        grid->viewport()->repaint();
        endMs = t.nsecsElapsed() / 1e6;
        // Dragging the scroll bar through the whole listing, one screen painted per step.
        QScrollBar *bar = grid->verticalScrollBar();
        const int steps = 200;
        t.restart();
        for (int s = 0; s <= steps; ++s) {
            bar->setValue(int(qint64(bar->maximum()) * ((s * 7919) % (steps + 1)) / steps));
            grid->viewport()->repaint();
        }
        scrollMs = t.nsecsElapsed() / 1e6 / (steps + 1);
        grid->scrollToBottom();
        grid->viewport()->repaint();
    }
    const double peak = peakMegabytes();
    auto med = [](const std::vector<Run> &runs, auto field) {
        std::vector<double> v;
        for (const Run &r : runs)
            v.push_back(field(r));
        return median(v);
    };
    auto report = [&](const char *title, const std::vector<Run> &runs) {
        std::printf("  %s:\n", title);
        std::printf("    primeira tela da grade   : %8.2f ms (clique %.2f ms + pintura %.2f ms)\n",
                    med(runs, [](const Run &r) { return r.screen; }), med(runs, [](const Run &r) { return r.click; }),
                    med(runs, [](const Run &r) { return r.paint; }));
        std::printf("    consulta direta (%d linhas): %6.2f ms\n", TicketListing::PageSize,
                    med(runs, [](const Run &r) { return r.bare; }));
        std::printf("    razão (mediana das razões pareadas): %.2f (meta <= 2)\n",
                    med(runs, [](const Run &r) { return r.ratio; }));
        auto mean = [&](auto field) {
            double sum = 0;
            for (const Run &r : runs)
                sum += field(r);
            return sum / runs.size();
        };
        std::printf("    trocas de contexto voluntárias/forçadas (médias), processo | só a janela:\n");
        for (const auto &[name, part] : {std::pair{"consulta direta", &Run::bareSw}, std::pair{"clique", &Run::clickSw},
                                         std::pair{"pintura", &Run::paintSw}})
            std::printf("      %-16s: %5.1f/%5.1f | %5.1f/%5.1f; CPU %6.2f ms, da janela %6.2f ms\n", name,
                        mean([&](const Run &r) { return double((r.*part).voluntary); }),
                        mean([&](const Run &r) { return double((r.*part).forced); }),
                        mean([&](const Run &r) { return double((r.*part).ownVoluntary); }),
                        mean([&](const Run &r) { return double((r.*part).ownForced); }),
                        mean([&](const Run &r) { return (r.*part).cpuMs; }),
                        mean([&](const Run &r) { return (r.*part).ownCpuMs; }));
        std::map<std::string, long> byThread;
        for (const Run &r : runs)
            for (const auto &[name, n] : r.paintByThread)
                byThread[name] += n;
        std::printf("      pintura, trocas por thread (médias):");
        for (const auto &[name, n] : byThread)
            std::printf(" \"%s\" %.1f;", name.c_str(), double(n) / runs.size());
        std::printf("\n");
    };
    const double listingRatio = med(quiet, [](const Run &r) { return r.ratio; });
    const double loadedRatio = med(loaded, [](const Run &r) { return r.ratio; });

    // 2. The page of 1,500 tickets.
    const SalesPageInput input = pageOf1500();
    const QByteArray bytes = SalesPageWriter::bytes(input);
    const QString pagePath = dir.filePath(QStringLiteral("pagina.html"));
    const QString plainPath = dir.filePath(QStringLiteral("simples.html"));
    std::vector<double> writer, plain;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer t;
        t.start();
        if (!SalesPageWriter::write(pagePath, input, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        writer.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        QFile f(plainPath);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) return 1;
        f.close();
        plain.push_back(t.nsecsElapsed() / 1e6);
    }
    const double writerMs = median(writer), plainMs = median(plain);
    const double mb = bytes.size() / 1e6;
    const double pageRatio = (mb / writerMs) / (mb / plainMs);

    std::printf("listagem de %d bilhetes livres (BS1_MISTURADO), medianas de %d vezes:\n", total, kRepeats);
    report("sem carga", quiet);
    const QByteArray loadTitle = QByteArrayLiteral("com carga (") + QByteArray::number(cores) +
                                 QByteArrayLiteral(" processos ocupados, um por núcleo)");
    report(loadTitle.constData(), loaded);
    report("sem carga, com pausa antes de cada parte", quietSettled);
    report("com carga, com pausa antes de cada parte", loadedSettled);
    std::printf("  contagem completa        : %8.2f s (em segundo plano)\n", completeSeconds);
    std::printf("  ir ao fim da lista       : %8.2f ms\n", endMs);
    std::printf("  rolagem, por tela        : %8.2f ms\n", scrollMs);
    std::printf("  pico de memória          : %8.1f MB (%.1f MB antes de abrir a janela; meta < 150)\n", peak,
                peakBefore);
    std::printf("página de 1.500 bilhetes (%.2f MB), medianas de %d vezes:\n", mb, kRepeats);
    std::printf("  gerador                  : %8.2f ms  %8.1f MB/s\n", writerMs, mb / writerMs * 1000);
    std::printf("  gravação simples         : %8.2f ms  %8.1f MB/s\n", plainMs, mb / plainMs * 1000);
    std::printf("  razão                    : %8.2f (meta >= 0.5)\n", pageRatio);
    const bool ok = total == kTickets && listingRatio <= 2 && loadedRatio <= 2 && peak < 150 && pageRatio >= 0.5;
    std::printf("%s\n", ok ? "OK" : "FORA DA META");
    return ok ? 0 : 1;
}
