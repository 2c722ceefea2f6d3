#include "row_value.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
const char *digitsStart(const std::string &field) {
  const char *byte = field.c_str();
  while (isSpace(*byte))
    ++byte;
  if (*byte == '+' || *byte == '-')
    ++byte;
  return byte;
}

// Whether the conversion would take digits from `field`.
bool isNumber(const std::string &field) { return isDigit(*digitsStart(field)); }

// Whether `field`, which starts with a number, holds anything after its
// last digit but white space; a NUL counts, where strtol would stop.
bool textAfterNumber(const std::string &field) {
  const char *byte = digitsStart(field);
  const char *const end = field.data() + field.size();
  // Eight digits at a time, the number's common length (the rest a byte at a
  // time), for a plain row's cost: a byte is a digit when its high nibble is
  // 3, and still is with 6 added. The second test's nibbles are moved down
  // into the low ones, so that the two cannot mask each other.
  constexpr std::uint64_t eachByte = 0x0101010101010101;
  for (std::uint64_t bytes = 0; end - byte >= 8; byte += 8) {
    std::memcpy(&bytes, byte, 8);
    if (((bytes & 0xf0 * eachByte) | ((bytes + 6 * eachByte) & 0xf0 * eachByte) >> 4) !=
        0x33 * eachByte)
      break;
  }
  while (isDigit(*byte))
    ++byte;
  while (byte != end && isSpace(*byte))
    ++byte;
  return byte != end;
}

// Whether line 1 reads as column names: no field a number, where a row of
// data has one at least. Its third field is known not to be.
bool looksLikeColumnNames(const DataRow &row) {
  for (std::size_t i = 0; i < row.size(); ++i)
    if (i != 2 && isNumber(row[i]))
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

// Why a row that gives no value has too few fields, where its fields tell:
// a comma split a quoted first field, or the line is one field that a tab or
// a semicolon would have split.
RowNote fewFieldsNote(const DataRow &row) {
  if (row.size() == 2 && opensQuote(row[0]))
    return RowNote::QuotedFieldSplit;
  if (row.size() != 1)
    return RowNote::None;
  if (row[0].find('\t') != std::string::npos)
    return RowNote::TabSeparated;
  if (row[0].find(';') != std::string::npos)
    return RowNote::SemicolonSeparated;
  return RowNote::None;
}

// Fields longer than this are cut short in diagnostics.
constexpr std::size_t shownFieldBytes = 40;

} // namespace

RowValue rowValue(const DataRow &row, LineNumber lineNumber) {
  // A row of numbers is never blank, so only rows that give none are
  // looked at for it.
  if (row.size() < 3) {
    if (isBlank(row))
      return {RowKind::Blank, 0, RowNote::None};
    return {RowKind::FewFields, 0, fewFieldsNote(row)};
  }
  // Before the conversion, which the compiler cannot see into, so that the
  // row's size need not be read again.
  const RowNote quote = opensQuote(row[0]) || opensQuote(row[1])
                            ? RowNote::QuotedFieldSplit
                            : RowNote::None;
  const std::string &field = row[2];
  try {
    const int value = std::stoi(field, nullptr, 10);
    // A row has one note at most; a split quote says more.
    if (quote == RowNote::None && textAfterNumber(field))
      return {RowKind::Value, value, RowNote::TextAfterNumber};
    return {RowKind::Value, value, quote};
  } catch (const std::invalid_argument &) {
    if (isBlank(row))
      return {RowKind::Blank, 0, RowNote::None};
    if (lineNumber == 1 && looksLikeColumnNames(row))
      return {RowKind::Header, 0, RowNote::None};
    return {RowKind::NotInteger, 0, quote};
  } catch (const std::out_of_range &) {
    return {RowKind::OutOfRange, 0, quote};
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
    // A value gets one report: a stray carriage return says the most, since
    // it may have joined lines.
    if (strayCarriageReturn)
      return lines;
    if (result.note == RowNote::QuotedFieldSplit)
      return where + "quoted field split at a comma; quotes are not read, so "
                     "this value may come from another column\n";
    if (result.note == RowNote::TextAfterNumber)
      return where + "third field \"" + escapeField(row[2]) +
             "\" holds more than the integer " + std::to_string(result.value) +
             "\n";
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
  case RowNote::QuotedFieldSplit:
    reason += "; quoted field split at a comma";
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
