// The data-set tree (TKDTRE): lookup, insertion of missing levels, and
// appending of duplicate data sets, with an optional index that makes the
// loader's many insertions independent of the length of the sibling chains.
#include "store/dataset_tree.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "flowsum.h"
#include "io/large_array.hpp"
#include "io/messages.hpp"
#include "loading/globals.hpp"
#include "store/load_stamp.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {

namespace {

// Access to the words of a tree that never leaves words 1..readable, where
// readable is the smaller of the words in use and the words the tree owns.
class TreeWords {
 public:
  TreeWords(int64_t* words, int64_t nused, int64_t capacity)
      : w_(words), readable_(std::max<int64_t>(0, std::min(nused, capacity))) {}

  // A node at p whose words p-1 .. p+1+NW all lie inside the tree.
  bool node_ok(int64_t p) const {
    if (p < 2 || p > readable_ - 1) return false;
    const int64_t nw = w_[p - 2];
    return nw >= 1 && nw <= readable_ - p - 1;
  }
  // The five words of a data record at q (q-1 .. q+3).
  bool record_ok(int64_t q) const { return q >= 2 && q <= readable_ - 3; }

  int64_t nw(int64_t p) const { return w_[p - 2]; }
  int64_t child(int64_t p) const { return w_[p - 1]; }
  int64_t next(int64_t p) const { return w_[p]; }
  const int64_t* key(int64_t p) const { return w_ + p + 1; }
  int64_t word(int64_t k) const { return w_[k - 1]; }
  int64_t readable() const { return readable_; }

 private:
  int64_t* w_;
  int64_t readable_;
};

struct Key {
  const int64_t* w;
  int64_t n;
};

// The keywords of a path, each packed with its key length when it is first
// asked for: levels the index answers from its remembered path are never
// packed. Every keyword has its place from the start (a key takes at most
// one word per character, and at least one word). Paths of up to nine
// keywords of up to 32 characters fit the inline buffer, so the loader's many
// insertions allocate nothing; longer paths use the heap.
class PathKeys {
 public:
  explicit PathKeys(std::span<const std::string_view> path) : path_(path) {
    int64_t total = 0;
    for (std::string_view k : path) total += std::max<int64_t>(1, static_cast<int64_t>(k.size()));
    if (path.size() > kInlineKeys || total > kInlineWords) {
      heap_words_.resize(static_cast<size_t>(total));
      heap_keys_.resize(path.size());
    }
    words_ = heap_words_.empty() ? inline_words_ : heap_words_.data();
    keys_ = heap_keys_.empty() ? inline_keys_ : heap_keys_.data();
    int64_t at = 0;
    for (size_t i = 0; i < path.size(); ++i) {
      keys_[i] = {at, kNotPacked};
      at += std::max<int64_t>(1, static_cast<int64_t>(path[i].size()));
    }
  }
  PathKeys(const PathKeys&) = delete;
  PathKeys& operator=(const PathKeys&) = delete;

  Key operator[](size_t level) const {
    Span& k = keys_[level];
    if (k.second == kNotPacked) k.second = pack_key(path_[level], words_ + k.first);
    return {words_ + k.first, k.second};
  }

 private:
  struct Span {
    int64_t first;
    int64_t second;  // words of the packed key
  };
  static constexpr int64_t kNotPacked = -1;
  static constexpr size_t kInlineKeys = 9;
  static constexpr int64_t kInlineWords = 9 * 32;
  std::span<const std::string_view> path_;
  int64_t inline_words_[kInlineWords];
  Span inline_keys_[kInlineKeys];
  std::vector<int64_t> heap_words_;
  std::vector<Span> heap_keys_;
  int64_t* words_ = nullptr;
  Span* keys_ = nullptr;
};

// Words a node takes for a key of nk words: a one-word key is followed by a
// blank word so that NW is never 1.
int64_t node_key_words(int64_t nk) { return std::max<int64_t>(nk, 2); }

// When a stored node takes part in the search for a key, and whether it
// matches: nodes with as many key words as the key, nodes of three words, and
// two-word nodes holding a one-word key are compared on the key's words. A
// key longer than the stored one never matches it (comparing on would read
// the words that follow the stored key).
bool key_matches(const TreeWords& t, int64_t p, Key k) {
  const int64_t nw = t.nw(p);
  const int64_t* s = t.key(p);
  const bool compared = nw == k.n || nw == 3 || (nw == 2 && k.n == 1 && s[1] == kBlankWord);
  if (!compared || k.n > nw) return false;
  return std::equal(k.w, k.w + k.n, s);
}

uint64_t mix(uint64_t x) {
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebULL;
  x ^= x >> 31;
  return x;
}

}  // namespace

// ---- The index -----------------------------------------------------------------
//
// Every chain is known by its head (the position of its first node) with its
// length and last node. Every node of a chain longer than a few nodes is
// entered under the chain's head in up to three ways, one for each way a
// search key can match it: its whole key; for a three-word key, its first one
// and first two words; for a two-word key with a blank second word, its first
// word. Each entry is filed under the search key it answers, so that one
// probe sequence holds every entry a search can use. Only the first node of a
// chain under a given entry is kept, which is the first in chain order
// because nodes are only ever added at a chain's end. A lookup takes the
// earliest of the (at most three) entries that apply to the search key.
// Entries hold node positions only; the key words are read from the tree, so
// a hash collision can never give a wrong node.

struct TreeIndex::State {
  enum Way : uint8_t { kWhole = 1, kPrefixOfThree = 2, kPaddedOne = 3 };
  // Chains of at most this many nodes are walked rather than looked up.
  static constexpr int64_t kShortChain = 8;

  struct Chain {
    int64_t last = 0;
    int64_t length = 0;
    // The node at the sibling limit (the last one a search may examine),
    // once the chain has that many: a search past it ends there at once.
    int64_t at_limit = 0;
  };
  // 20 bytes an entry: tree positions fit 32 bits (the index switches
  // itself off for a tree that does not), and the hash keeps its low half.
  struct Slot {
    uint32_t hash = 0;
    int32_t head = 0;
    int32_t node = 0;  // 0: empty slot
    int32_t ordinal = 0;
    uint8_t way = 0;
  };

  bool synced = false;
  bool off = false;
  int64_t nused = 0;
  int64_t readable = 0;
  // Chains by the position of their first node, in an open-addressing table
  // (head 0: empty slot); chains are far fewer than tree words.
  struct ChainSlot {
    int64_t head = 0;
    Chain chain;
  };
  LargeArray<ChainSlot> chains;
  size_t chains_filled = 0;

  static size_t chain_hash(int64_t head) { return static_cast<size_t>(mix(static_cast<uint64_t>(head))); }

  Chain* chain_of(int64_t head) {
    if (chains.empty() || head <= 0) return nullptr;
    const size_t mask = chains.size() - 1;
    for (size_t i = chain_hash(head) & mask; chains[i].head != 0; i = (i + 1) & mask)
      if (chains[i].head == head) return &chains[i].chain;
    return nullptr;
  }
  Chain& chain_at(int64_t head) {
    if (Chain* c = chain_of(head)) return *c;
    if ((chains_filled + 1) * 2 > chains.size()) {
      LargeArray<ChainSlot> old;
      old.swap(chains);
      chains.assign(std::max<size_t>(1024, old.size() * 2), ChainSlot{});
      for (size_t i = 0; i < old.size(); ++i)
        if (old[i].head != 0) place_chain(old[i]);
    }
    ++chains_filled;
    return place_chain(ChainSlot{head, Chain{}});
  }
  Chain& place_chain(const ChainSlot& slot) {
    const size_t mask = chains.size() - 1;
    size_t i = chain_hash(slot.head) & mask;
    while (chains[i].head != 0) i = (i + 1) & mask;
    chains[i] = slot;
    return chains[i].chain;
  }
  LargeArray<Slot> slots;
  size_t filled = 0;

  // The levels of the last search that met no leaf on its way: for each, the
  // chain searched, the key, and the node that matched with its place in the
  // chain. Nodes are only ever added at a chain's end, so while the tree
  // grows only through this index the same key in the same chain finds the
  // same node again. The loader's consecutive data sets mostly share their
  // first levels, and those are answered from here without a probe of the
  // hash tables (a cache miss each). A change of the tree behind the index's
  // back makes it rebuild, which forgets them. The keyword is kept as given,
  // with the packing it was searched under: the same characters packed alike
  // make the same key, and comparing them spares packing the keyword at all.
  static constexpr size_t kStepChars = 32;
  static constexpr int64_t kStepKeyWords = 8;
  struct Step {
    int64_t head = 0;
    int64_t node = 0;
    int64_t ordinal = 0;
    int64_t chars_per_word = 0;
    size_t size = 0;
    char text[kStepChars];
    int64_t nw = 0;             // the node's key as it was then
    int64_t key[kStepKeyWords];
  };
  static constexpr size_t kStepLevels = 9;
  Step steps[kStepLevels];
  size_t step_count = 0;

  // The remembered node for keyword `text` in the chain at head on level
  // (0-based), or nullptr.
  // The node must still hold the key it held then: words changed behind the
  // index's back (the tree is a caller's memory) never give a node whose key
  // is not the one searched for.
  const Step* step(const TreeWords& t, size_t level, int64_t head, std::string_view text) const {
    if (level >= step_count) return nullptr;
    const Step& s = steps[level];
    if (s.head != head || std::string_view(s.text, s.size) != text ||
        s.chars_per_word != packed_chars_per_word())
      return nullptr;
    if (!t.node_ok(s.node) || t.nw(s.node) != s.nw || !std::equal(s.key, s.key + s.nw, t.key(s.node)))
      return nullptr;
    return &s;
  }
  // Remember a match on level (0-based); the levels after it are forgotten,
  // since they hung below whatever matched here before. A keyword too long
  // to keep ends the remembered levels here.
  void remember(size_t level, int64_t head, std::string_view text, int64_t node, int64_t ordinal,
                const int64_t* key, int64_t nw) {
    // The same node as remembered: what was remembered below it stays.
    if (level < step_count && steps[level].head == head && steps[level].node == node) return;
    step_count = std::min(step_count, level);
    if (level != step_count || level >= kStepLevels || text.size() > kStepChars || nw < 1 ||
        nw > kStepKeyWords)
      return;
    Step& s = steps[level];
    s.nw = nw;
    std::copy(key, key + nw, s.key);
    s.head = head;
    s.node = node;
    s.ordinal = ordinal;
    s.chars_per_word = packed_chars_per_word();
    s.size = text.size();
    std::copy(text.begin(), text.end(), s.text);
    step_count = level + 1;
  }

  // Forget everything and give the tables' memory back.
  void clear() {
    synced = false;
    off = false;
    chains.release();
    chains_filled = 0;
    slots.release();
    filled = 0;
    step_count = 0;
  }

  // The hash leaves the way out: every entry that can answer a search key
  // is filed under that key, so one probe sequence holds all of them.
  static uint64_t hash(int64_t head, Key k) {
    uint64_t h = mix(static_cast<uint64_t>(head));
    for (int64_t i = 0; i < k.n; ++i)
      h = mix(h + static_cast<uint64_t>(k.w[i]) + 0x9e3779b97f4a7c15ULL);
    return h;
  }

  static bool fits(const TreeWords& t, int64_t node, uint8_t way, Key k) {
    const int64_t nw = t.nw(node);
    const int64_t* s = t.key(node);
    switch (way) {
      case kWhole:
        return nw == k.n && std::equal(k.w, k.w + k.n, s);
      case kPrefixOfThree:
        return nw == 3 && k.n < 3 && std::equal(k.w, k.w + k.n, s);
      case kPaddedOne:
        return nw == 2 && k.n == 1 && s[1] == kBlankWord && s[0] == k.w[0];
    }
    return false;
  }

  const Slot* find(const TreeWords& t, int64_t head, uint8_t way, Key k) const {
    if (slots.empty()) return nullptr;
    const uint32_t h = static_cast<uint32_t>(hash(head, k));
    const size_t mask = slots.size() - 1;
    for (size_t i = h & mask; slots[i].node != 0; i = (i + 1) & mask) {
      const Slot& s = slots[i];
      if (s.hash == h && s.head == head && s.way == way && fits(t, s.node, way, k)) return &s;
    }
    return nullptr;
  }

  // The earliest node of the chain at head that search key k matches in any
  // of the ways that apply to it, or nullptr.
  const Slot* earliest(const TreeWords& t, int64_t head, Key k) const {
    if (slots.empty()) return nullptr;
    const uint32_t h = static_cast<uint32_t>(hash(head, k));
    const size_t mask = slots.size() - 1;
    const Slot* best = nullptr;
    for (size_t i = h & mask; slots[i].node != 0; i = (i + 1) & mask) {
      const Slot& s = slots[i];
      if (s.hash != h || s.head != head) continue;
      if ((s.way == kPrefixOfThree && k.n >= 3) || (s.way == kPaddedOne && k.n != 1)) continue;
      if ((best == nullptr || s.ordinal < best->ordinal) && fits(t, s.node, s.way, k)) best = &s;
    }
    return best;
  }

  void place(const Slot& s) {
    const size_t mask = slots.size() - 1;
    size_t i = s.hash & mask;
    while (slots[i].node != 0) i = (i + 1) & mask;
    slots[i] = s;
  }

  void add(const TreeWords& t, int64_t head, uint8_t way, Key k, int64_t node, int64_t ordinal) {
    if (find(t, head, way, k) != nullptr) return;  // an earlier node keeps the entry
    if ((filled + 1) * 2 > slots.size()) {
      LargeArray<Slot> old;
      old.swap(slots);
      slots.assign(std::max<size_t>(1024, old.size() * 2), Slot{});
      for (size_t i = 0; i < old.size(); ++i)
        if (old[i].node != 0) place(old[i]);
    }
    if (head > INT32_MAX || node > INT32_MAX || ordinal > INT32_MAX) {
      off = true;  // positions beyond the slots' range: the walk answers
      return;
    }
    place(Slot{static_cast<uint32_t>(hash(head, k)), static_cast<int32_t>(head),
               static_cast<int32_t>(node), static_cast<int32_t>(ordinal), way});
    ++filled;
  }

  // Enter node as the next node of the chain starting at head. The nodes of
  // a short chain get no entries: searching it walks it, which reads a few
  // nearby words instead of a slot anywhere in a large table, and most
  // chains (the sections below one block or stream) stay short. When a chain
  // grows past the limit, its nodes are entered in chain order.
  void append(const TreeWords& t, int64_t head, int64_t node) {
    Chain& c = chain_at(head);
    ++c.length;
    c.last = node;
    if (c.length == kMaxSiblings) c.at_limit = node;
    if (c.length <= kShortChain) return;
    if (c.length == kShortChain + 1) {
      int64_t p = head;
      for (int64_t ordinal = 1; ordinal <= kShortChain; ++ordinal) {
        if (!t.node_ok(p)) break;
        enter(t, head, p, ordinal);
        p = t.next(p);
      }
      if (p != node) {
        off = true;  // the chain does not lead to the node: not a tree we know
        return;
      }
    }
    enter(t, head, node, c.length);
  }

  void enter(const TreeWords& t, int64_t head, int64_t node, int64_t ordinal) {
    const int64_t nw = t.nw(node);
    const int64_t* s = t.key(node);
    add(t, head, kWhole, {s, nw}, node, ordinal);
    if (nw == 3) {
      add(t, head, kPrefixOfThree, {s, 1}, node, ordinal);
      add(t, head, kPrefixOfThree, {s, 2}, node, ordinal);
    }
    if (nw == 2 && s[1] == kBlankWord) add(t, head, kPaddedOne, {s, 1}, node, ordinal);
  }

  // Index a tree from its words. Any chain that leaves the tree, meets a node
  // twice or loops switches the index off: the walk then answers instead.
  void rebuild(const TreeWords& t, int64_t tree_nused) {
    clear();
    nused = tree_nused;
    readable = t.readable();
    synced = true;
    if (tree_nused == 0) return;
    std::vector<bool> seen(static_cast<size_t>(t.readable()) + 1, false);
    std::vector<int64_t> heads{2};
    while (!heads.empty()) {
      const int64_t head = heads.back();
      heads.pop_back();
      for (int64_t p = head; p > 0; p = t.next(p)) {
        if (!t.node_ok(p) || seen[static_cast<size_t>(p)]) {
          off = true;
          return;
        }
        seen[static_cast<size_t>(p)] = true;
        append(t, head, p);
        if (t.child(p) > 0) heads.push_back(t.child(p));
      }
    }
  }

  // Ready to answer for this tree? Rebuilds when the tree changed size.
  bool ready(const TreeWords& t, int64_t tree_nused) {
    if (off) return false;
    if (!synced || tree_nused != nused || t.readable() != readable) rebuild(t, tree_nused);
    return !off;
  }
};

TreeIndex::TreeIndex() : state_(std::make_unique<State>()) {}
TreeIndex::~TreeIndex() = default;
void TreeIndex::reset() { state_->clear(); }
bool TreeIndex::usable() const { return !state_->off; }
TreeIndex::State& index_state(TreeIndex& index) { return *index.state_; }

// ---- The walk ------------------------------------------------------------------

namespace {

// Searches that met a leaf where a branch was expected (and reported it):
// a search that did is made again on every call, so that its message is
// written every time.
uint64_t g_improper_reports = 0;

class TreeWalk {
 public:
  enum Kind { kMatch, kNotFound, kBroken };
  struct Level {
    Kind kind;
    int64_t node;     // the matching node, or the last node examined (0: none)
    int64_t ordinal;  // how many nodes of the chain were examined
  };

  TreeWalk(const TreeWords& t, const PathKeys& keys, std::span<const std::string_view> path,
           TreeIndex::State* index)
      : t_(t), keys_(keys), path_(path), index_(index) {}

  int64_t ierr = 0;

  // Search the chain starting at head for the key of `level` (1-based).
  Level scan(int64_t head, int64_t level) {
    if (index_ != nullptr) {
      // The answer of an earlier search; a leaf where a branch is now
      // expected is left to the search below, which reports it.
      const size_t at = static_cast<size_t>(level - 1);
      if (const auto* s = index_->step(t_, at, head, path_[at]))
        if (is_last(level) || t_.child(s->node) > 0) return {kMatch, s->node, s->ordinal};
      if (const auto* chain = index_->chain_of(head)) {
        if (chain->length <= TreeIndex::State::kShortChain) return walk(head, 0, 0, level);
        const Key k = keys_[at];
        const TreeIndex::State::Slot* best = index_->earliest(t_, head, k);
        if (best != nullptr && best->ordinal <= kMaxSiblings) {
          if (is_last(level) || t_.child(best->node) > 0)
            return {kMatch, best->node, best->ordinal};
          // A leaf where a branch was expected: reported, and the search goes
          // on with the following siblings as the walk does.
          report_improper(level);
          return walk(t_.next(best->node), best->ordinal, best->node, level);
        }
        if (chain->length <= kMaxSiblings) return {kNotFound, chain->last, chain->length};
        // No node within the limit matches and the chain goes on past it:
        // the walk would end at the limit's node, so the search ends there
        // without walking (a file with more data sets on one level than
        // the limit loads in time linear in its size).
        if (chain->at_limit != 0)
          return {kBroken, chain->at_limit, kMaxSiblings};
      }
    }
    return walk(head, 0, 0, level);
  }

  // The plain walk of a chain from node p, count nodes having been examined
  // already and `last` the last of them.
  Level walk(int64_t p, int64_t count, int64_t last, int64_t level) {
    const Key k = keys_[static_cast<size_t>(level - 1)];
    while (p > 0) {
      // A link outside the tree, or a chain that goes on past the sibling
      // limit (a loop, or a tree that is not ours), ends the walk.
      if (!t_.node_ok(p) || count == kMaxSiblings) return {kBroken, last, count};
      ++count;
      if (key_matches(t_, p, k)) {
        if (is_last(level) || t_.child(p) > 0) return {kMatch, p, count};
        report_improper(level);
      }
      last = p;
      p = t_.next(p);
    }
    return {kNotFound, last, count};
  }

  // The last node of the chain of node `from` (found as the ordinal-th node
  // of the chain starting at head), at most kMaxSiblings links on; 0 when
  // the chain is broken or too long.
  int64_t chain_end(int64_t from, int64_t ordinal, int64_t head) {
    if (index_ != nullptr) {
      if (const auto* chain = index_->chain_of(head))
        return chain->length - ordinal <= kMaxSiblings ? chain->last : 0;
    }
    int64_t p = from;
    for (int64_t steps = 0;; ++steps) {
      const int64_t n = t_.next(p);
      if (n <= 0) return p;
      if (steps == kMaxSiblings || !t_.node_ok(n)) return 0;
      p = n;
    }
  }

 private:
  bool is_last(int64_t level) const { return level == static_cast<int64_t>(path_.size()); }

  void report_improper(int64_t level) {
    ierr = kTreeImproper;
    ++g_improper_reports;
    if (message_unit() <= 0) return;
    const std::string head =
        " IMPROPER STRUCTURED DSET TREE AT LEVEL " + fortran_i(level, 2) + " (TKDTRE)";
    write_message({head});
    std::string line;
    for (int64_t i = 0; i < level; ++i) {
      line += ' ';
      line += padded(path_[static_cast<size_t>(i)], 8);
      if ((i + 1) % 8 == 0 || i + 1 == level) {
        write_message_lines({line});
        line.clear();
      }
    }
  }

  const TreeWords& t_;
  const PathKeys& keys_;
  std::span<const std::string_view> path_;
  TreeIndex::State* index_;
};

void report_corrupt() { write_message({" DSET TREE CORRUPTED (ROUTINE TKDTRE)"}); }

// Add nodes for levels first..nids of the path, the first one after node
// `after` of the chain starting at head (after = 0: the tree is empty), then
// the data record. Returns 0 when added, kTreeFull when the words would pass
// the tree's capacity (nothing is written then).
int64_t add_levels(TreeView tree, const PathKeys& keys, size_t first, size_t nids,
                   int64_t after, int64_t head, const DataRecord& record, int64_t& ipos,
                   TreeIndex::State* index) {
  int64_t need = 5;
  for (size_t j = first; j < nids; ++j) need += node_key_words(keys[j].n) + 3;
  if (tree.nused < 0 || tree.nused > tree.capacity - need) return kTreeFull;

  int64_t* w = tree.words;
  auto at = [w](int64_t k) -> int64_t& { return w[k - 1]; };
  const int64_t first_node = tree.nused + 2;
  int64_t pos = first_node, prev = 0;
  for (size_t j = first; j < nids; ++j) {
    const Key k = keys[j];
    const int64_t nw = node_key_words(k.n);
    at(pos - 1) = nw;
    at(pos) = 0;
    if (j == first) {
      // The new node takes over the end mark of the chain it joins.
      at(pos + 1) = after > 0 ? at(after + 1) : 0;
    } else {
      at(prev) = pos;
      at(pos + 1) = -prev;
    }
    std::copy(k.w, k.w + k.n, w + pos + 1);
    if (k.n < nw) blank_words(w + pos + 1 + k.n, nw - k.n);
    prev = pos;
    pos += nw + 3;
  }
  if (after > 0) at(after + 1) = first_node;

  // The data record after the last node: 2, IDATA, 0, VALUE in two words.
  const int64_t q = pos;
  int64_t value_words[8];
  blank_words(value_words, 8);
  pack_text(std::string_view(record.value, 8), 8, value_words);
  at(q - 1) = 2;
  at(q) = record.idata;
  at(q + 1) = 0;
  at(q + 2) = value_words[0];
  at(q + 3) = value_words[1];
  at(prev) = -q;
  tree.nused = q + 3;
  ipos = prev;

  if (index != nullptr) {
    try {
      const TreeWords grown(tree.words, tree.nused, tree.capacity);
      index->append(grown, head, first_node);
      for (int64_t p = first_node; p != prev;) {
        const int64_t c = grown.child(p);
        index->append(grown, c, c);
        p = c;
      }
      index->nused = tree.nused;
      index->readable = grown.readable();
    } catch (...) {
      index->off = true;  // out of memory: the walk answers from now on
    }
  }
  return 0;
}

int64_t run_tree(int64_t mode, std::span<const std::string_view> path, DataRecord& record,
                 TreeView tree, int64_t& ipos, TreeIndex* index) {
  ipos = 2;
  const size_t nids = path.size();
  if (nids == 0) {
    // An empty path names no node: never found, never entered.
    if (mode == 2) record = DataRecord{};
    return 1;
  }
  const PathKeys keys(path);
  const TreeWords t(tree.words, tree.nused, tree.capacity);
  TreeIndex::State* st = nullptr;
  if (index != nullptr) {
    TreeIndex::State& s = index_state(*index);
    try {
      if (s.ready(t, tree.nused)) st = &s;
    } catch (...) {
      s.off = true;
    }
  }
  TreeWalk walk(t, keys, path, st);

  // Search, level by level.
  int64_t head = 2, parent = 0;
  size_t level = 1;
  TreeWalk::Level r{TreeWalk::kNotFound, 0, 0};
  if (tree.nused != 0) {
    for (;; ++level) {
      r = walk.scan(head, static_cast<int64_t>(level));
      if (st != nullptr) {
        if (r.kind == TreeWalk::kMatch && walk.ierr == 0)
          st->remember(level - 1, head, path[level - 1], r.node, r.ordinal, t.key(r.node), t.nw(r.node));
        else
          st->step_count = std::min(st->step_count, level - 1);
      }
      if (r.kind != TreeWalk::kMatch || level == nids) break;
      parent = r.node;
      head = t.child(r.node);
      ipos = head;
    }
  }

  if (r.kind == TreeWalk::kMatch) {
    const int64_t found = r.node;
    ipos = found;
    if (mode == 1) {
      record = DataRecord{};
      const int64_t child = t.child(found);
      const int64_t q = child < 0 && child != INT64_MIN ? -child : 0;
      if (q != 0 && t.record_ok(q)) {
        record.idata = t.word(q);
        int64_t v[2] = {t.word(q + 2), t.word(q + 3)};
        unpack_text(v, 2, TextField(record.value, 8));
      }
      return walk.ierr;
    }
    if (mode == 2 || mode == 3) return walk.ierr;
    // Modes 4 and above, 0 and below: one more node with the last keyword at
    // the end of the found node's chain.
    const int64_t end = walk.chain_end(found, r.ordinal, head);
    if (end == 0) {
      report_corrupt();
      return kTreeCorrupt;
    }
    const int64_t rc = add_levels(tree, keys, nids - 1, nids, end, head, record, ipos, st);
    return rc != 0 ? rc : walk.ierr;
  }

  // Not found at `level`.
  ipos = r.node != 0 ? r.node : (parent != 0 ? parent : 2);
  if (mode <= 2) {
    if (mode == 2) record = DataRecord{};
    return static_cast<int64_t>(level);
  }
  if (r.kind == TreeWalk::kBroken) {
    report_corrupt();
    return kTreeCorrupt;
  }
  const int64_t first_node = tree.nused + 2;
  const int64_t rc = add_levels(tree, keys, level - 1, nids, r.node, head, record, ipos, st);
  if (rc == 0 && st != nullptr && walk.ierr == 0 && !st->off) {
    // No node of the chain matched in any way, so the new nodes are what
    // the next search for these keys finds: the first one at the chain's
    // end, each further one alone in the chain below it.
    int64_t p = first_node, h = head, ordinal = r.ordinal + 1;
    for (size_t j = level - 1; j < nids && ordinal <= kMaxSiblings; ++j) {
      st->remember(j, h, path[j], p, ordinal, t.key(p), t.nw(p));
      h = p = t.child(p);
      ordinal = 1;
    }
  }
  return rc != 0 ? rc : walk.ierr;
}

}  // namespace

int64_t dataset_tree(int64_t mode, std::span<const std::string_view> path,
                     DataRecord& record, TreeView tree, int64_t& ipos, TreeIndex* index) {
  try {
    return run_tree(mode, path, record, tree, ipos, index);
  } catch (...) {
    // Only the key buffer or a message line can fail to be allocated, both
    // before the tree is changed.
    return kTreeFull;
  }
}

TreeIndex& loaded_tree_index() {
  static TreeIndex index;
  return index;
}

namespace {
uint64_t g_loaded_tree_edits = 0;
}  // namespace

uint64_t loaded_tree_edits() { return g_loaded_tree_edits; }

int64_t tree_room_needed(std::span<const std::string_view> path) {
  int64_t need = 5;
  for (std::string_view k : path) need += node_key_words(packed_word_count(key_length(k))) + 3;
  return need;
}

// ---- Read-only walks -----------------------------------------------------------

TreeNodes::TreeNodes(const int64_t* words, int64_t nused)
    : w_(words), nused_(words != nullptr ? std::max<int64_t>(0, nused) : 0) {}

TreeNodes TreeNodes::loaded() {
  const int64_t base = locs(l::kTree), used = locs(l::kTreeUsed);
  if (used < 1 || !in_work(base, used)) return TreeNodes(nullptr, 0);
  TreeNodes t(work_ptr(base), used);
  // Searches of the loaded tree go through the loader's index, so that a
  // lookup costs the same however long the sibling chains are.
  t.index_ = &loaded_tree_index();
  return t;
}

namespace {
// The tree words hold no pointer that is written through here; TreeWords
// only takes a mutable pointer because the tree routine writes with it.
TreeWords read_only(const int64_t* w, int64_t nused) {
  return TreeWords(const_cast<int64_t*>(w), nused, nused);
}
}  // namespace

bool TreeNodes::is_node(int64_t p) const { return read_only(w_, nused_).node_ok(p); }

int64_t TreeNodes::first_child(int64_t p) const {
  const TreeWords t = read_only(w_, nused_);
  if (!t.node_ok(p)) return 0;
  const int64_t c = t.child(p);
  return c > 0 && t.node_ok(c) ? c : 0;
}

int64_t TreeNodes::next_sibling(int64_t p) const {
  const TreeWords t = read_only(w_, nused_);
  if (!t.node_ok(p)) return 0;
  const int64_t n = t.next(p);
  return n > 0 && t.node_ok(n) ? n : 0;
}

int64_t TreeNodes::chain_parent(int64_t p) const {
  const TreeWords t = read_only(w_, nused_);
  if (!t.node_ok(p)) return 0;
  const int64_t n = t.next(p);
  return n < 0 && n != INT64_MIN && t.node_ok(-n) ? -n : 0;
}

std::span<const int64_t> TreeNodes::key(int64_t p) const {
  const TreeWords t = read_only(w_, nused_);
  if (!t.node_ok(p)) return {};
  return {t.key(p), static_cast<size_t>(t.nw(p))};
}

void TreeNodes::keyword(int64_t p, char* field, size_t len) const {
  const std::span<const int64_t> k = key(p);
  // Keywords have at most 128 characters: 32 words.
  unpack_text(k.data(), std::min<int64_t>(static_cast<int64_t>(k.size()), 32),
              TextField(field, len));
}

std::string TreeNodes::keyword(int64_t p) const {
  char buf[128];
  keyword(p, buf, sizeof buf);
  return std::string(TextField::trim_right(std::string_view(buf, sizeof buf)));
}

bool TreeNodes::matches(int64_t p, std::string_view name) const {
  const TreeWords t = read_only(w_, nused_);
  if (!t.node_ok(p)) return false;
  int64_t words[32];
  const int64_t n = pack_key(name.substr(0, std::min<size_t>(name.size(), 128)), words);
  return key_matches(t, p, Key{words, n});
}

namespace {

// The paths found in the loaded tree in this load and tree, with the node
// the search reached and its data record: a pass that asks for the same
// data sets again, or for several data sets of one path, searches the tree
// once per path. What a search finds depends only on the path's keywords
// (trailing blanks do not count, as keys are packed without them) and the
// tree, so it is kept with the load's stamp, which changes with every edit
// of the loaded tree through TKDTRE; an addition never moves a node that was
// found. Paths found (code 0) are kept, and so are paths the tree does not
// hold (the level that is missing), which readers of optional sections ask
// for on every pass; a search that meets a damaged or improper tree is made
// again every time, as it writes its message. The store is emptied when it
// holds as many paths as the file has data sets (at least kKeptPaths), so
// that a pass over every object of a large flowsheet finds its paths kept
// instead of emptying the store within each pass.
struct FoundPath {
  int64_t node = 0;
  DataRecord record;
  int64_t code = 0;  // 0, or the level the tree does not hold
};
struct PathMemory {
  LoadStamp stamp;
  std::unordered_map<std::string, FoundPath> found;
  std::string key;  // the request being looked up (reused, not reallocated)
};
constexpr size_t kKeptPaths = 4096;

PathMemory& path_memory(std::span<const std::string_view> path) {
  static PathMemory m;
  const LoadStamp now = LoadStamp::now();
  if (!(m.stamp == now) || m.found.size() >= kept_entries_bound(kKeptPaths)) {
    m.found.clear();
    m.stamp = now;
  }
  path_key(path, m.key);
  return m;
}

}  // namespace

void path_key(std::span<const std::string_view> path, std::string& key) {
  // Each keyword without its trailing blanks, preceded by its length: sized
  // once and filled by copies, as every search of a pass builds one.
  size_t total = 0;
  for (std::string_view k : path) total += sizeof(uint32_t) + TextField::trim_right(k).size();
  key.resize(total);
  char* out = key.data();
  for (std::string_view k : path) {
    const std::string_view t = TextField::trim_right(k);
    const auto n = static_cast<uint32_t>(t.size());
    std::memcpy(out, &n, sizeof n);
    copy_bytes(out + sizeof n, t.data(), n);
    out += sizeof n + n;
  }
}

int64_t TreeNodes::find(std::span<const std::string_view> path, int64_t& node,
                        DataRecord* record, bool* kept_answer) const {
  node = 0;
  if (kept_answer != nullptr) *kept_answer = false;
  if (nused_ == 0) return 1;  // an empty tree holds no path
  PathMemory* kept = index_ != nullptr ? &path_memory(path) : nullptr;
  if (kept != nullptr) {
    if (const auto it = kept->found.find(kept->key); it != kept->found.end()) {
      if (kept_answer != nullptr) *kept_answer = true;
      if (it->second.code != 0) return it->second.code;
      node = it->second.node;
      if (record != nullptr) *record = it->second.record;
      return 0;
    }
  }
  const uint64_t improper_before = g_improper_reports;
  int64_t used = nused_;
  // Mode 1 only reads the tree.
  TreeView tree{const_cast<int64_t*>(w_), used, nused_};
  DataRecord found;
  int64_t ipos = 0;
  const int64_t rc = dataset_tree(1, path, found, tree, ipos, index_);
  if (rc == 0 || rc == kTreeImproper) {
    node = ipos;
    if (record != nullptr) *record = found;
  }
  const bool keep = kept != nullptr && (rc == 0 || (rc > 0 && g_improper_reports == improper_before));
  if (keep) kept->found.emplace(kept->key, rc == 0 ? FoundPath{ipos, found, 0} : FoundPath{0, DataRecord{}, rc});
  if (kept_answer != nullptr) *kept_answer = keep;
  return rc;
}

}  // namespace flowsum

extern "C" {

void tkdtre_(int64_t* mode, int64_t* nids, const char* ids, char* value, int64_t* idata,
             int64_t* tree, int64_t* nused, int64_t* ipos, int64_t* ierr,
             size_t ids_len, size_t value_len) {
  using namespace flowsum;
  try {
    std::vector<std::string_view> path;
    for (int64_t i = 0; i < *nids; ++i)
      path.push_back(text_element(ids, ids_len, static_cast<size_t>(i)).view());

    const TextField val(value, value_len);
    DataRecord record;
    record.idata = *idata;
    std::copy_n(val.data, std::min<size_t>(8, val.len), record.value);

    // A tree inside the work area may use the words up to its end; a tree
    // elsewhere was sized by the caller.
    int64_t capacity = INT64_MAX;
    const std::less<const int64_t*> before;
    if (!before(tree, tkwork_) && before(tree, tkwork_ + TK_WORK_WORDS))
      capacity = tkwork_ + TK_WORK_WORDS - tree;

    // The loaded tree is searched and extended through the loader's index,
    // which then stays in step with it; any other tree is walked.
    const int64_t loaded_base = locs(l::kTree);
    TreeIndex* index = in_work(loaded_base, 1) && tree == work_ptr(loaded_base) ? &loaded_tree_index() : nullptr;
    if (index && *mode != 1) ++g_loaded_tree_edits;
    int64_t pos = 2;
    const int64_t rc = dataset_tree(*mode, path, record, TreeView{tree, *nused, capacity}, pos, index);
    *ipos = pos;
    *ierr = rc;
    // IDATA and VALUE are results only of a lookup that found the path
    // (mode 1) or of mode 2 that did not.
    if ((*mode == 1 && rc <= 0) || (*mode == 2 && rc > 0)) {
      *idata = record.idata;
      val.assign(std::string_view(record.value, 8));
    }
  } catch (...) {
    *ierr = kTreeFull;
  }
}

}  // extern "C"
