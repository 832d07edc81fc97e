#include "ui/engine/TwHighContrast.h"

#include <algorithm>
#include <atomic>

#include "common/GdiObjects.h"
#include "ui/engine/TwNotifyRecords.h"
#include "ui/skin/CTwBitmap.h"

namespace {

// -1 until read; then 0 or 1. Every UI thread (the tips have their own)
// reads it, and any may read it again.
std::atomic<int> g_windows{-1};
std::atomic<int> g_override{-1};

int ReadWindowsSetting() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0))
        return 0;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) ? 1 : 0;
}

constexpr BYTE kMarkCoverage = 8;        // less coverage than this is no mark
constexpr unsigned kMarkLuminance = 217; // of 255: lighter than this is paper

unsigned Luminance(unsigned red, unsigned green, unsigned blue) {
    return (299 * red + 587 * green + 114 * blue) / 1000;
}

// The colour of a premultiplied pixel as it was before blending.
unsigned UnblendedLuminance(std::uint32_t pixel, BYTE alpha) {
    const unsigned blue = pixel & 0xFF;
    const unsigned green = (pixel >> 8) & 0xFF;
    const unsigned red = (pixel >> 16) & 0xFF;
    return Luminance(red, green, blue) * 255 / alpha;
}

std::uint32_t PremultipliedInk(COLORREF ink, BYTE alpha) {
    const auto scaled = [alpha](unsigned channel) { return channel * alpha / 255; };
    return (static_cast<std::uint32_t>(alpha) << 24) | (scaled(GetRValue(ink)) << 16) |
           (scaled(GetGValue(ink)) << 8) | scaled(GetBValue(ink));
}

} // namespace

bool HighContrastOn() {
    const int forced = g_override.load();
    if (forced >= 0)
        return forced != 0;
    int known = g_windows.load();
    if (known < 0) {
        known = ReadWindowsSetting();
        g_windows.store(known);
    }
    return known != 0;
}

bool RefreshHighContrast() {
    const bool before = HighContrastOn();
    g_windows.store(ReadWindowsSetting());
    return HighContrastOn() != before;
}

void OverrideHighContrast(std::optional<bool> on) {
    g_override.store(on ? (*on ? 1 : 0) : -1);
}

int SystemColorIndex(TwContrastInk ink) {
    switch (ink) {
    case TwContrastInk::Surface:
        return COLOR_WINDOW;
    case TwContrastInk::Text:
        return COLOR_WINDOWTEXT;
    case TwContrastInk::Unavailable:
        return COLOR_GRAYTEXT;
    case TwContrastInk::Highlight:
        return COLOR_HIGHLIGHT;
    case TwContrastInk::HighlightText:
        return COLOR_HIGHLIGHTTEXT;
    case TwContrastInk::Link:
        return COLOR_HOTLIGHT;
    case TwContrastInk::ButtonFace:
        return COLOR_BTNFACE;
    case TwContrastInk::ButtonText:
        return COLOR_BTNTEXT;
    case TwContrastInk::Frame:
        return COLOR_WINDOWFRAME;
    }
    return COLOR_WINDOWTEXT;
}

COLORREF ContrastColor(TwContrastInk ink) {
    return GetSysColor(SystemColorIndex(ink));
}

TwContrastInk TextInk(bool unavailable, bool onHighlight, bool link) {
    if (unavailable)
        return TwContrastInk::Unavailable;
    if (onHighlight)
        return TwContrastInk::HighlightText;
    return link ? TwContrastInk::Link : TwContrastInk::Text;
}

void InkPixels(std::uint32_t* pixels, std::size_t count, COLORREF ink) {
    bool anyAlpha = false;
    for (std::size_t i = 0; i < count && !anyAlpha; ++i)
        anyAlpha = (pixels[i] >> 24) != 0;
    if (!anyAlpha) {
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] |= 0xFF000000u;
    }
    bool anyDark = false;
    for (std::size_t i = 0; i < count && !anyDark; ++i) {
        const BYTE alpha = static_cast<BYTE>(pixels[i] >> 24);
        anyDark = alpha >= kMarkCoverage && UnblendedLuminance(pixels[i], alpha) < kMarkLuminance;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE alpha = static_cast<BYTE>(pixels[i] >> 24);
        const bool mark = alpha >= kMarkCoverage &&
                          (!anyDark || UnblendedLuminance(pixels[i], alpha) < kMarkLuminance);
        pixels[i] = mark ? PremultipliedInk(ink, alpha) : 0;
    }
}

void DrawAsInk(HDC dc, const RECT& rect, COLORREF ink,
               const std::function<void(HDC, const RECT&)>& draw) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    CTwBitmap canvas;
    if (width <= 0 || height <= 0 || !canvas.Create(width, height))
        return;
    std::fill(canvas.Bits(), canvas.Bits() + static_cast<std::size_t>(width) * height, 0u);
    {
        MemoryDC memory(dc);
        ScopedSelect bitmap(memory.Get(), canvas.Handle());
        SetViewportOrgEx(memory.Get(), -rect.left, -rect.top, nullptr);
        draw(memory.Get(), rect);
    }
    GdiFlush();
    InkPixels(canvas.Bits(), static_cast<std::size_t>(width) * height, ink);
    BlendBitmap(dc, rect.left, rect.top, width, height, canvas, 0, 0, width, height, 255);
}

bool ButtonLit(unsigned state) {
    return !(state & kTwDisabled) && (state & (kTwHover | kTwPushed)) != 0;
}

void FrameInContrast(HDC dc, const RECT& rect, TwContrastInk ink, int thickness) {
    UniqueBrush brush(CreateSolidBrush(ContrastColor(ink)));
    RECT ring = rect;
    for (int i = 0; i < thickness; ++i) {
        FrameRect(dc, &ring, brush.Get());
        InflateRect(&ring, -1, -1);
    }
}

void PaintContrastButton(HDC dc, const RECT& rect, unsigned state) {
    const bool lit = ButtonLit(state);
    FillSolid(dc, rect, ContrastColor(lit ? TwContrastInk::Highlight : TwContrastInk::ButtonFace));
    FrameInContrast(dc, rect,
                    (state & kTwDisabled) ? TwContrastInk::Unavailable : TwContrastInk::ButtonText,
                    lit ? 2 : 1);
}
