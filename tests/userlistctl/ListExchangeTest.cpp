// The pure texts of the list export and import: CSV quoting and reading,
// ClamAV hash lines and names, ISO times, the text check of import lines and
// the cutting of chunks into lines.

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/support/GTest.h"
#include "userlistctl/ClamHashLine.h"
#include "userlistctl/CsvText.h"
#include "userlistctl/LineSplitter.h"
#include "userlistctl/ListExchange.h"

namespace {

std::vector<std::string> Fields(std::string_view record) {
    std::vector<std::string> fields;
    std::string problem;
    EXPECT_EQ(CsvParse::Complete, ParseCsvRecord(record, fields, problem)) << record;
    return fields;
}

struct SplitLine {
    std::string text;
    std::size_t number;
    bool operator==(const SplitLine& other) const {
        return text == other.text && number == other.number;
    }
};

// The lines of `text` fed in chunks of `chunk` bytes.
std::vector<SplitLine> Split(const std::string& text, std::size_t chunk, std::size_t maxLine = 64) {
    std::vector<SplitLine> lines;
    LineSplitter splitter(maxLine, [&lines](std::string_view line, std::size_t number) {
        lines.push_back(SplitLine{std::string(line), number});
        return true;
    });
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        if (!splitter.Feed(std::string_view(text).substr(at, chunk)))
            return lines;
    }
    splitter.Finish();
    return lines;
}

} // namespace

TEST(CsvText, FieldsAreQuotedOnlyWhenTheyMustBeAndReadBackUnchanged) {
    EXPECT_EQ("tool.exe", CsvField("tool.exe"));
    EXPECT_EQ("C:\\a b\\x.exe", CsvField("C:\\a b\\x.exe"));
    EXPECT_EQ("\"a,b.exe\"", CsvField("a,b.exe"));
    EXPECT_EQ("\"say \"\"hi\"\".exe\"", CsvField("say \"hi\".exe"));
    EXPECT_EQ("\"two\r\nlines\"", CsvField("two\r\nlines"));
    EXPECT_EQ("\"lf\nonly\"", CsvField("lf\nonly"));

    const std::vector<std::string> fields = {
        "FileMd5", "", "a,b", "q\"uote", "two\r\nlines", "\xE5\xB7\xA5\xE5\x85\xB7.exe", ""};
    const std::string record = CsvRecord(fields);
    ASSERT_EQ("\r\n", record.substr(record.size() - 2));
    EXPECT_EQ(fields, Fields(std::string_view(record).substr(0, record.size() - 2)));
    EXPECT_EQ((std::vector<std::string>{""}), Fields(""));
    EXPECT_EQ((std::vector<std::string>{"a", "", ""}), Fields("a,,"));
}

TEST(CsvText, OpenQuotesUnterminatedRecordsAndStrayQuotesAreTold) {
    EXPECT_TRUE(CsvQuoteOpenAfter("a,\"multi", false));
    EXPECT_TRUE(CsvQuoteOpenAfter("a,\"x\"\"y", false)); // a doubled quote stays inside
    EXPECT_FALSE(CsvQuoteOpenAfter("a,\"x\"\"y\",b", false));
    EXPECT_FALSE(CsvQuoteOpenAfter("line\",b", true)); // the field closes on the next line
    EXPECT_TRUE(CsvQuoteOpenAfter("no quote here", true));

    std::vector<std::string> fields;
    std::string problem;
    EXPECT_EQ(CsvParse::Unterminated, ParseCsvRecord("FileMd5,\"abc", fields, problem));
    EXPECT_EQ(CsvParse::Unterminated,
              ParseCsvRecord("\"ends in a doubled quote\"\"", fields, problem));
    EXPECT_EQ(CsvParse::Malformed, ParseCsvRecord("a,b\"c", fields, problem));
    EXPECT_NE(std::string::npos, problem.find("field 2")) << problem;
    EXPECT_EQ(CsvParse::Malformed, ParseCsvRecord("\"a\"b,c", fields, problem));
    EXPECT_NE(std::string::npos, problem.find("after the closing quote of field 1")) << problem;
}

TEST(IsoTime, StoreSecondsBecomeUtcDatesAcrossLeapDaysAndBeforeTheEpoch) {
    EXPECT_EQ("2026-12-08T11:04:18Z", IsoUtcTime(std::string_view("1796727858")));
    EXPECT_EQ("1970-01-01T00:00:00Z", IsoUtcTime(std::string_view("0")));
    EXPECT_EQ("2024-02-29T23:59:59Z", IsoUtcTime(1709251199LL));
    EXPECT_EQ("2100-03-01T00:00:00Z", IsoUtcTime(4107542400LL)); // 2100 has no 29 February
    EXPECT_EQ("1969-12-30T23:59:59Z", IsoUtcTime(std::string_view("-86401")));
    for (const char* bad : {"", "-", "12a", " 12", "1234567890123456"})
        EXPECT_EQ("", IsoUtcTime(std::string_view(bad))) << bad;
}

#ifdef _WIN32
TEST(IsoTime, AgreesWithTheSystemsCalendarOverFourCenturies) {
    // Seconds from 1601 on, stepping by an odd amount so every month,
    // weekday and time of day comes up; checked against FileTimeToSystemTime.
    constexpr long long kFrom1601 = 11644473600LL;
    for (long long seconds = -kFrom1601; seconds < 13000000000LL; seconds += 7777777) {
        const unsigned long long ticks =
            static_cast<unsigned long long>(seconds + kFrom1601) * 10000000ULL;
        FILETIME file;
        file.dwLowDateTime = static_cast<DWORD>(ticks);
        file.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SYSTEMTIME system;
        ASSERT_TRUE(FileTimeToSystemTime(&file, &system));
        char expected[32];
        wsprintfA(expected, "%04u-%02u-%02uT%02u:%02u:%02uZ", system.wYear, system.wMonth,
                  system.wDay, system.wHour, system.wMinute, system.wSecond);
        ASSERT_EQ(expected, IsoUtcTime(seconds)) << seconds;
    }
}
#endif

TEST(ClamHashLines, NamesKeepWhatClamAvShowsAndReplaceTheRest) {
    EXPECT_EQ("tool v2 (x64).exe", ClamNameText("tool v2 (x64).exe"));
    EXPECT_EQ("a_b.exe", ClamNameText("a:b.exe"));
    EXPECT_EQ("a_b_c_d", ClamNameText("a\tb\x01"
                                      "c\x7F"
                                      "d"));
    // One "_" per character, whatever its length in UTF-8.
    EXPECT_EQ("__.exe", ClamNameText("\xE5\xB7\xA5\xE5\x85\xB7.exe"));
    EXPECT_EQ("x_y_", ClamNameText("x\xC3\xA9y\xF0\x9F\x98\x80"));
    EXPECT_EQ("_", ClamNameText(""));
    EXPECT_EQ("UserWarden.Black.a_b.exe", ClamSignatureName(ListKind::Black, "a:b.exe"));
    EXPECT_EQ("UserWarden.Trusted._", ClamSignatureName(ListKind::Trusted, ""));

    const std::string md5 = "0123456789abcdef0123456789abcdef";
    EXPECT_EQ(md5 + ":4096:UserWarden.Black.t.exe\n",
              ClamHashLine(md5, std::uint64_t{4096}, "UserWarden.Black.t.exe"));
    EXPECT_EQ(md5 + ":*:UserWarden.Black.t.exe:73\n",
              ClamHashLine(md5, std::nullopt, "UserWarden.Black.t.exe"));
}

TEST(ClamHashLines, ParsingTakesClamAvsFormsAndNothingElse) {
    const std::string md5 = "0123456789ABCDEF0123456789abcdef";
    ClamHashSignature signature;
    for (const std::string& good : {md5 + ":4096:Some.Name", md5 + ":*:UserWarden.Black.x:73",
                                    md5 + ":0:n:73:255", md5 + ":1:name with spaces"}) {
        EXPECT_TRUE(ParseClamHashLine(good, signature)) << good;
        EXPECT_EQ(md5, signature.md5);
    }
    EXPECT_TRUE(ParseClamHashLine(md5 + ":12:Win.Test.EICAR_HDB-1", signature));
    EXPECT_EQ("Win.Test.EICAR_HDB-1", signature.name);
    for (const std::string& bad :
         {md5, md5 + ":12", md5 + ":12:", md5 + "::name", md5 + ":12a:name", md5 + ":-1:name",
          md5 + ":12:name:7x", md5 + ":12:n:1:2:3", md5.substr(1) + ":12:name", md5 + "0:12:name",
          "g" + md5.substr(1) + ":12:name"})
        EXPECT_FALSE(ParseClamHashLine(bad, signature)) << bad;

    EXPECT_EQ(ListKind::Trusted, ListOfClamName("UserWarden.Trusted.tool.exe"));
    EXPECT_EQ(ListKind::Black, ListOfClamName("UserWarden.Black.tool.exe"));
    EXPECT_FALSE(ListOfClamName("Win.Trojan.Agent-1"));
    EXPECT_FALSE(ListOfClamName("userwarden.black.tool.exe"));
}

TEST(ListExchangeTexts, CsvActionsNameTheLists) {
    for (const char* allow : {"Allowed", "allow", "ALLOWED"})
        EXPECT_EQ(ListKind::Trusted, ListOfCsvAction(allow)) << allow;
    for (const char* block : {"Block", "blockandremediate", "AlertAndBlock"})
        EXPECT_EQ(ListKind::Black, ListOfCsvAction(block)) << block;
    for (const char* other : {"Audit", "Warn", "", "Blocked", "Alert"})
        EXPECT_FALSE(ListOfCsvAction(other)) << other;
}

TEST(ListExchangeTexts, ImportLinesMustBeUtf8TextWithoutControlBytes) {
    for (const std::string& text :
         {std::string("plain\ttabbed"), std::string("\xE5\xB7\xA5\xE5\x85\xB7"),
          std::string("\xF0\x9F\x98\x80 emoji"), std::string("\xC3\xA9t\xC3\xA9"), std::string()})
        EXPECT_EQ("", LineTextProblem(text)) << text;
    const struct {
        std::string line;
        const char* says;
    } bad[] = {
        {std::string("ab\0cd", 5), "a NUL byte at column 3"},
        {"x\x01", "control byte 0x01 at column 2"},
        {"\x7F", "control byte 0x7f at column 1"},
        {"mid\rline", "control byte 0x0d at column 4"},
        {"\x80", "byte 0x80 at column 1 is not UTF-8"},             // a lone continuation byte
        {"a\xC0\x80", "byte 0xc0 at column 2 is not UTF-8"},        // overlong NUL
        {"\xE0\x80\xAF", "byte 0xe0 at column 1 is not UTF-8"},     // overlong slash
        {"\xED\xA0\x80", "byte 0xed at column 1 is not UTF-8"},     // a surrogate
        {"\xE5\xB7", "byte 0xe5 at column 1 is not UTF-8"},         // cut short
        {"\xF4\x90\x80\x80", "byte 0xf4 at column 1 is not UTF-8"}, // past U+10FFFF
        {"\xFF", "byte 0xff at column 1 is not UTF-8"},
    };
    for (const auto& item : bad)
        EXPECT_NE(std::string::npos, LineTextProblem(item.line).find(item.says))
            << LineTextProblem(item.line);
}

TEST(LineSplitterTest, LinesComeOutTheSameWhateverTheChunksAndCrLfIsOneLineEnd) {
    const std::string text = "first\r\nsecond\n\r\nfourth\r\nlast without end";
    const std::vector<SplitLine> expected = {
        {"first", 1}, {"second", 2}, {"", 3}, {"fourth", 4}, {"last without end", 5}};
    for (const std::size_t chunk : {1u, 2u, 3u, 7u, 64u})
        EXPECT_EQ(expected, Split(text, chunk)) << "chunks of " << chunk;
    EXPECT_EQ((std::vector<SplitLine>{{"a", 1}, {"b", 2}}), Split("a\nb\n", 1));
    EXPECT_TRUE(Split("", 4).empty());
}

TEST(LineSplitterTest, ALineLongerThanTheLimitStopsTheReadingAtItsNumber) {
    std::vector<std::string> seen;
    LineSplitter splitter(8, [&seen](std::string_view line, std::size_t) {
        seen.emplace_back(line);
        return true;
    });
    // Exactly the limit passes, with a CRLF split across chunks.
    EXPECT_TRUE(splitter.Feed("12345678\r"));
    EXPECT_TRUE(splitter.Feed("\nok\n"));
    EXPECT_TRUE(splitter.Feed("123456789")); // the ninth byte may be a CR
    EXPECT_FALSE(splitter.Feed("\n"));       // it was not
    EXPECT_TRUE(splitter.TooLong());
    EXPECT_EQ(3u, splitter.LineNumber());
    EXPECT_FALSE(splitter.Feed("ok\n"));
    EXPECT_EQ((std::vector<std::string>{"12345678", "ok"}), seen);

    // Ten bytes without an end: stopped at once, the rest never read.
    LineSplitter early(8, [](std::string_view, std::size_t) { return true; });
    EXPECT_TRUE(early.Feed("a\n"));
    EXPECT_FALSE(early.Feed("1234567890"));
    EXPECT_TRUE(early.TooLong());
    EXPECT_EQ(2u, early.LineNumber());

    LineSplitter last(4, [](std::string_view, std::size_t) { return true; });
    EXPECT_TRUE(last.Feed("12345"));
    EXPECT_FALSE(last.Finish()); // the last line, without an end, is too long as well
    EXPECT_TRUE(last.TooLong());

    std::size_t calls = 0;
    LineSplitter stopping(64, [&calls](std::string_view, std::size_t number) {
        ++calls;
        return number < 2;
    });
    EXPECT_FALSE(stopping.Feed("a\nb\nc\nd\n"));
    EXPECT_EQ(2u, calls);
    EXPECT_FALSE(stopping.TooLong());
}
