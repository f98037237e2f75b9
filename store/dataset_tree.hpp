// The data-set tree: paths of keywords with a data record (line number and
// 8-character qualifier) under the last keyword.
#pragma once

#include <cstdint>
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

// TKDTRE. Returns IERR; ipos receives the last node reached.
int64_t dataset_tree(int64_t mode, std::span<const std::string_view> path,
                     DataRecord& record, TreeView tree, int64_t& ipos);

// Words an insertion of this path may take at most (new nodes and record).
int64_t tree_room_needed(std::span<const std::string_view> path);

}  // namespace flowsum
