#include "ui/engine/TwFontPool.h"

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/GTest.h"

namespace {
LOGFONTW FontOf(HFONT font) {
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont;
}
} // namespace

TEST(FontPool, FontsFollowTheirCodesAgainstTheBaseFont) {
    TwFontPool& pool = TwFontPool::Instance();
    EXPECT_EQ(-12, pool.BaseHeight());
    const LOGFONTW base = FontOf(pool.GetFont(0));
    EXPECT_EQ(-12, base.lfHeight);
    EXPECT_EQ(FW_NORMAL, base.lfWeight);
    EXPECT_EQ(pool.BaseFace(), base.lfFaceName);

    const LOGFONTW bold = FontOf(pool.GetFont(0x0104));
    EXPECT_EQ(-13, bold.lfHeight);
    EXPECT_EQ(FW_BOLD, bold.lfWeight);
    EXPECT_TRUE(FontOf(pool.GetFont(0x0002)).lfUnderline);
    EXPECT_EQ(-11, FontOf(pool.GetFont(0xff00)).lfHeight);
    EXPECT_EQ(pool.GetFont(0x0104), pool.GetFont(0x0104)); // cached
}

TEST(FontPool, WithoutYaHeiInstalledTheBaseFaceIsSimSun) {
    // The project's Wine has no YaHei registered among its fonts.
    EXPECT_EQ(L"\x5B8B\x4F53", TwFontPool::ProbeBaseFace());
    EXPECT_FALSE(TwFontPool::Instance().BaseIsYaHei());
}

TEST(FontPool, SetBaseFontRecreatesOnlyFontZero) {
    TwFontPool& pool = TwFontPool::Instance();
    const HFONT bold = pool.GetFont(0x0004);
    const std::wstring face = pool.BaseFace();
    pool.SetBaseFont(L"Tahoma", -16);
    EXPECT_EQ(-16, FontOf(pool.GetFont(0)).lfHeight);
    EXPECT_STREQ(L"Tahoma", FontOf(pool.GetFont(0)).lfFaceName);
    EXPECT_EQ(bold, pool.GetFont(0x0004)); // kept its old font
    pool.SetBaseFont(face.c_str(), -12);
}

TEST(FontPool, TwoThreadsAskingForNewCodesAtOnceGetOneFontPerCode) {
    // Tip threads paint while the main thread does: both may make fonts.
    // Codes above 0xffff decode like their low 16 bits, so each is new here.
    TwFontPool& pool = TwFontPool::Instance();
    constexpr unsigned kFirst = 0x10000;
    constexpr unsigned kCodes = 6000;
    std::vector<HFONT> made(kCodes, nullptr);
    std::atomic<int> ready{0};
    const auto ask = [&](unsigned parity) {
        ++ready;
        while (ready.load() < 2) {
        }
        for (unsigned i = parity; i < kCodes; i += 2)
            made[i] = pool.GetFont(kFirst + i);
    };
    std::thread other(ask, 1u);
    ask(0u);
    other.join();
    for (unsigned i = 0; i < kCodes; ++i) {
        ASSERT_NE(nullptr, made[i]) << i;
        ASSERT_EQ(made[i], pool.GetFont(kFirst + i)) << i; // the one kept
    }
}
