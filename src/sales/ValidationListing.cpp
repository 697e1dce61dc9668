#include "sales/ValidationListing.h"

#include "data/BoundQuery.h"
#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Money.h"
#include "platform/WaitCursor.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

// Database column behind each list column, in the list's order.
const char *const kSortColumns[] = {"C.NUMBILHETE", "C.NOMECOMP",  "C.FONECOMP",
                                    "C.CIDCOMP",    "C.VALIDADO",  "C.DATA_VAL",
                                    "C.VALOR",      "V.NOME_VEND", "C.AUT_DIGITAL_VAL"};

const char *const kTitles[] = {"Nº C. BIlhete", "COMPRADOR", "FONE",     "CIDCOMP",    "PAGO",
                               "DATA",          "VALOR",     "VENDEDOR", "AUT.DIGITAL"};

QString trimmedText(const QVariant &v) {
    return v.isNull() ? QString() : v.toString().trimmed();
}

} // namespace

ValidationListing::ValidationListing(AppContext &ctx) : m_ctx(ctx) {}

QString ValidationListing::columnTitle(int column) {
    return column >= 0 && column < ColumnCount ? QString::fromUtf8(kTitles[column]) : QString();
}

QString ValidationListing::totalText() const {
    return Money::currency(m_total);
}

int ValidationListing::digits() const {
    return QString::number(qMax(99, int(m_ctx.raffle.MaiorNumero))).size();
}

QString ValidationListing::formatNumber(const QVariant &n) const {
    if (n.isNull()) return {};
    return QString::number(n.toLongLong()).rightJustified(digits(), u'0');
}

bool ValidationListing::raffleOk(QString *error) const {
    const int k = m_ctx.raffle.slot();
    if (TicketTables::buyerTable(k).isEmpty() || !TicketTables::find(m_ctx.raffle.TabelaBaseUsar)) {
        if (error)
            *error = QStringLiteral("A Rifa a Trabalhar não está definida corretamente. Escolha novamente "
                                    "a Rifa a Trabalhar!");
        return false;
    }
    return true;
}

bool ValidationListing::run(const ListingFilter &filter, QString *error) {
    m_filter = filter;
    return refresh(error);
}

bool ValidationListing::sortBy(int column, QString *error) {
    m_sort = column >= 0 && column < ColumnCount ? column : NumBilhete;
    const bool counted = m_counted;
    const int counting = m_count;
    const qint64 total = m_total;
    if (!readFirstBlock(error)) return false;
    m_counted = counted;
    m_count = counting;
    m_total = total;
    return true;
}

bool ValidationListing::refresh(QString *error) {
    return readFirstBlock(error);
}

void ValidationListing::clear() {
    m_open = false;
    m_sort = NumBilhete;
    m_firstRows = 0;
    m_counted = false;
    m_count = 0;
    m_total = 0;
    m_keysRead = false;
    m_keys.clear();
    m_keys.squeeze();
    m_blocks.clear();
}

QString ValidationListing::fromWhere(QVariantList *values, bool seller) const {
    const int k = m_ctx.raffle.slot();
    QString sql = QStringLiteral(" from ") + TicketTables::buyerTable(k) + QStringLiteral(" C") +
                  (seller ? QStringLiteral(" left join CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND") : QString()) +
                  QStringLiteral(" where C.VALIDADO='Sim' and C.NUM_CAD_RIFA=?");
    *values << k;
    using K = ListingFilter::Kind;
    switch (m_filter.kind) {
    case K::All:
        break;
    case K::Range:
        sql += QStringLiteral(" and C.NUMBILHETE>=? and C.NUMBILHETE<=?");
        *values << m_filter.from << m_filter.to;
        break;
    case K::City:
        sql += QStringLiteral(" and C.CIDCOMP=?");
        *values << sqlValue(m_filter.city.toUpper());
        break;
    case K::Date:
        sql += QStringLiteral(" and C.DATA_VAL>=? and C.DATA_VAL<=?");
        *values << m_filter.dateFrom << m_filter.dateTo;
        break;
    case K::Seller:
        sql += QStringLiteral(" and C.COD_VENDEDOR=?");
        *values << m_filter.seller;
        break;
    case K::Ticket:
        sql += QStringLiteral(" and C.NUMBILHETE=?");
        *values << m_filter.ticket;
        break;
    }
    return sql;
}

QString ValidationListing::orderBy() const {
    QString sql = QStringLiteral(" order by ") + QLatin1String(kSortColumns[m_sort]);
    if (m_sort != NumBilhete) sql += QStringLiteral(", C.NUMBILHETE");
    return sql;
}

bool ValidationListing::readFirstBlock(QString *error) {
    // A new first screen keeps the chosen order and forgets everything read before it.
    const auto sort = m_sort;
    clear();
    m_sort = sort;
    m_lastError.clear();
    if (!raffleOk(error)) return false;
    auto *rows = new Block;
    if (!readInOrder(0, std::nullopt, rows, error)) {
        delete rows;
        return false;
    }
    m_firstRows = int(rows->size());
    m_blocks.insert(0, rows);
    m_open = true;
    return true;
}

bool ValidationListing::readTotals(QString *error) {
    if (!m_open) return false;
    QVariantList values;
    // The engine rounds each price to whole ten-thousandths (halves away from zero, as Money does) and
    // adds whole numbers: no drift, however many rows.
    const QString sql =
        QStringLiteral("select count(*), sum(cast(C.VALOR * 10000 as bigint))") + fromWhere(&values, false);
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    if (!runBoundQuery(q, sql, values, error)) return false;
    if (!q.next()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    m_count = q.value(0).toInt();
    m_total = q.value(1).isNull() ? 0 : q.value(1).toLongLong();
    m_counted = true;
    return true;
}

namespace {

const QString kRowColumns =
    QStringLiteral("select C.AUTOCOD, C.NUMBILHETE, C.NOMECOMP, C.FONECOMP, C.CIDCOMP, C.VALIDADO, "
                   "C.DATA_VAL, C.VALOR, C.AUT_DIGITAL_VAL, V.NOME_VEND, C.COD_VENDEDOR");

ValidatedSale saleOf(const QSqlQuery &q) {
    ValidatedSale s;
    s.autocod = q.value(0).toInt();
    s.numBilhete = q.value(1).toInt();
    s.nomeComp = trimmedText(q.value(2));
    s.foneComp = trimmedText(q.value(3));
    s.cidComp = trimmedText(q.value(4));
    s.validado = trimmedText(q.value(5));
    s.dataVal = q.value(6).toDate();
    s.valor = q.value(7);
    s.autDigital = trimmedText(q.value(8));
    s.nomeVend = trimmedText(q.value(9));
    s.codVendedor = q.value(10);
    return s;
}

} // namespace

bool ValidationListing::readInOrder(int index, std::optional<int> after, Block *rows, QString *error) const {
    QVariantList values;
    QString sql;
    if (m_sort == Vendedor) {
        sql = kRowColumns + fromWhere(&values, true) + orderBy() + QStringLiteral(" rows %1").arg(BlockSize);
    } else {
        // The block is chosen from the buyer table alone (by the index on NUMBILHETE in that order);
        // only its own rows look up their seller.
        QString inner = QStringLiteral("select C.*") + fromWhere(&values, false);
        if (after) {
            inner += QStringLiteral(" and C.NUMBILHETE>?");
            values << *after;
        }
        inner += orderBy();
        inner += after || index == 0 ? QStringLiteral(" rows %1").arg(BlockSize)
                                      : QStringLiteral(" rows %1 to %2")
                                            .arg(qint64(index) * BlockSize + 1)
                                            .arg(qint64(index + 1) * BlockSize);
        sql = kRowColumns + QStringLiteral(" from (") + inner +
              QStringLiteral(") C left join CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND") + orderBy();
    }
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    if (!runBoundQuery(q, sql, values, error)) return false;
    while (q.next())
        rows->append(saleOf(q));
    if (q.lastError().isValid()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    return true;
}

bool ValidationListing::readKeys(QString *error) const {
    QVariantList values;
    const QString sql = QStringLiteral("select C.AUTOCOD") + fromWhere(&values, m_sort == Vendedor) + orderBy();
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    if (!runBoundQuery(q, sql, values, error)) return false;
    m_keys.clear();
    if (m_counted) m_keys.reserve(m_count);
    while (q.next())
        m_keys << q.value(0).toInt();
    if (q.lastError().isValid()) {
        if (error) *error = q.lastError().text();
        m_keys.clear();
        return false;
    }
    m_keys.squeeze();
    m_keysRead = true;
    return true;
}

bool ValidationListing::readByKeys(int index, Block *rows, QString *error) const {
    const int first = index * BlockSize;
    const int last = qMin(int(m_keys.size()), first + BlockSize);
    if (first >= last) return true;
    rows->resize(last - first);
    QStringList marks;
    QVariantList values;
    QHash<int, int> position;
    for (int i = first; i < last; ++i) {
        marks << QStringLiteral("?");
        values << m_keys.at(i);
        position.insert(m_keys.at(i), i - first);
    }
    const QString sql = kRowColumns + QStringLiteral(" from ") +
                        TicketTables::buyerTable(m_ctx.raffle.slot()) +
                        QStringLiteral(" C left join CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND "
                                       "where C.AUTOCOD in (") +
                        marks.join(u',') + u')';
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    if (!runBoundQuery(q, sql, values, error)) return false;
    while (q.next()) {
        const ValidatedSale s = saleOf(q);
        // A row withdrawn since the keys were read stays empty.
        if (const auto at = position.constFind(s.autocod); at != position.constEnd() && s.validado == u"Sim")
            (*rows)[*at] = s;
    }
    if (q.lastError().isValid()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    return true;
}

// GCC 12 takes the empty optionals this adds for maybe uninitialized, a known false positive of
// std::optional once inlined at -O3.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
ValidationListing::Block *ValidationListing::block(int index) const {
    if (Block *cached = m_blocks.object(index)) return cached;
    auto *rows = new Block;
    QString error;
    bool ok = false;
    if (index == 0) {
        ok = readInOrder(0, std::nullopt, rows, &error);
    } else if (m_sort == NumBilhete) {
        // Scrolling on goes on from the last row read; a jump counts its way down the index.
        const Block *before = m_blocks.object(index - 1);
        const bool goesOn =
            before && before->size() == BlockSize && before->constLast() && before->constLast()->numBilhete > 0;
        ok = readInOrder(index, goesOn ? std::optional(before->constLast()->numBilhete) : std::nullopt, rows,
                         &error);
    } else {
        // Other orders have no index: their keys are read once, in that order.
        if (!m_keysRead) {
            WaitCursor wait;
            ok = readKeys(&error);
        } else {
            ok = true;
        }
        ok = ok && readByKeys(index, rows, &error);
    }
    if (ok) {
        m_lastError.clear();
    } else {
        rows->clear();
        m_lastError = error;
    }
    // Positions past the rows read stay empty, so the list never shows a row twice.
    const int wanted = qMin(BlockSize, count() - index * BlockSize);
    if (rows->size() < wanted) rows->resize(wanted);
    m_blocks.insert(index, rows);
    return rows;
}

#pragma GCC diagnostic pop

std::optional<ValidatedSale> ValidationListing::row(int index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    const Block *rows = block(index / BlockSize);
    const int at = index % BlockSize;
    if (at >= rows->size()) return std::nullopt;
    return rows->at(at);
}

QList<QVariant> ValidationListing::numbersOf(int numBilhete, QString *error) const {
    QList<QVariant> numbers;
    const auto table = TicketTables::find(m_ctx.raffle.TabelaBaseUsar);
    const QString mark = TicketTables::markColumn(m_ctx.raffle.slot());
    if (!table || mark.isEmpty()) return numbers;
    QStringList columns;
    for (int i = 1; i <= table->perTicket; ++i)
        columns << QStringLiteral("N%1").arg(i);
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("select ") + columns.join(u',') + QStringLiteral(" from ") + table->name +
                   QStringLiteral(" where ") + mark + QStringLiteral("='S' and NUMBILHETE=?"))) {
        if (error) *error = q.lastError().text();
        return numbers;
    }
    q.addBindValue(numBilhete);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return numbers;
    }
    if (q.next())
        for (int i = 0; i < table->perTicket; ++i)
            numbers << q.value(i);
    return numbers;
}
