#pragma once
// The tag factory of the layout documents: an element of the first class,
// in the fixed order, whose tag equals the XML tag exactly.

#include <memory>

class CTwWindow;

// Null for a tag no class has ("div" and "tab" included).
std::unique_ptr<CTwWindow> CreateElement(const char* tag);
