#include "text_input.h"

#include <algorithm>
#include <cstring>

TextInput::TextInput(std::streambuf &bytes)
    : source(bytes), raw(new char[rawSize]) {}

TextInput::int_type TextInput::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  // A chunk of UTF-16 or UTF-32 may make no text yet (part of a code unit,
  // the first of a pair): read on until some is made or the file ends.
  for (;;) {
    if (ended)
      return traits_type::eof();
    std::size_t size = read(0);
    const std::size_t start = encoding == Encoding::Unknown ? takeMark(size) : 0;
    ended = size == 0;
    char *begin = raw.get() + start;
    std::size_t length = size - start;
    if (encoding != Encoding::Bytes) {
      if (!text)
        text.reset(new char[textSize]);
      begin = text.get();
      length = decode(start, size - start, ended);
    }
    if (length == 0)
      continue;
    setg(begin, begin, begin + length);
    return traits_type::to_int_type(*gptr());
  }
}

std::size_t TextInput::read(std::size_t filled) {
  // What the source holds now, or what the file has ready to read at once:
  // asking for more could wait for a pipe to bring it. Where that is a whole
  // buffer's worth, the file buffer reads it straight into `raw`, without a
  // copy of its own; where the source can say nothing of it, a read tells.
  std::streamsize held = source.in_avail();
  if (held <= 0) {
    if (traits_type::eq_int_type(source.sgetc(), traits_type::eof()))
      return filled;
    held = std::max<std::streamsize>(source.in_avail(), 1);
  }
  const std::size_t wanted = std::min(static_cast<std::size_t>(held), rawSize - filled);
  return filled + static_cast<std::size_t>(
                      source.sgetn(raw.get() + filled, static_cast<std::streamsize>(wanted)));
}

std::size_t TextInput::takeMark(std::size_t &size) {
  // The longest first: FF FE 00 00 is UTF-32, not UTF-16 beginning with a
  // NUL, as every reader of marks takes it.
  static constexpr struct {
    char bytes[4];
    std::size_t size;
    Encoding encoding;
    std::size_t unitSize;
  } marks[] = {
      {{'\xff', '\xfe', '\0', '\0'}, 4, Encoding::Utf32LittleEndian, 4},
      {{'\0', '\0', '\xfe', '\xff'}, 4, Encoding::Utf32BigEndian, 4},
      {{'\xef', '\xbb', '\xbf'}, 3, Encoding::Bytes, 1},
      {{'\xff', '\xfe'}, 2, Encoding::Utf16LittleEndian, 2},
      {{'\xfe', '\xff'}, 2, Encoding::Utf16BigEndian, 2},
  };
  // A pipe may bring a mark a byte at a time: read on while what has come
  // could still begin a longer one.
  for (;;) {
    bool couldGrow = false;
    for (const auto &mark : marks)
      couldGrow = couldGrow ||
                  (size > 0 && size < mark.size && std::memcmp(raw.get(), mark.bytes, size) == 0);
    const std::size_t now = couldGrow ? read(size) : size;
    if (now == size)
      break;
    size = now;
  }
  for (const auto &mark : marks)
    if (size >= mark.size && std::memcmp(raw.get(), mark.bytes, mark.size) == 0) {
      encoding = mark.encoding;
      unitSize = mark.unitSize;
      return mark.size;
    }
  encoding = Encoding::Bytes;
  return 0;
}

std::size_t TextInput::decode(std::size_t start, std::size_t size, bool atEnd) {
  constexpr char32_t replacement = 0xfffd;
  std::size_t length = 0;
  const auto *bytes = reinterpret_cast<const unsigned char *>(raw.get() + start);
  const bool little =
      encoding == Encoding::Utf16LittleEndian || encoding == Encoding::Utf32LittleEndian;
  for (std::size_t i = 0; i < size; ++i) {
    const char32_t byte = bytes[i];
    partial = little ? partial | byte << (8 * partialBytes) : partial << 8 | byte;
    if (++partialBytes < unitSize)
      continue;
    const char32_t unit = partial;
    partial = 0;
    partialBytes = 0;
    if (unitSize == 4) {
      put(unit > 0x10ffff || (unit >= 0xd800 && unit <= 0xdfff) ? replacement : unit, length);
      continue;
    }
    if (highSurrogate != 0) {
      if (unit >= 0xdc00 && unit <= 0xdfff) {
        put(0x10000 + ((highSurrogate - 0xd800) << 10) + (unit - 0xdc00), length);
        highSurrogate = 0;
        continue;
      }
      put(replacement, length);
      highSurrogate = 0;
    }
    if (unit >= 0xd800 && unit <= 0xdbff)
      highSurrogate = unit;
    else
      put(unit >= 0xdc00 && unit <= 0xdfff ? replacement : unit, length);
  }
  if (atEnd) {
    if (highSurrogate != 0)
      put(replacement, length);
    if (partialBytes != 0)
      put(replacement, length);
    highSurrogate = 0;
    partial = 0;
    partialBytes = 0;
  }
  return length;
}

void TextInput::put(char32_t codePoint, std::size_t &length) {
  const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
  if (codePoint < 0x80) {
    text[length++] = byte(codePoint);
  } else if (codePoint < 0x800) {
    text[length++] = byte(0xc0 | codePoint >> 6);
    text[length++] = byte(0x80 | (codePoint & 0x3f));
  } else if (codePoint < 0x10000) {
    text[length++] = byte(0xe0 | codePoint >> 12);
    text[length++] = byte(0x80 | (codePoint >> 6 & 0x3f));
    text[length++] = byte(0x80 | (codePoint & 0x3f));
  } else {
    text[length++] = byte(0xf0 | codePoint >> 18);
    text[length++] = byte(0x80 | (codePoint >> 12 & 0x3f));
    text[length++] = byte(0x80 | (codePoint >> 6 & 0x3f));
    text[length++] = byte(0x80 | (codePoint & 0x3f));
  }
}
