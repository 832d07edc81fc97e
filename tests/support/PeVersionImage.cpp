#include "tests/support/PeVersionImage.h"

#include <algorithm>
#include <cstring>

namespace testsupport {

namespace {

constexpr std::uint32_t kHeadersSize = 0x400;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kLfanew = 0x80;
constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kRtManifest = 24;

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void Put16(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<unsigned char>(value);
    out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void Put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xffff);
    Put16(out, at + 2, value >> 16);
}

void Append16(std::vector<unsigned char>& out, std::uint32_t value) {
    out.resize(out.size() + 2);
    Put16(out, out.size() - 2, value);
}

// UTF-8 (valid) to UTF-16 code units.
std::u16string Utf16Of(const std::string& text) {
    std::u16string units;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1   ? lead
                             : length == 2 ? lead & 0x1Fu
                             : length == 3 ? lead & 0x0Fu
                                           : lead & 0x07u;
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (code >> 10));
            units += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
    }
    return units;
}

// The blocks of a version resource: each a header (wLength, wValueLength,
// wType), a key ending in NUL, the value and the children, each starting on
// a 32-bit boundary; wLength is patched when the block closes.
class VersionWriter {
public:
    std::size_t Open(const std::string& key, std::uint16_t valueLength, std::uint16_t type) {
        Align();
        const std::size_t start = m_out.size();
        Append16(m_out, 0);
        Append16(m_out, valueLength);
        Append16(m_out, type);
        for (char16_t unit : Utf16Of(key))
            Append16(m_out, unit);
        Append16(m_out, 0);
        Align();
        return start;
    }
    void Close(std::size_t start) {
        Put16(m_out, start, static_cast<std::uint32_t>(Size() - start));
    }
    void Text(const std::u16string& units) {
        for (char16_t unit : units)
            Append16(m_out, unit);
        Append16(m_out, 0);
    }
    void Word(std::uint32_t value) { Append16(m_out, value); }
    std::size_t Size() const { return m_out.size(); }
    std::vector<unsigned char>& Bytes() { return m_out; }

private:
    void Align() { m_out.resize((m_out.size() + 3) & ~std::size_t{3}); }
    std::vector<unsigned char> m_out;
};

std::vector<unsigned char> VersionData(const VersionImageSpec& spec,
                                       const std::vector<VersionTable>& tables) {
    VersionWriter out;
    const std::size_t root = out.Open("VS_VERSION_INFO", 52, 0);
    const std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004, 0x00010002,
                                     0x00030004, 0x3F,       0,          0x00040004, 1,
                                     0,          0,          0};
    for (std::uint32_t field : fixed) {
        out.Word(field & 0xffff);
        out.Word(field >> 16);
    }
    if (!tables.empty()) {
        const std::size_t info = out.Open("StringFileInfo", 0, 1);
        for (const VersionTable& table : tables) {
            const std::size_t tableStart = out.Open(table.key, 0, 1);
            for (const VersionString& entry : table.strings) {
                const std::u16string value = Utf16Of(entry.value);
                const std::size_t string =
                    out.Open(entry.key, static_cast<std::uint16_t>(value.size() + 1), 1);
                out.Text(value);
                out.Close(string);
            }
            out.Close(tableStart);
        }
        out.Close(info);
    }
    if (spec.translation) {
        const std::size_t info = out.Open("VarFileInfo", 0, 1);
        const std::size_t var = out.Open("Translation", 4, 0);
        out.Word(spec.translationLanguage);
        out.Word(spec.translationCodePage);
        out.Close(var);
        out.Close(info);
    }
    out.Close(root);
    return out.Bytes();
}

// A resource directory of ID entries at `at`.
void PutDirectory(std::vector<unsigned char>& out, std::size_t at,
                  const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries) {
    Put16(out, at + 14, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put32(out, at + 16 + 8 * i, entries[i].first);
        Put32(out, at + 20 + 8 * i, entries[i].second);
    }
}

// The resource section: a type directory, per type a name and a language
// directory, the data entries, then the data (version, manifest).
std::vector<unsigned char> ResourceSection(const VersionImageSpec& spec, std::uint32_t rva,
                                           VersionImage& image) {
    constexpr std::uint32_t kSubdirectory = 0x80000000u;
    struct Resource {
        std::uint16_t language;
        std::vector<unsigned char> data;
    };
    // By type, then language, in the order of their ids.
    std::vector<std::pair<std::uint16_t, std::vector<Resource>>> types;
    if (spec.versionResource) {
        std::vector<Resource> languages = {{spec.resourceLanguage, VersionData(spec, spec.tables)}};
        for (const VersionLanguage& more : spec.moreLanguages)
            languages.push_back({more.language, VersionData(spec, more.tables)});
        std::stable_sort(
            languages.begin(), languages.end(),
            [](const Resource& a, const Resource& b) { return a.language < b.language; });
        types.push_back({kRtVersion, languages});
    }
    const std::string manifest = "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\"/>";
    types.push_back({kRtManifest, {{spec.resourceLanguage, {manifest.begin(), manifest.end()}}}});

    std::size_t resources = 0;
    for (const auto& type : types)
        resources += type.second.size();
    const std::uint32_t count = static_cast<std::uint32_t>(types.size());
    std::uint32_t directories = 16 + 8 * count; // the name and language directories
    std::uint32_t dataEntry = directories;
    for (const auto& type : types)
        dataEntry += 24 + 16 + 8 * static_cast<std::uint32_t>(type.second.size());
    std::uint32_t dataAt = AlignUp(dataEntry + 16 * static_cast<std::uint32_t>(resources), 8);
    std::vector<unsigned char> out(dataAt);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> root;
    for (const auto& type : types) {
        const std::uint32_t names = directories;
        const std::uint32_t languages = names + 24;
        directories = languages + 16 + 8 * static_cast<std::uint32_t>(type.second.size());
        root.push_back({type.first, names | kSubdirectory});
        PutDirectory(out, names, {{1, languages | kSubdirectory}});
        std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
        for (const Resource& resource : type.second) {
            entries.push_back({resource.language, dataEntry});
            Put32(out, dataEntry, rva + dataAt);
            Put32(out, dataEntry + 4, static_cast<std::uint32_t>(resource.data.size()));
            out.resize(dataAt + resource.data.size());
            std::memcpy(&out[dataAt], resource.data.data(), resource.data.size());
            if (type.first == kRtVersion && resource.language == spec.resourceLanguage &&
                image.versionOffset == 0) {
                image.dataEntryOffset = dataEntry;
                image.versionOffset = dataAt;
                image.versionSize = resource.data.size();
            }
            dataEntry += 16;
            dataAt = AlignUp(static_cast<std::uint32_t>(out.size()), 8);
        }
        PutDirectory(out, languages, entries);
    }
    PutDirectory(out, 0, root);
    return out;
}

void PutSection(std::vector<unsigned char>& out, std::size_t at, const char* name,
                std::uint32_t virtualSize, std::uint32_t rva, std::uint32_t rawSize,
                std::uint32_t rawOffset, std::uint32_t characteristics) {
    std::memcpy(&out[at], name, std::strlen(name));
    Put32(out, at + 8, virtualSize);
    Put32(out, at + 12, rva);
    Put32(out, at + 16, rawSize);
    Put32(out, at + 20, rawOffset);
    Put32(out, at + 36, characteristics);
}

} // namespace

VersionImage BuildVersionImage(const VersionImageSpec& spec) {
    VersionImage image;
    const std::uint32_t codeRaw = AlignUp(spec.codeBytes, kFileAlignment);
    const std::uint32_t resourceRva =
        kSectionAlignment + AlignUp(spec.codeBytes, kSectionAlignment);
    const std::uint32_t resourceRaw = kHeadersSize + codeRaw;
    std::vector<unsigned char> resources;
    if (spec.resources)
        resources = ResourceSection(spec, resourceRva, image);
    const std::uint32_t resourceSize = static_cast<std::uint32_t>(resources.size());
    const std::uint32_t sections = spec.resources ? 2 : 1;

    std::vector<unsigned char>& out = image.bytes;
    out.assign(resourceRaw + AlignUp(resourceSize, kFileAlignment), 0);
    out[0] = 'M';
    out[1] = 'Z';
    Put32(out, 0x3c, kLfanew);
    std::memcpy(&out[kLfanew], "PE\0\0", 4);
    const std::size_t coff = kLfanew + 4;
    const std::uint32_t optionalSize = spec.pe32plus ? 240 : 224;
    Put16(out, coff, spec.machine);
    Put16(out, coff + 2, sections);
    Put16(out, coff + 16, optionalSize);
    Put16(out, coff + 18, spec.pe32plus ? 0x0022 : 0x0102);
    const std::size_t optional = coff + 20;
    image.optionalHeader = optional;
    Put16(out, optional, spec.pe32plus ? 0x20b : 0x10b);
    Put32(out, optional + 32, kSectionAlignment);
    Put32(out, optional + 36, kFileAlignment);
    Put16(out, optional + 40, 6); // operating system version 6.0
    Put16(out, optional + 48, 6); // subsystem version 6.0
    Put32(out, optional + 56, resourceRva + AlignUp(resourceSize, kSectionAlignment));
    Put32(out, optional + 60, kHeadersSize);
    Put16(out, optional + 68, 2); // a GUI program
    const std::size_t directories = optional + (spec.pe32plus ? 112 : 96);
    Put32(out, directories - 4, 16);
    if (spec.resources) {
        Put32(out, directories + 16, resourceRva);
        Put32(out, directories + 20, resourceSize);
    }
    const std::size_t table = optional + optionalSize;
    PutSection(out, table, ".text", spec.codeBytes, kSectionAlignment, codeRaw, kHeadersSize,
               0x60000020);
    if (spec.resources) {
        PutSection(out, table + 40, ".rsrc", resourceSize, resourceRva,
                   AlignUp(resourceSize, kFileAlignment), resourceRaw, 0x40000040);
        std::memcpy(&out[resourceRaw], resources.data(), resources.size());
        image.resourceOffset = resourceRaw;
        image.resourceRva = resourceRva;
        if (spec.versionResource) {
            image.dataEntryOffset += resourceRaw;
            image.versionOffset += resourceRaw;
        }
    }
    return image;
}

VersionTable CompanyTable(const std::string& key, const std::string& company) {
    VersionTable table;
    table.key = key;
    table.strings = {{"CompanyName", company},
                     {"ProductName", "Product of " + company},
                     {"FileDescription", "Described by " + company},
                     {"FileVersion", "1.2.3.4"},
                     {"InternalName", "inner"},
                     {"OriginalFilename", "tool.exe"}};
    return table;
}

std::size_t FindUtf16(const std::vector<unsigned char>& bytes, const std::string& key,
                      std::size_t from) {
    std::vector<unsigned char> pattern;
    for (char16_t unit : Utf16Of(key))
        Append16(pattern, unit);
    if (pattern.empty() || bytes.size() < pattern.size())
        return std::string::npos;
    for (std::size_t at = from; at + pattern.size() <= bytes.size(); ++at) {
        if (std::memcmp(&bytes[at], pattern.data(), pattern.size()) == 0)
            return at;
    }
    return std::string::npos;
}

} // namespace testsupport
