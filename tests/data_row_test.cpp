#include "data_row.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Fields = std::vector<std::string>;

Fields fieldsOf(const DataRow &row) {
  Fields fields;
  for (std::size_t i = 0; i < row.size(); ++i)
    fields.push_back(row[i]);
  return fields;
}

struct SplitCase {
  const char *name;
  std::string line;
  Fields fields;
};

// Shows a case by its name in test listings.
void PrintTo(const SplitCase &c, std::ostream *out) { *out << c.name; }

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsAtEveryComma) {
  std::istringstream in(GetParam().line + "\n");
  DataRow row;
  in >> row;
  EXPECT_TRUE(in.good());
  EXPECT_EQ(fieldsOf(row), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitTest,
    testing::Values(
        SplitCase{"Plain", "a,b,c", {"a", "b", "c"}},
        SplitCase{"EmptyMiddle", "a,,c", {"a", "", "c"}},
        SplitCase{"EmptyFirst", ",a", {"", "a"}},
        SplitCase{"TrailingComma", "a,b,", {"a", "b"}},
        SplitCase{"LoneComma", ",", {""}},
        SplitCase{"OneField", "abc", {"abc"}},
        SplitCase{"Empty", "", {}},
        SplitCase{"QuotesDoNotProtect", "\"x,y\",z", {"\"x", "y\"", "z"}},
        SplitCase{"SpacesKept", " a , b", {" a ", " b"}},
        SplitCase{"CarriageReturnKept", "a,b,30\r", {"a", "b", "30\r"}},
        SplitCase{"LoneCarriageReturnsAreNotNewlines", "1\r2,3", {"1\r2", "3"}},
        SplitCase{"NulBytes", std::string("a\0b,c", 5), {std::string("a\0b", 3), "c"}}),
    CaseName());

TEST(DataRowTest, StreamStateTellsWhatWasRead) {
  std::istringstream in("a,b\n\nlast");
  DataRow row;
  in >> row;
  EXPECT_TRUE(in.good());
  EXPECT_EQ(fieldsOf(row), (Fields{"a", "b"}));
  in >> row;
  EXPECT_TRUE(in.good());
  EXPECT_EQ(row.size(), 0u);
  // A last line without a newline is still read; only end-of-file is set.
  EXPECT_TRUE(in >> row);
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(fieldsOf(row), Fields{"last"});
  EXPECT_FALSE(in >> row);
  EXPECT_EQ(row.size(), 0u);
}

TEST(DataRowTest, IndexPastTheLastFieldThrows) {
  std::istringstream in("a,b\n");
  DataRow row;
  in >> row;
  EXPECT_EQ(row[1], "b");
  EXPECT_THROW(row[2], std::out_of_range);
  EXPECT_THROW(DataRow()[0], std::out_of_range);
}

} // namespace
