#pragma once
// The main window's own messages and timers, named once: the window, its
// controllers and their workers post these (ARCHITECTURE.md lists them with
// the other windows' ids).

#include <windows.h>

namespace WardenMessage {
inline constexpr UINT kRefresh = WM_APP + 1;        // wParam the tab: its OK and select-all
inline constexpr UINT kShowBadge = WM_APP + 2;      // wParam the count
inline constexpr UINT kOperatedEvents = WM_APP + 3; // the operated tab's changes are queued
inline constexpr UINT kOperatedLoaded = WM_APP + 4; // the store's rows are ready
inline constexpr UINT kShowIntakeNotices =
    WM_APP + 5;                                    // wParam the tab: an open-dialog intake ended
inline constexpr UINT kCommitEnded = WM_APP + 6;   // wParam the tab
inline constexpr UINT kStartProblems = WM_APP + 7; // the component or the store is unusable
inline constexpr UINT kShowFailure = WM_APP + 8;   // wParam an OnError code
} // namespace WardenMessage

namespace WardenTimer {
// The coalesced refresh of a pending tab: kRefreshFirst + the tab.
inline constexpr UINT_PTR kRefreshFirst = 0x5701;
inline constexpr UINT_PTR kOperatedEvents = 0x5703;
} // namespace WardenTimer
