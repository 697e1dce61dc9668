#pragma once

#include <QString>
#include <QStringList>

// Creates a Firebird database file and runs a creation script in it. Qt SQL can only attach to an
// existing database, so this talks to the client library directly.
class DatabaseCreator {
public:
    enum class Writes { Synchronous, UntilSwitchedOn };

    // connection: a local path (embedded engine) or "host[/port]:path" on a server.
    // A failed creation leaves no file behind. Refuses an existing local file. UntilSwitchedOn
    // leaves synchronous page writes off for a bulk fill; setForcedWrites must switch them on.
    static bool create(const QString &connection, const QStringList &statements, QString *error,
                       Writes writes = Writes::Synchronous);
    // Runs statements in an existing database, each committed on its own.
    static bool run(const QString &connection, const QStringList &statements, QString *error);

    // Synchronous page writes on or off, kept in the database file. Only for a file nobody else
    // has open yet: a new installation is filled without them and switched back on at the end.
    static bool setForcedWrites(const QString &connection, bool on, QString *error);

    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return QStringLiteral("quillmoss"); }
};
