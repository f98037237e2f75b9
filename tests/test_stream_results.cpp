// Stream results beyond the main table (which the round trip reads): the
// first value by type, user properties, phase data, substreams, and
// component flows on every basis, stored or derived, checked against values
// worked out by hand.
#include <gtest/gtest.h>

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
namespace ut = flowsum::testing::unit_type;

constexpr double kMiss = 1.0e35;
constexpr int64_t kMoleVolume = 27;

// Two conventional components (WATER, METHANE; MW 18 and 16, standard
// liquid volumes 0.018 and 0.05 m3/kmol) and one non-conventional (COAL).
void streams_body(FlowsheetWriter& w) {
  using namespace prop;
  w.property_names();
  w.components({"WATER", "METHANE"}, {"COAL"});
  w.component_property("MW", kMw, {18.0, 16.0});
  w.component_property("VLSTD", 909, {0.018, 0.05}, kMoleVolume);
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
  // Phase data and user properties of S1.
  s.phase_compositions("S1", {{39, 0.6}, {39, 0.4}, {36, 0.1}, {36, 0.9}, {55, 7.0}, {55, 7.0}});
  s.phase_properties("S1", {{64, 0.5}, {63, 0.3}, {993, -1.0e8, ut::kMolarEnthalpy},
                            {64, 0.55}, {12, 3.0}});
  s.user_properties("MATERIAL", "S1",
                    {{kHmx, "MIXED", "VAPOR", "", "MOLE", -9.0e7, ut::kMolarEnthalpy},
                     {kTemp, "", "", "WATER", "", 310.0, ut::kTemperature},
                     {4242, "MIXED", "", "", "", 0.5, 0}});
}

class StreamResults : public SummarySuite<StreamResults> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    streams_body(w);
    write_file(b.text());
  }
};

// TKSTRA: the first value of a stream of the asked type, the marker for a
// table of head values only, nothing for a stream of another type.
TEST_F(StreamResults, FirstValueByType) {
  auto stra = [](const std::string& stream, std::string type) {
    std::string id = pad(stream, 8), label = pad("KEEP", 16);
    double v = -1;
    tkstra_(id.data(), type.data(), &v, label.data(), 8, 4, 16);
    return std::pair(trim(label), v);
  };
  EXPECT_EQ(stra("SHORT", "MATE"), std::pair(std::string("KEEP"), kMiss));
  EXPECT_EQ(stra("S1", "MATE"), std::pair(std::string("K"), 300.0));
  EXPECT_EQ(stra("S1", "HEAT"), std::pair(std::string("KEEP"), -1.0));
}

// The tool lists a heat stream with its duty instead of giving it a column
// of the stream table, where it would show nothing.
TEST(StreamResultsTool, ListsHeatStreamsWithTheirDuty) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  streams_body(w);
  TempSummaryFile file(b.text());
  const std::string cmd = std::string(FLOWSUM_TOOL) + " --units SI --width 0 --ref-dir " + FLOWSUM_SOURCE_DIR +
                          "/data " + file.string();
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  EXPECT_NE(out.find("\nheat and work streams:\n  Q1 (HEAT): duty 1500 W\n"), std::string::npos) << out;
  const std::string header = out.substr(out.find('\n', out.find("stream table (")) + 1);
  EXPECT_EQ(header.substr(0, header.find('\n')).find("Q1"), std::string::npos) << out;
}

// Only HMX has a FLOW form; another basis-form property asked for on it
// matches nothing.
TEST_F(StreamResults, FlowBasisOfAPropertyWithoutAFlowForm) {
  std::string id = pad("S1", 8), sub = pad("MIXED", 8), p = pad("CPMX", 12), b = "FLOW", name(12, ' '),
              label(16, ' ');
  std::vector<double> v(2, -7.0);
  int64_t ierr = -1;
  tksval_(id.data(), sub.data(), p.data(), b.data(), v.data(), name.data(), label.data(), &ierr, 8, 8, 12, 4, 12,
          16);
  EXPECT_EQ(std::pair(ierr, v[0]), std::pair(int64_t{1}, -7.0));
}

TEST_F(StreamResults, UserPropertiesAndTheirCount) {
  // Count and flag: 0 with some, 2 with none, 1 for no such stream.
  auto nspr = [](const std::string& stream) {
    std::string id = pad(stream, 8);
    std::vector<int64_t> r{-1, -1};
    tknspr_(id.data(), &r[0], &r[1], 8);
    return r;
  };
  EXPECT_EQ(nspr("S1"), (std::vector<int64_t>{3, 0}));
  EXPECT_EQ(nspr("S2"), (std::vector<int64_t>{0, 2}));
  EXPECT_EQ(nspr("NOPE")[1], 1);
  std::string id = pad("S1", 8), s2 = pad("S2", 8);
  int64_t ierr = -1;
  std::string names(36, '#'), subs(24, '#'), phases(24, '#'), comps(24, '#'), bases(12, '#'),
      ubases(12, '#'), unames(36, '#'), labels(48, '#');
  std::vector<double> vals(3, -7);
  int64_t dum = 0;
  tksprp_(id.data(), &dum, names.data(), subs.data(), phases.data(), comps.data(), bases.data(),
          ubases.data(), vals.data(), unames.data(), labels.data(), &ierr, 8, 12, 8, 8, 8, 4, 4,
          12, 16);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(names.substr(0, 12) + phases.substr(0, 8) + ubases.substr(0, 4), pad("HMX", 12) + pad("VAPOR", 8) + "MOLE");
  EXPECT_EQ(trim(comps.substr(8, 8)), "WATER");
  EXPECT_DOUBLE_EQ(vals[1], 310.0);
  // A dimensionless result keeps the unit fields as they were, and a number
  // the property table does not name keeps the name.
  EXPECT_DOUBLE_EQ(vals[2], 0.5);
  EXPECT_EQ(unames.substr(24, 12) + names.substr(24, 12), std::string(24, '#'));
  // No user properties: flag 0, nothing written.
  std::string keep(12, '#');
  tksprp_(s2.data(), &dum, keep.data(), keep.data(), keep.data(), keep.data(), keep.data(),
          keep.data(), vals.data(), keep.data(), keep.data(), &ierr, 8, 12, 8, 8, 8, 4, 4, 12, 12);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(keep, std::string(12, '#'));
}

TEST_F(StreamResults, PhaseCompositionsAndProperties) {
  std::string id = pad("S1", 8), q = pad("Q1", 8);
  int64_t n = 2, fphas = -1, fxy = -1;
  std::vector<double> y(3, -7), x(3, -7), x1(3, -7), x2(3, -7), p(12, -7);
  auto sphs = [&](std::string& stream) {
    tksphs_(stream.data(), &n, &fphas, &fxy, y.data(), x.data(), x1.data(), x2.data(), &p[0], &p[1],
            &p[2], &p[3], &p[4], &p[5], &p[6], &p[7], &p[8], &p[9], &p[10], &p[11], 8);
  };
  sphs(id);
  EXPECT_EQ(std::pair(fphas, fxy), std::pair(int64_t{1}, int64_t{1}));
  EXPECT_EQ(y, (std::vector<double>{0.6, 0.4, -7}));
  EXPECT_EQ(x, (std::vector<double>{0.1, 0.9, -7}));
  EXPECT_EQ(x1[0], -7);
  EXPECT_DOUBLE_EQ(p[0], 0.55);  // the later value of 64 wins
  EXPECT_DOUBLE_EQ(p[10], -1.0e8);
  EXPECT_EQ(p[2], -7);
  // A heat stream: both flags 0, nothing changed.
  y.assign(3, -7);
  sphs(q);
  EXPECT_EQ(std::pair(fphas, fxy), std::pair(int64_t{0}, int64_t{0}));
  EXPECT_EQ(y[0], -7);
}

TEST_F(StreamResults, SubstreamsAndTheirCounts) {
  // The K-th substream's name and its component and total-row counts.
  auto nsub = [](int64_t k) {
    std::string id = pad("S1", 8), name(8, '#');
    int64_t nc = -1, nt = -1;
    tknsub_(id.data(), &k, name.data(), &nc, &nt, 8, 8);
    return name + "/" + std::to_string(nc) + "/" + std::to_string(nt);
  };
  EXPECT_EQ(nsub(2), "NCPSD   /1/1");  // COAL is non-conventional
  EXPECT_EQ(nsub(3), "        /0/0");
}

struct Subs {
  std::vector<std::string> ids;
  std::vector<double> values;
  std::string label;
  std::vector<std::string> total_names;
  std::vector<double> totals;
};

Subs subs(const std::string& stream, const std::string& substream, const std::string& basis,
          int64_t n = 2, size_t ntot = 9) {
  std::string id = pad(stream, 8), sub = pad(substream, 8), b = pad(basis, 12),
              ids((static_cast<size_t>(n) + 1) * 8, '#'), label = pad("KEEP", 16),
              tnames(ntot * 12, '#'), tlabels(ntot * 16, '#');
  std::vector<double> vals(static_cast<size_t>(n) + 1, -7), tvals(ntot, -7);
  int64_t dum = 0;
  tksubs_(id.data(), sub.data(), b.data(), &n, ids.data(), vals.data(), label.data(), &dum,
          tnames.data(), tvals.data(), tlabels.data(), 8, 8, 12, 8, 16, 12, 16);
  Subs s;
  for (size_t i = 0; i < vals.size(); ++i) s.ids.push_back(ids.substr(i * 8, 8));
  s.values = vals;
  s.label = trim(label);
  for (size_t i = 0; i < ntot; ++i) s.total_names.push_back(trim(tnames.substr(i * 12, 12)));
  s.totals = tvals;
  return s;
}

TEST_F(StreamResults, StoredComponentFlowsAndTotalRows) {
  // Eight total rows in data order; the ninth element stays.
  Subs s = subs("S1", "MIXED", "MOLE-FLOW", 2, 9);
  EXPECT_EQ(s.total_names[6], "MOLEFLMX");
  EXPECT_DOUBLE_EQ(s.totals[7], 5.0);
  EXPECT_EQ(s.totals[8], -7);
  // Asking for more components than the block holds leaves the rest.
  Subs more = subs("S1", "MIXED", "MOLE-FLOW", 4);
  EXPECT_EQ(std::pair(more.values[2], more.ids[2]), std::pair(-7.0, std::string(8, '#')));
  // The non-conventional substream.
  Subs nc = subs("S1", "NCPSD", "MASS-FLOW", 1);
  EXPECT_EQ(std::pair(trim(nc.ids[0]), nc.values[0]), std::pair(std::string("COAL"), 2.0));
}

TEST_F(StreamResults, DerivedBasesFromStoredFlowsAndFractions) {
  // S1 stores mole flows: mass = mole x MW, volume = mole x VLSTD.
  Subs m = subs("S1", "MIXED", "MASS-FLOW");
  EXPECT_DOUBLE_EQ(m.values[1], 0.2 * 16.0);
  EXPECT_EQ(m.label, "KG/SEC");
  EXPECT_NEAR(subs("S1", "MIXED", "STDVOL-FLOW").values[1], 0.2 * 0.05, 1e-15);
  Subs f = subs("S1", "MIXED", "MASS-FRAC");
  EXPECT_NEAR(f.values[0], 1.8 / 5.0, 1e-12);
  EXPECT_EQ(f.label, "KEEP");  // fractions carry no unit
  Subs x = subs("S1", "MIXED", "MOLE-FRAC");
  EXPECT_NEAR(x.values[0], 1.0 / 3.0, 1e-12);
  EXPECT_NEAR(x.values[0] + x.values[1], 1.0, 1e-12);
  // S2 stores mass flows: mole = mass / MW; anything else reads as stored.
  EXPECT_NEAR(subs("S2", "MIXED", "MOLE-FLOW").values[1], 0.2, 1e-12);
  EXPECT_NEAR(subs("S2", "MIXED", "STDVOL-FRAC").values[0], 0.0018 / 0.0118, 1e-9);
  EXPECT_DOUBLE_EQ(subs("S2", "MIXED", "WHATEVER").values[0], 1.8);
  // S3 stores mole fractions and the mole total only.
  Subs flow = subs("S3", "MIXED", "MOLE-FLOW");
  EXPECT_DOUBLE_EQ(flow.values[1], 0.75 * 0.4);
  EXPECT_EQ(flow.label, "KMOL/SEC");
  EXPECT_NEAR(subs("S3", "MIXED", "MASS-FLOW").values[1], 0.3 * 16.0, 1e-12);
  // No mass total, or a zero one: the missing-value marker.
  EXPECT_EQ(subs("S3", "MIXED", "MASS-FRAC").values[0], kMiss);
  EXPECT_EQ(subs("SZ", "MIXED", "MASS-FRAC").values, (std::vector<double>{kMiss, kMiss, -7}));
}

TEST_F(StreamResults, UnknownStreamLeavesEverything) {
  Subs s = subs("NOPE", "MIXED", "MOLE-FLOW");
  EXPECT_EQ(std::pair(s.values[0], s.label), std::pair(-7.0, std::string("KEEP")));
  std::string id = pad("NOPE", 8), rows(64, '#'), names(12, '#'), labels(16, '#');
  double value = -7.0;
  int64_t dum = 0, nr = -5;
  tkstrm_(id.data(), &dum, rows.data(), &value, names.data(), labels.data(), &nr, 8, 64, 12, 16);
  EXPECT_EQ(std::pair(rows, value), std::pair(std::string(64, '#'), -7.0));
  std::string src = pad("X", 8), dst = pad("Y", 8);
  int64_t ns = -5;
  tksinf_(id.data(), src.data(), dst.data(), &ns, &nr, &dum, 8, 8, 8);
  EXPECT_EQ(std::pair(trim(src), ns), std::pair(std::string("X"), int64_t{-5}));
}

class StreamResultsEng : public StreamResults {
 protected:
  StreamResultsEng() { unit_set_ = "ENG"; }
};

TEST_F(StreamResultsEng, DerivedFlowsAreConvertedFromSi) {
  Subs m = subs("S1", "MIXED", "MASS-FLOW");
  // 1.8 kg/s in lb/hr.
  EXPECT_NEAR(m.values[0], 1.8 / 0.00012599788055555556, 1e-6);
  EXPECT_EQ(m.label, "LB/HR");
  Subs f = subs("S1", "MIXED", "MOLE-FRAC");
  EXPECT_NEAR(f.values[0] + f.values[1], 1.0, 1e-12);
}

}  // namespace
