#include "layoutview/UiDocuments.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/engine/TwStyleTables.h"
#include "ui/engine/TwUiResources.h"
#include "ui/skin/TwSkinRegistry.h"

bool LoadProgramUiDocuments() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const bool styles = ReloadUiResources();
    const bool strings = LoadStrings(60002);
    return styles && strings && GetSkin("common_btn") != nullptr;
}
