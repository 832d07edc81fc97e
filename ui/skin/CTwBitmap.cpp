#include "ui/skin/CTwBitmap.h"

#include <algorithm>

#include "common/GdiObjects.h"

bool CTwBitmap::Create(int width, int height) {
    Destroy();
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap)
        return false;
    m_bits = static_cast<std::uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

void CTwBitmap::Destroy() {
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
}

void CTwBitmap::SetAlpha(BYTE alpha) {
    const std::size_t count = static_cast<std::size_t>(m_width) * m_height;
    for (std::size_t i = 0; i < count; ++i)
        m_bits[i] = (m_bits[i] & 0x00ffffffu) | (static_cast<std::uint32_t>(alpha) << 24);
}

std::uint32_t CTwBitmap::GetPixel(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_bits[x + (m_height - y - 1) * m_width];
}

void CTwBitmap::SetPixel(int x, int y, std::uint32_t bgra) {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_bits[x + (m_height - y - 1) * m_width] = bgra;
}

bool BlendBitmap(HDC destination, int x, int y, int width, int height, const CTwBitmap& source,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight, BYTE constantAlpha) {
    sourceWidth = std::max(0, std::min(sourceWidth, source.Width() - sourceX));
    sourceHeight = std::max(0, std::min(sourceHeight, source.Height() - sourceY));
    if (sourceWidth == 0 || sourceHeight == 0 || source.IsEmpty())
        return true;
    MemoryDC memory(destination);
    if (!memory)
        return false;
    ScopedSelect select(memory.Get(), source.Handle());
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    return AlphaBlend(destination, x, y, width, height, memory.Get(), sourceX, sourceY, sourceWidth,
                      sourceHeight, blend) != FALSE;
}
