// The main window end to end in this process: files dropped as the shell
// drops them are analysed by the component, listed and summarised; a
// duplicate gets its box; OK commits the checked rows to the component and
// the store; the operated tab lists them and takes one off again.

#include "tests/app/MainWindowFixture.h"

TEST(WardenTexts, BoxTextsSummaryBadgeAndSelectAll) {
    EXPECT_EQ(L"“a.exe”", PrepareMsgBoxText(L"a.exe", 1));
    // The one duplicate box of a drop: the first name, then how many more,
    // before the line break that a cut name ends with.
    EXPECT_EQ(L"“a.exe”", DuplicateBoxText(L"a.exe", 0));
    EXPECT_EQ(L"“a.exe”及另外 2 个文件", DuplicateBoxText(L"a.exe", 2));
    EXPECT_EQ(L"“" + std::wstring(64, L'n') + L"……”及另外 1 个文件\n",
              DuplicateBoxText(std::wstring(70, L'n'), 1));
    EXPECT_EQ(L"a.exe", PrepareMsgBoxText(L"a.exe", 8));
    EXPECT_EQ(L"“x.exe”", PrepareMsgBoxText(L"C:\\dir\\x.exe", 3));
    EXPECT_EQ(L"", PrepareMsgBoxText(L"", 12));
    const std::wstring longName(70, L'n');
    EXPECT_EQ(L"“" + std::wstring(64, L'n') + L"……”\n", PrepareMsgBoxText(longName, 1));
    // A removal question: the name on a line of its own, at most two lines.
    EXPECT_EQ(L"“a.exe”\n", PrepareMsgBoxText(L"a.exe", 12));
    EXPECT_EQ(L"“" + std::wstring(28, L'n') + L"……”\n", PrepareMsgBoxText(longName, 13));
    EXPECT_NE(std::string::npos, SummaryMarkup(4, 1, 502).find("<![CDATA[ 4 ]]>"));
    EXPECT_NE(std::string::npos, SummaryMarkup(4, 1, 504).find("<a id=\"504\">格式</a>"));
    EXPECT_EQ(L"99+", BadgeText(100));
    EXPECT_EQ(L"7", BadgeText(7));
    EXPECT_STREQ("0", SelectAllFor(0, 0).sub);
    EXPECT_FALSE(SelectAllFor(0, 0).enabled);
    EXPECT_STREQ("2", SelectAllFor(3, 0).sub);
    EXPECT_STREQ("3", SelectAllFor(3, 1).sub);
    EXPECT_TRUE(SelectAllFor(3, 3).allChecked);
}

TEST_F(MainWindow, DropCommitAndRemoveEndToEnd) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    std::wstring title(32, L'\0');
    GetWindowTextW(window.Hwnd(), &title[0], 32);
    EXPECT_EQ(L"vmruserwarden", std::wstring(title.c_str()));
    EXPECT_TRUE(window.FindById(WardenElement::kWhitelistOk)->IsDisabled());

    // Two PE files and one text file dropped on the whitelist tab.
    ASSERT_TRUE(DropAndWait(window, m_files));
    EXPECT_EQ(
        L"本次共添加 3 个文件，其中 1 个文件不符合添加格式",
        static_cast<CTwRichText*>(window.FindById(WardenElement::kWhitelistSummary))->PlainText());
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(2, pending.Rows().Count());
    EXPECT_EQ(L"one.exe", pending.CellText(0, 0));
    EXPECT_EQ(L"删除", pending.CellText(0, 2));
    EXPECT_EQ(2, pending.CountChecked());
    EXPECT_FALSE(window.FindById(WardenElement::kWhitelistOk)->IsDisabled());
    EXPECT_EQ(1, static_cast<CTwImageWnd*>(window.FindById(WardenElement::kWhitelistSelectAllImage))
                     ->Sub()); // all checked

    // The same file again: the duplicate box, no new row.
    EXPECT_EQ((std::vector<int>{BoxMode::kAlreadyListed}),
              DropAnsweringBoxes(window, {m_files[0]}));
    EXPECT_EQ(L"“one.exe”", m_dropNoticeTexts.at(0));
    EXPECT_EQ(2, pending.Rows().Count());

    // OK commits both to the component and the store.
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    CListViewCtrlEx& operated = window.List(2);
    EXPECT_TRUE(PumpUntil([&] {
        return pending.CellText(0, 2) == L"处理成功" && pending.CellText(1, 2) == L"处理成功" &&
               !window.BusyWithCommit(0) && operated.Rows().Count() == 4 &&
               window.FindById(WardenElement::kBadge)->IsShown();
    }));
    EXPECT_EQ(0, pending.CountWithBox()); // done rows have no box any more
    EXPECT_EQ(2, TrustedInStore());
    EXPECT_EQ(L"2", window.FindById(WardenElement::kBadgeText)->Text());
    EXPECT_EQ(4, operated.ShownCount()); // two groups, two entries in the first
    const int entry = operated.FindByKey(pending.Rows().Row(0)->key);
    ASSERT_EQ(1, entry);

    // The operated tab hides the badge; its restore link takes the entry off.
    auto* tabs = static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl));
    ASSERT_TRUE(tabs->SelectTab(2));
    EXPECT_FALSE(window.FindById(WardenElement::kBadge)->IsShown());
    EXPECT_TRUE(window.FindById(203)->IsShown());
    EXPECT_FALSE(window.FindById(201)->IsShown());
    testsupport::BoxAnswerer confirm(BoxElement::kOkButton);
    ClickLinkAndSettle(window, 2, entry);
    EXPECT_EQ(3, operated.Rows().Count());
    EXPECT_EQ(1, TrustedInStore());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, ADropShowsOneDuplicateBoxThatNamesTheFirstAndCountsTheOthers) {
    const std::wstring folder = m_dir.File(L"many");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::vector<std::wstring> files;
    for (int i = 0; i < 40; ++i) {
        files.push_back(folder + L"\\f" + std::to_wstring(100 + i) + L".exe");
        testsupport::WritePeFile(files.back(), "many " + std::to_string(i));
    }
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, {folder}));
    ASSERT_EQ(40, window.List(0).Rows().Count());

    // The whole folder again, with one new file: forty duplicates, one box.
    testsupport::WritePeFile(folder + L"\\new.exe", "new");
    EXPECT_EQ((std::vector<int>{BoxMode::kAlreadyListed}), DropAnsweringBoxes(window, {folder}));
    ASSERT_EQ(1u, m_dropNoticeTexts.size());
    const std::wstring& text = m_dropNoticeTexts[0];
    EXPECT_EQ(0u, text.find(L"“f1")) << text; // the first the walk found
    EXPECT_NE(std::wstring::npos, text.find(L"”及另外 39 个文件")) << text;
    EXPECT_EQ(41, window.List(0).Rows().Count());
    EXPECT_EQ(
        L"本次共添加 1 个文件，其中 0 个文件不符合添加格式",
        static_cast<CTwRichText*>(window.FindById(WardenElement::kWhitelistSummary))->PlainText());

    // A drop without duplicates shows no box at all.
    testsupport::WritePeFile(m_dir.File(L"other.exe"), "other");
    EXPECT_TRUE(DropAnsweringBoxes(window, {m_dir.File(L"other.exe")}).empty());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, AStoreLockedByAnotherProgramDoesNotKeepTheWindowFromShowing) {
    {
        ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
        store.Open();
        store.InitUserTrustedTable();
        store.InitUserBlackTable();
        const UserListRecord record =
            MakeUserListRecord("0cc175b9c0f1b6a831c399e269772661", "1700000000", "C:\\a.exe");
        ASSERT_NE(-1, store.AddUserTrustedData(&record));
    }
    ORBDBSqliteConn holder(m_dir.File(L"UserSign.dat"), 1000);
    ASSERT_EQ(0, holder.Open());
    ASSERT_EQ(0, holder.ExecSql("BEGIN EXCLUSIVE;"));

    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    const DWORD start = GetTickCount();
    ASSERT_NE(nullptr, window.CreateHostWindow(nullptr, nullptr));
    EXPECT_LT(GetTickCount() - start, 3000u);
    // While the store is held, the window answers and its operated tab
    // shows the two groups only; a drop waits for the store, not the window.
    ASSERT_FALSE(PumpUntil([&] { return window.OperatedLoaded(); }, 1500));
    EXPECT_EQ(2, window.List(2).ShownCount());
    SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({m_files[0]})), 0);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutW(window.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 500, &answer));

    ASSERT_EQ(0, holder.ExecSql("COMMIT;"));
    ASSERT_TRUE(PumpUntil([&] { return window.OperatedLoaded(); }));
    EXPECT_EQ(3, window.List(2).ShownCount());
    EXPECT_GE(window.List(2).FindByKey("0cc175b9c0f1b6a831c399e269772661"), 0);
    ASSERT_TRUE(
        PumpUntil([&] { return window.FindById(WardenElement::kWhitelistSummary)->IsShown(); }));
    EXPECT_EQ(1, window.List(0).Rows().Count());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, ARemovalTheComponentRefusesShowsItsBoxAndKeepsTheEntry) {
    {
        ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
        store.Open();
        store.InitUserTrustedTable();
        const UserListRecord record =
            MakeUserListRecord("0cc175b9c0f1b6a831c399e269772661", "1700000000", "C:\\a.exe");
        ASSERT_NE(-1, store.AddUserTrustedData(&record));
    }
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    CListViewCtrlEx& operated = window.List(2);
    const int entry = operated.FindByKey("0cc175b9c0f1b6a831c399e269772661");
    ASSERT_GE(entry, 0);
    const int rows = operated.Rows().Count();
    // A folder where the component's update lock file goes: it cannot
    // begin a change of its lists.
    ASSERT_TRUE(CreateDirectoryW(m_dir.File(L"lists.txt.lock").c_str(), nullptr));
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));

    testsupport::BoxAnswerer answers;
    ClickLinkAndSettle(window, 2, entry);
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kNoCloudEngine}, answers.Notices());
    EXPECT_EQ(rows, operated.Rows().Count());
    EXPECT_EQ(entry, operated.FindByKey("0cc175b9c0f1b6a831c399e269772661"));
    EXPECT_EQ(1, TrustedInStore());
    DestroyWindow(window.Hwnd());
    RemoveDirectoryW(m_dir.File(L"lists.txt.lock").c_str());
}

TEST_F(MainWindow, AFileWhosePathTheStoreCannotRecordIsRefusedBeforeTheComponentTakesIt) {
    // A Thai letter has no form in the Chinese code page the store uses.
    const std::wstring foreign = m_dir.File(L"\x0E01.exe");
    testsupport::WritePeFile(foreign, "foreign");
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, {m_files[0], foreign}));
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(2, pending.Rows().Count());
    const std::string foreignMd5 = pending.Rows().Row(1)->key;

    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil(
        [&] { return pending.CellText(0, 2) == L"处理成功" && !window.BusyWithCommit(0); }));
    EXPECT_EQ(L"路径无法记录", pending.CellText(1, 2));
    EXPECT_EQ(0, pending.CountWithBox());
    EXPECT_EQ(1, TrustedInStore());
    EXPECT_EQ(-1, window.List(2).FindByKey(foreignMd5));
    const std::string componentLists = testsupport::ReadFileBytes(m_dir.File(L"lists.txt"));
    EXPECT_NE(std::string::npos, componentLists.find(pending.Rows().Row(0)->key));
    EXPECT_EQ(std::string::npos, componentLists.find(foreignMd5));
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, PendingRowsLeaveByTheirLinkAndTheirBoxesReachTheSelectAllBox) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, m_files));
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(2, pending.Rows().Count());
    auto* selectAll =
        static_cast<CTwImageWnd*>(window.FindById(WardenElement::kWhitelistSelectAllImage));
    EXPECT_EQ(1, selectAll->Sub()); // all checked

    // A click on the first row's box, as the mouse makes it: the list tells
    // the main window through its registered message.
    RECT item = {};
    item.left = LVIR_BOUNDS;
    SendMessageW(pending.Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const RECT box = RowBoxRect(item);
    const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageW(pending.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(pending.Hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(PumpUntil([&] { return selectAll->Sub() == 3; }, 3000)); // some checked
    EXPECT_EQ(1, pending.CountChecked());

    // The "删除" link takes a pending row off the list, nothing else.
    const std::string second = pending.Rows().Row(1)->key;
    ClickLinkAndSettle(window, 0, 0);
    ASSERT_EQ(1, pending.Rows().Count());
    EXPECT_EQ(second, pending.Rows().Row(0)->key);
    EXPECT_EQ(0, TrustedInStore());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, ACommitTheComponentRefusesShowsItsBoxAndKeepsTheRowsPending) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, m_files));
    ASSERT_TRUE(CreateDirectoryW(m_dir.File(L"lists.txt.lock").c_str(), nullptr));
    testsupport::BoxAnswerer answers;
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil([&] { return !answers.Notices().empty() && !window.BusyWithCommit(0); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kNoCloudEngine}, answers.Notices());
    CListViewCtrlEx& pending = window.List(0);
    EXPECT_EQ(2, pending.CountChecked());
    EXPECT_EQ(L"删除", pending.CellText(0, 2));
    EXPECT_EQ(0, TrustedInStore());
    DestroyWindow(window.Hwnd());
    RemoveDirectoryW(m_dir.File(L"lists.txt.lock").c_str());
}

TEST_F(MainWindow, ACommitTheStoreCannotTakeShowsItsBoxAndLeavesTheRowsPending) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"), 300);
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, m_files));
    CListViewCtrlEx& pending = window.List(0);
    const std::string first = pending.Rows().Row(0)->key;
    ORBDBSqliteConn holder(m_dir.File(L"UserSign.dat"), 100);
    ASSERT_EQ(0, holder.Open());
    ASSERT_EQ(0, holder.ExecSql("BEGIN EXCLUSIVE;"));

    testsupport::BoxAnswerer answers;
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil([&] {
        return !answers.Notices().empty() && !window.BusyWithCommit(0) &&
               pending.CountChecked() == 2;
    }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(std::vector<std::wstring>{StoreWriteFailedText()}, answers.NoticeTexts());
    EXPECT_EQ(L"删除", pending.CellText(0, 2));
    EXPECT_EQ(L"删除", pending.CellText(1, 2));
    EXPECT_EQ(2, window.List(2).Rows().Count()); // the two group rows only
    EXPECT_EQ(std::string::npos, testsupport::ReadFileBytes(m_dir.File(L"lists.txt")).find(first));

    // Once the other program lets go, the same rows commit.
    ASSERT_EQ(0, holder.ExecSql("COMMIT;"));
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil([&] {
        return pending.CellText(1, 2) == L"处理成功" && window.List(2).Rows().Count() == 4;
    }));
    EXPECT_EQ(2, TrustedInStore());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, OperatedEntriesStayWhenTheQuestionIsCancelledAndBlacklistedOnesLeaveOnOk) {
    {
        ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
        store.Open();
        store.InitUserTrustedTable();
        store.InitUserBlackTable();
        const UserListRecord trusted =
            MakeUserListRecord("0cc175b9c0f1b6a831c399e269772661", "1700000000", "C:\\a.exe");
        const UserListRecord black =
            MakeUserListRecord("92eb5ffee6ae2fec3ad71c777531578f", "1700000001", "C:\\b.exe");
        ASSERT_NE(-1, store.AddUserTrustedData(&trusted));
        ASSERT_NE(-1, store.AddUserBlackData(&black));
    }
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));
    CListViewCtrlEx& operated = window.List(2);
    const int rows = operated.Rows().Count();

    // Cancel on the whitelist question: the entry stays everywhere.
    testsupport::BoxAnswerer cancel(BoxElement::kCancelButton);
    int entry = operated.FindByKey("0cc175b9c0f1b6a831c399e269772661");
    ASSERT_GE(entry, 0);
    ClickLinkAndSettle(window, 2, entry);
    EXPECT_EQ(12, cancel.ClickedMode());
    EXPECT_EQ(rows, operated.Rows().Count());
    EXPECT_EQ(1, TrustedInStore());

    // OK on the blacklist question (its own mode): the entry leaves.
    testsupport::BoxAnswerer confirm(BoxElement::kOkButton);
    entry = operated.FindByKey("92eb5ffee6ae2fec3ad71c777531578f");
    ASSERT_GE(entry, 0);
    ClickLinkAndSettle(window, 2, entry);
    EXPECT_EQ(13, confirm.ClickedMode());
    EXPECT_EQ(rows - 1, operated.Rows().Count());
    EXPECT_EQ(-1, operated.FindByKey("92eb5ffee6ae2fec3ad71c777531578f"));
    ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
    store.Open();
    EXPECT_EQ(-1, store.UserBlackExists("92eb5ffee6ae2fec3ad71c777531578f"));
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, AReportActsOnItsOwnRowWhileTheUserDeletesAnother) {
    const std::vector<std::wstring> files = {m_files[0], m_files[1], m_dir.File(L"three.exe"),
                                             m_dir.File(L"four.exe")};
    testsupport::WritePeFile(files[2], "third");
    testsupport::WritePeFile(files[3], "fourth");
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, files));
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(4, pending.Rows().Count());
    const std::string md5 = pending.Rows().Row(1)->key; // two.exe

    // The commit's two reports for two.exe, and after each the user deletes
    // the first row on the window's thread (one.exe, then two.exe itself).
    std::atomic<int> deletionsAsked{0};
    std::atomic<int> deletionsDone{0};
    std::atomic<bool> reported{false};
    const auto userDeletesTheFirstRow = [&] {
        const int asked = ++deletionsAsked;
        for (int waited = 0; deletionsDone.load() < asked && waited < 5000; ++waited)
            Sleep(1);
    };
    std::thread worker([&] {
        window.OnTrustedItemBegin(md5.c_str());
        userDeletesTheFirstRow();
        window.OnTrustedItemDone(md5.c_str());
        userDeletesTheFirstRow();
        reported = true;
    });
    PumpUntil([&] {
        if (deletionsDone.load() < deletionsAsked.load()) {
            pending.EditRows()->Delete(0);
            ++deletionsDone;
        }
        return reported.load();
    });
    worker.join();
    CListViewCtrlEx& operated = window.List(2);
    PumpUntil([&] { return operated.FindByKey(md5) >= 0; }, 3000);

    // three.exe and four.exe are untouched, still checked and pending.
    ASSERT_EQ(2, pending.Rows().Count());
    EXPECT_EQ(L"three.exe", pending.CellText(0, 0));
    EXPECT_EQ(L"删除", pending.CellText(0, 2));
    EXPECT_EQ(2, pending.CountChecked());
    // two.exe is on the operated tab under its own name and path.
    const int entry = operated.FindByKey(md5);
    ASSERT_GE(entry, 0);
    EXPECT_EQ(L"two.exe", operated.CellText(entry, 0));
    EXPECT_EQ(files[1], operated.Rows().Row(entry)->Tip());
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, TheBadgeCountsUpTo99AndThenSays99Plus) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    window.OnTrustedBatchDone(99);
    EXPECT_TRUE(PumpUntil([&] { return window.FindById(WardenElement::kBadge)->IsShown(); }, 3000));
    EXPECT_EQ(L"99", window.FindById(WardenElement::kBadgeText)->Text());
    window.OnBlackBatchDone(100);
    EXPECT_TRUE(PumpUntil(
        [&] { return window.FindById(WardenElement::kBadgeText)->Text() == L"99+"; }, 3000));
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, BlacklistTabSelectAllAndNoDropsOnTheOperatedTab) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    auto* tabs = static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl));
    ASSERT_TRUE(tabs->SelectTab(1));
    EXPECT_TRUE(window.FindById(202)->IsShown());
    ASSERT_TRUE(DropAndWait(window, m_files, 503));
    EXPECT_EQ(2, window.List(1).Rows().Count());
    EXPECT_EQ(0, window.List(0).Rows().Count());

    testsupport::ClickElement(
        window,
        WardenElement::kBlacklistSelectAll); // select all: every row was checked, so none is now
    EXPECT_EQ(0, window.List(1).CountChecked());
    EXPECT_EQ(
        2,
        static_cast<CTwImageWnd*>(window.FindById(WardenElement::kBlacklistSelectAllImage))->Sub());
    testsupport::ClickElement(window, WardenElement::kBlacklistSelectAll);
    EXPECT_EQ(2, window.List(1).CountChecked());

    ASSERT_TRUE(tabs->SelectTab(2));
    EXPECT_FALSE(GetWindowLongW(window.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    ASSERT_TRUE(tabs->SelectTab(0));
    EXPECT_TRUE(GetWindowLongW(window.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, TheOpenDialogAddsTheChosenFile) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    // Both pending tabs show an add button: 109 on the whitelist tab, 107 on
    // the blacklist tab.
    EXPECT_TRUE(window.FindById(WardenElement::kOpenFilesOnWhitelist)->IsShown());
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(1));
    ASSERT_TRUE(window.FindById(WardenElement::kOpenFiles)->IsShown());
    testsupport::ClickElement(window, WardenElement::kOpenFiles);
    // The dialog runs on the worker: name the file in it and confirm.
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        dialog = FindWindowW(L"#32770", nullptr);
        return dialog != nullptr && IsWindowVisible(dialog);
    }));
    SetDlgItemTextW(dialog, 0x47C, m_files[1].c_str()); // the file name box
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return window.List(1).Rows().Count() == 1; }));
    EXPECT_EQ(L"two.exe", window.List(1).CellText(0, 0));
    EXPECT_FALSE(window.FindById(WardenElement::kBlacklistSummary)
                     ->IsShown()); // no summary after the dialog
    DestroyWindow(window.Hwnd());
}

namespace {

struct FilterCall {
    HWND window;
    UINT message;
    DWORD action;
};

void StoreOneTrustedFile(const std::wstring& path) {
    ORBDBSqliteConn store(path, 1000);
    store.Open();
    store.InitUserTrustedTable();
    store.InitUserBlackTable();
    const UserListRecord record =
        MakeUserListRecord("0cc175b9c0f1b6a831c399e269772661", "1700000000", "C:\\a.exe");
    store.AddUserTrustedData(&record);
}

} // namespace

// Run elevated, the window would get no drop from an Explorer that is not:
// it lets the drop's three messages through the filter for itself.
TEST_F(MainWindow, TheWindowLetsTheShellsDropsThroughTheMessageFilter) {
    std::vector<FilterCall> calls;
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    window.SetMessageFilter([&calls](HWND hwnd, UINT message, DWORD action) {
        calls.push_back(FilterCall{hwnd, message, action});
        return true;
    });
    ASSERT_TRUE(Open(window));
    ASSERT_EQ(3u, calls.size());
    const UINT expected[] = {WM_DROPFILES, WM_COPYDATA, 0x0049};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(window.Hwnd(), calls[i].window);
        EXPECT_EQ(expected[i], calls[i].message);
        EXPECT_EQ(1u, calls[i].action); // MSGFLT_ALLOW
    }
    EXPECT_EQ(WS_EX_ACCEPTFILES, GetWindowLongW(window.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, AComponentOfTheOtherBitnessIsNamedAndTheStoredEntriesStillShow) {
    StoreOneTrustedFile(m_dir.File(L"UserSign.dat"));
    const std::wstring other = GetModuleFolder(nullptr) + L"other-arch\\vmrdetect.dll";
    const std::wstring bits = sizeof(void*) == 8 ? L"32" : L"64";
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    window.SetComponentLibrary(other);
    auto answers = std::make_unique<testsupport::BoxAnswerer>();
    ASSERT_TRUE(Open(window));
    EXPECT_GE(window.List(2).FindByKey("0cc175b9c0f1b6a831c399e269772661"), 0);
    ASSERT_TRUE(PumpUntil([&] { return !answers->Notices().empty(); }));
    answers->Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers->Notices());
    const std::wstring text = answers->NoticeTexts().at(0);
    EXPECT_NE(std::wstring::npos, text.find(other)) << WideToUtf8(text);
    EXPECT_NE(std::wstring::npos, text.find(L"它是 " + bits + L" 位")) << WideToUtf8(text);
    EXPECT_NE(std::wstring::npos, text.find(L"userwarden-win" + bits)) << WideToUtf8(text);

    // A drop then says the same instead of a summary of nothing.
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, DropAnsweringBoxes(window, m_files));
    EXPECT_EQ(std::vector<std::wstring>{text}, m_dropNoticeTexts);
    EXPECT_FALSE(window.FindById(WardenElement::kWhitelistSummary)->IsShown());
    // OK would say it again (on the commit's worker), not the cloud
    // engine's box: nothing is pending, so the removal of the stored entry
    // shows it, and the entry stays.
    auto* tabs = static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl));
    ASSERT_TRUE(tabs->SelectTab(2));
    answers = std::make_unique<testsupport::BoxAnswerer>();
    const int entry = window.List(2).FindByKey("0cc175b9c0f1b6a831c399e269772661");
    ClickLinkAndSettle(window, 2, entry);
    answers->Stop();
    EXPECT_EQ(std::vector<std::wstring>{text}, answers->NoticeTexts());
    EXPECT_GE(window.List(2).FindByKey("0cc175b9c0f1b6a831c399e269772661"), 0);
    DestroyWindow(window.Hwnd());
}

TEST_F(MainWindow, AStoreThatCannotBeWrittenIsNamedWithItsCauseAtStart) {
    const std::wstring path = m_dir.File(L"UserSign.dat");
    StoreOneTrustedFile(path);
    // Another program holds the file sharing reading only.
    UniqueFile held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.IsValid());
    QUserWardenDlg window(path, 300);
    testsupport::BoxAnswerer answers;
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(PumpUntil([&] { return !answers.Notices().empty(); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(L"记录文件 " + path +
                  L" 无法写入：该文件正被其他程序独占使用。提交的文件将无法记录。",
              answers.NoticeTexts().at(0));
    EXPECT_GE(window.List(2).FindByKey("0cc175b9c0f1b6a831c399e269772661"), 0);
    DestroyWindow(window.Hwnd());
}

// A file that another program holds is not "not in the adding format": it
// is named in a box of its own, and the summary counts only what was read.
TEST_F(MainWindow, FilesThatCannotBeReadAreNamedNotCountedAsRefused) {
    const std::wstring held = m_dir.File(L"held.exe");
    const std::wstring locked = m_dir.File(L"locked.exe");
    testsupport::WritePeFile(held, "held");
    testsupport::WritePeFile(locked, "locked");
    UniqueFile holdOne(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    UniqueFile holdTwo(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holdOne.IsValid() && holdTwo.IsValid());
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    std::vector<std::wstring> files = m_files;
    files.insert(files.begin() + 1, held);
    files.push_back(locked);
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, DropAnsweringBoxes(window, files));
    EXPECT_EQ(L"无法读取文件“held.exe”（文件正被其他程序占用）及另外 1 个文件，未添加到列表。",
              m_dropNoticeTexts.at(0));
    EXPECT_EQ(
        L"本次共添加 3 个文件，其中 1 个文件不符合添加格式",
        static_cast<CTwRichText*>(window.FindById(WardenElement::kWhitelistSummary))->PlainText());
    EXPECT_EQ(2, window.List(0).Rows().Count());
    DestroyWindow(window.Hwnd());
}
