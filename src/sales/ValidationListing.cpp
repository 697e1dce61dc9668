#include "sales/ValidationListing.h"

#include "data/BoundQuery.h"
#include "data/SqlText.h"
#include "data/TDM.h"
#include "data/TicketTables.h"
#include "data/WorkingRaffle.h"
#include "platform/Money.h"

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
    return refresh(error);
}

void ValidationListing::clear() {
    m_open = false;
    m_sort = NumBilhete;
    m_keys.clear();
    m_total = 0;
    m_blocks.clear();
}

bool ValidationListing::refresh(QString *error) {
    m_keys.clear();
    m_total = 0;
    m_blocks.clear();
    m_open = false;
    if (!raffleOk(error)) return false;
    const int k = m_ctx.raffle.slot();
    QString sql = QStringLiteral("Select C.AUTOCOD, C.VALOR from ") + TicketTables::buyerTable(k) +
                  QStringLiteral(" C left join CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND "
                                 "where C.VALIDADO='Sim' and C.NUM_CAD_RIFA=?");
    QVariantList values{k};
    using K = ListingFilter::Kind;
    switch (m_filter.kind) {
    case K::All:
        break;
    case K::Range:
        sql += QStringLiteral(" and C.NUMBILHETE>=? and C.NUMBILHETE<=?");
        values << m_filter.from << m_filter.to;
        break;
    case K::City:
        sql += QStringLiteral(" and C.CIDCOMP=?");
        values << sqlValue(m_filter.city.toUpper());
        break;
    case K::Date:
        sql += QStringLiteral(" and C.DATA_VAL>=? and C.DATA_VAL<=?");
        values << m_filter.dateFrom << m_filter.dateTo;
        break;
    case K::Seller:
        sql += QStringLiteral(" and C.COD_VENDEDOR=?");
        values << m_filter.seller;
        break;
    case K::Ticket:
        sql += QStringLiteral(" and C.NUMBILHETE=?");
        values << m_filter.ticket;
        break;
    }
    sql += QStringLiteral(" order by ") + QLatin1String(kSortColumns[m_sort]);
    if (m_sort != NumBilhete) sql += QStringLiteral(", C.NUMBILHETE");

    QSqlQuery q(m_ctx.tdm.CONEX_R());
    if (!runBoundQuery(q, sql, values, error)) return false;
    while (q.next()) {
        m_keys << q.value(0).toInt();
        if (!q.value(1).isNull()) m_total += Money::fromDouble(q.value(1).toDouble());
    }
    m_open = true;
    return true;
}

ValidationListing::Block *ValidationListing::block(int index) const {
    const int b = index / BlockSize;
    if (Block *cached = m_blocks.object(b)) return cached;
    const int first = b * BlockSize;
    const int last = qMin(int(m_keys.size()), first + BlockSize);
    auto *rows = new Block(last - first);
    QStringList marks;
    for (int i = first; i < last; ++i)
        marks << QStringLiteral("?");
    QSqlQuery q(m_ctx.tdm.CONEX_R());
    q.setForwardOnly(true);
    const QString sql =
        QStringLiteral("Select C.AUTOCOD, C.NUMBILHETE, C.NOMECOMP, C.FONECOMP, C.CIDCOMP, C.VALIDADO, "
                       "C.DATA_VAL, C.VALOR, C.AUT_DIGITAL_VAL, V.NOME_VEND, C.COD_VENDEDOR from ") +
        TicketTables::buyerTable(m_ctx.raffle.slot()) +
        QStringLiteral(" C left join CAD_VENDEDOR V on C.COD_VENDEDOR=V.COD_VEND where C.AUTOCOD in (") +
        marks.join(u',') + u')';
    bool ok = q.prepare(sql);
    for (int i = first; ok && i < last; ++i)
        q.addBindValue(m_keys.at(i));
    if (ok && q.exec()) {
        QHash<int, int> position;
        for (int i = first; i < last; ++i)
            position.insert(m_keys.at(i), i - first);
        while (q.next()) {
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
            const auto at = position.constFind(s.autocod);
            if (at != position.constEnd()) (*rows)[*at] = s;
        }
        m_lastError.clear();
    } else {
        m_lastError = q.lastError().text();
    }
    m_blocks.insert(b, rows);
    return rows;
}

std::optional<ValidatedSale> ValidationListing::row(int index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    return block(index)->at(index % BlockSize);
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
