// Feeds arbitrary bytes through the path each row takes in the program: the
// row's value or the reason it is skipped, its diagnostics, and a one-value
// tree. A row's diagnostics must be at most two lines of printable ASCII of
// bounded length, and must be given exactly for the rows that are reported.
#include "data_row.h"
#include "row_value.h"
#include "search_tree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// The longest diagnostics: a line about a carriage return, then one with the
// prefix, a 20-digit line number, and a field of 40 bytes shown as \xHH
// each, followed by "...".
constexpr std::size_t longestLine = 60 + 20 + 40 * 4 + 3 + 30;
constexpr std::size_t longestMessage = 2 * longestLine;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
  DataRow row;
  for (LineNumber lineNumber = 1; in >> row; ++lineNumber) {
    const RowValue result = rowValue(row, lineNumber);
    const std::string message = rowDiagnostics(row, result, lineNumber);
    if (message.empty() == isReported(result))
      std::abort();
    if (message.size() > longestMessage ||
        (!message.empty() && message.back() != '\n'))
      std::abort();
    std::size_t lines = 0;
    for (const char c : message) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == '\n')
        ++lines;
      else if (byte < 0x20 || byte >= 0x7f)
        std::abort();
    }
    if (lines > (result.strayCarriageReturn ? 2u : 1u))
      std::abort();
    if (result.kind != RowKind::Value)
      continue;
    Node *root = nullptr;
    insert(root, result.value);
    if (root == nullptr || root->value != result.value ||
        root->left != nullptr || root->right != nullptr)
      std::abort();
    destroyTree(root);
  }
  return 0;
}
