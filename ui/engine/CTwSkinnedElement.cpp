#include "ui/engine/CTwSkinnedElement.h"

#include <cstring>

#include "ui/engine/TwWidgetStates.h"
#include "ui/skin/TwSkinRegistry.h"

CTwSkinBase* SkinNamed(const std::string& name) {
    return name.empty() ? nullptr : GetSkin(name);
}

HRESULT CTwSkinnedElement::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "skin") == 0) {
        m_skin = value;
        return S_OK;
    }
    return E_FAIL;
}

CTwSkinBase* CTwSkinnedElement::DrawnSkin() const {
    return SkinNamed(m_skin);
}

SIZE CTwSkinnedElement::OnMeasure(bool placing, SIZE offered) {
    const SIZE measured = CTwWindow::OnMeasure(placing, offered);
    CTwSkinBase* skin = DrawnSkin();
    return skin ? SkinSized(measured, skin->GetSkinSize()) : measured;
}
