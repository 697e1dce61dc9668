#pragma once

#include <QString>

// The two database files of an installation.
namespace DatabaseFiles {
// Creates CRF.XML and ID_BASE.FDB with every table, empty number bases, in the folder.
// Refuses when either file exists; on failure neither file is left behind.
bool createInFolder(const QString &folder, QString *error);
} // namespace DatabaseFiles
