#pragma once

#include <QString>
#include <QUrl>

namespace Shell {
// Opens an address or document with the desktop's default handler; failures are not reported.
bool open(const QUrl &url);
// Starts a program detached from this one, in its own folder, with no arguments.
bool startDetached(const QString &program);
// The platform's suffix of program files ("" on Linux, ".exe" on Windows).
QString executableSuffix();
} // namespace Shell
