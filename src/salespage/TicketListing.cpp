#include "salespage/TicketListing.h"

#include "data/BoundQuery.h"
#include "data/TicketTables.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QTimer>

namespace {

constexpr int kSliceMilliseconds = 12; // keeps scrolling smooth while the control numbers come in

} // namespace

TicketListing::TicketListing(QSqlDatabase db, QObject *parent) : QAbstractTableModel(parent), m_db(db) {
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &TicketListing::readSlice);
}

TicketListing::~TicketListing() = default;

void TicketListing::setFormat(const ModalityFormat &format, int perTicket) {
    m_format = format;
    m_perTicket = perTicket;
    if (m_shown > 0) Q_EMIT dataChanged(index(0, 0), index(m_shown - 1, NumberColumns));
}

QString TicketListing::condition(int slot, Mode mode) {
    const QString mark = TicketTables::markColumn(slot);
    switch (mode) {
    case Mode::FreeAll:
        return QStringLiteral("(%1 IS NULL OR %1='')").arg(mark);
    case Mode::FreeBlock:
        return QStringLiteral("(%1 IS NULL OR %1='') AND NUMBILHETE>=? AND NUMBILHETE<=?").arg(mark);
    case Mode::Block:
        return QStringLiteral("(%1 IS NULL OR %1='' OR %1='S') AND NUMBILHETE>=? AND NUMBILHETE<=?")
            .arg(mark);
    }
    return {};
}

QString TicketListing::columnList() const {
    QString columns = QStringLiteral("NUMBILHETE");
    for (int i = 1; i <= m_tableNumbers; ++i)
        columns += QStringLiteral(", N%1").arg(i);
    return columns + QStringLiteral(", ") + m_mark;
}

QVariantList TicketListing::limits() const {
    if (m_mode == Mode::FreeAll) return {};
    return {m_from, m_to};
}

bool TicketListing::open(const QString &table, int slot, Mode mode, int from, int to, QString *error) {
    close();
    const auto known = TicketTables::find(table);
    const QString mark = TicketTables::markColumn(slot);
    if (!known || mark.isEmpty()) {
        if (error) *error = QStringLiteral("A tabela de bilhetes \"%1\" da Rifa não existe.").arg(table);
        return false;
    }
    m_table = known->name;
    m_tableNumbers = known->perTicket;
    m_mark = mark;
    m_mode = mode;
    m_from = from;
    m_to = to;

    // The first page in one statement, so the grid has its first screen at once.
    QSqlQuery first(m_db);
    const QString sql = QStringLiteral("SELECT FIRST %1 %2 FROM %3 WHERE %4 ORDER BY NUMBILHETE")
                            .arg(PageSize)
                            .arg(columnList(), m_table, condition(slot, mode));
    if (!runBoundQuery(first, sql, limits(), error)) return false;
    Page page;
    while (first.next()) {
        ListedTicket t;
        t.numBilhete = first.value(0).toInt();
        t.numbers.reserve(m_tableNumbers);
        for (int i = 1; i <= m_tableNumbers; ++i)
            t.numbers.append(first.value(i));
        t.mark = first.value(m_tableNumbers + 1).toString().trimmed();
        m_keys.append(t.numBilhete);
        page.rows.append(t);
    }
    first.finish();

    beginResetModel();
    m_open = true;
    m_complete = page.rows.size() < PageSize;
    m_shown = int(page.rows.size());
    m_pages.insert(0, page);
    m_recent.append(0);
    endResetModel();

    if (m_complete) {
        Q_EMIT completed(m_shown);
        return true;
    }
    // The rest of the control numbers come after the first screen is shown.
    m_slot = slot;
    m_cursorPending = true;
    m_slices.start();
    return true;
}

bool TicketListing::startKeyCursor(QString *error) {
    m_cursorPending = false;
    m_keyCursor = std::make_unique<QSqlQuery>(m_db);
    QVariantList values = limits();
    values << m_keys.last();
    const QString rest =
        QStringLiteral("SELECT NUMBILHETE FROM %1 WHERE %2 AND NUMBILHETE>? ORDER BY NUMBILHETE")
            .arg(m_table, condition(m_slot, m_mode));
    if (!runBoundQuery(*m_keyCursor, rest, values, error)) {
        m_keyCursor.reset();
        return false;
    }
    return true;
}

void TicketListing::close() {
    m_cursorPending = false;
    m_slices.stop();
    if (m_keyCursor) m_keyCursor->finish();
    m_keyCursor.reset();
    beginResetModel();
    m_open = false;
    m_complete = false;
    m_shown = 0;
    m_keys.clear();
    m_keys.squeeze();
    m_pages.clear();
    m_recent.clear();
    endResetModel();
}

bool TicketListing::readKeys(int maxRows, QString *error) {
    QElapsedTimer clock;
    clock.start();
    int read = 0;
    while (read < maxRows) {
        if (!m_keyCursor->next()) {
            if (m_keyCursor->lastError().isValid()) {
                if (error) *error = m_keyCursor->lastError().text();
                return false;
            }
            m_keyCursor->finish();
            m_keyCursor.reset();
            m_complete = true;
            break;
        }
        m_keys.append(m_keyCursor->value(0).toInt());
        ++read;
        if (maxRows != INT_MAX && (read & 1023) == 0 && clock.elapsed() >= kSliceMilliseconds) break;
    }
    grow();
    return true;
}

void TicketListing::grow() {
    // Rows appear a whole page at a time until the end is known, so every shown row's page is complete.
    const int now = m_complete ? int(m_keys.size()) : int(m_keys.size() / PageSize) * PageSize;
    if (now > m_shown) {
        beginInsertRows({}, m_shown, now - 1);
        m_shown = now;
        endInsertRows();
    }
}

void TicketListing::readSlice() {
    QString error;
    if (m_cursorPending && !startKeyCursor(&error)) {
        Q_EMIT failed(error);
        return;
    }
    if (!m_keyCursor) return; // closed or reopened meanwhile
    if (!readKeys(m_sliceRows, &error)) {
        m_keyCursor.reset();
        Q_EMIT failed(error);
        return;
    }
    if (m_complete) {
        m_keys.squeeze();
        Q_EMIT completed(m_shown);
    } else {
        m_slices.start();
    }
}

bool TicketListing::finishLoading(QString *error) {
    if (!m_open) return true;
    if (m_complete) return true;
    if (m_cursorPending && !startKeyCursor(error)) return false;
    if (!m_keyCursor) {
        if (error) *error = QStringLiteral("A leitura da lista de bilhetes foi interrompida.");
        return false;
    }
    if (!readKeys(INT_MAX, error)) {
        m_keyCursor.reset();
        return false;
    }
    m_keys.squeeze();
    Q_EMIT completed(m_shown);
    return true;
}

bool TicketListing::loadPage(int index, Page *page, QString *error) const {
    const int first = index * PageSize;
    const int last = std::min<int>(first + PageSize, int(m_keys.size())) - 1;
    if (first > last) return false;
    QSqlQuery q(m_db);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE NUMBILHETE>=? AND NUMBILHETE<=? ORDER BY NUMBILHETE")
            .arg(columnList(), m_table);
    if (!runBoundQuery(q, sql, {m_keys.at(first), m_keys.at(last)}, error)) return false;
    page->rows.resize(last - first + 1);
    int k = first;
    // Both ascending: rows between the listed ones (sold meanwhile, or never listed) are passed over.
    while (q.next() && k <= last) {
        const int number = q.value(0).toInt();
        while (k <= last && m_keys.at(k) < number) {
            page->rows[k - first].numBilhete = m_keys.at(k); // no longer in the table
            ++k;
        }
        if (k > last || m_keys.at(k) != number) continue;
        ListedTicket &t = page->rows[k - first];
        t.numBilhete = number;
        t.numbers.reserve(m_tableNumbers);
        for (int i = 1; i <= m_tableNumbers; ++i)
            t.numbers.append(q.value(i));
        t.mark = q.value(m_tableNumbers + 1).toString().trimmed();
        ++k;
    }
    for (; k <= last; ++k)
        page->rows[k - first].numBilhete = m_keys.at(k);
    return true;
}

const TicketListing::Page *TicketListing::page(int index) const {
    auto it = m_pages.find(index);
    if (it == m_pages.end()) {
        Page p;
        if (!loadPage(index, &p, nullptr)) return nullptr;
        it = m_pages.insert(index, p);
        m_recent.append(index);
        while (m_recent.size() > MaxPages)
            m_pages.remove(m_recent.takeFirst());
        it = m_pages.find(index);
    } else if (m_recent.last() != index) {
        m_recent.removeOne(index);
        m_recent.append(index);
    }
    return &it.value();
}

ListedTicket TicketListing::ticket(int row) {
    if (row < 0 || row >= m_shown) return {};
    const Page *p = page(row / PageSize);
    const int at = row % PageSize;
    if (!p || at >= p->rows.size()) return {};
    return p->rows.at(at);
}

int TicketListing::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_shown;
}

int TicketListing::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : NumberColumns + 1;
}

QVariant TicketListing::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_shown) return {};
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const Page *p = page(index.row() / PageSize);
    const int at = index.row() % PageSize;
    if (!p || at >= p->rows.size()) return {};
    const ListedTicket &t = p->rows.at(at);
    if (index.column() == 0) return m_format.format(t.numBilhete);
    const int n = index.column(); // N1 .. N10
    if (n > t.numbers.size() || t.numbers.at(n - 1).isNull()) return {};
    const qint64 value = t.numbers.at(n - 1).toLongLong();
    // Formatted as the numbers a ticket of the raffle carries: N1, N2, N3-N4, N5, N6-N10.
    const bool formatted = n == 1   ? m_perTicket >= 1
                           : n == 2 ? m_perTicket > 1
                           : n <= 4 ? m_perTicket > 3
                           : n == 5 ? m_perTicket > 4
                                    : m_perTicket == 10;
    return formatted ? m_format.format(value) : QString::number(value);
}

QVariant TicketListing::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return {};
    if (section == 0) return QStringLiteral("Nº C. BILHETE");
    return QStringLiteral("N%1").arg(section);
}
