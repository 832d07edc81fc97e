// Reading import files: the format from the content, the list of each MD5,
// and the first problem with its line number.

#include <string>
#include <vector>

#include "tests/support/GTest.h"
#include "tests/support/ImportFeed.h"
#include "userlistctl/ImportParser.h"

namespace {

const std::string kA = "0123456789abcdef0123456789abcdef";
const std::string kB = "fedcba9876543210fedcba9876543210";
const std::string kC = "00112233445566778899aabbccddeeff";
const std::string kHeader = "IndicatorType,IndicatorValue,Action,Title,Description,CreationTime";

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// Feeds a whole text as the import command feeds a file.
ImportParser Parse(const std::string& text, std::optional<ListKind> list = std::nullopt) {
    ImportParser parser(list);
    testsupport::FeedImportText(parser, text);
    return parser;
}

std::string Listed(const ImportParser& parser) {
    std::string text;
    for (const ImportEntry& entry : parser.Entries())
        text += (entry.list == ListKind::Trusted ? "T " : "B ") + entry.md5 + " @" +
                std::to_string(entry.line) + "\n";
    return text;
}

// "line N: text" of the problem, or "" when there is none.
std::string ProblemOf(const ImportParser& parser) {
    if (!parser.Problem())
        return "";
    return "line " + std::to_string(parser.Problem()->line) + ": " + parser.Problem()->text;
}

} // namespace

TEST(ImportParserCsv, ColumnsAreFoundByNameInAnyOrderAndCaseWithABomAndCrLf) {
    const std::string text = "\xEF\xBB\xBF"
                             "Title,ACTION,indicatorvalue,Extra,INDICATORTYPE\r\n"
                             "one.exe,Allowed," +
                             Upper(kA) +
                             ",x,FileMd5\r\n"
                             "\r\n"
                             "two.exe,BlockAndRemediate," +
                             kB +
                             ",y,filemd5\r\n"
                             "\"three,\"\"quoted\"\".exe\",AlertAndBlock, " +
                             kC + " ,z,FileMd5\r\n";
    const ImportParser parser = Parse(text);
    EXPECT_EQ("", ProblemOf(parser));
    EXPECT_EQ(ImportFormat::Csv, parser.Format());
    EXPECT_EQ("T " + kA + " @2\nB " + kB + " @4\nB " + kC + " @5\n", Listed(parser));
}

TEST(ImportParserCsv, OtherIndicatorTypesAreSkippedWithTheirLinesAcrossMultiLineRecords) {
    const std::string text = kHeader +
                             "\n"
                             "FileSha256,aa,Block,t,d,\n"
                             "FileMd5," +
                             kA +
                             ",Allow,t,\"a description\r\nover two lines\",\n"
                             "Url,http://example.invalid/,Block,t,d,\n"
                             "FileMd5," +
                             kB + ",Block,t,d,2026-12-08T11:04:18Z\n";
    const ImportParser parser = Parse(text);
    EXPECT_EQ("", ProblemOf(parser));
    EXPECT_EQ("T " + kA + " @3\nB " + kB + " @6\n", Listed(parser));
    ASSERT_EQ(2u, parser.Skipped().size());
    EXPECT_EQ(2u, parser.Skipped()[0].line);
    EXPECT_EQ("FileSha256", parser.Skipped()[0].type);
    EXPECT_EQ(5u, parser.Skipped()[1].line); // the quoted line end counts as a line
    EXPECT_EQ("Url", parser.Skipped()[1].type);
}

TEST(ImportParserCsv, AGivenListOverridesTheActionAndStandsInForAMissingActionColumn) {
    const std::string withAction = kHeader + "\nFileMd5," + kA + ",Block,t,d,\n";
    EXPECT_EQ("T " + kA + " @2\n", Listed(Parse(withAction, ListKind::Trusted)));

    const std::string noAction = "IndicatorValue,IndicatorType\n" + kA + ",FileMd5\n";
    const ImportParser refused = Parse(noAction);
    ASSERT_TRUE(refused.Problem());
    EXPECT_TRUE(refused.Problem()->needsList);
    EXPECT_EQ(1u, refused.Problem()->line);
    EXPECT_EQ("B " + kA + " @2\n", Listed(Parse(noAction, ListKind::Black)));
}

TEST(ImportParserCsv, MalformedRowsAreRefusedAtTheirLine) {
    const std::string row = "FileMd5," + kA + ",Block,t,d,";
    const struct {
        std::string text;
        const char* problem;
    } cases[] = {
        {kHeader + "\n" + row + "\nFileMd5,12345,Block,t,d,\n",
         "line 3: IndicatorValue \"12345\" is not an MD5"},
        {kHeader + "\n" + row + "\nFileMd5," + kB + ",Blo\n",
         "line 3: 3 fields where the header has 6"},
        {kHeader + "\nFileMd5," + kB + ",Audit,t,d,\n", "line 2: Action \"Audit\" is none of"},
        {kHeader + "\n," + kA + ",Block,t,d,\n", "line 2: no IndicatorType"},
        {kHeader + "\nFileMd5,a\"b,Block,t,d,\n" + row + "\n", "line 2: a quote inside"},
        {"IndicatorType,Title\nFileMd5,x\n", "line 1: a CSV header needs both"},
    };
    for (const auto& item : cases) {
        const ImportParser parser = Parse(item.text);
        EXPECT_EQ(0u, ProblemOf(parser).find(item.problem)) << ProblemOf(parser);
        EXPECT_FALSE(parser.Problem() && parser.Problem()->needsList);
    }
}

TEST(ImportParserCsv, AQuotedFieldThatNeverEndsIsRefusedAfterABoundedRecord) {
    std::string text = kHeader + "\nFileMd5," + kA + ",Block,\"open";
    const std::string filler(100, 'x');
    while (text.size() < 3 * kImportMaxLineBytes)
        text += "\n" + filler;
    EXPECT_EQ("line 2: a quoted field runs on past 65536 bytes", ProblemOf(Parse(text)));
}

TEST(ImportParserClam, OurNamesGiveTheListOthersNeedOne) {
    const std::string ours = "# exported\n" + kA + ":4096:UserWarden.Trusted.a.exe\n\n" +
                             Upper(kB) + ":*:UserWarden.Black.b.exe:73\n";
    const ImportParser parser = Parse(ours);
    EXPECT_EQ("", ProblemOf(parser));
    EXPECT_EQ(ImportFormat::ClamHash, parser.Format());
    EXPECT_EQ("T " + kA + " @2\nB " + kB + " @4\n", Listed(parser));

    const std::string foreign = kA + ":4096:UserWarden.Black.a.exe\n" + kB + ":12:Win.Trojan.X\n";
    const ImportParser refused = Parse(foreign);
    ASSERT_TRUE(refused.Problem());
    EXPECT_TRUE(refused.Problem()->needsList);
    EXPECT_EQ(2u, refused.Problem()->line);
    EXPECT_EQ("T " + kA + " @1\nT " + kB + " @2\n", Listed(Parse(foreign, ListKind::Trusted)));

    EXPECT_EQ(0u, ProblemOf(Parse(ours + kC + "\n")).find("line 5: not a ClamAV hash signature"));

    // A signature whose name holds a CSV header's column name between commas
    // (a file named so) is still a signature, not a CSV header.
    const std::string named = kA + ":*:UserWarden.Black.a,IndicatorType,b.exe:73\n";
    const ImportParser comma = Parse(named);
    EXPECT_EQ("", ProblemOf(comma));
    EXPECT_EQ(ImportFormat::ClamHash, comma.Format());
    EXPECT_EQ("B " + kA + " @1\n", Listed(comma));
}

TEST(ImportParserPlain, OneMd5ALineWithCommentsUnderAGivenList) {
    const std::string text = "# blocked by the console\n " + Upper(kA) + " \n\n" + kB + "\r\n";
    const ImportParser parser = Parse(text, ListKind::Black);
    EXPECT_EQ("", ProblemOf(parser));
    EXPECT_EQ(ImportFormat::PlainMd5, parser.Format());
    EXPECT_EQ("B " + kA + " @2\nB " + kB + " @4\n", Listed(parser));

    const ImportParser noList = Parse(text);
    ASSERT_TRUE(noList.Problem());
    EXPECT_TRUE(noList.Problem()->needsList);

    EXPECT_EQ("line 3: \"" + kB.substr(1) + "\" is not an MD5 (32 hexadecimal digits)",
              ProblemOf(Parse(kA + "\n" + kB + "\n" + kB.substr(1) + "\n", ListKind::Black)));
}

TEST(ImportParserDuplicates, SameListCountsOnceAndTheOtherListIsRefused) {
    const std::string same = kA + "\n" + kB + "\n" + Upper(kA) + "\n";
    const ImportParser parser = Parse(same, ListKind::Trusted);
    EXPECT_EQ("T " + kA + " @1\nT " + kB + " @2\n", Listed(parser));
    ASSERT_EQ(1u, parser.Duplicates().size());
    EXPECT_EQ(3u, parser.Duplicates()[0].line);
    EXPECT_EQ(kA, parser.Duplicates()[0].md5);

    const std::string conflicting = kHeader + "\nFileMd5," + kA + ",Allowed,t,d,\nFileMd5," + kB +
                                    ",Block,t,d,\nFileMd5," + Upper(kA) + ",Block,t,d,\n";
    EXPECT_EQ("line 4: " + kA + " is on line 2 for the whitelist and here for the blacklist",
              ProblemOf(Parse(conflicting)));
}

TEST(ImportParserRefusals, UnknownTextLaterBadBytesAndNothingToImport) {
    EXPECT_EQ("line 0: nothing to import: no MD5 in 3 lines",
              ProblemOf(Parse("# only\n\n# comments\n", ListKind::Black)));
    EXPECT_EQ("line 0: nothing to import: no FileMd5 row (1 rows of other types)",
              ProblemOf(Parse(kHeader + "\nFileSha1,aa,Block,t,d,\n")));
    EXPECT_EQ(0u, ProblemOf(Parse(kA + "\n" + kB + "\n\xFF\xFE", ListKind::Black))
                      .find("line 3: byte 0xff at column 1 is not UTF-8"));
    EXPECT_EQ(0u, ProblemOf(Parse("hello world\n" + kA + "\n"))
                      .find("line 1: not a CSV header (IndicatorType,IndicatorValue,...), a "
                            "ClamAV hash signature (MD5:SIZE:NAME) or an MD5: \"hello world\""));
    // The first problem is kept; later lines are not read.
    ImportParser parser(ListKind::Black);
    EXPECT_TRUE(parser.AddLine(kA, 1));
    EXPECT_FALSE(parser.AddLine("not an md5", 2));
    EXPECT_FALSE(parser.AddLine(kB, 3));
    EXPECT_FALSE(parser.Finish(3));
    EXPECT_EQ("line 2: \"not an md5\" is not an MD5 (32 hexadecimal digits)", ProblemOf(parser));
    EXPECT_EQ(1u, parser.Entries().size());
}
