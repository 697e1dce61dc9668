#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace Shell {

bool open(const QUrl &url) {
    return QDesktopServices::openUrl(url);
}

bool startDetached(const QString &program) {
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

QString executableSuffix() {
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return QString();
#endif
}

} // namespace Shell
