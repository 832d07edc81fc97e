#include "common/PeVersionInfo.h"

#include <algorithm>
#include <string_view>

#include "common/LittleEndian.h"
#include "common/PeImage.h"
#include "common/Utf8Append.h"

namespace {

constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kResourceDirectorySize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
// Entries looked at in one resource directory, blocks under one version
// block: far more than any real image has, few enough to bound the work on
// a forged one.
constexpr std::size_t kMaxDirectoryEntries = 4096;
constexpr std::size_t kMaxChildBlocks = 1024;
// A version block's header: wLength, wValueLength, wType.
constexpr std::size_t kBlockHeaderSize = 6;
constexpr std::uint16_t kTextValue = 1;

// Bytes whose every read is checked against their size first.
class Bytes {
public:
    Bytes(const unsigned char* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}

    std::size_t Size() const { return m_size; }
    const unsigned char* At(std::size_t at) const { return m_data + at; }
    bool Has(std::uint64_t at, std::uint64_t count) const {
        return at <= m_size && count <= m_size - at;
    }
    // The integer at `at`; 0 when it is not all inside.
    std::uint16_t U16(std::size_t at) const { return Has(at, 2) ? LoadLe16(m_data + at) : 0; }
    std::uint32_t U32(std::size_t at) const { return Has(at, 4) ? LoadLe32(m_data + at) : 0; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
};

// ---- The headers.

// The resource directory's RVA and the file range of the section holding it.
PeResourceRange RangeInSections(const Bytes& head, std::size_t table, std::size_t sections,
                                std::uint32_t rva, std::uint64_t fileSize) {
    for (std::size_t i = 0; i < sections; ++i) {
        const std::size_t at = table + i * kSectionHeaderSize;
        const std::uint32_t virtualSize = head.U32(at + 8);
        const std::uint32_t address = head.U32(at + 12);
        const std::uint32_t rawSize = head.U32(at + 16);
        const std::uint32_t rawOffset = head.U32(at + 20);
        // A section without a virtual size spans its raw data.
        const std::uint32_t span = virtualSize != 0 ? virtualSize : rawSize;
        if (rva < address || rva - address >= span)
            continue;
        const std::uint32_t into = rva - address;
        const std::uint32_t backed = std::min(span, rawSize);
        const std::uint64_t offset = static_cast<std::uint64_t>(rawOffset) + into;
        if (into >= backed || offset >= fileSize)
            return {};
        const std::uint64_t size = std::min<std::uint64_t>(
            {backed - into, fileSize - offset, std::uint64_t{kMaxPeResourceBytes}});
        return {offset, static_cast<std::uint32_t>(size), rva};
    }
    return {};
}

// ---- The resource directory.

// Calls `visit(id, target, isDirectory)` on the entries of the directory at
// `at` until it returns false or the entries or the section end.
template <typename Visit> void ForEachEntry(const Bytes& section, std::size_t at, Visit visit) {
    if (!section.Has(at, kResourceDirectorySize))
        return;
    const std::size_t count = std::min<std::size_t>(
        std::size_t{section.U16(at + 12)} + section.U16(at + 14), kMaxDirectoryEntries);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = at + kResourceDirectorySize + i * kResourceEntrySize;
        if (!section.Has(entry, kResourceEntrySize))
            return;
        // A named entry has the high bit of its name set: no id matches it.
        const std::uint32_t offset = section.U32(entry + 4);
        if (!visit(section.U32(entry), std::size_t{offset & ~kHighBit}, (offset & kHighBit) != 0))
            return;
    }
}

// The subdirectory of the first entry whose id is `id` (any entry when
// `anyId`); false when there is none.
bool FindDirectory(const Bytes& section, std::size_t at, bool anyId, std::uint32_t id,
                   std::size_t& target) {
    bool found = false;
    ForEachEntry(section, at, [&](std::uint32_t name, std::size_t offset, bool directory) {
        if (directory && (anyId || name == id)) {
            target = offset;
            found = true;
        }
        return !found;
    });
    return found;
}

// The data entry of the language the platform's resource lookup takes for
// a user whose interface language is `preferred` (0: none preferred): the
// neutral one, else the user's, else US English, else the first.
bool ChooseLanguage(const Bytes& section, std::size_t at, std::uint16_t preferred,
                    std::size_t& target) {
    constexpr std::uint32_t kUsEnglish = 0x0409;
    int best = 0;
    ForEachEntry(section, at, [&](std::uint32_t language, std::size_t offset, bool directory) {
        if (directory)
            return true;
        const int score = language == 0                             ? 4
                          : preferred != 0 && language == preferred ? 3
                          : language == kUsEnglish                  ? 2
                                                                    : 1;
        if (score > best) {
            best = score;
            target = offset;
        }
        return best < 4;
    });
    return best > 0;
}

// ---- The version resource: VS_VERSIONINFO and the blocks under it.

std::size_t Align4(std::size_t at) {
    return (at + 3) & ~std::size_t{3};
}

// One block: wLength, wValueLength, wType, a UTF-16 key ending in NUL, the
// value and the children, each starting on a 32-bit boundary of the
// resource data.
struct Block {
    std::size_t end = 0;      // one past the block's last byte
    std::size_t key = 0;      // the key's first unit
    std::size_t keyUnits = 0; // units before the key's NUL
    std::size_t value = 0;    // the value's first byte
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;

    // The value's bytes: wValueLength counts characters in a text value.
    std::size_t ValueBytes() const {
        return type == kTextValue ? std::size_t{valueLength} * 2 : valueLength;
    }
    std::size_t FirstChild() const { return Align4(value + ValueBytes()); }
};

// The block at `at`, cut at `limit` (its parent's end) when it claims more.
// False when there is no block: too few bytes, a length shorter than the
// header, or no NUL ending the key.
bool ReadBlock(const Bytes& data, std::size_t at, std::size_t limit, Block& block) {
    limit = std::min(limit, data.Size());
    if (at >= limit || limit - at < kBlockHeaderSize)
        return false;
    const std::size_t length = data.U16(at);
    if (length < kBlockHeaderSize)
        return false;
    block.end = std::min(at + length, limit);
    block.valueLength = data.U16(at + 2);
    block.type = data.U16(at + 4);
    block.key = at + kBlockHeaderSize;
    std::size_t unit = block.key;
    while (unit + 2 <= block.end && data.U16(unit) != 0)
        unit += 2;
    if (unit + 2 > block.end)
        return false;
    block.keyUnits = (unit - block.key) / 2;
    block.value = Align4(unit + 2);
    return true;
}

char LowerAscii(std::uint16_t unit) {
    return static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit - 'A' + 'a' : unit);
}

// Whether the block's key is `name` (ASCII), exactly or ignoring case.
bool KeyIs(const Bytes& data, const Block& block, std::string_view name, bool ignoreCase) {
    if (block.keyUnits != name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint16_t unit = data.U16(block.key + 2 * i);
        if (unit > 0x7f)
            return false;
        const char c = static_cast<char>(unit);
        if (ignoreCase ? LowerAscii(unit) != LowerAscii(static_cast<unsigned char>(name[i]))
                       : c != name[i])
            return false;
    }
    return true;
}

// Calls `visit` on each child of `parent` whose children start at `first`,
// until it returns false, a child is malformed or the parent ends.
template <typename Visit>
void ForEachChild(const Bytes& data, const Block& parent, std::size_t first, Visit visit) {
    std::size_t at = Align4(first);
    for (std::size_t n = 0; n < kMaxChildBlocks && at < parent.end; ++n) {
        Block child;
        if (!ReadBlock(data, at, parent.end, child) || !visit(child))
            return;
        // The end is at least a header past `at`: the walk moves on.
        at = Align4(child.end);
    }
}

// The UTF-16LE text from `at` up to its NUL or `end`, in UTF-8; a lone
// surrogate becomes U+FFFD.
std::string TextAt(const Bytes& data, std::size_t at, std::size_t end) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    std::string text;
    end = std::min(end, data.Size());
    while (at + 2 <= end) {
        const std::uint32_t unit = data.U16(at);
        at += 2;
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 2 <= end) {
            const std::uint32_t low = data.U16(at);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                at += 2;
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        AppendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return text;
}

int HexDigit(std::uint16_t unit) {
    if (unit >= '0' && unit <= '9')
        return unit - '0';
    const char c = LowerAscii(unit);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A string table's key: the language and the code page as 8 hex digits
// ("080404b0"). False for any other key.
bool TableLanguage(const Bytes& data, const Block& table, std::uint32_t& languageAndPage) {
    if (table.keyUnits != 8)
        return false;
    languageAndPage = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const int digit = HexDigit(data.U16(table.key + 2 * i));
        if (digit < 0)
            return false;
        languageAndPage = (languageAndPage << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

// The first translation of VarFileInfo: language in the high half, code
// page in the low half, as a string table's key spells them.
bool ReadTranslation(const Bytes& data, const Block& varFileInfo, std::uint32_t& translation) {
    bool found = false;
    ForEachChild(data, varFileInfo, varFileInfo.FirstChild(), [&](const Block& var) {
        if (!KeyIs(data, var, "Translation", true))
            return true;
        if (var.value + 4 <= var.end && data.Has(var.value, 4)) {
            translation = (std::uint32_t{data.U16(var.value)} << 16) | data.U16(var.value + 2);
            found = true;
        }
        return false;
    });
    return found;
}

void ReadTable(const Bytes& data, const Block& table, PeVersionStrings& strings) {
    struct Field {
        const char* key;
        std::string* text;
    };
    const Field fields[] = {{"CompanyName", &strings.company},
                            {"ProductName", &strings.product},
                            {"FileDescription", &strings.description},
                            {"FileVersion", &strings.fileVersion},
                            {"OriginalFilename", &strings.originalName}};
    bool taken[sizeof fields / sizeof fields[0]] = {};
    ForEachChild(data, table, table.FirstChild(), [&](const Block& entry) {
        for (std::size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
            // The first entry of a name counts, as for the platform's lookup.
            if (!taken[i] && KeyIs(data, entry, fields[i].key, true)) {
                // The value runs to its NUL or the entry's end: writers
                // disagree on whether wValueLength counts characters or bytes.
                *fields[i].text = TextAt(data, entry.value, entry.end);
                taken[i] = true;
                break;
            }
        }
        return true;
    });
}

bool ReadVersionInfo(const Bytes& data, PeVersionStrings& strings) {
    Block root;
    if (!ReadBlock(data, 0, data.Size(), root) || !KeyIs(data, root, "VS_VERSION_INFO", false))
        return false;
    Block stringFileInfo;
    bool haveStrings = false;
    std::uint32_t translation = 0;
    bool haveTranslation = false;
    ForEachChild(data, root, root.FirstChild(), [&](const Block& child) {
        if (!haveStrings && KeyIs(data, child, "StringFileInfo", false)) {
            stringFileInfo = child;
            haveStrings = true;
        } else if (!haveTranslation && KeyIs(data, child, "VarFileInfo", false)) {
            haveTranslation = ReadTranslation(data, child, translation);
        }
        return !(haveStrings && haveTranslation);
    });
    if (!haveStrings)
        return true;
    // The table the translation names, else one of its language, else the
    // first.
    Block chosen;
    int chosenScore = -1;
    ForEachChild(data, stringFileInfo, stringFileInfo.FirstChild(), [&](const Block& table) {
        std::uint32_t key = 0;
        int score = 0;
        if (haveTranslation && TableLanguage(data, table, key))
            score = key == translation ? 2 : (key >> 16) == (translation >> 16) ? 1 : 0;
        if (score > chosenScore) {
            chosen = table;
            chosenScore = score;
        }
        return chosenScore < 2 && haveTranslation;
    });
    if (chosenScore >= 0)
        ReadTable(data, chosen, strings);
    return true;
}

} // namespace

PeResourceRange FindPeResourceRange(const unsigned char* head, std::size_t headSize,
                                    std::uint64_t fileSize) {
    const Bytes bytes(head, std::min(headSize, kPeVersionHeadBytes));
    if (!CheckPeHead(head, bytes.Size(), fileSize).isPe)
        return {};
    const std::uint32_t lfanew = PeHeaderOffset(head, bytes.Size());
    const std::size_t coff = std::size_t{lfanew} + 4;
    const std::size_t sections = bytes.U16(coff + 2);
    const std::size_t optionalSize = bytes.U16(coff + 16);
    const std::size_t optional = coff + kCoffHeaderSize;
    // The data directories follow the fields of PE32 or of PE32+.
    const bool pe32 = bytes.U16(optional) == kPe32Magic;
    const std::size_t countField = pe32 ? 92 : 108;
    const std::size_t directories = pe32 ? 96 : 112;
    const std::size_t resourceEntry = directories + kResourceDirectoryIndex * 8;
    if (optionalSize < resourceEntry + 8 || !bytes.Has(optional, optionalSize))
        return {};
    if (bytes.U32(optional + countField) <= kResourceDirectoryIndex)
        return {};
    const std::uint32_t rva = bytes.U32(optional + resourceEntry);
    const std::uint32_t size = bytes.U32(optional + resourceEntry + 4);
    const std::size_t table = optional + optionalSize;
    if (rva == 0 || size == 0 || !bytes.Has(table, sections * kSectionHeaderSize))
        return {};
    return RangeInSections(bytes, table, sections, rva, fileSize);
}

bool ReadPeVersionStrings(const PeResourceRange& range, const unsigned char* bytes,
                          std::size_t size, PeVersionStrings& strings,
                          std::uint16_t preferredLanguage) {
    strings = PeVersionStrings();
    const Bytes section(bytes, std::min<std::size_t>(size, range.size));
    // The type by its id, its first name, then the language.
    std::size_t names = 0, languages = 0, dataEntry = 0;
    if (!FindDirectory(section, 0, false, kRtVersion, names) ||
        !FindDirectory(section, names, true, 0, languages) ||
        !ChooseLanguage(section, languages, preferredLanguage, dataEntry) ||
        !section.Has(dataEntry, kResourceDataEntrySize))
        return false;
    const std::uint32_t dataRva = section.U32(dataEntry);
    const std::uint32_t dataSize = section.U32(dataEntry + 4);
    if (dataRva < range.rva || dataRva - range.rva >= section.Size())
        return false;
    const std::size_t at = dataRva - range.rva;
    const Bytes data(section.At(at), std::min<std::size_t>(dataSize, section.Size() - at));
    return ReadVersionInfo(data, strings);
}

bool ReadPeVersionStringsOfImage(const unsigned char* image, std::size_t size,
                                 PeVersionStrings& strings, std::uint16_t preferredLanguage) {
    strings = PeVersionStrings();
    const PeResourceRange range = FindPeResourceRange(image, size, size);
    if (range.size == 0)
        return false;
    return ReadPeVersionStrings(range, image + range.offset, range.size, strings,
                                preferredLanguage);
}
