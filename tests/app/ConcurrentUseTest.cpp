// The main window while its work runs: what the user does meanwhile meets
// commits and removals held at named points of the processor, so that the
// order is the test's, not the scheduler's. Rows, store and component agree
// at the end.

#include "app/OperatedRows.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/WorkGate.h"

namespace {

const char kA[] = "0cc175b9c0f1b6a831c399e269772661";
const char kC[] = "4a8a08f09d37b73795649038408b5f33";
const char kD[] = "8277e0910d750195b448797616e091ad";
const char kX[] = "9dd4e461268c8034f5c8564e155c67a6";

void StoreEntries(const std::wstring& path, const std::vector<std::pair<const char*, bool>>& md5s) {
    ORBDBSqliteConn store(path, 1000);
    store.Open();
    store.InitUserTrustedTable();
    store.InitUserBlackTable();
    for (const auto& [md5, trusted] : md5s) {
        const UserListRecord record = MakeUserListRecord(md5, "1700000000", "C:\\f.exe");
        trusted ? store.AddUserTrustedData(&record) : store.AddUserBlackData(&record);
    }
}

class ConcurrentUse : public MainWindow {
protected:
    // The window made, the test's files dropped on the whitelist tab, and
    // the processor's work points given to the gate.
    bool OpenWithDrop(QUserWardenDlg& window) {
        if (!Open(window) || !DropAndWait(window, m_files))
            return false;
        window.Processor().SetWorkSeam(m_gate.Seam());
        return true;
    }
    // Lines "T <md5>" of the component's list file.
    int TrustedOnComponent() {
        const std::string lists = "\n" + testsupport::ReadFileBytes(m_dir.File(L"lists.txt"));
        int count = 0;
        for (std::size_t at = lists.find("\nT "); at != std::string::npos;
             at = lists.find("\nT ", at + 1))
            ++count;
        return count;
    }
    void TearDown() override {
        m_gate.Release();
        MainWindow::TearDown();
    }
    testsupport::WorkGate m_gate;
};

} // namespace

TEST_F(ConcurrentUse, RowsACommitTakesAreTheUsersNoMoreFromTheMomentOkIsPressed) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(OpenWithDrop(window));
    CListViewCtrlEx& pending = window.List(0);
    pending.EditRows()->SetCheck(1, false);
    // The commit's worker is held before its first chunk.
    m_gate.HoldAt(WorkPoint::CommitStarted);
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    ASSERT_TRUE(m_gate.WaitHeld());
    EXPECT_EQ(L"正在处理", pending.CellText(0, 2));
    EXPECT_FALSE(pending.Rows().Row(0)->HasBox());
    EXPECT_EQ(L"删除", pending.CellText(1, 2)); // not taken: untouched
    EXPECT_TRUE(pending.Rows().Row(1)->HasBox());

    // Neither its link nor its box works any more; the row not taken does.
    ClickLinkAndSettle(window, 0, 0);
    EXPECT_EQ(2, pending.Rows().Count());
    EXPECT_FALSE(pending.EditRows()->SetCheck(0, false));
    const std::string second = pending.Rows().Row(1)->key;
    m_gate.Release();
    EXPECT_TRUE(PumpUntil([&] { return !window.BusyWithCommit(0); }));
    EXPECT_EQ(L"处理成功", pending.CellText(0, 2));
    EXPECT_EQ(1, TrustedInStore());
    EXPECT_EQ(-1, window.List(2).FindByKey(second));

    // A later OK takes the row left.
    pending.EditRows()->SetCheck(1, true);
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil(
        [&] { return !window.BusyWithCommit(0) && window.List(2).FindByKey(second) >= 0; }));
    EXPECT_EQ(2, TrustedInStore());
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, ARemovalActsOnTheClickedEntryEvenWhenRowsMoveBeforeItIsHandled) {
    StoreEntries(m_dir.File(L"UserSign.dat"), {{kA, true}, {kC, false}, {kD, false}});
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));
    CListViewCtrlEx& operated = window.List(2);
    const int d = operated.FindByKey(kD);
    ASSERT_EQ(4, d); // group, a, group, c, d
    // The click is on its way when an entry committed meanwhile is placed
    // at the end of the first group: d's row moves down by one.
    operated.ClickLink(d, 2);
    PlaceOperatedEntry(*operated.EditRows(),
                       OperatedEntry{ListKind::Trusted, L"x.exe", kX, L"C:\\x.exe"});
    ASSERT_EQ(d, operated.FindByKey(kC));
    testsupport::BoxAnswerer confirm(BoxElement::kOkButton);
    ClickLinkAndSettle(window, 2, -1); // runs the messages; the click is already posted
    EXPECT_EQ(-1, operated.FindByKey(kD));
    EXPECT_GE(operated.FindByKey(kC), 0);
    ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"), 1000);
    store.Open();
    EXPECT_EQ(-1, store.UserBlackExists(kD));
    EXPECT_NE(-1, store.UserBlackExists(kC));
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, ARemovalWaitsForTheChunkInProgressAndTheWindowAnswersMeanwhile) {
    StoreEntries(m_dir.File(L"UserSign.dat"), {{kA, true}});
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(OpenWithDrop(window));
    // A commit holds its turn between store and component.
    m_gate.HoldAt(WorkPoint::ChunkStored);
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    ASSERT_TRUE(m_gate.WaitHeld());
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));
    CListViewCtrlEx& operated = window.List(2);
    testsupport::BoxAnswerer confirm(BoxElement::kOkButton);
    operated.ClickLink(operated.FindByKey(kA), 2);
    // The question answered, the row shows the removal under way, and the
    // window answers while the removal waits for its turn.
    EXPECT_TRUE(PumpUntil([&] { return window.BusyWithRemoval(); }, 5000));
    EXPECT_EQ(L"正在处理", operated.CellText(operated.FindByKey(kA), 2));
    const DWORD start = GetTickCount();
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window.Hwnd(), WM_NULL, 0, 0, SMTO_BLOCK, 100, &answer));
    EXPECT_LT(GetTickCount() - start, 100u);
    m_gate.Release();
    EXPECT_TRUE(PumpUntil([&] { return !window.BusyWithRemoval() && !window.BusyWithCommit(0); }));
    EXPECT_EQ(-1, operated.FindByKey(kA));
    EXPECT_EQ(2, TrustedInStore()); // the two committed files; a is gone
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, ARemovalTheStoreRefusesKeepsTheEntryAndSaysWhy) {
    StoreEntries(m_dir.File(L"UserSign.dat"), {{kA, true}});
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    window.Processor().SetWorkSeam(m_gate.Seam());
    m_gate.FailAt(WorkPoint::RemovalStore, WorkFault::StoreFails);
    ASSERT_TRUE(
        static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));
    testsupport::BoxAnswerer answers;
    ClickLinkAndSettle(window, 2, window.List(2).FindByKey(kA));
    EXPECT_TRUE(PumpUntil([&] { return !answers.Notices().empty(); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(RemovalFailedText(L"“f.exe”", true, window.Processor().StorePath()),
              answers.NoticeTexts().at(0));
    const int row = window.List(2).FindByKey(kA);
    ASSERT_GE(row, 0);
    EXPECT_EQ(L"恢复", window.List(2).CellText(row, 2));
    EXPECT_EQ(1, TrustedInStore());
    EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(m_dir.File(L"lists.txt")).find(kA));
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, ACommitThatEndsGivesBackItsOwnRowsNotThoseOfTheNextCommit) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(OpenWithDrop(window));
    CListViewCtrlEx& pending = window.List(0);
    pending.EditRows()->SetCheck(1, false);
    // The first commit's store write fails; its end waits in the queue
    // while OK starts a second commit, held before its first chunk.
    m_gate.FailAt(WorkPoint::ChunkWrite, WorkFault::StoreFails);
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    while (m_gate.Reached(WorkPoint::ChunkWrite) == 0)
        SwitchToThread();
    m_gate.HoldAt(WorkPoint::CommitStarted);
    pending.EditRows()->SetCheck(1, true);
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    ASSERT_TRUE(m_gate.WaitHeld());
    testsupport::BoxAnswerer answers;
    EXPECT_TRUE(PumpUntil([&] { return pending.Rows().Row(0)->HasBox(); }));
    EXPECT_EQ(L"删除", pending.CellText(0, 2));
    EXPECT_EQ(L"正在处理", pending.CellText(1, 2)); // the second commit's: still taken
    EXPECT_FALSE(pending.Rows().Row(1)->HasBox());
    m_gate.Release();
    EXPECT_TRUE(PumpUntil([&] { return !window.BusyWithCommit(0); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(L"处理成功", pending.CellText(1, 2));
    EXPECT_EQ(1, TrustedInStore());
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, ClosingTheWindowDuringACommitEndsItWithTheChunkInProgress) {
    HWND hwnd = nullptr;
    ULONGLONG released = 0;
    std::thread releaser;
    {
        QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
        ASSERT_TRUE(OpenWithDrop(window));
        window.Processor().SetCommitChunkFiles(1);
        // The first chunk is done; the second waits for its turn.
        m_gate.HoldAt(WorkPoint::ChunkTurn, 2);
        testsupport::ClickElement(window, WardenElement::kWhitelistOk);
        ASSERT_TRUE(m_gate.WaitHeld());
        hwnd = window.Hwnd();
        // Let go once the window has gone and its owner waits for the work.
        releaser = std::thread([&] {
            while (IsWindow(hwnd))
                SwitchToThread();
            released = GetTickCount64();
            m_gate.Release();
        });
        DestroyWindow(hwnd);
    }
    const ULONGLONG ended = GetTickCount64();
    releaser.join();
    EXPECT_LT(ended - released, 5000u);
    EXPECT_EQ(nullptr, testsupport::OpenMessageBoxWindow()); // nothing opened after it
    // The chunk in progress is whole in both; the one after it never began.
    EXPECT_EQ(1, TrustedInStore());
    EXPECT_EQ(1, TrustedOnComponent());
}

TEST_F(ConcurrentUse, TheSameFileCommittedFromBothTabsEndsWhereTheLaterCommitPutIt) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, {m_files[0]}));
    auto* tabs = static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl));
    ASSERT_TRUE(tabs->SelectTab(1));
    ASSERT_TRUE(DropAndWait(window, {m_files[0]}, 503));
    const std::string md5 = window.List(0).Rows().Row(0)->key;
    window.Processor().SetWorkSeam(m_gate.Seam());
    // The whitelist's commit holds its turn between store and component;
    // the blacklist's, pressed meanwhile, comes after it.
    m_gate.HoldAt(WorkPoint::ChunkStored);
    ASSERT_TRUE(tabs->SelectTab(0));
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    ASSERT_TRUE(m_gate.WaitHeld());
    ASSERT_TRUE(tabs->SelectTab(1));
    testsupport::ClickElement(window, WardenElement::kBlacklistOk);
    ASSERT_TRUE(PumpUntil([&] { return m_gate.Reached(WorkPoint::CommitStarted) == 2; }, 5000));
    m_gate.Release();
    EXPECT_TRUE(PumpUntil([&] { return !window.BusyWithCommit(0) && !window.BusyWithCommit(1); }));
    // The blacklist's entry is the last change of the operated tab.
    CListViewCtrlEx& operated = window.List(2);
    EXPECT_TRUE(PumpUntil(
        [&] {
            const int at = operated.FindByKey(md5);
            return at >= 0 && operated.Rows().Row(at)->group == 1;
        },
        5000));
    const int row = operated.FindByKey(md5);
    ASSERT_GE(row, 0);
    EXPECT_EQ(1, operated.Rows().Row(row)->group); // blacklisted, listed once
    EXPECT_EQ(3, operated.Rows().Count());         // with the two group rows
    EXPECT_EQ(0, TrustedInStore());
    EXPECT_NE(std::string::npos,
              testsupport::ReadFileBytes(m_dir.File(L"lists.txt")).find("B " + md5));
    DestroyWindow(window.Hwnd());
}

TEST_F(ConcurrentUse, AComponentThatCannotSaveItsListsIsToldAndTheFilesStayStored) {
    QUserWardenDlg window(m_dir.File(L"UserSign.dat"));
    ASSERT_TRUE(OpenWithDrop(window));
    m_gate.FailAt(WorkPoint::CommitEndUpdate, WorkFault::ComponentFails);
    testsupport::BoxAnswerer answers;
    testsupport::ClickElement(window, WardenElement::kWhitelistOk);
    EXPECT_TRUE(PumpUntil([&] { return !answers.Notices().empty() && !window.BusyWithCommit(0); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(std::vector<std::wstring>{ComponentNotSavedText()}, answers.NoticeTexts());
    // Stored, and listed: the next start puts them on the component's lists.
    EXPECT_EQ(2, TrustedInStore());
    EXPECT_EQ(L"处理成功", window.List(0).CellText(1, 2));
    DestroyWindow(window.Hwnd());
}
