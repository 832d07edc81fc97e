#pragma once
// The process's one-line tip: a grey-framed box at a screen point, shown
// without taking the focus and hidden again after five seconds. The file
// list shows the full text of a cut-off cell with it.

#include <string>

#include "ui/windows/CTwShadowedDialogImpl.h"

class CTwSafeTip : public CTwShadowedDialogImpl<CTwSafeTip>,
                   public CWHRoundRectFrameHelper<CTwSafeTip> {
public:
    enum { IDD = 0 }; // its layout is a text of the program, not a resource

    // The single instance, made on first use.
    static CTwSafeTip& Instance();

    // Shows `text` at (x, y) in screen coordinates; false when the window
    // cannot be made.
    bool Show(const std::wstring& text, int x, int y, HWND owner);
    void Hide();
    bool IsVisible() const { return m_visible; }

    static constexpr UINT_PTR kHideTimer = 1;
    static constexpr UINT kHideAfterMs = 5000;

protected:
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    CTwSafeTip() = default;
    bool EnsureWindow(HWND owner);

    bool m_visible = false;
};

// The size of the tip for a text: its extent in the default font plus 7 x 9.
SIZE SafeTipSize(const std::wstring& text);
