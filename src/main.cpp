// tree_data: prints the heading "Tree Data", then the integer in the third
// field of every row of DataFile.csv, each passed through a search tree of
// its own, in the order of the rows.
#include "data_row.h"
#include "row_value.h"
#include "search_tree.h"
#include "text_input.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <istream>
#include <ios>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#ifdef _WIN32
#include <filesystem>
#endif

namespace {

constexpr int exitSuccess = 0;     // every line printed or quietly skipped
constexpr int exitRowsSkipped = 1; // some line was reported
constexpr int exitFailure = 2;     // an open, read, write, close or allocation
                                   // failed

// The error number of the first write to standard output that failed, or 0.
// The C library drops the block it could not write, so anything written after
// it would leave a gap in the output: from then on the run writes nothing more
// to it, and leaves nothing in its buffer for the flush at exit.
int outputError = 0;

// Says whether every write to standard output so far has succeeded; on the
// first failure, keeps its error number, so call this right after writing.
bool outputWhole() {
  if (outputError == 0 && std::ferror(stdout))
    outputError = errno != 0 ? errno : EIO;
  return outputError == 0;
}

// Writes out what standard output holds and says whether all of it has gone
// out. Standard output is written through both std::cout and the C stream;
// std::cout keeps no buffer of its own.
bool flushOutput() {
  std::fflush(stdout);
  return outputWhole();
}

// Closes standard output and says whether everything written to it went out:
// network file systems may report a failed write only at close. std::cout
// lets go of it first, since it would otherwise flush the closed stream at
// exit, which C leaves undefined (glibc does nothing, so no test can tell).
bool closeOutput() {
  std::cout.rdbuf(nullptr);
  if (std::fclose(stdout) != 0)
    outputError = errno != 0 ? errno : EIO;
  return outputError == 0;
}

// Ends the run: writes "tree_data: WHAT", with "INPUT: " before WHAT when
// `aboutInput`, and ": REASON" after it for an error number other than
// noError (EIO's reason when the number is 0). What was printed before goes
// out first, so that the diagnostic follows it where both go to one place;
// not once standard output has failed, since it may be closed by then (as at
// exit, glibc would do nothing, so no test can tell). Allocates nothing,
// since it also reports running out of memory.
constexpr int noError = -1;
int fail(const char *what, int error = noError, bool aboutInput = false) {
  if (outputError == 0)
    flushOutput();
  std::fprintf(stderr, "%s: %s%s%s%s%s\n", programName,
               aboutInput ? inputName : "", aboutInput ? ": " : "", what,
               error == noError ? "" : ": ",
               error == noError ? "" : std::strerror(error != 0 ? error : EIO));
  return exitFailure;
}

// Ends the run for a failed open or read of the input file, reporting a lack
// of memory as such, like any other.
int failInput(const char *what, int error) {
  return error == ENOMEM ? fail("out of memory") : fail(what, error, true);
}

// Called instead of std::terminate. The run-time terminates with no exception
// in flight when it cannot allocate the exception it was about to throw,
// which happens only when memory ran out before main could start and the
// run-time's reserve for exceptions was never set aside: say so, as any other
// lack of memory. Anything else keeps the default behaviour.
[[noreturn]] void terminateRun() {
  if (!std::current_exception()) {
    fail("out of memory");
    std::_Exit(exitFailure);
  }
  std::abort();
}

// Opens the input file as bytes, retrying an open that a signal interrupted.
// Returns 0, or the error number of the failed open. Binary mode changes
// nothing on POSIX systems; on Windows, text mode would end the file at a
// 0x1A byte and drop the carriage return of CRLF, which the rows keep.
int openInput(std::ifstream &file) {
  for (;;) {
    errno = 0;
    file.open(inputName, std::ios::in | std::ios::binary);
    if (file.is_open())
      return 0;
    if (errno == EINTR)
      continue;
    const int error = errno != 0 ? errno : EIO;
#ifdef _WIN32
    // Windows will not open a directory (EACCES), where POSIX systems open
    // it and fail its first read: report it as that read error.
    std::error_code ignored;
    if (error == EACCES && std::filesystem::is_directory(inputName, ignored))
      return EISDIR;
#endif
    return error;
  }
}

// Whether a failed open means the file is absent or not ours to read, which
// leaves nothing to do, rather than a failure of the run.
bool isAbsent(int openError) {
  switch (openError) {
  case ENOENT:
  case ENOTDIR:
  case ELOOP:
  case EACCES:
  case EPERM:
    return true;
  default:
    return false;
  }
}

// The error number behind a failed read, or 0 when the library gave none.
int readErrorNumber(const std::ios_base::failure &failure) {
  const std::error_code code = failure.code();
  return code.category() == std::system_category() ||
                 code.category() == std::generic_category()
             ? code.value()
             : 0;
}

// Prints the value of every usable row of `text` and reports the lines it
// finds fault with; returns the exit status so far. Stops at the first failed
// write to standard output. Running out of memory and read errors come out as
// exceptions.
int printRows(TextInput &text) {
  // A failed read throws, so that it is not taken for the end of the file;
  // reaching the end only sets the fail bit, which ends the loop.
  std::istream input(&text);
  input.exceptions(std::ios::badbit);
  DataRow row;
  LineNumber lineNumber = 0;
  int status = exitSuccess;
  while (input >> row) {
    ++lineNumber;
    const RowValue result = rowValue(row, lineNumber, text.strayCarriageReturnSeen());
    if (isReported(result)) {
      const std::string message = rowDiagnostics(row, result, lineNumber);
      // The values before the row go out first, so that the two stay in
      // order where they go to one place.
      if (!flushOutput())
        break;
      std::fwrite(message.data(), 1, message.size(), stderr);
      status = exitRowsSkipped;
    }
    if (result.kind != RowKind::Value)
      continue;
    Node *root = nullptr;
    insert(root, result.value);
    printInOrder(root);
    destroyTree(root);
    // A full block goes out from inside printf; the test is a flag read.
    if (!outputWhole())
      break;
  }
  return status;
}

// Standard output goes out in 64 KiB blocks rather than the library's 4 KiB
// (or lines, on a terminal): on 5M rows piped to another program the run
// took 2.37 s instead of 2.60 s. A 64 KiB buffer for the input file cut its
// reads from 18,172 to 2,276 but saved no measurable time, so the file keeps
// the library's buffer. Static, since standard output is flushed after main
// returns.
char outputBuffer[1 << 16];

} // namespace

int main() {
  std::set_terminate(terminateRun);
  // Values go out in blocks even on a terminal; diagnostics flush them first
  // so that the two stay in order. Diagnostics go out at once, as the C
  // standard asks of standard error, which Windows' C library buffers when
  // it is not a console.
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::cout << "Tree Data\n";
  int status = exitSuccess;
  try {
    std::ifstream file;
    const int openError = openInput(file);
    if (openError == 0) {
      // The rows are read through the text of the file: its bytes, or what
      // a UTF-16 file holds.
      TextInput text(*file.rdbuf());
      status = printRows(text);
    } else if (openError == EISDIR) {
      status = failInput("read error", openError);
    } else if (!isAbsent(openError)) {
      status = failInput("cannot open", openError);
    }
  } catch (const std::bad_alloc &) {
    status = fail("out of memory");
  } catch (const std::ios_base::failure &failure) {
    status = failInput("read error", readErrorNumber(failure));
  }
  if (!flushOutput() || !closeOutput())
    status = fail("write error", outputError);
  // A diagnostic that could not be written leaves nothing reported.
  if (std::ferror(stderr))
    status = exitFailure;
  return status;
}
