#pragma once
// GDI+ through its flat API (the only one the platform headers carry here).

#include <string>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace Gdiplus {
using namespace DllExports;
}

// GDI+ started for as long as the object lives.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

// A decoded GDI+ image, disposed when it goes; an empty one reads as 0 x 0.
class TwImage {
public:
    TwImage() = default;
    explicit TwImage(Gdiplus::GpImage* image) : m_image(image) {}
    ~TwImage();
    TwImage(const TwImage&) = delete;
    TwImage& operator=(const TwImage&) = delete;

    Gdiplus::GpImage* Get() const { return m_image; }
    bool IsEmpty() const { return m_image == nullptr; }
    UINT Width() const;
    UINT Height() const;

private:
    Gdiplus::GpImage* m_image = nullptr;
};

// Decodes image bytes (through a stream over fixed global memory when
// `fixedMemory`, else movable memory the stream owns); null on failure.
Gdiplus::GpImage* DecodeImage(const std::string& bytes, bool fixedMemory);
