#include "data/DatabaseFiles.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseLocation.h"
#include "data/SchemaScript.h"

#include <QDir>
#include <QFile>

namespace DatabaseFiles {

bool createInFolder(const QString &folder, QString *error) {
    const QString main = DatabaseLocation::localMainPath(folder);
    const QString print = DatabaseLocation::localPrintPath(folder);
    for (const QString &f : {main, print})
        if (QFile::exists(f)) {
            if (error) *error = QStringLiteral("O arquivo já existe e não será sobrescrito: %1").arg(f);
            return false;
        }
    if (!QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("Não foi possível criar a pasta %1").arg(folder);
        return false;
    }
    if (!DatabaseCreator::create(main, SchemaScript::mainDatabase(), error)) return false;
    if (!DatabaseCreator::create(print, SchemaScript::printDatabase(), error)) {
        QFile::remove(main);
        return false;
    }
    return true;
}

} // namespace DatabaseFiles
