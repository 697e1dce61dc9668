#pragma once

#include "data/CachedTable.h"
#include "salespage/SalesPageWriter.h"

#include <QSqlDatabase>
#include <QStringList>

// The order phones (TELEFONE) and the allowed page names (LIST_ARQUIVOS) of the sales-page window.
// Additions and deletions reach the database at once.
class SalesPageLists {
public:
    explicit SalesPageLists(QSqlDatabase db);

    bool openPhones(QString *error);
    bool openFileNames(QString *error);
    const CachedTable &CDS_Telefones() const { return m_phones; }
    const CachedTable &CDS_ARQ_SAIDA() const { return m_fileNames; }

    // "DDD NUMBER" per phone, in the order the statement returns them.
    QStringList phoneEntries() const;
    QStringList fileNames() const;

    // The answers are cut to the column widths (3 and 10).
    bool addPhone(const QString &ddd, const QString &telefone, QString *error);
    bool removePhone(int row, QString *error);
    bool addFileName(const QString &name, QString *error);
    bool removeFileName(int row, QString *error);

    // Why a typed page name cannot be used; empty when it can.
    static QString fileNameRefusal(const QString &name);
    // Why a phone cannot be stored as typed; empty when it can.
    static QString phoneRefusal(const QString &ddd, const QString &telefone);
    // Lengths of the columns DDD, TELEFONE and NOME_ARQUIVO.
    static constexpr int MaxDddLength = 3;
    static constexpr int MaxPhoneLength = 10;
    static constexpr int MaxFileNameLength = 30;
    static QString defaultFileName() { return QStringLiteral("vendorifas"); }

    // The sellers for the page's list, in the order the seller statement returns them.
    QList<SalesPageSeller> sellers(QString *error) const;

private:
    QSqlDatabase m_db;
    CachedTable m_phones{QStringLiteral("CDS_Telefones")};
    CachedTable m_fileNames{QStringLiteral("CDS_ARQ_SAIDA")};
};
