#pragma once

#include <QList>
#include <QString>
#include <optional>

// A ticket table: one per modality and count of numbers per ticket.
struct TicketTable {
    QString name;
    int perTicket = 0; // numbers per ticket q
    int numbers = 0;   // count of numbers of the modality m (highest number + 1)
    int tickets() const { return numbers / perTicket; }
    int highestNumber() const { return numbers - 1; }
};

namespace TicketTables {
// The 22 ticket tables, smallest modality first.
const QList<TicketTable> &all();
// Case-insensitive look-up of a table name; nothing when the name is not a ticket table.
std::optional<TicketTable> find(const QString &name);
// Table for a modality (by its highest number) and numbers per ticket; empty when none exists.
QString nameFor(int highestNumber, int perTicket);

const QList<int> &modalitySizes();   // 100 .. 1,000,000
const QList<int> &perTicketCounts(); // 1, 2, 4, 5, 10

// The raffle slot's buyer table and mark column ("DADOSCOMPRADOR_3", "VALID_R3"); empty outside 1..5.
QString buyerTable(int slot);
QString markColumn(int slot);
} // namespace TicketTables

namespace TicketTables {
// SQL condition for a ticket that is for sale in the slot: its mark is null or blank.
QString forSaleCondition(int slot);
} // namespace TicketTables
