#pragma once
// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.

#include "common/WideString.h"

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing backslash.
    const WString& Path() const { return m_path; }
    // Path() + name.
    WString File(WStringView name) const { return m_path + WString(name); }

private:
    WString m_path;
};

// Removes a file or a folder tree; true when nothing is left.
bool RemoveTree(const WString& path);

// Writes bytes to a file, replacing it. True on success.
bool WriteFileBytes(const WString& path, const void* data, unsigned size);

} // namespace testsupport
