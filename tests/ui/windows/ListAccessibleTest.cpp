// The file list as screen readers reach it: through WM_GETOBJECT and the
// platform's accessibility calls, as a reader in another process would.

#include <string>
#include <utility>
#include <vector>

#include <oleacc.h>

#include "tests/support/WinEventRecorder.h"
#include "tests/support/ChildVariant.h"
#include "tests/ui/windows/FileListFixture.h"
#include "ui/windows/ListAccessibleTree.h"

namespace {

using testsupport::ChildVariant;

// IAccessible's interface id, spelt out (MinGW's oleacc import library
// defines a wrong one when it is linked before uuid).
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// An IAccessible held for a scope.
class Held {
public:
    explicit Held(IAccessible* object = nullptr) : m_object(object) {}
    ~Held() {
        if (m_object)
            m_object->Release();
    }
    Held(Held&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    IAccessible* operator->() const { return m_object; }
    IAccessible* Get() const { return m_object; }

private:
    IAccessible* m_object;
};

// The children as AccessibleChildren hands them out (each cleared by the caller).
std::vector<VARIANT> ChildrenOf(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    if (count > 0 && FAILED(AccessibleChildren(object, 0, count, children.data(), &got)))
        got = 0;
    children.resize(static_cast<std::size_t>(got));
    return children;
}

void Clear(std::vector<VARIANT>& variants) {
    for (VARIANT& variant : variants)
        VariantClear(&variant);
}

// The object a child variant holds, null for a simple child.
Held ObjectOf(const VARIANT& child) {
    IAccessible* object = nullptr;
    if (child.vt == VT_DISPATCH && child.pdispVal)
        child.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object));
    return Held(object);
}

long RoleOf(IAccessible* object, long child) {
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(ChildVariant(child), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

long StateOf(IAccessible* object, long child) {
    VARIANT state;
    VariantInit(&state);
    object->get_accState(ChildVariant(child), &state);
    return state.vt == VT_I4 ? state.lVal : -1;
}

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

std::wstring TextOf(IAccessible* object, long child, TextGetter getter) {
    BSTR text = nullptr;
    (object->*getter)(ChildVariant(child), &text);
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

std::wstring NameOf(IAccessible* object, long child) {
    return TextOf(object, child, &IAccessible::get_accName);
}

std::wstring ActionOf(IAccessible* object, long child) {
    return TextOf(object, child, &IAccessible::get_accDefaultAction);
}

// The WinEvents raised about a window's client, as an out-of-context hook of
// this thread hears them.
class HeardEvents {
public:
    explicit HeardEvents(HWND window)
        : m_window(window), m_recorder(EVENT_OBJECT_REORDER, EVENT_OBJECT_STATECHANGE,
                                       GetCurrentProcessId(), GetCurrentThreadId()) {}
    bool Hooked() const { return m_recorder.Hooked(); }
    // Whether `event` about child `child` was heard; forgets what was heard.
    bool Heard(DWORD event, LONG child) {
        bool found = false;
        for (const testsupport::HeardEvent& heard : m_recorder.Of(event))
            found = found || (heard.window == m_window && heard.object == OBJID_CLIENT &&
                              heard.child == child);
        m_recorder.Forget();
        return found;
    }

private:
    HWND m_window;
    testsupport::WinEventRecorder m_recorder;
};

class ListReader : public FileList {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        FileList::SetUp();
    }
    void TearDown() override {
        FileList::TearDown();
        CoUninitialize();
    }
    Held ListObject() const {
        IAccessible* object = nullptr;
        AccessibleObjectFromWindow(m_list.Hwnd(), static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                   reinterpret_cast<void**>(&object));
        return Held(object);
    }
    // An operated tab's rows: two foldable groups, entries with a link.
    void AddOperatedRows() {
        const auto entry = [](const wchar_t* name, const char* key) {
            return NewRow(name, key, std::wstring(L"C:\\") + name, 0,
                          {MakeCell(kCellText, L"md5"), MakeCell(kCellLink, L"恢复")});
        };
        m_list.EditRows()->InsertGroupRow(0, L"  已加白文件", kRowFoldable);
        m_list.EditRows()->AppendToGroup(0, entry(L"c.exe", "c"));
        m_list.EditRows()->AppendToGroup(0, entry(L"d.exe", "d"));
        m_list.EditRows()->InsertGroupRow(1, L"  已加黑文件", kRowFoldable);
        m_list.EditRows()->AppendToGroup(1, entry(L"e.exe", "e"));
    }
};

} // namespace

TEST_F(ListReader, TheListItsRowsAndTheirLinksAsReadersSeeThem) {
    m_list.SetAccessibleName(L"文件加白列表");
    AddPending("a");
    AddPending("b");
    m_list.EditRows()->SetCheck(1, true);
    m_list.EditRows()->AppendItemRow({L"c.exe", "c", L""});
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    EXPECT_EQ(ROLE_SYSTEM_LIST, RoleOf(list.Get(), CHILDID_SELF));
    EXPECT_EQ(L"文件加白列表", NameOf(list.Get(), CHILDID_SELF));

    std::vector<VARIANT> rows = ChildrenOf(list.Get());
    ASSERT_EQ(static_cast<std::size_t>(m_list.ShownCount()), rows.size());
    ASSERT_EQ(3u, rows.size());
    // Rows with a link are objects of their own; a plain row is a child id.
    EXPECT_EQ(VT_I4, rows[2].vt);
    EXPECT_EQ(3, rows[2].lVal);
    Held second = ObjectOf(rows[1]);
    ASSERT_NE(nullptr, second.Get());
    EXPECT_EQ(ROLE_SYSTEM_LISTITEM, RoleOf(second.Get(), CHILDID_SELF));
    EXPECT_EQ(L"a.exe, 0cc175b9c0f1b6a831c399e269772661", NameOf(second.Get(), CHILDID_SELF));
    EXPECT_TRUE(StateOf(second.Get(), CHILDID_SELF) & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(L"取消选中", ActionOf(second.Get(), CHILDID_SELF));
    EXPECT_FALSE(StateOf(list.Get(), 1) & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(L"选中", ActionOf(list.Get(), 1));
    EXPECT_EQ(L"c.exe", NameOf(list.Get(), 3));
    EXPECT_EQ(L"", ActionOf(list.Get(), 3));
    EXPECT_TRUE(StateOf(list.Get(), 3) & STATE_SYSTEM_SELECTABLE);

    std::vector<VARIANT> links = ChildrenOf(second.Get());
    ASSERT_EQ(1u, links.size());
    ASSERT_EQ(VT_I4, links[0].vt);
    const long link = links[0].lVal;
    EXPECT_EQ(kListLinkNodeBit | 2, link);
    EXPECT_EQ(ROLE_SYSTEM_LINK, RoleOf(second.Get(), link));
    EXPECT_EQ(L"删除", NameOf(second.Get(), link));
    EXPECT_EQ(L"单击", ActionOf(second.Get(), link));
    Clear(links);
    Clear(rows);
}

TEST_F(ListReader, AHiddenListIsInvisibleToReaders) {
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    EXPECT_FALSE(StateOf(list.Get(), CHILDID_SELF) & STATE_SYSTEM_INVISIBLE);
    // As the main window hides the lists of the tabs not shown.
    ShowWindow(m_list.Hwnd(), SW_HIDE);
    EXPECT_TRUE(StateOf(list.Get(), CHILDID_SELF) & STATE_SYSTEM_INVISIBLE);
    ShowWindow(m_list.Hwnd(), SW_SHOW);
    EXPECT_FALSE(StateOf(list.Get(), CHILDID_SELF) & STATE_SYSTEM_INVISIBLE);
}

TEST_F(ListReader, DefaultActionsRunAfterTheReadersCallOnTheRowOfTheirKey) {
    AddPending("a");
    AddPending("b");
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    EXPECT_EQ(S_OK, list->accDoDefaultAction(ChildVariant(2)));
    EXPECT_FALSE(m_list.IsChecked(1)); // not inside the reader's call
    // The row moves before the action runs: it follows the row's key.
    m_list.EditRows()->Delete(0);
    Pump();
    EXPECT_TRUE(m_list.IsChecked(0));
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListCheckToggle, m_posted[0].message);
    EXPECT_EQ(0u, m_posted[0].wparam);
    m_posted.clear();

    std::vector<VARIANT> rows = ChildrenOf(list.Get());
    ASSERT_EQ(1u, rows.size());
    Held row = ObjectOf(rows[0]);
    ASSERT_NE(nullptr, row.Get());
    EXPECT_EQ(S_OK, row->accDoDefaultAction(ChildVariant(kListLinkNodeBit | 1)));
    EXPECT_TRUE(m_posted.empty());
    Pump();
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListLinkClick, m_posted[0].message);
    EXPECT_EQ(2, m_posted[0].lparam);
    EXPECT_EQ("b", m_list.TakeClickedLink().key);
    // A row without a box or a link has no action.
    m_list.EditRows()->AppendItemRow({L"c.exe", "c", L""});
    EXPECT_NE(S_OK, list->accDoDefaultAction(ChildVariant(2)));
    Clear(rows);
}

TEST_F(ListReader, GroupRowsAreExpandedOrCollapsedAndNameTheirEntries) {
    AddOperatedRows();
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    long count = 0;
    list->get_accChildCount(&count);
    EXPECT_EQ(5, count);
    EXPECT_EQ(ROLE_SYSTEM_OUTLINEBUTTON, RoleOf(list.Get(), 1));
    EXPECT_EQ(L"已加白文件", NameOf(list.Get(), 1));
    EXPECT_TRUE(StateOf(list.Get(), 1) & STATE_SYSTEM_EXPANDED);
    EXPECT_EQ(L"折叠", ActionOf(list.Get(), 1));
    EXPECT_EQ(L"c.exe, md5, 已加白文件", NameOf(list.Get(), 2));
    EXPECT_EQ(L"e.exe, md5, 已加黑文件", NameOf(list.Get(), 5));

    EXPECT_EQ(S_OK, list->accDoDefaultAction(ChildVariant(1)));
    Pump();
    list->get_accChildCount(&count);
    EXPECT_EQ(3, count);
    EXPECT_TRUE(StateOf(list.Get(), 1) & STATE_SYSTEM_COLLAPSED);
    EXPECT_EQ(L"展开", ActionOf(list.Get(), 1));
    EXPECT_EQ(L"已加黑文件", NameOf(list.Get(), 2));
    EXPECT_EQ(L"e.exe, md5, 已加黑文件", NameOf(list.Get(), 3));
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(E_INVALIDARG, list->get_accRole(ChildVariant(4), &role)); // past the rows shown
}

TEST_F(ListReader, TheFocusedRowIsTheReadersAndChangesAreAnnounced) {
    AddPending("a");
    m_list.EditRows()->InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    m_list.EditRows()->AppendToGroup(0, {L"c", "c", L""});
    HeardEvents events(m_list.Hwnd());
    ASSERT_TRUE(events.Hooked());
    FocusRow(0);
    Key(VK_SPACE);
    EXPECT_TRUE(events.Heard(EVENT_OBJECT_STATECHANGE, 1));
    FocusRow(1);
    Key(VK_SPACE); // the group folds
    EXPECT_TRUE(events.Heard(EVENT_OBJECT_STATECHANGE, 2));

    SetFocus(m_list.Hwnd());
    Pump();
    events.Heard(0, 0); // forgets what the focus coming told
    FocusRow(0);
    Pump();
    EXPECT_TRUE(events.Heard(EVENT_OBJECT_FOCUS, 1));
    // The reader's focus is the focused row while the list has the focus.
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(S_OK, list->get_accFocus(&focus));
    EXPECT_EQ(VT_DISPATCH, focus.vt); // the pending row, with its link
    VariantClear(&focus);
    EXPECT_TRUE(StateOf(list.Get(), 1) & STATE_SYSTEM_FOCUSED);
    SetFocus(m_parent);
    EXPECT_EQ(S_FALSE, list->get_accFocus(&focus));
    EXPECT_FALSE(StateOf(list.Get(), 1) & STATE_SYSTEM_FOCUSED);
    SetFocus(m_list.Hwnd());
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list.Hwnd(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    Pump();
    EXPECT_TRUE(events.Heard(EVENT_OBJECT_SELECTION, 2));
}

TEST_F(ListReader, RowsSayWhereTheyAreAndWhetherTheyAreSelectedOrScrolledOut) {
    for (int i = 0; i < 60; ++i)
        m_list.EditRows()->AppendItemRow({L"x.exe", std::to_string(i), L""});
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list.Hwnd(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    Held list = ListObject();
    ASSERT_NE(nullptr, list.Get());
    EXPECT_TRUE(StateOf(list.Get(), 3) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(StateOf(list.Get(), 2) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(StateOf(list.Get(), 2) & STATE_SYSTEM_OFFSCREEN);
    EXPECT_TRUE(StateOf(list.Get(), 60) & STATE_SYSTEM_OFFSCREEN);
    VARIANT selected;
    VariantInit(&selected);
    ASSERT_EQ(S_OK, list->get_accSelection(&selected));
    EXPECT_EQ(VT_I4, selected.vt);
    EXPECT_EQ(3, selected.lVal);

    // The third row's place on the screen, and the row found there.
    RECT row = {};
    row.left = LVIR_BOUNDS;
    SendMessageW(m_list.Hwnd(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(m_list.Hwnd(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(S_OK, list->accLocation(&left, &top, &width, &height, ChildVariant(3)));
    EXPECT_EQ(row.left, left);
    EXPECT_EQ(row.top, top);
    EXPECT_EQ(row.bottom - row.top, height);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(S_OK, list->accHitTest(row.left + 50, (row.top + row.bottom) / 2, &hit));
    EXPECT_EQ(VT_I4, hit.vt);
    EXPECT_EQ(3, hit.lVal);
}
