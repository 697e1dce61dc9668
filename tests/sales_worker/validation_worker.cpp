// A second computer validating tickets of raffle 1 (000-999, one number per ticket) on a server.
// Usage: validation_worker PROGRAM_FOLDER each|seq FROM TO (each: one ticket at a time, downwards when FROM >
// TO) The program folder's config.ini names the server. Prints READY once connected, waits for a line on
// standard input, then prints one line per outcome: OK n, REFUSED n text, FAILED n text (a sequence
// prints OK n as each ticket is committed).
// Or: validation_worker PROGRAM_FOLDER import FILE: imports a validation file at once, printing RECORD n
// after each record and answering every question with its preselected button; boxes go to stderr.
#include "data/AppContext.h"
#include "data/TDM.h"
#include "data/WorkingRaffle.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Random.h"
#include "platform/Registry.h"
#include "sales/SaleValidator.h"
#include "sales/SalesService.h"
#include "sales/ValidationFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>

namespace {

class PrintingDialogs : public Dialogs {
public:
    void message(const QString &title, const QString &text, BoxIcon) override {
        QTextStream(stderr) << title << ": " << text << Qt::endl;
    }
    bool question(const QString &, const QString &, bool defaultYes) override { return defaultYes; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override {
        return {};
    }
    QString chooseOpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

// Tickets a sequence already reported as they were committed are not printed again.
void report(QTextStream &out, const SaleOutcome &o, qsizetype alreadyPrinted = 0) {
    for (qsizetype i = alreadyPrinted; i < o.written.size(); ++i)
        out << "OK " << o.written[i] << '\n';
    switch (o.result) {
    case SaleOutcome::Result::Validated:
    case SaleOutcome::Result::Ignored:
        break;
    case SaleOutcome::Result::AlreadyValidated:
        out << "REFUSED " << o.stoppedAt << ' ' << o.message << '\n';
        break;
    default:
        out << "FAILED " << o.stoppedAt << ' ' << o.message << '\n';
        break;
    }
    out.flush();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const bool import = args.size() == 4 && args[2] == u"import";
    if (!import && (args.size() != 5 || (args[2] != u"each" && args[2] != u"seq"))) {
        out << "usage: validation_worker PROGRAM_FOLDER each|seq FROM TO" << Qt::endl;
        return 2;
    }
    const QString folder = args[1];
    const int from = import ? 0 : args[3].toInt(), to = import ? 0 : args[4].toInt();

    PrintingDialogs dialogs;
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
    raffle.MaiorNumero = 999;
    raffle.QtNumBilhete = 1;
    raffle.TabelaBaseUsar = QStringLiteral("BS1_M");
    raffle.TabelaCompradorUsar = QStringLiteral("DADOSCOMPRADOR_1");
    raffle.ValorRifa = 5;
    AppContext ctx(AppServices{tdm, dialogs, clock, random, registry, folder}, raffle);
    SaleValidator validator(ctx);

    if (import) {
        SalesService sales(ctx);
        SaleFormState state;
        state.price = raffle.ValorRifa;
        sales.setFormState(state);
        ValidationImport importer(ctx, sales);
        importer.progress = [&](int done, int) {
            out << "RECORD " << done << Qt::endl;
            return true;
        };
        bool modoImportacao = false;
        importer.run(args[3], modoImportacao);
        out << "DONE" << Qt::endl;
        return 0;
    }

    out << "READY" << Qt::endl;
    QTextStream in(stdin);
    in.readLine(); // both computers start together

    SaleRequest input;
    input.price = raffle.ValorRifa;
    if (args[2] == u"seq") {
        // Each ticket is told as soon as it is committed: a process killed halfway has said which
        // sales were done.
        int committed = 0;
        validator.setBetweenTickets([&] { out << "OK " << from + committed++ << Qt::endl; });
        input.ticketText = QStringLiteral("%1-%2").arg(from).arg(to);
        report(out, validator.validate(input), committed);
    } else {
        // FROM above TO sells downwards.
        const int step = from <= to ? 1 : -1;
        for (int n = from; n != to + step; n += step) {
            input.ticketText = QString::number(n);
            report(out, validator.validate(input));
        }
    }
    out << "DONE" << Qt::endl;
    return 0;
}
