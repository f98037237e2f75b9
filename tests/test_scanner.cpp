// The summary-file scanner: tokens of single lines, the comma variants and the
// extended table, further lines, positioning, and the exported routines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/scanner.hpp"
#include "support/summary_builder.hpp"

namespace scan = flowsum::scan;

namespace {

constexpr double kMarker = -7777.5;
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
  void SetUp() override {
    saved_marker_ = flowsum::rglb(1);
    flowsum::rglb(1) = kMarker;
  }
  void TearDown() override {
    scan::select_table(1);
    scan::configure(1, 3, 1.0, "");
    flowsum::rglb(1) = saved_marker_;
    flowsum::io::close_unit(kUnit);
  }
  // Every token of one line scanned in mode 3, up to the first type -1.
  static std::vector<Tok> tokens(std::string_view line, int64_t variant = 1, int64_t table = 1) {
    scan::select_table(table);
    scan::configure(variant, 3, 1.0, line);
    std::vector<Tok> out;
    scan::Token t;
    for (int guard = 0; guard < 200; ++guard) {
      scan::next(t);
      if (t.type == scan::kNone) break;
      out.push_back({t.type, std::string(t.text), t.ival, t.rval});
    }
    return out;
  }
  // "type:text" of every token of one line.
  static Strings texts(std::string_view line, int64_t variant = 1, int64_t table = 1) {
    Strings out;
    for (const Tok& t : tokens(line, variant, table)) out.push_back(std::to_string(t.type) + ":" + t.text);
    return out;
  }
  // Token texts from where the scanner stands to the first -1 (and the line of each).
  static Strings drain(std::vector<int64_t>* lines = nullptr) {
    Strings got;
    scan::Token t;
    for (scan::next(t); t.type != scan::kNone; scan::next(t)) {
      got.push_back(std::string(t.text));
      if (lines) lines->push_back(scan::line_number());
    }
    return got;
  }
  static std::string next_text() {
    scan::Token t;
    scan::next(t);
    return std::string(t.text);
  }
  static constexpr int64_t kUnit = 90021;
  double saved_marker_ = 0.0;
};

TEST_F(Scanner, SingleTokensTypesAndValues) {
  const double m = kMarker;
  struct Case {
    const char* line;
    Tok want;
  } cases[] = {
      {"12", {2, "12", 12, 12.0}},
      {"+", {2, "+", 0, 0.0}},                  // a sign alone reads as 0
      {"12345678901234", {2, "12345678901234", 1234567890, 1234567890.0}},
      {"1.5E+02", {3, "1.5E+02", 150, 150.0}},
      {"2.5d3", {3, "2.5d3", 2500, 2500.0}},
      {".5", {3, ".5", 0, 0.5}},
      {"1E5", {3, "1E5", 100000, 100000.0}},    // plain decimal value
      {"1.2345678901234E+05", {3, "1.2345678901234E+05", 1, 1.2345678901234}},  // exponent cut off
      {"1E+-5", {3, "1E+-5", 0, 0.0}},          // two exponent signs
      {"1.0e400", {3, "1.0e400", 0, 0.0}},      // beyond a double
      {"3.0D+305", {14, "3.0D+305", 7, m}},     // exponent beyond 300: a name
      {"1-2", {14, "1-2", 2, m}},
      {"$A_B:9=X", {14, "$A_B:9=X", 7, m}},
      {"=", {19, "=", 0, 0.0}},
      {"\"ABC DEF\"", {5, "ABC DEF", 6, m}},
      {"\"\"", {5, "", -1, m}},
      {"*12", {4, "12", 12, m}},
      {"<25>", {8, "25", 25, 25.0}},
      {"<1-2>", {8, "1-2", 0, 0.0}},            // not a number: 0
      {"%ABC", {6, "ABC", 0, m}},
      {"@SEQ1", {7, "SEQ1", 0, m}},
      {"#7", {13, "7", 0, m}},
  };
  for (const Case& c : cases) {
    std::vector<Tok> got = tokens(c.line);
    ASSERT_EQ(got.size(), 1u) << c.line;
    EXPECT_EQ(got[0].key(), c.want.key()) << c.line;
    EXPECT_DOUBLE_EQ(got[0].rval, c.want.rval) << c.line;
  }
}

TEST_F(Scanner, TokenBoundaries) {
  struct Case {
    std::string line;
    Strings want;
  } cases[] = {
      {"B1.OUT", {"14:B1", "3:.", "14:OUT"}},
      {" ( ) , & ? ; / \\ ", {"9:(", "10:)", "11:,", "12:&", "15:?", "16:;", "17:/", "18:\\"}},
      {"PSET X 2 \"q\" 101 TEMP 102 'P'", {"14:PSET", "14:X", "2:2", "5:q", "2:101", "14:TEMP", "2:102"}},
      {"<25 >", {"8:25", "8:"}},                 // a blank ends the bracket; '>' opens an empty one
      {"1.5E+", {"14:1.5E+ "}},                // the blank that ends it is kept
      {"AB\tC", {"14:AB"}},                      // a tab ends the name and stops the scan
      {"\tABC", {}},
      {"A ~ B", {"14:A"}},                       // '~' cannot start a token
      {"      ", {}},                            // mode 3 never reads a further line
      // The held line is 128 columns: a name ending in column 128, cut at 128.
      {std::string(120, ' ') + "ABCDEFGH", {"14:ABCDEFGH"}},
      {std::string(126, ' ') + "1E", {"14:1E"}},
      {std::string(125, ' ') + "ABCDEFGH", {"14:ABC"}},
  };
  for (const Case& c : cases) EXPECT_EQ(texts(c.line), c.want) << c.line;
}

TEST_F(Scanner, CommaVariantsAndExtendedTable) {
  struct Case {
    const char* line;
    int64_t variant, table;
    Strings want;
  } cases[] = {
      {"A,B", 2, 1, {"14:A,B"}},
      {"12,3", 2, 1, {"14:12,3"}},
      {"1.5,2", 2, 1, {"3:1.5", "11:,", "2:2"}},
      {"*1,2", 2, 1, {"4:1", "11:,", "2:2"}},
      {"KG/HR", 1, 2, {"14:KG/HR"}},
      {"%ABC <X> /Y", 1, 2, {"14:%ABC", "14:<X>", "17:/", "14:Y"}},
      {"12/3 1.5/", 1, 2, {"14:12/3", "3:1.5", "17:/"}},
      // Back to the standard table and the first variant: both undone.
      {"A,B/C%D", 1, 1, {"14:A", "11:,", "14:B", "17:/", "14:C", "6:D"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(texts(c.line, c.variant, c.table), c.want) << c.line << " variant " << c.variant << " table " << c.table;
  // A variant other than 1 or 2 leaves the active one in place.
  tokens("", 2);
  scan::configure(7, 3, 1.0, "A,B");
  EXPECT_EQ(drain(), (Strings{"A,B"}));
}

TEST_F(Scanner, EndOfTheHeldLine) {
  // An unclosed quote takes the rest of the line, columns 4 to 128.
  std::vector<Tok> q = tokens("X \"ABC");
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[1].key(), std::tuple(int64_t{scan::kQuoted}, "ABC" + std::string(122, ' '), int64_t{124}));
  // A character that cannot start a token is not consumed: every later call
  // gives -1 with an empty text and the marker.
  scan::configure(1, 3, 1.0, "A ~ B");
  scan::Token t;
  scan::next(t);
  for (int i = 0; i < 3; ++i) {
    scan::next(t);
    EXPECT_EQ(std::tuple(t.type, t.text.empty(), t.rval), std::tuple(int64_t{scan::kNone}, true, kMarker));
  }
}

TEST_F(Scanner, PositionUnitAndMode) {
  scan::configure(1, 3, 1.0 + 5.0 / 256.0, "AB CD EF");
  EXPECT_EQ(next_text(), "D");  // the scan starts in column 5
  // The column survives a large line number.
  scan::configure(1, 3, 123456789.0 + 7.0 / 256.0, "AB CD EF");
  EXPECT_EQ(scan::line_number(), 123456789);
  EXPECT_EQ(next_text(), "EF");
  // Position 0 keeps the held line and where the scan stands.
  scan::configure(1, 3, 1.0, "ONE TWO");
  next_text();
  scan::configure(2, 0, 0.0, "IGNORED");
  EXPECT_EQ(next_text(), "TWO");
  // Unit and mode: 0 changes neither, a last digit 0 keeps the mode.
  scan::configure(1, 10 * 42 + 2, 0.0, "");
  scan::configure(1, 0, 0.0, "");
  EXPECT_EQ(std::pair(scan::read_unit(), scan::read_mode()), std::pair(int64_t{42}, int64_t{2}));
  scan::configure(1, 10 * 77, 0.0, "");
  EXPECT_EQ(std::pair(scan::read_unit(), scan::read_mode()), std::pair(int64_t{77}, int64_t{2}));
  // A position that is no usable number primes nothing and breaks nothing.
  for (double bad : {std::nan(""), -1.0e300}) {
    scan::configure(1, 3, 1.0, "KEEP");
    scan::configure(1, 0, bad, "OTHER");
    EXPECT_EQ(next_text(), "KEEP");
  }
  // An unknown read mode reads nothing.
  scan::configure(1, -52, 0.5, "");
  EXPECT_EQ(drain(), Strings{});
}

TEST_F(Scanner, ReadsFurtherLinesSequentially) {
  flowsum::testing::TempSummaryFile file("A 1\r\n\n    \n" + std::string(125, ' ') + "WXYZ-LONG\nB\n");
  ASSERT_EQ(flowsum::io::open_unit(kUnit, file.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), 0);
  // Prime with nothing to scan: column 200 of an empty line 0.
  scan::configure(1, 10 * kUnit + 1, 200.0 / 256.0, "");
  std::vector<int64_t> lines;
  EXPECT_EQ(drain(&lines), (Strings{"A", "1", "WXY", "B"}));
  EXPECT_EQ(lines, (std::vector<int64_t>{1, 1, 4, 5}));
  EXPECT_EQ(scan::line_number(), 6);  // the failed read still counts
}

TEST_F(Scanner, ReadsRecordsByLineNumber) {
  ASSERT_EQ(flowsum::io::open_unit(kUnit, "", "DIRECT", "FORMATTED", 200, "SCRATCH", "WRITE"), 0);
  std::string long_record = std::string(78, ' ') + "ABCDEF";
  const char* records[] = {" DSET X 1", "", "   ", "Y", long_record.c_str()};
  for (int i = 0; i < 5; ++i) ASSERT_EQ(flowsum::io::write_record(kUnit, i + 1, records[i]), 0);
  // As the loader does: line 1 primed at column 1, further lines by number.
  scan::configure(2, 10 * kUnit + 2, 1.0 + 1.0 / 256.0, records[0]);
  EXPECT_EQ(drain(), (Strings{"DSET", "X", "1", "Y", "AB"}));  // only 80 columns of a record
  EXPECT_EQ(scan::line_number(), 6);
  EXPECT_EQ(drain(), Strings{});
  EXPECT_EQ(scan::line_number(), 7);
  // Each failed read moves on by one record, so a record written later at the
  // next number is found.
  ASSERT_EQ(flowsum::io::write_record(kUnit, 8, "LATE"), 0);
  EXPECT_EQ(next_text(), "LATE");
  EXPECT_EQ(scan::line_number(), 8);
  // Position any line of the copy by its number.
  scan::configure(0, 0, 4.0 + 1.0 / 256.0, "Y");
  EXPECT_EQ(drain(), (Strings{"Y", "AB"}));
}

TEST_F(Scanner, PlainNumbersReadAlikeWithAndWithoutTheShortcut) {
  // Numbers of every shape the shortcut takes or must refuse (long mantissas,
  // large exponents, leading zeros, signs in odd places, other characters
  // after them), scanned with the shortcut and by the automaton alone: the
  // same tokens, types, texts and values to the last bit.
  std::mt19937 rng(11);
  auto digits = [&](unsigned n) {
    std::string d;
    while (n-- > 0) d += static_cast<char>('0' + rng() % 10);
    return d;
  };
  auto number = [&] {
    std::string t;
    if (rng() % 3 == 0) t += "+-"[rng() % 2];
    t += digits(rng() % 19);
    if (rng() % 2) t += "." + digits(rng() % 19);
    if (rng() % 3 == 0) {
      t += "EeDd"[rng() % 4];
      if (rng() % 2) t += "+-"[rng() % 2];
      t += digits(rng() % 4);
    }
    return t;
  };
  const std::string ends = "      ,A.+-(\t";
  auto scan_all = [](const std::string& line, int64_t variant, int64_t table, bool shortcut) {
    scan::use_number_shortcut(shortcut);
    std::vector<Tok> got = tokens(line, variant, table);
    scan::use_number_shortcut(true);
    return got;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    while (line.size() < 130) line += number() + ends[rng() % ends.size()];
    const int64_t variant = 1 + i % 2, table = 1 + (i / 2) % 2;
    const std::vector<Tok> fast = scan_all(line, variant, table, true);
    const std::vector<Tok> slow = scan_all(line, variant, table, false);
    ASSERT_EQ(fast.size(), slow.size()) << line;
    for (size_t k = 0; k < fast.size(); ++k) {
      ASSERT_EQ(fast[k].key(), slow[k].key()) << line << " token " << k;
      ASSERT_EQ(std::memcmp(&fast[k].rval, &slow[k].rval, sizeof(double)), 0)
          << line << " token " << k << ": " << fast[k].rval << " vs " << slow[k].rval;
    }
  }
}

TEST_F(Scanner, ExportedRoutines) {
  char line[] = "ABCDEF GHIJ";  // cut to its hidden length of 6
  int64_t variant = 1, unitmode = 3, type = 0, ival = 0;
  double pos = 1.0, rval = 0.0;
  char field[8];
  tktoki_(&variant, &unitmode, &pos, line, 6);
  tktokn_(&type, &ival, &rval, field, sizeof field);
  EXPECT_EQ(std::tuple(type, ival, rval, std::string(field, 8)), std::tuple(int64_t{14}, int64_t{5}, kMarker, "ABCDEF  "));
  tktokn_(&type, &ival, &rval, field, sizeof field);  // nothing more: blank
  EXPECT_EQ(std::pair(type, std::string(field, 8)), std::pair(int64_t{-1}, std::string(8, ' ')));
  // TKTOKS switches the table for TKTOKN.
  char units[] = "KG/HR";
  int64_t flag = 2;
  tktoks_(&flag);
  tktoki_(&variant, &unitmode, &pos, units, 5);
  char out[16];
  tktokn_(&type, &ival, &rval, out, sizeof out);
  EXPECT_EQ(std::string(out, sizeof out), "KG/HR           ");
  flag = 1;
  tktoks_(&flag);
  // TKCCLS: entry k of the table is character code k; N never reaches past
  // the hidden length; N <= 0 does nothing.
  std::vector<int64_t> table(256, -1);
  char chars[] = "A\xE9(";
  auto ccls = [&](int64_t cls, int64_t n) { tkccls_(&cls, table.data(), chars, &n, 3); };
  ccls(5, 2);
  EXPECT_EQ(std::pair(table[0xE9], table['(']), std::pair(int64_t{5}, int64_t{-1}));
  ccls(9, 50);
  EXPECT_EQ(std::pair(table['('], table[0]), std::pair(int64_t{9}, int64_t{-1}));
  ccls(1, 0);
  EXPECT_EQ(table['A'], 9);
}

}  // namespace
