// The end-to-end suite's harness: runs the program under test in a temporary
// folder on a given DataFile.csv, through a POSIX shell, and reads what it
// wrote.
#ifndef TREE_DATA_TESTS_PROGRAM_HARNESS_H
#define TREE_DATA_TESTS_PROGRAM_HARNESS_H

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>

// Sanitized builds own malloc, so they can neither preload one nor run under
// valgrind.
#if defined(__SANITIZE_ADDRESS__)
#define TREE_DATA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TREE_DATA_SANITIZED 1
#endif
#endif

namespace endToEnd {

namespace fs = std::filesystem;

// The program as the shell starts it: behind its emulator when it is built
// for another system, since the shell cannot run it directly.
extern const std::string program;

// The start of every diagnostic about a line of the input.
extern const std::string where;

// Variable settings that preload the fault-injection library.
extern const std::string preload;

struct Outcome {
  std::string out;
  std::string err;
  int status; // the exit status, or 128 plus the signal that ended it
};

std::string readFile(const fs::path &path);

// Reads what the program wrote, with LF line ends.
std::string readOutput(const fs::path &path);

// Says whether `text` is a leading part of `full` followed by `last`.
bool prefixThen(const std::string &text, const std::string &full,
                const std::string &last);

// Why neither the fault-injection preload nor valgrind can see the program's
// allocations, or null when both can.
const char *allocationsHidden();

class ProgramTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  void writeInput(const std::string &bytes);

  // Runs `command` through the shell in the folder and returns its status,
  // or 128 plus the signal that ended it.
  int shell(const std::string &command);

  // Runs the program in the folder after `prefix` (variable settings);
  // `stdoutTo`, when given, replaces the redirection that captures standard
  // output.
  Outcome run(const std::string &stdoutTo = "", const std::string &prefix = "");

  fs::path dir;
};

// A table's test: the fixture, with one named case of the table as its
// parameter.
template <typename Case>
class TableTest : public ProgramTest, public testing::WithParamInterface<Case> {};

// Shows a table's case by its name in test listings and failures.
template <typename Case, typename = decltype(std::declval<const Case &>().name)>
std::ostream &operator<<(std::ostream &out, const Case &c) {
  return out << c.name;
}

} // namespace endToEnd

#endif // TREE_DATA_TESTS_PROGRAM_HARNESS_H
