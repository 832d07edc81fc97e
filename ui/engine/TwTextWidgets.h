#pragma once
// "text", "link" and "button": elements that draw their text with their
// style. A link takes its look (hover colour, hand cursor, underline) from
// its class; a button repaints on every state change.

#include "ui/engine/CTwWindow.h"

class CTwStatic : public CTwWindow {
public:
    const char* TagName() const override { return "text"; }
    long AccessibleRole() const override;
};

class CTwLink : public CTwWindow {
public:
    const char* TagName() const override { return "link"; }
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;
};

class CTwButton : public CTwWindow {
public:
    const char* TagName() const override { return "button"; }
    bool RepaintsOnStateChange() override { return true; }
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;
};
