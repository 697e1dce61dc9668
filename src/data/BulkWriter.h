#pragma once

#include <QString>
#include <QVector>
#include <memory>

// Writes many rows of integers through the client library itself, inside one transaction of its
// own attachment: no per-value conversions, so a bulk fill runs close to the engine's own speed.
class BulkWriter {
public:
    BulkWriter();
    ~BulkWriter();
    BulkWriter(const BulkWriter &) = delete;
    BulkWriter &operator=(const BulkWriter &) = delete;

    // connection: a file path (embedded engine) or "host[/port]:path". Starts the transaction.
    bool open(const QString &connection, QString *error);
    // Runs a statement whose parameters are all integers.
    bool execute(const QString &sql, const QVector<qint32> &values, QString *error);
    // The same statement prepared once and run many times (e.g. a block of inserts).
    bool executePrepared(const QString &sql, const qint32 *values, int count, QString *error);
    bool commit(QString *error);
    void rollback();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
