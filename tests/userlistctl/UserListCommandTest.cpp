// userlistctl, run in-process on the real component and store.

#include <algorithm>
#include <string>
#include <vector>

#include "intake/Digest.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/userlistctl/CtlFixture.h"

using namespace ctltest;

namespace {

class UserListCtlTest : public CtlFixture {};

} // namespace

TEST_F(UserListCtlTest, ScanPrintsEveryFileInReportOrderAndASummary) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    testsupport::WriteFileBytes(m_tree.File(L"notes.txt"), "text", 4);
    const CtlResult run = Ctl({L"scan", pe, m_tree.File(L"notes.txt")});
    EXPECT_EQ(kCliOk, run.code);
    EXPECT_EQ(Md5(pe) + "\t" + U(pe) + "\nrefused\t" + U(m_tree.File(L"notes.txt")) +
                  "\n2 files, 1 refused\n",
              run.out);
    EXPECT_EQ("", run.err);
}

TEST_F(UserListCtlTest, TrustBlockListAndRemoveWorkThroughComponentAndStore) {
    const std::wstring one = AddPe(L"\x5DE5\x5177.exe", "one");
    const std::wstring two = AddPe(L"two.exe", "two");
    CtlResult run = Ctl({L"trust", m_tree.Path()});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("trusted\t" + Md5(one) + "\t" + U(one) + "\n"));
    EXPECT_NE(std::string::npos, run.out.find("2 files, 0 refused\n"));

    run = Ctl({L"block", two});
    EXPECT_EQ("blocked\t" + Md5(two) + "\t" + U(two) + "\n1 files, 0 refused\n", run.out);

    run = Ctl({L"list", L"trusted"});
    ASSERT_EQ(0u, run.out.find("trusted\t" + Md5(one) + "\t"));
    EXPECT_NE(std::string::npos, run.out.find("\t" + U(one) + "\n")); // Chinese path intact
    EXPECT_EQ(std::string::npos, run.out.find(Md5(two)));
    run = Ctl({L"list"});
    EXPECT_NE(std::string::npos, run.out.find("black\t" + Md5(two)));

    std::string upper = Md5(two);
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    run = Ctl({L"remove", Utf8ToWide(upper)});
    EXPECT_EQ(kCliOk, run.code);
    EXPECT_EQ("removed\tblack\t" + Md5(two) + "\n", run.out);
    run = Ctl({L"remove", Utf8ToWide(Md5(two))});
    EXPECT_EQ(kCliNotFound, run.code);
    EXPECT_NE(std::string::npos, run.err.find("not on any list"));
}

TEST_F(UserListCtlTest, ADuplicateFileIsCommittedOnce) {
    const std::wstring a = AddPe(L"a.exe", "same");
    const std::wstring b = AddPe(L"b.exe", "same");
    const CtlResult run = Ctl({L"trust", a, b});
    EXPECT_EQ("duplicate\t" + Md5(b) + "\t" + U(b) + "\ntrusted\t" + Md5(a) + "\t" + U(a) +
                  "\n2 files, 0 refused\n",
              run.out);
    const std::string listed = Ctl({L"list"}).out;
    EXPECT_EQ(1, std::count(listed.begin(), listed.end(), '\n'));
}

TEST_F(UserListCtlTest, ARefusingComponentGivesExitCodeThree) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    ASSERT_TRUE(CreateDirectoryW(m_dir.File(L"vmrdetect.lists").c_str(), nullptr));
    const CtlResult run = Ctl({L"trust", pe});
    EXPECT_EQ(kCliRefused, run.code);
    EXPECT_NE(std::string::npos, run.err.find("refused the update"));
    RemoveDirectoryW(m_dir.File(L"vmrdetect.lists").c_str());
    EXPECT_EQ("", Ctl({L"list"}).out); // nothing reached the store
}

TEST_F(UserListCtlTest, APathTheCodePageCannotCarryIsNotCommittedAndTheExitCodeSaysSo) {
    const std::wstring thai = AddPe(L"\x0E01.exe", "thai");
    const CtlResult run = Ctl({L"trust", thai});
    EXPECT_EQ(kCliNotRecorded, run.code);
    EXPECT_NE(std::string::npos, run.err.find("not representable in the system code page"));
    EXPECT_EQ("1 files, 0 refused\n", run.out);
    EXPECT_EQ("", Ctl({L"list"}).out);
}

TEST_F(UserListCtlTest, UnixPathsNameTheSameFilesAsDriveZ) {
    wchar_t folder[64];
    wsprintfW(folder, L"Z:\\tmp\\uwcli-%lu", GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
    const std::string bytes = PeBytes("unix");
    const std::wstring file = std::wstring(folder) + L"\\u.exe";
    testsupport::WriteFileBytes(file, bytes.data(), static_cast<unsigned>(bytes.size()));
    std::wstring unixPath = std::wstring(folder + 2) + L"/u.exe";
    for (wchar_t& c : unixPath)
        if (c == L'\\')
            c = L'/';
    const CtlResult run = Ctl({L"scan", unixPath});
    EXPECT_EQ(Md5(file) + "\t" + U(file) + "\n1 files, 0 refused\n", run.out);
    testsupport::RemoveTree(folder);
}

TEST_F(UserListCtlTest, BadCommandLinesGetAMessageAndExitCodeTwo) {
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"frobnicate"},
        {L"scan"},
        {L"trust"},
        {L"remove"},
        {L"remove", L"1234"},
        {L"remove", L"0123456789abcdef0123456789abcdeg"},
        {L"list", L"grey"},
        {L"scan", L"C:\\definitely\\not\\here.exe"}};
    for (const auto& arguments : bad) {
        const CtlResult run = Ctl(arguments);
        EXPECT_EQ(kCliUsage, run.code) << run.err;
        EXPECT_EQ(0u, run.err.find("userlistctl: ")) << run.err;
    }
    EXPECT_EQ(kCliUsage, Ctl({L"--store"}, false).code);
    const CtlResult help = Ctl({L"--help"}, false);
    EXPECT_EQ(kCliOk, help.code);
    EXPECT_EQ(0u, help.out.find("usage: userlistctl"));
}

TEST_F(UserListCtlTest, ACommitStoresEachFileOnceThroughTheProcessorsTransactions) {
    const std::wstring one = AddPe(L"one.exe", "one");
    const std::wstring two = AddPe(L"two.exe", "two");
    const CtlResult run = Ctl({L"trust", one, two});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("trusted\t" + Md5(one) + "\t" + U(one) + "\ntrusted\t" + Md5(two) + "\t" + U(two) +
                  "\n2 files, 0 refused\n",
              run.out);
    // Row numbers only grow: a file stored a second time would have a third.
    ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"));
    store.Open();
    EXPECT_EQ(1, store.UserTrustedExists(Md5(one)));
    EXPECT_EQ(2, store.UserTrustedExists(Md5(two)));
    EXPECT_NE(std::string::npos,
              testsupport::ReadFileBytes(m_dir.File(L"vmrdetect.lists")).find("T " + Md5(two)));
}

TEST_F(UserListCtlTest, AStoreThatIsNoDatabaseStopsTheCommitWithExitCodeSix) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    const std::string junk(4096, 'j');
    testsupport::WriteFileBytes(m_dir.File(L"UserSign.dat"), junk.data(), 4096);
    const CtlResult run = Ctl({L"trust", pe});
    EXPECT_EQ(kCliStoreFailed, run.code);
    EXPECT_EQ(0u, run.err.find("userlistctl: the store " + U(m_dir.File(L"UserSign.dat")) +
                               " cannot be opened: it is no store of this tool, or it is damaged"))
        << run.err;
    EXPECT_EQ("", run.out); // nothing analysed, nothing committed
    EXPECT_EQ(std::string::npos,
              testsupport::ReadFileBytes(m_dir.File(L"vmrdetect.lists")).find(Md5(pe)));
}
