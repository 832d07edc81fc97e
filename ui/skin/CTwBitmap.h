#pragma once
// The engine's 32-bit bitmap: a bottom-up DIB section of premultiplied
// blue, green, red, alpha. Pixel (x, y) is the word at x + (height-y-1)*width.
// Reads outside give 0; writes outside are ignored.

#include <cstdint>

#include <windows.h>

class CTwBitmap {
public:
    CTwBitmap() = default;
    ~CTwBitmap() { Destroy(); }
    CTwBitmap(const CTwBitmap&) = delete;
    CTwBitmap& operator=(const CTwBitmap&) = delete;

    // Replaces any bitmap held; false when none could be made.
    bool Create(int width, int height);
    void Destroy();
    void SetAlpha(BYTE alpha);
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t bgra);

    HBITMAP Handle() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::uint32_t* Bits() const { return m_bits; }
    bool IsEmpty() const { return m_bitmap == nullptr; }

private:
    HBITMAP m_bitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::uint32_t* m_bits = nullptr;
};

// Draws a premultiplied bitmap (source rectangle cut to the bitmap; nothing
// when empty) stretched to the destination with per-pixel and constant alpha.
bool BlendBitmap(HDC destination, int x, int y, int width, int height, const CTwBitmap& source,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight, BYTE constantAlpha);
