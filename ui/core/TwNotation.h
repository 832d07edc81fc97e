#pragma once
// The notations of the UI documents: decimal integers (the platform's
// StrToIntA), hexadecimal numbers, RRGGBB colours and font codes.

#include <windows.h>

inline constexpr COLORREF kNoColor = static_cast<COLORREF>(-1);

// An optional sign and leading decimal digits; 0 when there are none.
int ReadDecimal(const char* text);

// Hex digits to the end of the text; any other character makes it 0.
unsigned ReadHex(const char* text);

// Six hex digits RRGGBB, each pair read on its own (a pair with a character
// that is not a hex digit reads as 0; a short last pair reads what it has).
COLORREF ReadColor(const char* text);

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
