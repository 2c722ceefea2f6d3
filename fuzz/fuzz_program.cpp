// Runs the program's own loop over arbitrary bytes, handed over a few at a
// time as a pipe may hand them (the input's length sets how many), with
// standard output and the diagnostics each sent to a file, and checks what
// comes out: values that are decimal 32-bit integers, a line each;
// diagnostics that are lines of the manual's catalogue about the input's
// lines, in order, at most two for a line, the first of two about a carriage
// return and the second about a skipped row, as the program's own words for
// those tell; and status 1 exactly when there is a diagnostic.
#include "print_rows.h"

#include "line_diagnostic.h"
#include "trickle.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::FILE *diagnostics;

// Returns what `file` holds, and empties it for the next run.
std::string drain(std::FILE *file) {
  std::fflush(file);
  struct stat status {};
  std::string text(fstat(fileno(file), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0,
                   '\0');
  if (pread(fileno(file), text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()) ||
      ftruncate(fileno(file), 0) != 0)
    std::abort();
  std::rewind(file);
  return text;
}

// Whether every line of `text` matches `line`, and `text` ends in a newline.
template <typename Check> bool everyLine(const std::string &text, Check line) {
  std::istringstream lines(text);
  for (std::string each; std::getline(lines, each);)
    if (!line(each))
      return false;
  return text.empty() || text.back() == '\n';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // libFuzzer writes to standard error alone.
  std::FILE *values = std::tmpfile();
  diagnostics = std::tmpfile();
  if (values == nullptr || diagnostics == nullptr || dup2(fileno(values), STDOUT_FILENO) < 0)
    std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const std::regex value("0|-?[1-9][0-9]{0,9}");
  const std::string input(reinterpret_cast<const char *>(data), size);
  Trickle source(input, size % 16 + 1);
  const int status = printRows(source, diagnostics);
  const std::string errors = drain(diagnostics);
  unsigned long long lastLine = 0;
  bool afterCarriageReturn = true;
  const bool diagnosticsFit = everyLine(errors, [&](const std::string &line) {
    std::smatch match;
    if (!std::regex_match(line, match, lineDiagnostics::pattern()))
      return false;
    const unsigned long long number = std::stoull(match[1]);
    // A line's second diagnostic is a skipped row's, after a carriage return's:
    // a value gets one at most.
    const bool inOrder = number > lastLine || (number == lastLine && afterCarriageReturn &&
                                               match[2].str().rfind(skippedRowStart, 0) == 0);
    afterCarriageReturn = number > lastLine && match[2] == strayCarriageReturnMessage;
    lastLine = number;
    return inOrder;
  });
  const bool valuesFit = everyLine(drain(stdout), [](const std::string &line) {
    return std::regex_match(line, value) && std::stoll(line) >= INT32_MIN &&
           std::stoll(line) <= INT32_MAX;
  });
  if (!diagnosticsFit || !valuesFit || status != (errors.empty() ? exitSuccess : exitLinesReported)) {
    // Every line was matched above; a line that matches nothing is named
    // only when the input has failed.
    if (const auto stray = lineDiagnostics::strayLine(errors, input))
      std::fprintf(stderr, "a line matches no diagnostic: \"%s\"\nthe input line it names: \"%s\"\n",
                   stray->first.c_str(), stray->second.c_str());
    std::abort();
  }
  return 0;
}
