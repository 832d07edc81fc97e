#pragma once
// Trees of test files for the walks, and the order a plain recursive walk
// gives, which the processor's walks are checked against.

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

// The files under `paths` as a one-thread recursive walk meets them: each
// path in turn (searched for itself; what is not found as a folder is a
// file), a folder's entries in the order its directory search returns them,
// depth first, "." and ".." skipped.
std::vector<std::wstring> ReferenceWalk(const std::vector<std::wstring>& paths);

// Writes a tree under `root` (which must exist): `folders` folders at depths
// one to four, each with `filesPerFolder` files of mixed kinds: small PE
// images, some of several MiB (slow to hash among fast ones), text files and
// empty files, each with content of its own. Returns the number of files.
std::size_t WriteMixedTree(const std::wstring& root, int folders, int filesPerFolder);

} // namespace testsupport
