#include "intake/ListTurns.h"

#include "common/Invariant.h"

ListTurns::Turn::Turn(ListTurns& turns) : m_turns(turns) {
    ScopedLock lock(m_turns.m_lock);
    m_ticket = m_turns.m_next++;
    while (m_turns.m_serving != m_ticket)
        m_turns.m_lock.Wait(m_turns.m_changed);
}

ListTurns::Turn::~Turn() {
    {
        ScopedLock lock(m_turns.m_lock);
        // Only the turn being served ends: turns end in the order given.
        UW_INVARIANT(m_turns.m_serving == m_ticket);
        ++m_turns.m_serving;
    }
    WakeAllConditionVariable(&m_turns.m_changed);
}

bool ListTurns::Waiting() const {
    ScopedLock lock(m_lock);
    // Inside a turn the holder's own ticket is m_serving.
    return m_next > m_serving + 1;
}
