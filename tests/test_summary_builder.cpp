// The fixture builder: the text it writes must load and read back as the
// tokens and values the tests meant, or every test built on it checks the
// wrong thing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/reference_files.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

using namespace flowsum::testing;

namespace {

int64_t line_number_of(const std::string& text, const std::string& needle) {
  std::istringstream in(text);
  int64_t n = 0;
  for (std::string l; std::getline(in, l);)
    if (++n, l.find(needle) != std::string::npos) return n;
  return 0;
}

}  // namespace

TEST(SummaryBuilder, RefusesNumbersTheScannerCannotRead) {
  EXPECT_THROW(format_real(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
  EXPECT_THROW(format_real(1.0e301), std::invalid_argument);
  EXPECT_THROW(format_real(std::numeric_limits<double>::denorm_min()), std::invalid_argument);
  EXPECT_EQ(format_integer(-999999999), "-999999999");
  EXPECT_THROW(format_integer(10000000000), std::invalid_argument);
  EXPECT_THROW(SummaryBuilder(Layout{.max_columns = 81}), std::invalid_argument);
}

// Every kind of value, one token a line, scanned back by the library.
TEST(SummaryBuilder, ScannerReadsEveryValueAsWritten) {
  tkrglb_[0] = 1.0e35;
  const std::vector<double> xs = {0.0, 1.0e-300, -9.87654321e299, 350.15, 6.02214e23, -101325.0};
  Layout L;
  L.tokens_per_line = 1;
  SummaryBuilder b(L);
  std::vector<Value> vals;
  for (double x : xs) vals.push_back(Value::real(x, 3));
  vals.insert(vals.end(), {Value::integer(9999999999), Value::missing(), Value::text("TWO WORDS")});
  b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", vals);

  std::vector<int64_t> types;
  std::vector<double> reals;
  std::vector<std::string> texts;
  std::istringstream in(b.text());
  for (std::string line; std::getline(in, line);) {
    int64_t variant = 2, unitmode = 3, type = 0, ival = 0;
    double position = 1.0 + 1.0 / 256.0, rval = 0;
    tktoki_(&variant, &unitmode, &position, line.data(), line.size());
    for (char buf[64];;) {
      tktokn_(&type, &ival, &rval, buf, sizeof buf);
      if (type == -1) break;
      types.push_back(type == 2 ? ival : type);
      reals.push_back(rval);
      texts.emplace_back(buf, std::string_view(buf, sizeof buf).find_last_not_of(' ') + 1);
    }
  }
  ASSERT_EQ(types.size(), 7 + 2 * xs.size() + 4);
  for (size_t k = 0; k < xs.size(); ++k) {
    EXPECT_EQ(types[7 + 2 * k], 3) << texts[7 + 2 * k];
    EXPECT_EQ(reals[7 + 2 * k], real_as_read(xs[k])) << texts[7 + 2 * k];
    EXPECT_EQ(types[8 + 2 * k], 3) << "unit code";
  }
  const size_t k = 7 + 2 * xs.size();
  EXPECT_EQ(types[k], 9999999999);
  EXPECT_EQ(types[k + 1], 4);
  EXPECT_EQ(reals[k + 1], 1.0e35);
  EXPECT_EQ(texts[k + 2], "TWO WORDS");
  EXPECT_EQ(types[k + 3], 10);
}

TEST(SummaryBuilder, RecordsOverManyLinesLoadAndIndexTheQualifierLine) {
  Layout L;
  L.tokens_per_line = 1;
  L.keep_head = false;
  SummaryBuilder b(L);
  b.line("BEFORE THE HEADER").header(Header::kIwp73);
  b.pset("PROPS", {{22, "TEMP"}, {23, "PRES", "LABEL"}, {8001, "MOLE FLOW"}}, "END");
  b.idset("ID_NCC", {"COMPONENTS"}, {{{"H2O"}}, {{"CH4"}}});
  b.idset("TOT", {"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}});
  b.lset("SEQ1", "(%ID_NCC & %TOT)");
  b.dset({"STREAM", "MATERIAL", "S1", "STR_MAIN"}, "SEQ1", reals({300.0, 310.0, 1e5, 2e5}, 1));
  b.dset({"BLOCK", "TEMPCHG", "B1", "RES_HEAT"}, "SEQ2", {Value::text("X")});
  TempSummaryFile f = write_temp(b);

  LoadedSummary load(f.string());
  ASSERT_EQ(load.ierr(), 0);
  EXPECT_EQ(tklocs_[1], 3 + bundled_property_count());
  EXPECT_EQ(tklocs_[3], 2);
  EXPECT_EQ(tklocs_[5], 1);
  TreeEntry e = tree_lookup({"STREAM", "MATERIAL", "S1", "STR_MAIN"});
  EXPECT_EQ(e.ierr, 0);
  EXPECT_EQ(e.line, line_number_of(b.text(), "@SEQ1"));
  EXPECT_EQ(e.qualifier, "SEQ1");
  EXPECT_EQ(tree_lookup({"BLOCK", "TEMPCHG", "B1", "RESULTS"}).line, line_number_of(b.text(), "@SEQ2"));
}
