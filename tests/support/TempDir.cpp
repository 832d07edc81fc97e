#include "tests/support/TempDir.h"

#include <windows.h>

namespace testsupport {

TempDir::TempDir() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        wchar_t name[64];
        wsprintfW(name, L"uwtest-%lu-%lu-%ld\\", GetCurrentProcessId(), GetTickCount(),
                  InterlockedIncrement(&counter));
        std::wstring candidate = std::wstring(base) + name;
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

TempDir::~TempDir() {
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool RemoveTree(const std::wstring& path) {
    std::wstring plain = path;
    while (!plain.empty() && plain.back() == L'\\')
        plain.pop_back();
    const DWORD attributes = GetFileAttributesW(plain.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(plain.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(plain.c_str()) != FALSE;
    }
    WIN32_FIND_DATAW entry;
    const std::wstring pattern = plain + L"\\*";
    HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpW(entry.cFileName, L".") == 0 || lstrcmpW(entry.cFileName, L"..") == 0)
                continue;
            RemoveTree(plain + L"\\" + entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return RemoveDirectoryW(plain.c_str()) != FALSE;
}

bool WriteFileBytes(const std::wstring& path, const void* data, unsigned size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data, size, &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

} // namespace testsupport
