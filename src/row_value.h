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
  // A carriage return stands before the line's last byte: the file's lines
  // may end in a carriage return alone, which does not end a line. Reported
  // whatever the kind.
  bool strayCarriageReturn;
};

// Classifies `row`, read from line `lineNumber`, and converts its third field
// the way std::stoi does in base 10. `strayCarriageReturnRead` false says
// that the input has held no carriage return but before a newline so far, so
// that the row need not be scanned for one.
RowValue rowValue(const DataRow &row, LineNumber lineNumber,
                  bool strayCarriageReturnRead = true);

// Whether the row's line gets a diagnostic.
inline bool isReported(const RowValue &result) {
  return result.strayCarriageReturn || result.kind == RowKind::FewFields ||
         result.kind == RowKind::NotInteger ||
         result.kind == RowKind::OutOfRange;
}

// Returns the diagnostic lines, each ended by a newline, for a row that is
// reported, or an empty string for any other row.
std::string rowDiagnostics(const DataRow &row, const RowValue &result,
                           LineNumber lineNumber);

// Returns `field` made safe to show on a terminal between double quotes:
// printable ASCII as it is but for `"` and `\`, which are escaped, \r and \t
// for carriage return and tab, \xHH for any other byte; a field longer than
// 40 bytes is cut to its first 40 and followed by "...".
std::string escapeField(const std::string &field);

#endif // TREE_DATA_ROW_VALUE_H
