#pragma once
// A thread for tests that call Win32: made with CreateThread so that Wine
// knows it (a std::thread is a bare host thread without Win32 state).

#include <functional>
#include <memory>

#include <windows.h>

namespace testsupport {

class TestThread {
public:
    explicit TestThread(std::function<void()> body)
        : m_body(std::make_unique<std::function<void()>>(std::move(body))) {
        m_handle = CreateThread(nullptr, 0, Main, m_body.get(), 0, nullptr);
    }
    ~TestThread() { Join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    void Join() {
        if (m_handle) {
            WaitForSingleObject(m_handle, INFINITE);
            CloseHandle(m_handle);
            m_handle = nullptr;
        }
    }

private:
    static DWORD WINAPI Main(void* body) {
        (*static_cast<std::function<void()>*>(body))();
        return 0;
    }
    std::unique_ptr<std::function<void()>> m_body;
    HANDLE m_handle = nullptr;
};

} // namespace testsupport
