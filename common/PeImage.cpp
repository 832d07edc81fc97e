#include "common/PeImage.h"

#include "common/LittleEndian.h"

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kLfanewOffset = 0x3c;

} // namespace

std::uint32_t PeHeaderOffset(const unsigned char* head, std::size_t headSize) {
    if (headSize < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z')
        return 0;
    return LoadLe32(head + kLfanewOffset);
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
    const std::uint16_t magic = LoadLe16(pe + 24);
    if (magic != 0x10b && magic != 0x20b)
        return refused;
    return PeHeaderCheck{true, LoadLe16(pe + 4)};
}

PeHeaderCheck CheckPeHead(const unsigned char* head, std::size_t headSize, std::uint64_t fileSize) {
    const std::uint32_t offset = PeHeaderOffset(head, headSize);
    if (offset == 0 || offset > headSize || headSize - offset < kPeHeaderBytes)
        return PeHeaderCheck{false, 0};
    return CheckPeHeaders(head, headSize, head + offset, kPeHeaderBytes, fileSize);
}
