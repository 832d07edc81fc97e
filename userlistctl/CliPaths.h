#pragma once

#include <string>
#include <string_view>
// Paths given on the command line: Windows paths, and under Wine also Unix
// paths ("/tmp/x" names the same file as "Z:\tmp\x"), made full.

// The full Windows path for an argument.
std::wstring ResolveCliPath(std::wstring_view argument);

// True when a file or folder is at the path.
bool PathExists(const std::wstring& path);
