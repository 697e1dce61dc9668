#pragma once

#include "reports/PagedDocument.h"

#include <QFont>
#include <QRectF>
#include <functional>

// A printed report made of bands, laid out on A4 pages:
//
//   page header    once, at the top of the first page, across the page
//   title          once, under the page header, across the page
//   column header  at the top of every detail column of every page that has rows (and of the first page)
//   detail         one band per row; the columns fill top to bottom, then left to right, then the next page
//   summary        once, after the last row, across the page (on a page of its own when it does not fit)
//   page footer    at the bottom of every page, across the page
//
// A band has a height in millimetres and a paint function; a band without a paint function, with no
// height or switched off is left out. The painter works in tenths of a millimetre from the paper
// corner (mm() converts); font() gives fonts sized in points for it. A paint function gets the band's
// rectangle and the page index (from 0); the detail gets the row instead. Each band is clipped to its
// rectangle. Render through PageOutput (PDF, printer, image) or show it in the preview window.
//
//   BandReport r;                                   // A4 portrait, 10 mm margins, one column
//   r.pageHeader = {20, [](QPainter &p, const QRectF &band, int) {
//       p.setFont(BandReport::font(QStringLiteral("Arial"), 14, true));
//       p.drawText(band, Qt::AlignCenter, QStringLiteral("ATA"));
//   }};
//   r.setDetail(rows, 5, [&](QPainter &p, const QRectF &band, int row) { ... });
//   PageOutput::writePdf(r, path);
class BandReport : public PagedDocument {
public:
    using Paint = std::function<void(QPainter &painter, const QRectF &band, int page)>;
    using PaintRow = std::function<void(QPainter &painter, const QRectF &band, int row)>;

    struct Band {
        double heightMm = 0;
        Paint paint;
        bool enabled = true;
        bool used() const { return enabled && heightMm > 0 && paint; }
    };

    // What went where, for callers and tests that need to know.
    enum class Kind { PageHeader, Title, ColumnHeader, Detail, Summary, PageFooter };
    struct Placement {
        Kind kind;
        QRectF rect;  // tenths of a millimetre
        int row = -1; // detail only
    };

    static constexpr double UnitsPerMm = 10.0;
    static double mm(double millimetres) { return millimetres * UnitsPerMm; }
    static QFont font(const QString &family, double points, bool bold = false);

    BandReport();

    void setMarginsMm(double margins) { m_margins = margins; }
    double marginsMm() const { return m_margins; }
    // Detail columns side by side, with spacing between them.
    void setColumns(int count, double spacingMm = 0);
    int columns() const { return m_columns; }
    double columnWidthMm() const;

    Band pageHeader;
    Band title;
    Band columnHeader;
    Band summary;
    Band pageFooter;
    void setDetail(int rowCount, double heightMm, PaintRow paint);
    int rowCount() const { return m_rows; }

    double unitsPerInch() const override { return 254.0; }
    int pageCount() const override;
    void paintPage(QPainter &painter, int page) const override;
    QList<Placement> placements(int page) const;

private:
    struct Layout {
        int firstCapacity = 0; // rows per column on the first page
        int capacity = 0;      // rows per column on the other pages
        int rowPages = 1;      // pages that hold rows (at least the first)
        int summaryPage = 0;
        double summaryTopMm = 0;
        int pages = 1;
    };
    Layout layout() const;
    double rowsTopMm(int page) const; // where the first detail of a column starts
    int firstRowOf(int page, const Layout &l) const;
    int capacityOf(int page, const Layout &l) const { return page == 0 ? l.firstCapacity : l.capacity; }
    double contentBottomMm() const;

    double m_margins = 10;
    int m_columns = 1;
    double m_spacing = 0;
    int m_rows = 0;
    double m_detailHeight = 0;
    PaintRow m_detail;
};
