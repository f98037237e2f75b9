// List evaluation: identifier sets read from their definitions, the count
// of an operation list, the block operations, and the qualifier blocks of
// loading sequences checked word by word.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/lookup_calls.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

constexpr int64_t kBlank = 0x2020202020202020;

using Words = std::vector<int64_t>;
using Texts = std::vector<std::string>;

// Reads a qualifier block as the layout gives it: NQ names of 4 words, NQ
// pairs of words for each of the ND values, then ND types and ND unit types.
struct Block {
  int64_t nq, nd, locq;
  std::string name(int64_t i) const { return work_text(locq + 4 * (i - 1), 4); }
  int64_t pair_at(int64_t i, int64_t j) const { return locq + 4 * nq + 2 * nq * (j - 1) + 2 * (i - 1); }
  int64_t pair_word(int64_t i, int64_t j, int64_t w) const { return work_word(pair_at(i, j) + w); }
  std::string pair_text(int64_t i, int64_t j) const { return work_text(pair_at(i, j), 2); }
  // Column i of every value: its pairs as texts (blanks cut) or first words.
  Texts texts(int64_t i) const {
    Texts out;
    for (int64_t j = 1; j <= nd; ++j) out.push_back(trim(pair_text(i, j)));
    return out;
  }
  Words numbers(int64_t i) const {
    Words out;
    for (int64_t j = 1; j <= nd; ++j) out.push_back(pair_word(i, j, 0));
    return out;
  }
  Words types() const { return Words(&tkwork_[locq - 1 + 4 * nq + 2 * nq * nd], &tkwork_[end() - 1 - nd]); }
  Words unit_types() const { return Words(&tkwork_[end() - 1 - nd], &tkwork_[end() - 1]); }
  int64_t end() const { return locq + 4 * nq + 2 * nq * nd + 2 * nd; }
};

class ListEvaluation : public SummarySuite<ListEvaluation> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    b.idset("A", {"COMPONENT"}, {{{"C1"}}, {{"C2"}}});
    b.idset("A2", {"COMPONENT"}, {{{"C3"}}});
    b.idset("P", {"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}});
    b.idset("H1", {"HEAD"}, {{{"ONLY"}}});
    b.idset("H2", {"HEAD"}, {{{"H_A"}}, {{"H_B"}}});
    b.idset("NP", {"NPOINT"}, {{{"#3"}}});
    b.idset("NT", {"TRAY"}, {{{"#3"}}});
    b.idset("S", {"STREAMID"}, {{{"?"}}});
    b.idset_text("Q2", "(PROPERTIES, SUBSTREAM) (22 MIXED *2 <22>, 23 , CISOLID *1)");
    b.idset_text("NTX", "(NPOINT TRAYNAME) (#2 TOP)");
    b.idset_text("NOCLOSE", "(ITEM) (X1 X2");
      b.lset("LA", "(%A)");
    b.lset("LAP", "(%A %P)");
    b.lset("LAXP", "(%A & %P)");
    b.lset("LSH", "(%A %A2)");
    b.lset("LNP", "(%NP)");
    b.lset("LNT", "(%NT)");
    b.lset("LNTX", "(%NTX)");
    b.lset("LS", "(%S)");
    b.lset("LAS", "(%A %S)");
    b.lset("LG1", "((%H1 %A) %P)");
    b.lset("LG2", "((%H2 %A) %P)");
    b.lset("LLOOPG", "(%H2 & (%A %P))");
    b.lset("LBAD", "(%A %NOPE)");
    b.lset("LQ2", "(%Q2 & %A)");
    b.dset({"DS", "LA"}, "LA", {Value::word("V1"), Value::word("V2")});
    b.line(" IDSET NOCLOSE2 (ITEM) (X1 X2");  // the file ends inside the member list
    write_file(b.text());
  }

  Block list(const std::string& id) {
    ListCall c = call_tklist(id);
    return {c.nqual, c.ndata, c.locq};
  }

};

TEST_F(ListEvaluation, SetsOneAfterAnotherKeepTheirOwnColumns) {
  const int64_t before = free_pointer();
  Block b = list("LAP");
  ASSERT_EQ(b.nd, 4);
  ASSERT_EQ(b.nq, 2);
  // The block starts at the free-word pointer, which is left after it.
  EXPECT_EQ(b.locq, before);
  EXPECT_EQ(free_pointer(), b.end());
  EXPECT_EQ(b.name(1) + b.name(2), pad("COMPONENT", 16) + pad("PROPERTIES", 16));
  EXPECT_EQ(b.texts(1), (Texts{"C1", "C2", "", ""}));
  EXPECT_EQ(b.pair_word(2, 1, 1), kBlank);
  EXPECT_EQ(b.numbers(2)[2], 22);
  EXPECT_EQ(b.pair_word(2, 3, 1), 0);
  EXPECT_EQ(b.types(), (Words{0, 0, 2, 2}));
  EXPECT_EQ(b.unit_types(), (Words{0, 0, 22, 20}));
  // Two sets of one qualifier name share one column.
  b = list("LSH");
  ASSERT_EQ(b.nq, 1);
  EXPECT_EQ(b.texts(1), (Texts{"C1", "C2", "C3"}));
}

TEST_F(ListEvaluation, OutsideLoopRepeatsTheEnclosedSetForEveryMember) {
  Block b = list("LAXP");
  ASSERT_EQ(b.nq, 2);
  EXPECT_EQ(b.texts(1), (Texts{"C1", "C2", "C1", "C2"}));
  EXPECT_EQ(b.numbers(2), (Words{22, 22, 23, 23}));
  // The loop member's type and unit type win where they are not 0.
  EXPECT_EQ(b.types(), (Words{2, 2, 2, 2}));
  EXPECT_EQ(b.unit_types(), (Words{22, 22, 20, 20}));
}

TEST_F(ListEvaluation, NumberedMembers) {
  Block b = list("LNP");
  EXPECT_EQ(b.numbers(1), (Words{1, 2, 3}));
  EXPECT_EQ(b.pair_word(1, 3, 1), 0);
  EXPECT_EQ(list("LNT").texts(1), (Texts{"       1", "       2", "       3"}));
  // The other items of a numbered member apply to every member it stands for.
  b = list("LNTX");
  ASSERT_EQ(b.nq, 2);
  EXPECT_EQ(b.numbers(1), (Words{1, 2}));
  EXPECT_EQ(b.texts(2), (Texts{"TOP", "TOP"}));
}

TEST_F(ListEvaluation, OpenEndedSet) {
  const int64_t before = free_pointer();
  ListCall c = call_tklist("LS");
  EXPECT_EQ(c.ndata, -1);
  EXPECT_EQ(c.nqual, 1);
  EXPECT_EQ(c.locq, before);
  EXPECT_EQ(work_text(c.locq + 4, 2), "?       ");
  EXPECT_EQ((Words{work_word(c.locq + 6), work_word(c.locq + 7)}), (Words{0, 0}));
  EXPECT_EQ(free_pointer(), c.locq + 8);
  // Beside other sets it has no members of its own.
  Block b = list("LAS");
  EXPECT_EQ(b.nd, 2);
  EXPECT_EQ(b.nq, 2);
  EXPECT_EQ(b.name(2), pad("STREAMID", 16));
}

TEST_F(ListEvaluation, GroupHeadsVaryFastestAndMultiplyTheGroup) {
  // A one-member head adds no values: A's two, then P's two.
  Block b = list("LG1");
  ASSERT_EQ(b.nq, 3);
  EXPECT_EQ(b.texts(1), (Texts{"ONLY", "ONLY", "", ""}));
  EXPECT_EQ(b.texts(2), (Texts{"C1", "C2", "", ""}));
  EXPECT_EQ(b.numbers(3)[2], 22);
  // A head of two members doubles the group, its members varying fastest.
  b = list("LG2");
  EXPECT_EQ(b.texts(1), (Texts{"H_A", "H_B", "H_A", "H_B", "", ""}));
  EXPECT_EQ(b.texts(2), (Texts{"C1", "C1", "C2", "C2", "", ""}));
  EXPECT_EQ(b.numbers(3)[5], 23);
  // "H2 & (A P)" makes H2 the head of a group of A and P: every value of
  // A and P once per member of H2.
  b = list("LLOOPG");
  ASSERT_EQ(b.nd, 8);
  EXPECT_EQ(b.pair_text(1, 2) + b.pair_text(2, 2), "H_B     C1      ");
  EXPECT_EQ(b.pair_word(3, 8, 0), 23);
}

TEST_F(ListEvaluation, MembersWithCommasAndAnnotations) {
  // For each member of A the two members of Q2.
  Block b = list("LQ2");
  ASSERT_EQ(b.nq, 3);
  EXPECT_EQ(b.numbers(1), (Words{22, 23, 22, 23}));
  EXPECT_EQ(b.texts(2), (Texts{"MIXED", "CISOLID", "MIXED", "CISOLID"}));
  EXPECT_EQ(b.texts(3), (Texts{"C1", "C1", "C2", "C2"}));
  EXPECT_EQ(b.types(), (Words{2, 1, 2, 1}));
  EXPECT_EQ(b.unit_types(), (Words{22, 0, 22, 0}));
}

TEST_F(ListEvaluation, NoValuesWhenTheSequenceCannotBeCompiledOrDoesNotFit) {
  const int64_t before = free_pointer();
  ListCall c = call_tklist("LBAD");
  EXPECT_EQ(c.ndata, 0);
  EXPECT_EQ(c.nqual, 0);
  EXPECT_EQ(call_tklist("NOSUCH").ndata, 0);
  EXPECT_EQ(free_pointer(), before);

  // A work area with 100 free words left: nothing is built.
  tklocs_[24] = TK_WORK_WORDS - 100;
  std::vector<int64_t> top(tkwork_ + TK_WORK_WORDS - 101, tkwork_ + TK_WORK_WORDS);
  c = call_tklist("LAXP");
  EXPECT_EQ(c.ndata, 0);
  EXPECT_EQ(free_pointer(), TK_WORK_WORDS - 100);
  EXPECT_EQ(std::vector<int64_t>(tkwork_ + TK_WORK_WORDS - 101, tkwork_ + TK_WORK_WORDS), top);
  tklocs_[24] = before;
}

TEST_F(ListEvaluation, WorkStartsAfterTheRememberedDataSet) {
  DsetCall d = call_tkdset({"DS", "LA"});
  ASSERT_EQ(d.ndata, 2);
  const int64_t after = tkretn_.iret[9];
  EXPECT_GT(after, d.locd);
  Block b = list("LAXP");
  EXPECT_EQ(b.locq, after);
  EXPECT_EQ(b.nd, 4);
  // The data set's blocks are intact.
  EXPECT_EQ(work_text(d.locq + 4, 2), "C1      ");
  EXPECT_EQ(work_text(d.locd + 2, 2), "V1      ");
}

TEST(IdentifierSets, DimensionsAndLoading) {
  SummaryBuilder b;
  b.header();
  b.idset_text("Q2", "(PROPERTIES, SUBSTREAM) (22 MIXED *2 <22>, 23 , CISOLID *1)");
  b.idset("S", {"STREAMID"}, {{{"?"}}});
  b.idset_text("EMPTYQ", "() (X Y *5)");
  b.line(" IDSET TRUNC (ITEM) (X1 X2");
  TempSummaryFile f(b.text());
  LoadedSummary loaded(f.string());
  ASSERT_EQ(loaded.ierr(), 0);

  auto dims = [](std::string name) {
    name.resize(8, ' ');
    int64_t nq = -7, nmem = -7;
    tkidim_(name.data(), &nq, &nmem, name.size());
    return std::make_pair(nq, nmem);
  };
  EXPECT_EQ(dims("Q2"), std::make_pair(int64_t{2}, int64_t{2}));
  EXPECT_EQ(dims("S"), std::make_pair(int64_t{1}, int64_t{-1}));
  EXPECT_EQ(dims("NOPE"), std::make_pair(int64_t{0}, int64_t{0}));
  // No qualifier names: every value token is a member.
  EXPECT_EQ(dims("EMPTYQ"), std::make_pair(int64_t{0}, int64_t{2}));
  // A member list that the file ends inside counts what it holds.
  EXPECT_EQ(dims("TRUNC"), std::make_pair(int64_t{1}, int64_t{2}));

  // Load Q2 sized for three members: the third stays blank; a sentinel after
  // the arrays stays untouched.
  std::string name = "Q2      ";
  int64_t nq = 2, nmem = 3;
  std::vector<int64_t> qnames(8 + 1, -1), qvals(12 + 1, -1), types(3 + 1, -1), units(3 + 1, -1);
  tkiset_(name.data(), &nq, &nmem, qnames.data(), qvals.data(), types.data(), units.data(), name.size());
  EXPECT_EQ((std::vector<int64_t>{qvals[0], qvals[1], qvals[4], qvals[8], qvals[11]}),
            (std::vector<int64_t>{22, 0, 23, kBlank, kBlank}));
  EXPECT_EQ((std::vector<int64_t>{types[0], types[1], types[2], units[0], units[1], units[2]}),
            (std::vector<int64_t>{2, 1, 0, 22, 0, 0}));
  EXPECT_EQ((std::vector<int64_t>{qnames[8], qvals[12], types[3], units[3]}),
            (std::vector<int64_t>{-1, -1, -1, -1}));

  // Sized smaller than the file: one qualifier, one member; nothing beyond.
  nq = 1;
  nmem = 1;
  std::vector<int64_t> n1(4 + 1, -1), v1(2 + 1, -1), t1(1 + 1, -1), u1(1 + 1, -1);
  tkiset_(name.data(), &nq, &nmem, n1.data(), v1.data(), t1.data(), u1.data(), name.size());
  EXPECT_EQ(v1[0], 22);
  EXPECT_EQ((std::vector<int64_t>{n1[4], v1[2], t1[1], u1[1]}), (std::vector<int64_t>{-1, -1, -1, -1}));

  // The template of an open-ended set; blanks and zeros for an unknown one.
  std::vector<int64_t> tmpl(9, -1);
  name = "S       ";
  tkivec_(name.data(), tmpl.data(), name.size());
  EXPECT_EQ(tmpl[6], 0);
  EXPECT_EQ(tmpl[8], -1);
  name = "NOPE    ";
  tkivec_(name.data(), tmpl.data(), name.size());
  EXPECT_EQ((std::vector<int64_t>{tmpl[0], tmpl[5], tmpl[6], tmpl[7]}), (std::vector<int64_t>{kBlank, kBlank, 0, 0}));

  // A directory line that does not start the set's definition: empty.
  const int64_t entry = tklocs_[2];
  ASSERT_GE(tklocs_[3], 1);
  const int64_t line = tkwork_[entry - 1];
  tkwork_[entry - 1] = 1;
  std::string first(8, ' ');
  int64_t two = 2, eight = 8;
  tkinsc_(&two, &tkwork_[entry], &eight, first.data(), first.size());
  EXPECT_EQ(dims(first), std::make_pair(int64_t{0}, int64_t{0}));
  tkwork_[entry - 1] = line;
}

TEST(ValueCount, CountsLoopsAndGroups) {
  auto count = [](std::vector<int64_t> ops, std::vector<int64_t> dims, int64_t free = TK_WORK_WORDS - 100) {
    int64_t nops = static_cast<int64_t>(ops.size()), nids = static_cast<int64_t>(dims.size() / 2);
    int64_t ndata = -7, width = -7;
    tkloop_(&nops, ops.data(), &nids, dims.data(), &free, &ndata, &width);
    return std::make_pair(ndata, width);
  };
  using P = std::pair<int64_t, int64_t>;
  EXPECT_EQ(count({11, 21}, {1, 2, 1, 3}), P(5, 1));
  EXPECT_EQ(count({34, 24, 11, 25, 35}, {1, 2, 1, 3, 2, 4}), P(24, 4));
  // A group counts like a loop over its head: no factor for one member.
  EXPECT_EQ(count({16, 21, 17, 31}, {1, 1, 1, 3, 1, 2}), P(5, 2));
  EXPECT_EQ(count({16, 21, 17, 31}, {1, 2, 1, 3, 1, 2}), P(8, 2));
  EXPECT_EQ(count({}, {}), P(0, 0));
  // No room for the counters at the end of the work area.
  EXPECT_EQ(count({24, 11, 25}, {1, 2, 1, 3}, TK_WORK_WORDS - 2), P(0, 0));
  // An end without a begin, and sets outside the list, change nothing.
  EXPECT_EQ(count({11, 25, 91}, {1, 2, 1, 3}), P(2, 1));
}

TEST(BlockOperations, WidenAndCross) {
  // Blocks placed near the end of the (otherwise unused) work area.
  const int64_t x = TK_WORK_WORDS - 200, y = x + 20, out = x + 60;
  auto put = [](int64_t at, std::vector<int64_t> words) { std::copy(words.begin(), words.end(), tkwork_ + at - 1); };
  const int64_t c1 = packed("C1", 8)[0], b1 = kBlank;
  // X: 2 values, 1 column: (7, 0) and (8, 0); types 2, 0; units 22, 0.
  put(x, {7, 0, 8, 0, 2, 0, 22, 0});
  int64_t lx = x, ln = out, nnew = 3, nold = 1, nval = 2, ierr = -7;
  std::vector<int64_t> cols{2};
  tkcpwa_(&lx, &ln, &nnew, &nold, &nval, cols.data(), &ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(std::vector<int64_t>(tkwork_ + out - 1, tkwork_ + out - 1 + 16),
            (std::vector<int64_t>{b1, b1, 7, 0, b1, b1, b1, b1, 8, 0, b1, b1, 2, 0, 22, 0}));
  // Overlapping places and places outside the work area are refused.
  ln = x + 1;
  tkcpwa_(&lx, &ln, &nnew, &nold, &nval, cols.data(), &ierr);
  EXPECT_EQ(ierr, 1);
  ln = TK_WORK_WORDS - 5;
  tkcpwa_(&lx, &ln, &nnew, &nold, &nval, cols.data(), &ierr);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(tkwork_[x], 0);

  // Cross X (2 values, 2 columns) with Y (3 values): Y varies fastest; X's
  // pairs and types win where they are set.
  put(x, {7, 0, b1, b1, 8, 0, b1, b1, /*types*/ 0, 1, /*units*/ 0, 0});
  put(y, {b1, b1, c1, b1, 5, 5, c1, b1, b1, b1, c1, b1, /*types*/ 2, 2, 2, /*units*/ 20, 22, 0});
  int64_t nx = 2, ny = 3, ncol = 2, ly = y;
  lx = x;
  ln = out;
  tkicrs_(&lx, &nx, &ly, &ny, &ncol, &ln, &ierr);
  EXPECT_EQ(ierr, 0);
  auto pair = [&](int64_t v, int64_t i) { return std::make_pair(work_word(out + 4 * (v - 1) + 2 * (i - 1)), work_word(out + 4 * (v - 1) + 2 * (i - 1) + 1)); };
  EXPECT_EQ(pair(1, 1), std::make_pair(int64_t{7}, int64_t{0}));
  EXPECT_EQ(pair(1, 2), std::make_pair(c1, b1));
  EXPECT_EQ(pair(2, 1), std::make_pair(int64_t{7}, int64_t{0}));  // X's pair over Y's (5, 5)
  EXPECT_EQ(pair(4, 1), std::make_pair(int64_t{8}, int64_t{0}));
  const int64_t types = out + 4 * 6;
  EXPECT_EQ(std::vector<int64_t>(tkwork_ + types - 1, tkwork_ + types - 1 + 12),
            (std::vector<int64_t>{2, 2, 2, 1, 1, 1, 20, 22, 0, 20, 22, 0}));
  ln = y + 2;
  tkicrs_(&lx, &nx, &ly, &ny, &ncol, &ln, &ierr);
  EXPECT_EQ(ierr, 1);
  nx = -1;
  ln = out;
  tkicrs_(&lx, &nx, &ly, &ny, &ncol, &ln, &ierr);
  EXPECT_EQ(ierr, 1);
  std::fill(tkwork_ + x - 1, tkwork_ + TK_WORK_WORDS, 0);
}

}  // namespace
