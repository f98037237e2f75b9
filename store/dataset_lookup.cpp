// Data-set lookup: the tree search, the choice among equal siblings by
// qualifier, the qualifier block from the loading sequence, the values read
// from the scratch copy of the summary file, and the one remembered answer.
#include "store/dataset_lookup.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "flowsum.h"
#include "io/messages.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "store/dataset_tree.hpp"
#include "store/list_evaluation.hpp"
#include "store/load_stamp.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {

namespace {

// Characters of a long text value.
constexpr int64_t kLongTextChars = 80;

// Line of the data set this routine most recently chose in the tree: the
// "COMPSTAT" path reads its value there.
int64_t g_last_tree_line = 0;
// Generation of the answer memory's words: it changes whenever that memory
// starts over, so words borrowed from it are known to be gone.
uint64_t g_answer_generation = 1;
// The words of the remembered answer as they were when it was remembered:
// the answer is handed out again only while its blocks are intact (free
// words above the pointer may have been reused since). The qualifier block
// at their start is held as list evaluation keeps it, when it does, rather
// than copied again; the rest is copied, or borrowed from the answer
// memory (below) when the answer came from there.
struct Remembered {
  bool valid = false;
  // Whether the remembered data set is the one a search with a blank
  // qualifier chooses (the first sibling of its path). Only then may a
  // blank qualifier be answered from memory: otherwise the answer to the
  // same question would depend on which sibling was asked for last.
  bool first_of_path = true;
  // Whether the remembered data set was read by its own record rather than
  // chosen by its qualifier, and its line. Data sets of one path may share a
  // loading sequence (their qualifier): one read by its record answers only
  // a lookup of that same record, never a choice by qualifier.
  bool by_record = false;
  int64_t line = 0;
  std::shared_ptr<const std::vector<int64_t>> head;  // the first words, or none
  // The words after them: a copy in `copied`, or the answer memory's own
  // words, which serve while its generation is the one they were lent in.
  const int64_t* rest = nullptr;
  size_t nrest = 0;
  uint64_t lent_in = 0;  // 0: the copy
  std::vector<int64_t> copied;

  // head: the words at first as list evaluation kept them (or none).
  void keep(int64_t first, int64_t count, std::shared_ptr<const std::vector<int64_t>> kept_head) {
    head = kept_head && static_cast<int64_t>(kept_head->size()) <= count ? std::move(kept_head) : nullptr;
    const int64_t nhead = head ? static_cast<int64_t>(head->size()) : 0;
    copied.assign(work_ptr(first + nhead), work_ptr(first) + count);
    rest = copied.data();
    nrest = copied.size();
    lent_in = 0;
  }
  void borrow(const int64_t* words, size_t n) {
    rest = words;
    nrest = n;
    lent_in = g_answer_generation;
  }
  bool intact(int64_t first, int64_t count) const {
    const size_t nhead = head ? head->size() : 0;
    return (lent_in == 0 || lent_in == g_answer_generation) && static_cast<size_t>(count) == nhead + nrest &&
           (nhead == 0 || std::equal(head->begin(), head->end(), work_ptr(first))) &&
           std::equal(rest, rest + nrest, work_ptr(first) + nhead);
  }
};
Remembered g_remembered;

std::string_view keyword(std::string_view k) { return k.substr(0, std::min(k.size(), kKeywordChars)); }

bool is_connection_path(std::span<const std::string_view> path) {
  return path.size() >= 4 && padded_equal(keyword(path[1]), "CONNECT") &&
         (padded_equal(keyword(path[3]), "BLKIN") || padded_equal(keyword(path[3]), "BLKOUT"));
}

std::string_view retn_text(size_t i) { return {tkretn_.text[i], TK_RETN_TEXT_LEN}; }

// A path's keywords with their first 128 characters, as the tree holds
// them; false for an empty or too long path.
using CutPath = std::array<std::string_view, kMaxPathKeywords>;
bool cut_path(std::span<const std::string_view> whole, CutPath& cut) {
  if (whole.empty() || static_cast<int64_t>(whole.size()) > kMaxPathKeywords) return false;
  for (size_t i = 0; i < whole.size(); ++i) cut[i] = keyword(whole[i]);
  return true;
}

// Stream results kept in the "RES_STR" section are never read.
bool is_unread_stream_path(std::span<const std::string_view> path) {
  return padded_equal(keyword(path.front()), "STREAM") && padded_equal(keyword(path.back()), "RES_STR");
}

// Tree word k (1-based) and the words in use.
struct Tree {
  const int64_t* w = nullptr;
  int64_t used = 0;
  int64_t at(int64_t k) const { return w[k - 1]; }
};

bool loaded_tree(Tree& t) {
  const int64_t base = locs(l::kTree), used = locs(l::kTreeUsed);
  if (used < 5 || !in_work(base, used)) return false;
  t.w = work_ptr(base);
  t.used = used;
  return true;
}

// Among the node found and its later siblings, the first one whose key
// agrees with the last keyword in its first 8 characters and whose
// qualifier is the wanted one (any when blank). Keywords count with 8
// characters here, as the tree search lets a keyword of 8 find a longer key.
// The walk stops at the end of the chain, at a link that leaves the tree, or
// after as many nodes as a chain may have.
bool choose_node(const Tree& t, int64_t p, std::string_view last, std::string_view qual8,
                 DataRecord& chosen) {
  const std::string want_key = padded(last, 8);
  const bool any_qualifier = TextField::trim_right(qual8).empty();
  for (int64_t steps = 0; p >= 2 && steps < kMaxSiblings; ++steps) {
    if (p + 1 > t.used) return false;
    const int64_t nw = t.at(p - 1);
    if (nw < 1 || nw > t.used - p - 1) return false;
    DataRecord rec;
    const int64_t child = t.at(p);
    if (child < 0 && -child >= 2 && -child + 3 <= t.used) {
      rec.idata = t.at(-child);
      unpack_text(&t.w[-child + 1], 2, TextField(rec.value, 8));
    }
    char key[8];
    unpack_text(&t.w[p + 1], std::min<int64_t>(nw, 2), TextField(key, 8));
    if (std::string_view(key, 8) == want_key && (any_qualifier || std::string_view(rec.value, 8) == qual8)) {
      chosen = rec;
      return true;
    }
    p = t.at(p + 1);
  }
  return false;
}

// Scanner, positioned at the data set's line, just past its head as a path
// of nid keywords counts it: the record keyword and the path, a comma that
// splits the last keyword, the at-name and "(".
void skip_dataset_head(size_t nid) {
  scan::Token tok;
  for (size_t i = 0; i <= nid; ++i) scan::next(tok);
  if (tok.type == scan::kComma) {
    scan::next(tok);
    scan::next(tok);
  }
  scan::next(tok);
  scan::next(tok);
}

int64_t words_per_real() { return std::max<int64_t>(1, glob(g::kWordsPerReal)); }

std::string unpacked(int64_t first, int64_t nword) {
  std::string out(static_cast<size_t>(4 * nword), ' ');
  if (nword > 0 && in_work(first, nword))
    unpack_text(work_ptr(first), nword, TextField(out.data(), out.size()));
  return out;
}

}  // namespace

std::string DatasetAnswer::qualifier_name(int64_t i) const { return unpacked(locq + 4 * (i - 1), 4); }

int64_t DatasetAnswer::find_qualifier(std::string_view name) const {
  // Every row of a table may ask for a column by name: the names are
  // unpacked into a buffer on the stack, not into a string each.
  const std::string_view want = name.substr(0, std::min<size_t>(16, name.size()));
  char q[16];
  for (int64_t i = 1; i <= nqual; ++i) {
    qualifier_name_into(i, TextField(q, 16));
    if (padded_equal(std::string_view(q, 16), want)) return i;
  }
  return 0;
}

std::string DatasetAnswer::qualifier_text(int64_t i, int64_t j) const {
  return unpacked(locq + 4 * nqual + 2 * nqual * (j - 1) + 2 * (i - 1), 2);
}

std::string DatasetAnswer::text_value(int64_t j) const {
  const int64_t slot = locd + ndata + 2 * (j - 1);
  if (type(j) == value_type::kText8) return unpacked(slot, 2);
  const int64_t count = word_or_zero(slot), where = word_or_zero(slot + 1);
  if (count > 0 && count <= kLongTextWords && in_work(where, count)) return unpacked(where, count);
  return unpacked(slot, 2);
}

namespace {


// Remember the answer in TKRETN: counts, locations, the first free word
// after it, the keywords and the qualifier.
void write_retn(std::span<const std::string_view> path, std::string_view remembered_qual, const DatasetAnswer& a,
                int64_t after) {
  tkretn_.iret[0] = static_cast<int64_t>(path.size());
  tkretn_.iret[3] = a.nqual;
  tkretn_.iret[4] = a.ndata;
  tkretn_.iret[5] = a.locq;
  tkretn_.iret[6] = a.locd;
  tkretn_.iret[9] = after;
  // All texts blank first, then the keywords and the qualifier over them;
  // copied by fixed-size moves (string instructions cost more for these
  // short lengths than they save).
  static constexpr size_t kChunk = 64;
  static_assert(sizeof tkretn_.text % kChunk == 0);
  for (size_t k = 0; k < sizeof tkretn_.text; k += kChunk) blank_bytes(&tkretn_.text[0][0] + k, kChunk);
  for (size_t i = 0; i <= path.size() && i < TK_RETN_TEXTS; ++i) {
    const std::string_view t = i < path.size() ? TextField::trim_right(keyword(path[i])) : remembered_qual;
    copy_bytes(tkretn_.text[i], t.data(), std::min<size_t>(t.size(), TK_RETN_TEXT_LEN));
  }
}

// Lay out the value block after the qualifier block, read the values and
// remember the answer. a holds nqual, ndata and locq; the scanner stands on
// the first value when positioned is true. False, with nothing remembered,
// when the values do not fit in the work area.
bool read_values(std::span<const std::string_view> path, std::string_view remembered_qual,
                 int64_t line, bool positioned, DatasetAnswer& a,
                 std::shared_ptr<const std::vector<int64_t>> kept_block = nullptr, bool* complete = nullptr) {
  const int64_t nd = a.ndata, nq = a.nqual;
  const bool connection = is_connection_path(path);
  const int64_t types = a.locq + 4 * nq + 2 * nq * nd;
  const int64_t units = types + nd;
  if (!in_work(types, 2 * nd)) return false;

  // Room: the value block, two spare words, and 20 words per long text.
  const int64_t g = words_per_real();
  int64_t locd = locs(l::kFreePointer);
  locd = ((locd - 1 + g - 1) / g) * g + 1;
  const int64_t long_words = packed_word_count(kLongTextChars);
  int64_t nlong = 0;
  for (int64_t j = 0; j < nd; ++j) {
    const int64_t t = work(types + j);
    if (t == value_type::kLongText || (t == value_type::kText && connection)) ++nlong;
  }
  const int64_t room = kWorkWords + 1 - locd;  // words from locd to the end
  if (locd < 1 || room < 2 || nd > (room - 2) / 6 || long_words * nlong > room - 2 - 6 * nd) return false;
  a.locd = locd;

  // Cleared value block: integers, unit codes and reals 0, texts blank.
  std::fill_n(work_ptr(locd), nd, 0);
  blank_words(work_ptr(locd + nd), 2 * nd);
  std::fill_n(work_ptr(locd + 3 * nd), 2 * nd, 0);
  int64_t free = locd + 6 * nd + 2;
  locs(l::kFreePointer) = free;

  if (complete) *complete = false;
  if (line >= 1) {
    if (!positioned && nd > 0) {
      position_scanner_at_line(line);
      skip_dataset_head(path.size());
    }
    scan::Token tok;
    // The next token of the values; false at the data set's end: its ")"
    // (one that closes a "(" read as a value does not count), the end of the
    // copy or a character no token starts with, or a line that opens the
    // next record. A data set that ends before its count never takes the
    // next record's tokens as values.
    int64_t depth = 0;
    int64_t held = scan::line_number();
    auto next_value = [&] {
      scan::next(tok);
      if (tok.type == scan::kNone) return false;
      if (scan::line_number() != held) {
        held = scan::line_number();
        if (opens_record(scan::held_line())) return false;
      }
      if (tok.type == scan::kOpen) ++depth;
      if (tok.type == scan::kClose && depth-- == 0) return false;
      return true;
    };
    int64_t j = 0;  // values read
    for (; j < nd; ++j) {
      if (!next_value()) break;
      const int64_t t = work(types + j);
      if (t == value_type::kReal) {
        set_work_real(locd + 4 * nd + j, tok.rval);
        if (work(units + j) != 0) {
          if (!next_value()) {
            ++j;
            break;
          }
          work(locd + 3 * nd + j) = tok.ival;
        }
      } else if (t == value_type::kInteger) {
        work(locd + j) = tok.ival;
      } else if (t == value_type::kText8 || (t == value_type::kText && !connection)) {
        pack_text(tok.text, 8, work_ptr(locd + nd + 2 * j));
      } else if (t == value_type::kLongText || t == value_type::kText) {
        pack_text(tok.text, kLongTextChars, work_ptr(free));
        work(locd + nd + 2 * j) = long_words;
        work(locd + nd + 2 * j + 1) = free;
        free += long_words;
        locs(l::kFreePointer) = free;
      }
    }
    if (j < nd) {
      // The reals the file does not give are missing values, not zeros.
      for (int64_t k = j; k < nd; ++k)
        if (work(types + k) == value_type::kReal) set_work_real(locd + 4 * nd + k, rglb(1));
      write_warning({" WARNING: DSET AT LINE" + fortran_i(line, 10) + " ENDS AFTER" + fortran_i(j, 7) +
                     " OF" + fortran_i(nd, 7) + " VALUES"});
    } else if (nd > 0 && complete) {
      *complete = true;
    }
  }

  write_retn(path, remembered_qual, a, free);
  g_remembered.valid = free > a.locq;
  g_remembered.line = line;
  if (g_remembered.valid) g_remembered.keep(a.locq, free - a.locq, std::move(kept_block));
  return true;
}

// Whole answers for the rest of the load, by request: the path, the
// qualifier asked for and, for a read by record, the record's line. A pass
// over every compressor, costed item or pipeline asks for thousands of small
// data sets, pass after pass; an answer kept here is laid out again by
// copying its words, instead of searching the tree, choosing among the
// siblings, evaluating the loading sequence and reading and tokenizing the
// values' text again. Only what a read would have given again is kept:
// data sets of at most kMaxValues values (a stream's main results are read
// as fast from the text), read whole (one that ends early writes its warning
// on every read), whose qualifier block list evaluation keeps; and paths
// without the data set asked for, where the tree's search keeps its answer
// (it does not when it writes a message). An answer is given while the
// load's stamp, the scanner's table, the words per real and the missing
// value (what a "*" reads as) are those it was read with.
//
// The answers lie one after the other in one arena of words, each with its
// key, so that a hit touches its slot and a run of adjacent words. The
// arena is reserved whole when the stamp changes (pages are touched only as
// words are kept) and never moves. Its words are bounded by the load: at
// least kLeastWords, else one word for every two lines of the file, so that
// a pass over every small data set of a large flowsheet still finds its
// answers kept rather than the memory starting over within each pass. It
// starts over (a new generation) when it is full, or holds as many answers
// as the file has data sets.
class AnswerMemory {
 public:
  static constexpr int64_t kMaxValues = 64;
  static constexpr size_t kLeastWords = 7 * 16384;  // about 16 000 values

  // Whether the value slot of a value of this type holds the location of a
  // long text.
  static bool holds_long_text(int64_t type, bool connection) {
    return type == value_type::kLongText || (type == value_type::kText && connection);
  }

  // A data set just read, to be kept.
  struct Fresh {
    int64_t start = 0, locq = 0, locd = 0, after = 0;  // start: the list's base
    int64_t nqual = 0, ndata = 0, line = 0;
    const char* qualifier = nullptr;  // 8 characters
    bool first_of_path = false, by_record = false;
    // The template of an open-ended data set was expanded after the list's
    // block: the remembered answer then starts after that block.
    bool expanded = false;
    std::shared_ptr<const std::vector<int64_t>> lead;  // the list's block, at start
    const int64_t* rest = nullptr;                     // the words after it
    size_t nrest = 0;
    std::vector<int64_t> locations;  // indexes in rest of long-text locations
  };

  // The entry kept for this request, or null; the request is the one a
  // following keep() files its answer under.
  int64_t* find(std::span<const std::string_view> path, std::string_view qual8, int64_t line) {
    uint64_t missing;
    const double rmiss = rglb(1);
    std::memcpy(&missing, &rmiss, sizeof missing);
    const Stamp now{LoadStamp::now(), scan::table_generation(), words_per_real(), missing};
    if (!(stamp_ == now)) {
      stamp_ = now;
      most_words_ = std::max(kLeastWords,
                             static_cast<size_t>(std::max<int64_t>(last_load().lines, 0)) / 2);
      // A new load or tree starts with an empty table (a table sized for
      // one pass of a large file is not cleared after every tree edit).
      std::vector<Slot>().swap(slots_);
      start_over();
      // A smaller file's bound gives back what a larger one took.
      if (arena_.capacity() > 2 * most_words_) std::vector<int64_t>().swap(arena_);
      arena_.reserve(most_words_);
    }
    path_key(path, key_);
    key_.append(qual8.data(), 8);
    key_.append(reinterpret_cast<const char*>(&line), sizeof line);
    hash_ = key_hash(key_);
    if (count_ == 0) return nullptr;
    // A pass asks again in the order of the pass that filled the memory:
    // the entry after the last one found is tried first, which reads on
    // through the arena instead of jumping to a slot.
    if (next_ < arena_.size() && is_request(arena_.data() + next_)) return found(next_);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash_ & mask; slots_[i].at != 0; i = (i + 1) & mask)
      if (slots_[i].hash == hash_ && is_request(arena_.data() + slots_[i].at - 1)) return found(slots_[i].at - 1);
    return nullptr;
  }

  // Keeps the answer just laid out for the request of the last find().
  void keep(const Fresh& a) {
    if (!a.lead || a.ndata > kMaxValues) return;
    // Placed first: a memory that starts over to make room forgets its
    // list blocks too.
    int64_t* e = store(a.locations.size() + a.nrest);
    if (e == nullptr) return;
    uint32_t lead = 0;
    if (const auto it = lead_of_.find(a.lead.get()); it != lead_of_.end()) {
      lead = it->second;
    } else {
      lead = static_cast<uint32_t>(leads_.size());
      leads_.push_back(a.lead);
      lead_of_.emplace(a.lead.get(), lead);
    }
    e[kStart] = a.start;
    e[kLocq] = a.locq;
    e[kLocd] = a.locd;
    e[kAfter] = a.after;
    e[kNqual] = a.nqual;
    e[kNdata] = a.ndata;
    e[kLine] = a.line;
    std::memcpy(&e[kQualifier], a.qualifier, 8);
    e[kFlags] = (a.first_of_path ? kFirstOfPath : 0) | (a.by_record ? kByRecord : 0) | (a.expanded ? kExpanded : 0);
    e[kLead] = lead;
    e[kNlocations] = static_cast<int64_t>(a.locations.size());
    e[kNrest] = static_cast<int64_t>(a.nrest);
    int64_t* w = e + kHeader + key_words();
    std::copy(a.locations.begin(), a.locations.end(), w);
    std::copy_n(a.rest, a.nrest, w + a.locations.size());
  }
  // Keeps "no data set" for the request of the last find().
  void keep_missing() {
    if (int64_t* e = store(0)) e[kFlags] = kMissing;
  }

  // Lays the answer out at the list's base, as the lookup that kept it
  // laid it out, and remembers it as that lookup did; for a missing data
  // set leaves the empty answer. False, with nothing written, when it does
  // not fit.
  bool give(int64_t* e, std::span<const std::string_view> path, DatasetAnswer& a) {
    if (e[kFlags] & kMissing) return true;
    const std::vector<int64_t>& lead = *leads_[static_cast<size_t>(e[kLead])];
    const int64_t start = locs(l::kFreePointer);
    if (start < 1 || e[kAfter] - e[kStart] > kWorkWords + 1 - start || (start - e[kStart]) % words_per_real() != 0)
      return false;
    const int64_t* locations = e + kHeader + key_words(e);
    int64_t* rest = e + kHeader + key_words(e) + e[kNlocations];
    const size_t nrest = static_cast<size_t>(e[kNrest]);
    // Laid out elsewhere than last time: the entry moves with it, its
    // long-text locations too.
    if (const int64_t delta = start - e[kStart]; delta != 0) {
      for (int64_t i = 0; i < e[kNlocations]; ++i) rest[locations[i]] += delta;
      for (size_t k : {kStart, kLocq, kLocd, kAfter}) e[k] += delta;
    }
    const int64_t nlead = static_cast<int64_t>(lead.size());
    std::copy(lead.begin(), lead.end(), work_ptr(start));
    std::copy_n(rest, nrest, work_ptr(start + nlead));
    a.nqual = e[kNqual];
    a.ndata = e[kNdata];
    a.locq = e[kLocq];
    a.locd = e[kLocd];
    std::memcpy(a.qualifier, &e[kQualifier], 8);
    a.qualifier_changed = true;
    const int64_t line = e[kLine];
    // The scanner is left at the data set's line, with the unit, mode and
    // comma variant a read sets.
    position_scanner_at_line(line);
    locs(l::kFreePointer) = e[kAfter];
    write_retn(path, a.qualifier_view(), a, e[kAfter]);
    g_remembered.valid = true;
    g_remembered.line = line;
    g_remembered.first_of_path = (e[kFlags] & kFirstOfPath) != 0;
    g_remembered.by_record = (e[kFlags] & kByRecord) != 0;
    g_remembered.head = (e[kFlags] & kExpanded) != 0 ? nullptr : leads_[static_cast<size_t>(e[kLead])];
    g_remembered.borrow(rest, nrest);
    g_last_tree_line = line;
    return true;
  }

 private:
  // An entry's words: this header, its key (packed into words), the
  // indexes of its long-text locations, then its words after the list's
  // block.
  enum : size_t {
    kHash, kKeyBytes, kStart, kLocq, kLocd, kAfter, kNqual, kNdata, kLine, kQualifier, kFlags, kLead,
    kNlocations, kNrest, kHeader
  };
  static constexpr int64_t kFirstOfPath = 1, kByRecord = 2, kExpanded = 4, kMissing = 8;
  struct Slot {
    uint64_t hash = 0;
    size_t at = 0;  // 1 + the entry's first word in the arena; 0 free
  };
  struct Stamp {
    LoadStamp load;
    uint64_t table = 0;
    int64_t words_per_real = 0;
    uint64_t missing = 0;  // the bits of the missing value a "*" reads as
    bool operator==(const Stamp&) const = default;
  };

  // A multiplicative hash of the key's words: a key is a few dozen bytes,
  // which a general byte hash takes longer over than the search it serves.
  static uint64_t key_hash(std::string_view key) {
    uint64_t h = key.size();
    size_t i = 0;
    for (uint64_t w; i + 8 <= key.size(); i += 8) {
      std::memcpy(&w, key.data() + i, 8);
      h = (h ^ w) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, key.data() + i, key.size() - i);
    h = (h ^ tail) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
  }

  bool is_request(const int64_t* e) const {
    return static_cast<uint64_t>(e[kHash]) == hash_ && static_cast<size_t>(e[kKeyBytes]) == key_.size() &&
           std::memcmp(e + kHeader, key_.data(), key_.size()) == 0;
  }
  // The entry at `at`, the one after it to be tried first next time.
  int64_t* found(size_t at) {
    int64_t* e = arena_.data() + at;
    next_ = at + kHeader + key_words(e) + static_cast<size_t>(e[kNlocations] + e[kNrest]);
    return e;
  }

  size_t key_words() const { return (key_.size() + 7) / 8; }
  static size_t key_words(const int64_t* e) { return (static_cast<size_t>(e[kKeyBytes]) + 7) / 8; }

  // Room for an entry of the request's key and `words` more words, placed
  // in the slots; null when one entry would exceed the bound alone.
  int64_t* store(size_t words) {
    const size_t need = kHeader + key_words() + words;
    if (need > most_words_) return nullptr;
    if (arena_.size() + need > most_words_ || count_ + 1 > kept_entries_bound(4096)) start_over();
    if (2 * (count_ + 1) > slots_.size()) grow();
    const size_t at = arena_.size();
    arena_.resize(at + need);  // inside the reserved words: nothing moves
    int64_t* e = arena_.data() + at;
    e[kHash] = static_cast<int64_t>(hash_);
    e[kKeyBytes] = static_cast<int64_t>(key_.size());
    std::memcpy(e + kHeader, key_.data(), key_.size());
    const size_t mask = slots_.size() - 1;
    size_t i = hash_ & mask;
    while (slots_[i].at != 0) i = (i + 1) & mask;
    slots_[i] = Slot{hash_, at + 1};
    ++count_;
    next_ = arena_.size();
    return e;
  }

  void start_over() {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    count_ = 0;
    next_ = 0;
    arena_.clear();
    leads_.clear();
    lead_of_.clear();
    ++g_answer_generation;
  }

  // Twice the slots (at least 4096), the entries placed again: the table
  // is never more than half full.
  void grow() {
    std::vector<Slot> old(std::max<size_t>(4096, 2 * slots_.size()));
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.at == 0) continue;
      size_t i = s.hash & mask;
      while (slots_[i].at != 0) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }

  Stamp stamp_;
  size_t most_words_ = kLeastWords;
  std::vector<Slot> slots_;  // a power of two long
  size_t count_ = 0;         // entries in the slots
  size_t next_ = 0;          // the entry to try first (arena_.size(): none)
  std::vector<int64_t> arena_;
  // The list blocks the entries start with, each once.
  std::vector<std::shared_ptr<const std::vector<int64_t>>> leads_;
  std::unordered_map<const std::vector<int64_t>*, uint32_t> lead_of_;
  std::string key_;  // the last request (reused, not reallocated)
  uint64_t hash_ = 0;
};
AnswerMemory g_answers;

// The remembered answer, when it is for this path and qualifier and its
// words are still as they were.
// line is that of the record asked for, 0 for a choice by qualifier.
bool remembered_answer(std::span<const std::string_view> path, std::string_view qual8, DatasetAnswer& a,
                       int64_t line = 0) {
  const int64_t nid = tkretn_.iret[0];
  if (nid != static_cast<int64_t>(path.size()) || !g_remembered.valid) return false;
  if (line == 0 ? g_remembered.by_record : g_remembered.line != line) return false;
  // From the last keyword back: paths of one pass differ mostly in their
  // last keywords (sections, items), so a different path is told early.
  for (size_t i = path.size(); i-- > 0;)
    if (!padded_equal(retn_text(i), keyword(path[i]))) return false;
  const std::string remembered_qual = padded(retn_text(path.size()), 8);
  if (TextField::trim_right(qual8).empty() ? !g_remembered.first_of_path : remembered_qual != qual8) return false;
  const int64_t nq = tkretn_.iret[3], nd = tkretn_.iret[4], locq = tkretn_.iret[5],
                locd = tkretn_.iret[6], after = tkretn_.iret[9];
  if (nq < 0 || nd < 0 || locq < 1 || locd < locq || after <= locq || after > kWorkWords + 1) return false;
  if (!g_remembered.intact(locq, after - locq)) return false;
  a.nqual = nq;
  a.ndata = nd;
  a.locq = locq;
  a.locd = locd;
  std::copy_n(remembered_qual.data(), 8, a.qualifier);
  a.qualifier_changed = true;
  return true;
}

// The one-value data set of a "COMPSTAT" path: qualifier "COMPSTAT", one
// integer read from the line of the data set last chosen in the tree.
DatasetAnswer completion_status(std::span<const std::string_view> path, std::string_view qual8) {
  DatasetAnswer a;
  std::copy_n(qual8.data(), 8, a.qualifier);
  const int64_t f = locs(l::kFreePointer);
  if (f < 1 || f > kWorkWords - 7) return a;
  blank_words(work_ptr(f), 4);
  pack_text("COMPSTAT", 8, work_ptr(f));
  pack_text("COMPSTAT", 8, work_ptr(f + 4));
  work(f + 6) = value_type::kInteger;
  work(f + 7) = 0;
  a.nqual = 1;
  a.ndata = 1;
  a.locq = f;
  locs(l::kFreePointer) = f + 8;
  g_remembered.first_of_path = true;
  g_remembered.by_record = false;
  if (!read_values(path, qual8, g_last_tree_line, false, a)) return DatasetAnswer{};
  return a;
}

// The open-ended case: the count is the first token after "(" of the data
// set; the template of one qualifier is repeated for every value.
bool expand_template(size_t nid, int64_t line, const ListAnswer& list, DatasetAnswer& a) {
  position_scanner_at_line(line);
  scan::Token tok;
  for (size_t i = 0; i < nid + 4; ++i) scan::next(tok);
  const int64_t nd = tok.type == scan::kInteger && tok.ival > 0 ? tok.ival : 0;
  const int64_t tmpl = list.locq;
  const int64_t at = locs(l::kFreePointer);
  const int64_t room = kWorkWords + 1 - at;  // words from at to the end
  if (!in_work(tmpl, 8) || at < 1 || room < 4 || nd > (room - 4) / 4) return false;
  const int64_t size = 4 + 4 * nd;
  std::copy_n(work_ptr(tmpl), 4, work_ptr(at));
  for (int64_t j = 0; j < nd; ++j) {
    work(at + 4 + 2 * j) = work(tmpl + 4);
    work(at + 4 + 2 * j + 1) = work(tmpl + 5);
  }
  std::fill_n(work_ptr(at + 4 + 2 * nd), nd, work(tmpl + 6));
  std::fill_n(work_ptr(at + 4 + 3 * nd), nd, work(tmpl + 7));
  locs(l::kFreePointer) = at + size;
  a.nqual = 1;
  a.ndata = nd;
  a.locq = at;
  return true;
}

// The data set of the chosen record: its qualifier block from its loading
// sequence, its values from its line. none (the empty answer) when it
// cannot be read.
DatasetAnswer read_record(std::span<const std::string_view> path, const DataRecord& chosen,
                          const DatasetAnswer& none) {
  DatasetAnswer found;
  std::copy_n(chosen.value, 8, found.qualifier);
  found.qualifier_changed = true;
  const std::string_view found_qual(chosen.value, 8);
  const ListAnswer list = evaluate_list_remembered(found_qual);
  found.nqual = list.nqual;
  found.ndata = list.ndata;
  found.locq = list.locq;
  bool positioned = false;
  if (list.ndata == -1) {
    if (!expand_template(path.size(), chosen.idata, list, found)) return none;
    positioned = true;
  }
  if (found.ndata < 0) found.ndata = 0;
  // The qualifier block kept by list evaluation is the start of the
  // answer's words unless a template was expanded after it.
  bool complete = false;
  if (!read_values(path, found_qual, chosen.idata, positioned, found, positioned ? nullptr : list.kept, &complete))
    return none;
  if (complete && g_remembered.valid && list.kept && chosen.idata >= 1 && found.ndata <= AnswerMemory::kMaxValues) {
    AnswerMemory::Fresh kept;
    kept.start = list.locq;
    kept.locq = found.locq;
    kept.locd = found.locd;
    kept.after = tkretn_.iret[9];
    kept.nqual = found.nqual;
    kept.ndata = found.ndata;
    kept.line = chosen.idata;
    kept.qualifier = chosen.value;
    kept.first_of_path = g_remembered.first_of_path;
    kept.by_record = g_remembered.by_record;
    kept.expanded = positioned;
    kept.lead = list.kept;
    kept.rest = g_remembered.rest;
    kept.nrest = g_remembered.nrest;
    // The rest starts where the list's block ends, in both layouts.
    const int64_t rest_at = list.locq + static_cast<int64_t>(list.kept->size());
    const bool connection = is_connection_path(path);
    for (int64_t j = 0; j < found.ndata; ++j)
      if (AnswerMemory::holds_long_text(found.type(j + 1), connection))
        kept.locations.push_back(found.locd + found.ndata + 2 * j + 1 - rest_at);
    g_answers.keep(kept);
  }
  return found;
}

}  // namespace

bool is_completion_status_path(std::span<const std::string_view> path) {
  return !path.empty() && padded_equal(keyword(path.front()), "BLOCK") &&
         padded_equal(keyword(path.back()), "COMPSTAT");
}

bool choose_loaded_sibling(int64_t p, std::string_view last, std::string_view qual8, DataRecord& chosen) {
  Tree tree;
  return loaded_tree(tree) && choose_node(tree, p, keyword(last), padded(qual8, 8), chosen);
}

DatasetAnswer lookup_dataset(std::span<const std::string_view> whole_path, std::string_view qualifier) {
  const std::string qual8 = padded(qualifier, 8);
  DatasetAnswer a;
  std::copy_n(qual8.data(), 8, a.qualifier);
  CutPath cut;
  if (!cut_path(whole_path, cut)) return a;
  const std::span<const std::string_view> path(cut.data(), whole_path.size());
  // The free-word pointer goes back to its value on entry on every return.
  FreePointerGuard restore;

  const std::string_view last = path.back();
  if (is_unread_stream_path(path)) return a;
  if (is_completion_status_path(path)) return completion_status(path, qual8);
  if (remembered_answer(path, qual8, a)) return a;

  tkretn_.iret[0] = 0;
  g_remembered.valid = false;
  if (int64_t* kept = g_answers.find(path, qual8, 0); kept && g_answers.give(kept, path, a)) return a;
  Tree tree;
  if (!loaded_tree(tree)) return a;
  // The loaded tree's search keeps the paths it found for the load. A path
  // it keeps as missing, or one without the sibling asked for, is kept as
  // missing here too: readers of optional sections ask for them every pass.
  int64_t ipos = 0;
  bool kept = false;
  if (TreeNodes::loaded().find(path, ipos, nullptr, &kept) != 0) {
    if (kept) g_answers.keep_missing();
    return a;
  }
  DataRecord chosen;
  if (!choose_node(tree, ipos, last, qual8, chosen)) {
    g_answers.keep_missing();
    return a;
  }
  g_last_tree_line = chosen.idata;
  // A data set chosen by its qualifier is also what a blank qualifier finds
  // when no earlier sibling of the path matches.
  DataRecord first_sibling;
  g_remembered.first_of_path = TextField::trim_right(qual8).empty() ||
                               (choose_node(tree, ipos, last, std::string_view("        ", 8), first_sibling) &&
                                first_sibling.idata == chosen.idata);

  g_remembered.by_record = false;
  return read_record(path, chosen, a);
}

DatasetAnswer lookup_dataset_record(std::span<const std::string_view> whole_path, const DataRecord& record) {
  const std::string_view qual8(record.value, 8);
  DatasetAnswer a;
  std::copy_n(record.value, 8, a.qualifier);
  CutPath cut;
  if (record.idata < 1 || !cut_path(whole_path, cut)) return a;
  const std::span<const std::string_view> path(cut.data(), whole_path.size());
  // Paths answered by a data set of their own are not read by record.
  if (is_unread_stream_path(path) || is_completion_status_path(path)) return lookup_dataset(whole_path, qual8);
  FreePointerGuard restore;
  if (remembered_answer(path, qual8, a, record.idata)) return a;
  tkretn_.iret[0] = 0;
  g_remembered.valid = false;
  if (int64_t* kept = g_answers.find(path, qual8, record.idata); kept && g_answers.give(kept, path, a)) return a;
  g_remembered.first_of_path = false;
  g_remembered.by_record = true;
  g_last_tree_line = record.idata;
  return read_record(path, record, a);
}

std::shared_ptr<const std::vector<int64_t>> answer_qualifier_block() {
  return g_remembered.valid ? g_remembered.head : nullptr;
}

}  // namespace flowsum

extern "C" {

void tkdset_(int64_t* nid, const char* ids, const char* qual, int64_t* nqual, int64_t* ndata, int64_t* locq,
             int64_t* locd, size_t ids_len, size_t qual_len) {
  using namespace flowsum;
  *nqual = 0;
  *ndata = 0;
  if (*nid < 1 || *nid > kMaxPathKeywords) return;
  std::array<std::string_view, kMaxPathKeywords> path;
  for (int64_t i = 0; i < *nid; ++i) path[static_cast<size_t>(i)] = text_element(ids, ids_len, static_cast<size_t>(i)).view();
  TextField q(qual, qual_len);
  const DatasetAnswer a = lookup_dataset(std::span(path.data(), static_cast<size_t>(*nid)), q.view().substr(0, std::min<size_t>(8, q.len)));
  *nqual = a.nqual;
  *ndata = a.ndata;
  *locq = a.locq;
  *locd = a.locd;
  if (a.qualifier_changed) q.assign(a.qualifier_view());
}

}  // extern "C"
