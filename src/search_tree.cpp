#include "search_tree.h"

#include <cstdio>
#include <cstdlib>
#include <new>

void insert(Node *&root, int value) {
  if (root == nullptr) {
    void *memory = std::malloc(sizeof(Node));
    if (memory == nullptr)
      throw std::bad_alloc();
    root = static_cast<Node *>(memory);
    root->value = value;
    root->right = nullptr;
    root->left = nullptr;
    return;
  }
  // Relational comparison, not subtraction, which would overflow at the
  // extremes of the range.
  if (value < root->value)
    insert(root->left, value);
  else if (value > root->value)
    insert(root->right, value);
}

void printInOrder(const Node *node) {
  if (node->left != nullptr)
    printInOrder(node->left);
  std::printf("%d\n", node->value);
  if (node->right != nullptr)
    printInOrder(node->right);
}

void destroyTree(Node *node) {
  if (node == nullptr)
    return;
  destroyTree(node->left);
  destroyTree(node->right);
  std::free(node);
}
