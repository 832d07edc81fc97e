#include "intake/IntakeWorkers.h"

#include <memory>

#include "common/Handles.h"

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, &path[0], length + 1);
        path.resize(copied);
        paths.push_back(std::move(path));
    }
    return paths;
}

void RunDropWork(FileProcessor& processor, HDROP drop, HWND window, int tab, BusyFlag& busy) {
    processor.ExpandPaths(DroppedPaths(drop));
    DragFinish(drop);
    // Busy until the window has taken the drop's end: a drop started before
    // would reset the counts its summary shows.
    if (window)
        SendMessageW(window, WM_INTAKE_DONE, static_cast<WPARAM>(tab), 0);
    busy.Release();
}

std::vector<std::wstring> ParseOpenDialogSelection(const wchar_t* buffer) {
    std::vector<std::wstring> files;
    if (!buffer || buffer[0] == L'\0')
        return files;
    const std::wstring first(buffer);
    const wchar_t* next = buffer + first.size() + 1;
    if (*next == L'\0') {
        files.push_back(first); // one file, given as a full path
        return files;
    }
    std::wstring folder = first;
    if (folder.back() != L'\\')
        folder += L'\\';
    while (*next != L'\0') {
        const std::wstring name(next);
        files.push_back(folder + name);
        next += name.size() + 1;
    }
    return files;
}

void RunPickedFilesWork(FileProcessor& processor, const std::vector<std::wstring>& files) {
    processor.ExpandPaths(files);
}

void RunCommitWork(FileProcessor& processor, ListKind list, const std::vector<CommitEntry>& entries,
                   const EntryOrigin* origin) {
    if (entries.empty())
        return;
    if (list == ListKind::Trusted)
        processor.CommitTrusted(entries, origin);
    else
        processor.CommitBlack(entries, origin);
}

namespace {

DWORD WINAPI DetachedWorkerMain(void* parameter) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

} // namespace

bool StartDetachedWorker(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    UniqueHandle thread(CreateThread(nullptr, 0, DetachedWorkerMain, owned.get(), 0, nullptr));
    if (!thread)
        return false;
    owned.release(); // the thread owns it now
    return true;
}
