// A child of the kill tests: commits COUNT generated files to the whitelist
// through the file processor, in chunks of CHUNK, on the real component and
// store, and sets the named event just before the work the test kills:
//   commit   the commit of all files
//   remove   the removal, one by one, of the first quarter (all committed
//            before)
//   both     the commit of the second half while another thread removes
//            the first quarter (the first half committed before)
// With UW_KILL_AT=POINT:N the process ends itself by TerminateProcess the
// Nth time that work reaches the named point (see WorkPointName).
//   commit_kill_driver STORE LISTS COUNT CHUNK EVENT [commit|remove|both]

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "intake/FileProcessor.h"
#include "tests/intake/CommitKillFiles.h"

namespace {

// The seam that ends the process at POINT's Nth arrival.
WorkSeam KillSeam() {
    char text[64] = {};
    if (GetEnvironmentVariableA("UW_KILL_AT", text, sizeof text) == 0)
        return nullptr;
    const std::string spec = text;
    const std::size_t colon = spec.find(':');
    if (colon == std::string::npos)
        return nullptr;
    const std::string name = spec.substr(0, colon);
    const int nth = std::atoi(spec.c_str() + colon + 1);
    auto count = std::make_shared<LONG>(0);
    return [name, nth, count](WorkPoint point) {
        if (name == WorkPointName(point) && InterlockedIncrement(count.get()) == nth)
            TerminateProcess(GetCurrentProcess(), 9);
        return WorkFault::None;
    };
}

void RemoveEach(FileProcessor& processor, const std::vector<CommitEntry>& files) {
    for (const CommitEntry& file : files)
        processor.RemoveEntry(file.md5);
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    if (argc != 6 && argc != 7)
        return 2;
    const int count = _wtoi(argv[3]);
    const int chunk = _wtoi(argv[4]);
    const std::wstring mode = argc == 7 ? argv[6] : L"commit";
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[5]);
    if (!started || count <= 0 || chunk <= 0)
        return 2;
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", argv[2]);
    FileProcessor processor;
    if (processor.Initialize(argv[1]) != 0)
        return 4;
    processor.SetCommitChunkFiles(static_cast<std::size_t>(chunk));
    const std::vector<CommitEntry> files = testsupport::CommitKillFiles(count);
    const auto half = files.begin() + count / 2;
    const std::vector<CommitEntry> quarter(files.begin(), files.begin() + count / 4);
    int result = 0;
    if (mode == L"commit") {
        processor.SetWorkSeam(KillSeam());
        SetEvent(started);
        result = processor.CommitTrusted(files);
    } else if (mode == L"remove") {
        processor.CommitTrusted(files);
        processor.SetWorkSeam(KillSeam());
        SetEvent(started);
        RemoveEach(processor, quarter);
    } else if (mode == L"both") {
        processor.CommitTrusted(std::vector<CommitEntry>(files.begin(), half));
        processor.SetWorkSeam(KillSeam());
        SetEvent(started);
        std::thread removals([&] { RemoveEach(processor, quarter); });
        result = processor.CommitTrusted(std::vector<CommitEntry>(half, files.end()));
        removals.join();
    } else {
        return 2;
    }
    CloseHandle(started);
    return result == 0 ? 0 : 3;
}
