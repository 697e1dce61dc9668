#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Firebird server on 127.0.0.1 with its own configuration, lock folder and
// security database, so it never shares engine state with the embedded access
// that the test process itself uses. SYSDBA's password is "quillmoss".
class TestFirebirdServer {
public:
    TestFirebirdServer();
    ~TestFirebirdServer();

    TestFirebirdServer(const TestFirebirdServer &) = delete;
    TestFirebirdServer &operator=(const TestFirebirdServer &) = delete;

    // Returns once the server listens on port(); may move to a new port if
    // another process took this one first.
    bool start(QString *error);
    void stop();

    int port() const;
    QString dataFolder() const;
    QString connectionHost() const;

private:
    bool prepareFolder(QString *error);
    bool writeServerConf(QString *error);
    bool createSecurityDatabase(QString *error);
    bool launch(const QDeadlineTimer &deadline, QString *error, bool *portTaken);
    QProcessEnvironment childEnvironment() const;
    QString serverLog() const;
    void releasePort();

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    bool m_prepared = false;
};
