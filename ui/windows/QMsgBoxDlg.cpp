#include "ui/windows/QMsgBoxDlg.h"

#include "ui/engine/CTwWindow.h"

namespace {

constexpr int kIcons[] = {300, 301, 302, 303};
constexpr int kButtons[] = {BoxElement::kCancelButton, BoxElement::kOkButton,
                            BoxElement::kSoleOkButton, 104};

const MsgBoxMode kModes[] = {
    {BoxMode::kAlreadyListed,
     L"您选择的内容：%s已经存在！",
     "100,40,-40,160",
     302,
     {BoxElement::kSoleOkButton, 0}},
    {BoxMode::kNotice, L"%s", "90,47,-30,90", 301, {BoxElement::kSoleOkButton, 0}},
    // A failure the user must act on: the caller's text with the warning.
    {BoxMode::kFailure, L"%s", "100,30,-30,160", 302, {BoxElement::kSoleOkButton, 0}},
    {BoxMode::kNoCloudEngine,
     L"未能成功连接到云引擎服务，请确认开启云引擎后重试！",
     "100,40,-40,90",
     302,
     {BoxElement::kSoleOkButton, 0}},
    // The removal questions: the file's name on a line of its own (when the
    // caller gives it), then the question.
    {BoxMode::kRemoveTrusted,
     L"%s删除已加白的文件，终端将不再信任此文件(至多5分钟后生效),且根据文件特征如实报出文件是否有"
     L"毒,确认要删除吗?",
     "100,40,-40,160",
     300,
     {BoxElement::kOkButton, BoxElement::kCancelButton}},
    {BoxMode::kRemoveBlack,
     L"%s删除已加黑的文件，终端查杀将不再报毒隔离(至多5分钟后生效),确认要删除吗?",
     "100,40,-40,160",
     300,
     {BoxElement::kOkButton, BoxElement::kCancelButton}},
};

} // namespace

UINT MsgBoxUpdateMessage() {
    static const UINT message = RegisterWindowMessageW(L"{2B8E4F61-7C3A-4D95-A0E2-6F1B9C7D3E84}");
    return message;
}

const MsgBoxMode* FindMsgBoxMode(int mode) {
    for (const MsgBoxMode& entry : kModes) {
        if (entry.mode == mode)
            return &entry;
    }
    return nullptr;
}

std::wstring MsgBoxMessage(const MsgBoxMode& mode, const std::wstring& text) {
    std::wstring message = mode.message;
    const std::size_t at = message.find(L"%s");
    if (at != std::wstring::npos)
        message.replace(at, 2, text);
    return message;
}

void QMsgBoxDlg::ApplyMode() {
    const MsgBoxMode* mode = FindMsgBoxMode(m_mode);
    if (!mode)
        return;
    if (CTwWindow* message = FindById(202)) {
        message->SetText(MsgBoxMessage(*mode, m_text));
        SetElementAttribute(202, "pos", mode->textPos);
    }
    for (const int icon : kIcons)
        ShowElement(icon, icon == mode->icon);
    for (const int button : kButtons)
        ShowElement(button, button == mode->buttons[0] || button == mode->buttons[1]);
    // The keyboard starts on the first button, as on the platform's boxes.
    View().Focus().FocusElement(mode->buttons[0]);
    if (IsWindowVisible(Hwnd()))
        View().RaiseAlert(202);
}

bool QMsgBoxDlg::OnViewNotify(NMHDR& header, LRESULT&) {
    if (header.code != kTwClick)
        return false;
    switch (reinterpret_cast<const TwItemNotify&>(header).itemId) {
    case 2: // Esc and the window's close: the same as Cancel
    case 100:
    case BoxElement::kCancelButton:
    case 104:
        EndModal(BoxResult::kCancel);
        return true;
    case BoxElement::kOkButton:
    case BoxElement::kSoleOkButton:
        EndModal(BoxResult::kOk);
        return true;
    default:
        return false;
    }
}

bool QMsgBoxDlg::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_INITDIALOG) {
        SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ApplyMode();
    } else if (message == WM_WINDOWPOSCHANGED &&
               (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW)) {
        // A reader speaks the box's message as it opens. The modal run shows
        // the box with SetWindowPos, which sends no WM_SHOWWINDOW.
        View().RaiseAlert(202);
    } else if (message == MsgBoxUpdateMessage()) {
        m_mode = static_cast<int>(wparam);
        const auto* text = reinterpret_cast<const wchar_t*>(lparam);
        m_text = text ? text : L"";
        ApplyMode();
        InvalidateRect(View().Hwnd(), nullptr, FALSE);
        result = 0;
        return true;
    }
    return false;
}
