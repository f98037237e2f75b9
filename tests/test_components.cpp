// Components: counts and identifiers of both component lists, and property
// vectors chosen by their keyword rules, converted, and left alone when the
// file does not hold them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "flowsum.h"
#include "query/components.hpp"
#include "support/flowsheet_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

// A file of the fixture's property names and what body writes, loaded.
LoadedSummary load(const std::function<void(FlowsheetWriter&)>& body, const std::string& units = "SI") {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  body(w);
  const TempSummaryFile file(b.text());
  return LoadedSummary(file.string(), units);
}

// TKCIDS into fields of 8 prefilled with '#', room for p + 1 and q + 1.
std::pair<std::string, std::string> cids(int64_t p, int64_t q) {
  Field a(8, static_cast<size_t>(p + 1)), b(8, static_cast<size_t>(q + 1));
  call(tkcids_, p, q, a, b);
  return {a.text(), b.text()};
}

// TKCPRP for n components into n + 1 values prefilled with -7.
std::pair<std::vector<double>, std::string> cprp(const std::string& name, int64_t n) {
  std::vector<double> v(static_cast<size_t>(n) + 1, -7);
  Field label("KEEP", 16);
  call(tkcprp_, Field(name, 8), n, v, label);
  return {v, label.text()};
}

TEST(Components, CountsAndIdentifiersOfBothLists) {
  {
    const LoadedSummary f = load([](FlowsheetWriter& w) { w.components({"WATER", "METHANE", "ETHANE"}, {"COAL"}); });
    ASSERT_EQ(f.ierr(), 0);
    int64_t ncc = -1, nnc = -1;
    tkcomp_(&ncc, &nnc);
    EXPECT_EQ(std::pair(ncc, nnc), std::pair(int64_t{3}, int64_t{1}));
    // Only the first p and q; more wanted than there are leaves the rest.
    EXPECT_EQ(cids(2, 1), std::pair(std::string("WATER   METHANE ########"), std::string("COAL    ########")));
    EXPECT_EQ(cids(4, 0).first.substr(24), std::string(16, '#'));
  }
  // Without non-conventional components Q asks for nothing that is there.
  const LoadedSummary g = load([](FlowsheetWriter& w) { w.components({"WATER"}); });
  EXPECT_EQ(cids(1, 2).second, std::string(24, '#'));
}

TEST(Components, PropertyVectorsByKeywordConvertedOrLeftAlone) {
  EXPECT_EQ(flowsum::component_property_keyword("TBOIL   "), "TB");
  EXPECT_EQ(flowsum::component_property_keyword("OMEGA-LONGNAME"), "OMEGA-LO");
  const LoadedSummary f = load(
      [](FlowsheetWriter& w) {
        w.components({"WATER", "METHANE"});
        w.component_property("MW", prop::kMw, {18.015, 1.0e35});
        w.component_property("VST", 909, {0.018, 0.05}, 27);
        w.component_property("TB", 22, {373.15, 111.7}, unit_type::kTemperature);
      },
      "ENG");
  ASSERT_EQ(f.ierr(), 0);
  // Missing stays missing; nothing past the stored values.
  EXPECT_EQ(cprp("MWEIGHT", 3).first, (std::vector<double>{18.015, 1.0e35, -7, -7}));
  EXPECT_NEAR(cprp("TB", 1).first[0], 212.0, 1e-9);  // 373.15 K in degrees F
  auto [vl, label] = cprp("VLSTD", 2);
  EXPECT_NEAR(vl[1], 0.05 / 0.06242796057614461, 1e-9);
  EXPECT_EQ(label, pad("CUFT/LBMOL", 16));
  // Not in the file: values and label as they were.
  EXPECT_EQ(cprp("PC", 2), std::make_pair(std::vector<double>(3, -7), pad("KEEP", 16)));
}

}  // namespace
