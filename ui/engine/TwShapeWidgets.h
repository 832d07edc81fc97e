#pragma once
// "hr", a line across the element's rectangle, and "icon", an icon of the
// program's resources or of the system.

#include "ui/engine/CTwWindow.h"

class CTwLine : public CTwWindow {
public:
    const char* TagName() const override { return "hr"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    // From the top-left to the bottom-right corner, in the background colour.
    void OnPaint(HDC dc) override;

private:
    int m_width = 1;
    int m_penStyle = PS_SOLID;
};

// The pen style of an "hr" style name; -1 for an unknown name.
int LinePenStyle(const char* name);

class CTwIconWnd : public CTwWindow {
public:
    const char* TagName() const override { return "icon"; }
    ~CTwIconWnd() override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    HICON Icon();

protected:
    void OnPaint(HDC dc) override;
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    void DropIcon();

    int m_source = 0; // resource id in the program
    int m_oem = 0;    // system icon id (IDI_*)
    int m_size = 0;   // pixels; 0 = the system's icon size
    HICON m_icon = nullptr;
    bool m_ownsIcon = false;
};
