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

// Places the entries of one table as they are read, in its order. Entries
// imported from one file follow each other and share its path: one text
// serves them all.
class RecordPlacer {
public:
    RecordPlacer(ListRowTable& rows, ListKind list) : m_rows(rows), m_list(list) {}
    void operator()(const UserListRecord& record) {
        if (m_lastPath != record.Path) {
            m_lastPath = record.Path;
            m_path = std::make_shared<const std::wstring>(AnsiToWide(record.Path));
        }
        // Once per group: a table may hold an MD5 twice (written by
        // another program); both tables each get their row.
        const int group = GroupOf(m_list);
        if (m_rows.MayHoldKey(record.Md5))
            m_rows.RemoveFromGroup(record.Md5, group);
        m_rows.AppendToGroup(group, NewRow(kOperatedCells, record.Md5, m_path));
    }

private:
    ListRowTable& m_rows;
    const ListKind m_list;
    std::string m_lastPath;
    SharedText m_path;
};

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

void ShowStoredLists(ListRowTable& rows, const OperatedEntry& entry, const ListSet& stored) {
    ScopedLock lock(rows.Lock());
    for (int group = 0; group < 2; ++group) {
        const bool listed = rows.RowInGroup(entry.md5, group) != nullptr;
        if (stored.Has(SignatureListOfGroup(group))) {
            if (!listed)
                rows.AppendToGroup(group, NewRow(kOperatedCells, entry.md5,
                                                 std::make_shared<const std::wstring>(entry.path)));
        } else if (listed) {
            rows.RemoveFromGroup(entry.md5, group);
        }
    }
}

ListSet ListedGroupsOf(const ListRowTable& rows, const std::string& md5) {
    ScopedLock lock(rows.Lock());
    ListSet listed;
    for (int group = 0; group < 2; ++group) {
        if (rows.RowInGroup(md5, group))
            listed.Add(SignatureListOfGroup(group));
    }
    return listed;
}

void BuildOperatedRows(ListRowTable& rows, const StoredEntriesReader& read) {
    // Group 0 is filled before group 1's row exists: every entry is then
    // appended at the end of the table.
    rows.InsertGroupRow(0, kGroupHeaders[0], kRowFoldable);
    read(ListKind::Trusted, RecordPlacer(rows, ListKind::Trusted));
    rows.InsertGroupRow(1, kGroupHeaders[1], kRowFoldable);
    read(ListKind::Black, RecordPlacer(rows, ListKind::Black));
}
