#pragma once
// What the store knows of an entry beyond its MD5, path and time: facts of
// the file itself, and who added it, how, and why. Kept in a table of its
// own beside UserTrusted and UserBlack (whose rows stay exactly as other
// programs read them), keyed by list and MD5. Texts are UTF-8; an empty
// text or a negative number is "not known".

#include <cstdint>
#include <string>

#include "common/ListKind.h"

// Facts read off the file when it was examined.
struct EntryFacts {
    std::string sha256;       // 64 lower-case hexadecimal digits
    std::int64_t size = -1;   // bytes
    int machine = -1;         // the PE's COFF machine type (IMAGE_FILE_MACHINE_*)
    std::string company;      // the version resource's CompanyName
    std::string product;      // ProductName
    std::string description;  // FileDescription
    std::string fileVersion;  // FileVersion (the string, as the file gives it)
    std::string originalName; // OriginalFilename
};

// How an entry came to be on its list; one per commit or import.
struct EntryOrigin {
    std::string user;       // the Windows account that added it
    std::string computer;   // the machine it was added on
    std::string how;        // "window", "userlistctl trust", "userlistctl import", ...
    std::string sourceFile; // the imported file, for an import
    std::string note;       // the reason: given for a batch or an entry, edited later
};

// An entry as the store holds it, with what is known of it.
struct StoredEntryDetails {
    ListKind list = ListKind::Trusted;
    std::string md5;
    std::string path;
    std::string time;        // decimal seconds since 1970, as the table holds it
    bool factsKnown = false; // a details row exists (facts may still be partly unknown)
    EntryFacts facts;
    // Who, how and why belong to the row the table holds now: false when the
    // details were written for an earlier row of the same MD5 (another
    // program removed and added it since); the file's facts still hold then.
    bool originKnown = false;
    EntryOrigin origin;
};
