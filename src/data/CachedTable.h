#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>

// Rows read into memory whose edits are held until applyUpdates writes them. Each edited row is
// found by all its values as read, so a row that someone else changed meanwhile makes the apply
// fail; a failed apply writes nothing.
class CachedTable {
public:
    explicit CachedTable(QString name = {});

    // Reads the rows of a SELECT; values are bound parameters. updateTable receives the edits.
    bool open(const QSqlDatabase &db, const QString &updateTable, const QString &select,
              const QVariantList &values, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    const QString &name() const { return m_name; }

    int rowCount() const { return int(m_current.size()); }
    int columnIndex(const QString &column) const;
    QStringList columns() const;
    QVariant value(int row, const QString &column) const;
    QVariant originalValue(int row, const QString &column) const; // as read, before any edit
    QSqlRecord record(int row) const;
    // Finds the first row whose column, as text, starts with the given text.
    int locate(const QString &column, const QString &text) const;

    void setValue(int row, const QString &column, const QVariant &value);
    bool isModified() const;
    bool isRowModified(int row) const;
    void cancelUpdates();
    // Writes every edited row in one transaction.
    bool applyUpdates(QString *error);

private:
    QString m_name;
    QSqlDatabase m_db;
    QString m_table;
    QSqlRecord m_columns;
    QVector<QVector<QVariant>> m_original;
    QVector<QVector<QVariant>> m_current;
    bool m_open = false;
};
