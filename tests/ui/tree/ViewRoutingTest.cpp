// A real view window driven with mouse messages: hit-testing, hover, press
// and release, disabled elements, links, header dragging, dialog buttons.

#include "tests/support/GTest.h"
#include "tests/ui/tree/ViewHarness.h"
#include "ui/engine/CTwContainerWnd.h"

// After <windows.h>, which the harness brings.
#include <commctrl.h>

using testsupport::ViewHarness;

namespace {

std::string Layout(const std::string& header, const std::string& body,
                   const std::string& rootAttributes = "") {
    return "<layer width=\"300\" height=\"200\" " + rootAttributes + "><header height=\"40\">" +
           header + "</header><body>" + body + "</body></layer>";
}

std::vector<UINT> Codes(std::initializer_list<UINT> codes) {
    return codes;
}

// While it lives, every tooltip window made on this thread refuses tool
// records larger than TTTOOLINFOW_V2_SIZE as comctl32 5.82 does (Wine's
// comctl32 takes both sizes in either version, so the rule is kept here).
class OlderToolRecordRules {
public:
    OlderToolRecordRules() {
        s_refused = 0;
        s_tooltip = nullptr;
        m_hook = SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
    }
    ~OlderToolRecordRules() {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        s_tooltip = nullptr;
    }
    OlderToolRecordRules(const OlderToolRecordRules&) = delete;
    OlderToolRecordRules& operator=(const OlderToolRecordRules&) = delete;

    bool Watches(HWND tooltip) const { return m_hook && tooltip == s_tooltip; }
    int Refused() const { return s_refused; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        wchar_t name[64] = {};
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND && GetClassNameW(window, name, 64) &&
            lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
            s_tooltip = window;
            s_original = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TooltipProc)));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK TooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case TTM_ADDTOOLW:
        case TTM_DELTOOLW:
        case TTM_NEWTOOLRECTW:
        case TTM_GETTOOLINFOW:
        case TTM_SETTOOLINFOW:
        case TTM_GETTEXTW:
        case TTM_UPDATETIPTEXTW:
        case TTM_ENUMTOOLSW:
        case TTM_GETCURRENTTOOLW: {
            const TOOLINFOW* tool = reinterpret_cast<const TOOLINFOW*>(lParam);
            if (tool && tool->cbSize > TTTOOLINFOW_V2_SIZE) {
                ++s_refused;
                return 0;
            }
            break;
        }
        }
        return CallWindowProcW(s_original, window, message, wParam, lParam);
    }

    static inline HWND s_tooltip = nullptr;
    static inline WNDPROC s_original = nullptr;
    static inline int s_refused = 0;
    HHOOK m_hook = nullptr;
};

} // namespace

TEST(ViewHitTest, FloatingFirstThenDocumentOrderTransparentPassesThrough) {
    // Body starts at y 40. Buttons 1 and 2 overlap at x 50-60; 3 floats over
    // both (no position: it sits at the inner corner with its fixed size);
    // the transparent image 4 covers button 5.
    ViewHarness host(Layout("", R"(
        <button id="1" pos="0,0,60,20">a</button>
        <button id="2" pos="50,0,100,20">b</button>
        <button id="3" width="20" height="10" float="1">c</button>
        <button id="5" pos="0,100,50,120">e</button>
        <img id="4" pos="0,90,60,130" transparent="1"/>)"));
    CTwDialog& body = host.View().Body();
    EXPECT_EQ(host.Element(3)->Handle(), body.ElementAt(5, 45, true));
    EXPECT_EQ(host.Element(1)->Handle(), body.ElementAt(55, 45, true));
    EXPECT_EQ(host.Element(2)->Handle(), body.ElementAt(70, 45, true));
    EXPECT_EQ(host.Element(5)->Handle(), body.ElementAt(10, 145, true));
    // Nothing there: the body itself.
    EXPECT_EQ(body.Handle(), body.ElementAt(200, 180, true));

    host.Click(55, 45);
    ASSERT_EQ(Codes({kTwPressed, kTwClick}), host.Codes());
    EXPECT_EQ(1, host.Notices().back().itemId);
    EXPECT_EQ("button", host.Notices().back().tag);
    host.Forget();
    host.Click(10, 145);
    ASSERT_FALSE(host.Notices().empty());
    EXPECT_EQ(5, host.Notices().back().itemId);
}

TEST(ViewHitTest, OnlyDrawChildAndDialogButtonAnswerForTheirChildren) {
    ViewHarness host(Layout("", R"(
        <dlg id="10" pos="0,0,100,50" onlydrawchild="1"><button id="11" pos="0,0,50,20"/></dlg>
        <dlgbtn id="301" pos="0,60,100,90"><img id="303" pos="0,0,20,20"/><link id="0" pos="20,0">all</link></dlgbtn>)"));
    EXPECT_EQ(host.Element(10)->Handle(), host.View().Body().ElementAt(10, 45, true));
    host.Click(5, 105);
    ASSERT_EQ(Codes({kTwPressed, kTwClick}), host.Codes());
    EXPECT_EQ(301, host.Notices().back().itemId);
    EXPECT_EQ("dlgbtn", host.Notices().back().tag);
}

TEST(ViewRouting, HoverMovesAndLeaves) {
    ViewHarness host(
        Layout("", R"(<button id="1" pos="0,0,50,20"/><button id="2" pos="60,0,110,20"/>)"));
    host.Move(10, 45);
    EXPECT_TRUE(host.Element(1)->Has(kTwHover));
    EXPECT_EQ(host.Element(1)->Handle(), host.View().Hovered());
    host.Move(70, 45);
    EXPECT_FALSE(host.Element(1)->Has(kTwHover));
    EXPECT_TRUE(host.Element(2)->Has(kTwHover));
    ASSERT_EQ(Codes({kTwMouseOver, kTwMouseOver, kTwMouseOut}), host.Codes(true));
    EXPECT_EQ(1, host.Notices()[2].itemId);
    host.Forget();
    host.Leave();
    EXPECT_FALSE(host.Element(2)->Has(kTwHover));
    ASSERT_EQ(Codes({kTwMouseOut}), host.Codes(true));
    EXPECT_EQ(2, host.Notices()[0].itemId);
}

// The tooltip keeps the rules of comctl32 5.82, which Windows loads for a
// program without the Common Controls 6 dependency: its tool is there and it
// shows the hovered element's tip.
TEST(ViewRouting, TheTooltipTakesTheHoveredElementsTipUnderTheOlderCommonControls) {
    OlderToolRecordRules rules;
    ViewHarness host(Layout("", R"(<imgbtn id="1" pos="0,0,50,20" tip="关闭"/>)"));
    HWND tooltip = host.View().Tooltip();
    ASSERT_NE(nullptr, tooltip);
    ASSERT_TRUE(rules.Watches(tooltip));
    EXPECT_EQ(1, SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    host.Move(10, 45);
    wchar_t text[32] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = host.View().Hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(host.View().Hwnd());
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(L"关闭", std::wstring(text));
    EXPECT_EQ(0, rules.Refused()) << "tool records larger than comctl32 5.82 takes";
}

TEST(ViewRouting, OwnerDrawnChildrenAreDrawnByTheViewsParent) {
    ViewHarness host(Layout("", ""));
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 40,
                                  20, host.View().Hwnd(), nullptr, nullptr, nullptr);
    ShowWindow(host.Parent(), SW_SHOWNOACTIVATE);
    UpdateWindow(button);
    EXPECT_GT(host.DrawItemRequests(), 0);
}

TEST(ViewRouting, ReleaseOutsideGivesNoClickAndClearsThePushedLook) {
    ViewHarness host(Layout("", R"(<button id="1" pos="0,0,50,20"/>)"));
    host.Press(10, 45);
    EXPECT_TRUE(host.Element(1)->Has(kTwPushed));
    host.Release(200, 150);
    EXPECT_FALSE(host.Element(1)->Has(kTwPushed));
    // Moving off reports the body (3), then the button left behind (4).
    EXPECT_EQ(Codes({kTwMouseOver, kTwPressed, kTwMouseOver, kTwMouseOut}), host.Codes(true));
    EXPECT_EQ(Codes({kTwPressed}), host.Codes());
    EXPECT_EQ(0u, host.View().Pressed());
}

TEST(ViewRouting, DisabledElementReportsMovesOnly) {
    ViewHarness host(Layout("", R"(<button id="1" pos="0,0,50,20"/>)"));
    host.Element(1)->ChangeState(kTwDisabled, 0);
    host.Click(10, 45);
    EXPECT_EQ(Codes({kTwMouseOver, kTwMouseOver}), host.Codes(true));
    EXPECT_FALSE(host.Element(1)->Has(kTwHover | kTwPushed));
    // A disabled container disables what is inside it.
    ViewHarness nested(
        Layout("", R"(<dlg pos="0,0,100,50"><button id="7" pos="0,0,50,20"/></dlg>)"));
    static_cast<CTwWindow*>(nested.Element(7)->Parent())->ChangeState(kTwDisabled, 0);
    nested.Click(10, 45);
    EXPECT_EQ(Codes({}), nested.Codes());
}

TEST(ViewRouting, HrefOpensInsteadOfClicking) {
    std::wstring opened;
    CTwDialogView::SetHrefOpener([&opened](const wchar_t* target) { opened = target; });
    ViewHarness host(
        Layout("", R"(<link id="5" pos="0,0,50,20" href="https://example.org/x">go</link>)"));
    host.Click(10, 45);
    CTwDialogView::SetHrefOpener(nullptr);
    EXPECT_EQ(L"https://example.org/x", opened);
    EXPECT_EQ(Codes({kTwPressed}), host.Codes());
}

TEST(ViewRouting, HeaderBackgroundDragsTheWindowUnlessNoMove) {
    const std::string header =
        R"(<text pos="10,10">title</text><imgbtn id="9" pos="-20,8" skin="four"/>)";
    ViewHarness host(Layout(header, ""));
    host.Press(150, 20);
    host.Press(15, 15); // the passive title text
    EXPECT_EQ((std::vector<WPARAM>{0xF012, 0xF012}), host.SysCommands());
    EXPECT_EQ(Codes({}), host.Codes());
    host.Release(15, 15);
    host.Forget();
    host.Click(285, 10); // the close button takes the press
    EXPECT_TRUE(host.SysCommands().empty());
    EXPECT_EQ(Codes({kTwPressed, kTwClick}), host.Codes());
    EXPECT_EQ(9, host.Notices().back().itemId);

    ViewHarness fixed(Layout(header, "", "nomove=\"1\""));
    fixed.Press(150, 20);
    EXPECT_TRUE(fixed.SysCommands().empty());
    EXPECT_EQ(Codes({}), fixed.Codes());
}

TEST(ViewRouting, DoubleClickOnHeaderMaximizesResizableWindows) {
    ViewHarness resizable(Layout("", "", "resize=\"1\""));
    SendMessageW(resizable.View().Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 10));
    EXPECT_EQ((std::vector<WPARAM>{0xF032}), resizable.SysCommands());
    ViewHarness fixed(Layout("", R"(<button id="3" pos="0,0,50,20"/>)"));
    SendMessageW(fixed.View().Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 10));
    SendMessageW(fixed.View().Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 45));
    SendMessageW(fixed.View().Hwnd(), WM_RBUTTONDOWN, 0, MAKELPARAM(10, 45));
    EXPECT_TRUE(fixed.SysCommands().empty());
    EXPECT_EQ(Codes({kTwDoubleClick, kTwRightPressed}), fixed.Codes());
    EXPECT_EQ(3, fixed.Notices().back().itemId);
}

TEST(ViewRouting, DestroyedElementsResolveToNothing) {
    const std::size_t before = TwElementRegistry::Instance().LiveCount();
    {
        ViewHarness host(Layout("<text>t</text>", R"(<button id="1" pos="0,0,50,20"/>)"));
        host.Press(10, 45);
        const TwHandle pressed = host.View().Pressed();
        ASSERT_NE(0u, pressed);
        ASSERT_TRUE(host.View().LoadLayoutText(Layout("", "<text>other</text>")));
        EXPECT_EQ(nullptr, ResolveElement(pressed));
        EXPECT_EQ(0u, host.View().Pressed());
        host.Release(10, 45); // nothing pressed any more: no click
        EXPECT_EQ(Codes({kTwPressed}), host.Codes());
    }
    EXPECT_EQ(before, TwElementRegistry::Instance().LiveCount());
}

TEST(ViewRouting, SetElementAttributeAndShowElementFindByIdOrFail) {
    ViewHarness host(Layout("", R"(<dlg pos="0,0,-0,-0"><button id="8" pos="0,0,50,20"/></dlg>)"));
    ASSERT_TRUE(host.View().SetElementAttribute(8, "pos", "100,40,-40,160"));
    const RECT rect = host.Element(8)->Rect();
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(80, rect.top);
    EXPECT_EQ(260, rect.right);
    EXPECT_EQ(200, rect.bottom);
    EXPECT_TRUE(host.View().ShowElement(8, false));
    EXPECT_FALSE(host.Element(8)->IsShown());
    host.Click(150, 100); // the body is hit, and has no id to click with
    ASSERT_EQ(Codes({kTwPressed}), host.Codes());
    EXPECT_EQ(0, host.Notices().back().itemId);
    EXPECT_FALSE(host.View().SetElementAttribute(99, "pos", "0,0"));
    EXPECT_FALSE(host.View().ShowElement(99, true));
}
