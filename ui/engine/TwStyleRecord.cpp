#include "ui/engine/TwStyleRecord.h"

#include <cstring>

namespace {

bool Is(const char* name, const char* known) {
    return std::strcmp(name, known) == 0;
}

} // namespace

bool ApplyColorAttribute(TwColorValues& colors, const char* name, const char* value) {
    TwColorRef* target = nullptr;
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
        return false;
    *target = ReadColor(value);
    return true;
}

bool ApplyStyleAttribute(TwStyleRecord& style, const char* name, const char* value) {
    if (Is(name, "name"))
        style.name = value;
    else if (Is(name, "skin"))
        style.skin = value;
    else if (Is(name, "textmode"))
        style.textMode = ReadHex(value);
    else if (Is(name, "font"))
        style.fontCode = ReadHex(value);
    else if (Is(name, "hoverfont"))
        style.hoverFontCode = ReadHex(value);
    else if (Is(name, "x-margin"))
        style.xMargin = ReadDecimal(value);
    else if (Is(name, "y-margin"))
        style.yMargin = ReadDecimal(value);
    else if (Is(name, "margin"))
        style.xMargin = style.yMargin = ReadDecimal(value);
    else if (Is(name, "spacing"))
        style.spacing = ReadDecimal(value);
    else if (Is(name, "linespacing"))
        style.lineSpacing = ReadDecimal(value);
    else if (Is(name, "shadow"))
        style.shadow = ReadDecimal(value) != 0;
    else if (Is(name, "gdiplus"))
        style.gdiplus = ReadDecimal(value) != 0;
    else if (Is(name, "cursor")) {
        if (Is(value, "hand"))
            style.handCursor = true;
        else if (Is(value, "arrow"))
            style.handCursor = false;
        else
            return false;
    } else
        return ApplyColorAttribute(style.colors, name, value);
    return true;
}
