// The region allocator (TKMEMO) and the table sort (TKSORT).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"

namespace {

using flowsum::glob;
using Words = std::vector<int64_t>;

class WorkArea : public ::testing::Test {
 protected:
  void SetUp() override { tknsys_(); }
  void TearDown() override { tknsys_(); }
};

// A work area of exactly `limit` words on the heap (a word moved outside it
// shows up in the sanitizer build) and NREG regions of base, demand, capacity.
struct Layout {
  Layout(int64_t limit, int nreg)
      : limit(limit), area(std::make_unique<int64_t[]>(static_cast<size_t>(limit))),
        regions(static_cast<size_t>(3 * nreg), 0) {
    std::fill_n(area.get(), limit, -1);
  }
  int64_t& w(int64_t k) { return area[static_cast<size_t>(k - 1)]; }
  int64_t& base(int k) { return regions[static_cast<size_t>(3 * k - 3)]; }
  int64_t& demand(int k) { return regions[static_cast<size_t>(3 * k - 2)]; }
  int64_t& cap(int k) { return regions[static_cast<size_t>(3 * k - 1)]; }
  // Region k placed at b with demand d and capacity c, its first `filled` words written.
  void set(int k, int64_t b, int64_t d, int64_t c, int64_t filled = 0) {
    base(k) = b, demand(k) = d, cap(k) = c;
    fill(k, 0, filled);
  }
  int64_t memo(int64_t mode) {
    int64_t lim = limit, n = static_cast<int64_t>(regions.size() / 3), need = -7;
    tkmemo_(&lim, area.get(), &mode, &n, regions.data(), &need);
    return need;
  }
  // Region k's word i holds k * 1 000 000 + i.
  void fill(int k, int64_t from, int64_t to) {
    for (int64_t i = from; i < to; ++i) w(base(k) + i) = k * 1000000 + i;
  }
  void expect_filled(int k, int64_t count) {
    for (int64_t i = 0; i < count; ++i)
      ASSERT_EQ(w(base(k) + i), k * 1000000 + i) << "region " << k << " word " << i;
  }
  Words words() const { return {area.get(), area.get() + limit}; }

  int64_t limit;
  std::unique_ptr<int64_t[]> area;
  Words regions;
};

TEST_F(WorkArea, LoaderFirstLayoutComesOutWordForWord) {
  Layout l(2000000, 4);
  for (int k = 1; k <= 4; ++k) l.set(k, 1 + 4 * (k - 1), k == 4 ? 40 : 4, 4, 4);
  EXPECT_EQ(l.memo(2), 1999996);
  EXPECT_EQ(l.regions,
            (Words{1, 4, 269227, 269228, 4, 269227, 538455, 4, 269227, 807682, 40, 1192314}));
  for (int k = 1; k <= 4; ++k) l.expect_filled(k, 4);
}

TEST_F(WorkArea, ModeOnePacksAndANoFitChangesNothing) {
  Layout l(1000, 4);
  const int64_t used[] = {7, 0, 3, 25};
  for (int k = 1; k <= 4; ++k) l.set(k, 1 + 200 * (k - 1), used[k - 1], 200, used[k - 1]);
  EXPECT_EQ(l.memo(1), 1 + 7 + 0 + 3 + 25);
  EXPECT_EQ(l.regions, (Words{1, 7, 7, 8, 0, 0, 8, 3, 3, 11, 25, 25}));
  for (int k = 1; k <= 4; ++k) l.expect_filled(k, used[k - 1]);

  // One word more than the area holds: NEED says so and nothing moves.
  l.demand(4) = 1000 - 10 + 1;
  const Words regions = l.regions, words = l.words();
  EXPECT_EQ(l.memo(2), 1 + 10 + 991);
  EXPECT_EQ(l.regions, regions);
  EXPECT_EQ(l.words(), words);
  l.demand(4) = 990;  // exactly filling the area fits
  EXPECT_LE(l.memo(2), 1001);
  l.expect_filled(4, 25);
}

TEST_F(WorkArea, OddArgumentsMoveNothingOutsideTheArea) {
  Layout l(500, 2);
  l.set(1, 1, 10, 10);
  l.set(2, 11, 10, 10);
  const Words good = l.regions, words = l.words();
  auto rejected = [&](size_t slot, int64_t value) {
    l.regions = good;
    l.regions[slot] = value;
    const Words before = l.regions;
    EXPECT_GT(l.memo(2), 500) << "slot " << slot << " = " << value;
    EXPECT_EQ(l.regions, before);
    EXPECT_EQ(l.words(), words);
  };
  rejected(0, 0);                                    // base before word 1
  rejected(4, -5);                                   // negative demand
  rejected(2, -1);                                   // negative capacity
  rejected(3, 495);                                  // data past word 500
  rejected(1, std::numeric_limits<int64_t>::max());  // demand beyond any sum

  // No demand at all: only the even share of the free words.
  Layout z(1000, 4);
  for (int k = 1; k <= 4; ++k) z.base(k) = 1;
  EXPECT_EQ(z.memo(2), 1 + 4 * 83);  // F = 996, a third of it over 4 regions
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(z.cap(k), 83);
}

// The loader's use: a region grows by raising its demand, laying out, and
// putting the demand back. Every word written must survive every layout.
void grow_and_check(int64_t limit, uint64_t seed) {
  std::mt19937_64 rng(seed);
  const int64_t g = glob(flowsum::g::kWordsPerReal);
  Layout l(limit, 4);
  for (int k = 1; k <= 4; ++k) l.set(k, 1 + 4 * (k - 1), 4, 4);
  ASSERT_LE(l.memo(2), limit + 1);
  std::array<int64_t, 4> used{};
  for (int k = 1; k <= 4; ++k) l.demand(k) = 0;
  for (int step = 0; step < 4000; ++step) {
    const int k = 1 + static_cast<int>(rng() % 4);
    const int64_t want = 1 + static_cast<int64_t>(rng() % (k == 4 ? 60 : 6));
    if (used[k - 1] + want > l.cap(k)) {
      l.demand(k) = used[k - 1] + want;
      const int64_t need = l.memo(2);
      l.demand(k) = used[k - 1];
      if (need > limit) break;  // full: the loader would stop here
      ASSERT_GE(l.cap(k), used[k - 1] + want);
      int64_t end = l.base(1);
      for (int j = 1; j <= 4; ++j) {
        ASSERT_EQ(l.base(j), end) << "regions lie back to back";
        ASSERT_EQ(l.cap(j) % g, 0);
        end += l.cap(j);
        l.expect_filled(j, used[j - 1]);
      }
      ASSERT_EQ(end, need);
    }
    l.fill(k, used[k - 1], used[k - 1] + want);
    l.demand(k) = used[k - 1] += want;
  }
  int64_t total = 1;
  const int64_t need = l.memo(1);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(l.cap(k), (used[k - 1] + g - 1) / g * g);
    l.expect_filled(k, used[k - 1]);
    total += l.cap(k);
  }
  EXPECT_EQ(need, total);
}

TEST_F(WorkArea, DataSurvivesRepeatedGrowth) {
  grow_and_check(3000, 1);
  glob(flowsum::g::kWordsPerReal) = 2;  // capacities in whole two-word units
  grow_and_check(5001, 3);
}

// ---- TKSORT -------------------------------------------------------------------

Words sorted(Words t, int64_t stride, int64_t kstart, int64_t nkey) {
  int64_t n = static_cast<int64_t>(t.size()) / stride;
  Words scratch(static_cast<size_t>(stride));
  tksort_(&stride, &n, t.data(), &kstart, &nkey, scratch.data());
  return t;
}

// TKSORT against std::sort: keys in order, and the same entries (those with
// equal keys may come in any order).
void check_sort(const Words& t, int64_t stride, int64_t kstart, int64_t nkey) {
  auto entries = [&](const Words& v) {
    std::vector<Words> e;
    for (auto it = v.begin(); it != v.end(); it += stride) e.emplace_back(it, it + stride);
    return e;
  };
  auto want = entries(t), got = entries(sorted(t, stride, kstart, nkey));
  auto key_less = [&](const Words& a, const Words& b) {
    return std::lexicographical_compare(a.begin() + kstart - 1, a.begin() + kstart - 1 + nkey,
                                        b.begin() + kstart - 1, b.begin() + kstart - 1 + nkey);
  };
  ASSERT_TRUE(std::is_sorted(got.begin(), got.end(), key_less));
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  ASSERT_EQ(want, got) << "entries were lost or changed";
}

TEST_F(WorkArea, SortAgreesWithStdSort) {
  std::mt19937_64 rng(11);
  for (int64_t n : {0, 1, 2, 3, 11, 12, 13, 1000, 20000}) {
    for (uint64_t variety : {2u, 5u, 1u << 20}) {
      // Few distinct values (many equal keys), negative and extreme words.
      Words t(static_cast<size_t>(n * 4));
      for (auto& w : t) {
        const uint64_t v = rng() % variety;
        w = static_cast<int64_t>(v % 3 == 0 ? 0 - v * 0x0101010101010101u : v);
        if (rng() % 97 == 0) w = std::numeric_limits<int64_t>::min() + static_cast<int64_t>(v);
        if (rng() % 97 == 1) w = std::numeric_limits<int64_t>::max() - static_cast<int64_t>(v);
      }
      check_sort(t, 4, 2, 2);
    }
  }
  // Ordered, reversed, organ-pipe and constant tables.
  Words up, down, pipe, same(20000, 5);
  for (int64_t i = 0; i < 20000; ++i) {
    up.push_back(i);
    down.push_back(-i);
    pipe.push_back(std::min(i, 20000 - i));
  }
  for (const Words* t : {&up, &down, &pipe, &same}) check_sort(*t, 1, 1, 1);
  // 34-word identifier entries keyed on words 1..32.
  Words ids(34 * 3000);
  for (auto& w : ids) w = static_cast<int64_t>(rng() % 3) * 0x0100000001 + 0x2020202020202020;
  check_sort(ids, 34, 1, 32);
}

TEST_F(WorkArea, SortSmallAndOddCases) {
  // Two entries with equal keys stay where they are.
  EXPECT_EQ(sorted({7, 1, 7, 2}, 2, 1, 1), (Words{7, 1, 7, 2}));
  // A key outside the entry, or no key, leaves the table as it is.
  const Words orig = {3, 1, 2, 9, 8, 7};
  for (auto [kstart, nkey] : {std::pair{0, 1}, {3, 2}, {4, 1}, {1, 0}})
    EXPECT_EQ(sorted(orig, 3, kstart, nkey), orig) << kstart << "," << nkey;
}

}  // namespace
