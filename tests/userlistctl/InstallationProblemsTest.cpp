// userlistctl on a broken installation: each command refuses what it cannot
// do before it changes anything and names the file at fault; files that
// cannot be read are told apart from refused ones; check reports every
// finding and exits with the first problem's code.

#include <algorithm>

#include "BuildVersion.h"
#include "common/Handles.h"
#include "common/ModulePath.h"
#include "common/PeMachine.h"
#include "tests/userlistctl/CtlFixture.h"
#include "userlistctl/CliFailures.h"

using namespace ctltest;

namespace {

class InstallationTest : public CtlFixture {
protected:
    void UseOtherArchComponent() {
        m_environment.componentLibrary = GetModuleFolder(nullptr) + L"other-arch\\vmrdetect.dll";
    }
    void UseMissingComponent() {
        m_environment.componentLibrary = m_dir.File(L"nowhere\\vmrdetect.dll");
    }
    std::string ListsFile() { return testsupport::ReadFileBytes(m_dir.File(L"vmrdetect.lists")); }
    // The value of one "<what>\t<finding>" line of check's output.
    static std::string Finding(const std::string& out, const std::string& what) {
        const std::string head = what + "\t";
        std::size_t at = out.rfind("\n" + head);
        at = out.compare(0, head.size(), head) == 0 ? 0 : at == std::string::npos ? at : at + 1;
        if (at == std::string::npos)
            return "(none)";
        const std::size_t end = out.find('\n', at);
        return out.substr(at + head.size(), end - at - head.size());
    }
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Makes a folder and every folder above it.
bool MakeFolders(const std::wstring& folder) {
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool AlwaysOnShare(const std::wstring&) {
    return true;
}
bool Virtualised() {
    return true;
}

} // namespace

TEST_F(InstallationTest, WithoutTheComponentNothingChangesAndTheStoreStillLists) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    ASSERT_EQ(kCliOk, Ctl({L"trust", pe}).code);
    const std::string lists = ListsFile();

    UseOtherArchComponent();
    for (const std::vector<std::wstring>& command : std::vector<std::vector<std::wstring>>{
             {L"scan", pe}, {L"block", pe}, {L"remove", Utf8ToWide(Md5(pe))}}) {
        const CtlResult run = Ctl(command);
        EXPECT_EQ(kCliNoComponent, run.code) << run.err;
        EXPECT_EQ("", run.out);
        // The file found, its machine type, and the package to use.
        EXPECT_TRUE(Contains(run.err, U(m_environment.componentLibrary))) << run.err;
        EXPECT_TRUE(Contains(run.err, "-bit package")) << run.err;
    }
    EXPECT_EQ(lists, ListsFile());
    const CtlResult listed = Ctl({L"list"});
    EXPECT_EQ(kCliOk, listed.code);
    EXPECT_TRUE(Contains(listed.out, "trusted\t" + Md5(pe)));
    EXPECT_EQ(kCliOk, Ctl({L"export", L"csv"}).code);

    UseMissingComponent();
    const CtlResult missing = Ctl({L"scan", pe});
    EXPECT_EQ(kCliNoComponent, missing.code);
    EXPECT_TRUE(Contains(missing.err, "was found neither in " + U(m_dir.File(L"nowhere\\"))))
        << missing.err;
}

TEST_F(InstallationTest, AStoreThatCannotBeOpenedOrWrittenIsNamedBeforeAnythingChanges) {
    const std::wstring pe = AddPe(L"tool.exe", "tool");
    const std::wstring lost = m_dir.File(L"gone\\UserSign.dat");
    for (const std::vector<std::wstring>& command :
         std::vector<std::vector<std::wstring>>{{L"trust", pe}, {L"list"}, {L"export", L"csv"}}) {
        const CtlResult run = CtlOn(lost, command);
        EXPECT_EQ(kCliStoreFailed, run.code) << run.err;
        EXPECT_EQ("userlistctl: the store " + U(lost) +
                      " cannot be opened: its folder does not exist\n",
                  run.err);
    }
    EXPECT_EQ(kCliOk, CtlOn(lost, {L"scan", pe}).code); // a scan needs no store
    EXPECT_FALSE(Contains(ListsFile(), Md5(pe)));

    // Held by another program sharing reading only: it lists, it takes no change.
    ASSERT_EQ(kCliOk, Ctl({L"trust", pe}).code);
    const std::wstring store = m_dir.File(L"UserSign.dat");
    const UniqueFile held(CreateFileW(store.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.IsValid());
    const std::string lists = ListsFile();
    const CtlResult removal = Ctl({L"remove", Utf8ToWide(Md5(pe))});
    EXPECT_EQ(kCliStoreFailed, removal.code);
    EXPECT_EQ("userlistctl: the store " + U(store) +
                  " cannot be written: another program holds the file without sharing it\n",
              removal.err);
    EXPECT_EQ(lists, ListsFile());
    EXPECT_TRUE(Contains(Ctl({L"list"}).out, Md5(pe)));
}

TEST_F(InstallationTest, AFileThatCannotBeReadIsToldApartAndGetsItsOwnExitCode) {
    const std::wstring good = AddPe(L"good.exe", "good");
    const std::wstring held = AddPe(L"held.exe", "held");
    const std::wstring text = m_tree.File(L"notes.txt");
    testsupport::WriteFileBytes(text, "plain", 5);
    const UniqueFile holding(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holding.IsValid());
    EXPECT_TRUE(Contains(ReadErrorReason(ERROR_SHARING_VIOLATION), " (error 32)"));

    const CtlResult scan = Ctl({L"scan", good, held, text});
    EXPECT_EQ(kCliUnreadable, scan.code);
    EXPECT_EQ(Md5(good) + "\t" + U(good) + "\nunreadable\t" + U(held) + "\t" +
                  ReadErrorReason(ERROR_SHARING_VIOLATION) + "\nrefused\t" + U(text) +
                  "\n3 files, 1 refused, 1 unreadable\n",
              scan.out);

    // The readable file is committed all the same.
    const CtlResult trust = Ctl({L"trust", good, held});
    EXPECT_EQ(kCliUnreadable, trust.code);
    EXPECT_TRUE(Contains(trust.out, "unreadable\t" + U(held)));
    EXPECT_TRUE(Contains(trust.out, "trusted\t" + Md5(good)));
    EXPECT_TRUE(Contains(trust.out, "2 files, 0 refused, 1 unreadable\n"));
    // Without unreadable files the summary is as it always was.
    EXPECT_EQ(Md5(good) + "\t" + U(good) + "\n1 files, 0 refused\n", Ctl({L"scan", good}).out);
}

TEST_F(InstallationTest, CheckReportsASoundInstallation) {
    ASSERT_EQ(kCliOk, Ctl({L"trust", AddPe(L"a.exe", "a")}).code);
    ASSERT_EQ(kCliOk, Ctl({L"block", AddPe(L"b.exe", "b"), AddPe(L"c.exe", "c")}).code);
    const CtlResult check = Ctl({L"check"});
    EXPECT_EQ(kCliOk, check.code) << check.err;
    EXPECT_EQ("", check.err);
    const std::string own = MachineDescription(OwnPeMachine());
    EXPECT_EQ(0u, check.out.find("version\t" + std::string(kBuildVersionTextA) + " " + own + "\n"))
        << check.out;
    EXPECT_EQ(U(GetModuleFolder(nullptr) + L"vmrdetect.dll"), Finding(check.out, "component"));
    EXPECT_EQ(own, Finding(check.out, "component machine"));
    EXPECT_EQ("loaded", Finding(check.out, "component state"));
    EXPECT_EQ(U(m_dir.File(L"UserSign.dat")), Finding(check.out, "store"));
    EXPECT_EQ("writable", Finding(check.out, "store state"));
    EXPECT_EQ("1 trusted, 2 black", Finding(check.out, "entries"));
    EXPECT_EQ("no", Finding(check.out, "network share"));
    EXPECT_EQ("no", Finding(check.out, "virtualised"));
    EXPECT_EQ(kCliUsage, Ctl({L"check", L"extra"}).code);
}

TEST_F(InstallationTest, CheckNamesEveryProblemAndExitsWithTheFirst) {
    UseOtherArchComponent();
    const std::wstring lost = m_dir.File(L"gone\\UserSign.dat");
    const CtlResult broken = CtlOn(lost, {L"check"});
    EXPECT_EQ(kCliNoComponent, broken.code);
    const std::uint16_t other = ReadPeMachine(m_environment.componentLibrary);
    EXPECT_NE(OwnPeMachine(), other);
    EXPECT_EQ(MachineDescription(other), Finding(broken.out, "component machine"));
    EXPECT_EQ("not loaded", Finding(broken.out, "component state"));
    EXPECT_EQ("cannot be opened", Finding(broken.out, "store state"));
    EXPECT_EQ("(none)", Finding(broken.out, "entries"));
    EXPECT_EQ(2, std::count(broken.err.begin(), broken.err.end(), '\n')) << broken.err;
    EXPECT_TRUE(Contains(broken.err, "-bit package"));
    EXPECT_TRUE(Contains(broken.err, "its folder does not exist"));

    m_environment = CliEnvironment();
    UseMissingComponent();
    EXPECT_EQ("no such file", Finding(Ctl({L"check"}).out, "component machine"));

    // A store on a share, a virtualised process, and a copy left in the
    // VirtualStore by an earlier virtualised run.
    m_environment = CliEnvironment();
    m_environment.onNetworkShare = AlwaysOnShare;
    const CtlResult shared = Ctl({L"check"});
    EXPECT_EQ(kCliNetworkStore, shared.code);
    EXPECT_EQ("yes", Finding(shared.out, "network share"));
    EXPECT_TRUE(Contains(shared.err, "network share"));

    m_environment = CliEnvironment();
    m_environment.localAppData = m_tree.File(L"appdata");
    const std::wstring store = m_dir.File(L"UserSign.dat");
    const std::wstring copy = VirtualStorePath(store, m_environment.localAppData);
    EXPECT_EQ(m_tree.File(L"appdata\\VirtualStore") + store.substr(2), copy);
    EXPECT_EQ(kCliOk, Ctl({L"check"}).code); // no copy there yet
    ASSERT_TRUE(MakeFolders(FolderOfPath(copy)));
    testsupport::WriteFileBytes(copy, "x", 1);
    const CtlResult copied = Ctl({L"check"});
    EXPECT_EQ(kCliVirtualised, copied.code);
    EXPECT_EQ(U(copy), Finding(copied.out, "virtual store copy"));
    EXPECT_TRUE(Contains(copied.err, "export csv")) << copied.err;

    m_environment.writesVirtualised = Virtualised;
    const CtlResult virtualised = Ctl({L"check"});
    EXPECT_EQ("yes", Finding(virtualised.out, "virtualised"));
    EXPECT_TRUE(Contains(virtualised.err, "writes are virtualised"));
}

TEST(VirtualStore, OnlyPathsOnADriveAreRedirected) {
    EXPECT_EQ(
        L"C:\\Users\\a\\AppData\\Local\\VirtualStore\\Program Files\\X\\UserSign.dat",
        VirtualStorePath(L"C:\\Program Files\\X\\UserSign.dat", L"C:\\Users\\a\\AppData\\Local"));
    EXPECT_EQ(L"D:\\l\\VirtualStore\\p\\f", VirtualStorePath(L"\\\\?\\C:\\p\\f", L"D:\\l\\"));
    EXPECT_EQ(L"", VirtualStorePath(L"\\\\server\\share\\f", L"C:\\l"));
    EXPECT_EQ(L"", VirtualStorePath(L"C:\\p\\f", L""));
    EXPECT_EQ(L"", VirtualStorePath(L"f", L"C:\\l"));
}
