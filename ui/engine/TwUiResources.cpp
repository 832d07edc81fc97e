#include "ui/engine/TwUiResources.h"

#include "ui/engine/TwStyleTables.h"
#include "ui/skin/HalcySkinManager.h"
#include "ui/skin/TwImagePools.h"
#include "ui/skin/TwSkinRegistry.h"

bool ReloadUiResources() {
    const HalcySkinManager& manager = HalcySkinManager::Instance();
    const int level = manager.ColourLevel();
    TwPngPool::Instance().Clear();
    TwBmpPool::Instance().Clear();
    TwJpgPool::Instance().Clear();
    TwSkinPool::Instance().Clear();
    LoadColors(60003, level);
    TwSkinRegistry::Instance().LoadSkins(60000);
    return LoadStyles(60001);
}
