#include "data/DatabaseLocation.h"

#include "platform/ProfileFile.h"

#include <QDir>

namespace {

const QString kSection = QStringLiteral("BANCO");
const QString kServerKey = QStringLiteral("NOME_SERVIDOR");
const QString kFolderKey = QStringLiteral("CAMINHO_BD_MAQ");

QString serverFile(const QString &server, const QString &folder, const QString &file) {
    // The folder keeps the server's own separators (C:\Rifas on Windows, /srv/rifas elsewhere).
    const QChar sep = folder.contains(u'\\') ? u'\\' : u'/';
    QString f = folder;
    while (f.endsWith(u'\\') || f.endsWith(u'/'))
        f.chop(1);
    return server.trimmed() + u':' + f + sep + file;
}

} // namespace

DatabaseLocation DatabaseLocation::fromConfig(const QString &programFolder) {
    ProfileFile config(QDir(programFolder).filePath(QStringLiteral("config.ini")));
    DatabaseLocation loc;
    if (config.exists()) {
        loc.server = config.readString(kSection, kServerKey);
        loc.serverFolder = config.readString(kSection, kFolderKey);
    } else {
        config.writeString(kSection, kServerKey, QString());
        config.writeString(kSection, kFolderKey, QString());
    }
    return loc;
}

QString DatabaseLocation::serverMainPath() const {
    return serverFile(server, serverFolder, QStringLiteral("CRF.XML"));
}

QString DatabaseLocation::serverPrintPath() const {
    return serverFile(server, serverFolder, QStringLiteral("ID_BASE.FDB"));
}

QString DatabaseLocation::shareText() const {
    // Without a colon the text starts at the second character, as with one at the start.
    return serverFolder.mid(serverFolder.indexOf(u':') + 2, 150);
}

QString DatabaseLocation::unreachableMessage() const {
    return QStringLiteral("Não foi possível conectar ao Banco de Dados neste Caminho:\\\\") + server + u'\\' +
           shareText() + QStringLiteral("\\CRF.XML") + QStringLiteral("\r\r") +
           QStringLiteral(
               "O Sistema vai conectar a Base de Dados Local. Depois, analise essa comunicação em REDE "
               "com a base que está tentando Conexão. Veja se o Mesmo está com todas as permissões de "
               "Administrador para Leitura/Gravação Total para TODOS os Usuários!");
}

QString DatabaseLocation::localMainPath(const QString &programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("CRF.XML"));
}

QString DatabaseLocation::localPrintPath(const QString &programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("ID_BASE.FDB"));
}
