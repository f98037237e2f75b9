// The fixture builder: the text it writes must read back as the tokens and
// values the tests meant, or every test built on it checks the wrong thing.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/reference_files.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace fs = std::filesystem;
using namespace flowsum::testing;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// Cut text into tokens the way the builder's tokens are separated: at blanks,
// with "(" and ")" as tokens of their own and quoted strings kept whole.
std::vector<std::string> tokens_of(const std::string& text) { return split_definition(text); }

// The tokens of the lines [first, last) joined by line breaks.
std::vector<std::string> tokens_of_lines(const std::vector<std::string>& lines, size_t first,
                                         size_t last) {
  std::string joined;
  for (size_t i = first; i < last; ++i) joined += lines[i] + "\n";
  return tokens_of(joined);
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

TEST(SummaryBuilderNumbers, RefusesRealsTheScannerCannotRead) {
  EXPECT_THROW(format_real(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::infinity()), std::invalid_argument);
  EXPECT_THROW(format_real(1.0e301), std::invalid_argument);
  EXPECT_THROW(format_real(-1.5e-301), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::denorm_min()), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::max()), std::invalid_argument);
}

TEST(SummaryBuilderNumbers, IntegersAreReadFromTenCharacters) {
  EXPECT_EQ(format_integer(9999999999), "9999999999");
  EXPECT_EQ(format_integer(-999999999), "-999999999");
  EXPECT_THROW(format_integer(10000000000), std::invalid_argument);
  EXPECT_THROW(format_integer(-1000000000), std::invalid_argument);
  EXPECT_TRUE(is_integer_token("-3"));
  EXPECT_FALSE(is_integer_token("-"));
  EXPECT_FALSE(is_integer_token("12345678901"));
}

TEST(SummaryBuilderNumbers, WordsAreBareOnlyWhenTheyScanAsOneToken) {
  EXPECT_EQ(word_token("RUN-STATUS"), "RUN-STATUS");
  EXPECT_EQ(word_token("STR_MAIN"), "STR_MAIN");
  EXPECT_EQ(word_token("$C-1"), "$C-1");
  EXPECT_EQ(word_token("22"), "22");
  EXPECT_EQ(word_token("H1.B2"), "\"H1.B2\"");    // the full stop would end the name
  EXPECT_EQ(word_token("12AB"), "\"12AB\"");      // starts like a number
  EXPECT_EQ(word_token("A B"), "\"A B\"");
  EXPECT_EQ(word_token(""), "\"\"");
  EXPECT_EQ(word_token("KG/HR"), "\"KG/HR\"");
  EXPECT_THROW(quote("say \"hi\""), std::invalid_argument);
  EXPECT_THROW(quote(std::string(79, 'X')), std::invalid_argument);
  EXPECT_NO_THROW(quote(std::string(78, 'X')));
  EXPECT_THROW(Value::name("1ABC"), std::invalid_argument);
}

// ---- Record layout -------------------------------------------------------------

namespace {

// A data set with every kind of value and enough of them to need many lines.
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
  if (layout.max_columns == kMaxLineColumns)
    vals.push_back(Value::text(std::string(78, 'Q')));  // as wide as a line allows
  b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", vals);
  b.idset("COMPS", {"COMPONENTS"}, {{{"H2O"}}, {{"CH4"}}, {{"C2H6"}}});
  b.lset("STRMAIN", "( %HEAD ( %TOTALS & %MIXED ) ( %ID_NCC & %CFLOW & %MIXED ) )");
  b.pset("PROPS", {{21, "TEMP"}, {22, "PRES", "PRESSURE LABEL"}, {8001, "MOLE FLOW"}});
  return b;
}

const char* const kRecordStarts[] = {" PSET ", " IDSET ", " LSET ", " DSET "};

bool opens_record(const std::string& line) {
  std::string padded = line + std::string(8, ' ');
  for (const char* k : kRecordStarts)
    if (padded.compare(0, std::strlen(k), k) == 0) return true;
  return false;
}

// Every record of b: first line index and the tokens expected.
struct Expected {
  std::string keyword;
  std::vector<std::string> tokens;
};

void check_layout(const SummaryBuilder& b, const std::vector<Expected>& records) {
  const Layout& L = b.layout();
  std::vector<std::string> lines = lines_of(b.text());
  std::vector<size_t> starts;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), L.max_columns) << "line " << i + 1;
    EXPECT_TRUE(lines[i].empty() || lines[i].back() != ' ') << "trailing blank on line " << i + 1;
    if (opens_record(lines[i])) starts.push_back(i);
  }
  // No continuation line may open a record, so the record starts are exactly
  // the records written.
  ASSERT_EQ(starts.size(), records.size());
  starts.push_back(lines.size());
  for (size_t r = 0; r < records.size(); ++r) {
    std::vector<std::string> got = tokens_of_lines(lines, starts[r], starts[r + 1]);
    std::vector<std::string> want{records[r].keyword};
    for (const std::string& t : split_definition(
             [&] {
               std::string all;
               for (const std::string& t : records[r].tokens) all += t + " ";
               return all;
             }()))
      want.push_back(t);
    EXPECT_EQ(got, want) << "record " << r + 1;
    for (size_t i = starts[r] + 1; i < starts[r + 1]; ++i)
      EXPECT_TRUE(lines[i].compare(0, 2, "  ") == 0 || lines[i][0] != ' ')
          << "continuation line " << i + 1 << ": " << lines[i];
  }
}

std::vector<Expected> big_record_tokens(bool wide_text) {
  std::vector<Expected> out;
  std::vector<std::string> d{"STREAM", "MATERIAL", "S1", "STR_MAIN", "@SEQ1", "("};
  for (int i = 0; i < 60; ++i) {
    d.push_back(format_real(-1.23456789e5 * (i + 1)));
    d.push_back("1");
    d.push_back(format_integer(-123456789 + i));
    d.push_back("*");
    d.push_back(quote("TWO WORDS " + std::to_string(i)));
    d.push_back("DSET");
    d.push_back(quote("H1.S" + std::to_string(i)));
  }
  if (wide_text) d.push_back(quote(std::string(78, 'Q')));
  d.push_back(")");
  out.push_back({"DSET", d});
  out.push_back({"IDSET", {"COMPS", "(", "COMPONENTS", ")", "(", "H2O", "CH4", "C2H6", ")"}});
  out.push_back({"LSET", split_definition("STRMAIN ( %HEAD ( %TOTALS & %MIXED ) ( %ID_NCC & %CFLOW & %MIXED ) )")});
  out.push_back({"PSET", {"PROPS", "3", "21", "TEMP", "\"PRESSURE LABEL\"", "22", "PRES", "8001", "\"MOLE FLOW\"", ")"}});
  return out;
}

}  // namespace

TEST(SummaryBuilderLayout, RecordsWrapOnlyBetweenTokensWithinEightyColumns) {
  for (size_t cols : {80, 60, 40, 20}) {
    for (size_t per_line : {0, 1, 2, 7}) {
      for (bool spaced : {false, true}) {
        Layout L;
        L.max_columns = cols;
        L.tokens_per_line = per_line;
        L.spaced_parentheses = spaced;
        SCOPED_TRACE("columns " + std::to_string(cols) + ", tokens a line " + std::to_string(per_line));
        check_layout(big_record_file(L), big_record_tokens(cols == kMaxLineColumns));
        if (cols < kMaxLineColumns) {
          // A 78-character string fits only a full line, in its column 1.
          SummaryBuilder b(L);
          EXPECT_THROW(b.dset({"A"}, "Q", {Value::text(std::string(78, 'Q'))}), std::invalid_argument);
        }
      }
    }
  }
}

TEST(SummaryBuilderLayout, NarrowLinesAndOneTokenALine) {
  for (size_t cols : {20, 60}) {
    for (bool keep : {true, false}) {
      Layout L;
      L.max_columns = cols;
      L.tokens_per_line = 1;
      L.keep_head = keep;
      SummaryBuilder b(L);
      b.header();
      std::vector<Value> vals = reals({1.5, -2.25e-7, 3.0e12}, 2);
      vals.push_back(Value::text("A QUOTED TEXT"));
      b.dset({"BLOCK", "TEMPCHG", "B1", "RESULTS"}, "RB_HEAT", vals);
      b.idset("ID_NCC", {"COMPONENTS"}, {{{"H2O"}}, {{"CH4"}}});
      std::vector<std::string> lines = lines_of(b.text());
      ASSERT_GE(lines.size(), 3u);
      if (keep) {
        // The head stays together, beyond the tokens a line, when it fits
        // the line; at 20 columns it cannot and wraps like the rest.
        EXPECT_EQ(lines[1], cols == 60 ? " DSET BLOCK TEMPCHG B1 RESULTS @RB_HEAT (" : " DSET");
      } else {
        EXPECT_EQ(lines[1], " DSET");
        EXPECT_EQ(lines[2], "    BLOCK");
      }
      check_layout(b, {{"DSET", {"BLOCK", "TEMPCHG", "B1", "RESULTS", "@RB_HEAT", "(", "1.5", "2",
                                 "-2.25E-07", "2", "3.0E+12", "2", "\"A QUOTED TEXT\"", ")"}},
                       {"IDSET", {"ID_NCC", "(", "COMPONENTS", ")", "(", "H2O", "CH4", ")"}}});
    }
  }
}

TEST(SummaryBuilderLayout, KeptHeadsStayOnTheFirstLine) {
  Layout L;
  L.tokens_per_line = 1;
  SummaryBuilder b(L);
  b.header();
  b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "STRMAIN", integers({1, 2, 3}));
  b.idset_text("ID_NCC", "(COMPONENTS) (H2O CH4 C2H6)");
  b.idset("SPD", {"SPDATA"}, {{{"1"}, 1}});
  std::vector<std::string> lines = lines_of(b.text());
  ASSERT_EQ(lines.size(), 1u + 5u + 6u + 5u);
  // The value reader starts on the line of the @qualifier and counts the path
  // from its first token; the component reader needs the first ")" on the
  // IDSET line; "(SPDATA)" written together marks the set for the loader.
  EXPECT_EQ(lines[1], " DSET STREAM MATERIAL S1 STR_MAIN @STRMAIN (");
  EXPECT_EQ(lines[2], "    1");
  EXPECT_EQ(lines[6], " IDSET ID_NCC (COMPONENTS)");
  EXPECT_EQ(lines[12], " IDSET SPD (SPDATA)");
}

TEST(SummaryBuilderLayout, RecordTextsAndLineNumbers) {
  SummaryBuilder b;
  b.line("RUN OF 2024-06-01\nSECOND LINE BEFORE THE HEADER").header(Header::kMm);
  EXPECT_EQ(b.line_count(), 3);
  b.pset("PROPS", {{21, "TEMP"}, {22, "PRES", "BAR"}}, "END");
  EXPECT_EQ(b.last_record_line(), 4);
  b.idset("RS_IT", {"PROPERTIES"}, {{{"115"}, 1}, {{"117"}, 6}, {{"N"}, 2, 20}, {{"#3"}}, {{"?"}}});
  b.lset("STRMAIN", "(%A & (%B %C))");
  b.dset_counted({"BLOCK", "MIXER", "M1", "BLKIN"}, "CONN", {Value::word("FEED1"), Value::word("H1.S2")});
  EXPECT_EQ(b.last_record_line(), 7);
  b.dset({"PAMB", "PAMB"}, "PAMB", {Value::real(101325.0, 1), Value::missing(1)}, false);
  b.header(Header::kIwp73);
  EXPECT_EQ(b.text(),
            "RUN OF 2024-06-01\n"
            "SECOND LINE BEFORE THE HEADER\n"
            " MMSUMMARY\n"
            " PSET PROPS 2 21 TEMP \"BAR\" 22 PRES \"END\")\n"
            " IDSET RS_IT (PROPERTIES) (115 *1 117 *6 N *2 <20> #3 ?)\n"
            " LSET STRMAIN (%A & (%B %C))\n"
            " DSET BLOCK MIXER M1 BLKIN @CONN (2 FEED1 \"H1.S2\")\n"
            " DSET PAMB PAMB @PAMB (101325.0 1 * 1\n"
            " IWPSUMMARY7.3\n");

  SummaryBuilder spaced(Layout{.spaced_parentheses = true});
  spaced.lset("X", "(%A & (%B %C))");
  EXPECT_EQ(spaced.text(), " LSET X ( %A & ( %B %C ) )\n");
}

TEST(SummaryBuilderLayout, RejectsLayoutsAndQualifiersItCannotHonour) {
  EXPECT_THROW(SummaryBuilder(Layout{.max_columns = 81}), std::invalid_argument);
  EXPECT_THROW(SummaryBuilder(Layout{.max_columns = 19}), std::invalid_argument);
  EXPECT_THROW(SummaryBuilder(Layout{.indent = 1}), std::invalid_argument);
  SummaryBuilder b;
  EXPECT_THROW(b.dset({"A"}, "Q 1", {}), std::invalid_argument);
  EXPECT_THROW(b.dset({"A"}, "Q.1", {}), std::invalid_argument);
}

// ---- Files ----------------------------------------------------------------------

TEST(SummaryBuilderFiles, FlushKeepsNumberingAndFilesHoldTheText) {
  SummaryBuilder b;
  b.header();
  std::ostringstream out;
  b.flush(out);
  EXPECT_TRUE(b.text().empty());
  b.dset({"TITLE", "TITLE"}, "TITLE", {Value::text("A SMALL FLOWSHEET")});
  EXPECT_EQ(b.last_record_line(), 2);
  EXPECT_EQ(out.str() + b.text(), " IWPSUMMARY8.0\n DSET TITLE TITLE @TITLE (\"A SMALL FLOWSHEET\")\n");

  fs::path kept;
  {
    TempSummaryFile f = write_temp(b);
    kept = f.path();
    std::ifstream in(f.path(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, b.text());
    TempSummaryFile moved(std::move(f));
    EXPECT_EQ(moved.path(), kept);
    EXPECT_TRUE(fs::exists(kept));
  }
  EXPECT_FALSE(fs::exists(kept));

  TempSummaryFile scratch("");
  fs::path target = scratch.path();
  b.write_file(target);
  EXPECT_EQ(fs::file_size(target), b.text().size());
  EXPECT_THROW(b.write_file(target / "no" / "such" / "dir"), std::runtime_error);
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
    vals.push_back(Value::name("TRAY-SIZE"));
    b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", vals);
    b.idset("CF", {"PROPERTIES"}, {{{"8101"}, 2, 11}, {{"#3"}}, {{"?"}}});
    b.lset("SEQ1", "(%A & (%B %C))");

    std::vector<ScannedToken> t = scan_text(b.text());
    size_t k = 0;
    auto expect = [&](int64_t type, const std::string& text) {
      ASSERT_LT(k, t.size());
      EXPECT_EQ(t[k].type, type) << "token " << k << " '" << t[k].text << "'";
      EXPECT_EQ(t[k].text, text) << "token " << k;
      ++k;
    };
    for (const char* w : {"DSET", "STREAM", "MATERIAL", "S1", "STR_MAIN"}) expect(14, w);
    expect(7, "SEQ1");
    expect(9, "(");
    for (double x : xs) {
      ASSERT_LT(k + 1, t.size());
      EXPECT_EQ(t[k].type, 3) << t[k].text;
      EXPECT_EQ(t[k].rval, real_as_read(x)) << t[k].text;
      ++k;
      EXPECT_EQ(t[k].type, 2);
      EXPECT_EQ(t[k].ival, 3);
      ++k;
    }
    ASSERT_LT(k + 1, t.size());
    EXPECT_EQ(t[k].type, 2);
    EXPECT_EQ(t[k++].ival, 9999999999);
    EXPECT_EQ(t[k].type, 2);
    EXPECT_EQ(t[k++].ival, -999999999);
    ASSERT_LT(k, t.size());
    EXPECT_EQ(t[k].rval, 1.0e35);
    expect(4, "");
    expect(5, "TWO WORDS");
    expect(5, "H1.B2");
    expect(14, "TRAY-SIZE");
    expect(10, ")");
    for (const char* w : {"IDSET", "CF"}) expect(14, w);
    expect(9, "(");
    expect(14, "PROPERTIES");
    expect(10, ")");
    expect(9, "(");
    expect(2, "8101");
    expect(4, "2");
    expect(8, "11");
    expect(13, "3");
    expect(15, "?");
    expect(10, ")");
    for (const char* w : {"LSET", "SEQ1"}) expect(14, w);
    expect(9, "(");
    expect(6, "A");
    expect(12, "&");
    expect(9, "(");
    expect(6, "B");
    expect(6, "C");
    expect(10, ")");
    expect(10, ")");
    EXPECT_EQ(k, t.size());
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
