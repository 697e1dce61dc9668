#pragma once

#include "draw/DrawRecord.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// "Ata do Sorteio": the record of a draw on A4 pages, for the organiser to print or publish as PDF.
// Painted in tenths of a millimetre from the paper corner, so the same pages go to a PDF file, a
// printer or the preview. Nothing is cut: a long prize text goes on as many lines and pages as it needs.
class DrawRecordReport {
public:
    explicit DrawRecordReport(DrawRecord record) : m_record(std::move(record)) {}

    static constexpr double UnitsPerInch = 254.0;
    QPageSize pageSize() const { return QPageSize(QPageSize::A4); }

    // The pages onto a printer or a PDF writer, with the paper corner as origin.
    bool render(QPagedPaintDevice &device) const;
    // The same record always gives the same bytes: the file's dates are the record's, its
    // identifiers come from the record.
    QByteArray pdf(QString *error) const;
    bool writePdf(const QString &path, QString *error) const;

    // The texts of the pages, as printed (the tests read them back from the PDF).
    static QString modeText(const DrawRecord &r);
    static QString ruleLine(const DrawRecord &r);
    static QString ruleExplained(const DrawRecord &r);
    static QString decisionText(const DrawRecord &r);

private:
    // Lays the record out; paints page `only` (none when -1) and returns the count of pages.
    int layout(QPainter &painter, int only, int pages) const;

    DrawRecord m_record;
};
