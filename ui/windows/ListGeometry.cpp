#include "ui/windows/ListGeometry.h"

RECT CellTextRect(const RECT& label, int column, bool rowHasBox) {
    RECT rect = label;
    if (column == 0)
        rect.left += rowHasBox ? 2 : 7 - 20;
    else
        rect.left += 7;
    rect.right -= 8;
    return rect;
}

RECT RowBoxRect(const RECT& row) {
    const int top = row.top + (row.bottom - row.top - kListBoxSize) / 2;
    return RECT{row.left + 3, top, row.left + 3 + kListBoxSize, top + kListBoxSize};
}

int GroupRowWidth(int itemWidth, int windowWidth) {
    return windowWidth < itemWidth ? windowWidth - 20 : itemWidth;
}

RECT GroupCellRect(const RECT& cell, const RECT& row, int rowWidth, bool first, int indent,
                   int inset) {
    if (first) {
        const int margin = inset < 0 ? 2 : inset;
        return RECT{row.left + indent, row.top + margin, row.right,
                    inset < 0 ? row.bottom - 2 : row.bottom};
    }
    const LONG left = cell.left < 0 ? rowWidth + cell.left : cell.left;
    const LONG right = cell.right < 0 ? rowWidth + cell.right : cell.right;
    return RECT{row.left + left, row.top + cell.top, row.left + right, row.top + cell.bottom};
}

POINT EmptyPictureOrigin(int width, int height) {
    return POINT{width / 2 - 185, height / 2 - 46};
}
