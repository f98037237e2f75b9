// Data-set lookup (TKDSET): find a data set by its path of keywords and its
// qualifier, build its qualifier block from its loading sequence, read its
// values from the scratch copy of the summary file, and remember the answer.
//
// Qualifier block at LOCQ (NQ qualifiers, ND values; work-area words):
//   LOCQ + 4(i-1) ..+3                 name of qualifier i, 16 characters
//   LOCQ + 4NQ + 2NQ(j-1) + 2(i-1), +1 value of qualifier i for value j: an
//                                      integer in the first word (second word
//                                      0), or 8 characters packed
//   LOCQ + 4NQ + 2NQ*ND + (j-1)        type of value j (1 integer, 2 real,
//                                      5 text of 8, 6 long text, 0 text)
//   LOCQ + 4NQ + 2NQ*ND + ND + (j-1)   unit type of value j (0 none)
// Value block at LOCD:
//   LOCD + (j-1)                       integer value j
//   LOCD + ND + 2(j-1), +1             text of 8 packed, or for a long text
//                                      20 and the word where its 20 packed
//                                      words (80 characters) start
//   LOCD + 3ND + (j-1)                 unit code read after real value j
//   LOCD + 4ND + (j-1)                 real value j (the word read as a real)
//
// The blocks lie above the free-word pointer (TKLOCS word 25), which the
// lookup leaves as it found it: they stay valid until something takes free
// words again. The list routines start their own work after the remembered
// data set (TKRETN word 10), so a caller may evaluate lists while it reads.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "loading/globals.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// Longest path TKDSET accepts, and the characters kept of each keyword.
inline constexpr int64_t kMaxPathKeywords = 9;
inline constexpr size_t kKeywordChars = 128;
// Words of a long text in the value block: 80 characters.
inline constexpr int64_t kLongTextWords = 20;

// Value types of the type table.
namespace value_type {
inline constexpr int64_t kText = 0, kInteger = 1, kReal = 2, kText8 = 5, kLongText = 6;
}

// One answer of the lookup. ndata 0 means nothing was found (or the data set
// is empty); the locations are then not to be read.
struct DatasetAnswer {
  int64_t nqual = 0;
  int64_t ndata = 0;
  int64_t locq = 0;
  int64_t locd = 0;
  // The qualifier found; the wanted one (cut or padded to 8) when the lookup
  // found nothing or did not choose a data set by qualifier ("COMPSTAT").
  char qualifier[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  bool qualifier_changed = false;  // TKDSET writes QUAL back only then

  bool found() const { return ndata > 0; }
  std::string_view qualifier_view() const { return {qualifier, 8}; }

  // Readers of the two blocks; i is a qualifier (1..nqual), j a value
  // (1..ndata). They read the words as the layout above gives them and do not
  // check the indexes beyond staying inside the work area (0 or blanks
  // outside it).
  std::string qualifier_name(int64_t i) const;          // 16 characters
  // The same 16 characters into out (blank-filled, cut to its length),
  // without building a string: for loops over the columns.
  void qualifier_name_into(int64_t i, TextField out) const {
    const int64_t first = locq + 4 * (i - 1);
    if (in_work(first, 4)) unpack_text(work_ptr(first), 4, out);
    else out.fill_blank();
  }
  // Column of the qualifier named name (compared over 16 characters,
  // blank-padded), or 0.
  int64_t find_qualifier(std::string_view name) const;
  // (The readers used for every value are defined in line below.)
  int64_t qualifier_int(int64_t i, int64_t j) const {  // first word of the pair
    return word_or_zero(locq + 4 * nqual + 2 * nqual * (j - 1) + 2 * (i - 1));
  }
  std::string qualifier_text(int64_t i, int64_t j) const;  // 8 characters
  // The same 8 characters into out (blank-filled, cut to its length),
  // without building a string: for loops over every value.
  void qualifier_into(int64_t i, int64_t j, TextField out) const {
    const int64_t first = locq + 4 * nqual + 2 * nqual * (j - 1) + 2 * (i - 1);
    if (in_work(first, 2)) unpack_text(work_ptr(first), 2, out);
    else out.fill_blank();
  }
  int64_t type(int64_t j) const { return word_or_zero(locq + 4 * nqual + 2 * nqual * ndata + (j - 1)); }
  int64_t unit_type(int64_t j) const {
    return word_or_zero(locq + 4 * nqual + 2 * nqual * ndata + ndata + (j - 1));
  }
  int64_t int_value(int64_t j) const { return word_or_zero(locd + (j - 1)); }
  double real_value(int64_t j) const {
    const int64_t k = locd + 4 * ndata + (j - 1);
    return in_work(k, 1) ? work_real(k) : 0.0;
  }
  int64_t unit_code(int64_t j) const { return word_or_zero(locd + 3 * ndata + (j - 1)); }
  // The text of value j: its 8 characters (type 5, or 0 read as short), or
  // for a slot that holds a word count and a location, count x 4 characters
  // from there (80 for a long text). Trailing blanks are kept.
  std::string text_value(int64_t j) const;

 private:
  static int64_t word_or_zero(int64_t k) { return in_work(k, 1) ? work(k) : 0; }
};

// Whether lookups of path answer with the one-value data set built for a
// block's "COMPSTAT" rather than with one of the tree.
bool is_completion_status_path(std::span<const std::string_view> path);

// The data record a lookup reads, from the node p of the loaded tree that
// the tree search found for a path whose last keyword is `last`: the first of
// p and its later siblings whose key agrees with `last` in its first 8
// characters and whose qualifier is qual8 (any when blank). False when none.
// Counting routines use it so that they count the data set the readers read.
bool choose_loaded_sibling(int64_t p, std::string_view last, std::string_view qual8, DataRecord& chosen);

// TKDSET over C++ types. path holds 1 to 9 keywords (compared blank-padded);
// qualifier is the wanted qualifier, blank (or empty) for any.
DatasetAnswer lookup_dataset(std::span<const std::string_view> path,
                             std::string_view qualifier = {});

// The data set of one record of the loaded tree (a node's line and
// qualifier, from node_record) under path. Siblings of one path may share a
// loading sequence, so their qualifier alone finds only the first of them:
// a reader that goes through every sibling reads each by its record.
DatasetAnswer lookup_dataset_record(std::span<const std::string_view> path, const DataRecord& record);

// The qualifier block of the answer the last lookup gave, as list
// evaluation keeps it for the load: one object for every data set of one
// loading sequence, so a reader that derives something from the qualifier
// block alone may derive it once per object. Null when no answer is
// remembered or its block was built for it alone (a template).
std::shared_ptr<const std::vector<int64_t>> answer_qualifier_block();

// Saves the free-word pointer and puts it back when it goes out of scope:
// the discipline every query routine keeps around its lookups.
class FreePointerGuard {
 public:
  FreePointerGuard() : saved_(locs(l::kFreePointer)) {}
  ~FreePointerGuard() { locs(l::kFreePointer) = saved_; }
  FreePointerGuard(const FreePointerGuard&) = delete;
  FreePointerGuard& operator=(const FreePointerGuard&) = delete;
  int64_t saved() const { return saved_; }

 private:
  int64_t saved_;
};

}  // namespace flowsum
