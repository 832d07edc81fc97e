#include "store/RekeyJournal.h"

#include <cstring>

#include "common/FileWrites.h"
#include "common/Handles.h"
#include "common/TextConvert.h"

namespace {

constexpr BYTE kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr unsigned kNonce = 0x5a17c0de;

void PutBigEndian(BYTE* at, unsigned value) {
    at[0] = static_cast<BYTE>(value >> 24);
    at[1] = static_cast<BYTE>(value >> 16);
    at[2] = static_cast<BYTE>(value >> 8);
    at[3] = static_cast<BYTE>(value);
}

} // namespace

unsigned JournalChecksum(const std::vector<BYTE>& plain, unsigned nonce) {
    unsigned checksum = nonce;
    for (int i = static_cast<int>(plain.size()) - 200; i > 0; i -= 200)
        checksum += plain[static_cast<std::size_t>(i)];
    return checksum;
}

bool WriteRekeyJournal(const std::string& path, const std::vector<OldPage>& pages,
                       const CodecKey* oldKey, unsigned pageSize, unsigned pageCount,
                       unsigned sectorSize) {
    UniqueFile journal(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal)
        return false;
    std::vector<BYTE> header(sectorSize, 0);
    std::memcpy(header.data(), kMagic, sizeof kMagic);
    PutBigEndian(&header[8], static_cast<unsigned>(pages.size()));
    PutBigEndian(&header[12], kNonce);
    PutBigEndian(&header[16], pageCount);
    PutBigEndian(&header[20], sectorSize);
    PutBigEndian(&header[24], pageSize);
    if (!WriteAllBytes(journal.Get(), header.data(), header.size()))
        return false;
    std::vector<BYTE> record(pageSize + 8);
    std::vector<BYTE> plain(pageSize);
    for (const OldPage& page : pages) {
        plain = page.raw;
        if (oldKey)
            oldKey->Apply(plain.data(), static_cast<int>(pageSize), 0, pageSize);
        PutBigEndian(record.data(), page.number);
        std::memcpy(record.data() + 4, page.raw.data(), pageSize); // stored under the old key
        PutBigEndian(record.data() + 4 + pageSize, JournalChecksum(plain, kNonce));
        if (!WriteAllBytes(journal.Get(), record.data(), record.size()))
            return false;
    }
    return FlushFileBuffers(journal.Get()) != FALSE;
}
