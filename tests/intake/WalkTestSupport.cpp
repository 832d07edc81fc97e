#include "tests/intake/WalkTestSupport.h"

#include <windows.h>

#include "tests/support/PeFile.h"
#include "tests/support/TempDir.h"

namespace testsupport {

namespace {

bool IsDot(const wchar_t* name) {
    return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0;
}

void WalkFolder(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName))
            continue;
        const std::wstring path = folder + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            WalkFolder(path + L"\\", files);
        else
            files.push_back(path);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool IsFolder(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::vector<std::wstring> ReferenceWalk(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> files;
    for (const std::wstring& path : paths) {
        if (!IsFolder(path)) {
            files.push_back(path);
            continue;
        }
        std::wstring folder = path;
        while (folder.back() == L'\\')
            folder.pop_back();
        WalkFolder(folder + L"\\", files);
    }
    return files;
}

std::size_t WriteMixedTree(const std::wstring& root, int folders, int filesPerFolder) {
    std::size_t written = 0;
    std::wstring parent = root;
    for (int f = 0; f < folders; ++f) {
        // Depths cycle through one to four: every fourth folder starts again
        // at the root, the others nest in the one before.
        const std::wstring folder = (f % 4 == 0 ? root : parent) + L"\\dir" + std::to_wstring(f);
        CreateDirectoryW(folder.c_str(), nullptr);
        parent = folder;
        for (int i = 0; i < filesPerFolder; ++i) {
            const std::string tag = std::to_string(f) + "/" + std::to_string(i);
            const std::wstring name = folder + L"\\file" + std::to_wstring(i);
            const int kind = (f * filesPerFolder + i) % 37;
            if (kind == 5)
                WritePeFile(name + L".exe", tag + std::string(3 << 20, 'b')); // slow to hash
            else if (kind == 11)
                WriteFileBytes(name + L".txt", tag.data(), static_cast<unsigned>(tag.size()));
            else if (kind == 17)
                WriteFileBytes(name + L".bin", "", 0);
            else
                WritePeFile(name + L".dll", tag + std::string(static_cast<std::size_t>(i) * 97,
                                                              static_cast<char>('a' + kind)));
            ++written;
        }
    }
    return written;
}

} // namespace testsupport
