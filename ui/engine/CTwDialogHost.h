#pragma once
// The dialog host of a skinned dialog: creates a borderless window from the
// layout's window style record with the view as its only child, lays the
// layout out, keeps the drop shadow in step, handles sizing, the non-client
// area, Esc and Enter, closing and the wheel, and runs the modal loop. A
// dialog derives from CTwDialogImpl (below), which binds its layout
// resource and its handlers; clicks arrive as WM_NOTIFY from the view.

#include <memory>
#include <string>
#include <type_traits>

#include <windows.h>

#include "ui/engine/CTwDialogView.h"
#include "ui/engine/CWHRoundRectFrameHelper.h"
#include "ui/engine/HostShadow.h"

// Sent before dispatch to the view's child window that holds the focus
// (lparam: the MSG), for the keyboard and mouse messages of the dialog's
// loop; the child returns 1 when it used the message.
inline constexpr UINT kTwPreTranslate = 0x037F;

class CTwDialogHost {
public:
    CTwDialogHost() = default;
    virtual ~CTwDialogHost();
    CTwDialogHost(const CTwDialogHost&) = delete;
    CTwDialogHost& operator=(const CTwDialogHost&) = delete;

    // The "xml" resource through the resource lookup, loaded into the view.
    bool LoadLayoutResource(int id);
    bool LoadLayoutText(const std::string& text) { return m_view.LoadLayoutText(text); }
    // The window, or null when the layout does not load or the dialog
    // closed itself during WM_INITDIALOG.
    HWND CreateHostWindow(HWND owner, const RECT* rect);
    INT_PTR RunModal(HWND owner = nullptr, const RECT* rect = nullptr);
    void EndModal(INT_PTR result);

    bool SetElementAttribute(int id, const char* name, const char* value) {
        return m_view.SetElementAttribute(id, name, value);
    }
    bool ShowElement(int id, bool visible) { return m_view.ShowElement(id, visible); }
    CTwWindow* FindById(int id) { return m_view.FindById(id); }

    HWND Hwnd() const { return m_hWnd; }
    CTwDialogView& View() { return m_view; }
    // The drop shadow, if the dialog has one; none by default.
    IHostShadow* Shadow() const { return m_shadow.get(); }
    void SetShadow(std::unique_ptr<IHostShadow> shadow) { m_shadow = std::move(shadow); }
    void SetBringToForeground(bool on) { m_foreground = on; }

    // The process-wide default owner of modal dialogs opened meanwhile.
    static HWND CurrentModalWindow();
    // Keyboard and mouse messages offered to the dialog before dispatch;
    // true when consumed.
    bool PreTranslateMessage(MSG& message);

protected:
    // The layout resource of the dialog class.
    virtual int LayoutResourceId() const = 0;
    // Notifications from the view (idFrom 1000), first in the dispatch.
    virtual bool OnViewNotify(NMHDR&, LRESULT&) { return false; }
    // The corner-cutting helper's turn, after the host's own handling.
    virtual void OnFrameMessage(UINT, WPARAM, LPARAM) {}
    // The dialog's other messages, after the host's.
    virtual bool ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    bool HostMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    LRESULT OnNcCalcSize(WPARAM wparam, LPARAM lparam);
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void OnSize(WPARAM wparam, LPARAM lparam);
    void OnMouseWheel(WPARAM wparam, LPARAM lparam);
    void SendClick(int itemId);
    void CenterOn(HWND owner);
    void BringToForeground();

    HWND m_hWnd = nullptr;
    CTwDialogView m_view;
    std::unique_ptr<IHostShadow> m_shadow;
    bool m_foreground = true;
    bool m_endModal = false;
    INT_PTR m_result = 0;
};

// Binds a dialog class: its IDD is the layout resource, and when it derives
// from CWHRoundRectFrameHelper its corners are cut.
template <class T> class CTwDialogImpl : public CTwDialogHost {
protected:
    int LayoutResourceId() const override { return T::IDD; }
    void OnFrameMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
        if constexpr (std::is_base_of_v<CWHRoundRectFrameHelper<T>, T>)
            static_cast<T*>(this)->ProcessRoundRectMessage(Hwnd(), message, wparam, lparam);
    }
};
