#pragma once
// The pixels of a rectangle of the screen as the display shows it. Read
// from the screen, not from a window, a window of another process is seen
// as it was last drawn, without asking its thread for anything.

#include <cstdint>
#include <optional>
#include <vector>

#include <windows.h>

struct ScreenPatch {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows top to bottom

    // Nothing when the rectangle is empty or the screen cannot be read.
    static std::optional<ScreenPatch> Read(const RECT& screenRect);
};

// How many pixels differ between two readings of the same rectangle by
// more than `tolerance` in at least one colour channel. Readings of
// different sizes differ in every pixel of the larger.
int CountChangedPixels(const ScreenPatch& before, const ScreenPatch& after, int tolerance);
