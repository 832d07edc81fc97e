// userlistctl scan over trees analysed on several threads: every line in
// walk order, as one thread analysing file after file would print it.

#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include "common/TextConvert.h"
#include "tests/intake/WalkTestSupport.h"
#include "tests/support/GTest.h"
#include "tests/support/PeFile.h"
#include "tests/support/ReferenceMd5.h"
#include "tests/support/TempDir.h"
#include "userlistctl/UserListCommand.h"

TEST(UserListCtlScan, LinesComeInWalkOrderWithEachFilesOwnMd5) {
    testsupport::TempDir dir, tree;
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", dir.File(L"vmrdetect.lists").c_str());
    const std::wstring root = tree.File(L"scan");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    testsupport::WriteMixedTree(root, 12, 30);
    const std::wstring single = tree.File(L"single.exe");
    testsupport::WritePeFile(single, "single");
    const std::vector<std::wstring> given = {root, single, root + L"\\dir0"};

    std::string expected;
    int refused = 0;
    const std::vector<std::wstring> files = testsupport::ReferenceWalk(given);
    for (const std::wstring& file : files) {
        const bool pe = testsupport::ReadFileBytes(file).compare(0, 2, "MZ") == 0;
        refused += pe ? 0 : 1;
        expected += (pe ? testsupport::ReferenceMd5OfFile(file) : std::string("refused")) + "\t" +
                    WideToUtf8(file) + "\n";
    }
    expected += std::to_string(files.size()) + " files, " + std::to_string(refused) + " refused\n";

    std::vector<std::wstring> arguments = {L"--store", dir.File(L"UserSign.dat"), L"scan"};
    arguments.insert(arguments.end(), given.begin(), given.end());
    std::ostringstream out, err;
    EXPECT_EQ(kCliOk, RunUserListCtl(arguments, out, err));
    EXPECT_EQ(expected, out.str());
    EXPECT_EQ("", err.str());
    EXPECT_GT(refused, 5);
    SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr);
}
