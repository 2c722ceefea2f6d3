#include "row_value.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace {

// White space as strtol skips it in the C locale; a field holds no newline.
bool isSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

bool isDigit(char byte) { return static_cast<unsigned char>(byte - '0') < 10; }

// Whether every field is made of white space alone, as the empty rows a
// spreadsheet exports are.
bool isBlank(const DataRow &row) {
  for (std::size_t i = 0; i < row.size(); ++i)
    for (const char byte : row[i])
      if (!isSpace(byte))
        return false;
  return true;
}

// Where the digits of the number at the start of `field` begin, as strtol
// reads it in base 10, past white space and a sign; where they would, at a
// byte that is no digit, when the field starts with no number. The string's
// terminating NUL, neither white space nor a digit, ends each scan here.
const char *digitsStart(const char *field) {
  while (isSpace(*field))
    ++field;
  if (*field == '+' || *field == '-')
    ++field;
  return field;
}

// Whether the conversion would take digits from `field`.
bool isNumber(const char *field) { return isDigit(*digitsStart(field)); }

// Whether `field`, which starts with a number, holds anything after its
// last digit but white space; a NUL counts, where strtol would stop.
bool textAfterNumber(const std::string &field) {
  const char *byte = digitsStart(field.c_str());
  const char *const end = field.data() + field.size();
  while (isDigit(*byte))
    ++byte;
  while (byte != end && isSpace(*byte))
    ++byte;
  return byte != end;
}

// Whether line 1 reads as column names: no field a number, or a number
// after its opening double quote, where a row of data, quoted or not, has
// one at least.
bool looksLikeColumnNames(const DataRow &row) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char *field = row[i].c_str();
    if (isNumber(field) || (*field == '"' && isNumber(field + 1)))
      return false;
  }
  return true;
}

// The note of a row that gives a value, the first that holds of: a cell that
// an earlier line began, quoted or escaped; a field split at a quoted comma
// or at an escaped one; a separator before the third field; text after the
// number.
RowNote valueNote(const std::string &third, const LineCells &cells) {
  if (cells.quotedFrom != 0)
    return RowNote::ContinuesQuotedField;
  if (cells.escapedFrom != 0)
    return RowNote::ContinuesEscapedField;
  if (cells.quoteSplit)
    return RowNote::QuotedFieldSplit;
  if (cells.escapedComma)
    return RowNote::EscapedCommaSplit;
  if (cells.tabBeforeThird)
    return RowNote::TabSeparated;
  if (cells.semicolonBeforeThird)
    return RowNote::SemicolonSeparated;
  if (textAfterNumber(third))
    return RowNote::TextAfterNumber;
  return RowNote::None;
}

// The likely cause of a skipped row, the first that holds of: a cell that
// an earlier line began, quoted or escaped; a quote split or left open; an
// escaped comma; an escaped line break; a quote at the third field's start;
// a separator before the third field.
RowNote skippedNote(const DataRow &row, const LineCells &cells) {
  if (cells.quotedFrom != 0)
    return RowNote::ContinuesQuotedField;
  if (cells.escapedFrom != 0)
    return RowNote::ContinuesEscapedField;
  if (cells.quoteSplit)
    return RowNote::QuotedFieldSplit;
  if (cells.quoteOpen)
    return RowNote::QuotedFieldOpen;
  if (cells.escapedComma)
    return RowNote::EscapedCommaSplit;
  if (cells.endsWithBackslash)
    return RowNote::EndsWithBackslash;
  if (row.size() > 2 && row[2].c_str()[0] == '"')
    return RowNote::QuotedThirdField;
  if (cells.tabBeforeThird)
    return RowNote::TabSeparated;
  if (cells.semicolonBeforeThird)
    return RowNote::SemicolonSeparated;
  return RowNote::None;
}

} // namespace

RowValue rowValue(const DataRow &row, LineNumber lineNumber, const LineCells &cells) {
  // The line that began the field a continuation line goes on with.
  const LineNumber from = cells.quotedFrom != 0 ? cells.quotedFrom : cells.escapedFrom;
  // A row of numbers is never blank, so only rows that give none are
  // looked at for it.
  if (row.size() < 3) {
    if (isBlank(row))
      return {RowKind::Blank, 0, RowNote::None};
    return {RowKind::FewFields, 0, skippedNote(row, cells), from};
  }
  const std::string &field = row[2];
  try {
    const int value = std::stoi(field, nullptr, 10);
    return {RowKind::Value, value, valueNote(field, cells), from};
  } catch (const std::invalid_argument &) {
    if (isBlank(row))
      return {RowKind::Blank, 0, RowNote::None};
    if (lineNumber == 1 && looksLikeColumnNames(row))
      return {RowKind::Header, 0, RowNote::None};
    return {RowKind::NotInteger, 0, skippedNote(row, cells), from};
  } catch (const std::out_of_range &) {
    return {RowKind::OutOfRange, 0, skippedNote(row, cells), from};
  }
}

std::string rowDiagnostics(const DataRow &row, const RowValue &result,
                           LineNumber lineNumber, bool strayCarriageReturn) {
  const std::string where = std::string(programName) + ": " + inputName + ":" +
                            std::to_string(lineNumber) + ": ";
  std::string lines;
  if (strayCarriageReturn)
    lines = where + strayCarriageReturnMessage + "\n";
  std::string reason;
  switch (result.kind) {
  case RowKind::Value:
    // A value gets one report: a stray carriage return says the most, since
    // it may have joined lines.
    if (strayCarriageReturn)
      return lines;
    switch (result.note) {
    case RowNote::ContinuesQuotedField:
      return where + "the line continues a quoted field that line " +
             std::to_string(result.continuesFrom) +
             " opened; quotes are not read, so this value may come from inside it\n";
    case RowNote::ContinuesEscapedField:
      return where + "the line continues a field that line " +
             std::to_string(result.continuesFrom) +
             " ended with a backslash; backslashes are not read, so this value may "
             "come from inside it\n";
    case RowNote::QuotedFieldSplit:
      return where + "quoted field split at a comma; quotes are not read, so "
                     "this value may come from another column\n";
    case RowNote::EscapedCommaSplit:
      return where + "field split at a comma escaped with a backslash; backslashes "
                     "are not read, so this value may come from another column\n";
    case RowNote::TabSeparated:
    case RowNote::SemicolonSeparated:
      return where + "fields before the third hold " +
             (result.note == RowNote::TabSeparated ? "tabs" : "semicolons") +
             "; fields are separated by commas, so this value may come from "
             "another column\n";
    case RowNote::TextAfterNumber:
      return where + "third field \"" + escapeField(row[2]) +
             "\" holds more than the integer " + std::to_string(result.value) + "\n";
    case RowNote::None:
    case RowNote::QuotedFieldOpen:
    case RowNote::EndsWithBackslash:
    case RowNote::QuotedThirdField:
      return lines;
    }
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
  switch (result.note) {
  case RowNote::ContinuesQuotedField:
    reason += "; the line continues a quoted field that line " +
              std::to_string(result.continuesFrom) + " opened";
    break;
  case RowNote::ContinuesEscapedField:
    reason += "; the line continues a field that line " +
              std::to_string(result.continuesFrom) + " ended with a backslash";
    break;
  case RowNote::QuotedFieldSplit:
    reason += "; quoted field split at a comma";
    break;
  case RowNote::QuotedFieldOpen:
    reason += "; quoted field not closed on its line";
    break;
  case RowNote::EscapedCommaSplit:
    reason += "; field split at a comma escaped with a backslash";
    break;
  case RowNote::EndsWithBackslash:
    reason += "; the line ends with a backslash";
    break;
  case RowNote::QuotedThirdField:
    reason += "; quotes are not read";
    break;
  case RowNote::TabSeparated:
    reason += "; fields are separated by commas, not tabs";
    break;
  case RowNote::SemicolonSeparated:
    reason += "; fields are separated by commas, not semicolons";
    break;
  case RowNote::None:
  case RowNote::TextAfterNumber:
    break;
  }
  return lines + where + skippedRowStart + reason + "\n";
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
