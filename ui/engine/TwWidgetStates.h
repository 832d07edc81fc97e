#pragma once
// The arithmetic the widgets share: which picture a button shows for its
// state, how a check or radio box is drawn for it, how a skin's size
// replaces a measured one, and where a progress or slider value falls.

#include <windows.h>

// Sub-image of a button strip: 3 own-disabled, 2 pushed, 1 hover, 0 normal.
int ButtonPicture(unsigned state);
// A grouped image button while a member of its group is checked: 2 when it
// is the checked one or pushed, 1 hovered, else 0.
int GroupedButtonPicture(unsigned state);

// The visual-style state of a check or radio box: 1-4 unchecked normal,
// hover, pressed, disabled; 5-8 the same checked. `disabled` includes the
// ancestors.
int ThemedBoxState(unsigned state, bool disabled);
// DrawFrameControl flags for a check (or radio) box in a state.
UINT FrameBoxFlags(unsigned state, bool disabled, bool radio);

// Each dimension the skin gives as non-zero replaces the measured one.
SIZE SkinSized(SIZE measured, SIZE skin);

// Percentage of `value` between `minimum` and `maximum`, clamped to 0-100
// (0 for an empty range).
int PercentOf(int value, int minimum, int maximum);
// The width of the filled part of a bar `width` pixels wide.
int FilledWidth(int width, int percent);
