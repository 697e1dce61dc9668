#pragma once

#include "layout/TicketLayout.h"
#include "layout/TicketSource.h"
#include "reports/PagedDocument.h"

#include <QList>
#include <QString>
#include <QTextDocument>
#include <climits>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;

// The ticket sheet: A4 portrait, 7 mm margins, one band per ticket at the designer's true scale,
// 1, 2 or 3 columns filled top to bottom. Pages are painted one at a time, on any paged device or
// on an image, in pixels at 96 per inch.
class TicketSheet : public PagedDocument {
public:
    static constexpr double PageWidthMm = 210.0;
    static constexpr double PageHeightMm = 297.0;
    static constexpr double MarginMm = 7.0;
    static constexpr double ColumnGapMm = 2.0;
    static double mmToPx(double mm) { return mm * 96.0 / 25.4; }
    static QSize pagePixels() { return QSize(qRound(mmToPx(PageWidthMm)), qRound(mmToPx(PageHeightMm))); }
    // A text box is laid out alike in the designer and on paper: the same font, margin and width.
    static void prepareTextDocument(QTextDocument &doc);
    static int printedTextWidth(int mm) { return qRound(mmToPx(mm)); }

    // digits: the modality number format ("#0000" is 4); whatsMode places the authentication code.
    TicketSheet(const TicketLayout &layout, int digits, bool whatsMode = false);
    ~TicketSheet();

    // Tickets already in memory, or a source read a page at a time (the print queue).
    void setTickets(QList<QueuedTicket> tickets);
    void setSource(std::shared_ptr<TicketSource> source) { m_source = std::move(source); }
    qint64 ticketCount() const { return m_source ? m_source->count() : 0; }
    QList<QueuedTicket> tickets(qint64 first, int n) const;
    // Every ticket at once: only for the few of a send list.
    QList<QueuedTicket> tickets() const { return tickets(0, int(qMin<qint64>(ticketCount(), INT_MAX))); }
    // The first failure to read tickets, if any (a page whose tickets cannot be read stays blank).
    const QString &readError() const { return m_readError; }

    int columns() const;
    double columnWidthMm() const;
    int ticketsPerColumn() const;
    int ticketsPerPage() const { return columns() * ticketsPerColumn(); }
    int pageCount() const override; // at least 1, even for an empty queue
    // Top-left corner of the n-th ticket of its page, in page pixels.
    QPoint bandOrigin(int indexOnPage) const;

    QString formatNumber(const QVariant &n) const;
    QString formatId(int numBilhete) const { return QStringLiteral("C-") + formatNumber(numBilhete); }

    // Painter in page pixels (96 per inch) from the paper corner.
    void paintPage(QPainter &painter, int page) const override;
    void paintTicket(QPainter &painter, QPoint origin, const QueuedTicket &ticket) const;
    void beginOutput() const override;
    bool outputFailed() const override { return !m_readError.isEmpty(); }
    bool render(QPagedPaintDevice &device, const PageOutput::Progress &progress = {},
                bool *cancelled = nullptr) const;
    bool writePdf(const QString &path, const PageOutput::Progress &progress = {}, bool *cancelled = nullptr) const;
    QImage pageImage(int page) const;

    // The print module marks the guide lines with three short dash-dot strokes instead.
    void setPrintModuleGuides(bool on) { m_printModuleGuides = on; }

    // Where the run puts each band control, in band pixels.
    QRect backgroundBox() const;
    QPoint numberAt(int k) const { return m_layout.numB[k - 1].pos + QPoint(-18, -15); }
    QPoint idAt(int i) const {
        return m_layout.bilheteNum[i].visible ? m_layout.bilheteNum[i].pos + QPoint(-20, -19)
                                              : QPoint(-1000, 0);
    }
    QPoint barcodeAt(int i) const { return m_layout.codBarra[i].pos + QPoint(-18, -20); }

private:
    QFont labelFont(int points, bool italic) const;
    void paintRichText(QPainter &p, QTextDocument *doc, QRect box) const;

    TicketLayout m_layout;
    int m_digits;
    bool m_whats;
    bool m_printModuleGuides = false;
    std::shared_ptr<TicketSource> m_source;
    mutable QString m_readError;
    std::unique_ptr<QTextDocument> m_text, m_stubText;
};
