// Fails each allocation, each write to standard output and its close, and
// the input's open and read in turn: every run must end with the right
// diagnostic and status, after a leading part of what a full run prints.
#include "case_name.h"
#include "line_diagnostic.h"
#include "program_harness.h"
#include "row_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace endToEnd {
namespace {

using namespace std::string_literals;

TEST_F(ProgramTest, EveryAllocationFailureEndsTheRunCleanly) {
  if (const char *reason = allocationsHidden())
    GTEST_SKIP() << reason;
  // Longer than a diagnostic shows, so that the sweep covers a cut field.
  const std::string longField(shownFieldBytes + 10, '9');
  writeInput("id,name,value\n1,a,10\n\n2,b\n3,c,x" + longField + "\n4,d,-20\n5,e," +
             longField + "\n6,f,30\n");
  const Outcome full = run("", preload + "TREE_DATA_COUNT_TO=count");
  ASSERT_EQ(full.status, 1) << full.err;
  ASSERT_EQ(full.out, "Tree Data\n10\n-20\n30\n");
  EXPECT_EQ(shell(program + " >merged 2>&1"), 1);
  const std::string fullMerged = readOutput(dir / "merged");
  const unsigned long long beforeMain = preloadCounts().beforeMain;
  const unsigned long long points = preloadCounts().afterMain;
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
  // Most failed allocations change the run: where fewer did, none failed.
  EXPECT_LE(unharmed, points) << "fewer than half the runs changed";
  std::printf("swept %llu allocation points with and without the reserve for "
              "exceptions (%llu of %llu runs gave the full answer); %llu made "
              "before main left out\n",
              points, unharmed, 2 * points, beforeMain);
}

#ifdef PROGRAM_IS_WINDOWS
// Under Wine, standard output is written a line at a time, a write that fails
// with EAGAIN or EINTR is tried again below the program, and an error number
// other than ENOSPC and EBADF reaches the program as EINVAL. Wine also passes
// on no error from close(). A run under Wine and strace is slow, so the
// file is short enough for the sweep to stay well within its time limit
// with the machine loaded.
constexpr int sweptRows = 60;
constexpr int badRowEvery = 20;
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
  // Wine's server and its helper programs end soon after their last
  // client. A traced run that has to start them again follows them and
  // waits for their end, many times as long, and so does every run after
  // it: a gap that long between two runs, which a loaded machine makes,
  // took the sweep past its time limit. The program, untraced, on a FIFO
  // that a writer holds open, keeps them up for the whole sweep; the
  // writer's open returns once the program has the FIFO open.
  ASSERT_EQ(shell("mkdir hold && mkfifo hold/DataFile.csv && { (cd hold && timeout 900 " +
                  program + " >/dev/null 2>&1) & } && { timeout 900 sh -c 'exec 3>hold/DataFile.csv; "
                  ": >hold/open; sleep 900' & echo $! >hold/writer; } && for i in $(seq 600); "
                  "do [ -e hold/open ] && exit 0; sleep 0.1; done; exit 1"),
            0);
#endif
  ASSERT_EQ(shell(strace + program + " >out 2>err"), 1);
  const auto writesMade = [&] {
    std::istringstream calls(readFile(dir / "calls"));
    long writes = 0;
    for (std::string call; std::getline(calls, call);)
      writes += call.find("write(") != std::string::npos ? 1 : 0;
    return writes;
  };
  const auto injected = [&] { return readFile(dir / "calls").find("(INJECTED)") != std::string::npos; };
  const long points = writesMade();
  ASSERT_GT(points, 6);

  // Each write fails with the next of these in turn: none may be retried.
  // The points after the last write are the close, failing as a network file
  // system's may, with all written, with each of its errors.
  const int errors[] = {EIO, EAGAIN, ENOSPC, EPIPE, EINTR, EDQUOT, EFBIG, EBADF, EINVAL};
  const int closeErrors[] = {EIO, EDQUOT};
  const long closePoints = closeCanFail ? static_cast<long>(std::size(closeErrors)) : 0;
  for (long n = 1; n <= points + closePoints; ++n) {
    const bool atClose = n > points;
    const int error = atClose ? closeErrors[n - points - 1]
                              : errors[static_cast<std::size_t>(n) % std::size(errors)];
    const std::string writeError =
        "tree_data: write error: "s + strerror(reachingError(error)) + "\n";
    SCOPED_TRACE((atClose ? "the close" : "write " + std::to_string(n)) + " of " +
                 std::to_string(points) + ": " + strerror(error));
    const std::string failing =
        strace + (atClose ? "-e inject=close:error=" + std::to_string(error)
                          : "-e inject=write:error=" + std::to_string(error) +
                                ":when=" + std::to_string(n));
    const Outcome result = run("", failing);
    EXPECT_TRUE(injected()) << "strace failed no call";
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
    EXPECT_TRUE(injected()) << "strace failed no call, streams merged";
    EXPECT_TRUE(prefixThen(readOutput(dir / "out"), fullMerged, writeError));
  }
#ifdef PROGRAM_IS_WINDOWS
  shell("kill $(cat hold/writer)");
#endif
  std::printf("swept %ld writes to standard output%s\n", points,
              closeCanFail ? " and its close" : "");
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
  // The failures that end these runs, and a write error's run.
  std::vector<std::string> ended = {run(">/dev/full").err};
  for (const auto &c : cases) {
    const std::string failing = preload + "TREE_DATA_COUNT_TO=count TREE_DATA_FAIL_" + c.call +
                                "=" + std::to_string(c.error);
    SCOPED_TRACE(std::string(c.call) + ": " + strerror(c.error));
    const Outcome result = run("", failing);
    EXPECT_GT(preloadCounts().faults, 0u) << "the preload failed no call";
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(shell(failing + " " + program + " >merged 2>&1"), c.status);
    EXPECT_EQ(readOutput(dir / "merged"), c.out + c.err);
    ended.push_back(result.err);
  }
  // Each ends with a failure that the manual names, or none, and each it
  // names ends one of them.
  const auto endsWith = [](const std::string &err, const char *heading) {
    return std::regex_match(err.substr(0, err.find('\n')),
                            std::regex(lineDiagnostics::entryPattern(heading)));
  };
  for (const std::string &err : ended)
    EXPECT_TRUE(err.empty() || std::any_of(std::begin(catalogueFailures), std::end(catalogueFailures),
                                           [&](const char *heading) { return endsWith(err, heading); }))
        << err;
  for (const char *heading : catalogueFailures)
    EXPECT_TRUE(std::any_of(ended.begin(), ended.end(),
                            [&](const std::string &err) { return endsWith(err, heading); }))
        << "no run ends with the manual's \"" << heading << "\"";
}

} // namespace
} // namespace endToEnd
