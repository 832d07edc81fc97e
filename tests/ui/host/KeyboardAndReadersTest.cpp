// The whole dialog by keyboard and through a screen reader's eyes: the
// order Tab takes, the keys on the focused element, the tab-switching keys,
// the focus cue, and the tree of IAccessible objects a reader walks.

#include <string>
#include <vector>

#include <oleacc.h>

#include "tests/support/ChildVariant.h"
#include "tests/support/GTest.h"
#include "ui/engine/CTwDialogHost.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwKeyboardFocus.h"

namespace {

using testsupport::ChildVariant;

const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Tab order by layout: the tab control first, the list-like button last;
// a hidden button, a disabled one and one left out by tabindex take no stop.
const char* const kLayout = R"(<layer title="键盘测试" width="400" height="300">
  <header height="40">
    <imgbtn id="9" pos="-20,8,-4,24" tip="关闭" tabindex="9"/>
    <tabctrl id="20" pos="0,10,300,40" tabwidth="60" tabheight="24" tabindex="1">
      <tab title="甲"/><tab title="乙" hide="1"/><tab title="丙"/>
    </tabctrl>
  </header>
  <body>
    <skinbtn id="11" pos="10,10,90,34">确定</skinbtn>
    <skinbtn id="12" pos="100,10,180,34" show="0">隐藏</skinbtn>
    <skinbtn id="13" pos="190,10,270,34">不可用</skinbtn>
    <skinbtn id="14" pos="280,10,360,34" tabindex="-1">略过</skinbtn>
    <check id="15" pos="10,50,120,70">记住</check>
    <dlgbtn id="16" pos="10,80,80,100" accrole="check"><link pos="18,0">全选</link></dlgbtn>
    <richtext id="17" pos="10,120,380,160">共<a id="18">格式</a>与<a id="19">详情</a></richtext>
    <img pos="10,200,30,220" skin="none"/>
    <img pos="40,200,60,220" skin="none" accname="标志"/>
  </body>
</layer>)";

class KeyDialog : public CTwDialogImpl<KeyDialog> {
public:
    enum { IDD = 4243 };
    KeyDialog() { LoadLayoutText(kLayout); }
    std::vector<int> clicks;

protected:
    bool OnViewNotify(NMHDR& header, LRESULT&) override {
        if (header.code == kTwClick)
            clicks.push_back(reinterpret_cast<TwItemNotify&>(header).itemId);
        return true;
    }
};

void HoldKeys(bool control, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A key as the dialog's loop meets it, on the window that has the focus.
bool Press(KeyDialog& dialog, WPARAM key, bool control = false, bool shift = false) {
    HoldKeys(control, shift);
    MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    const bool used = dialog.PreTranslateMessage(message);
    HoldKeys(false, false);
    return used;
}

int FocusedId(KeyDialog& dialog) {
    const CTwWindow* element = ResolveElement(dialog.View().Focus().Current().element);
    return element ? element->CommandId() : 0;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The platform's setting that shows the focus cue always, off for the test
// (as Windows has it by default) and back as it was after.
class CuesOnlyByKeyboard {
public:
    CuesOnlyByKeyboard() {
        SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &m_was, 0);
        SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, nullptr, 0);
    }
    ~CuesOnlyByKeyboard() {
        SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(m_was ? 1 : 0), 0);
    }

private:
    BOOL m_was = FALSE;
};

struct Made {
    CuesOnlyByKeyboard cues;
    KeyDialog dialog;
    Made() {
        EXPECT_NE(nullptr, dialog.CreateHostWindow(nullptr, nullptr));
        ShowWindow(dialog.Hwnd(), SW_SHOW);
        dialog.FindById(13)->ChangeState(kTwDisabled, 0);
        SetFocus(dialog.View().Hwnd());
        dialog.View().Render(); // the paragraph's links have their places once painted
    }
    ~Made() { DestroyWindow(dialog.Hwnd()); }
};

// A reader's view of one child.
struct Seen {
    long role = 0;
    long state = 0;
    std::wstring name;
};

Seen Look(IAccessible* object, long child) {
    const VARIANT id = ChildVariant(child);
    Seen seen;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(object->get_accRole(id, &value)) && value.vt == VT_I4)
        seen.role = value.lVal;
    VariantInit(&value);
    if (SUCCEEDED(object->get_accState(id, &value)) && value.vt == VT_I4)
        seen.state = value.lVal;
    BSTR name = nullptr;
    if (object->get_accName(id, &name) == S_OK && name) {
        seen.name = name;
        SysFreeString(name);
    }
    return seen;
}

IAccessible* ObjectOf(HWND hwnd) {
    IAccessible* object = nullptr;
    EXPECT_EQ(S_OK, AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                               kIidAccessible, reinterpret_cast<void**>(&object)));
    return object;
}

std::vector<VARIANT> ChildrenOf(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    if (count > 0) {
        EXPECT_EQ(S_OK, AccessibleChildren(object, 0, count, children.data(), &got));
    }
    children.resize(static_cast<std::size_t>(got));
    return children;
}

class ComScope {
public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

} // namespace

TEST(FocusOrder, PositiveIndexesFirstThenDocumentOrderAndNegativesLeftOut) {
    const std::vector<FocusCandidate> candidates = {{{1, 0}, 0}, {{2, 0}, 3}, {{3, 0}, -1},
                                                    {{4, 0}, 1}, {{5, 0}, 0}, {{6, 0}, 3}};
    const std::vector<TwFocusStop> order = OrderStops(candidates);
    std::vector<TwHandle> handles;
    for (const TwFocusStop& stop : order)
        handles.push_back(stop.element);
    EXPECT_EQ((std::vector<TwHandle>{4, 2, 6, 1, 5}), handles);
}

TEST(FocusOrder, NextStopWrapsBothWaysAndStartsAtAnEndWhenOutside) {
    const std::vector<TwFocusStop> order = {{7, 0}, {7, 1}, {9, 0}};
    EXPECT_EQ(1u, NextStopIndex(order, {7, 0}, true));
    EXPECT_EQ(0u, NextStopIndex(order, {9, 0}, true));
    EXPECT_EQ(2u, NextStopIndex(order, {7, 0}, false));
    EXPECT_EQ(0u, NextStopIndex(order, {}, true));
    EXPECT_EQ(2u, NextStopIndex(order, {42, 0}, false));
    EXPECT_EQ(0u, NextStopIndex({}, {7, 0}, true));
}

TEST(DialogKeyboard, TabVisitsTheActingElementsInLayoutOrderAndWraps) {
    Made made;
    KeyDialog& dialog = made.dialog;
    std::vector<int> visited;
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(Press(dialog, VK_TAB));
        visited.push_back(FocusedId(dialog));
    }
    // The numbered ones first (the tab control, the close button), then OK,
    // the check, the dialog button, both links, and round again.
    EXPECT_EQ((std::vector<int>{20, 9, 11, 15, 16, 17, 17, 20}), visited);
    EXPECT_TRUE(Press(dialog, VK_TAB, false, true));
    EXPECT_EQ(17, FocusedId(dialog));
    EXPECT_EQ(1, dialog.View().Focus().Current().part);
}

TEST(DialogKeyboard, SpaceAndEnterClickTheFocusedElementAndItsLinks) {
    Made made;
    KeyDialog& dialog = made.dialog;
    dialog.View().Focus().FocusElement(11);
    EXPECT_TRUE(Press(dialog, VK_SPACE));
    dialog.View().Focus().FocusElement(15);
    EXPECT_TRUE(Press(dialog, VK_SPACE));
    EXPECT_TRUE(dialog.FindById(15)->Has(kTwChecked));
    dialog.View().Focus().FocusElement(16);
    EXPECT_TRUE(Press(dialog, VK_RETURN));
    dialog.View().Focus().Set(TwFocusStop{dialog.FindById(17)->Handle(), 1});
    EXPECT_TRUE(Press(dialog, VK_RETURN));
    EXPECT_EQ((std::vector<int>{11, 15, 16, 19}), dialog.clicks);
}

TEST(DialogKeyboard, TabKeysSwitchPagesSkippingHiddenOnesAndArrowsMoveOnTheHeaders) {
    Made made;
    KeyDialog& dialog = made.dialog;
    auto& tabs = static_cast<CTwTabCtrl&>(*dialog.FindById(20));
    EXPECT_TRUE(Press(dialog, VK_TAB, true));
    EXPECT_EQ(2, tabs.CurrentTab());
    EXPECT_TRUE(Press(dialog, VK_NEXT, true));
    EXPECT_EQ(0, tabs.CurrentTab());
    EXPECT_TRUE(Press(dialog, VK_PRIOR, true));
    EXPECT_EQ(2, tabs.CurrentTab());
    EXPECT_TRUE(Press(dialog, VK_TAB, true, true));
    EXPECT_EQ(0, tabs.CurrentTab());
    dialog.View().Focus().FocusElement(20);
    EXPECT_TRUE(Press(dialog, VK_RIGHT));
    EXPECT_EQ(2, tabs.CurrentTab());
    EXPECT_TRUE(Press(dialog, VK_HOME));
    EXPECT_EQ(0, tabs.CurrentTab());
    // Without a focused drawn element, Enter is the dialog's own (a click on 1).
    dialog.View().Focus().Forget();
    EXPECT_TRUE(Press(dialog, VK_RETURN));
    EXPECT_EQ((std::vector<int>{1}), dialog.clicks);
}

TEST(DialogKeyboard, TheCueShowsOnlyAfterTheKeyboardIsUsed) {
    Made made;
    KeyDialog& dialog = made.dialog;
    dialog.View().Focus().FocusElement(11);
    const RECT button = dialog.FindById(11)->Rect();
    // The cue's top edge, two pixels above the button (a dotted line: every
    // other pixel of it).
    const auto cueEdge = [&](const CTwBitmap& picture) {
        std::vector<std::uint32_t> pixels;
        for (int x = button.left - 2; x < button.left + 6; ++x)
            pixels.push_back(picture.GetPixel(x, button.top - 2));
        return pixels;
    };
    const std::vector<std::uint32_t> unfocused = cueEdge(dialog.View().Render());
    EXPECT_TRUE(Press(dialog, VK_TAB));
    EXPECT_TRUE(Press(dialog, VK_TAB, false, true));
    EXPECT_EQ(11, FocusedId(dialog));
    EXPECT_NE(unfocused, cueEdge(dialog.View().Render()));
}

TEST(DialogReaders, TheTreeNamesRolesAndStatesOfEveryToldElement) {
    ComScope com;
    Made made;
    KeyDialog& dialog = made.dialog;
    IAccessible* root = ObjectOf(dialog.Hwnd());
    ASSERT_NE(nullptr, root);
    const Seen self = Look(root, CHILDID_SELF);
    EXPECT_EQ(L"键盘测试", self.name);
    EXPECT_EQ(ROLE_SYSTEM_DIALOG, self.role);

    std::vector<Seen> seen;
    IAccessible* tabs = nullptr;
    IAccessible* paragraph = nullptr;
    for (VARIANT& child : ChildrenOf(root)) {
        if (child.vt == VT_DISPATCH) {
            IAccessible* object = nullptr;
            child.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object));
            child.pdispVal->Release();
            ASSERT_NE(nullptr, object);
            seen.push_back(Look(object, CHILDID_SELF));
            (seen.back().role == ROLE_SYSTEM_PAGETABLIST ? tabs : paragraph) = object;
        } else {
            seen.push_back(Look(root, child.lVal));
        }
    }
    // The close button, the tab control, four buttons, the check, the
    // dialog button, the paragraph and the named picture; the unnamed one is not told of.
    ASSERT_EQ(10u, seen.size());
    EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, seen[0].role);
    EXPECT_EQ(L"关闭", seen[0].name);
    EXPECT_EQ(L"确定", seen[2].name);
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE, seen[2].state & STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(STATE_SYSTEM_INVISIBLE, seen[3].state & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(STATE_SYSTEM_UNAVAILABLE, seen[4].state & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, seen[6].role);
    EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, seen[7].role);
    EXPECT_EQ(L"全选", seen[7].name);
    EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, seen[8].role);
    EXPECT_EQ(L"共格式与详情", seen[8].name);
    EXPECT_EQ(ROLE_SYSTEM_GRAPHIC, seen[9].role);
    EXPECT_EQ(L"标志", seen[9].name);

    ASSERT_NE(nullptr, tabs);
    std::vector<VARIANT> headers = ChildrenOf(tabs);
    ASSERT_EQ(2u, headers.size()); // the hidden tab is not offered
    EXPECT_EQ(L"甲", Look(tabs, headers[0].lVal).name);
    EXPECT_EQ(ROLE_SYSTEM_PAGETAB, Look(tabs, headers[1].lVal).role);
    EXPECT_NE(0, Look(tabs, headers[0].lVal).state & STATE_SYSTEM_SELECTED);
    EXPECT_EQ(0, Look(tabs, headers[1].lVal).state & STATE_SYSTEM_SELECTED);

    // A page tab's default action switches to it, once the reader's call is back.
    EXPECT_EQ(S_OK, tabs->accDoDefaultAction(headers[1]));
    Pump();
    EXPECT_EQ(2, static_cast<CTwTabCtrl&>(*dialog.FindById(20)).CurrentTab());

    ASSERT_NE(nullptr, paragraph);
    std::vector<VARIANT> links = ChildrenOf(paragraph);
    ASSERT_EQ(2u, links.size());
    EXPECT_EQ(ROLE_SYSTEM_LINK, Look(paragraph, links[1].lVal).role);
    EXPECT_EQ(L"详情", Look(paragraph, links[1].lVal).name);
    EXPECT_EQ(S_OK, paragraph->accDoDefaultAction(links[1]));
    Pump();
    EXPECT_EQ((std::vector<int>{19}), dialog.clicks);
    tabs->Release();
    paragraph->Release();
    root->Release();
}

TEST(DialogReaders, DefaultActionsFocusAndCheckedStateFollowTheElements) {
    ComScope com;
    Made made;
    KeyDialog& dialog = made.dialog;
    IAccessible* root = ObjectOf(dialog.View().Hwnd());
    ASSERT_NE(nullptr, root);
    const long check = static_cast<long>(dialog.FindById(15)->Handle());
    const long ok = static_cast<long>(dialog.FindById(11)->Handle());
    EXPECT_EQ(0, Look(root, check).state & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(S_OK, root->accDoDefaultAction(ChildVariant(check)));
    Pump();
    EXPECT_NE(0, Look(root, check).state & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(S_OK, root->accDoDefaultAction(ChildVariant(ok)));
    Pump();
    EXPECT_EQ((std::vector<int>{15, 11}), dialog.clicks);
    // A disabled element has no default action.
    EXPECT_NE(S_OK, root->accDoDefaultAction(
                        ChildVariant(static_cast<long>(dialog.FindById(13)->Handle()))));

    EXPECT_EQ(S_OK, root->accSelect(SELFLAG_TAKEFOCUS, ChildVariant(ok)));
    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(S_OK, root->get_accFocus(&focus));
    EXPECT_EQ(VT_I4, focus.vt);
    EXPECT_EQ(ok, focus.lVal);
    EXPECT_NE(0, Look(root, ok).state & STATE_SYSTEM_FOCUSED);
    root->Release();
}

TEST(DialogReaders, AnObjectHeldPastItsWindowFailsCleanly) {
    ComScope com;
    IAccessible* root = nullptr;
    {
        Made made;
        root = ObjectOf(made.dialog.Hwnd());
    }
    ASSERT_NE(nullptr, root);
    long count = -1;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, root->get_accChildCount(&count));
    root->Release();
}
