#pragma once
// The files under a list of dropped or picked paths, one at a time, in walk
// order: each path in turn; a folder's entries in the order the directory
// search returns them, depth first, "." and ".." skipped. A folder met by the
// walk is known to be one from its search entry and is never searched for
// again; a plain path given (or a volume root, which is never walked) is a
// file. Only the searches of the folders on the way down are open at a time.
// The walk's own calls take every path in the "\\?\" form, so that a tree
// deeper than 260 characters is walked whole; it reports paths in their
// ordinary form.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

// A file the walk reached.
struct WalkedFile {
    std::wstring path;
    std::size_t givenIndex = 0; // which of the given paths it is or lies under
    bool given = false;         // one of the paths given, not an entry of a folder
};

// The directory calls of a walk (tests record them).
struct WalkFileSystem {
    std::function<DWORD(const wchar_t* path)> getAttributes;
    std::function<HANDLE(const wchar_t* pattern, WIN32_FIND_DATAW* entry)> findFirst;
    std::function<BOOL(HANDLE search, WIN32_FIND_DATAW* entry)> findNext;
};

// The system's calls.
const WalkFileSystem& SystemWalkFileSystem();

class PathWalk {
public:
    explicit PathWalk(std::vector<std::wstring> paths,
                      const WalkFileSystem& fileSystem = SystemWalkFileSystem());
    ~PathWalk();
    PathWalk(const PathWalk&) = delete;
    PathWalk& operator=(const PathWalk&) = delete;

    // The next file; false when every path has been walked.
    bool Next(WalkedFile& file);

private:
    class FolderSearch;

    // Opens the next given path: true with `file` set when it is a file,
    // false when it was a folder (now being searched) or there is none left.
    bool OpenNextGiven(WalkedFile& file);
    bool IsFolder(const std::wstring& path) const;

    const WalkFileSystem& m_fileSystem;
    std::vector<std::wstring> m_paths;
    std::size_t m_nextPath = 0;
    std::vector<std::unique_ptr<FolderSearch>> m_searches; // the innermost last
};
