#include "common/PeImage.h"

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kLfanewOffset = 0x3c;

std::uint16_t Read16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Read32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

std::uint32_t PeHeaderOffset(const unsigned char* head, std::size_t headSize) {
    if (headSize < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z')
        return 0;
    return Read32(head + kLfanewOffset);
}

PeHeaderCheck CheckPeHeaders(const unsigned char* head, std::size_t headSize,
                             const unsigned char* pe, std::size_t peSize, std::uint64_t fileSize) {
    const PeHeaderCheck refused = {false, 0};
    const std::uint32_t offset = PeHeaderOffset(head, headSize);
    if (offset < kDosHeaderSize || offset + static_cast<std::uint64_t>(kPeHeaderBytes) > fileSize)
        return refused;
    if (peSize < kPeHeaderBytes)
        return refused;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
        return refused;
    const std::uint16_t magic = Read16(pe + 24);
    if (magic != 0x10b && magic != 0x20b)
        return refused;
    return PeHeaderCheck{true, Read16(pe + 4)};
}
