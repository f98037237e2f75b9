// Loading sequences (operation lists, errors, listings) and list evaluation:
// identifier sets, the block operations and the qualifier blocks word by word.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/lookup_calls.hpp"
#include "support/message_capture.hpp"
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
    b.idset("NT", {"TRAY"}, {{{"#3"}}});
    b.idset("S", {"STREAMID"}, {{{"?"}}});
    b.line(" IDSET Q2 (PROPERTIES, SUBSTREAM) (22 MIXED *2 <22>, 23 , CISOLID *1)\n IDSET NTX (NPOINT TRAYNAME) (#2 TOP)");
    b.line(" IDSET NOCLOSE (ITEM) (X1 X2\n IDSET EMPTYQ () (X Y *5)");
    for (auto [name, def] : {std::pair{"LA", "(%A)"}, {"LAXP", "(%A & %P)"}, {"LSH", "(%A %A2)"}, {"LNT", "(%NT)"},
                             {"LNTX", "(%NTX)"}, {"LS", "(%S)"}, {"LAS", "(%A %S)"}, {"LG1", "((%H1 %A) %P)"},
                             {"LBAD", "(%A %NOPE)"}, {"LQ2", "(%Q2 & %A)"}})
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
      // Two sets of one qualifier name share one column.
      {"LSH", {"COMPONENT"}, {{"C1", "C2", "C3"}}, {0, 0, 0}, {0, 0, 0}},
      // Numbered members; the other items of a numbered member apply to
      // every member it stands for.
      {"LNT", {"TRAY"}, {{"       1", "       2", "       3"}}, {0, 0, 0}, {0, 0, 0}},
      {"LNTX", {"NPOINT", "TRAYNAME"}, {{"1", "2"}, {"TOP", "TOP"}}, {0, 0}, {0, 0}},
      // An open-ended set beside other sets has no members of its own.
      {"LAS", {"COMPONENT", "STREAMID"}, {{"C1", "C2"}, {"", ""}}, {0, 0}, {0, 0}},
      // A group head of one member adds no values.
      {"LG1", {"HEAD", "COMPONENT", "PROPERTIES"}, {{"ONLY", "ONLY", "", ""}, {"C1", "C2", "", ""}, {"", "", "22", "23"}},
       {0, 0, 2, 2}, {0, 0, 22, 20}},
      // Members with commas and annotations: for each member of A the two
      // members of Q2.
      {"LQ2", {"PROPERTIES", "SUBSTREAM", "COMPONENT"},
       {{"22", "23", "22", "23"}, {"MIXED", "CISOLID", "MIXED", "CISOLID"}, {"C1", "C1", "C2", "C2"}}, {2, 1, 2, 1},
       {22, 0, 22, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    // The block starts at the free-word pointer, which is left after it.
    const int64_t before = free_pointer();
    Block b = list(c.list);
    EXPECT_EQ(std::pair(b.locq, free_pointer()), std::pair(before, b.end()));
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

TEST_F(ListEvaluation, OpenEndedSet) {
  const int64_t before = free_pointer();
  ListCall c = call_tklist("LS");
  EXPECT_EQ((Words{c.ndata, c.nqual, c.locq}), (Words{-1, 1, before}));
  EXPECT_EQ(work_text(c.locq + 4, 2), "?       ");
  EXPECT_EQ((Words{work_word(c.locq + 6), work_word(c.locq + 7)}), (Words{0, 0}));
  EXPECT_EQ(free_pointer(), c.locq + 8);
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
  EXPECT_EQ(dims("EMPTYQ"), P(0, 2));    // no qualifier names: every value token is a member
  EXPECT_EQ(dims("NOCLOSE2"), P(1, 2));  // the file ends inside the list: what it holds
  // Q2 into arrays sized for NQ x NMEM with one sentinel after each: a third
  // member stays blank, and arrays smaller than the set get nothing beyond.
  Words names, vals, types, units;
  auto iset = [&](int64_t nq, int64_t nmem) {
    const size_t q = static_cast<size_t>(nq), m = static_cast<size_t>(nmem);
    names.assign(4 * q + 1, -1), vals.assign(2 * q * m + 1, -1), types.assign(m + 1, -1), units.assign(m + 1, -1);
    call(tkiset_, Field("Q2", 8), nq, nmem, names, vals, types, units);
    return Words{names.back(), vals.back(), types.back(), units.back()};
  };
  EXPECT_EQ(iset(2, 3), (Words{-1, -1, -1, -1}));
  EXPECT_EQ((Words{vals[0], vals[1], vals[4], vals[8], vals[11]}), (Words{22, 0, 23, kBlank, kBlank}));
  EXPECT_EQ((Words{types[0], types[1], types[2], units[0], units[1], units[2]}), (Words{2, 1, 0, 22, 0, 0}));
  EXPECT_EQ(iset(1, 1), (Words{-1, -1, -1, -1}));
  EXPECT_EQ(vals[0], 22);
  // A C caller without a name array: nothing is written through the null
  // pointer, and the members' types and unit types still come back.
  int64_t nq = 2, nm = 2;
  tkiset_("Q2", &nq, &nm, nullptr, vals.data(), types.data(), units.data(), 2);
  EXPECT_EQ((Words{types[0], units[0]}), (Words{2, 22}));
  // A directory line that does not start the set's definition: empty.
  const int64_t entry = tklocs_[2];
  tkwork_[entry - 1] = 1;  // the header line
  EXPECT_EQ(dims(work_text(entry + 1, 2)), P(0, 0));
}

using Ints = std::vector<int64_t>;

// A file with the identifier sets A, B, C and one loading sequence per
// definition given.
class LoadingSequences : public ::testing::Test {
 protected:
  void load(const std::vector<std::pair<std::string, std::string>>& sequences) {
    SummaryBuilder b;
    b.header();
    b.idset("A", {"COMPONENT"}, {{{"C1"}}, {{"C2"}}});
    b.idset("B", {"PROPERTIES"}, {{{"22"}}, {{"23"}}});
    b.idset("C", {"SUBSTREAM"}, {{{"MIXED"}}});
    b.idset("LONGNAME", {"PHASE"}, {{{"V"}}});
    for (const auto& [name, def] : sequences) {
      lines_[name] = b.line_count() + 1;
      b.lset(name, def);
    }
    loaded_.reset();  // closes its units before the next load opens them
    file_ = std::make_unique<TempSummaryFile>(b.text());
    loaded_ = std::make_unique<LoadedSummary>(file_->string(), "SI", capture_.unit());
    ASSERT_EQ(loaded_->ierr(), 0);
    capture_.attach();
    capture_.take();
  }
  void TearDown() override { tkglob_[9] = 0; }

  MessageCapture capture_;
  std::map<std::string, int64_t> lines_;
  std::unique_ptr<TempSummaryFile> file_;
  std::unique_ptr<LoadedSummary> loaded_;
};

TEST_F(LoadingSequences, NestedAndJoinedTermsGiveTheirOperationLists) {
  // Names count with 8 characters (LONGNAME1 is the set LONGNAME) and each
  // appearance gets its own index; an empty parenthesis is no term, so the
  // loop that joins it wraps nothing; "&" before any term joins the first
  // name to nothing.
  const std::vector<std::tuple<std::string, std::string, Ints, std::vector<std::string>>> cases = {
      {"X1", "(%A)", {11}, {"A"}},
      {"X2", "(%A %B)", {11, 21}, {"A", "B"}},
      {"X3", "(%A & %B)", {24, 11, 25}, {"A", "B"}},
      {"X4", "(%A & %B & %C)", {34, 24, 11, 25, 35}, {"A", "B", "C"}},
      {"X5", "((%A %B) %C)", {16, 21, 17, 31}, {"A", "B", "C"}},
      {"X6", "((%A %B) & %C)", {34, 11, 21, 35}, {"A", "B", "C"}},
      {"X7", "(%A & (%B %C))", {16, 21, 31, 17}, {"A", "B", "C"}},
      {"TWICE", "(%LONGNAME1 & %LONGNAME2)", {24, 11, 25}, {"LONGNAME", "LONGNAME"}},
      {"EMPTYPAR", "(%A () & %B)", {11, 24, 25}, {"A", "B"}},
      {"ANDFIRST", "(& %A)", {14, 15}, {"A"}},
  };
  std::vector<std::pair<std::string, std::string>> defs;
  for (const auto& [name, def, ops, ids] : cases) defs.emplace_back(name, def);
  load(defs);
  for (const auto& [name, def, ops, ids] : cases) {
    LsetCall c = call_tklset(name);
    EXPECT_EQ(std::tuple(c.ierr, c.nids, c.ops, c.ids), std::tuple(int64_t{0}, static_cast<int64_t>(ids.size()), ops, ids))
        << def;
  }
  EXPECT_EQ(capture_.take(), "");
}

TEST_F(LoadingSequences, ErrorsGiveTheirCodesAndMessages) {
  std::string long_def = "(";
  for (int i = 0; i < 1100; ++i) long_def += "%A ";
  load({{"BADSET", "(%A %NOPE)"}, {"TWOAND", "(%A & & %B)"}, {"NOPCT", "(%A B)"}, {"GOOD", "(%A)"},
        {"LONG", long_def + ")"}});

  LsetCall c = call_tklset("MISSING");
  EXPECT_EQ((Ints{c.ierr, c.nids, c.nops}), (Ints{1, -7, -7}));  // the counts are not set
  EXPECT_EQ(capture_.take(), "\n UNKNOWN LSET ID OF MISSING  (TKLSET)\n");
  // The unknown name is counted before the check.
  c = call_tklset("BADSET");
  EXPECT_EQ((Ints{c.ierr, c.nids}), (Ints{3, 2}));
  EXPECT_EQ(c.ops, (Ints{11}));
  char line[8];
  std::snprintf(line, sizeof line, "%6lld", static_cast<long long>(lines_.at("BADSET")));
  EXPECT_EQ(capture_.take(), std::string("\nLSET BADSET   ERROR - UNKNOWN IDSET NOPE     LSET STARTED ON LINE") +
                                 line + " (TKLSET)\n");
  EXPECT_EQ(call_tklset("TWOAND").ierr, 4);
  EXPECT_EQ(capture_.take(), "\n LSET TWOAND   ERROR - REPEATED & OPERATOR (TKLSET)\n");
  EXPECT_EQ(call_tklset("NOPCT").ierr, 7);
  EXPECT_EQ(capture_.take(), "\n LSET NOPCT    ERROR - UNEXPECTED TOKEN B        (TKLSET)\n");
  // A definition longer than the token limit ends with what was built:
  // "(" and 999 names make 1000 tokens.
  c = call_tklset("LONG");
  EXPECT_EQ((Ints{c.ierr, c.nids, c.nops, c.ops.back()}), (Ints{0, 999, 999, 9991}));
}

TEST_F(LoadingSequences, DirectoryLineThatStartsSomethingElse) {
  load({{"GOOD", "(%A)"}});
  // Point the directory entry of GOOD at the header line.
  ASSERT_EQ(tklocs_[5], 1);
  const int64_t entry = tklocs_[4];
  const int64_t real_line = work_word(entry);
  tkwork_[entry - 1] = 1;
  LsetCall c = call_tklset("GOOD");
  EXPECT_EQ((Ints{c.ierr, c.nids}), (Ints{2, -7}));
  EXPECT_EQ(capture_.take(),
            "\n EXPECT TO FIND LSET GOOD     ON LINE     1 BUT FOUND IWPSUMMA (TKLSET)\n");
  tkwork_[entry - 1] = real_line;
  EXPECT_EQ(call_tklset("GOOD").ierr, 0);
}

TEST_F(LoadingSequences, ListingOfGroupsAndLongLoopLines) {
  std::string def = "(%A";
  for (int i = 0; i < 7; ++i) def += " & %B";
  def += ")";
  load({{"GROUPS", "(%A & (%B %C))"}, {"DEEP", def}});
  tkglob_[9] = 6;  // one below the listing level
  EXPECT_EQ(call_tklset("GROUPS").ierr, 0);
  EXPECT_EQ(capture_.take(), "");
  tkglob_[9] = 7;
  EXPECT_EQ(call_tklset("GROUPS").ierr, 0);
  // Codes 6 and 7 repeat the text of the line before; a group is no loop.
  EXPECT_EQ(capture_.take(),
            "\n DATA LOADING SEQUENCE FOR LSET GROUPS  \n    IDSET     OPERATION\n    A                         \n"
            "    B         LOAD            \n    C         LOAD            \n    A         LOAD            \n"
            "\n DATA AND QUALIFIER LIST\n   *B\n   *C\n");
  EXPECT_EQ(call_tklset("DEEP").ierr, 0);
  const std::string out = capture_.take();
  // Seven open loops make a line of 74 characters: broken after column 70
  // and continued after 13 blanks.
  std::string whole = "   *A        ";
  for (int i = 0; i < 7; ++i) whole += "B         ";
  whole.erase(whole.find_last_not_of(' ') + 1);
  ASSERT_EQ(whole.size(), 74u);
  const std::string broken = whole.substr(0, 70) + "\n" + std::string(13, ' ') + whole.substr(70);
  EXPECT_NE(out.find("\n" + broken + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\n    B         BEG OUTSIDE_LOOP\n    A         LOAD            \n    B         END OUTSIDE_LOOP\n"),
            std::string::npos) << out;
}

}  // namespace
