#pragma once
// The texts and small decisions of the main window that do not need a
// window: the message-box text, the summary line, the badge and the state
// of a select-all box.

#include <cstring>
#include <string>

#include <windows.h>

#include "intake/ComponentModule.h"
#include "intake/SignatureListKind.h"
#include "intake/StorePath.h"
#include "store/StoreAccess.h"
#include "ui/windows/BoxModes.h"

// The text handed to the message box for a mode.
std::wstring PrepareMsgBoxText(std::wstring text, int mode);

// The text of the one duplicate box of an intake: the first duplicate's
// name, prepared as for mode 1, and when there were more, how many more
// (before the line break a cut name ends with).
std::wstring DuplicateBoxText(const std::wstring& firstName, int more);

// The text of the box shown when the store could not be written during a
// commit (mode 9).
std::wstring StoreWriteFailedText();

// The text of the box shown when the component could not save its lists
// at the end of a commit (mode 9).
std::wstring ComponentNotSavedText();

// Why a removal of the file `name` did not happen: the component could not
// save its lists, or the store at `storePath` could not be written. The
// entry is still on its list.
std::wstring RemovalFailedText(const std::wstring& name, bool storeFailed,
                               const std::wstring& storePath);

// Why a removal of the file `name` from `confirmed` did not happen: the
// list no longer holds it (another change came first); `now` says where the
// store holds it.
std::wstring RemovalNotOnListText(const std::wstring& name, SignatureListKind confirmed,
                                  bool nowTrusted, bool nowBlack);

// Why a removal of the file `name` did not happen: the store at
// `storePath` could not be read.
std::wstring RemovalUnreadText(const std::wstring& name, const std::wstring& storePath);

// What the start could not do: read every stored entry of the store at
// `storePath`, or bring the component's lists in step with the store.
std::wstring StartLoadFailedText(const std::wstring& storePath);
std::wstring StartReconcileFailedText();

// A drop that came while the files of another were still being examined.
std::wstring DropWhileBusyText();

// Column 2 of a row whose work is under way: a pending row a commit has
// taken, an operated entry being removed.
inline constexpr wchar_t kWorkingText[] = L"正在处理";

// Why the detection component cannot be used: the file or the folder
// searched, and the cause, the other bitness spelled out.
std::wstring ComponentFailureText(const ComponentLoadFailure& failure);

// Why the store at `path` cannot be opened or written.
std::wstring StoreFailureText(const std::wstring& path, const StoreAccess& access);

// The one box of an intake for the files that could not be read: the first
// one's name and why, and how many more.
std::wstring UnreadableBoxText(const std::wstring& firstName, DWORD error, int more);

// Why a file could not be read, in a few words.
std::wstring ReadErrorText(DWORD error);

// The system's own text for an error code (in the user's language), without
// its line end; "错误 N" when the system has none.
std::wstring SystemErrorText(DWORD error);

// The summary rich text of a tab: N files added, M of them refused, with
// the "格式" link `linkId`.
std::string SummaryMarkup(int added, int refused, int linkId);

// What a pending row says when its path cannot be recorded in the store.
const wchar_t* UnrecordablePathText(StorePathResult problem);

// "99+" from 100 on, else the count.
std::wstring BadgeText(int count);

// What a select-all box shows for its list.
struct SelectAllState {
    const char* sub; // picture of the check_box skin
    bool enabled;
    bool allChecked;
};
SelectAllState SelectAllFor(int rowsWithBox, int checkedRows);
inline bool operator==(const SelectAllState& a, const SelectAllState& b) {
    return std::strcmp(a.sub, b.sub) == 0 && a.enabled == b.enabled && a.allChecked == b.allChecked;
}

// The file name of a path: the text after its last backslash.
std::wstring FileNameOf(const std::wstring& path);
