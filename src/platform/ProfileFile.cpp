#include "platform/ProfileFile.h"

#include "platform/Cp1252.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

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

QStringList ProfileFile::readLines(QString *newline, bool *utf8) const {
    QFile f(m_path);
    if (utf8) *utf8 = false;
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    // Some Windows editors save with the UTF-8 mark: such a file is UTF-8 throughout.
    const bool marked = bytes.startsWith(kUtf8Mark);
    if (utf8) *utf8 = marked;
    const QString text = marked ? QString::fromUtf8(bytes.mid(kUtf8Mark.size())) : Cp1252::decode(bytes);
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
    for (const QString &line : readLines(nullptr, nullptr)) {
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
    bool utf8 = false;
    QStringList lines = readLines(&newline, &utf8);
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
    const QString text = lines.join(newline) + newline;
    f.write(utf8 ? kUtf8Mark + text.toUtf8() : Cp1252::encode(text));
    return f.commit();
}
