#include "data_row.h"

#include <new>
#include <sstream>
#include <utility>

void DataRow::readNext(std::istream &in) {
  std::string line;
  std::getline(in, line, '\n');
  std::stringstream lineStream(line);
  std::string cell;
  // Cleared whatever the read gave, so a failed read leaves no fields.
  fields.clear();
  // A delimited read that meets the end of the text without taking a
  // character fails, so text after the last comma is a field only when it is
  // not empty. The row takes the field's text over: the next read refills
  // the cell, which saves copying each field.
  while (std::getline(lineStream, cell, ','))
    fields.push_back(std::move(cell));
  // The split stops short only when memory runs out: say so, rather than
  // leave a row that looks short.
  if (lineStream.bad())
    throw std::bad_alloc();
}

const std::string &DataRow::operator[](std::size_t index) const {
  return fields.at(index);
}

std::istream &operator>>(std::istream &in, DataRow &row) {
  row.readNext(in);
  return in;
}
