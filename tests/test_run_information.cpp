// Run information beyond what the round trip reads back: fallback paths,
// the initial values kept for what the file does not hold, flag clamping,
// the completion codes that end early, and the case-name sequence rule.
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
  std::string t(width + 4, '#');
  tktitl_(t.data(), width);
  EXPECT_EQ(t.substr(width), "####");  // nothing written past the field
  return t.substr(0, width);
}

struct Account {
  std::string f222, f347, f355, f348;
  int64_t ierr = -7;
};
Account account(const std::string& fill = "") {
  Account a{pad(fill, 8), pad(fill, 8), pad(fill, 32), pad(fill, 20)};
  tkacct_(a.f222.data(), a.f347.data(), a.f355.data(), a.f348.data(), &a.ierr, 8, 8, 32, 20);
  return a;
}

struct Info {
  std::string version = std::string(20, 'x'), runid = std::string(8, 'x'), s1 = std::string(80, 'x'),
              s2 = std::string(80, 'x');
  int64_t completion = -7;
  Flags flags{-7, -7, -7, -7, -7, -7, -7};
  int64_t nblk = -7, nstr = -7, nppt = -7, ninfo = -7;
};
Info info() {
  Info i;
  tkinfo_(i.version.data(), i.runid.data(), i.s1.data(), i.s2.data(), &i.completion, i.flags.data(), &i.nblk,
          &i.nstr, &i.nppt, &i.ninfo, 20, 8, 80, 80);
  return i;
}

struct Named {
  std::string names;
  int64_t ierr = -7;
};
// TKALIS or TKCASN into arrays of n entries prefilled with '#'.
Named named(bool cases, size_t n) {
  Named r{std::string(8 * n, '#')};
  std::string texts(12 * n, '#');
  int64_t unused = 0;
  (cases ? tkcasn_ : tkalis_)(&unused, r.names.data(), texts.data(), &r.ierr, 8, 12);
  return r;
}

// Flags above 2 read as 2; a long account text fills the shorter field.
TEST(RunInformation, FlagsAreClampedAndLongTextsCut) {
  RunInfo run;
  run.flags = {0, 1, 3, 0, -1, 7};
  AccountInfo acc{"ENGINEER", "DEMO-01", "A PROJECT DESCRIPTION OF MORE THAN THIRTY-TWO CHARACTERS", "PROCESS GROUP"};
  RunFile f([&](FlowsheetWriter& w) {
    w.run_status(run);
    w.account(acc);
  });
  ASSERT_EQ(f.ierr(), 0);
  const int64_t free = free_pointer();
  EXPECT_EQ(account("#").f355, "A PROJECT DESCRIPTION OF MORE TH");
  EXPECT_EQ(info().flags, (Flags{0, 1, 2, 0, -1, 2, -7}));
  EXPECT_EQ(free_pointer(), free);
}

TEST(RunInformation, TitleFallbackCutAndMissing) {
  const std::string long_title(75, 'T');
  {
    RunFile f([&](FlowsheetWriter& w) {
      item_dataset(w, {"TITLE", "TITLE"}, "TITLE", "ITEM", {Item::long_text("TITLE", long_title)});
    });
    ASSERT_EQ(f.ierr(), 0);
    EXPECT_EQ(title(10), std::string(10, 'T'));
    EXPECT_EQ(title(90), std::string(75, 'T') + std::string(15, ' '));
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
    Account a = account("#");
    EXPECT_EQ(a.ierr, 1);
    EXPECT_EQ(a.f222 + a.f347 + a.f355 + a.f348, std::string(68, ' '));
    Info i = info();
    EXPECT_EQ(i.version + i.runid + i.s1 + i.s2, std::string(188, ' '));
    EXPECT_EQ(i.completion, 0);
    EXPECT_EQ(i.flags, (Flags{2, 2, 2, 2, 2, 2, -7}));
  }
}

TEST(RunInformation, CompletionBelowMinusFourEndsBeforeFlagsAndCounts) {
  for (int64_t code : {5, 4}) {
    SCOPED_TRACE(code);
    RunInfo run;
    run.completion = code;
    run.status_text1 = "RUN FAILED";
    RunFile f([&](FlowsheetWriter& w) { w.run_status(run); });
    ASSERT_EQ(f.ierr(), 0);
    // Object counts the load would give, in the words the counts come from.
    const std::array<int64_t, 3> saved{tkglob_[3], tkglob_[4], tkglob_[5]}, counts{4, 8, 1};
    std::copy(counts.begin(), counts.end(), tkglob_ + 3);
    Info i = info();
    std::copy(saved.begin(), saved.end(), tkglob_ + 3);
    EXPECT_EQ(i.completion, -code);
    EXPECT_EQ(i.version + i.runid + i.s1, pad("12.1", 20) + "RUN1    " + pad("RUN FAILED", 80));
    const bool ended = code == 5;
    EXPECT_EQ(i.flags, ended ? (Flags{2, 2, 2, 2, 2, 2, -7}) : (Flags{0, 0, 0, 0, 0, 0, -7}));
    EXPECT_EQ((std::vector<int64_t>{i.nblk, i.nstr, i.nppt, i.ninfo}),
              ended ? (std::vector<int64_t>{0, 0, 0, 0}) : (std::vector<int64_t>{4, 8, 1, 0}));
  }
}

TEST(RunInformation, StatusFlagsAndRunIdentifierFallbacks) {
  RunFile f([&](FlowsheetWriter& w) {
    item_dataset(w, {"RUN-STATUS", "STATUS"}, "STAT3", "ITEM",
                 {Item::integer("1", 0), Item::integer("2", 1), Item::integer("3", 3)});
    item_dataset(w, {"RUNID"}, "RUNID", "ITEM", {Item::text8("RUNID", "ALONE")});
    item_dataset(w, {"RUN-STATUS", "ACCOUNT"}, "ACCOUNT", "PROPERTIES",
                 {Item::text8("222", "ENGINEER"), Item::text8("999", "IGNORED"), Item::text8("222", "LATER")});
  });
  ASSERT_EQ(f.ierr(), 0);
  // An account of one code: a later value of the code wins, the rest blank.
  Account a = account("#");
  EXPECT_EQ(a.ierr, 0);
  EXPECT_EQ(a.f222 + a.f347, "LATER   " + std::string(8, ' '));
  EXPECT_EQ(a.f355 + a.f348, std::string(52, ' '));
  Info i = info();
  EXPECT_EQ(i.flags, (Flags{0, 1, 2, 2, 2, 2, -7}));
  EXPECT_EQ(i.runid + i.version, "ALONE   " + std::string(20, ' '));

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

TEST(RunInformation, AliasesAndCaseNamesThatAreNotThere) {
  {
    RunFile f([&](FlowsheetWriter& w) { w.components({"WATER"}); });
    ASSERT_EQ(f.ierr(), 0);
    Named a = named(false, 2);
    EXPECT_EQ(a.ierr, 1);
    EXPECT_EQ(a.names, std::string(16, '#'));  // untouched
    EXPECT_EQ(named(true, 1).ierr, 1);
  }
  // Case names are read only under their own loading sequence "CASN".
  RunFile g([&](FlowsheetWriter& w) {
    item_dataset(w, {"CASN", "CASN"}, "CASEX", "CASE", {Item::long_text("BASE", "BASE CASE")});
  });
  ASSERT_EQ(g.ierr(), 0);
  EXPECT_EQ(named(true, 1).ierr, 1);
  int64_t n = -7;
  tkncsn_(&n);
  EXPECT_EQ(n, 0);
}

}  // namespace
