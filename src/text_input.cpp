#include "text_input.h"

#include <algorithm>
#include <cstring>

TextInput::TextInput(std::streambuf &bytes)
    : source(bytes), raw(new char[rawSize]) {}

TextInput::int_type TextInput::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  // A chunk of UTF-16 may make no text yet (a lone byte, the first of a
  // pair): read on until some is made or the file ends.
  for (;;) {
    if (ended)
      return traits_type::eof();
    std::size_t size = read(0);
    std::size_t start = 0;
    if (encoding == Encoding::Unknown) {
      // The mark is two bytes: a first read may bring one.
      if (size == 1 && (raw[0] == '\xff' || raw[0] == '\xfe'))
        size = read(size);
      start = takeMark(size);
    }
    ended = size == 0;
    char *begin = raw.get();
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
  if (traits_type::eq_int_type(source.sgetc(), traits_type::eof()))
    return filled;
  // What the source holds now, which it has read already: asking for more
  // could wait for a pipe to bring it.
  const auto held = static_cast<std::size_t>(std::max<std::streamsize>(source.in_avail(), 1));
  const std::size_t wanted = std::min(held, rawSize - filled);
  return filled + static_cast<std::size_t>(
                      source.sgetn(raw.get() + filled, static_cast<std::streamsize>(wanted)));
}

std::size_t TextInput::takeMark(std::size_t size) {
  const auto first = size >= 2 ? static_cast<unsigned char>(raw[0]) : 0;
  const auto second = size >= 2 ? static_cast<unsigned char>(raw[1]) : 0;
  if (first == 0xff && second == 0xfe) {
    encoding = Encoding::Utf16LittleEndian;
    return 2;
  }
  if (first == 0xfe && second == 0xff) {
    encoding = Encoding::Utf16BigEndian;
    return 2;
  }
  encoding = Encoding::Bytes;
  return 0;
}

std::size_t TextInput::decode(std::size_t start, std::size_t size, bool atEnd) {
  constexpr char32_t replacement = 0xfffd;
  std::size_t length = 0;
  const auto *bytes = reinterpret_cast<const unsigned char *>(raw.get() + start);
  const bool little = encoding == Encoding::Utf16LittleEndian;
  for (std::size_t i = 0; i < size; ++i) {
    if (oddByte < 0) {
      oddByte = bytes[i];
      continue;
    }
    const auto lead = static_cast<char32_t>(oddByte);
    const char32_t next = bytes[i];
    const char32_t unit = little ? lead | next << 8 : lead << 8 | next;
    oddByte = -1;
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
    if (oddByte >= 0)
      put(replacement, length);
    highSurrogate = 0;
    oddByte = -1;
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
