// The answer times of a window sampled from another thread: a window whose
// thread is busy answers late, one blocked past the timeout is counted as
// unanswered, and the summary takes only the samples from a given instant.

#include "bench/window/AnswerSampler.h"
#include "bench/window/WallClock.h"
#include "common/Handles.h"
#include "tests/support/GTest.h"

namespace {

constexpr UINT kBusyMessage = WM_APP + 7; // wParam: milliseconds to be busy

LRESULT CALLBACK BusyProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kBusyMessage) {
        Sleep(static_cast<DWORD>(wparam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

// A window on a thread of its own with a message loop, as the program's
// main window is to the driver.
class WindowThread {
public:
    WindowThread() {
        m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        m_thread.Reset(CreateThread(nullptr, 0, &WindowThread::Run, this, 0, nullptr));
        WaitForSingleObject(m_ready.Get(), 5000);
    }
    ~WindowThread() {
        PostMessageW(m_window, WM_CLOSE, 0, 0);
        WaitForSingleObject(m_thread.Get(), 5000);
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Window() const { return m_window; }
    void KeepBusy(DWORD ms) { PostMessageW(m_window, kBusyMessage, ms, 0); }

private:
    static DWORD WINAPI Run(void* data) {
        auto* self = static_cast<WindowThread*>(data);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &BusyProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"AnswerSamplerTestWindow";
        RegisterClassW(&wc);
        self->m_window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, wc.hInstance, nullptr);
        SetEvent(self->m_ready.Get());
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_CLOSE && message.hwnd == self->m_window) {
                DestroyWindow(self->m_window);
                break;
            }
            DispatchMessageW(&message);
        }
        return 0;
    }

    UniqueHandle m_ready;
    HWND m_window = nullptr;
    UniqueHandle m_thread;
};

} // namespace

TEST(AnswerSampler, SummaryTakesTheSamplesFromAnInstantOn) {
    const std::vector<AnswerSample> samples = {
        {10.0, 900, true}, {11.0, 40, true}, {11.5, 250, false}, {12.0, 70, true}};
    const AnswerSummary from11 = SummariseAnswers(samples, 11.0);
    EXPECT_EQ(3, from11.samples);
    EXPECT_EQ(1, from11.unanswered);
    EXPECT_DOUBLE_EQ(250, from11.longestMs);
    const AnswerSummary later = SummariseAnswers(samples, 11.6);
    EXPECT_EQ(1, later.samples);
    EXPECT_DOUBLE_EQ(70, later.longestMs);
    EXPECT_EQ(0, SummariseAnswers(samples, 13.0).samples);
}

TEST(AnswerSampler, ABusyWindowAnswersLate) {
    WindowThread target;
    ASSERT_TRUE(target.Window());
    AnswerSampler sampler(target.Window(), 20, 5000);
    Sleep(150);
    const double busyFrom = EpochSeconds();
    target.KeepBusy(400);
    Sleep(700);
    const std::vector<AnswerSample> samples = sampler.Stop();
    EXPECT_TRUE(sampler.Stop().empty());
    const AnswerSummary idle =
        SummariseAnswers(std::vector<AnswerSample>(samples.begin(), samples.begin() + 3), 0);
    EXPECT_LT(idle.longestMs, 200);
    const AnswerSummary busy = SummariseAnswers(samples, busyFrom - 0.05);
    EXPECT_GE(busy.longestMs, 250);
    EXPECT_LT(busy.longestMs, 2000);
    EXPECT_EQ(0, busy.unanswered);
    // Sampling went on after the busy spell.
    EXPECT_GE(samples.size(), 8u);
}

TEST(AnswerSampler, AWindowBlockedPastTheTimeoutIsUnanswered) {
    WindowThread target;
    ASSERT_TRUE(target.Window());
    target.KeepBusy(600);
    Sleep(50);
    AnswerSampler sampler(target.Window(), 20, 100);
    Sleep(300);
    const AnswerSummary summary = SummariseAnswers(sampler.Stop(), 0);
    EXPECT_GE(summary.unanswered, 1);
    EXPECT_DOUBLE_EQ(100, summary.longestMs);
}
