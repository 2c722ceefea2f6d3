#include "row_value.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace {

// Whether every field is made of spaces, tabs, carriage returns, vertical
// tabs and form feeds alone, as the empty rows a spreadsheet exports are; a
// line holds no newline.
bool isBlank(const DataRow &row) {
  for (std::size_t i = 0; i < row.size(); ++i)
    if (row[i].find_first_not_of(" \t\r\v\f") != std::string::npos)
      return false;
  return true;
}

// Whether `field` begins with a double quote and ends before the quote that
// closes it, as a spreadsheet's quoted field does that a comma split: a
// doubled quote inside is a quote, not the close.
bool opensQuote(const std::string &field) {
  if (field.c_str()[0] != '"')
    return false;
  for (std::size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '"')
      continue;
    if (i + 1 == field.size() || field[i + 1] != '"')
      return false;
    ++i;
  }
  return true;
}

// Fields longer than this are cut short in diagnostics.
constexpr std::size_t shownFieldBytes = 40;

} // namespace

RowValue rowValue(const DataRow &row, LineNumber lineNumber) {
  // A row of numbers is never blank, so only rows that give none are
  // looked at for it.
  if (row.size() < 3)
    return {isBlank(row) ? RowKind::Blank : RowKind::FewFields, 0, false};
  // Before the conversion, which the compiler cannot see into, so that the
  // row's size need not be read again.
  const bool quotedFieldSplit = opensQuote(row[0]) || opensQuote(row[1]);
  try {
    return {RowKind::Value, std::stoi(row[2], nullptr, 10), quotedFieldSplit};
  } catch (const std::invalid_argument &) {
    if (isBlank(row))
      return {RowKind::Blank, 0, false};
    return {lineNumber == 1 ? RowKind::Header : RowKind::NotInteger, 0, false};
  } catch (const std::out_of_range &) {
    return {RowKind::OutOfRange, 0, false};
  }
}

std::string rowDiagnostics(const DataRow &row, const RowValue &result,
                           LineNumber lineNumber, bool strayCarriageReturn) {
  const std::string where = std::string(programName) + ": " + inputName + ":" +
                            std::to_string(lineNumber) + ": ";
  std::string lines;
  if (strayCarriageReturn)
    lines = where + "carriage return inside the line; lines end only at a "
                    "newline\n";
  std::string reason;
  switch (result.kind) {
  case RowKind::Value:
    if (result.quotedFieldSplit)
      lines += where + "quoted field split at a comma; quotes are not read, so "
                       "this value may come from another column\n";
    return lines;
  case RowKind::Blank:
  case RowKind::Header:
    return lines;
  case RowKind::FewFields:
    reason = "fewer than three fields";
    break;
  case RowKind::NotInteger:
    reason = "third field \"" + escapeField(row[2]) + "\" is not an integer";
    break;
  case RowKind::OutOfRange:
    reason = "third field \"" + escapeField(row[2]) + "\" is out of range";
    break;
  }
  return lines + where + "skipped row: " + reason + "\n";
}

std::string escapeField(const std::string &field) {
  static const char hexDigits[] = "0123456789abcdef";
  std::string shown;
  const std::size_t end = std::min(field.size(), shownFieldBytes);
  for (std::size_t i = 0; i < end; ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    if (byte == '"' || byte == '\\') {
      shown += '\\';
      shown += static_cast<char>(byte);
    } else if (byte == '\r') {
      shown += "\\r";
    } else if (byte == '\t') {
      shown += "\\t";
    } else if (byte >= 0x20 && byte < 0x7f) {
      shown += static_cast<char>(byte);
    } else {
      shown += "\\x";
      shown += hexDigits[byte >> 4];
      shown += hexDigits[byte & 0xf];
    }
  }
  if (end < field.size())
    shown += "...";
  return shown;
}
