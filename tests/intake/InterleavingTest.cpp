// Commits and removals meeting on the processor, their order decided by
// holding one at a named point: a removal between two chunks runs in its own
// update and saves the component before the store forgets the file; turns
// go in the order asked for; a failing store or component leaves the file
// on both; the start's reconciliation puts stored files on the component.

#include <thread>

#include "intake/ListTurns.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/support/WorkGate.h"

using testsupport::EntriesOf;
using testsupport::ProcessorTest;
using testsupport::WorkGate;

namespace {

std::vector<std::string> Md5s(int first, int count) {
    std::vector<std::string> md5s;
    for (int i = first; i < first + count; ++i) {
        char md5[33];
        wsprintfA(md5, "%032x", i);
        md5s.push_back(md5);
    }
    return md5s;
}

class InterleavingTest : public ProcessorTest {
protected:
    void SetUp() override {
        ProcessorTest::SetUp();
        m_processor.SetWorkSeam(m_gate.Seam());
    }
    void TearDown() override {
        m_gate.Release();
        ProcessorTest::TearDown();
    }
    WorkGate m_gate;
};

} // namespace

TEST(ListTurns, TurnsGoInTheOrderAskedForAndTheHolderSeesWhoWaits) {
    ListTurns turns;
    std::vector<int> order;
    std::thread second;
    {
        ListTurns::Turn first(turns);
        EXPECT_FALSE(turns.Waiting());
        second = std::thread([&] {
            ListTurns::Turn turn(turns);
            order.push_back(2);
        });
        while (!turns.Waiting())
            SwitchToThread();
        order.push_back(1);
    }
    second.join();
    EXPECT_EQ((std::vector<int>{1, 2}), order);
}

TEST_F(InterleavingTest, ARemovalBetweenTwoChunksSavesTheComponentBeforeTheStoreForgetsTheFile) {
    const std::vector<std::string> m = Md5s(1, 4);
    ASSERT_EQ(0, m_processor.CommitTrusted(EntriesOf({m[0]})));
    m_processor.SetCommitChunkFiles(2);
    // The commit's first chunk is done, its update still open for the next.
    m_gate.HoldAt(WorkPoint::ChunkTurn, 2);
    std::thread commit([&] { m_processor.CommitTrusted(EntriesOf({m[1], m[2], m[3]})); });
    ASSERT_TRUE(m_gate.WaitHeld());

    // The removal waits for nothing, and once its store part begins the
    // component's file no longer lists the file.
    m_gate.HoldAt(WorkPoint::RemovalStore);
    RemovalOutcome outcome;
    std::thread removal([&] { outcome = m_processor.RemoveEntry(m[0]); });
    ASSERT_TRUE(m_gate.WaitHeld());
    EXPECT_EQ(0u, ComponentLists().count(m[0]));
    EXPECT_EQ(kSignatureTrusted, m_processor.StoredListOf(m[0]));
    m_gate.Release();
    removal.join();
    commit.join();
    EXPECT_EQ(RemovalResult::Removed, outcome.result);
    EXPECT_EQ(kSignatureTrusted, outcome.list);
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(m[0]));
    const std::map<std::string, char> lists = ComponentLists();
    EXPECT_EQ(0u, lists.count(m[0]));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ('T', lists.at(m[i])) << i;
}

TEST_F(InterleavingTest, ARemovalActsOnTheListThatHoldsTheFileWhenItsTurnComes) {
    const std::vector<std::string> m = Md5s(1, 1);
    ASSERT_EQ(0, m_processor.CommitTrusted(EntriesOf(m)));
    // A commit moving the file to the blacklist holds the turn; the removal
    // asked for meanwhile comes after it and takes it off the blacklist.
    m_gate.HoldAt(WorkPoint::ChunkStored);
    std::thread move([&] { m_processor.CommitBlack(EntriesOf(m)); });
    ASSERT_TRUE(m_gate.WaitHeld());
    RemovalOutcome outcome;
    std::thread removal([&] { outcome = m_processor.RemoveEntry(m[0]); });
    while (m_gate.Reached(WorkPoint::RemovalTurn) == 0)
        SwitchToThread();
    m_gate.Release();
    move.join();
    removal.join();
    EXPECT_EQ(RemovalResult::Removed, outcome.result);
    EXPECT_EQ(kSignatureBlack, outcome.list);
    EXPECT_EQ(kSignatureNone, m_processor.StoredListOf(m[0]));
    EXPECT_TRUE(ComponentLists().empty());
}

TEST_F(InterleavingTest, ARemovalTheStoreOrTheComponentFailsLeavesTheFileOnBoth) {
    const std::vector<std::string> m = Md5s(1, 1);
    ASSERT_EQ(0, m_processor.CommitBlack(EntriesOf(m)));
    m_gate.FailAt(WorkPoint::RemovalStore, WorkFault::StoreFails);
    EXPECT_EQ(RemovalResult::StoreFailed, m_processor.RemoveEntry(m[0]).result);
    EXPECT_EQ(kSignatureBlack, m_processor.StoredListOf(m[0]));
    EXPECT_EQ('B', ComponentLists().at(m[0]));

    m_gate.FailAt(WorkPoint::RemovalEndUpdate, WorkFault::ComponentFails);
    EXPECT_EQ(RemovalResult::ComponentNotSaved, m_processor.RemoveEntry(m[0]).result);
    EXPECT_EQ(kSignatureBlack, m_processor.StoredListOf(m[0]));
    EXPECT_EQ('B', ComponentLists().at(m[0]));

    // Nothing held: done, and said so.
    EXPECT_EQ(RemovalResult::Removed, m_processor.RemoveEntry(m[0]).result);
    EXPECT_EQ(RemovalResult::NotHeld, m_processor.RemoveEntry(m[0]).result);
}

TEST_F(InterleavingTest, TheStartPutsWhatTheStoreHoldsOnTheComponentAndLeavesTheRest) {
    const std::vector<std::string> m = Md5s(1, 4);
    ASSERT_EQ(0, m_processor.CommitTrusted(EntriesOf({m[0], m[1]})));
    ASSERT_EQ(0, m_processor.CommitBlack(EntriesOf({m[2]})));
    // As a kill between store and component leaves it: the component lacks
    // m0, still trusts m2, and holds m3, which the store never had.
    ASSERT_TRUE(testsupport::WriteFileBytes(ListPath(), "", 0));
    {
        FileProcessor other;
        other.Initialize(m_dir.File(L"other.dat"));
        other.CommitTrusted(EntriesOf({m[1], m[2], m[3]}));
    }
    // The component reads its file when it starts: a new processor.
    m_processor.Shutdown();
    FileProcessor restarted;
    restarted.Initialize(StorePath());
    const ReconcileResult result = restarted.ReconcileComponent();
    EXPECT_EQ(1, result.added);
    EXPECT_EQ(1, result.moved);
    EXPECT_FALSE(result.failed);
    const std::map<std::string, char> lists = ComponentLists();
    EXPECT_EQ((std::map<std::string, char>{{m[0], 'T'}, {m[1], 'T'}, {m[2], 'B'}, {m[3], 'T'}}),
              lists);
}
