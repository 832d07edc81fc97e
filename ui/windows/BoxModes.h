#pragma once
// The modes of the program's message box (QMsgBoxDlg) and its answers.

// The modes the program shows (the numbers are the box's own).
namespace BoxMode {
inline constexpr int kAlreadyListed = 1; // "您选择的内容：%s已经存在！"
inline constexpr int kNotice = 8;        // the caller's text, with the ok icon
inline constexpr int kFailure = 9;       // the caller's text, with the warning icon
inline constexpr int kNoCloudEngine = 11;
inline constexpr int kRemoveTrusted = 12; // the question before taking a file off the whitelist
inline constexpr int kRemoveBlack = 13;   // ... off the blacklist
} // namespace BoxMode

// What RunModal answers.
namespace BoxResult {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2; // Cancel, Esc or the window's close
} // namespace BoxResult
