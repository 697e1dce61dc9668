#pragma once

#include <QString>

// Where the two database files are, as config.ini says.
struct DatabaseLocation {
    QString server;       // BANCO/NOME_SERVIDOR; empty = local files
    QString serverFolder; // BANCO/CAMINHO_BD_MAQ, the folder as seen on the server

    // Reads config.ini in the program folder, creating it with both keys empty when it is missing.
    static DatabaseLocation fromConfig(const QString &programFolder);

    bool isLocal() const { return server.trimmed().isEmpty(); }
    // Firebird connection strings of CRF.XML and ID_BASE.FDB on the server.
    QString serverMainPath() const;
    QString serverPrintPath() const;
    // The folder as a share of the server: the text two characters after the first ':' (at most 150).
    QString shareText() const;
    // The notice shown when the server's databases cannot be reached.
    QString unreachableMessage() const;

    static QString localMainPath(const QString &programFolder);
    static QString localPrintPath(const QString &programFolder);
};
