#include "reports/TicketLookup.h"

#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <limits>

namespace NumberFormat {

int digitsOf(int maiorNumero) {
    return qMax(2, int(QString::number(qMax(0, maiorNumero)).size()));
}

QString number(int value, int maiorNumero) {
    const QString digits = QString::number(qAbs(qint64(value))).rightJustified(digitsOf(maiorNumero), u'0');
    return value < 0 ? u'-' + digits : digits;
}

QString ticketId(int numBilhete, int maiorNumero) {
    return QStringLiteral("C-") + number(numBilhete, maiorNumero);
}

std::optional<int> parse(const QString &text) {
    const QString t = text.trimmed();
    int start = t.startsWith(u'-') ? 1 : 0;
    if (t.size() <= start) return std::nullopt;
    for (int i = start; i < t.size(); ++i)
        if (!t.at(i).isDigit() || t.at(i).unicode() > 127) return std::nullopt;
    // A number too long for the database is still a number: it is clamped, and no ticket holds it.
    const QStringView digits = QStringView(t).mid(start);
    const qlonglong limit = std::numeric_limits<qint32>::max();
    const int magnitude = digits.size() > 12 ? int(limit) : int(qMin(digits.toLongLong(), limit));
    return start ? -magnitude : magnitude;
}

} // namespace NumberFormat

TicketLookup::TicketLookup(QSqlDatabase db, const WorkingRaffle &raffle)
    : m_db(std::move(db)), m_raffle(raffle) {}

bool TicketLookup::valid(QString *error) const {
    const auto table = TicketTables::find(m_raffle.TabelaBaseUsar);
    if (!table || table->perTicket != m_raffle.QtNumBilhete ||
        TicketTables::markColumn(m_raffle.slot()).isEmpty()) {
        if (error)
            *error = QStringLiteral("A Rifa a Trabalhar não tem uma Base de Números válida (%1).")
                         .arg(m_raffle.TabelaBaseUsar);
        return false;
    }
    return true;
}

std::optional<TicketRow> TicketLookup::readRow(const QString &sql, int value, QString *error) const {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    q.addBindValue(value);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    TicketRow row;
    row.numBilhete = q.value(0).toInt();
    row.mark = q.value(1).toString().trimmed();
    for (int i = 1; i <= m_raffle.QtNumBilhete; ++i)
        row.numbers << q.value(1 + i).toInt();
    return row;
}

std::optional<TicketRow> TicketLookup::ticketHolding(int number, QString *error) const {
    if (!valid(error)) return std::nullopt;
    // Each column is its own indexed read; an OR over the columns would scan the whole table.
    const QString columns = QStringLiteral("NUMBILHETE, %1").arg(TicketTables::markColumn(m_raffle.slot()));
    QString numbers;
    for (int i = 1; i <= m_raffle.QtNumBilhete; ++i)
        numbers += QStringLiteral(", N%1").arg(i);
    // One transaction for all the columns: a commit per statement costs more than the indexed reads.
    const bool own = m_db.transaction();
    auto finish = qScopeGuard([&] {
        if (own) m_db.commit();
    });
    for (int i = 1; i <= m_raffle.QtNumBilhete; ++i) {
        if (m_between) m_between();
        const QString sql = QStringLiteral("SELECT %1%2 FROM %3 WHERE N%4 = ?")
                                .arg(columns, numbers, m_raffle.TabelaBaseUsar)
                                .arg(i);
        QString failure;
        if (auto row = readRow(sql, number, &failure)) return row;
        if (!failure.isEmpty()) {
            if (error) *error = failure;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<TicketRow> TicketLookup::ticket(int numBilhete, QString *error) const {
    if (!valid(error)) return std::nullopt;
    QString numbers;
    for (int i = 1; i <= m_raffle.QtNumBilhete; ++i)
        numbers += QStringLiteral(", N%1").arg(i);
    return readRow(QStringLiteral("SELECT NUMBILHETE, %1%2 FROM %3 WHERE NUMBILHETE = ?")
                       .arg(TicketTables::markColumn(m_raffle.slot()), numbers, m_raffle.TabelaBaseUsar),
                   numBilhete, error);
}
