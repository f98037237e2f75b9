// List evaluation (TKLIST and its family): the identifier sets of a loading
// sequence read from their definitions,
//   IDSET name ( qualifier names ) ( members )
// and combined, as the sequence's operations say, into the qualifier block
// that the data-set lookup hands out (layout in store/dataset_lookup.hpp).
//
// A member is one item per qualifier; an item is a value token followed by at
// most two annotations: "*n" (the member's value type) and "<n>" (its unit
// type). "#n" as a member's first item stands for n members numbered 1..n;
// "?" makes the set open-ended (its count comes with each data set).
// Values of the qualifiers "PROPERTIES" and "NPOINT" are integers (second
// word of the pair 0), all others 8 characters packed in 2 words.
//
// Blocks. The evaluation works on blocks of values laid out as the middle
// part of a qualifier block: for NVAL values of NCOL qualifier columns,
//   2*NCOL*NVAL words of qualifier pairs (value-major), then NVAL types,
//   then NVAL unit types,
// so a block takes (2*NCOL + 2)*NVAL words. A pair of two blank words is an
// empty column.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>
#include <string_view>

namespace flowsum {

struct SetDimensions {
  int64_t nq = 0;    // qualifiers
  int64_t nmem = 0;  // members; -1 for an open-ended set
};

// TKIDIM: dimensions of the identifier set name (8 characters significant);
// both 0 when the set is not in the directory or its definition does not
// start as expected where the directory says.
SetDimensions idset_dimensions(std::string_view name);

// TKISET: load the set into the caller's arrays, sized for nq qualifiers and
// nmem members: qnames 4*nq words, qvals 2*nq*nmem words (member-major),
// types and units nmem words each. Everything is cleared first (names and
// pairs blank, types and unit types 0); qualifiers and members beyond nq and
// nmem are read and not stored. nq or nmem below 1 stores that part not.
void load_idset(std::string_view name, int64_t nq, int64_t nmem, int64_t* qnames, int64_t* qvals,
                int64_t* types, int64_t* units);

// What the counting readers take from a set's definition, as
// idset_dimensions and load_idset(name, 1, 1, ...) give it: the dimensions,
// the first qualifier's name (4 packed words) and the first member's first
// pair. Kept per set for the rest of the load, since the profile-shape
// routines ask for the same sets on every call.
struct IdsetHead {
  SetDimensions dims;
  int64_t qname[4] = {0, 0, 0, 0};
  int64_t qval[2] = {0, 0};
};
const IdsetHead& idset_head(std::string_view name);

// TKIVEC: the 8-word template of an open-ended set: words 1-4 the first
// qualifier's name, 5-6 the first 8 characters of the first token of the
// member list, 7 and 8 zero. Blanks and zeros when the set is not found.
void idset_template(std::string_view name, int64_t* tmpl);

struct ValueCount {
  int64_t ndata = 0;
  int64_t width = 0;
};

// TKLOOP: the number of values and the qualifier width of an operation list.
// dims holds nq and nmem of set k in words 2k-1 and 2k. The counters of the
// open levels take 2 work words per level from work word `free` on; when
// they would not fit in the work area the answer is 0 and 0. A group (codes
// 6 and 7) is counted like a loop over its head set, so a group whose head
// has one member adds no factor.
ValueCount count_values(int64_t nops, const int64_t* ops, int64_t nids, const int64_t* dims,
                        int64_t free);

// TKCPWA: copy the block at locb (nval values of nold columns) to locn in a
// layout of nnew columns; old column i goes to column cols[i-1] (1..nnew; any
// other number drops it), the other columns are empty; types and unit types
// are copied. When two old columns meet in one new column the later one wins
// unless it is empty. False, with nothing written, for counts below 0 or
// blocks that do not lie inside the work area or overlap.
bool widen_block(int64_t locb, int64_t locn, int64_t nnew, int64_t nold, int64_t nval,
                 const int64_t* cols);

// TKICRS: cross block X (nx values) with block Y (ny values), both of ncol
// columns, into a block of nx*ny values at locn: value (x-1)*ny + y combines
// value x of X with value y of Y (Y varies fastest); its pairs are Y's with
// X's non-empty pairs over them; its type and unit type are X's where not 0,
// else Y's. For a loop X is the loop's set and Y the enclosed block; for a
// group X is the block that follows the head and Y the head set. False,
// with nothing written, under the conditions of widen_block.
bool cross_blocks(int64_t locx, int64_t nx, int64_t locy, int64_t ny, int64_t ncol, int64_t locn);

struct ListAnswer {
  int64_t ndata = 0;  // values; -1: open-ended, the count comes with the data set
  int64_t nqual = 0;
  int64_t locq = 0;
  // The block's words as evaluate_list_remembered keeps them (none from
  // evaluate_list, or for a block it does not keep): a reader may hold them
  // to check the block in the work area later without a copy of its own.
  std::shared_ptr<const std::vector<int64_t>> kept = nullptr;
};

// TKLIST: the qualifier block of the loading sequence lsetid, built from the
// first free word after the data set the lookup remembers (TKRETN word 10),
// or from the free-word pointer when it remembers none. On return the
// free-word pointer is the first word after the block. No values (0, 0 and
// the pointer unchanged) when the sequence cannot be compiled or the block
// does not fit in the work area.
ListAnswer evaluate_list(std::string_view lsetid);

// evaluate_list for the data-set lookup, which asks for the same few
// sequences over and over (every stream's main results share one): the
// blocks of the last sequences evaluated in this load are kept and copied to
// the base instead of being evaluated again. The answer and the words of the
// block are those of evaluate_list; the words above the block, which the
// evaluation uses as scratch, are left as they are. The answer carries the
// kept words when the block is kept.
ListAnswer evaluate_list_remembered(std::string_view lsetid);

}  // namespace flowsum
