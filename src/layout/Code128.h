#pragma once

#include <QList>
#include <QString>

class QPainter;
class QPointF;

// Code 128 in code set A throughout: start A, the data characters, the modulo-103 check and the
// stop pattern. Tickets carry only digits, which set A holds.
namespace Code128 {
constexpr int StartA = 103;
constexpr int Stop = 106;
constexpr int BarHeight = 28; // pixels at 96 per inch
constexpr int QuietZone = 10; // white modules a scanner needs on each side

// Symbol values: start, data, check, stop. Characters outside set A (ASCII 32..95) give nothing.
QList<int> symbolsA(const QString &text);
// The modules, '1' bar and '0' space, one character per module.
QString modules(const QList<int> &symbols);
QString modulesA(const QString &text);
// Bars as fillRects of whole units from the origin, one module one unit wide, no text.
void paint(QPainter &painter, int left, int top, const QString &text, int height = BarHeight);
// The white margins of QuietZone modules on both sides of the bars that paint() would draw there.
void paintQuietZones(QPainter &painter, int left, int top, const QString &text, int height = BarHeight);
} // namespace Code128
