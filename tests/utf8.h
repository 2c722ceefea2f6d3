// Decodes UTF-8, for the tests of what UTF-16 input becomes.
#ifndef TREE_DATA_TESTS_UTF8_H
#define TREE_DATA_TESTS_UTF8_H

#include <cstddef>
#include <optional>
#include <string>

// Returns the code points of `text`, or nothing when it is not well-formed
// UTF-8: a bad or cut sequence, an overlong form, a surrogate or a value past
// U+10FFFF.
inline std::optional<std::u32string> codePoints(const std::string &text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size())
      return std::nullopt;
    char32_t point = length == 1 ? lead : lead & (0x7fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80)
        return std::nullopt;
      point = point << 6 | (next & 0x3fu);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
      return std::nullopt;
    points += point;
    i += length;
  }
  return points;
}

#endif // TREE_DATA_TESTS_UTF8_H
