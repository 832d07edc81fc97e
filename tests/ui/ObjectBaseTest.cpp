#include "ui/core/CTwObject.h"

#include <string>
#include <vector>

#include "tests/support/GTest.h"
#include "ui/core/TwXml.h"

namespace {

// A base that knows "shared" and "a"; a derived class that knows "shared"
// and "b" as well (its "shared" is never reached).
class BaseThing : public CTwObject {
public:
    const char* TagName() const override { return "thing"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override {
        const HRESULT base = CTwObject::ApplyAttribute(name, value, loading);
        if (AttributeTaken(base))
            return base;
        const std::string key = name;
        if (key == "shared" || key == "a") {
            log.push_back("base:" + key + "=" + value);
            return 0;
        }
        return E_FAIL;
    }
    void AfterAttributes() override { log.push_back("after"); }
    std::vector<std::string> log;
};

class DerivedThing : public BaseThing {
public:
    const char* TagName() const override { return "derived"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override {
        const HRESULT base = BaseThing::ApplyAttribute(name, value, loading);
        if (AttributeTaken(base))
            return base;
        const std::string key = name;
        if (key == "shared" || key == "b") {
            log.push_back("derived:" + key + "=" + value);
            return 1;
        }
        return E_FAIL;
    }
};

} // namespace

TEST(ObjectBase, AttributesApplyInDocumentOrderThroughTheChain) {
    TiXmlDocument document;
    document.Parse("<derived zz=\"1\" b=\"2\" shared=\"3\" a=\"4\" other=\"5\"/>");
    DerivedThing thing;
    EXPECT_EQ(1, thing.LoadFromXml(document.RootElement()));
    const std::vector<std::string> expected = {"derived:b=2", "base:shared=3", "base:a=4", "after"};
    EXPECT_EQ(expected, thing.log);
    EXPECT_EQ(E_FAIL, thing.ApplyAttribute("unknown", "x", false));
    EXPECT_EQ(1, thing.ApplyAttribute("b", "x", false));
}

TEST(ObjectBase, TagsMatchExactlyAndCaseSensitively) {
    const DerivedThing thing;
    EXPECT_TRUE(thing.MatchesTag("derived"));
    EXPECT_FALSE(thing.MatchesTag("Derived"));
    EXPECT_FALSE(thing.MatchesTag("derived "));
    EXPECT_FALSE(thing.MatchesTag(nullptr));
}
