#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>

class BulkWriter;
class Dialogs;
class Random;

// Deals every number of a modality at random onto numbered tickets of the ticket tables, and fills
// the master number table BS1 whose INC column marks the numbers already dealt.
class NumberBaseDealer {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    struct Result {
        bool ok = false;  // false: a preparatory step failed and nothing was dealt
        int inserted = 0; // tickets written
        int failed = 0;   // tickets whose insert failed (each reported)
    };

    NumberBaseDealer(QSqlDatabase db, Dialogs &dialogs, Random &random);
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Without marks the dealt numbers stay free in BS1, as a new installation has them.
    void setWriteMarks(bool write) { m_writeMarks = write; }
    // Without notices only failures are shown (a whole installation would show dozens).
    void setQuiet(bool quiet) { m_quiet = quiet; }

    // The numbers 0..999,999 into BS1, NUMBILHETE = number + 1, all free.
    bool fillMasterTable();
    // Empties the table and deals all m numbers onto m / q tickets numbered from 1.
    Result generateTicketTable(const QString &table, int perTicket, int numbers);
    // Appends tickets (q = 2, 4 or 5) dealt from the numbers at or below the bound that no ticket of
    // the table holds yet; their control numbers follow the table's last one.
    Result appendTickets(const QString &table, int perTicket, int upperBound);

    // Why the parameters do not fit a ticket table; empty when they do.
    static QString checkGenerate(const QString &table, int perTicket, int numbers);
    static QString checkAppend(const QString &table, int perTicket, int upperBound);

    // Why dealing the table again would change tickets already sold or reserved; empty when nothing
    // was sold from it. A database error is returned as the reason too: nothing is dealt then either.
    QString salesHeldBy(const QString &table) const;

    // The first failure this dealer reported, as it was shown.
    const QString &lastError() const { return m_lastError; }

    static constexpr int RowsPerStatement = 250; // the engine allows 255 contexts per statement

private:
    bool exec(const QString &sql, const QVariantList &values, QString *error);
    bool fail(const QString &error);
    void notice(const QString &text);
    // Shuffles the numbers and inserts them q per ticket, keys from firstKey on. Fills the numbers
    // of failed tickets into *failedNumbers.
    Result deal(BulkWriter &writer, const QString &table, int perTicket, QVector<qint32> &numbers,
                qint64 firstKey, QVector<qint32> *failedNumbers);

    QSqlDatabase m_db;
    Dialogs &m_dialogs;
    Random &m_random;
    Progress m_progress;
    bool m_writeMarks = true;
    bool m_quiet = false;
    QString m_lastError;
};
