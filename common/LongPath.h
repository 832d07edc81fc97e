#pragma once
// The "\\?\" form of a full path, with which the file system's calls take
// paths of any length (a plain path of 260 characters or more fails on
// Windows unless the machine allows long paths), and back.

#include <string>

// "C:\a" gives "\\?\C:\a", "\\server\share\a" gives "\\?\UNC\server\share\a".
// A path already in that form, a device path ("\\.\"), a relative path, or
// one the "\\?\" form would read differently ("/" separators, "." or ".."
// components, which only the ordinary form resolves) is returned unchanged.
std::wstring LongFormPath(const std::wstring& path);

// The ordinary form of a path given in the "\\?\" form; others unchanged.
std::wstring OrdinaryFormPath(const std::wstring& path);
