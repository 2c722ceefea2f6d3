// data_row: reads a line of text and splits it into comma-separated fields.
#ifndef TREE_DATA_DATA_ROW_H
#define TREE_DATA_DATA_ROW_H

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

// The fields of one line, in their order on the line. Fields are the bytes
// between commas, untrimmed and unquoted; a trailing comma adds no field and
// an empty line has none.
class DataRow {
public:
  // Reads the next line from `in` and replaces the fields with its fields;
  // the stream's state tells the caller whether a line was read. Throws
  // std::bad_alloc when memory runs out while splitting the line, and
  // whatever `in` throws for the states in its exceptions() mask; the row is
  // then left unspecified.
  void readNext(std::istream &in);

  // Returns the field at zero-based `index`; throws std::out_of_range when
  // `index` is not smaller than size().
  const std::string &operator[](std::size_t index) const;

  // Returns the number of fields on the line last read.
  std::size_t size() const { return fields.size(); }

private:
  std::vector<std::string> fields;
};

// Reads the next row from `in` into `row` and returns `in`, so that a loop
// can test the stream after each row.
std::istream &operator>>(std::istream &in, DataRow &row);

#endif // TREE_DATA_DATA_ROW_H
