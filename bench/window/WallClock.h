#pragma once
// Wall-clock time as seconds since 1970-01-01 UTC, the clock other
// processes of the machine (also non-Windows ones) read as well: an instant
// taken by one process and one taken by another can be subtracted.

#include <windows.h>

inline double EpochSeconds() {
    FILETIME now = {};
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr unsigned long long kTicksFrom1601To1970 = 116444736000000000ULL;
    return static_cast<double>(ticks - kTicksFrom1601To1970) / 1e7;
}
