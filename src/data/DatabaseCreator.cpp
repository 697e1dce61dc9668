#include "data/DatabaseCreator.h"

#include "data/FirebirdClient.h"

#include <QFile>

namespace {

using FirebirdClient::statusText;

bool isLocalPath(const QString &connection) {
    // "host:path" and "host/port:path" go to a server; "C:\..." and "/..." are files.
    const qsizetype colon = connection.indexOf(u':');
    return colon < 0 || connection.startsWith(u'/') || colon == 1;
}

class Attachment {
public:
    ~Attachment() { detach(); }
    // Created without synchronous page writes: the script's many commits would each wait for the disk.
    bool createDatabase(const QString &connection, QString *error) {
        FirebirdClient::ParameterBlock dpb;
        dpb.addInt(isc_dpb_page_size, 16384);
        dpb.addInt(isc_dpb_sql_dialect, 3);
        dpb.add(isc_dpb_set_db_charset, QByteArrayLiteral("WIN1252"));
        dpb.addInt(isc_dpb_force_write, 0);
        const QByteArray name = connection.toUtf8();
        if (isc_create_database(m_status, 0, name.constData(), &m_db, dpb.size(), dpb.data(), 0))
            return report(error);
        return true;
    }
    bool attach(const QString &connection, QString *error, int forcedWrites = -1) {
        FirebirdClient::ParameterBlock dpb;
        if (forcedWrites >= 0) dpb.add(isc_dpb_force_write, QByteArray(1, char(forcedWrites)));
        const QByteArray name = connection.toUtf8();
        if (isc_attach_database(m_status, 0, name.constData(), &m_db, dpb.size(), dpb.data()))
            return report(error);
        return true;
    }
    bool execute(const QString &statement, QString *error) {
        isc_tr_handle tr = 0;
        if (isc_start_transaction(m_status, &tr, 1, &m_db, 0, nullptr)) return report(error);
        const QByteArray sql = statement.toUtf8();
        if (isc_dsql_execute_immediate(m_status, &m_db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr)) {
            const QString why = statusText(m_status);
            ISC_STATUS_ARRAY ignored;
            isc_rollback_transaction(ignored, &tr);
            if (error) *error = why + QStringLiteral("\n") + statement;
            return false;
        }
        // DDL only takes effect on commit: each statement commits before the next one uses it.
        if (isc_commit_transaction(m_status, &tr)) return report(error);
        return true;
    }
    bool drop() {
        if (!m_db) return false;
        const bool ok = isc_drop_database(m_status, &m_db) == 0;
        m_db = 0;
        return ok;
    }
    void detach() {
        if (m_db) isc_detach_database(m_status, &m_db);
        m_db = 0;
    }

private:
    bool report(QString *error) {
        if (error) *error = statusText(m_status);
        return false;
    }
    ISC_STATUS_ARRAY m_status{};
    isc_db_handle m_db = 0;
};

} // namespace

bool DatabaseCreator::create(const QString &connection, const QStringList &statements, QString *error,
                             Writes writes) {
    if (isLocalPath(connection) && QFile::exists(connection)) {
        if (error) *error = QStringLiteral("O arquivo já existe: %1").arg(connection);
        return false;
    }
    Attachment db;
    if (!db.createDatabase(connection, error)) return false;
    for (const QString &st : statements) {
        if (!db.execute(st, error)) {
            if (!db.drop() && isLocalPath(connection)) QFile::remove(connection);
            return false;
        }
    }
    db.detach();
    if (writes == Writes::Synchronous && !setForcedWrites(connection, true, error)) {
        if (isLocalPath(connection)) QFile::remove(connection);
        return false;
    }
    return true;
}

bool DatabaseCreator::run(const QString &connection, const QStringList &statements, QString *error) {
    Attachment db;
    if (!db.attach(connection, error)) return false;
    for (const QString &st : statements)
        if (!db.execute(st, error)) return false;
    return true;
}

bool DatabaseCreator::setForcedWrites(const QString &connection, bool on, QString *error) {
    Attachment db;
    return db.attach(connection, error, on ? 1 : 0);
}
