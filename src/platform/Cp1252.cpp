#include "platform/Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,
                                            0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178};

int byteFor(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    if (u <= 0x9F && kHigh[u - 0x80] == 0) return u; // the undefined bytes round-trip as C1 controls
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == u) return 0x80 + i;
    return -1;
}

} // namespace

namespace Cp1252 {

bool canEncode(QChar c) {
    return byteFor(c.unicode()) >= 0;
}

QByteArray encode(const QString &text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character outside the page: one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        const int b = byteFor(c.unicode());
        out.append(b >= 0 ? char(b) : '?');
    }
    return out;
}

QString decode(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0)
            out.append(QChar(kHigh[b - 0x80]));
        else
            out.append(QChar(b)); // undefined bytes map to the C1 controls, as Windows does
    }
    return out;
}

QString representable(const QString &text) {
    return decode(encode(text));
}

} // namespace Cp1252
