#pragma once
// The process-wide caches of pictures, filled lazily from the resources:
// GDI bitmaps, decoded PNG and JPEG images, and premultiplied 32-bit bitmaps
// for the skins that keep their own pixels. Pools own what they hold; skins
// and controls borrow. Each pool has one lock, held by every lookup and
// change: tip windows paint on threads of their own.

#include <memory>
#include <string>
#include <unordered_map>

#include <windows.h>

#include "common/CriticalSection.h"
#include "ui/skin/CTwBitmap.h"
#include "ui/skin/TwGdiplus.h"

class TwBmpPool {
public:
    static TwBmpPool& Instance();
    // A cached or newly loaded bitmap; null (and nothing cached) on a miss.
    HBITMAP Get(int id);
    void Clear();
    ~TwBmpPool() { Clear(); }

private:
    TwBmpPool() = default;
    CriticalSection m_lock;
    std::unordered_map<int, HBITMAP> m_bitmaps;
};

class TwPngPool {
public:
    static TwPngPool& Instance();
    // Never null: a missing or undecodable PNG gives an empty image, kept.
    const TwImage* Get(int id);
    void Clear();

private:
    TwPngPool() = default;
    GdiplusSession m_gdiplus; // started with the pool, ended with it
    CriticalSection m_lock;
    std::unordered_map<int, std::unique_ptr<TwImage>> m_images;
};

class TwJpgPool {
public:
    static TwJpgPool& Instance();
    // Null on a miss, which is tried again next time.
    const TwImage* Get(int id);
    void Clear();

private:
    TwJpgPool() = default;
    CriticalSection m_lock;
    std::unordered_map<int, std::unique_ptr<TwImage>> m_images;
};

class TwSkinPool {
public:
    static TwSkinPool& Instance();
    // Fills `target` with its own copy of the picture: from the file below
    // the program's folder when it decodes, else from resource (id, type).
    // True when the target holds a bitmap.
    bool Get(int id, const wchar_t* file, const wchar_t* type, CTwBitmap& target);
    void Clear();
    const std::wstring& ProgramDirectory() const { return m_directory; }

private:
    TwSkinPool();
    GdiplusSession m_gdiplus;
    std::wstring m_directory;
    CriticalSection m_lock;
    std::unordered_map<int, std::unique_ptr<CTwBitmap>> m_bitmaps;
};

// Converts a decoded image into a premultiplied bitmap of its size.
bool ImageToBitmap(Gdiplus::GpImage* image, CTwBitmap& bitmap);
// `target` made the same size as `source` with identical pixels.
bool CopyBitmap(const CTwBitmap& source, CTwBitmap& target);
