// The file list's rows: groups that fold and take new members while folded,
// removal by key from a group, check boxes against radio marks, flags and
// cells, and indexes outside the table.

#include "tests/support/GTest.h"
#include "ui/windows/ListRowTable.h"

namespace {

// Two foldable groups with two entries each, as the operated list has them.
void FillOperated(ListRowTable& table) {
    table.InsertGroupRow(L"  已加白文件", kCellText, kRowFoldable, 0);
    table.AppendItemRow(L"a.exe", "aa", L"C:\\a.exe", 0, kCellText, 0);
    table.AppendItemRow(L"b.exe", "bb", L"C:\\b.exe", 0, kCellText, 0);
    table.InsertGroupRow(L"  已加黑文件", kCellText, kRowFoldable, 1);
    table.AppendItemRow(L"c.exe", "cc", L"C:\\c.exe", 0, kCellText, 1);
    table.AppendItemRow(L"d.exe", "dd", L"C:\\d.exe", 0, kCellText, 1);
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
    EXPECT_EQ(-1, table.AppendToGroup(0, L"e.exe", "ee", L"", 0, kCellText));
    EXPECT_EQ(4, table.AppendToGroup(1, L"f.exe", "ff", L"", 0, kCellText));
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

TEST(ListRows, CheckBoxesAndRadioMarks) {
    ListRowTable table;
    for (const char* key : {"1", "2", "3"})
        table.AppendItemRow(L"x", key, L"", kRowCheckBox, kCellText);
    table.AppendItemRow(L"r", "r", L"", kRowRadio, kCellText);
    table.AppendItemRow(L"plain", "p", L"", 0, kCellText);
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
    const int row = table.AppendItemRow(L"a.exe", "k", L"tip", kRowCheckBox, kCellText);
    EXPECT_EQ(2, table.AddCell(row, L"d41d8cd98f00b204e9800998ecf8427e", kCellText));
    EXPECT_EQ(3, table.AddCell(row, L"删除", kCellLink));
    EXPECT_TRUE(table.SetCell(row, 2, kCellText, L"正在处理"));
    EXPECT_EQ(L"正在处理", table.CellText(row, 2));
    EXPECT_EQ(kCellText, table.Row(row)->cells[2].kind);
    EXPECT_TRUE(table.SetCellColor(row, 1, RGB(1, 2, 3)));
    EXPECT_EQ(-1, table.AddCell(5, L"x", kCellText));
    EXPECT_FALSE(table.SetCell(row, 3, kCellText, L"x"));
    EXPECT_FALSE(table.SetCellColor(-1, 0, 0));
    EXPECT_TRUE(table.CellText(row, 9).empty());
    EXPECT_EQ(nullptr, table.Row(1));
    EXPECT_FALSE(table.Delete(1));
    EXPECT_TRUE(table.Delete(row));
    EXPECT_EQ(0, table.Count());
}

TEST(ListRows, AMemberAddedWhileFoldedKeepsItsCells) {
    ListRowTable table;
    FillOperated(table);
    table.Fold(0);
    EXPECT_EQ(-1, table.AppendToGroup(0, L"e.exe", "ee", L"", 0, kCellText,
                                      {MakeCell(kCellText, L"md5"), MakeCell(kCellLink, L"恢复")}));
    table.Unfold(0);
    const int row = table.FindByKey("ee");
    ASSERT_EQ(3, row);
    EXPECT_EQ(3u, table.Row(row)->cells.size());
    EXPECT_EQ(L"恢复", table.CellText(row, 2));
}
