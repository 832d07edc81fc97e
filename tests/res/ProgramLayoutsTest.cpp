// The program's own resources: every layout loads and draws its header,
// tabs, buttons and texts where the layout puts them; the names the
// layouts use exist in the skins and styles documents; the ids the dialogs
// rely on are there; and mutated copies of the layouts load or fail cleanly.

#include <random>
#include <set>

#include "layoutview/DialogSnapshot.h"
#include "layoutview/LayoutViewDialog.h"
#include "layoutview/UiDocuments.h"
#include "tests/support/DibSurface.h"
#include "tests/support/GTest.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/core/TwXml.h"
#include "ui/skin/TwResourceLocator.h"
#include "ui/skin/TwSkinRegistry.h"

using testsupport::Near;

namespace {

class ProgramLayouts : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocuments()); }

    // A picture of the layout as its dialog shows it.
    std::uint32_t Pixel(int x, int y) const { return m_picture.GetPixel(x, y) & 0x00FFFFFFu; }
    void Shoot(const wchar_t* layout) {
        std::string error;
        ASSERT_TRUE(m_dialog.Load(layout, error)) << error;
        ASSERT_NE(nullptr, m_dialog.CreateHostWindow(nullptr, nullptr));
        ASSERT_TRUE(SnapshotDialog(m_dialog, m_picture));
    }
    // Pixels near a colour inside a rectangle.
    int Count(const RECT& area, std::uint32_t colour, int tolerance) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += Near(Pixel(x, y), colour, tolerance) ? 1 : 0;
        return count;
    }

    LayoutViewDialog m_dialog;
    CTwBitmap m_picture;
};

std::string Layout(int id) {
    const auto copies = TwResourceLocator::Instance().GatherDocument(id);
    return copies.empty() ? std::string() : copies.front();
}

// Every value of an attribute anywhere in a document.
void Collect(const TiXmlElement* element, const char* name, std::set<std::string>& values) {
    for (; element; element = element->NextSiblingElement()) {
        if (const char* value = element->Attribute(name))
            values.insert(value);
        Collect(element->FirstChildElement(), name, values);
    }
}

bool IsBlue(std::uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return b > 150 && b > r + 60 && b > g;
}

} // namespace

TEST_F(ProgramLayouts, MainWindowDrawsHeaderTabsButtonsAndTexts) {
    Shoot(L"101");
    ASSERT_EQ(640, m_picture.Width());
    ASSERT_EQ(475, m_picture.Height());
    EXPECT_TRUE(IsBlue(Pixel(320, 20)));                          // header
    EXPECT_GT(Count(RECT{42, 8, 200, 26}, 0xFFFFFF, 40), 30);     // the title in white
    EXPECT_EQ(0xFFFFFFu, Pixel(50, 38));                          // selected tab 0 (x 10-90)
    EXPECT_TRUE(IsBlue(Pixel(100, 60)));                          // the gap before tab 1
    EXPECT_FALSE(Near(Pixel(136, 38), 0xFFFFFF, 40));             // tab 1, not selected
    EXPECT_GT(Count(RECT{92, 42, 176, 60}, 0xFFFFFF, 40), 20);    // its title in white
    EXPECT_GT(Count(RECT{626, 12, 632, 20}, 0xFFFFFF, 60), 3);    // the close cross
    EXPECT_TRUE(IsBlue(Pixel(550, 445)));                         // OK button 106
    EXPECT_GT(Count(RECT{545, 440, 615, 460}, 0xFFFFFF, 50), 10); // its text
    EXPECT_GT(Count(RECT{30, 444, 56, 462}, 0x0064C8, 60), 5);    // the select-all link
    EXPECT_TRUE(Near(Pixel(320, 300), 0xFBFDFD, 4));              // list 401
    EXPECT_EQ(0u, m_picture.GetPixel(0, 0) >> 24);                // a cut corner
}

TEST_F(ProgramLayouts, MessageBoxDrawsIconsTextAndButtons) {
    Shoot(L"102");
    ASSERT_EQ(380, m_picture.Width());
    ASSERT_EQ(200, m_picture.Height());
    EXPECT_TRUE(IsBlue(Pixel(190, 4)));
    EXPECT_GT(Count(RECT{32, 7, 180, 25}, 0xFFFFFF, 40), 30);
    EXPECT_EQ(0xFFFFFFu, Pixel(300, 100));          // body
    EXPECT_TRUE(Near(Pixel(34, 82), 0xF5A623, 40)); // the warning icon, last of the four
    EXPECT_TRUE(IsBlue(Pixel(110, 178)));           // button 102 at (100,162)-(180,189)
    EXPECT_TRUE(IsBlue(Pixel(270, 178)));           // button 101
}

TEST_F(ProgramLayouts, FormatBubbleDrawsItsPictureAndText) {
    Shoot(L"103");
    ASSERT_EQ(197, m_picture.Width());
    EXPECT_TRUE(Near(Pixel(150, 45), 0xFFFAE4, 12));
    EXPECT_GT(Count(RECT{4, 5, 190, 45}, 0x000000, 90), 30);
}

TEST_F(ProgramLayouts, NamesAndIdsTheDialogsRelyOn) {
    EXPECT_STREQ(L"文件名", GetString(100));
    EXPECT_STREQ(L"操 作", GetString(102));
    for (const int id : {101, 102, 103}) {
        TiXmlDocument document;
        document.Parse(Layout(id).c_str(), nullptr, TIXML_ENCODING_UTF8);
        ASSERT_NE(nullptr, RootWithTag(document, "layer")) << id;
        std::set<std::string> skins, classes;
        Collect(document.RootElement(), "skin", skins);
        Collect(document.RootElement(), "tabskin", skins);
        Collect(document.RootElement(), "class", classes);
        Collect(document.RootElement(), "linkclass", classes);
        for (const std::string& skin : skins) {
            // The message box's ok and animation images have no skin by design.
            if (skin != "status_ok" && skin != "animation") {
                EXPECT_NE(nullptr, GetSkin(skin)) << id << ": " << skin;
            }
        }
        for (const std::string& name : classes)
            EXPECT_TRUE(TwStyleTable::Instance().Contains(name)) << id << ": " << name;
    }
    LayoutViewDialog main;
    std::string error;
    ASSERT_TRUE(main.Load(L"101", error));
    for (const int id : {102, 103, 1104, 1105, 1106, 201, 202, 203, 204, 205, 206, 401, 402,
                         403, 301, 302,  303,  304,  501, 503, 105, 106, 107, 108, 109})
        EXPECT_NE(nullptr, main.FindById(id)) << id;
    LayoutViewDialog box;
    ASSERT_TRUE(box.Load(L"102", error));
    for (const int id : {100, 201, 202, 300, 301, 302, 303, 101, 102, 103, 104})
        EXPECT_NE(nullptr, box.FindById(id)) << id;
}

TEST_F(ProgramLayouts, MutatedCopiesLoadOrFailCleanly) {
    const std::size_t baseline = TwElementRegistry::Instance().LiveCount();
    {
        CTwDialogView view;
        std::mt19937 random(475);
        static const char kPieces[] = "<>/=\"' %-|,0123456789";
        int loaded = 0;
        for (const int id : {101, 102, 103}) {
            const std::string layout = Layout(id);
            ASSERT_FALSE(layout.empty());
            for (int round = 0; round < 400; ++round) {
                std::string text = layout;
                const int edits = 1 + static_cast<int>(random() % 3);
                for (int edit = 0; edit < edits; ++edit) {
                    const std::size_t at = random() % text.size();
                    if (random() % 2)
                        text[at] = kPieces[random() % (sizeof kPieces - 1)];
                    else
                        text.erase(at, random() % 30);
                }
                loaded += view.LoadLayoutText(text) ? 1 : 0;
            }
        }
        EXPECT_GT(loaded, 300);
        ASSERT_TRUE(view.LoadLayoutText(Layout(101)));
    }
    EXPECT_EQ(baseline, TwElementRegistry::Instance().LiveCount());
}
