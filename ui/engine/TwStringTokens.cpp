#include "ui/engine/TwStringTokens.h"

#include "ui/engine/TwStyleTables.h"

namespace {

// An optional sign and decimal digits at `at`; `end` receives where they stop.
int ReadNumber(const std::wstring& text, std::size_t at, std::size_t& end) {
    std::size_t i = at;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value < 0x7fffffff)
            value = value * 10 + (text[i] - L'0');
    }
    end = i;
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::wstring SubstituteStringTokens(std::wstring text,
                                    const std::function<const wchar_t*(int id)>& lookup) {
    static const std::wstring kToken = L"%str";
    std::size_t position = 0;
    for (;;) {
        const std::size_t start = text.find(kToken, position);
        if (start == std::wstring::npos)
            break;
        std::size_t afterNumber = 0;
        const int id = ReadNumber(text, start + kToken.size(), afterNumber);
        if (id <= 0)
            break;
        const std::size_t close = text.find(L'%', afterNumber);
        if (close == std::wstring::npos)
            break;
        const wchar_t* replacement = lookup(id);
        const std::wstring inserted = replacement ? std::wstring(replacement) : std::wstring();
        text.replace(start, close - start + 1, inserted);
        // Go on after what was inserted, so that a shorter or longer string
        // neither skips the next token nor is searched itself.
        position = start + inserted.size();
    }
    return text;
}

std::wstring SubstituteStringTokens(std::wstring text) {
    return SubstituteStringTokens(std::move(text), [](int id) { return GetString(id); });
}
