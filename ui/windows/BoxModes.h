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

// The box's buttons (elements of its layout, 102).
namespace BoxElement {
inline constexpr int kCancelButton = 101; // beside OK in a question
inline constexpr int kOkButton = 102;     // OK of a question
inline constexpr int kSoleOkButton = 103; // the one button of a notice
} // namespace BoxElement

// What RunModal answers.
namespace BoxResult {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2; // Cancel, Esc or the window's close
} // namespace BoxResult
