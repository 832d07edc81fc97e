#include "ui/core/TwNotation.h"

#include <cstring>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One colour pair: up to two digits, 0 when one of them is not a hex digit.
int ReadPair(const char* text, int at, int length) {
    int value = 0;
    for (int i = at; i < at + 2 && i < length; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0)
            return 0;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

int ReadDecimal(const char* text) {
    if (!text)
        return 0;
    // As the platform's: no white space and no "+" before the number.
    const char* p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    // Unsigned arithmetic wraps where the platform's int does.
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<unsigned>(*p - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

unsigned ReadHex(const char* text) {
    if (!text)
        return 0;
    unsigned value = 0;
    for (const char* p = text; *p; ++p) {
        const int digit = HexValue(*p);
        if (digit < 0)
            return 0;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

TwColorRef ReadColor(const char* text) {
    if (!text)
        return 0;
    const int length = static_cast<int>(std::strlen(text));
    return TwRgb(static_cast<unsigned>(ReadPair(text, 0, length)),
                 static_cast<unsigned>(ReadPair(text, 2, length)),
                 static_cast<unsigned>(ReadPair(text, 4, length)));
}

FontCode DecodeFontCode(unsigned code) {
    const unsigned flags = code & 0xff;
    const int step = static_cast<signed char>((code >> 8) & 0xff);
    return FontCode{(flags & kFontItalic) != 0, (flags & kFontUnderline) != 0,
                    (flags & kFontBold) != 0, step};
}

int FontHeightFor(unsigned code, int baseHeight) {
    return baseHeight - DecodeFontCode(code).sizeStep;
}
