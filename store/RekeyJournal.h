#pragma once
// The hot rollback journal a rekey writes before it rewrites a single page,
// so that a process ended in the middle of the rewrite leaves a database
// that the engine rolls back to the old key at its next open. The format is
// the engine's own rollback journal (SQLite's file format, "The Rollback
// Journal"), all integers big-endian:
//   header, padded with zeros to the sector size:
//     0  8  magic d9 d5 05 f9 20 a1 63 d7
//     8  4  the number of page records
//     12 4  the checksum nonce
//     16 4  the database's size in pages before the change
//     20 4  the sector size
//     24 4  the page size
//   then per page: its number (4), the page as it is in the file (under the
//   old key: the engine reads the journal through the codec), and a checksum
//   (4): the nonce plus every 200th byte of the plain page, from the byte at
//   page size - 200 down to the byte at an offset above 0.

#include <string>
#include <vector>

#include <windows.h>

#include "store/CodecKey.h"

struct OldPage {
    unsigned number;
    std::vector<BYTE> raw; // as stored
};

// The checksum of a journal record of a plain page.
unsigned JournalChecksum(const std::vector<BYTE>& plain, unsigned nonce);

// Writes the journal at `path` (which must not exist) and flushes it.
bool WriteRekeyJournal(const std::string& path, const std::vector<OldPage>& pages,
                       const CodecKey* oldKey, unsigned pageSize, unsigned pageCount,
                       unsigned sectorSize);
