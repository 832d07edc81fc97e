#pragma once
// A two-colour gradient over a rectangle through msimg32's GradientFill,
// looked up by name at each use; nothing is drawn when it is missing.

#include <windows.h>

bool FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical);
