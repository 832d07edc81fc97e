#include "common/PeMachine.h"

#include <cstdio>

#include <windows.h>

#include "common/Handles.h"
#include "common/PeImage.h"

std::uint16_t ReadPeMachine(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    unsigned char head[4096];
    DWORD got = 0;
    if (!ReadFile(file.Get(), head, sizeof head, &got, nullptr))
        return 0;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.Get(), &size);
    const PeHeaderCheck check = CheckPeHead(head, got, static_cast<std::uint64_t>(size.QuadPart));
    return check.isPe ? check.machine : 0;
}

std::uint16_t OwnPeMachine() {
#if defined(_M_X64) || defined(__x86_64__)
    return IMAGE_FILE_MACHINE_AMD64;
#elif defined(_M_ARM64) || defined(__aarch64__)
    return IMAGE_FILE_MACHINE_ARM64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}

int PeMachineBits(std::uint16_t machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
    case IMAGE_FILE_MACHINE_ARMNT:
        return 32;
    case IMAGE_FILE_MACHINE_AMD64:
    case IMAGE_FILE_MACHINE_ARM64:
        return 64;
    default:
        return 0;
    }
}

std::string PeMachineName(std::uint16_t machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "x86";
    case IMAGE_FILE_MACHINE_AMD64:
        return "x64";
    case IMAGE_FILE_MACHINE_ARM64:
        return "ARM64";
    case IMAGE_FILE_MACHINE_ARMNT:
        return "ARM";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04x", machine);
        return text;
    }
    }
}
