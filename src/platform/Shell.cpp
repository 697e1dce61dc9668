#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace Shell {

bool open(const QUrl &url) {
    return QDesktopServices::openUrl(url);
}

bool startDetached(const QString &program) {
    // As the shell starts a program: its own folder, and no output tied to ours (a pipe we held
    // would end it at its first line once we are gone).
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

QString executableSuffix() {
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return QString();
#endif
}

} // namespace Shell
