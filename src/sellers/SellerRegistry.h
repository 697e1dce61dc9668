#pragma once

#include "data/CachedTable.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

// The sellers (CAD_VENDEDOR) as read, with the edits of the seller window held until they are saved.
// A saved edit finds its row by every value as read, so a seller changed meanwhile on another
// computer is not overwritten.
class SellerRegistry {
public:
    enum class State { Browse, Edit, Insert };

    explicit SellerRegistry(QSqlDatabase db);

    bool open(QString *error);
    void close();
    bool isOpen() const { return m_table.isOpen(); }

    // The editable columns, in the order of the window's fields.
    static const QStringList &columns();

    int rowCount() const { return m_table.rowCount(); }
    int current() const { return m_current; }
    State state() const { return m_state; }
    QVariant value(const QString &column) const { return value(m_current, column); }
    QVariant value(int row, const QString &column) const;
    // "#00": at least two digits; empty for a seller not yet saved.
    static QString codeText(const QVariant &code);

    void first() { moveTo(0); }
    void prior() { moveTo(m_current - 1); }
    void next() { moveTo(m_current + 1); }
    void last() { moveTo(rowCount() - 1); }
    // Leaving a row keeps its edit for the next save, as the window's navigator does.
    void moveTo(int row);

    // Starts an empty seller at the end.
    void append();
    // Changes a field of the current row; returns true when this began an edit.
    bool setValue(const QString &column, const QVariant &value);
    bool hasPendingChanges() const;
    // Ends the edit of the current row and writes every pending change in one transaction.
    // On failure nothing is written and the changes stay to be corrected or cancelled.
    bool save(QString *error, QVariant *newCode = nullptr);
    // Puts every row back as it was read (an unsaved new seller disappears).
    void cancel();
    // A seller about to be written without a name; -1 when none.
    int pendingRowWithoutName() const;
    // Deletes the current seller from the database.
    bool removeCurrent(QString *error);

    // Row of the seller with this code; -1 when none.
    int findCode(int code) const;
    // Row of the first seller whose name starts with the text, ignoring case; -1 when none.
    int findName(const QString &start) const;

private:
    QSqlDatabase m_db;
    CachedTable m_table{QStringLiteral("CDS_VENDEDOR")};
    int m_current = -1;
    int m_beforeInsert = -1;
    State m_state = State::Browse;
};
