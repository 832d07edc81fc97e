#pragma once
// Owners of kernel handles: each closes its handle when it goes.

#include <utility>

#include <windows.h>

// A handle closed with CloseHandle; `Invalid` is the value meaning "none"
// (INVALID_HANDLE_VALUE for files, null for threads and events).
template <HANDLE (*Invalid)()> class BasicHandle {
public:
    BasicHandle() = default;
    explicit BasicHandle(HANDLE handle) : m_handle(handle) {}
    ~BasicHandle() { Reset(); }
    BasicHandle(BasicHandle&& other) noexcept : m_handle(other.Release()) {}
    BasicHandle& operator=(BasicHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    BasicHandle(const BasicHandle&) = delete;
    BasicHandle& operator=(const BasicHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Invalid(); }
    explicit operator bool() const { return IsValid(); }
    HANDLE Release() { return std::exchange(m_handle, Invalid()); }
    void Reset(HANDLE handle = Invalid()) {
        if (m_handle != Invalid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = Invalid();
};

inline HANDLE NullHandleValue() {
    return nullptr;
}
inline HANDLE InvalidHandleValue() {
    return INVALID_HANDLE_VALUE;
}

using UniqueHandle = BasicHandle<NullHandleValue>;  // threads, events, mutexes
using UniqueFile = BasicHandle<InvalidHandleValue>; // CreateFileW results

// A directory search (FindFirstFileW), closed with FindClose.
class UniqueFind {
public:
    UniqueFind() = default;
    explicit UniqueFind(HANDLE handle) : m_handle(handle) {}
    ~UniqueFind() { Reset(); }
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Reset() {
        if (IsValid())
            FindClose(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
