// Image pools and the engine's 32-bit bitmap, with the test program's pictures.

#include "ui/skin/TwImagePools.h"

#include "tests/support/GTest.h"
#include "tests/support/DibSurface.h"
#include "tests/support/TempDir.h"

using testsupport::DibSurface;

TEST(CTwBitmap, PixelsAreBottomUpAndOutOfRangeAccessIsHarmless) {
    CTwBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(3, 2));
    bitmap.SetAlpha(0x80);
    EXPECT_EQ(0x80000000u, bitmap.GetPixel(2, 1));
    bitmap.SetPixel(0, 0, 0x11223344);
    EXPECT_EQ(0x11223344u, bitmap.Bits()[0 + (2 - 0 - 1) * 3]); // row 0 is stored last
    EXPECT_EQ(0u, bitmap.GetPixel(3, 0));
    EXPECT_EQ(0u, bitmap.GetPixel(-1, 0));
    EXPECT_EQ(0u, bitmap.GetPixel(0, 2));
    bitmap.SetPixel(5, 5, 0xffffffff); // ignored
    EXPECT_FALSE(bitmap.Create(0, 4));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(0u, bitmap.GetPixel(0, 0));
}

TEST(ImagePools, PngImagesAreCachedAndAnAbsentOneIsEmptyForGood) {
    TwPngPool& pool = TwPngPool::Instance();
    const TwImage* strip = pool.Get(301);
    EXPECT_EQ(strip, pool.Get(301));
    EXPECT_EQ(4u, strip->Width());
    EXPECT_EQ(2u, strip->Height());
    const TwImage* absent = pool.Get(206);
    ASSERT_NE(nullptr, absent);
    EXPECT_TRUE(absent->IsEmpty());
    EXPECT_EQ(0u, absent->Width());
    EXPECT_EQ(absent, pool.Get(206));
}

TEST(ImagePools, BitmapsAndJpegsMissTryAgainAndHitsAreCached) {
    TwBmpPool& bitmaps = TwBmpPool::Instance();
    const HBITMAP loaded = bitmaps.Get(402);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(loaded, bitmaps.Get(402));
    BITMAP info;
    GetObjectW(loaded, sizeof info, &info);
    EXPECT_EQ(3, info.bmWidth);
    EXPECT_EQ(nullptr, bitmaps.Get(999));
    EXPECT_EQ(nullptr, bitmaps.Get(999));

    TwJpgPool& jpegs = TwJpgPool::Instance();
    const TwImage* flat = jpegs.Get(200);
    ASSERT_NE(nullptr, flat);
    EXPECT_EQ(8u, flat->Width());
    EXPECT_EQ(flat, jpegs.Get(200));
    EXPECT_EQ(nullptr, jpegs.Get(201));
    bitmaps.Clear();
    EXPECT_NE(nullptr, bitmaps.Get(402)); // loaded again after a clear
}

TEST(ImagePools, SkinBitmapsArePremultipliedCopiesOfThePicture) {
    CTwBitmap target;
    ASSERT_TRUE(TwSkinPool::Instance().Get(301, L"", L"png", target));
    ASSERT_EQ(4, target.Width());
    ASSERT_EQ(2, target.Height());
    EXPECT_EQ(0xFFFF0000u, target.GetPixel(0, 0)); // opaque red
    EXPECT_EQ(0x80008000u, target.GetPixel(1, 0)); // green at half alpha, premultiplied
    EXPECT_EQ(0x00000000u, target.GetPixel(2, 0)); // fully transparent
    EXPECT_EQ(0xFF000000u, target.GetPixel(0, 1));
    CTwBitmap second;
    ASSERT_TRUE(TwSkinPool::Instance().Get(301, L"", L"png", second));
    EXPECT_NE(target.Bits(), second.Bits()); // each skin its own pixels
    EXPECT_EQ(target.GetPixel(1, 0), second.GetPixel(1, 0));
    EXPECT_FALSE(TwSkinPool::Instance().Get(777, L"", L"png", second));
    EXPECT_TRUE(second.IsEmpty());
}

TEST(ImagePools, ASkinPictureBesideTheProgramIsPreferredWhenItDecodes) {
    TwSkinPool& pool = TwSkinPool::Instance();
    CTwBitmap fromFile;
    ASSERT_TRUE(pool.Get(3001, L"ui_test_beside.png", L"png", fromFile));
    EXPECT_EQ(2, fromFile.Width());
    EXPECT_EQ(0xFFFFFF00u, fromFile.GetPixel(0, 0));

    const std::wstring junk = pool.ProgramDirectory() + L"ui_test_junk.png";
    ASSERT_TRUE(testsupport::WriteFileBytes(junk, "not a picture", 13));
    CTwBitmap fromResource;
    EXPECT_TRUE(pool.Get(301, L"ui_test_junk.png", L"png", fromResource));
    EXPECT_EQ(4, fromResource.Width());
    DeleteFileW(junk.c_str());
}

TEST(ImagePools, BlendingDrawsPremultipliedPixelsOverTheDestination) {
    CTwBitmap strip;
    ASSERT_TRUE(TwSkinPool::Instance().Get(301, L"", L"png", strip));
    DibSurface surface(8, 4); // white
    ASSERT_TRUE(BlendBitmap(surface.Dc(), 0, 0, 4, 2, strip, 0, 0, 4, 2, 255));
    EXPECT_EQ(0xFF0000u, surface.At(0, 0));
    // Half-transparent green over white: about (127, 255, 127).
    const std::uint32_t mixed = surface.At(1, 0);
    EXPECT_NEAR(127, static_cast<int>(mixed >> 16), 1);
    EXPECT_NEAR(255, static_cast<int>((mixed >> 8) & 0xff), 1);
    EXPECT_NEAR(127, static_cast<int>(mixed & 0xff), 1);
    EXPECT_EQ(0xFFFFFFu, surface.At(2, 0)); // transparent leaves white
    EXPECT_EQ(0xFFFFFFu, surface.At(5, 0)); // outside the destination
    // A source rectangle beyond the bitmap draws nothing and succeeds.
    EXPECT_TRUE(BlendBitmap(surface.Dc(), 0, 0, 4, 2, strip, 4, 0, 4, 2, 255));
}
