// Packed character words, the table searches, the small text utilities,
// the region allocator (TKMEMO) and the table sort (TKSORT).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "store/packed_words.hpp"

namespace {

using flowsum::kBlankWord;

class PackedWords : public ::testing::Test {
 protected:
  void SetUp() override { tknsys_(); }
};

// The eight bytes of a word in address order.
std::string bytes_of(int64_t w) {
  std::string s(8, '\0');
  std::memcpy(s.data(), &w, 8);
  return s;
}

// Pack from a heap copy of exactly the text's bytes, so that a read past the
// caller's field shows up in the sanitizer build.
int64_t pack(const std::string& text, int64_t nchar, std::vector<int64_t>& words) {
  auto field = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(field.get(), text.data(), text.size());
  int64_t nword = -99;
  tkcins_(&nchar, field.get(), &nword, words.data(), text.size());
  return nword;
}

int64_t search(bool binary, std::vector<int64_t> key, std::vector<int64_t>& table,
               int64_t stride, int64_t n, int64_t offset, int64_t nw) {
  int64_t ipos = -1;
  (binary ? tkbnsh_ : tklnsh_)(key.data(), table.data(), &stride, &n, &offset, &nw, &ipos);
  return ipos;
}

TEST_F(PackedWords, PackingUnpackingAndSearches) {
  // A field shorter than NCHAR reads as blanks past its end, and only NWORD
  // words are written; codes 0 and 1 end the text; nothing to pack writes
  // nothing.
  std::vector<int64_t> w(4, 0);
  EXPECT_EQ(pack("XY", 12, w), 3);
  EXPECT_EQ(std::pair(w[2], w[3]), std::pair(kBlankWord, int64_t{0}));
  EXPECT_EQ(pack(std::string("AB\0CDEFG", 8), 8, w), 2);
  EXPECT_EQ(bytes_of(w[0]) + bytes_of(w[1]), "AB              ");
  EXPECT_EQ(pack(std::string("ABCDE\1GH", 8), 8, w), 2);
  EXPECT_EQ(bytes_of(w[1]), "E       ");
  std::fill(w.begin(), w.end(), 7);
  EXPECT_EQ(pack("ABC", -9, w), 0);
  EXPECT_EQ(w[0], 7);
  // Unpacking fills exactly the caller's field, cut or blank-padded.
  pack("ABCDEFGH", 8, w);
  int64_t nword = 2, nchar = 8;
  std::string narrow(10, '#'), wide(24, '#');
  tkinsc_(&nword, w.data(), &nchar, narrow.data(), 6);
  tkinsc_(&nword, w.data(), &nchar, wide.data(), 20);
  EXPECT_EQ(narrow + wide, "ABCDEF####ABCDEFGH            ####");
  for (auto [key, n] : {std::pair<const char*, int64_t>{"", 4}, {"ABCD    ", 4}, {"ABCDE", 8}, {"A B C D E   ", 12}})
    EXPECT_EQ(flowsum::key_length(key), n) << '"' << key << '"';
  // Stride 3, key in words 2..3: the first of equal entries; an empty table
  // or a key field before the entry finds nothing.
  std::vector<int64_t> t = {100, 5, 1, 101, 7, 2, 102, 7, 2, 103, 7, 3, 104, 9, 0};
  EXPECT_EQ(search(false, {7, 2}, t, 3, 5, 2, 2), 2);
  for (bool binary : {false, true})
    EXPECT_EQ(search(binary, {7, 2}, t, 3, 0, 2, 2) + search(binary, {7, 2}, t, 3, 5, 0, 2), 0) << binary;
  // The binary search keeps signed order where the difference of two words
  // overflows: the first probe meets a word of the other sign.
  const int64_t lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
  std::vector<int64_t> a = {lo, hi - 1, hi}, b = {lo, lo + 1, hi};
  EXPECT_EQ(search(true, {lo}, a, 1, 3, 1, 1), 1);
  EXPECT_EQ(search(true, {hi}, b, 1, 3, 1, 1), 3);
}

TEST(TextUtils, UnsignedIntegersAndCapitals) {
  struct Case {
    std::string text;
    int64_t n, ival, ierr;
  } cases[] = {
      {"  42  x", 7, 42, 0},
      {"4x", 2, 0, 1},
      {"   ", 3, 0, 0},
      {"0 5", 3, 5, 0},  // blanks after leading zeros are skipped
      {"123", 2, 12, 0},
      {"77", 0, 0, 0},
      {"42", 50, 42, 0},  // N beyond the field: the rest counts as blank
      {"9223372036854775807", 19, std::numeric_limits<int64_t>::max(), 0},
      {"9223372036854775808", 19, 0, 1},  // refused, not wrapped
  };
  for (const Case& c : cases) {
    auto buf = std::make_unique<char[]>(c.text.size() + 1);
    std::memcpy(buf.get(), c.text.data(), c.text.size());
    int64_t n = c.n, ival = -1, ierr = -1;
    tkcint_(&n, buf.get(), &ival, &ierr, c.text.size());
    EXPECT_EQ(ival, c.ival) << '"' << c.text << '"';
    EXPECT_EQ(ierr, c.ierr) << '"' << c.text << '"';
  }
  // Letters among the first N characters become capitals; N never reaches
  // past the hidden length, and N below 1 changes nothing.
  for (auto* fn : {+[](int64_t* n, char* t, size_t l) { tkcase_(n, t, l); },
                   +[](int64_t* n, char* t, size_t l) { tkuppr_(t, n, l); }}) {
    std::string s = "abc xyz-09_{}@`~ end####";
    for (auto [n, want] : {std::pair<int64_t, const char*>{16, "ABC XYZ-09_{}@`~ end####"},
                           {100, "ABC XYZ-09_{}@`~ END####"}, {-4, "ABC XYZ-09_{}@`~ END####"}}) {
      fn(&n, s.data(), 20);
      EXPECT_EQ(s, want) << n;
    }
  }
}
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
  int64_t memo(int64_t mode) {
    int64_t lim = limit, n = static_cast<int64_t>(regions.size() / 3), need = -7;
    tkmemo_(&lim, area.get(), &mode, &n, regions.data(), &need);
    return need;
  }
  Words words() const { return {area.get(), area.get() + limit}; }

  int64_t limit;
  std::unique_ptr<int64_t[]> area;
  Words regions;
};

Words sorted(Words t, int64_t stride, int64_t kstart, int64_t nkey) {
  int64_t n = static_cast<int64_t>(t.size()) / stride;
  Words scratch(static_cast<size_t>(stride));
  tksort_(&stride, &n, t.data(), &kstart, &nkey, scratch.data());
  return t;
}

TEST_F(WorkArea, OddArgumentsMoveNothingOutsideTheAreaAndOddSorts) {
  Layout l(500, 2);
  l.regions = {1, 10, 10, 11, 10, 10};
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
  // The identifier tables of every load are sorted by TKSORT (the lookups
  // of the round trip depend on it); here the odd cases. Equal keys keep
  // their places in a table of two, a negative word sorts first, and a key
  // outside the entry, or no key, leaves the table as it is.
  EXPECT_EQ(sorted({7, 1, 7, 2}, 2, 1, 1), (Words{7, 1, 7, 2}));
  EXPECT_EQ(sorted({5, 3, std::numeric_limits<int64_t>::min(), 9, 0, 4}, 2, 1, 1),
            (Words{std::numeric_limits<int64_t>::min(), 9, 0, 4, 5, 3}));
  const Words orig = {3, 1, 2, 9, 8, 7};
  for (auto [kstart, nkey] : {std::pair{0, 1}, {3, 2}, {4, 1}, {1, 0}})
    EXPECT_EQ(sorted(orig, 3, kstart, nkey), orig) << kstart << "," << nkey;
}

}  // namespace
