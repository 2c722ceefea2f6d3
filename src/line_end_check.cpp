#include "line_end_check.h"

#include <cstring>

LineEndCheck::int_type LineEndCheck::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  const bool strayBefore = stray != egptr();
  // Kept before the next chunk takes its place.
  const char lastByte = egptr() != nullptr ? egptr()[-1] : chunkBeforeEnd;
  const TextInput::Chunk chunk = source.take();
  // At the end the chunk before stays, so that a carriage return noted in
  // it still counts for the last line; a carriage return that ends the text
  // ends that line.
  if (chunk.begin == chunk.end)
    return traits_type::eof();
  setg(chunk.begin, chunk.begin, chunk.end);
  chunkBeforeEnd = lastByte;
  stray = egptr();
  // The line being read has taken at least one byte of this chunk by the
  // time it ends, so a line end in it is past the chunk's start.
  if (strayBefore || (chunkBeforeEnd == '\r' && *chunk.begin != '\n'))
    stray = eback();
  else
    findStray(eback());
  return traits_type::to_int_type(*gptr());
}

bool LineEndCheck::lineEndsInComma() const {
  // Reading has got past the line's newline, or to the end of the text, and
  // has taken at least one byte of the chunk held.
  const char *end = gptr()[-1] == '\n' ? gptr() - 1 : gptr();
  return (end != eback() ? end[-1] : chunkBeforeEnd) == ',';
}

bool LineEndCheck::passStray() {
  stray = egptr();
  findStray(gptr());
  return true;
}

void LineEndCheck::findStray(const char *from) {
  for (const char *end = egptr(); end - from > 1; ++from) {
    from = static_cast<const char *>(
        std::memchr(from, '\r', static_cast<std::size_t>(end - 1 - from)));
    if (from == nullptr)
      return;
    if (from[1] != '\n') {
      stray = from;
      return;
    }
  }
}
