#include "intake/PathWalk.h"

#include <string_view>
#include <utility>

#include "common/Handles.h"
#include "common/LongPath.h"

namespace {

bool IsDotEntry(const wchar_t* name) {
    return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0;
}

// "C:" or "C:\" and the like: a volume root, which is never walked.
bool IsVolumeRoot(std::wstring_view path) {
    return (path.size() == 2 || path.size() == 3) && path[1] == L':' &&
           (path.size() == 2 || path[2] == L'\\');
}

// The path without trailing backslashes, or empty for a volume root.
std::wstring SearchablePath(std::wstring_view path) {
    if (IsVolumeRoot(path))
        return std::wstring();
    std::wstring trimmed(path);
    while (trimmed.size() > 1 && trimmed.back() == L'\\')
        trimmed.pop_back();
    return trimmed;
}

// One search over a folder's entries; the basic information level (no short
// names) and large fetches make it cheap per entry.
HANDLE FindFirstEntry(const wchar_t* pattern, WIN32_FIND_DATAW* entry) {
    return FindFirstFileExW(pattern, FindExInfoBasic, entry, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

} // namespace

const WalkFileSystem& SystemWalkFileSystem() {
    static const WalkFileSystem system = {&GetFileAttributesW, &FindFirstEntry, &FindNextFileW};
    return system;
}

// The search over one folder (its path ends in "\") and the entry it holds.
class PathWalk::FolderSearch {
public:
    FolderSearch(std::wstring folder, const WalkFileSystem& fileSystem)
        : m_fileSystem(fileSystem), m_folder(std::move(folder)),
          m_search(fileSystem.findFirst((LongFormPath(m_folder) + L"*.*").c_str(), &m_entry)),
          m_unread(m_search.IsValid()) {}

    const std::wstring& Folder() const { return m_folder; }

    // The next entry other than "." and ".."; null at the end.
    const WIN32_FIND_DATAW* Next() {
        for (;;) {
            if (!m_unread &&
                (!m_search.IsValid() || !m_fileSystem.findNext(m_search.Get(), &m_entry)))
                return nullptr;
            m_unread = false;
            if (!IsDotEntry(m_entry.cFileName))
                return &m_entry;
        }
    }

private:
    const WalkFileSystem& m_fileSystem;
    const std::wstring m_folder;
    WIN32_FIND_DATAW m_entry;
    UniqueFind m_search;
    bool m_unread; // m_entry holds the search's first entry, not yet returned
};

PathWalk::PathWalk(std::vector<std::wstring> paths, const WalkFileSystem& fileSystem)
    : m_fileSystem(fileSystem), m_paths(std::move(paths)) {}

PathWalk::~PathWalk() = default;

bool PathWalk::Next(WalkedFile& file) {
    for (;;) {
        if (m_searches.empty()) {
            if (m_nextPath == m_paths.size())
                return false;
            if (OpenNextGiven(file))
                return true;
            continue;
        }
        FolderSearch& search = *m_searches.back();
        const WIN32_FIND_DATAW* entry = search.Next();
        if (!entry) {
            m_searches.pop_back();
            continue;
        }
        std::wstring path = search.Folder() + entry->cFileName;
        if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            path += L'\\';
            m_searches.push_back(std::make_unique<FolderSearch>(std::move(path), m_fileSystem));
            continue;
        }
        file.path = std::move(path);
        file.givenIndex = m_nextPath - 1;
        file.given = false;
        return true;
    }
}

// A missing path counts as a plain file (its analysis then says why).
bool PathWalk::IsFolder(const std::wstring& path) const {
    const DWORD attributes = m_fileSystem.getAttributes(LongFormPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathWalk::OpenNextGiven(WalkedFile& file) {
    const std::wstring& path = m_paths[m_nextPath++];
    const std::wstring searchable = SearchablePath(path);
    if (!searchable.empty() && IsFolder(searchable)) {
        m_searches.push_back(std::make_unique<FolderSearch>(searchable + L"\\", m_fileSystem));
        return false;
    }
    file.path = path;
    file.givenIndex = m_nextPath - 1;
    file.given = true;
    return true;
}
