#pragma once
// Paths given on the command line: Windows paths, and under Wine also Unix
// paths ("/tmp/x" names the same file as "Z:\tmp\x"), made full.

#include "common/WideString.h"

// The full Windows path for an argument.
WString ResolveCliPath(WStringView argument);

// True when a file or folder is at the path.
bool PathExists(const WString& path);
