#include "ui/skin/TwGdiplus.h"

#include <cstring>

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok)
        m_token = 0;
}

GdiplusSession::~GdiplusSession() {
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

TwImage::~TwImage() {
    if (m_image)
        Gdiplus::GdipDisposeImage(m_image);
}

UINT TwImage::Width() const {
    UINT width = 0;
    if (m_image)
        Gdiplus::GdipGetImageWidth(m_image, &width);
    return width;
}

UINT TwImage::Height() const {
    UINT height = 0;
    if (m_image)
        Gdiplus::GdipGetImageHeight(m_image, &height);
    return height;
}

Gdiplus::GpImage* DecodeImage(const std::string& bytes, bool fixedMemory) {
    if (bytes.empty())
        return nullptr;
    HGLOBAL memory = GlobalAlloc(fixedMemory ? GMEM_FIXED : GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    void* data = GlobalLock(memory);
    std::memcpy(data, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    // A fixed block stays ours; a movable one belongs to the stream.
    if (FAILED(CreateStreamOnHGlobal(memory, fixedMemory ? FALSE : TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    Gdiplus::GpImage* image = nullptr;
    if (Gdiplus::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok)
        image = nullptr;
    // GDI+ reads lazily: make sure the pixels are decoded before the bytes go.
    if (image) {
        Gdiplus::GpImage* clone = nullptr;
        if (Gdiplus::GdipCloneImage(image, &clone) == Gdiplus::Ok) {
            Gdiplus::GdipDisposeImage(image);
            image = clone;
        }
    }
    stream->Release();
    if (fixedMemory)
        GlobalFree(memory);
    return image;
}
