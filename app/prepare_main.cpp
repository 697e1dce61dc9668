#include "data/DatabaseFiles.h"
#include "data/DatabaseLocation.h"
#include "data/SchemaScript.h"
#include "data/SchemaUpgrade.h"
#include "data/TDM.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Random.h"
#include "raffle/InstallationBuilder.h"
#include "raffle/NumberBaseDealer.h"

#include "platform/Portuguese.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

const char *const kUsage =
    "Uso: Korvante_PREPARAR COMANDO [PARÂMETROS]\n"
    "Prepara os bancos de dados do KORVANTE (CRF.XML e ID_BASE.FDB).\n\n"
    "Comandos:\n"
    "  instalar PASTA                 prepara uma instalação nova na PASTA: os dois bancos, a base\n"
    "                                 principal BS1 e todas as tabelas de bilhetes já sorteadas\n"
    "  criar PASTA                    cria os dois bancos com as tabelas vazias na PASTA\n"
    "  bs1 PASTA                      gera a base principal BS1 (números 0 a 999.999) em PASTA/CRF.XML\n"
    "  gerar PASTA TABELA Q M         sorteia os M números (100, 1000, 10000, 100000 ou 1000000) em\n"
    "                                 bilhetes de Q números na TABELA (esvazia a tabela antes)\n"
    "  acrescentar PASTA TABELA Q U   acrescenta à TABELA bilhetes de Q números sorteados entre os\n"
    "                                 números até U ainda livres na BS1\n"
    "  script                         mostra o script de criação dos dois bancos\n"
    "  --help                         mostra esta ajuda\n\n"
    "Nenhum comando sobrescreve bancos existentes: instalar e criar recusam uma PASTA que já os tenha.\n";

// One line that redraws itself: [#####.....]  45% BS2_C
class ProgressBar {
public:
    void show(const QString &stage, qint64 done, qint64 total) {
        if (total <= 0) return;
        const int percent = int(done * 100 / total);
        if (stage == m_stage && percent == m_percent) return;
        // Into a log only the finished stages.
        if (!m_terminal && percent < 100) return;
        m_stage = stage;
        m_percent = percent;
        const int filled = percent * 30 / 100;
        std::fprintf(stdout, "\r[%s%s] %3d%% %-14s", QByteArray(filled, '#').constData(),
                     QByteArray(30 - filled, '.').constData(), percent, stage.toLocal8Bit().constData());
        if (!m_terminal && percent == 100) std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    void finish() {
        if (m_terminal && m_percent >= 0) std::fputc('\n', stdout);
        m_percent = -1;
    }

private:
    bool m_terminal = isatty(fileno(stdout));
    QString m_stage;
    int m_percent = -1;
};

int failWith(const QString &text, int code = 1) {
    std::fprintf(stderr, "Erro: %s\n", text.toLocal8Bit().constData());
    return code;
}

bool toInt(const QString &text, int *value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    installPortuguese(app);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h") {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString cmd = args[0];
    if (cmd == u"script") {
        QTextStream out(stdout);
        out << "-- CRF.XML\n"
            << SchemaScript::asText(SchemaScript::mainDatabase()) << "\n-- ID_BASE.FDB\n"
            << SchemaScript::asText(SchemaScript::printDatabase());
        return 0;
    }

    const QMap<QString, int> arity{{QStringLiteral("instalar"), 2},
                                   {QStringLiteral("criar"), 2},
                                   {QStringLiteral("bs1"), 2},
                                   {QStringLiteral("gerar"), 5},
                                   {QStringLiteral("acrescentar"), 5}};
    if (!arity.contains(cmd)) {
        std::fputs(kUsage, stderr);
        return failWith(QStringLiteral("comando desconhecido: %1").arg(cmd), 2);
    }
    if (args.size() != arity[cmd]) {
        std::fputs(kUsage, stderr);
        return failWith(QStringLiteral("parâmetros errados para o comando %1").arg(cmd), 2);
    }
    const QString folder = QDir(args[1]).absolutePath();
    ConsoleDialogs dialogs;
    SystemRandom random;
    ProgressBar bar;
    QElapsedTimer clock;
    clock.start();

    if (cmd == u"criar") {
        QString error;
        if (!DatabaseFiles::createInFolder(folder, &error)) return failWith(error);
        std::printf("Bancos criados em %s\n", folder.toLocal8Bit().constData());
        return 0;
    }
    if (cmd == u"instalar") {
        InstallationBuilder builder(dialogs, random);
        builder.setProgress(
            [&](const QString &stage, qint64 done, qint64 total) { bar.show(stage, done, total); });
        QString error;
        const bool ok = builder.build(folder, &error);
        bar.finish();
        if (!ok) return failWith(error);
        std::printf("Instalação preparada em %s em %.1f s\n", folder.toLocal8Bit().constData(),
                    clock.elapsed() / 1000.0);
        return 0;
    }

    // The other commands work on an existing CRF.XML.
    int q = 0, value = 0;
    if (cmd != u"bs1") {
        if (!toInt(args[3], &q) || !toInt(args[4], &value))
            return failWith(
                QStringLiteral("Q e %1 devem ser números inteiros").arg(cmd == u"gerar" ? "M" : "U"), 2);
        const QString why = cmd == u"gerar" ? NumberBaseDealer::checkGenerate(args[2], q, value)
                                            : NumberBaseDealer::checkAppend(args[2], q, value);
        if (!why.isEmpty()) return failWith(why, 2);
    }
    const QString mainFile = DatabaseLocation::localMainPath(folder);
    if (!QFile::exists(mainFile)) return failWith(QStringLiteral("banco não encontrado: %1").arg(mainFile));
    QString error;
    if (!TDM::openConnection(QStringLiteral("KORVANTE"), mainFile, &error)) return failWith(error);
    // The tables it fills are those of this program's version; a newer database is left alone.
    const SchemaUpgrade::Outcome schema =
        SchemaUpgrade::run(QSqlDatabase::database(QStringLiteral("KORVANTE"), false));
    if (!schema.ok()) return failWith(schema.message);
    NumberBaseDealer dealer(QSqlDatabase::database(QStringLiteral("KORVANTE"), false), dialogs, random);
    dealer.setProgress([&](qint64 done, qint64 total) {
        bar.show(cmd == u"bs1" ? QStringLiteral("BS1") : args[2].toUpper(), done, total);
    });
    bool ok = false;
    if (cmd == u"bs1") {
        ok = dealer.fillMasterTable();
    } else {
        const NumberBaseDealer::Result r = cmd == u"gerar" ? dealer.generateTicketTable(args[2], q, value)
                                                           : dealer.appendTickets(args[2], q, value);
        bar.finish();
        ok = r.ok;
        if (ok) std::printf("%d bilhetes gravados, %d com falha\n", r.inserted, r.failed);
        if (r.failed > 0) return 1;
    }
    bar.finish();
    return ok ? 0 : 1;
}
