// The walk over dropped paths, against a plain recursive walk.

#include "intake/PathWalk.h"

#include <algorithm>

#include "common/TextConvert.h"
#include "tests/intake/WalkTestSupport.h"
#include "tests/support/GTest.h"
#include "tests/support/PeFile.h"
#include "tests/support/TempDir.h"

using testsupport::ReferenceWalk;
using testsupport::TempDir;

namespace {

std::vector<WalkedFile> WalkAll(const std::vector<std::wstring>& paths) {
    PathWalk walk(paths);
    std::vector<WalkedFile> files;
    WalkedFile file;
    while (walk.Next(file))
        files.push_back(file);
    return files;
}

std::vector<std::wstring> PathsOf(const std::vector<WalkedFile>& files) {
    std::vector<std::wstring> paths;
    for (const WalkedFile& file : files)
        paths.push_back(file.path);
    return paths;
}

// The system's calls, with the paths the walk hands to them kept in `asked`.
WalkFileSystem RecordingFileSystem(std::vector<std::wstring>& asked) {
    const WalkFileSystem& system = SystemWalkFileSystem();
    return WalkFileSystem{[&asked, &system](const wchar_t* path) {
                              asked.push_back(path);
                              return system.getAttributes(path);
                          },
                          [&asked, &system](const wchar_t* pattern, WIN32_FIND_DATAW* entry) {
                              asked.push_back(pattern);
                              return system.findFirst(pattern, entry);
                          },
                          system.findNext};
}

} // namespace

TEST(PathWalk, GivenPathsInTurnFoldersDepthFirstInTheirSearchOrder) {
    TempDir tree;
    const std::wstring root = tree.File(L"root");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    testsupport::WriteMixedTree(root, 14, 5);
    ASSERT_TRUE(CreateDirectoryW((root + L"\\empty").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\empty\\inner").c_str(), nullptr));
    const std::wstring single = tree.File(L"single.exe");
    testsupport::WritePeFile(single, "single");

    const std::vector<std::wstring> given = {single,
                                             root,
                                             tree.File(L"missing.exe"),
                                             root + L"\\dir4\\\\", // trailing backslashes
                                             L"C:\\",              // a volume root: a file
                                             root + L"\\empty"};
    const std::vector<WalkedFile> walked = WalkAll(given);
    const std::vector<std::wstring> expected = ReferenceWalk(given);
    ASSERT_EQ(1 + 70 + 1 + 20 + 1u, expected.size()); // dir4 holds dir5 to dir7
    EXPECT_EQ(expected, PathsOf(walked));

    // Which given path each file came from, and whether it is that path.
    std::vector<std::size_t> expectedIndexes, indexes;
    std::vector<bool> expectedGiven, givenFlags;
    for (std::size_t g = 0; g < given.size(); ++g) {
        const bool folder = g == 1 || g == 3 || g == 5;
        for (std::size_t n = ReferenceWalk({given[g]}).size(); n != 0; --n) {
            expectedIndexes.push_back(g);
            expectedGiven.push_back(!folder);
        }
    }
    for (const WalkedFile& file : walked) {
        indexes.push_back(file.givenIndex);
        givenFlags.push_back(file.given);
    }
    EXPECT_EQ(expectedIndexes, indexes);
    EXPECT_EQ(expectedGiven, givenFlags);
    EXPECT_EQ(L"C:\\", walked.back().path);
}

TEST(PathWalk, DeepFoldersAndPathsLongerThanTheRecordAreWalkedWhole) {
    TempDir tree;
    std::wstring folder = tree.File(L"deep");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::vector<std::wstring> expected;
    for (int depth = 0; depth < 30; ++depth) {
        folder += L"\\level" + std::to_wstring(depth) + L"-" + std::wstring(12, L'x');
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << depth;
        const std::wstring file = folder + L"\\f.exe";
        testsupport::WriteFileBytes(file, "x", 1);
        expected.push_back(file);
    }
    ASSERT_GT(expected.back().size(), 500u);
    // Windows finds nothing in a folder of 260 characters or more named in
    // the ordinary form: every path the walk asks about is in the long form.
    std::vector<std::wstring> asked;
    const WalkFileSystem recording = RecordingFileSystem(asked);
    std::vector<std::wstring> walked;
    {
        PathWalk walk({tree.File(L"deep")}, recording);
        WalkedFile file;
        while (walk.Next(file))
            walked.push_back(file.path);
    }
    ASSERT_EQ(1 + 31u, asked.size()); // the given folder's attributes, then each folder's search
    for (const std::wstring& path : asked)
        EXPECT_EQ(0u, path.rfind(L"\\\\?\\", 0)) << WideToUtf8(path);
    EXPECT_EQ(L"\\\\?\\" + tree.File(L"deep") + L"\\*.*", asked[1]);
    EXPECT_EQ(ReferenceWalk({tree.File(L"deep")}), walked);
    std::sort(expected.begin(), expected.end());
    std::vector<std::wstring> sorted = walked;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(expected, sorted);
}
