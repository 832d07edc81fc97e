#include "layoutview/UiDocuments.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/engine/TwStyleTables.h"
#include "ui/skin/TwImagePools.h"
#include "ui/skin/TwSkinRegistry.h"

bool LoadProgramUiDocuments() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    TwPngPool::Instance().Clear();
    TwBmpPool::Instance().Clear();
    TwJpgPool::Instance().Clear();
    TwSkinPool::Instance().Clear();
    LoadColors(60003, 1); // the program has no colour document
    const bool skins = TwSkinRegistry::Instance().LoadSkins(60000);
    const bool styles = LoadStyles(60001);
    const bool strings = LoadStrings(60002);
    return skins && styles && strings;
}
