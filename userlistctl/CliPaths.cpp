#include "userlistctl/CliPaths.h"

#include <windows.h>

#include "common/ModulePath.h"

namespace {

// Wine shows the Unix root as drive Z:.
std::wstring FromUnixPath(std::wstring_view argument) {
    std::wstring path = L"Z:";
    for (const wchar_t c : argument)
        path += (c == L'/') ? L'\\' : c;
    return path;
}

std::wstring FullPath(const std::wstring& path) {
    const std::wstring full = FullPathName(path);
    return full.empty() ? path : full;
}

} // namespace

std::wstring ResolveCliPath(std::wstring_view argument) {
    const bool unixStyle =
        !argument.empty() && argument[0] == L'/' && (argument.size() < 2 || argument[1] != L'/');
    return FullPath(unixStyle ? FromUnixPath(argument) : std::wstring(argument));
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
