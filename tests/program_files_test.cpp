// The program run on files of every kind of line, and on what is not a
// readable file: what it prints, what it reports and its exit status.
#include "case_name.h"
#include "program_harness.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#include <unistd.h>

namespace endToEnd {

// Outside the unnamed namespace, so that the harness shows a case by its
// name.
struct RunCase {
  std::string name;
  std::optional<std::string> input; // no file at all when empty
  std::string values;               // standard output after the heading
  std::string err;
  int status;
};

namespace {

using RunTest = TableTest<RunCase>;

TEST_P(RunTest, PrintsValuesAndReportsSkippedRows) {
  const RunCase &c = GetParam();
  if (c.input)
    writeInput(*c.input);
  const Outcome result = run();
  EXPECT_EQ(result.out, "Tree Data\n" + c.values);
  EXPECT_EQ(result.err, c.err);
  EXPECT_EQ(result.status, c.status);
}

const RunCase files[] = {
        RunCase{"NoFile", std::nullopt, "", "", 0},
        RunCase{"EmptyFile", "", "", "", 0},
        RunCase{"FileOrderAndRepeats", "a,b,30\na,b,10\nx,y,5\nx,y,5\n",
                "30\n10\n5\n5\n", "", 0},
        RunCase{"NoFinalNewline", "a,b,1\na,b,2", "1\n2\n", "", 0},
        RunCase{"Conversions",
                "1,2,3,4,5\na,b, 42\na,b,+7\na,b,-3\na,b,007\na,b,12abc\n"
                "a,b,-0\na,b,2147483647\na,b,-2147483648\r\n",
                "3\n42\n7\n-3\n7\n12\n0\n2147483647\n-2147483648\n", "", 0},
        RunCase{"HeaderAndBlanksQuiet",
                "id,name,value\n\n \t\r\na,b,1\n\r\n,\n,,,\r\na,b,2\n,,\n",
                "1\n2\n", "", 0},
        RunCase{"NumericFirstLineIsData", "1,2,3\n", "3\n", "", 0},
        RunCase{"BadRowsBetweenGoodOnes",
                "a,b,1\na,b\na,b,2\nid,name,value\na,b,\"4\"\na,b,3",
                "1\n2\n3\n",
                where + "2: skipped row: fewer than three fields\n" + where +
                    "4: skipped row: third field \"value\" is not an "
                    "integer\n" +
                    where +
                    "5: skipped row: third field \"\\\"4\\\"\" is not an "
                    "integer\n",
                1},
        RunCase{"OutOfRangeOnFirstLine", "a,b,2147483648\na,b,-2147483649\n",
                "",
                where +
                    "1: skipped row: third field \"2147483648\" is out of "
                    "range\n" +
                    where +
                    "2: skipped row: third field \"-2147483649\" is out of "
                    "range\n",
                1},
        RunCase{"LinesEndingInCarriageReturns",
                "id,name,value\r1,a,42\r\n1,a,42\r2,b,-17\r\na,b,-\r3\n", "42\n",
                where + "1: carriage return inside the line; lines end only at "
                        "a newline\n" +
                    where + "2: carriage return inside the line; lines end "
                            "only at a newline\n" +
                    where + "3: carriage return inside the line; lines end "
                            "only at a newline\n" +
                    where + "3: skipped row: third field \"-\\r3\" is not an "
                            "integer\n",
                1},
        // Bytes that a text-mode read would change: a carriage return stays
        // in its field, and 0x1A (Ctrl-Z) is no end of file.
        RunCase{"TextModeBytesKept", "a,b,1\r\na,b,x\r\na,b,\x1a\na,b,2\x1a\na,b,3\n",
                "1\n2\n3\n",
                where + "2: skipped row: third field \"x\\r\" is not an integer\n" +
                    where + "3: skipped row: third field \"\\x1a\" is not an integer\n",
                1},
        RunCase{"ControlBytesEscaped", "a,b,1\na,b,\x1b]0;owned\a\xff\n", "1\n",
                where + "2: skipped row: third field "
                        "\"\\x1b]0;owned\\x07\\xff\" is not an integer\n",
                1},
        // In line 1's first field, which is never read.
        RunCase{"Utf8MarkChangesNothing", "\xef\xbb\xbfid,name,value\na,b,1\n", "1\n", "", 0},
        RunCase{"CarriageReturnPastTheFirstReads",
                std::string(20000, '\n') + "a,b,5\r,\na,b,6\r\n", "5\n6\n",
                where + "20001: carriage return inside the line; lines end only at a newline\n",
                1},
};

INSTANTIATE_TEST_SUITE_P(Files, RunTest, testing::ValuesIn(files), CaseName());

// Returns `utf8` as UTF-16 after its byte-order mark, as Windows PowerShell
// 5.1 saves text, or nothing when it is not UTF-8.
std::optional<std::string> inUtf16(const std::string &utf8, bool bigEndian) {
  const auto points = codePoints(utf8);
  if (!points)
    return std::nullopt;
  std::string out = bigEndian ? "\xfe\xff" : "\xff\xfe";
  const auto put = [&](char32_t unit) {
    const char bytes[] = {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xff)};
    out += bigEndian ? bytes[0] : bytes[1];
    out += bigEndian ? bytes[1] : bytes[0];
  };
  for (const char32_t point : *points) {
    if (point < 0x10000) {
      put(point);
    } else {
      put(0xd800 | (point - 0x10000) >> 10);
      put(0xdc00 | (point & 0x3ff));
    }
  }
  return out;
}

// Every file of the table that is UTF-8, saved as UTF-16 in either byte
// order: each must give exactly what its UTF-8 form gives.
std::vector<RunCase> filesInUtf16() {
  std::vector<RunCase> cases;
  for (const RunCase &c : files)
    for (const bool bigEndian : {false, true}) {
      const auto input = c.input ? inUtf16(*c.input, bigEndian) : std::nullopt;
      if (input)
        cases.push_back({c.name + (bigEndian ? "BigEndian" : "LittleEndian"), input,
                         c.values, c.err, c.status});
    }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(FilesInUtf16, RunTest, testing::ValuesIn(filesInUtf16()), CaseName());

TEST_F(ProgramTest, DiagnosticsStayInOrderWithValues) {
  writeInput("a,b,1\na,b\na,b,2\n");
  EXPECT_EQ(shell(program + " >out 2>&1"), 1);
  EXPECT_EQ(readOutput(dir / "out"),
            "Tree Data\n1\n" + where +
                "2: skipped row: fewer than three fields\n2\n");
}

TEST_F(ProgramTest, DirectoryIsAReadError) {
  fs::create_directory(dir / "DataFile.csv");
  const Outcome result = run();
  EXPECT_EQ(result.out, "Tree Data\n");
  EXPECT_EQ(result.err, "tree_data: DataFile.csv: read error: Is a directory\n");
  EXPECT_EQ(result.status, 2);
}

TEST_F(ProgramTest, UnreadableFileIsQuiet) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root reads any file";
  writeInput("a,b,1\n");
  fs::permissions(dir / "DataFile.csv", fs::perms::none);
  const Outcome result = run();
  EXPECT_EQ(result.out, "Tree Data\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

TEST_F(ProgramTest, NoLeaksUnderValgrind) {
  if (const char *reason = allocationsHidden())
    GTEST_SKIP() << reason;
  if (std::string(VALGRIND_PATH).empty())
    GTEST_SKIP() << "valgrind is not installed";
  writeInput("id,name,value\n1,a,10\n\n2,b\n3,c,x\n4,d,-20\n5,e,9999999999\n");
  const Outcome result = run("", "'" VALGRIND_PATH "' -q --leak-check=full "
                                 "--errors-for-leak-kinds=all "
                                 "--error-exitcode=100");
  EXPECT_EQ(result.out, "Tree Data\n10\n-20\n");
  EXPECT_EQ(result.status, 1) << result.err; // 100 when valgrind found errors
  EXPECT_EQ(result.err, where + "4: skipped row: fewer than three fields\n" +
                            where + "5: skipped row: third field \"x\" is not "
                                    "an integer\n" +
                            where + "7: skipped row: third field "
                                    "\"9999999999\" is out of range\n");
}

} // namespace
} // namespace endToEnd
