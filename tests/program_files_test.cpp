// The program run on files of every kind of line, and on what is not a
// readable file: what it prints, what it reports and its exit status.
#include "case_name.h"
#include "line_diagnostic.h"
#include "program_harness.h"
#include "unicode.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
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
  bool throughAFifo = false; // the file comes through a FIFO, its start a byte at a time
};

namespace {

using namespace std::string_literals;
using RunTest = TableTest<RunCase>;

const std::string endsWithBackslash = "skipped row: fewer than three fields; the line ends with a backslash\n";

TEST_P(RunTest, PrintsValuesAndReportsSkippedRows) {
  const RunCase &c = GetParam();
  if (c.input && c.throughAFifo) {
    std::ofstream(dir / "input", std::ios::binary) << *c.input;
    // The first bytes one at a time, as a pipe may bring a mark.
    ASSERT_EQ(shell("mkfifo DataFile.csv && { timeout 60 sh -c "
                    "'{ dd bs=1 count=7 status=none; cat; } <input >DataFile.csv' & }"),
              0);
  } else if (c.input) {
    writeInput(*c.input);
  }
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
                "1,2,3,4,5\na,b, 42\na,b,+7\na,b,-3\na,b,007\na,b,42 \n"
                "a,b,-0\na,b,2147483647\na,b,-2147483648\r\n",
                "3\n42\n7\n-3\n7\n42\n0\n2147483647\n-2147483648\n", "", 0},
        // The number at the field's start is printed, and the rest reported.
        RunCase{"TextAfterTheNumber",
                "a,b,42.5\na,b,1.5E+10\na,b,0x1F\na,b,1\xc2\xa0" "234\na,b,12abc\r\n",
                "42\n1\n0\n1\n12\n",
                where + "1: " + holdsMore("42.5", 42) + "\n" + where + "2: " +
                    holdsMore("1.5E+10", 1) + "\n" + where + "3: " + holdsMore("0x1F", 0) +
                    "\n" + where + "4: " + holdsMore("1\\xc2\\xa0" "234", 1) + "\n" + where +
                    "5: " + holdsMore("12abc\\r", 12) + "\n",
                1},
        // A UTF-16 file cut short leaves U+FFFD after its last number.
        RunCase{"Utf16CutShort", "\xff\xfe" "a\0,\0b\0,\0" "4\0" "3\0\n"s, "43\n",
                where + "1: " + holdsMore("43\\xef\\xbf\\xbd", 43) + "\n", 1},
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
                    "integer; quotes are not read\n",
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
                where + "1: " + strayCarriageReturnMessage + "\n" + where +
                    "1: skipped row: third field \"value\\r1\" is not an integer\n" + where +
                    "2: " + strayCarriageReturnMessage + "\n" + where + "3: " +
                    strayCarriageReturnMessage + "\n" + where +
                    "3: skipped row: third field \"-\\r3\" is not an integer\n",
                1},
        // Bytes that a text-mode read would change: a carriage return stays
        // in its field, and 0x1A (Ctrl-Z) is no end of file.
        RunCase{"TextModeBytesKept", "a,b,1\r\na,b,x\r\na,b,\x1a\na,b,2\x1a\na,b,3\n",
                "1\n2\n3\n",
                where + "2: skipped row: third field \"x\\r\" is not an integer\n" +
                    where + "3: skipped row: third field \"\\x1a\" is not an integer\n" +
                    where + "4: " + holdsMore("2\\x1a", 2) + "\n",
                1},
        RunCase{"ControlBytesEscaped", "a,b,1\na,b,\x1b]0;owned\a\xff\n", "1\n",
                where + "2: skipped row: third field "
                        "\"\\x1b]0;owned\\x07\\xff\" is not an integer\n",
                1},
        RunCase{"Utf8MarkDropped", "\xef\xbb\xbf\r\na,b,1\n", "1\n", "", 0},
        // A blank line is asked about too.
        RunCase{"CarriageReturnPastTheFirstReads",
                std::string(20000, '\n') + "a,b,5\r,\n,\r,\na,b,6\r\n", "5\n6\n",
                where + "20001: " + strayCarriageReturnMessage + "\n" + where + "20002: " +
                    strayCarriageReturnMessage + "\n",
                1},
        // Quotes are ordinary characters: a comma between them still splits.
        RunCase{"QuotedCommas",
                "id,name,value\n1,\"Box, 12\",43\n\"2\",\"Smith, 3rd\",\"44\"\n"
                "\"3\",\"alpha\",\"45\"\n\"alpha\",\"say \"\"hi\"\"\",5\n5\",b,6\n\",b,7\n",
                "12\n3\n5\n6\n7\n",
                where + "2: " + quoteSplit + "\n" + where + "3: " + quoteSplit + "\n" + where +
                    "4: skipped row: third field \"\\\"45\\\"\" is not an integer; quotes are not read\n" + where +
                    "7: " + quoteSplit + "\n",
                1},
        // Cells that spreadsheets quote across lines, and their exports
        // separated by semicolons and tabs: the values as commas split them,
        // each wrong one reported.
        RunCase{"SpreadsheetExports",
                "1,alpha,42,\"note: see\nalso x, y, 99, z\"\n2,beta,7,ok\n"
                "3;\"say \"\"hi\"\"\";7;0,25;\"see\nalso x, y, 99, z\"\n1;alpha;1,5;2,25\n"
                "1\talpha\t1,234\t5,678\n4,\"line1\nline2, 5, 99, x\",7\n",
                "42\n99\n7\n99\n25\n678\n99\n",
                where + "2: " + continues(1) + fromInside + "\n" + where +
                    "4: skipped row: fewer than three fields; quoted field not closed on its line\n" +
                    where + "5: " + continues(4) + fromInside + "\n" + where + "6: " +
                    fieldsBefore("semicolons") + "\n" + where + "7: " + fieldsBefore("tabs") + "\n" +
                    where +
                    "8: skipped row: fewer than three fields; quoted field not closed on its line\n" +
                    where + "9: " + continues(8) + fromInside + "\n",
                1},
        // MySQL's and MariaDB's exports; backslashes inside quotes, an even run, and
        // escaped commas after the third field, the last ending its line, are quiet.
        RunCase{"DatabaseExports",
                "\"1\",\"alpha\",\"42\"\n1,note\\\nx,y,99\n2,b,7\n"
                "3\tsay \"hi\"\t7\t0.25\tsee\\\nalso x, y, 99, z\nend\\\n\\\nafter a blank,1000,11\n"
                "1,Box\\, 12,43\n1,\"C:\\dir\\\",5\n1,a\\\\,42,Box\\, 12,x\\,\n2,b,7\n",
                "99\n7\n99\n11\n12\n5\n42\n7\n",
                where + "1: skipped row: third field \"\\\"42\\\"\" is not an integer; quotes are not read\n" +
                    where + "2: " + endsWithBackslash + where + "3: " + escapedContinues(2) + fromEscapedInside +
                    "\n" + where + "5: " + endsWithBackslash + where + "6: " + escapedContinues(5) +
                    fromEscapedInside + "\n" + where + "7: " + endsWithBackslash + where +
                    "8: skipped row: fewer than three fields; " + escapedContinues(7) + "\n" + where + "9: " +
                    escapedContinues(7) + fromEscapedInside + "\n" + where + "10: field split at a comma "
                    "escaped with a backslash; backslashes are not read, so this value may come from another column\n",
                1},
};

INSTANTIATE_TEST_SUITE_P(Files, RunTest, testing::ValuesIn(files), CaseName());

// The forms with a byte-order mark that Windows PowerShell 5.1 saves text in.
const struct Form {
  const char *name;
  std::string mark;
  std::size_t unitSize; // 1 for UTF-8
  bool bigEndian;
} forms[] = {
    {"Utf8Mark", "\xef\xbb\xbf", 1, false},       {"Utf16LittleEndian", "\xff\xfe", 2, false},
    {"Utf16BigEndian", "\xfe\xff", 2, true},       {"Utf32LittleEndian", "\xff\xfe\0\0"s, 4, false},
    {"Utf32BigEndian", "\0\0\xfe\xff"s, 4, true},
};

// Returns `utf8` in `form`, or nothing when it is not UTF-8 or has a mark.
std::optional<std::string> inForm(const std::string &utf8, const Form &form) {
  const auto points = codePoints(utf8);
  if (!points || utf8.rfind("\xef\xbb\xbf", 0) == 0)
    return std::nullopt;
  return form.mark + (form.unitSize == 1 ? utf8 : encoded(*points, form.unitSize, form.bigEndian));
}

// Every UTF-8 file of the table in each form with a mark, each of which must
// give exactly what its UTF-8 form gives; through a FIFO, the whole table as
// it is, as UTF-16LE, PowerShell's, and as UTF-32BE, whose mark takes the
// most bytes to tell from none, which must give what the files give.
std::vector<RunCase> filesIn(bool throughAFifo) {
  std::vector<RunCase> cases;
  const std::string way = throughAFifo ? "ThroughAFifo" : "";
  for (const RunCase &c : files) {
    if (throughAFifo && c.input)
      cases.push_back({c.name + way, c.input, c.values, c.err, c.status, true});
    for (const Form &form : forms)
      if (const auto input = c.input ? inForm(*c.input, form) : std::nullopt)
        if (!throughAFifo || &form == &forms[1] || &form == &forms[4])
          cases.push_back({c.name + form.name + way, input, c.values, c.err, c.status, throughAFifo});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(FilesMarked, RunTest, testing::ValuesIn(filesIn(false)), CaseName());
INSTANTIATE_TEST_SUITE_P(FilesThroughAFifo, RunTest, testing::ValuesIn(filesIn(true)), CaseName());

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
