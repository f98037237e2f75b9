// Run information: title, account fields, aliases, case names and the run
// summary, with their fallback paths and the initial values they keep for
// what the file does not hold.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/flowsheet_records.hpp"
#include "support/lookup_calls.hpp"
#include "support/run_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

// A loaded file whose body the test writes.
class RunFile {
 public:
  explicit RunFile(const std::function<void(FlowsheetWriter&)>& body) {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    body(w);
    file_ = std::make_unique<TempSummaryFile>(b.text());
    loaded_ = std::make_unique<LoadedSummary>(file_->string());
  }
  int64_t ierr() const { return loaded_->ierr(); }

 private:
  std::unique_ptr<TempSummaryFile> file_;
  std::unique_ptr<LoadedSummary> loaded_;
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
  std::array<int64_t, 7> flags{-7, -7, -7, -7, -7, -7, -7};
  int64_t nblk = -7, nstr = -7, nppt = -7, ninfo = -7;
};
Info info() {
  Info i;
  tkinfo_(i.version.data(), i.runid.data(), i.s1.data(), i.s2.data(), &i.completion, i.flags.data(), &i.nblk,
          &i.nstr, &i.nppt, &i.ninfo, 20, 8, 80, 80);
  return i;
}

struct Named {
  std::vector<std::string> names, texts;
  int64_t ierr = -7;
};
// TKALIS or TKCASN into arrays of n entries prefilled with '#'.
Named named(bool cases, size_t n) {
  Named r{std::vector<std::string>(), std::vector<std::string>(), -7};
  std::string names(8 * n, '#'), texts(12 * n, '#');
  int64_t unused = 0;
  if (cases)
    tkcasn_(&unused, names.data(), texts.data(), &r.ierr, 8, 12);
  else
    tkalis_(&unused, names.data(), texts.data(), &r.ierr, 8, 12);
  for (size_t i = 0; i < n; ++i) {
    r.names.push_back(names.substr(8 * i, 8));
    r.texts.push_back(texts.substr(12 * i, 12));
  }
  return r;
}

TEST(RunInformation, FullRunAnswersEveryRoutine) {
  RunInfo run;
  run.title = "DEBUTANISER STUDY, CASE 3";
  run.run_id = "RUN42";
  run.status_text1 = "RESULTS AVAILABLE";
  run.status_text2 = "NO WARNINGS";
  run.flags = {0, 1, 3, 0, -1, 7};
  AccountInfo acc{"ENGINEER", "DEMO-01", "A PROJECT DESCRIPTION OF MORE THAN THIRTY-TWO CHARACTERS", "PROCESS GROUP"};
  RunFile f([&](FlowsheetWriter& w) {
    w.run_status(run);
    w.account(acc);
  });
  ASSERT_EQ(f.ierr(), 0);
  const int64_t free = free_pointer();

  EXPECT_EQ(title(), pad(run.title, 64));
  Account a = account("#");
  EXPECT_EQ(a.ierr, 0);
  // The long text fills the 32-character field.
  EXPECT_EQ(a.f355, "A PROJECT DESCRIPTION OF MORE TH");

  Info i = info();
  EXPECT_EQ(i.version, pad("12.1", 20));
  EXPECT_EQ(i.completion, 0);
  EXPECT_EQ(i.flags, (std::array<int64_t, 7>{0, 1, 2, 0, -1, 2, -7}));
  EXPECT_EQ(i.ninfo, 0);
  EXPECT_EQ(free_pointer(), free);
}

TEST(RunInformation, TitleFallbackCutAndMissing) {
  const std::string long_title(75, 'T');
  {
    RunFile f([&](FlowsheetWriter& w) {
      item_dataset(w, {"TITLE", "TITLE"}, "TITLE", "ITEM", {Item::long_text("TITLE", long_title)});
    });
    ASSERT_EQ(f.ierr(), 0);
    EXPECT_EQ(title(), std::string(64, 'T'));
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
    EXPECT_EQ(i.flags, (std::array<int64_t, 7>{2, 2, 2, 2, 2, 2, -7}));
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
    const std::array<int64_t, 3> saved{tkglob_[3], tkglob_[4], tkglob_[5]};
    tkglob_[3] = 4;
    tkglob_[4] = 8;
    tkglob_[5] = 1;
    Info i = info();
    tkglob_[3] = saved[0];
    tkglob_[4] = saved[1];
    tkglob_[5] = saved[2];
    EXPECT_EQ(i.completion, -code);
    EXPECT_EQ(i.version, pad("12.1", 20));
    EXPECT_EQ(i.runid, "RUN1    ");
    EXPECT_EQ(i.s1, pad("RUN FAILED", 80));
    const bool ended = code == 5;
    EXPECT_EQ(i.flags, ended ? (std::array<int64_t, 7>{2, 2, 2, 2, 2, 2, -7})
                             : (std::array<int64_t, 7>{0, 0, 0, 0, 0, 0, -7}));
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
  EXPECT_EQ(i.flags, (std::array<int64_t, 7>{0, 1, 2, 2, 2, 2, -7}));
  EXPECT_EQ(i.runid, "ALONE   ");
  EXPECT_EQ(i.version, std::string(20, ' '));

  // "OLDSTAT" is read before "STATUS"; at most six flags are written.
  RunFile g([&](FlowsheetWriter& w) {
    item_dataset(w, {"RUN-STATUS", "STATUS"}, "STAT1", "ITEM", {Item::integer("1", 1)});
    std::vector<Item> seven;
    for (int k = 1; k <= 7; ++k) seven.push_back(Item::integer(std::to_string(k), k == 7 ? 0 : 1));
    item_dataset(w, {"RUN-STATUS", "OLDSTAT"}, "STAT7", "ITEM", seven);
  });
  ASSERT_EQ(g.ierr(), 0);
  i = info();
  EXPECT_EQ(i.flags, (std::array<int64_t, 7>{1, 1, 1, 1, 1, 1, -7}));
}

TEST(RunInformation, AliasesAndCaseNames) {
  {
    RunFile f([&](FlowsheetWriter& w) { w.components({"WATER"}); });
    ASSERT_EQ(f.ierr(), 0);
    Named a = named(false, 2);
    EXPECT_EQ(a.ierr, 1);
    EXPECT_EQ(a.names[0], "########");  // untouched
    int64_t n = -7;
    tknals_(&n);
    EXPECT_EQ(n, 0);
    tkncsn_(&n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(named(true, 1).ierr, 1);
  }
  RunFile f([&](FlowsheetWriter& w) {
    alias_list(w, {{"WATER", "H2O"}, {"METHANE", "CH4 METHANE GAS"}});
    case_name_list(w, {{"BASE", "BASE CASE"}});
  });
  ASSERT_EQ(f.ierr(), 0);
  int64_t n = -7;
  tknals_(&n);
  ASSERT_EQ(n, 2);
  Named a = named(false, 3);
  EXPECT_EQ(a.ierr, 0);
  EXPECT_EQ(a.names, (std::vector<std::string>{"WATER   ", "METHANE ", "########"}));
  EXPECT_EQ(a.texts, (std::vector<std::string>{"H2O         ", "CH4 METHANE ", "############"}));
  tkncsn_(&n);
  ASSERT_EQ(n, 1);
  Named c = named(true, 1);
  EXPECT_EQ(c.ierr, 0);
  EXPECT_EQ(c.names[0], "BASE    ");
  EXPECT_EQ(c.texts[0], "BASE CASE   ");

  // Case names are read only under their own loading sequence "CASN".
  RunFile g([&](FlowsheetWriter& w) {
    item_dataset(w, {"CASN", "CASN"}, "CASEX", "CASE", {Item::long_text("BASE", "BASE CASE")});
  });
  ASSERT_EQ(g.ierr(), 0);
  EXPECT_EQ(named(true, 1).ierr, 1);
  tkncsn_(&n);
  EXPECT_EQ(n, 0);
}

}  // namespace
