// Loading sequences: the operation lists of nested and joined terms, the
// error codes with their messages, and the listing.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/lookup_calls.hpp"
#include "support/message_capture.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace {

using namespace flowsum::testing;
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
      b.lset(name, def);
      lines_[name] = b.last_record_line();
    }
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
  load({{"X1", "(%A)"},
        {"X2", "(%A %B)"},
        {"X3", "(%A & %B)"},
        {"X4", "(%A & %B & %C)"},
        {"X5", "((%A %B) %C)"},
        {"X6", "((%A %B) & %C)"},
        {"X7", "(%A & (%B %C))"}});
  const std::map<std::string, Ints> expected{
      {"X1", {11}},         {"X2", {11, 21}},         {"X3", {24, 11, 25}},
      {"X4", {34, 24, 11, 25, 35}}, {"X5", {16, 21, 17, 31}}, {"X6", {34, 11, 21, 35}},
      {"X7", {16, 21, 31, 17}}};
  for (const auto& [name, ops] : expected) {
    LsetCall c = call_tklset(name);
    EXPECT_EQ(c.ierr, 0) << name;
    EXPECT_EQ(c.ops, ops) << name;
    EXPECT_EQ(c.nids, name == "X1" ? 1 : name < "X4" ? 2 : 3) << name;
  }
  // The identifier list holds the names in order of appearance.
  EXPECT_EQ(call_tklset("X7").ids, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(capture_.take(), "");
}

TEST_F(LoadingSequences, SameSetTwiceAndEightCharacterNames) {
  // Names count with 8 characters: both refer to the set LONGNAME, and each
  // appearance gets its own index.
  load({{"TWICE", "(%LONGNAME1 & %LONGNAME2)"}, {"EMPTYPAR", "(%A () & %B)"}, {"ANDFIRST", "(& %A)"}});
  LsetCall c = call_tklset("TWICE");
  EXPECT_EQ(c.ierr, 0);
  EXPECT_EQ(c.ids, (std::vector<std::string>{"LONGNAME", "LONGNAME"}));
  EXPECT_EQ(c.ops, (Ints{24, 11, 25}));
  // An empty parenthesis is no term: the loop that joins it wraps nothing.
  // "&" before any term joins the first name to nothing.
  for (auto [name, ops] : {std::pair<const char*, Ints>{"EMPTYPAR", {11, 24, 25}}, {"ANDFIRST", {14, 15}}}) {
    c = call_tklset(name);
    EXPECT_EQ(c.ierr, 0) << name;
    EXPECT_EQ(c.ops, ops) << name;
  }
}

TEST_F(LoadingSequences, ErrorsGiveTheirCodesAndMessages) {
  load({{"BADSET", "(%A %NOPE)"}, {"TWOAND", "(%A & & %B)"}, {"NOPCT", "(%A B)"}, {"GOOD", "(%A)"}});

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

  // No messages without a message unit; the codes stay.
  tkglob_[11] = 0;
  EXPECT_EQ(call_tklset("TWOAND").ierr, 4);
  capture_.attach();
  EXPECT_EQ(capture_.take(), "");
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

TEST_F(LoadingSequences, DefinitionLongerThanTheTokenLimitEndsWithWhatWasBuilt) {
  std::string def = "(";
  for (int i = 0; i < 1100; ++i) def += "%A ";
  def += ")";
  load({{"LONG", def}});
  LsetCall c = call_tklset("LONG");
  // "(" and 999 names make 1000 tokens.
  EXPECT_EQ((Ints{c.ierr, c.nids, c.nops, c.ops.back()}), (Ints{0, 999, 999, 9991}));
}

TEST_F(LoadingSequences, ListingAtPrintLevelSeven) {
  load({{"LOOPS", "((%A %B) & %C & %LONGNAME)"}});
  tkglob_[9] = 6;  // one below the listing level
  EXPECT_EQ(call_tklset("LOOPS").ierr, 0);
  EXPECT_EQ(capture_.take(), "");
  tkglob_[9] = 7;
  EXPECT_EQ(call_tklset("LOOPS").ops, (Ints{44, 34, 11, 21, 35, 45}));
  EXPECT_EQ(capture_.take(),
            "\n"
            " DATA LOADING SEQUENCE FOR LSET LOOPS   \n"
            "    IDSET     OPERATION\n"
            "    LONGNAME  BEG OUTSIDE_LOOP\n"
            "    C         BEG OUTSIDE_LOOP\n"
            "    A         LOAD            \n"
            "    B         LOAD            \n"
            "    C         END OUTSIDE_LOOP\n"
            "    LONGNAME  END OUTSIDE_LOOP\n"
            "\n"
            " DATA AND QUALIFIER LIST\n"
            "   *A        C         LONGNAME\n"
            "   *B        C         LONGNAME\n");
}

TEST_F(LoadingSequences, ListingOfGroupsAndLongLoopLines) {
  std::string def = "(%A";
  for (int i = 0; i < 7; ++i) def += " & %B";
  def += ")";
  load({{"GROUPS", "(%A & (%B %C))"}, {"DEEP", def}});
  tkglob_[9] = 7;
  EXPECT_EQ(call_tklset("GROUPS").ierr, 0);
  // Codes 6 and 7 repeat the text of the line before; a group is no loop.
  EXPECT_EQ(capture_.take(),
            "\n"
            " DATA LOADING SEQUENCE FOR LSET GROUPS  \n"
            "    IDSET     OPERATION\n"
            "    A                         \n"
            "    B         LOAD            \n"
            "    C         LOAD            \n"
            "    A         LOAD            \n"
            "\n"
            " DATA AND QUALIFIER LIST\n"
            "   *B\n"
            "   *C\n");
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
}

}  // namespace
