#pragma once

#include "data/TicketTables.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

class QIODevice;

// SHA-256 fingerprints over canonical text lines, so anyone can recompute them outside the program:
// one line per ticket, fields separated by ';', every number padded with zeros to the modality's
// width, the date as YYYY-MM-DD, ASCII, each line ended by LF.
namespace Fingerprint {

QByteArray line(int control, const QList<int> &numbers, int width);
// A line of the sold list: the same followed by the sale date (empty when the row has none).
QByteArray soldLine(int control, const QList<int> &numbers, int width, const QDate &date);
// Digits of the modality's highest number (99 gives 2).
int widthOf(int highestNumber);
QString hex(const QByteArray &digest);

// The fingerprint of a ticket table's dealing: NUMBILHETE and N1..Nq of every row in key order.
// Writes the lines to `out` as well when given.
std::optional<QString> ofTable(QSqlDatabase db, const TicketTable &table, QString *error,
                               QIODevice *out = nullptr);

} // namespace Fingerprint

// The dealing fingerprints kept in CRF.XML (HASH_TABELAS), one per ticket table.
namespace DealingFingerprints {

struct Stored {
    QString hash;
    QDateTime at; // UTC
    QString origin; // "instalar", "gerar", "acrescentar" or "encerramento"
};

std::optional<Stored> stored(QSqlDatabase db, const QString &table, QString *error);
bool store(QSqlDatabase db, const QString &table, const QString &hash, const QString &origin,
           const QDateTime &atUtc, QString *error);
// Computes the table's fingerprint and keeps it.
bool refresh(QSqlDatabase db, const TicketTable &table, const QString &origin, const QDateTime &atUtc,
             QString *error);

} // namespace DealingFingerprints

// Times are stored in UTC and shown in Brasília time.
namespace BrasiliaTime {
QDateTime toBrasilia(const QDateTime &utc);
QDateTime fromBrasilia(const QDate &date, const QTime &time); // gives UTC
// A TIMESTAMP column holding UTC, as read back from the engine.
QDateTime utcOf(const QVariant &stored);
// The value to bind for a TIMESTAMP column holding UTC.
QVariant forColumn(const QDateTime &anyZone);
// "10/12/2026 às 07:00:00 (horário de Brasília)"
QString shown(const QDateTime &utc);
} // namespace BrasiliaTime
