#pragma once
// The application module: the instance handle, the main thread's id and a
// table of message loops by thread (kept for windows that run loops of
// their own; created empty at start-up, deleted at shutdown).

// <windows.h> before the standard headers: its winsock.h and the C
// library's time headers must not meet the other way round.
#include <windows.h>

#include <map>
#include <memory>

#include "common/CriticalSection.h"

class AppModule {
public:
    static AppModule& Instance();
    // S_OK, or E_OUTOFMEMORY when the loop table cannot be made.
    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE InstanceHandle() const { return m_instance; }
    DWORD MainThreadId() const { return m_mainThread; }
    bool HasLoopTable() const { return m_loops != nullptr; }

private:
    AppModule() = default;
    CriticalSection m_lock;
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThread = 0;
    std::unique_ptr<std::map<DWORD, void*>> m_loops;
};
