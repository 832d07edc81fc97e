#pragma once
// A critical section and its scoped holder.

#include <windows.h>

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }
    // Held by the caller: releases it until `condition` is woken, then
    // takes it again.
    void Wait(CONDITION_VARIABLE& condition) {
        SleepConditionVariableCS(&condition, &m_section, INFINITE);
    }

private:
    CRITICAL_SECTION m_section;
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
