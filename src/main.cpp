// tree_data: prints the heading "Tree Data", then the integer in the third
// field of every row of DataFile.csv, each passed through a search tree of
// its own, in the order of the rows.
#include "print_rows.h"
#include "row_value.h"
#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <ios>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#ifdef _WIN32
#include <filesystem>
#endif

namespace {

// Ends the run: writes "tree_data: WHAT", with "INPUT: " before WHAT when
// `aboutInput`, and ": REASON" after it for an error number other than
// noError (EIO's reason when the number is 0). What was printed before goes
// out first, so that the diagnostic follows it where both go to one place;
// not once standard output has failed, since it may be closed by then (as at
// exit, glibc would do nothing, so no test can tell). Allocates nothing,
// since it also reports running out of memory.
constexpr int noError = -1;
int fail(const char *what, int error = noError, bool aboutInput = false) {
  if (outputError() == 0)
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

// Prints the values of the input file's rows, reporting what it finds; returns
// the run's status so far.
int printInput() {
  try {
    std::ifstream file;
    const int openError = openInput(file);
    if (openError == 0)
      return printRows(*file.rdbuf(), stderr);
    if (openError == EISDIR)
      return failInput("read error", openError);
    if (!isAbsent(openError))
      return failInput("cannot open", openError);
    return exitSuccess;
  } catch (const std::bad_alloc &) {
    return fail("out of memory");
  } catch (const std::ios_base::failure &failure) {
    return failInput("read error", readErrorNumber(failure));
  }
}

} // namespace

int main() {
  std::set_terminate(terminateRun);
  // Diagnostics flush the values first, so that the two stay in order, and
  // go out at once, as the C standard asks of standard error, which Windows'
  // C library buffers when it is not a console.
  bufferOutput();
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::cout << "Tree Data\n";
  // To a terminal the heading goes out at once: a failed write keeps its own
  // error number, which the open would overwrite, and leaves nothing to do.
  int status = outputWhole() ? printInput() : exitSuccess;
  if (!flushOutput() || !closeOutput())
    status = fail("write error", outputError());
  // A diagnostic that could not be written leaves nothing reported.
  if (std::ferror(stderr))
    status = exitFailure;
  return status;
}
