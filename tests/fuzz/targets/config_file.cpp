// config.ini and the other profile files as a person or another program left them: read, then a
// key written, as the program does on start-up and when the sales page's settings change.
#include "FuzzSupport.h"

#include "data/DatabaseLocation.h"
#include "platform/ProfileFile.h"
#include "salespage/SalesPageSettings.h"

#include <QDir>
#include <QFile>

namespace {

// Every key of the program's sections, read before and after a write of another key.
struct Keys {
    QString server, folder, pix, pixNome, pixCidade;
    int fone = 0, tipo = 0;
    bool operator==(const Keys &) const = default;
};

Keys readKeys(const QString &folder) {
    const ProfileFile config(QDir(folder).filePath(QStringLiteral("config.ini")));
    Keys k;
    k.server = config.readString(QStringLiteral("BANCO"), QStringLiteral("NOME_SERVIDOR"));
    k.folder = config.readString(QStringLiteral("BANCO"), QStringLiteral("CAMINHO_BD_MAQ"));
    const SalesPageSettings page(folder);
    k.pix = page.pix();
    k.pixNome = page.pixNome();
    k.pixCidade = page.pixCidade();
    k.fone = page.foneGerHtml();
    k.tipo = page.tipoPix();
    return k;
}

} // namespace

KORVANTE_FUZZ_TARGET(config_file) {
    const QString folder = FuzzSupport::scratchFolder();
    const QString path = QDir(folder).filePath(QStringLiteral("config.ini"));
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate), path);
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const DatabaseLocation location = DatabaseLocation::fromConfig(folder);
    if (!location.isLocal()) {
        location.serverMainPath();
        location.unreachableMessage();
    }
    const Keys before = readKeys(folder);

    // A key written reads back as written, and every other key keeps its value.
    ProfileFile config(path);
    FUZZ_CHECK(config.writeString(QStringLiteral("EXTRA"), QStringLiteral("PIX"), QStringLiteral("a@b.com")),
               path);
    Keys expected = before;
    expected.pix = QStringLiteral("a@b.com");
    const Keys after = readKeys(folder);
    FUZZ_CHECK(after == expected, QStringLiteral("server %1 -> %2, folder %3 -> %4, nome %5 -> %6, pix %7")
                                      .arg(before.server, after.server, before.folder, after.folder,
                                           before.pixNome, after.pixNome, after.pix));
    return 0;
}
