// The PE image test on any file start: the decision agrees with the
// definition read straight off the bytes (MZ, e_lfanew inside the file,
// PE\0\0, the optional header magic of PE32 or PE32+).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "common/PeImage.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::uint32_t Little32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The definition over the whole file.
bool StandardPe(const std::vector<unsigned char>& file, std::uint16_t& machine) {
    if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z')
        return false;
    const std::uint64_t at = Little32(&file[60]);
    if (at < 64 || at + kPeHeaderBytes > file.size())
        return false;
    const unsigned char* pe = &file[at];
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
        return false;
    const unsigned magic = pe[24] | (static_cast<unsigned>(pe[25]) << 8);
    machine = static_cast<std::uint16_t>(pe[4] | (pe[5] << 8));
    return magic == 0x10b || magic == 0x20b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    // The component reads a small head first, then the bytes at the offset.
    const std::size_t headSize = file.size() < 64 ? file.size() : 64;
    const std::uint32_t offset = PeHeaderOffset(file.data(), headSize);
    const unsigned char* pe = nullptr;
    std::size_t peSize = 0;
    if (offset != 0 && offset < file.size()) {
        pe = file.data() + offset;
        peSize = file.size() - offset < kPeHeaderBytes ? file.size() - offset : kPeHeaderBytes;
    }
    const PeHeaderCheck check = CheckPeHeaders(file.data(), headSize, pe, peSize, file.size());
    std::uint16_t machine = 0;
    const bool expected = StandardPe(file, machine);
    FUZZ_CHECK(check.isPe == expected);
    if (expected)
        FUZZ_CHECK(check.machine == machine);
    return 0;
}
