#include "bench/window/MouseClicks.h"

namespace {

// Time for the window under the pointer to see it arrive (hover) before
// the press, and the press before the release, as a hand would leave.
constexpr DWORD kSettleMs = 30;

bool SendButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1;
}

} // namespace

bool ClickAtScreen(POINT point) {
    if (!SetCursorPos(point.x, point.y))
        return false;
    Sleep(kSettleMs);
    if (!SendButton(MOUSEEVENTF_LEFTDOWN))
        return false;
    Sleep(kSettleMs);
    return SendButton(MOUSEEVENTF_LEFTUP);
}
