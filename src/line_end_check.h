// line_end_check: the one place that knows how a line ends: where it may hold
// a carriage return, and whether it ends in a comma.
#ifndef TREE_DATA_LINE_END_CHECK_H
#define TREE_DATA_LINE_END_CHECK_H

#include "text_input.h"

#include <streambuf>

// Passes on the text of `text` as it is, a chunk at a time, and tells for
// each line, as it is read, whether it holds a carriage return anywhere but
// as its last byte, where the CRLF line end of Windows leaves one. A line
// ends only at a newline, so a file whose lines end in a carriage return
// alone is read as one line, which holds such a carriage return. Whatever
// `text` throws passes through.
class LineEndCheck : public std::streambuf {
public:
  explicit LineEndCheck(TextInput &text) : source(text) {}

  // Says whether the line read last, from the end of the line before it up
  // to where reading has got, holds a carriage return that is not its last
  // byte. Ask once after every line, blank ones too, before the next is
  // read: a line not asked about leaves its carriage return to the next one
  // asked about, and a second question about a line is answered false. The
  // end-to-end rows of carriage returns catch either.
  bool strayCarriageReturnInLine() { return gptr() > stray && passStray(); }

  // Says whether the line read last ends in a comma, before its newline or
  // at the end of the text: the one byte of a line that splitting it at
  // every comma leaves in no field. Ask before the next line is read.
  bool lineEndsInComma() const;

protected:
  int_type underflow() override;

private:
  // Moves past the carriage return noted for the line just read, and looks
  // for the next one in what is left of the chunk; returns true.
  bool passStray();
  // Notes the first carriage return from `from` to the chunk's last byte
  // that a byte other than a newline follows. The last byte is judged with
  // the chunk after it: at the end of the text it ends the last line.
  void findStray(const char *from);

  TextInput &source;
  // The first carriage return in the chunk held that is not the last byte of
  // its line and has not been told of yet; the chunk's start when it came in
  // an earlier chunk, which the line being read has reached past; the
  // chunk's end when there is none up to where the chunk has been looked at.
  // Lines are told of in turn, so it is in the line being read or a later
  // one, and that line holds it when it ends past it.
  const char *stray = nullptr;
  char chunkBeforeEnd = '\n'; // the last byte of the chunk before this one
};

#endif // TREE_DATA_LINE_END_CHECK_H
