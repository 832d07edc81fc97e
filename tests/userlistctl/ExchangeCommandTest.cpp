// userlistctl export and import on the real component and store: round
// trips through each format, moves between the lists, and files that are
// refused whole with store and component left as they were.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "common/Handles.h"
#include "tests/userlistctl/CtlFixture.h"
#include "userlistctl/ImportCommand.h"

using namespace ctltest;

namespace {

class ExchangeTest : public CtlFixture {
protected:
    // Two whitelisted and two blacklisted files.
    void FillStore() {
        m_trustedA = AddPe(L"\x5DE5\x5177.exe", "trusted a"); // 工具.exe
        m_trustedB = AddPe(L"a,b.exe", "trusted b");
        m_blackC = AddPe(L"c.exe", "black c");
        m_blackD = AddPe(L"d d.exe", "black d");
        ASSERT_EQ(kCliOk, Ctl({L"trust", m_trustedA, m_trustedB}).code);
        ASSERT_EQ(kCliOk, Ctl({L"block", m_blackC, m_blackD}).code);
    }

    // "T <md5>" / "B <md5>" lines of the store, sorted.
    std::vector<std::string> StoredLists(const std::wstring& store) {
        std::vector<std::string> lines;
        const std::string listed = CtlOn(store, {L"list"}).out;
        std::size_t start = 0;
        while (start < listed.size()) {
            const std::size_t end = listed.find('\n', start);
            const std::string line = listed.substr(start, end - start);
            lines.push_back((line.compare(0, 6, "black\t") == 0 ? "B " : "T ") +
                            line.substr(line.find('\t') + 1, 32));
            start = end + 1;
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // The component's "T <md5>" / "B <md5>" lines, sorted.
    static std::vector<std::string> ComponentLists(const std::wstring& file) {
        std::vector<std::string> lines;
        const std::string text = testsupport::ReadFileBytes(file);
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line = text.substr(start, end - start);
            if (line.size() == 34 && (line[0] == 'T' || line[0] == 'B'))
                lines.push_back(line);
            start = end + 1;
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // Imports the files into a new store with new component lists; true when
    // both then hold what the test's own store and lists hold.
    void ExpectImportReproduces(const std::vector<std::wstring>& files) {
        const std::wstring store = m_dir.File(L"fresh.dat");
        UseComponentLists(m_dir.File(L"fresh.lists"));
        for (const std::wstring& file : files) {
            const CtlResult run = CtlOn(store, {L"import", file});
            EXPECT_EQ(kCliOk, run.code) << run.err;
        }
        const std::vector<std::string> original = StoredLists(m_dir.File(L"UserSign.dat"));
        EXPECT_EQ(4u, original.size());
        EXPECT_EQ(original, StoredLists(store));
        EXPECT_EQ(ComponentLists(m_dir.File(L"vmrdetect.lists")),
                  ComponentLists(m_dir.File(L"fresh.lists")));
        EXPECT_EQ(original, ComponentLists(m_dir.File(L"fresh.lists")));
    }

    std::wstring WriteText(const std::wstring& name, const std::string& text) {
        const std::wstring path = m_dir.File(name);
        testsupport::WriteFileBytes(path, text.data(), static_cast<unsigned>(text.size()));
        return path;
    }

    std::wstring m_trustedA, m_trustedB, m_blackC, m_blackD;
};

std::string FileSize(const std::wstring& path) {
    return std::to_string(testsupport::ReadFileBytes(path).size());
}

const std::string kHeader = "IndicatorType,IndicatorValue,Action,Title,Description,CreationTime";

} // namespace

TEST_F(ExchangeTest, CsvRoundTripGivesTheSameMd5sOnTheSameLists) {
    FillStore();
    const std::wstring csv = m_dir.File(L"lists.csv");
    const CtlResult exported = Ctl({L"export", L"csv", L"-o", csv});
    ASSERT_EQ(kCliOk, exported.code) << exported.err;
    EXPECT_EQ("4 exported to " + U(csv) + "\n", exported.out);

    const std::string text = testsupport::ReadFileBytes(csv);
    EXPECT_EQ(text, Ctl({L"export", L"csv"}).out); // the same on standard output
    EXPECT_EQ(0u, text.find(kHeader + "\r\n"));
    // UTF-8 from the store's code page, a comma quoted, ISO 8601 UTC times.
    EXPECT_NE(std::string::npos,
              text.find("FileMd5," + Md5(m_trustedA) + ",Allowed,\xE5\xB7\xA5\xE5\x85\xB7.exe," +
                        U(m_trustedA) + ",20"));
    EXPECT_NE(std::string::npos, text.find("FileMd5," + Md5(m_trustedB) +
                                           ",Allowed,\"a,b.exe\",\"" + U(m_trustedB) + "\","));
    EXPECT_NE(std::string::npos, text.find("FileMd5," + Md5(m_blackD) + ",Block,d d.exe,"));
    EXPECT_EQ(5, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ("Z\r\n", text.substr(text.size() - 3));

    ExpectImportReproduces({csv});
}

TEST_F(ExchangeTest, HdbAndFpRoundTripAndSaySizesOnlyOfFilesStillThereWithTheirMd5) {
    FillStore();
    const std::string md5C = Md5(m_blackC), md5D = Md5(m_blackD);
    // c.exe is changed in place and d d.exe is gone: neither size can be told.
    testsupport::WriteFileBytes(m_blackC, "changed", 7);
    ASSERT_TRUE(DeleteFileW(m_blackD.c_str()));

    const std::wstring hdb = m_dir.File(L"black.hdb"), fp = m_dir.File(L"trusted.fp");
    ASSERT_EQ(kCliOk, Ctl({L"export", L"hdb", L"-o", hdb}).code);
    ASSERT_EQ(kCliOk, Ctl({L"export", L"fp", L"-o", fp}).code);
    EXPECT_EQ(md5C + ":*:UserWarden.Black.c.exe:73\n" + md5D + ":*:UserWarden.Black.d d.exe:73\n",
              testsupport::ReadFileBytes(hdb));
    EXPECT_EQ(Md5(m_trustedA) + ":" + FileSize(m_trustedA) + ":UserWarden.Trusted.__.exe\n" +
                  Md5(m_trustedB) + ":" + FileSize(m_trustedB) + ":UserWarden.Trusted.a,b.exe\n",
              testsupport::ReadFileBytes(fp));
    // The other list when named, under its own prefix.
    EXPECT_EQ(testsupport::ReadFileBytes(fp), Ctl({L"export", L"hdb", L"trusted"}).out);
    EXPECT_NE(std::string::npos,
              Ctl({L"export", L"fp", L"black"}).out.find(":UserWarden.Black.c.exe:73\n"));

    ExpectImportReproduces({hdb, fp});
}

TEST_F(ExchangeTest, AnImportedMd5MovesFromTheOtherListAndRecordsTheImportFile) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    const std::string md5 = Md5(pe);
    ASSERT_EQ(kCliOk, Ctl({L"trust", pe}).code);
    const std::wstring csv =
        WriteText(L"block.csv", kHeader + "\r\nFileMd5," + md5 + ",Block,tool.exe,,\r\n");

    const CtlResult run = Ctl({L"import", csv});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("blocked\t" + md5 + "\t" + U(csv) + "\n1 imported, 0 skipped, 0 duplicates\n",
              run.out);
    EXPECT_EQ(std::vector<std::string>{"B " + md5}, StoredLists(m_dir.File(L"UserSign.dat")));
    EXPECT_EQ(std::vector<std::string>{"B " + md5}, ComponentLists(m_dir.File(L"vmrdetect.lists")));
    EXPECT_NE(std::string::npos, Ctl({L"list", L"black"}).out.find("\t" + U(csv) + "\n"));
}

TEST_F(ExchangeTest, SkippedRowsAndDuplicatesAreReportedWithTheirLines) {
    const std::string a = "0123456789abcdef0123456789abcdef";
    const std::wstring csv =
        WriteText(L"mixed.csv", kHeader +
                                    "\n"
                                    "FileSha256,abcd,Block,t,d,\n"
                                    "FileMd5," +
                                    a +
                                    ",Allowed,t,d,\n"
                                    "Url,http://example.invalid/,Block,t,d,\n"
                                    "FileMd5,0123456789ABCDEF0123456789ABCDEF,Allow,t,d,\n");
    const CtlResult run = Ctl({L"import", csv});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("skipped\tline 2\tFileSha256\nskipped\tline 4\tUrl\nduplicate\tline 5\t" + a +
                  "\ntrusted\t" + a + "\t" + U(csv) +
                  "\n1 imported, 2 skipped (lines 2, 4), 1 duplicate\n",
              run.out);
}

TEST_F(ExchangeTest, MalformedFilesAreRefusedWholeWithStoreAndComponentUnchanged) {
    FillStore();
    const std::string before = testsupport::ReadFileBytes(m_dir.File(L"UserSign.dat"));
    const std::string listsBefore = testsupport::ReadFileBytes(m_dir.File(L"vmrdetect.lists"));
    ASSERT_FALSE(before.empty());
    const std::string a = "0123456789abcdef0123456789abcdef";
    const std::string b = "fedcba9876543210fedcba9876543210";
    const std::string row = "FileMd5," + a + ",Block,t,d,\r\n";
    const struct {
        const wchar_t* name;
        std::string text;
        bool giveList;
        std::string says;
    } cases[] = {
        {L"bad.txt", a + "\n" + b + "\n" + "0123456789abcdef0123456789abcdeg\n", true,
         "line 3: \"0123456789abcdef0123456789abcdeg\" is not an MD5"},
        {L"bad.csv", kHeader + "\r\n" + row + "FileMd5,xyz,Block,t,d,\r\n", false,
         "line 3: IndicatorValue \"xyz\" is not an MD5"},
        {L"truncated.csv", kHeader + "\r\n" + row + row + "FileMd5," + b + ",Block,\"t", false,
         "line 4: a quoted field is not closed before the end of the file"},
        {L"columns.csv", kHeader + "\r\n" + row + "FileMd5," + b + ",Block\r\n" + row, false,
         "line 3: 3 fields where the header has 6"},
        {L"empty.csv", "", true, "line 1: the file is empty"},
        {L"binary.exe", PeBytes("binary"), true, "line 1: a NUL byte at column 3"},
        {L"clash.hdb", a + ":1:UserWarden.Trusted.x\n" + a + ":1:UserWarden.Black.x\n", false,
         "line 2: " + a + " is on line 1 for the whitelist and here for the blacklist"},
        {L"header.csv", kHeader + "\r\nFileSha1,aa,Block,t,d,\r\n", false,
         "nothing to import: no FileMd5 row"},
    };
    for (const auto& item : cases) {
        const std::wstring file = WriteText(item.name, item.text);
        std::vector<std::wstring> arguments = {L"import", file};
        if (item.giveList)
            arguments.insert(arguments.end(), {L"--list", L"black"});
        const CtlResult run = Ctl(arguments);
        EXPECT_EQ(kCliBadImport, run.code) << U(item.name);
        EXPECT_EQ(0u, run.err.find("userlistctl: " + U(file) + ": " + item.says)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("nothing was imported"));
        EXPECT_EQ("", run.out);
        EXPECT_EQ(before, testsupport::ReadFileBytes(m_dir.File(L"UserSign.dat")));
        EXPECT_EQ(listsBefore, testsupport::ReadFileBytes(m_dir.File(L"vmrdetect.lists")));
    }
}

TEST_F(ExchangeTest, AHundredMegabytesOfGarbageAreRefusedAtTheFirstLine) {
    const std::wstring garbage = m_dir.File(L"garbage.bin");
    {
        const UniqueFile file(CreateFileW(garbage.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        std::string chunk(1 << 20, '\0');
        std::uint32_t state = 2463534242u; // xorshift32
        for (int megabyte = 0; megabyte < 100; ++megabyte) {
            for (char& c : chunk) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                c = static_cast<char>(state >> 24);
            }
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()),
                                  &written, nullptr));
        }
    }
    const CtlResult run = Ctl({L"import", garbage, L"--list", L"black"});
    EXPECT_EQ(kCliBadImport, run.code);
    EXPECT_EQ(0u, run.err.find("userlistctl: " + U(garbage) + ": line 1: ")) << run.err;
    EXPECT_EQ("", Ctl({L"list"}).out);
    EXPECT_TRUE(DeleteFileW(garbage.c_str()));
}

TEST_F(ExchangeTest, ListsNotSaidByTheFileAndBadCommandLinesGetExitCodeTwo) {
    const std::string a = "0123456789abcdef0123456789abcdef";
    const std::wstring plain = WriteText(L"plain.txt", a + "\n");
    CtlResult run = Ctl({L"import", plain});
    EXPECT_EQ(kCliUsage, run.code);
    EXPECT_NE(std::string::npos, run.err.find("line 1: a plain list of MD5s does not say the "
                                              "list: give --list trusted or --list black"));
    const std::wstring foreign = WriteText(L"foreign.hdb", a + ":12:Win.Test.X\n");
    EXPECT_EQ(kCliUsage, Ctl({L"import", foreign}).code);
    EXPECT_EQ("", Ctl({L"list"}).out);

    const std::vector<std::vector<std::wstring>> bad = {{L"export"},
                                                        {L"export", L"xml"},
                                                        {L"export", L"csv", L"grey"},
                                                        {L"export", L"hdb", L"black", L"trusted"},
                                                        {L"export", L"csv", L"-o"},
                                                        {L"import"},
                                                        {L"import", plain, plain},
                                                        {L"import", plain, L"--list", L"grey"},
                                                        {L"import", plain, L"--list"},
                                                        {L"import", m_dir.File(L"missing.csv")},
                                                        {L"import", m_dir.Path()}};
    for (const auto& arguments : bad) {
        run = Ctl(arguments);
        EXPECT_EQ(kCliUsage, run.code) << run.err;
        EXPECT_EQ(0u, run.err.find("userlistctl: ")) << run.err;
    }
    run = Ctl({L"import", L"--list", L"trusted", plain});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("trusted\t" + a + "\t" + U(plain) + "\n1 imported, 0 skipped, 0 duplicates\n",
              run.out);
}

TEST_F(ExchangeTest, ExportToAFileThatCannotBeWrittenGivesExitCodeEight) {
    const CtlResult run = Ctl({L"export", L"csv", L"-o", m_dir.Path()});
    EXPECT_EQ(kCliWriteFailed, run.code);
    EXPECT_EQ(0u, run.err.find("userlistctl: cannot write "));
}

TEST_F(ExchangeTest, ARefusingComponentImportsNothingWithExitCodeThree) {
    const std::wstring plain = WriteText(L"plain.txt", "0123456789abcdef0123456789abcdef\n");
    ASSERT_TRUE(CreateDirectoryW(m_dir.File(L"vmrdetect.lists").c_str(), nullptr));
    const CtlResult run = Ctl({L"import", plain, L"--list", L"black"});
    EXPECT_EQ(kCliRefused, run.code);
    EXPECT_NE(std::string::npos, run.err.find("refused the update"));
    EXPECT_EQ("0 imported, 0 skipped, 0 duplicates\n", run.out);
    RemoveDirectoryW(m_dir.File(L"vmrdetect.lists").c_str());
    EXPECT_EQ("", Ctl({L"list"}).out);
}

TEST(ImportStorePathTest, TheImportFileWhenItFitsElseItsNameElseImport) {
    EXPECT_EQ("C:\\lists\\block.csv", ImportStorePath(L"C:\\lists\\block.csv"));
    EXPECT_EQ("C:\\\xB9\xA4\xBE\xDF\\a.csv", ImportStorePath(L"C:\\\x5DE5\x5177\\a.csv")); // GBK
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\list.csv";
    EXPECT_EQ("list.csv", ImportStorePath(deep));
    EXPECT_EQ("list.csv", ImportStorePath(L"C:\\\x0E01\\list.csv")); // Thai: not in code page 936
    EXPECT_EQ("import", ImportStorePath(L"C:\\lists\\\x0E01.csv"));
    EXPECT_EQ("import", ImportStorePath(L"C:\\" + std::wstring(300, L'y')));
}
