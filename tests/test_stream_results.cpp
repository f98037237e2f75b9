// Stream results beyond the main table the round trip reads: user and phase
// properties, substreams, component flows on every basis (stored or derived,
// against values worked out by hand), component lists and attributes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "support/stream_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
namespace ut = flowsum::testing::unit_type;

constexpr double kMiss = 1.0e35;
constexpr int64_t kMoleVolume = 27;

// Two conventional components (WATER, METHANE; MW 18 and 16, standard
// liquid volumes 0.018 and 0.05 m3/kmol, boiling points 373.15 K and
// missing) and two non-conventional (COAL, ASH).
class StreamResults : public SummarySuite<StreamResults> {
 protected:
  static void SetUpTestSuite();
};

void StreamResults::SetUpTestSuite() {
  using namespace prop;
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.components({"WATER", "METHANE"}, {"COAL", "ASH"});
  w.component_property("MW", kMw, {18.0, 16.0});
  w.component_property("VLSTD", 909, {0.018, 0.05}, kMoleVolume);
  w.component_property("TB", kTemp, {373.15, std::nan("")}, ut::kTemperature);
  w.component_property("VST", 909, {0.018, 0.05}, kMoleVolume);  // what TKCPRP reads for VLSTD
  StreamWriter s(w);
  // S1: mole flows stored, a non-conventional substream, basis forms.
  s.main_table({"MATERIAL", "S1", "B1", "B2", "CONVEN",
                {{kTemp, "MIXED", "", 300.0, ut::kTemperature},
                 {kHmx, "MIXED", "", -1.0e8, ut::kMolarEnthalpy},
                 {kHmx, "MIXED", "", -5.0e6, ut::kMassEnthalpy},
                 {kHmx, "MIXED", "", -2.0e5, ut::kEnthalpyFlow},
                 {kCpmx, "MIXED", "", 3.0e4, ut::kMolarHeatCapacity},
                 {kSmx, "MIXED", "", 100.0, ut::kMassEntropy},
                 {kMoleFlowTotal, "MIXED", "", 0.3, ut::kMoleFlow},
                 {kMassFlowTotal, "MIXED", "", 5.0, ut::kMassFlow},
                 {kMoleFlow, "MIXED", "WATER", 0.1, ut::kMoleFlow},
                 {kMoleFlow, "MIXED", "METHANE", 0.2, ut::kMoleFlow},
                 {kMassFlowTotal, "NCPSD", "", 2.0, ut::kMassFlow},
                 {kMassFlow, "NCPSD", "COAL", 2.0, ut::kMassFlow}}});
  // S2: mass flows only, with all three totals.
  s.main_table({"MATERIAL", "S2", "B2", "", "CONVEN",
                {{kMoleFlowTotal, "MIXED", "", 0.3, ut::kMoleFlow},
                 {kMassFlowTotal, "MIXED", "", 5.0, ut::kMassFlow},
                 {kStdVolFlowTotal, "MIXED", "", 0.0118, ut::kStdVolumeFlow},
                 {kMassFlow, "MIXED", "WATER", 1.8, ut::kMassFlow},
                 {kMassFlow, "MIXED", "METHANE", 3.2, ut::kMassFlow}}});
  // S3: mole fractions and the mole total only.
  s.main_table({"MATERIAL", "S3", "", "B1", "CONVEN",
                {{kMoleFlowTotal, "MIXED", "", 0.4, ut::kMoleFlow},
                 {kMoleFrac, "MIXED", "WATER", 0.25},
                 {kMoleFrac, "MIXED", "METHANE", 0.75}}});
  // SZ: a zero mass total.
  s.main_table({"MATERIAL", "SZ", "", "", "CONVEN",
                {{kMassFlowTotal, "MIXED", "", 0.0, ut::kMassFlow},
                 {kMassFlow, "MIXED", "WATER", 0.0, ut::kMassFlow},
                 {kMassFlow, "MIXED", "METHANE", 0.0, ut::kMassFlow}}});
  // SHORT: the three head values only. Q1: a heat stream.
  s.main_table({"MATERIAL", "SHORT", "", "", "CONVEN", {}});
  s.main_table({"HEAT", "Q1", "B1", "", "", {{kQcalc, "", "", 1500.0, ut::kEnthalpyFlow}},
                true});
  // Phase compositions (property, point), phase properties and user
  // properties of S1.
  s.described({"STREAM", "MATERIAL", "S1", "STRM_XY"}, {"PROPERTIES", "POINT"},
              {{{"39", "C1"}, 0.6}, {{"39", "C2"}, 0.4}, {{"36", "C3"}, 0.1}, {{"36", "C4"}, 0.9},
               {{"55", "C5"}, 7.0}, {{"55", "C6"}, 7.0}});
  s.described({"STREAM", "MATERIAL", "S1", "STR_PHAS"}, {"PROPERTIES"},
              {{{"64"}, 0.5}, {{"63"}, 0.3}, {{"993"}, -1.0e8, ut::kMolarEnthalpy}, {{"64"}, 0.55}, {{"12"}, 3.0}});
  s.described({"STREAM", "MATERIAL", "S1", "STRM_UPP"}, {"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS"},
              {{{"26", "MIXED", "VAPOR", "", "MOLE"}, -9.0e7, ut::kMolarEnthalpy},
               {{"22", "", "", "WATER", ""}, 310.0, ut::kTemperature},
               {{"4242", "MIXED", "", "", ""}, 0.5}});
  // Attributes of S1's non-conventional components: COAL's PROXANAL (2
  // elements), ULTANAL (1), PROXANAL again (1); ASH's PSD (3 elements, one
  // missing); and of the substream itself.
  s.component_attributes("MATERIAL", "S1",
                         {{"NCPSD", "COAL", "PROXANAL", "MOISTURE", 5.0},
                          {"NCPSD", "COAL", "PROXANAL", "FC", 45.0},
                          {"NCPSD", "COAL", "ULTANAL", "CARBON", 70.0},
                          {"NCPSD", "COAL", "PROXANAL", "VM", 30.0},
                          {"NCPSD", "ASH", "PSD", "FRAC1", 0.2},
                          {"NCPSD", "ASH", "PSD", "FRAC2", 0.8},
                          {"NCPSD", "ASH", "PSD", "FRAC3", 1.0e35}});
  s.substream_attributes("MATERIAL", "S1", {{"NCPSD", "PSD", 0.1}, {"NCPSD", "PSD", 0.9}, {"NCPSD", "SIZE", 3.0}});
  write_file(b.text());
}

TEST_F(StreamResults, UserPropertiesPhaseDataAndSubstreams) {
  // Count and flag: 0 with some, 2 with none, 1 for no such stream.
  for (auto [stream, n, flag] : {std::tuple{"S1", 3, 0}, {"S2", 0, 2}, {"NOPE", 0, 1}}) {
    int64_t r[2] = {-1, -1};
    call(tknspr_, Field(stream, 8), r[0], r[1]);
    EXPECT_EQ(std::pair(r[0], r[1]), std::pair(int64_t{n}, int64_t{flag})) << stream;
  }
  int64_t ierr = -1;
  Field names(12, 3), subs(8, 3), phases(8, 3), comps(8, 3), bases(4, 3), ubases(4, 3), unames(12, 3), labels(16, 3);
  std::vector<double> vals(3, -7);
  call(tksprp_, Field("S1", 8), int64_t{0}, names, subs, phases, comps, bases, ubases, vals, unames, labels, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(names[0] + phases[0] + ubases[0] + comps.trimmed(1), pad("HMX", 12) + pad("VAPOR", 8) + "MOLEWATER");
  EXPECT_DOUBLE_EQ(vals[1], 310.0);
  // A dimensionless result keeps the unit fields as they were, and a number
  // the property table does not name keeps the name.
  EXPECT_DOUBLE_EQ(vals[2], 0.5);
  EXPECT_EQ(unames[2] + names[2], std::string(24, '#'));

  int64_t fphas = -1, fxy = -1;
  std::vector<double> y(3, -7), x(3, -7), x1(3, -7), x2(3, -7), p(12, -7);
  auto sphs = [&](const std::string& stream) {
    call(tksphs_, Field(stream, 8), int64_t{2}, fphas, fxy, y, x, x1, x2, p[0], p[1], p[2], p[3], p[4], p[5], p[6],
         p[7], p[8], p[9], p[10], p[11]);
    return std::pair(fphas, fxy);
  };
  EXPECT_EQ(sphs("S1"), std::pair(int64_t{1}, int64_t{1}));
  EXPECT_EQ(y, (std::vector<double>{0.6, 0.4, -7}));
  EXPECT_EQ(x, (std::vector<double>{0.1, 0.9, -7}));
  EXPECT_EQ(x1[0], -7);
  EXPECT_DOUBLE_EQ(p[0], 0.55);  // the later value of 64 wins
  EXPECT_DOUBLE_EQ(p[10], -1.0e8);
  EXPECT_EQ(p[2], -7);
  // A heat stream: both flags 0, nothing changed.
  y.assign(3, -7);
  EXPECT_EQ(sphs("Q1"), std::pair(int64_t{0}, int64_t{0}));
  EXPECT_EQ(y[0], -7);

  // The K-th substream's name and its component and total-row counts.
  for (auto [k, want] : {std::pair{2, "NCPSD   /2/1"}, {3, "        /0/0"}}) {  // COAL and ASH
    Field name(8);
    int64_t nc = -1, nt = -1;
    call(tknsub_, Field("S1", 8), int64_t{k}, name, nc, nt);
    EXPECT_EQ(name.text() + "/" + std::to_string(nc) + "/" + std::to_string(nt), want);
  }
}

// TKSUBS for n components (room for n + 1) and ntot total rows.
struct Subs {
  Field ids, label{"KEEP", 16}, tnames;
  std::vector<double> values, totals;
};
Subs subs(const std::string& stream, const std::string& substream, const std::string& basis, int64_t n = 2,
          size_t ntot = 9) {
  Subs s{Field(8, static_cast<size_t>(n) + 1), Field("KEEP", 16), Field(12, ntot),
         std::vector<double>(static_cast<size_t>(n) + 1, -7), std::vector<double>(ntot, -7)};
  call(tksubs_, Field(stream, 8), Field(substream, 8), Field(basis, 12), n, s.ids, s.values, s.label, int64_t{0},
       s.tnames, s.totals, Field(16, ntot));
  return s;
}

TEST_F(StreamResults, StoredAndDerivedComponentFlowsTotalRowsAndAnUnknownStream) {
  // Eight total rows in data order; the ninth element stays.
  Subs s = subs("S1", "MIXED", "MOLE-FLOW", 2, 9);
  EXPECT_EQ(s.tnames.trimmed(6), "MOLEFLMX");
  EXPECT_DOUBLE_EQ(s.totals[7], 5.0);
  EXPECT_EQ(s.totals[8], -7);
  // Asking for more components than the block holds leaves the rest.
  s = subs("S1", "MIXED", "MOLE-FLOW", 4);
  EXPECT_EQ(std::pair(s.values[2], s.ids[2]), std::pair(-7.0, std::string(8, '#')));
  // The non-conventional substream.
  s = subs("S1", "NCPSD", "MASS-FLOW", 1);
  EXPECT_EQ(std::pair(s.ids.trimmed(0), s.values[0]), std::pair(std::string("COAL"), 2.0));
  // No such stream: nothing written.
  s = subs("NOPE", "MIXED", "MOLE-FLOW");
  EXPECT_EQ(std::pair(s.values[0], s.label.trimmed()), std::pair(-7.0, std::string("KEEP")));
  // Component flows on a basis the file does not store, worked out from the
  // stored flows or fractions; fractions carry no unit (the label stays).
  auto value = [](const char* stream, const char* basis, size_t k) { return subs(stream, "MIXED", basis).values[k]; };
  const std::tuple<const char*, const char*, size_t, double> cases[] = {
      // S1 stores mole flows: mass = mole x MW, volume = mole x VLSTD.
      {"S1", "MASS-FLOW", 1, 0.2 * 16.0}, {"S1", "STDVOL-FLOW", 1, 0.2 * 0.05}, {"S1", "MASS-FRAC", 0, 1.8 / 5.0},
      {"S1", "MOLE-FRAC", 0, 1.0 / 3.0},
      // S2 stores mass flows: mole = mass / MW; anything else reads as stored.
      {"S2", "MOLE-FLOW", 1, 0.2}, {"S2", "STDVOL-FRAC", 0, 0.0018 / 0.0118}, {"S2", "WHATEVER", 0, 1.8},
      // S3 stores mole fractions and the mole total only.
      {"S3", "MOLE-FLOW", 1, 0.75 * 0.4}, {"S3", "MASS-FLOW", 1, 0.3 * 16.0},
      // No mass total, or a zero one: the missing-value marker.
      {"S3", "MASS-FRAC", 0, kMiss}, {"SZ", "MASS-FRAC", 1, kMiss}};
  for (const auto& [stream, basis, k, want] : cases)
    EXPECT_NEAR(value(stream, basis, k), want, 1e-9 * std::max(1.0, want)) << stream << " " << basis;
  EXPECT_EQ(subs("SZ", "MIXED", "MASS-FRAC").values[2], -7);
  const Subs x = subs("S1", "MIXED", "MOLE-FRAC");
  EXPECT_NEAR(x.values[0] + x.values[1], 1.0, 1e-12);
  EXPECT_EQ(subs("S1", "MIXED", "MASS-FLOW").label.trimmed() + "|" + x.label.trimmed() + "|" +
                subs("S3", "MIXED", "MOLE-FLOW").label.trimmed(),
            "KG/SEC|KEEP|KMOL/SEC");
}

class StreamResultsEng : public StreamResults {
 protected:
  StreamResultsEng() { unit_set_ = "ENG"; }
};

// TKCIDS into fields of 8 prefilled with '#', room for p + 1 and q + 1.
std::string cids(int64_t p, int64_t q) {
  Field a(8, static_cast<size_t>(p + 1)), b(8, static_cast<size_t>(q + 1));
  call(tkcids_, p, q, a, b);
  return a.text() + "|" + b.text();
}

// TKCPRP for n components into n + 1 values prefilled with -7.
std::pair<std::vector<double>, std::string> cprp(const std::string& name, int64_t n) {
  std::vector<double> v(static_cast<size_t>(n) + 1, -7);
  Field label("KEEP", 16);
  call(tkcprp_, Field(name, 8), n, v, label);
  return {v, label.trimmed()};
}

// Component lists and property vectors: converted, missing values kept, left
// alone when the file does not hold them.
TEST_F(StreamResultsEng, ComponentListsAndPropertyVectors) {
  int64_t ncc = -1, nnc = -1;
  tkcomp_(&ncc, &nnc);
  EXPECT_EQ(std::pair(ncc, nnc), std::pair(int64_t{2}, int64_t{2}));
  EXPECT_EQ(cids(1, 1), "WATER   ########|COAL    ########");
  EXPECT_EQ(cids(3, 0), "WATER   METHANE " + std::string(16, '#') + "|########");
  const auto [tb, no_label] = cprp("TBOIL", 3);
  EXPECT_NEAR(tb[0], 212.0, 1e-9);  // 373.15 K in degrees F
  EXPECT_EQ((std::vector<double>{tb[1], tb[2], tb[3]}), (std::vector<double>{kMiss, -7, -7}));
  const auto [vl, label] = cprp("VLSTD", 2);
  EXPECT_NEAR(vl[1], 0.05 / 0.06242796057614461, 1e-9);
  EXPECT_EQ(label, "CUFT/LBMOL");
  EXPECT_EQ(cprp("PC", 2), std::make_pair(std::vector<double>(3, -7), std::string("KEEP")));
}

// Substream lists, the change-counting walks over components and attributes.
using Named = std::pair<std::string, int64_t>;

const Field s1{"S1", 12}, s2{"SHORT", 12}, nc{"NCPSD", 8};

// The K-th component (TKSNCA): its name and its count of changes.
Named nth_component(const Field& stream, int64_t k) {
  Field name(8);
  int64_t count = -1;
  call(tksnca_, stream, Field("NCPSD", 8), k, name, count);
  return {name.text(), count};
}

TEST_F(StreamResults, SubstreamsComponentsAndAttributesWithTheirCounts) {
  // TKSSID with room for n names and one guard field after them.
  for (auto [stream, n, want] : {std::tuple{&s1, 1, std::string("MIXED   ########")},
                                 {&s1, 3, "MIXED   NCPSD   ################"}, {&s2, 2, std::string(24, '#')}}) {
    Field names(8, static_cast<size_t>(n) + 1);
    call(tkssid_, *stream, int64_t{n}, names);
    EXPECT_EQ(names.text(), want) << n;
  }
  int64_t count = -1;
  EXPECT_EQ((call(tksnac_, s1, nc, count), count), 2);
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
  EXPECT_EQ((call(tksnsa_, s1, nc, count), count), 2);
  // A stream without attributes.
  for (auto fn : {tksnac_, tksnsa_}) EXPECT_EQ((call(fn, s2, nc, count), count), 0);
  EXPECT_EQ(nth_component(s2, 1), (Named{std::string(8, ' '), 0}));
}

TEST_F(StreamResults, ElementValuesAsStored) {
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
