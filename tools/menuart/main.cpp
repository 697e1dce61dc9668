// Paints the main menu background of Korvante (regular and print-only
// variants). Usage: menuart <output-folder> [--check]
// --check also writes PNG previews with the window's hot areas outlined.

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 972;
constexpr int kHeight = 680;
constexpr int kJpegQuality = 90;

// Must match the geometry the main window uses for its hot areas and labels.
const QRect kCloseArea(906, 26, 34, 37);
const QRect kChooseButton(211, 607, 120, 27);
const QRect kNamePanel(334, 613, 357, 16);
const QRect kTopStrip(650, 110, 290, 27);
const QPoint kBackupLabel(678, 117);
const QPoint kHelpLabel(821, 117);

enum class Pictogram { Register, Designer, Validation, Sellers, WebPage, OwnDraw, Query };

struct Entry {
    QString caption;  // only used by the --check preview; the program draws it
    QRect icon;
    QPoint captionPos;
    Pictogram pictogram;
    QColor light;
    QColor dark;
};

const std::vector<Entry> &entries()
{
    static const std::vector<Entry> list = {
        {QStringLiteral("Cadastrar"), {166, 197, 67, 73}, {165, 287}, Pictogram::Register,
         QColor(0x3b, 0x8c, 0xff), QColor(0x15, 0x43, 0xa6)},
        {QStringLiteral("Personalizar"), {450, 196, 67, 73}, {440, 287}, Pictogram::Designer,
         QColor(0xa8, 0x6b, 0xfa), QColor(0x55, 0x26, 0xb0)},
        {QStringLiteral("Validação"), {721, 197, 67, 73}, {720, 287}, Pictogram::Validation,
         QColor(0x2c, 0xcf, 0x6c), QColor(0x0c, 0x73, 0x3a)},
        {QStringLiteral("Vendedores"), {75, 415, 78, 67}, {75, 503}, Pictogram::Sellers,
         QColor(0xff, 0x9a, 0x45), QColor(0xc0, 0x45, 0x0c)},
        {QStringLiteral("Gerar Página HTML"), {326, 413, 67, 73}, {285, 503}, Pictogram::WebPage,
         QColor(0x29, 0xc4, 0xdb), QColor(0x0a, 0x66, 0x80)},
        {QStringLiteral("Sorteio Próprio"), {566, 408, 67, 73}, {549, 503}, Pictogram::OwnDraw,
         QColor(0xf8, 0x4a, 0x68), QColor(0x99, 0x12, 0x38)},
        {QStringLiteral("Consultar"), {814, 413, 67, 73}, {810, 503}, Pictogram::Query,
         QColor(0xf7, 0xbd, 0x3f), QColor(0xb0, 0x6c, 0x12)},
    };
    return list;
}

QFont sansFont(qreal px, bool bold = true)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Arial")});
    f.setPixelSize(qRound(px));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// Stacked translucent rounded rects: a cheap blur that needs no extra modules.
void softShadow(QPainter &p, const QRectF &r, qreal radius, int spread, int alpha, QPointF offset)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, qMax(1, alpha / spread)));
    for (int i = spread; i >= 1; --i) {
        const QRectF rr = r.translated(offset).adjusted(-i, -i, i, i);
        p.drawRoundedRect(rr, radius + i, radius + i);
    }
    p.restore();
}

void glow(QPainter &p, QPointF centre, qreal radius, QColor colour)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, colour);
    g.setColorAt(1.0, withAlpha(colour, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

QPainterPath ticketPath(const QRectF &r, qreal notch)
{
    QPainterPath body;
    body.addRoundedRect(r, notch * 0.6, notch * 0.6);
    QPainterPath holes;
    holes.addEllipse(QPointF(r.left(), r.center().y()), notch, notch);
    holes.addEllipse(QPointF(r.right(), r.center().y()), notch, notch);
    return body.subtracted(holes);
}

QPen roundPen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- background and chrome -------------------------------------------------

void paintBackground(QPainter &p)
{
    QLinearGradient base(0, 0, kWidth, kHeight);
    base.setColorAt(0.0, QColor(9, 24, 52));
    base.setColorAt(0.5, QColor(7, 36, 60));
    base.setColorAt(1.0, QColor(5, 50, 48));
    p.fillRect(QRect(0, 0, kWidth, kHeight), base);

    glow(p, {170, 40}, 430, QColor(48, 120, 220, 70));
    glow(p, {900, 640}, 480, QColor(24, 170, 130, 60));
    glow(p, {520, 380}, 360, QColor(40, 110, 170, 30));

    // Faint concentric rings echo a draw wheel without competing with the icons.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(140, 210, 255, 14 - i * 2), 1.2));
        const qreal r = 110 + i * 46;
        p.drawEllipse(QPointF(760, 40), r, r);
    }

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 9));
    for (int y = 9; y < kHeight; y += 18)
        for (int x = 9; x < kWidth; x += 18)
            p.drawEllipse(QPointF(x, y), 0.9, 0.9);

    QLinearGradient accent(0, 0, kWidth, 0);
    accent.setColorAt(0.0, QColor(60, 170, 255));
    accent.setColorAt(0.5, QColor(40, 220, 160));
    accent.setColorAt(1.0, QColor(40, 220, 160, 0));
    p.fillRect(QRectF(0, 0, kWidth, 3), accent);

    QLinearGradient rule(40, 0, 932, 0);
    rule.setColorAt(0.0, QColor(120, 200, 255, 0));
    rule.setColorAt(0.2, QColor(120, 200, 255, 70));
    rule.setColorAt(0.8, QColor(120, 230, 200, 70));
    rule.setColorAt(1.0, QColor(120, 230, 200, 0));
    p.fillRect(QRectF(40, 156, 892, 1), rule);
}

void paintEmblem(QPainter &p, const QRectF &box)
{
    p.save();
    p.translate(box.center());
    p.rotate(-14);
    const QRectF t(-box.width() / 2, -box.height() * 0.32, box.width(), box.height() * 0.64);
    const QPainterPath ticket = ticketPath(t, box.height() * 0.1);
    softShadow(p, t, 6, 4, 80, {2, 3});
    QLinearGradient g(t.topLeft(), t.bottomRight());
    g.setColorAt(0, QColor(255, 214, 102));
    g.setColorAt(1, QColor(230, 140, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ticket);
    p.setPen(QPen(QColor(120, 60, 0, 160), 1.6, Qt::DashLine));
    const qreal stub = t.left() + t.width() * 0.3;
    p.drawLine(QPointF(stub, t.top() + 4), QPointF(stub, t.bottom() - 4));
    QPainterPath k;
    k.addText(0, 0, sansFont(box.height() * 0.46), QStringLiteral("K"));
    const QRectF kb = k.boundingRect();
    const QPointF face(t.left() + t.width() * 0.65, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 50, 0));
    p.drawPath(k.translated(face - kb.center()));
    p.restore();
}

void paintTitle(QPainter &p)
{
    paintEmblem(p, QRectF(40, 24, 62, 62));

    const QFont title = sansFont(52);
    const qreal baseline = 72;
    QPainterPath name;
    name.addText(116, baseline, title, QStringLiteral("KORVANTE"));
    const qreal nameRight = name.boundingRect().right();
    QPainterPath version;
    version.addText(nameRight + 16, baseline, title, QStringLiteral("2.0"));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(name.translated(2, 3));
    p.drawPath(version.translated(2, 3));

    QLinearGradient white(0, baseline - 40, 0, baseline);
    white.setColorAt(0, QColor(255, 255, 255));
    white.setColorAt(1, QColor(176, 222, 255));
    p.setBrush(white);
    p.drawPath(name);

    QLinearGradient gold(0, baseline - 40, 0, baseline);
    gold.setColorAt(0, QColor(255, 226, 128));
    gold.setColorAt(1, QColor(240, 160, 40));
    p.setBrush(gold);
    p.drawPath(version);

    QFont sub = sansFont(17, false);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(sub);
    p.setPen(QColor(150, 210, 228));
    p.drawText(QPointF(118, 98), QStringLiteral("Sistema de Rifas Profissionais"));
}

void paintCloseButton(QPainter &p)
{
    const QPointF c = QRectF(kCloseArea).center();
    const qreal r = 15;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(c + QPointF(0, 1.5), r + 1, r + 1);
    QRadialGradient g(c + QPointF(-4, -5), r * 1.6);
    g.setColorAt(0, QColor(255, 110, 100));
    g.setColorAt(0.6, QColor(220, 40, 40));
    g.setColorAt(1, QColor(150, 15, 20));
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
    p.drawEllipse(c, r, r);
    p.setPen(roundPen(Qt::white, 3.2));
    const qreal d = 5.8;
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
}

void paintBackupGlyph(QPainter &p, QPointF c)
{
    p.setPen(roundPen(QColor(150, 230, 210), 1.8));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(c.x() - 6, c.y() - 6, 12, 12);
    p.drawArc(ring, 20 * 16, 150 * 16);
    p.drawArc(ring, 200 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 230, 210));
    // Arrow heads at the start of each arc so the pair reads as "cycle".
    QPolygonF a1({c + QPointF(6.6, -1.2), c + QPointF(3.2, -3.6), c + QPointF(8.8, -5.2)});
    QPolygonF a2({c + QPointF(-6.6, 1.2), c + QPointF(-3.2, 3.6), c + QPointF(-8.8, 5.2)});
    p.drawPolygon(a1);
    p.drawPolygon(a2);
}

void paintHelpGlyph(QPainter &p, QPointF c)
{
    p.setPen(QPen(QColor(150, 200, 255), 1.6));
    p.setBrush(QColor(150, 200, 255, 40));
    p.drawEllipse(c, 7, 7);
    p.setFont(sansFont(10));
    p.drawText(QRectF(c.x() - 7, c.y() - 7, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void paintTopStrip(QPainter &p)
{
    const QRectF band(kTopStrip);
    p.setPen(QPen(QColor(160, 220, 255, 55), 1));
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 26));
    g.setColorAt(1, QColor(0, 0, 0, 60));
    p.setBrush(g);
    p.drawRoundedRect(band.adjusted(0.5, 0.5, -0.5, -0.5), 13, 13);

    const qreal cy = band.center().y();
    paintBackupGlyph(p, {kBackupLabel.x() - 13.0, cy});
    paintHelpGlyph(p, {kHelpLabel.x() - 12.0, cy});

    const qreal backupRight =
        kBackupLabel.x() + QFontMetricsF(sansFont(13)).horizontalAdvance(QStringLiteral("Backup/Restoure"));
    const qreal sepX = qRound((backupRight + kHelpLabel.x() - 21) / 2) + 0.5;
    p.setPen(QPen(QColor(160, 220, 255, 60), 1));
    p.drawLine(QPointF(sepX, band.top() + 6), QPointF(sepX, band.bottom() - 6));
}

// ---- pictograms, drawn in a 100 x 100 design square ------------------------

void drawRegister(QPainter &p, const Entry &e)
{
    const QColor ink = e.dark.darker(130);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(QRectF(22, 17, 60, 76), 7, 7);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(19, 13, 60, 76), 7, 7);

    p.setBrush(ink);
    p.drawRoundedRect(QRectF(33, 8, 32, 13), 4, 4);
    p.drawRoundedRect(QRectF(42, 3, 14, 10), 4, 4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(49, 8), 2.4, 2.4);

    for (int i = 0; i < 4; ++i) {
        const qreal y = 32 + i * 13.5;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 2.6));
        p.drawRoundedRect(QRectF(27, y, 9, 9), 2, 2);
        p.setPen(roundPen(withAlpha(e.dark, 150), 4));
        p.drawLine(QPointF(42, y + 4.5), QPointF(i % 2 ? 62 : 70, y + 4.5));
        if (i < 2) {
            p.setPen(roundPen(e.light.darker(110), 2.8));
            p.drawPolyline(QPolygonF({QPointF(28.5, y + 4.5), QPointF(31.5, y + 7.5), QPointF(37.5, y - 0.5)}));
        }
    }

    p.setPen(QPen(Qt::white, 3.5));
    p.setBrush(QColor(255, 190, 50));
    p.drawEllipse(QPointF(76, 80), 13, 13);
    p.setPen(roundPen(Qt::white, 4));
    p.drawLine(QPointF(76, 73), QPointF(76, 87));
    p.drawLine(QPointF(69, 80), QPointF(83, 80));
}

void drawDesigner(QPainter &p, const Entry &e)
{
    p.save();
    p.translate(45, 42);
    p.rotate(-14);
    const QRectF t(-36, -22, 72, 44);
    const QPainterPath ticket = ticketPath(t, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(ticket.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(ticket);
    p.setPen(QPen(withAlpha(e.dark, 170), 2, Qt::DashLine));
    p.drawLine(QPointF(-14, -18), QPointF(-14, 18));
    // A five-pointed star as the "design" on the ticket face.
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal ang = -M_PI / 2 + i * M_PI / 5;
        const qreal r = i % 2 ? 5.2 : 12;
        star << QPointF(12 + r * std::cos(ang), 1 + r * std::sin(ang));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 50));
    p.drawPolygon(star);
    p.setBrush(withAlpha(e.dark, 190));
    p.drawRoundedRect(QRectF(-30, -8, 10, 4), 2, 2);
    p.drawRoundedRect(QRectF(-30, 0, 10, 4), 2, 2);
    p.restore();

    p.save();
    p.translate(67, 63);
    p.rotate(40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(QRectF(-4, -31, 13, 44), 3, 3);
    p.setBrush(QColor(255, 132, 160));
    p.drawRoundedRect(QRectF(-6.5, -34, 13, 10), 3, 3);
    p.setBrush(QColor(215, 222, 235));
    p.drawRect(QRectF(-6.5, -26, 13, 5));
    QLinearGradient body(-6.5, 0, 6.5, 0);
    body.setColorAt(0, QColor(255, 214, 80));
    body.setColorAt(1, QColor(235, 160, 20));
    p.setBrush(body);
    p.drawRect(QRectF(-6.5, -21, 13, 32));
    p.setBrush(QColor(246, 222, 184));
    p.drawPolygon(QPolygonF({QPointF(-6.5, 11), QPointF(6.5, 11), QPointF(0, 26)}));
    p.setBrush(QColor(40, 40, 60));
    p.drawPolygon(QPolygonF({QPointF(-2.4, 20.5), QPointF(2.4, 20.5), QPointF(0, 26)}));
    p.restore();
}

void drawValidation(QPainter &p, const Entry &e)
{
    p.save();
    p.translate(45, 40);
    p.rotate(-9);
    const QRectF t(-36, -22, 72, 44);
    const QPainterPath ticket = ticketPath(t, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(ticket.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(ticket);
    p.setPen(QPen(withAlpha(e.dark, 170), 2, Qt::DashLine));
    p.drawLine(QPointF(-14, -18), QPointF(-14, 18));
    p.setPen(roundPen(withAlpha(e.dark, 170), 4));
    p.drawLine(QPointF(-6, -9), QPointF(24, -9));
    p.drawLine(QPointF(-6, 0), QPointF(16, 0));
    p.drawLine(QPointF(-6, 9), QPointF(10, 9));
    p.restore();

    const QPointF c(68, 70);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(c + QPointF(1.5, 2.5), 21, 21);
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(QColor(20, 150, 75));
    p.drawEllipse(c, 20, 20);
    p.setPen(roundPen(Qt::white, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({c + QPointF(-9, 0), c + QPointF(-2.5, 7), c + QPointF(10, -7)}));
}

QPainterPath personPath(QPointF head, qreal headR, qreal left, qreal right, qreal shoulderY, qreal bottom)
{
    QPainterPath path;
    path.addEllipse(head, headR, headR);
    const qreal mid = (left + right) / 2;
    QPainterPath body;
    body.moveTo(left, bottom);
    body.lineTo(left, shoulderY + (right - left) * 0.32);
    body.cubicTo(left, shoulderY + 4, mid - (right - left) * 0.3, shoulderY, mid, shoulderY);
    body.cubicTo(mid + (right - left) * 0.3, shoulderY, right, shoulderY + 4, right,
                 shoulderY + (right - left) * 0.32);
    body.lineTo(right, bottom);
    body.quadTo(right, bottom + 4, right - 4, bottom + 4);
    body.lineTo(left + 4, bottom + 4);
    body.quadTo(left, bottom + 4, left, bottom);
    body.closeSubpath();
    return path.united(body);
}

void drawSellers(QPainter &p, const Entry &e)
{
    const QPainterPath back = personPath({66, 31}, 12, 44, 90, 48, 82);
    const QPainterPath front = personPath({40, 38}, 14, 12, 68, 57, 86);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 235, 215));
    p.drawPath(back);
    p.setPen(QPen(e.light.darker(105), 5));
    p.setBrush(Qt::white);
    p.drawPath(front);
    // A tie marks the front figure as the seller.
    p.setPen(Qt::NoPen);
    p.setBrush(e.dark);
    p.drawPolygon(QPolygonF({QPointF(36.5, 58), QPointF(43.5, 58), QPointF(42, 63), QPointF(45, 78),
                             QPointF(40, 84), QPointF(35, 78), QPointF(38, 63)}));
}

void drawWebPage(QPainter &p, const Entry &e)
{
    const QRectF win(11, 17, 78, 64);
    QPainterPath frame;
    frame.addRoundedRect(win, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawPath(frame.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(frame);
    QPainterPath bar;
    bar.addRect(QRectF(win.left(), win.top(), win.width(), 15));
    p.setBrush(e.dark.darker(120));
    p.drawPath(frame.intersected(bar));
    const QColor dots[] = {QColor(255, 95, 86), QColor(255, 189, 46), QColor(39, 201, 63)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(QPointF(20 + i * 8, 24.5), 2.7, 2.7);
    }
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRoundedRect(QRectF(46, 21.5, 36, 6), 3, 3);

    p.setPen(roundPen(e.dark, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(37, 44), QPointF(25, 56), QPointF(37, 68)}));
    p.drawPolyline(QPolygonF({QPointF(63, 44), QPointF(75, 56), QPointF(63, 68)}));
    p.setPen(roundPen(QColor(255, 170, 40), 6));
    p.drawLine(QPointF(55, 42), QPointF(45, 70));
}

void drawOwnDraw(QPainter &p, const Entry &e)
{
    const QPointF c(50, 45);
    const qreal r = 33;
    p.setPen(Qt::NoPen);
    p.setBrush(e.dark.darker(140));
    p.drawPolygon(QPolygonF({QPointF(44, 70), QPointF(56, 70), QPointF(68, 94), QPointF(32, 94)}));
    p.drawRoundedRect(QRectF(26, 90, 48, 6), 3, 3);

    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(c + QPointF(1.5, 2.5), r + 2, r + 2);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r + 3, r + 3);
    const QColor slices[] = {QColor(255, 204, 51), QColor(255, 255, 255), QColor(255, 120, 100),
                             QColor(255, 255, 255)};
    const QRectF wheel(c.x() - r, c.y() - r, 2 * r, 2 * r);
    for (int i = 0; i < 8; ++i) {
        p.setBrush(slices[i % 4]);
        p.setPen(QPen(withAlpha(e.dark, 120), 1));
        p.drawPie(wheel, (22 + i * 45) * 16, 45 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(e.dark);
    for (int i = 0; i < 8; ++i) {
        const qreal ang = (22 + i * 45) * M_PI / 180;
        p.drawEllipse(c + QPointF(std::cos(ang) * (r + 0.5), -std::sin(ang) * (r + 0.5)), 1.8, 1.8);
    }
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(e.dark);
    p.drawEllipse(c, 7, 7);

    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(40, 40, 60));
    p.drawPolygon(QPolygonF({QPointF(42, 3), QPointF(58, 3), QPointF(50, 18)}));
}

void drawQuery(QPainter &p, const Entry &e)
{
    p.save();
    p.translate(40, 38);
    p.rotate(-10);
    const QRectF t(-32, -20, 64, 40);
    const QPainterPath ticket = ticketPath(t, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(ticket.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(ticket);
    p.setPen(QPen(withAlpha(e.dark, 170), 2, Qt::DashLine));
    p.drawLine(QPointF(-12, -16), QPointF(-12, 16));
    p.setPen(roundPen(withAlpha(e.dark, 180), 4));
    p.drawLine(QPointF(-4, -8), QPointF(22, -8));
    p.drawLine(QPointF(-4, 1), QPointF(14, 1));
    p.restore();

    const QPointF c(59, 57);
    const QColor navy(24, 38, 70);
    p.setPen(roundPen(QColor(0, 0, 0, 60), 12));
    p.drawLine(QPointF(76, 76), QPointF(89, 90));
    p.setPen(roundPen(navy, 11));
    p.drawLine(QPointF(74, 73), QPointF(87, 87));
    p.setPen(QPen(navy, 7));
    p.setBrush(QColor(214, 238, 255, 225));
    p.drawEllipse(c, 19, 19);
    p.setPen(roundPen(QColor(255, 255, 255, 220), 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 12, c.y() - 12, 24, 24), 100 * 16, 70 * 16);
}

void drawPictogram(QPainter &p, const Entry &e)
{
    const QRectF box(e.icon);
    const qreal side = qMin(box.width(), box.height());
    p.save();
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 100.0, side / 100.0);
    switch (e.pictogram) {
    case Pictogram::Register: drawRegister(p, e); break;
    case Pictogram::Designer: drawDesigner(p, e); break;
    case Pictogram::Validation: drawValidation(p, e); break;
    case Pictogram::Sellers: drawSellers(p, e); break;
    case Pictogram::WebPage: drawWebPage(p, e); break;
    case Pictogram::OwnDraw: drawOwnDraw(p, e); break;
    case Pictogram::Query: drawQuery(p, e); break;
    }
    p.restore();
}

// ---- menu cards --------------------------------------------------------------

QRectF cardRect(const Entry &e)
{
    const bool topRow = e.captionPos.y() < 400;
    const qreal top = topRow ? 182 : 395;
    const qreal bottom = topRow ? 320 : 536;
    const qreal width = e.pictogram == Pictogram::WebPage ? 180 : 152;
    const qreal cx = QRectF(e.icon).center().x();
    return QRectF(cx - width / 2, top, width, bottom - top);
}

void paintCard(QPainter &p, const Entry &e)
{
    const QRectF card = cardRect(e);
    softShadow(p, card, 16, 6, 90, {0, 4});
    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    fill.setColorAt(0, QColor(20, 44, 72, 190));
    fill.setColorAt(1, QColor(6, 16, 30, 200));
    p.setPen(QPen(QColor(140, 210, 240, 50), 1));
    p.setBrush(fill);
    p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 16, 16);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawLine(QPointF(card.left() + 16, card.top() + 1.5), QPointF(card.right() - 16, card.top() + 1.5));

    // Dark band under the caption the window draws in white.
    const QRectF band(card.left() + 7, e.captionPos.y() - 4, card.width() - 14, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawRoundedRect(band, 8, 8);
    p.setBrush(withAlpha(e.light, 200));
    p.drawRoundedRect(QRectF(band.center().x() - 14, band.bottom() + 3, 28, 3), 1.5, 1.5);

    const QRectF tile = QRectF(e.icon).adjusted(-3, -3, 3, 3);
    softShadow(p, tile, 16, 5, 110, {0, 4});
    QLinearGradient tg(tile.topLeft(), tile.bottomRight());
    tg.setColorAt(0, e.light);
    tg.setColorAt(1, e.dark);
    p.setBrush(tg);
    p.setPen(QPen(withAlpha(e.light.lighter(140), 150), 1));
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 16, 16);
    QLinearGradient gloss(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(tile.adjusted(2, 2, -2, -tile.height() / 2), 14, 14);

    drawPictogram(p, e);
}

// ---- raffle bar --------------------------------------------------------------

void paintRaffleBar(QPainter &p)
{
    const QRectF bar(100, 596, 608, 50);
    softShadow(p, bar, 14, 5, 80, {0, 3});
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    fill.setColorAt(0, QColor(16, 36, 60, 210));
    fill.setColorAt(1, QColor(4, 12, 24, 220));
    p.setPen(QPen(QColor(140, 210, 240, 55), 1));
    p.setBrush(fill);
    p.drawRoundedRect(bar.adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);

    p.setFont(sansFont(12));
    p.setPen(QColor(150, 215, 230));
    p.drawText(QRectF(100, kChooseButton.top(), 104, kChooseButton.height()), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("RIFA EM USO:"));

    const QRectF btn(kChooseButton);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(btn.translated(0, 2), 7, 7);
    QLinearGradient bg(btn.topLeft(), btn.bottomLeft());
    bg.setColorAt(0, QColor(255, 214, 102));
    bg.setColorAt(1, QColor(224, 150, 28));
    p.setPen(QPen(QColor(150, 90, 10), 1));
    p.setBrush(bg);
    p.drawRoundedRect(btn.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(btn.left() + 3, btn.top() + 2, btn.width() - 6, btn.height() / 2 - 2), 5, 5);
    QFont bf = sansFont(11);
    bf.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(bf);
    p.setPen(QColor(60, 32, 0));
    p.drawText(btn, Qt::AlignCenter, QStringLiteral("ESCOLHER RIFA"));

    const QRectF frame = QRectF(kNamePanel).adjusted(-1.5, -3.5, 2.5, 3.5);
    p.setPen(QPen(QColor(150, 210, 240, 70), 1));
    p.setBrush(QColor(12, 22, 36));
    p.drawRoundedRect(frame, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(2, 5, 9));
    p.drawRect(kNamePanel);
}

// ---- composition ---------------------------------------------------------------

QImage paintMenu()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    paintBackground(p);
    paintTitle(p);
    paintCloseButton(p);
    paintTopStrip(p);
    for (const Entry &e : entries())
        paintCard(p, e);
    paintRaffleBar(p);
    return img;
}

// Mimics the labels the window lays over the art, to judge legibility.
void paintWindowLabels(QPainter &p)
{
    p.setFont(sansFont(15));
    p.setPen(Qt::white);
    const QFontMetricsF fm(sansFont(15));
    for (const Entry &e : entries())
        p.drawText(QPointF(e.captionPos.x(), e.captionPos.y() + fm.ascent()), e.caption);
    const QFontMetricsF small(sansFont(13));
    p.setFont(sansFont(13));
    p.drawText(QPointF(kBackupLabel.x(), kBackupLabel.y() + small.ascent()), QStringLiteral("Backup/Restoure"));
    p.drawText(QPointF(kHelpLabel.x(), kHelpLabel.y() + small.ascent()), QStringLiteral("Ajuda ?"));
    p.setFont(sansFont(12));
    p.setPen(QColor(255, 40, 40));
    p.drawText(QRectF(kNamePanel).adjusted(4, 0, 0, 0), Qt::AlignVCenter, QStringLiteral("Rifa de Natal 2024"));
}

void paintHotAreas(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::magenta, 1));
    auto outline = [&](const QRect &r) { p.drawRect(r.adjusted(0, 0, -1, -1)); };
    outline(kCloseArea);
    outline(kChooseButton);
    outline(kNamePanel);
    for (const Entry &e : entries())
        outline(e.icon);
    p.setPen(QPen(Qt::cyan, 1, Qt::DotLine));
    for (const Entry &e : entries())
        outline(QRect(e.captionPos, QSize(120, 20)));
    outline(QRect(kBackupLabel, QSize(110, 16)));
    outline(QRect(kHelpLabel, QSize(60, 16)));
}

bool save(const QImage &img, const QString &path, int quality = -1)
{
    if (img.save(path, nullptr, quality))
        return true;
    std::fprintf(stderr, "menuart: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool check = args.contains(QStringLiteral("--check"));
    QStringList folders = args;
    folders.removeAll(QStringLiteral("--check"));
    if (folders.size() != 1) {
        std::fprintf(stderr, "usage: menuart <output-folder> [--check]\n");
        return 2;
    }
    QDir out(folders.first());
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "menuart: cannot create %s\n", qPrintable(folders.first()));
        return 1;
    }

    // Both programs share the picture: the print module names its use in its own caption.
    const QImage menu = paintMenu();
    const QImage print = menu;
    bool ok = save(menu, out.filePath(QStringLiteral("fundo.jpg")), kJpegQuality);
    ok = save(print, out.filePath(QStringLiteral("fundo_print.jpg")), kJpegQuality) && ok;

    if (check) {
        ok = save(menu, out.filePath(QStringLiteral("fundo_preview.png"))) && ok;
        ok = save(print, out.filePath(QStringLiteral("fundo_print_preview.png"))) && ok;
        QImage labelled = menu.copy(0, 0, 970, 670);
        {
            QPainter p(&labelled);
            p.setRenderHint(QPainter::TextAntialiasing);
            paintWindowLabels(p);
        }
        ok = save(labelled, out.filePath(QStringLiteral("fundo_window.png"))) && ok;
        {
            QPainter p(&labelled);
            paintHotAreas(p);
        }
        ok = save(labelled, out.filePath(QStringLiteral("fundo_check.png"))) && ok;
    }
    return ok ? 0 : 1;
}
