#include "userlistctl/CliPaths.h"

#include <windows.h>

#include "common/ModulePath.h"

namespace {

// Wine shows the Unix root as drive Z:.
WString FromUnixPath(WStringView argument) {
    WString path = L"Z:";
    for (const wchar_t c : argument)
        path += (c == L'/') ? L'\\' : c;
    return path;
}

WString FullPath(const WString& path) {
    const WString full = FullPathName(path);
    return full.empty() ? path : full;
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
