// Commits in chunks: the order of reports against the store's transactions,
// duplicates, paths the store cannot take, and failing transactions.

#include <functional>
#include <string>
#include <vector>

#include "common/TextConvert.h"
#include "intake/FileProcessor.h"
#include "store/SqlDatabase.h"
#include "store/SqlException.h"
#include "tests/intake/IntakeTestSupport.h"

using testsupport::Entries;
using testsupport::EntriesOf;
using testsupport::ProcessorTest;

namespace {

std::string Md5Of(int n) {
    char text[33];
    wsprintfA(text, "%032x", n);
    return text;
}

std::vector<std::string> Md5sOf(int first, int count) {
    std::vector<std::string> md5s;
    for (int n = first; n < first + count; ++n)
        md5s.push_back(Md5Of(n));
    return md5s;
}

// Records every report with what another connection sees at that moment:
// "<report> <md5 or count> <trusted rows>/<black rows> lists=<MD5s in the
// component's list file>". A hook may act on a report after it is recorded.
class ProbingCallback : public IWardenCallback {
public:
    ProbingCallback(std::wstring store, std::wstring lists)
        : m_store(WideToUtf8(store)), m_lists(std::move(lists)) {}

    int Reserved0() override { return 0; }
    int Reserved2(int) override { return 0; }
    int OnFileAnalysed(const FileAnalysisRecord*) override { return 0; }
    int OnTrustedItemBegin(const char* md5) override { return Probe("begin+ ", md5); }
    int OnBlackItemBegin(const char* md5) override { return Probe("begin- ", md5); }
    int OnTrustedItemDone(const char* md5) override { return Probe("done+ ", md5); }
    int OnBlackItemDone(const char* md5) override { return Probe("done- ", md5); }
    int OnTrustedBatchDone(int count) override { return Probe("batch+ ", std::to_string(count)); }
    int OnBlackBatchDone(int count) override { return Probe("batch- ", std::to_string(count)); }
    int OnError(int code) override { return Probe("error ", std::to_string(code)); }

    std::vector<std::string> events;
    std::function<void(const std::string& event)> hook;

private:
    int Probe(const char* report, const std::string& subject) {
        const std::string event = report + subject + " " + StoredRows() + " lists=" +
                                  std::to_string(testsupport::ReadComponentLists(m_lists).size());
        events.push_back(event);
        if (hook)
            hook(event);
        return 0;
    }

    // "<trusted rows>/<black rows>", or "?/?" while another connection holds
    // the store locked.
    std::string StoredRows() const {
        try {
            SqlDatabase db;
            db.SetBusyTimeout(100);
            db.Open(m_store.c_str());
            SqlQuery rows = db.RunQuery("SELECT (SELECT count(*) FROM UserTrusted) AS t, "
                                        "(SELECT count(*) FROM UserBlack) AS b");
            return std::to_string(rows.IntColumn("t")) + "/" + std::to_string(rows.IntColumn("b"));
        } catch (const SqlException&) {
            return "?/?";
        }
    }

    std::string m_store;
    std::wstring m_lists;
};

class ChunkedCommitTest : public ProcessorTest {
protected:
    void SetUp() override {
        ProcessorTest::SetUp();
        m_processor.SetCallback(&m_probe);
    }
    int StoreBusyTimeoutMs() const override { return 300; }

    // Rows of a table with this MD5, as another connection sees them.
    std::vector<std::string> StoredPaths(const char* table, const std::string& md5) {
        SqlDatabase db;
        db.Open(WideToUtf8(StorePath()).c_str());
        std::vector<std::string> paths;
        const std::string sql =
            std::string("SELECT Path FROM ") + table + " WHERE Md5 = '" + md5 + "'";
        for (SqlQuery rows = db.RunQuery(sql.c_str()); !rows.AtEnd(); rows.Advance())
            paths.push_back(rows.TextColumn("Path"));
        return paths;
    }

    // Commits a..e in chunks of two with another connection taking a lock
    // once the first chunk is done; that lock makes the second chunk fail.
    void ExpectTheSecondChunkToFailUnder(const char* lockStatement);

    ProbingCallback m_probe{StorePath(), ListPath()};
};

} // namespace

TEST_F(ChunkedCommitTest, BeginsComeBeforeTheirChunksTransactionAndDonesAfterIt) {
    m_processor.SetCommitChunkFiles(2);
    const std::vector<std::string> m = Md5sOf(1, 6);
    EXPECT_EQ(0, m_processor.CommitTrusted(EntriesOf({m[0], m[1], m[2], m[3], m[4]})));
    const std::vector<std::string> trusted = {
        "begin+ " + m[0] + " 0/0 lists=0",
        "begin+ " + m[1] + " 0/0 lists=0",
        "done+ " + m[0] + " 2/0 lists=0",
        "done+ " + m[1] + " 2/0 lists=0",
        "begin+ " + m[2] + " 2/0 lists=0",
        "begin+ " + m[3] + " 2/0 lists=0",
        "done+ " + m[2] + " 4/0 lists=0",
        "done+ " + m[3] + " 4/0 lists=0",
        "begin+ " + m[4] + " 4/0 lists=0",
        "done+ " + m[4] + " 5/0 lists=5", // the update ends with the last chunk
        "batch+ 5 5/0 lists=5"};
    EXPECT_EQ(trusted, m_probe.events);
    EXPECT_EQ(5u, ComponentLists().size());

    // Moving to the blacklist happens inside each chunk's transaction.
    m_probe.events.clear();
    EXPECT_EQ(0, m_processor.CommitBlack(EntriesOf({m[1], m[2], m[5]})));
    const std::vector<std::string> black = {"begin- " + m[1] + " 5/0 lists=5",
                                            "begin- " + m[2] + " 5/0 lists=5",
                                            "done- " + m[1] + " 3/2 lists=5",
                                            "done- " + m[2] + " 3/2 lists=5",
                                            "begin- " + m[5] + " 3/2 lists=5",
                                            "done- " + m[5] + " 3/3 lists=6",
                                            "batch- 3 3/3 lists=6"};
    EXPECT_EQ(black, m_probe.events);
    const std::map<std::string, char> lists = ComponentLists();
    ASSERT_EQ(6u, lists.size());
    EXPECT_EQ('T', lists.at(m[0]));
    EXPECT_EQ('B', lists.at(m[1]));
    EXPECT_EQ('B', lists.at(m[5]));
}

TEST_F(ChunkedCommitTest, OfAnMd5CommittedTwiceTheLastPathStaysAndBothAreReported) {
    int next = 100;
    for (const std::size_t chunk : {1, 2, 10}) {
        m_processor.SetCommitChunkFiles(chunk);
        m_probe.events.clear();
        const std::string a = Md5Of(next++), b = Md5Of(next++);
        EXPECT_EQ(0, m_processor.CommitTrusted({CommitEntry{a, "C:\\first.exe"},
                                                CommitEntry{b, "C:\\b.exe"},
                                                CommitEntry{a, "C:\\second.exe"}}));
        std::vector<std::string> reports;
        for (const std::string& event : m_probe.events)
            reports.push_back(event.substr(0, event.find(' ', event.find(' ') + 1)));
        std::vector<std::string> expected;
        if (chunk == 1)
            expected = {"begin+ " + a, "done+ " + a,  "begin+ " + b,
                        "done+ " + b,  "begin+ " + a, "done+ " + a};
        else if (chunk == 2)
            expected = {"begin+ " + a, "begin+ " + b, "done+ " + a,
                        "done+ " + b,  "begin+ " + a, "done+ " + a};
        else
            expected = {"begin+ " + a, "begin+ " + b, "begin+ " + a,
                        "done+ " + a,  "done+ " + b,  "done+ " + a};
        expected.push_back("batch+ 3");
        EXPECT_EQ(expected, reports) << "chunks of " << chunk;
        EXPECT_EQ(std::vector<std::string>{"C:\\second.exe"}, StoredPaths("UserTrusted", a))
            << "chunks of " << chunk;
        EXPECT_EQ(std::vector<std::string>{"C:\\b.exe"}, StoredPaths("UserTrusted", b));
    }
}

TEST_F(ChunkedCommitTest, APathTooLongForTheStoreIsLeftOutOfStoreAndComponentAndReported) {
    const std::string a = Md5Of(1), b = Md5Of(2), c = Md5Of(3);
    const std::string longest = "C:\\" + std::string(252, 'p') + ".exe"; // 259 bytes
    EXPECT_EQ(0, m_processor.CommitBlack({CommitEntry{a, longest + "x"}, CommitEntry{b, "C:\\b"},
                                          CommitEntry{c, longest}}));
    std::vector<std::string> reports;
    for (const std::string& event : m_probe.events)
        reports.push_back(event.substr(0, event.find(' ', event.find(' ') + 1)));
    const std::vector<std::string> expected = {"error -3",   "begin- " + b, "begin- " + c,
                                               "done- " + b, "done- " + c,  "batch- 2"};
    EXPECT_EQ(expected, reports);
    EXPECT_TRUE(StoredPaths("UserBlack", a).empty());
    EXPECT_EQ(std::vector<std::string>{longest}, StoredPaths("UserBlack", c)); // whole
    const std::map<std::string, char> lists = ComponentLists();
    EXPECT_EQ(0u, lists.count(a));
    EXPECT_EQ(1u, lists.count(c));
}

void ChunkedCommitTest::ExpectTheSecondChunkToFailUnder(const char* lockStatement) {
    m_processor.SetCommitChunkFiles(2);
    const std::vector<std::string> m = Md5sOf(1, 5);
    SqlDatabase other;
    other.Open(WideToUtf8(StorePath()).c_str());
    m_probe.hook = [&](const std::string& event) {
        if (event.compare(0, 6 + 32, "done+ " + m[1]) == 0)
            other.RunStatement(lockStatement);
    };
    EXPECT_EQ(kStoreWriteFailed, m_processor.CommitTrusted(EntriesOf(m)));
    m_probe.hook = nullptr;
    other.RunStatement("ROLLBACK");
    std::vector<std::string> reports;
    for (const std::string& event : m_probe.events)
        reports.push_back(event.substr(0, event.find(' ', event.find(' ') + 1)));
    const std::vector<std::string> expected = {"begin+ " + m[0], "begin+ " + m[1], "done+ " + m[0],
                                               "done+ " + m[1],  "begin+ " + m[2], "begin+ " + m[3],
                                               "error -2",       "batch+ 2"};
    EXPECT_EQ(expected, reports);
    // Rolled back, kept from the component; the update still ended.
    EXPECT_EQ(2u,
              StoredPaths("UserTrusted", m[0]).size() + StoredPaths("UserTrusted", m[1]).size());
    EXPECT_TRUE(StoredPaths("UserTrusted", m[2]).empty());
    EXPECT_TRUE(StoredPaths("UserTrusted", m[3]).empty());
    const std::map<std::string, char> lists = ComponentLists();
    EXPECT_EQ((std::map<std::string, char>{{m[0], 'T'}, {m[1], 'T'}}), lists);

    // Nothing of the failed transaction is left open on the processor's
    // connection: the next commit goes through.
    m_probe.events.clear();
    EXPECT_EQ(0, m_processor.CommitTrusted(EntriesOf({m[2], m[3], m[4]})));
    EXPECT_EQ("batch+ 3 5/0 lists=5", m_probe.events.back());
    EXPECT_EQ(5u, ComponentLists().size());
}

TEST_F(ChunkedCommitTest, AChunkThatCannotTakeTheWriteLockFailsAndStopsTheCommit) {
    ExpectTheSecondChunkToFailUnder("BEGIN EXCLUSIVE");
}

TEST_F(ChunkedCommitTest, AChunkWhoseCommitWaitsOutAReaderIsRolledBackAndStopsTheCommit) {
    // A read transaction lets the chunk write but not commit.
    ExpectTheSecondChunkToFailUnder("BEGIN; SELECT count(*) FROM UserTrusted");
}

TEST(ChunkedCommit, AStoreThatIsNoDatabaseFailsTheCommitBeforeAnyFileIsBegun) {
    testsupport::TempDir dir;
    const std::wstring lists = dir.File(L"vmrdetect.lists");
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", lists.c_str());
    const std::string junk(4096, 'j');
    ASSERT_TRUE(testsupport::WriteFileBytes(dir.File(L"UserSign.dat"), junk.data(),
                                            static_cast<unsigned>(junk.size())));
    {
        FileProcessor processor;
        testsupport::RecordingCallback callback;
        processor.SetCallback(&callback);
        ASSERT_EQ(0, processor.Initialize(dir.File(L"UserSign.dat")));
        EXPECT_EQ(kStoreWriteFailed,
                  processor.CommitTrusted(Entries({"0123456789abcdef0123456789abcdef"})));
        EXPECT_EQ((std::vector<std::string>{"error -2", "batch+ 0"}), callback.Events());
    }
    EXPECT_TRUE(testsupport::ReadComponentLists(lists).empty());
    EXPECT_EQ(junk, testsupport::ReadFileBytes(dir.File(L"UserSign.dat")));
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr);
}
