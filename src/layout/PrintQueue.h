#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

class TDM;

// Fills the print queue TAB_PRN of ID_BASE.FDB from a ticket table of CRF.XML. The rows stream
// from one database into the other in blocks of parameters, in one transaction, numbered AUTOCOD
// 1..n in control-number order: a whole raffle of a million tickets is never held in memory.
class PrintQueue {
public:
    // Rows queued so far and the most the run can queue; false asks the run to stop.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    struct Outcome {
        bool ok = false;
        bool cancelled = false; // stopped by the progress: the queue is left empty
        qint64 tickets = 0;     // rows queued
        QString error;
    };

    explicit PrintQueue(TDM &tdm) : m_tdm(tdm) {}

    // Empties the queue, restarts its numbering and copies the tickets of each range in turn.
    // codes: the authentication code of a control number, written into AUT_DIGITAL.
    Outcome fill(const QString &table, int perTicket, const QList<QPair<int, int>> &ranges,
                 const QHash<int, QString> &codes = {}, const Progress &progress = {});
    // Empties the queue (after the preview, or a run that did not finish).
    bool empty(QString *error = nullptr);

private:
    TDM &m_tdm;
};
