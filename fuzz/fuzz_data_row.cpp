// Feeds arbitrary bytes to DataRow and checks what the reader promises:
// every line is read once, no field holds a comma or a newline, and the
// fields joined with commas give the line back, less one trailing comma.
#include "data_row.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::istringstream in(text);
  DataRow row;
  std::size_t lineStart = 0;
  while (in >> row) {
    const std::size_t lineEnd = std::min(text.find('\n', lineStart), size);
    std::string line = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (!line.empty() && line.back() == ',')
      line.pop_back();
    std::string joined;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (row[i].find_first_of(",\n") != std::string::npos)
        std::abort();
      joined += (i == 0 ? "" : ",") + row[i];
    }
    if (joined != line)
      std::abort();
    try {
      (void)row[row.size()];
      std::abort();
    } catch (const std::out_of_range &) {
    }
  }
  if (row.size() != 0 || lineStart < size)
    std::abort();
  return 0;
}
