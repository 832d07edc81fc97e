#include "bench/window/ProgramWindows.h"

#include <string>

#include <commctrl.h>

#include "bench/BenchTimer.h"

namespace {

std::wstring WindowTitle(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

struct TopLevelSearch {
    const wchar_t* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(data);
    if (!IsWindowVisible(window) || WindowTitle(window) != search.title)
        return TRUE;
    if (search.processId != 0 && ProcessOf(window) != search.processId)
        return TRUE;
    search.found = window;
    return FALSE;
}

struct ChildSearch {
    int controlId;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<ChildSearch*>(data);
    if (GetDlgCtrlID(window) != search.controlId ||
        lstrcmpiW(ClassOf(window).c_str(), search.windowClass) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

HWND FindShownWindow(const wchar_t* title, DWORD processId) {
    TopLevelSearch search{title, processId, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int controlId, const wchar_t* windowClass) {
    ChildSearch search{controlId, windowClass, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogView(HWND dialog) {
    return FindWindowExW(dialog, nullptr, kDialogViewClass, nullptr);
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

int ListRowCount(HWND list, UINT timeoutMs) {
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, timeoutMs, &rows))
        return -1;
    return static_cast<int>(rows);
}

std::optional<double> AnswerTime(HWND window, UINT timeoutMs) {
    const BenchTimer timer;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored))
        return std::nullopt;
    return timer.Seconds() * 1000.0;
}

POINT ClientToScreenPoint(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

RECT ClientToScreenRect(HWND window, const RECT& client) {
    const POINT topLeft = ClientToScreenPoint(window, POINT{client.left, client.top});
    const POINT bottomRight = ClientToScreenPoint(window, POINT{client.right, client.bottom});
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
