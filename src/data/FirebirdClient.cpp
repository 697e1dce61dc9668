#include "data/FirebirdClient.h"

#include "data/DatabaseCreator.h"

namespace FirebirdClient {

QString statusText(const ISC_STATUS *status) {
    QString text;
    char buffer[1024];
    const ISC_STATUS *p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) {
        if (!text.isEmpty()) text += u'\n';
        text += QString::fromLocal8Bit(buffer);
    }
    return text;
}

bool probe(const QString &connection, int timeoutSeconds, QString *error) {
    ParameterBlock dpb;
    dpb.addInt(isc_dpb_connect_timeout, quint32(timeoutSeconds));
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    const QByteArray name = connection.toUtf8();
    if (isc_attach_database(status, 0, name.constData(), &db, dpb.size(), dpb.data())) {
        if (error) *error = statusText(status);
        return false;
    }
    isc_detach_database(status, &db);
    return true;
}

ParameterBlock::ParameterBlock() {
    m_bytes.append(char(isc_dpb_version1));
    add(isc_dpb_user_name, DatabaseCreator::user().toUtf8());
    add(isc_dpb_password, DatabaseCreator::password().toUtf8());
    add(isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"));
}

void ParameterBlock::add(char tag, const QByteArray &value) {
    m_bytes.append(tag);
    m_bytes.append(char(value.size()));
    m_bytes.append(value);
}

void ParameterBlock::addInt(char tag, quint32 value) {
    m_bytes.append(tag);
    m_bytes.append(char(4));
    for (int i = 0; i < 4; ++i)
        m_bytes.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace FirebirdClient
