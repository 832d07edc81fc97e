// A child of the commit kill test: commits COUNT generated files to the
// whitelist through the file processor, in chunks of CHUNK, on the real
// component and store. It sets the named event just before the commit
// starts, so that the test can time its kill from there.
//   commit_kill_driver STORE LISTS COUNT CHUNK EVENT

#include <string>
#include <vector>

#include <windows.h>

#include "intake/FileProcessor.h"
#include "tests/intake/CommitKillFiles.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 6)
        return 2;
    const int count = _wtoi(argv[3]);
    const int chunk = _wtoi(argv[4]);
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[5]);
    if (!started || count <= 0 || chunk <= 0)
        return 2;
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", argv[2]);
    FileProcessor processor;
    if (processor.Initialize(argv[1]) != 0)
        return 4;
    processor.SetCommitChunkFiles(static_cast<std::size_t>(chunk));
    const std::vector<CommitEntry> files = testsupport::CommitKillFiles(count);
    SetEvent(started);
    CloseHandle(started);
    return processor.CommitTrusted(files) == 0 ? 0 : 3;
}
