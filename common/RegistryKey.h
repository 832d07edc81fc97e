#pragma once
// An open registry key, closed when it goes.

#include <string>

#include <windows.h>

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(HKEY parent, const wchar_t* path, REGSAM access) {
        if (RegOpenKeyExW(parent, path, 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }
    bool HasValue(const wchar_t* name) const {
        return m_key &&
               RegQueryValueExW(m_key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    // A string value of at most `maxChars` characters, read into a buffer of
    // `maxChars` + 1 characters (the terminator's place included); false when
    // absent or longer.
    bool ReadString(const wchar_t* name, DWORD maxChars, std::wstring& value) const;

private:
    HKEY m_key = nullptr;
};

inline bool RegistryKey::ReadString(const wchar_t* name, DWORD maxChars,
                                    std::wstring& value) const {
    if (!m_key)
        return false;
    std::wstring buffer(maxChars + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD type = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]),
                         &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buffer.resize(bytes / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0')
        buffer.pop_back();
    if (buffer.size() > maxChars)
        return false; // stored without its terminator
    value = buffer;
    return true;
}
