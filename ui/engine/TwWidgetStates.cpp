#include "ui/engine/TwWidgetStates.h"

#include "ui/engine/TwNotifyRecords.h"

int ButtonPicture(unsigned state) {
    if (state & kTwDisabled)
        return 3;
    if (state & kTwPushed)
        return 2;
    return (state & kTwHover) ? 1 : 0;
}

int GroupedButtonPicture(unsigned state) {
    if (state & (kTwChecked | kTwPushed))
        return 2;
    return (state & kTwHover) ? 1 : 0;
}

int ThemedBoxState(unsigned state, bool disabled) {
    int base = 1;
    if (disabled)
        base = 4;
    else if (state & kTwPushed)
        base = 3;
    else if (state & kTwHover)
        base = 2;
    return (state & kTwChecked) ? base + 4 : base;
}

UINT FrameBoxFlags(unsigned state, bool disabled, bool radio) {
    UINT flags = (radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | DFCS_TRANSPARENT;
    if (disabled)
        flags |= DFCS_INACTIVE;
    if (state & kTwHover)
        flags |= DFCS_HOT;
    if (state & kTwPushed)
        flags |= DFCS_PUSHED;
    if (state & kTwChecked)
        flags |= DFCS_CHECKED;
    return flags;
}

SIZE SkinSized(SIZE measured, SIZE skin) {
    if (skin.cx != 0)
        measured.cx = skin.cx;
    if (skin.cy != 0)
        measured.cy = skin.cy;
    return measured;
}

int PercentOf(int value, int minimum, int maximum) {
    if (maximum <= minimum)
        return 0;
    const long long percent = (static_cast<long long>(value) - minimum) * 100 /
                              (static_cast<long long>(maximum) - minimum);
    return percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent);
}

int FilledWidth(int width, int percent) {
    return width <= 0 ? 0 : static_cast<int>(static_cast<long long>(width) * percent / 100);
}
