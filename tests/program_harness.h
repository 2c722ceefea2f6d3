// The end-to-end suite's harness: runs the program under test in a temporary
// folder on a given DataFile.csv, through a POSIX shell, and reads what it
// wrote.
#ifndef TREE_DATA_TESTS_PROGRAM_HARNESS_H
#define TREE_DATA_TESTS_PROGRAM_HARNESS_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <sys/wait.h>
#include <unistd.h>

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
inline const std::string program = PROGRAM_EMULATOR "'" PROGRAM_PATH "'";

// The start of every diagnostic about a line of the input.
inline const std::string where = "tree_data: DataFile.csv:";

// Variable settings that preload the fault-injection library.
inline const std::string preload = "LD_PRELOAD='" FAULT_INJECTION_PATH "' ";

struct Outcome {
  std::string out;
  std::string err;
  int status; // the exit status, or 128 plus the signal that ended it
};

inline std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Reads what the program wrote, with LF line ends. The Windows program ends
// its lines in CRLF: read as LF, with a bare LF marked so that it cannot pass
// for a line end.
inline std::string readOutput(const fs::path &path) {
  const std::string text = readFile(path);
#ifdef PROGRAM_IS_WINDOWS
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      lf += "<LF without CR>";
    lf += text[i];
  }
  return lf;
#else
  return text;
#endif
}

// Says whether `text` is a leading part of `full` followed by `last`.
inline bool prefixThen(const std::string &text, const std::string &full,
                       const std::string &last) {
  if (text.size() < last.size())
    return false;
  const std::size_t lead = text.size() - last.size();
  return text.compare(lead, last.size(), last) == 0 &&
         full.compare(0, lead, text, 0, lead) == 0;
}

#ifdef PROGRAM_IS_ELSEWHERE
// Whether the fault-injection preload reaches a program built elsewhere: it
// writes its counts at exit only from inside the program.
inline bool preloadReaches() {
  std::string folder = (fs::temp_directory_path() / "tree_data_probe.XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr)
    return false;
  std::system(("cd '" + folder + "' && " + preload + "TREE_DATA_COUNT_TO=counts " +
               program + " >/dev/null 2>&1")
                  .c_str());
  const bool reached = fs::exists(fs::path(folder) / "counts");
  fs::remove_all(folder);
  return reached;
}
#endif

// Why neither the fault-injection preload nor valgrind can see the program's
// allocations, or null when both can.
inline const char *allocationsHidden() {
#if defined(TREE_DATA_SANITIZED)
  return "the sanitizer runtime owns malloc";
#elif defined(PROGRAM_IS_STATIC)
  return "the program is linked statically: nothing can be preloaded into it, "
         "and valgrind cannot follow its allocations";
#else
  if (!std::string(PROGRAM_EMULATOR).empty())
    return "the program runs under an emulator, which the preload and valgrind "
           "would reach instead";
#ifdef PROGRAM_IS_ELSEWHERE
  static const bool reaches = preloadReaches();
  if (!reaches)
    return "nothing can be preloaded into the program: it is linked statically";
#endif
  return nullptr;
#endif
}

class ProgramTest : public testing::Test {
protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "tree_data_test.XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    dir = folder;
  }

  void TearDown() override { fs::remove_all(dir); }

  void writeInput(const std::string &bytes) {
    std::ofstream(dir / "DataFile.csv", std::ios::binary) << bytes;
  }

  // Runs `command` through the shell in the folder and returns its status,
  // or 128 plus the signal that ended it.
  int shell(const std::string &command) {
    const int raw = std::system(("cd '" + dir.string() + "' && " + command).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }

  // Runs the program in the folder after `prefix` (variable settings);
  // `stdoutTo`, when given, replaces the redirection that captures standard
  // output.
  Outcome run(const std::string &stdoutTo = "", const std::string &prefix = "") {
    const int status = shell(prefix + " " + program + " " +
                             (stdoutTo.empty() ? ">out" : stdoutTo) + " 2>err");
    return {readOutput(dir / "out"), readOutput(dir / "err"), status};
  }

  // What the preload counted in the last run given TREE_DATA_COUNT_TO=count.
  struct Counts { unsigned long long beforeMain = 0, afterMain = 0, faults = 0; };
  Counts preloadCounts() {
    Counts counts;
    std::istringstream(readFile(dir / "count")) >> counts.beforeMain >> counts.afterMain >> counts.faults;
    return counts;
  }

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
