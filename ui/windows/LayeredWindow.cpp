#include "ui/windows/LayeredWindow.h"

#include "common/GdiObjects.h"
#include "ui/skin/CTwBitmap.h"

void UpdateLayeredFromBitmap(HWND window, POINT position, const CTwBitmap& picture) {
    MemoryDC dc(nullptr);
    ScopedSelect selected(dc.Get(), picture.Handle());
    SIZE size = {picture.Width(), picture.Height()};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, &position, &size, dc.Get(), &origin, 0, &blend, ULW_ALPHA);
}
