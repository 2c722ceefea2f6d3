#include "text_input.h"

#include "case_name.h"
#include "trickle.h"

#include <gtest/gtest.h>

#include <istream>
#include <sstream>
#include <string>

namespace {

using namespace std::string_literals;

struct TextCase {
  const char *name;
  std::string bytes;
  std::string text;
  bool strayCarriageReturn = false;
};

void PrintTo(const TextCase &c, std::ostream *out) { *out << c.name; }

class TextInputTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextInputTest, ReadsBytesOrUtf16AsUtf8) {
  const TextCase &c = GetParam();
  for (const std::size_t piece : {1u, 2u, 3u, 8192u}) {
    SCOPED_TRACE(piece);
    Trickle source(c.bytes, piece);
    TextInput text(source);
    std::istream in(&text);
    std::ostringstream out;
    out << in.rdbuf();
    EXPECT_EQ(out.str(), c.text);
    EXPECT_EQ(text.strayCarriageReturnSeen(), c.strayCarriageReturn);
  }
}

const std::string le = "\xff\xfe";
const std::string be = "\xfe\xff";
const std::string replacement = "\xef\xbf\xbd";

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
        // Only a carriage return before anything but a newline counts.
        TextCase{"CarriageReturnInsideALine", "a\r,b\n", "a\r,b\n", true},
        TextCase{"CarriageReturnEndingTheFile", "a\r", "a\r"},
        TextCase{"CarriageReturnInsideAUtf16Line", le + "\r\0a\0"s, "\ra", true}),
    CaseName());

} // namespace
