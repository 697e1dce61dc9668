#pragma once

#include "layout/PrintQueue.h"
#include "layout/TicketSheet.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct AppContext;

// What the print panel and the designer give a run.
struct PrintRunInput {
    QString columnsText;     // "Número de Colunas por Folha" as shown
    QString comprimentoText; // ticket COMPRIMENTO field (mm)
    QString de, ate;         // Edit_DE, Edit_ATE
    int usarCBarra = 0;      // "Usar Qts Cod. de Barra"
    bool whatsMode = false;
    QStringList sendList; // BilhetesEnvio entries, used when QtBilhetesEnvio is 2 or more
};

// The print run's work outside the window: its checks and warnings, the print queue TAB_PRN and the
// modality number format. The barcode counter lives as long as the designer that owns the run.
class PrintRun {
public:
    explicit PrintRun(AppContext &ctx);

    // The print module's run: any filled, ordered range is accepted (only the tickets the table
    // holds are queued) and there is no barcode preview counter.
    void setPrintOnly(bool printOnly) { m_printOnly = printOnly; }

    // Digits of the largest control number (1.000.000 tickets).
    static constexpr int ControlNumberDigits = 7;

    // Warnings and checks in order; false when the run must stop (the box was shown).
    bool check(const PrintRunInput &in);
    // Empties the queue, restarts its numbering and fills it with the range (or the send list), in one
    // transaction; a failure or a cancel through the progress leaves the queue empty.
    bool fillQueue(const PrintRunInput &in, QString *error, const PrintQueue::Progress &progress = {},
                   bool *cancelled = nullptr);
    bool TransferirRifaPRN(const QString &table, int perTicket, const PrintRunInput &in, QString *error,
                           const PrintQueue::Progress &progress = {}, bool *cancelled = nullptr);
    // Tickets the last fill queued (AUTOCOD 1..n).
    qint64 queued() const { return m_queued; }
    QList<QueuedTicket> readQueue(QString *error) const;
    // Empties the queue once the preview has closed.
    bool emptyQueue(QString *error = nullptr);
    // The authentication code of a validated ticket; empty outside the WhatsApp mode.
    QString Cod_AutBilhete_zap(int numBilhete, bool whatsMode) const;
    // The digits of the phone of the tickets' buyer rows when every ticket has that same phone;
    // empty when one has none or they differ, so a picture never goes to an earlier buyer.
    QString buyersPhone(const QList<int> &tickets) const;

    // The modality number format; a text that is none of the five keeps the previous one.
    void chooseFormat(const QString &modalidade);
    int digits() const { return m_digits; }
    int barcodeCounter() const { return m_barcodeCounter; }
    int ticketCount() const;

private:
    // Validated tickets' codes in the ranges, for the WhatsApp mode.
    QHash<int, QString> authenticationCodes(const QList<QPair<int, int>> &ranges) const;
    AppContext &m_ctx;
    qint64 m_queued = 0;
    int m_barcodeCounter = 0;
    bool m_printOnly = false;
    int m_digits = 0;
};
