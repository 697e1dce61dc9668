#pragma once

#include <QString>

namespace FileAttributes {
// Windows file attributes; where the platform has none of them these do nothing and succeed.
bool clearAll(const QString &path);
bool setHiddenSystem(const QString &path);
} // namespace FileAttributes
