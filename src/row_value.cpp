#include "row_value.h"

#include <cstddef>
#include <stdexcept>

namespace {

// Bytes that make a lone field blank; a line holds no newline.
bool isBlank(const std::string &field) {
  return field.find_first_not_of(" \t\r\v\f") == std::string::npos;
}

// Fields longer than this are cut short in diagnostics.
constexpr std::size_t shownFieldBytes = 40;

} // namespace

RowValue rowValue(const DataRow &row, unsigned long long lineNumber) {
  if (row.size() == 0 || (row.size() == 1 && isBlank(row[0])))
    return {RowKind::Blank, 0};
  if (row.size() < 3)
    return {RowKind::FewFields, 0};
  try {
    return {RowKind::Value, std::stoi(row[2], nullptr, 10)};
  } catch (const std::invalid_argument &) {
    return {lineNumber == 1 ? RowKind::Header : RowKind::NotInteger, 0};
  } catch (const std::out_of_range &) {
    return {RowKind::OutOfRange, 0};
  }
}

std::string skipMessage(const DataRow &row, const RowValue &result,
                        unsigned long long lineNumber) {
  std::string reason;
  switch (result.kind) {
  case RowKind::Value:
  case RowKind::Blank:
  case RowKind::Header:
    return {};
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
  return std::string(programName) + ": " + inputName + ":" +
         std::to_string(lineNumber) + ": skipped row: " + reason + "\n";
}

std::string escapeField(const std::string &field) {
  static const char hexDigits[] = "0123456789abcdef";
  std::string shown;
  const std::size_t end =
      field.size() > shownFieldBytes ? shownFieldBytes : field.size();
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
