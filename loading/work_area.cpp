// Machine constants, the region allocator of the work area and the table
// sort the loader uses to prepare its tables for binary search.
#include "loading/work_area.hpp"

#include <algorithm>
#include <cstring>

#include "flowsum.h"
#include "loading/globals.hpp"

namespace flowsum {

void set_machine_constants() {
  glob(g::kCharByte) = 1;
  glob(g::kCharsPerWord) = 4;
  glob(g::kWordsPerReal) = 1;
  glob(g::kWords4) = 1;
  glob(g::kWords8) = 2;
  glob(g::kWords12) = 3;
  glob(g::kWords16) = 4;
}

namespace {

// Additions that stop at INT64_MAX: demands come from the caller and the
// sums are only compared against limit.
int64_t sat_add(int64_t a, int64_t b) {
  if (b > 0 && a > INT64_MAX - b) return INT64_MAX;
  return a + b;
}

// d rounded up to a whole number of g-word units (g >= 1, d >= 0).
int64_t round_up(int64_t d, int64_t g) {
  const int64_t units = d / g + (d % g != 0 ? 1 : 0);
  return units > INT64_MAX / g ? INT64_MAX : units * g;
}

// Move count words from word `from` to word `to` of the work area (1-based);
// the two blocks may overlap.
void move_words(int64_t* work, int64_t to, int64_t from, int64_t count) {
  if (count > 0 && to != from)
    std::memmove(work + (to - 1), work + (from - 1),
                 static_cast<size_t>(count) * sizeof(int64_t));
}

}  // namespace

int64_t lay_out_regions(int64_t limit, int64_t* work, int64_t mode,
                        int64_t nreg, int64_t* regions) {
  if (nreg < 1 || regions == nullptr) return 1;
  const int64_t invalid = sat_add(limit, 1);
  auto base = [&](int64_t k) -> int64_t& { return regions[3 * (k - 1)]; };
  auto demand = [&](int64_t k) { return regions[3 * (k - 1) + 1]; };
  auto capacity = [&](int64_t k) -> int64_t& { return regions[3 * (k - 1) + 2]; };
  // Words of region k that hold data and are carried along.
  auto carried = [&](int64_t k) { return std::min(demand(k), capacity(k)); };

  const int64_t g = std::max<int64_t>(glob(g::kWordsPerReal), 1);
  const int64_t first = base(1);
  // (limit + 1 must be a number: no array has INT64_MAX words.)
  if (work == nullptr || limit < 1 || limit == INT64_MAX || first < 1 || first > limit)
    return invalid;

  // Every region must describe words inside work(1..limit), or the moves
  // below would read or write outside the work area.
  int64_t total_demand = 0, rounded = first;
  for (int64_t k = 1; k <= nreg; ++k) {
    if (demand(k) < 0 || capacity(k) < 0) return invalid;
    const int64_t m = carried(k);
    if (m > 0 && (base(k) < 1 || base(k) > limit || m > limit - base(k) + 1))
      return invalid;
    total_demand = sat_add(total_demand, demand(k));
    rounded = sat_add(rounded, round_up(demand(k), g));
  }

  // Fit test: the rounded demands laid end to end from the first base.
  if (rounded > invalid) return rounded;

  // Free words beyond the demands, one word per region held back so that
  // rounding of the shares cannot push the last region past limit.
  int64_t free_words = limit - first + 1 - nreg - total_demand;
  if (free_words < 0) free_words = 0;

  // Move every region to the top of the work area, the last region first,
  // so that the regions below can be spread out without overwriting them.
  int64_t top = limit + 1;
  for (int64_t k = nreg; k >= 1; --k) {
    const int64_t m = carried(k);
    top -= m;
    move_words(work, top, base(k), m);
    base(k) = top;
  }

  // Shares of the free space: one third evenly over the regions, two thirds
  // in proportion to the demands. The factor is a single-precision number,
  // which fixes the capacities word for word. With no demand at all there is
  // nothing to be proportional to and only the even share is given.
  int64_t share = 0;
  float factor = 1.0f;
  if (mode != 1) {
    share = (free_words / 3) / nreg;
    // (2F) / 3 in integer arithmetic, written so that 2F cannot overflow.
    const int64_t two_thirds = free_words / 3 * 2 + (free_words % 3) * 2 / 3;
    if (total_demand > 0)
      factor = 1.0f + static_cast<float>(two_thirds) / static_cast<float>(total_demand);
  }

  // Move the regions down again, each to its new base, and give them their
  // new capacities.
  int64_t reserved = rounded - first;  // rounded demands of regions k..nreg
  int64_t p = first;
  for (int64_t k = 1; k <= nreg; ++k) {
    const int64_t r = round_up(demand(k), g);
    reserved -= r;
    // Mode 1 gives exactly the rounded demand; otherwise the demand times
    // the factor plus the even share, in whole units, and never less than
    // the rounded demand.
    int64_t cap = r;
    if (mode != 1) {
      const double units = (static_cast<double>(demand(k)) * static_cast<double>(factor) +
                            static_cast<double>(share) - 1.0 + static_cast<double>(g)) /
                           static_cast<double>(g);
      if (units < 9.0e18) cap = std::max(r, g * static_cast<int64_t>(units));
    }
    // Never hand out words that the regions after this one need, whatever
    // the rounding of the shares did.
    const int64_t room = (limit + 1 - p - reserved) / g * g;
    cap = std::min(cap, room);
    const int64_t m = carried(k);
    move_words(work, p, base(k), m);
    base(k) = p;
    capacity(k) = cap;
    p += cap;
  }
  return p;
}

namespace {

class TableSorter {
 public:
  TableSorter(int64_t stride, int64_t* table, int64_t kstart, int64_t nkey,
              int64_t* scratch)
      : stride_(stride), table_(table), kstart_(kstart), nkey_(nkey), scratch_(scratch) {}

  void sort(int64_t n) {
    // Ranges still to sort; the larger half of every split waits here while
    // the smaller is sorted, so the stack is never deeper than log2 of the
    // table's size divided by the insertion threshold.
    constexpr int kStack = 40;
    int64_t stack_lo[kStack], stack_hi[kStack];
    int depth = 0;
    int64_t lo = 1, hi = n;
    for (;;) {
      // A full stack would need more than 12 * 2^40 entries; should it ever
      // fill, the range is finished by insertion, slowly but correctly.
      if (hi - lo < kInsertionRange || depth == kStack) {
        insertion_sort(lo, hi);
        if (depth == 0) return;
        --depth;
        lo = stack_lo[depth];
        hi = stack_hi[depth];
        continue;
      }
      // Split around the middle entry: i moves up past smaller keys, j down
      // past larger ones, and the entries where they stop are exchanged.
      std::memcpy(scratch_, entry(lo + (hi - lo) / 2), bytes());
      int64_t i = lo, j = hi;
      do {
        while (compare(entry(i), scratch_) < 0) ++i;
        while (compare(entry(j), scratch_) > 0) --j;
        if (i <= j) {
          swap_entries(i, j);
          ++i;
          --j;
        }
      } while (i <= j);
      // [lo, j] and [i, hi] remain; push the larger, go on with the smaller.
      if (j - lo > hi - i) {
        stack_lo[depth] = lo;
        stack_hi[depth] = j;
        lo = i;
      } else {
        stack_lo[depth] = i;
        stack_hi[depth] = hi;
        hi = j;
      }
      ++depth;
    }
  }

 private:
  static constexpr int64_t kInsertionRange = 11;

  size_t bytes() const { return static_cast<size_t>(stride_) * sizeof(int64_t); }
  int64_t* entry(int64_t e) const { return table_ + (e - 1) * stride_; }

  int compare(const int64_t* a, const int64_t* b) const {
    for (int64_t w = kstart_ - 1; w < kstart_ - 1 + nkey_; ++w) {
      if (a[w] < b[w]) return -1;
      if (a[w] > b[w]) return 1;
    }
    return 0;
  }

  void swap_entries(int64_t a, int64_t b) {
    if (a == b) return;
    int64_t* x = entry(a);
    int64_t* y = entry(b);
    for (int64_t w = 0; w < stride_; ++w) std::swap(x[w], y[w]);
  }

  void insertion_sort(int64_t lo, int64_t hi) {
    for (int64_t i = lo + 1; i <= hi; ++i) {
      if (compare(entry(i - 1), entry(i)) <= 0) continue;
      std::memcpy(scratch_, entry(i), bytes());
      int64_t j = i - 1;
      while (j >= lo && compare(entry(j), scratch_) > 0) {
        std::memcpy(entry(j + 1), entry(j), bytes());
        --j;
      }
      std::memcpy(entry(j + 1), scratch_, bytes());
    }
  }

  int64_t stride_;
  int64_t* table_;
  int64_t kstart_;
  int64_t nkey_;
  int64_t* scratch_;
};

}  // namespace

void sort_table(int64_t stride, int64_t n, int64_t* table, int64_t kstart,
                int64_t nkey, int64_t* scratch) {
  if (n <= 1 || table == nullptr || scratch == nullptr) return;
  // A key that is empty or reaches outside the entry orders nothing (and
  // would read past the last entry): the table is left as it is.
  if (stride < 1 || nkey < 1 || kstart < 1 || kstart > stride ||
      nkey > stride - kstart + 1)
    return;
  TableSorter(stride, table, kstart, nkey, scratch).sort(n);
}

}  // namespace flowsum

extern "C" {

void tknsys_(void) { flowsum::set_machine_constants(); }

void tkmemo_(int64_t* limit, int64_t* work, int64_t* mode, int64_t* nreg,
             int64_t* regions, int64_t* need) {
  *need = flowsum::lay_out_regions(*limit, work, *mode, *nreg, regions);
}

void tksort_(int64_t* stride, int64_t* n, int64_t* table, int64_t* kstart,
             int64_t* nkey, int64_t* work) {
  flowsum::sort_table(*stride, *n, table, *kstart, *nkey, work);
}

}  // extern "C"
