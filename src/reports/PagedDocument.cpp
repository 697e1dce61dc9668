#include "reports/PagedDocument.h"

#include <QFile>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

bool PageOutput::render(const PagedDocument &document, QPagedPaintDevice &device, const Progress &progress,
                        bool *cancelled) {
    if (cancelled) *cancelled = false;
    document.beginOutput();
    device.setPageLayout(QPageLayout(document.pageSize(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p;
    if (!p.begin(&device)) return false;
    const double sx = device.logicalDpiX() / document.unitsPerInch();
    const double sy = device.logicalDpiY() / document.unitsPerInch();
    const int pages = document.pageCount();
    bool ok = true;
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        p.save();
        p.scale(sx, sy);
        document.paintPage(p, page);
        p.restore();
        if (document.outputFailed()) {
            ok = false;
            break;
        }
        if (progress && !progress(page + 1, pages)) {
            if (cancelled) *cancelled = true;
            ok = false;
            break;
        }
    }
    return p.end() && ok;
}

bool PageOutput::writePdf(const PagedDocument &document, const QString &path, const Progress &progress,
                          bool *cancelled) {
    bool done = false;
    {
        QPdfWriter pdf(path);
        pdf.setCreator(QStringLiteral("KORVANTE"));
        done = render(document, pdf, progress, cancelled);
    }
    if (!done) QFile::remove(path);
    return done;
}

QImage PageOutput::pageImage(const PagedDocument &document, int page, double dotsPerInch) {
    const double units = document.unitsPerInch();
    const double dpi = dotsPerInch > 0 ? dotsPerInch : units;
    const QSizeF mm = document.pageSize().size(QPageSize::Millimeter);
    QImage img(QSize(int(std::lround(mm.width() / 25.4 * dpi)), int(std::lround(mm.height() / 25.4 * dpi))),
               QImage::Format_RGB32);
    img.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    img.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    img.fill(Qt::white);
    QPainter p(&img);
    if (dpi != units) p.scale(dpi / units, dpi / units);
    document.paintPage(p, page);
    return img;
}
