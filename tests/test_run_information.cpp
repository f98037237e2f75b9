// Run information beyond the round trip: fallback paths, what is kept when
// the file holds nothing, flag clamping and the completions that end early.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/flowsheet_records.hpp"
#include "support/lookup_calls.hpp"
#include "support/object_records.hpp"
#include "support/run_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Flags = std::array<int64_t, 7>;

// A file whose body the test writes, loaded (unit set SI) while it lives.
struct RunFile : LoadedText {
  explicit RunFile(const std::function<void(FlowsheetWriter&)>& body) : LoadedText(build(body)) {}
  static SummaryBuilder build(const std::function<void(FlowsheetWriter&)>& body) {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    body(w);
    return b;
  }
};

std::string title(size_t width = 64) {
  Field t(width);
  call(tktitl_, t);
  return t.text();
}

// The four account texts run together, and the flag.
std::pair<std::string, int64_t> account() {
  Field f222(8), f347(8), f355(32), f348(20);
  int64_t ierr = -7;
  call(tkacct_, f222, f347, f355, f348, ierr);
  return {f222.text() + f347.text() + f355.text() + f348.text(), ierr};
}

struct Info {
  Field version{20}, runid{8}, s1{80}, s2{80};
  int64_t completion = -7;
  Flags flags{-7, -7, -7, -7, -7, -7, -7};
  int64_t nblk = -7, nstr = -7, nppt = -7, ninfo = -7;
};
Info info() {
  Info i;
  call(tkinfo_, i.version, i.runid, i.s1, i.s2, i.completion, i.flags, i.nblk, i.nstr, i.nppt, i.ninfo);
  return i;
}

// TKALIS or TKCASN into arrays of n entries prefilled with '#': names, flag.
std::pair<std::string, int64_t> named(bool cases, size_t n) {
  Field names(8, n);
  int64_t ierr = -7;
  call(cases ? tkcasn_ : tkalis_, int64_t{0}, names, Field(12, n), ierr);
  return {names.text(), ierr};
}

TEST(RunInformation, TitleFallbackCutMissingAndCaseNamesUnderTheirOwnSequence) {
  const std::string long_title(75, 'T');
  {
    RunFile f([&](FlowsheetWriter& w) {
      item_dataset(w, {"TITLE", "TITLE"}, "TITLE", "ITEM", {Item::long_text("TITLE", long_title)});
      // Case names are read only under their own loading sequence "CASN".
      item_dataset(w, {"CASN", "CASN"}, "CASEX", "CASE", {Item::long_text("BASE", "BASE CASE")});
    });
    ASSERT_EQ(f.ierr(), 0);
    EXPECT_EQ(title(10), std::string(10, 'T'));
    EXPECT_EQ(title(90), std::string(75, 'T') + std::string(15, ' '));
    int64_t n = -7;
    tkncsn_(&n);
    EXPECT_EQ(std::pair(n, named(true, 1).second), std::pair(int64_t{0}, int64_t{1}));
  }
  {
    // The first path wins when both exist.
    RunFile f([&](FlowsheetWriter& w) {
      item_dataset(w, {"TITLE", "TITLE"}, "TITLE", "ITEM", {Item::long_text("TITLE", "FALLBACK")});
      w.builder().dset({"RUN-STATUS", "TITLE"}, "TITLE", {Value::text("FIRST")});
    });
    EXPECT_EQ(title(), pad("FIRST", 64));
  }
  {
    RunFile f([&](FlowsheetWriter& w) { w.components({"WATER"}); });
    ASSERT_EQ(f.ierr(), 0);
    EXPECT_EQ(title(), std::string(64, ' '));
    EXPECT_EQ(account(), std::pair(std::string(68, ' '), int64_t{1}));
    Info i = info();
    EXPECT_EQ(i.version.text() + i.runid.text() + i.s1.text() + i.s2.text(), std::string(188, ' '));
    EXPECT_EQ(i.completion, 0);
    EXPECT_EQ(i.flags, (Flags{2, 2, 2, 2, 2, 2, -7}));
    EXPECT_EQ(named(false, 2), std::pair(std::string(16, '#'), int64_t{1}));  // untouched
    EXPECT_EQ(named(true, 1).second, 1);
  }
}

// A completion below -4 ends before the flags and counts; flags are clamped.
TEST(RunInformation, CompletionFlagsCountsAndRunIdentifierFallbacks) {
  for (int64_t code : {5, 4}) {
    SCOPED_TRACE(code);
    RunInfo run;
    run.completion = code;
    run.status_text1 = "RUN FAILED";
    run.flags = {0, 1, 3, 0, -1, 7};  // above 2 read as 2, below 0 as they are
    RunFile f([&](FlowsheetWriter& w) { w.run_status(run); });
    ASSERT_EQ(f.ierr(), 0);
    // Object counts the load would give, in the words the counts come from.
    const std::array<int64_t, 3> saved{tkglob_[3], tkglob_[4], tkglob_[5]}, counts{4, 8, 1};
    std::copy(counts.begin(), counts.end(), tkglob_ + 3);
    Info i = info();
    std::copy(saved.begin(), saved.end(), tkglob_ + 3);
    EXPECT_EQ(i.completion, -code);
    EXPECT_EQ(i.version.text() + i.runid.text() + i.s1.text(), pad("12.1", 20) + "RUN1    " + pad("RUN FAILED", 80));
    const bool ended = code == 5;
    EXPECT_EQ(i.flags, ended ? (Flags{2, 2, 2, 2, 2, 2, -7}) : (Flags{0, 1, 2, 0, -1, 2, -7}));
    EXPECT_EQ((std::vector<int64_t>{i.nblk, i.nstr, i.nppt, i.ninfo}),
              ended ? (std::vector<int64_t>{0, 0, 0, 0}) : (std::vector<int64_t>{4, 8, 1, 0}));
  }
  // Flags and the run identifier from their fallback data sets.
  RunFile f([&](FlowsheetWriter& w) {
    item_dataset(w, {"RUN-STATUS", "STATUS"}, "STAT3", "ITEM",
                 {Item::integer("1", 0), Item::integer("2", 1), Item::integer("3", 3)});
    item_dataset(w, {"RUNID"}, "RUNID", "ITEM", {Item::text8("RUNID", "ALONE")});
    item_dataset(w, {"RUN-STATUS", "ACCOUNT"}, "ACCOUNT", "PROPERTIES",
                 {Item::text8("222", "ENGINEER"), Item::text8("999", "IGNORED"), Item::text8("222", "LATER")});
  });
  ASSERT_EQ(f.ierr(), 0);
  // An account of one code: a later value of the code wins, the rest blank.
  EXPECT_EQ(account(), std::pair("LATER   " + std::string(60, ' '), int64_t{0}));
  Info i = info();
  EXPECT_EQ(i.flags, (Flags{0, 1, 2, 2, 2, 2, -7}));
  EXPECT_EQ(i.runid.text() + i.version.text(), "ALONE   " + std::string(20, ' '));

  // "OLDSTAT" is read before "STATUS"; at most six flags are written.
  RunFile g([&](FlowsheetWriter& w) {
    item_dataset(w, {"RUN-STATUS", "STATUS"}, "STAT1", "ITEM", {Item::integer("1", 1)});
    std::vector<Item> seven;
    for (int k = 1; k <= 7; ++k) seven.push_back(Item::integer(std::to_string(k), k == 7 ? 0 : 1));
    item_dataset(w, {"RUN-STATUS", "OLDSTAT"}, "STAT7", "ITEM", seven);
  });
  ASSERT_EQ(g.ierr(), 0);
  EXPECT_EQ(info().flags, (Flags{1, 1, 1, 1, 1, 1, -7}));
}

}  // namespace
