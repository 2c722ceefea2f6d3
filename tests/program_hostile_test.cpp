// The program on hostile files: random bytes, huge lines, NUL bytes, numbers
// past the limits, terminal escapes, and a million rows in bounded memory.
#include "case_name.h"
#include "line_diagnostic.h"
#include "program_harness.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <random>
#include <string>

namespace endToEnd {

// Outside the unnamed namespace, so that the harness shows a case by its
// name.
struct HostileCase {
  const char *name;
  std::string (*input)();
  int status;        // -1 for 0 or 1
  long long values;  // -1 for any number
};

namespace {

using namespace std::string_literals;

// Says whether `out` is the heading followed by decimal integer lines alone,
// and counts those lines.
bool onlyIntegers(const std::string &out, std::size_t &values) {
  const std::string heading = "Tree Data\n";
  if (out.compare(0, heading.size(), heading) != 0)
    return false;
  values = 0;
  for (std::size_t start = heading.size(); start < out.size(); ++values) {
    const std::size_t end = out.find('\n', start);
    if (end == std::string::npos)
      return false;
    const std::size_t digits = start + (out[start] == '-' ? 1 : 0);
    if (digits == end ||
        out.find_first_not_of("0123456789", digits) != end)
      return false;
    start = end + 1;
  }
  return true;
}

std::string randomBytes(const std::string &alphabet) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string bytes(1 << 20, '\0');
  for (char &byte : bytes)
    byte = alphabet[pick(random)];
  return bytes;
}


using HostileTest = TableTest<HostileCase>;

TEST_P(HostileTest, PrintsOnlyIntegersAndRowDiagnostics) {
  const HostileCase &c = GetParam();
  const std::string input = c.input();
  writeInput(input);
  const Outcome result = run();
  std::size_t values = 0;
  EXPECT_TRUE(onlyIntegers(result.out, values));
  if (const auto stray = lineDiagnostics::strayLine(result.err, input)) {
    ADD_FAILURE() << "standard error's line " << testing::PrintToString(stray->first)
                  << " matches no diagnostic; the input line it names: "
                  << testing::PrintToString(stray->second.substr(0, 200));
  }
  if (c.status < 0) {
    EXPECT_TRUE(result.status == 0 || result.status == 1) << result.status;
  } else {
    EXPECT_EQ(result.status, c.status);
  }
  if (c.values >= 0) {
    EXPECT_EQ(values, static_cast<std::size_t>(c.values));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileTest,
    testing::Values(
        HostileCase{"RandomBytes",
                    [] {
                      std::string all(256, '\0');
                      for (std::size_t i = 0; i < all.size(); ++i)
                        all[i] = static_cast<char>(i);
                      return randomBytes(all);
                    },
                    -1, -1},
        HostileCase{"RandomRows",
                    [] { return randomBytes("0123456789-+ ,,,,\n\n\r\"\x1b\0a"s); },
                    -1, -1},
        HostileCase{"HugeLine",
                    [] {
                      return "a,b,1\na,b," + std::string(32 << 20, '7') +
                             "\na,b,2\n";
                    },
                    1, 2},
        HostileCase{"MillionCommas",
                    // Blank but for the last of its fields.
                    [] { return "a,b,1\n" + std::string(1000000, ',') + "x\na,b,2\n"; },
                    1, 2},
        HostileCase{"MillionEmptyLines",
                    [] { return std::string(1000000, '\n') + "a,b,5\n"; }, 0,
                    1},
        HostileCase{"NulBytes",
                    [] {
                      return "a,b,1\na,b,\0\n\0,\0,7\0\na,b,2\0x\n"s;
                    },
                    1, 3},
        HostileCase{"PastTheLimits",
                    [] {
                      return std::string(
                          "a,b,1\na,b,2147483648\na,b,-2147483649\n"
                          "a,b,99999999999999999999999999\n"
                          "a,b,-99999999999999999999\na,b,2\n");
                    },
                    1, 2},
        HostileCase{"EscapeSequences",
                    [] {
                      return std::string("a,b,1\na,b,\x1b[2J\x1b]0;title\a\n"
                                         "\x1b[31m,\x1b[0m,\x9b" "6n\na,b,3\n");
                    },
                    1, 2}),
    CaseName());

TEST_F(ProgramTest, PeakMemoryDoesNotGrowWithTheFile) {
#ifdef TREE_DATA_SANITIZED
  GTEST_SKIP() << "the sanitizer holds on to freed memory";
#endif
  if (std::string(TIME_PATH).empty())
    GTEST_SKIP() << "GNU time is not installed";
  long peakKiB[2] = {0, 0};
  const int rowCounts[2] = {1, 1000000};
  for (int i = 0; i < 2; ++i) {
    // Mostly good rows, with one in a hundred blank and one reported.
    std::ofstream out(dir / "DataFile.csv");
    for (int row = 1; row <= rowCounts[i]; ++row) {
      if (row % 100 == 0)
        out << "\n";
      else if (row % 100 == 50)
        out << row << ",name,bad\n";
      else
        out << row << ",name" << row % 1000 << ","
            << row * 2654435761LL % 4294967296LL - 2147483648LL << ",x\n";
    }
    out.close();
    // One row in a hundred is reported, so only the long run ends with 1.
    ASSERT_EQ(shell("'" TIME_PATH "' -f %M -o peak " + program + " >/dev/null 2>&1"),
              i == 0 ? 0 : 1);
    // The figure is on the last line, after any note on the exit status.
    const std::string peak = readFile(dir / "peak");
    ASSERT_FALSE(peak.empty());
    peakKiB[i] = std::stol(peak.substr(peak.find_last_of('\n', peak.size() - 2) + 1));
  }
  EXPECT_LE(peakKiB[1] - peakKiB[0], 1024)
      << "1 row: " << peakKiB[0] << " KiB, 1M rows: " << peakKiB[1] << " KiB";
}

} // namespace
} // namespace endToEnd
