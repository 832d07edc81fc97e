#pragma once
// The bodies of the main window's worker threads and their busy flags. The
// window decides when a worker starts; the work itself needs no window.

#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "intake/FileProcessor.h"

// Sent (synchronously) to the main window when a drop has been analysed:
// wParam the tab that was current when the drop arrived, lParam 0.
inline constexpr UINT WM_INTAKE_DONE = 0x0900;

// A flag that one worker at a time holds while it runs.
class BusyFlag {
public:
    // True when the flag was clear and is now held by the caller.
    bool TryAcquire() { return InterlockedCompareExchange(&m_busy, 1, 0) == 0; }
    void Release() { InterlockedExchange(&m_busy, 0); }
    bool IsBusy() const { return m_busy != 0; }

private:
    volatile LONG m_busy = 0;
};

// Every path of a drop, whole (a path is never cut to a buffer).
std::vector<std::wstring> DroppedPaths(HDROP drop);

// The drop worker: analyses every dropped path (one walk over all of them,
// reported in drop order), releases the drop, clears the busy flag, then
// sends WM_INTAKE_DONE to `window`.
void RunDropWork(FileProcessor& processor, HDROP drop, HWND window, int tab, BusyFlag& busy);

// The files chosen in a multi-file open dialog: the buffer holds either one
// full path, or a folder followed by file names, each NUL-terminated, with
// an empty name at the end.
std::vector<std::wstring> ParseOpenDialogSelection(const wchar_t* buffer);

// The open-dialog worker's work once the user has chosen: every file, as one
// walk reported in the order chosen.
void RunPickedFilesWork(FileProcessor& processor, const std::vector<std::wstring>& files);

// A commit worker's work: commits the gathered files (nothing when there
// are none).
// `origin`: who commits, how and why (null: not known).
void RunCommitWork(FileProcessor& processor, ListKind list, const std::vector<CommitEntry>& entries,
                   const EntryOrigin* origin = nullptr);

// Starts a thread that runs `work` once; false when no thread could be made.
// The thread is not joined: the work must keep what it uses alive.
bool StartDetachedWorker(std::function<void()> work);
