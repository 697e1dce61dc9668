#pragma once

#include <QString>
#include <QVariantList>
#include <QVector>
#include <functional>
#include <memory>

// Writes many rows of integers through the client library itself, inside one transaction of its
// own attachment: no per-value conversions, so a bulk fill runs close to the engine's own speed.
class BulkWriter {
public:
    BulkWriter();
    ~BulkWriter();
    BulkWriter(const BulkWriter &) = delete;
    BulkWriter &operator=(const BulkWriter &) = delete;

    // connection: a file path (embedded engine) or "host[/port]:path". Starts the transaction,
    // read-only for an attachment that only reads.
    bool open(const QString &connection, QString *error, bool readOnly = false);
    // Runs a statement whose parameters are all integers.
    bool execute(const QString &sql, const QVector<qint32> &values, QString *error);
    // The same statement prepared once and run many times (e.g. a block of inserts).
    bool executePrepared(const QString &sql, const qint32 *values, int count, QString *error);
    // Runs a statement whose parameters are integers, texts or nulls (prepared for this call).
    bool executeValues(const QString &sql, const QVariantList &values, QString *error);
    // Runs a query whose parameters and selected columns are all integers and hands every row to the
    // callback (a null column reads 0 with its flag set); the callback returns false to stop early.
    using Row = std::function<bool(const qint32 *values, const bool *nulls, int count)>;
    bool select(const QString &sql, const QVector<qint32> &params, const Row &row, QString *error);
    bool commit(QString *error);
    void rollback();

    // One statement of `rows` inserts into table (columns), each row taking `width` integer
    // parameters in column order, then the literal `constants` (e.g. "''") when given.
    static QString insertBlock(const QString &table, const QString &columns, int width, int rows,
                               const QString &constants = {});

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
