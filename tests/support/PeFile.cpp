#include "tests/support/PeFile.h"

#include <cstdint>
#include <cstring>

#include "tests/support/TempDir.h"

namespace testsupport {

std::string WritePeFile(const std::wstring& path, const std::string& payload) {
    std::string bytes(0x200, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    const std::uint32_t lfanew = 0x80;
    std::memcpy(&bytes[0x3c], &lfanew, 4);
    std::memcpy(&bytes[lfanew], "PE\0\0", 4);
    bytes[lfanew + 4] = 0x64;
    bytes[lfanew + 5] = static_cast<char>(0x86);
    bytes[lfanew + 24] = 0x0b;
    bytes[lfanew + 25] = 0x02;
    bytes += payload;
    WriteFileBytes(path, bytes.data(), static_cast<unsigned>(bytes.size()));
    return bytes;
}

} // namespace testsupport
