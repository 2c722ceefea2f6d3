// Runs the program's own loop over arbitrary bytes, handed over a few at a
// time as a pipe may hand them (the input's length sets how many), with standard
// output and the diagnostics each sent to a file, and checks what comes out:
// values that are decimal 32-bit integers, a line each; diagnostics that are
// lines of printable ASCII of bounded length about the input's lines, in
// order, at most two for a line, the first of two about a carriage return;
// and status 1 exactly when there is a diagnostic.
#include "print_rows.h"

#include "trickle.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest diagnostic: the prefix, a 20-digit line number, and a field of
// 40 bytes shown as \xHH each, followed by "...".
constexpr std::size_t longestLine = 60 + 20 + 40 * 4 + 3 + 30;
const std::string where = "tree_data: DataFile.csv:";
const std::string carriageReturn =
    "carriage return inside the line; lines end only at a newline";

// Empties `file` for the next run.
void empty(std::FILE *file) {
  std::fflush(file);
  std::rewind(file);
  if (ftruncate(fileno(file), 0) != 0)
    std::abort();
}

// What `file` holds.
std::string contents(std::FILE *file) {
  std::fflush(file);
  struct stat status {};
  if (fstat(fileno(file), &status) != 0)
    std::abort();
  std::string text(static_cast<std::size_t>(status.st_size), '\0');
  if (pread(fileno(file), text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
    std::abort();
  return text;
}

// Whether `text` is lines of decimal integers in the 32-bit signed range.
bool onlyValues(const std::string &text) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos || end == start || end - start > 11)
      return false;
    const std::string line = text.substr(start, end - start);
    char *stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(line.c_str(), &stop, 10);
    if (stop != line.c_str() + line.size() || line[0] == '+' || line[0] == ' ' ||
        (line[0] == '0' && line.size() > 1) || line.rfind("-0", 0) == 0 ||
        value < INT32_MIN || value > INT32_MAX)
      return false;
    start = end + 1;
  }
  return true;
}

// Whether `text` is well-formed diagnostics, as above.
bool onlyDiagnostics(const std::string &text) {
  unsigned long long lastLine = 0;
  std::string lastReason;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos || end - start > longestLine ||
        text.compare(start, where.size(), where) != 0)
      return false;
    const std::string line = text.substr(start, end - start);
    for (const char c : line)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
        return false;
    const std::size_t colon = line.find(": ", where.size());
    const std::string number = line.substr(where.size(), colon - where.size());
    if (colon == std::string::npos || number.empty() || number[0] == '0' ||
        number.find_first_not_of("0123456789") != std::string::npos)
      return false;
    const unsigned long long lineNumber = std::stoull(number);
    const std::string reason = line.substr(colon + 2);
    if (lineNumber < lastLine || (lineNumber == lastLine && lastReason != carriageReturn))
      return false;
    lastLine = lineNumber;
    lastReason = reason;
    start = end + 1;
  }
  return true;
}

std::FILE *diagnostics;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // Standard output goes to a file of its own; libFuzzer writes to standard
  // error alone.
  std::FILE *values = std::tmpfile();
  diagnostics = std::tmpfile();
  if (values == nullptr || diagnostics == nullptr ||
      dup2(fileno(values), STDOUT_FILENO) < 0)
    std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  empty(stdout);
  empty(diagnostics);
  Trickle source(std::string(reinterpret_cast<const char *>(data), size), size % 16 + 1);
  const int status = printRows(source, diagnostics);
  const std::string errors = contents(diagnostics);
  if (!onlyValues(contents(stdout)) || !onlyDiagnostics(errors) ||
      status != (errors.empty() ? exitSuccess : exitRowsSkipped))
    std::abort();
  return 0;
}
