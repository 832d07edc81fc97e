#pragma once
// What a style class ("class" in the style document) and a colour set
// ("color" in the colour document) say, as plain records with no platform
// header. The window code's TwStyle adds the fonts and the cursor they name
// (ui/engine/TwStyle.h).

#include <optional>
#include <string>

#include "ui/core/TwNotation.h"

inline constexpr unsigned kDefaultTextMode = 0x28; // DT_BOTTOM | DT_SINGLELINE
inline constexpr TwColorRef kDefaultDisabledColor = 0xCCCCCC;

// The six colours a colour set gives a style.
struct TwColorValues {
    TwColorRef crbg = kNoColor;
    TwColorRef crbghover = kNoColor;
    TwColorRef crtext = kNoColor;
    TwColorRef crhover = kNoColor;
    TwColorRef crdisabled = kDefaultDisabledColor;
    TwColorRef crshadow = kNoColor;
};

// Takes one of the six colour attributes into `colors`; false for other names.
bool ApplyColorAttribute(TwColorValues& colors, const char* name, const char* value);

struct TwStyleRecord {
    std::string name;
    std::string skin;
    unsigned textMode = kDefaultTextMode;
    // Styles shadow in RGB(1, 1, 1) unless they say otherwise.
    TwColorValues colors = {kNoColor,      kNoColor, kNoColor, kNoColor, kDefaultDisabledColor,
                            TwRgb(1, 1, 1)};
    std::optional<unsigned> fontCode;
    std::optional<unsigned> hoverFontCode;
    int xMargin = 0;
    int yMargin = 0;
    int spacing = 0;
    int lineSpacing = 20;
    bool shadow = false;
    bool gdiplus = false;
    bool handCursor = false;
};

// Takes one attribute of a style class in document order; false for a name
// the class does not know or a cursor other than "hand" and "arrow" (the
// record is then unchanged).
bool ApplyStyleAttribute(TwStyleRecord& style, const char* name, const char* value);
