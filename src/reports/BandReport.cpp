#include "reports/BandReport.h"

#include <QPainter>
#include <cmath>

namespace {
constexpr double kPageWidthMm = 210.0;
constexpr double kPageHeightMm = 297.0;
constexpr double kEpsilon = 1e-6;

double heightOf(const BandReport::Band &b) {
    return b.used() ? b.heightMm : 0.0;
}
} // namespace

BandReport::BandReport() = default;

QFont BandReport::font(const QString &family, double points, bool bold) {
    QFont f(family);
    // Sized in painter units, so the text keeps its size on every device.
    f.setPixelSize(qMax(1, int(std::lround(points * 25.4 / 72.0 * UnitsPerMm))));
    f.setBold(bold);
    return f;
}

void BandReport::setColumns(int count, double spacingMm) {
    m_columns = qMax(1, count);
    m_spacing = qMax(0.0, spacingMm);
}

double BandReport::columnWidthMm() const {
    return (kPageWidthMm - 2 * m_margins - m_spacing * (m_columns - 1)) / m_columns;
}

void BandReport::setDetail(int rowCount, double heightMm, PaintRow paint) {
    m_rows = qMax(0, rowCount);
    m_detailHeight = heightMm;
    m_detail = std::move(paint);
}

double BandReport::contentBottomMm() const {
    return kPageHeightMm - m_margins - heightOf(pageFooter);
}

double BandReport::rowsTopMm(int page) const {
    double top = m_margins + heightOf(columnHeader);
    if (page == 0) top += heightOf(pageHeader) + heightOf(title);
    return top;
}

BandReport::Layout BandReport::layout() const {
    Layout l;
    const bool details = m_rows > 0 && m_detailHeight > 0 && m_detail;
    auto fits = [&](int page) {
        if (m_detailHeight <= 0) return 0;
        return qMax(0, int(std::floor((contentBottomMm() - rowsTopMm(page) + kEpsilon) / m_detailHeight)));
    };
    l.firstCapacity = fits(0);
    l.capacity = qMax(1, fits(1)); // a band taller than a page is cut, never looped over
    int lastRowPage = 0, rowsOnLast = 0;
    if (details) {
        const int onFirst = l.firstCapacity * m_columns;
        const int rest = m_rows - onFirst;
        if (rest <= 0) {
            rowsOnLast = m_rows;
        } else {
            const int perPage = l.capacity * m_columns;
            lastRowPage = 1 + (rest - 1) / perPage;
            rowsOnLast = rest - (lastRowPage - 1) * perPage;
        }
    }
    l.rowPages = lastRowPage + 1;
    const int cap = capacityOf(lastRowPage, l);
    l.summaryPage = lastRowPage;
    l.summaryTopMm = rowsTopMm(lastRowPage) + qMin(rowsOnLast, cap) * m_detailHeight;
    if (summary.used() && l.summaryTopMm + summary.heightMm > contentBottomMm() + kEpsilon) {
        l.summaryPage = lastRowPage + 1;
        l.summaryTopMm = m_margins;
    }
    l.pages = qMax(l.rowPages, l.summaryPage + 1);
    return l;
}

int BandReport::firstRowOf(int page, const Layout &l) const {
    if (page == 0) return 0;
    return l.firstCapacity * m_columns + (page - 1) * l.capacity * m_columns;
}

int BandReport::pageCount() const {
    return layout().pages;
}

QList<BandReport::Placement> BandReport::placements(int page) const {
    QList<Placement> out;
    const Layout l = layout();
    if (page < 0 || page >= l.pages) return out;
    const double left = m_margins, width = kPageWidthMm - 2 * m_margins;
    auto box = [](double x, double y, double w, double h) { return QRectF(mm(x), mm(y), mm(w), mm(h)); };
    double y = m_margins;
    if (page == 0) {
        if (pageHeader.used()) {
            out.append({Kind::PageHeader, box(left, y, width, pageHeader.heightMm)});
            y += pageHeader.heightMm;
        }
        if (title.used()) {
            out.append({Kind::Title, box(left, y, width, title.heightMm)});
            y += title.heightMm;
        }
    }
    const double columnWidth = columnWidthMm();
    if (page < l.rowPages) {
        if (columnHeader.used())
            for (int c = 0; c < m_columns; ++c)
                out.append({Kind::ColumnHeader, box(left + c * (columnWidth + m_spacing), y, columnWidth,
                                                    columnHeader.heightMm)});
        if (m_rows > 0 && m_detail) {
            const int cap = capacityOf(page, l);
            const int first = firstRowOf(page, l);
            const int last = qMin(m_rows, first + cap * m_columns);
            const double top = rowsTopMm(page);
            for (int row = first; row < last; ++row) {
                const int i = row - first;
                out.append({Kind::Detail,
                            box(left + (i / cap) * (columnWidth + m_spacing),
                                top + (i % cap) * m_detailHeight, columnWidth, m_detailHeight),
                            row});
            }
        }
    }
    if (page == l.summaryPage && summary.used())
        out.append({Kind::Summary, box(left, l.summaryTopMm, width, summary.heightMm)});
    if (pageFooter.used())
        out.append({Kind::PageFooter,
                    box(left, kPageHeightMm - m_margins - pageFooter.heightMm, width, pageFooter.heightMm)});
    return out;
}

void BandReport::paintPage(QPainter &painter, int page) const {
    for (const Placement &p : placements(page)) {
        painter.save();
        painter.setClipRect(p.rect, Qt::IntersectClip);
        switch (p.kind) {
        case Kind::PageHeader:
            pageHeader.paint(painter, p.rect, page);
            break;
        case Kind::Title:
            title.paint(painter, p.rect, page);
            break;
        case Kind::ColumnHeader:
            columnHeader.paint(painter, p.rect, page);
            break;
        case Kind::Detail:
            m_detail(painter, p.rect, p.row);
            break;
        case Kind::Summary:
            summary.paint(painter, p.rect, page);
            break;
        case Kind::PageFooter:
            pageFooter.paint(painter, p.rect, page);
            break;
        }
        painter.restore();
    }
}
