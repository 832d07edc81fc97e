#pragma once
// "text", "link" and "button": elements that draw their text with their
// style. A link takes its look (hover colour, hand cursor, underline) from
// its class; a button repaints on every state change.

#include "ui/engine/CTwWindow.h"

class CTwStatic : public CTwWindow {
public:
    const char* TagName() const override { return "text"; }
};

class CTwLink : public CTwWindow {
public:
    const char* TagName() const override { return "link"; }
};

class CTwButton : public CTwWindow {
public:
    const char* TagName() const override { return "button"; }
    bool RepaintsOnStateChange() override { return true; }
};
