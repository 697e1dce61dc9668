#pragma once

#include "data/CachedTable.h"

#include <QObject>

// The working raffle's CADASTRO row, with one owner: it is read, edited and stored only here, and
// every change is announced, so a window showing the row follows it instead of reading it again.
class RaffleRow : public QObject {
    Q_OBJECT
public:
    explicit RaffleRow(QObject *parent = nullptr);

    // Reads a raffle's row into a table of its own (none when the code names no raffle), so that a
    // refused choice can leave the working row as it is.
    static bool read(const QSqlDatabase &db, int codRifa, CachedTable *row, QString *error);
    // Reads the raffle's row as the working one.
    bool load(const QSqlDatabase &db, int codRifa, QString *error);
    // A row read beside the working one becomes the working one.
    void take(CachedTable row);
    void close();

    // Open, with the raffle's row.
    bool isLoaded() const;
    QVariant value(const QString &column) const;
    QSqlRecord record() const;
    int codRifa() const;
    QString nomeRifa() const;
    QString modalidade() const;
    double valor() const;
    bool isActive() const;

    // The one way to change the row: an edit, held until apply stores it.
    void setValue(const QString &column, const QVariant &value);
    bool isModified() const;
    // Stores the held edits in one transaction; on failure nothing is stored and the edits stay.
    bool apply(QString *error);

Q_SIGNALS:
    // The row was read, replaced, closed, edited or stored.
    void changed();

private:
    CachedTable m_row{QStringLiteral("CDS_RIfaUSar")};
};
