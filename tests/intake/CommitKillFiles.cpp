#include "tests/intake/CommitKillFiles.h"

#include <cstdio>

namespace testsupport {

std::vector<CommitEntry> CommitKillFiles(int count) {
    std::vector<CommitEntry> files;
    files.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const unsigned n = static_cast<unsigned>(i);
        char md5[33];
        std::snprintf(md5, sizeof md5, "%08x%016x%08x", n * 2654435761u, 0x4b111u, n);
        char path[64];
        std::snprintf(path, sizeof path, "C:\\killed\\tree %03u\\f%06u.exe", n % 100, n);
        files.push_back(CommitEntry{md5, path});
    }
    return files;
}

} // namespace testsupport
