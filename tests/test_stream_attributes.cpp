// Stream and substream attributes: substream lists within a capacity, the
// change-counting walks over components and attributes, and element values
// returned as stored.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/flowsheet_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

class StreamAttributes : public SummarySuite<StreamAttributes> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"WATER"}, {"COAL", "ASH"});
    StreamWriter s(w);
    s.main_table({"MATERIAL", "S1", "", "", "MIXNC",
                  {{prop::kTemp, "MIXED", "", 300, unit_type::kTemperature},
                   {prop::kMassFlowTotal, "NCPSD", "", 2, unit_type::kMassFlow},
                   {prop::kMassFlow, "NCPSD", "COAL", 1.5, unit_type::kMassFlow},
                   {prop::kMassFlow, "NCPSD", "ASH", 0.5, unit_type::kMassFlow}}});
    // COAL: PROXANAL (2 elements), ULTANAL (1), PROXANAL again (1); ASH:
    // PSD (3 elements, one missing).
    s.component_attributes("MATERIAL", "S1",
                           {{"NCPSD", "COAL", "PROXANAL", "MOISTURE", 5.0},
                            {"NCPSD", "COAL", "PROXANAL", "FC", 45.0},
                            {"NCPSD", "COAL", "ULTANAL", "CARBON", 70.0},
                            {"NCPSD", "COAL", "PROXANAL", "VM", 30.0},
                            {"NCPSD", "ASH", "PSD", "FRAC1", 0.2},
                            {"NCPSD", "ASH", "PSD", "FRAC2", 0.8},
                            {"NCPSD", "ASH", "PSD", "FRAC3", 1.0e35}});
    s.substream_attributes("MATERIAL", "S1",
                           {{"NCPSD", "PSD", 0.1}, {"NCPSD", "PSD", 0.9}, {"NCPSD", "SIZE", 3.0}});
    s.main_table({"MATERIAL", "S2", "", "", "CONVEN", {}});
    write_file(b.text());
  }
  std::string s1 = pad("S1", 12), nc = pad("NCPSD", 8);
};

TEST_F(StreamAttributes, SubstreamListWithinCapacity) {
  int64_t n = 1;
  std::string names(16, '#');
  tkssid_(s1.data(), &n, names.data(), 12, 8);
  EXPECT_EQ(names, "MIXED   ########");
  n = 3;
  std::string all(24, '#');
  tkssid_(s1.data(), &n, all.data(), 12, 8);
  EXPECT_EQ(all, "MIXED   NCPSD   ########");
}

TEST_F(StreamAttributes, ComponentsWithAttributes) {
  int64_t count = -1;
  tksnac_(s1.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 2);
  std::string comp(8, '#');
  int64_t k = 1;
  tksnca_(s1.data(), nc.data(), &k, comp.data(), &count, 12, 8, 8);
  EXPECT_EQ(comp, "COAL    ");
  EXPECT_EQ(count, 3);  // PROXANAL, ULTANAL, PROXANAL: three changes
  k = 2;
  tksnca_(s1.data(), nc.data(), &k, comp.data(), &count, 12, 8, 8);
  EXPECT_EQ(comp, "ASH     ");
  EXPECT_EQ(count, 1);
  k = 3;  // one past the end: count 0, the last component walked
  tksnca_(s1.data(), nc.data(), &k, comp.data(), &count, 12, 8, 8);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(comp, "ASH     ");
}

TEST_F(StreamAttributes, AttributesOfAComponentAndTheirElements) {
  std::string coal = pad("COAL", 8), name(8, '#');
  // PROXANAL's count is that of all its elements, both runs: TKSCAT returns
  // them all into arrays sized by it.
  int64_t k = 3, count = -1;
  tkssca_(s1.data(), nc.data(), coal.data(), &k, name.data(), &count, 12, 8, 8, 8);
  EXPECT_EQ(name, "PROXANAL");
  EXPECT_EQ(count, 3);
  k = 1;
  tkssca_(s1.data(), nc.data(), coal.data(), &k, name.data(), &count, 12, 8, 8, 8);
  EXPECT_EQ(count, 3);
  k = 2;
  tkssca_(s1.data(), nc.data(), coal.data(), &k, name.data(), &count, 12, 8, 8, 8);
  EXPECT_EQ(name, "ULTANAL ");
  EXPECT_EQ(count, 1);
  k = 4;
  tkssca_(s1.data(), nc.data(), coal.data(), &k, name.data(), &count, 12, 8, 8, 8);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(name, std::string(8, ' '));

  // Every PROXANAL element of COAL, the later run included; ASH's PSD as
  // stored, the missing value too.
  std::string att = "PROXANAL", elements(32, '#');
  std::vector<double> v(4, -7);
  int64_t dum = 0, ierr = -1;
  tkscat_(s1.data(), nc.data(), coal.data(), att.data(), &dum, elements.data(), v.data(), &ierr,
          12, 8, 8, 8, 8);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(elements, "MOISTUREFC      VM      ########");
  EXPECT_EQ(v, (std::vector<double>{5.0, 45.0, 30.0, -7}));
  std::string ash = pad("ASH", 8), psd = pad("PSD", 8), e3(24, '#');
  tkscat_(s1.data(), nc.data(), ash.data(), psd.data(), &dum, e3.data(), v.data(), &ierr, 12, 8,
          8, 8, 8);
  EXPECT_EQ(v[2], 1.0e35);
  // An attribute that does not exist: flag 0, nothing written.
  std::string none = pad("NONE", 8), keep(8, '#');
  v.assign(4, -7);
  tkscat_(s1.data(), nc.data(), coal.data(), none.data(), &dum, keep.data(), v.data(), &ierr, 12,
          8, 8, 8, 8);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(keep, std::string(8, '#'));
  EXPECT_EQ(v[0], -7);
  std::string nostream = pad("NOPE", 12);
  tkscat_(nostream.data(), nc.data(), coal.data(), att.data(), &dum, keep.data(), v.data(), &ierr,
          12, 8, 8, 8, 8);
  EXPECT_EQ(ierr, 1);
}

TEST_F(StreamAttributes, SubstreamAttributes) {
  int64_t count = -1;
  tksnsa_(s1.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 2);
  std::string name(8, '#');
  int64_t k = 1;
  tksssa_(s1.data(), nc.data(), &k, name.data(), &count, 12, 8, 8);
  EXPECT_EQ(name, "PSD     ");
  EXPECT_EQ(count, 2);
  k = 2;
  tksssa_(s1.data(), nc.data(), &k, name.data(), &count, 12, 8, 8);
  EXPECT_EQ(name, "SIZE    ");
  EXPECT_EQ(count, 1);
  std::string psd = pad("PSD", 8);
  std::vector<double> v(3, -7);
  int64_t dum = 0, ierr = -1;
  tkssat_(s1.data(), nc.data(), psd.data(), &dum, v.data(), &ierr, 12, 8, 8);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(v, (std::vector<double>{0.1, 0.9, -7}));
}

TEST_F(StreamAttributes, StreamWithoutAttributes) {
  std::string s2 = pad("S2", 12);
  int64_t count = -1;
  tksnac_(s2.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 0);
  tksnsa_(s2.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 0);
  std::string comp(8, '#');
  int64_t k = 1;
  tksnca_(s2.data(), nc.data(), &k, comp.data(), &count, 12, 8, 8);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(comp, std::string(8, ' '));
  int64_t n = 2;
  std::string names(16, '#');
  tkssid_(s2.data(), &n, names.data(), 12, 8);
  EXPECT_EQ(names, std::string(16, '#'));
}

}  // namespace
