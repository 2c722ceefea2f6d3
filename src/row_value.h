// row_value: what the program makes of one row: the integer in its third
// field, or the reason the row is skipped.
#ifndef TREE_DATA_ROW_VALUE_H
#define TREE_DATA_ROW_VALUE_H

#include "data_row.h"

#include <string>

// The name every diagnostic starts with, and the input file it names.
inline constexpr char programName[] = "tree_data";
inline constexpr char inputName[] = "DataFile.csv";

// A line's number in the file, counted from 1: 64 bits on every system, so
// that it does not wrap at 2^32 lines where long is 32 bits.
using LineNumber = unsigned long long;

enum class RowKind {
  Value,        // the third field converts; its value is in `value`
  Blank,        // no fields, or only fields of white space: skipped quietly
  Header,       // line 1 whose third field is not a number: skipped quietly
  FewFields,    // fewer than three fields: skipped and reported
  NotInteger,   // third field does not start with a number: skipped, reported
  OutOfRange,   // third field outside the 32-bit signed range: skipped, reported
};

struct RowValue {
  RowKind kind;
  int value; // the third field's value when kind is RowKind::Value, else 0
  // The row gives a value, but its first or second field opens a double
  // quote that it does not close: a comma between quotes split a field, so
  // the value may come from another column. Reported; the value is printed.
  bool quotedFieldSplit;
};

// Classifies `row`, read from line `lineNumber`, and converts its third field
// the way std::stoi does in base 10.
RowValue rowValue(const DataRow &row, LineNumber lineNumber);

// Whether the row's line gets a diagnostic for what it holds.
inline bool isReported(const RowValue &result) {
  return result.quotedFieldSplit || result.kind == RowKind::FewFields ||
         result.kind == RowKind::NotInteger ||
         result.kind == RowKind::OutOfRange;
}

// Returns the diagnostic lines, each ended by a newline, for the row read
// from line `lineNumber`: one when `strayCarriageReturn` says that the line
// holds a carriage return before its last byte, then one when the row is
// reported; an empty string when neither is.
std::string rowDiagnostics(const DataRow &row, const RowValue &result,
                           LineNumber lineNumber, bool strayCarriageReturn);

// Returns `field` made safe to show on a terminal between double quotes:
// printable ASCII as it is but for `"` and `\`, which are escaped, \r and \t
// for carriage return and tab, \xHH for any other byte; a field longer than
// 40 bytes is cut to its first 40 and followed by "...".
std::string escapeField(const std::string &field);

#endif // TREE_DATA_ROW_VALUE_H
