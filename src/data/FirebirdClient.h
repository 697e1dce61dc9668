#pragma once

#include <QByteArray>
#include <QString>
#include <ibase.h>

// The little that the direct users of the client library share.
namespace FirebirdClient {

QString statusText(const ISC_STATUS *status);

// Attaches and detaches again, waiting at most timeoutSeconds for a server to answer (a server that
// accepts the connection but never answers would otherwise hold the caller for minutes).
bool probe(const QString &connection, int timeoutSeconds, QString *error);

// A database parameter block that already carries the system's login and the UTF-8 connection.
class ParameterBlock {
public:
    ParameterBlock();
    void add(char tag, const QByteArray &value);
    void addInt(char tag, quint32 value);
    const char *data() const { return m_bytes.constData(); }
    short size() const { return short(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

} // namespace FirebirdClient
