#pragma once
// The elements of the main window's layout (101) that the code names, and
// its tabs: one registry for the window, its tests and the benchmark's
// driver. The numbers are the layout's own.

namespace WardenElement {
inline constexpr int kCloseButton = 102;
inline constexpr int kTabControl = 103;
inline constexpr int kWhitelistOk = 106;
inline constexpr int kOpenFiles = 107;
inline constexpr int kOpenFilesOnWhitelist = 109; // 107's twin on the whitelist tab
inline constexpr int kBlacklistOk = 108;
inline constexpr int kPanes[3] = {201, 202, 203};   // per tab
inline constexpr int kFooters[3] = {204, 205, 206}; // per tab
inline constexpr int kWhitelistSelectAll = 301;
inline constexpr int kBlacklistSelectAll = 302;
inline constexpr int kWhitelistSelectAllImage = 303;
inline constexpr int kBlacklistSelectAllImage = 304;
inline constexpr int kWhitelistList = 401;
inline constexpr int kBlacklistList = 402;
inline constexpr int kOperatedList = 403;
inline constexpr int kLists[3] = {kWhitelistList, kBlacklistList, kOperatedList}; // per tab
inline constexpr int kWhitelistSummary = 501;
inline constexpr int kWhitelistSummaryLink = 502;
inline constexpr int kBlacklistSummary = 503;
inline constexpr int kBlacklistSummaryLink = 504;
inline constexpr int kBadge = 1104;
inline constexpr int kBadgeText = 1105;
} // namespace WardenElement

// The tabs, in the tab control's order.
inline constexpr int kWhitelistTab = 0;
inline constexpr int kBlacklistTab = 1;
inline constexpr int kOperatedTab = 2;
