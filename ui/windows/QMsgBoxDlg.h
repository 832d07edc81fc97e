#pragma once
// The program's own message box: layout 102, one message with an icon and
// OK or OK/Cancel, chosen by a mode. RunModal answers 1 for OK and 2 for
// Cancel or close.

#include <string>

#include "ui/windows/BoxModes.h"
#include "ui/windows/CTwShadowedDialogImpl.h"
#include "ui/skin/QSkinNotify.h"

// What a mode makes of the box: the message (the caller's text goes where
// the template has "%s"), where it stands, and the icon and buttons shown.
struct MsgBoxMode {
    int mode;
    const wchar_t* message;
    const char* textPos;
    int icon;       // 300 question, 301 ok, 302 warning
    int buttons[2]; // element ids, 0 for none
};
// The mode's entry, null for a mode that leaves the layout as it is.
const MsgBoxMode* FindMsgBoxMode(int mode);
// The message a mode shows for a caller's text.
std::wstring MsgBoxMessage(const MsgBoxMode& mode, const std::wstring& text);

// The box's own registered window message: sent to an open box, it shows a
// new mode (wParam) and text (lParam, a const wchar_t*, null for none) as the
// box's start does. Registered once per process, at the first call.
UINT MsgBoxUpdateMessage();

class QMsgBoxDlg : public CTwShadowedDialogImpl<QMsgBoxDlg>,
                   public CWHRoundRectFrameHelper<QMsgBoxDlg>,
                   public QSkinObserverHelper<QMsgBoxDlg> {
public:
    enum { IDD = 102 };

    void SetMode(int mode) { m_mode = mode; }
    void SetText(std::wstring text) { m_text = std::move(text); }
    int Mode() const { return m_mode; }
    const std::wstring& Text() const { return m_text; }

protected:
    bool OnViewNotify(NMHDR& header, LRESULT& result) override;
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void ApplyMode();

    int m_mode = 0;
    std::wstring m_text;
};
