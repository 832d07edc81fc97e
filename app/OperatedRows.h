#pragma once
// The rows of the operated-files list: two foldable groups (whitelisted,
// blacklisted) whose entry rows show the file name, the MD5 and the
// "恢复" link, and carry the MD5 as key and the full path. Built on any
// thread into a table of its own; the list takes the table whole.

#include <functional>
#include <string>

#include "common/ListKind.h"
#include "intake/FileProcessor.h"
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

// The entry's rows made to show the lists the store holds it on: a row in
// each of their groups (one shown already keeps its place), none in the
// others. The entry's path serves a row that has to be added.
void ShowStoredLists(ListRowTable& rows, const OperatedEntry& entry, const ListSet& stored);

// Which groups have a row of the MD5, folded members included.
ListSet ListedGroupsOf(const ListRowTable& rows, const std::string& md5);

// The list of a group of the operated rows.
inline constexpr SignatureListKind SignatureListOfGroup(int group) {
    return group == 0 ? kSignatureTrusted : kSignatureBlack;
}

// Reads the stored entries of one table, in the store's order, handing each
// to the function given (FileProcessor::VisitEntries).
using StoredEntriesReader =
    std::function<void(ListKind, const std::function<void(const UserListRecord&)>&)>;

// Both groups with the stored entries as they are read, in the store's
// order; an MD5 stored in both tables is listed in both groups (a removal
// takes it off the one the user confirms), an MD5 stored twice in one table
// once.
void BuildOperatedRows(ListRowTable& rows, const StoredEntriesReader& read);
