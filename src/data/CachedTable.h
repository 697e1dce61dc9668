#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>

// Rows read into memory whose edits, new rows and deletions are held until applyUpdates writes
// them. Each edited or deleted row is found by all its values as read, so a row that someone else
// changed meanwhile makes the apply fail; a failed apply writes nothing.
class CachedTable {
public:
    explicit CachedTable(QString name = {});

    // Both before open: the column the database fills in for a new row (never written; it comes
    // back through RETURNING with the rest of the row), and whether text is read trimmed (CHAR
    // columns come back padded).
    void setGeneratedKey(const QString &column) { m_key = column.toUpper(); }
    void setTrimText(bool trim) { m_trim = trim; }

    // Reads the rows of a SELECT; values are bound parameters. updateTable receives the edits.
    bool open(const QSqlDatabase &db, const QString &updateTable, const QString &select,
              const QVariantList &values, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    const QString &name() const { return m_name; }

    int rowCount() const { return int(m_rows.size()); }
    int columnIndex(const QString &column) const;
    QStringList columns() const;
    QVariant value(int row, const QString &column) const;
    QVariant originalValue(int row, const QString &column) const; // as read, before any edit
    QSqlRecord record(int row) const;
    // Finds the first row whose column, as text, starts with the given text.
    int locate(const QString &column, const QString &text) const;

    void setValue(int row, const QString &column, const QVariant &value);
    // A new row at the end, its columns null; returns its index.
    int appendRow();
    // Not yet in the database.
    bool isRowInserted(int row) const;
    // The row leaves the table; one that was read is deleted from the database by the next apply.
    void deleteRow(int row);
    // Deletes the row from the database at once, in a transaction of its own, leaving every other
    // change pending; on failure the row stays. A row not yet inserted just leaves the table.
    bool applyDeletion(int row, QString *error);
    // Puts one row back as read; a row not yet inserted leaves the table.
    void revertRow(int row);
    bool isModified() const;
    bool isRowModified(int row) const;
    void cancelUpdates();
    // Writes every deletion, edited row and new row in one transaction.
    bool applyUpdates(QString *error);
    // The last apply failed because a row had been changed or deleted since it was read.
    bool conflicted() const { return m_conflict; }

private:
    struct Row {
        QVector<QVariant> read;
        QVector<QVariant> now;
        bool inserted = false;
    };
    struct Deleted {
        int at; // where it stood, to put it back on cancel
        QVector<QVariant> read;
    };
    QString whereAsRead(const QVector<QVariant> &read, QVariantList *binds) const;
    bool writeUpdate(const Row &row, QString *error);
    bool writeInsert(const Row &row, QVector<QVariant> *stored, QString *error);
    QVariant readValue(const QVariant &v) const;
    bool writeDelete(const QVector<QVariant> &read, QString *error);
    // Runs an UPDATE or DELETE that must touch exactly the one row it found by its values as read.
    bool execOnRowAsRead(const QString &sql, const QVariantList &binds, QString *error);
    bool rollBack(QString *error, const QString &why);

    QString m_name;
    QString m_key;
    bool m_trim = false;
    QSqlDatabase m_db;
    QString m_table;
    QSqlRecord m_columns;
    QVector<Row> m_rows;
    QVector<Deleted> m_deleted;
    bool m_open = false;
    bool m_conflict = false;
};
