// The search's matching rule: digest prefixes, containment in the path,
// product, company and note, and case folded across the scripts it names.

#include "store/EntrySearch.h"

#include "tests/support/GTest.h"

namespace {

const char kMd5[] = "9E107D9D372BB6826BD81D3542A419D6";
const char kSha[] = "d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592";

EntrySearchFields Widget() {
    EntrySearchFields entry;
    entry.md5 = kMd5;
    entry.sha256 = kSha;
    entry.path = "C:\\Program Files\\Contoso\\工具\\Widget.EXE";
    entry.product = "Contoso Widget";
    entry.company = "Contoso Ltd.";
    entry.note = "approved by ÉQUIPE sécurité";
    return entry;
}

bool Finds(const char* text) {
    return EntrySearch(text).Matches(Widget());
}

} // namespace

TEST(EntrySearch, DigestsMatchByPrefixInEitherCaseButNotInTheMiddle) {
    EXPECT_TRUE(Finds("9e107d"));
    EXPECT_TRUE(Finds("9E107D9D372BB6826BD81D3542A419D6"));
    EXPECT_TRUE(Finds("D7A8FBB3"));
    EXPECT_TRUE(Finds(kSha));
    EXPECT_FALSE(Finds("372bb682")); // inside the MD5
    EXPECT_FALSE(Finds("9e107e"));
    EXPECT_FALSE(Finds("d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e5921"));
}

TEST(EntrySearch, PathProductCompanyAndNoteMatchByContainmentWithCaseIgnored) {
    EXPECT_TRUE(Finds("widget.exe"));
    EXPECT_TRUE(Finds("program files\\contoso"));
    EXPECT_TRUE(Finds("工具")); // Chinese as it is
    EXPECT_TRUE(Finds("LTD."));
    EXPECT_TRUE(Finds("équipe SÉCURITÉ")); // Latin-1 folded both ways
    EXPECT_TRUE(Finds("  contoso  "));     // spaces around the text do not count
    EXPECT_FALSE(Finds("工具箱"));
    EXPECT_FALSE(Finds("widgets"));
    EXPECT_FALSE(Finds("approved by equipe")); // accents are not dropped
}

TEST(EntrySearch, AnEmptyTextMatchesEveryEntryAndEmptyFieldsMatchNothing) {
    EXPECT_TRUE(EntrySearch("").MatchesAll());
    EXPECT_TRUE(EntrySearch(" \t").Matches(EntrySearchFields{}));
    EXPECT_FALSE(EntrySearch("a").Matches(EntrySearchFields{}));
    // An MD5-like text still matches a path that contains it.
    EntrySearchFields entry;
    entry.path = "D:\\drop\\abc123.bin";
    EXPECT_TRUE(EntrySearch("ABC1").Matches(entry));
}

TEST(EntrySearch, FoldingCoversTheNamedScriptsAndKeepsOtherTextAndBadBytesAsTheyAre) {
    EXPECT_EQ("abcxyz", FoldForSearch("ABCxyz"));
    EXPECT_EQ("àéþ×", FoldForSearch("ÀÉÞ×"));     // the multiplication sign stays
    EXPECT_EQ("łńśźžÿ", FoldForSearch("ŁŃŚŹŽŸ")); // Latin Extended-A, odd and even pairs
    EXPECT_EQ("ąčđęı", FoldForSearch("ĄČĐĘı"));
    EXPECT_EQ("αβγωσ", FoldForSearch("ΑΒΓΩΣ"));
    EXPECT_EQ("привет ёђ", FoldForSearch("ПРИВЕТ ЁЂ"));
    EXPECT_EQ("ａｂｚ", FoldForSearch("ＡＢＺ"));
    EXPECT_EQ("文件黑白名单", FoldForSearch("文件黑白名单"));
    EXPECT_EQ(std::string("a\xC3(\xFF"
                          "b"),
              FoldForSearch("A\xC3(\xFF"
                            "B"));
    EXPECT_EQ(std::string("\xED\xA0\x80"), FoldForSearch("\xED\xA0\x80")); // a surrogate
}
