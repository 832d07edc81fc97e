#pragma once
// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.

#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    // Path() + name.
    std::wstring File(std::wstring_view name) const { return m_path + std::wstring(name); }

private:
    std::wstring m_path;
};

// Removes a file or a folder tree; true when nothing is left.
bool RemoveTree(const std::wstring& path);

// Writes bytes to a file, replacing it. True on success.
bool WriteFileBytes(const std::wstring& path, const void* data, unsigned size);

// The whole content of a file (shared with writers); empty when it cannot be
// read.
std::string ReadFileBytes(const std::wstring& path);

} // namespace testsupport
