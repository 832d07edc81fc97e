#include "common/TextConvert.h"

#include <climits>

namespace {

int ClampLength(std::size_t size) {
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

} // namespace

std::string WideToCodePage(std::wstring_view text, UINT codePage, bool* lossy) {
    if (lossy)
        *lossy = false;
    if (text.empty())
        return std::string();
    const int length = ClampLength(text.size());
    // UTF-7 and UTF-8 take no default character and report no loss this way.
    const bool canReportLoss = codePage != CP_UTF8 && codePage != CP_UTF7;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = (lossy && canReportLoss) ? &usedDefault : nullptr;
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (needed <= 0)
        return std::string();
    std::string result(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, &result[0], needed, nullptr,
                        usedDefaultOut);
    if (lossy && canReportLoss)
        *lossy = usedDefault != FALSE;
    return result;
}

std::wstring CodePageToWide(std::string_view text, UINT codePage) {
    if (text.empty())
        return std::wstring();
    const int length = ClampLength(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, &result[0], needed);
    return result;
}

std::string WideToUtf8(std::wstring_view text) {
    return WideToCodePage(text, CP_UTF8);
}

std::wstring Utf8ToWide(std::string_view text) {
    return CodePageToWide(text, CP_UTF8);
}
