#include "salespage/PageText.h"

namespace PageText {

QString html(const QString &text) {
    QString out;
    out.reserve(text.size() + 16);
    for (char32_t c : text.toUcs4()) {
        switch (c) {
        case U'&':
            out += QStringLiteral("&amp;");
            break;
        case U'<':
            out += QStringLiteral("&lt;");
            break;
        case U'>':
            out += QStringLiteral("&gt;");
            break;
        case U'"':
            out += QStringLiteral("&quot;");
            break;
        case U'\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            if (c > 0xFF)
                out += QStringLiteral("&#%1;").arg(quint32(c));
            else
                out += QChar(char16_t(c));
        }
    }
    return out;
}

QString script(const QString &text) {
    QString out;
    out.reserve(text.size() + 16);
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\'':
            out += QStringLiteral("\\'");
            break;
        case u'"':
            out += QStringLiteral("\\x22");
            break; // also inside a double-quoted attribute
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        // Markup characters never appear as such, so neither "</script" nor an entity can form.
        case u'<':
            out += QStringLiteral("\\x3C");
            break;
        case u'>':
            out += QStringLiteral("\\x3E");
            break;
        case u'&':
            out += QStringLiteral("\\x26");
            break;
        default:
            if (c < 0x20)
                out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
            else if (c > 0xFF)
                out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
            else
                out += ch;
        }
    }
    return out;
}

QString scriptLines(const QString &text) {
    const QString separator = QStringLiteral("\\n ");
    QStringList parts = text.split(separator);
    for (QString &p : parts)
        p = script(p);
    return parts.join(separator);
}

QByteArray latin1File(const QStringList &lines) {
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    QByteArray bytes;
    bytes.reserve(size + 64);
    for (const QString &line : lines) {
        const ushort *d = line.utf16();
        const qsizetype n = line.size();
        qsizetype i = 0;
        while (i < n && d[i] <= 0xFF)
            ++i;
        if (i == n) {
            bytes += line.toLatin1();
        } else {
            for (char32_t c : line.toUcs4()) {
                if (c > 0xFF)
                    bytes += "&#" + QByteArray::number(quint32(c)) + ';';
                else
                    bytes += char(c);
            }
        }
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace PageText
