// row_value: what the program makes of one row: the integer in its third
// field, or the reason the row is skipped.
#ifndef TREE_DATA_ROW_VALUE_H
#define TREE_DATA_ROW_VALUE_H

#include "data_row.h"

#include <cstddef>
#include <string>

// The name every diagnostic starts with, and the input file it names.
inline constexpr char programName[] = "tree_data";
inline constexpr char inputName[] = "DataFile.csv";

// The message about a line that holds a stray carriage return, and what
// every skipped row's message starts with: the tests tell the diagnostics
// apart by these.
inline constexpr char strayCarriageReturnMessage[] =
    "carriage return inside the line; lines end only at a newline";
inline constexpr char skippedRowStart[] = "skipped row: ";

// A line's number in the file, counted from 1: 64 bits on every system, so
// that it does not wrap at 2^32 lines where long is 32 bits.
using LineNumber = unsigned long long;

enum class RowKind {
  Value,        // the third field converts; its value is in `value`
  Blank,        // no fields, or only fields of white space: skipped quietly
  Header,       // line 1 that looks like column names: skipped quietly
  FewFields,    // fewer than three fields: skipped and reported
  NotInteger,   // third field does not start with a number: skipped, reported
  // Third field outside the 32-bit signed range: skipped, reported. The
  // tests go through the kinds up to this one: keep it last.
  OutOfRange,
};

// What the cells of a line show, read as the exporters that write them mean
// them (CellReader finds it): where splitting at every comma, as the rows
// are split, may have taken the third field from elsewhere.
struct LineCells {
  // The line that opened the quoted cell this line starts inside, or 0.
  LineNumber quotedFrom = 0;
  // The line on which the field began whose escaped line break this line
  // starts after, or 0.
  LineNumber escapedFrom = 0;
  // The first or second field ends inside a quoted cell, which the comma
  // after it split.
  bool quoteSplit = false;
  // The line of a row of fewer than three fields ends inside a quoted cell.
  bool quoteOpen = false;
  // The first or second field ends in a backslash that escapes the comma
  // after it.
  bool escapedComma = false;
  // The line of a row of fewer than three fields ends in a backslash that
  // escapes its line break.
  bool endsWithBackslash = false;
  // The first or second field holds a tab, or a semicolon, outside quotes.
  bool tabBeforeThird = false;
  bool semicolonBeforeThird = false;
};

// What a row's report says besides its kind: for a row that gives a value,
// why that value may not be what the row means, which alone reports it; for
// a skipped row, the likely cause, added to its reason. One at most.
enum class RowNote {
  None,
  // The line starts inside a quoted cell that an earlier line opened.
  ContinuesQuotedField,
  // The line starts after a line break that a backslash escaped, inside a
  // field that an earlier line began.
  ContinuesEscapedField,
  // The first or second field opens a double quote that it does not close:
  // a comma between quotes split a field, so the third may come from
  // another column.
  QuotedFieldSplit,
  // A row of fewer than three fields ends inside a quoted cell, which
  // the rows do not read across lines.
  QuotedFieldOpen,
  // The first or second field ends in a backslash that escapes the comma
  // after it, which still split the field.
  EscapedCommaSplit,
  // A row of fewer than three fields ends in a backslash that escapes its
  // line break, which still ended the row.
  EndsWithBackslash,
  // The third field begins with a double quote, which is not read.
  QuotedThirdField,
  // The first or second field holds a tab, or a semicolon, outside quotes:
  // the file's fields may be separated by that, not by commas.
  TabSeparated,
  SemicolonSeparated,
  // The third field holds more than its number: a decimal point, an
  // exponent, a second group of digits, other text. The tests go through
  // the notes up to this one: keep it last.
  TextAfterNumber,
};

struct RowValue {
  RowKind kind;
  int value; // the third field's value when kind is RowKind::Value, else 0
  RowNote note;
  // With RowNote::ContinuesQuotedField or ContinuesEscapedField, the line
  // that began the field the line goes on with.
  LineNumber continuesFrom = 0;
};

// Classifies `row`, read from line `lineNumber`, whose cells show `cells`,
// and converts its third field the way std::stoi does in base 10.
RowValue rowValue(const DataRow &row, LineNumber lineNumber, const LineCells &cells);

// Whether the row's line gets a diagnostic for what it holds.
inline bool isReported(const RowValue &result) {
  return result.kind == RowKind::Value
             ? result.note != RowNote::None
             : result.kind != RowKind::Blank && result.kind != RowKind::Header;
}

// Returns the diagnostic lines, each ended by a newline, for the row read
// from line `lineNumber`: one when `strayCarriageReturn` says that the line
// holds a carriage return before its last byte, then one when the row is
// skipped; for a row that gives a value, one at most, the carriage return's
// before its note. An empty string when there is nothing to report.
std::string rowDiagnostics(const DataRow &row, const RowValue &result,
                           LineNumber lineNumber, bool strayCarriageReturn);

// How many bytes of a field a diagnostic shows at most.
inline constexpr std::size_t shownFieldBytes = 40;

// Returns `field` made safe to show on a terminal between double quotes:
// printable ASCII as it is but for `"` and `\`, which are escaped, \r and \t
// for carriage return and tab, \xHH for any other byte; a field longer than
// shownFieldBytes is cut to its first shownFieldBytes and followed by "...".
std::string escapeField(const std::string &field);

#endif // TREE_DATA_ROW_VALUE_H
