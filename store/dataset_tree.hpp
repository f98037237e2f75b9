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
#include <string>
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

// The index of the loaded file's tree: the loader builds it while it enters
// the data sets and keeps it after a successful load, so that lookups in
// long sibling chains (thousands of streams) need not walk them.
TreeIndex& loaded_tree_index();

// How many times TKDTRE has been asked to change the loaded tree (any mode
// but a lookup): answers kept across calls compare it, with the load's
// serial, to know that the tree they were read from is still the same.
uint64_t loaded_tree_edits();

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

// Read-only walks over a built tree: a node's first child, its next sibling,
// the parent that ends its chain, and its keyword. Every link is checked to
// stay inside the tree's words (as the tree routine checks them), so a walk
// over a damaged tree ends instead of reading outside it; a position that is
// not a node answers 0, an empty key or a blank keyword.
class TreeNodes {
 public:
  TreeNodes(const int64_t* words, int64_t nused);
  // The tree of the loaded file (TKLOCS words 7 and 8); an empty tree when
  // those words do not describe words inside the work area.
  static TreeNodes loaded();

  bool is_node(int64_t p) const;
  // Most nodes the tree can hold (a node takes at least five words): a
  // bound for walks, so that a chain that loops back ends.
  int64_t max_nodes() const { return nused_ / 5; }
  // The first child node of p; 0 when p has none (a leaf with a data
  // record) or the link leaves the tree.
  int64_t first_child(int64_t p) const;
  // The next node of p's sibling chain; 0 at the end of the chain.
  int64_t next_sibling(int64_t p) const;
  // The node below which p's chain hangs, read from the end mark of the
  // chain's last node p (minus the parent's position); 0 when p is not the
  // last node of a chain below another node.
  int64_t chain_parent(int64_t p) const;
  // The packed key words of node p.
  std::span<const int64_t> key(int64_t p) const;
  // The keyword of node p (at most its first 128 characters) into a field,
  // blank-padded or cut.
  void keyword(int64_t p, char* field, size_t len) const;
  std::string keyword(int64_t p) const;  // trailing blanks cut
  // True when node p matches `name` as a path keyword of a lookup does (the
  // rule of dataset_tree: equal key words, or the first words of a
  // three-word key).
  bool matches(int64_t p, std::string_view name) const;
  // dataset_tree mode 1 on this tree: the tree's code, and the node (0 when
  // the path is not found; a found path may come with code -1, a leaf met on
  // the way). The node's data record goes to *record when asked for.
  // *kept, when asked for, tells whether the answer is one the loaded tree
  // keeps for its load (found, or a plain miss that wrote no message), so
  // that a caller may keep what it derives from it for as long.
  int64_t find(std::span<const std::string_view> path, int64_t& node,
               DataRecord* record = nullptr, bool* kept = nullptr) const;

 private:
  const int64_t* w_;
  int64_t nused_;
  TreeIndex* index_ = nullptr;  // the loaded tree's index, for loaded()
};

// The key memories of the loaded tree's searches keep a path under: its
// keywords without trailing blanks, each preceded by its length, into key
// (reused, so that a pass does not allocate one per search).
void path_key(std::span<const std::string_view> path, std::string& key);

}  // namespace flowsum
