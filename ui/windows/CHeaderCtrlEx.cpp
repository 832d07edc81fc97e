#include "ui/windows/CHeaderCtrlEx.h"

#include <commctrl.h>

#include "ui/engine/TwFontPool.h"
#include "ui/skin/TwImagePools.h"
#include "ui/windows/BitmapPart.h"
#include "ui/engine/TwHighContrast.h"

namespace {

constexpr COLORREF kHeaderText = RGB(112, 145, 190);

} // namespace

bool CHeaderCtrlEx::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                         LRESULT& result) {
    if (message == WM_PAINT) {
        Paint();
        result = 0;
        return true;
    }
    if (message == HDM_LAYOUT) {
        result = CallPrevious(message, wparam, lparam);
        auto* layout = reinterpret_cast<HDLAYOUT*>(lparam);
        layout->pwpos->cy = kHeight;
        layout->prc->top = layout->pwpos->y + kHeight;
        return true;
    }
    return false;
}

void CHeaderCtrlEx::Paint() {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(Hwnd(), &paint);
    RECT client = {};
    GetClientRect(Hwnd(), &client);
    HBITMAP bitmap = TwBmpPool::Instance().Get(402);
    // High contrast: the button face with its text, a line between titles.
    const bool contrast = HighContrastOn();
    if (contrast)
        FillSolid(dc, client, ContrastColor(TwContrastInk::ButtonFace));
    else
        DrawBitmapPart(dc, bitmap, client, 0, 0, 3, 20);
    const int saved = SaveDC(dc);
    SelectObject(dc, TwFontPool::Instance().GetFont(0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, contrast ? ContrastColor(TwContrastInk::ButtonText) : kHeaderText);
    const int count = static_cast<int>(SendMessageW(Hwnd(), HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT item = {};
        SendMessageW(Hwnd(), HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        if (contrast)
            FrameInContrast(dc, RECT{item.right - 1, client.top, item.right, client.bottom},
                            TwContrastInk::ButtonText);
        else
            DrawBitmapPart(dc, bitmap, RECT{item.right - 3, client.top, item.right, client.bottom},
                           3, 0, 3, 20);
        wchar_t caption[256] = {};
        HDITEMW info = {};
        info.mask = HDI_TEXT | HDI_FORMAT;
        info.pszText = caption;
        info.cchTextMax = 255;
        SendMessageW(Hwnd(), HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&info));
        RECT text = {item.left + 2, item.top, item.right - 2, item.bottom};
        UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        if (info.fmt & HDF_CENTER) {
            flags |= DT_CENTER;
        } else if (info.fmt & HDF_RIGHT) {
            flags |= DT_RIGHT;
            text.right -= 5;
        } else {
            text.left += 5;
        }
        if (i == 0)
            text.left += 18;
        DrawTextW(dc, caption, -1, &text, flags);
    }
    RestoreDC(dc, saved);
    EndPaint(Hwnd(), &paint);
}
