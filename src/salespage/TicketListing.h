#pragma once

#include "salespage/ModalityFormat.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QVariant>
#include <QVector>
#include <memory>

// One ticket of a listing, as it stands in the ticket table.
struct ListedTicket {
    int numBilhete = 0;
    QVector<QVariant> numbers; // N1 .. Nq of the table
    QString mark;              // the raffle's mark column, trimmed: "S", "R" or empty
};

// The tickets of a listing, for a grid and for the page writer. A ticket table holds up to
// 1,000,000 rows, so only their control numbers are kept (4 bytes each, read in slices between
// events so the window stays live); the rows themselves are read a page at a time by key range
// and only a few pages are held.
class TicketListing : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Mode {
        FreeAll,   // every ticket for sale
        FreeBlock, // the tickets for sale between two control numbers
        Block      // every ticket between two control numbers, sold or not (reserved ones never)
    };
    static constexpr int NumberColumns = 10;
    static constexpr int PageSize = 128;

    explicit TicketListing(QSqlDatabase db, QObject *parent = nullptr);
    ~TicketListing() override;

    // How numbers are shown: the modality format, applied to N1..Nq for q numbers per ticket.
    void setFormat(const ModalityFormat &format, int perTicket);
    const ModalityFormat &format() const { return m_format; }

    // Reads the first rows at once and the remaining control numbers afterwards, between events.
    // The table must be one of the ticket tables and the slot 1 to 5.
    bool open(const QString &table, int slot, Mode mode, int from, int to, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    // Every control number of the listing is known (rowCount() is the listing's size).
    bool isComplete() const { return m_complete; }
    // Reads the rest of the control numbers now.
    bool finishLoading(QString *error);
    // The number of slices read so far is bounded by time; for tests and the benchmark.
    void setSliceRows(int rows) { m_sliceRows = rows; }

    // The ticket at a row of the listing (reads its page when it is not held); numBilhete 0 on failure.
    ListedTicket ticket(int row);
    // Pages held at the moment (bounded).
    int heldPages() const { return int(m_pages.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The statement condition of a mode for a slot, the block limits as parameters.
    static QString condition(int slot, Mode mode);

Q_SIGNALS:
    // Every control number is known; total is the listing's size.
    void completed(int total);
    // Reading failed part way; the listing keeps what it read.
    void failed(const QString &error);

private:
    struct Page {
        QVector<ListedTicket> rows;
    };
    void readSlice();
    bool startKeyCursor(QString *error);
    bool readKeys(int maxRows, QString *error);
    void grow();
    const Page *page(int index) const;
    bool loadPage(int index, Page *page, QString *error) const;
    QString columnList() const;
    QVariantList limits() const;

    QSqlDatabase m_db;
    ModalityFormat m_format;
    int m_perTicket = 0;
    QString m_table;
    int m_tableNumbers = 0;
    QString m_mark;
    Mode m_mode = Mode::FreeAll;
    int m_from = 0;
    int m_to = 0;
    bool m_open = false;
    bool m_complete = false;
    int m_shown = 0; // rows the model reports
    int m_sliceRows = 20000;
    int m_slot = 0;
    bool m_cursorPending = false;
    QTimer m_slices; // reads the next slice of control numbers once events have run
    QVector<qint32> m_keys;
    std::unique_ptr<QSqlQuery> m_keyCursor;
    mutable QHash<int, Page> m_pages;
    mutable QList<int> m_recent; // most recently used page last
    static constexpr int MaxPages = 12;
};
