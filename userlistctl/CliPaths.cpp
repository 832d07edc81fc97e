#include "userlistctl/CliPaths.h"

#include <windows.h>

namespace {

// Wine shows the Unix root as drive Z:.
WString FromUnixPath(WStringView argument) {
    WString path = L"Z:";
    for (const wchar_t c : argument)
        path += (c == L'/') ? L'\\' : c;
    return path;
}

WString FullPath(const WString& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    WString full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    return full;
}

} // namespace

WString ResolveCliPath(WStringView argument) {
    const bool unixStyle = !argument.empty() && argument[0] == L'/' &&
                           (argument.size() < 2 || argument[1] != L'/');
    return FullPath(unixStyle ? FromUnixPath(argument) : WString(argument));
}

bool PathExists(const WString& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
