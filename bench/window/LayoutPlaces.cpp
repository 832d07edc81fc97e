#include "bench/window/LayoutPlaces.h"

#include "layoutview/UiDocuments.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/CTwWindow.h"

bool LoadProgramUiDocumentsOnce() {
    static const bool loaded = LoadProgramUiDocuments();
    return loaded;
}

bool LayoutPlaces::Build() {
    if (Hwnd())
        return true;
    if (!LoadProgramUiDocumentsOnce())
        return false;
    return CreateHostWindow(nullptr, nullptr) != nullptr;
}

std::optional<RECT> LayoutPlaces::ElementRect(int id) {
    if (!Build())
        return std::nullopt;
    const CTwWindow* element = FindById(id);
    if (!element)
        return std::nullopt;
    return element->Rect();
}

std::optional<RECT> LayoutPlaces::TabHeaderRect(int tabControlId, int index) {
    if (!Build())
        return std::nullopt;
    const auto* tabs = dynamic_cast<const CTwTabCtrl*>(FindById(tabControlId));
    if (!tabs)
        return std::nullopt;
    const RECT header = tabs->HeaderRect(index);
    if (IsRectEmpty(&header))
        return std::nullopt;
    return header;
}
