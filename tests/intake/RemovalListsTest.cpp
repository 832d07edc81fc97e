// Removals act on the list asked for and on what the store can be read to
// hold; the component is used through its contract alone when it offers
// nothing more (the contract-only double records every call, slot 5 among
// them).

#include <map>
#include <string>
#include <thread>

#include <windows.h>

#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/support/WorkGate.h"
#include "tests/support/contract_component/ContractComponentFiles.h"

using testsupport::Entries;
using testsupport::ProcessorTest;

namespace {

const char kA[] = "0123456789abcdef0123456789abcdef";
const char kB[] = "fedcba9876543210fedcba9876543210";

// An MD5 written into both tables, as another program or an older tool may
// leave it.
void StoreInBothTables(const std::wstring& storePath, const char* md5) {
    ORBDBSqliteConn store(storePath);
    store.Open();
    store.InitUserBlackTable();
    store.InitUserTrustedTable();
    const UserListRecord record = MakeUserListRecord(md5, "1700000000", "C:\\both.exe");
    ASSERT_NE(-1, store.AddUserTrustedData(&record));
    ASSERT_NE(-1, store.AddUserBlackData(&record));
}

class ListedRemovalTest : public ProcessorTest {
protected:
    // `kA` committed to the whitelist, then the store held locked by
    // another connection (as another program holds it) while `processor`,
    // which waits `busyTimeoutMs` for a lock, works on it.
    void TrustAThenHoldTheStore(FileProcessor& processor, int busyTimeoutMs) {
        ASSERT_EQ(0, m_processor.CommitTrusted(Entries({kA})));
        m_processor.Shutdown();
        processor.Initialize(StorePath(), busyTimeoutMs);
        m_holder.Open(WideToUtf8(StorePath()).c_str());
        m_holder.RunStatement("BEGIN EXCLUSIVE");
    }
    void LetGoOfTheStore() { m_holder.RunStatement("ROLLBACK"); }

    SqlDatabase m_holder;
};

// The processor on the contract-only double, its lists in the test's folder.
class ContractComponentTest : public testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(kContractComponentStateVariable, State().c_str());
        m_processor.SetComponentLibrary(GetModuleFolder(nullptr) + kContractComponentName);
        ASSERT_EQ(0, m_processor.Initialize(m_dir.File(L"UserSign.dat")));
    }
    void TearDown() override {
        m_processor.Shutdown();
        SetEnvironmentVariableW(kContractComponentStateVariable, nullptr);
    }
    std::wstring State() const { return m_dir.File(L"contract.lists"); }
    std::map<std::string, char> Lists() const { return ReadContractLists(State()); }
    std::vector<std::string> Calls() const { return ReadContractCalls(State()); }
    bool Slot5Called() const {
        for (const std::string& call : Calls()) {
            if (call.rfind("Slot5", 0) == 0)
                return true;
        }
        return false;
    }

    testsupport::TempDir m_dir;
    FileProcessor m_processor;
};

} // namespace

TEST_F(ListedRemovalTest, ARemovalOfTheConfirmedListChangesNothingOnceTheFileHasMovedOff) {
    ASSERT_EQ(0, m_processor.CommitTrusted(Entries({kA})));
    // The whitelist removal was confirmed; a blacklist commit came first.
    ASSERT_EQ(0, m_processor.CommitBlack(Entries({kA})));
    const RemovalOutcome outcome = m_processor.RemoveEntry(kA, kSignatureTrusted);
    EXPECT_EQ(RemovalResult::NotOnList, outcome.result);
    EXPECT_TRUE(outcome.stored.black);
    EXPECT_FALSE(outcome.stored.trusted);
    EXPECT_EQ(kSignatureBlack, m_processor.StoredListOf(kA));
    EXPECT_EQ('B', ComponentLists().at(kA));

    // The list it is on now is removed from as asked.
    EXPECT_EQ(RemovalResult::Removed, m_processor.RemoveEntry(kA, kSignatureBlack).result);
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(kA));
    EXPECT_TRUE(ComponentLists().empty());
}

TEST_F(ListedRemovalTest, AnMd5InBothTablesLeavesTheConfirmedOneAndStaysOnTheOther) {
    m_processor.Shutdown();
    StoreInBothTables(StorePath(), kA);
    FileProcessor processor;
    processor.Initialize(StorePath());
    EXPECT_FALSE(processor.ReconcileComponent().failed);
    EXPECT_EQ('B', ComponentLists().at(kA)); // the blacklist wins at the component

    const RemovalOutcome outcome = processor.RemoveEntry(kA, kSignatureBlack);
    EXPECT_EQ(RemovalResult::Removed, outcome.result);
    EXPECT_TRUE(outcome.stored.trusted);
    EXPECT_FALSE(outcome.stored.black);
    ListSet stored;
    ASSERT_TRUE(processor.StoredListsOf(kA, stored));
    EXPECT_TRUE(stored.trusted);
    EXPECT_FALSE(stored.black);
    EXPECT_EQ('T', ComponentLists().at(kA)); // store and component agree

    // Taken off every list when none is named (userlistctl's remove).
    processor.Shutdown();
    StoreInBothTables(StorePath(), kB);
    FileProcessor again;
    again.Initialize(StorePath());
    const RemovalOutcome both = again.RemoveEntry(kB);
    EXPECT_EQ(RemovalResult::Removed, both.result);
    EXPECT_TRUE(both.removed.trusted && both.removed.black);
    EXPECT_EQ(kSignatureNone, again.StoredListOf(kB));
    EXPECT_EQ(0u, ComponentLists().count(kB));
}

TEST_F(ListedRemovalTest, AStoreThatCannotBeReadStopsARemovalWithNothingChanged) {
    FileProcessor processor;
    TrustAThenHoldTheStore(processor, 200); // past its busy timeout
    ListSet stored;
    EXPECT_FALSE(processor.StoredListsOf(kA, stored));
    EXPECT_EQ(RemovalResult::StoreUnreadable, processor.RemoveEntry(kA).result);
    EXPECT_EQ(RemovalResult::StoreUnreadable, processor.RemoveEntry(kA, kSignatureTrusted).result);
    EXPECT_EQ('T', ComponentLists().at(kA));
    LetGoOfTheStore();
    EXPECT_EQ(kSignatureTrusted, processor.StoredListOf(kA));
}

TEST_F(ListedRemovalTest, StoppingEndsAWaitForAnotherProgramsLockAtOnce) {
    FileProcessor processor;
    TrustAThenHoldTheStore(processor, 60000);
    RemovalOutcome outcome;
    testsupport::WorkGate gate;
    processor.SetWorkSeam(gate.Seam());
    gate.HoldAt(WorkPoint::RemovalTurn);
    std::thread removal([&] { outcome = processor.RemoveEntry(kA); });
    ASSERT_TRUE(gate.WaitHeld());
    gate.Release(); // on to the store, which waits for the lock
    // However long the lock is held, the stop ends the wait: well within
    // the close's few seconds.
    EXPECT_TRUE(processor.Shutdown(5000));
    removal.join();
    EXPECT_EQ(RemovalResult::StoreUnreadable, outcome.result);
    LetGoOfTheStore();
}

TEST_F(ContractComponentTest, RemovalsAndTheStartUseTheContractSlotsOnly) {
    EXPECT_FALSE(m_processor.HasLookup());
    ASSERT_EQ(0, m_processor.CommitTrusted(Entries({kA})));
    ASSERT_EQ(0, m_processor.CommitBlack(Entries({kB})));
    EXPECT_EQ((std::map<std::string, char>{{kA, 'T'}, {kB, 'B'}}), Lists());

    // The removal calls the remove of the list the store names.
    EXPECT_EQ(RemovalResult::Removed, m_processor.RemoveEntry(kA).result);
    EXPECT_EQ((std::map<std::string, char>{{kB, 'B'}}), Lists());
    EXPECT_EQ(RemovalResult::Removed, m_processor.RemoveEntry(kB, kSignatureBlack).result);
    EXPECT_TRUE(Lists().empty());

    // The start puts every stored entry on its list.
    ASSERT_EQ(0, m_processor.CommitTrusted(Entries({kA, kB})));
    DeleteFileW(State().c_str());
    const ReconcileResult reconciled = m_processor.ReconcileComponent();
    EXPECT_FALSE(reconciled.failed);
    EXPECT_EQ(2, reconciled.added);
    EXPECT_EQ((std::map<std::string, char>{{kA, 'T'}, {kB, 'T'}}), Lists());
    EXPECT_FALSE(Slot5Called());
}

TEST(ContractComponentLoading, ALibraryLackingExportsThatAreNeverCalledIsUsed) {
    testsupport::TempDir dir;
    SetEnvironmentVariableW(kContractComponentStateVariable, dir.File(L"contract.lists").c_str());
    FileProcessor processor;
    processor.SetComponentLibrary(GetModuleFolder(nullptr) + L"contract_component_lean.dll");
    EXPECT_EQ(0, processor.Initialize(dir.File(L"UserSign.dat")));
    EXPECT_TRUE(processor.HasComponent());
    EXPECT_EQ(0, processor.CommitTrusted(Entries({kA})));
    EXPECT_EQ((std::map<std::string, char>{{kA, 'T'}}),
              ReadContractLists(dir.File(L"contract.lists")));
    processor.Shutdown();
    SetEnvironmentVariableW(kContractComponentStateVariable, nullptr);
}
