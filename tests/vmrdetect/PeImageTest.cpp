#include "common/PeImage.h"

#include <cstring>
#include <vector>

#include "tests/support/GTest.h"

namespace {

// A minimal image: DOS header, e_lfanew, "PE\0\0", COFF header, magic.
std::vector<unsigned char> Image(std::uint32_t lfanew, std::uint16_t magic,
                                 std::size_t size = 512) {
    std::vector<unsigned char> bytes(size, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    std::memcpy(&bytes[0x3c], &lfanew, 4);
    if (static_cast<std::uint64_t>(lfanew) + 26 <= size) {
        std::memcpy(&bytes[lfanew], "PE\0\0", 4);
        bytes[lfanew + 4] = 0x64; // machine 0x8664
        bytes[lfanew + 5] = 0x86;
        std::memcpy(&bytes[lfanew + 24], &magic, 2);
    }
    return bytes;
}

PeHeaderCheck Check(const std::vector<unsigned char>& bytes) {
    const std::uint32_t offset = PeHeaderOffset(bytes.data(), bytes.size());
    const bool inside = offset != 0 && offset + kPeHeaderBytes <= bytes.size();
    return CheckPeHeaders(bytes.data(), bytes.size(), inside ? bytes.data() + offset : nullptr,
                          inside ? kPeHeaderBytes : 0, bytes.size());
}

} // namespace

TEST(PeImage, StandardImagesOfBothKindsAreAccepted) {
    const PeHeaderCheck pe32plus = Check(Image(0x80, 0x20b));
    EXPECT_TRUE(pe32plus.isPe);
    EXPECT_EQ(0x8664, pe32plus.machine);
    EXPECT_TRUE(Check(Image(0x40, 0x10b)).isPe);
}

TEST(PeImage, EverythingElseIsRefused) {
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<unsigned char> shortHeader = Image(0x80, 0x20b);
    shortHeader.resize(63);
    std::vector<Case> cases = {
        {"empty", {}},
        {"shorter than a DOS header", shortHeader},
        {"no MZ", Image(0x80, 0x20b)},
        {"e_lfanew inside the DOS header", Image(0x20, 0x20b)},
        {"e_lfanew beyond the end", Image(0x1000, 0x20b)},
        {"e_lfanew huge", Image(0xfffffff0u, 0x20b)},
        {"headers cut by the end", Image(500, 0x20b)},
        {"unknown magic", Image(0x80, 0x107)},
        {"no PE signature", Image(0x80, 0x20b)},
    };
    cases[2].bytes[0] = 'Z';
    cases[8].bytes[0x81] = 'X';
    for (const Case& c : cases)
        EXPECT_FALSE(Check(c.bytes).isPe) << c.what;
}
