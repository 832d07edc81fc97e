#pragma once
// What a layout document says about its window (the root "layer" element)
// and the positions given to its three sections. No platform header.

#include <cstdint>
#include <string>

class TiXmlElement;

// The window styles a layout sets, with the platform's values (CreateWindowEx
// takes them; ui/engine/CTwDialogHost.cpp checks them against windows.h).
inline constexpr std::uint32_t kWsPopup = 0x80000000u;
inline constexpr std::uint32_t kWsChild = 0x40000000u;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000u;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000u;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000u;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000u;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000u;
inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000u;
inline constexpr std::uint32_t kWsExTopmost = 0x00000008u;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080u;
inline constexpr std::uint32_t kWsExWindowEdge = 0x00000100u;
inline constexpr std::uint32_t kWsExClientEdge = 0x00000200u;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000u;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000u;

// Read by the dialog host when it creates the window.
struct TwWindowStyle {
    std::uint32_t style = kWsPopup | kWsSysMenu | kWsMaximizeBox; // 0x80090000
    std::uint32_t exStyle = kWsExControlParent;                   // 0x00010000
    std::string title;                                            // UTF-8
    int width = 0;
    int height = 0;
    int minWidth = 0;
    int minHeight = 0;
    bool resizable = false;
    bool holdSize = false;
    bool headerDrag = true;
    std::string frame; // skin drawn over the whole client area
    // The keyboard focus cue: a solid frame in this colour, else the
    // platform's dotted focus rectangle.
    std::uint32_t focusColor = 0xFFFFFFFFu;
    bool headerLoaded = false;
    bool bodyLoaded = false;
    bool footerLoaded = false;
    bool layoutLoaded = false;

    bool IsChild() const { return (style & kWsChild) != 0; }
};

// The window style record of a "layer" element (section flags clear).
TwWindowStyle ReadWindowStyle(const TiXmlElement& layer);

enum class TwSection { Header, Body, Footer };
// The position a section is given after loading, from its height attribute.
std::string SectionPosition(TwSection section, int height);
