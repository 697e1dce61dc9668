#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <array>

// One queued ticket as the sheet prints it.
struct QueuedTicket {
    int numBilhete = 0;
    std::array<QVariant, 10> numbers; // null above the raffle's count
    QString autDigital;
};

// Where the ticket sheet takes its tickets from, a page at a time: a whole raffle is never held in
// memory.
class TicketSource {
public:
    virtual ~TicketSource() = default;
    virtual qint64 count() const = 0;
    // The tickets [first, first + n) in print order; on failure empty with *error set.
    virtual QList<QueuedTicket> fetch(qint64 first, int n, QString *error) = 0;
};

// A few tickets already in memory (a send list, a test).
class MemoryTickets : public TicketSource {
public:
    explicit MemoryTickets(QList<QueuedTicket> tickets) : m_tickets(std::move(tickets)) {}
    qint64 count() const override { return m_tickets.size(); }
    QList<QueuedTicket> fetch(qint64 first, int n, QString *error) override;

private:
    QList<QueuedTicket> m_tickets;
};

// The print queue TAB_PRN, numbered 1..count by AUTOCOD, read by key range in blocks: the pages a
// preview shows, or every page in turn while a PDF is written.
class QueueTickets : public TicketSource {
public:
    static constexpr int BlockRows = 2000;
    QueueTickets(QSqlDatabase printDb, qint64 count) : m_db(std::move(printDb)), m_count(count) {}
    qint64 count() const override { return m_count; }
    QList<QueuedTicket> fetch(qint64 first, int n, QString *error) override;

private:
    QSqlDatabase m_db;
    qint64 m_count;
    qint64 m_blockFirst = -1;
    QList<QueuedTicket> m_block;
};
