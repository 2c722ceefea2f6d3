// Runs the built program in a temporary folder on a given DataFile.csv and
// checks its standard output, standard error and exit status.
#include "case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
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

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The program as the shell starts it: behind its emulator when it is built
// for another system, since the shell cannot run it directly.
const std::string program = PROGRAM_EMULATOR "'" PROGRAM_PATH "'";

struct Outcome {
  std::string out;
  std::string err;
  int status; // the exit status, or 128 plus the signal that ended it
};

#ifdef PROGRAM_IS_WINDOWS
// The Windows program ends its lines in CRLF: read as LF, with a bare LF
// marked so that it cannot pass for a line end.
std::string asLf(const std::string &text) {
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      lf += "<LF without CR>";
    lf += text[i];
  }
  return lf;
}
#endif

std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Reads what the program wrote, with LF line ends.
std::string readOutput(const fs::path &path) {
#ifdef PROGRAM_IS_WINDOWS
  return asLf(readFile(path));
#else
  return readFile(path);
#endif
}

class ProgramTest : public testing::Test {
protected:
  void SetUp() override {
    std::string folder =
        (fs::temp_directory_path() / "tree_data_test.XXXXXX").string();
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
    const int raw =
        std::system(("cd '" + dir.string() + "' && " + command).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }

  // Runs the program in the folder after `prefix` (variable settings);
  // `stdoutTo`, when given, replaces the redirection that captures standard
  // output.
  Outcome run(const std::string &stdoutTo = "", const std::string &prefix = "") {
    const int status = shell(prefix + " " + program + " " +
                             (stdoutTo.empty() ? ">out" : stdoutTo) +
                             " 2>err");
    return {readOutput(dir / "out"), readOutput(dir / "err"), status};
  }

  fs::path dir;
};

struct RunCase {
  const char *name;
  std::optional<std::string> input; // no file at all when empty
  std::string values;               // standard output after the heading
  std::string err;
  int status;
};

// Shows a case by its name in test listings.
void PrintTo(const RunCase &c, std::ostream *out) { *out << c.name; }

class RunTest : public ProgramTest,
                public testing::WithParamInterface<RunCase> {};

TEST_P(RunTest, PrintsValuesAndReportsSkippedRows) {
  const RunCase &c = GetParam();
  if (c.input)
    writeInput(*c.input);
  const Outcome result = run();
  EXPECT_EQ(result.out, "Tree Data\n" + c.values);
  EXPECT_EQ(result.err, c.err);
  EXPECT_EQ(result.status, c.status);
}

const std::string where = "tree_data: DataFile.csv:";

INSTANTIATE_TEST_SUITE_P(
    Files, RunTest,
    testing::Values(
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
                1}),
    CaseName());

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

TEST_F(ProgramTest, WriteErrorsAreReported) {
  const std::string good = "a,b,1\na,b,2\n";
  const std::string bad = "a,b,1\na,b\na,b,2\n";
  const std::string whole = "Tree Data\n1\n2\n";
  const struct {
    const std::string &input;
    const char *redirections;
    std::string out; // not looked at when empty
    std::string err;
    int status;
  } cases[] = {
      {good, ">/dev/full 2>err", "", "tree_data: write error: No space left on device\n", 2},
      {good, ">&- 2>err", "", "tree_data: write error: Bad file descriptor\n", 2},
      // A diagnostic that cannot be written leaves the values whole.
      {bad, ">out 2>/dev/full", whole, "", 2},
      {bad, ">out 2>&-", whole, "", 2},
      // With nothing to say, standard error is never written.
      {good, ">out 2>&-", whole, "", 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.redirections);
#ifdef PROGRAM_IS_WINDOWS
    // Wine opens files of its own as it starts, which take the descriptor of
    // a closed stream: it cannot start a program with one closed.
    if (std::strstr(c.redirections, "&-") != nullptr)
      continue;
#endif
    writeInput(c.input);
    fs::remove(dir / "err");
    EXPECT_EQ(shell(program + " " + c.redirections), c.status);
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

const std::string preload = "LD_PRELOAD='" FAULT_INJECTION_PATH "' ";

#ifdef PROGRAM_IS_ELSEWHERE
// Whether the fault-injection preload reaches a program built elsewhere: it
// writes its counts at exit only from inside the program.
bool preloadReaches() {
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
const char *allocationsHidden() {
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

// Says whether `text` is a leading part of `full` followed by `last`.
bool prefixThen(const std::string &text, const std::string &full,
                const std::string &last) {
  if (text.size() < last.size())
    return false;
  const std::size_t lead = text.size() - last.size();
  return text.compare(lead, last.size(), last) == 0 &&
         full.compare(0, lead, text, 0, lead) == 0;
}

TEST_F(ProgramTest, EveryAllocationFailureEndsTheRunCleanly) {
  if (const char *reason = allocationsHidden())
    GTEST_SKIP() << reason;
  const std::string longField(50, '9');
  writeInput("id,name,value\n1,a,10\n\n2,b\n3,c,x" + longField + "\n4,d,-20\n5,e," +
             longField + "\n6,f,30\n");
  const Outcome full = run("", preload + "TREE_DATA_COUNT_TO=count");
  ASSERT_EQ(full.status, 1) << full.err;
  ASSERT_EQ(full.out, "Tree Data\n10\n-20\n30\n");
  EXPECT_EQ(shell(program + " >merged 2>&1"), 1);
  const std::string fullMerged = readOutput(dir / "merged");
  unsigned long long beforeMain = 0;
  unsigned long long points = 0;
  std::istringstream(readFile(dir / "count")) >> beforeMain >> points;
  ASSERT_GT(points, 0u);

  const std::string oom = "tree_data: out of memory\n";
  unsigned long long unharmed = 0;
  // Each point once with the run-time's reserve for exceptions, and once
  // without it, where an exception that cannot be allocated terminates.
  for (unsigned long long step = 0; step < 2 * points; ++step) {
    const unsigned long long n = step / 2 + 1;
    const bool noReserve = step % 2 == 1;
    const std::string failing = preload + (noReserve ? "TREE_DATA_FAIL_RESERVE=1 " : "") +
                                "TREE_DATA_FAIL_ALLOC=" + std::to_string(n);
    const Outcome result = run("", failing);
    if (result.out == full.out && result.err == full.err &&
        result.status == full.status) {
      ++unharmed;
      continue;
    }
    SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(points) +
                 (noReserve ? ", no reserve" : ""));
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(prefixThen(result.out, full.out, "")) << result.out;
    EXPECT_TRUE(prefixThen(result.err, full.err, oom)) << result.err;
    // Both streams to one place: all that came before, then the diagnostic.
    shell(failing + " " + program + " >merged 2>&1");
    const std::string merged = readOutput(dir / "merged");
    EXPECT_TRUE(prefixThen(merged, fullMerged, oom)) << merged;
  }
  std::printf("swept %llu allocation points with and without the reserve for "
              "exceptions (%llu of %llu runs gave the full answer); %llu made "
              "before main left out\n",
              points, unharmed, 2 * points, beforeMain);
}

#ifdef PROGRAM_IS_WINDOWS
// Under Wine, standard output is written a line at a time, a write that fails
// with EAGAIN or EINTR is tried again below the program, and an error number
// other than ENOSPC and EBADF reaches the program as EINVAL. Wine also passes
// on no error from close().
constexpr int sweptRows = 120;
constexpr int badRowEvery = 40;
constexpr bool closeCanFail = false;
bool retriedBelow(int error) { return error == EAGAIN || error == EINTR; }
int reachingError(int error) { return error == ENOSPC || error == EBADF ? error : EINVAL; }
#else
// Six 64 KiB blocks of output, with a reported row after each 90 KB.
constexpr int sweptRows = 40000;
constexpr int badRowEvery = 9000;
constexpr bool closeCanFail = true;
bool retriedBelow(int) { return false; }
int reachingError(int error) { return error; }
#endif

// Fails each write to standard output in turn, once, and then its close, by
// strace's fault injection: the C library's stdio calls its own write, which
// no preload reaches.
TEST_F(ProgramTest, EveryWriteFailureEndsTheRunCleanly) {
  if (std::string(STRACE_PATH).empty())
    GTEST_SKIP() << "strace is not installed";
  std::string rows;
  for (int row = 1; row <= sweptRows; ++row)
    rows += row % badRowEvery == 0 ? "x,y,bad\n" : "x,y," + std::to_string(row * 7919) + "\n";
  writeInput(rows);
  const Outcome full = run();
  ASSERT_EQ(full.status, 1) << full.err;
  shell(program + " >merged 2>&1");
  const std::string fullMerged = readOutput(dir / "merged");
  // Traces, and fails, only the writes to the file named out, and its close,
  // in whichever process of an emulator makes them. A filter in the kernel
  // keeps Wine's many other calls from stopping at strace.
  std::string strace = "'" STRACE_PATH "' -f -qq -e trace=write,close -P \"$PWD/out\" -o calls ";
#if defined(TREE_DATA_SANITIZED)
  strace = "ASAN_OPTIONS=detect_leaks=0 " + strace; // LeakSanitizer cannot run under ptrace
#elif defined(PROGRAM_IS_WINDOWS)
  strace += "--seccomp-bpf ";
#endif
  ASSERT_EQ(shell(strace + program + " >out 2>err"), 1);
  const auto writesMade = [&] {
    std::istringstream calls(readFile(dir / "calls"));
    long writes = 0;
    for (std::string call; std::getline(calls, call);)
      writes += call.find("write(") != std::string::npos ? 1 : 0;
    return writes;
  };
  const long points = writesMade();
  ASSERT_GT(points, 6);

  // Each write fails with the next of these in turn: none may be retried.
  // The point after the last write is the close, failing as a network file
  // system's may, with all written.
  const int errors[] = {EIO, EAGAIN, ENOSPC, EPIPE, EINTR, EDQUOT, EFBIG, EBADF, EINVAL};
  for (long n = 1; n <= points + (closeCanFail ? 1 : 0); ++n) {
    const bool atClose = n > points;
    const int error = atClose ? EIO : errors[static_cast<std::size_t>(n) % std::size(errors)];
    const std::string writeError =
        "tree_data: write error: "s + strerror(reachingError(error)) + "\n";
    SCOPED_TRACE((atClose ? "the close" : "write " + std::to_string(n)) + " of " +
                 std::to_string(points) + ": " + strerror(error));
    const std::string failing =
        strace + (atClose ? "-e inject=close:error=EIO"
                          : "-e inject=write:error=" + std::to_string(error) +
                                ":when=" + std::to_string(n));
    const Outcome result = run("", failing);
    if (retriedBelow(error)) {
      EXPECT_EQ(result.status, full.status);
      EXPECT_EQ(result.out, full.out);
      EXPECT_EQ(result.err, full.err);
      continue;
    }
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(writesMade(), atClose ? points : n) << "written after the failed write";
    EXPECT_TRUE(prefixThen(result.out, full.out, "")) << result.out.size();
    if (atClose) {
      EXPECT_EQ(result.out, full.out);
    }
    EXPECT_TRUE(prefixThen(result.err, full.err, writeError)) << result.err;
    // Both streams to one file, standard error under a second name.
    shell(": >out && ln -f out alias && " + failing + " " + program + " >>out 2>>alias");
    EXPECT_TRUE(prefixThen(readOutput(dir / "out"), fullMerged, writeError));
  }
  std::printf("swept %ld writes to standard output%s\n", points,
              closeCanFail ? " and its close" : "");
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

TEST_F(ProgramTest, FailedOpensAndReads) {
  if (const char *reason = allocationsHidden())
    GTEST_SKIP() << reason;
  writeInput("a,b,1\n");
  const std::string cannotOpen = "tree_data: DataFile.csv: cannot open: ";
  const struct {
    const char *call; // which call fails: OPEN or READ
    int error;
    std::string out;
    std::string err;
    int status;
  } cases[] = {
      // A file that is absent or not ours to read is quiet.
      {"OPEN", ENOENT, "Tree Data\n", "", 0},
      {"OPEN", ENOTDIR, "Tree Data\n", "", 0},
      {"OPEN", ELOOP, "Tree Data\n", "", 0},
      {"OPEN", EACCES, "Tree Data\n", "", 0},
      {"OPEN", EPERM, "Tree Data\n", "", 0},
      {"OPEN", EINTR, "Tree Data\n1\n", "", 0}, // retried
      {"OPEN", EMFILE, "Tree Data\n", cannotOpen + "Too many open files\n", 2},
      {"OPEN", ENFILE, "Tree Data\n", cannotOpen + "Too many open files in system\n", 2},
      {"OPEN", EIO, "Tree Data\n", cannotOpen + "Input/output error\n", 2},
      {"OPEN", ENOMEM, "Tree Data\n", "tree_data: out of memory\n", 2},
      // The values read before the error stay printed, in order.
      {"READ", EIO, "Tree Data\n1\n",
       "tree_data: DataFile.csv: read error: Input/output error\n", 2},
      {"READ", ENXIO, "Tree Data\n1\n",
       "tree_data: DataFile.csv: read error: No such device or address\n", 2},
      {"READ", EINTR, "Tree Data\n1\n", "", 0}, // retried
      {"READ", ENOMEM, "Tree Data\n1\n", "tree_data: out of memory\n", 2},
  };
  for (const auto &c : cases) {
    const std::string failing = preload + "TREE_DATA_FAIL_" + c.call + "=" +
                                std::to_string(c.error);
    SCOPED_TRACE(std::string(c.call) + ": " + strerror(c.error));
    const Outcome result = run("", failing);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(shell(failing + " " + program + " >merged 2>&1"), c.status);
    EXPECT_EQ(readOutput(dir / "merged"), c.out + c.err);
  }
}

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

// Says whether every line of `err` is a diagnostic about a line.
bool onlyRowDiagnostics(const std::string &err) {
  static const std::regex diagnostic(
      "tree_data: DataFile\\.csv:[1-9][0-9]*: (skipped row: (fewer than "
      "three fields|third field \"[ -~]*\" is (not an integer|out of "
      "range))|carriage return inside the line; lines end only at a newline)");
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);)
    if (!std::regex_match(line, diagnostic))
      return false;
  return err.empty() || err.back() == '\n';
}

std::string randomBytes(const std::string &alphabet) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string bytes(1 << 20, '\0');
  for (char &byte : bytes)
    byte = alphabet[pick(random)];
  return bytes;
}

struct HostileCase {
  const char *name;
  std::string (*input)();
  int status;        // -1 for 0 or 1
  long long values;  // -1 for any number
};

void PrintTo(const HostileCase &c, std::ostream *out) { *out << c.name; }

class HostileTest : public ProgramTest,
                    public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileTest, PrintsOnlyIntegersAndRowDiagnostics) {
  const HostileCase &c = GetParam();
  writeInput(c.input());
  const Outcome result = run();
  std::size_t values = 0;
  EXPECT_TRUE(onlyIntegers(result.out, values));
  EXPECT_TRUE(onlyRowDiagnostics(result.err)) << result.err.substr(0, 1000);
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
