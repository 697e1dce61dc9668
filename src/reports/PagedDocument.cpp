#include "reports/PagedDocument.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

bool PageOutput::render(const PagedDocument &document, QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(document.pageSize(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p;
    if (!p.begin(&device)) return false;
    const double sx = device.logicalDpiX() / document.unitsPerInch();
    const double sy = device.logicalDpiY() / document.unitsPerInch();
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0) device.newPage();
        p.save();
        p.scale(sx, sy);
        document.paintPage(p, page);
        p.restore();
    }
    return p.end();
}

bool PageOutput::writePdf(const PagedDocument &document, const QString &path) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("KORVANTE"));
    return render(document, pdf);
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
