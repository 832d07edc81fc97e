#pragma once
// The view: the one real window in which a layout's element tree lives. It
// owns the three sections (header, body, footer), loads layout documents
// into them, lays them out on its client area, paints the tree double-
// buffered, turns real mouse, cursor and focus messages into element
// messages, and reports clicks, presses, hovering and the like to its
// parent window as WM_NOTIFY records from control id 1000.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "common/GdiObjects.h"
#include "ui/engine/CTwContainerWnd.h"
#include "ui/engine/TwLayoutDocument.h"
#include "ui/engine/TwViewAccessible.h"
#include "ui/engine/TwViewFocus.h"
#include "ui/engine/TwWindowImpl.h"
#include "ui/skin/CTwBitmap.h"

class CTwTabCtrl;

// Posted to the view by a screen reader's default action (lparam: the node).
inline constexpr UINT kTwRunAccessibleAction = WM_USER + 0x1A0;

class CTwDialogView : public TwWindowImpl<CTwDialogView> {
public:
    CTwDialogView();
    ~CTwDialogView();

    static const wchar_t* WindowClassName() { return L"TwDialogView"; }
    static UINT WindowClassStyle() { return CS_DBLCLKS; }

    // Creates the view window (id 1000) in `parent`, over `rect` or sized by
    // the first WM_SIZE, with its tooltip; the sections report to it.
    HWND Create(HWND parent, const RECT* rect);

    // Drops the current tree and loads a whole layout document (UTF-8).
    bool LoadLayoutText(const std::string& text);
    const TwWindowStyle& WindowStyle() const { return m_style; }

    CTwDialog& Header() { return *m_header; }
    CTwDialog& Body() { return *m_body; }
    CTwDialog& Footer() { return *m_footer; }
    // The sections that the layout has, in document order (header, body, footer).
    std::vector<const CTwDialog*> LoadedSections() const;
    // The first tab control of the layout, null when it has none.
    CTwTabCtrl* FirstTabControl();

    // The keyboard focus among the layout's elements.
    TwViewFocus& Focus() { return m_focus; }
    const TwViewFocus& Focus() const { return m_focus; }
    // Presses and releases an element as the mouse does (its pushed look,
    // its messages, the click or the href), without moving the mouse.
    void ClickElement(TwHandle element);
    // Marks a part of the view for the next paint.
    void RepaintArea(const RECT& rect);

    // The reply to WM_GETOBJECT: the layout's tree for OBJID_CLIENT (made
    // on the first request). The dialog's window answers with it too.
    LRESULT AnswerGetObject(WPARAM wparam, LPARAM lparam);
    // Tells screen readers that an element is an alert (a box's message).
    void RaiseAlert(int id);

    // By command id, searching header, body, then footer.
    CTwWindow* FindById(int id);
    bool SetElementAttribute(int id, const char* name, const char* value);
    bool ShowElement(int id, bool visible);
    // New markup (UTF-8) for a richtext element; false when there is no
    // such element or the markup does not parse (the old content stays).
    bool ReplaceRichMarkup(int id, const std::string& markup);

    // Places the sections on the client area and asks for a full redraw.
    void LayoutSections();
    // Shows the real windows of the realwnd elements that are shown and
    // hides the others (after the dialog has made them).
    void ShowRealWindows();
    void RequestFullRedraw();
    // Brings the memory bitmap up to date without copying it to the window.
    const CTwBitmap& Render();
    // Repainted areas start transparent (for layered windows) instead of white.
    void SetTransparentBackground(bool on) { m_transparent = on; }
    HWND Tooltip() const { return m_tooltip; }
    TwHandle Hovered() const { return m_hovered; }
    TwHandle Pressed() const { return m_pressed; }

    // How an element's href is opened (ShellExecute "open" by default).
    using HrefOpener = std::function<void(const wchar_t* target)>;
    static void SetHrefOpener(HrefOpener opener);

    bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                              LRESULT& result);

private:
    TwHandle HitTest(POINT point);
    // The header's element under the point; `passive` when a press there
    // drags the window rather than acting on the element.
    TwHandle HeaderHit(POINT point, bool& passive);
    TwHandle HitTestBelowHeader(POINT point);
    void NotifyParent(UINT code, int itemId, const char* tag = nullptr);
    void NotifyParent(UINT code, TwHandle element, const char* tag = nullptr);
    void SetTipText(const std::wstring& text);
    void AddDirty(const RECT& rect);
    void PaintMemory();

    LRESULT OnMouseMove(WPARAM keys, POINT point);
    LRESULT OnMouseLeave();
    LRESULT OnLButtonDown(WPARAM keys, POINT point);
    LRESULT OnLButtonUp(WPARAM keys, POINT point);
    LRESULT OnRButtonDown(POINT point);
    LRESULT OnLButtonDblClk(POINT point);
    LRESULT OnSetCursor(WPARAM wparam, LPARAM lparam);
    LRESULT OnNotify(WPARAM wparam, LPARAM lparam);
    LRESULT OnPaint(HDC printInto);
    void FocusFirstTabStop();
    LRESULT OnSetFocus();
    // Ends a press on `pressed`: its release, then its href or its click.
    void ReleasePressed(TwHandle pressed, WPARAM keys, POINT point);

    std::unique_ptr<CTwDialog> m_header;
    std::unique_ptr<CTwDialog> m_body;
    std::unique_ptr<CTwDialog> m_footer;
    TwWindowStyle m_style;
    CTwBitmap m_canvas;
    UniqueRegion m_dirty;
    HWND m_tooltip = nullptr;
    std::wstring m_tipText;
    TwHandle m_hovered = 0;
    TwHandle m_pressed = 0;
    bool m_capture = false;
    bool m_tracking = false;
    bool m_fullRedraw = true;
    bool m_transparent = false;
    TwViewFocus m_focus{*this};
    std::unique_ptr<TwViewAccessible> m_accessible; // made on the first reader's request
    AccessibleAnchorPtr m_anchor;
};

// True for the tags that take presses themselves when they lie in the
// header; a press on anything else there drags the window.
bool IsActiveHeaderTag(const char* tag);
