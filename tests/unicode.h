// Decodes UTF-8 and encodes UTF-16 and UTF-32, for the tests of input with a
// byte-order mark and of what it becomes.
#ifndef TREE_DATA_TESTS_UNICODE_H
#define TREE_DATA_TESTS_UNICODE_H

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

// Returns `points` in code units of `unitSize` bytes, 2 or 4, in the byte
// order asked: in 2-byte units a point past U+FFFF becomes a surrogate pair,
// and any other, a lone surrogate or a value too large included, one unit as
// it is.
inline std::string encoded(const std::u32string &points, std::size_t unitSize, bool bigEndian) {
  std::string bytes;
  const auto put = [&](char32_t unit) {
    for (std::size_t i = 0; i < unitSize; ++i)
      bytes += static_cast<char>(unit >> 8 * (bigEndian ? unitSize - 1 - i : i) & 0xff);
  };
  for (const char32_t point : points) {
    const bool paired = unitSize == 2 && point >= 0x10000;
    put(paired ? 0xd800 | (point - 0x10000) >> 10 : point);
    if (paired)
      put(0xdc00 | (point & 0x3ff));
  }
  return bytes;
}

#endif // TREE_DATA_TESTS_UNICODE_H
