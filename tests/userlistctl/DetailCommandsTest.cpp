// userlistctl's details: who added an entry and why (--note), find with the
// window's matching, show by MD5 or SHA-256, note, and list --long.

#include <algorithm>
#include <string>

#include "common/HexText.h"
#include "tests/userlistctl/CtlFixture.h"

using namespace ctltest;

namespace {

class DetailCommandsTest : public CtlFixture {
protected:
    // Lines of a command's output.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    static std::string Field(const std::string& show, const std::string& name) {
        for (const std::string& line : Lines(show)) {
            if (line.rfind(name + "\t", 0) == 0)
                return line.substr(name.size() + 1);
        }
        return "<none>";
    }
};

} // namespace

TEST_F(DetailCommandsTest, ACommitRecordsWhoAddedItHowAndTheNoteAndShowPrintsOnlyWhatIsKnown) {
    const std::wstring tool = AddPe(L"tool.exe", "tool");
    const CtlResult trust = Ctl({L"trust", tool, L"--note", L"needed by 工程部"});
    ASSERT_EQ(kCliOk, trust.code) << trust.err;

    const CtlResult show = Ctl({L"show", Utf8ToWide(AsciiUpper(Md5(tool)))});
    ASSERT_EQ(kCliOk, show.code) << show.err;
    EXPECT_EQ("trusted", Field(show.out, "list"));
    EXPECT_EQ(Md5(tool), Field(show.out, "md5"));
    EXPECT_EQ(U(tool), Field(show.out, "path"));
    EXPECT_EQ("userlistctl trust", Field(show.out, "origin"));
    EXPECT_EQ("needed by 工程部", Field(show.out, "note"));
    EXPECT_NE("<none>", Field(show.out, "added-by"));
    EXPECT_EQ("<none>", Field(show.out, "source-file")); // not an import: not printed
    // The file's facts, read when it was examined.
    const std::string sha256 = testsupport::ReferenceSha256OfFile(tool);
    EXPECT_EQ(sha256, Field(show.out, "sha256"));
    EXPECT_EQ(std::to_string(PeBytes("tool").size()), Field(show.out, "size"));
    EXPECT_EQ("<none>", Field(show.out, "company")); // it has no version resource
    EXPECT_EQ(Md5(tool), Field(Ctl({L"show", Utf8ToWide(sha256)}).out, "md5"));

    const CtlResult missing = Ctl({L"show", L"00000000000000000000000000000001"});
    EXPECT_EQ(kCliNotFound, missing.code);
    EXPECT_EQ(kCliUsage, Ctl({L"show", L"12345"}).code);
}

TEST_F(DetailCommandsTest, FindMatchesDigestPrefixesAndPathsNotesAnyCaseAndSaysWhenNothingMatched) {
    const std::wstring one = AddPe(L"Alpha.exe", "one");
    const std::wstring two = AddPe(L"beta.exe", "two");
    ASSERT_EQ(kCliOk, Ctl({L"trust", one}).code);
    ASSERT_EQ(kCliOk, Ctl({L"block", two, L"--note", L"Ransomware 样本"}).code);

    const CtlResult byName = Ctl({L"find", L"ALPHA"});
    ASSERT_EQ(kCliOk, byName.code) << byName.err;
    ASSERT_EQ(1u, Lines(byName.out).size());
    EXPECT_EQ(0u, byName.out.rfind("trusted\t" + Md5(one) + "\t", 0));

    const CtlResult byNote = Ctl({L"find", L"样本"});
    ASSERT_EQ(1u, Lines(byNote.out).size());
    EXPECT_EQ(0u, byNote.out.rfind("black\t" + Md5(two), 0));

    const std::wstring prefix = Utf8ToWide(Md5(two).substr(0, 6));
    EXPECT_EQ(1u, Lines(Ctl({L"find", prefix}).out).size());
    EXPECT_EQ(kCliNotFound, Ctl({L"find", prefix, L"trusted"}).code);
    EXPECT_EQ(2u, Lines(Ctl({L"find", L".exe"}).out).size());
    EXPECT_EQ(kCliNotFound, Ctl({L"find", L"gamma"}).code);
    EXPECT_EQ(kCliUsage, Ctl({L"find"}).code);
}

TEST_F(DetailCommandsTest, NoteSetsAndClearsTheReasonOfAnEntryOfEitherList) {
    const std::wstring tool = AddPe(L"tool.exe", "tool");
    ASSERT_EQ(kCliOk, Ctl({L"block", tool}).code);
    const std::wstring md5 = Utf8ToWide(Md5(tool));

    const CtlResult noted = Ctl({L"note", md5, L"seen at 3 sites"});
    ASSERT_EQ(kCliOk, noted.code) << noted.err;
    EXPECT_EQ("noted\tblack\t" + Md5(tool) + "\n", noted.out);
    EXPECT_EQ("seen at 3 sites", Field(Ctl({L"show", md5}).out, "note"));
    EXPECT_EQ(kCliOk, Ctl({L"note", md5, L""}).code);
    EXPECT_EQ("<none>", Field(Ctl({L"show", md5}).out, "note"));

    EXPECT_EQ(kCliNotFound, Ctl({L"note", L"00000000000000000000000000000001", L"x"}).code);
    EXPECT_EQ(kCliUsage, Ctl({L"note", md5}).code);
}

TEST_F(DetailCommandsTest, ListLongAddsTheDetailsColumnsAndKeepsTheShortFormAsItWas) {
    const std::wstring tool = AddPe(L"tool.exe", "tool");
    ASSERT_EQ(kCliOk, Ctl({L"trust", tool, L"--note", L"a\treason"}).code);

    const std::vector<std::string> plain = Lines(Ctl({L"list"}).out);
    ASSERT_EQ(1u, plain.size());
    EXPECT_EQ(4u, static_cast<std::size_t>(std::count(plain[0].begin(), plain[0].end(), '\t')) + 1);

    const std::vector<std::string> full = Lines(Ctl({L"list", L"--long", L"trusted"}).out);
    ASSERT_EQ(1u, full.size());
    EXPECT_EQ(0u, full[0].rfind(plain[0] + "\t", 0));
    EXPECT_EQ(17u, static_cast<std::size_t>(std::count(full[0].begin(), full[0].end(), '\t')) + 1);
    // The note's tab cannot split the line's columns.
    EXPECT_EQ("\ta reason", full[0].substr(full[0].size() - 9));
    EXPECT_TRUE(Lines(Ctl({L"list", L"black", L"--long"}).out).empty());
}
