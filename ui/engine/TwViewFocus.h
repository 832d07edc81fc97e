#pragma once
// The keyboard focus of a view: which stop of the layout has it, how Tab,
// Shift+Tab and the tab-switching keys move it, how Space, Enter and the
// arrows act on it, and its cue, drawn only once the keyboard has been used
// in the window (the platform's UISF_HIDEFOCUS). A stop that is a real
// window (a list) holds the platform's focus itself; a drawn stop leaves it
// on the view.

#include <vector>

#include <windows.h>

#include "ui/engine/TwKeyboardFocus.h"

class CTwDialogView;

class TwViewFocus {
public:
    explicit TwViewFocus(CTwDialogView& view) : m_view(view) {}
    TwViewFocus(const TwViewFocus&) = delete;
    TwViewFocus& operator=(const TwViewFocus&) = delete;

    // The stop that has the focus: the real window's when the platform's
    // focus is in one, else the drawn stop last given it (none at first).
    TwFocusStop Current() const;
    std::vector<TwFocusStop> Order() const;
    // Gives the stop the focus (the platform's, for a real window).
    void Set(const TwFocusStop& stop);
    // The element's first stop; false when it has none now.
    bool FocusElement(int id);
    // A click on a drawn element moves the focus to it, as on a button.
    void OnClicked(TwHandle element);
    // Tab and Shift+Tab (wrapping); Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown
    // and Ctrl+PageUp switch tabs; Space, Enter and the arrows on a drawn
    // stop. From the dialog's loop before dispatch; true when used.
    bool OnKey(const MSG& message);
    // Acts on a stop as a click does.
    bool Activate(const TwFocusStop& stop);
    // The cue over the view's picture, when it is to be seen.
    void PaintCue(HDC dc) const;
    // Repaints the cue's place (the focus came, went, or the cues changed).
    void RepaintCue() const;
    void Forget() { m_current = TwFocusStop(); }
    // The cues as the window starts: hidden unless the user asked to see
    // them always (SPI_GETKEYBOARDCUES).
    void ResetCues();
    // WM_UPDATEUISTATE: the window's cues were shown or hidden.
    void OnUpdateUiState(WPARAM wparam);

private:
    bool Move(bool forward);
    bool SwitchTab(int step);
    bool CuesShown() const { return m_cuesShown; }
    // The keyboard was used: the cues show from now on in the whole window.
    void ShowCues();
    // The cue's rectangle for a drawn stop; empty when there is none.
    RECT CueRect(const TwFocusStop& stop) const;
    HWND RealWindowOf(const TwFocusStop& stop) const;

    CTwDialogView& m_view;
    TwFocusStop m_current;
    bool m_cuesShown = false;
};
