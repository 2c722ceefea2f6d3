// search_tree: an unbalanced binary search tree of 32-bit signed integers,
// handled through a pointer to its root node (null for an empty tree).
#ifndef TREE_DATA_SEARCH_TREE_H
#define TREE_DATA_SEARCH_TREE_H

static_assert(sizeof(int) == 4, "keys are 32-bit signed integers");

// One tree node; allocated with malloc and released with free. Each node owns
// its two subtrees.
struct Node {
  int value;
  Node *right; // keys greater than value
  Node *left;  // keys smaller than value
};

// Adds `value` to the tree at `root`, creating the root node when the tree is
// empty; a key already present is dropped. Throws std::bad_alloc, leaving the
// tree as it was, when a node cannot be allocated.
void insert(Node *&root, int value);

// Writes every key of the non-empty tree at `node` to standard output in
// ascending order, one decimal number per line.
void printInOrder(const Node *node);

// Frees every node of the tree at `node`, which may be null.
void destroyTree(Node *node);

#endif // TREE_DATA_SEARCH_TREE_H
