#include "data/DatabaseFiles.h"
#include "data/SchemaScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int usage(QTextStream &out) {
    out << "Uso: Korvante_PREPARAR COMANDO [PARÂMETROS]\n\n"
           "Comandos:\n"
           "  criar PASTA     cria CRF.XML e ID_BASE.FDB vazios na PASTA (não sobrescreve arquivos)\n"
           "  script          mostra o script de criação dos dois bancos\n"
           "  --help          mostra esta ajuda\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h") return usage(out);

    const QString cmd = args[0];
    if (cmd == u"criar") {
        if (args.size() != 2) {
            err << "Erro: informe a PASTA: Korvante_PREPARAR criar PASTA\n";
            return 2;
        }
        QString error;
        if (!DatabaseFiles::createInFolder(QDir(args[1]).absolutePath(), &error)) {
            err << "Erro: " << error << "\n";
            return 1;
        }
        out << "Bancos criados em " << QDir(args[1]).absolutePath() << "\n";
        return 0;
    }
    if (cmd == u"script") {
        out << "-- CRF.XML\n" << SchemaScript::asText(SchemaScript::mainDatabase()) << "\n-- ID_BASE.FDB\n"
            << SchemaScript::asText(SchemaScript::printDatabase());
        return 0;
    }
    err << "Erro: comando desconhecido: " << cmd << "\n";
    usage(err);
    return 2;
}
