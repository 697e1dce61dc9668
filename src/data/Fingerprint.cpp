#include "data/Fingerprint.h"

#include <QCryptographicHash>
#include <QIODevice>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>

namespace Fingerprint {

int widthOf(int highestNumber) {
    return int(QString::number(highestNumber).size());
}

namespace {
QByteArray fields(int control, const QList<int> &numbers, int width) {
    QByteArray l = QByteArray::number(control).rightJustified(width, '0');
    for (int n : numbers)
        l += ';' + QByteArray::number(n).rightJustified(width, '0');
    return l;
}
} // namespace

QByteArray line(int control, const QList<int> &numbers, int width) {
    return fields(control, numbers, width) + '\n';
}

QByteArray soldLine(int control, const QList<int> &numbers, int width, const QDate &date) {
    const QByteArray d = date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() : QByteArray();
    return fields(control, numbers, width) + ';' + d + '\n';
}

QString hex(const QByteArray &digest) {
    return QString::fromLatin1(digest.toHex());
}

std::optional<QString> ofTable(QSqlDatabase db, const TicketTable &table, QString *error, QIODevice *out) {
    if (!TicketTables::find(table.name)) {
        if (error) *error = QStringLiteral("Tabela de bilhetes inválida: ") + table.name;
        return std::nullopt;
    }
    QStringList columns{QStringLiteral("NUMBILHETE")};
    for (int i = 1; i <= table.perTicket; ++i)
        columns << QStringLiteral("N%1").arg(i);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY NUMBILHETE").arg(columns.join(u','), table.name))) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    const int width = widthOf(table.highestNumber());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QList<int> numbers(table.perTicket);
    while (q.next()) {
        for (int i = 0; i < table.perTicket; ++i)
            numbers[i] = q.value(i + 1).toInt();
        const QByteArray l = line(q.value(0).toInt(), numbers, width);
        hash.addData(l);
        if (out) out->write(l);
    }
    if (q.lastError().isValid()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    return hex(hash.result());
}

} // namespace Fingerprint

namespace DealingFingerprints {

std::optional<Stored> stored(QSqlDatabase db, const QString &table, QString *error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT HASH, CALCULADO_EM, ORIGEM FROM HASH_TABELAS WHERE TABELA = ?"));
    q.addBindValue(table.toUpper());
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next() || q.value(0).toString().trimmed().isEmpty()) return std::nullopt;
    return Stored{q.value(0).toString().trimmed(), BrasiliaTime::utcOf(q.value(1)),
                  q.value(2).toString().trimmed()};
}

bool store(QSqlDatabase db, const QString &table, const QString &hash, const QString &origin,
           const QDateTime &atUtc, QString *error) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE OR INSERT INTO HASH_TABELAS (TABELA, HASH, CALCULADO_EM, ORIGEM) "
                             "VALUES (?, ?, ?, ?) MATCHING (TABELA)"));
    q.addBindValue(table.toUpper());
    q.addBindValue(hash);
    q.addBindValue(BrasiliaTime::forColumn(atUtc));
    q.addBindValue(origin);
    if (q.exec()) return true;
    if (error) *error = q.lastError().text();
    return false;
}

bool refresh(QSqlDatabase db, const TicketTable &table, const QString &origin, const QDateTime &atUtc,
             QString *error) {
    const auto hash = Fingerprint::ofTable(db, table, error);
    return hash && store(db, table.name, *hash, origin, atUtc, error);
}

} // namespace DealingFingerprints

namespace BrasiliaTime {

namespace {
QTimeZone zone() {
    static const QTimeZone z = [] {
        QTimeZone tz(QByteArrayLiteral("America/Sao_Paulo"));
        return tz.isValid() ? tz : QTimeZone(-3 * 3600); // no daylight saving since 2019
    }();
    return z;
}
} // namespace

QDateTime toBrasilia(const QDateTime &utc) {
    return utc.toTimeZone(zone());
}

QDateTime fromBrasilia(const QDate &date, const QTime &time) {
    return QDateTime(date, time, zone()).toUTC();
}

QDateTime utcOf(const QVariant &stored) {
    if (stored.isNull()) return {};
    const QDateTime d = stored.toDateTime();
    return QDateTime(d.date(), d.time(), Qt::UTC);
}

QVariant forColumn(const QDateTime &anyZone) {
    if (!anyZone.isValid()) return QVariant(QMetaType(QMetaType::QDateTime));
    const QDateTime u = anyZone.toUTC();
    // The engine keeps the fields as given: hand it the UTC fields.
    return QDateTime(u.date(), u.time());
}

QString shown(const QDateTime &utc) {
    const QDateTime b = toBrasilia(utc);
    return b.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" às ") +
           b.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" (horário de Brasília)");
}

} // namespace BrasiliaTime
