#include "app/OperatedRows.h"

#include <memory>
#include <utility>

#include "app/WardenTexts.h"
#include "common/TextConvert.h"

namespace {

const wchar_t* const kGroupHeaders[2] = {L"  已加白文件", L"  已加黑文件"};

// An entry row holds its MD5 (the key) and its path (the tip); the cells
// are made from them when drawn or read.
ListCell OperatedCell(const ListRow& row, int column) {
    switch (column) {
    case 0:
        return MakeCell(kCellText, FileNameOf(row.Tip()));
    case 1:
        return MakeCell(kCellText, Utf8ToWide(row.key));
    default:
        return MakeCell(kCellLink, kRestoreLinkText);
    }
}

const DerivedCells kOperatedCells = {3, &OperatedCell};

void PlaceRow(ListRowTable& rows, ListKind list, std::string md5, SharedText path) {
    RemoveOperatedEntry(rows, md5);
    rows.AppendToGroup(GroupOf(list), NewRow(kOperatedCells, std::move(md5), std::move(path)));
}

// The entries of one table, in its order. Entries imported from one file
// follow each other and share its path: one text serves them all.
void PlaceRecords(ListRowTable& rows, ListKind list, const UserListRecords& records) {
    SharedText path;
    for (const UserListRecord& record : records) {
        std::wstring wide = AnsiToWide(record.Path);
        if (!path || *path != wide)
            path = std::make_shared<const std::wstring>(std::move(wide));
        PlaceRow(rows, list, record.Md5, path);
    }
}

} // namespace

void AddOperatedGroups(ListRowTable& rows) {
    for (int group = 0; group < 2; ++group)
        rows.InsertGroupRow(group, kGroupHeaders[group], kRowFoldable);
}

void RemoveOperatedEntry(ListRowTable& rows, const std::string& md5) {
    if (rows.MayHoldKey(md5)) {
        rows.RemoveFromGroup(md5, 0);
        rows.RemoveFromGroup(md5, 1);
    }
}

void PlaceOperatedEntry(ListRowTable& rows, const OperatedEntry& entry) {
    PlaceRow(rows, entry.list, entry.md5, std::make_shared<const std::wstring>(entry.path));
}

void BuildOperatedRows(ListRowTable& rows, const UserListRecords& trusted,
                       const UserListRecords& black) {
    // Group 0 is filled before group 1's row exists: every entry is then
    // appended at the end of the table.
    rows.InsertGroupRow(0, kGroupHeaders[0], kRowFoldable);
    PlaceRecords(rows, ListKind::Trusted, trusted);
    rows.InsertGroupRow(1, kGroupHeaders[1], kRowFoldable);
    PlaceRecords(rows, ListKind::Black, black);
}
