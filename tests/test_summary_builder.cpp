// The fixture builder: the text it writes must read back as the tokens and
// values the tests meant, or every test built on it checks the wrong thing.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/reference_files.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

using namespace flowsum::testing;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

double parse(const std::string& s) {
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  EXPECT_EQ(r.ec, std::errc()) << s;
  EXPECT_EQ(r.ptr, s.data() + s.size()) << s;
  return v;
}

// A real token as the scanner reads it: optional sign, digits with a full
// stop, optional upper-case exponent with sign and digits.
bool looks_like_real_token(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i >= s.size() || s[i] != '.') return false;
  ++i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (digits == 0) return false;
  if (i == s.size()) return true;
  if (s[i] != 'E') return false;
  ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t exp_digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++exp_digits;
  return exp_digits > 0 && i == s.size();
}

// x rounded to n significant digits, as a double.
double round_sig(double x, int n) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, n - 1);
  double v = 0;
  std::from_chars(buf, r.ptr, v);
  return v;
}

}  // namespace

// ---- Number tokens -----------------------------------------------------------

TEST(SummaryBuilderNumbers, RealsOfFewDigitsReadBackExactly) {
  const double values[] = {0.0,       -0.0,     1.0,        -1.0,         350.15,
                           101325.0,  1.0e35,   -1.0e35,    0.1,          1.0e-300,
                           -9.99e300, 273.15,   6.02214e23, 1.380649e-23, 123456789.0,
                           -12345678910000.0,   1.0e15,     0.000123456789};
  for (double x : values) {
    std::string s = format_real(x);
    EXPECT_LE(s.size(), kMaxRealToken) << s;
    EXPECT_TRUE(looks_like_real_token(s)) << s;
    EXPECT_EQ(real_as_read(x), x) << s;
    EXPECT_EQ(std::signbit(real_as_read(x)), std::signbit(x)) << s;
  }
}

TEST(SummaryBuilderNumbers, RandomRealsFitSixteenColumnsAndStayClose) {
  std::mt19937_64 rng(20240601);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  std::uniform_int_distribution<int> expo(-299, 299);
  std::uniform_int_distribution<int> coin(0, 1);
  for (int i = 0; i < 50000; ++i) {
    double x = mant(rng) * std::pow(10.0, expo(rng)) * (coin(rng) ? -1.0 : 1.0);
    if (!std::isfinite(x) || std::fabs(x) < 1e-299) continue;
    std::string s = format_real(x);
    ASSERT_LE(s.size(), kMaxRealToken) << s;
    ASSERT_TRUE(looks_like_real_token(s)) << s;
    double back = parse(s);
    ASSERT_EQ(back, real_as_read(x));
    ASSERT_LE(std::fabs(back - x), 5e-9 * std::fabs(x)) << s;
    // Nine significant digits always come back exactly.
    double nine = round_sig(x, 9);
    if (std::fabs(nine) >= 1e-299 && std::isfinite(nine)) {
      ASSERT_EQ(real_as_read(nine), nine) << format_real(nine);
    }
    // Eleven for positive values with two-digit exponents.
    double eleven = std::fabs(round_sig(x, 11));
    if (eleven >= 1e-99 && eleven < 1e99) {
      ASSERT_EQ(real_as_read(eleven), eleven) << format_real(eleven);
    }
  }
}

TEST(SummaryBuilderNumbers, RefusesNumbersTheScannerCannotRead) {
  EXPECT_THROW(format_real(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::infinity()), std::invalid_argument);
  EXPECT_THROW(format_real(1.0e301), std::invalid_argument);
  EXPECT_THROW(format_real(-1.5e-301), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::denorm_min()), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::max()), std::invalid_argument);
  EXPECT_EQ(format_integer(9999999999), "9999999999");
  EXPECT_EQ(format_integer(-999999999), "-999999999");
  EXPECT_THROW(format_integer(10000000000), std::invalid_argument);
  EXPECT_THROW(format_integer(-1000000000), std::invalid_argument);
  EXPECT_TRUE(is_integer_token("-3"));
  EXPECT_FALSE(is_integer_token("-"));
  EXPECT_FALSE(is_integer_token("12345678901"));
}

// ---- Record layout -------------------------------------------------------------

namespace {

// A data set with every kind of value and enough of them to need many lines,
// and one record of each other kind.
SummaryBuilder big_record_file(const Layout& layout) {
  SummaryBuilder b(layout);
  b.line("BUILDER TESTS").header();
  std::vector<Value> vals;
  for (int i = 0; i < 60; ++i) {
    vals.push_back(Value::real(-1.23456789e5 * (i + 1), 1));
    vals.push_back(Value::integer(-123456789 + i));
    vals.push_back(Value::missing());
    vals.push_back(Value::text("TWO WORDS " + std::to_string(i)));
    vals.push_back(Value::name("DSET"));  // a value that reads like a record keyword
    vals.push_back(Value::word("H1.S" + std::to_string(i)));
  }
  b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", vals);
  b.idset("COMPS", {"COMPONENTS"}, {{{"H2O"}}, {{"CH4"}}, {{"C2H6"}}});
  b.lset("STRMAIN", "( %HEAD ( %TOTALS & %MIXED ) ( %ID_NCC & %CFLOW & %MIXED ) )");
  b.pset("PROPS", {{21, "TEMP"}, {22, "PRES", "PRESSURE LABEL"}, {8001, "MOLE FLOW"}});
  return b;
}

bool opens_record(const std::string& line) {
  const std::string padded = line + " ";  // a keyword alone on its line
  for (const char* k : {" PSET ", " IDSET ", " LSET ", " DSET "})
    if (padded.compare(0, std::strlen(k), k) == 0) return true;
  return false;
}

}  // namespace

TEST(SummaryBuilderLayout, RecordsWrapOnlyBetweenTokensWithinTheLineWidth) {
  const std::vector<std::string> want = split_definition(big_record_file({}).text());
  for (size_t cols : {80, 40, 20}) {
    for (size_t per_line : {0, 1, 7}) {
      for (bool spaced : {false, true}) {
        Layout L;
        L.max_columns = cols;
        L.tokens_per_line = per_line;
        L.spaced_parentheses = spaced;
        SCOPED_TRACE("columns " + std::to_string(cols) + ", tokens a line " + std::to_string(per_line));
        SummaryBuilder b = big_record_file(L);
        size_t records = 0;
        for (const std::string& l : lines_of(b.text())) {
          EXPECT_LE(l.size(), cols) << l;
          EXPECT_TRUE(l.empty() || l.back() != ' ') << "trailing blank: " << l;
          // A continuation line never opens a record.
          if (opens_record(l)) ++records;
          else if (records > 0) EXPECT_TRUE(l.compare(0, 2, "  ") == 0 || l[0] != ' ') << l;
        }
        EXPECT_EQ(records, 4u);
        EXPECT_EQ(split_definition(b.text()), want);
      }
    }
  }
  // A 78-character string fits only a full line; narrower layouts refuse it.
  EXPECT_NO_THROW(SummaryBuilder().dset({"A"}, "Q", {Value::text(std::string(78, 'Q'))}));
  SummaryBuilder narrow(Layout{.max_columns = 60});
  EXPECT_THROW(narrow.dset({"A"}, "Q", {Value::text(std::string(78, 'Q'))}), std::invalid_argument);
  EXPECT_THROW(SummaryBuilder(Layout{.max_columns = 81}), std::invalid_argument);
}

// ---- Read back by the library ------------------------------------------------------

namespace {

struct ScannedToken {
  int64_t type;
  int64_t ival;
  double rval;
  std::string text;
};

// All tokens of one line, scanned on its own (read mode 3) in the loader's
// comma variant.
std::vector<ScannedToken> scan_line(const std::string& line) {
  int64_t variant = 2, unitmode = 3;
  double position = 1.0 + 1.0 / 256.0;
  std::string text = line;
  tktoki_(&variant, &unitmode, &position, text.data(), text.size());
  std::vector<ScannedToken> out;
  for (int guard = 0; guard < 200; ++guard) {
    ScannedToken t{};
    char buf[128];
    tktokn_(&t.type, &t.ival, &t.rval, buf, sizeof buf);
    if (t.type == -1) break;
    t.text = std::string(buf, sizeof buf);
    t.text.erase(t.text.find_last_not_of(' ') + 1);
    out.push_back(t);
  }
  return out;
}

// The tokens of every line of a text, in order (records continue over lines,
// so a record's tokens are those of its lines one after the other).
std::vector<ScannedToken> scan_text(const std::string& text) {
  std::vector<ScannedToken> out;
  for (const std::string& l : lines_of(text)) {
    std::vector<ScannedToken> t = scan_line(l);
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

}  // namespace

TEST(SummaryBuilderReadBack, ScannerReadsEveryValueAsWritten) {
  tkrglb_[0] = 1.0e35;  // the missing-value marker the scanner hands out
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(-10.0, 10.0);
  std::uniform_int_distribution<int> expo(-120, 120);
  std::vector<double> xs;
  for (int i = 0; i < 3000; ++i) xs.push_back(mant(rng) * std::pow(10.0, expo(rng)));
  xs.insert(xs.end(), {0.0, 1.0e-300, -9.87654321e299, 350.15, -101325.0, 1.0e35});

  for (size_t per_line : {0, 1}) {
    Layout L;
    L.tokens_per_line = per_line;
    SummaryBuilder b(L);
    std::vector<Value> vals;
    for (double x : xs) vals.push_back(Value::real(x, 3));
    vals.push_back(Value::integer(9999999999));
    vals.push_back(Value::integer(-999999999));
    vals.push_back(Value::missing());
    vals.push_back(Value::text("TWO WORDS"));
    vals.push_back(Value::word("H1.B2"));
    b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", vals);

    std::vector<ScannedToken> t = scan_text(b.text());
    ASSERT_EQ(t.size(), 7 + 2 * xs.size() + 6);
    size_t k = 7;  // DSET, four path keywords, @SEQ1, "("
    for (double x : xs) {
      EXPECT_EQ(t[k].type, 3) << t[k].text;
      EXPECT_EQ(t[k].rval, real_as_read(x)) << t[k].text;
      EXPECT_EQ(t[k + 1].ival, 3);
      k += 2;
    }
    EXPECT_EQ(t[k++].ival, 9999999999);
    EXPECT_EQ(t[k++].ival, -999999999);
    EXPECT_EQ(t[k].type, 4);
    EXPECT_EQ(t[k++].rval, 1.0e35);
    EXPECT_EQ(t[k].type, 5);
    EXPECT_EQ(t[k++].text, "TWO WORDS");
    EXPECT_EQ(t[k].type, 5);
    EXPECT_EQ(t[k++].text, "H1.B2");
    EXPECT_EQ(t[k].type, 10);
  }
}

namespace {

int64_t line_number_of(const std::string& text, const std::string& needle) {
  std::vector<std::string> lines = lines_of(text);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(needle) != std::string::npos) return static_cast<int64_t>(i + 1);
  return 0;
}

}  // namespace

TEST(SummaryBuilderReadBack, RecordsOverManyLinesLoadAndIndexTheQualifierLine) {
  for (bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "head kept" : "head split");
    Layout L;
    L.tokens_per_line = 1;
    L.keep_head = keep;
    SummaryBuilder b(L);
    b.line("BEFORE THE HEADER").header(Header::kIwp73);
    b.pset("PROPS", {{22, "TEMP"}, {23, "PRES", "LABEL"}, {8001, "MOLE FLOW"}}, "END");
    b.idset("ID_NCC", {"COMPONENTS"}, {{{"H2O"}}, {{"CH4"}}});
    b.idset("TOT", {"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}});
    b.lset("SEQ1", "(%ID_NCC & %TOT)");
    b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", reals({300.0, 310.0, 1e5, 2e5}, 1));
    b.dset({"BLOCK", "TEMPCHG", "B1", "RES_HEAT"}, "SEQ2", {Value::text("X")});
    b.dset_counted({"BLOCK", "TEMPCHG", "B1", "BLKIN"}, "CONN", {Value::word("S1")});
    TempSummaryFile f = write_temp(b);

    LoadedSummary load(f.string());
    ASSERT_EQ(load.open_status(), 0);
    ASSERT_EQ(load.ierr(), 0);
    EXPECT_EQ(tklocs_[1], 3 + bundled_property_count());  // property names (PSET and file)
    EXPECT_EQ(tklocs_[3], 2);  // identifier sets
    EXPECT_EQ(tklocs_[5], 1);  // loading sequences
    // The data record holds the line on which the @qualifier was read.
    TreeEntry e = tree_lookup({"STREAM", "MATERIAL", "S1", "STR_MAIN"});
    EXPECT_EQ(e.ierr, 0);
    EXPECT_EQ(e.line, line_number_of(b.text(), "@SEQ1"));
    EXPECT_EQ(e.qualifier, "SEQ1");
    e = tree_lookup({"BLOCK", "TEMPCHG", "B1", "RESULTS"});
    EXPECT_EQ(e.line, line_number_of(b.text(), "@SEQ2"));
    EXPECT_EQ(e.qualifier, "SEQ2");
    EXPECT_EQ(tree_lookup({"BLOCK", "TEMPCHG", "B1", "BLKIN"}).line, line_number_of(b.text(), "@CONN"));
  }
}
