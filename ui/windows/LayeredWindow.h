#pragma once
// A layered window's content from a premultiplied 32-bit bitmap, with its
// per-pixel alpha, at a screen position.

#include <windows.h>

class CTwBitmap;

void UpdateLayeredFromBitmap(HWND window, POINT position, const CTwBitmap& picture);
