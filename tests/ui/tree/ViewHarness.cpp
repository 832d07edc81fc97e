#include "tests/ui/tree/ViewHarness.h"

#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/skin/TwSkinRegistry.h"

namespace testsupport {

namespace {

// 302: a 64 x 4 strip of 16-pixel red, green, blue, grey sub-images.
const char* const kSkins = R"(<?xml version="1.0" encoding="utf-8"?>
<skins>
  <png name="four" src="302" subwidth="16"/>
  <png name="strip" src="302"/>
</skins>)";

const char* const kStyles = R"(<?xml version="1.0" encoding="utf-8"?>
<style>
  <class name="red_bg" crbg="FF0000"/>
  <class name="blue_bg" crbg="0000FF"/>
  <class name="hover_bg" crbg="00FF00" crbghover="0000FF"/>
  <class name="dark_text" crtext="000000" textmode="25"/>
  <class name="padded" crbg="FFFF00" x-margin="10" y-margin="5"/>
  <class name="skinned" skin="four"/>
</style>)";

const wchar_t kHostClass[] = L"TwTreeTestHost";

} // namespace

void LoadTreeTestDocuments() {
    static const bool loaded = [] {
        TwSkinRegistry::Instance().LoadDocuments({kSkins});
        TwStyleTable::Instance().Clear();
        TwStyleTable::Instance().LoadDocuments({kStyles});
        return true;
    }();
    (void)loaded;
}

ViewHarness::ViewHarness(const std::string& layout, int width, int height, DWORD parentStyle) {
    LoadTreeTestDocuments();
    static const ATOM atom = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ViewHarness::HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kHostClass;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    if (parentStyle & WS_CHILD)
        m_owner = CreateWindowExW(0, kHostClass, L"owner", WS_POPUP, 0, 0, width, height, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    m_parent = CreateWindowExW(0, kHostClass, L"host", parentStyle, 0, 0, width, height, m_owner,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_loaded = m_view.LoadLayoutText(layout);
    const RECT rect = {0, 0, width, height};
    m_view.Create(m_parent, &rect);
}

ViewHarness::~ViewHarness() {
    if (m_view.IsCreated())
        DestroyWindow(m_view.Hwnd());
    SetWindowLongPtrW(m_parent, GWLP_USERDATA, 0);
    DestroyWindow(m_parent);
    if (m_owner)
        DestroyWindow(m_owner);
}

LRESULT CALLBACK ViewHarness::HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ViewHarness*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_NOTIFY) {
        auto* record = reinterpret_cast<TwItemNotify*>(lparam);
        if (record->hdr.code == kTwTabChange && self->vetoTabChange)
            reinterpret_cast<TwTabChangeNotify*>(lparam)->cancel = 1;
        // Only the item codes carry an item id, and only a click its tag.
        const UINT code = record->hdr.code;
        const bool item = code == kTwClick || code == kTwMouseOver || code == kTwMouseOut ||
                          code == kTwPressed || code == kTwDoubleClick || code == kTwRightPressed;
        self->m_notices.push_back(Notice{code, item ? record->itemId : 0,
                                         code == kTwClick && record->tag ? record->tag : ""});
        return 0;
    }
    if (self && message == WM_DRAWITEM) {
        ++self->m_drawItems;
        return TRUE;
    }
    if (self && message == WM_SYSCOMMAND) {
        self->m_sysCommands.push_back(wparam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void ViewHarness::Move(int x, int y) {
    SendMessageW(m_view.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void ViewHarness::Press(int x, int y) {
    Move(x, y);
    SendMessageW(m_view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void ViewHarness::Release(int x, int y) {
    Move(x, y);
    SendMessageW(m_view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ViewHarness::Leave() {
    SendMessageW(m_view.Hwnd(), WM_MOUSELEAVE, 0, 0);
}

std::vector<UINT> ViewHarness::Codes(bool withMoves) const {
    std::vector<UINT> codes;
    for (const Notice& notice : m_notices) {
        if (withMoves || (notice.code != kTwMouseOver && notice.code != kTwMouseOut))
            codes.push_back(notice.code);
    }
    return codes;
}

std::uint32_t ViewHarness::Pixel(int x, int y) {
    return m_view.Render().GetPixel(x, y) & 0x00FFFFFFu;
}

} // namespace testsupport
