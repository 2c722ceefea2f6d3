#include "quoted_cells.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

// The bytes that may matter outside a quoted cell: a double quote may open
// one, and a semicolon or a tab, as a comma does, lets the next byte open
// one. NUL, which ends every field's text, is one too, so that a scan for
// them needs no other test to stop at the field's end.
constexpr struct Marks {
  bool byByte[256] = {};
  constexpr Marks() {
    for (const char mark : {'"', ';', '\t', '\0'})
      byByte[static_cast<unsigned char>(mark)] = true;
  }
} marks;

bool isMark(char byte) { return marks.byByte[static_cast<unsigned char>(byte)]; }

} // namespace

LineQuotes QuotedCells::read(const DataRow &row, LineNumber lineNumber) {
  bool inside = openedOn != 0;
  bool openedHere = false;
  bool tab = false;
  bool semicolon = false;
  bool splitAtComma = false;
  bool openAtLineEnd = false;
  const std::size_t fields = row.size();
  for (std::size_t i = 0; i < fields; ++i) {
    const std::string &field = row[i];
    // Past the second field only a quote can change anything, inside a cell
    // or out, and most fields hold none: those are passed over whole.
    if (i >= 2 && std::memchr(field.data(), '"', field.size()) == nullptr)
      continue;
    // A comma, or the line's start, comes before each field.
    bool cellStart = true;
    for (const char *byte = field.c_str(), *end = byte + field.size(); byte != end; ++byte) {
      if (inside) {
        if (*byte == '"' && (byte + 1 == end || byte[1] != '"'))
          inside = cellStart = false;
        else if (*byte == '"')
          ++byte;
        continue;
      }
      // Outside a cell most bytes are ordinary: they are passed over at once.
      const char *mark = byte;
      while (!isMark(*mark))
        ++mark;
      if (mark == end)
        break;
      cellStart = cellStart && mark == byte;
      byte = mark;
      if (*byte == '"' && cellStart) {
        inside = openedHere = true;
      } else {
        cellStart = *byte == ';' || *byte == '\t';
        tab = tab || (i < 2 && *byte == '\t');
        semicolon = semicolon || (i < 2 && *byte == ';');
      }
    }
    // A cell still open at the end of the first or second field was split
    // by the comma after it, or runs past the line's end.
    if (i < 2 && inside && i + 1 < fields)
      splitAtComma = true;
    else if (i < 2 && inside)
      openAtLineEnd = true;
  }
  const LineQuotes quotes{openedOn, splitAtComma, openAtLineEnd, tab, semicolon};
  // A line that does not close the cell it starts inside, and opens none,
  // leaves the next inside that same cell; a blank line is such a line.
  openedOn = !inside ? 0 : openedHere ? lineNumber : openedOn;
  return quotes;
}
