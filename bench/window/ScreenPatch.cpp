#include "bench/window/ScreenPatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/GdiObjects.h"

namespace {

// The screen's device context, released when it goes.
class ScreenDC {
public:
    ScreenDC() : m_dc(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference =
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        largest = std::max(largest, difference);
    }
    return largest;
}

} // namespace

std::optional<ScreenPatch> ScreenPatch::Read(const RECT& screenRect) {
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const ScreenDC screen;
    const MemoryDC memory(screen.Get());
    if (!screen.Get() || !memory)
        return std::nullopt;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const UniqueBitmap bitmap(
        CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return std::nullopt;
    {
        const ScopedSelect selected(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), screenRect.left,
                    screenRect.top, SRCCOPY))
            return std::nullopt;
        GdiFlush();
    }
    ScreenPatch patch;
    patch.width = width;
    patch.height = height;
    patch.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::memcpy(patch.pixels.data(), bits, patch.pixels.size() * sizeof(std::uint32_t));
    for (std::uint32_t& pixel : patch.pixels)
        pixel &= 0x00FFFFFF;
    return patch;
}

int CountChangedPixels(const ScreenPatch& before, const ScreenPatch& after, int tolerance) {
    if (before.width != after.width || before.height != after.height)
        return static_cast<int>(std::max(before.pixels.size(), after.pixels.size()));
    int changed = 0;
    for (std::size_t i = 0; i < before.pixels.size(); ++i) {
        if (ChannelDistance(before.pixels[i], after.pixels[i]) > tolerance)
            ++changed;
    }
    return changed;
}
