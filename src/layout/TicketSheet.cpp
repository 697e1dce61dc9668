#include "layout/TicketSheet.h"

#include "layout/Code128.h"
#include "layout/RtfCodec.h"

#include <QPainter>
#include <QTextDocument>
#include <cmath>

namespace {
constexpr int kGuideColour = 9080209;
// Font size 0 (a raffle never laid out) is left to the platform: this is its size.
constexpr int kDefaultPoints = 8;

std::unique_ptr<QTextDocument> documentFor(const QByteArray &rtf) {
    auto doc = std::make_unique<QTextDocument>();
    TicketSheet::prepareTextDocument(*doc);
    RtfCodec::read(rtf, *doc);
    return doc;
}
} // namespace

void TicketSheet::prepareTextDocument(QTextDocument &doc) {
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    doc.setDocumentMargin(1);
}

TicketSheet::TicketSheet(const TicketLayout &layout, int digits, bool whatsMode)
    : m_layout(layout), m_digits(digits), m_whats(whatsMode) {
    if (m_layout.texto.visible) m_text = documentFor(m_layout.texto.rtf);
    if (m_layout.textoC.visible) m_stubText = documentFor(m_layout.textoC.rtf);
}

TicketSheet::~TicketSheet() = default;

int TicketSheet::columns() const {
    return m_layout.qtColFolha == 2 ? 2 : m_layout.qtColFolha == 3 ? 3 : 1;
}

double TicketSheet::columnWidthMm() const {
    const int c = columns();
    return std::floor((PageWidthMm - 2 * MarginMm - ColumnGapMm * (c - 1)) / c);
}

int TicketSheet::ticketsPerColumn() const {
    const double usable = mmToPx(PageHeightMm - 2 * MarginMm);
    const int h = qMax(1, m_layout.outline.height());
    return qMax(1, int(usable / h));
}

void TicketSheet::setTickets(QList<QueuedTicket> tickets) {
    m_source = std::make_shared<MemoryTickets>(std::move(tickets));
}

QList<QueuedTicket> TicketSheet::tickets(qint64 first, int n) const {
    if (!m_source) return {};
    QString error;
    QList<QueuedTicket> out = m_source->fetch(first, n, &error);
    if (!error.isEmpty() && m_readError.isEmpty()) m_readError = error;
    return out;
}

int TicketSheet::pageCount() const {
    const int perPage = ticketsPerPage();
    return int(qMax<qint64>(1, (ticketCount() + perPage - 1) / perPage));
}

QPoint TicketSheet::bandOrigin(int indexOnPage) const {
    const int perColumn = ticketsPerColumn();
    const int column = indexOnPage / perColumn;
    const int row = indexOnPage % perColumn;
    const double x = mmToPx(MarginMm + column * (columnWidthMm() + ColumnGapMm));
    // Whole pixels, so bars and modules stay on the pixel grid.
    return QPoint(qRound(x), qRound(mmToPx(MarginMm)) + row * m_layout.outline.height());
}

QString TicketSheet::formatNumber(const QVariant &n) const {
    if (n.isNull()) return {};
    const qlonglong v = n.toLongLong();
    const QString digits = QString::number(qAbs(v)).rightJustified(m_digits, u'0');
    return v < 0 ? u'-' + digits : digits;
}

QFont TicketSheet::labelFont(int points, bool italic) const {
    QFont f(QStringLiteral("Arial"));
    // Pixel sizes keep the text at true scale whatever the device's resolution.
    f.setPixelSize(qMax(1, qRound((points > 0 ? points : kDefaultPoints) * 96.0 / 72.0)));
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QRect TicketSheet::backgroundBox() const {
    return m_layout.fundo.rect.translated(-17, -19);
}

void TicketSheet::paintRichText(QPainter &p, QTextDocument *doc, QRect box) const {
    if (!doc || box.width() <= 0 || box.height() <= 0) return;
    doc->setTextWidth(box.width());
    p.save();
    p.translate(box.topLeft());
    doc->drawContents(&p, QRectF(0, 0, box.width(), box.height()));
    p.restore();
}

void TicketSheet::paintTicket(QPainter &p, QPoint origin, const QueuedTicket &t) const {
    const TicketLayout &l = m_layout;
    p.save();
    p.translate(origin);
    p.setClipRect(QRect(QPoint(0, 0), l.outline)); // the band

    if (l.fundo.visible && !l.fundo.image.isNull()) {
        const QRect box = backgroundBox();
        if (l.artExtendida) {
            p.drawImage(box, l.fundo.image);
        } else {
            p.save();
            p.setClipRect(box, Qt::IntersectClip);
            p.drawImage(QRect(box.topLeft(), l.fundo.image.size()), l.fundo.image);
            p.restore();
        }
    }
    for (const TicketLayout::Picture &img : l.livre)
        if (img.visible && !img.image.isNull())
            p.drawImage(QRect(img.rect.topLeft() + QPoint(-17, -19), img.image.size()), img.image);

    const auto mmBox = [](QPoint at, int widthMm, int heightMm) {
        return QRect(at, QSize(printedTextWidth(widthMm), printedTextWidth(heightMm)));
    };
    if (l.texto.visible)
        paintRichText(p, m_text.get(), mmBox(l.texto.pos + QPoint(-21, -19), l.dimTextoComp, l.dimTextoAlt));
    if (l.textoC.visible) {
        const QRect stub = mmBox(l.textoC.pos + QPoint(-21, -19), l.dimTextoCComp, l.dimTextoCAlt);
        paintRichText(p, m_stubText.get(), stub);
        QPen dotted(Qt::black, 1, Qt::DotLine);
        p.setPen(dotted);
        const int x = l.traco.pos.x() - 20;
        p.drawLine(QPointF(x + 0.5, stub.top()), QPointF(x + 0.5, stub.top() + l.tracoHeight));
    }

    // Guide lines while the text boxes are in use.
    if (l.usarTextoBas == 1 && m_printModuleGuides) {
        // 33-pixel strokes: down the middle of a 9 x 33 box at top 82, and along the middle of
        // 8-pixel-high boxes at both ends of the band's foot.
        p.setPen(QPen(TicketLayout::colour(kGuideColour), 1, Qt::DashDotLine));
        const double x0 = TicketLayout::OutlineLeft + l.outline.width() - 25 + 4.5;
        p.drawLine(QPointF(x0, 82), QPointF(x0, 82 + 33));
        const double y1 = l.outline.height() - 5 + 4.0;
        p.drawLine(QPointF(0, y1), QPointF(33, y1));
        const double left2 = l.outline.width() - 30;
        p.drawLine(QPointF(left2, y1), QPointF(left2 + 33, y1));
    } else if (l.usarTextoBas == 1) {
        QPen guide(TicketLayout::colour(kGuideColour), 1, Qt::DotLine);
        p.setPen(guide);
        const int left0 = TicketLayout::OutlineLeft + l.outline.width() - 95;
        const double x0 = left0 + 3.0 * l.dimBilheteAlt / 2.0;
        p.drawLine(QPointF(x0, 18), QPointF(x0, 18 + 150));
        const double y1 = l.outline.height() - 5 + 4.0;
        p.drawLine(QPointF(0, y1), QPointF(4.0 * l.dimBilheteComp, y1));
    }

    p.setPen(TicketLayout::colour(l.corFonteNum));
    p.setFont(labelFont(l.tamFonteNum, false));
    for (int k = 1; k <= 10; ++k) {
        if (!l.numB[k - 1].visible || t.numbers[k - 1].isNull()) continue;
        p.drawText(QRect(numberAt(k), QSize(1000, 1000)), Qt::AlignLeft | Qt::AlignTop,
                   formatNumber(t.numbers[k - 1]));
    }
    p.setPen(TicketLayout::colour(l.corFonteId));
    p.setFont(labelFont(l.tamFonteId, true));
    for (int i = 0; i < 2; ++i)
        if (l.bilheteNum[i].visible)
            p.drawText(QRect(idAt(i), QSize(1000, 1000)), Qt::AlignLeft | Qt::AlignTop,
                       formatId(t.numBilhete));

    // The white of both barcodes first (box and quiet zones), then the bars: a margin never covers
    // the bars of the other barcode.
    const QString value = QString::number(t.numBilhete);
    const int modules = int(Code128::modulesA(value).size());
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 2; ++i) {
            if (!l.codBarra[i].visible) continue;
            const QPoint at = barcodeAt(i);
            const int barsLeft = at.x() + (i == 0 ? 1 : 0);
            if (pass == 0) {
                p.fillRect(QRect(at, QSize(barsLeft - at.x() + modules, Code128::BarHeight)), Qt::white);
                Code128::paintQuietZones(p, barsLeft, at.y(), value);
            } else {
                Code128::paint(p, barsLeft, at.y(), value);
            }
        }

    if (l.usarAutentic == QLatin1String("S") && !t.autDigital.trimmed().isEmpty()) {
        const QPoint at = m_whats ? l.autentic.pos + QPoint(-18, -19) : QPoint(195, 78);
        p.setPen(Qt::black);
        p.setFont(labelFont(8, false));
        p.drawText(QRect(at, QSize(1000, 1000)), Qt::AlignLeft | Qt::AlignTop, t.autDigital.trimmed());
    }
    p.restore();
}

void TicketSheet::paintPage(QPainter &p, int page) const {
    const int perPage = ticketsPerPage();
    const QList<QueuedTicket> onPage = tickets(qint64(page) * perPage, perPage);
    for (int i = 0; i < onPage.size(); ++i)
        paintTicket(p, bandOrigin(i), onPage.at(i));
}

void TicketSheet::beginOutput() const {
    m_readError.clear();
}

bool TicketSheet::render(QPagedPaintDevice &device, const PageOutput::Progress &progress, bool *cancelled) const {
    return PageOutput::render(*this, device, progress, cancelled);
}

bool TicketSheet::writePdf(const QString &path, const PageOutput::Progress &progress, bool *cancelled) const {
    return PageOutput::writePdf(*this, path, progress, cancelled);
}

QImage TicketSheet::pageImage(int page) const {
    return PageOutput::pageImage(*this, page);
}
