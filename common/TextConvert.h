#pragma once
// Conversions between UTF-16 (everything shown or used as a path), UTF-8
// (XML documents, the database engine's file names) and the system's narrow
// code page (paths stored in the user-list database).

#include <string>
#include <string_view>

#include <windows.h>

#include "common/WideString.h"

std::string WideToUtf8(WStringView text);
WString Utf8ToWide(std::string_view text);

// Converts to the given code page. When `lossy` is given it is set to true if
// some character had no exact form in that code page (the converter had to
// use its default character).
std::string WideToCodePage(WStringView text, UINT codePage, bool* lossy = nullptr);
WString CodePageToWide(std::string_view text, UINT codePage);

inline std::string WideToAnsi(WStringView text, bool* lossy = nullptr) {
    return WideToCodePage(text, CP_ACP, lossy);
}
inline WString AnsiToWide(std::string_view text) { return CodePageToWide(text, CP_ACP); }
