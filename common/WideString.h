#pragma once
// The project's wide string type.
//
// Winelib compiles with 16-bit wchar_t while the C and C++ libraries of the
// host are built for a 32-bit one, so std::char_traits<wchar_t> (which calls
// the C library's wmem* functions) cannot be used there. WideCharTraits does
// the same work in plain loops. A native Windows build uses the standard
// traits, so WString is the usual standard wide string there.

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <ios>
#include <string>
#include <string_view>

#if defined(_WIN32) && !defined(_MSC_VER) && !defined(__MINGW32__)
#define UW_OWN_WIDE_TRAITS 1
#endif

#ifdef UW_OWN_WIDE_TRAITS

struct WideCharTraits {
    using char_type = wchar_t;
    using int_type = int;
    using off_type = std::streamoff;
    using pos_type = std::streampos;
    using state_type = std::mbstate_t;

    static constexpr void assign(char_type& to, const char_type& from) noexcept { to = from; }
    static constexpr bool eq(char_type a, char_type b) noexcept { return a == b; }
    static constexpr bool lt(char_type a, char_type b) noexcept { return a < b; }

    static constexpr int compare(const char_type* a, const char_type* b, std::size_t n) noexcept {
        for (std::size_t i = 0; i < n; ++i) {
            if (a[i] != b[i])
                return a[i] < b[i] ? -1 : 1;
        }
        return 0;
    }
    static constexpr std::size_t length(const char_type* s) noexcept {
        std::size_t n = 0;
        while (s[n] != 0)
            ++n;
        return n;
    }
    static constexpr const char_type* find(const char_type* s, std::size_t n,
                                           const char_type& c) noexcept {
        for (std::size_t i = 0; i < n; ++i) {
            if (s[i] == c)
                return s + i;
        }
        return nullptr;
    }
    static char_type* move(char_type* to, const char_type* from, std::size_t n) noexcept {
        if (n != 0)
            std::memmove(to, from, n * sizeof(char_type));
        return to;
    }
    static char_type* copy(char_type* to, const char_type* from, std::size_t n) noexcept {
        if (n != 0)
            std::memcpy(to, from, n * sizeof(char_type));
        return to;
    }
    static constexpr char_type* assign(char_type* s, std::size_t n, char_type c) noexcept {
        for (std::size_t i = 0; i < n; ++i)
            s[i] = c;
        return s;
    }
    static constexpr int_type eof() noexcept { return -1; }
    static constexpr int_type not_eof(int_type c) noexcept { return c == eof() ? 0 : c; }
    static constexpr char_type to_char_type(int_type c) noexcept {
        return static_cast<char_type>(c);
    }
    static constexpr int_type to_int_type(char_type c) noexcept {
        return static_cast<int_type>(static_cast<unsigned short>(c));
    }
    static constexpr bool eq_int_type(int_type a, int_type b) noexcept { return a == b; }
};

using WString = std::basic_string<wchar_t, WideCharTraits>;
using WStringView = std::basic_string_view<wchar_t, WideCharTraits>;

#else

using WString = std::basic_string<wchar_t>;
using WStringView = std::basic_string_view<wchar_t>;

#endif
