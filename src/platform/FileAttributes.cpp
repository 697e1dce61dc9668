#include "platform/FileAttributes.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace FileAttributes {

bool clearAll(const QString &path) {
#ifdef Q_OS_WIN
    return SetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()),
                              FILE_ATTRIBUTE_NORMAL) != 0;
#else
    return QFileInfo::exists(path);
#endif
}

bool setHiddenSystem(const QString &path) {
#ifdef Q_OS_WIN
    return SetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()),
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) != 0;
#else
    return QFileInfo::exists(path);
#endif
}

} // namespace FileAttributes
