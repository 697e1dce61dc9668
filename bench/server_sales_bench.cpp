// Several computers selling one raffle of 1,000,000 tickets on one Firebird server. Each computer is a
// process of its own running the sales routine for a fixed time; sales per second are tickets written
// per second, refusals and failures counted apart.
//  1. Scaling: 1, 2 and 4 processes selling single tickets on ranges of their own (two rounds,
//     1-2-4 then 4-2-1, so that a busy moment of the machine weighs on every figure).
//  2. Overlap: two processes selling single tickets (one upwards, one downwards) and two selling
//     sequences over the same tickets at once.
// Then every ticket of the database is checked against what the processes said they sold: none
// sold twice, a mark for every buyer row and no other, every sale reported as done is there.
// Each sale is committed on its own and the database keeps synchronous writes, so one process spends
// most of a sale waiting for the disk; sales committed at the same moment by several processes share
// those writes, which is why the rate grows faster than the number of processes.
// Usage: bench_server_sales [SECONDS]   (time per run, 8 unless given)
#include "MillionTickets.h"
#include "data/AppContext.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "sales/SaleValidator.h"
#include "support/TestFirebirdServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr double kTarget = 1.5;       // 4 processes against 1
constexpr int kRangePerProcess = 40000; // more than a process sells in a run
constexpr int kOverlapRange = 6000;

// ---- the selling process ----------------------------------------------------------------------

// worker FOLDER each|seq FROM TO SECONDS [LENGTH]: sells single tickets from FROM towards TO, or
// sequences of LENGTH tickets upwards, until the time is up or the range is done. Prints READY once
// connected, starts on a line of standard input, then prints OK n for every ticket written, REFUSED n
// and FAILED n text, and DONE with its selling time in milliseconds.
int worker(const QStringList &args) {
    QTextStream out(stdout);
    if (args.size() < 7) return 2;
    const QString folder = args[2];
    const bool sequences = args[3] == u"seq";
    const int from = args[4].toInt(), to = args[5].toInt();
    const int seconds = args[6].toInt();
    const int length = args.size() > 7 ? args[7].toInt() : 1;

    ConsoleDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    Registry registry(QDir(folder).filePath(QStringLiteral("registry.ini")));
    TDM tdm(folder, dialogs);
    QString error;
    if (!tdm.open(&error)) {
        out << "ERROR " << error << Qt::endl;
        return 1;
    }
    WorkingRaffle raffle;
    raffle.CodRifaUsar = QStringLiteral("1");
    raffle.MaiorNumero = MillionTickets::Count - 1;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = QLatin1String(MillionTickets::Table);
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    raffle.ValorRifa = 2.5;
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, folder}, raffle);
    SaleValidator validator(ctx);

    out << "READY" << Qt::endl;
    QTextStream(stdin).readLine();

    // Kept until the end: printing while selling would make the pipe part of the measure.
    QStringList lines;
    QDeadlineTimer deadline(seconds * 1000);
    QElapsedTimer selling;
    selling.start();
    validator.setBetweenTickets([&] {
        if (deadline.hasExpired()) validator.requestStop();
    });
    const auto record = [&](const SaleOutcome &o) {
        for (int n : o.written)
            lines << QStringLiteral("OK %1").arg(n);
        switch (o.result) {
        case SaleOutcome::Result::Validated:
        case SaleOutcome::Result::Interrupted:
        case SaleOutcome::Result::Ignored:
            break;
        case SaleOutcome::Result::AlreadyValidated:
            lines << QStringLiteral("REFUSED %1").arg(o.stoppedAt);
            break;
        default:
            lines << QStringLiteral("FAILED %1 %2").arg(o.stoppedAt).arg(o.message.simplified());
            break;
        }
    };

    SaleRequest input;
    input.price = raffle.ValorRifa;
    if (sequences) {
        int n = from;
        while (n <= to && !deadline.hasExpired()) {
            const int last = std::min(to, n + length - 1);
            input.ticketText = QStringLiteral("%1-%2").arg(n).arg(last);
            const SaleOutcome o = validator.validate(input);
            record(o);
            // The next sequence starts after the ticket that ended this one.
            n = o.result == SaleOutcome::Result::Validated ? last + 1 : std::max(o.stoppedAt, n) + 1;
            if (o.result == SaleOutcome::Result::Interrupted) break;
        }
    } else {
        input.extraFields = true;
        input.city = QStringLiteral("São Paulo");
        const int step = from <= to ? 1 : -1;
        for (int n = from; n != to + step && !deadline.hasExpired(); n += step) {
            input.ticketText = QString::number(n);
            input.buyer = QStringLiteral("COMPRADOR %1").arg(n);
            input.phone = QStringLiteral("(11) 98765-%1").arg(n % 10000, 4, 10, QLatin1Char('0'));
            record(validator.validate(input));
        }
    }
    const qint64 ms = selling.elapsed();
    for (const QString &line : lines)
        out << line << '\n';
    out << "DONE " << ms << Qt::endl;
    return 0;
}

// ---- the bench --------------------------------------------------------------------------------

struct Job {
    QString mode; // each | seq
    int from = 0, to = 0, length = 1;
};

struct Result {
    QList<int> ok;
    int refused = 0;
    QStringList failed;
    double seconds = 0;
    QString problem; // the process did not run to its end
};

class Bench {
public:
    bool setUp(QString *error);
    QList<Result> run(const QList<Job> &jobs, int seconds);
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("bench-check")); }

    TestFirebirdServer server;
    QTemporaryDir programFolder;
};

bool Bench::setUp(QString *error) {
    // The file is filled before the server starts: never two engines on one file at once.
    if (!MillionTickets::prepare(server.dataFolder(), error) || !server.start(error)) return false;
    QFile config(programFolder.filePath(QStringLiteral("config.ini")));
    if (!config.open(QIODevice::WriteOnly)) {
        *error = config.errorString();
        return false;
    }
    config.write(QStringLiteral("[BANCO]\r\nNOME_SERVIDOR=%1\r\nCAMINHO_BD_MAQ=%2\r\n")
                     .arg(server.connectionHost(), server.dataFolder())
                     .toUtf8());
    config.close();
    return TDM::openConnection(QStringLiteral("bench-check"),
                               server.connectionHost() + u':' +
                                   QDir(server.dataFolder()).filePath(QStringLiteral("CRF.XML")),
                               error);
}

QList<Result> Bench::run(const QList<Job> &jobs, int seconds) {
    std::vector<std::unique_ptr<QProcess>> processes;
    QList<Result> results(jobs.size());
    for (const Job &job : jobs) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--worker"), programFolder.path(), job.mode, QString::number(job.from),
                  QString::number(job.to), QString::number(seconds), QString::number(job.length)});
        processes.push_back(std::move(p));
    }
    // Every process connected before any starts selling.
    for (size_t i = 0; i < processes.size(); ++i) {
        QProcess &p = *processes[i];
        while (!p.canReadLine() && p.waitForReadyRead(30000)) {
        }
        const QByteArray first = p.readLine().trimmed();
        if (first != "READY") results[i].problem = QString::fromUtf8(first);
    }
    for (auto &p : processes)
        p->write("go\n");
    for (auto &p : processes)
        p->waitForBytesWritten(5000);
    for (size_t i = 0; i < processes.size(); ++i) {
        QProcess &p = *processes[i];
        p.waitForFinished(seconds * 1000 + 120000);
        Result &r = results[i];
        bool done = false;
        for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
            if (line.startsWith("OK "))
                r.ok << line.mid(3).toInt();
            else if (line.startsWith("REFUSED "))
                ++r.refused;
            else if (line.startsWith("FAILED "))
                r.failed << QString::fromUtf8(line.mid(7));
            else if (line.startsWith("DONE ")) {
                r.seconds = line.mid(5).toDouble() / 1000;
                done = true;
            }
        }
        if (!done && r.problem.isEmpty()) r.problem = QStringLiteral("the process ended without DONE");
    }
    return results;
}

double rate(const QList<Result> &results) {
    double perSecond = 0;
    for (const Result &r : results)
        if (r.seconds > 0) perSecond += r.ok.size() / r.seconds;
    return perSecond;
}

int scalar(QSqlDatabase db, const QString &sql) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

struct Audit {
    int rows = 0, marks = 0, rowsWithoutMark = 0, marksWithoutRow = 0;
    int lost = 0;       // reported as sold, not in the database
    int unreported = 0; // in the database, reported by no process
    int doubleRows = 0; // tickets with more than one buyer row
    int doubleSold = 0; // tickets reported as sold by more than one sale
};

Audit audit(QSqlDatabase db, const QHash<int, int> &reported) {
    Audit a;
    a.rows = scalar(db, QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1"));
    a.marks = scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE VALID_R1 = 'S'")
                             .arg(QLatin1String(MillionTickets::Table)));
    a.rowsWithoutMark = scalar(db, QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 D LEFT JOIN %1 B ON "
                                                  "B.NUMBILHETE = D.NUMBILHETE WHERE B.VALID_R1 IS DISTINCT FROM 'S'")
                                       .arg(QLatin1String(MillionTickets::Table)));
    a.marksWithoutRow = scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1 B WHERE B.VALID_R1 = 'S' AND NOT EXISTS "
                                                  "(SELECT 1 FROM DADOSCOMPRADOR_1 D WHERE D.NUMBILHETE = "
                                                  "B.NUMBILHETE)")
                                       .arg(QLatin1String(MillionTickets::Table)));
    QSet<int> inDatabase;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT NUMBILHETE, COUNT(*) FROM DADOSCOMPRADOR_1 GROUP BY NUMBILHETE"));
    while (q.next()) {
        inDatabase.insert(q.value(0).toInt());
        if (q.value(1).toInt() > 1) ++a.doubleRows;
    }
    for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
        if (!inDatabase.contains(it.key())) ++a.lost;
        if (it.value() > 1) ++a.doubleSold;
    }
    for (int n : inDatabase)
        if (!reported.contains(n)) ++a.unreported;
    return a;
}

void printRun(const char *label, const QList<Result> &results) {
    int ok = 0, refused = 0, failed = 0;
    for (const Result &r : results) {
        ok += r.ok.size();
        refused += r.refused;
        failed += r.failed.size();
    }
    std::printf("  %-26s %7d vendidos  %8.1f vendas/s  %6d recusados  %4d falhas\n", label, ok, rate(results),
                refused, failed);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--worker") return worker(app.arguments());
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 8;

    Bench bench;
    QString error;
    std::printf("preparando a rifa de %d bilhetes e o servidor...\n", MillionTickets::Count);
    std::fflush(stdout);
    if (!bench.setUp(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    QHash<int, int> reported; // ticket -> sales reported as done
    QStringList problems, failures; // processes that did not run to their end; sales the engine refused
    const auto keep = [&](const QList<Result> &results) {
        for (const Result &r : results) {
            for (int n : r.ok)
                ++reported[n];
            if (!r.problem.isEmpty()) problems << r.problem;
            failures << r.failed;
        }
    };

    // 1. Scaling on ranges of their own: every run starts where the last one's ranges ended.
    std::printf("\n1. escala, bilhetes avulsos em faixas separadas, %d s por rodada:\n", seconds);
    int next = 1;
    QHash<int, QList<double>> rates;
    for (int processes : {1, 2, 4, 4, 2, 1}) {
        QList<Job> jobs;
        for (int i = 0; i < processes; ++i) {
            jobs << Job{QStringLiteral("each"), next, next + kRangePerProcess - 1};
            next += kRangePerProcess;
        }
        const QList<Result> results = bench.run(jobs, seconds);
        keep(results);
        rates[processes] << rate(results);
        printRun(qPrintable(QStringLiteral("%1 processo(s)").arg(processes)), results);
    }
    const auto mean = [](const QList<double> &v) { return (v.value(0) + v.value(1)) / 2; };
    const double one = mean(rates[1]), two = mean(rates[2]), four = mean(rates[4]);
    std::printf("  médias: 1 = %.1f  2 = %.1f  4 = %.1f vendas/s; 4/1 = %.2f (meta >= %.1f)\n", one, two, four,
                four / one, kTarget);
    std::printf("  tempo de uma venda em cada processo: %.1f ms com 1, %.1f ms com 2, %.1f ms com 4\n", 1000 / one,
                2000 / two, 4000 / four);

    // 2. Overlap: the same tickets asked for by four processes at once.
    std::printf("\n2. sobreposição: 4 processos nos mesmos %d bilhetes (%d a %d), %d s:\n", kOverlapRange, next,
                next + kOverlapRange - 1, seconds);
    const int first = next, last = next + kOverlapRange - 1;
    const QList<Result> overlap =
        bench.run({Job{QStringLiteral("each"), first, last}, Job{QStringLiteral("each"), last, first},
                   Job{QStringLiteral("seq"), first, last, 10}, Job{QStringLiteral("seq"), first + kOverlapRange / 3, last, 25}},
                  seconds);
    keep(overlap);
    const char *names[] = {"avulsos, subindo", "avulsos, descendo", "sequências de 10", "sequências de 25"};
    for (int i = 0; i < overlap.size(); ++i)
        printRun(names[i], {overlap[i]});
    printRun("os 4 juntos", overlap);
    QSet<int> soldInOverlap;
    for (const Result &r : overlap)
        for (int n : r.ok)
            soldInOverlap.insert(n);
    int overlapRows = 0;
    {
        QSqlQuery q(bench.db());
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM DADOSCOMPRADOR_1 WHERE NUMBILHETE BETWEEN ? AND ?"));
        q.addBindValue(first);
        q.addBindValue(last);
        if (q.exec() && q.next()) overlapRows = q.value(0).toInt();
    }
    std::printf("  bilhetes distintos vendidos: %lld; linhas de comprador na faixa: %d\n",
                static_cast<long long>(soldInOverlap.size()), overlapRows);

    // 3. Every ticket of the database against every sale reported.
    const Audit a = audit(bench.db(), reported);
    std::printf("\n3. conferência do banco inteiro:\n");
    std::printf("  linhas de comprador %d, marcas VALID_R1 %d, linhas sem marca %d, marcas sem linha %d\n", a.rows,
                a.marks, a.rowsWithoutMark, a.marksWithoutRow);
    std::printf("  vendas informadas %lld; perdidas %d; no banco sem informe %d; vendidos duas vezes %d "
                "(linhas) / %d (informes)\n",
                static_cast<long long>(reported.size()), a.lost, a.unreported, a.doubleRows, a.doubleSold);
    for (const QString &p : problems)
        std::printf("  processo: %s\n", qPrintable(p));
    for (const QString &f : failures.mid(0, 5))
        std::printf("  falha: %s\n", qPrintable(f));

    const bool scales = four >= kTarget * one;
    const bool sound = a.rows == a.marks && a.rowsWithoutMark == 0 && a.marksWithoutRow == 0 && a.lost == 0 &&
                       a.unreported == 0 && a.doubleRows == 0 && a.doubleSold == 0 &&
                       overlapRows == soldInOverlap.size() && problems.isEmpty();
    std::printf("\nveredito: escala %s (4/1 = %.2f, meta >= %.1f); integridade %s (0 perdidas, 0 duplas, marcas = "
                "linhas)\n",
                scales ? "OK" : "FORA DA META", four / one, kTarget, sound ? "OK" : "FALHOU");
    QSqlDatabase::database(QStringLiteral("bench-check")).close();
    return scales && sound ? 0 : 1;
}
