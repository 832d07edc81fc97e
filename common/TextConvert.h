#pragma once
// Conversions between UTF-16 (everything shown or used as a path), UTF-8
// (XML documents, the database engine's file names) and the system's narrow
// code page (paths stored in the user-list database).

#include <string>
#include <string_view>

#include <windows.h>

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// Converts to the given code page. When `lossy` is given it is set to true if
// some character had no exact form in that code page (the converter had to
// use its default character).
std::string WideToCodePage(std::wstring_view text, UINT codePage, bool* lossy = nullptr);
std::wstring CodePageToWide(std::string_view text, UINT codePage);

inline std::string WideToAnsi(std::wstring_view text, bool* lossy = nullptr) {
    return WideToCodePage(text, CP_ACP, lossy);
}
inline std::wstring AnsiToWide(std::string_view text) {
    return CodePageToWide(text, CP_ACP);
}
