#include "print_rows.h"

#include "cell_reader.h"
#include "data_row.h"
#include "line_end_check.h"
#include "row_value.h"
#include "search_tree.h"
#include "standard_output.h"
#include "text_input.h"

#include <ios>
#include <istream>
#include <string>

int printRows(std::streambuf &bytes, std::FILE *diagnostics) {
  // The rows are read through the text of the file: its bytes, or what a
  // file with a UTF-16 or UTF-32 mark holds, with each line's ends checked.
  TextInput text(bytes);
  LineEndCheck lines(text);
  // A failed read throws, so that it is not taken for the end of the file;
  // reaching the end only sets the fail bit, which ends the loop.
  std::istream input(&lines);
  input.exceptions(std::ios::badbit);
  DataRow row;
  CellReader cells(lines);
  LineNumber lineNumber = 0;
  int status = exitSuccess;
  while (input >> row) {
    ++lineNumber;
    const RowValue result = rowValue(row, lineNumber, cells.read(row, lineNumber));
    const bool strayCarriageReturn = lines.strayCarriageReturnInLine();
    if (strayCarriageReturn || isReported(result)) {
      const std::string message =
          rowDiagnostics(row, result, lineNumber, strayCarriageReturn);
      // The values before the row go out first, so that the two stay in
      // order where they go to one place.
      if (!flushOutput())
        break;
      std::fwrite(message.data(), 1, message.size(), diagnostics);
      status = exitLinesReported;
    }
    if (result.kind != RowKind::Value)
      continue;
    Node *root = nullptr;
    insert(root, result.value);
    printInOrder(root);
    destroyTree(root);
    // A full block goes out from inside printf; the test is a flag read.
    if (!outputWhole())
      break;
  }
  return status;
}
