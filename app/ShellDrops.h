#pragma once
// Lets the shell's file drops reach the window when it runs elevated. The
// system filters messages from a process of a lower integrity level (an
// Explorer that is not elevated) to an elevated window; WM_DROPFILES and the
// two messages that carry its data across processes must be let through.

#include <functional>

#include <windows.h>

// Changes the filter for one message of one window, as
// ChangeWindowMessageFilterEx does (tests record the calls instead).
using MessageFilter = std::function<bool(HWND window, UINT message, DWORD action)>;

// The message WM_DROPFILES's data comes with between processes; windows.h
// does not name it.
inline constexpr UINT kCopyGlobalDataMessage = 0x0049;
// ChangeWindowMessageFilterEx's action that lets a message through.
inline constexpr DWORD kMessageFilterAllow = 1;

// The system's ChangeWindowMessageFilterEx, looked up at run time (empty
// where the system has none).
MessageFilter SystemMessageFilter();

// Lets WM_DROPFILES, WM_COPYDATA and WM_COPYGLOBALDATA through to `window`
// from any integrity level; false when there is no filter or a call failed.
bool AllowShellDrops(HWND window, const MessageFilter& filter);
