#include "intake/Digest.h"

#include "common/HexText.h"

void BytesToHex(const unsigned char* bytes, std::size_t size, char* out) {
    static const char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < size; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0f];
    }
    out[2 * size] = '\0';
}

bool IsMd5Text(std::string_view text) {
    return IsHexText(text, kMd5TextLength);
}

std::string LowerMd5(std::string_view text) {
    return AsciiLower(text);
}
