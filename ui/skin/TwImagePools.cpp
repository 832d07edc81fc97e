#include "ui/skin/TwImagePools.h"

#include <cstring>

#include "common/ModulePath.h"
#include "common/GdiObjects.h"
#include "ui/skin/TwResourceLocator.h"

namespace {

// Bitmaps from a provider's stream, flattened on opaque white.
HBITMAP BitmapFromProvider(int id) {
    ITwExtraResource* provider = TwResourceLocator::Instance().Provider();
    if (!provider)
        return nullptr;
    for (auto lookup :
         {&ITwExtraResource::LookupCommonResource, &ITwExtraResource::LookupResource}) {
        IStream* stream = nullptr;
        if (!(provider->*lookup)(L"bmp", id, &stream) || !stream)
            continue;
        Gdiplus::GpBitmap* bitmap = nullptr;
        HBITMAP handle = nullptr;
        if (Gdiplus::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
            Gdiplus::GdipCreateHBITMAPFromBitmap(bitmap, &handle, 0xFFFFFFFF);
            Gdiplus::GdipDisposeImage(bitmap);
        }
        stream->Release();
        if (handle)
            return handle;
    }
    return nullptr;
}

} // namespace

TwBmpPool& TwBmpPool::Instance() {
    static TwBmpPool pool;
    return pool;
}

HBITMAP TwBmpPool::Get(int id) {
    ScopedLock lock(m_lock);
    const auto found = m_bitmaps.find(id);
    if (found != m_bitmaps.end())
        return found->second;
    const TwResourceLocator& locator = TwResourceLocator::Instance();
    HBITMAP bitmap = BitmapFromProvider(id);
    if (!bitmap && locator.ResourceModule())
        bitmap = LoadBitmapW(locator.ResourceModule(), MAKEINTRESOURCEW(id));
    if (!bitmap)
        bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    if (!bitmap && !locator.Directory().empty()) {
        wchar_t path[MAX_PATH * 2];
        wsprintfW(path, L"%s\\%d.bmp", locator.Directory().c_str(), id);
        bitmap =
            static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    if (bitmap)
        m_bitmaps[id] = bitmap;
    return bitmap;
}

void TwBmpPool::Clear() {
    ScopedLock lock(m_lock);
    for (auto& [id, bitmap] : m_bitmaps)
        DeleteObject(bitmap);
    m_bitmaps.clear();
}

void TwPngPool::Clear() {
    ScopedLock lock(m_lock);
    m_images.clear();
}

TwPngPool& TwPngPool::Instance() {
    static TwPngPool pool;
    return pool;
}

const TwImage* TwPngPool::Get(int id) {
    ScopedLock lock(m_lock);
    auto& slot = m_images[id];
    if (!slot) {
        std::string bytes;
        Gdiplus::GpImage* image = nullptr;
        if (TwResourceLocator::Instance().FetchImage(id, L"png", bytes))
            image = DecodeImage(bytes, true);
        slot = std::make_unique<TwImage>(image);
    }
    return slot.get();
}

void TwJpgPool::Clear() {
    ScopedLock lock(m_lock);
    m_images.clear();
}

TwJpgPool& TwJpgPool::Instance() {
    static TwJpgPool pool;
    return pool;
}

const TwImage* TwJpgPool::Get(int id) {
    ScopedLock lock(m_lock);
    const auto found = m_images.find(id);
    if (found != m_images.end())
        return found->second.get();
    std::string bytes;
    if (!TwResourceLocator::Instance().FetchImage(id, L"jpg", bytes))
        return nullptr;
    Gdiplus::GpImage* image = DecodeImage(bytes, false);
    if (!image)
        return nullptr;
    auto& slot = m_images[id];
    slot = std::make_unique<TwImage>(image);
    return slot.get();
}

bool ImageToBitmap(Gdiplus::GpImage* image, CTwBitmap& bitmap) {
    UINT width = 0, height = 0;
    Gdiplus::GdipGetImageWidth(image, &width);
    Gdiplus::GdipGetImageHeight(image, &height);
    if (!bitmap.Create(static_cast<int>(width), static_cast<int>(height)))
        return false;
    bitmap.SetAlpha(0);
    // Premultiplied rows, copied into the bottom-up bitmap.
    Gdiplus::GpRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    Gdiplus::BitmapData data = {};
    auto* gdiplusBitmap = reinterpret_cast<Gdiplus::GpBitmap*>(image);
    if (Gdiplus::GdipBitmapLockBits(gdiplusBitmap, &all, Gdiplus::ImageLockModeRead,
                                    PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return false;
    for (UINT y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint32_t*>(data.Scan0) +
                          static_cast<std::ptrdiff_t>(y) * (data.Stride / 4);
        std::memcpy(bitmap.Bits() + (height - y - 1) * width, row, width * 4);
    }
    Gdiplus::GdipBitmapUnlockBits(gdiplusBitmap, &data);
    return true;
}

bool CopyBitmap(const CTwBitmap& source, CTwBitmap& target) {
    if (source.IsEmpty() || !target.Create(source.Width(), source.Height()))
        return false;
    std::memcpy(target.Bits(), source.Bits(),
                static_cast<std::size_t>(source.Width()) * source.Height() * 4);
    return true;
}

void TwSkinPool::Clear() {
    ScopedLock lock(m_lock);
    m_bitmaps.clear();
}

TwSkinPool& TwSkinPool::Instance() {
    static TwSkinPool pool;
    return pool;
}

TwSkinPool::TwSkinPool() {
    const std::wstring program = GetModulePath(nullptr);
    std::size_t cut = program.find_last_of(L'\\');
    if (cut == std::wstring::npos)
        cut = program.find_last_of(L'/');
    if (cut != std::wstring::npos)
        m_directory = program.substr(0, cut + 1);
}

bool TwSkinPool::Get(int id, const wchar_t* file, const wchar_t* type, CTwBitmap& target) {
    ScopedLock lock(m_lock);
    auto& slot = m_bitmaps[id];
    if (!slot) {
        Gdiplus::GpImage* image = nullptr;
        if (file && *file) {
            const std::wstring path = m_directory + file;
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
                Gdiplus::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok)
                image = nullptr;
        }
        std::string bytes;
        if (!image && TwResourceLocator::Instance().FetchImage(id, type, bytes))
            image = DecodeImage(bytes, true);
        if (image) {
            auto bitmap = std::make_unique<CTwBitmap>();
            if (ImageToBitmap(image, *bitmap))
                slot = std::move(bitmap);
            Gdiplus::GdipDisposeImage(image);
        }
        if (!slot) {
            m_bitmaps.erase(id); // retried on the next request
            target.Destroy();
            return false;
        }
    }
    return CopyBitmap(*slot, target);
}
