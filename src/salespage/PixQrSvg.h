#pragma once

#include <QString>

// A QR code (error correction level M) drawn as an inline SVG: black modules on white with the
// four-module quiet zone a reader needs; empty when the text cannot be encoded.
namespace PixQrSvg {
QString svg(const QString &text, int modulePixels);
}
