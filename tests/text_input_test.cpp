#include "line_end_check.h"
#include "text_input.h"

#include "case_name.h"
#include "trickle.h"
#include "unicode.h"

#include <gtest/gtest.h>

#include <istream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct TextCase {
  const char *name;
  std::string bytes;
  std::string text;
  // The lines, counted from 1, that hold a carriage return before their last
  // byte.
  std::vector<int> strayCarriageReturns = {};
};

void PrintTo(const TextCase &c, std::ostream *out) { *out << c.name; }

class TextInputTest : public testing::TestWithParam<TextCase> {};

// Each input handed over one, two, three and 8192 bytes at a time, read line
// by line.
TEST_P(TextInputTest, ReadsTextAndTellsHowLinesEnd) {
  const TextCase &c = GetParam();
  for (const std::size_t piece : {1u, 2u, 3u, 8192u}) {
    SCOPED_TRACE(piece);
    Trickle source(c.bytes, piece);
    TextInput text(source);
    LineEndCheck lineEnds(text);
    std::istream in(&lineEnds);
    std::string all;
    std::vector<int> stray;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      all += line + (in.eof() ? "" : "\n");
      if (lineEnds.strayCarriageReturnInLine())
        stray.push_back(number);
      EXPECT_EQ(lineEnds.lineEndsInComma(), !line.empty() && line.back() == ',') << number;
    }
    EXPECT_EQ(all, c.text);
    EXPECT_EQ(stray, c.strayCarriageReturns);
  }
}

const std::string le16 = "\xff\xfe";
const std::string be16 = "\xfe\xff";
const std::string le32 = "\xff\xfe\0\0"s;
const std::string be32 = "\0\0\xfe\xff"s;
const std::string replacement = "\xef\xbf\xbd";

// Every edge of the UTF-8 forms and of the surrogate ranges, in UTF-16:
// U+007F/0080, U+07FF/0800, U+FFFF/10000, U+10FFFF, and U+00E0 and U+20BB7,
// whose bits show every mask; U+D7FF and U+E000 beside the surrogates; pairs
// at both ends of each range; each end of either range alone or before what
// cannot pair with it.
const std::u32string utf16Edges = {
    0x7f,   0x80,   0x7ff,  0x800,  0xe0,   0xffff, 0xd7ff, 0xe000, 0xd800,
    0xdc00, 0xdbff, 0xdfff, 0xdbff, 0xdc00, 0xd800, 0x41,   0xdbff, 0xe000,
    0xd800, 0xdbff, 0xdfff, 0xdc00, 0xdfff, 0xd842, 0xdfb7};
const std::string utf16EdgesText =
    "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xc3\xa0\xef\xbf\xbf\xed\x9f\xbf\xee\x80\x80"
    "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\xf4\x8f\xb0\x80" + replacement + "A" + replacement +
    "\xee\x80\x80" + replacement + "\xf4\x8f\xbf\xbf" + replacement + replacement + "\xf0\xa0\xae\xb7";
// The same in UTF-32, where a surrogate or a value past U+10FFFF is invalid.
const std::u32string utf32Edges = {0x7f,   0x80,   0x7ff,    0x800,   0xe0,   0xffff,
                                          0x10000, 0x10ffff, 0x110000, 0xd7ff, 0xd800, 0xdbff,
                                          0xdc00, 0xdfff, 0xe000,   0xffffffff, 0x20bb7};
const std::string utf32EdgesText =
    "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xc3\xa0\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf" +
    replacement + "\xed\x9f\xbf" + replacement + replacement + replacement + replacement +
    "\xee\x80\x80" + replacement + "\xf0\xa0\xae\xb7";

std::string times(std::size_t count, const std::string &piece) {
  std::string all;
  while (count-- > 0)
    all += piece;
  return all;
}
// Text of three UTF-8 bytes a code unit for more than two full reads, the
// most text a read can make, with a pair across the edge of the first read.
const std::string cjk = le16 + times(4094, "\x2d\x4e") + "\x3d\xd8\x00\xde"s +
                        times(8000, "\x2d\x4e") + "\r\0,\0\n\0"s;
const std::string cjkText =
    times(4094, "\xe4\xb8\xad") + "\xf0\x9f\x98\x80" + times(8000, "\xe4\xb8\xad") + "\r,\n";

INSTANTIATE_TEST_SUITE_P(
    Files, TextInputTest,
    testing::Values(
        TextCase{"BytesAsTheyAre", "a,b,1\r\n\xff\0,\xfe"s, "a,b,1\r\n\xff\0,\xfe"s},
        TextCase{"LoneFirstByteOfAMark", "\xff", "\xff"},
        TextCase{"NotAMark", "\xff\xff" "a", "\xff\xff" "a"},
        TextCase{"NotAUtf32Mark", "\0\0\xfe" "a"s, "\0\0\xfe" "a"s},
        TextCase{"Utf8MarkDropped", "\xef\xbb\xbf\r\na", "\r\na"},
        TextCase{"MarkOnly", le16, ""},
        TextCase{"Utf32MarkOnly", be32, ""},
        TextCase{"LittleEndian", le16 + "a\0,\0\xe9\0\xac\x20\r\0\n\0"s, "a,\xc3\xa9\xe2\x82\xac\r\n"},
        TextCase{"BigEndian", be16 + "\0a\0,\0\xe9\x20\xac\0\r\0\n"s, "a,\xc3\xa9\xe2\x82\xac\r\n"},
        TextCase{"Utf16EdgesLittleEndian", le16 + encoded(utf16Edges, 2, false), utf16EdgesText},
        TextCase{"Utf16EdgesBigEndian", be16 + encoded(utf16Edges, 2, true), utf16EdgesText},
        TextCase{"Utf32EdgesLittleEndian", le32 + encoded(utf32Edges, 4, false), utf32EdgesText},
        TextCase{"Utf32EdgesBigEndian", be32 + encoded(utf32Edges, 4, true), utf32EdgesText},
        TextCase{"LoneHighSurrogateAtTheEnd", le16 + "a\0\x00\xd8"s, "a" + replacement},
        TextCase{"OddLastByte", le16 + "a\0b"s, "a" + replacement},
        TextCase{"OddLastByteNul", le16 + "a\0\0"s, "a" + replacement},
        TextCase{"Utf16MarkThenOddNul", "\xff\xfe\0"s, replacement},
        TextCase{"Utf32CutShort", le32 + "a\0\0\0b\0\0"s, "a" + replacement},
        TextCase{"Utf32OneByteOver", be32 + "\0\0\0a\0"s, "a" + replacement},
        TextCase{"CjkPastTwoReads", cjk, cjkText, {1}},
        // Only a carriage return before anything but a newline counts, once
        // for its line, wherever the reads cut the text.
        TextCase{"CarriageReturnInsideALine", "a\r,b\n", "a\r,b\n", {1}},
        TextCase{"CarriageReturnBeforeATrailingComma", "1,a,42\r,\n2\r\n", "1,a,42\r,\n2\r\n", {1}},
        TextCase{"CarriageReturnsAloneEndNoLine", "a\rb\r\nc\rd\re\n\r\n\r", "a\rb\r\nc\rd\re\n\r\n\r",
                 {1, 2}},
        TextCase{"CarriageReturnEndingTheFile", "a\r", "a\r"},
        TextCase{"CarriageReturnPastTheFirstRead", times(2000, "a,b,1\r\n") + "\r\r\n",
                 times(2000, "a,b,1\r\n") + "\r\r\n", {2001}},
        TextCase{"CarriageReturnInsideAUtf16Line", le16 + "\r\0a\0"s, "\ra", {1}}),
    CaseName());

} // namespace
