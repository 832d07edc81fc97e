// The one-line safe tip and the PE-format bubble that follows its anchor on
// a thread of its own.

#include <atomic>
#include <memory>
#include <string>

#include <oleacc.h>

#include "common/ComApartment.h"
#include "layoutview/UiDocuments.h"
#include "tests/support/GTest.h"
#include "ui/windows/CTwSafeTip.h"
#include "ui/windows/QPeFormatTipDlg.h"

namespace {

class Tips : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocuments()); }
};

RECT WindowRect(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

// Waits up to two seconds for a condition the tip's thread brings about.
template <typename Condition> bool Eventually(Condition condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

// A shown anchor window at 100,100 (400 x 300) and the bubble's thread over
// it; the slot stays empty when the thread or its window did not come.
struct BubbleOverAnchor {
    HWND anchor = nullptr;
    PeTipWindowSlot bubble = MakePeTipWindowSlot();
    HANDLE thread = nullptr;
};

BubbleOverAnchor StartBubble() {
    BubbleOverAnchor made;
    made.anchor = CreateWindowExW(0, L"STATIC", L"anchor", WS_POPUP | WS_VISIBLE, 100, 100, 400,
                                  300, nullptr, nullptr, nullptr, nullptr);
    made.thread = StartPeFormatTipThread(made.anchor, made.bubble);
    if (made.thread)
        Eventually([&made] { return made.bubble->load() != nullptr; });
    return made;
}

} // namespace

TEST_F(Tips, SafeTipShowsTheTextInAPlainBoxAndHidesOnItsTimer) {
    CTwSafeTip& tip = CTwSafeTip::Instance();
    ASSERT_TRUE(tip.Show(L"", 50, 60, nullptr));
    HWND window = tip.Hwnd();
    RECT rect = WindowRect(window);
    EXPECT_EQ(50, rect.left);
    EXPECT_EQ(7, rect.right - rect.left);
    EXPECT_GT(rect.bottom - rect.top, 9); // 9 plus a line
    EXPECT_TRUE(IsWindowVisible(window));

    ASSERT_TRUE(tip.Show(L"C:\\a rather long file name.exe", 80, 90, nullptr));
    EXPECT_EQ(window, tip.Hwnd()); // the same window, moved and sized
    rect = WindowRect(window);
    EXPECT_EQ(80, rect.left);
    EXPECT_EQ(SafeTipSize(L"C:\\a rather long file name.exe").cx, rect.right - rect.left);
    EXPECT_EQ(L"C:\\a rather long file name.exe", tip.FindById(1)->Text());
    // The corners are not cut.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(window, region);
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    DeleteObject(region);

    SendMessageW(window, WM_TIMER, CTwSafeTip::kHideTimer, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(tip.IsVisible());
}

TEST_F(Tips, PeBubbleFollowsItsAnchorAndEndsWithIt) {
    const BubbleOverAnchor made = StartBubble();
    ASSERT_NE(nullptr, made.bubble->load());
    HWND anchor = made.anchor;
    const PeTipWindowSlot& bubble = made.bubble;
    HANDLE thread = made.thread;
    HWND tip = bubble->load();
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(IsWindowVisible(tip)); // hidden until asked for

    PostMessageW(tip, QPeFormatTipDlg::kShowMessage, 1, 0);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(tip) != FALSE; }));
    EXPECT_EQ(400, WindowRect(tip).left); // anchor left + 300
    EXPECT_EQ(355, WindowRect(tip).top);  // anchor bottom - 45
    EXPECT_EQ(197, WindowRect(tip).right - WindowRect(tip).left);

    SetWindowPos(anchor, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Eventually([&] { return WindowRect(tip).left == 450; }));
    ShowWindow(anchor, SW_HIDE);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(tip); }));
    ShowWindow(anchor, SW_SHOWNA);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(tip) != FALSE; }));
    PostMessageW(tip, QPeFormatTipDlg::kShowMessage, 0, 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(tip); }));

    DestroyWindow(anchor);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    EXPECT_EQ(nullptr, bubble->load());
    EXPECT_FALSE(IsWindow(tip));
    CloseHandle(thread);
}

TEST_F(Tips, PeBubbleTellsReadersItsTextFromItsOwnThread) {
    // A reader's calls reach the bubble on its thread, marshalled as from
    // another process.
    const ComApartment com;
    const BubbleOverAnchor made = StartBubble();
    ASSERT_NE(nullptr, made.bubble->load());
    HWND anchor = made.anchor;
    const PeTipWindowSlot& bubble = made.bubble;
    HANDLE thread = made.thread;
    IAccessible* root = nullptr;
    ASSERT_EQ(S_OK, AccessibleObjectFromWindow(bubble->load(), static_cast<DWORD>(OBJID_CLIENT),
                                               IID_PPV_ARGS(&root)));
    VARIANT text;
    VariantInit(&text);
    long got = 0;
    EXPECT_EQ(S_OK, AccessibleChildren(root, 0, 1, &text, &got));
    ASSERT_EQ(1, got);
    ASSERT_EQ(VT_I4, text.vt); // the text, not the platform's object of the view window
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(S_OK, root->get_accRole(text, &role));
    EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, role.lVal);
    BSTR name = nullptr;
    EXPECT_EQ(S_OK, root->get_accName(text, &name));
    EXPECT_EQ(L"(如exe,dll,vdx,sys和vdm等)的标准文件格式", std::wstring(name ? name : L""));
    SysFreeString(name);
    root->Release();
    DestroyWindow(anchor);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
}

TEST_F(Tips, ABubblesWindowSlotOutlivesAnOwnerThatGoesFirst) {
    // The owner (the main window) lets go of its slot while the bubble's
    // thread still runs: the thread's last report must land in memory that
    // is still there.
    HWND anchor = CreateWindowExW(0, L"STATIC", L"anchor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    PeTipWindowSlot slot = MakePeTipWindowSlot();
    const std::weak_ptr<std::atomic<HWND>> watch = slot;
    HANDLE thread = StartPeFormatTipThread(anchor, slot);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(Eventually([&] { return slot->load() != nullptr; }));
    slot.reset();
    EXPECT_FALSE(watch.expired()); // the running thread still holds it
    DestroyWindow(anchor);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
    EXPECT_TRUE(watch.expired()); // and lets go when it ends
}

TEST_F(Tips, PeBubblePaintsItsPictureWithAlpha) {
    QPeFormatTipDlg tip;
    HWND anchor = CreateWindowExW(0, L"STATIC", L"anchor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    tip.SetAnchor(anchor);
    ASSERT_NE(nullptr, tip.Create());
    const CTwBitmap& picture = tip.View().Render();
    ASSERT_EQ(197, picture.Width());
    EXPECT_EQ(0u, picture.GetPixel(196, 61) >> 24);   // outside the bubble
    EXPECT_GT(picture.GetPixel(100, 30) >> 24, 200u); // inside it
    DestroyWindow(tip.Hwnd());
    DestroyWindow(anchor);
}
