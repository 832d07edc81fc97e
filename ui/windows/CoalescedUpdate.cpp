#include "ui/windows/CoalescedUpdate.h"

void CoalescedUpdate::Request() {
    if (m_pending.exchange(true))
        return; // a message or the timer is on its way
    if (!m_window || !PostMessageW(m_window, m_message, m_wparam, 0))
        m_pending = false;
}

CoalescedUpdate::Step CoalescedUpdate::OnMessage(UINT message, WPARAM wparam) {
    const bool timer = message == WM_TIMER && wparam == m_timerId;
    if (!timer && (message != m_message || wparam != m_wparam))
        return Step::NotMine;
    const DWORD now = GetTickCount();
    const DWORD since = now - m_last;
    if (!timer && m_lastValid && since < m_interval) {
        SetTimer(m_window, m_timerId, m_interval - since, nullptr);
        return Step::Wait;
    }
    if (timer)
        KillTimer(m_window, m_timerId);
    m_pending = false;
    m_last = now;
    m_lastValid = true;
    return Step::Now;
}
