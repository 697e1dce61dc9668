#include "support/ProgramProcesses.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>

namespace ProgramProcesses {

QString copyProgram(const QString &relative, const QString &folder) {
    const QString from = QStringLiteral(KORVANTE_APP_DIR "/") + relative;
    const QString to = QDir(folder).filePath(QFileInfo(from).fileName());
    QFile::remove(to);
    if (!QFile::copy(from, to)) return {};
    QFile::setPermissions(to, QFile::permissions(from));
    return to;
}

QList<qint64> running(const QString &programPath) {
    QList<qint64> pids;
    const QString wanted = QFileInfo(programPath).canonicalFilePath();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok) continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == wanted) pids << pid;
    }
    return pids;
}

QStringList openFiles(qint64 pid) {
    QStringList files;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        files << QFileInfo(fds.filePath(fd)).symLinkTarget();
    return files;
}

bool alive(qint64 pid) {
    // A zombie has ended already.
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    return !status.readAll().contains("State:\tZ");
}

bool stop(qint64 pid, int waitMs) {
    ::kill(pid_t(pid), SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (alive(pid) && clock.elapsed() < waitMs)
        QThread::msleep(50);
    if (!alive(pid)) return true;
    ::kill(pid_t(pid), SIGKILL);
    return false;
}

} // namespace ProgramProcesses
