#pragma once
// A change that any thread may announce at any rate and that a window
// carries out on its own thread at most once per interval. The first
// announcement after a quiet spell posts one message; while that message
// waits, or while the interval since the last update has not passed (a
// timer then stands in for it), further announcements post nothing. A
// worker that announces never waits for the window.

#include <atomic>

#include <windows.h>

class CoalescedUpdate {
public:
    // `message` (with `wparam`) and timer `timerId` are the update's own on
    // the window it is attached to.
    CoalescedUpdate(UINT message, WPARAM wparam, UINT_PTR timerId, DWORD intervalMs = 50)
        : m_message(message), m_wparam(wparam), m_timerId(timerId), m_interval(intervalMs) {}
    CoalescedUpdate(const CoalescedUpdate&) = delete;
    CoalescedUpdate& operator=(const CoalescedUpdate&) = delete;

    void Attach(HWND window) { m_window = window; }

    // Any thread.
    void Request();

    enum class Step { NotMine, Wait, Now };
    // On the window's thread, for each message it gets: Now when the update
    // is to be made at once (announcements made from here on post again),
    // Wait when the timer will bring it, NotMine for other messages.
    Step OnMessage(UINT message, WPARAM wparam);

    // OnMessage, making the update with `update` when it is due: true when
    // the message was the update's own (handled), false for other messages.
    template <class Update> bool Handle(UINT message, WPARAM wparam, Update update) {
        const Step step = OnMessage(message, wparam);
        if (step == Step::Now)
            update();
        return step != Step::NotMine;
    }

private:
    HWND m_window = nullptr;
    const UINT m_message;
    const WPARAM m_wparam;
    const UINT_PTR m_timerId;
    const DWORD m_interval;
    std::atomic<bool> m_pending{false};
    DWORD m_last = 0; // the window's thread only
    bool m_lastValid = false;
};
