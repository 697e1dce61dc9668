#include "platform/TypedValues.h"

#include <QLocale>
#include <QRegularExpression>

namespace TypedValues {

std::optional<qint64> parseMoneyCents(const QString &typed) {
    QString t = typed.trimmed();
    if (t.startsWith(QStringLiteral("R$"))) t = t.mid(2).trimmed();
    if (t.isEmpty()) return 0;
    static const QRegularExpression shape(QStringLiteral("^([0-9]{0,8})(?:[.,]([0-9]{0,2}))?$"));
    const QRegularExpressionMatch m = shape.match(t);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty())) return std::nullopt;
    const qint64 units = m.captured(1).isEmpty() ? 0 : m.captured(1).toLongLong();
    const QString decimals = (m.captured(2) + QStringLiteral("00")).left(2);
    return units * 100 + decimals.toLongLong();
}

QString moneyDisplay(qint64 cents) {
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    return QStringLiteral("R$ ") + br.toString(qlonglong(cents / 100)) + u',' +
           QStringLiteral("%1").arg(cents % 100, 2, 10, QChar(u'0'));
}

QString moneyEditable(qint64 cents) {
    return QString::number(cents / 100) + u',' + QStringLiteral("%1").arg(cents % 100, 2, 10, QChar(u'0'));
}

std::optional<QDate> parseDate(const QString &typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty() || t == QStringLiteral("/  /") || t == QStringLiteral("//")) return QDate();
    static const QRegularExpression slashed(QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})$"));
    static const QRegularExpression plain(QStringLiteral("^([0-9]{2})([0-9]{2})([0-9]{4})$"));
    QRegularExpressionMatch m = slashed.match(t);
    if (!m.hasMatch()) m = plain.match(t);
    if (!m.hasMatch()) return std::nullopt;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid() || d.year() < 1900) return std::nullopt;
    return d;
}

std::optional<int> parseWholeNumber(const QString &typed) {
    if (typed.isEmpty()) return std::nullopt;
    for (QChar c : typed)
        if (!c.isDigit() || c.unicode() > 127) return std::nullopt;
    bool ok = false;
    const int n = typed.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace TypedValues
