#include "platform/ProfileFile.h"

#include "platform/Cp1252.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool isSectionLine(const QString &line, QString *name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0) return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

// Key of a key=value line, or empty.
QString keyOf(const QString &line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) return {};
    return line.left(eq).trimmed();
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

bool ProfileFile::exists() const {
    return QFile::exists(m_path);
}

QStringList ProfileFile::readLines(QString *newline) const {
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString text = Cp1252::decode(f.readAll());
    if (newline)
        *newline =
            text.contains(u'\r') || !text.contains(u'\n') ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = text.split(u'\n');
    for (QString &l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &defaultValue) const {
    bool inSection = false;
    for (const QString &line : readLines(nullptr)) {
        QString name;
        if (isSectionLine(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || keyOf(line).compare(key, Qt::CaseInsensitive) != 0) continue;
        QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
        // Windows drops one pair of enclosing quotes.
        if (value.size() >= 2 && ((value.startsWith(u'"') && value.endsWith(u'"')) ||
                                  (value.startsWith(u'\'') && value.endsWith(u'\''))))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return defaultValue;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const {
    const QString text = readString(section, key, QString());
    // Like Windows: the leading digits count, anything else gives 0.
    qsizetype n = 0;
    while (n < text.size() && (text.at(n).isDigit() || (n == 0 && text.at(n) == u'-')))
        ++n;
    if (text.isEmpty()) return defaultValue;
    bool ok = false;
    const int v = text.left(n).toInt(&ok);
    return ok ? v : 0;
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value) {
    QString newline = QStringLiteral("\r\n");
    QStringList lines = readLines(&newline);
    const QString entry = key + u'=' + value;

    qsizetype sectionAt = -1, lastOfSection = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            if (sectionAt >= 0) break; // end of our section
            if (name.compare(section, Qt::CaseInsensitive) == 0) sectionAt = lastOfSection = i;
            continue;
        }
        if (sectionAt < 0) continue;
        if (!lines[i].trimmed().isEmpty()) lastOfSection = i;
        if (keyOf(lines[i]).compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionAt >= 0) {
            lines.insert(lastOfSection + 1, entry);
        } else {
            lines << u'[' + section + u']' << entry;
        }
    }

    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(Cp1252::encode(lines.join(newline) + newline));
    return f.commit();
}
