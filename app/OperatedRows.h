#pragma once
// The rows of the operated-files list: two foldable groups (whitelisted,
// blacklisted) whose entry rows show the file name, the MD5 and the
// "恢复" link, and carry the MD5 as key and the full path. Built on any
// thread into a table of its own; the list takes the table whole.

#include <functional>
#include <string>

#include "common/ListKind.h"
#include "store/UserListRecord.h"
#include "ui/windows/ListRowTable.h"

// An entry as a commit reports it.
struct OperatedEntry {
    ListKind list = ListKind::Trusted;
    std::wstring name;
    std::string md5;
    std::wstring path;
};

// The group of a list in the rows: 0 whitelisted, 1 blacklisted.
inline constexpr int GroupOf(ListKind list) {
    return list == ListKind::Trusted ? 0 : 1;
}

// The link of an entry row, which takes the entry off its list.
inline constexpr wchar_t kRestoreLinkText[] = L"恢复";

// The group rows of both groups, empty.
void AddOperatedGroups(ListRowTable& rows);

// Takes the MD5 off both groups (its first entry in each, folded or not).
void RemoveOperatedEntry(ListRowTable& rows, const std::string& md5);

// Takes the MD5 off both groups, then appends the entry at the end of its
// group (into the folded rows of a folded group).
void PlaceOperatedEntry(ListRowTable& rows, const OperatedEntry& entry);

// Reads the stored entries of one table, in the store's order, handing each
// to the function given (FileProcessor::VisitEntries).
using StoredEntriesReader =
    std::function<void(ListKind, const std::function<void(const UserListRecord&)>&)>;

// Both groups with the stored entries as they are read, in the store's
// order; an MD5 stored in both tables is listed once, in the blacklisted
// group.
void BuildOperatedRows(ListRowTable& rows, const StoredEntriesReader& read);
