// cell_reader: the cells of the lines as the exporters that write them mean
// them, for the reports alone: quoted as RFC 4180 and the spreadsheets quote
// them, and escaped with backslashes as MySQL and MariaDB escape them. The
// rows are still split at every comma; this tells where that differs from
// what the file means.
#ifndef TREE_DATA_CELL_READER_H
#define TREE_DATA_CELL_READER_H

#include "data_row.h"
#include "line_end_check.h"
#include "row_value.h"

// Follows the cells from each line to the next through the states below,
// byte by byte: `next` holds every rule, one transition each. A line that
// starts outside any cell and holds no byte that could change one is passed
// over at a glance, as most are.
class CellReader {
public:
  // `lineEnds` passes on the text that the rows are read from.
  explicit CellReader(const LineEndCheck &lineEnds) : lines(lineEnds) {}

  // Reads the cells of `row`, the fields of line `lineNumber`, just read,
  // after every line before it, and says what they show.
  LineCells read(const DataRow &row, LineNumber lineNumber);

private:
  enum class State {
    CellStart,     // at a cell's first byte: the line's, or one after a separator
    Unquoted,      // in a cell that no quote opened, past its first byte
    Escaped,       // after a backslash outside quotes
    Quoted,        // inside a quoted cell
    QuoteInQuoted, // after a double quote inside a quoted cell
  };

  // The state after `byte`, read in `state`.
  static constexpr State next(State state, char byte);
  // Whether a line that starts outside any cell holds a byte that could
  // change one. Most lines hold none.
  static bool mayChangeCells(const DataRow &row);
  // The state the line after a line that ends in `state` starts in.
  static State afterLineBreak(State state);

  const LineEndCheck &lines;
  // The state the next line starts in.
  State lineStart = State::CellStart;
  // The line on which the last cell read began, which the next line goes on
  // with when it starts inside that cell.
  LineNumber cellBegan = 0;
};

#endif // TREE_DATA_CELL_READER_H
