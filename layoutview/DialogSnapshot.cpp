#include "layoutview/DialogSnapshot.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "ui/engine/CWHRoundRectFrameHelper.h"
#include "ui/skin/TwGdiplus.h"

namespace {

// Every visible child window below `parent` printed at its place (in the
// coordinates of `origin`), children after their parents.
void PrintChildren(HWND parent, HWND origin, HDC dc) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT rect = {};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, origin, reinterpret_cast<POINT*>(&rect), 2);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
        SetViewportOrgEx(dc, rect.left, rect.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
        RestoreDC(dc, saved);
        PrintChildren(child, origin, dc);
    }
}

} // namespace

bool SnapshotDialog(CTwDialogHost& dialog, CTwBitmap& picture) {
    CTwDialogView& view = dialog.View();
    if (!view.IsCreated())
        return false;
    const CTwBitmap& canvas = view.Render();
    if (canvas.IsEmpty() || !picture.Create(canvas.Width(), canvas.Height()))
        return false;
    {
        MemoryDC source(nullptr);
        MemoryDC target(nullptr);
        ScopedSelect from(source.Get(), canvas.Handle());
        ScopedSelect to(target.Get(), picture.Handle());
        BitBlt(target.Get(), 0, 0, canvas.Width(), canvas.Height(), source.Get(), 0, 0, SRCCOPY);
        PrintChildren(view.Hwnd(), view.Hwnd(), target.Get());
        GdiFlush();
    }
    UniqueRegion shape(CreateCutCornerRegion(picture.Width(), picture.Height()));
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const bool inside = !shape || PtInRegion(shape.Get(), x, y);
            const std::uint32_t pixel = picture.GetPixel(x, y) & 0x00FFFFFFu;
            picture.SetPixel(x, y, inside ? (pixel | 0xFF000000u) : 0);
        }
    }
    return true;
}

bool SavePng(const CTwBitmap& picture, const std::wstring& path) {
    using namespace Gdiplus;
    GdiplusSession session;
    GpBitmap* bitmap = nullptr;
    // A top-down view of the bottom-up rows: start at the last row and step back.
    const INT stride = picture.Width() * 4;
    BYTE* last = reinterpret_cast<BYTE*>(picture.Bits()) +
                 static_cast<std::size_t>(picture.Height() - 1) * stride;
    if (GdipCreateBitmapFromScan0(picture.Width(), picture.Height(), -stride, PixelFormat32bppARGB,
                                  last, &bitmap) != Ok)
        return false;
    // The PNG encoder's class id.
    static const CLSID kPng = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const bool saved =
        GdipSaveImageToFile(reinterpret_cast<GpImage*>(bitmap), path.c_str(), &kPng, nullptr) == Ok;
    GdipDisposeImage(reinterpret_cast<GpImage*>(bitmap));
    return saved;
}
