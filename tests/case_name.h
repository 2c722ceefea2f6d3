// Names each instance of a parameterised test after its case's `name`.
#ifndef TREE_DATA_TESTS_CASE_NAME_H
#define TREE_DATA_TESTS_CASE_NAME_H

#include <string>

struct CaseName {
  template <typename Info> std::string operator()(const Info &info) const {
    return info.param.name;
  }
};

#endif // TREE_DATA_TESTS_CASE_NAME_H
