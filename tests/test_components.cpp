// Components: counts and identifiers of both component lists, and property
// vectors chosen by their keyword rules, converted, and left alone when the
// file does not hold them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "query/components.hpp"
#include "support/flowsheet_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace {

using namespace flowsum::testing;

class ComponentFile {
 public:
  ComponentFile(const std::function<void(FlowsheetWriter&)>& body, const std::string& units = "SI") {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    body(w);
    file_ = std::make_unique<TempSummaryFile>(b.text());
    loaded_ = std::make_unique<LoadedSummary>(file_->string(), units);
  }
  int64_t ierr() const { return loaded_->ierr(); }

 private:
  std::unique_ptr<TempSummaryFile> file_;
  std::unique_ptr<LoadedSummary> loaded_;
};

TEST(Components, CountsAndIdentifiersOfBothLists) {
  ComponentFile f([](FlowsheetWriter& w) { w.components({"WATER", "METHANE", "ETHANE"}, {"COAL"}); });
  ASSERT_EQ(f.ierr(), 0);
  int64_t ncc = -1, nnc = -1;
  tkcomp_(&ncc, &nnc);
  EXPECT_EQ(ncc, 3);
  EXPECT_EQ(nnc, 1);
  int64_t p = 2, q = 1;
  std::string a(24, '#'), b(12, '#');
  tkcids_(&p, &q, a.data(), b.data(), 8, 8);
  EXPECT_EQ(a, "WATER   METHANE ########");  // only the first p
  EXPECT_EQ(b, "COAL    ####");
  // More wanted than there are: the rest stays.
  p = 4;
  std::string c(32, '#');
  q = 0;
  tkcids_(&p, &q, c.data(), b.data(), 8, 8);
  EXPECT_EQ(c.substr(24), "########");
  // Without non-conventional components Q asks for nothing that is there.
  ComponentFile g([](FlowsheetWriter& w) { w.components({"WATER"}); });
  tkcomp_(&ncc, &nnc);
  EXPECT_EQ(nnc, 0);
  p = 1;
  q = 2;
  std::string d(16, '#');
  tkcids_(&p, &q, a.data(), d.data(), 8, 8);
  EXPECT_EQ(d, std::string(16, '#'));
}

TEST(Components, PropertyKeywordRules) {
  EXPECT_EQ(flowsum::component_property_keyword("MWX     "), "MW");
  EXPECT_EQ(flowsum::component_property_keyword("TBOIL   "), "TB");
  EXPECT_EQ(flowsum::component_property_keyword("VLSTD   "), "VST");
  EXPECT_EQ(flowsum::component_property_keyword("OMEGA-LONGNAME"), "OMEGA-LO");
}

TEST(Components, PropertyVectorsConvertedOrLeftAlone) {
  ComponentFile f(
      [](FlowsheetWriter& w) {
        w.components({"WATER", "METHANE"});
        w.component_property("MW", prop::kMw, {18.015, 1.0e35});
        w.component_property("VST", 909, {0.018, 0.05}, 27);
        w.component_property("TB", 22, {373.15, 111.7}, unit_type::kTemperature);
      },
      "ENG");
  ASSERT_EQ(f.ierr(), 0);
  std::string name = "MWEIGHT ", label(16, '#');
  int64_t n = 3;
  std::vector<double> v(3, -7);
  tkcprp_(name.data(), &n, v.data(), label.data(), 8, 16);
  EXPECT_DOUBLE_EQ(v[0], 18.015);
  EXPECT_EQ(v[1], 1.0e35);  // missing stays missing
  EXPECT_EQ(v[2], -7);      // past the stored values
  name = "TB      ";
  n = 1;
  tkcprp_(name.data(), &n, v.data(), label.data(), 8, 16);
  EXPECT_NEAR(v[0], 212.0, 1e-9);  // 373.15 K in degrees F
  name = "VLSTD   ";
  n = 2;
  tkcprp_(name.data(), &n, v.data(), label.data(), 8, 16);
  EXPECT_NEAR(v[1], 0.05 / 0.06242796057614461, 1e-9);
  EXPECT_EQ(label.substr(0, 10), "CUFT/LBMOL");
  name = "PC      ";
  label = "KEEP            ";
  v.assign(3, -7);
  tkcprp_(name.data(), &n, v.data(), label.data(), 8, 16);
  EXPECT_EQ(v[0], -7);
  EXPECT_EQ(label, "KEEP            ");
}

}  // namespace
