#pragma once

#include <QString>

// The backup of a database that lives on a database server, taken by the server's own backup
// service while the other computers go on working, and brought to this computer as a database.
namespace ServerBackup {
// Streams the server's backup of the database ("host[/port]:path as seen on the server") into a
// local file. *error says why not.
bool stream(const QString &connection, const QString &target, QString *error);
// Restores a backup stream into a new local database file with the embedded engine.
bool restore(const QString &streamFile, const QString &database, QString *error);
} // namespace ServerBackup
