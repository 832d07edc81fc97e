#include "ui/windows/ListRowText.h"

std::wstring RowCopyLine(const ListRow& row) {
    if (row.IsGroup())
        return std::wstring();
    std::wstring line = row.CellNow(0).text;
    line += L'\t';
    line += row.CellNow(1).text;
    if (!row.Tip().empty()) {
        line += L'\t';
        line += row.Tip();
    }
    return line;
}

std::wstring RowsCopyText(const std::vector<const ListRow*>& rows) {
    std::wstring text;
    for (const ListRow* row : rows) {
        if (!row || row->IsGroup())
            continue;
        if (!text.empty())
            text += L"\r\n";
        text += RowCopyLine(*row);
    }
    return text;
}
