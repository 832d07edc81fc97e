#pragma once
// Where the file list puts things inside a row: the text rectangle of a
// cell, the check box, the cells of a group row, the empty-list picture.

#include <windows.h>

inline constexpr int kListRowHeight = 24;
inline constexpr int kListBoxSize = 13;

// A cell's text rectangle from its sub-item label rectangle.
RECT CellTextRect(const RECT& label, int column, bool rowHasBox);
// The 13 x 13 box of a row.
RECT RowBoxRect(const RECT& row);
// A group row's cell: the first spans the row (moved right by the indent,
// inset top and bottom), the others take their own rectangle where a
// negative edge counts back from `rowWidth`.
RECT GroupCellRect(const RECT& cell, const RECT& row, int rowWidth, bool first, int indent,
                   int inset);
// The width a group row's cells count back from: the item width, or the
// window width - 20 when the window is narrower than the item.
int GroupRowWidth(int itemWidth, int windowWidth);
// Top-left corner of the 370 x 92 empty-list picture in a client area.
POINT EmptyPictureOrigin(int width, int height);
