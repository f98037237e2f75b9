// Stream and substream attributes: substream lists within a capacity, the
// change-counting walks over components and attributes, and element values
// returned as stored.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
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

// The K-th component (TKSNCA), attribute of a component (TKSSCA) or
// substream attribute (TKSSSA): its name and its count of changes.
using Named = std::pair<std::string, int64_t>;
Named nth_component(std::string stream, int64_t k) {
  std::string sub = pad("NCPSD", 8), name(8, '#');
  int64_t count = -1;
  tksnca_(stream.data(), sub.data(), &k, name.data(), &count, 12, 8, 8);
  return {name, count};
}
Named nth_attribute(const std::string& comp, int64_t k) {
  std::string stream = pad("S1", 12), sub = pad("NCPSD", 8), c = pad(comp, 8), name(8, '#');
  int64_t count = -1;
  tkssca_(stream.data(), sub.data(), c.data(), &k, name.data(), &count, 12, 8, 8, 8);
  return {name, count};
}
Named nth_substream_attribute(int64_t k) {
  std::string stream = pad("S1", 12), sub = pad("NCPSD", 8), name(8, '#');
  int64_t count = -1;
  tksssa_(stream.data(), sub.data(), &k, name.data(), &count, 12, 8, 8);
  return {name, count};
}

TEST_F(StreamAttributes, ComponentsAndAttributesWithTheirCounts) {
  int64_t count = -1;
  tksnac_(s1.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(nth_component(s1, 1), (Named{"COAL    ", 3}));  // PROXANAL, ULTANAL, PROXANAL
  EXPECT_EQ(nth_component(s1, 2), (Named{"ASH     ", 1}));
  // One past the end: count 0, the last component walked.
  EXPECT_EQ(nth_component(s1, 3), (Named{"ASH     ", 0}));
  // PROXANAL's count is that of all its elements, both runs: TKSCAT returns
  // them all into arrays sized by it.
  EXPECT_EQ(nth_attribute("COAL", 3), (Named{"PROXANAL", 3}));
  EXPECT_EQ(nth_attribute("COAL", 2), (Named{"ULTANAL ", 1}));
  EXPECT_EQ(nth_attribute("COAL", 4), (Named{std::string(8, ' '), 0}));
  tksnsa_(s1.data(), nc.data(), &count, 12, 8);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(nth_substream_attribute(1), (Named{"PSD     ", 2}));
  EXPECT_EQ(nth_substream_attribute(2), (Named{"SIZE    ", 1}));
}

TEST_F(StreamAttributes, ElementValuesAsStored) {
  // Every PROXANAL element of COAL, the later run included; ASH's PSD as
  // stored, the missing value too.
  std::string coal = pad("COAL", 8), att = "PROXANAL", elements(32, '#');
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
  // Substream attribute values.
  v.assign(3, -7);
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
  EXPECT_EQ(nth_component(s2, 1), (Named{std::string(8, ' '), 0}));
  int64_t n = 2;
  std::string names(16, '#');
  tkssid_(s2.data(), &n, names.data(), 12, 8);
  EXPECT_EQ(names, std::string(16, '#'));
}

}  // namespace
