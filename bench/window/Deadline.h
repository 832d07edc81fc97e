#pragma once
// The time limit of one benchmark step, and waiting within it.

#include <algorithm>

#include <windows.h>

#include "bench/BenchTimer.h"

class Deadline {
public:
    explicit Deadline(double seconds) : m_seconds(seconds) {}

    double LimitSeconds() const { return m_seconds; }
    bool Passed() const { return m_timer.Seconds() >= m_seconds; }
    // What is left, at least 1 ms: a wait given it ends by the deadline.
    UINT RemainingMs() const {
        const double left = (m_seconds - m_timer.Seconds()) * 1000.0;
        return static_cast<UINT>(std::max(1.0, left));
    }

private:
    double m_seconds;
    BenchTimer m_timer;
};

// Asks `ready` every `pollMs` until it says yes (true) or the deadline
// passes (false).
template <class Ready> bool WaitFor(const Deadline& deadline, DWORD pollMs, Ready ready) {
    while (!ready()) {
        if (deadline.Passed())
            return false;
        Sleep(pollMs);
    }
    return true;
}
