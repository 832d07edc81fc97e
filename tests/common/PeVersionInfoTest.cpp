#include "common/PeVersionInfo.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/LittleEndian.h"
#include "tests/support/GTest.h"
#include "tests/support/PeVersionImage.h"

using testsupport::BuildVersionImage;
using testsupport::CompanyTable;
using testsupport::FindUtf16;
using testsupport::VersionImage;
using testsupport::VersionImageSpec;
using testsupport::VersionTable;

namespace {

VersionImageSpec Spec(const std::string& company = "Example Corp") {
    VersionImageSpec spec;
    spec.tables = {CompanyTable("040904b0", company)};
    return spec;
}

// What the two steps give when the reader holds only the file's first
// bytes and then the range's bytes, as a streaming reader does.
bool ReadInSteps(const std::vector<unsigned char>& file, PeVersionStrings& strings,
                 std::size_t headSize = kPeVersionHeadBytes) {
    const std::size_t head = std::min(headSize, file.size());
    const PeResourceRange range = FindPeResourceRange(file.data(), head, file.size());
    if (range.size == 0) {
        strings = PeVersionStrings();
        strings.company = "left over";
        return false;
    }
    EXPECT_LE(range.offset + range.size, file.size());
    // A copy of exactly the range: a read beyond it is caught by the
    // sanitizers of the native build.
    const std::vector<unsigned char> bytes(
        file.begin() + static_cast<std::ptrdiff_t>(range.offset),
        file.begin() + static_cast<std::ptrdiff_t>(range.offset + range.size));
    return ReadPeVersionStrings(range, bytes.data(), bytes.size(), strings);
}

void Patch16(std::vector<unsigned char>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

void Patch32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
    Patch16(bytes, at, static_cast<std::uint16_t>(value));
    Patch16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// The version block whose key is `key`: where its wLength stands.
std::size_t BlockOf(const VersionImage& image, const std::string& key) {
    const std::size_t at = FindUtf16(image.bytes, key, image.versionOffset);
    EXPECT_NE(std::string::npos, at) << key;
    return at - 6;
}

} // namespace

TEST(PeVersionInfo, StringsOfPe32AndPe32PlusImagesComeBackAsUtf8) {
    for (const bool pe32plus : {true, false}) {
        VersionImageSpec spec;
        spec.pe32plus = pe32plus;
        spec.machine = pe32plus ? 0x8664 : 0x14c;
        // Chinese, and a character outside the BMP (a surrogate pair).
        spec.tables = {CompanyTable("080404b0", "\xE7\xA4\xBA\xE4\xBE\x8B\xE5\x85\xAC\xE5\x8F\xB8 "
                                                "\xF0\x9F\x98\x80")};
        spec.translationLanguage = 0x0804;
        const VersionImage image = BuildVersionImage(spec);
        PeVersionStrings strings;
        ASSERT_TRUE(ReadInSteps(image.bytes, strings)) << pe32plus;
        EXPECT_EQ("\xE7\xA4\xBA\xE4\xBE\x8B\xE5\x85\xAC\xE5\x8F\xB8 \xF0\x9F\x98\x80",
                  strings.company);
        EXPECT_EQ("Product of \xE7\xA4\xBA\xE4\xBE\x8B\xE5\x85\xAC\xE5\x8F\xB8 \xF0\x9F\x98\x80",
                  strings.product);
        EXPECT_EQ("1.2.3.4", strings.fileVersion);
        EXPECT_EQ("tool.exe", strings.originalName);
        EXPECT_EQ(0u, strings.description.find("Described by "));

        PeVersionStrings whole;
        EXPECT_TRUE(ReadPeVersionStringsOfImage(image.bytes.data(), image.bytes.size(), whole));
        EXPECT_EQ(strings.company, whole.company);
    }
}

TEST(PeVersionInfo, RangeIsTheResourceSectionFoundFromTheHeadersAlone) {
    VersionImageSpec spec = Spec();
    spec.codeBytes = 3 << 20; // the resources start well past the first MiB
    const VersionImage image = BuildVersionImage(spec);
    const PeResourceRange range = FindPeResourceRange(image.bytes.data(), 1024, image.bytes.size());
    EXPECT_EQ(image.resourceOffset, range.offset);
    EXPECT_EQ(image.resourceRva, range.rva);
    // The section's bytes up to its virtual size, the version data among them.
    EXPECT_LE(range.size, image.bytes.size() - image.resourceOffset);
    EXPECT_GE(range.size, image.versionOffset + image.versionSize - image.resourceOffset);
    PeVersionStrings strings;
    ASSERT_TRUE(ReadInSteps(image.bytes, strings, 1024));
    EXPECT_EQ("Example Corp", strings.company);

    // A section claiming far more than the file holds is cut at the file's
    // end, and a larger file's at the cap.
    std::vector<unsigned char> claims = image.bytes;
    const std::size_t rsrcHeader = image.optionalHeader + 240 + 40;
    Patch32(claims, rsrcHeader + 8, 0x7fffffff);
    Patch32(claims, rsrcHeader + 16, 0x7fffffff);
    EXPECT_EQ(image.bytes.size() - image.resourceOffset,
              FindPeResourceRange(claims.data(), 1024, claims.size()).size);
    EXPECT_EQ(kMaxPeResourceBytes, FindPeResourceRange(claims.data(), 1024, 1ull << 32).size);
}

TEST(PeVersionInfo, FilesWithoutAVersionResourceGiveNothing) {
    const auto rangeSize = [](const std::vector<unsigned char>& file) {
        return FindPeResourceRange(file.data(), file.size(), file.size()).size;
    };
    PeVersionStrings strings;
    VersionImageSpec noResources = Spec();
    noResources.resources = false;
    const VersionImage bare = BuildVersionImage(noResources);
    EXPECT_EQ(0u, rangeSize(bare.bytes));
    EXPECT_FALSE(ReadInSteps(bare.bytes, strings));

    VersionImageSpec manifestOnly = Spec();
    manifestOnly.versionResource = false;
    const VersionImage other = BuildVersionImage(manifestOnly);
    EXPECT_NE(0u, rangeSize(other.bytes));
    EXPECT_FALSE(ReadInSteps(other.bytes, strings));
    EXPECT_TRUE(strings.company.empty());

    const std::string text = "MZ is how this text starts, but it is no image at all.........";
    const std::vector<unsigned char> notPe(text.begin(), text.end());
    EXPECT_FALSE(ReadInSteps(notPe, strings));
    EXPECT_FALSE(ReadInSteps({}, strings));
    EXPECT_FALSE(ReadPeVersionStringsOfImage(nullptr, 0, strings));

    // A version resource without string tables is found, with no strings.
    VersionImageSpec noTables = Spec();
    noTables.tables.clear();
    const VersionImage empty = BuildVersionImage(noTables);
    EXPECT_TRUE(ReadInSteps(empty.bytes, strings));
    EXPECT_EQ("", strings.company + strings.product + strings.fileVersion);
}

TEST(PeVersionInfo, TheTableTheTranslationNamesIsRead) {
    struct Case {
        const char* what;
        bool translation;
        std::uint16_t language;
        std::uint16_t codePage;
        const char* expected;
    };
    const Case cases[] = {
        {"the pair of the second table", true, 0x0804, 1200, "Second"},
        {"the pair of the third table", true, 0x0407, 1252, "Third"},
        {"a language with another code page", true, 0x0407, 1200, "Third"},
        {"a language no table has", true, 0x0411, 1200, "First"},
        {"no translation", false, 0x0804, 1200, "First"},
    };
    for (const Case& c : cases) {
        VersionImageSpec spec;
        spec.tables = {CompanyTable("040904B0", "First"), CompanyTable("080404b0", "Second"),
                       CompanyTable("040704e4", "Third")};
        spec.translation = c.translation;
        spec.translationLanguage = c.language;
        spec.translationCodePage = c.codePage;
        const VersionImage image = BuildVersionImage(spec);
        PeVersionStrings strings;
        ASSERT_TRUE(ReadInSteps(image.bytes, strings)) << c.what;
        EXPECT_EQ(c.expected, strings.company) << c.what;
        EXPECT_EQ(std::string("Product of ") + c.expected, strings.product) << c.what;
    }
}

TEST(PeVersionInfo, TheLanguageIsChosenAsThePlatformWouldForTheUser) {
    struct Case {
        const char* what;
        std::vector<std::uint16_t> languages;
        std::uint16_t preferred;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"the user's language", {0x0401, 0x0409, 0x0804}, 0x0804, 0x0804},
        {"neutral before the user's", {0x0000, 0x0401, 0x0804}, 0x0804, 0x0000},
        {"only the neutral of the neutrals", {0x0400, 0x0401, 0x0409}, 0x0411, 0x0409},
        {"US English", {0x0401, 0x0409, 0x0809}, 0x0411, 0x0409},
        {"not another of the user's primary language", {0x0401, 0x1004}, 0x0804, 0x0401},
        {"not another English", {0x0401, 0x0809}, 0, 0x0401},
        {"else the first", {0x0401, 0x0407}, 0x0411, 0x0401},
        {"the one there is", {0x0407}, 0x0804, 0x0407},
    };
    for (const Case& c : cases) {
        VersionImageSpec spec;
        const auto name = [](std::uint16_t language) { return "lang " + std::to_string(language); };
        spec.resourceLanguage = c.languages.back();
        spec.tables = {CompanyTable("040904b0", name(spec.resourceLanguage))};
        for (std::size_t i = 0; i + 1 < c.languages.size(); ++i)
            spec.moreLanguages.push_back(
                {c.languages[i], {CompanyTable("040904b0", name(c.languages[i]))}});
        const VersionImage image = BuildVersionImage(spec);
        PeVersionStrings strings;
        ASSERT_TRUE(ReadPeVersionStringsOfImage(image.bytes.data(), image.bytes.size(), strings,
                                                c.preferred))
            << c.what;
        EXPECT_EQ(name(c.expected), strings.company) << c.what;
    }
}

TEST(PeVersionInfo, MissingStringsStayEmptyAndTheFirstOfANameCounts) {
    VersionImageSpec spec;
    VersionTable table;
    table.strings = {{"Comments", "not asked for"},
                     {"FileVersion", "5.6"},
                     {"FileVersion", "7.8"},
                     {"ProductName", ""},
                     {"OriginalFilename", "a.dll"}};
    spec.tables = {table};
    PeVersionStrings strings;
    ASSERT_TRUE(ReadInSteps(BuildVersionImage(spec).bytes, strings));
    EXPECT_EQ("5.6", strings.fileVersion);
    EXPECT_EQ("a.dll", strings.originalName);
    EXPECT_EQ("", strings.company);
    EXPECT_EQ("", strings.product);
    EXPECT_EQ("", strings.description);
}

TEST(PeVersionInfo, TruncatedFilesGiveOnlyWhatTheyHold) {
    const VersionImage image = BuildVersionImage(Spec());
    const PeVersionStrings full = [&] {
        PeVersionStrings strings;
        EXPECT_TRUE(ReadInSteps(image.bytes, strings));
        return strings;
    }();
    // Cut at every even length from the headers on: whatever is read is the
    // start of what the whole file says (a cut string is cut, never
    // garbled), and the range never reaches past the end.
    for (std::size_t size = 0; size < image.bytes.size(); size += 2) {
        const std::vector<unsigned char> cut(
            image.bytes.begin(), image.bytes.begin() + static_cast<std::ptrdiff_t>(size));
        PeVersionStrings strings;
        ReadInSteps(cut, strings);
        if (strings.company == "left over")
            continue;
        EXPECT_EQ(0u, full.company.find(strings.company)) << size;
        EXPECT_EQ(0u, full.product.find(strings.product)) << size;
        EXPECT_EQ(0u, full.description.find(strings.description)) << size;
        EXPECT_EQ(0u, full.fileVersion.find(strings.fileVersion)) << size;
        EXPECT_EQ(0u, full.originalName.find(strings.originalName)) << size;
    }
    // The range's bytes given short, as when the file ended early.
    const PeResourceRange range =
        FindPeResourceRange(image.bytes.data(), image.bytes.size(), image.bytes.size());
    // Cut inside the root's key.
    const std::size_t upToVersion = image.versionOffset - image.resourceOffset + 20;
    const std::vector<unsigned char> part(
        image.bytes.begin() + static_cast<std::ptrdiff_t>(range.offset),
        image.bytes.begin() + static_cast<std::ptrdiff_t>(range.offset + upToVersion));
    PeVersionStrings strings;
    EXPECT_FALSE(ReadPeVersionStrings(range, part.data(), part.size(), strings));
    EXPECT_EQ("", strings.company);
}

TEST(PeVersionInfo, LyingHeadersAreRefused) {
    const VersionImage image = BuildVersionImage(Spec());
    const std::size_t coff = image.optionalHeader - 20;
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool wide;
    };
    const Case cases[] = {
        {"sections past the head", coff + 2, 0xffff, false},
        {"optional header too short for the directories", coff + 16, 100, false},
        {"optional header past the head", coff + 16, 0xfff0, false},
        {"too few data directories", image.optionalHeader + 108, 2, true},
        {"resource directory in no section", image.optionalHeader + 128, 0x900000, true},
        {"resource section past the file's end", image.optionalHeader + 240 + 40 + 20, 0x10000000,
         true},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = image.bytes;
        if (c.wide)
            Patch32(bytes, c.at, c.value);
        else
            Patch16(bytes, c.at, static_cast<std::uint16_t>(c.value));
        EXPECT_EQ(0u, FindPeResourceRange(bytes.data(), 4096, bytes.size()).size) << c.what;
        PeVersionStrings strings;
        EXPECT_FALSE(ReadInSteps(bytes, strings, 4096)) << c.what;
    }
}

TEST(PeVersionInfo, LyingResourceDirectoriesAreWalkedWithinBounds) {
    const VersionImage image = BuildVersionImage(Spec());
    const std::size_t rsrc = image.resourceOffset;
    const std::size_t names = rsrc + LoadLe32(&image.bytes[rsrc + 20]) - 0x80000000u;
    PeVersionStrings strings;

    // More entries than the section holds: the walk stops at its end, the
    // version entry still found first.
    std::vector<unsigned char> many = image.bytes;
    Patch16(many, rsrc + 14, 0xffff);
    EXPECT_TRUE(ReadInSteps(many, strings));
    EXPECT_EQ("Example Corp", strings.company);

    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"name directory pointing back at the root", names + 20, 0x80000000u},
        {"type entry pointing past the section", rsrc + 20, 0x8fffff00u},
        {"version data before the section", image.dataEntryOffset, 0x10},
        {"version data past the section", image.dataEntryOffset, image.resourceRva + 0x100000},
        {"data entry past the section", names + 44, 0x7ffffff0u},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = image.bytes;
        Patch32(bytes, c.at, c.value);
        EXPECT_FALSE(ReadInSteps(bytes, strings)) << c.what;
        EXPECT_EQ("", strings.company) << c.what;
    }
}

TEST(PeVersionInfo, LyingBlockLengthsNeverReadBeyondTheData) {
    const VersionImage image = BuildVersionImage(Spec());
    const std::size_t root = image.versionOffset;
    const std::size_t description = BlockOf(image, "FileDescription");
    const std::size_t stringFileInfo = BlockOf(image, "StringFileInfo");
    struct Case {
        const char* what;
        std::function<void(std::vector<unsigned char>&)> lie;
        bool found;
        PeVersionStrings expected;
    };
    PeVersionStrings all;
    ASSERT_TRUE(ReadInSteps(image.bytes, all));
    PeVersionStrings upToDescription = all;
    upToDescription.fileVersion = upToDescription.originalName = "";
    PeVersionStrings beforeDescription = upToDescription;
    beforeDescription.description = "";
    const Case cases[] = {
        {"lengths larger than the data are cut at its end",
         [&](std::vector<unsigned char>& bytes) {
             Patch16(bytes, root, 0xffff);
             Patch32(bytes, image.dataEntryOffset + 4, 0x7fffffff);
             Patch16(bytes, stringFileInfo, 0xfff0);
         },
         true, all},
        {"a string claiming the rest of its table still ends at its NUL",
         [&](std::vector<unsigned char>& bytes) { Patch16(bytes, description, 0xfff0); }, true,
         upToDescription},
        {"a length shorter than a block's header ends the walk there",
         [&](std::vector<unsigned char>& bytes) { Patch16(bytes, description, 2); }, true,
         beforeDescription},
        {"a value length sending the children past the root",
         [&](std::vector<unsigned char>& bytes) { Patch16(bytes, root + 2, 0xfff0); }, true,
         PeVersionStrings()},
        {"keys and values without their NUL, up to the data's very end",
         [&](std::vector<unsigned char>& bytes) {
             for (std::size_t at = stringFileInfo + 6; at < root + image.versionSize; at += 2)
                 Patch16(bytes, at, 'A');
         },
         true, PeVersionStrings()},
        {"a root that is no VS_VERSION_INFO",
         [&](std::vector<unsigned char>& bytes) { Patch16(bytes, root + 6, 'W'); }, false,
         PeVersionStrings()},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = image.bytes;
        c.lie(bytes);
        PeVersionStrings strings;
        EXPECT_EQ(c.found, ReadInSteps(bytes, strings)) << c.what;
        EXPECT_EQ(c.expected.company, strings.company) << c.what;
        EXPECT_EQ(c.expected.product, strings.product) << c.what;
        EXPECT_EQ(c.expected.description, strings.description) << c.what;
        EXPECT_EQ(c.expected.fileVersion, strings.fileVersion) << c.what;
        EXPECT_EQ(c.expected.originalName, strings.originalName) << c.what;
    }
}
