#pragma once
// "check" and "radio": a 13 x 13 box at the left of the element and the
// text 17 pixels to its right, vertically centred. The box is drawn with the
// visual style when one is active, else as a frame control. A release
// toggles a check box; a radio button checks itself and unchecks the other
// members of its group.

#include <string>

#include "ui/engine/CTwWindow.h"

class CTwCheckBase : public CTwWindow {
public:
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    bool RepaintsOnStateChange() override { return true; }
    bool IsChecked() const { return Has(kTwChecked); }
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;

protected:
    CTwCheckBase(bool radio, const char* skin, const char* skinCheck);
    void OnPaint(HDC dc) override;
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    void DrawBox(HDC dc, const RECT& box) const;

    bool m_radio;
    std::string m_skin;
    std::string m_skinCheck;
};

class CTwCheckBox : public CTwCheckBase {
public:
    CTwCheckBox() : CTwCheckBase(false, "cmn_checkbox", "cmn_checkbox_check") {}
    const char* TagName() const override { return "check"; }

protected:
    void OnLButtonUp(WPARAM keys, POINT point) override;
};

class CTwRadioBox : public CTwCheckBase {
public:
    CTwRadioBox() : CTwCheckBase(true, "cmn_radio", "cmn_radio_check"), m_group(Handle()) {}
    const char* TagName() const override { return "radio"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnLButtonUp(WPARAM keys, POINT point) override;

private:
    TwGroupMembership m_group;
};

// Where the box and the text go in an element rectangle.
inline constexpr int kBoxSize = 13;
inline constexpr int kBoxTextOffset = 17;
RECT CheckBoxRect(const RECT& element);
