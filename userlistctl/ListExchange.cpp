#include "userlistctl/ListExchange.h"

#include <cstdio>

namespace {

// Days since 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's
// civil_from_days).
void CivilFromDays(long long days, long long& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string HexByte(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", byte);
    return text;
}

// The length of the UTF-8 sequence at `at`, or 0 when it is not one
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length;
    unsigned minimum;
    unsigned code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string IsoUtcTime(long long seconds) {
    constexpr long long kSecondsPerDay = 86400;
    long long days = seconds / kSecondsPerDay;
    long long rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    long long year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", year, month, day,
                  rest / 3600, rest / 60 % 60, rest % 60);
    return text;
}

std::string IsoUtcTime(std::string_view storeTime) {
    std::size_t at = 0;
    const bool negative = !storeTime.empty() && storeTime[0] == '-';
    if (negative)
        ++at;
    // Up to 15 digits: past 30 million years the calendar arithmetic is not wanted.
    if (at == storeTime.size() || storeTime.size() - at > 15)
        return std::string();
    long long seconds = 0;
    for (; at < storeTime.size(); ++at) {
        const char c = storeTime[at];
        if (c < '0' || c > '9')
            return std::string();
        seconds = seconds * 10 + (c - '0');
    }
    return IsoUtcTime(negative ? -seconds : seconds);
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

const char* CsvActionOf(ListKind list) {
    return list == ListKind::Trusted ? "Allowed" : "Block";
}

std::optional<ListKind> ListOfCsvAction(std::string_view action) {
    for (const char* allow : {"Allowed", "Allow"}) {
        if (EqualsNoCase(action, allow))
            return ListKind::Trusted;
    }
    for (const char* block : {"Block", "BlockAndRemediate", "AlertAndBlock"}) {
        if (EqualsNoCase(action, block))
            return ListKind::Black;
    }
    return std::nullopt;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::string_view();
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string LineTextProblem(std::string_view line) {
    for (std::size_t at = 0; at < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (c == 0)
            return "a NUL byte at column " + std::to_string(at + 1) + " (a binary file?)";
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return "control byte " + HexByte(c) + " at column " + std::to_string(at + 1) +
                   " (a binary file?)";
        if (c < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(line, at);
        if (length == 0)
            return "byte " + HexByte(c) + " at column " + std::to_string(at + 1) + " is not UTF-8";
        at += length;
    }
    return std::string();
}
