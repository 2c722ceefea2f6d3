// The one pattern of every diagnostic the program writes about a line of
// its input, for the suites that check what it writes to standard error.
#ifndef TREE_DATA_TESTS_LINE_DIAGNOSTIC_H
#define TREE_DATA_TESTS_LINE_DIAGNOSTIC_H

#include <string>

// The line number is the first group and the message the second. A field is
// shown in at most 40 bytes, each at most four characters, then "...".
#define TREE_DATA_SHOWN_FIELD "third field \"[ -~]{0,163}\" "
#define TREE_DATA_CONTINUES "the line continues a quoted field that line [1-9][0-9]* opened"
inline constexpr char lineDiagnostic[] =
    "tree_data: DataFile\\.csv:([1-9][0-9]*): (carriage return inside the line; lines end "
    "only at a newline|" TREE_DATA_CONTINUES "; quotes are not read, so this value may come "
    "from inside it|quoted field split at a comma; quotes are not read, so this value may "
    "come from another column|fields before the third hold (tabs|semicolons); fields are "
    "separated by commas, so this value may come from another column|" TREE_DATA_SHOWN_FIELD
    "holds more than the integer (0|-?[1-9][0-9]{0,9})|skipped row: (fewer than three "
    "fields|" TREE_DATA_SHOWN_FIELD "is (not an integer|out of range))(; (" TREE_DATA_CONTINUES
    "|quoted field split at a comma|quoted field not closed on its line|quotes are not "
    "read|fields are separated by commas, not (tabs|semicolons)))?)";
#undef TREE_DATA_CONTINUES
#undef TREE_DATA_SHOWN_FIELD

// The message about a value whose field, `shown` as diagnostics show it,
// holds more than the number `value`, without the line's prefix and newline.
inline std::string holdsMore(const std::string &shown, int value) {
  return "third field \"" + shown + "\" holds more than the integer " + std::to_string(value);
}

#endif // TREE_DATA_TESTS_LINE_DIAGNOSTIC_H
