// The dialog host: window creation from the layout's style record, sizing
// rules, keyboard shortcuts, the modal loop and its owner, cut corners, and
// the drop shadow that follows the window.

#include <functional>
#include <optional>

#include "tests/support/GTest.h"
#include "tests/support/HighContrastOverride.h"
#include "ui/windows/CTwShadowedDialogImpl.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/skin/TwSkinRegistry.h"

namespace {

class TestDialog : public CTwShadowedDialogImpl<TestDialog>,
                   public CWHRoundRectFrameHelper<TestDialog> {
public:
    enum { IDD = 4242 }; // not a resource: layouts come as texts

    explicit TestDialog(const std::string& layout = "") {
        if (!layout.empty())
            LoadLayoutText(layout);
    }
    std::vector<int> clicks;
    std::function<void(TestDialog&)> onInit;
    bool ownerEnabledInLoop = true;
    HWND owner = nullptr;

protected:
    bool OnViewNotify(NMHDR& header, LRESULT&) override {
        if (header.code == kTwClick)
            clicks.push_back(reinterpret_cast<TwItemNotify&>(header).itemId);
        return true;
    }
    bool ProcessWindowMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_INITDIALOG && onInit)
            onInit(*this);
        if (message == WM_APP) {
            ownerEnabledInLoop = owner && IsWindowEnabled(owner);
            EXPECT_EQ(Hwnd(), CurrentModalWindow());
            EndModal(7);
        }
        return false;
    }
};

SIZE WindowSize(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

const char* const kBox = R"(<layer holdsize="1" width="380" height="200"><body/></layer>)";

HWND PlainOwner() {
    return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                           nullptr, nullptr, nullptr);
}

} // namespace

TEST(DialogHost, SizeFollowsMinimumAndHoldSize) {
    TestDialog wide(R"(<layer min_width="500" min_height="120"><body/></layer>)");
    const RECT asked = {0, 0, 400, 50};
    ASSERT_NE(nullptr, wide.CreateHostWindow(nullptr, &asked));
    EXPECT_EQ(500, WindowSize(wide.Hwnd()).cx);
    EXPECT_EQ(120, WindowSize(wide.Hwnd()).cy);

    TestDialog box(kBox);
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    EXPECT_EQ(380, WindowSize(box.Hwnd()).cx);
    for (const SIZE ask : {SIZE{600, 400}, SIZE{10, 10}}) {
        SetWindowPos(box.Hwnd(), nullptr, 0, 0, ask.cx, ask.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(380, WindowSize(box.Hwnd()).cx);
        EXPECT_EQ(200, WindowSize(box.Hwnd()).cy);
    }
    // The whole window is client area, covered by the view.
    RECT client = {};
    GetClientRect(box.Hwnd(), &client);
    EXPECT_EQ(380, client.right);
    GetClientRect(box.View().Hwnd(), &client);
    EXPECT_EQ(200, client.bottom);
}

TEST(DialogHost, MaximisingAFixedLayoutKeepsItCentred) {
    TestDialog box(R"(<layer width="380" height="200" resize="0"><body/></layer>)");
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    ShowWindow(box.Hwnd(), SW_SHOW);
    ShowWindow(box.Hwnd(), SW_MAXIMIZE);
    EXPECT_EQ(380, WindowSize(box.Hwnd()).cx);
    EXPECT_EQ(200, WindowSize(box.Hwnd()).cy);
    EXPECT_FALSE(GetWindowLongW(box.Hwnd(), GWL_STYLE) & WS_MAXIMIZE);
    RECT rect = {};
    GetWindowRect(box.Hwnd(), &rect);
    EXPECT_GT(rect.left, 0);
}

TEST(DialogHost, EscapeAndEnterBecomeClicksUnlessCtrlIsHeld) {
    TestDialog box(kBox);
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    SendMessageW(box.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(box.Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(box.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<int>{2, 1, 2}), box.clicks);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(box.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(3u, box.clicks.size());
}

TEST(DialogHost, WheelScrollsTheWindowUnderThePointerByPages) {
    TestDialog box(kBox);
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    SetWindowPos(box.Hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 200,
                                100, box.View().Hwnd(), nullptr, nullptr, nullptr);
    for (int i = 0; i < 200; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
    const LPARAM over = MAKELPARAM(100 + 50, 100 + 50);
    EXPECT_EQ(1, SendMessageW(box.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), over));
    const LRESULT afterDown = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    EXPECT_GT(afterDown, 3); // a page, not a line
    SendMessageW(box.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), over);
    EXPECT_EQ(0, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
}

TEST(DialogHost, CornersAreCutInAThreeTwoOneStaircase) {
    TestDialog box(kBox);
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(box.Hwnd(), region));
    const POINT cut[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}};
    for (const POINT& p : cut) {
        for (const POINT& corner : {POINT{p.x, p.y}, POINT{379 - p.x, p.y}, POINT{p.x, 199 - p.y},
                                    POINT{379 - p.x, 199 - p.y}})
            EXPECT_FALSE(PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
    }
    for (const POINT& kept : {POINT{3, 0}, POINT{2, 1}, POINT{1, 2}, POINT{0, 3}, POINT{376, 0},
                              POINT{379, 196}, POINT{190, 100}})
        EXPECT_TRUE(PtInRegion(region, kept.x, kept.y)) << kept.x << "," << kept.y;
    DeleteObject(region);
    EXPECT_EQ(nullptr, CreateCutCornerRegion(0, 5));
}

TEST(DialogHost, ModalLoopEndsWithItsResultAndGivesTheOwnerBack) {
    HWND owner = PlainOwner();
    TestDialog box(kBox);
    box.owner = owner;
    box.onInit = [](TestDialog& dialog) { PostMessageW(dialog.Hwnd(), WM_APP, 0, 0); };
    EXPECT_EQ(7, box.RunModal(owner));
    EXPECT_FALSE(box.ownerEnabledInLoop);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, box.Hwnd()); // destroyed after the loop
    EXPECT_EQ(nullptr, CTwDialogHost::CurrentModalWindow());

    TestDialog closing(kBox);
    closing.onInit = [](TestDialog& dialog) { DestroyWindow(dialog.Hwnd()); };
    EXPECT_EQ(0, closing.RunModal(owner));
    EXPECT_TRUE(IsWindowEnabled(owner));

    TestDialog missing; // its layout resource does not exist
    EXPECT_EQ(0, missing.RunModal(owner));
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST(ShadowWindow, PartsOfATwentyPixelSkin) {
    ShadowPart parts[8];
    ShadowParts(108, 58, SIZE{20, 20}, parts);
    EXPECT_EQ(9, parts[0].destination.right); // corner size (20 - 2) / 2
    EXPECT_EQ(99, parts[1].destination.left);
    EXPECT_EQ(9, parts[1].source.bottom); // 9 rows high, whatever the corner
    EXPECT_EQ(11, parts[1].source.left);
    EXPECT_EQ(10, parts[4].source.right); // one column
    EXPECT_EQ(49, parts[6].destination.bottom);
}

TEST(ShadowWindow, FollowsTheHostAndHidesWithIt) {
    TwSkinRegistry::Instance().LoadDocuments(
        {R"(<skins><png name="dlg_shadow" src="305"/></skins>)"});
    TestDialog box(R"(<layer width="100" height="50"><body/></layer>)");
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    SetWindowPos(box.Hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(box.Hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(box.Hwnd());
    HWND shadow = box.Shadow()->Window();
    ASSERT_NE(nullptr, shadow);
    EXPECT_TRUE(IsWindowVisible(shadow));
    RECT rect = {};
    GetWindowRect(shadow, &rect);
    EXPECT_EQ(196, rect.left);
    EXPECT_EQ(146, rect.top);
    EXPECT_EQ(108, rect.right - rect.left);
    EXPECT_EQ(58, rect.bottom - rect.top);
    EXPECT_TRUE(GetWindowLongW(shadow, GWL_EXSTYLE) & WS_EX_TRANSPARENT);

    ShowWindow(box.Hwnd(), SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(shadow));
    ShowWindow(box.Hwnd(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(shadow));
    // A new size marks a repaint; the host's next paint rebuilds the shadow.
    SetWindowPos(box.Hwnd(), nullptr, 0, 0, 120, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(box.Hwnd(), nullptr, FALSE);
    UpdateWindow(box.Hwnd());
    GetWindowRect(shadow, &rect);
    EXPECT_EQ(128, rect.right - rect.left);
    EXPECT_EQ(68, rect.bottom - rect.top);
    SendMessageW(box.Hwnd(), WM_MOVING, 0, reinterpret_cast<LPARAM>(&rect));
    EXPECT_FALSE(IsWindowVisible(shadow));
    SendMessageW(box.Hwnd(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(shadow));
    DestroyWindow(box.Hwnd());
    EXPECT_FALSE(IsWindow(shadow));

    TestDialog child(R"(<layer child="1"><body/></layer>)");
    HWND parent = PlainOwner();
    const RECT area = {0, 0, 20, 20};
    ASSERT_NE(nullptr, child.CreateHostWindow(parent, &area));
    EXPECT_EQ(nullptr, child.Shadow()->Window());
    DestroyWindow(parent);
}

TEST(DialogHost, HighContrastTurnedOnOrOffWhileShownRepaintsTheWindow) {
    TestDialog dialog(R"(<layer width="200" height="100"><body crbg="FF0000"/></layer>)");
    ASSERT_NE(nullptr, dialog.CreateHostWindow(nullptr, nullptr));
    const auto pixel = [&dialog] { return dialog.View().Render().GetPixel(100, 50) & 0xFFFFFFu; };
    ASSERT_EQ(0xFF0000u, pixel());
    {
        const testsupport::ForcedHighContrast contrast;
        EXPECT_EQ(0xFF0000u, pixel()); // not yet told
        SendMessageW(dialog.Hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(testsupport::InkRgb(TwContrastInk::Surface), pixel());
    }
    SendMessageW(dialog.Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(0xFF0000u, pixel());
    DestroyWindow(dialog.Hwnd());
}
