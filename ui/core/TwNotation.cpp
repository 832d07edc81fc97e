#include "ui/core/TwNotation.h"

#include <shlwapi.h>

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
    return text ? StrToIntA(text) : 0;
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

COLORREF ReadColor(const char* text) {
    if (!text)
        return 0;
    const int length = lstrlenA(text);
    return RGB(ReadPair(text, 0, length), ReadPair(text, 2, length), ReadPair(text, 4, length));
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
