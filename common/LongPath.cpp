#include "common/LongPath.h"

#include <string_view>

namespace {

const std::wstring kLongPrefix = L"\\\\?\\";
const std::wstring kLongUncPrefix = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// A component "." or ".." anywhere, or a forward slash.
bool NeedsResolving(const std::wstring& path) {
    if (path.find(L'/') != std::wstring::npos)
        return true;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring_view part(path.data() + start, end - start);
        if (part == L"." || part == L"..")
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

std::wstring LongFormPath(const std::wstring& path) {
    if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\") || NeedsResolving(path))
        return path;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\')
        return kLongPrefix + path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\')
        return kLongUncPrefix + path.substr(2);
    return path;
}

std::wstring OrdinaryFormPath(const std::wstring& path) {
    if (StartsWith(path, kLongUncPrefix))
        return L"\\\\" + path.substr(kLongUncPrefix.size());
    if (StartsWith(path, kLongPrefix))
        return path.substr(kLongPrefix.size());
    return path;
}
