#pragma once

#include "draw/DrawRecord.h"

#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// "Ata do Sorteio": one A4 page recording a draw, for the organiser to print or publish as PDF.
// Painted in tenths of a millimetre from the paper corner, so the same page goes to a PDF file, a
// printer or the preview.
class DrawRecordReport {
public:
    explicit DrawRecordReport(DrawRecord record) : m_record(std::move(record)) {}

    static constexpr double UnitsPerInch = 254.0;
    QPageSize pageSize() const { return QPageSize(QPageSize::A4); }
    int pageCount() const { return 1; }
    void paintPage(QPainter &painter, int page = 0) const;

    // The page onto a printer or a PDF writer, with the paper corner as origin.
    bool render(QPagedPaintDevice &device) const;
    bool writePdf(const QString &path, QString *error) const;

    // The texts of the page, as printed (the tests read them back from the PDF).
    static QString modeText(const DrawRecord &r);
    static QString ruleLine(const DrawRecord &r);

private:
    DrawRecord m_record;
};
