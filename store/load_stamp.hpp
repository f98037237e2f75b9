// The stamp of what an answer kept from one call to the next was read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

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

// Answers kept for the load, one per key (the object and whatever else
// decides the answer): counts, sizes and choices that come from the tree
// and the loading sequences alone, which a caller asks for on every pass;
// never values. An answer is given again while the load's stamp for the
// objects of `kind` is unchanged; the memory starts over when it holds
// kept_entries_bound(least) answers.
template <class T>
class KeptPerLoad {
 public:
  explicit KeptPerLoad(ItemKind kind, size_t least = 4096) : kind_(kind), least_(least) {}

  // The answer kept for key, else make()'s, kept. The reference holds until
  // the next call.
  template <class Make>
  T& get(std::string_view key, Make&& make) {
    const LoadStamp now = LoadStamp::now(kind_);
    if (!(stamp_ == now) || answers_.size() >= kept_entries_bound(least_)) {
      answers_.clear();
      last_ = nullptr;
      stamp_ = now;
    }
    // Callers ask for one object several times in a row (its counts, then
    // its values): the answer of the last request is given without a search.
    if (last_ != nullptr && key == key_) return *last_;
    key_.assign(key);
    if (const auto it = answers_.find(key_); it != answers_.end()) return *(last_ = &it->second);
    // make() may ask this memory again: the last answer is set afresh after it.
    last_ = nullptr;
    T made = make();
    key_.assign(key);
    return *(last_ = &answers_.insert_or_assign(key_, std::move(made)).first->second);
  }

 private:
  ItemKind kind_;
  size_t least_;
  LoadStamp stamp_;
  std::unordered_map<std::string, T> answers_;
  std::string key_;    // the last request's key (reused, not reallocated)
  T* last_ = nullptr;  // its answer (entries of the map do not move)
};

}  // namespace flowsum
