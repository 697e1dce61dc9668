#pragma once

#include <QStringList>

// The creation script of both database files: every table, generator, trigger, index and the
// initial rows, one statement per entry, in the order they must run.
namespace SchemaScript {
QStringList mainDatabase();  // CRF.XML, at this program's schema version
QStringList printDatabase(); // ID_BASE.FDB
// Just the ticket tables (with their generators, triggers and indexes), for tests that need only some.
QStringList ticketTable(const QString &name);
// The script as one text with a terminator per statement, for reading or for isql.
QString asText(const QStringList &statements);
} // namespace SchemaScript
