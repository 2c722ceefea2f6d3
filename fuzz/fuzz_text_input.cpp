// Feeds arbitrary bytes to TextInput, and its text to LineEndCheck, handed
// over a few at a time as a pipe may hand them (the first byte sets how
// many), and checks what they promise: bytes without a mark come through as
// they are, and after a UTF-8 mark too, the mark dropped; after a UTF-16 or
// UTF-32 mark, what comes out is well-formed UTF-8; LineEndCheck passes the
// text on as it is, and tells exactly of the lines that hold a carriage
// return before their last byte, and of those that end in a comma.
#include "line_end_check.h"
#include "text_input.h"

#include "trickle.h"
#include "unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
  const std::size_t piece = data[0] % 16 + 1;
  Trickle source(bytes, piece);
  TextInput input(source);
  std::istream in(&input);
  std::ostringstream out;
  out << in.rdbuf();
  const std::string text = out.str();
  const auto startsWith = [&](const std::string &mark) { return bytes.rfind(mark, 0) == 0; };
  const bool decoded = startsWith("\xff\xfe") || startsWith("\xfe\xff") ||
                       startsWith(std::string("\0\0\xfe\xff", 4));
  const std::string passed = startsWith("\xef\xbb\xbf") ? bytes.substr(3) : bytes;
  if (decoded ? !codePoints(text) || text.size() > bytes.size() / 2 * 3 + 6 : text != passed)
    std::abort();

  Trickle again(bytes, piece);
  TextInput textAgain(again);
  LineEndCheck lineEnds(textAgain);
  std::istream lines(&lineEnds);
  std::string all;
  for (std::string line; std::getline(lines, line);) {
    all += line + (lines.eof() ? "" : "\n");
    const std::size_t at = line.find('\r');
    if (lineEnds.strayCarriageReturnInLine() != (at != std::string::npos && at + 1 < line.size()) ||
        lineEnds.lineEndsInComma() != (!line.empty() && line.back() == ','))
      std::abort();
  }
  if (all != text)
    std::abort();
  return 0;
}
