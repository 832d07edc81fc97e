#include "app/OperatedRows.h"

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
        rows.InsertGroupRow(kGroupHeaders[group], kCellText, kRowFoldable, group);
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
    rows.AppendToGroup(
        GroupOf(entry.list), entry.name, entry.md5, entry.path, 0, kCellText,
        {MakeCell(kCellText, Utf8ToWide(entry.md5)), MakeCell(kCellLink, kRestoreLinkText)});
}

void BuildOperatedRows(ListRowTable& rows, const UserListRecords& trusted,
                       const UserListRecords& black) {
    // Group 0 is filled before group 1's row exists: every entry is then
    // appended at the end of the table.
    rows.InsertGroupRow(kGroupHeaders[0], kCellText, kRowFoldable, 0);
    for (const UserListRecord& record : trusted)
        PlaceOperatedEntry(rows, EntryOf(ListKind::Trusted, record));
    rows.InsertGroupRow(kGroupHeaders[1], kCellText, kRowFoldable, 1);
    for (const UserListRecord& record : black)
        PlaceOperatedEntry(rows, EntryOf(ListKind::Black, record));
}
