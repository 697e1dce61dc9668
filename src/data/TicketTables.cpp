#include "data/TicketTables.h"

namespace {

QString suffixFor(int numbers, int perTicket) {
    switch (numbers) {
    case 100:
        return QStringLiteral("100G");
    case 1000:
        return QStringLiteral("M");
    case 10000:
        return QStringLiteral("D");
    case 100000:
        return QStringLiteral("C");
    case 1000000:
        return perTicket == 1 ? QStringLiteral("MISTURADO") : QStringLiteral("MILHAO");
    default:
        return {};
    }
}

QList<TicketTable> buildAll() {
    QList<TicketTable> tables;
    for (int m : TicketTables::modalitySizes())
        for (int q : TicketTables::perTicketCounts()) {
            if (m == 100 && q > 2) continue; // 0..99 has tables for 1 and 2 numbers only
            tables.append({QStringLiteral("BS%1_%2").arg(q).arg(suffixFor(m, q)), q, m});
        }
    return tables;
}

} // namespace

namespace TicketTables {

const QList<int> &modalitySizes() {
    static const QList<int> sizes{100, 1000, 10000, 100000, 1000000};
    return sizes;
}

const QList<int> &perTicketCounts() {
    static const QList<int> counts{1, 2, 4, 5, 10};
    return counts;
}

const QList<TicketTable> &all() {
    static const QList<TicketTable> tables = buildAll();
    return tables;
}

std::optional<TicketTable> find(const QString &name) {
    for (const TicketTable &t : all())
        if (t.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return t;
    return std::nullopt;
}

QString nameFor(int highestNumber, int perTicket) {
    for (const TicketTable &t : all())
        if (t.numbers == highestNumber + 1 && t.perTicket == perTicket) return t.name;
    return {};
}

QString buyerTable(int slot) {
    return slot >= 1 && slot <= 5 ? QStringLiteral("DADOSCOMPRADOR_%1").arg(slot) : QString();
}

QString markColumn(int slot) {
    return slot >= 1 && slot <= 5 ? QStringLiteral("VALID_R%1").arg(slot) : QString();
}

} // namespace TicketTables

namespace TicketTables {

QString forSaleCondition(int slot) {
    const QString col = markColumn(slot);
    // A CHAR(1) blank equals '' under the blank-padding comparison.
    return QStringLiteral("(%1 IS NULL OR %1 = '')").arg(col);
}

} // namespace TicketTables
