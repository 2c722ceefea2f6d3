// text_input: the input file as the row reader reads it.
#ifndef TREE_DATA_TEXT_INPUT_H
#define TREE_DATA_TEXT_INPUT_H

#include <cstddef>
#include <memory>
#include <streambuf>

// Passes on the bytes of `source` as they are, or, when they begin with a
// byte-order mark, the text they hold, the mark dropped: UTF-8 (EF BB BF) as
// it is, and UTF-16 (FF FE little-endian, FE FF big-endian) or UTF-32
// (FF FE 00 00, 00 00 FE FF) as UTF-8; Windows PowerShell 5.1 writes all five.
// What is not valid UTF-16 or UTF-32 (an unpaired surrogate, a value past
// U+10FFFF, a code unit cut short at the end) becomes U+FFFD. Reads `source`
// only as far as it has read already or can read at once, so a line is passed
// on as soon as it has come in, and never seeks, so `source` may be a pipe.
// Whatever `source` throws on a failed read passes through.
class TextInput : public std::streambuf {
public:
  // Throws std::bad_alloc when its buffer cannot be allocated.
  explicit TextInput(std::streambuf &bytes);

  // Takes all the text held from where reading has got, reading on first
  // when none is held, as a reader that looks at a chunk at a time does
  // without copying it; it stays in place until the next read. Empty at the
  // end of the text.
  struct Chunk {
    char *begin;
    char *end;
  };
  Chunk take() {
    if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
      return {gptr(), gptr()};
    const Chunk held{gptr(), egptr()};
    setg(egptr(), egptr(), egptr());
    return held;
  }

protected:
  int_type underflow() override;

private:
  enum class Encoding { Unknown, Bytes, Utf16LittleEndian, Utf16BigEndian,
                        Utf32LittleEndian, Utf32BigEndian };

  // Reads into `raw` from `filled` on what `source` has or can read at once;
  // returns how many bytes `raw` now holds, `filled` when the file has ended.
  std::size_t read(std::size_t filled);
  // Reads on until the first bytes are a whole mark or cannot become one,
  // and takes the mark; returns how many of the `size` bytes read it takes
  // up, and sets `size` to the bytes read now.
  std::size_t takeMark(std::size_t &size);
  // Converts the `size` bytes of UTF-16 or UTF-32 at `raw + start` into
  // `text`, after what the last call left over; at the end of the file,
  // `size` is 0 and what was left over becomes U+FFFD. Returns the bytes of
  // text made.
  std::size_t decode(std::size_t start, std::size_t size, bool atEnd);
  // Appends the UTF-8 form of `codePoint` to `text` at `length`.
  void put(char32_t codePoint, std::size_t &length);

  std::streambuf &source;
  Encoding encoding = Encoding::Unknown;
  bool ended = false;
  std::size_t unitSize = 1;     // 2 for UTF-16, 4 for UTF-32
  char32_t partial = 0;         // the bytes of a code unit read so far
  std::size_t partialBytes = 0; // how many, 0 to unitSize - 1
  char32_t highSurrogate = 0;   // the first of a UTF-16 pair, left over, or 0
  // The bytes read, and, for UTF-16 and UTF-32 alone, the text made of them,
  // allocated when such a mark is found. A UTF-16 code unit makes at most
  // three bytes of UTF-8, with an unpaired surrogate before it six, and a
  // byte left over before them adds one unit; four bytes of UTF-32 make at
  // most four. The end of the file may add two U+FFFD. On the heap, not in
  // the caller's frame: with 20 KiB on main's stack, mingw-w64's GCC 12
  // fails to compile main with link-time optimisation.
  static constexpr std::size_t rawSize = 8192;
  static constexpr std::size_t textSize = (rawSize / 2 + 1) * 3 + 6;
  std::unique_ptr<char[]> raw;
  std::unique_ptr<char[]> text;
};

#endif // TREE_DATA_TEXT_INPUT_H
