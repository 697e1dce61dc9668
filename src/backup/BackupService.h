#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CachedTable;
class TDM;

// Copies of the two database files of the program folder, made and restored only while both
// connections are closed, written under a temporary name and verified before they count.
class BackupService {
public:
    BackupService(TDM &tdm, QString programFolder) : m_tdm(tdm), m_programFolder(std::move(programFolder)) {}

    static QString backupMainName() { return QStringLiteral("BackupCRF.XML"); }
    static QString backupPrintName() { return QStringLiteral("BackupID_BASE.FDB"); }
    // What a restore keeps of the databases it replaces, beside them: CRF.XML.antes-da-restauracao.
    static QString keptSuffix() { return QStringLiteral(".antes-da-restauracao"); }

    // One result per folder, in order: empty when both copies were written and verified, else why not.
    // *reopenError is set when the connections could not be opened again afterwards. With the
    // databases on a server, the copies come from the server's own backup (the connections stay
    // open); *sourceError says why when it could not be had, and then every folder failed.
    QStringList backup(const QStringList &folders, QString *reopenError, QString *sourceError = nullptr);

    // The list of destination folders (CAMINHO, STATUS) as edits that the window applies.
    bool openDestinations(CachedTable &rows, QString *error) const;

    // The database server this program works on; empty when the databases are local.
    QString serverName() const;
    // Why a restore cannot be made on this computer; empty when it can.
    QString restoreRefusal() const;

    // The backup files a folder offers for a restore, sorted by name.
    static QStringList backupFilesIn(const QString &folder);

    struct Restore {
        enum class Result { Missing, Refused, Failed, Done } result = Result::Missing;
        QString message;  // why it was refused or failed
        QString restored; // "BackupCRF.XML\r e BackupID_BASE.FDB"
        QString reopenError;
    };
    // Replaces both databases by the folder's backup files, once both were copied beside the databases
    // and verified; until then nothing is closed and nothing replaced.
    Restore restore(const QString &folder);

    // Put right at start-up what a killed restore left in the program folder, before the databases
    // are opened: a database file that is missing gets its kept copy back (the kept copy stays),
    // and half-copied files are removed.
    static void recoverProgramFolder(const QString &programFolder);
    // The same for the backups of every reachable destination of the list, once the databases are
    // open: a backup file that is missing gets its previous one back, and half-written ones go.
    void recoverDestinations();

private:
    struct Source {
        QString file, name, table;
    };
    QStringList writeToFolders(const QStringList &folders, const QList<Source> &sources) const;
    QString copyAndVerify(const QString &source, const QString &target, const QString &table) const;

    TDM &m_tdm;
    QString m_programFolder;
};
