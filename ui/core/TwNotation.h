#pragma once
// The notations of the UI documents: decimal integers (read as the
// platform's StrToIntA reads them), hexadecimal numbers, RRGGBB colours and
// font codes. Plain functions with no platform header.

#include <cstdint>

// A colour as the platform keeps it: red in the low byte, then green, then
// blue (the layout of a Win32 COLORREF).
using TwColorRef = std::uint32_t;
inline constexpr TwColorRef kNoColor = 0xFFFFFFFFu;
inline constexpr TwColorRef TwRgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xffu) | ((green & 0xffu) << 8) | ((blue & 0xffu) << 16);
}

// An optional "-" and leading decimal digits; 0 when there are none (white
// space or "+" first gives 0). Values past the int range wrap as the
// platform's do.
int ReadDecimal(const char* text);

// Hex digits to the end of the text; any other character makes it 0.
unsigned ReadHex(const char* text);

// Six hex digits RRGGBB, each pair read on its own (a pair with a character
// that is not a hex digit reads as 0; a short last pair reads what it has).
TwColorRef ReadColor(const char* text);

// A font code SSFF: FF style bits, SS a signed size step against the base.
struct FontCode {
    bool italic;
    bool underline;
    bool bold;
    int sizeStep;
};
inline constexpr unsigned kFontItalic = 0x01;
inline constexpr unsigned kFontUnderline = 0x02;
inline constexpr unsigned kFontBold = 0x04;

FontCode DecodeFontCode(unsigned code);
// The LOGFONT height for a code: base height minus the size step.
int FontHeightFor(unsigned code, int baseHeight);
