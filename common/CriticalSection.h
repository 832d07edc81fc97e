#pragma once
// A recursive lock and its scoped holder. Windows programs use the
// platform's critical section (under Wine it waits and wakes without a round
// trip to the server); the portable core's native build, which has no
// Windows, uses the standard library's recursive mutex, which the thread
// sanitizer understands. Both may be taken again by the thread holding them.

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

class CriticalSection {
public:
#ifdef _WIN32
    CriticalSection() {
        InitializeCriticalSection(&m_section);
    }
    ~CriticalSection() {
        DeleteCriticalSection(&m_section);
    }
#else
    CriticalSection() = default;
#endif
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

#ifdef _WIN32
    void Enter() {
        EnterCriticalSection(&m_section);
    }
    void Leave() {
        LeaveCriticalSection(&m_section);
    }
    // Held by the caller: releases it until `condition` is woken (or
    // `milliseconds` have passed), then takes it again.
    void Wait(CONDITION_VARIABLE& condition, DWORD milliseconds = INFINITE) {
        SleepConditionVariableCS(&condition, &m_section, milliseconds);
    }

private:
    CRITICAL_SECTION m_section;
#else
    void Enter() {
        m_mutex.lock();
    }
    void Leave() {
        m_mutex.unlock();
    }

private:
    std::recursive_mutex m_mutex;
#endif
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~ScopedLock() { m_section.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& m_section;
};
