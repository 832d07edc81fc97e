// The main window's removals and start when the lists change under them:
// the list the user confirmed is the one acted on, a click or a link names
// the row and list that were shown, a store or component that cannot do
// its part is said so, and a component with the contract's slots only is
// served through them.

#include "app/OperatedRows.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/WorkGate.h"
#include "tests/support/contract_component/ContractComponentFiles.h"

namespace {

const char kA[] = "0cc175b9c0f1b6a831c399e269772661";
const char kB[] = "92eb5ffee6ae2fec3ad71c777531578f";

// Entries written as another program writes them: (md5, in UserTrusted,
// in UserBlack).
struct Stored {
    const char* md5;
    bool trusted;
    bool black;
};
void StoreEntries(const std::wstring& path, const std::vector<Stored>& entries) {
    ORBDBSqliteConn store(path, 1000);
    store.Open();
    store.InitUserTrustedTable();
    store.InitUserBlackTable();
    for (const Stored& entry : entries) {
        const UserListRecord record = MakeUserListRecord(entry.md5, "1700000000", "C:\\f.exe");
        if (entry.trusted)
            store.AddUserTrustedData(&record);
        if (entry.black)
            store.AddUserBlackData(&record);
    }
}

class RemovalSafety : public MainWindow {
protected:
    std::wstring Store() const { return m_dir.File(L"UserSign.dat"); }
    static void ShowOperatedTab(QUserWardenDlg& window) {
        ASSERT_TRUE(
            static_cast<CTwTabCtrl*>(window.FindById(WardenElement::kTabControl))->SelectTab(2));
    }
    // The store's tables that hold an MD5.
    ListSet StoredLists(const char* md5) {
        ORBDBSqliteConn store(Store(), 1000);
        store.Open();
        ListSet lists;
        lists.trusted = store.Holds(ListKind::Trusted, md5) == StorePresence::Held;
        lists.black = store.Holds(ListKind::Black, md5) == StorePresence::Held;
        return lists;
    }
    // The stand-in component's list of an MD5: 'T', 'B' or 0.
    char OnComponent(const char* md5) {
        const std::string lists = "\n" + testsupport::ReadFileBytes(m_dir.File(L"lists.txt"));
        for (const char kind : {'T', 'B'}) {
            if (lists.find(std::string("\n") + kind + " " + md5) != std::string::npos)
                return kind;
        }
        return 0;
    }
    testsupport::WorkGate m_gate;
};

} // namespace

TEST_F(RemovalSafety, TheQuestionNamesTheFileAndAMoveWhileItIsOpenLeavesTheOtherListAlone) {
    StoreEntries(Store(), {{kA, true, false}});
    QUserWardenDlg window(Store());
    ASSERT_TRUE(Open(window));
    ShowOperatedTab(window);
    CListViewCtrlEx& operated = window.List(2);
    testsupport::BoxAnswerer answers;
    // While the whitelist question is open, a blacklist commit places it.
    answers.WhileAsking([&] { window.Processor().CommitBlack({CommitEntry{kA, "C:\\f.exe"}}); });
    ClickLinkAndSettle(window, 2, operated.Rows().FindInGroup(kA, 0));
    PumpUntil([&] { return !answers.Notices().empty(); }, 3000);
    answers.Stop();
    ASSERT_EQ(1u, answers.QuestionTexts().size());
    EXPECT_EQ(L"“f.exe”\n", answers.QuestionTexts()[0]);
    // Nothing removed: the file stays blacklisted, and the user is told.
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    EXPECT_EQ(RemovalNotOnListText(L"“f.exe”", kSignatureTrusted, false, true),
              answers.NoticeTexts().at(0));
    const ListSet stored = StoredLists(kA);
    EXPECT_FALSE(stored.trusted);
    EXPECT_TRUE(stored.black);
    EXPECT_EQ('B', OnComponent(kA));
    EXPECT_EQ(-1, operated.Rows().FindInGroup(kA, 0));
    EXPECT_GE(operated.Rows().FindInGroup(kA, 1), 0);
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, AnMd5InBothTablesShowsInBothGroupsAndLeavesOnlyTheOneConfirmed) {
    StoreEntries(Store(), {{kA, true, true}});
    QUserWardenDlg window(Store());
    ASSERT_TRUE(Open(window));
    ShowOperatedTab(window);
    CListViewCtrlEx& operated = window.List(2);
    EXPECT_GE(operated.Rows().FindInGroup(kA, 0), 0);
    const int black = operated.Rows().FindInGroup(kA, 1);
    ASSERT_GE(black, 0);
    testsupport::BoxAnswerer answers;
    ClickLinkAndSettle(window, 2, black);
    answers.Stop();
    EXPECT_TRUE(answers.Notices().empty());
    EXPECT_EQ(-1, operated.Rows().FindInGroup(kA, 1));
    EXPECT_GE(operated.Rows().FindInGroup(kA, 0), 0);
    const ListSet stored = StoredLists(kA);
    EXPECT_TRUE(stored.trusted);
    EXPECT_FALSE(stored.black);
    EXPECT_EQ('T', OnComponent(kA)); // the component agrees with the store
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, ALinkClickIsTakenFromItsOwnListWhateverTabShowsWhenItIsHandled) {
    StoreEntries(Store(), {{kA, true, false}});
    QUserWardenDlg window(Store());
    ASSERT_TRUE(Open(window));
    ASSERT_TRUE(DropAndWait(window, {m_files[0]}));
    CListViewCtrlEx& pending = window.List(0);
    ASSERT_EQ(1, pending.Rows().Count());
    // The click on the pending row's "删除" is posted; the tab changes first.
    pending.ClickLink(0, 2);
    ShowOperatedTab(window);
    testsupport::BoxAnswerer answers;
    ClickLinkAndSettle(window, 2, -1);
    answers.Stop();
    EXPECT_EQ(0, pending.Rows().Count());
    EXPECT_TRUE(StoredLists(kA).trusted); // no removal was asked for
    EXPECT_TRUE(answers.QuestionTexts().empty());
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, AFailedRemovalGivesTheLinkBackInAFoldedGroup) {
    StoreEntries(Store(), {{kA, true, false}});
    QUserWardenDlg window(Store());
    ASSERT_TRUE(Open(window));
    ShowOperatedTab(window);
    window.Processor().SetWorkSeam(m_gate.Seam());
    m_gate.HoldAt(WorkPoint::RemovalTurn);
    m_gate.FailAt(WorkPoint::RemovalStore, WorkFault::StoreFails);
    CListViewCtrlEx& operated = window.List(2);
    testsupport::BoxAnswerer answers;
    operated.ClickLink(operated.Rows().FindInGroup(kA, 0), 2);
    ASSERT_TRUE(PumpUntil([&] { return m_gate.WaitHeld(0); }));
    // The user folds the whitelisted group while the removal runs.
    operated.EditRows()->Fold(operated.Rows().FindGroupRow(0));
    ASSERT_EQ(-1, operated.FindByKey(kA));
    m_gate.Release();
    ASSERT_TRUE(PumpUntil([&] { return !window.BusyWithRemoval() && !answers.Notices().empty(); }));
    answers.Stop();
    EXPECT_EQ(std::vector<int>{BoxMode::kFailure}, answers.Notices());
    operated.EditRows()->Unfold(operated.Rows().FindGroupRow(0));
    const int row = operated.Rows().FindInGroup(kA, 0);
    ASSERT_GE(row, 0);
    EXPECT_EQ(L"恢复", operated.CellText(row, 2));
    EXPECT_TRUE(StoredLists(kA).trusted);
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, AStartThatCannotReadTheStoreOrUpdateTheComponentSaysSo) {
    StoreEntries(Store(), {{kA, true, false}});
    {
        // Another program holds the store past the window's busy timeout.
        ORBDBSqliteConn holder(Store(), 1000);
        ASSERT_EQ(0, holder.Open());
        ASSERT_EQ(0, holder.ExecSql("BEGIN EXCLUSIVE;"));
        QUserWardenDlg window(Store(), 300);
        testsupport::BoxAnswerer answers;
        ASSERT_NE(nullptr, window.CreateHostWindow(nullptr, nullptr));
        ASSERT_TRUE(PumpUntil([&] { return window.StartupEnded() && !answers.Notices().empty(); }));
        PumpUntil([] { return false; }, 300);
        answers.Stop();
        EXPECT_EQ(StartLoadFailedText(window.Processor().StorePath()), answers.NoticeTexts().at(0));
        holder.ExecSql("ROLLBACK;");
        DestroyWindow(window.Hwnd());
    }
    // The component's lists are being updated by another process (its
    // update lock held): the reconciliation is refused.
    UniqueFile lock(CreateFileW(m_dir.File(L"lists.txt.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                                0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    QUserWardenDlg window(Store());
    testsupport::BoxAnswerer answers;
    ASSERT_NE(nullptr, window.CreateHostWindow(nullptr, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return window.StartupEnded() && !answers.Notices().empty(); }));
    answers.Stop();
    EXPECT_EQ(std::vector<std::wstring>{StartReconcileFailedText()}, answers.NoticeTexts());
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, ADropWhileAnotherIsExaminedIsAnsweredNotDropped) {
    StoreEntries(Store(), {{kA, true, false}});
    // The start waits for the store, so the first drop waits with it.
    ORBDBSqliteConn holder(Store(), 1000);
    ASSERT_EQ(0, holder.Open());
    ASSERT_EQ(0, holder.ExecSql("BEGIN EXCLUSIVE;"));
    QUserWardenDlg window(Store());
    ASSERT_NE(nullptr, window.CreateHostWindow(nullptr, nullptr));
    SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({m_files[0]})), 0);
    ASSERT_TRUE(window.BusyWithDrop());
    testsupport::BoxAnswerer answers;
    SendMessageW(window.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({m_files[1]})), 0);
    answers.Stop();
    EXPECT_EQ(std::vector<std::wstring>{DropWhileBusyText()}, answers.NoticeTexts());
    holder.ExecSql("ROLLBACK;");
    ASSERT_TRUE(PumpUntil([&] { return window.StartupEnded() && !window.BusyWithDrop(); }));
    DestroyWindow(window.Hwnd());
}

TEST_F(RemovalSafety, AComponentWithTheContractSlotsOnlyIsReconciledAndRemovedFromThroughThem) {
    const std::wstring state = m_dir.File(L"contract.lists");
    SetEnvironmentVariableW(kContractComponentStateVariable, state.c_str());
    StoreEntries(Store(), {{kA, true, false}, {kB, false, true}});
    QUserWardenDlg window(Store());
    window.SetComponentLibrary(GetModuleFolder(nullptr) + kContractComponentName);
    ASSERT_TRUE(Open(window));
    EXPECT_EQ((std::map<std::string, char>{{kA, 'T'}, {kB, 'B'}}), ReadContractLists(state));
    ShowOperatedTab(window);
    testsupport::BoxAnswerer answers;
    ClickLinkAndSettle(window, 2, window.List(2).Rows().FindInGroup(kA, 0));
    answers.Stop();
    EXPECT_TRUE(answers.Notices().empty());
    EXPECT_EQ((std::map<std::string, char>{{kB, 'B'}}), ReadContractLists(state));
    EXPECT_FALSE(StoredLists(kA).trusted);
    for (const std::string& call : ReadContractCalls(state))
        EXPECT_NE(0u, call.rfind("Slot5", 0)) << call;
    DestroyWindow(window.Hwnd());
    SetEnvironmentVariableW(kContractComponentStateVariable, nullptr);
}
