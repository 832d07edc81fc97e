#include "app/OperatedRows.h"

#include <utility>

#include "app/WardenTexts.h"
#include "common/TextConvert.h"

namespace {

const wchar_t* const kGroupHeaders[2] = {L"  已加白文件", L"  已加黑文件"};

OperatedEntry EntryOf(ListKind list, const UserListRecord& record) {
    OperatedEntry entry;
    entry.list = list;
    entry.path = AnsiToWide(record.Path);
    entry.name = FileNameOf(entry.path);
    entry.md5 = record.Md5;
    return entry;
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
    RemoveOperatedEntry(rows, entry.md5);
    // The cells go with the row, so that a folded group holds it whole.
    NewRow row{entry.name, entry.md5, entry.path};
    row.moreCells = {MakeCell(kCellText, Utf8ToWide(entry.md5)),
                     MakeCell(kCellLink, kRestoreLinkText)};
    rows.AppendToGroup(GroupOf(entry.list), std::move(row));
}

void BuildOperatedRows(ListRowTable& rows, const UserListRecords& trusted,
                       const UserListRecords& black) {
    // Group 0 is filled before group 1's row exists: every entry is then
    // appended at the end of the table.
    rows.InsertGroupRow(0, kGroupHeaders[0], kRowFoldable);
    for (const UserListRecord& record : trusted)
        PlaceOperatedEntry(rows, EntryOf(ListKind::Trusted, record));
    rows.InsertGroupRow(1, kGroupHeaders[1], kRowFoldable);
    for (const UserListRecord& record : black)
        PlaceOperatedEntry(rows, EntryOf(ListKind::Black, record));
}
