// A real process committing through the file processor, killed at moments
// spread over its whole commit: after every kill the store opens, reads and
// holds whole chunks of the commit, each record complete, and every MD5 on
// the component's list file is in the store, on the same list.

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "common/TextConvert.h"
#include "store/SqlDatabase.h"
#include "tests/intake/CommitKillFiles.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/intake/KillDriverRun.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kFiles = 4000;
constexpr int kChunk = 250;
constexpr int kKills = 14;

struct LeftBehind {
    bool journal = false; // a transaction was cut: its rollback journal is left
    int stored = 0;       // files in the store
    int listed = 0;       // MD5s on the component's list file
};

// Checks what a run left in `dir` and says how far it got.
LeftBehind Check(const testsupport::TempDir& dir, const std::vector<CommitEntry>& files) {
    LeftBehind left;
    left.journal = !testsupport::ReadFileBytes(dir.File(L"UserSign.dat-journal")).empty();
    SqlDatabase db;
    db.Open(WideToUtf8(dir.File(L"UserSign.dat")).c_str()); // replays a hot journal
    EXPECT_STREQ("ok", db.RunQuery("PRAGMA integrity_check").TextColumn("integrity_check"));
    EXPECT_EQ(0, db.RunQuery("SELECT count(*) AS n FROM UserBlack").IntColumn("n"));
    // The files in list order (row numbers only grow), each record whole.
    for (SqlQuery rows = db.RunQuery("SELECT Md5, Path, Time FROM UserTrusted ORDER BY ID");
         !rows.AtEnd(); rows.Advance(), ++left.stored) {
        if (left.stored >= kFiles) {
            ADD_FAILURE() << "more rows than files";
            break;
        }
        const CommitEntry& file = files[static_cast<std::size_t>(left.stored)];
        EXPECT_EQ(file.md5, rows.TextColumn("Md5")) << "row " << left.stored;
        EXPECT_EQ(file.path, rows.TextColumn("Path")) << "row " << left.stored;
        const std::string time = rows.TextColumn("Time");
        EXPECT_TRUE(time.size() == 10 && time.find_first_not_of("0123456789") == std::string::npos)
            << time;
    }
    EXPECT_TRUE(left.stored % kChunk == 0 || left.stored == kFiles) << left.stored << " rows";

    std::map<std::string, int> stored;
    for (int i = 0; i < left.stored; ++i)
        stored[files[static_cast<std::size_t>(i)].md5] = i;
    for (const auto& [md5, list] : testsupport::ReadComponentLists(dir.File(L"vmrdetect.lists"))) {
        EXPECT_EQ('T', list) << md5;
        EXPECT_EQ(1u, stored.count(md5)) << md5 << " is on the component's list, not in the store";
        ++left.listed;
    }
    // The component's file is written once, when the commit's update ends.
    EXPECT_TRUE(left.listed == 0 || left.listed == kFiles) << left.listed << " listed";
    return left;
}

} // namespace

TEST(CommitKill, AProcessKilledAnywhereInItsCommitLeavesWholeChunksAndTheComponentWithinTheStore) {
    const std::vector<CommitEntry> files = testsupport::CommitKillFiles(kFiles);
    // One whole run gives the length of a commit.
    double commitMs = 0;
    {
        testsupport::TempDir dir;
        testsupport::KillDriverRun run(dir, kFiles, kChunk);
        ASSERT_TRUE(run.WaitStarted()) << "commit_kill_driver did not start";
        const ULONGLONG start = GetTickCount64();
        ASSERT_EQ(0u, run.WaitEnd(120000));
        commitMs = static_cast<double>(GetTickCount64() - start);
        const LeftBehind whole = Check(dir, files);
        EXPECT_EQ(kFiles, whole.stored);
        EXPECT_EQ(kFiles, whole.listed);
    }
    std::multiset<int> stored;
    std::string states;
    for (int kill = 0; kill < kKills; ++kill) {
        testsupport::TempDir dir;
        {
            testsupport::KillDriverRun run(dir, kFiles, kChunk);
            ASSERT_TRUE(run.WaitStarted());
            Sleep(static_cast<DWORD>(commitMs * kill / (kKills - 1)));
            run.Kill();
        }
        const LeftBehind left = Check(dir, files);
        stored.insert(left.stored);
        states += std::to_string(left.stored) + (left.journal ? "+journal" : "") + "/" +
                  std::to_string(left.listed) + " ";
        if (kill == kKills / 2) {
            // Committing again after the kill completes the lists.
            testsupport::KillDriverRun again(dir, kFiles, kChunk);
            ASSERT_TRUE(again.WaitStarted());
            ASSERT_EQ(0u, again.WaitEnd(120000));
            const LeftBehind whole = Check(dir, files);
            EXPECT_EQ(kFiles, whole.stored);
            EXPECT_EQ(kFiles, whole.listed);
        }
    }
    // The kills fell inside the commit, not only before or after it.
    std::string seen;
    std::set<int> partial;
    for (const int rows : stored) {
        seen += std::to_string(rows) + " ";
        if (rows > 0 && rows < kFiles)
            partial.insert(rows);
    }
    EXPECT_GE(partial.size(), 4u) << "rows stored at the kills: " << seen << "(commit " << commitMs
                                  << " ms)";
    std::printf("stored/listed at the kills: %s(a whole commit took %.0f ms)\n", states.c_str(),
                commitMs);
}
