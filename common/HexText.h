#pragma once
// Hexadecimal digest texts (MD5, SHA-256) as users type them: either case.

#include <cstddef>
#include <string>
#include <string_view>

// True for exactly `length` hexadecimal digits (either case).
inline bool IsHexText(std::string_view text, std::size_t length) {
    if (text.size() != length)
        return false;
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return false;
    }
    return true;
}

inline constexpr std::size_t kMd5TextLength = 32;
inline constexpr std::size_t kSha256TextLength = 64;

// The text with its ASCII letters in lower or upper case (other bytes, such
// as those of UTF-8 sequences, stay as they are).
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

inline std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}
