#include "layout/TicketSource.h"

#include <QSqlError>
#include <QSqlQuery>

QList<QueuedTicket> MemoryTickets::fetch(qint64 first, int n, QString *) {
    if (first < 0 || first >= m_tickets.size() || n <= 0) return {};
    return m_tickets.mid(first, n);
}

QList<QueuedTicket> QueueTickets::fetch(qint64 first, int n, QString *error) {
    if (first < 0 || n <= 0 || first >= m_count) return {};
    const qint64 last = qMin(m_count, first + n); // one past
    const bool cached = m_blockFirst >= 0 && first >= m_blockFirst && last <= m_blockFirst + m_block.size();
    if (!cached) {
        m_block.clear();
        m_blockFirst = first;
        const qint64 blockLast = qMin(m_count, first + qMax<qint64>(n, BlockRows));
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT NUMBILHETE, AUT_DIGITAL, N1, N2, N3, N4, N5, N6, N7, N8, N9, N10 "
                                 "FROM TAB_PRN WHERE AUTOCOD BETWEEN ? AND ? ORDER BY AUTOCOD"));
        q.addBindValue(first + 1);
        q.addBindValue(blockLast);
        if (!q.exec()) {
            if (error) *error = q.lastError().text();
            m_blockFirst = -1;
            return {};
        }
        m_block.reserve(blockLast - first);
        while (q.next()) {
            QueuedTicket t;
            t.numBilhete = q.value(0).toInt();
            t.autDigital = q.value(1).toString().trimmed();
            for (int i = 0; i < 10; ++i)
                t.numbers[i] = q.value(2 + i);
            m_block.append(t);
        }
    }
    return m_block.mid(first - m_blockFirst, last - first);
}
