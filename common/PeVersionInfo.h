#pragma once
// The strings of a PE image's version resource (what Explorer's Details tab
// shows), read off the file's bytes in two steps so that a reader streaming
// the file holds no more than its first bytes and its resource section: the
// headers tell where the resource section lies in the file, and that range's
// bytes give the strings. Every offset and length the file states is
// distrusted: nothing is read outside the bytes given, and every walk is
// bounded.

#include <cstddef>
#include <cstdint>
#include <string>

// The most of the file's first bytes that FindPeResourceRange looks at:
// enough for the headers and section table of any ordinary image.
inline constexpr std::size_t kPeVersionHeadBytes = 64 * 1024;
// The most bytes of a resource section that are read; a larger section is
// read up to this size (linkers put the resource directory, and the version
// resource with it, ahead of bulky data such as icons).
inline constexpr std::uint32_t kMaxPeResourceBytes = 16 * 1024 * 1024;

// Where the resource section lies in the file.
struct PeResourceRange {
    std::uint64_t offset = 0; // file offset of the resource directory
    std::uint32_t size = 0;   // bytes from `offset` on that the file holds; 0: none
    std::uint32_t rva = 0;    // the directory's relative virtual address
};

// The range of the resource section of the file whose first `headSize`
// bytes are `head`, its size `fileSize`. `size` is 0 when the file is not a
// standard PE image (common/PeImage.h), has no resource directory, when the
// headers or the section table lie beyond the head, or the directory lies
// in no section or past the file's end. The range never reaches beyond
// `fileSize`, nor beyond kMaxPeResourceBytes.
PeResourceRange FindPeResourceRange(const unsigned char* head, std::size_t headSize,
                                    std::uint64_t fileSize);

// UTF-8 texts; empty where the file gives none.
struct PeVersionStrings {
    std::string company;      // CompanyName
    std::string product;      // ProductName
    std::string description;  // FileDescription
    std::string fileVersion;  // FileVersion
    std::string originalName; // OriginalFilename
};

// Reads the strings of the version resource from the resource section
// `range` names: `bytes` holds `size` bytes from range.offset on (fewer than
// range.size when the file ended early). The resource is type 16's first
// name, in the language the platform's lookup gives a user of
// `preferredLanguage` (a LANGID; 0 for none): the neutral one, else that
// language, else US English, else the first. Its
// string table is the one the translation names, else one of the
// translation's language, else the first. True when a version resource was
// found (its strings may still be empty); `strings` is emptied first.
// Resource data lying outside the range is not read.
bool ReadPeVersionStrings(const PeResourceRange& range, const unsigned char* bytes,
                          std::size_t size, PeVersionStrings& strings,
                          std::uint16_t preferredLanguage = 0);

// Both steps over a whole image held in memory.
bool ReadPeVersionStringsOfImage(const unsigned char* image, std::size_t size,
                                 PeVersionStrings& strings, std::uint16_t preferredLanguage = 0);
