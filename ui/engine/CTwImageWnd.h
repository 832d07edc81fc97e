#pragma once
// "img", a skin drawn with a fixed sub-image, and "imgbtn", an image button
// whose sub-image follows its state; grouped image buttons act as toggles
// of which one at most is checked. Both may add an icon, a mask skin and a
// caption.

#include "ui/engine/CTwSkinnedElement.h"

class CTwImageWnd : public CTwSkinnedElement {
public:
    CTwImageWnd() : m_group(Handle()) {}
    const char* TagName() const override { return "img"; }
    // A picture is told of only when it has a name (a tip or "accname").
    long AccessibleRole() const override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    int Sub() const { return m_sub; }
    const std::string& GroupName() const { return m_group.Name(); }

protected:
    void OnPaint(HDC dc) override;
    // The skin with `picture`, then the icon, mask and caption.
    void PaintPicture(HDC dc, int picture);
    // The skin's picture, the icon and the mask, without the caption.
    void PaintLayers(HDC dc, const RECT& rect, int picture) const;
    const TwGroupMembership& Group() const { return m_group; }

private:
    int m_sub = -1;
    int m_icon = 0;
    int m_iconTop = -1;
    std::wstring m_caption;
    int m_captionTop = -1;
    std::string m_mask;
    TwGroupMembership m_group;
};

class CTwImageBtnWnd : public CTwImageWnd {
public:
    const char* TagName() const override { return "imgbtn"; }
    bool RepaintsOnStateChange() override { return true; }
    bool LitInContrast() const override;
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;

    // True while a member of its group (itself included) is checked.
    bool GroupHasChecked() const;

protected:
    void OnPaint(HDC dc) override;
    void OnLButtonUp(WPARAM keys, POINT point) override;
};
