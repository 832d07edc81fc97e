#pragma once
// Clicks as the mouse makes them: the pointer is moved to a point of the
// screen and the left button pressed and released there. The input goes
// through the system like a real mouse's, to whatever window is under the
// point, in whatever process.

#include <windows.h>

bool ClickAtScreen(POINT point);
