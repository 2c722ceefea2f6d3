// standard_output: how the program's standard output is buffered, and
// whether everything written to it has gone out.
#ifndef TREE_DATA_STANDARD_OUTPUT_H
#define TREE_DATA_STANDARD_OUTPUT_H

// Sets standard output's buffer before anything is written: a line at a
// time to a terminal, so that each value shows as soon as its row is read,
// and 64 KiB blocks to anything else.
void bufferOutput();

// Says whether every write to standard output so far has succeeded; on the
// first failure, keeps its error number, so call this right after writing.
bool outputWhole();

// Writes out what standard output holds and says whether all of it has gone
// out.
bool flushOutput();

// Closes standard output and says whether everything written to it went out.
bool closeOutput();

// The error number of the first write to standard output that failed, or 0.
// The C library drops the block it could not write, so anything written after
// it would leave a gap in the output: from then on nothing more is written to
// it.
int outputError();

#endif // TREE_DATA_STANDARD_OUTPUT_H
