#pragma once
// Wall-clock timing for the benchmarks.

#include <windows.h>

class BenchTimer {
public:
    BenchTimer() { QueryPerformanceCounter(&m_start); }
    double Seconds() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start;
};
