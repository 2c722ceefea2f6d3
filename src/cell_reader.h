// quoted_cells: the cells that double quotes make of the lines, as RFC 4180
// and the spreadsheets read them, for the reports alone. The rows are still
// split at every comma; this tells where that differs from what the file
// means.
#ifndef TREE_DATA_QUOTED_CELLS_H
#define TREE_DATA_QUOTED_CELLS_H

#include "data_row.h"
#include "row_value.h"

// Follows the quoted cells from each line to the next. Outside a cell, a
// double quote opens one when it is the line's first byte or follows a
// comma, a semicolon or a tab; inside, two quotes in a row are one quote and
// a single quote closes the cell, and nothing else does: not a comma, a
// semicolon, a tab or the line's end. Any other quote is an ordinary byte.
class QuotedCells {
public:
  // Reads the quotes of `row`, the fields of line `lineNumber`, after every
  // line before it, and says what they show.
  LineQuotes read(const DataRow &row, LineNumber lineNumber);

private:
  // The line that opened the cell the next line starts inside, or 0 when
  // it starts outside any.
  LineNumber openedOn = 0;
};

#endif // TREE_DATA_QUOTED_CELLS_H
