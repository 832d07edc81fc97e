#include "shell/AppModule.h"

#include <new>

AppModule& AppModule::Instance() {
    static AppModule module;
    return module;
}

HRESULT AppModule::Init(HINSTANCE instance) {
    ScopedLock lock(m_lock);
    m_instance = instance;
    m_mainThread = GetCurrentThreadId();
    m_loops.reset(new (std::nothrow) std::map<DWORD, void*>());
    return m_loops ? S_OK : E_OUTOFMEMORY;
}

void AppModule::Term() {
    ScopedLock lock(m_lock);
    m_loops.reset();
}
