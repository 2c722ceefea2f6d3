// The patterns of the diagnostics the program writes, made from the manual's
// catalogue of them, for the suites that check what it writes to standard
// error.
#ifndef TREE_DATA_TESTS_LINE_DIAGNOSTIC_H
#define TREE_DATA_TESTS_LINE_DIAGNOSTIC_H

#include "diagnostic_catalogue.h"
#include "row_value.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>

namespace lineDiagnostics {

// The pattern of a catalogue entry: its text as it stands, its placeholders
// as what the program puts there. A field is shown in at most
// shownFieldBytes, each at most four characters, then "..."; a reason is the
// system's words for an error number.
inline std::string entryPattern(const std::string &entry) {
  static const std::regex special(R"([\\^$.|?*+()\[\]{}])");
  static const std::regex lineNumber("<[NK]>");
  static const std::regex text("<TEXT>");
  static const std::regex value("<VALUE>");
  static const std::regex reason("<REASON>");
  std::string pattern = std::regex_replace(entry, special, "\\$&");
  pattern = std::regex_replace(pattern, lineNumber, "[1-9][0-9]*");
  pattern = std::regex_replace(pattern, text,
                               "[ -~]{0," + std::to_string(shownFieldBytes * 4 + 3) + "}");
  pattern = std::regex_replace(pattern, reason, "[ -~]+");
  return std::regex_replace(pattern, value, "(?:0|-?[1-9][0-9]{0,9})");
}

// The pattern of a whole diagnostic line: the line number is the first group
// and the message the second. A skipped row's message may end in a cause.
inline const std::regex &pattern() {
  static const std::regex whole = [] {
    std::string messages;
    std::string skipped;
    for (const char *entry : catalogueMessages) {
      if (std::string(entry).rfind(skippedRowStart, 0) == 0)
        skipped += "|" + entryPattern(entry);
      else
        messages += "|" + entryPattern(entry);
    }
    std::string causes;
    for (const char *entry : catalogueCauses)
      causes += "|" + entryPattern(entry);
    return std::regex("tree_data: DataFile\\.csv:([1-9][0-9]*): (" + messages.substr(1) +
                      "|(?:" + skipped.substr(1) + ")(?:; (?:" + causes.substr(1) + "))?)");
  }();
  return whole;
}

// Returns the first line of `err`, the standard error of a run on `input`,
// that is no diagnostic about a line, with the input line it names (empty
// when it names none); `err` whole when it does not end in a newline;
// nothing when every line is a diagnostic about a line.
inline std::optional<std::pair<std::string, std::string>> strayLine(const std::string &err,
                                                                    const std::string &input) {
  static const std::regex named("tree_data: DataFile\\.csv:([1-9][0-9]{0,9}):.*");
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_match(line, pattern()))
      continue;
    std::istringstream inputLines(input);
    std::string inputLine;
    for (auto n = std::regex_match(line, match, named) ? std::stoull(match[1]) : 0;
         n > 0 && std::getline(inputLines, inputLine); --n) {
    }
    return std::pair{line, inputLine};
  }
  if (err.empty() || err.back() == '\n')
    return std::nullopt;
  return std::pair{err, std::string()};
}

} // namespace lineDiagnostics

// Messages, and their parts, as the tables expect them, without the line's
// prefix and newline.
// About a value whose field, `shown` as diagnostics show it, holds more than
// the number `value`.
inline std::string holdsMore(const std::string &shown, int value) {
  return "third field \"" + shown + "\" holds more than the integer " + std::to_string(value);
}
// About a value whose first or second field holds a quote that a comma split.
inline const std::string quoteSplit =
    "quoted field split at a comma; quotes are not read, so this value may come from another column";
// About a line inside a quoted cell that line `opened` opened: a skipped
// row's cause, and a value's message with `fromInside` after it.
inline std::string continues(unsigned long long opened) {
  return "the line continues a quoted field that line " + std::to_string(opened) + " opened";
}
inline const std::string fromInside = "; quotes are not read, so this value may come from inside it";
// About a line after an escaped line break, in a field that line `began` began:
// a skipped row's cause, and a value's message with `fromEscapedInside` after it.
inline std::string escapedContinues(unsigned long long began) {
  return "the line continues a field that line " + std::to_string(began) + " ended with a backslash";
}
inline const std::string fromEscapedInside =
    "; backslashes are not read, so this value may come from inside it";
// About a value whose first or second field holds `separators`.
inline std::string fieldsBefore(const char *separators) {
  return "fields before the third hold " + std::string(separators) +
         "; fields are separated by commas, so this value may come from another column";
}

#endif // TREE_DATA_TESTS_LINE_DIAGNOSTIC_H
