#include "ui/engine/TwElementText.h"

#include <cstdlib>

#include "common/GdiObjects.h"
#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/skin/TwGdiplus.h"

namespace {

const TwStyle& StyleOf(const TextSubject& subject) {
    static const TwStyle kDefault;
    return subject.style ? *subject.style : kDefault;
}

int FontHeight(HFONT font) {
    LOGFONTW logFont = {};
    if (!font || !GetObjectW(font, sizeof logFont, &logFont))
        return TwFontPool::Instance().BaseHeight();
    return logFont.lfHeight;
}

using DrawShadowTextFn = int(WINAPI*)(HDC, LPCWSTR, UINT, RECT*, DWORD, COLORREF, COLORREF, int,
                                      int);

// DrawShadowText of comctl32, resolved at run time; false when it is not
// there or draws nothing.
bool DrawWithShadow(HDC dc, const std::wstring& text, RECT rect, unsigned mode, COLORREF textColor,
                    COLORREF shadow) {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (!comctl)
        comctl = LoadLibraryW(L"comctl32.dll");
    const auto draw = comctl ? reinterpret_cast<DrawShadowTextFn>(reinterpret_cast<void*>(
                                   GetProcAddress(comctl, "DrawShadowText")))
                             : nullptr;
    return draw && draw(dc, text.c_str(), static_cast<UINT>(text.size()), &rect, mode, textColor,
                        shadow, 2, 2) != 0;
}

void DrawWithGdiplus(HDC dc, const std::wstring& text, const RECT& rect, unsigned mode,
                     COLORREF color) {
    using namespace Gdiplus;
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) != Ok)
        return;
    GpFont* font = nullptr;
    GpSolidFill* brush = nullptr;
    GpStringFormat* format = nullptr;
    GdipCreateFontFromDC(dc, &font);
    const ARGB argb = (static_cast<ARGB>(254) << 24) | (GetRValue(color) << 16) |
                      (GetGValue(color) << 8) | GetBValue(color);
    GdipCreateSolidFill(argb, &brush);
    GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    if (format) {
        if (mode & DT_CENTER)
            GdipSetStringFormatAlign(format, StringAlignmentCenter);
        if (mode & DT_VCENTER)
            GdipSetStringFormatLineAlign(format, StringAlignmentCenter);
        if (mode & DT_END_ELLIPSIS)
            GdipSetStringFormatTrimming(format, StringTrimmingEllipsisCharacter);
        if (mode & DT_WORD_ELLIPSIS)
            GdipSetStringFormatTrimming(format, StringTrimmingEllipsisWord);
        if (mode & DT_PATH_ELLIPSIS)
            GdipSetStringFormatTrimming(format, StringTrimmingEllipsisPath);
    }
    if (font && brush) {
        const RectF layout = {static_cast<REAL>(rect.left), static_cast<REAL>(rect.top),
                              static_cast<REAL>(rect.right - rect.left),
                              static_cast<REAL>(rect.bottom - rect.top)};
        GdipDrawString(graphics, text.c_str(), static_cast<INT>(text.size()), font, &layout, format,
                       reinterpret_cast<GpBrush*>(brush));
    }
    if (format)
        GdipDeleteStringFormat(format);
    if (brush)
        GdipDeleteBrush(reinterpret_cast<GpBrush*>(brush));
    if (font)
        GdipDeleteFont(font);
    GdipDeleteGraphics(graphics);
}

} // namespace

TextLook ChooseTextLook(const TextSubject& subject) {
    const TwStyle& style = StyleOf(subject);
    TextLook look;
    look.transparent = !style.skin.empty();
    look.background = subject.ownBackground != kNoColor ? subject.ownBackground : style.colors.crbg;
    look.font = subject.ownFont ? subject.ownFont
                : style.font    ? style.font
                                : TwFontPool::Instance().GetFont(0);
    look.text = subject.ownText != kNoColor ? subject.ownText : style.colors.crtext;
    if (subject.disabled) {
        if (style.colors.crdisabled != kNoColor)
            look.text = style.colors.crdisabled;
    } else if (subject.hovered) {
        if (style.hoverFont)
            look.font = style.hoverFont;
        if (style.colors.crhover != kNoColor)
            look.text = style.colors.crhover;
    }
    if (HighContrastOn()) {
        // Text that changes colour under the pointer is a link.
        const bool link = style.skin.empty() && style.colors.crhover != kNoColor;
        look.text = ContrastColor(TextInk(subject.disabled, subject.onHighlight, link));
        look.transparent = true;
    }
    return look;
}

ScopedTextLook::ScopedTextLook(HDC dc, const TextLook& look) : m_dc(dc), m_saved(SaveDC(dc)) {
    if (look.transparent || look.background == kNoColor)
        SetBkMode(dc, TRANSPARENT);
    else
        SetBkColor(dc, look.background);
    if (look.font)
        SelectObject(dc, look.font);
    if (look.text != kNoColor)
        SetTextColor(dc, look.text);
}

HFONT MeasuringFont(const TextSubject& subject) {
    HFONT font = subject.ownFont ? subject.ownFont : StyleOf(subject).font;
    for (const auto& [ownFont, style] : subject.ancestors) {
        if (font)
            break;
        font = ownFont ? ownFont : (style ? style->font : nullptr);
    }
    if (subject.hovered) {
        HFONT hover = StyleOf(subject).hoverFont;
        for (const auto& [ownFont, style] : subject.ancestors) {
            if (hover)
                break;
            hover = style ? style->hoverFont : nullptr;
        }
        if (hover)
            font = hover;
    }
    return font ? font : TwFontPool::Instance().GetFont(0);
}

SIZE MeasureElementText(const std::wstring& text, const TextSubject& subject,
                        const RECT& available) {
    const TwStyle& style = StyleOf(subject);
    SIZE size = {0, 0};
    if (!text.empty()) {
        MemoryDC dc(nullptr);
        ScopedSelect font(dc.Get(), MeasuringFont(subject));
        RECT rect = {available.left + style.xMargin, available.top + style.yMargin,
                     available.right - style.xMargin, available.bottom - style.yMargin};
        const unsigned mode = style.textMode & ~0x0Fu;
        if (mode & DT_WORDBREAK)
            rect.bottom = 0x7FFF;
        DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &rect, mode | DT_CALCRECT);
        size.cx = rect.right - rect.left;
        size.cy = rect.bottom - rect.top;
    }
    size.cx += 2 * style.xMargin;
    size.cy += 2 * style.yMargin;
    return size;
}

RECT YaHeiCorrected(const RECT& rect, unsigned textMode, int baseHeight, int fontHeight) {
    RECT r = rect;
    const int d = baseHeight - fontHeight;
    const int base = std::abs(baseHeight);
    if (textMode & DT_BOTTOM) {
        const int top = r.top;
        r.top -= 2 * d + 2;
        r.bottom -= 2 * d + 2;
        const int need = base + 3 * d + 4;
        if (r.bottom - r.top < need)
            r.bottom += need - (r.bottom - r.top);
        if (r.bottom - 3 - (base + d) < top)
            r.bottom = top + base + d + 3;
    } else if (!(textMode & DT_VCENTER)) {
        r.top -= 3 * (d + 1);
        r.bottom -= 3 * (d + 1);
    }
    return r;
}

void PaintElementText(HDC dc, const std::wstring& text, const RECT& elementRect,
                      const TextSubject& subject, unsigned textMode) {
    if (text.empty())
        return;
    const TwStyle& style = StyleOf(subject);
    const TextLook look = ChooseTextLook(subject);
    const unsigned mode = textMode != 0 ? textMode : style.textMode;
    ScopedTextLook selected(dc, look);
    RECT rect = {elementRect.left + style.xMargin, elementRect.top + style.yMargin,
                 elementRect.right - style.xMargin, elementRect.bottom - style.yMargin};

    TwFontPool& pool = TwFontPool::Instance();
    if (pool.BaseIsYaHei())
        rect = YaHeiCorrected(rect, mode, pool.BaseHeight(), FontHeight(look.font));
    if (style.gdiplus) {
        DrawWithGdiplus(dc, text, rect, mode, GetTextColor(dc));
    } else if (!style.shadow || HighContrastOn() ||
               !DrawWithShadow(dc, text, rect, mode, GetTextColor(dc), style.colors.crshadow)) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, mode);
    }
}
