// Feeds arbitrary bytes through the path each row takes in the program: the
// row's value or the reason it is skipped, the diagnostic, and a one-value
// tree. A diagnostic must be one line of printable ASCII of bounded length,
// and must be given exactly for the rows that are reported.
#include "data_row.h"
#include "row_value.h"
#include "search_tree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

bool isReported(RowKind kind) {
  return kind == RowKind::FewFields || kind == RowKind::NotInteger ||
         kind == RowKind::OutOfRange;
}

// The longest diagnostic: the prefix with a 20-digit line number, and a field
// of 40 bytes shown as \xHH each, followed by "...".
constexpr std::size_t longestMessage = 60 + 20 + 40 * 4 + 3 + 30;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
  DataRow row;
  for (unsigned long long lineNumber = 1; in >> row; ++lineNumber) {
    const RowValue result = rowValue(row, lineNumber);
    const std::string message = skipMessage(row, result, lineNumber);
    if (message.empty() == isReported(result.kind))
      std::abort();
    if (message.size() > longestMessage)
      std::abort();
    for (std::size_t i = 0; i < message.size(); ++i) {
      const auto byte = static_cast<unsigned char>(message[i]);
      const bool last = i + 1 == message.size();
      if (last ? byte != '\n' : byte < 0x20 || byte >= 0x7f)
        std::abort();
    }
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
