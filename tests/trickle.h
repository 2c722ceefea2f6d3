// Trickle: a stream buffer that hands out its bytes a few at a time, as a
// pipe may, so that what is read from it falls across reads.
#ifndef TREE_DATA_TESTS_TRICKLE_H
#define TREE_DATA_TESTS_TRICKLE_H

#include <algorithm>
#include <cstddef>
#include <streambuf>
#include <string>
#include <utility>

class Trickle : public std::streambuf {
public:
  Trickle(std::string text, std::size_t piece) : bytes(std::move(text)), step(piece) {}

protected:
  int_type underflow() override {
    if (next == bytes.size())
      return traits_type::eof();
    const std::size_t size = std::min(step, bytes.size() - next);
    setg(bytes.data() + next, bytes.data() + next, bytes.data() + next + size);
    next += size;
    return traits_type::to_int_type(*gptr());
  }

private:
  std::string bytes;
  std::size_t step;
  std::size_t next = 0;
};

#endif // TREE_DATA_TESTS_TRICKLE_H
