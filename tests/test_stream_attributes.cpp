// Stream and substream attributes: substream lists within a capacity, the
// change-counting walks over components and attributes, and element values
// returned as stored.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "flowsum.h"
#include "support/stream_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Named = std::pair<std::string, int64_t>;

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
  const Field s1{"S1", 12}, s2{"S2", 12}, nc{"NCPSD", 8};
};

// The K-th component (TKSNCA): its name and its count of changes.
Named nth_component(const Field& stream, int64_t k) {
  Field name(8);
  int64_t count = -1;
  call(tksnca_, stream, Field("NCPSD", 8), k, name, count);
  return {name.text(), count};
}

TEST_F(StreamAttributes, SubstreamsComponentsAndAttributesWithTheirCounts) {
  // TKSSID with room for n names and one guard field after them.
  for (auto [stream, n, want] : {std::tuple{&s1, 1, std::string("MIXED   ########")},
                                 {&s1, 3, "MIXED   NCPSD   ################"}, {&s2, 2, std::string(24, '#')}}) {
    Field names(8, static_cast<size_t>(n) + 1);
    call(tkssid_, *stream, int64_t{n}, names);
    EXPECT_EQ(names.text(), want) << n;
  }
  int64_t count = -1;
  call(tksnac_, s1, nc, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(nth_component(s1, 1), (Named{"COAL    ", 3}));  // PROXANAL, ULTANAL, PROXANAL
  EXPECT_EQ(nth_component(s1, 2), (Named{"ASH     ", 1}));
  // One past the end: count 0, the last component walked.
  EXPECT_EQ(nth_component(s1, 3), (Named{"ASH     ", 0}));
  // PROXANAL's count is that of all its elements, both runs: TKSCAT returns
  // them all into arrays sized by it. "": substream attributes (TKSSSA).
  const std::tuple<std::string, int64_t, Named> attributes[] = {
      {"COAL", 3, {"PROXANAL", 3}}, {"COAL", 2, {"ULTANAL ", 1}}, {"COAL", 4, {std::string(8, ' '), 0}},
      {"", 1, {"PSD     ", 2}}, {"", 2, {"SIZE    ", 1}}};
  for (const auto& [comp, k, want] : attributes) {
    Field name(8);
    int64_t n = -1;
    if (comp.empty()) call(tksssa_, s1, nc, int64_t{k}, name, n);
    else call(tkssca_, s1, nc, Field(comp, 8), int64_t{k}, name, n);
    EXPECT_EQ(Named(name.text(), n), want) << comp << " " << k;
  }
  call(tksnsa_, s1, nc, count);
  EXPECT_EQ(count, 2);
  // A stream without attributes.
  for (auto fn : {tksnac_, tksnsa_}) {
    call(fn, s2, nc, count);
    EXPECT_EQ(count, 0);
  }
  EXPECT_EQ(nth_component(s2, 1), (Named{std::string(8, ' '), 0}));
}

TEST_F(StreamAttributes, ElementValuesAsStored) {
  // Every PROXANAL element of COAL, the later run included; ASH's PSD as
  // stored, the missing value too.
  Field elements(8, 4), e3(8, 3), keep(8);
  std::vector<double> v(4, -7);
  int64_t ierr = -1;
  call(tkscat_, s1, nc, Field("COAL", 8), Field("PROXANAL", 8), int64_t{0}, elements, v, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(elements.text(), "MOISTUREFC      VM      ########");
  EXPECT_EQ(v, (std::vector<double>{5.0, 45.0, 30.0, -7}));
  call(tkscat_, s1, nc, Field("ASH", 8), Field("PSD", 8), int64_t{0}, e3, v, ierr);
  EXPECT_EQ(v[2], 1.0e35);
  // An attribute that does not exist: flag 0, nothing written.
  v.assign(4, -7);
  call(tkscat_, s1, nc, Field("COAL", 8), Field("NONE", 8), int64_t{0}, keep, v, ierr);
  EXPECT_EQ(std::tuple(ierr, keep.text(), v[0]), std::tuple(int64_t{0}, std::string(8, '#'), -7.0));
  call(tkscat_, Field("NOPE", 12), nc, Field("COAL", 8), Field("PROXANAL", 8), int64_t{0}, keep, v, ierr);
  EXPECT_EQ(ierr, 1);
  // Substream attribute values.
  v.assign(3, -7);
  call(tkssat_, s1, nc, Field("PSD", 8), int64_t{0}, v, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(v, (std::vector<double>{0.1, 0.9, -7}));
}

}  // namespace
