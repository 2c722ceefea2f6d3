#include "search_tree.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Runs `body` with standard output sent to a temporary file and returns what
// it wrote there.
template <typename Body> std::string captureStdout(Body body) {
  std::fflush(stdout);
  std::FILE *capture = std::tmpfile();
  const int saved = dup(STDOUT_FILENO);
  dup2(fileno(capture), STDOUT_FILENO);
  body();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::rewind(capture);
  std::string text;
  for (int c; (c = std::fgetc(capture)) != EOF;)
    text += static_cast<char>(c);
  std::fclose(capture);
  return text;
}

struct PrintCase {
  const char *name;
  std::vector<int> inserted;
  std::string printed;
};

// Shows a case by its name in test listings.
void PrintTo(const PrintCase &c, std::ostream *out) { *out << c.name; }

class PrintTest : public testing::TestWithParam<PrintCase> {};

TEST_P(PrintTest, PrintsKeysInAscendingOrderOnce) {
  Node *root = nullptr;
  for (int value : GetParam().inserted)
    insert(root, value);
  EXPECT_EQ(captureStdout([root] { printInOrder(root); }), GetParam().printed);
  destroyTree(root);
}

INSTANTIATE_TEST_SUITE_P(
    InsertOrders, PrintTest,
    testing::Values(
        PrintCase{"One", {42}, "42\n"},
        PrintCase{"Duplicate", {5, 3, 8, 3}, "3\n5\n8\n"},
        PrintCase{"Signed", {0, -1}, "-1\n0\n"},
        PrintCase{"Limits", {INT_MAX, INT_MIN}, "-2147483648\n2147483647\n"},
        PrintCase{"Ascending", {1, 2, 3}, "1\n2\n3\n"},
        PrintCase{"Descending", {3, 2, 1}, "1\n2\n3\n"},
        PrintCase{"Mixed", {50, 20, 70, 10, 30, 60, 80, 30, 25},
                  "10\n20\n25\n30\n50\n60\n70\n80\n"}),
    CaseName());

TEST(SearchTreeTest, AscendingKeysChainThroughRight) {
  Node *root = nullptr;
  for (int value : {1, 2, 3, 2})
    insert(root, value);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->left, nullptr);
  ASSERT_NE(root->right, nullptr);
  EXPECT_EQ(root->right->left, nullptr);
  ASSERT_NE(root->right->right, nullptr);
  EXPECT_EQ(root->right->right->value, 3);
  EXPECT_EQ(root->right->right->right, nullptr);
  destroyTree(root);
  destroyTree(nullptr);
}

} // namespace
