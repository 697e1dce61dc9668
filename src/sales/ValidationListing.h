#pragma once

#include "data/AppContext.h"

#include <QCache>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// One validated ticket as the list shows it.
struct ValidatedSale {
    int autocod = 0;
    int numBilhete = 0;
    QString nomeComp;
    QString foneComp;
    QString cidComp;
    QString validado;
    QDate dataVal;
    QVariant valor; // null when none was stored
    QString autDigital;
    QString nomeVend;
    QVariant codVendedor;
};

// Which validations of the working raffle the list holds.
struct ListingFilter {
    enum class Kind { All, Range, City, Date, Seller, Ticket };
    Kind kind = Kind::All;
    int from = 0, to = 0;   // Range: control numbers, both ends included
    QString city;           // City: compared in upper case, as it is stored
    QDate dateFrom, dateTo; // Date: both ends included
    int seller = 0;         // Seller: its code
    int ticket = 0;         // Ticket: one control number
};

// The validated tickets of the working raffle, read from the engine a block of rows at a time: the
// first screen comes from one short statement in the chosen order, the next blocks go on from the last
// row read (by control number) or, for a jump or another order, by the keys of the rows in that order,
// read once when first needed. The count and the exact amount are the engine's own aggregate, so a
// raffle of a million sold tickets opens at once and is never held in memory.
class ValidationListing {
public:
    // Columns of the list, in order; each sorts by its own database column.
    enum Column { NumBilhete, Comprador, Fone, Cidade, Pago, Data, Valor, Vendedor, AutDigital, ColumnCount };
    static constexpr int BlockSize = 50;

    explicit ValidationListing(AppContext &ctx);

    // Reads the first rows of the filter in the current sort; the totals are read by readTotals().
    bool run(const ListingFilter &filter, QString *error);
    // Same filter again (after a withdrawal); the sort stays and the totals must be read again.
    bool refresh(QString *error);
    // Orders by a column (NumBilhete is the order of every new list); ties keep control-number order.
    // The totals stay: the rows are the same.
    bool sortBy(int column, QString *error);
    // Counts the rows of the filter and sums their amounts (whole ten-thousandths) in the engine.
    bool readTotals(QString *error);
    // Drops the rows and the sort.
    void clear();

    bool isOpen() const { return m_open; }
    bool totalsKnown() const { return m_counted; }
    // The rows of the list: those counted, or while they are not, those read so far.
    int count() const { return m_counted ? m_count : m_firstRows; }
    qint64 totalTenThousandths() const { return m_total; }
    QString countText() const { return QString::number(count()); }
    QString totalText() const; // "R$ 1.234,50"
    int sortColumn() const { return m_sort; }
    const ListingFilter &filter() const { return m_filter; }

    // The row at a position of the list; nothing when it was withdrawn since the list was read.
    std::optional<ValidatedSale> row(int index) const;

    // Numbers printed on a sold ticket (N1 .. N + numbers per ticket); empty when it is not sold.
    QList<QVariant> numbersOf(int numBilhete, QString *error) const;

    // The modality number format: control numbers and numbers zero-padded to the highest number's digits.
    int digits() const;
    QString formatNumber(const QVariant &n) const;

    static QString columnTitle(int column);
    // Reading the rows stopped by a database error; the text says why (empty when none).
    QString lastError() const { return m_lastError; }

private:
    using Block = QList<std::optional<ValidatedSale>>;
    bool raffleOk(QString *error) const;
    // " from ... where ..." of the filter, its values appended.
    QString fromWhere(QVariantList *values, bool seller) const;
    QString orderBy() const;
    bool readFirstBlock(QString *error);
    Block *block(int index) const;
    // A block in the list's order: after a control number (scrolling on in that order), else by position.
    bool readInOrder(int index, std::optional<int> after, Block *rows, QString *error) const;
    bool readKeys(QString *error) const;
    bool readByKeys(int index, Block *rows, QString *error) const;

    AppContext &m_ctx;
    ListingFilter m_filter;
    bool m_open = false;
    int m_sort = NumBilhete;
    int m_firstRows = 0;
    bool m_counted = false;
    int m_count = 0;
    qint64 m_total = 0;
    mutable bool m_keysRead = false;
    mutable QList<int> m_keys; // AUTOCOD of every row in the order shown, once a jump needs them
    mutable QCache<int, Block> m_blocks{64};
    mutable QString m_lastError;
};
