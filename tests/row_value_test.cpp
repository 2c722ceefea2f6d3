#include "row_value.h"

#include "cell_reader.h"
#include "line_end_check.h"
#include "text_input.h"

#include "case_name.h"
#include "line_diagnostic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

// The kinds and notes of rows by name, where a test fails.
#define TREE_DATA_NAME(enumerator) case enumerator: *out << #enumerator; return;
void PrintTo(RowKind kind, std::ostream *out) {
  switch (kind) {
    TREE_DATA_NAME(RowKind::Value) TREE_DATA_NAME(RowKind::Blank) TREE_DATA_NAME(RowKind::Header)
    TREE_DATA_NAME(RowKind::FewFields) TREE_DATA_NAME(RowKind::NotInteger) TREE_DATA_NAME(RowKind::OutOfRange)
  }
}
void PrintTo(RowNote note, std::ostream *out) {
  switch (note) {
    TREE_DATA_NAME(RowNote::None) TREE_DATA_NAME(RowNote::ContinuesQuotedField)
    TREE_DATA_NAME(RowNote::ContinuesEscapedField) TREE_DATA_NAME(RowNote::QuotedFieldSplit)
    TREE_DATA_NAME(RowNote::QuotedFieldOpen) TREE_DATA_NAME(RowNote::EscapedCommaSplit)
    TREE_DATA_NAME(RowNote::EndsWithBackslash) TREE_DATA_NAME(RowNote::QuotedThirdField)
    TREE_DATA_NAME(RowNote::TabSeparated) TREE_DATA_NAME(RowNote::SemicolonSeparated)
    TREE_DATA_NAME(RowNote::TextAfterNumber)
  }
}
#undef TREE_DATA_NAME

namespace {

struct RowCase {
  const char *name;
  std::string line;
  unsigned long long lineNumber; // not LineNumber: so that a narrower one shows
  RowKind kind;
  int value;
  std::string message; // without the "tree_data: DataFile.csv:N: " prefix
};

// Shows a case by its name in test listings.
void PrintTo(const RowCase &c, std::ostream *out) { *out << c.name; }

class RowValueTest : public testing::TestWithParam<RowCase> {};

constexpr RowKind value = RowKind::Value;

TEST_P(RowValueTest, ConvertsOrExplains) {
  const RowCase &c = GetParam();
  // The case's lines in turn, read as the program reads them, for the cells
  // they leave open; the last is the one looked at.
  std::stringbuf bytes(c.line);
  TextInput text(bytes);
  LineEndCheck lines(text);
  std::istream in(&lines);
  DataRow row;
  CellReader cells(lines);
  LineCells lineCells;
  const auto earlier = static_cast<LineNumber>(std::count(c.line.begin(), c.line.end(), '\n'));
  for (LineNumber number = c.lineNumber - earlier; number <= c.lineNumber; ++number) {
    in >> row;
    lineCells = cells.read(row, number);
  }
  const RowValue result = rowValue(row, c.lineNumber, lineCells);
  EXPECT_EQ(result.kind, c.kind);
  EXPECT_EQ(result.value, c.value);
  const std::string prefix =
      "tree_data: DataFile.csv:" + std::to_string(c.lineNumber) + ": ";
  EXPECT_EQ(isReported(result), !c.message.empty());
  EXPECT_EQ(rowDiagnostics(row, result, c.lineNumber, false),
            c.message.empty() ? "" : prefix + c.message + "\n");
  // A stray carriage return is told first, on every kind of line, and is a
  // value's one report.
  const std::string skipped = result.kind == value || c.message.empty() ? "" : prefix + c.message + "\n";
  EXPECT_EQ(rowDiagnostics(row, result, c.lineNumber, true),
            prefix + strayCarriageReturnMessage + "\n" + skipped);
}

// Every message the code can form about a line, for every kind and note of row,
// with a stray carriage return and without, is one that the manual's catalogue
// names, its field shown as long as it can be, and every entry one it forms.
TEST(DiagnosticCatalogueTest, NamesEveryMessageBothWays) {
  std::istringstream in("a,b," + std::string(shownFieldBytes + 1, '\x01'));
  DataRow row;
  in >> row;
  std::vector<std::string> formed;
  for (int kind = 0; kind <= static_cast<int>(RowKind::OutOfRange); ++kind)
    for (int note = 0; note <= static_cast<int>(RowNote::TextAfterNumber); ++note)
      for (const bool strayCarriageReturn : {false, true}) {
        const RowValue result{static_cast<RowKind>(kind), -2147483647 - 1,
                              static_cast<RowNote>(note), 4294967297};
        SCOPED_TRACE(testing::PrintToString(result.kind) + ", " +
                     testing::PrintToString(result.note));
        std::istringstream lines(rowDiagnostics(row, result, 4294967297, strayCarriageReturn));
        for (std::string line; std::getline(lines, line); formed.push_back(line))
          EXPECT_TRUE(std::regex_match(line, lineDiagnostics::pattern())) << line;
      }
  const auto formedAs = [&](const std::string &pattern) {
    const std::regex each("tree_data: DataFile\\.csv:[0-9]+: " + pattern);
    return std::any_of(formed.begin(), formed.end(),
                       [&](const std::string &line) { return std::regex_match(line, each); });
  };
  for (const char *entry : catalogueMessages)
    EXPECT_TRUE(formedAs(lineDiagnostics::entryPattern(entry) + "(?:; .*)?"))
        << "nothing forms the manual's \"" << entry << "\"";
  for (const char *cause : catalogueCauses)
    EXPECT_TRUE(formedAs(".*; " + lineDiagnostics::entryPattern(cause)))
        << "nothing forms the manual's cause \"" << cause << "\"";
}

// An array, not one call of testing::Values: mingw-w64's GCC 12 fails with
// an internal error on a function that builds so many cases.
const RowCase rows[] = {
        RowCase{"Plain", "7,abc,42", 2, value, 42, ""},
        RowCase{"ExtraFieldsIgnored", "1,2,3,4,5", 2, value, 3, ""},
        RowCase{"LeadingSpace", "a,b, 42", 2, value, 42, ""},
        RowCase{"Plus", "a,b,+7", 2, value, 7, ""},
        RowCase{"Minus", "a,b,-3", 2, value, -3, ""},
        RowCase{"MinusZero", "a,b,-0", 2, value, 0, ""},
        RowCase{"LeadingZeros", "a,b,007", 2, value, 7, ""},
        RowCase{"WhiteSpaceAfter", "a,b,30 \t\v\f\r", 2, value, 30, ""},
        RowCase{"Max", "a,b,2147483647", 2, value, 2147483647, ""},
        RowCase{"Min", "a,b,-2147483648", 2, value, -2147483647 - 1, ""},
        RowCase{"NumericFirstLine", "1,2,3", 1, value, 3, ""},
        // Line 1 with a number in any field but the third is data.
        RowCase{"NumberSecondOnFirstLine", "id,7,x", 1, RowKind::NotInteger, 0,
                "skipped row: third field \"x\" is not an integer"},
        RowCase{"NumberFourthOnFirstLine", "id,name,x,2024", 1, RowKind::NotInteger, 0,
                "skipped row: third field \"x\" is not an integer"},
        // More than the number in the field: the value is printed, and its
        // line reported. Past eight digits, within them and after them.
        RowCase{"TrailingText", "a,b,-12abc", 2, value, -12, holdsMore("-12abc", -12)},
        RowCase{"ThousandsSeparator", "a,b,12345678 9", 2, value, 12345678, holdsMore("12345678 9", 12345678)},
        RowCase{"NinthByte", "a,b,00000000.", 2, value, 0, holdsMore("00000000.", 0)},
        RowCase{"EighthByte", "a,b,+123456/8", 2, value, 123456, holdsMore("+123456/8", 123456)},
        RowCase{"ColonInEight", "a,b,1234:678", 2, value, 1234, holdsMore("1234:678", 1234)},
        RowCase{"Nul", std::string("a,b,7\0", 6), 2, value, 7, holdsMore("7\\x00", 7)},
        RowCase{"Empty", "", 3, RowKind::Blank, 0, ""},
        RowCase{"WhiteSpace", " \t\r", 3, RowKind::Blank, 0, ""},
        RowCase{"LoneComma", ",", 3, RowKind::Blank, 0, ""},
        RowCase{"SpreadsheetEmptyRow", ",,,\r", 3, RowKind::Blank, 0, ""},
        RowCase{"BlankFields", ", ,\t,\v\f", 3, RowKind::Blank, 0, ""},
        RowCase{"OneFieldNotBlank", "x,,\t", 4, RowKind::NotInteger, 0,
                "skipped row: third field \"\\t\" is not an integer"},
        RowCase{"Header", "id,name,value", 1, RowKind::Header, 0, ""},
        RowCase{"QuotedHeader", "\"Id\",\"Name\",\"Value\"", 1, RowKind::Header, 0, ""},
        RowCase{"HeaderWithDots", "No.,Name,Amount", 1, RowKind::Header, 0, ""},
        // A first line with a number is data, and reported as such.
        RowCase{"FirstRowOfData", "1,alpha,n/a", 1, RowKind::NotInteger, 0,
                "skipped row: third field \"n/a\" is not an integer"},
        RowCase{"SplitNameOnFirstLine", "1,\"Smith, John\",42", 1, RowKind::NotInteger, 0,
                "skipped row: third field \" John\\\"\" is not an integer; quoted field split at a comma"},
        RowCase{"HeaderLater", "id,name,value", 2, RowKind::NotInteger, 0,
                "skipped row: third field \"value\" is not an integer"},
        // Line 2^32 + 1 is no header, and keeps its number, on 32-bit systems too.
        RowCase{"LinePast32Bits", "id,name,value", 4294967297, RowKind::NotInteger, 0,
                "skipped row: third field \"value\" is not an integer"},
        RowCase{"ShortFirstLine", "id,name", 1, RowKind::FewFields, 0,
                "skipped row: fewer than three fields"},
        RowCase{"TwoFields", " ,x", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields"},
        RowCase{"Tabs", "1\ta;b\t2", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; fields are separated by commas, not tabs"},
        RowCase{"Semicolons", "1;a;2", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; fields are separated by commas, not semicolons"},
        RowCase{"SplitQuoteShort", "\"Smith, John\"", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; quoted field split at a comma"},
        // A spreadsheet quotes a field that holds a comma, which still
        // splits it here.
        RowCase{"QuotedCommaInSecondField", "1,\"Box, 12\",43", 2, value, 12, quoteSplit},
        RowCase{"EveryFieldQuoted", "\"2\",\"Smith, 3rd\",\"44\"", 2, value, 3, quoteSplit},
        RowCase{"QuotedCommaInFirstField", "\"Smith, J\",5,6", 2, value, 5, quoteSplit},
        RowCase{"LoneQuote", "\",b,8", 2, value, 8, quoteSplit},
        RowCase{"QuotedQuoteNotClosed", "a,\"\"\",9", 2, value, 9, quoteSplit},
        RowCase{"QuotesClosed", "\"alpha\",\"say \"\"hi\"\"\",5", 2, value, 5, ""},
        RowCase{"EmptyQuotesAndQuoteInside", "\"\",5\",7", 2, value, 7, ""},
        RowCase{"QuoteClosedInsideField", "\"ab\"c,x,5", 2, value, 5, ""},
        RowCase{"QuotedThird", "\"1\",\"a\",\"42\"", 2, RowKind::NotInteger, 0,
                "skipped row: third field \"\\\"42\\\"\" is not an integer; quotes are not read"},
        // Quoted cells across lines, the last line the one looked at; the
        // exports of spreadsheets are the end-to-end table's.
        RowCase{"CellOpenForLines", "1,a,2,\"x\n\ny\nz, b, 5\"", 4, value, 5, continues(1) + fromInside},
        RowCase{"CellReopened", "1,a,2,\"x\ny\",b,\"c\nd,e,6", 3, value, 6, continues(2) + fromInside},
        RowCase{"CellClosedOnItsLine", "1,a,42,\"x, y\"\n2,b,7", 2, value, 7, ""},
        RowCase{"ContinuedCellSkipped", "4,\"line1\nline2, 99", 6, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; " + continues(5)},
        RowCase{"CellOpenAtLineEnd", "4,\"line1", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; quoted field not closed on its line"},
        // Backslash escapes; MySQL's and MariaDB's exports are the end-to-end table's.
        RowCase{"EscapedSeparatorsOrdinary", "1,a\\;b\\\tc,7", 2, value, 7, ""},
        RowCase{"EscapedCarriageReturn", "1,a,42,see\\\r\nx,y,99", 2, value, 99,
                escapedContinues(1) + fromEscapedInside},
        RowCase{"CarriageReturnBeforeATrailingComma", "1,a,42,x\\\r,\n2,b,7", 2, value, 7, ""},
        RowCase{"EscapedCommaEndsAShortRow", "1,Box\\,", 2, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; field split at a comma escaped with a backslash"},
        RowCase{"FieldBegunOnAContinuation", "1,a\\\nb,c,d\\\ne,f,5", 3, value, 5,
                escapedContinues(2) + fromEscapedInside},
        RowCase{"BlankLineEndsAnEscapedField", "1,a\\\n\n2,b,7", 3, value, 7, ""},
        RowCase{"EscapedBeforeQuotedContinuation", "x\\\n1,\"a,b\",5", 2, RowKind::NotInteger, 0,
                "skipped row: third field \"b\\\"\" is not an integer; " + escapedContinues(1)},
        RowCase{"UnicodeText", "2\tbeta\t12,500\t1,000", 2, value, 0, fieldsBefore("tabs")},
        RowCase{"SeparatorQuoted", "5,\"x;y\",7", 2, value, 7, ""},
        RowCase{"SemicolonInSecondField", "1,red;blue,42", 2, value, 42, fieldsBefore("semicolons")},
        RowCase{"TabInSecondField", "1,a\tb,42", 2, value, 42, fieldsBefore("tabs")},
        RowCase{"QuoteAfterATabOpensACell", "x\t\"a,b\"\tc,d,9", 2, RowKind::NotInteger, 0,
                "skipped row: third field \"d\" is not an integer; quoted field split at a comma"},
        RowCase{"QuotesInsideAFieldOrdinary", "ab\"\"c,x,7", 2, value, 7, ""},
        RowCase{"QuotedThirdFieldSplit", "1,a,\"5,x\",7", 2, RowKind::NotInteger, 0,
                "skipped row: third field \"\\\"5\" is not an integer; quotes are not read"},
        RowCase{"SeparatorInThirdField", "1,a,5;\"x\"", 2, value, 5, holdsMore("5;\\\"x\\\"", 5)},
        RowCase{"SemicolonsShort", "1;a,b", 4, RowKind::FewFields, 0,
                "skipped row: fewer than three fields; fields are separated by commas, not semicolons"},
        RowCase{"QuotedThirdFieldSkippedOnce", "\"3\",\"a, b\",\"45\"", 2,
                RowKind::NotInteger, 0,
                "skipped row: third field \" b\\\"\" is not an integer; quoted field split at a comma"},
        RowCase{"EmptyThird", "a,b,,d", 5, RowKind::NotInteger, 0,
                "skipped row: third field \"\" is not an integer"},
        RowCase{"SignOnly", "a,b,-", 5, RowKind::NotInteger, 0,
                "skipped row: third field \"-\" is not an integer"},
        RowCase{"PastMax", "a,b,2147483648", 1, RowKind::OutOfRange, 0,
                "skipped row: third field \"2147483648\" is out of range"},
        RowCase{"PastMin", "a,b,-2147483649", 6, RowKind::OutOfRange, 0,
                "skipped row: third field \"-2147483649\" is out of range"},
        RowCase{"FarPast", "a,b,99999999999999999999999", 7,
                RowKind::OutOfRange, 0,
                "skipped row: third field \"99999999999999999999999\" is out "
                "of range"},
};

INSTANTIATE_TEST_SUITE_P(Rows, RowValueTest, testing::ValuesIn(rows), CaseName());

TEST(EscapeFieldTest, ShowsOnlyPrintableAscii) {
  const struct {
    std::string field;
    std::string shown;
  } cases[] = {
      {"plain text 1", "plain text 1"},
      {" ~", " ~"}, // both ends of printable ASCII
      {"say \"hi\" \\o/", "say \\\"hi\\\" \\\\o/"},
      {"a\tb\r", "a\\tb\\r"},
      {std::string("\0\x1b[2J\x7f", 6), "\\x00\\x1b[2J\\x7f"},
      {"caf\xc3\xa9\xff", "caf\\xc3\\xa9\\xff"},
      {std::string(shownFieldBytes, 'x'), std::string(shownFieldBytes, 'x')},
      {std::string(shownFieldBytes + 1, 'x'), std::string(shownFieldBytes, 'x') + "..."},
      {std::string(shownFieldBytes - 1, 'x') + "\x01yz",
       std::string(shownFieldBytes - 1, 'x') + "\\x01..."},
  };
  for (const auto &c : cases)
    EXPECT_EQ(escapeField(c.field), c.shown) << c.field;
}

} // namespace
