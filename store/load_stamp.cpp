#include "store/load_stamp.hpp"

#include <algorithm>

#include "loading/loader.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"

namespace flowsum {

LoadStamp LoadStamp::now() {
  return {last_load().serial, loaded_tree_edits(), -1, packed_chars_per_word()};
}

LoadStamp LoadStamp::now(ItemKind kind) {
  LoadStamp s = now();
  s.items = item_count(kind);
  return s;
}

size_t kept_entries_bound(size_t least) {
  return std::max(least, static_cast<size_t>(std::max<int64_t>(last_load().dsets, 0)));
}

}  // namespace flowsum
