#pragma once
// "tabctrl": a row (or column) of skinned tab headers over pages of which
// one is shown at a time, and "tab", one page (a dlg with a title). A
// change of page is announced to the view first and may be refused there.

#include <string>

#include "ui/engine/CTwContainerWnd.h"

class CTwTab : public CTwDialog {
public:
    const char* TagName() const override { return "tab"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    const std::wstring& Title() const { return m_title; }
    bool IsHidden() const { return m_hide != 0; }

private:
    std::wstring m_title;
    int m_hide = 0;
};

// Code 5 to the view: the receiver refuses the change by setting `cancel`.
struct TwTabChangeNotify {
    NMHDR hdr;
    int itemId;
    int newIndex;
    int oldIndex;
    int cancel;
};
// Code 10: the hovered header changed (-1 = none).
struct TwTabHoverNotify {
    NMHDR hdr;
    int itemId;
    int oldHover;
    int newHover;
};
inline constexpr UINT kTwTabChange = 5;
inline constexpr UINT kTwTabHover = 10;

// Where header `slot` (counting only the tabs shown in the header row) lies
// for a control at `control`: the header size is the skin's with the
// configured width and height put in when they are set; the step between
// headers uses the configured values themselves.
struct TabStrip {
    SIZE skin = {0, 0};
    int tabWidth = 0;
    int tabHeight = 0;
    int tabPos = 0;
    int spacing = 0;
    bool vertical = false; // tabalign "left"
};
RECT TabHeaderRect(const TabStrip& strip, const RECT& control, int slot);

class CTwTabCtrl : public CTwContainerWnd {
public:
    const char* TagName() const override { return "tabctrl"; }
    int LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    TwHandle ElementAt(int x, int y, bool mouse) override;
    bool PaintInto(HDC dc, HRGN region) override;
    void ApplyCursor() override;
    void ShowRealWindows(bool visible) override;
    CTwWindow* FindById(int id) override;
    int KeyboardStops() const override { return 1; }
    RECT StopRect(int) const override { return HeaderRect(m_current); }
    // The arrows, Home and End choose a tab.
    bool OnStopKey(int part, UINT key) override;
    bool ActivateStop(int) override { return true; }
    long AccessibleRole() const override;
    // Moves `step` tabs on (negative: back), wrapping, skipping hidden tabs.
    bool StepTab(int step);

    bool SelectTab(int index);
    int CurrentTab() const { return m_current; }
    int TabCount() const { return static_cast<int>(Children().size()); }
    CTwTab* Page(int index) const;
    // The header of a tab, empty for a hidden one.
    RECT HeaderRect(int index) const;
    const RECT& PageArea() const { return m_pageArea; }
    int HoveredTab() const { return m_hover; }

protected:
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
    void OnMouseMove(WPARAM keys, POINT point) override;
    void OnMouseLeave() override;
    void OnLButtonDown(WPARAM keys, POINT point) override;

private:
    // The non-hidden tab whose header holds the point, -1 for none.
    int TabAt(POINT point) const;
    void SetHover(int index);
    void PlacePage(CTwTab& page);
    void PaintHeader(HDC dc, int index, int state);
    // High contrast: the header in the system colours.
    void PaintContrastHeader(HDC dc, int index, int state);
    // The header's icon; as marks of one colour when `ink` is given.
    void PaintIcon(HDC dc, int index, const RECT& header, const COLORREF* ink) const;
    void DrawTitle(HDC dc, const std::wstring& title, RECT rect) const;
    TabStrip Strip() const;
    SIZE HeaderSize() const;

    int m_current = 0;
    int m_hover = -1;
    RECT m_pageArea = {};
    TabStrip m_strip;
    int m_framePos = 0;
    int m_vertFont = 0;
    std::string m_tabSkin;
    std::string m_frameSkin;
    std::string m_iconSkin;
    std::string m_splitterSkin;
    int m_iconX = 0;
    int m_iconY = 0;
    int m_textX = 0;
    int m_textY = 0;
    COLORREF m_tabText = kNoColor;
    HFONT m_selFont = nullptr;
};
