// What the program does when standard output or standard error fails, is
// closed or is a pipe that closes, and how its output goes out.
#include "case_name.h"
#include "program_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace endToEnd {
namespace {

// Whether something opens files in the program's process before it runs.
bool closedStreamTaken() {
#ifdef PROGRAM_IS_WINDOWS
  return true;
#else
  const char *preloaded = std::getenv("LD_PRELOAD");
  return preloaded != nullptr && *preloaded != '\0';
#endif
}

TEST_F(ProgramTest, WriteErrorsAreReported) {
  const std::string good = "a,b,1\na,b,2\n";
  const std::string bad = "a,b,1\na,b\na,b,2\n";
  const std::string empty;
  const std::string whole = "Tree Data\n1\n2\n";
  const struct {
    const std::string &input;
    const char *redirections;
    std::string out; // not looked at when empty
    std::string err;
    int status;
    bool terminal = false; // standard output taken for a terminal, by the preload
  } cases[] = {
      {good, ">/dev/full 2>err", "", "tree_data: write error: No space left on device\n", 2},
      {good, ">&- 2>err", "", "tree_data: write error: Bad file descriptor\n", 2},
      // A diagnostic that cannot be written leaves the values whole.
      {bad, ">out 2>/dev/full", whole, "", 2},
      {bad, ">out 2>&-", whole, "", 2},
      // With nothing to say, standard error is never written.
      {good, ">out 2>&-", whole, "", 0},
      // The heading goes out at once, and its error outlives the open.
      {empty, ">/dev/full 2>err", "", "tree_data: write error: No space left on device\n", 2, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.redirections);
    // Wine, and a library preloaded into every program (faketime, when the
    // package's build is run under a clock of its own), open files of their
    // own as the program starts, which take the descriptor of a closed
    // stream: the program cannot start with one closed.
    if ((closedStreamTaken() && std::strstr(c.redirections, "&-") != nullptr) ||
        (c.terminal && allocationsHidden() != nullptr))
      continue;
    writeInput(c.input);
    fs::remove(dir / "err");
    EXPECT_EQ(shell((c.terminal ? preload + "TREE_DATA_COUNT_TO=count TREE_DATA_TERMINAL=1 " : "") +
                    program + " " + c.redirections),
              c.status);
    if (c.terminal) {
      EXPECT_GT(preloadCounts().faults, 0u) << "standard output was not taken for a terminal";
    }
    if (!c.out.empty()) {
      EXPECT_EQ(readOutput(dir / "out"), c.out);
    }
    EXPECT_EQ(readOutput(dir / "err"), c.err);
  }
}

TEST_F(ProgramTest, ClosedPipeEndsTheRun) {
  std::string rows;
  for (int i = 0; i < 200000; ++i)
    rows += "a,b,123456\n";
  writeInput(rows);
  shell("{ " + program + " 2>err; echo \"$?\" >status; } | head -n 1 >out");
  EXPECT_EQ(readOutput(dir / "out"), "Tree Data\n");
#ifdef PROGRAM_IS_WINDOWS
  // Windows has no SIGPIPE: the write fails, with the reason Wine gives.
  EXPECT_EQ(readOutput(dir / "err"), "tree_data: write error: Invalid argument\n");
  EXPECT_EQ(readFile(dir / "status"), "2\n");
#else
  EXPECT_EQ(readOutput(dir / "err"), "");
  EXPECT_EQ(readFile(dir / "status"), "141\n"); // 128 + SIGPIPE
#endif
}

// On a terminal each line shows as soon as it is written: the FIFO's writer
// sends the second row only once the first row's value is on the screen.
// What the screen shows is what script copies of it, without the escape
// sequences that Wine's console adds and the carriage returns of line ends.
TEST_F(ProgramTest, TerminalGetsALineAtATime) {
  if (std::system("command -v script >/dev/null") != 0)
    GTEST_SKIP() << "script is not installed";
  const std::string shown = "sed 's/\\x1b\\[[?0-9;]*[A-Za-z]//g; s/\\r//g' screen";
  // The FIFO is made before the shell returns; only its writer goes on.
  ASSERT_EQ(shell("mkfifo DataFile.csv && { { printf 'a,b,1\\n'; for i in $(seq 300); do " +
                  shown + " 2>/dev/null | grep -qx 1 && break; sleep 0.1; done; " + shown +
                  " | grep -qx 1 || echo late >late; printf 'a,b,2\\n'; } >DataFile.csv & }"),
            0);
  ASSERT_EQ(shell("script -qec \"" + program + "\" /dev/null </dev/null >screen"), 0);
  EXPECT_FALSE(fs::exists(dir / "late")) << "the value showed only once the rows had all come";
  EXPECT_EQ(shell(shown + " >shown"), 0);
  EXPECT_EQ(readFile(dir / "shown"), "Tree Data\n1\n2\n");
}

// The values go out in 64 KiB blocks, to a pipe too, where the C library
// alone would write 4 KiB at a time.
TEST_F(ProgramTest, OutputGoesOutInFullBlocks) {
#ifdef PROGRAM_IS_WINDOWS
  GTEST_SKIP() << "Windows' C library writes text in pieces of its own, "
                  "and Wine's a line at a time";
#endif
  if (std::string(STRACE_PATH).empty())
    GTEST_SKIP() << "strace is not installed";
  std::string rows;
  for (int row = 1; row <= 40000; ++row)
    rows += "x,y," + std::to_string(row * 7919) + "\n";
  writeInput(rows);
  ASSERT_EQ(shell("'" STRACE_PATH "' -qq -e trace=write -e signal=none -o calls " +
                  program + " | cat >out"),
            0);
  static const std::regex toStandardOutput("write\\(1, .*\\) = ([0-9]+)");
  std::istringstream calls(readFile(dir / "calls"));
  std::vector<long> sizes;
  std::smatch match;
  for (std::string call; std::getline(calls, call);)
    if (std::regex_match(call, match, toStandardOutput))
      sizes.push_back(std::stol(match[1]));
  ASSERT_GE(sizes.size(), 3u);
  sizes.pop_back();
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 65536L), static_cast<long>(sizes.size()));
}

} // namespace
} // namespace endToEnd
