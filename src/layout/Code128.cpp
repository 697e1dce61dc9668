#include "layout/Code128.h"

#include <QPainter>

namespace {

// Widths of bar, space, bar, ... for symbol values 0..106 (106 is the stop with its final bar).
const char *const kWidths[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

} // namespace

namespace Code128 {

QList<int> symbolsA(const QString &text) {
    QList<int> symbols{StartA};
    int sum = StartA;
    int position = 1;
    for (QChar c : text) {
        const int v = c.unicode() - 32;
        if (v < 0 || v > 63) return {};
        symbols << v;
        sum += v * position++;
    }
    symbols << sum % 103 << Stop;
    return symbols;
}

QString modules(const QList<int> &symbols) {
    QString out;
    for (int s : symbols) {
        if (s < 0 || s > 106) return {};
        bool bar = true;
        for (const char *w = kWidths[s]; *w; ++w, bar = !bar)
            out += QString(*w - '0', bar ? u'1' : u'0');
    }
    return out;
}

QString modulesA(const QString &text) {
    return modules(symbolsA(text));
}

void paint(QPainter &painter, int left, int top, const QString &text, int height) {
    const QString m = modulesA(text);
    // Runs of bars as single rectangles at whole units, so nothing is antialiased between modules.
    for (int i = 0; i < m.size();) {
        if (m[i] != u'1') {
            ++i;
            continue;
        }
        int j = i;
        while (j < m.size() && m[j] == u'1')
            ++j;
        painter.fillRect(QRect(left + i, top, j - i, height), Qt::black);
        i = j;
    }
}

void paintQuietZones(QPainter &painter, int left, int top, const QString &text, int height) {
    const int width = int(modulesA(text).size());
    if (width == 0) return;
    painter.fillRect(QRect(left - QuietZone, top, QuietZone, height), Qt::white);
    painter.fillRect(QRect(left + width, top, QuietZone, height), Qt::white);
}

} // namespace Code128
