#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>

// Where something was drawn on a printed page or a ticket picture: the top-left corner of the pixels
// of one colour inside a window. Tolerant of JPEG and anti-aliasing, not of a misplaced element.
namespace Ink {

using Colour = std::function<bool(QColor)>;

inline bool red(QColor c) {
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}
inline bool blue(QColor c) {
    return c.blue() > 150 && c.red() < 110 && c.green() < 110;
}
inline bool green(QColor c) {
    return c.green() > 110 && c.red() < 90 && c.blue() < 90;
}
inline bool dark(QColor c) {
    return c.red() < 90 && c.green() < 90 && c.blue() < 90;
}

// (-1, -1) when nothing of the colour is inside the window.
inline QPoint topLeft(const QImage &image, QRect window, const Colour &is) {
    window &= image.rect();
    int left = -1, top = -1;
    for (int y = window.top(); y <= window.bottom(); ++y)
        for (int x = window.left(); x <= window.right(); ++x) {
            if (!is(image.pixelColor(x, y))) continue;
            if (left < 0 || x < left) left = x;
            if (top < 0) top = y;
        }
    return QPoint(left, top);
}

} // namespace Ink
