// A real process committing, removing, or removing while it commits, ended
// by TerminateProcess at named points of that work: after the next start
// (the store opened, the component reconciled with it, as the window's
// start does) the store is whole and the component's lists hold exactly
// what the store holds, on the same lists. A removal cut short is either
// done or still on both.

#include <map>
#include <string>

#include <windows.h>

#include "common/TextConvert.h"
#include "intake/FileProcessor.h"
#include "store/SqlDatabase.h"
#include "tests/intake/IntakeTestSupport.h"
#include "tests/intake/KillDriverRun.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kFiles = 400;
constexpr int kChunk = 100;

struct KillCase {
    const wchar_t* mode;
    WorkPoint point;
    int nth;
};

// Runs the driver until it ends; its exit code (9 when it killed itself).
DWORD RunDriver(const testsupport::TempDir& dir, const KillCase& kill) {
    const std::string at = std::string(WorkPointName(kill.point)) + ":" + std::to_string(kill.nth);
    testsupport::KillDriverRun run(dir, kFiles, kChunk, kill.mode, at);
    return run.WaitEnd(120000);
}

// The next start, as the window makes it; then what the store holds.
std::map<std::string, char> StartAgain(const testsupport::TempDir& dir) {
    {
        SqlDatabase db;
        db.Open(WideToUtf8(dir.File(L"UserSign.dat")).c_str()); // replays a hot journal
        EXPECT_STREQ("ok", db.RunQuery("PRAGMA integrity_check").TextColumn("integrity_check"));
    }
    FileProcessor processor;
    processor.Initialize(dir.File(L"UserSign.dat"));
    UserListRecords trusted, black;
    processor.LoadTrustedEntries(trusted);
    processor.LoadBlackEntries(black);
    EXPECT_FALSE(processor.ReconcileComponent().failed);
    std::map<std::string, char> stored;
    for (const UserListRecord& record : trusted)
        stored[record.Md5] = 'T';
    for (const UserListRecord& record : black)
        stored[record.Md5] = 'B';
    return stored;
}

} // namespace

TEST(PointKill, AfterAKillAnywhereAndTheNextStartComponentAndStoreHoldTheSame) {
    const KillCase kills[] = {
        {L"commit", WorkPoint::ChunkTurn, 2},        {L"commit", WorkPoint::ChunkWrite, 3},
        {L"commit", WorkPoint::ChunkStored, 1},      {L"commit", WorkPoint::ChunkStored, 4},
        {L"commit", WorkPoint::CommitEndUpdate, 1},  {L"remove", WorkPoint::RemovalTurn, 3},
        {L"remove", WorkPoint::RemovalEndUpdate, 1}, {L"remove", WorkPoint::RemovalStore, 1},
        {L"remove", WorkPoint::RemovalStore, 60},    {L"both", WorkPoint::ChunkStored, 1},
        {L"both", WorkPoint::RemovalStore, 2},       {L"both", WorkPoint::RemovalEndUpdate, 30},
        {L"both", WorkPoint::CommitEndUpdate, 1},    {L"both", WorkPoint::ChunkWrite, 2},
    };
    for (const KillCase& kill : kills) {
        const std::string label = WideToUtf8(kill.mode) + " " + WorkPointName(kill.point) + ":" +
                                  std::to_string(kill.nth);
        testsupport::TempDir dir;
        SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", dir.File(L"vmrdetect.lists").c_str());
        // The kill fell inside the work: the point was reached that often.
        EXPECT_EQ(9u, RunDriver(dir, kill)) << label;
        const std::map<std::string, char> stored = StartAgain(dir);
        EXPECT_EQ(stored, testsupport::ReadComponentLists(dir.File(L"vmrdetect.lists"))) << label;
        EXPECT_LE(stored.size(), static_cast<std::size_t>(kFiles)) << label;
    }
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr);
}
