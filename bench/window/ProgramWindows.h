#pragma once
// The running program's windows as another process sees them: the main
// window and the message box by their titles, the list controls inside by
// control id, and what can be asked of them across processes (row counts,
// whether the window's thread answers, where a client point lies on the
// screen).

#include <optional>

#include <windows.h>

inline constexpr wchar_t kMainWindowTitle[] = L"vmruserwarden";
inline constexpr wchar_t kMessageBoxTitle[] = L"消息对话框";
inline constexpr wchar_t kDialogViewClass[] = L"TwDialogView";

// A visible top-level window with this title, of process `processId`
// unless that is 0; null when there is none.
HWND FindShownWindow(const wchar_t* title, DWORD processId = 0);
// The window with this control id and window class anywhere below `parent`.
HWND FindDescendant(HWND parent, int controlId, const wchar_t* windowClass);
// The view of a skinned dialog: the window its elements are drawn in.
HWND FindDialogView(HWND dialog);
DWORD ProcessOf(HWND window);

// Rows of a list view; -1 when its thread did not answer within `timeoutMs`.
int ListRowCount(HWND list, UINT timeoutMs);
// Milliseconds the window's thread took to answer WM_NULL; nothing when it
// did not answer within `timeoutMs`.
std::optional<double> AnswerTime(HWND window, UINT timeoutMs);

// A client point of a window in screen coordinates.
POINT ClientToScreenPoint(HWND window, POINT client);
RECT ClientToScreenRect(HWND window, const RECT& client);
POINT CentreOf(const RECT& rect);
