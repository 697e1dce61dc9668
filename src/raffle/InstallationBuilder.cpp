#include "raffle/InstallationBuilder.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseLocation.h"
#include "data/SchemaScript.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "raffle/NumberBaseDealer.h"

#include <QDir>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif
#include <QFile>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kConnection = QStringLiteral("KORVANTE_PREPARAR");

QStringList numberIndexes(const TicketTable &t) {
    QStringList names;
    for (int k = 1; k <= t.perTicket; ++k)
        names << QStringLiteral("IX_%1_N%2").arg(t.name).arg(k);
    return names;
}

bool switchIndexes(QSqlDatabase &db, const QStringList &indexes, bool active, QString *error) {
    for (const QString &index : indexes) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("ALTER INDEX %1 %2").arg(index, active ? "ACTIVE" : "INACTIVE"))) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool syncToDisk(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) return false;
#ifdef Q_OS_WIN
    return true; // the engine's own writes are synchronous again
#else
    return ::fsync(f.handle()) == 0;
#endif
}

} // namespace

bool InstallationBuilder::nameFiles(const QString &mainWork, const QString &printWork, const QString &folder,
                                    QString *error) {
    const QString mainFile = DatabaseLocation::localMainPath(folder);
    const QString printFile = DatabaseLocation::localPrintPath(folder);
    // A rename never replaces a file; only a file this run has just named is taken back.
    bool named = QFile::rename(mainWork, mainFile);
    if (named && !QFile::rename(printWork, printFile)) {
        QFile::rename(mainFile, mainWork);
        named = false;
    }
    if (!named)
        *error = QStringLiteral("Não foi possível dar o nome final aos bancos em %1; nenhum arquivo que já "
                                "estava na pasta foi alterado")
                     .arg(folder);
    return named;
}

bool InstallationBuilder::build(const QString &folder, QString *error) {
    const QString mainFile = DatabaseLocation::localMainPath(folder);
    const QString printFile = DatabaseLocation::localPrintPath(folder);
    for (const QString &f : {mainFile, printFile})
        if (QFile::exists(f)) {
            *error = QStringLiteral("O arquivo já existe e não será sobrescrito: %1").arg(f);
            return false;
        }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Não foi possível criar a pasta %1").arg(folder);
        return false;
    }
    // Two preparations of one folder would throw each other's working files away.
    QLockFile lock(QDir(folder).filePath(QStringLiteral(".Korvante_PREPARAR.lock")));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        *error = QStringLiteral("Outra preparação desta pasta já está em andamento: %1").arg(folder);
        return false;
    }
    for (const QString &f : {mainFile, printFile})
        if (QFile::exists(f)) {
            *error = QStringLiteral("O arquivo já existe e não será sobrescrito: %1").arg(f);
            return false;
        }
    const QString mainWork = mainFile + QStringLiteral(".preparando");
    const QString printWork = printFile + QStringLiteral(".preparando");
    QFile::remove(mainWork);
    QFile::remove(printWork);
    auto cleanUp = [&] {
        if (QSqlDatabase::contains(kConnection)) {
            QSqlDatabase::database(kConnection, false).close();
            QSqlDatabase::removeDatabase(kConnection);
        }
        QFile::remove(mainWork);
        QFile::remove(printWork);
        return false;
    };

    // Until the files carry their final names nothing depends on them: a crash leaves only
    // the working files, which the next run throws away. So the bulk fill skips synchronous writes.
    if (!DatabaseCreator::create(mainWork, SchemaScript::mainDatabase(), error,
                                 DatabaseCreator::Writes::UntilSwitchedOn) ||
        !DatabaseCreator::create(printWork, SchemaScript::printDatabase(), error))
        return cleanUp();

    bool ok = false;
    {
        if (!TDM::openConnection(kConnection, mainWork, error)) return cleanUp();
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        NumberBaseDealer dealer(db, m_dialogs, m_random);
        // A new installation has every number free in BS1.
        dealer.setWriteMarks(false);
        dealer.setQuiet(true);
        dealer.setFingerprintOrigin(QStringLiteral("instalar"));
        QString stage = QStringLiteral("BS1");
        dealer.setProgress([&](qint64 done, qint64 total) {
            if (m_progress) m_progress(stage, done, total);
        });
        ok = dealer.fillMasterTable();
        for (const TicketTable &t : TicketTables::all()) {
            if (!ok) break;
            stage = t.name;
            // Nobody else uses the new file: its indexes are built once, after the rows.
            const QStringList indexes = numberIndexes(t);
            if (!switchIndexes(db, indexes, false, error)) {
                ok = false;
                break;
            }
            const NumberBaseDealer::Result r = dealer.generateTicketTable(t.name, t.perTicket, t.numbers);
            ok = r.ok && r.failed == 0 && r.inserted == t.tickets();
            if (ok && !switchIndexes(db, indexes, true, error)) {
                ok = false;
                break;
            }
            if (!ok && dealer.lastError().isEmpty())
                *error = QStringLiteral("A tabela %1 ficou incompleta: %2 de %3 bilhetes")
                             .arg(t.name)
                             .arg(r.inserted)
                             .arg(t.tickets());
        }
        if (!ok && error->isEmpty()) *error = dealer.lastError();
    }
    QSqlDatabase::database(kConnection, false).close();
    QSqlDatabase::removeDatabase(kConnection);
    if (!ok) return cleanUp();
    // Synchronous writes again for the life of the installation, and what the fill left in the
    // system's cache on the disk before the files take their names.
    if (!DatabaseCreator::setForcedWrites(mainWork, true, error) || !syncToDisk(mainWork) ||
        !syncToDisk(printWork)) {
        if (error->isEmpty())
            *error = QStringLiteral("Não foi possível gravar os bancos no disco em %1").arg(folder);
        return cleanUp();
    }

    if (!nameFiles(mainWork, printWork, folder, error)) return cleanUp();
    return true;
}
