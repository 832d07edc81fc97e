#include "ui/engine/TwStyle.h"

#include <cstring>

#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwStyleTables.h"

HRESULT TwColor::ApplyAttribute(const char* attribute, const char* value, bool loading) {
    const HRESULT base = CTwObject::ApplyAttribute(attribute, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(attribute, "name") == 0) {
        name = value;
        return 0;
    }
    return ApplyColorAttribute(colors, attribute, value) ? 0 : E_FAIL;
}

TwStyle::TwStyle(const TwStyleRecord& record) : TwStyleRecord(record) {
    MakeFontsAndCursor();
    AfterAttributes();
}

bool TwStyle::MatchesTag(const char* tag) const {
    return tag && std::strcmp(tag, "class") == 0;
}

HRESULT TwStyle::ApplyAttribute(const char* attribute, const char* value, bool loading) {
    const HRESULT base = CTwObject::ApplyAttribute(attribute, value, loading);
    if (AttributeTaken(base))
        return base;
    if (!ApplyStyleAttribute(*this, attribute, value))
        return E_FAIL;
    MakeFontsAndCursor();
    return 0;
}

void TwStyle::MakeFontsAndCursor() {
    TwFontPool& pool = TwFontPool::Instance();
    font = fontCode ? pool.GetFont(*fontCode) : nullptr;
    hoverFont = hoverFontCode ? pool.GetFont(*hoverFontCode) : nullptr;
    cursor = handCursor ? IDC_HAND : IDC_ARROW;
}

void TwStyle::AfterAttributes() {
    if (const TwColor* set = TwColorTable::Instance().Find(name))
        colors = set->colors;
}
