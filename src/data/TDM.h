#pragma once

#include "data/CachedTable.h"
#include "data/DatabaseLocation.h"
#include "data/RaffleRow.h"

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <functional>

class Dialogs;

// The data module: both connections and the shared datasets, one per program run.
class TDM {
public:
    static constexpr const char *MainConnectionName = "KORVANTE";
    static constexpr const char *PrintConnectionName = "BaseRifaPRN";

    TDM(QString programFolder, Dialogs &dialogs);
    ~TDM();
    TDM(const TDM &) = delete;
    TDM &operator=(const TDM &) = delete;

    // Reads config.ini, then connects CONEX_R and CONEX_PRINT. On failure *error holds the reason.
    bool open(QString *error);
    void closeMain();
    // Both connections closed, so that their files can be copied or replaced (the datasets keep
    // their rows); reopenConnections opens them again on the same databases.
    void closeConnections();
    bool reopenConnections(QString *error);
    // Every connection of this program closed by the engine itself, unfinished work rolled back:
    // the way out when the program is told to end (logout, SIGTERM).
    void shutDownEngine();

    // How long start-up waits for a database server that does not answer.
    static constexpr int DefaultServerWaitSeconds = 15;
    void setServerWait(int seconds) { m_serverWaitSeconds = seconds; }
    // Called with true before waiting for the server and with false after, so a window can say so.
    void setConnectingNotice(std::function<void(bool connecting, const QString &server)> notice) {
        m_connectingNotice = std::move(notice);
    }
    // Shows the notice that the local files are used instead of the server's; false ends start-up
    // there, before anything is connected (the program was told to end while the notice was up).
    // Without it the notice goes to the dialogs and start-up goes on.
    void setUnreachableNotice(std::function<bool(const QString &message)> notice) {
        m_unreachableNotice = std::move(notice);
    }

    QSqlDatabase CONEX_R() const;
    QSqlDatabase CONEX_PRINT() const;
    const QString &mainPath() const { return m_mainPath; }
    const QString &printPath() const { return m_printPath; }
    const QString &programFolder() const { return m_programFolder; }

    // The working raffle's row, read again by the windows that need it fresh.
    RaffleRow CDS_RIfaUSar;
    bool loadRaffleRow(int codRifa, QString *error);

    // Ticket count of a number base as the registration shows it ("1.000 Bilhetes"), for m numbers of
    // the modality and q per ticket; empty (and *error set) when it cannot be counted.
    QString TotalBilhetes(int numbers, int perTicket, QString *error = nullptr);

    // Opens (or reopens) a named connection with the system's parameters.
    static bool openConnection(const QString &name, const QString &path, QString *error);

    // Copies a raffle row into cadastro_temp of the print database; failures are silent.
    void AtualCadBaseID(const QSqlRecord &raffleRow);

private:
    QString m_programFolder;
    Dialogs &m_dialogs;
    QString m_mainPath;
    QString m_printPath;
    int m_serverWaitSeconds = DefaultServerWaitSeconds;
    std::function<void(bool, const QString &)> m_connectingNotice;
    std::function<bool(const QString &)> m_unreachableNotice;
};
