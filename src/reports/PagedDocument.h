#pragma once

#include <QImage>
#include <QPageSize>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// Anything printed page by page: the ticket sheet, the reports. A document paints one page at a time
// in its own units (unitsPerInch of them to the inch, from the paper corner); PageOutput puts the
// pages on a printer, into a PDF file or onto an image, and the preview window shows them.
class PagedDocument {
public:
    virtual ~PagedDocument() = default;

    virtual QPageSize pageSize() const { return QPageSize(QPageSize::A4); }
    virtual double unitsPerInch() const { return 96.0; }
    // At least 1: an empty document still prints one page.
    virtual int pageCount() const = 0;
    // The painter is in document units, origin at the paper's top-left corner.
    virtual void paintPage(QPainter &painter, int page) const = 0;
    // Documents that read their pages from a database say here that a page could not be read; the
    // output then stops instead of printing blank pages.
    virtual void beginOutput() const {}
    virtual bool outputFailed() const { return false; }
};

namespace PageOutput {
// After each page: pages done and the whole; false stops the output.
using Progress = std::function<bool(int done, int pages)>;
// Every page onto the device (a QPdfWriter or a QPrinter), portrait, paper corner as origin. False
// when the device fails, a page cannot be read or the progress stopped it (*cancelled set).
bool render(const PagedDocument &document, QPagedPaintDevice &device, const Progress &progress = {},
            bool *cancelled = nullptr);
// A PDF that was not finished is removed.
bool writePdf(const PagedDocument &document, const QString &path, const Progress &progress = {},
              bool *cancelled = nullptr);
// One page on white, at the resolution asked for (document units by default).
QImage pageImage(const PagedDocument &document, int page, double dotsPerInch = 0);
} // namespace PageOutput
