// The data-set tree: paths of keywords with a data record (line number and
// 8-character qualifier) under the last keyword.
//
// Node at position p (positions are 1-based words of the tree):
//   p-1 NW (key words, at least 2), p CHILD (>0 first child, <0 minus the
//   data record's position, 0 none), p+1 NEXT (>0 next sibling, <=0 end of
//   the chain), p+2.. the packed key.
// Data record at position q: q-1 holds 2, q IDATA, q+1 0, q+2..q+3 VALUE.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace flowsum {

struct DataRecord {
  int64_t idata = 0;
  char value[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
};

struct TreeView {
  int64_t* words;    // word 1 of the tree
  int64_t& nused;    // words in use
  int64_t capacity;  // words that may be written (insertions never pass it)
};

// Result codes of dataset_tree besides 0 and the failing level 1..NIDS.
inline constexpr int64_t kTreeImproper = -1;  // a leaf where a branch was expected
inline constexpr int64_t kTreeCorrupt = -2;   // broken chain; nothing added
inline constexpr int64_t kTreeFull = -3;      // no room below capacity; nothing added

// Siblings examined on one level, and steps to the end of a chain.
inline constexpr int64_t kMaxSiblings = 10000;

// Accelerator for building a tree: answers "first node of this chain that
// matches this key" and "last node of this chain" from hash tables instead
// of walking the chain, with exactly the results of the walk. It lives on
// the heap and is meant only for the time a tree is being built.
//
// One index serves one tree. It is brought up to date from the tree's words
// whenever the tree's word count differs from the one it last saw (for
// instance after words were written directly, like the loader's first node);
// moving the tree to another address does not matter, positions are relative.
// A tree that is not well formed (a chain with a link outside the tree, a
// cycle, a node reached twice) switches the index off and every call walks.
class TreeIndex {
 public:
  TreeIndex();
  ~TreeIndex();
  TreeIndex(const TreeIndex&) = delete;
  TreeIndex& operator=(const TreeIndex&) = delete;

  // Forget everything and release the memory (before building another
  // tree, or once the tree is built).
  void reset();
  // False once the index has switched itself off.
  bool usable() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
  friend State& index_state(TreeIndex&);
};

// TKDTRE. Returns IERR; ipos receives the last node reached. With an index,
// lookups and insertions use it and keep it up to date; nullptr walks the
// chains. The record is read in mode 1 (path found) and cleared in mode 2
// (path not found), and supplies the new data record when one is added.
int64_t dataset_tree(int64_t mode, std::span<const std::string_view> path,
                     DataRecord& record, TreeView tree, int64_t& ipos,
                     TreeIndex* index = nullptr);

// Words an insertion of this path may take at most (new nodes and record):
// for every keyword its key words (at least 2) plus 3, and 5 for the record.
int64_t tree_room_needed(std::span<const std::string_view> path);

}  // namespace flowsum
