// The data-set tree: modes, the matching rules, messages, room and broken
// trees, and the exported routine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"
#include "support/message_capture.hpp"

namespace {

using namespace flowsum;
using Path = std::vector<std::string>;

int64_t packed(const std::string& four) {
  int64_t w = 0;
  pack_text(four, 4, &w);
  return w;
}

// A tree in a heap block of exactly `capacity` words, started as the loader
// starts it: the dummy node "**DUMM**".
struct Tree {
  explicit Tree(int64_t capacity = 4096, bool with_dummy = true)
      : capacity(capacity), words(std::make_unique<int64_t[]>(static_cast<size_t>(capacity))) {
    std::fill_n(words.get(), capacity, int64_t{-77});
    if (with_dummy) set(1, {2, 0, 0, packed("**DU"), packed("MM**")}), nused = 5;
  }
  int64_t& w(int64_t k) { return words[static_cast<size_t>(k - 1)]; }
  // Words from k on, written by hand.
  void set(int64_t k, std::initializer_list<int64_t> v) { std::copy(v.begin(), v.end(), &w(k)); }
  std::vector<int64_t> snapshot() const { return {words.get(), words.get() + nused}; }

  struct Result {
    int64_t ierr, ipos;
    DataRecord rec;
  };
  Result call(int64_t mode, const Path& path, int64_t idata = 0, const std::string& qual = "",
              TreeIndex* index = nullptr) {
    std::vector<std::string_view> views(path.begin(), path.end());
    Result r{0, 0, {}};
    r.rec.idata = idata;
    std::fill_n(r.rec.value, 8, ' ');
    std::memcpy(r.rec.value, qual.data(), std::min<size_t>(8, qual.size()));
    r.ierr = dataset_tree(mode, views, r.rec, TreeView{words.get(), nused, capacity}, r.ipos, index);
    return r;
  }

  int64_t capacity;
  std::unique_ptr<int64_t[]> words;
  int64_t nused = 0;
};

class DatasetTree : public ::testing::Test {
 protected:
  void SetUp() override {
    tknsys_();
    saved_unit_ = message_unit();
    glob(g::kMsgUnit) = 0;
  }
  void TearDown() override { glob(g::kMsgUnit) = saved_unit_; }
  int64_t saved_unit_ = 0;
};

// The messages f writes.
template <class F>
std::string messages_of(F f) {
  flowsum::testing::MessageCapture capture;
  f();
  return capture.take();
}

TEST_F(DatasetTree, KeyMatchingRulesAndALeafWhereABranchWasExpected) {
  Tree t;
  // A keyword of exactly four characters is stored in two words.
  t.call(4, {"PAMB", "PAMB"}, 3, "PAMB");
  EXPECT_EQ(std::pair(t.w(6), t.w(10)), std::pair(int64_t{2}, kBlankWord));
  EXPECT_EQ(t.call(1, {"PAMB    ", "PAMB"}).rec.idata, 3);
  // A two-word node is not found by its first word alone; a three-word node
  // is found by any whole-word prefix of its key. Case matters; a code 0
  // ends a keyword.
  t.call(4, {"ABCDEFGH"}, 1);
  t.call(4, {"WXYZ1234WX"}, 2);
  t.call(4, {"QR"}, 9);
  for (auto [key, idata] : {std::pair<std::string, int64_t>{"ABCD", -1}, {"WXYZ", 2}, {"WXYZ1234", 2},
                            {"WXYZ1234WX", 2}, {"pamb", -1}, {std::string("QR\0XYZ", 6), 9}}) {
    const auto r = t.call(1, {key});
    EXPECT_EQ(r.ierr == 0 ? r.rec.idata : -1, idata) << key;
  }

  // A key longer than a stored three-word key does not match it, even when
  // the word after the stored key equals the key's fourth word.
  Tree h(7, false);
  h.set(1, {3, 0, 0, packed("ABCD"), packed("EFGH"), packed("IJ"), packed("MNOP")});
  h.nused = 7;
  EXPECT_EQ(h.call(1, {"ABCDEFGHIJ  MNOP"}).ierr, 1);
  EXPECT_EQ(h.call(1, {"ABCDEFGH"}).ierr, 0);
  h.nused = 6;  // the tree ends with the key: nothing past it is read
  EXPECT_EQ(h.call(1, {"ABCDEFGHIJ  MNOP"}).ierr, 1);
  EXPECT_EQ(h.call(4, {"ABCDEFGHIJ  MNOP"}).ierr, kTreeFull) << "no words left";
  // A leaf where a branch was expected.
  Tree u;
  u.call(4, {"RUN-STATUS", "VERS"}, 5, "V");
  EXPECT_EQ(messages_of([&] { EXPECT_EQ(u.call(1, {"RUN-STATUS", "VERS", "DEEPER"}).ierr, 2); }),
            "\n IMPROPER STRUCTURED DSET TREE AT LEVEL  2 (TKDTRE)\n RUN-STAT VERS    \n");
  // Entering the longer path adds a sibling that does have children; the
  // code stays -1 and the message is written again.
  std::string out = messages_of([&] {
    EXPECT_EQ(u.call(4, {"RUN-STATUS", "VERS", "DEEPER"}, 6).ierr, kTreeImproper);
    auto r = u.call(1, {"RUN-STATUS", "VERS", "DEEPER"});
    EXPECT_EQ(std::pair(r.ierr, r.rec.idata), std::pair(kTreeImproper, int64_t{6}));
  });
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 6);
  EXPECT_EQ(u.call(1, {"RUN-STATUS", "VERS"}).rec.idata, 5) << "the leaf is still found first";
  // Keywords go eight to a line.
  Path deep;
  for (int i = 1; i <= 10; ++i) deep.push_back("LEVEL-" + std::to_string(i) + "-LONGNAME");
  u.call(4, Path(deep.begin(), deep.end() - 1));
  EXPECT_EQ(messages_of([&] { EXPECT_EQ(u.call(2, deep).ierr, 9); }),
            "\n IMPROPER STRUCTURED DSET TREE AT LEVEL  9 (TKDTRE)\n"
            " LEVEL-1- LEVEL-2- LEVEL-3- LEVEL-4- LEVEL-5- LEVEL-6- LEVEL-7- LEVEL-8-\n"
            " LEVEL-9-\n");
}

TEST_F(DatasetTree, BrokenTreesEndWithoutHarm) {
  // A NEXT link outside the tree.
  Tree a;
  a.w(3) = 999;
  EXPECT_EQ(a.call(1, {"X"}).ierr, 1);
  EXPECT_EQ(messages_of([&] { EXPECT_EQ(a.call(4, {"X"}).ierr, kTreeCorrupt); }),
            "\n DSET TREE CORRUPTED (ROUTINE TKDTRE)\n");
  EXPECT_EQ(a.nused, 5);

  // A loop between two siblings.
  Tree b;
  b.call(4, {"A"});
  b.call(4, {"B"});
  b.w(b.call(1, {"B"}).ipos + 1) = 2;  // B's NEXT back to the dummy
  EXPECT_EQ(b.call(1, {"C"}).ierr, 1);
  EXPECT_EQ(b.call(1, {"B"}).ierr, 0);
  const int64_t used = b.nused;
  EXPECT_EQ(b.call(4, {"C"}).ierr, kTreeCorrupt);
  EXPECT_EQ(b.call(4, {"A"}).ierr, kTreeCorrupt) << "no end to append at";
  EXPECT_EQ(b.nused, used);

  // CHILD links outside the tree, a huge key length, a record outside.
  Tree c;
  c.call(4, {"P", "Q"}, 8, "REC");
  const int64_t p = c.call(1, {"P"}).ipos, q = c.call(1, {"P", "Q"}).ipos;
  c.w(p) = 5000;
  EXPECT_EQ(c.call(1, {"P", "Q"}).ierr, 2);
  EXPECT_EQ(c.call(4, {"P", "Q"}).ierr, kTreeCorrupt);
  c.w(p) = q;
  c.w(q) = -(c.nused - 1);  // the record would run past the tree's end
  auto r = c.call(1, {"P", "Q"}, -1, "XX");
  EXPECT_EQ(std::pair(r.ierr, r.rec.idata), std::pair(int64_t{0}, int64_t{0}));
  c.w(q) = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(c.call(1, {"P", "Q"}, -1).rec.idata, 0);
  for (int64_t length : {std::numeric_limits<int64_t>::max(), int64_t{0}}) {
    c.w(q - 1) = length;
    EXPECT_EQ(c.call(1, {"P", "Q"}).ierr, 2) << length;
  }

  // Word counts that make no sense: negative, or less than the dummy node.
  Tree d;
  d.nused = -3;
  EXPECT_EQ(d.call(4, {"A"}).ierr, kTreeCorrupt);
  EXPECT_EQ(d.nused, -3);
  d.nused = 3;
  EXPECT_EQ(d.call(4, {"A"}).ierr, kTreeCorrupt);

  // An empty tree gets its first node at position 2.
  Tree e(64, false);
  EXPECT_EQ(e.call(4, {"A", "B"}, 12).ierr, 0);
  EXPECT_EQ(e.w(1), 2);
  EXPECT_EQ(e.call(1, {"A", "B"}).rec.idata, 12);
}

// ---- The exported routine ---------------------------------------------------------

TEST_F(DatasetTree, ExportedRoutine) {
  // A tree in the last 30 words of TKWORK: its room ends with the work area.
  int64_t* tree = tkwork_ + TK_WORK_WORDS - 30;
  const int64_t dummy[] = {2, 0, 0, packed("**DU"), packed("MM**")};
  std::copy(std::begin(dummy), std::end(dummy), tree);
  int64_t nused = 5, ipos = 0, ierr = 0, idata = 33;
  auto call = [&](int64_t mode, std::string ids, size_t ids_len, std::string value) {
    int64_t nids = static_cast<int64_t>(ids.size() / ids_len);
    tkdtre_(&mode, &nids, ids.data(), value.data(), &idata, tree, &nused, &ipos, &ierr, ids_len, value.size());
    return std::pair(ierr, value);
  };
  const std::string path = "BLOCK       MIXER       M-1         ";  // 12-character keywords
  EXPECT_EQ(call(4, path, 12, "Q123").first, 0);
  EXPECT_EQ(nused, 5 + 15 + 5);
  idata = 0;
  EXPECT_EQ(call(1, path, 12, std::string(12, '#')), std::pair(int64_t{0}, std::string("Q123        ")));
  EXPECT_EQ(idata, 33);
  // Mode 2 clears VALUE when the path is missing.
  EXPECT_EQ(call(2, "NOSUCH", 6, "KEEPTHISTEXT"), std::pair(int64_t{1}, std::string(12, ' ')));
  EXPECT_EQ(idata, 0);
  // Five words remain before the end of TKWORK: a new level does not fit.
  EXPECT_EQ(call(4, "BLOCK   MIXER   M-2     ", 8, "Q").first, kTreeFull);
  EXPECT_EQ(nused, 25);
}


}  // namespace
