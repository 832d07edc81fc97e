#pragma once
// A drop handle as the shell makes it, for WM_DROPFILES and DragQueryFileW.

#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace testsupport {

// DROPFILES, then the wide paths, each NUL-terminated, then one more NUL.
// The receiver of the drop frees it (DragFinish).
HDROP MakeDrop(const std::vector<std::wstring>& paths);

} // namespace testsupport
