// Feeds arbitrary bytes to TextInput, handed over a few at a time as a pipe
// may hand them (the first byte sets how many), and checks what it promises:
// bytes without a UTF-16 mark come through as they are; with one, what comes
// out is well-formed UTF-8; and a carriage return followed by anything but a
// newline is noted exactly when the text holds one.
#include "text_input.h"

#include "trickle.h"
#include "utf8.h"

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
  Trickle source(bytes, data[0] % 16 + 1);
  TextInput input(source);
  std::istream in(&input);
  std::ostringstream out;
  out << in.rdbuf();
  const std::string text = out.str();
  const bool marked = bytes.rfind("\xff\xfe", 0) == 0 || bytes.rfind("\xfe\xff", 0) == 0;
  if (marked ? !codePoints(text) || text.size() > bytes.size() / 2 * 3 + 6 : text != bytes)
    std::abort();
  bool stray = false;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    stray = stray || (text[i] == '\r' && text[i + 1] != '\n');
  if (input.strayCarriageReturnSeen() != stray)
    std::abort();
  return 0;
}
