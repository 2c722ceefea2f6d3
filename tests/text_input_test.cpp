#include "line_end_check.h"
#include "text_input.h"

#include "case_name.h"
#include "trickle.h"

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
TEST_P(TextInputTest, ReadsTextAndTellsStrayCarriageReturns) {
  const TextCase &c = GetParam();
  for (const std::size_t piece : {1u, 2u, 3u, 8192u}) {
    SCOPED_TRACE(piece);
    Trickle source(c.bytes, piece);
    TextInput text(source);
    LineEndCheck lineEnds(text);
    std::istream in(&lineEnds);
    std::string all;
    std::vector<int> stray;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      all += line + (in.eof() ? "" : "\n");
      ++number;
      if (lineEnds.strayCarriageReturnInLine())
        stray.push_back(number);
    }
    EXPECT_EQ(all, c.text);
    EXPECT_EQ(stray, c.strayCarriageReturns);
  }
}

const std::string le = "\xff\xfe";
const std::string be = "\xfe\xff";
const std::string replacement = "\xef\xbf\xbd";

std::string repeated(const std::string &piece, std::size_t count) {
  std::string all;
  for (std::size_t i = 0; i < count; ++i)
    all += piece;
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextInputTest,
    testing::Values(
        TextCase{"BytesAsTheyAre", "a,b,1\r\n\xff\0,\xfe"s, "a,b,1\r\n\xff\0,\xfe"s},
        TextCase{"LoneFirstByteOfAMark", "\xff", "\xff"},
        TextCase{"NotAMark", "\xff\xff" "a", "\xff\xff" "a"},
        TextCase{"MarkOnly", le, ""},
        TextCase{"LittleEndian", le + "a\0,\0\xe9\0\xac\x20\r\0\n\0"s, "a,\xc3\xa9\xe2\x82\xac\r\n"},
        TextCase{"BigEndian", be + "\0a\0,\0\xe9\x20\xac\0\r\0\n"s, "a,\xc3\xa9\xe2\x82\xac\r\n"},
        TextCase{"SurrogatePair", le + "\x3d\xd8\x00\xde"s, "\xf0\x9f\x98\x80"},
        TextCase{"LoneHighSurrogateAtTheEnd", le + "a\0\x00\xd8"s, "a" + replacement},
        TextCase{"HighSurrogatesInARow", be + "\xd8\x00\xd8\x00\xd8\x3d\xde\x00"s,
                 replacement + replacement + "\xf0\x9f\x98\x80"},
        TextCase{"LoneHighSurrogateBeforeACharacter", le + "\x00\xd8" "a\0"s, replacement + "a"},
        TextCase{"LoneLowSurrogate", le + "\x00\xdc" "a\0"s, replacement + "a"},
        TextCase{"OddLastByte", le + "a\0b"s, "a" + replacement},
        // Only a carriage return before anything but a newline counts, once
        // for its line, wherever the reads cut the text.
        TextCase{"CarriageReturnInsideALine", "a\r,b\n", "a\r,b\n", {1}},
        TextCase{"CarriageReturnBeforeATrailingComma", "1,a,42\r,\n2\r\n", "1,a,42\r,\n2\r\n", {1}},
        TextCase{"CarriageReturnsAloneEndNoLine", "a\rb\r\nc\rd\re\n\r\n\r", "a\rb\r\nc\rd\re\n\r\n\r",
                 {1, 2}},
        TextCase{"CarriageReturnEndingTheFile", "a\r", "a\r"},
        TextCase{"CarriageReturnPastTheFirstRead", repeated("a,b,1\r\n", 2000) + "\r\r\n",
                 repeated("a,b,1\r\n", 2000) + "\r\r\n", {2001}},
        TextCase{"CarriageReturnInsideAUtf16Line", le + "\r\0a\0"s, "\ra", {1}}),
    CaseName());

} // namespace
