#include "ui/skin/TwResourceLocator.h"

#include <cstring>

#include "tests/support/GTest.h"

namespace {

IStream* StreamOf(const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(memory, TRUE, &stream);
    return stream;
}

// A provider that has one document and one image, each behind one lookup.
class FakeProvider : public ITwExtraResource {
public:
    BOOL LookupResource(const wchar_t* type, int id, IStream** stream) override {
        ++firstLookups;
        if (lstrcmpiW(type, L"xml") == 0 && id == 60001) {
            *stream = StreamOf("<style/>");
            return TRUE;
        }
        return FALSE;
    }
    BOOL LookupCommonResource(const wchar_t*, int, IStream**) override { return FALSE; }
    BOOL LookupAlternativeResource(const wchar_t* type, int id, IStream** stream) override {
        if (lstrcmpiW(type, L"png") == 0 && id == 301) {
            *stream = StreamOf("alternative");
            return TRUE;
        }
        return FALSE;
    }
    int firstLookups = 0;
};

} // namespace

TEST(ResourceLocator, TheProgramsOwnResourcesAreFoundByIdAndTypeInAnyCase) {
    std::string bytes;
    ASSERT_TRUE(TwResourceLocator::ReadResource(nullptr, 60002, L"xml", bytes));
    EXPECT_NE(std::string::npos, bytes.find("<string>"));
    EXPECT_TRUE(TwResourceLocator::ReadResource(nullptr, 60002, L"XML", bytes));
    EXPECT_FALSE(TwResourceLocator::ReadResource(nullptr, 60009, L"xml", bytes));
    const TwResourceLocator& locator = TwResourceLocator::Instance();
    EXPECT_EQ(1u, locator.GatherDocument(60002).size());
    EXPECT_TRUE(locator.GatherDocument(60009).empty());
    EXPECT_TRUE(locator.FetchImage(301, L"png", bytes));
    EXPECT_EQ(0, bytes.compare(1, 3, "PNG"));
}

TEST(ResourceLocator, AProviderComesFirstWhenOneIsSet) {
    FakeProvider provider;
    TwResourceLocator& locator = TwResourceLocator::Instance();
    locator.SetProvider(&provider);
    const std::vector<std::string> copies = locator.GatherDocument(60001);
    std::string image;
    const bool fetched = locator.FetchImage(301, L"png", image);
    locator.SetProvider(nullptr);
    ASSERT_EQ(2u, copies.size());
    EXPECT_EQ("<style/>", copies[0]); // then the program's own copy
    EXPECT_NE(std::string::npos, copies[1].find("first"));
    ASSERT_TRUE(fetched);
    EXPECT_EQ("alternative", image); // first lookup had nothing, the third had it
    EXPECT_EQ(2, provider.firstLookups);
}
