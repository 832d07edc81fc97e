// The detector's reading of files: sizes around its read sizes, headers
// beyond the first read, refusals, and many threads at once.

#include "vmrdetect/FileDetector.h"

#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "intake/Digest.h"
#include "tests/support/GTest.h"
#include "tests/support/ReferenceMd5.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

namespace {

// A standard PE image of `size` bytes whose headers start at `lfanew`,
// filled with bytes that depend on `seed`.
std::string PeImage(std::size_t size, std::uint32_t lfanew, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xff);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    std::memcpy(&bytes[0x3c], &lfanew, 4);
    if (std::uint64_t{lfanew} + 26 <= size) {
        std::memcpy(&bytes[lfanew], "PE\0\0", 4);
        bytes[lfanew + 4] = 0x4c; // machine 0x014c
        bytes[lfanew + 5] = 0x01;
        bytes[lfanew + 24] = 0x0b;
        bytes[lfanew + 25] = 0x01;
    }
    return bytes;
}

struct Analysis {
    HRESULT result;
    std::string md5;
    int extra;
};

Analysis Analyse(const std::wstring& path) {
    BYTE digest[16];
    int extra = -1;
    const HRESULT result = AnalyseFileAt(path.c_str(), digest, &extra);
    char text[33];
    BytesToHex(digest, sizeof digest, text);
    return Analysis{result, text, extra};
}

std::wstring Write(const TempDir& dir, const std::wstring& name, const std::string& bytes) {
    const std::wstring path = dir.File(name);
    testsupport::WriteFileBytes(path, bytes.data(), static_cast<unsigned>(bytes.size()));
    return path;
}

} // namespace

TEST(FileDetector, FilesAroundTheReadSizesHashAsTheReferenceDoes) {
    TempDir dir;
    constexpr std::size_t kHead = 32 * 1024;
    constexpr std::size_t kChunk = 1 << 20;
    const std::size_t sizes[] = {
        0x200,          kHead - 1,          kHead,         kHead + 1, kHead + kChunk - 1,
        kHead + kChunk, kHead + kChunk + 1, 3 * kChunk + 5};
    for (const std::size_t size : sizes) {
        const std::wstring path =
            Write(dir, L"s" + std::to_wstring(size) + L".exe", PeImage(size, 0x80, 3));
        const Analysis got = Analyse(path);
        EXPECT_EQ(S_OK, got.result) << size;
        EXPECT_EQ(testsupport::ReferenceMd5OfFile(path), got.md5) << size;
        EXPECT_EQ(0x014c, got.extra) << size;
    }
}

TEST(FileDetector, HeadersBeyondTheFirstReadAreReadAsideAndTheWholeFileIsHashed) {
    TempDir dir;
    const std::wstring distant = Write(dir, L"far.exe", PeImage(100000, 40000, 1));
    const Analysis got = Analyse(distant);
    EXPECT_EQ(S_OK, got.result);
    EXPECT_EQ(testsupport::ReferenceMd5OfFile(distant), got.md5);
    EXPECT_EQ(0x014c, got.extra);

    // Headers cut by the end of the file, or past it: refused.
    for (const auto& [size, lfanew] : {std::pair<std::size_t, std::uint32_t>{40010, 40000},
                                       {50000, 2000000},
                                       {2000, 1990},
                                       {40000, 0xfffffff0u}}) {
        const Analysis refused =
            Analyse(Write(dir, L"cut" + std::to_wstring(size) + L".exe", PeImage(size, lfanew, 2)));
        EXPECT_EQ(kAnalyseNotPe, refused.result) << size;
        EXPECT_EQ(ZeroDigest, refused.md5) << size;
        EXPECT_EQ(0, refused.extra) << size;
    }
}

TEST(FileDetector, WhatIsNotAReadableImageGetsTheZeroDigestAndSaysWhy) {
    TempDir dir;
    const Analysis text = Analyse(Write(dir, L"notes.txt", "plain text"));
    EXPECT_EQ(kAnalyseNotPe, text.result);
    EXPECT_EQ(ZeroDigest, text.md5);
    const Analysis empty = Analyse(Write(dir, L"empty.exe", ""));
    EXPECT_EQ(kAnalyseNotPe, empty.result);
    const Analysis missing = Analyse(dir.File(L"missing.exe"));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), missing.result);
    EXPECT_EQ(ZeroDigest, missing.md5);
    const Analysis folder = Analyse(dir.Path());
    EXPECT_TRUE(FAILED(folder.result));
    EXPECT_EQ(ZeroDigest, folder.md5);
}

TEST(FileDetector, AnalysesOnManyThreadsAtOnceGiveTheOneThreadResults) {
    TempDir dir;
    std::vector<std::wstring> files;
    for (unsigned i = 0; i < 24; ++i) {
        const std::size_t size = (i % 3 == 0) ? (1 << 20) + i * 4099 : 600 + i * 3000;
        files.push_back(Write(dir, L"m" + std::to_wstring(i) + L".exe",
                              i % 5 == 4 ? std::string(size, 't') : PeImage(size, 0x80, i)));
    }
    std::vector<Analysis> expected;
    for (const std::wstring& file : files)
        expected.push_back(Analyse(file));

    FileDetector detector; // stateless: one object for every thread
    std::vector<std::vector<std::string>> seen(6);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (std::size_t f = 0; f < files.size(); ++f) {
                    const std::wstring& file = files[(f + t * 5) % files.size()];
                    BYTE digest[16];
                    int result = 0, extra = 0;
                    detector.AnalyseFile(file.c_str(), 0, &result, digest, &extra);
                    char text[33];
                    BytesToHex(digest, sizeof digest, text);
                    seen[t].push_back(std::string(text) + " " + std::to_string(result) + " " +
                                      std::to_string(extra));
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < seen.size(); ++t) {
        ASSERT_EQ(3 * files.size(), seen[t].size());
        for (std::size_t i = 0; i < seen[t].size(); ++i) {
            const Analysis& want = expected[(i % files.size() + t * 5) % files.size()];
            EXPECT_EQ(want.md5 + " " + std::to_string(static_cast<int>(want.result)) + " " +
                          std::to_string(want.extra),
                      seen[t][i])
                << t << " " << i;
        }
    }
}
