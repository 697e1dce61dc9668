#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

struct WorkingRaffle;

// Numbers and control numbers as people see them: zero-padded to the modality's width.
namespace NumberFormat {
int digitsOf(int maiorNumero); // 99 -> 2 ... 999999 -> 6
QString number(int value, int maiorNumero);
QString ticketId(int numBilhete, int maiorNumero); // "C-0007"
// Whole number typed in a field (digits, an optional leading '-', leading zeros allowed); nothing when
// the text is empty or not a number. A number beyond a database integer is clamped to its limit.
std::optional<int> parse(const QString &text);
} // namespace NumberFormat

// One ticket row of the working raffle's ticket table.
struct TicketRow {
    int numBilhete = 0;
    QString mark; // "S" sold, "R" reserved, empty for sale
    QList<int> numbers;
    bool paid() const { return mark == QLatin1String("S"); }
};

// Finding tickets in the working raffle's ticket table. Every look-up of a number goes column by
// column through the number-column indexes, so it costs one indexed read per column tried.
class TicketLookup {
public:
    TicketLookup(QSqlDatabase db, const WorkingRaffle &raffle);

    // Called between the per-column reads, so that the window can repaint on large tables.
    void setBetweenReads(std::function<void()> callback) { m_between = std::move(callback); }

    // The ticket that holds the number (N1 tried first, then N2, ...). Nothing when no ticket
    // holds it; *error is set when the database refused.
    std::optional<TicketRow> ticketHolding(int number, QString *error) const;
    // The ticket with this control number, with its numbers and its mark.
    std::optional<TicketRow> ticket(int numBilhete, QString *error) const;

    // False (with *error) when the working raffle names no known table or slot.
    bool valid(QString *error) const;

private:
    std::optional<TicketRow> readRow(const QString &sql, int value, QString *error) const;

    mutable QSqlDatabase m_db; // a look-up opens a transaction of its own
    const WorkingRaffle &m_raffle;
    std::function<void()> m_between;
};
