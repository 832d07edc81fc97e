#pragma once
// Counts a public call of the file processor in progress, so that Shutdown
// can wait for it; a call made once the processor stops is refused.

#include "intake/FileProcessor.h"

class FileProcessor::CallGuard {
public:
    explicit CallGuard(FileProcessor& owner) : m_owner(owner) {
        ScopedLock lock(m_owner.m_callsLock);
        ++m_owner.m_activeCalls;
        m_admitted = !m_owner.Stopping();
    }
    ~CallGuard() {
        bool last;
        {
            ScopedLock lock(m_owner.m_callsLock);
            last = --m_owner.m_activeCalls == 0;
        }
        if (last)
            WakeAllConditionVariable(&m_owner.m_callsEnded);
    }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;
    bool Admitted() const { return m_admitted; }

private:
    FileProcessor& m_owner;
    bool m_admitted;
};
