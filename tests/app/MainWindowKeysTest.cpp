// The main window's lists under the keyboard, through the dialog's loop as
// the user's keys go: Ctrl+A and Enter in a pending list act as the tab's
// select-all box and OK button, Delete as the focused row's link.

#include "tests/app/MainWindowFixture.h"
#include "ui/engine/TwNotifyRecords.h"

namespace {

// A key pressed in `target` (with Ctrl held when `control`), offered to the
// dialog before dispatch as its loop does.
void PressKey(QUserWardenDlg& window, HWND target, UINT key, bool control = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message = {target, WM_KEYDOWN, key, 0, GetTickCount(), {}};
    if (!window.PreTranslateMessage(message))
        DispatchMessageW(&message);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// The window's fixture, as a suite of this file's own.
class MainWindowKeys : public MainWindow {};

} // namespace

TEST_F(MainWindowKeys, KeysInAPendingListActAsItsSelectAllBoxOkButtonAndLinks) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    EXPECT_EQ(L"文件加白列表", window.List(0).AccessibleName());
    EXPECT_EQ(L"文件加黑列表", window.List(1).AccessibleName());
    EXPECT_EQ(L"已操作文件列表", window.List(2).AccessibleName());
    ASSERT_TRUE(DropAndWait(window, m_files));
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(2, pending.CountChecked());
    SetFocus(pending.Hwnd());
    ASSERT_EQ(pending.Hwnd(), GetFocus());
    auto* image =
        static_cast<CTwImageWnd*>(window.FindById(WardenElement::kWhitelistSelectAllImage));

    // Ctrl+A as a click on the select-all box: all were checked, so none is.
    PressKey(window, pending.Hwnd(), 'A', true);
    EXPECT_TRUE(PumpUntil([&] { return pending.CountChecked() == 0; }, 3000));
    EXPECT_EQ(2, image->Sub());
    PressKey(window, pending.Hwnd(), 'A', true);
    EXPECT_TRUE(PumpUntil([&] { return pending.CountChecked() == 2; }, 3000));
    // A disabled select-all box takes no click, nor the key.
    CTwWindow* selectAll = window.FindById(WardenElement::kWhitelistSelectAll);
    selectAll->ChangeStateWithRepaint(kTwDisabled, 0);
    PressKey(window, pending.Hwnd(), 'A', true);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(2, pending.CountChecked());
    selectAll->ChangeStateWithRepaint(0, kTwDisabled);

    // Delete on the focused row, as its "删除" link.
    const std::string second = pending.Rows().Row(1)->key;
    ASSERT_EQ(0, pending.FocusedIndex());
    PressKey(window, pending.Hwnd(), VK_DELETE);
    ClickLinkAndSettle(window, 0, -1); // the click the key posted
    ASSERT_EQ(1, pending.Rows().Count());
    EXPECT_EQ(second, pending.Rows().Row(0)->key);

    // Enter presses OK: the row left is committed.
    PressKey(window, pending.Hwnd(), VK_RETURN);
    EXPECT_TRUE(PumpUntil(
        [&] { return pending.CellText(0, 2) == L"处理成功" && !window.BusyWithCommit(0); }));
    EXPECT_EQ(1, TrustedInStore());
    DestroyWindow(window.Hwnd());
}
