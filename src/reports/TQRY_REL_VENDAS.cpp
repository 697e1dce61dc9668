#include "reports/TQRY_REL_VENDAS.h"

#include "platform/Money.h"

#include <QPainter>

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kCourier = QStringLiteral("Courier New");

// Column positions inside one detail column, in millimetres from its left edge.
constexpr double kBilheteX = 1, kPagouX = 21, kValorRight = 50, kCompradorX = 53;

QRectF at(const QRectF &band, double xMm, double yMm, double wMm, double hMm) {
    return QRectF(band.left() + BandReport::mm(xMm), band.top() + BandReport::mm(yMm), BandReport::mm(wMm),
                  BandReport::mm(hMm));
}

void rule(QPainter &p, const QRectF &band, double yMm) {
    p.setPen(QPen(Qt::black, BandReport::mm(0.3)));
    const double y = band.top() + BandReport::mm(yMm);
    p.drawLine(QPointF(band.left(), y), QPointF(band.right(), y));
}

} // namespace

TQRY_REL_VENDAS::TQRY_REL_VENDAS(int rowCount, RowSource rowAt, int digits)
    : m_rowAt(std::move(rowAt)), m_digits(digits) {
    setMarginsMm(10);
    setColumns(2, 0);

    // PageHeaderBand1: only on the first page.
    pageHeader = {22, [this](QPainter &p, const QRectF &band, int) {
                      const QRectF bar = at(band, 0, 0, band.width() / mm(1), 9);
                      p.fillRect(bar, Qt::black);
                      p.setPen(Qt::white);
                      p.setFont(font(kArial, 15, true));
                      p.drawText(bar, Qt::AlignCenter, textoTitulo());
                      p.setPen(Qt::black);
                      p.setFont(font(kArial, 12, true));
                      p.drawText(at(band, 0, 10.5, band.width() / mm(1), 7), Qt::AlignCenter, QRL_Titulo);
                      rule(p, band, 20);
                  }};
    // TitleBand1: the headings over the second column, only with a filter line.
    title = {8,
             [this](QPainter &p, const QRectF &band, int) {
                 rule(p, band, 0.4);
                 const double w = columnWidthMm();
                 paintHeadings(p, QRectF(band.left() + mm(w), band.top() + mm(1), mm(w), mm(6)));
                 rule(p, band, 7.4);
             },
             false};
    // ColumnHeaderBand1
    columnHeader = {7, [this](QPainter &p, const QRectF &band, int) {
                        paintHeadings(p, QRectF(band.left(), band.top(), band.width(), mm(6)));
                        rule(p, band, 6.4);
                    }};
    // DetailBand1
    setDetail(rowCount, 5.5, [this](QPainter &p, const QRectF &band, int row) {
        const std::optional<SalesReportRow> r = m_rowAt ? m_rowAt(row) : std::nullopt;
        if (!r) return;
        p.setPen(Qt::black);
        p.setFont(font(kCourier, 11));
        p.drawText(at(band, kBilheteX, 0, kPagouX - kBilheteX, 5.5), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(r->numBilhete).rightJustified(m_digits, u'0'));
        p.setFont(font(kArial, 11));
        p.drawText(at(band, kPagouX, 0, 12, 5.5), Qt::AlignLeft | Qt::AlignVCenter, r->validado);
        p.setFont(font(kArial, 10));
        if (!r->valor.isNull())
            p.drawText(at(band, kPagouX + 10, 0, kValorRight - kPagouX - 10, 5.5),
                       Qt::AlignRight | Qt::AlignVCenter, Money::format(r->valor.toDouble()));
        p.setFont(font(kArial, 9));
        const double nameWidth = band.width() / mm(1) - kCompradorX;
        const QString name =
            p.fontMetrics().elidedText(r->nomeComp, Qt::ElideRight, int(mm(nameWidth)), Qt::TextSingleLine);
        p.drawText(at(band, kCompradorX, 0, nameWidth, 5.5), Qt::AlignLeft | Qt::AlignVCenter, name);
    });
    // SummaryBand1
    summary = {10, [this](QPainter &p, const QRectF &band, int) {
                   rule(p, band, 1);
                   p.setPen(Qt::black);
                   p.setFont(font(kArial, 11, true));
                   p.drawText(at(band, kBilheteX, 2.5, 25, 6), Qt::AlignLeft | Qt::AlignVCenter,
                              QStringLiteral("Total...:"));
                   p.drawText(at(band, 27, 2.5, 25, 6), Qt::AlignLeft | Qt::AlignVCenter, QRL_TotalBilhete);
                   p.drawText(at(band, 55, 2.5, 60, 6), Qt::AlignLeft | Qt::AlignVCenter, QRL_TotalPago);
               }};
    // PageFooterBand1: on every page.
    pageFooter = {
        8, [this](QPainter &p, const QRectF &band, int page) {
            rule(p, band, 0.5);
            p.setPen(Qt::black);
            if (m_filtered) {
                p.setFont(font(kArial, 9, true));
                p.drawText(at(band, 0, 1.5, 20, 6), Qt::AlignLeft | Qt::AlignVCenter, m_filtroPor);
                p.setFont(font(kArial, 9));
                p.drawText(at(band, 20, 1.5, 70, 6), Qt::AlignLeft | Qt::AlignVCenter, m_itemFiltro);
            }
            p.setFont(font(kArial, 8));
            const double w = band.width() / mm(1);
            p.drawText(at(band, w / 2 - 20, 1.5, 40, 6), Qt::AlignCenter, QStringLiteral("Korvante 2.0"));
            p.setFont(font(kArial, 9));
            p.drawText(at(band, w - 40, 1.5, 40, 6), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Página: ") + QString::number(page + 1));
        }};
}

void TQRY_REL_VENDAS::setFilter(const QString &filtroPor, const QString &itemFiltro) {
    m_filtered = true;
    m_filtroPor = filtroPor;
    m_itemFiltro = itemFiltro;
    title.enabled = true;
}

void TQRY_REL_VENDAS::paintHeadings(QPainter &p, const QRectF &column) const {
    p.setPen(Qt::black);
    p.setFont(font(kArial, 11, true));
    const double h = column.height() / mm(1);
    p.drawText(at(column, kBilheteX, 0, 20, h), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Bilhete"));
    p.drawText(at(column, kPagouX, 0, 15, h), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pagou"));
    p.drawText(at(column, kPagouX + 10, 0, kValorRight - kPagouX - 10, h), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Valor"));
    p.drawText(at(column, kCompradorX, 0, 40, h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Comprador"));
}
