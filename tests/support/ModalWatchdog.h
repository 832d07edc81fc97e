#pragma once
// Ends a dialog's modal loop that nothing else ended within a time, so that
// a fault fails the test instead of hanging it: a TimerWindow of the test's
// thread, which the loop runs.

#include <windows.h>

#include "tests/support/TimerWindow.h"
#include "ui/engine/CTwDialogHost.h"

namespace testsupport {

class ModalWatchdog {
public:
    ModalWatchdog(CTwDialogHost& dialog, UINT milliseconds)
        : m_dialog(dialog), m_timer(milliseconds, [this] { Fire(); }) {}
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

private:
    void Fire() {
        m_timer.Stop();
        m_dialog.EndModal(-1);
    }

    CTwDialogHost& m_dialog;
    TimerWindow m_timer;
};

} // namespace testsupport
