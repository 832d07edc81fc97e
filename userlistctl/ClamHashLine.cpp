#include "userlistctl/ClamHashLine.h"

#include <vector>

#include "intake/Digest.h"

namespace {

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::vector<std::string_view> SplitColons(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = line.find(':', start);
        fields.push_back(line.substr(start, colon - start));
        if (colon == std::string_view::npos)
            return fields;
        start = colon + 1;
    }
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::string ClamNameText(std::string_view fileNameUtf8) {
    std::string name;
    for (std::size_t i = 0; i < fileNameUtf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(fileNameUtf8[i]);
        if (c >= 0x80) {
            // One "_" for the whole character: skip its continuation bytes.
            while (i + 1 < fileNameUtf8.size() &&
                   (static_cast<unsigned char>(fileNameUtf8[i + 1]) & 0xC0) == 0x80)
                ++i;
            name += '_';
        } else if (c < 0x20 || c == 0x7F || c == ':') {
            name += '_';
        } else {
            name += static_cast<char>(c);
        }
    }
    return name.empty() ? std::string("_") : name;
}

std::string ClamSignatureName(ListKind list, std::string_view fileNameUtf8) {
    return (list == ListKind::Trusted ? kClamTrustedPrefix : kClamBlackPrefix) +
           ClamNameText(fileNameUtf8);
}

std::string ClamHashLine(std::string_view md5, std::optional<std::uint64_t> size,
                         std::string_view name) {
    std::string line(md5);
    line += ':';
    line += size ? std::to_string(*size) : std::string("*");
    line += ':';
    line += name;
    if (!size)
        line += ":73";
    line += '\n';
    return line;
}

bool ParseClamHashLine(std::string_view line, ClamHashSignature& signature) {
    const std::vector<std::string_view> fields = SplitColons(line);
    if (fields.size() < 3 || fields.size() > 5)
        return false;
    if (!IsMd5Text(fields[0]))
        return false;
    if (fields[1] != "*" && (fields[1].empty() || !AllDigits(fields[1])))
        return false;
    if (fields[2].empty())
        return false;
    for (std::size_t i = 3; i < fields.size(); ++i) {
        if (!AllDigits(fields[i]))
            return false;
    }
    signature.md5.assign(fields[0]);
    signature.name.assign(fields[2]);
    return true;
}

std::optional<ListKind> ListOfClamName(std::string_view name) {
    if (StartsWith(name, kClamTrustedPrefix))
        return ListKind::Trusted;
    if (StartsWith(name, kClamBlackPrefix))
        return ListKind::Black;
    return std::nullopt;
}
