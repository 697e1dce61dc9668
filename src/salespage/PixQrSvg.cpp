#include "salespage/PixQrSvg.h"

#include <qrencode.h>

namespace PixQrSvg {

QString svg(const QString &text, int modulePixels) {
    const QByteArray bytes = text.toUtf8();
    QRcode *code = QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M);
    if (!code) return {};
    const int n = code->width;
    const int quiet = 4;
    const int side = (n + 2 * quiet) * modulePixels;
    QString path;
    path.reserve(n * n * 4);
    for (int y = 0; y < n; ++y) {
        int x = 0;
        while (x < n) {
            if (!(code->data[y * n + x] & 1)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < n && (code->data[y * n + x] & 1))
                ++x;
            // One horizontal run of dark modules per rectangle.
            path += QStringLiteral("M%1 %2h%3v1h-%3z").arg(start + quiet).arg(y + quiet).arg(x - start);
        }
    }
    QRcode_free(code);
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %2 %2\" "
               "shape-rendering=\"crispEdges\"><rect width=\"%2\" height=\"%2\" fill=\"#fff\"/>"
               "<path fill=\"#000\" d=\"%3\"/></svg>")
        .arg(side)
        .arg(n + 2 * quiet)
        .arg(path);
}

} // namespace PixQrSvg
