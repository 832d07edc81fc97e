#pragma once
// MD5 texts: 32 lower-case hexadecimal digits, high nibble first.

#include <cstddef>
#include <string>
#include <string_view>

#include "common/HexText.h"

// The MD5 text of a file the component refused.
inline constexpr char ZeroDigest[] = "00000000000000000000000000000000";

// Two lower-case hex digits per byte, high nibble first, then a NUL:
// `out` holds at least 2 * size + 1 characters.
void BytesToHex(const unsigned char* bytes, std::size_t size, char* out);

// True for 32 hexadecimal digits (either case).
bool IsMd5Text(std::string_view text);
// The text in lower case (for MD5s typed by a user).
std::string LowerMd5(std::string_view text);
