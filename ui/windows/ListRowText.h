#pragma once
// The rows of a file list as text, as the list copies them: one line per
// file row, its file name, MD5 and path separated by tabs, the lines joined
// by CRLF. The name and the MD5 are the row's first two cells, the path is
// its tip (the full path both kinds of file rows keep). A row without a path
// (an entry the store holds without one) gives its name and MD5 alone; a
// group row gives no line.

#include <string>
#include <vector>

#include "ui/windows/ListRowTable.h"

// The line of one row; empty for a group row.
std::wstring RowCopyLine(const ListRow& row);
// The lines of the file rows among `rows`, in their order, CRLF between them.
std::wstring RowsCopyText(const std::vector<const ListRow*>& rows);
