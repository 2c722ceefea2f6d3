#include "data_row.h"

#include <sstream>

void DataRow::readNext(std::istream &in) {
  std::string line;
  std::getline(in, line);
  std::stringstream lineStream(line);
  // A split that runs out of memory must throw, not end like the line did.
  lineStream.exceptions(std::ios::badbit);
  std::string cell;
  // Cleared whatever the read gave, so a failed read leaves no fields.
  fields.clear();
  // A delimited read that meets the end of the text without taking a
  // character fails, so text after the last comma is a field only when it is
  // not empty.
  while (std::getline(lineStream, cell, ','))
    fields.push_back(cell);
}

const std::string &DataRow::operator[](std::size_t index) const {
  return fields.at(index);
}

std::istream &operator>>(std::istream &in, DataRow &row) {
  row.readNext(in);
  return in;
}
