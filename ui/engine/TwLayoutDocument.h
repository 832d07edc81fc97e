#pragma once
// What a layout document says about its window (the root "layer" element),
// the positions given to its three sections, and the guard against
// documents nested too deeply to be parsed safely.

#include <string>

#include <windows.h>

class TiXmlElement;

// Read by the dialog host when it creates the window.
struct TwWindowStyle {
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MAXIMIZEBOX; // 0x80090000
    DWORD exStyle = WS_EX_CONTROLPARENT;                  // 0x00010000
    std::wstring title;
    int width = 0;
    int height = 0;
    int minWidth = 0;
    int minHeight = 0;
    bool resizable = false;
    bool holdSize = false;
    bool headerDrag = true;
    std::string frame; // skin drawn over the whole client area
    bool headerLoaded = false;
    bool bodyLoaded = false;
    bool footerLoaded = false;
    bool layoutLoaded = false;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

// The window style record of a "layer" element (section flags clear).
TwWindowStyle ReadWindowStyle(const TiXmlElement& layer);

enum class TwSection { Header, Body, Footer };
// The position a section is given after loading, from its height attribute.
std::string SectionPosition(TwSection section, int height);

// The deepest element nesting of an XML text (comments, CDATA, processing
// instructions and quoted attribute values skipped); a text with more
// levels than kMaxLayoutDepth is refused before it is parsed.
int XmlNestingDepth(const std::string& text);
inline constexpr int kMaxLayoutDepth = 256;
