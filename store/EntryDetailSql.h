#pragma once
// The statement texts of the entries' details table, built as plain
// functions. The table sits beside UserTrusted and UserBlack and is keyed by
// list (the table's name) and MD5; it is written in the same transaction as
// the row it describes.

#include <string>

#include "common/ListKind.h"

inline constexpr char kDetailTable[] = "UserEntryDetail";

// The details' columns after List and Md5, in the order the writer binds
// them (?2 onwards; ?1 is the MD5) and the detailed selects return them
// (after t.Md5, t.Path, t.Time).
enum class DetailColumn {
    EntryTime, // the Time of the table's row that the details were written for
    Sha256,
    Size,
    Machine,
    CompanyName,
    ProductName,
    FileDescription,
    FileVersion,
    OriginalFilename,
    AddedBy,
    AddedOn,
    Origin,
    SourceFile,
    Note,
    Count
};
const char* DetailColumnName(DetailColumn column);
// The parameter that carries a column's value in the writer's statement.
inline int DetailParameter(DetailColumn column) {
    return static_cast<int>(column) + 2;
}

std::string CreateDetailTableStatement();
std::string CreateDetailSha256IndexStatement();

// Of the writer, with ?1 the MD5: the details of `table`'s entry replaced,
// and those of an entry of the other table deleted.
std::string BoundDetailReplaceStatement(ListKind table);
std::string BoundDetailDeleteStatement(ListKind table);

// The rows of `table` with their details (NULLs where there are none):
// t.Md5, t.Path, t.Time, then the DetailColumn columns. `where` follows.
std::string DetailedSelect(ListKind table, const std::string& where);
// ... all of them in the order of their Time.
std::string AllDetailedStatement(ListKind table);
// ... those whose MD5 is ?1 or ?2 (the MD5 as typed, in lower and upper case).
std::string DetailedByMd5Statement(ListKind table);
// The list and MD5 of every details row with SHA-256 ?1.
std::string Sha256OwnersStatement();

// The note of `table`'s entry with MD5 ?1 set to ?2; who added it and how
// are cleared when the details were written for an earlier row of that
// MD5. Changes nothing when the table does not hold the MD5.
std::string BoundNoteStatement(ListKind table);
