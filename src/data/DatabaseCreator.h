#pragma once

#include <QString>
#include <QStringList>

// Creates a Firebird database file and runs a creation script in it. Qt SQL can only attach to an
// existing database, so this talks to the client library directly.
class DatabaseCreator {
public:
    // connection: a local path (embedded engine) or "host[/port]:path" on a server.
    // A failed creation leaves no file behind. Refuses an existing local file.
    static bool create(const QString &connection, const QStringList &statements, QString *error);
    // Runs statements in an existing database, each committed on its own.
    static bool run(const QString &connection, const QStringList &statements, QString *error);

    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return QStringLiteral("quillmoss"); }
};
