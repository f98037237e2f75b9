// Block results: the general result table, the flowsheet balance and the
// reactor property reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;

class BlockResults : public SummarySuite<BlockResults> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    // Two descriptive qualifiers and every value type, then one qualifier.
    w.block_results("HEATER", "H1", {"SUBSTREAM", "PHASE"},
                    {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"MIXED", "VAPOR"}),
                     BlockResult::integer(prop::kNstage, 12, {"MIXED", "LIQUID"}),
                     BlockResult::text(prop::kMw, "ABCDEFGH", {"CISOLID", "SOLID"}),
                     BlockResult::real(prop::kVfrac, 0.25, unit_type::kNone, {"MIXED", "TOTAL"}),
                     {prop::kRefluxRatio, {"NCPSD", "LONG"}, Value::text("A LONG TEXT OF MANY WORDS"), 6, 0}});
    w.block_results("FLASH2", "F1", {"PHASE"},
                    {BlockResult::real(prop::kPres, 2.0E5, unit_type::kPressure, {"VAPOR"}),
                     BlockResult::real(prop::kQcalc, 1000.0, unit_type::kEnthalpyFlow, {"TOTAL"})});
    BlockTableWriter t(w);
    t.reactor_report("TUBERX", "R1", "TUBE_PRP",
                     {{prop::kTemp, "MIXED", "VAPOR", "", "MOLE", unit_type::kTemperature, 1, {300.0, 310.0, 320.0}},
                      {prop::kHmx, "MIXED", "LIQUID", "H2O", "MASS", unit_type::kMolarEnthalpy, 1, {1.0E6, 2.0E6, 3.0E6}},
                      {prop::kRhomx, "MIXED", "LIQUID", "", "MASS", unit_type::kMassDensity, 1, {700.0, 710.0, 720.0}}});
    t.reactor_report("BATCHRX", "BR2", "OTHER", {{prop::kTemp, "MIXED", "", "", "", 0, 1, {1.0}}});
    t.flowsheet_balance({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    // A batch reactor with the vent report only, under both section names;
    // the second is the file's last data set, whose record ends the tree.
    t.reactor_report("BATCHRX", "BR1", "BRX_PRF3",
                     {{prop::kPres, "MIXED", "VAPOR", "", "", unit_type::kPressure, 1, {1.0E5, 2.0E5}}});
    t.reactor_report("BATCHRX", "BR1", "BTRX_PRF3",
                     {{prop::kTemp, "MIXED", "VAPOR", "", "", unit_type::kTemperature, 1, {400.0, 410.0}}});
    write_file(b.text());
  }
  BlockResults() { unit_set_ = "MET"; }
};

// TKNRES and TKBRES into fields of 8 results prefilled with '#'.
struct ResultTable {
  int64_t n = -1, ndesc = -1, status = -1;
  Field names{12, 8}, quals{8, 17}, texts{8, 8}, utypes{12, 8}, labels{16, 8};
  Ints types = Ints(8, -1), ints = Ints(8, -1);
  Reals reals = Reals(8, -1.0);
};
ResultTable results(const std::string& block) {
  ResultTable r;
  const Field id(block, 16);
  call(tknres_, id, r.n, r.ndesc, r.status);
  call(tkbres_, id, int64_t{0}, int64_t{0}, r.names, r.quals, r.types, r.ints, r.texts, r.reals, r.utypes,
       r.labels);
  return r;
}

TEST_F(BlockResults, ResultTableWithTwoDescriptiveQualifiersAndEveryValueType) {
  ResultTable r = results("H1");
  ASSERT_EQ((Ints{r.status, r.n, r.ndesc}), (Ints{0, 5, 2}));
  // Two consecutive descriptor elements per result, then nothing more.
  EXPECT_EQ(r.quals.text().substr(0, 88),
            "MIXED   VAPOR   MIXED   LIQUID  CISOLID SOLID   MIXED   TOTAL   NCPSD   LONG    ########");
  EXPECT_EQ(Ints(r.types.begin(), r.types.begin() + 5), (Ints{2, 1, 3, 2, 3}));
  // A real with a unit type is converted (K to C) and labelled; one without
  // comes back as stored, unit texts blank.
  EXPECT_NEAR(r.reals[0], 76.85, 1e-9);
  EXPECT_EQ(r.labels[0], pad("C", 16));
  EXPECT_DOUBLE_EQ(r.reals[3], 0.25);
  EXPECT_EQ(r.utypes[3], pad("", 12));
  // Integers keep their word, other kinds read 0 there; long texts are cut.
  EXPECT_EQ((Ints{r.ints[0], r.ints[1]}), (Ints{0, 12}));
  EXPECT_EQ(r.texts[4], "A LONG T");
  EXPECT_EQ(r.names[5], std::string(12, '#'));
}

TEST_F(BlockResults, OneDescriptiveQualifierAndAbsentBlocks) {
  ResultTable r = results("F1");
  ASSERT_EQ((Ints{r.n, r.ndesc}), (Ints{2, 1}));
  EXPECT_EQ(r.quals.text().substr(0, 24), "VAPOR   TOTAL   ########");
  EXPECT_EQ(r.utypes[1], pad("HEAT-DUTY", 12));
  // No such block, and a block without a result table (its fields untouched).
  for (const char* id : {"NOSUCH", "R1"}) {
    ResultTable none = results(id);
    EXPECT_EQ(none.n, 0) << id;
    EXPECT_NE(none.status, 0) << id;
  }
  EXPECT_EQ(results("R1").names.text(), std::string(96, '#'));
}

// TKFLWB into arrays of `room` elements (by default one more than p, q).
struct Balance {
  double s[6] = {-1, -1, -1, -1, -1, -1};
  Reals a1, a2, b1, b2;
  int64_t ierr = -1;
};
Balance balance(int64_t p, int64_t q, size_t room = 0) {
  Balance b;
  b.a1.assign(room ? room : static_cast<size_t>(p) + 1, -1);
  b.a2 = b.a1;
  b.b1.assign(static_cast<size_t>(q) + 1, -1);
  b.b2 = b.b1;
  tkflwb_(&b.s[0], &b.s[1], &b.s[2], &b.s[3], &b.s[4], &b.s[5], &p, b.a1.data(), b.a2.data(), &q,
          b.b1.data(), b.b2.data(), &b.ierr);
  return b;
}

TEST_F(BlockResults, FlowsheetBalanceOrderAndAShortDataSet) {
  Balance b = balance(2, 1);
  EXPECT_EQ(b.ierr, 0);
  EXPECT_EQ(b.a1, (Reals{1, 2, -1}));
  EXPECT_EQ(b.b2, (Reals{6, -1}));
  EXPECT_EQ(Reals(b.s, b.s + 6), (Reals{7, 8, 9, 10, 11, 12}));
  // p and q larger than the data set holds: nothing is read from beyond its
  // values and the flag says the sizes disagree.
  Balance big = balance(4, 2);
  EXPECT_EQ(big.ierr, 1);
  EXPECT_EQ(big.a1, (Reals{1, 2, 3, 4, -1}));
  EXPECT_EQ(big.s[0], -1);
  // A count no data set can hold ends without running through it.
  Balance huge = balance(INT64_MAX, 0, 13);
  EXPECT_EQ(huge.ierr, 1);
  EXPECT_EQ((Reals{huge.a1[11], huge.a1[12], huge.a2[0]}), (Reals{12, -1, -1}));
}

struct Reports {
  int64_t n = -1, ierr = -1;
  Field types{12, 3};
};
Reports report_types(const std::string& block) {
  Reports r;
  call(tklrrp_, Field(block, 8), r.n, r.types, r.ierr);
  return r;
}

TEST_F(BlockResults, ReportTypesOfReactorBlocks) {
  Reports tube = report_types("R1");
  EXPECT_EQ((Ints{tube.ierr, tube.n}), (Ints{0, 1}));
  EXPECT_EQ(tube.types.text(), pad("PROP-REPORT", 12) + pad("", 24));
  EXPECT_EQ(report_types("BR1").types[0], pad("PROP-VENT", 12));
  EXPECT_EQ(report_types("BR2").ierr, 2);
  EXPECT_EQ(report_types("H1").ierr, 1);
  EXPECT_EQ(report_types("NOSUCH").n, 0);
}

TEST_F(BlockResults, ReportSizes) {
  auto size = [](const std::string& block, const std::string& type) {
    int64_t np = -1, nprof = -1, ierr = -1;
    call(tksrrp_, Field(block, 8), Field(type, 12), np, nprof, ierr);
    return Ints{np, nprof, ierr};
  };
  EXPECT_EQ(size("R1", "PROP-REPORT"), (Ints{3, 3, 0}));
  EXPECT_EQ(size("BR1", "PROP-VENT"), (Ints{2, 1, 0}));
  EXPECT_EQ(size("BR1", "PROP-ACCUM"), (Ints{0, 0, 1}));
  EXPECT_EQ(size("R1", "PROP-OTHER"), (Ints{0, 0, 1}));
  EXPECT_EQ(size("NOSUCH", "PROP-REPORT"), (Ints{0, 0, 0}));
}

struct Profile {
  Field pname{"#", 12}, sub{"#", 8}, phase{"#", 8}, comp{"#", 8}, basis{"#", 4}, fbasis{"#", 4}, utype{"#", 12},
      label{"#", 16};
  Reals values = Reals(4, -1.0);
  int64_t ierr = -1;
};
Profile by_position(const std::string& block, const std::string& type, int64_t k, bool alternate = false) {
  Profile p;
  call(alternate ? tknrpr_ : tknrrp_, Field(block, 8), Field(type, 12), int64_t{0}, k, p.pname, p.sub, p.phase,
       p.comp, p.basis, p.fbasis, p.values, p.utype, p.label, p.ierr);
  return p;
}

TEST_F(BlockResults, ProfilesByPosition) {
  Profile p = by_position("R1", "PROP-REPORT", 2);
  EXPECT_EQ(p.ierr, 0);
  // The basis comes from the unit type: molar enthalpy.
  EXPECT_EQ(p.pname.text() + p.phase.text() + p.fbasis.text() + p.label.text(),
            pad("HMX", 12) + pad("LIQUID", 8) + "MOLE" + pad("KCAL/KMOL", 16));
  EXPECT_NEAR(p.values[2], 3.0E6 / 4186.8, 1e-9);
  EXPECT_EQ(p.values[3], -1.0);
  // The batch reactor's two section names.
  EXPECT_EQ(by_position("BR1", "PROP-VENT", 1).pname.text(), pad("PRES", 12));
  Profile alt = by_position("BR1", "PROP-VENT", 1, true);
  EXPECT_EQ(alt.pname.text(), pad("TEMP", 12));
  EXPECT_NEAR(alt.values[1], 410.0 - 273.15, 1e-9);
  // Past the last profile: flag 1, descriptors blank, values untouched.
  Profile past = by_position("R1", "PROP-REPORT", 4);
  EXPECT_EQ(past.ierr, 1);
  EXPECT_EQ(past.pname.text(), pad("", 12));
  EXPECT_EQ(past.values[0], -1.0);
}

// TKRRRP for the MIXED substream; returns the values and unit texts.
Profile by_description(const std::string& pname, const std::string& phase, const std::string& comp,
                       const std::string& basis, const std::string& units) {
  Profile p;
  call(tkrrrp_, Field("R1", 8), Field("PROP-REPORT", 12), int64_t{0}, Field(pname, 12), Field("MIXED", 8),
       Field(phase, 8), Field(comp, 8), Field(basis, 4), Field(units, 4), p.values, p.utype, p.label, p.ierr);
  return p;
}

TEST_F(BlockResults, ProfileByDescriptionWithTheUnitsBasisRule) {
  Profile p = by_description("RHOMX", "LIQUID", "", "", "MASS");
  EXPECT_EQ(p.ierr, 0);
  EXPECT_EQ(p.utype.text(), pad("MASS-DENSITY", 12));
  EXPECT_DOUBLE_EQ(p.values[1], 710.0);
  // Mass density cannot be asked for on a mole basis.
  EXPECT_EQ(by_description("RHOMX", "LIQUID", "", "", "MOLE").ierr, 1);
  // The descriptors must all agree; blank ones match anything.
  EXPECT_EQ(by_description("HMX", "VAPOR", "", "", "").ierr, 1);
  EXPECT_EQ(by_description("HMX", "", "H2O", "MASS", "").ierr, 0);
}

// The tool prints a block's results with units, a property table, an
// envelope and a sensitivity table of a file holding them.
TEST(BlockTablesTool, PrintsBlocksTablesAndStudies) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.block_results("HEATER", "H1", {"PHASE"},
                  {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"VAPOR"}),
                   BlockResult::text(prop::kMw, "SHORT", {"LIQUID"})});
  example_tables(w);
  BlockTableWriter(w).envelope("ENV", {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {}}},
                               {{0.0, 300, 1e5, {1}}, {0.0, 310, 2e5, {2}}, {1.0, 320, 3e5, {3}}});
  TempSummaryFile file(b.text());
  const auto [status, out] = run_tool("--units SI --ref-dir " + kSourceDir +
                                      "/data --block H1 --table FLASH1 --table ENV --sensitivity S-1 " + file.string());
  EXPECT_EQ(status, 0) << out;
  for (const char* want :
       {"block H1 (HEATER): 2 results\n  TEMP         VAPOR              350 K\n"
        "  MW           LIQUID             \"SHORT\"\n",
        "property table FLASH1 (FLASHCURVE): 5 points, 2 columns\n", "     3            340           0.35\n",
        "envelope ENV: 1 curves, 1 property columns\n  curve 1\n"
        "    first half, marker 0, 2 points: (300, 100000) (310, 200000)\n",
        "sensitivity S-1: 3 points, 2 columns\n  column 1: FEED TEMP\n  column 2: B1 QCALC\n"
        "     1 status 0:            300         150000\n"})
    EXPECT_NE(out.find(want), std::string::npos) << want << "\n--- in ---\n" << out;
}

}  // namespace
