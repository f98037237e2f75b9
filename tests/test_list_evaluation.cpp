// List evaluation: identifier sets read from their definitions, the count
// of an operation list, the block operations, and the qualifier blocks of
// loading sequences checked word by word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/lookup_calls.hpp"
#include "support/summary_builder.hpp"
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
  // Column i of every value: a number pair (n, 0) as "n", any other pair as
  // its text with the trailing blanks cut.
  Texts column(int64_t i) const {
    Texts out;
    for (int64_t j = 1; j <= nd; ++j)
      out.push_back(work_word(pair_at(i, j) + 1) == 0 ? std::to_string(work_word(pair_at(i, j)))
                                                      : trim(work_text(pair_at(i, j), 2)));
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
    b.idset_text("EMPTYQ", "() (X Y *5)");
    for (auto [name, def] : {std::pair{"LA", "(%A)"}, {"LAP", "(%A %P)"}, {"LAXP", "(%A & %P)"}, {"LSH", "(%A %A2)"},
                             {"LNP", "(%NP)"}, {"LNT", "(%NT)"}, {"LNTX", "(%NTX)"}, {"LS", "(%S)"},
                             {"LAS", "(%A %S)"}, {"LG1", "((%H1 %A) %P)"}, {"LG2", "((%H2 %A) %P)"},
                             {"LLOOPG", "(%H2 & (%A %P))"}, {"LBAD", "(%A %NOPE)"}, {"LQ2", "(%Q2 & %A)"}})
      b.lset(name, def);
    b.dset({"DS", "LA"}, "LA", {Value::word("V1"), Value::word("V2")});
    b.line(" IDSET NOCLOSE2 (ITEM) (X1 X2");  // the file ends inside the member list
    write_file(b.text());
  }
  Block list(const std::string& id) {
    ListCall c = call_tklist(id);
    return {c.nqual, c.ndata, c.locq};
  }
};

// Every list's block: the qualifier names, each column of values, the types
// and unit types.
TEST_F(ListEvaluation, ColumnsTypesAndUnitTypesOfEveryList) {
  struct Case {
    const char* list;
    Texts names;
    std::vector<Texts> columns;
    Words types, units;
  } cases[] = {
      // Sets one after another keep their own columns.
      {"LAP", {"COMPONENT", "PROPERTIES"}, {{"C1", "C2", "", ""}, {"", "", "22", "23"}}, {0, 0, 2, 2}, {0, 0, 22, 20}},
      // Two sets of one qualifier name share one column.
      {"LSH", {"COMPONENT"}, {{"C1", "C2", "C3"}}, {0, 0, 0}, {0, 0, 0}},
      // An outside loop repeats the enclosed set for every member; the loop
      // member's type and unit type win where they are not 0.
      {"LAXP", {"COMPONENT", "PROPERTIES"}, {{"C1", "C2", "C1", "C2"}, {"22", "22", "23", "23"}}, {2, 2, 2, 2},
       {22, 22, 20, 20}},
      // Numbered members; the other items of a numbered member apply to
      // every member it stands for.
      {"LNP", {"NPOINT"}, {{"1", "2", "3"}}, {0, 0, 0}, {0, 0, 0}},
      {"LNT", {"TRAY"}, {{"       1", "       2", "       3"}}, {0, 0, 0}, {0, 0, 0}},
      {"LNTX", {"NPOINT", "TRAYNAME"}, {{"1", "2"}, {"TOP", "TOP"}}, {0, 0}, {0, 0}},
      // An open-ended set beside other sets has no members of its own.
      {"LAS", {"COMPONENT", "STREAMID"}, {{"C1", "C2"}, {"", ""}}, {0, 0}, {0, 0}},
      // Group heads vary fastest: a one-member head adds no values, a head
      // of two doubles the group.
      {"LG1", {"HEAD", "COMPONENT", "PROPERTIES"}, {{"ONLY", "ONLY", "", ""}, {"C1", "C2", "", ""}, {"", "", "22", "23"}},
       {0, 0, 2, 2}, {0, 0, 22, 20}},
      {"LG2", {"HEAD", "COMPONENT", "PROPERTIES"},
       {{"H_A", "H_B", "H_A", "H_B", "", ""}, {"C1", "C1", "C2", "C2", "", ""}, {"", "", "", "", "22", "23"}},
       {0, 0, 0, 0, 2, 2}, {0, 0, 0, 0, 22, 20}},
      // "H2 & (A P)" makes H2 the head of a group of A and P: every value of
      // A and P once per member of H2.
      {"LLOOPG", {"HEAD", "COMPONENT", "PROPERTIES"},
       {{"H_A", "H_B", "H_A", "H_B", "H_A", "H_B", "H_A", "H_B"},
        {"C1", "C1", "C2", "C2", "", "", "", ""},
        {"", "", "", "", "22", "22", "23", "23"}},
       {0, 0, 0, 0, 2, 2, 2, 2}, {0, 0, 0, 0, 22, 22, 20, 20}},
      // Members with commas and annotations: for each member of A the two
      // members of Q2.
      {"LQ2", {"PROPERTIES", "SUBSTREAM", "COMPONENT"},
       {{"22", "23", "22", "23"}, {"MIXED", "CISOLID", "MIXED", "CISOLID"}, {"C1", "C1", "C2", "C2"}}, {2, 1, 2, 1},
       {22, 0, 22, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    Block b = list(c.list);
    ASSERT_EQ(b.nq, static_cast<int64_t>(c.names.size()));
    ASSERT_EQ(b.nd, static_cast<int64_t>(c.types.size()));
    for (int64_t i = 1; i <= b.nq; ++i) {
      EXPECT_EQ(b.name(i), pad(c.names[static_cast<size_t>(i - 1)], 16));
      EXPECT_EQ(b.column(i), c.columns[static_cast<size_t>(i - 1)]) << "column " << i;
    }
    EXPECT_EQ(b.types(), c.types);
    EXPECT_EQ(b.unit_types(), c.units);
  }
}

TEST_F(ListEvaluation, SetsOneAfterAnotherKeepTheirOwnColumns) {
  // The block starts at the free-word pointer, which is left after it; a
  // value a set does not give is a pair of blank words.
  const int64_t before = free_pointer();
  Block b = list("LAP");
  EXPECT_EQ(std::pair(b.locq, free_pointer()), std::pair(before, b.end()));
  EXPECT_EQ(std::pair(work_word(b.pair_at(2, 1)), work_word(b.pair_at(2, 1) + 1)), std::pair(kBlank, kBlank));
}

TEST_F(ListEvaluation, OpenEndedSet) {
  const int64_t before = free_pointer();
  ListCall c = call_tklist("LS");
  EXPECT_EQ((Words{c.ndata, c.nqual, c.locq}), (Words{-1, 1, before}));
  EXPECT_EQ(work_text(c.locq + 4, 2), "?       ");
  EXPECT_EQ((Words{work_word(c.locq + 6), work_word(c.locq + 7)}), (Words{0, 0}));
  EXPECT_EQ(free_pointer(), c.locq + 8);
}

TEST_F(ListEvaluation, NoValuesWhenTheSequenceCannotBeCompiledOrDoesNotFit) {
  const int64_t before = free_pointer();
  ListCall c = call_tklist("LBAD");
  EXPECT_EQ(std::pair(c.ndata, c.nqual), std::pair(int64_t{0}, int64_t{0}));
  EXPECT_EQ(call_tklist("NOSUCH").ndata, 0);
  EXPECT_EQ(free_pointer(), before);
  // A work area with 100 free words left: nothing is built.
  tklocs_[24] = TK_WORK_WORDS - 100;
  Words top(tkwork_ + TK_WORK_WORDS - 101, tkwork_ + TK_WORK_WORDS);
  EXPECT_EQ(call_tklist("LAXP").ndata, 0);
  EXPECT_EQ(free_pointer(), TK_WORK_WORDS - 100);
  EXPECT_EQ(Words(tkwork_ + TK_WORK_WORDS - 101, tkwork_ + TK_WORK_WORDS), top);
  tklocs_[24] = before;
}

TEST_F(ListEvaluation, WorkStartsAfterTheRememberedDataSet) {
  DsetCall d = call_tkdset({"DS", "LA"});
  ASSERT_EQ(d.ndata, 2);
  const int64_t after = tkretn_.iret[9];
  EXPECT_GT(after, d.locd);
  Block b = list("LAXP");
  EXPECT_EQ(std::pair(b.locq, b.nd), std::pair(after, int64_t{4}));
  // The data set's blocks are intact.
  EXPECT_EQ(work_text(d.locq + 4, 2) + work_text(d.locd + 2, 2), "C1      V1      ");
}

// The identifier-set routines over the same file.
class IdentifierSets : public ListEvaluation {};

TEST_F(IdentifierSets, DimensionsAndLoading) {
  using P = std::pair<int64_t, int64_t>;
  auto dims = [](std::string_view name) {
    int64_t nq = -7, nmem = -7;
    call(tkidim_, Field(name, 8), nq, nmem);
    return P(nq, nmem);
  };
  EXPECT_EQ(dims("Q2"), P(2, 2));
  EXPECT_EQ(dims("S"), P(1, -1));
  EXPECT_EQ(dims("NOPE"), P(0, 0));
  EXPECT_EQ(dims("EMPTYQ"), P(0, 2));  // no qualifier names: every value token is a member
  EXPECT_EQ(dims("NOCLOSE2"), P(1, 2));  // the file ends inside the list: what it holds
  // Q2 loaded into arrays sized for NQ x NMEM, each with one sentinel after.
  struct Arrays {
    Words names, vals, types, units;
  };
  auto iset = [](std::string_view name, int64_t nq, int64_t nmem) {
    const size_t q = static_cast<size_t>(nq), m = static_cast<size_t>(nmem);
    Arrays a{Words(4 * q + 1, -1), Words(2 * q * m + 1, -1), Words(m + 1, -1), Words(m + 1, -1)};
    call(tkiset_, Field(name, 8), nq, nmem, a.names, a.vals, a.types, a.units);
    return a;
  };
  // Sized for three members: the third stays blank, nothing past the arrays.
  Arrays a = iset("Q2", 2, 3);
  EXPECT_EQ((Words{a.vals[0], a.vals[1], a.vals[4], a.vals[8], a.vals[11]}), (Words{22, 0, 23, kBlank, kBlank}));
  EXPECT_EQ((Words{a.types[0], a.types[1], a.types[2], a.units[0], a.units[1], a.units[2]}),
            (Words{2, 1, 0, 22, 0, 0}));
  EXPECT_EQ((Words{a.names[8], a.vals[12], a.types[3], a.units[3]}), (Words{-1, -1, -1, -1}));
  // Sized smaller than the file: one qualifier, one member; nothing beyond.
  a = iset("Q2", 1, 1);
  EXPECT_EQ(a.vals[0], 22);
  EXPECT_EQ((Words{a.names[4], a.vals[2], a.types[1], a.units[1]}), (Words{-1, -1, -1, -1}));
  // A C caller without a name array: nothing is written through the null
  // pointer, and the members' types and unit types still come back.
  int64_t nq = 2, nm = 2;
  tkiset_("Q2", &nq, &nm, nullptr, a.vals.data(), a.types.data(), a.units.data(), 2);
  EXPECT_EQ((Words{a.types[0], a.units[0]}), (Words{2, 22}));
  // The template of an open-ended set; blanks and zeros for an unknown one.
  Words tmpl(9, -1);
  call(tkivec_, Field("S", 8), tmpl);
  EXPECT_EQ(std::pair(tmpl[6], tmpl[8]), std::pair(int64_t{0}, int64_t{-1}));
  call(tkivec_, Field("NOPE", 8), tmpl);
  EXPECT_EQ((Words{tmpl[0], tmpl[5], tmpl[6], tmpl[7]}), (Words{kBlank, kBlank, 0, 0}));
  // A directory line that does not start the set's definition: empty.
  const int64_t entry = tklocs_[2];
  ASSERT_GE(tklocs_[3], 1);
  tkwork_[entry - 1] = 1;  // the header line
  EXPECT_EQ(dims(work_text(entry + 1, 2)), P(0, 0));
}

TEST(ValueCount, CountsLoopsAndGroups) {
  using P = std::pair<int64_t, int64_t>;
  auto count = [](Words ops, Words dims, int64_t free = TK_WORK_WORDS - 100) {
    int64_t nops = static_cast<int64_t>(ops.size()), nids = static_cast<int64_t>(dims.size() / 2);
    int64_t ndata = -7, width = -7;
    tkloop_(&nops, ops.data(), &nids, dims.data(), &free, &ndata, &width);
    return P(ndata, width);
  };
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
  auto put = [](int64_t at, Words words) { std::copy(words.begin(), words.end(), tkwork_ + at - 1); };
  auto words = [](int64_t at, size_t n) { return Words(tkwork_ + at - 1, tkwork_ + at - 1 + n); };
  const int64_t c1 = packed("C1", 8)[0], b1 = kBlank;
  // X: 2 values, 1 column: (7, 0) and (8, 0); types 2, 0; units 22, 0.
  put(x, {7, 0, 8, 0, 2, 0, 22, 0});
  int64_t lx = x, ln = out, nnew = 3, nold = 1, nval = 2, ierr = -7;
  Words cols{2};
  auto widen = [&](int64_t to) {
    ln = to;
    tkcpwa_(&lx, &ln, &nnew, &nold, &nval, cols.data(), &ierr);
    return ierr;
  };
  EXPECT_EQ(widen(out), 0);
  EXPECT_EQ(words(out, 16), (Words{b1, b1, 7, 0, b1, b1, b1, b1, 8, 0, b1, b1, 2, 0, 22, 0}));
  // Overlapping places and places outside the work area are refused.
  EXPECT_EQ(widen(x + 1), 1);
  EXPECT_EQ(widen(TK_WORK_WORDS - 5), 1);
  EXPECT_EQ(tkwork_[x], 0);
  // Cross X (2 values, 2 columns) with Y (3 values): Y varies fastest; X's
  // pairs and types win where they are set.
  put(x, {7, 0, b1, b1, 8, 0, b1, b1, /*types*/ 0, 1, /*units*/ 0, 0});
  put(y, {b1, b1, c1, b1, 5, 5, c1, b1, b1, b1, c1, b1, /*types*/ 2, 2, 2, /*units*/ 20, 22, 0});
  int64_t nx = 2, ny = 3, ncol = 2, ly = y;
  auto cross = [&](int64_t to) {
    ln = to;
    tkicrs_(&lx, &nx, &ly, &ny, &ncol, &ln, &ierr);
    return ierr;
  };
  EXPECT_EQ(cross(out), 0);
  // Values 1, 2 and 4: X's pair over Y's (5, 5) in value 2.
  EXPECT_EQ(words(out, 8), (Words{7, 0, c1, b1, 7, 0, c1, b1}));
  EXPECT_EQ(words(out + 12, 2), (Words{8, 0}));
  EXPECT_EQ(words(out + 4 * 6, 12), (Words{2, 2, 2, 1, 1, 1, 20, 22, 0, 20, 22, 0}));
  EXPECT_EQ(cross(y + 2), 1);
  nx = -1;
  EXPECT_EQ(cross(out), 1);
  std::fill(tkwork_ + x - 1, tkwork_ + TK_WORK_WORDS, 0);
}

}  // namespace
