#include "backup/DatabaseCheck.h"

#include "data/DatabaseCreator.h"
#include "data/FirebirdClient.h"

#include <QAtomicInt>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

void addText(QByteArray &block, char tag, const QByteArray &value, bool wideLength) {
    block.append(tag);
    if (wideLength) {
        block.append(char(value.size() & 0xFF));
        block.append(char((value.size() >> 8) & 0xFF));
    } else {
        block.append(char(value.size()));
    }
    block.append(value);
}

bool holdsTable(const QString &path, const QString &table, QString *error) {
    static QAtomicInt serial;
    const QString name = QStringLiteral("DatabaseCheck%1").arg(serial.fetchAndAddRelaxed(1));
    bool found = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
        db.setDatabaseName(path);
        db.setUserName(DatabaseCreator::user());
        db.setPassword(DatabaseCreator::password());
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            {
                // The query's transaction must be over before the detach: the engine refuses to
                // detach with a transaction open, and the file would stay attached (and written
                // to) until the program ends.
                QSqlQuery q(db);
                if (q.prepare(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME=?"))) {
                    q.addBindValue(table.toUpper());
                    if (q.exec() && q.next()) found = q.value(0).toInt() == 1;
                }
                if (!found && error->isEmpty())
                    *error = QStringLiteral("o arquivo não contém a tabela %1").arg(table.toUpper());
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return found;
}

// The engine's own full validation (what "gfix -v -full" runs), through the service manager.
bool validatePages(const QString &path, QString *error) {
    ISC_STATUS_ARRAY status{};
    isc_svc_handle service = 0;
    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    addText(spb, char(isc_spb_user_name), DatabaseCreator::user().toUtf8(), false);
    addText(spb, char(isc_spb_password), DatabaseCreator::password().toUtf8(), false);
    char manager[] = "service_mgr";
    if (isc_service_attach(status, 0, manager, &service, ushort(spb.size()), spb.constData())) {
        *error = FirebirdClient::statusText(status);
        return false;
    }
    QByteArray request;
    request.append(char(isc_action_svc_repair));
    addText(request, char(isc_spb_dbname), QFile::encodeName(path), true);
    request.append(char(isc_spb_options));
    const quint32 options = isc_spb_rpr_validate_db | isc_spb_rpr_full;
    for (int i = 0; i < 4; ++i)
        request.append(char((options >> (8 * i)) & 0xFF));
    bool ok = true;
    QStringList lines;
    if (isc_service_start(status, &service, nullptr, ushort(request.size()), request.constData())) {
        *error = FirebirdClient::statusText(status);
        ok = false;
    }
    while (ok) {
        char items[] = {char(isc_info_svc_line)};
        char buffer[4096] = {};
        if (isc_service_query(status, &service, nullptr, 0, nullptr, sizeof items, items, sizeof buffer,
                              buffer)) {
            // Validation errors end the service with a failing status.
            *error = FirebirdClient::statusText(status);
            ok = false;
            break;
        }
        if (buffer[0] != char(isc_info_svc_line)) break;
        const int length = int(isc_vax_integer(buffer + 1, 2));
        if (length == 0) break; // end of the output
        lines << QString::fromLocal8Bit(buffer + 3, length);
    }
    ISC_STATUS_ARRAY detachStatus{};
    isc_service_detach(detachStatus, &service);
    if (ok && !lines.isEmpty()) {
        // A healthy database validates without a word; anything said is a finding.
        *error = lines.join(u'\n');
        ok = false;
    }
    return ok;
}

} // namespace

namespace DatabaseCheck {

bool verify(const QString &path, const QString &expectedTable, QString *error) {
    QString why;
    const bool ok = QFile::exists(path) && validatePages(path, &why) && holdsTable(path, expectedTable, &why);
    if (!ok && why.isEmpty()) why = QStringLiteral("o arquivo não existe");
    if (error) *error = why.trimmed();
    return ok;
}

} // namespace DatabaseCheck
