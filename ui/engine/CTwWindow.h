#pragma once
// The layout element: a light object in a tree painted into one real window,
// the view. It carries the common attributes of every element, its state
// bits, its place (the position language) and its text, and answers the
// element messages. References to other elements are registry handles.

#include <initializer_list>
#include <string>

#include <windows.h>

#include "ui/core/CTwObject.h"
#include "ui/engine/TwElementRegistry.h"
#include "ui/engine/TwElementText.h"
#include "ui/engine/TwNotifyRecords.h"
#include "ui/engine/TwPosition.h"
#include "ui/engine/TwStyle.h"

class CTwWindow;
class CTwContainerWnd;

// Called before (may veto the paint by returning false) and after an
// element paints.
class ITwPaintHook {
public:
    virtual bool OnElementPaint(CTwWindow& element, HDC dc, const RECT& rect, bool before) = 0;

protected:
    ~ITwPaintHook() = default;
};

// Told of an element's mouse messages.
class ITwMouseHook {
public:
    virtual void OnElementMouse(CTwWindow& element, UINT message, WPARAM wparam, LPARAM lparam) = 0;

protected:
    ~ITwMouseHook() = default;
};

class CTwWindow : public CTwObject {
public:
    CTwWindow();
    ~CTwWindow() override;
    CTwWindow(const CTwWindow&) = delete;
    CTwWindow& operator=(const CTwWindow&) = delete;

    // The element loader: text with "%str" tokens, attributes, then the
    // size modes and float flag when the position does not give the size.
    int LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    virtual void ApplyCursor();
    // new state = (old | add) & ~remove; returns the old state.
    virtual unsigned ChangeState(unsigned add, unsigned remove);
    virtual void AttachHostWindow(HWND host);
    // The handle of the element under a point (view client coordinates).
    virtual TwHandle ElementAt(int x, int y, bool mouse);
    virtual bool RepaintsOnStateChange();
    virtual bool IsContainerKind() const { return false; }
    // Background, paint hook, the paint message; false when outside `region`.
    virtual bool PaintInto(HDC dc, HRGN region);
    // Two queries kept in their places for the elements' slot order; no
    // element of this program answers true.
    virtual bool IsFocusable() const { return false; }
    virtual bool WantsKeyboard() const { return false; }
    // The element message handler; true when the message was handled.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

    // Shows or hides the hosted real windows at and below this element
    // (`visible`: the element's resulting visibility).
    virtual void ShowRealWindows(bool) {}

    // How many keyboard stops the element offers (0: none; a paragraph
    // offers one per link). The view skips the element when it is hidden,
    // disabled or left out by the layout (tabindex="-1").
    virtual int KeyboardStops() const { return 0; }
    // Where stop `part` lies (view coordinates): the focus cue goes round it.
    virtual RECT StopRect(int) const { return Rect(); }
    // A key pressed on stop `part`; true when the element used it.
    virtual bool OnStopKey(int, UINT) { return false; }
    // A click made by the keyboard or a screen reader on stop `part`; false
    // when the view should click the element as the mouse does.
    virtual bool ActivateStop(int) { return false; }
    // What a screen reader is told the element is (ROLE_SYSTEM_*), 0 when
    // it is not told of at all.
    virtual long AccessibleRole() const { return 0; }
    // The name told to screen readers: the layout's "accname", the text, the tip.
    virtual std::wstring AccessibleName() const;
    // A container that acts as one control: the keyboard and screen readers
    // see it, not what lies inside it.
    virtual bool IsOneControl() const { return false; }
    // In high contrast: whether the element is drawn lit (a hovered or
    // pressed button: its face in the highlight colour).
    virtual bool LitInContrast() const { return false; }

    // Sends an element message; the handler's result (0 when unhandled).
    LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

    TwHandle Handle() const { return m_handle; }
    TwHandle ParentHandle() const { return m_parent; }
    void SetParentHandle(TwHandle parent) { m_parent = parent; }
    CTwWindow* Parent() const { return ResolveElement(m_parent); }
    HWND HostWindow() const { return m_container; }
    int CommandId() const { return m_commandId; }
    const RECT& Rect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    const std::wstring& Text() const { return m_text; }
    void SetText(std::wstring text) { m_text = std::move(text); }
    const std::wstring& Href() const { return m_href; }
    const std::wstring& Tip() const { return m_tip; }
    // The layout's keyboard order: 0 for document order, a positive number
    // to come before those (lowest first), -1 to be left out.
    int TabIndex() const { return m_tabIndex; }
    const std::string& ClassName() const { return m_className; }
    const TwStyle& Style() const;
    const Position& Pos() const { return m_pos; }
    unsigned State() const { return m_state; }
    unsigned VAlign() const { return m_valign; }
    unsigned Align() const { return m_align; }
    bool IsFloating() const { return m_floating; }
    bool IsTransparent() const { return m_transparent != 0; }
    // Neither it nor an ancestor is invisible.
    bool IsShown() const;
    // It or an ancestor is disabled.
    bool IsDisabled() const;
    // The own state with the disabled bit of an ancestor added: how the
    // element looks, as against the bits set on it alone.
    unsigned EffectiveState() const;
    bool Has(unsigned bits) const { return (m_state & bits) != 0; }
    // The own crbg, else the style's; kNoColor when neither is set.
    COLORREF BackgroundColor() const;
    // It or an ancestor is marked contrast="highlight": in high contrast its
    // pictures take the highlight colour and its texts the highlight text's.
    bool InHighlightArea() const;
    // The one colour of its pictures in high contrast, by its state.
    COLORREF ContrastPictureColor() const;

    void SetPaintHook(ITwPaintHook* hook) { m_paintHook = hook; }
    void SetMouseHook(ITwMouseHook* hook) { m_mouseHook = hook; }

    // Asks the view to repaint the element (or a part of it); false when the
    // element is not shown or has no view window.
    bool RequestRepaint();
    bool RequestRepaintRect(const RECT& rect);
    // ChangeState, then a repaint when the element's look follows its state.
    unsigned ChangeStateWithRepaint(unsigned add, unsigned remove);

protected:
    // Handlers behind ProcessWindowMessage.
    virtual void OnDestroy() {}
    virtual void OnPaint(HDC dc);
    // The size message: `placing` with the offered size, else the loader's.
    virtual SIZE OnMeasure(bool placing, SIZE offered);
    virtual void OnWindowPosChanged(const WINDOWPOS& pos);
    virtual void OnShowWindow(bool visible);
    virtual void OnMouseMove(WPARAM keys, POINT point);
    virtual void OnMouseLeave();
    virtual void OnLButtonDown(WPARAM keys, POINT point);
    virtual void OnLButtonUp(WPARAM keys, POINT point);

    // The text extent in `available` with the style margins.
    SIZE TextSize(const RECT& available) const;
    TextSubject MakeTextSubject() const;
    // The text painted with the element's style and text mode.
    void PaintText(HDC dc);
    // The background of the style or the own colour, by state.
    void PaintBackground(HDC dc);
    // Code 6 to the view when the notify bits ask for it.
    void NotifyElementEvent(int action);
    // Sends a WM_NOTIFY record to the host window as coming from it (its
    // handle and control id in the header); false without a host.
    template <typename Record> bool SendToHost(Record& record, UINT code) {
        HWND host = HostWindow();
        if (!host || !IsWindow(host))
            return false;
        const int controlId = GetDlgCtrlID(host);
        record.hdr.hwndFrom = host;
        record.hdr.idFrom = static_cast<UINT_PTR>(controlId);
        record.hdr.code = code;
        SendMessageW(host, WM_NOTIFY, static_cast<WPARAM>(controlId),
                     reinterpret_cast<LPARAM>(&record));
        return true;
    }
    // The parent's placement again, after a run-time position change.
    void PlaceAgain();
    unsigned& TextMode() { return m_textMode; }

private:
    void ReadSizeAttributes(const TiXmlElement* element);

    TwHandle m_handle;
    TwHandle m_parent = 0;
    HWND m_container = nullptr;
    int m_commandId = 0;
    RECT m_rect = {};
    std::wstring m_text;
    unsigned m_state = 0;
    unsigned m_valign = 0;
    unsigned m_align = 0;
    std::wstring m_href;
    int m_transparent = 0;
    std::wstring m_tip;
    std::string m_className;
    COLORREF m_crbg = kNoColor;
    COLORREF m_crtext = kNoColor;
    HFONT m_font = nullptr; // owned by the font pool
    unsigned m_textMode = 0;
    Position m_pos;
    bool m_floating = false;
    ITwPaintHook* m_paintHook = nullptr;
    ITwMouseHook* m_mouseHook = nullptr;
    unsigned m_notify = 0;
    int m_tabIndex = 0;
    std::wstring m_accName;
    bool m_contrastHighlight = false;
};

// One decimal attribute of a widget and where it goes.
struct IntAttribute {
    const char* name;
    int* target;
};
// Reads the value into the target of the matching name; E_FAIL when no
// name matches.
HRESULT ApplyIntAttribute(const char* name, const char* value,
                          std::initializer_list<IntAttribute> known);

// A point in the lparam of a mouse message.
POINT PointFromLParam(LPARAM lparam);
