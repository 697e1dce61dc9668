#pragma once

#include <QString>
#include <QStringList>

// A Windows profile (INI) file: sections, key=value lines, Windows-1252 text (UTF-8 when the file
// starts with the UTF-8 mark, and it stays so when written). A write replaces the key's value or
// adds the key (and its section); every other line, comments included, stays exactly as it was.
// A ';' inside a value is part of it, as in Windows: comments go on lines of their own.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    bool exists() const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // Creates the file when missing. Returns false when it cannot be written.
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    QStringList readLines(QString *newline, bool *utf8) const;
    QString m_path;
};
