#include "intake/CActor.h"

namespace {
constexpr DWORD kStopWaitRoundMs = 5000;
}

CActor::~CActor() {
    Stop();
}

DWORD WINAPI CActor::ThreadMain(void* parameter) {
    CActor* actor = static_cast<CActor*>(parameter);
    if (!actor->m_callback)
        return static_cast<DWORD>(E_FAIL);
    actor->m_callback->Run(actor);
    return 0;
}

HRESULT CActor::Start(IActorCallBack* callback) {
    if (FAILED(Stop()))
        return E_FAIL;
    m_callback = callback;
    m_stopEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent || m_thread) {
        Stop();
        return E_FAIL;
    }
    // The thread starts suspended so that its handle and id are in place
    // before the body runs: a body that asks whether it is on the actor's
    // thread, or calls Stop at once, must see them.
    DWORD id = 0;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, CREATE_SUSPENDED, &id));
    if (!m_thread) {
        Stop();
        return E_FAIL;
    }
    m_threadId = id;
    ResumeThread(m_thread.Get());
    return 0;
}

HRESULT CActor::Stop() {
    if (m_stopEvent)
        SetEvent(m_stopEvent.Get());
    m_lastStopRounds = 0;
    while (m_thread) {
        if (IsActorThread())
            return E_FAIL;
        ++m_lastStopRounds;
        if (WaitForSingleObject(m_thread.Get(), kStopWaitRoundMs) != WAIT_TIMEOUT)
            m_thread.Reset();
    }
    m_threadId = 0;
    m_stopEvent.Reset();
    return 0;
}

bool CActor::IsActorThread() const {
    return m_threadId != 0 && GetCurrentThreadId() == m_threadId;
}

bool CActor::WaitForStop(DWORD milliseconds) const {
    return m_stopEvent && WaitForSingleObject(m_stopEvent.Get(), milliseconds) == WAIT_OBJECT_0;
}
