#pragma once
// The element messages that are not platform window messages, the state bits,
// and the WM_NOTIFY records that elements and views send.

#include <cstdint>

#include <windows.h>

#include "ui/engine/TwElementRegistry.h"

// State bits of an element, also the draw state handed to skins.
inline constexpr unsigned kTwHover = 0x01;
inline constexpr unsigned kTwPushed = 0x02;
inline constexpr unsigned kTwChecked = 0x04;
inline constexpr unsigned kTwInvisible = 0x08;
inline constexpr unsigned kTwDisabled = 0x10;

// The mouse-leave element message (WM_MOUSELEAVE's number).
inline constexpr UINT kTwMouseLeave = 0x02A3;

// The control id of every view window.
inline constexpr UINT kTwViewControlId = 1000;

// Codes of the view's notifications to its parent.
enum TwViewCode : UINT {
    kTwClick = 1,
    kTwRealWindowMoved = 2,
    kTwMouseOver = 3,
    kTwMouseOut = 4,
    kTwElementEvent = 6,
    kTwPressed = 7,
    kTwDoubleClick = 8,
    kTwRightPressed = 9,
    kTwInvalidate = 1000,
};

// Codes 1, 3, 4, 7, 8 and 9; `tag` is set for a click only.
struct TwItemNotify {
    NMHDR hdr;
    int itemId;
    const char* tag;
};

// Code 6, asked for by an element's notify bits: action 3 mouse move, 4 leave.
struct TwElementNotify {
    NMHDR hdr;
    int itemId;
    const char* className;
    int action;
};

// Code 1000: an element asks its view to repaint a rectangle.
struct TwInvalidateNotify {
    NMHDR hdr;
    TwHandle element;
    RECT rect;
};

// Code 2: a hosted real window was moved to a new rectangle.
struct TwRealWindowNotify {
    NMHDR hdr;
    int itemId;
    RECT rect;
};
