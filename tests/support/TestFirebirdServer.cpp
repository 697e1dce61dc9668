#include "TestFirebirdServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>

#include <unistd.h>

namespace {

const QString kPassword = QStringLiteral("quillmoss");
constexpr int kStartTimeoutMs = 20000;
constexpr int kPortAttempts = 4;

// Two instances in one process must not be handed the same free port before
// either server has bound it.
QMutex portMutex;
QSet<int> reservedPorts;

int reservePort() {
    for (int i = 0; i < 50; ++i) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) continue;
        const int port = probe.serverPort();
        probe.close();
        QMutexLocker lock(&portMutex);
        if (!reservedPorts.contains(port)) {
            reservedPorts.insert(port);
            return port;
        }
    }
    return 0;
}

QString firebirdRoot() {
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString &sub : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString root = lib.filePath(sub + QStringLiteral("/firebird/3.0"));
        if (QFile::exists(root + QStringLiteral("/firebird.msg"))) return root;
    }
    return {};
}

QString serverProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("firebird"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
}

bool writeFile(const QString &path, const QByteArray &content, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool copyFile(const QString &from, const QString &to, QString *error) {
    QFile::remove(to);
    if (!QFile::copy(from, to)) {
        *error = QStringLiteral("cannot copy %1 to %2").arg(from, to);
        return false;
    }
    return true;
}

QString sqlLiteral(QString text) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

enum class Listener { None, Ours, Foreign };

// Readiness is read from the kernel's socket table rather than by connecting,
// so that a stranger holding the port is not mistaken for our server and no
// half-open connection is left behind in the server.
Listener listenerOn(int port, qint64 pid, bool *tableReadable) {
    QSet<QByteArray> inodes;
    *tableReadable = false;
    for (const char *table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly)) continue;
        *tableReadable = true;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].simplified().split(' ');
            if (fields.size() < 10 || fields[3] != "0A") continue;
            const QByteArray &local = fields[1];
            bool ok = false;
            if (local.mid(local.lastIndexOf(':') + 1).toInt(&ok, 16) == port && ok) inodes.insert(fields[9]);
        }
    }
    if (inodes.isEmpty()) return Listener::None;

    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        char target[128];
        const QByteArray link = QFile::encodeName(fds.filePath(fd));
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        if (n <= 0) continue;
        const QByteArray text(target, n);
        if (text.startsWith("socket:[") && inodes.contains(text.mid(8, text.size() - 9)))
            return Listener::Ours;
    }
    return Listener::Foreign;
}

} // namespace

TestFirebirdServer::TestFirebirdServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/korvante-fbserver-XXXXXX")), m_port(reservePort()) {
    if (m_dir.isValid()) QDir().mkpath(dataFolder());
}

TestFirebirdServer::~TestFirebirdServer() {
    stop();
    releasePort();
}

int TestFirebirdServer::port() const {
    return m_port;
}

QString TestFirebirdServer::dataFolder() const {
    return m_dir.filePath(QStringLiteral("data"));
}

QString TestFirebirdServer::connectionHost() const {
    return QStringLiteral("127.0.0.1/%1").arg(m_port);
}

void TestFirebirdServer::releasePort() {
    QMutexLocker lock(&portMutex);
    reservedPorts.remove(m_port);
}

QProcessEnvironment TestFirebirdServer::childEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys()) {
        if (key.startsWith(QLatin1String("FIREBIRD")) || key.startsWith(QLatin1String("ISC_")))
            env.remove(key);
    }
    env.insert(QStringLiteral("FIREBIRD"), m_dir.path());
    env.insert(QStringLiteral("FIREBIRD_LOCK"), m_dir.filePath(QStringLiteral("lock")));
    return env;
}

QString TestFirebirdServer::serverLog() const {
    QFile file(m_dir.filePath(QStringLiteral("server.log")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

bool TestFirebirdServer::prepareFolder(QString *error) {
    if (m_prepared) return true;
    if (!m_dir.isValid()) {
        *error = QStringLiteral("cannot create a temporary folder: %1").arg(m_dir.errorString());
        return false;
    }
    const QString root = firebirdRoot();
    if (root.isEmpty()) {
        *error = QStringLiteral("no Firebird 3.0 installation found under /usr/lib");
        return false;
    }

    const QDir dir(m_dir.path());
    for (const char *sub : {"lock", "data", "tmp", "intl"}) {
        if (!dir.mkpath(QString::fromLatin1(sub))) {
            *error = QStringLiteral("cannot create %1").arg(dir.filePath(QString::fromLatin1(sub)));
            return false;
        }
    }
    if (!copyFile(root + QStringLiteral("/firebird.msg"), dir.filePath(QStringLiteral("firebird.msg")),
                  error))
        return false;
    const QDir intl(root + QStringLiteral("/intl"));
    for (const QString &name : intl.entryList(QDir::Files)) {
        if (!copyFile(intl.filePath(name), dir.filePath(QStringLiteral("intl/") + name), error)) return false;
    }
    // The packaged plugins.conf refers to the plugin folder by absolute path.
    const QString plugins = root + QStringLiteral("/plugins.conf");
    if (QFile::exists(plugins) && !copyFile(plugins, dir.filePath(QStringLiteral("plugins.conf")), error))
        return false;

    const QByteArray databases =
        "security.db = " + QFile::encodeName(dir.filePath(QStringLiteral("security3.fdb"))) +
        "\n{\n    RemoteAccess = false\n}\n";
    if (!writeFile(dir.filePath(QStringLiteral("databases.conf")), databases, error)) return false;

    m_prepared = true;
    return true;
}

bool TestFirebirdServer::writeServerConf(QString *error) {
    const QDir dir(m_dir.path());
    const QByteArray conf = "ServerMode = Super\n"
                            "RemoteServicePort = " +
                            QByteArray::number(m_port) +
                            "\n"
                            "RemoteBindAddress = 127.0.0.1\n"
                            "SecurityDatabase = " +
                            QFile::encodeName(dir.filePath(QStringLiteral("security3.fdb"))) +
                            "\n"
                            "AuthServer = Srp256, Srp\n"
                            "AuthClient = Srp256, Srp\n"
                            "UserManager = Srp\n"
                            "WireCrypt = Enabled\n"
                            "TempDirectories = " +
                            QFile::encodeName(dir.filePath(QStringLiteral("tmp"))) +
                            "\n"
                            "UdfAccess = None\n";
    return writeFile(dir.filePath(QStringLiteral("firebird.conf")), conf, error);
}

bool TestFirebirdServer::createSecurityDatabase(QString *error) {
    const QString path = m_dir.filePath(QStringLiteral("security3.fdb"));
    if (QFile::exists(path)) return true;

    QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty())
        isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"), {QStringLiteral("/usr/bin")});
    if (isql.isEmpty()) {
        *error = QStringLiteral("isql-fb not found");
        return false;
    }
    const QString scriptPath = m_dir.filePath(QStringLiteral("security.sql"));
    const QString script = QStringLiteral("create database %1;\n"
                                          "create or alter user SYSDBA password %2 using plugin Srp;\n"
                                          "commit;\n")
                               .arg(sqlLiteral(path), sqlLiteral(kPassword));
    if (!writeFile(scriptPath, script.toUtf8(), error)) return false;

    QProcess isqlProcess;
    isqlProcess.setProcessEnvironment(childEnvironment());
    isqlProcess.setWorkingDirectory(m_dir.path());
    isqlProcess.setProcessChannelMode(QProcess::MergedChannels);
    isqlProcess.setStandardInputFile(QProcess::nullDevice());
    isqlProcess.start(isql, {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-user"),
                             QStringLiteral("SYSDBA"), QStringLiteral("-i"), scriptPath});
    const bool finished = isqlProcess.waitForFinished(kStartTimeoutMs);
    const QString output = QString::fromLocal8Bit(isqlProcess.readAll()).trimmed();
    if (!finished || isqlProcess.exitStatus() != QProcess::NormalExit || isqlProcess.exitCode() != 0) {
        if (!finished) {
            isqlProcess.kill();
            isqlProcess.waitForFinished();
        }
        QFile::remove(path);
        *error = QStringLiteral("creating the server's security database failed: %1")
                     .arg(output.isEmpty() ? isqlProcess.errorString() : output);
        return false;
    }
    return true;
}

bool TestFirebirdServer::launch(const QDeadlineTimer &deadline, QString *error, bool *portTaken) {
    *portTaken = false;
    const QString program = serverProgram();
    if (program.isEmpty()) {
        *error = QStringLiteral("the firebird server binary was not found in /usr/sbin");
        return false;
    }
    if (m_port <= 0) {
        *error = QStringLiteral("no free TCP port on 127.0.0.1");
        return false;
    }

    if (!writeServerConf(error)) return false;

    const QDir dir(m_dir.path());
    const QString log = dir.filePath(QStringLiteral("server.log"));
    QFile::remove(log);
    m_process.setProgram(program);
    m_process.setArguments({});
    m_process.setProcessEnvironment(childEnvironment());
    m_process.setWorkingDirectory(m_dir.path());
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(log);
    m_process.setStandardErrorFile(log, QIODevice::Append);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        *error = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }

    QDeadlineTimer foreignSince = QDeadlineTimer::Forever;
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning) {
            *error = QStringLiteral("the server exited with code %1 before listening on port %2: %3")
                         .arg(m_process.exitCode())
                         .arg(m_port)
                         .arg(serverLog());
            return false;
        }
        bool readable = false;
        switch (listenerOn(m_port, m_process.processId(), &readable)) {
        case Listener::Ours:
            return true;
        case Listener::Foreign:
            // The server keeps retrying its bind, so a stranger on the port
            // would otherwise answer our clients.
            if (foreignSince.isForever())
                foreignSince = QDeadlineTimer(1000);
            else if (foreignSince.hasExpired()) {
                stop();
                *portTaken = true;
                *error = QStringLiteral("port %1 is held by another process").arg(m_port);
                return false;
            }
            break;
        case Listener::None:
            if (!readable) {
                stop();
                *error = QStringLiteral("cannot read /proc/net/tcp to see whether the server listens");
                return false;
            }
            foreignSince = QDeadlineTimer::Forever;
            break;
        }
        m_process.waitForFinished(20);
    }
    stop();
    *error = QStringLiteral("the server did not listen on port %1 within %2 ms: %3")
                 .arg(m_port)
                 .arg(kStartTimeoutMs)
                 .arg(serverLog());
    return false;
}

bool TestFirebirdServer::start(QString *error) {
    QString ignored;
    if (!error) error = &ignored;
    if (m_process.state() != QProcess::NotRunning) return true;
    // The embedded tool that creates the security database reads firebird.conf
    // too; without SecurityDatabase there it would use the system one.
    if (!prepareFolder(error) || !writeServerConf(error) || !createSecurityDatabase(error)) return false;

    const QDeadlineTimer deadline(kStartTimeoutMs);
    for (int attempt = 0; attempt < kPortAttempts; ++attempt) {
        bool portTaken = false;
        if (launch(deadline, error, &portTaken)) return true;
        if (!portTaken) return false;
        releasePort();
        m_port = reservePort();
    }
    return false;
}

void TestFirebirdServer::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    // SIGTERM is unreliable here: sent soon after startup, or after a bare
    // TCP connection, the server never exits. Committed data is already on
    // disk, so a hard kill loses nothing a test could see.
    m_process.kill();
    m_process.waitForFinished(10000);
}
