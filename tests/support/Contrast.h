#pragma once

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>

// Contrast as readability guidelines measure it: 1 (none) to 21 (black on white).
namespace Contrast {

inline double luminance(QColor c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// The pixel of the image's left part farthest from the background, against the background: the
// text drawn there against what it is drawn on.
inline double ofText(const QImage &shot, QColor background) {
    const double b = luminance(background);
    double farthest = b;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width() / 2; ++x) {
            const double l = luminance(shot.pixelColor(x, y));
            if (std::abs(l - b) > std::abs(farthest - b)) farthest = l;
        }
    return (std::max(b, farthest) + 0.05) / (std::min(b, farthest) + 0.05);
}

} // namespace Contrast
