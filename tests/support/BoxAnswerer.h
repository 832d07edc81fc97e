#pragma once
// Answers the program's message boxes that a window opens on the test's own
// thread, inside a modal loop the test cannot step into: a TimerWindow looks
// for an open box every 50 ms. All it learns stays in the object, so tests
// share nothing with the callback.
//
// With kEveryBox it answers every box until it is destroyed: OK to the
// removal questions, and each other box noted (mode and text) and closed
// with its OK. Given a button, it clicks that button in the first box (or,
// for kEscapeKey, presses Esc there), notes that box's mode, and stops.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "tests/support/DialogClicks.h"
#include "tests/support/TimerWindow.h"
#include "ui/windows/BoxModes.h"
#include "ui/windows/QMsgBoxDlg.h"

namespace testsupport {

class BoxAnswerer {
public:
    static constexpr int kEveryBox = 0;
    static constexpr int kEscapeKey = -1;

    explicit BoxAnswerer(int firstBoxButton = kEveryBox) : m_button(firstBoxButton) {}
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Runs `act` when a removal question opens, before it is answered: what
    // happens while the user reads the question.
    void WhileAsking(std::function<void()> act) { m_whileAsking = std::move(act); }
    // The texts of the removal questions answered.
    const std::vector<std::wstring>& QuestionTexts() const { return m_questionTexts; }

    // The boxes other than the removal questions, in the order answered.
    const std::vector<int>& Notices() const { return m_notices; }
    const std::vector<std::wstring>& NoticeTexts() const { return m_noticeTexts; }
    // The mode of the box the button was clicked in; 0 before.
    int ClickedMode() const { return m_clickedMode; }
    void Stop() { m_timer.Stop(); }

private:
    void Answer() {
        auto* box = dynamic_cast<QMsgBoxDlg*>(OpenMessageBox());
        if (!box)
            return;
        if (m_button != kEveryBox) {
            Stop();
            m_clickedMode = box->Mode();
            if (m_button == kEscapeKey)
                SendMessageW(box->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                ClickElement(*box, m_button);
        } else if (box->Mode() == BoxMode::kRemoveTrusted || box->Mode() == BoxMode::kRemoveBlack) {
            m_questionTexts.push_back(box->Text());
            if (m_whileAsking)
                std::exchange(m_whileAsking, nullptr)();
            ClickElement(*box, BoxElement::kOkButton);
        } else {
            m_notices.push_back(box->Mode());
            m_noticeTexts.push_back(box->Text());
            ClickElement(*box, BoxElement::kSoleOkButton);
        }
    }

    const int m_button;
    std::vector<int> m_notices;
    std::vector<std::wstring> m_noticeTexts;
    std::vector<std::wstring> m_questionTexts;
    std::function<void()> m_whileAsking;
    int m_clickedMode = 0;
    TimerWindow m_timer{50, [this] { Answer(); }}; // last: it answers with the rest in place
};

} // namespace testsupport
