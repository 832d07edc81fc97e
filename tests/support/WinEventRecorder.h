#pragma once
// The WinEvents a test hears, hooked out of context: the hook's calls come
// through the hooking thread's messages, so they arrive only while that
// thread takes its messages (a modal loop, a pump). One recorder at a time:
// the hook's callback has no context of its own.

#include <vector>

#include <windows.h>

namespace testsupport {

// One WinEvent as the hook got it.
struct HeardEvent {
    DWORD event = 0;
    HWND window = nullptr;
    LONG object = 0;
    LONG child = 0;
};

class WinEventRecorder {
public:
    // The events from `first` to `last` of a process (0: every process),
    // and of one of its threads unless `thread` is 0.
    WinEventRecorder(DWORD first, DWORD last, DWORD process, DWORD thread = 0) {
        if (s_current)
            return; // another one listens: Hooked() says no
        m_hook =
            SetWinEventHook(first, last, nullptr, &Record, process, thread, WINEVENT_OUTOFCONTEXT);
        if (m_hook)
            s_current = this;
    }
    ~WinEventRecorder() {
        if (!m_hook)
            return;
        UnhookWinEvent(m_hook);
        s_current = nullptr;
    }
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    bool Hooked() const { return m_hook != nullptr; }
    const std::vector<HeardEvent>& Events() const { return m_events; }
    // The events of one kind, in the order heard.
    std::vector<HeardEvent> Of(DWORD event) const {
        std::vector<HeardEvent> found;
        for (const HeardEvent& heard : m_events) {
            if (heard.event == event)
                found.push_back(heard);
        }
        return found;
    }
    void Forget() { m_events.clear(); }

private:
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                DWORD, DWORD) {
        if (s_current)
            s_current->m_events.push_back(HeardEvent{event, window, object, child});
    }

    static inline WinEventRecorder* s_current = nullptr;
    HWINEVENTHOOK m_hook = nullptr;
    std::vector<HeardEvent> m_events;
};

} // namespace testsupport
