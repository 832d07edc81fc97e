// The file list's keys: Space, Delete, Enter and the arrows on the focused
// row act as the mouse does on it, Ctrl+A and Enter go to the owner, Ctrl+C
// copies rows as text, and the focus comes to a row in view.

#include "tests/ui/windows/FileListFixture.h"
#include "ui/windows/ListRowText.h"

namespace {

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

TEST_F(FileList, SpaceTogglesTheFocusedBoxAndTellsWhatAClickTells) {
    SetWindowTextW(m_parent, kMainWindowTitle); // where the registered message goes
    AddPending("a");
    AddPending("b");
    const RECT first = ItemRect(0);
    Click(0, 1, POINT{300, (first.top + first.bottom) / 2});
    ASSERT_TRUE(m_list.IsChecked(0));
    const std::vector<Posted> byClick = m_posted;
    ASSERT_EQ(2u, byClick.size()); // the owner's, then the main window's
    m_posted.clear();

    FocusRow(1);
    Key(VK_SPACE);
    EXPECT_TRUE(m_list.IsChecked(1));
    ASSERT_EQ(byClick.size(), m_posted.size());
    EXPECT_EQ(kListCheckToggle, m_posted[0].message);
    EXPECT_EQ(1u, m_posted[0].wparam); // the row
    EXPECT_EQ(1, m_posted[0].lparam);  // checked now
    EXPECT_EQ(byClick[1].message, m_posted[1].message);
    EXPECT_EQ(byClick[1].wparam, m_posted[1].wparam); // the list's control id
    m_posted.clear();
    Key(VK_SPACE);
    EXPECT_FALSE(m_list.IsChecked(1));
    ASSERT_FALSE(m_posted.empty());
    EXPECT_EQ(0, m_posted[0].lparam);
    EXPECT_TRUE(m_list.IsChecked(0)); // the other row kept its box
}

TEST_F(FileList, DeleteClicksTheFocusedRowsLinkOnlyWhileItHasOne) {
    AddPending("a");
    AddPending("b");
    FocusRow(1);
    Key(VK_DELETE);
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListLinkClick, m_posted[0].message);
    EXPECT_EQ(1u, m_posted[0].wparam);
    EXPECT_EQ(2, m_posted[0].lparam);
    const CListViewCtrlEx::ClickedLink link = m_list.TakeClickedLink();
    EXPECT_EQ("b", link.key);
    EXPECT_EQ(-1, link.group);

    // A commit took the row's link: the key clicks nothing, and the box
    // stays as it was.
    m_list.EditRows()->SetCell(1, 2, kCellText, L"正在处理");
    m_posted.clear();
    Key(VK_DELETE);
    EXPECT_TRUE(m_posted.empty());
    CListViewCtrlEx::ClickedLink none;
    EXPECT_FALSE(m_list.PeekClickedLink(none));
    EXPECT_FALSE(m_list.IsChecked(1));
}

TEST_F(FileList, CtrlAAndEnterAreTheOwnersToHandle) {
    AddPending("a");
    FocusRow(0);
    Key('A', true);
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListSelectAllKey, m_posted[0].message);
    EXPECT_EQ(401u, m_posted[0].wparam);
    EXPECT_FALSE(m_list.IsChecked(0)); // the owner checks, as its select-all box does
    m_posted.clear();

    Key('A'); // without Ctrl, a letter is the platform's
    EXPECT_TRUE(m_posted.empty());

    EXPECT_EQ(1, PreTranslateKey(VK_RETURN)); // taken: the dialog's Enter does not run
    ASSERT_EQ(1u, m_posted.size());
    EXPECT_EQ(kListEnterKey, m_posted[0].message);
    EXPECT_EQ(401u, m_posted[0].wparam);
    EXPECT_EQ(0, m_posted[0].lparam);
    m_posted.clear();
    EXPECT_EQ(0, PreTranslateKey(VK_ESCAPE)); // the dialog's
    EXPECT_TRUE(m_posted.empty());
}

TEST_F(FileList, GroupRowsFoldAndUnfoldByKeysAsByClicks) {
    m_list.EditRows()->InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    m_list.EditRows()->AppendToGroup(0, {L"c", "c", L""});
    m_list.EditRows()->AppendToGroup(0, {L"d", "d", L""});
    ASSERT_EQ(3, ItemCount());
    FocusRow(0);
    Key(VK_SPACE);
    EXPECT_EQ(1, ItemCount());
    Key(VK_SPACE);
    EXPECT_EQ(3, ItemCount());
    Key(VK_LEFT);
    EXPECT_EQ(1, ItemCount());
    Key(VK_LEFT); // folded already: stays so
    EXPECT_EQ(1, ItemCount());
    Key(VK_RIGHT);
    EXPECT_EQ(3, ItemCount());
    EXPECT_EQ(1, PreTranslateKey(VK_RETURN));
    EXPECT_EQ(1, ItemCount());
    EXPECT_TRUE(m_posted.empty()); // the group's own: the owner is not told
    EXPECT_EQ(1, PreTranslateKey(VK_RETURN));
    EXPECT_EQ(3, ItemCount());
}

TEST_F(FileList, TheListGainingTheFocusFocusesARowInView) {
    for (int i = 0; i < 100; ++i)
        m_list.EditRows()->AppendItemRow({L"x", std::to_string(i), L""});
    SendMessageW(m_list.Hwnd(), LVM_ENSUREVISIBLE, 80, FALSE);
    const int top = static_cast<int>(SendMessageW(m_list.Hwnd(), LVM_GETTOPINDEX, 0, 0));
    ASSERT_GT(top, 50);
    ASSERT_EQ(-1, m_list.FocusedIndex());
    SetFocus(m_list.Hwnd());
    ASSERT_EQ(m_list.Hwnd(), GetFocus());
    EXPECT_EQ(top, m_list.FocusedIndex());

    // A focused row scrolled out of view meanwhile gives way to one in view.
    SetFocus(m_parent);
    SendMessageW(m_list.Hwnd(), LVM_ENSUREVISIBLE, 5, FALSE);
    const int newTop = static_cast<int>(SendMessageW(m_list.Hwnd(), LVM_GETTOPINDEX, 0, 0));
    ASSERT_LT(newTop, top);
    SetFocus(m_list.Hwnd());
    EXPECT_EQ(newTop, m_list.FocusedIndex());
}

TEST_F(FileList, CtrlCCopiesTheSelectedRowOrElseTheFocusedOne) {
    AddPending("a");
    m_list.EditRows()->AppendItemRow(
        {L"b.exe",
         "b",
         L"D:\\b.exe",
         kRowCheckBox,
         {MakeCell(kCellText, L"md5b"), MakeCell(kCellLink, L"删除")}});
    FocusRow(1);
    Key('C', true);
    EXPECT_EQ(L"b.exe\tmd5b\tD:\\b.exe", ClipboardText(m_parent));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list.Hwnd(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    Key('C', true);
    EXPECT_EQ(L"a.exe\t0cc175b9c0f1b6a831c399e269772661\tC:\\a.exe", ClipboardText(m_parent));
}

TEST(ListRowText, FileNameMd5AndPathPerLineWithoutGroupRows) {
    ListRowTable rows;
    rows.InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    rows.AppendToGroup(0, {L"a.exe",
                           "a",
                           L"C:\\dir\\a.exe",
                           0,
                           {MakeCell(kCellText, L"md5a"), MakeCell(kCellLink, L"恢复")}});
    // An entry stored without a path: what the row has.
    rows.AppendToGroup(0, {L"", "b", L"", 0, {MakeCell(kCellText, L"md5b")}});
    rows.AppendItemRow({L"c.exe",
                        "c",
                        L"C:\\c.exe",
                        kRowCheckBox,
                        {MakeCell(kCellText, L"md5c"), MakeCell(kCellText, L"正在处理")}});
    EXPECT_EQ(L"a.exe\tmd5a\tC:\\dir\\a.exe", RowCopyLine(*rows.Row(1)));
    EXPECT_EQ(L"\tmd5b", RowCopyLine(*rows.Row(2)));
    EXPECT_EQ(L"", RowCopyLine(*rows.Row(0)));
    EXPECT_EQ(L"a.exe\tmd5a\tC:\\dir\\a.exe\r\n\tmd5b\r\nc.exe\tmd5c\tC:\\c.exe",
              RowsCopyText({rows.Row(0), rows.Row(1), rows.Row(2), rows.Row(3)}));
    EXPECT_EQ(L"c.exe\tmd5c\tC:\\c.exe", RowsCopyText({rows.Row(3), rows.Row(0)}));
    EXPECT_EQ(L"", RowsCopyText({rows.Row(0)}));
}
