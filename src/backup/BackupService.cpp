#include "backup/BackupService.h"

#include "backup/DatabaseCheck.h"
#include "backup/ServerBackup.h"
#include "data/CachedTable.h"
#include "data/DatabaseLocation.h"
#include "data/SchemaUpgrade.h"
#include "data/TDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const QString kMain = QStringLiteral("CRF.XML");
const QString kPrint = QStringLiteral("ID_BASE.FDB");
const QString kMainTable = QStringLiteral("CADASTRO");
const QString kPrintTable = QStringLiteral("TAB_PRN");
const QString kWriting = QStringLiteral(".gravando");
const QString kRestoring = QStringLiteral(".restaurando");
const QString kPrevious = QStringLiteral(".anterior");
const QString kRecovering = QStringLiteral(".recuperando");

// Puts `from` in the place of `to`, keeping what was there until the move succeeded.
bool replaceFile(const QString &from, const QString &to, QString *error) {
    const QString old = to + kPrevious;
    QFile::remove(old);
    const bool hadOld = QFile::exists(to);
    if (hadOld && !QFile::rename(to, old)) {
        *error = QStringLiteral("não foi possível substituir ") + to;
        return false;
    }
    if (!QFile::rename(from, to)) {
        if (hadOld) QFile::rename(old, to);
        *error = QStringLiteral("não foi possível renomear ") + from;
        return false;
    }
    QFile::remove(old);
    return true;
}

} // namespace

QString BackupService::copyAndVerify(const QString &source, const QString &target,
                                     const QString &table) const {
    QFile::remove(target);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return in.errorString();
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return out.errorString();
    // Copied by hand so that a short write (a full or pulled pen drive) is noticed.
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            const QString why = out.errorString();
            out.close();
            QFile::remove(target);
            return why;
        }
    }
    const bool complete = in.error() == QFileDevice::NoError && out.flush() && out.size() == in.size();
    const QString why =
        complete ? QString() : (out.error() != QFileDevice::NoError ? out.errorString() : in.errorString());
    out.close();
    in.close();
    if (!complete) {
        QFile::remove(target);
        return why.isEmpty() ? QStringLiteral("cópia incompleta") : why;
    }
    QString problem;
    if (!DatabaseCheck::verify(target, table, &problem)) {
        QFile::remove(target);
        return problem;
    }
    return {};
}

bool BackupService::openDestinations(CachedTable &rows, QString *error) const {
    return rows.open(m_tdm.CONEX_R(), QStringLiteral("BACKUP"), QStringLiteral("SELECT * FROM BACKUP"), {}, error);
}

QString BackupService::serverName() const {
    // The connections fall back on the local files when the server cannot be reached.
    if (m_tdm.mainPath() == DatabaseLocation::localMainPath(m_programFolder)) return {};
    const DatabaseLocation loc = DatabaseLocation::fromConfig(m_programFolder);
    return loc.isLocal() ? QString() : loc.server.trimmed();
}

QString BackupService::restoreRefusal() const {
    const QString server = serverName();
    if (server.isEmpty()) return {};
    return QStringLiteral("As bases de dados deste sistema estão no servidor %1, e os outros computadores "
                          "trabalham nelas. A restauração de um backup deve ser feita no próprio servidor %1, "
                          "com o sistema aberto naquele computador. Nada foi restaurado.")
        .arg(server);
}

QStringList BackupService::writeToFolders(const QStringList &folders, const QList<Source> &sources) const {
    QStringList results;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (folder.trimmed().isEmpty() || !dir.exists()) {
            results << QStringLiteral("a pasta não existe");
            continue;
        }
        QString why;
        QStringList written;
        for (const Source &f : sources) {
            const QString temp = dir.filePath(f.name + kWriting);
            why = copyAndVerify(f.file, temp, f.table);
            if (!why.isEmpty()) break;
            written << temp;
        }
        // Both copies are renamed only when both are good, so a destination never mixes two backups.
        for (int i = 0; why.isEmpty() && i < written.size(); ++i)
            replaceFile(written[i], dir.filePath(sources[i].name), &why);
        for (const QString &temp : written)
            QFile::remove(temp);
        results << why;
    }
    return results;
}

QStringList BackupService::backup(const QStringList &folders, QString *reopenError, QString *sourceError) {
    const QString server = serverName();
    if (!server.isEmpty()) {
        // The server's backup service reads each database in one snapshot while the other
        // computers go on selling; its stream becomes a database here, checked whole, and that
        // database is what the folders receive.
        QTemporaryDir work;
        QList<Source> sources;
        QString why = work.isValid() ? QString() : work.errorString();
        const struct {
            QString connection, name, table;
        } files[] = {{m_tdm.mainPath(), backupMainName(), kMainTable},
                     {m_tdm.printPath(), backupPrintName(), kPrintTable}};
        for (const auto &f : files) {
            if (!why.isEmpty()) break;
            const QString stream = work.filePath(f.name + QStringLiteral(".fbk"));
            const QString database = work.filePath(f.name);
            if (!ServerBackup::stream(f.connection, stream, &why)) break;
            if (!ServerBackup::restore(stream, database, &why)) break;
            QFile::remove(stream);
            if (!DatabaseCheck::verify(database, f.table, &why)) break;
            sources << Source{database, f.name, f.table};
        }
        if (!why.isEmpty()) {
            if (sourceError)
                *sourceError = QStringLiteral("Não foi possível obter a cópia de segurança das bases de dados do "
                                              "servidor %1. Nenhum backup foi gravado.\r\rDetalhe do Erro: ")
                                   .arg(server) +
                               why;
            QStringList results;
            for (int i = 0; i < folders.size(); ++i)
                results << why;
            return results;
        }
        return writeToFolders(folders, sources);
    }

    const QDir program(m_programFolder);
    m_tdm.closeConnections();
    const QStringList results = writeToFolders(folders, {{program.filePath(kMain), backupMainName(), kMainTable},
                                                         {program.filePath(kPrint), backupPrintName(), kPrintTable}});
    QString error;
    if (!m_tdm.reopenConnections(&error) && reopenError) *reopenError = error;
    return results;
}

QStringList BackupService::backupFilesIn(const QString &folder) {
    if (folder.isEmpty()) return {};
    QStringList names;
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &f : files)
        if (f.compare(backupMainName(), Qt::CaseInsensitive) == 0 ||
            f.compare(backupPrintName(), Qt::CaseInsensitive) == 0)
            names << f;
    return names;
}

BackupService::Restore BackupService::restore(const QString &folder) {
    Restore r;
    if (const QString refusal = restoreRefusal(); !refusal.isEmpty()) {
        r.result = Restore::Result::Refused;
        r.message = refusal;
        return r;
    }
    const QDir dir(folder);
    QString mainBackup, printBackup;
    for (const QString &f : backupFilesIn(folder)) {
        if (f.compare(backupMainName(), Qt::CaseInsensitive) == 0) mainBackup = dir.filePath(f);
        if (f.compare(backupPrintName(), Qt::CaseInsensitive) == 0) printBackup = dir.filePath(f);
    }
    if (mainBackup.isEmpty() || printBackup.isEmpty()) {
        r.result = Restore::Result::Missing;
        return r;
    }

    // Copied beside the databases first: the backup folder may be a write-protected pen drive, and
    // a copy that does not verify must be refused before anything is replaced.
    const QDir program(m_programFolder);
    const struct {
        QString backup, target, table;
    } files[] = {{mainBackup, kMain, kMainTable}, {printBackup, kPrint, kPrintTable}};
    QStringList temps;
    for (const auto &f : files) {
        const QString temp = program.filePath(f.target + kRestoring);
        const QString why = copyAndVerify(f.backup, temp, f.table);
        if (!why.isEmpty()) {
            for (const QString &t : temps)
                QFile::remove(t);
            r.result = Restore::Result::Refused;
            r.message = QStringLiteral("O arquivo de backup ") + QFileInfo(f.backup).fileName() +
                        QStringLiteral(" não é uma cópia íntegra da base de dados e nada foi restaurado. "
                                       "O sistema continua com as bases de dados atuais.") +
                        QStringLiteral("\r\rDetalhe do Erro: ") + why;
            return r;
        }
        temps << temp;
    }

    m_tdm.closeConnections();
    // The restored files replace the working raffle's row as well.
    m_tdm.CDS_RIfaUSar.close();
    QString why;
    QStringList replaced; // targets whose current file was kept aside
    for (int i = 0; i < 2 && why.isEmpty(); ++i) {
        const QString target = program.filePath(files[i].target);
        const QString kept = target + keptSuffix();
        QFile::remove(kept);
        if (QFile::exists(target) && !QFile::rename(target, kept)) {
            why = QStringLiteral("não foi possível guardar ") + files[i].target;
            break;
        }
        replaced << target;
        if (!QFile::rename(temps[i], target))
            why = QStringLiteral("não foi possível gravar ") + files[i].target;
    }
    if (!why.isEmpty()) {
        // Back to the databases as they were.
        for (const QString &target : replaced) {
            if (QFile::exists(target + keptSuffix())) {
                QFile::remove(target);
                QFile::rename(target + keptSuffix(), target);
            }
        }
        for (const QString &t : temps)
            QFile::remove(t);
        r.result = Restore::Result::Failed;
        r.message = QStringLiteral("Não foi possível restaurar os arquivos de backups: ") + why +
                    QStringLiteral(". O sistema continua com as bases de dados atuais.");
    } else {
        r.result = Restore::Result::Done;
        r.restored = backupMainName() + QStringLiteral("\r") + QStringLiteral(" e ") + backupPrintName();
    }
    // A backup of an older version gains what this program's tables have.
    if (m_tdm.reopenConnections(&r.reopenError) && r.result == Restore::Result::Done)
        r.reopenError = SchemaUpgrade::run(m_tdm.CONEX_R()).message;
    return r;
}

void BackupService::recoverProgramFolder(const QString &programFolder) {
    const QDir program(programFolder);
    for (const QString &name : {kMain, kPrint}) {
        const QString target = program.filePath(name);
        const QString kept = target + keptSuffix();
        const QString temp = target + kRecovering;
        QFile::remove(temp);
        // A copy, so that the kept file is there however this ends.
        if (!QFile::exists(target) && QFile::exists(kept) && QFile::copy(kept, temp)) QFile::rename(temp, target);
        QFile::remove(temp);
        QFile::remove(target + kRestoring);
    }
}

void BackupService::recoverDestinations() {
    QStringList folders;
    {
        QSqlQuery q(m_tdm.CONEX_R());
        q.setForwardOnly(true);
        if (q.exec(QStringLiteral("SELECT CAMINHO FROM BACKUP")))
            while (q.next())
                folders << q.value(0).toString();
    }
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (folder.trimmed().isEmpty() || !dir.exists()) continue; // a pen drive that is not plugged in
        for (const QString &name : {backupMainName(), backupPrintName()}) {
            const QString target = dir.filePath(name);
            if (!QFile::exists(target) && QFile::exists(target + kPrevious)) QFile::rename(target + kPrevious, target);
            QFile::remove(target + kWriting);
        }
    }
}
