#include "output/logic/windows1252.h"

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr char32_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (High[i] != 0 && High[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

qsizetype toWindows1252(QStringView text, char *out, qsizetype maxBytes)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size() && n < maxBytes; ++i) {
        const QChar c = text[i];
        // A pair of surrogates is one character, outside the code page.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out[n++] = toByte(c.unicode());
    }
    return n;
}
