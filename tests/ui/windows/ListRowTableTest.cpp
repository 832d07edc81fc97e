// The file list's rows: groups that fold and take new members while folded,
// removal by key from a group, check boxes against radio marks, flags and
// cells, and indexes outside the table.

#include <memory>
#include <string>
#include <utility>

#include "tests/support/GTest.h"
#include "ui/windows/ListRowTable.h"

namespace {

// Two foldable groups with two entries each, as the operated list has them.
void FillOperated(ListRowTable& table) {
    table.InsertGroupRow(0, L"  已加白文件", kRowFoldable);
    table.AppendItemRow({L"a.exe", "aa", L"C:\\a.exe"}, 0);
    table.AppendItemRow({L"b.exe", "bb", L"C:\\b.exe"}, 0);
    table.InsertGroupRow(1, L"  已加黑文件", kRowFoldable);
    table.AppendItemRow({L"c.exe", "cc", L"C:\\c.exe"}, 1);
    table.AppendItemRow({L"d.exe", "dd", L"C:\\d.exe"}, 1);
}

std::vector<std::string> Keys(const ListRowTable& table) {
    std::vector<std::string> keys;
    for (int i = 0; i < table.Count(); ++i)
        keys.push_back(table.Row(i)->IsGroup() ? "#" : table.Row(i)->key);
    return keys;
}

} // namespace

TEST(ListRows, GroupsFoldUnfoldAndTakeMembersWhileFolded) {
    ListRowTable table;
    FillOperated(table);
    EXPECT_EQ(kGroupBackground, table.Row(0)->background);
    EXPECT_EQ(2, table.Fold(0));
    EXPECT_EQ((std::vector<std::string>{"#", "#", "cc", "dd"}), Keys(table));
    EXPECT_EQ(-1, table.Fold(0)); // already folded
    EXPECT_EQ(-1, table.AppendToGroup(0, {L"e.exe", "ee", L""}));
    EXPECT_EQ(4, table.AppendToGroup(1, {L"f.exe", "ff", L""}));
    EXPECT_EQ((std::vector<std::string>{"#", "#", "cc", "dd", "ff"}), Keys(table));
    EXPECT_EQ(3, table.Unfold(0));
    EXPECT_EQ((std::vector<std::string>{"#", "aa", "bb", "ee", "#", "cc", "dd", "ff"}),
              Keys(table));
    EXPECT_EQ(-1, table.Fold(1)); // not a group row
}

TEST(ListRows, RemovalByKeyFromAGroup) {
    ListRowTable table;
    FillOperated(table);
    EXPECT_EQ(-1, table.RemoveFromGroup("aa", 7));
    EXPECT_EQ(-3, table.RemoveFromGroup("cc", 0)); // in the other group
    EXPECT_EQ(4, table.RemoveFromGroup("cc", 1));
    EXPECT_EQ(4, table.FindByKey("dd"));
    EXPECT_EQ(4, table.RemoveFromGroup("dd", 1));
    EXPECT_EQ(-2, table.RemoveFromGroup("dd", 1)); // nothing left in it
    table.Fold(0);
    EXPECT_EQ(0, table.RemoveFromGroup("bb", 0)); // taken from the folded members
    EXPECT_EQ(1, table.Unfold(0));
    EXPECT_EQ(-1, table.FindByKey("bb"));
    EXPECT_EQ(1, table.FindByKey("aa"));
}

TEST(ListRows, AKeyInBothGroupsIsFoundAndChangedInEachFoldedOrNot) {
    ListRowTable table;
    FillOperated(table);
    table.AppendToGroup(0, {L"c.exe", "cc", L"C:\\c.exe", 0, {MakeCell(kCellLink, L"恢复")}});
    EXPECT_EQ(3, table.FindInGroup("cc", 0));
    EXPECT_EQ(5, table.FindInGroup("cc", 1));
    EXPECT_EQ(-1, table.FindInGroup("aa", 1));
    EXPECT_EQ(-1, table.FindInGroup("cc", 7));
    table.Fold(0);
    // Folded members have no place, but are found and changed.
    EXPECT_EQ(-1, table.FindInGroup("cc", 0));
    ASSERT_NE(nullptr, table.RowInGroup("cc", 0));
    EXPECT_EQ(0, table.RowInGroup("cc", 0)->group);
    EXPECT_TRUE(table.SetCellInGroup("cc", 0, 1, kCellText, L"正在处理"));
    EXPECT_FALSE(table.SetCellInGroup("cc", 0, 5, kCellText, L"x")); // no such cell
    EXPECT_FALSE(table.SetCellInGroup("zz", 0, 1, kCellText, L"x"));
    table.Unfold(0);
    EXPECT_EQ(L"正在处理", table.CellText(table.FindInGroup("cc", 0), 1));
    EXPECT_EQ(1, table.Row(table.FindInGroup("cc", 1))->CellCount()); // the other row untouched
}

TEST(ListRows, CheckBoxesAndRadioMarks) {
    ListRowTable table;
    for (const char* key : {"1", "2", "3"})
        table.AppendItemRow({L"x", key, L"", kRowCheckBox});
    table.AppendItemRow({L"r", "r", L"", kRowRadio});
    table.AppendItemRow({L"plain", "p", L""});
    EXPECT_TRUE(table.SetRadio(3, true));
    EXPECT_TRUE(table.SetCheck(0, true)); // unchecks the radio row first
    EXPECT_FALSE(table.IsChecked(3));
    EXPECT_FALSE(table.SetCheck(4, true)); // no box
    EXPECT_FALSE(table.IsChecked(4));
    table.CheckAll();
    EXPECT_EQ(3, table.CountChecked());
    EXPECT_EQ(3, table.CountWithBox());
    EXPECT_TRUE(table.SetRadio(3, true)); // unchecks every other row
    EXPECT_EQ(1, table.CountChecked());
    table.CheckAll();
    table.UncheckAllBut(1);
    EXPECT_EQ(1, table.CountChecked());
    EXPECT_TRUE(table.IsChecked(1));
    // Taking the box away unchecks the row.
    EXPECT_TRUE(table.SetRowFlags(1, 0));
    EXPECT_FALSE(table.IsChecked(1));
    EXPECT_EQ(2, table.CountWithBox());
    EXPECT_TRUE(table.SetRowFlags(4, kRowCheckBox));
    EXPECT_TRUE(table.SetCheck(4, true));
}

TEST(ListRows, CellsAndBadIndexes) {
    ListRowTable table;
    const int row = table.AppendItemRow({L"a.exe", "k", L"tip", kRowCheckBox});
    EXPECT_EQ(2, table.AddCell(row, L"d41d8cd98f00b204e9800998ecf8427e", kCellText));
    EXPECT_EQ(3, table.AddCell(row, L"删除", kCellLink));
    EXPECT_TRUE(table.SetCell(row, 2, kCellText, L"正在处理"));
    EXPECT_EQ(L"正在处理", table.CellText(row, 2));
    EXPECT_EQ(kCellText, table.Row(row)->cells[2].kind);
    EXPECT_TRUE(table.SetCellColor(row, 1, TwRgb(1, 2, 3)));
    EXPECT_EQ(-1, table.AddCell(5, L"x", kCellText));
    EXPECT_FALSE(table.SetCell(row, 3, kCellText, L"x"));
    EXPECT_FALSE(table.SetCellColor(-1, 0, 0));
    EXPECT_TRUE(table.CellText(row, 9).empty());
    EXPECT_EQ(nullptr, table.Row(1));
    EXPECT_FALSE(table.Delete(1));
    EXPECT_TRUE(table.Delete(row));
    EXPECT_EQ(0, table.Count());
}

namespace {

ListCell KeyAndTipCell(const ListRow& row, int column) {
    return column == 0 ? MakeCell(kCellText, row.Tip())
                       : MakeCell(kCellLink, std::wstring(row.key.begin(), row.key.end()));
}

const DerivedCells kKeyAndTip = {2, &KeyAndTipCell};

} // namespace

TEST(ListRows, DerivedCellsAreReadFromKeyAndTipUntilOneIsChanged) {
    ListRowTable table;
    table.InsertGroupRow(0, L"g", kRowFoldable);
    const SharedText path = std::make_shared<const std::wstring>(L"C:\feed.txt");
    table.AppendToGroup(0, NewRow(kKeyAndTip, "k1", path));
    table.AppendToGroup(0, NewRow(kKeyAndTip, "k2", path));
    EXPECT_EQ(path.get(), table.Row(1)->tip.get()); // one text for both rows
    EXPECT_EQ(L"C:\feed.txt", table.CellText(1, 0));
    EXPECT_EQ(L"k2", table.CellText(2, 1));
    EXPECT_EQ(L"C:\feed.txt", table.Row(2)->FirstText());
    EXPECT_EQ(kCellLink, table.Row(2)->CellNow(1).kind);
    EXPECT_TRUE(table.CellText(2, 2).empty());
    EXPECT_TRUE(table.Row(2)->cells.empty());

    // A change gives the row cells of its own; the other row still derives.
    EXPECT_TRUE(table.SetCell(2, 1, kCellText, L"working"));
    EXPECT_EQ(L"working", table.CellText(2, 1));
    EXPECT_EQ(L"C:\feed.txt", table.CellText(2, 0));
    EXPECT_EQ(2u, table.Row(2)->cells.size());
    EXPECT_EQ(L"k1", table.CellText(1, 1));
    EXPECT_FALSE(table.SetCell(1, 2, kCellText, L"x"));
    EXPECT_TRUE(table.Row(1)->cells.empty());
    EXPECT_EQ(3, table.AddCell(1, L"more", kCellText));
    EXPECT_EQ(L"k1", table.CellText(1, 1));

    // Folded and unfolded, found by key, and gone with the row.
    table.Fold(0);
    table.Unfold(0);
    EXPECT_EQ(2, table.FindByKey("k2"));
    EXPECT_EQ(2, table.RemoveFromGroup("k2", 0));
    EXPECT_EQ(-1, table.FindByKey("k2"));
    EXPECT_EQ(2, path.use_count());
}

TEST(ListRows, AMemberAddedWhileFoldedKeepsItsCells) {
    ListRowTable table;
    FillOperated(table);
    table.Fold(0);
    EXPECT_EQ(
        -1,
        table.AppendToGroup(
            0,
            {L"e.exe", "ee", L"", 0, {MakeCell(kCellText, L"md5"), MakeCell(kCellLink, L"恢复")}}));
    table.Unfold(0);
    const int row = table.FindByKey("ee");
    ASSERT_EQ(3, row);
    EXPECT_EQ(3u, table.Row(row)->cells.size());
    EXPECT_EQ(L"恢复", table.CellText(row, 2));
}

namespace {

// What the lookups must answer, found the slow way over the rows in order.
int ScanForKey(const ListRowTable& table, const std::string& key) {
    for (int i = 0; i < table.Count(); ++i) {
        if (!table.Row(i)->IsGroup() && table.Row(i)->key == key)
            return i;
    }
    return -1;
}

int ScanForGroup(const ListRowTable& table, int group) {
    for (int i = 0; i < table.Count(); ++i) {
        if (table.Row(i)->IsGroup() && table.Row(i)->group == group)
            return i;
    }
    return -1;
}

// CountChecked and CountWithBox, found the slow way.
std::pair<int, int> ScanCounts(const ListRowTable& table) {
    int checked = 0, boxes = 0;
    for (int i = 0; i < table.Count(); ++i) {
        checked += table.Row(i)->HasBox() && table.Row(i)->checked ? 1 : 0;
        boxes += (table.Row(i)->flags & kRowCheckBox) ? 1 : 0;
    }
    return {checked, boxes};
}

// RemoveFromGroup's answer for an expanded group, found the slow way.
int ScanForRemoval(const ListRowTable& table, const std::string& key, int group) {
    const int at = ScanForGroup(table, group);
    if (at < 0)
        return -1;
    int end = at + 1;
    while (end < table.Count() && !table.Row(end)->IsGroup())
        ++end;
    if (end == at + 1)
        return -2;
    for (int i = at + 1; i < end; ++i) {
        if (table.Row(i)->key == key)
            return i;
    }
    return -3;
}

} // namespace

TEST(ListRows, LookupsAndCountsAgreeWithAScanThroughRandomChanges) {
    // Appends, members added to groups (in the middle of the table), removals,
    // deletions, folding, boxes and marks changing, and clearing in a random
    // order; after each change every key and group is looked up, and the
    // boxes counted, both ways.
    ListRowTable table;
    unsigned seed = 12345;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    const auto key = [](unsigned n) { return "k" + std::to_string(n); };
    for (int step = 0; step < 4000; ++step) {
        const unsigned group = next(3);
        const std::string someKey = key(next(40));
        switch (next(10)) {
        case 0:
            table.InsertGroupRow(static_cast<int>(group), L"g", kRowFoldable);
            break;
        case 1:
        case 2:
            table.AppendItemRow({L"r", someKey, L"", kRowCheckBox});
            break;
        case 3:
        case 4:
            table.AppendToGroup(static_cast<int>(group), {L"m", someKey, L""});
            break;
        case 5: {
            const int at = ScanForGroup(table, static_cast<int>(group));
            const bool folded = at >= 0 && !table.Row(at)->expanded;
            const int expected =
                folded ? 0 : ScanForRemoval(table, someKey, static_cast<int>(group));
            const int removed = table.RemoveFromGroup(someKey, static_cast<int>(group));
            if (!folded) {
                ASSERT_EQ(expected, removed) << "step " << step;
            }
            break;
        }
        case 6:
            if (table.Count() > 0)
                table.Delete(static_cast<int>(next(static_cast<unsigned>(table.Count()))));
            break;
        case 7: {
            const int at = ScanForGroup(table, static_cast<int>(group));
            if (at >= 0)
                table.Row(at)->expanded ? table.Fold(at) : table.Unfold(at);
            break;
        }
        case 8:
            if (table.Count() > 0) {
                const int at = static_cast<int>(next(static_cast<unsigned>(table.Count())));
                switch (next(6)) {
                case 0:
                    table.SetRowFlags(at, kRowRadio);
                    break;
                case 1:
                    table.SetRowFlags(at, 0);
                    break;
                case 2:
                    table.SetRadio(at, next(2) == 0);
                    break;
                case 3:
                    table.CheckAll();
                    break;
                default:
                    table.SetCheck(at, next(2) == 0);
                    break;
                }
            }
            break;
        default:
            if (next(50) == 0)
                table.Clear();
            break;
        }
        const std::pair<int, int> counts = ScanCounts(table);
        ASSERT_EQ(counts.first, table.CountChecked()) << "step " << step;
        ASSERT_EQ(counts.second, table.CountWithBox()) << "step " << step;
        for (unsigned n = 0; n < 40; ++n)
            ASSERT_EQ(ScanForKey(table, key(n)), table.FindByKey(key(n))) << "step " << step;
        for (int g = 0; g < 3; ++g)
            ASSERT_EQ(ScanForGroup(table, g), table.FindGroupRow(g)) << "step " << step;
    }
}

// The work of the table is counted in rows stepped over: a drop of 100,000
// files with a duplicate check each, their commit reports by key, and
// entries committed into a group above 100,000 others stay linear.
TEST(ListRows, ADropAndItsCommitOf100000RowsStepOverEachRowAFewTimes) {
    constexpr int kRows = 100000;
    ListRowTable pending;
    for (int i = 0; i < kRows; ++i) {
        const std::string key = std::to_string(i);
        ASSERT_EQ(
            i,
            pending.AppendNewItemRow(
                {L"f.exe", key, L"C:\\f.exe", kRowCheckBox, {MakeCell(kCellText, L"md5")}, true}));
        ASSERT_EQ(-1,
                  pending.AppendNewItemRow({L"f.exe", key, L"C:\\f.exe", kRowCheckBox, {}, true}));
        ASSERT_EQ(i + 1, pending.CountChecked());
    }
    for (int i = 0; i < kRows; ++i) {
        const std::string key = std::to_string(i);
        ASSERT_EQ(i, pending.UpdateByKey(key, 1, kCellText, L"正在处理", 0));
        ASSERT_EQ(i, pending.UpdateByKey(key, 1, kCellText, L"处理成功", -1));
    }
    EXPECT_EQ(0, pending.CountChecked());
    EXPECT_LE(pending.VisitedRows(), 4u * kRows);

    // The operated list: entries join the whitelisted group, above every
    // blacklisted one (each insertion moves the rows below it in memory,
    // which the count does not see: 20,000 keep the test quick).
    constexpr int kEntries = 20000;
    ListRowTable operated;
    operated.InsertGroupRow(0, L"white", kRowFoldable);
    operated.InsertGroupRow(1, L"black", kRowFoldable);
    for (int i = 0; i < kEntries; ++i)
        operated.AppendToGroup(1, {L"b.exe", "b" + std::to_string(i), L""});
    for (int i = 0; i < kEntries; ++i) {
        const std::string key = "w" + std::to_string(i);
        ASSERT_FALSE(operated.MayHoldKey(key));
        ASSERT_EQ(i + 1, operated.AppendToGroup(0, {L"w.exe", key, L""}));
    }
    EXPECT_LE(operated.VisitedRows(), 16u * kEntries);
    // Positions repaired once, when asked for.
    EXPECT_EQ(kEntries + 1, operated.FindGroupRow(1));
    EXPECT_EQ(kEntries + 2, operated.FindByKey("b0"));
    EXPECT_EQ(2 * kEntries + 1, operated.FindByKey("b" + std::to_string(kEntries - 1)));
}
