#pragma once
// A signal that ends waits at once when raised: a manual-reset event that any
// thread may raise and wait on. Work that waits for something outside the
// program (another program's lock) waits on it, so that closing the window
// never waits for that other program.

#include <windows.h>

#include "common/Handles.h"

class CancelSignal {
public:
    CancelSignal() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    void Raise() { SetEvent(m_event.Get()); }
    bool Raised() const { return WaitForSingleObject(m_event.Get(), 0) == WAIT_OBJECT_0; }
    // Waits up to `milliseconds`; true as soon as the signal is raised.
    bool WaitFor(DWORD milliseconds) const {
        return WaitForSingleObject(m_event.Get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    UniqueHandle m_event;
};
