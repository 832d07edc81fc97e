#include "tests/support/ShellDrop.h"

#include <cstring>

#include <shlobj.h>

namespace testsupport {

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::size_t units = 1;
    for (const std::wstring& path : paths)
        units += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        out += path.size() + 1;
    }
    *out = 0;
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

} // namespace testsupport
