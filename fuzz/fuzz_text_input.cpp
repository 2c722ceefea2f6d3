// Feeds arbitrary bytes to TextInput, handed over a few at a time as a pipe
// may hand them (the first byte sets how many), and checks what it promises:
// bytes without a UTF-16 mark come through as they are; with one, what comes
// out is well-formed UTF-8; and a carriage return followed by anything but a
// newline is noted exactly when the text holds one.
#include "text_input.h"

#include "trickle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>

namespace {

// Whether `text` is well-formed UTF-8 with no surrogate code point.
bool wellFormed(const std::string &text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size())
      return false;
    std::uint32_t codePoint = length == 1 ? lead : lead & (0x7fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80)
        return false;
      codePoint = codePoint << 6 | (next & 0x3fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < least[length] || codePoint > 0x10ffff ||
        (codePoint >= 0xd800 && codePoint <= 0xdfff))
      return false;
    i += length;
  }
  return true;
}

} // namespace

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
  if (marked ? !wellFormed(text) || text.size() > bytes.size() / 2 * 3 + 6 : text != bytes)
    std::abort();
  bool stray = false;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    stray = stray || (text[i] == '\r' && text[i + 1] != '\n');
  if (input.strayCarriageReturnSeen() != stray)
    std::abort();
  return 0;
}
