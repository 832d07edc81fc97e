#pragma once
// One run of commit_kill_driver on a store and list file of its own (in a
// test's folder), which the test may end with TerminateProcess or let end.

#include <string>

#include <windows.h>

#include "common/Handles.h"
#include "tests/support/TempDir.h"

namespace testsupport {

class KillDriverRun {
public:
    // `mode` as the driver takes it (commit, remove, both); `killAt`
    // "POINT:N" makes the driver end itself there (empty: it does not).
    KillDriverRun(const TempDir& dir, int files, int chunk, const wchar_t* mode = L"commit",
                  const std::string& killAt = std::string());
    ~KillDriverRun() { Kill(); }
    KillDriverRun(const KillDriverRun&) = delete;
    KillDriverRun& operator=(const KillDriverRun&) = delete;

    // True once the driver is about to begin the work to kill.
    bool WaitStarted();
    // The exit code, or STILL_ACTIVE when the driver did not end in time.
    DWORD WaitEnd(DWORD milliseconds);
    void Kill();

private:
    UniqueHandle m_started;
    UniqueHandle m_process;
};

} // namespace testsupport
