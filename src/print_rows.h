// print_rows: the program's loop over the rows of its input.
#ifndef TREE_DATA_PRINT_ROWS_H
#define TREE_DATA_PRINT_ROWS_H

#include <cstdio>
#include <streambuf>

// The exit statuses.
inline constexpr int exitSuccess = 0;       // every line printed or quietly skipped
inline constexpr int exitLinesReported = 1; // some line was reported
inline constexpr int exitFailure = 2;       // an open, read, write, close or
                                            // allocation failed

// Reads the rows of `bytes`, its text as TextInput makes it, prints the value
// of every usable row to standard output, each through a search tree of its
// own, and writes the diagnostics of every line it finds fault with to
// `diagnostics`, standard output flushed first so that the two stay in order
// where they go to one place. Returns exitSuccess, or exitLinesReported when
// a line was reported. Stops at the first failed write to standard output.
// Running out of memory and read errors come out as exceptions.
int printRows(std::streambuf &bytes, std::FILE *diagnostics);

#endif // TREE_DATA_PRINT_ROWS_H
