#pragma once
// Small PE images with a version resource of chosen strings, written the
// way a resource compiler and a linker lay them out: DOS header, PE32 or
// PE32+ headers, a code section, then a resource section holding a
// manifest and the version resource (VS_VERSIONINFO, StringFileInfo with
// its tables, VarFileInfo with a translation). Portable: the native tests
// and the fuzz harness build them too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct VersionString {
    std::string key;   // "CompanyName", ... (ASCII)
    std::string value; // UTF-8
};

struct VersionTable {
    std::string key = "040904b0"; // language and code page, 8 hex digits
    std::vector<VersionString> strings;
};

// The version resource in one more language, with tables of its own.
struct VersionLanguage {
    std::uint16_t language = 0;
    std::vector<VersionTable> tables;
};

struct VersionImageSpec {
    bool pe32plus = true;
    std::uint16_t machine = 0x8664;
    bool resources = true;       // a resource section and its data directory
    bool versionResource = true; // RT_VERSION among the resource types
    std::uint16_t resourceLanguage = 0x0409;
    std::vector<VersionTable> tables = {VersionTable()};
    std::vector<VersionLanguage> moreLanguages; // listed by language, as linkers sort them
    bool translation = true;                    // VarFileInfo with a Translation
    std::uint16_t translationLanguage = 0x0409;
    std::uint16_t translationCodePage = 1200;
    std::uint32_t codeBytes = 0x200; // the code section's size, before the resources
};

struct VersionImage {
    std::vector<unsigned char> bytes;
    std::size_t optionalHeader = 0; // file offset of the optional header
    std::size_t resourceOffset = 0; // file offset of the resource section (0: none)
    std::uint32_t resourceRva = 0;  // its relative virtual address
    // The version's IMAGE_RESOURCE_DATA_ENTRY and VS_VERSIONINFO in
    // resourceLanguage (0: none).
    std::size_t dataEntryOffset = 0;
    std::size_t versionOffset = 0;
    std::size_t versionSize = 0;
};

VersionImage BuildVersionImage(const VersionImageSpec& spec);

// A table with the strings the store keeps, and one it does not, told apart
// by `company`: CompanyName `company`, ProductName "Product of <company>",
// FileDescription "Described by <company>", FileVersion "1.2.3.4",
// InternalName "inner", OriginalFilename "tool.exe".
VersionTable CompanyTable(const std::string& key, const std::string& company);

// The first file offset at or after `from` where `key` stands as UTF-16LE;
// npos when nowhere.
std::size_t FindUtf16(const std::vector<unsigned char>& bytes, const std::string& key,
                      std::size_t from = 0);

} // namespace testsupport
