#include "common/FileWrites.h"

#include <algorithm>
#include <utility>

bool WriteAllBytes(HANDLE file, const void* data, std::size_t size) {
    constexpr std::size_t kPieceBytes = 1 << 20;
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min(size, kPieceBytes));
        if (!WriteFile(file, at, piece, &written, nullptr) || written == 0)
            return false;
        at += written;
        size -= written;
    }
    return true;
}

ReplacingFile::ReplacingFile(std::wstring path)
    : m_path(std::move(path)), m_temporary(m_path + L".tmp") {}

ReplacingFile::~ReplacingFile() {
    if (!m_committed && m_file) {
        m_file.Reset();
        DeleteFileW(m_temporary.c_str());
    }
}

bool ReplacingFile::Failed() {
    if (m_error == 0)
        m_error = GetLastError();
    return false;
}

bool ReplacingFile::Open() {
    m_file.Reset(CreateFileW(m_temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file ? true : Failed();
}

bool ReplacingFile::Write(const void* data, std::size_t size) {
    return (m_file && WriteAllBytes(m_file.Get(), data, size)) ? true : Failed();
}

bool ReplacingFile::Commit() {
    if (!m_file || !FlushFileBuffers(m_file.Get()))
        return Failed();
    m_file.Reset();
    if (!MoveFileExW(m_temporary.c_str(), m_path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Failed();
        DeleteFileW(m_temporary.c_str());
        return false;
    }
    m_committed = true;
    return true;
}
