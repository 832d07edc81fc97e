#pragma once
// How long the program's window takes to answer, sampled from outside on a
// thread of its own: every period a WM_NULL is sent to the window and the
// time until it returns is recorded, so a window busy for a second shows as
// one sample of about a second.

#include <atomic>
#include <thread>
#include <vector>

#include <windows.h>

struct AnswerSample {
    double startedAt = 0; // EpochSeconds when the message was sent
    double ms = 0;        // until it returned, or the timeout
    bool answered = false;
};

struct AnswerSummary {
    double longestMs = 0;
    int samples = 0;
    int unanswered = 0; // samples that ran into the timeout
};

// The samples sent at `from` (EpochSeconds) or later.
AnswerSummary SummariseAnswers(const std::vector<AnswerSample>& samples, double from);

class AnswerSampler {
public:
    // Starts sampling at once.
    AnswerSampler(HWND window, DWORD periodMs, UINT timeoutMs);
    ~AnswerSampler();
    AnswerSampler(const AnswerSampler&) = delete;
    AnswerSampler& operator=(const AnswerSampler&) = delete;

    // Ends the sampling (after the message on its way, if any) and hands
    // the samples over; later calls return nothing.
    std::vector<AnswerSample> Stop();

private:
    void Run();

    const HWND m_window;
    const DWORD m_periodMs;
    const UINT m_timeoutMs;
    std::atomic<bool> m_stop{false};
    // Written only by the sampling thread until it is joined.
    std::vector<AnswerSample> m_samples;
    std::thread m_thread;
};
