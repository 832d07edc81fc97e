#pragma once
// A 32-bit top-down memory surface for drawing tests: draw into Dc(), read
// pixels back as 0xRRGGBB.

#include <cstdint>

#include <windows.h>

namespace testsupport {

class DibSurface {
public:
    DibSurface(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                    nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        Fill(0xFFFFFF);
    }
    ~DibSurface() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC Dc() const { return m_dc; }
    void Fill(std::uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = rgb;
    }
    // 0xRRGGBB of a pixel (0xFF000000 bits dropped).
    std::uint32_t At(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x] & 0x00ffffff;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    std::uint32_t* m_bits = nullptr;
};

// True when every channel of two 0xRRGGBB colours differs by at most `tolerance`.
inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

} // namespace testsupport
