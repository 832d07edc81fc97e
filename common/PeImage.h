#pragma once
// The test of a standard PE image on the first bytes of a file.

#include <cstddef>
#include <cstdint>

struct PeHeaderCheck {
    bool isPe;
    std::uint16_t machine; // the COFF header's machine type when isPe
};

// Where the "PE\0\0" signature and headers would start, read from the DOS
// header; 0 when the bytes are too short or do not start with "MZ".
std::uint32_t PeHeaderOffset(const unsigned char* head, std::size_t headSize);

// Bytes needed from `PeHeaderOffset` on to decide.
inline constexpr std::size_t kPeHeaderBytes = 4 + 20 + 2;

// `head` holds the file's first bytes, `pe` the kPeHeaderBytes bytes at the
// header offset (or fewer when the file ends), `fileSize` the file's size.
// Standard: "MZ", e_lfanew inside the file, "PE\0\0", and an optional header
// magic of PE32 (0x10b) or PE32+ (0x20b).
PeHeaderCheck CheckPeHeaders(const unsigned char* head, std::size_t headSize,
                             const unsigned char* pe, std::size_t peSize, std::uint64_t fileSize);

// The same test when the file's first `headSize` bytes are all there is to
// go on: refused when they do not reach past the headers.
PeHeaderCheck CheckPeHead(const unsigned char* head, std::size_t headSize, std::uint64_t fileSize);
