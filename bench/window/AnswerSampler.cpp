#include "bench/window/AnswerSampler.h"

#include <algorithm>

#include "bench/BenchTimer.h"
#include "bench/window/ProgramWindows.h"
#include "bench/window/WallClock.h"

AnswerSummary SummariseAnswers(const std::vector<AnswerSample>& samples, double from) {
    AnswerSummary summary;
    for (const AnswerSample& sample : samples) {
        if (sample.startedAt < from)
            continue;
        ++summary.samples;
        if (!sample.answered)
            ++summary.unanswered;
        summary.longestMs = std::max(summary.longestMs, sample.ms);
    }
    return summary;
}

AnswerSampler::AnswerSampler(HWND window, DWORD periodMs, UINT timeoutMs)
    : m_window(window), m_periodMs(periodMs), m_timeoutMs(timeoutMs), m_thread([this] { Run(); }) {}

AnswerSampler::~AnswerSampler() {
    Stop();
}

std::vector<AnswerSample> AnswerSampler::Stop() {
    m_stop = true;
    if (!m_thread.joinable())
        return {};
    m_thread.join();
    return std::move(m_samples);
}

void AnswerSampler::Run() {
    while (!m_stop) {
        const BenchTimer period;
        AnswerSample sample;
        sample.startedAt = EpochSeconds();
        const std::optional<double> took = AnswerTime(m_window, m_timeoutMs);
        sample.answered = took.has_value();
        sample.ms = took.value_or(static_cast<double>(m_timeoutMs));
        m_samples.push_back(sample);
        const double left = m_periodMs - period.Seconds() * 1000.0;
        if (left > 0)
            Sleep(static_cast<DWORD>(left));
    }
}
