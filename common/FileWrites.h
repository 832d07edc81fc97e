#pragma once
// Writing whole texts to files: every byte or a failure, and a file
// replaced only once its new content is all on disk.

#include <cstddef>
#include <string>

#include <windows.h>

#include "common/Handles.h"

// Writes all `size` bytes at the file's position, in pieces of at most
// 1 MiB; false (GetLastError says why) when a write fails or writes nothing.
bool WriteAllBytes(HANDLE file, const void* data, std::size_t size);

// A new file beside `path` ("<path>.tmp") that takes the place of `path`
// at Commit, flushed first; until then the file at `path` stays as it was.
// One that goes uncommitted deletes its temporary file.
class ReplacingFile {
public:
    explicit ReplacingFile(std::wstring path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool Open();
    bool Write(const void* data, std::size_t size);
    bool Commit();
    // The system's error code of the first step that failed; 0 when none
    // did, or when it left none.
    DWORD Error() const { return m_error; }

private:
    bool Failed();

    const std::wstring m_path;
    const std::wstring m_temporary;
    UniqueFile m_file;
    bool m_committed = false;
    DWORD m_error = 0;
};
