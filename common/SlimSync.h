#pragma once
// A non-recursive lock, a condition and a joinable thread for code that
// waits and wakes for nearly every piece of work (the ordered pool). Windows
// programs use the slim kernel ones (SRWLOCK, CONDITION_VARIABLE,
// CreateThread): under Wine they wait and wake without a round trip to the
// server, which the standard library's (semaphores and events underneath)
// would make. The portable core's native build, which has no Windows, uses
// the standard library's, which the thread sanitizer understands.

#ifdef _WIN32
#include <windows.h>

#include "common/Handles.h"
#else
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

class SlimLock {
public:
    SlimLock() = default;
    SlimLock(const SlimLock&) = delete;
    SlimLock& operator=(const SlimLock&) = delete;
#ifdef _WIN32
    void Acquire() {
        AcquireSRWLockExclusive(&m_lock);
    }
    void Release() {
        ReleaseSRWLockExclusive(&m_lock);
    }

private:
    friend class SlimCondition;
    SRWLOCK m_lock = SRWLOCK_INIT;
#else
    void Acquire() {
        m_lock.lock();
    }
    void Release() {
        m_lock.unlock();
    }

private:
    friend class SlimCondition;
    std::mutex m_lock;
#endif
};

// Holds a SlimLock for a scope.
class SlimLockHolder {
public:
    explicit SlimLockHolder(SlimLock& lock) : m_lock(lock) { m_lock.Acquire(); }
    ~SlimLockHolder() { m_lock.Release(); }
    SlimLockHolder(const SlimLockHolder&) = delete;
    SlimLockHolder& operator=(const SlimLockHolder&) = delete;

private:
    SlimLock& m_lock;
};

class SlimCondition {
public:
    SlimCondition() = default;
    SlimCondition(const SlimCondition&) = delete;
    SlimCondition& operator=(const SlimCondition&) = delete;
#ifdef _WIN32
    // `lock` is held: released until woken (or spuriously), then taken again.
    void Sleep(SlimLock& lock) {
        SleepConditionVariableSRW(&m_condition, &lock.m_lock, INFINITE, 0);
    }
    // As Sleep, for at most `milliseconds`.
    void SleepFor(SlimLock& lock, unsigned milliseconds) {
        SleepConditionVariableSRW(&m_condition, &lock.m_lock, milliseconds, 0);
    }
    void WakeOne() {
        WakeConditionVariable(&m_condition);
    }
    void WakeAll() {
        WakeAllConditionVariable(&m_condition);
    }

private:
    CONDITION_VARIABLE m_condition = CONDITION_VARIABLE_INIT;
#else
    void Sleep(SlimLock& lock) {
        std::unique_lock<std::mutex> held(lock.m_lock, std::adopt_lock);
        m_condition.wait(held);
        held.release();
    }
    void SleepFor(SlimLock& lock, unsigned milliseconds) {
        std::unique_lock<std::mutex> held(lock.m_lock, std::adopt_lock);
        m_condition.wait_for(held, std::chrono::milliseconds(milliseconds));
        held.release();
    }
    void WakeOne() {
        m_condition.notify_one();
    }
    void WakeAll() {
        m_condition.notify_all();
    }

private:
    std::condition_variable m_condition;
#endif
};

// A thread running `run(argument)`; Join waits for its end. A thread that
// could not be started is not Started().
class JoinableThread {
public:
    JoinableThread(void (*run)(void*), void* argument) {
#ifdef _WIN32
        m_run = run;
        m_argument = argument;
        m_thread = UniqueHandle(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
#else
        try {
            m_thread = std::thread(run, argument);
        } catch (const std::system_error&) {
        }
#endif
    }
    JoinableThread(const JoinableThread&) = delete;
    JoinableThread& operator=(const JoinableThread&) = delete;
    ~JoinableThread() {
        Join();
    }

#ifdef _WIN32
    bool Started() const {
        return static_cast<bool>(m_thread);
    }
    void Join() {
        if (m_thread)
            WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread = UniqueHandle();
    }

private:
    static DWORD WINAPI ThreadMain(void* self) {
        auto* thread = static_cast<JoinableThread*>(self);
        thread->m_run(thread->m_argument);
        return 0;
    }
    void (*m_run)(void*);
    void* m_argument;
    UniqueHandle m_thread;
#else
    bool Started() const {
        return m_thread.joinable();
    }
    void Join() {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
#endif
};
