// The stamp of what an answer kept from one call to the next was read from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/identifier_access.hpp"

namespace flowsum {

// What an answer kept from one call to the next was read from: the load,
// the edits of its tree (TKDTRE), the number of entries of the table of its
// objects and the characters a packed word holds (a caller may change it).
// An answer is used again only while all of them are unchanged. Every
// memory kept across calls compares one of these, so they all go stale on
// the same events.
struct LoadStamp {
  uint64_t serial = 0, tree_edits = 0;
  int64_t items = -1, chars_per_word = 0;
  // For answers that depend on no object table (items stays -1).
  static LoadStamp now();
  // For answers that also depend on the table of objects of this kind.
  static LoadStamp now(ItemKind kind);
  bool operator==(const LoadStamp&) const = default;
};

// How many entries a memory kept for the load may hold before it starts
// over: as many as the loaded file has data sets, and at least `least`. A
// pass over every object of a large flowsheet asks for more paths and
// choices than a fixed bound holds, and would empty the memory within each
// pass and find nothing kept.
size_t kept_entries_bound(size_t least);

}  // namespace flowsum
