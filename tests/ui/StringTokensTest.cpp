#include "ui/engine/TwStringTokens.h"

#include "tests/support/GTest.h"

namespace {
const wchar_t* Lookup(int id) {
    switch (id) {
    case 7:
        return L"abc";
    case 100:
        return L"\x6587\x4EF6\x540D";
    case 8:
        return L"%str7%"; // a string that looks like a token is not substituted again
    default:
        return nullptr;
    }
}
std::wstring Substituted(const wchar_t* text) {
    return SubstituteStringTokens(text, Lookup);
}
} // namespace

TEST(StringTokens, TokensAreReplacedByTheirStrings) {
    EXPECT_EQ(L"abc", Substituted(L"%str7%"));
    EXPECT_EQ(L"[abc] and [\x6587\x4EF6\x540D]", Substituted(L"[%str7%] and [%str100%]"));
    EXPECT_EQ(L"x--y", Substituted(L"x-%str55%-y")); // unknown id: nothing
    EXPECT_EQ(L"%str7%!", Substituted(L"%str8%!"));
    EXPECT_EQ(L"\x6587\x4EF6\x540D"
              L"abc",
              Substituted(L"%str100%%str7%"));
    EXPECT_EQ(L"plain", Substituted(L"plain"));
}

TEST(StringTokens, BadTokensEndTheSubstitutionAndStayLiterally) {
    EXPECT_EQ(L"%str0%", Substituted(L"%str0%"));
    EXPECT_EQ(L"%strx% %str7%", Substituted(L"%strx% %str7%"));
    EXPECT_EQ(L"abc %str-1% %str7%", Substituted(L"%str7% %str-1% %str7%"));
    EXPECT_EQ(L"abc %str7 no close", Substituted(L"%str7% %str7 no close"));
}
