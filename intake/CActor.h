#pragma once
// A reusable worker thread with a stop event. The owner starts it with a
// callback whose Run is called on the new thread; Stop sets the event and
// waits until the thread has ended.

#include <windows.h>

#include "common/Handles.h"

class CActor;

class IActorCallBack {
public:
    virtual void Run(CActor* actor) = 0;

protected:
    ~IActorCallBack() = default;
};

class CActor {
public:
    CActor() = default;
    ~CActor();
    CActor(const CActor&) = delete;
    CActor& operator=(const CActor&) = delete;

    // 0, or E_FAIL (then the actor is stopped).
    HRESULT Start(IActorCallBack* callback);
    // 0 once the thread has ended (waiting in rounds of 5 seconds); E_FAIL at
    // once when called from the actor's own thread, which never waits for itself.
    HRESULT Stop();
    bool IsActorThread() const;
    // True when the stop event is set within the time.
    bool WaitForStop(DWORD milliseconds) const;

    // For tests: how many 5-second rounds the last Stop waited.
    int LastStopRounds() const { return m_lastStopRounds; }

private:
    static DWORD WINAPI ThreadMain(void* parameter);

    UniqueHandle m_thread;
    DWORD m_threadId = 0;
    UniqueHandle m_stopEvent;
    IActorCallBack* m_callback = nullptr;
    int m_lastStopRounds = 0;
};
