#pragma once

#include <QString>

// Whether a copied database file can be trusted before it replaces or stands for a database.
namespace DatabaseCheck {
// True when the file opens as a database holding the table, and the engine's full validation reads
// every page of it back without an error. The file must not be open elsewhere (the validation needs
// it alone). *error says why not.
bool verify(const QString &path, const QString &expectedTable, QString *error);
} // namespace DatabaseCheck
