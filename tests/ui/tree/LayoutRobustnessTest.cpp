// Layout texts that are malformed, deep, huge or full of unknown things load
// or fail cleanly, and leave no element behind in the registry.

#include <random>

#include "tests/support/GTest.h"
#include "tests/ui/tree/ViewHarness.h"

using testsupport::ViewHarness;

namespace {

// Every widget kind with the attributes it reads.
const char* const kSeed = R"(<?xml version="1.0" encoding="utf-8"?>
<layer title="工具" width="640" height="475" min_width="640" appwin="1" frame="four">
  <header width="full" height="65" class="red_bg">
    <text pos="44,22" class="dark_text">%str100% 白名单</text>
    <imgbtn id="1001" pos="-20,8" skin="four" tip="关闭"/>
  </header>
  <body width="full" height="full">
    <dlg id="1104" pos ="252,30,280,44" show="0"><text pos="0,0">x</text></dlg>
    <dlgbtn id="301" pos="10,-38,80,-11"><img id="303" pos="0,0" skin="four" sub="0"/><link pos="20,0" class="linktext">全选</link></dlgbtn>
    <skinbtn id="306" pos="-100,-38,-20,-11" skin="four">添 加</skinbtn>
    <realwnd id="401" ctrlid="401" pos="1,0,-1,-40"/>
    <check id="5" pos="0,0" check="1">c</check><radio pos="0,20" group="g">r</radio>
    <hr pos="0,100,-0,100" style="dash" size="2" crbg="123456"/>
    <icon oem="32516" size="16" pos="0,120"/><imgbg skin="four" fill="1" pos="0,0,10,10"/>
    <scrollimg skin="strip" hscroll="1" hpos="5" pos="0,0,20,4"/>
    <progress value="30" showpercent="1" pos="0,0,50,8"/><progressex value="3" max="4" extendtext="!" pos="0,0,50,8"/>
    <memimage mempointer="12345" pos="0,0,4,4"/><storageimage filepath="missing.png"/>
    <imgbtnsized skin="four" skinmid="strip" left="3" pos="0,0,40,4"/><imggray skin="four" gray="1"/>
    <imgex skin="four" alpha="128"/><imgrotale skin="four" angle="45"/>
    <slider sliderpos="40" skinbg="strip" skin="four" bgleftmargin="2" pos="0,0,100,10"/>
    <button id="7" width="full" float="1" notify="3" href="" valign="middle" align="right">b</button>
  </body>
  <footer height="30"><text pos="|-40,10">footer</text></footer>
</layer>)";

std::string Mutate(std::string text, std::mt19937& random) {
    static const char kPieces[] = "<>/=\"' %-|,0123456789abcxyz";
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits && !text.empty(); ++i) {
        const std::size_t at = random() % text.size();
        switch (random() % 5) {
        case 0: // replace one character
            text[at] = kPieces[random() % (sizeof kPieces - 1)];
            break;
        case 1: // delete a run
            text.erase(at, random() % 40);
            break;
        case 2: // duplicate a run
            text.insert(at, text.substr(random() % text.size(), random() % 200));
            break;
        case 3: // cut the end off
            text.resize(at);
            break;
        default: // a strange number
            text.insert(at, std::to_string(static_cast<int>(random())));
            break;
        }
    }
    return text;
}

} // namespace

TEST(LayoutRobustness, MutatedLayoutsLoadOrFailCleanly) {
    const std::size_t baseline = TwElementRegistry::Instance().LiveCount();
    {
        ViewHarness host("<layer/>");
        ASSERT_TRUE(host.View().LoadLayoutText(kSeed));
        const std::size_t seeded = TwElementRegistry::Instance().LiveCount();
        EXPECT_EQ(baseline + 3 + 26, seeded); // the sections and 26 elements
        std::mt19937 random(20261208);
        int loaded = 0;
        for (int round = 0; round < 1500; ++round) {
            const std::string text = Mutate(kSeed, random);
            if (host.View().LoadLayoutText(text)) {
                ++loaded;
                host.View().Render();
                host.Click(static_cast<int>(random() % 300), static_cast<int>(random() % 200));
            }
        }
        EXPECT_GT(loaded, 100);
        ASSERT_TRUE(host.View().LoadLayoutText(kSeed));
        EXPECT_EQ(seeded, TwElementRegistry::Instance().LiveCount());
    }
    EXPECT_EQ(baseline, TwElementRegistry::Instance().LiveCount());
}

TEST(LayoutRobustness, DeepAndHugeLayouts) {
    ViewHarness host("<layer/>");
    std::string deep;
    for (int i = 0; i < 200; ++i)
        deep += "<dlg pos=\"1,1,-1,-1\">";
    deep += "<button id=\"77\" pos=\"0,0,-0,-0\"/>";
    for (int i = 0; i < 200; ++i)
        deep += "</dlg>";
    ASSERT_TRUE(host.View().LoadLayoutText("<layer><body>" + deep + "</body></layer>"));
    ASSERT_NE(nullptr, host.Element(77));
    EXPECT_EQ(200, host.Element(77)->Rect().left); // one pixel further in per level
    std::string huge = "<layer><body>";
    for (int i = 0; i < 20000; ++i)
        huge += "<text pos=\"" + std::to_string(i % 300) +
                ",0\" unknown=\"u\">t</text><what><text/></what>";
    huge += "</body></layer>";
    ASSERT_TRUE(host.View().LoadLayoutText(huge));
    EXPECT_EQ(20000u, host.View().Body().Children().size());
    host.View().Render();
}
