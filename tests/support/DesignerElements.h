#pragma once

#include "support/Ink.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QTest>

// The designer's elements as the print run places them, and the check that a printed page or a ticket
// picture draws each one where the designer shows it.
namespace DesignerElements {

// A designer element: its control, its position columns, how the print run moves it into the band,
// and how its ink is found on a page (colour, and where the ink starts from the drawing place).
struct Element {
    const char *control;
    const char *columns; // prefix of _L/_T
    QPoint bandOffset;
    Ink::Colour colour;
    QPoint inkFrom; // the first ink from the drawing place: a text starts a few pixels in
    QPoint inkTo;
};

const QPoint kTextFrom(-2, 0), kTextTo(5, 8);

inline Element controlNumber() {
    return {"BilheteNum1", "POS_NUMBILHETE", {-20, -19}, Ink::red, kTextFrom, kTextTo};
}
inline Element number(int k) {
    static const char *const names[] = {"NumB1", "NumB2", "NumB3", "NumB4"};
    static const char *const columns[] = {"POS_N1", "POS_N2", "POS_N3", "POS_N4"};
    return {names[k - 1], columns[k - 1], {-18, -15}, Ink::blue, kTextFrom, kTextTo};
}
// Barcode 1's bars start one pixel into its box; the bars fill the box's height.
inline Element barcode1() {
    return {"IMG_CODBARRA1", "POS_CBARRA1", {-18, -20}, Ink::dark, {0, -1}, {2, 1}};
}
inline Element barcode2() {
    return {"IMG_CODBARRA2", "POS_CBARRA2", {-18, -20}, Ink::dark, {-1, -1}, {1, 1}};
}
inline Element authCode() {
    return {"Num_Autentic", "POS_COD_AUTENTIC", {-18, -19}, Ink::dark, kTextFrom, kTextTo};
}
inline Element ticketText() {
    return {"DBR_TextoBasico", "POS_TEXTO_BAS", {-21, -19}, Ink::dark, {-1, 0}, {8, 10}};
}
inline Element stubText() {
    return {"DBR_TextoBasico_C", "POS_TEXTO_BAS_C", {-21, -19}, Ink::dark, {-1, 0}, {8, 10}};
}
inline Element freeImage(int i, Ink::Colour c) {
    return {i == 1 ? "Img_LIVRE1" : "IMG_LIVRE2",
            i == 1 ? "IMG_LIVRE1" : "IMG_LIVRE2",
            {-17, -19},
            c,
            {-1, -1},
            {1, 1}};
}

// Page pixels of the first ticket's band: the 7 mm margins.
const QPoint kBand(26, 26);

// Where each element was drawn on the page must be where the designer shows it, moved by the band
// offsets of the print run.
inline void comparePrinted(const QImage &page, const QList<Element> &elements,
                           const QHash<QString, QPoint> &shown, const QString &what) {
    QVERIFY2(!page.isNull(), qPrintable(what));
    for (const Element &e : elements) {
        const QPoint drawn = shown.value(QLatin1String(e.control)) + e.bandOffset + kBand;
        const QRect window(drawn - QPoint(6, 6), QSize(40, 20));
        const QPoint ink = Ink::topLeft(page, window, e.colour);
        const QPoint d = ink - drawn;
        QVERIFY2(ink.x() >= 0 && d.x() >= e.inkFrom.x() && d.x() <= e.inkTo.x() && d.y() >= e.inkFrom.y() &&
                     d.y() <= e.inkTo.y(),
                 qPrintable(QStringLiteral("%1: %2 expected from (%3,%4), ink at (%5,%6)")
                                .arg(what, QLatin1String(e.control))
                                .arg(drawn.x())
                                .arg(drawn.y())
                                .arg(ink.x())
                                .arg(ink.y())));
    }
}

} // namespace DesignerElements
