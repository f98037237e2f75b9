// The summary-file scanner: tokens of single lines under both comma variants
// and both tables, positioning, further lines, and the exported routines.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/scanner.hpp"
#include "support/caller.hpp"
#include "support/summary_builder.hpp"

namespace scan = flowsum::scan;

namespace {

constexpr double kMarker = -7777.5;
constexpr int64_t kUnit = 90021;
using Strings = std::vector<std::string>;

struct Tok {
  int64_t type;
  std::string text;
  int64_t ival;
  double rval;
  auto key() const { return std::tie(type, text, ival); }
};

class Scanner : public ::testing::Test {
 protected:
  void SetUp() override { saved_marker_ = std::exchange(flowsum::rglb(1), kMarker); }
  void TearDown() override {
    scan::select_table(1);
    scan::configure(1, 3, 1.0, "");
    flowsum::rglb(1) = saved_marker_;
    flowsum::io::close_unit(kUnit);
  }
  // Tokens from where the scanner stands to the first type -1.
  static std::vector<Tok> drain_tokens() {
    std::vector<Tok> out;
    scan::Token t;
    for (scan::next(t); t.type != scan::kNone && out.size() < 200; scan::next(t))
      out.push_back({t.type, std::string(t.text), t.ival, t.rval});
    return out;
  }
  static std::vector<Tok> tokens(std::string_view line, int64_t variant = 1, int64_t table = 1) {
    scan::select_table(table);
    scan::configure(variant, 3, 1.0, line);
    return drain_tokens();
  }
  static Strings texts(std::vector<Tok> toks, bool typed = false) {
    Strings out;
    for (const Tok& t : toks) out.push_back(typed ? std::to_string(t.type) + ":" + t.text : t.text);
    return out;
  }
  double saved_marker_ = 0.0;
};

TEST_F(Scanner, SingleTokensTypesAndValues) {
  const double m = kMarker;
  struct Case {
    const char* line;
    Tok want;
  } cases[] = {
      {"12", {2, "12", 12, 12.0}},
      {"+", {2, "+", 0, 0.0}},  // a sign alone reads as 0
      {"12345678901234", {2, "12345678901234", 1234567890, 1234567890.0}},
      {"1.5E+02", {3, "1.5E+02", 150, 150.0}},
      {"2.5d3", {3, "2.5d3", 2500, 2500.0}},
      {".5", {3, ".5", 0, 0.5}},
      {"-12.75", {3, "-12.75", -12, -12.75}},
      {"1E5", {3, "1E5", 100000, 100000.0}},
      {"1.2345678901234E+05", {3, "1.2345678901234E+05", 1, 1.2345678901234}},  // exponent cut off
      {"1E+-5", {3, "1E+-5", 0, 0.0}},
      {"1.0e400", {3, "1.0e400", 0, 0.0}},   // beyond a double
      {"3.0D+305", {14, "3.0D+305", 7, m}},  // exponent beyond 300: a name
      {"1-2", {14, "1-2", 2, m}},
      {"$A_B:9=X", {14, "$A_B:9=X", 7, m}},
      {"=", {19, "=", 0, 0.0}},
      {"\"ABC DEF\"", {5, "ABC DEF", 6, m}},
      {"\"\"", {5, "", -1, m}},
      {"*12", {4, "12", 12, m}},
      {"<25>", {8, "25", 25, 25.0}},
      {"<1-2>", {8, "1-2", 0, 0.0}},  // not a number: 0
      {"%ABC", {6, "ABC", 0, m}},
      {"@SEQ1", {7, "SEQ1", 0, m}},
      {"#7", {13, "7", 0, m}},
  };
  // The same with the shortcut for plain numbers and with the automaton alone.
  for (bool shortcut : {true, false})
    for (const Case& c : cases) {
      scan::use_number_shortcut(shortcut);
      std::vector<Tok> got = tokens(c.line);
      scan::use_number_shortcut(true);
      ASSERT_EQ(got.size(), 1u) << c.line;
      EXPECT_EQ(got[0].key(), c.want.key()) << c.line << shortcut;
      EXPECT_DOUBLE_EQ(got[0].rval, c.want.rval) << c.line << shortcut;
    }
  // An unclosed quote takes the rest of the held line, columns 4 to 128.
  EXPECT_EQ(tokens("X \"ABC")[1].key(), std::tuple(int64_t{scan::kQuoted}, "ABC" + std::string(122, ' '), int64_t{124}));
  // TKTOKI cuts its line to the hidden length, TKTOKN pads its field, TKTOKS
  // switches the table TKTOKN reads with.
  int64_t variant = 1, unitmode = 3, type = 0, ival = 0, flag = 2;
  double pos = 1.0, rval = 0.0;
  flowsum::testing::Field field(8), out(16);
  tktoki_(&variant, &unitmode, &pos, "ABCDEF GHIJ", 6);
  flowsum::testing::call(tktokn_, type, ival, rval, field);
  EXPECT_EQ(std::tuple(type, ival, rval, field.text()), std::tuple(int64_t{14}, int64_t{5}, kMarker, "ABCDEF  "));
  tktoks_(&flag);
  tktoki_(&variant, &unitmode, &pos, "KG/HR", 5);
  EXPECT_EQ((flowsum::testing::call(tktokn_, type, ival, rval, out), out.text()), "KG/HR           ");
}

// "type:text" of every token of a line, under a comma variant and a table.
TEST_F(Scanner, TokenBoundariesVariantsAndTables) {
  struct Case {
    std::string line;
    Strings want;
    int64_t variant = 1, table = 1;
  } cases[] = {
      {"B1.OUT", {"14:B1", "3:.", "14:OUT"}},
      {" ( ) , & ? ; / \\ ", {"9:(", "10:)", "11:,", "12:&", "15:?", "16:;", "17:/", "18:\\"}},
      {"PSET X 2 \"q\" 101 TEMP 102 'P'", {"14:PSET", "14:X", "2:2", "5:q", "2:101", "14:TEMP", "2:102"}},
      {"<25 >", {"8:25", "8:"}},  // a blank ends the bracket; '>' opens an empty one
      {"1.5E+", {"14:1.5E+ "}},   // the blank that ends it is kept
      {"AB\tC", {"14:AB"}},       // a tab ends the name and stops the scan
      {"A ~ B", {"14:A"}},        // '~' cannot start a token
      {"      ", {}},             // mode 3 never reads a further line
      // The held line is 128 columns: a name ending in column 128, cut at 128.
      {std::string(120, ' ') + "ABCDEFGH", {"14:ABCDEFGH"}},
      {std::string(126, ' ') + "1E", {"14:1E"}},  // an exponent cut by the line's end
      {std::string(125, ' ') + "ABCDEFGH", {"14:ABC"}},
      {"A,B", {"14:A,B"}, 2},
      {"1.5,2", {"3:1.5", "11:,", "2:2"}, 2},
      {"*1,2", {"4:1", "11:,", "2:2"}, 2},
      {"%ABC <X> /Y", {"14:%ABC", "14:<X>", "17:/", "14:Y"}, 1, 2},
      {"12/3 1.5/", {"14:12/3", "3:1.5", "17:/"}, 1, 2},
      // Back to the standard table and the first variant: both undone.
      {"A,B/C%D", {"14:A", "11:,", "14:B", "17:/", "14:C", "6:D"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(texts(tokens(c.line, c.variant, c.table), true), c.want) << c.line << " " << c.variant << c.table;
  // A variant other than 1 or 2 leaves the active one in place.
  tokens("", 2);
  scan::configure(7, 3, 1.0, "A,B");
  EXPECT_EQ(texts(drain_tokens()), Strings{"A,B"});
  // A character that cannot start a token is not consumed: every later call
  // gives -1 with an empty text and the marker.
  scan::configure(1, 3, 1.0, "A ~ B");
  scan::Token t;
  for (int i = 0; i < 3; ++i) scan::next(t);
  EXPECT_EQ(std::tuple(t.type, t.text.empty(), t.rval), std::tuple(int64_t{scan::kNone}, true, kMarker));
}

TEST_F(Scanner, ReadsFurtherLinesSequentiallyOrByNumber) {
  flowsum::testing::TempSummaryFile file("A 1\r\n\n    \n" + std::string(125, ' ') + "WXYZ-LONG\nB\n");
  ASSERT_EQ(flowsum::io::open_unit(kUnit, file.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), 0);
  // Primed with nothing to scan: column 200 of an empty line 0.
  scan::configure(1, 10 * kUnit + 1, 200.0 / 256.0, "");
  std::vector<int64_t> lines;
  Strings got;
  scan::Token t;
  for (scan::next(t); t.type != scan::kNone; scan::next(t)) {
    got.emplace_back(t.text);
    lines.push_back(scan::line_number());
  }
  EXPECT_EQ(got, (Strings{"A", "1", "WXY", "B"}));
  EXPECT_EQ(lines, (std::vector<int64_t>{1, 1, 4, 5}));
  EXPECT_EQ(scan::line_number(), 6);  // the failed read still counts

  // As the loader reads its scratch copy: line 1 primed at column 1, further
  // lines by number, 80 columns of each record.
  flowsum::io::close_unit(kUnit);
  ASSERT_EQ(flowsum::io::open_unit(kUnit, "", "DIRECT", "FORMATTED", 200, "SCRATCH", "WRITE"), 0);
  const std::string records[] = {" DSET X 1", "", "Y", std::string(78, ' ') + "ABCDEF"};
  for (int i = 0; i < 4; ++i) ASSERT_EQ(flowsum::io::write_record(kUnit, i + 1, records[i]), 0);
  scan::configure(2, 10 * kUnit + 2, 1.0 + 1.0 / 256.0, records[0]);
  EXPECT_EQ(texts(drain_tokens()), (Strings{"DSET", "X", "1", "Y", "AB"}));
}

}  // namespace
