#include "cell_reader.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// Whether `field` ends in a carriage return, which ends its line when the
// field is the line's last.
bool endsInCarriageReturn(const std::string &field) {
  return !field.empty() && field.back() == '\r';
}

} // namespace

constexpr CellReader::State CellReader::next(State state, char byte) {
  switch (state) {
  case State::CellStart:
    // A double quote at a cell's first byte opens a quoted cell.
    if (byte == '"')
      return State::Quoted;
    [[fallthrough]];
  case State::Unquoted:
    // Outside quotes, a backslash escapes the byte after it, and a comma, a
    // semicolon or a tab begins the next cell. Any other byte is the cell's
    // own, a double quote past the cell's first byte too.
    if (byte == '\\')
      return State::Escaped;
    if (byte == ',' || byte == ';' || byte == '\t')
      return State::CellStart;
    return State::Unquoted;
  case State::Escaped:
    // The escaped byte is the cell's own, whatever it is.
    return State::Unquoted;
  case State::Quoted:
    // Inside quotes, only a double quote counts: a backslash and a separator
    // are the cell's own.
    return byte == '"' ? State::QuoteInQuoted : State::Quoted;
  case State::QuoteInQuoted:
    // Two double quotes stand for one; a single one closed the cell, and the
    // byte after it is read as outside quotes.
    return byte == '"' ? State::Quoted : next(State::Unquoted, byte);
  }
  return state;
}

bool CellReader::mayChangeCells(const DataRow &row) {
  // The bytes that do more outside quotes than add to a cell, as next()
  // reads them, and NUL, which ends every field's text, so that a scan for
  // them needs no other test to stop at the field's end.
  static constexpr auto marks = [] {
    std::array<bool, 256> isMark{};
    for (std::size_t code = 0; code < isMark.size(); ++code) {
      const char byte = static_cast<char>(code);
      isMark[code] = next(State::CellStart, byte) != State::Unquoted ||
                     next(State::Unquoted, byte) != State::Unquoted;
    }
    isMark[0] = true;
    return isMark;
  }();
  const std::size_t fields = row.size();
  std::size_t i = 0;
  for (; i < fields && i < 2; ++i) {
    const std::string &field = row[i];
    const char *byte = field.c_str();
    while (!marks[static_cast<unsigned char>(*byte)])
      ++byte;
    if (byte != field.c_str() + field.size())
      return true;
  }
  // After them only a double quote, which may open a cell, and a backslash
  // at a field's end, which may escape the comma or the line break after
  // it, before a carriage return or not.
  for (; i < fields; ++i) {
    const std::string &field = row[i];
    const std::size_t size = field.size() - endsInCarriageReturn(field);
    if ((size > 0 && field[size - 1] == '\\') ||
        std::memchr(field.data(), '"', size) != nullptr)
      return true;
  }
  return false;
}

CellReader::State CellReader::afterLineBreak(State state) {
  switch (state) {
  case State::Quoted:
    // A line break inside quotes is the cell's: the next line goes on with it.
    return State::Quoted;
  case State::Escaped:
    // So is one that a backslash escapes.
    return State::Unquoted;
  case State::CellStart:
  case State::Unquoted:
  case State::QuoteInQuoted:
    // Any other ends the row.
    return State::CellStart;
  }
  return state;
}

LineCells CellReader::read(const DataRow &row, LineNumber lineNumber) {
  if (lineStart == State::CellStart && !mayChangeCells(row))
    return {};
  LineCells cells;
  State state = lineStart;
  // Whether a cell has begun on the line; until one does, the line goes on
  // with the cell that line cellBegan began.
  bool cellBegun = state == State::CellStart;
  if (state == State::Quoted)
    cells.quotedFrom = cellBegan;
  else if (state == State::Unquoted)
    cells.escapedFrom = cellBegan;
  const std::size_t fields = row.size();
  // A carriage return that ends the line belongs to its line break, as in a
  // file with CRLF line ends: a backslash before it escapes the line break.
  const bool carriageReturnEnds = fields > 0 && endsInCarriageReturn(row[fields - 1]);
  for (std::size_t i = 0; i < fields; ++i) {
    if (i > 0) {
      // The comma before the field, which splits a quoted cell, or one that
      // a backslash escapes, where the file does not.
      if (i <= 2) {
        cells.quoteSplit = cells.quoteSplit || state == State::Quoted;
        cells.escapedComma = cells.escapedComma || state == State::Escaped;
      }
      state = next(state, ',');
      cellBegun = cellBegun || state == State::CellStart;
    }
    const std::string &field = row[i];
    const std::size_t size = field.size() - (i + 1 == fields && carriageReturnEnds);
    for (std::size_t at = 0; at < size; ++at) {
      state = next(state, field[at]);
      if (state == State::CellStart) {
        cellBegun = true;
        if (i < 2) {
          cells.tabBeforeThird = cells.tabBeforeThird || field[at] == '\t';
          cells.semicolonBeforeThird = cells.semicolonBeforeThird || field[at] == ';';
        }
      }
    }
  }
  // A comma that ends the line is in no field: a backslash before it escaped
  // it, or the carriage return between them.
  if (state == State::Escaped && lines.lineEndsInComma()) {
    if (carriageReturnEnds)
      state = next(state, '\r');
    else if (fields <= 2)
      cells.escapedComma = true;
    state = next(state, ',');
  }
  // A row of fewer than three fields whose line ends inside a cell.
  if (fields <= 2) {
    cells.quoteOpen = state == State::Quoted;
    cells.endsWithBackslash = state == State::Escaped;
  }
  if (cellBegun)
    cellBegan = lineNumber;
  lineStart = afterLineBreak(state);
  return cells;
}
