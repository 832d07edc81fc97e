#include "intake/FileFacts.h"

#include <cstdint>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/ModulePath.h"
#include "common/PeMachine.h"
#include "common/TextConvert.h"
#include "tests/support/GTest.h"
#include "tests/support/PeVersionImage.h"
#include "tests/support/ReferenceMd5.h"
#include "tests/support/TempDir.h"

using testsupport::BuildVersionImage;
using testsupport::CompanyTable;
using testsupport::TempDir;
using testsupport::VersionImageSpec;
using testsupport::WriteFileBytes;

namespace {

// Bytes that repeat nowhere within a MiB, so that a chunk hashed twice or
// left out changes the digest.
std::string Noise(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::wstring WriteNoise(const TempDir& dir, const std::wstring& name, std::size_t size) {
    const std::wstring path = dir.File(name);
    const std::string bytes = Noise(size, static_cast<std::uint32_t>(size));
    EXPECT_TRUE(WriteFileBytes(path, bytes.data(), static_cast<unsigned>(bytes.size())));
    return path;
}

std::wstring WriteImage(const TempDir& dir, const std::wstring& name,
                        const VersionImageSpec& spec) {
    const std::wstring path = dir.File(name);
    const std::vector<unsigned char> bytes = BuildVersionImage(spec).bytes;
    EXPECT_TRUE(WriteFileBytes(path, bytes.data(), static_cast<unsigned>(bytes.size())));
    return path;
}

// The version strings as the platform reads them (GetFileVersionInfoW,
// VerQueryValueW under the file's first translation).
struct PlatformStrings {
    bool found = false;
    std::string company, product, description, fileVersion, originalName;
};

PlatformStrings ReadWithPlatform(const std::wstring& path) {
    PlatformStrings strings;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return strings;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return strings;
    const WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) ||
        length < 4)
        return strings;
    strings.found = true;
    wchar_t table[48];
    swprintf(table, 48, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    const auto query = [&](const wchar_t* name) {
        const std::wstring key = std::wstring(table) + name;
        wchar_t* value = nullptr;
        UINT units = 0;
        if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &units) ||
            !value)
            return std::string();
        return WideToUtf8(value);
    };
    strings.company = query(L"CompanyName");
    strings.product = query(L"ProductName");
    strings.description = query(L"FileDescription");
    strings.fileVersion = query(L"FileVersion");
    strings.originalName = query(L"OriginalFilename");
    return strings;
}

void ExpectPlatformStrings(const std::wstring& path, const EntryFacts& facts) {
    const PlatformStrings platform = ReadWithPlatform(path);
    const std::string name = WideToUtf8(path);
    EXPECT_EQ(platform.company, facts.company) << name;
    EXPECT_EQ(platform.product, facts.product) << name;
    EXPECT_EQ(platform.description, facts.description) << name;
    EXPECT_EQ(platform.fileVersion, facts.fileVersion) << name;
    EXPECT_EQ(platform.originalName, facts.originalName) << name;
}

} // namespace

TEST(FileFacts, DigestAndSizeAgreeWithCryptoApiAcrossChunkBoundaries) {
    TempDir dir;
    const std::size_t mib = 1 << 20;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{55}, std::size_t{64},
                                   mib - 1, mib, mib + 1, 3 * mib + 12345}) {
        const std::wstring path = WriteNoise(dir, L"noise" + std::to_wstring(size), size);
        EntryFacts facts;
        DWORD error = 1;
        ASSERT_TRUE(ReadFileFacts(path, facts, &error)) << size;
        EXPECT_EQ(0u, error);
        EXPECT_EQ(testsupport::ReferenceSha256OfFile(path), facts.sha256) << size;
        EXPECT_EQ(64u, facts.sha256.size());
        EXPECT_EQ(static_cast<std::int64_t>(size), facts.size);
        // Not an image: nothing else is known.
        EXPECT_EQ(-1, facts.machine);
        EXPECT_EQ("", facts.company + facts.product + facts.description + facts.fileVersion +
                          facts.originalName);
    }
}

TEST(FileFacts, VersionStringsAgreeWithThePlatformOnTheBuildsPrograms) {
    const std::wstring folder = GetModuleFolder(nullptr);
    for (const wchar_t* name : {L"userlistctl.exe", L"vmrdetect.dll"}) {
        const std::wstring path = folder + name;
        EntryFacts facts;
        ASSERT_TRUE(ReadFileFacts(path, facts)) << WideToUtf8(path);
        EXPECT_TRUE(ReadWithPlatform(path).found) << WideToUtf8(path);
        ExpectPlatformStrings(path, facts);
        EXPECT_EQ(WideToUtf8(name), facts.originalName);
        EXPECT_EQ(OwnPeMachine(), facts.machine);
        EXPECT_EQ(testsupport::ReferenceSha256OfFile(path), facts.sha256);
    }
    // The test program has no version resource.
    const std::wstring self = GetModulePath(nullptr);
    EntryFacts facts;
    ASSERT_TRUE(ReadFileFacts(self, facts));
    EXPECT_FALSE(ReadWithPlatform(self).found);
    EXPECT_EQ("", facts.company + facts.product + facts.description + facts.fileVersion +
                      facts.originalName);
    EXPECT_EQ(OwnPeMachine(), facts.machine);
}

TEST(FileFacts, VersionStringsAgreeWithThePlatformOnTheSystemsFiles) {
    wchar_t system[MAX_PATH];
    ASSERT_NE(0u, GetSystemDirectoryW(system, MAX_PATH));
    const std::wstring folder = std::wstring(system) + L"\\";
    WIN32_FIND_DATAW entry;
    UniqueFind search(FindFirstFileW((folder + L"*.dll").c_str(), &entry));
    ASSERT_TRUE(search.IsValid());
    int compared = 0;
    do {
        const std::wstring path = folder + entry.cFileName;
        if (!ReadWithPlatform(path).found)
            continue;
        EntryFacts facts;
        ASSERT_TRUE(ReadFileFacts(path, facts)) << WideToUtf8(path);
        ExpectPlatformStrings(path, facts);
        ++compared;
    } while (compared < 120 && FindNextFileW(search.Get(), &entry));
    EXPECT_GT(compared, 20);
}

TEST(FileFacts, VersionStringsAgreeWithThePlatformOnImagesOfChosenTables) {
    TempDir dir;
    struct Case {
        const wchar_t* name;
        bool pe32plus;
        std::uint16_t translationLanguage;
        std::uint32_t codeBytes;
        std::vector<std::uint16_t> languages; // of the version resource, the first with tables
    };
    // "far.dll"'s resources lie past the first chunk read. The user's language
    // (the test prefix's) is Chinese (PRC), 0x0804.
    const Case cases[] = {{L"plus.dll", true, 0x0804, 0x200, {0x0409}},
                          {L"pe32.dll", false, 0x0409, 0x200, {0x0409}},
                          {L"far.dll", true, 0x0407, 3 << 20, {0x0409}},
                          {L"users.dll", true, 0x0409, 0x200, {0x0409, 0x0401, 0x0804, 0x0407}},
                          {L"others.dll", true, 0x0409, 0x200, {0x0409, 0x0401, 0x0407, 0x0411}},
                          {L"neutral.dll", true, 0x0409, 0x200, {0x0409, 0x0000, 0x0401}},
                          {L"neutralusers.dll", true, 0x0409, 0x200, {0x0409, 0x0000, 0x0804}},
                          {L"systemneutral.dll", true, 0x0409, 0x200, {0x0409, 0x0800, 0x0401}},
                          {L"userneutral.dll", true, 0x0409, 0x200, {0x0409, 0x0400, 0x0804}},
                          {L"sameprimary.dll", true, 0x0409, 0x200, {0x0409, 0x0401, 0x1004}},
                          {L"ukenglish.dll", true, 0x0409, 0x200, {0x0401, 0x0809}},
                          {L"german.dll", true, 0x0409, 0x200, {0x0407, 0x0401}},
                          {L"japanese.dll", true, 0x0409, 0x200, {0x0411, 0x0401, 0x0407}},
                          {L"singapore.dll", true, 0x0409, 0x200, {0x0401, 0x1004}},
                          {L"hongkong.dll", true, 0x0409, 0x200, {0x0401, 0x0c04}}};
    for (const Case& c : cases) {
        VersionImageSpec spec;
        spec.pe32plus = c.pe32plus;
        spec.machine = c.pe32plus ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
        spec.resourceLanguage = c.languages.front();
        spec.tables = {CompanyTable("040904b0", "First \xE6\x96\x87\xE4\xBB\xB6"),
                       CompanyTable("080404b0", "Second \xE6\x96\x87\xE4\xBB\xB6"),
                       CompanyTable("040704b0", "Third \xF0\x9F\x98\x80")};
        for (std::size_t i = 1; i < c.languages.size(); ++i)
            spec.moreLanguages.push_back(
                {c.languages[i],
                 {CompanyTable("040904b0", "In " + std::to_string(c.languages[i]))}});
        spec.translationLanguage = c.translationLanguage;
        spec.codeBytes = c.codeBytes;
        const std::wstring path = WriteImage(dir, c.name, spec);
        EntryFacts facts;
        ASSERT_TRUE(ReadFileFacts(path, facts));
        EXPECT_EQ(spec.machine, facts.machine);
        EXPECT_NE("", facts.company);
        ExpectPlatformStrings(path, facts);
    }
}

TEST(FileFacts, FilesWithoutVersionStringsGiveNoneAndUnreadableOnesSayWhy) {
    TempDir dir;
    VersionImageSpec spec;
    spec.versionResource = false;
    const std::wstring bare = WriteImage(dir, L"bare.exe", spec);
    EntryFacts facts;
    ASSERT_TRUE(ReadFileFacts(bare, facts));
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, facts.machine);
    EXPECT_EQ("", facts.company + facts.product + facts.fileVersion + facts.originalName);

    DWORD error = 0;
    EXPECT_FALSE(ReadFileFacts(dir.File(L"missing.exe"), facts, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    EXPECT_EQ("", facts.sha256);
    EXPECT_EQ(-1, facts.size);

    // Held by another program that shares nothing.
    const std::wstring held = WriteNoise(dir, L"held.bin", 100);
    UniqueFile holder(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.IsValid());
    EXPECT_FALSE(ReadFileFacts(held, facts, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), error);
    EXPECT_EQ("", facts.sha256);

    // A file another program writes to is still read, as a scanner reads it.
    const std::string digest = testsupport::ReferenceSha256OfFile(bare);
    UniqueFile writer(CreateFileW(bare.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.IsValid());
    EXPECT_TRUE(ReadFileFacts(bare, facts, &error));
    EXPECT_EQ(digest, facts.sha256);
}

namespace {

// One of several threads reading the same files at once.
struct FactsReader {
    const std::vector<std::wstring>* paths = nullptr;
    const std::vector<std::string>* digests = nullptr;
    int mismatches = 0;

    static DWORD WINAPI Run(void* self) {
        FactsReader& reader = *static_cast<FactsReader*>(self);
        for (int round = 0; round < 20; ++round) {
            for (std::size_t i = 0; i < reader.paths->size(); ++i) {
                EntryFacts facts;
                if (!ReadFileFacts((*reader.paths)[i], facts) ||
                    facts.sha256 != (*reader.digests)[i])
                    ++reader.mismatches;
            }
        }
        return 0;
    }
};

} // namespace

TEST(FileFacts, ThreadsReadingAtOnceEachGetTheirOwnDigests) {
    TempDir dir;
    std::vector<std::wstring> paths;
    std::vector<std::string> digests;
    for (std::size_t size :
         {std::size_t{10}, std::size_t{5000}, std::size_t{70000}, std::size_t{(1 << 20) + 3}}) {
        paths.push_back(WriteNoise(dir, L"file" + std::to_wstring(size), size));
        digests.push_back(testsupport::ReferenceSha256OfFile(paths.back()));
    }
    std::vector<FactsReader> readers(4, FactsReader{&paths, &digests});
    std::vector<UniqueHandle> threads;
    for (FactsReader& reader : readers)
        threads.emplace_back(CreateThread(nullptr, 0, FactsReader::Run, &reader, 0, nullptr));
    for (const UniqueHandle& thread : threads) {
        ASSERT_TRUE(thread.IsValid());
        WaitForSingleObject(thread.Get(), INFINITE);
    }
    for (const FactsReader& reader : readers)
        EXPECT_EQ(0, reader.mismatches);
}
