#include "backup/ServerBackup.h"

#include "data/DatabaseCreator.h"
#include "data/FirebirdClient.h"

#include <QFile>
#include <functional>
#include <utility>
#include <vector>

namespace {

void addText(QByteArray &block, char tag, const QByteArray &value) {
    block.append(tag);
    block.append(char(value.size() & 0xFF));
    block.append(char((value.size() >> 8) & 0xFF));
    block.append(value);
}

class Service {
public:
    ~Service() {
        if (m_handle) {
            ISC_STATUS_ARRAY status{};
            isc_service_detach(status, &m_handle);
        }
    }
    bool attach(const QString &host, QString *error) {
        QByteArray spb;
        spb.append(char(isc_spb_version));
        spb.append(char(isc_spb_current_version));
        for (const auto &[tag, value] : {std::pair{isc_spb_user_name, DatabaseCreator::user()},
                                         std::pair{isc_spb_password, DatabaseCreator::password()}}) {
            spb.append(char(tag));
            spb.append(char(value.toUtf8().size()));
            spb.append(value.toUtf8());
        }
        const QByteArray name =
            host.isEmpty() ? QByteArrayLiteral("service_mgr") : host.toUtf8() + QByteArrayLiteral(":service_mgr");
        ISC_STATUS_ARRAY status{};
        if (isc_service_attach(status, 0, name.constData(), &m_handle, ushort(spb.size()), spb.constData())) {
            *error = FirebirdClient::statusText(status);
            m_handle = 0;
            return false;
        }
        return true;
    }
    bool start(const QByteArray &request, QString *error) {
        ISC_STATUS_ARRAY status{};
        if (isc_service_start(status, &m_handle, nullptr, ushort(request.size()), request.constData())) {
            *error = FirebirdClient::statusText(status);
            return false;
        }
        return true;
    }
    // Reads the service's output until it ends; each piece goes to `sink`. A failing service ends
    // with a failing status.
    bool read(char item, const std::function<bool(const char *, int)> &sink, QString *error) {
        std::vector<char> buffer(32000); // the length travels as an unsigned short
        for (;;) {
            ISC_STATUS_ARRAY status{};
            const char items[] = {item};
            if (isc_service_query(status, &m_handle, nullptr, 0, nullptr, sizeof items, items,
                                  ushort(buffer.size()), buffer.data())) {
                *error = FirebirdClient::statusText(status);
                return false;
            }
            const char *p = buffer.data();
            if (*p == char(isc_info_data_not_ready)) continue;
            if (*p != item) return true;
            ++p;
            const int length = int(isc_vax_integer(p, 2));
            p += 2;
            if (length > 0 && !sink(p, length)) {
                *error = QStringLiteral("não foi possível gravar a cópia recebida do servidor");
                return false;
            }
            p += length;
            const bool more = *p == char(isc_info_truncated) || *p == char(isc_info_data_not_ready);
            if (length == 0 && !more) return true;
        }
    }

private:
    isc_svc_handle m_handle = 0;
};

} // namespace

namespace ServerBackup {

bool stream(const QString &connection, const QString &target, QString *error) {
    const qsizetype colon = connection.indexOf(u':');
    if (colon <= 0) {
        *error = QStringLiteral("o caminho %1 não é o de um servidor").arg(connection);
        return false;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = out.errorString();
        return false;
    }
    Service service;
    if (!service.attach(connection.left(colon), error)) return false;
    QByteArray request;
    request.append(char(isc_action_svc_backup));
    addText(request, char(isc_spb_dbname), connection.mid(colon + 1).toUtf8());
    // "stdout": the backup comes through the service connection instead of a file on the server.
    addText(request, char(isc_spb_bkp_file), QByteArrayLiteral("stdout"));
    if (!service.start(request, error)) return false;
    const bool ok = service.read(
        char(isc_info_svc_to_eof), [&out](const char *data, int length) { return out.write(data, length) == length; },
        error);
    if (!ok) return false;
    if (!out.flush() || out.size() == 0) {
        *error = out.size() == 0 ? QStringLiteral("o servidor não enviou a cópia") : out.errorString();
        return false;
    }
    out.close();
    return true;
}

bool restore(const QString &streamFile, const QString &database, QString *error) {
    QFile::remove(database);
    Service service;
    if (!service.attach(QString(), error)) return false;
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    addText(request, char(isc_spb_bkp_file), QFile::encodeName(streamFile));
    addText(request, char(isc_spb_dbname), QFile::encodeName(database));
    request.append(char(isc_spb_options));
    const quint32 options = isc_spb_res_create;
    for (int i = 0; i < 4; ++i)
        request.append(char((options >> (8 * i)) & 0xFF));
    if (!service.start(request, error)) return false;
    const bool ok = service.read(char(isc_info_svc_line), [](const char *, int) { return true; }, error);
    if (!ok) QFile::remove(database);
    return ok && QFile::exists(database);
}

} // namespace ServerBackup
