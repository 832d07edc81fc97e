#pragma once
// A picture of a dialog as it would show: the view's painting with the
// real child windows printed over it at their places, the cut corners
// transparent; and saving such a picture as PNG.

#include <string>

#include "ui/engine/CTwDialogHost.h"
#include "ui/skin/CTwBitmap.h"

// Opaque 0xAARRGGBB pixels of the dialog's client area into `picture`.
bool SnapshotDialog(CTwDialogHost& dialog, CTwBitmap& picture);
bool SavePng(const CTwBitmap& picture, const std::wstring& path);
