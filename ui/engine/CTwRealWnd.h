#pragma once
// "realwnd": a place in the layout for a real child window of the view, the
// one whose control id is the element's id. The element keeps the window
// on its rectangle and shows it with itself; it paints nothing.

#include "ui/engine/CTwWindow.h"

class CTwRealWnd : public CTwWindow {
public:
    const char* TagName() const override { return "realwnd"; }
    bool RepaintsOnStateChange() override { return true; }
    void ShowRealWindows(bool visible) override;
    // One stop while its window exists, is shown and takes input.
    int KeyboardStops() const override;
    long AccessibleRole() const override;

    // Looked up every time: the application may create it at any moment.
    HWND RealWindow() const;

protected:
    void OnPaint(HDC) override {}
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
    void OnShowWindow(bool visible) override;
    void OnDestroy() override;
};
