// Packed character words, the table searches and the small text utilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "flowsum.h"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

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

TEST_F(PackedWords, Packing) {
  std::vector<int64_t> w(4, 0);
  EXPECT_EQ(pack("B1", 2, w), 1);
  EXPECT_EQ(bytes_of(w[0]), "B1      ");
  EXPECT_EQ(w[1], 0) << "only NWORD words are written";

  EXPECT_EQ(pack("PROPERTIES", 10, w), 3);
  EXPECT_EQ(bytes_of(w[0]) + bytes_of(w[1]) + bytes_of(w[2]), "PROP    ERTI    ES      ");

  // A field shorter than NCHAR reads as blanks past its end.
  EXPECT_EQ(pack("XY", 12, w), 3);
  EXPECT_EQ(w[2], kBlankWord);

  // Codes 0 and 1 end the text.
  EXPECT_EQ(pack(std::string("AB\0CDEFG", 8), 8, w), 2);
  EXPECT_EQ(bytes_of(w[0]) + bytes_of(w[1]), "AB              ");
  EXPECT_EQ(pack(std::string("ABCDE\1GH", 8), 8, w), 2);
  EXPECT_EQ(bytes_of(w[1]), "E       ");

  // Nothing to pack writes nothing.
  std::fill(w.begin(), w.end(), 7);
  EXPECT_EQ(pack("ABC", -9, w), 0);
  EXPECT_EQ(w[0], 7);
}

TEST_F(PackedWords, UnpackingFillsExactlyTheCallersField) {
  std::vector<int64_t> w(2, 0);
  pack("ABCDEFGH", 8, w);
  int64_t nword = 2, nchar = 8;
  std::string narrow(10, '#'), wide(24, '#');
  tkinsc_(&nword, w.data(), &nchar, narrow.data(), 6);
  tkinsc_(&nword, w.data(), &nchar, wide.data(), 20);
  EXPECT_EQ(narrow, "ABCDEF####");
  EXPECT_EQ(wide, "ABCDEFGH            ####");

  // Texts of every length up to 13 come back blank-padded to the receiving
  // width, in as many words as they need.
  const std::string printable = "AZ az09!~ {}@X";
  for (size_t n = 0; n < printable.size(); ++n) {
    const std::string text = printable.substr(0, n);
    std::vector<int64_t> words(4, 0);
    nword = pack(text, static_cast<int64_t>(n), words);
    ASSERT_EQ(nword, static_cast<int64_t>((n + 3) / 4));
    std::string out(n + 5, '#');
    tkinsc_(&nword, words.data(), &nchar, out.data(), out.size());
    ASSERT_EQ(out, text + "     ") << n;
  }
}

TEST_F(PackedWords, KeyLength) {
  for (auto [key, n] :
       {std::pair<const char*, int64_t>{"", 4}, {"ABCD    ", 4}, {"ABCDE", 8}, {"A B C D E   ", 12}})
    EXPECT_EQ(flowsum::key_length(key), n) << '"' << key << '"';
}

int64_t search(bool binary, std::vector<int64_t> key, std::vector<int64_t>& table,
               int64_t stride, int64_t n, int64_t offset, int64_t nw) {
  int64_t ipos = -1;
  (binary ? tkbnsh_ : tklnsh_)(key.data(), table.data(), &stride, &n, &offset, &nw, &ipos);
  return ipos;
}

TEST_F(PackedWords, SearchSpecialCases) {
  // Stride 3, key in words 2..3.
  std::vector<int64_t> t = {100, 5, 1, 101, 7, 2, 102, 7, 2, 103, 7, 3, 104, 9, 0};
  EXPECT_EQ(search(false, {7, 2}, t, 3, 5, 2, 2), 2) << "the first of equal entries";
  EXPECT_EQ(search(false, {8, 0}, t, 3, 5, 2, 2), 0);
  EXPECT_EQ(search(false, {99}, t, 3, 5, 2, 0), 1) << "no key words";
  const int64_t hit = search(true, {7, 2}, t, 3, 5, 2, 2);
  EXPECT_TRUE(hit == 2 || hit == 3);
  EXPECT_EQ(search(true, {0}, t, 3, 5, 2, 0), 3) << "no key words: the middle entry";
  EXPECT_EQ(search(true, {0}, t, 3, 4, 2, 0), 2);
  for (bool binary : {false, true}) {
    EXPECT_EQ(search(binary, {7, 2}, t, 3, 0, 2, 2), 0) << "empty table";
    EXPECT_EQ(search(binary, {7, 2}, t, 3, 5, 0, 2), 0) << "key field before the entry";
  }
}

TEST_F(PackedWords, BinarySearchUsesSignedOrderEvenWhenTheDifferenceOverflows) {
  const int64_t lo = std::numeric_limits<int64_t>::min();
  const int64_t hi = std::numeric_limits<int64_t>::max();
  // Three entries, so that the first probe meets a word of the other sign.
  std::vector<int64_t> a = {lo, hi - 1, hi}, b = {lo, lo + 1, hi};
  EXPECT_EQ(search(true, {lo}, a, 1, 3, 1, 1), 1);
  EXPECT_EQ(search(true, {hi}, b, 1, 3, 1, 1), 3);

  // Every entry of sorted tables of distinct two-word keys is found, and
  // keys between entries are not.
  std::mt19937_64 rng(7);
  for (int64_t n : {1, 2, 17, 5000}) {
    std::vector<std::pair<int64_t, int64_t>> keys;
    for (int64_t i = 0; i < n; ++i)
      keys.emplace_back(static_cast<int64_t>(rng() % 50) - 25, static_cast<int64_t>(rng() | 1));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<int64_t> t;
    for (auto [x, y] : keys) t.insert(t.end(), {0, x, y});
    const auto m = static_cast<int64_t>(keys.size());
    for (int64_t i = 0; i < m; ++i) {
      auto [x, y] = keys[static_cast<size_t>(i)];
      ASSERT_EQ(search(true, {x, y}, t, 3, m, 2, 2), i + 1);
      ASSERT_EQ(search(true, {x, y - 1}, t, 3, m, 2, 2), 0);  // odd words only in the table
    }
  }
}

TEST_F(PackedWords, MoveOneCharacterBetweenPackedTexts) {
  std::vector<int64_t> src(2), dst(3);
  pack("ABCDEFGH", 8, src);
  pack("abcdefghijkl", 12, dst);
  for (auto [from, to] : {std::pair<int64_t, int64_t>{6, 3}, {1, 12}, {0, 1}, {2, -1}}) {
    int64_t i = from, j = to;
    tkmbyt_(src.data(), &i, dst.data(), &j);
  }
  EXPECT_EQ(bytes_of(dst[0]) + bytes_of(dst[1]) + bytes_of(dst[2]),
            "abFd    efgh    ijkA    ");
}

// ---- Text utilities ----------------------------------------------------------------

TEST(TextUtils, ReadsUnsignedIntegers) {
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
}

TEST(TextUtils, CapitalsOnlyForLettersAmongTheFirstN) {
  for (auto* fn : {+[](int64_t* n, char* t, size_t l) { tkcase_(n, t, l); },
                   +[](int64_t* n, char* t, size_t l) { tkuppr_(t, n, l); }}) {
    std::string s = "abc xyz-09_{}@`~ end####";
    int64_t n = 16;
    fn(&n, s.data(), 20);
    EXPECT_EQ(s, "ABC XYZ-09_{}@`~ end####");
    n = 100;  // stops at the hidden length
    fn(&n, s.data(), 20);
    EXPECT_EQ(s, "ABC XYZ-09_{}@`~ END####");
    std::string t = "abc";
    n = -4;
    fn(&n, t.data(), 3);
    EXPECT_EQ(t, "abc");
  }
}

TEST(TextUtils, FieldsOfEveryLengthTakeTextOfEveryLength) {
  // Field and text lengths around the sizes the short copies switch at:
  // exactly the field is written, with as much text as fits and blanks after.
  std::string text;
  for (int k = 0; k < 90; ++k) text += static_cast<char>('!' + k);
  for (size_t len = 0; len <= 80; ++len)
    for (size_t n = 0; n <= 80; n += (n < 20 ? 1 : 7)) {
      std::string buf(len + 16, '#');
      flowsum::TextField(buf.data() + 8, len).assign(std::string_view(text.data(), n));
      const size_t kept = std::min(len, n);
      std::string want = std::string(8, '#') + text.substr(0, kept) + std::string(len - kept, ' ') +
                         std::string(8, '#');
      ASSERT_EQ(buf, want) << "field " << len << ", text " << n;
      flowsum::TextField(buf.data() + 8, len).fill_blank();
      ASSERT_EQ(buf, std::string(8, '#') + std::string(len, ' ') + std::string(8, '#')) << len;
    }
}

}  // namespace
