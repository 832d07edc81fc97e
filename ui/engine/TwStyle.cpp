#include "ui/engine/TwStyle.h"

#include <cstring>

#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwStyleTables.h"

namespace {
bool Is(const char* name, const char* known) {
    return std::strcmp(name, known) == 0;
}
} // namespace

HRESULT ApplyColorAttribute(TwColorValues& colors, const char* name, const char* value) {
    COLORREF* target = nullptr;
    if (Is(name, "crbg"))
        target = &colors.crbg;
    else if (Is(name, "crbghover"))
        target = &colors.crbghover;
    else if (Is(name, "crtext"))
        target = &colors.crtext;
    else if (Is(name, "crhover"))
        target = &colors.crhover;
    else if (Is(name, "crdisabled"))
        target = &colors.crdisabled;
    else if (Is(name, "crshadow"))
        target = &colors.crshadow;
    if (!target)
        return E_FAIL;
    *target = ReadColor(value);
    return 0;
}

HRESULT TwColor::ApplyAttribute(const char* attribute, const char* value, bool loading) {
    const HRESULT base = CTwObject::ApplyAttribute(attribute, value, loading);
    if (AttributeTaken(base))
        return base;
    if (Is(attribute, "name")) {
        name = value;
        return 0;
    }
    return ApplyColorAttribute(colors, attribute, value);
}

TwStyle::TwStyle() {
    colors.crshadow = RGB(1, 1, 1);
}

bool TwStyle::MatchesTag(const char* tag) const {
    return tag && Is(tag, "class");
}

HRESULT TwStyle::ApplyAttribute(const char* attribute, const char* value, bool loading) {
    const HRESULT base = CTwObject::ApplyAttribute(attribute, value, loading);
    if (AttributeTaken(base))
        return base;
    if (Is(attribute, "name"))
        name = value;
    else if (Is(attribute, "skin"))
        skin = value;
    else if (Is(attribute, "textmode"))
        textMode = ReadHex(value);
    else if (Is(attribute, "font"))
        font = TwFontPool::Instance().GetFont(ReadHex(value));
    else if (Is(attribute, "hoverfont"))
        hoverFont = TwFontPool::Instance().GetFont(ReadHex(value));
    else if (Is(attribute, "x-margin"))
        xMargin = ReadDecimal(value);
    else if (Is(attribute, "y-margin"))
        yMargin = ReadDecimal(value);
    else if (Is(attribute, "margin"))
        xMargin = yMargin = ReadDecimal(value);
    else if (Is(attribute, "spacing"))
        spacing = ReadDecimal(value);
    else if (Is(attribute, "linespacing"))
        lineSpacing = ReadDecimal(value);
    else if (Is(attribute, "shadow"))
        shadow = ReadDecimal(value) != 0;
    else if (Is(attribute, "gdiplus"))
        gdiplus = ReadDecimal(value) != 0;
    else if (Is(attribute, "cursor")) {
        if (Is(value, "hand"))
            cursor = IDC_HAND;
        else if (Is(value, "arrow"))
            cursor = IDC_ARROW;
        else
            return E_FAIL;
    } else
        return ApplyColorAttribute(colors, attribute, value);
    return 0;
}

void TwStyle::AfterAttributes() {
    if (const TwColor* set = TwColorTable::Instance().Find(name))
        colors = set->colors;
}
