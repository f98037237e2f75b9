// Block results, the flowsheet balance, reactor property reports, and the
// generic value and profile readers with their choice among siblings.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;

// A caller's path: keywords in fields of `width`.
Field path(const std::vector<std::string>& keys, size_t width = 16) {
  std::string s;
  for (const std::string& k : keys) s += pad(k, width);
  return Field(s, width, keys.size());
}

class BlockResults : public SummarySuite<BlockResults> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    // Two descriptive qualifiers and every value type (a single qualifier is
    // shown by the tool's stored block summaries of the example's column).
    w.block_results("HEATER", "H1", {"SUBSTREAM", "PHASE"},
                    {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"MIXED", "VAPOR"}),
                     BlockResult::integer(prop::kNstage, 12, {"MIXED", "LIQUID"}),
                     BlockResult::text(prop::kMw, "ABCDEFGH", {"CISOLID", "SOLID"}),
                     BlockResult::real(prop::kVfrac, 0.25, unit_type::kNone, {"MIXED", "TOTAL"}),
                     {prop::kRefluxRatio, {"NCPSD", "LONG"}, Value::text("A LONG TEXT OF MANY WORDS"), 6, 0}});
    BlockTableWriter t(w);
    t.reactor_report("TUBERX", "R1", "TUBE_PRP",
                     {{prop::kTemp, "MIXED", "VAPOR", "", "MOLE", unit_type::kTemperature, 1, {300.0, 310.0, 320.0}},
                      {prop::kHmx, "MIXED", "LIQUID", "H2O", "MASS", unit_type::kMolarEnthalpy, 1, {1.0E6, 2.0E6, 3.0E6}},
                      {prop::kRhomx, "MIXED", "LIQUID", "", "MASS", unit_type::kMassDensity, 1, {700.0, 710.0, 720.0}}});
    // Three properties at two points along PHASE: A A A B B B.
    w.idset_once("P3", {"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}, {{"24"}, 2, 0}});
    w.idset_once("AB", {"PHASE"}, {{{"A"}}, {{"B"}}});
    w.lset_once("PAB", "(%P3 & %AB)");
    b.dset({"PROFILE", "P1"}, "PAB",
           {Value::real(300, 1), Value::real(1e5, 1), Value::real(0.1), Value::real(310, 1),
            Value::real(2e5, 1), Value::real(0.2)});
    // Two data sets on one path: one value, then the six of the profile.
    w.idset_once("P1", {"PROPERTIES"}, {{{"22"}, 2, 22}});
    w.lset_once("ONE", "(%P1)");
    // One property at two points: A B.
    w.lset_once("P1AB", "(%P1 & %AB)");
    b.dset({"PROFILE", "P2"}, "P1AB", {Value::real(300, 1), Value::real(310, 1)});
    b.dset({"BLOCK", "HEATER", "H2", "RESULTS"}, "ONE", {Value::real(300, 1)});
    const std::vector<Value> six{Value::real(1, 1), Value::real(2, 1), Value::real(3),
                                 Value::real(4, 1), Value::real(5, 1), Value::real(6)};
    b.dset({"BLOCK", "HEATER", "H2", "RESULTS"}, "PAB", six);
    // A keyword that is the start of a longer key met before it in its chain.
    b.dset({"BLOCK", "HEATX", "E1", "HOT_HCURVE"}, "ONE", {Value::real(300, 1)});
    b.dset({"BLOCK", "HEATX", "E1", "HOT_"}, "PAB", six);
    t.reactor_report("BATCHRX", "BR2", "OTHER", {{prop::kTemp, "MIXED", "", "", "", 0, 1, {1.0}}});
    t.flowsheet_balance({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    // A batch reactor with the vent report only, under both section names;
    // the second is the file's last data set, whose record ends the tree.
    t.reactor_report("BATCHRX", "BR1", "BRX_PRF3",
                     {{prop::kPres, "MIXED", "VAPOR", "", "", unit_type::kPressure, 1, {1.0E5, 2.0E5}}});
    t.reactor_report("BATCHRX", "BR1", "BTRX_PRF3",
                     {{prop::kTemp, "MIXED", "VAPOR", "", "", unit_type::kTemperature, 1, {400.0, 410.0}}});
    shaped_profile(w, b, 2);
    write_file(b.text());
  }
  // BLOCK HEATER H4 PROF: TEMP at n points, under sequence and set names
  // that every file of this test uses.
  static void shaped_profile(FlowsheetWriter& w, SummaryBuilder& b, int64_t n) {
    w.idset_once("NP", {"NPOINT"}, {{{"#" + std::to_string(n)}}});
    w.lset_once("SHP", "(%P1 & %NP)");
    b.dset({"BLOCK", "HEATER", "H4", "PROF"}, "SHP", std::vector<Value>(static_cast<size_t>(n), Value::real(300, 1)));
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

TEST_F(BlockResults, ResultTablesWithTheirQualifiersAndValueTypes) {
  ResultTable r = results("H1");
  ASSERT_EQ((Ints{r.status, r.n, r.ndesc}), (Ints{0, 5, 2}));
  // Two consecutive descriptor elements per result, then nothing more.
  EXPECT_EQ(r.quals.text().substr(0, 88),
            "MIXED   VAPOR   MIXED   LIQUID  CISOLID SOLID   MIXED   TOTAL   NCPSD   LONG    ########");
  EXPECT_EQ(Ints(r.types.begin(), r.types.begin() + 5), (Ints{2, 1, 3, 2, 3}));
  // A real with a unit type is converted (K to C) and labelled; one without
  // comes back as stored, unit texts blank.
  EXPECT_NEAR(r.reals[0], 76.85, 1e-9);
  EXPECT_EQ(r.labels[0] + r.utypes[3], pad("C", 28));
  EXPECT_DOUBLE_EQ(r.reals[3], 0.25);
  // Integers keep their word, other kinds read 0 there; long texts are cut.
  EXPECT_EQ((Ints{r.ints[0], r.ints[1]}), (Ints{0, 12}));
  EXPECT_EQ(r.texts[4] + r.names[5], "A LONG T" + std::string(12, '#'));
  // No such block, and a block without a result table (its fields untouched).
  for (const char* id : {"NOSUCH", "R1"}) {
    r = results(id);
    EXPECT_EQ(r.n, 0) << id;
    EXPECT_NE(r.status, 0) << id;
    EXPECT_EQ(r.names.text(), std::string(96, '#')) << id;
  }
}

// TKFLWB with p and q; the arrays have `room` elements (by default one
// more than p, q), prefilled with -1: scalars, a1, a2, b1, b2 in one row.
Reals balance(int64_t p, int64_t q, int64_t* ierr, size_t room = 0) {
  Reals s(6, -1), a1(room ? room : static_cast<size_t>(p) + 1, -1), a2 = a1, b1(static_cast<size_t>(q) + 1, -1),
      b2 = b1;
  tkflwb_(&s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &p, a1.data(), a2.data(), &q, b1.data(), b2.data(), ierr);
  for (const Reals* v : {&a1, &a2, &b1, &b2}) s.insert(s.end(), v->begin(), v->end());
  return s;
}

TEST_F(BlockResults, FlowsheetBalanceOrderAndAShortDataSet) {
  int64_t ierr = -1;
  EXPECT_EQ(balance(2, 1, &ierr), (Reals{7, 8, 9, 10, 11, 12, 1, 2, -1, 3, 4, -1, 5, -1, 6, -1}));
  EXPECT_EQ(ierr, 0);
  // p and q larger than the data set holds: nothing is read from beyond its
  // values and the flag says the sizes disagree.
  EXPECT_EQ(balance(4, 2, &ierr), (Reals{-1, -1, -1, -1, -1, -1, 1, 2, 3, 4, -1, 5, 6, 7, 8, -1, 9, 10, -1, 11,
                                         12, -1}));
  EXPECT_EQ(ierr, 1);
  // A count no data set can hold ends without running through it.
  const Reals huge = balance(INT64_MAX, 0, &ierr, 13);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ((Reals{huge[6 + 11], huge[6 + 12], huge[6 + 13]}), (Reals{12, -1, -1}));
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
// TKRRRP for the MIXED substream of R1's report.
Profile by_description(const std::string& pname, const std::string& phase, const std::string& comp,
                       const std::string& units) {
  Profile p;
  call(tkrrrp_, Field("R1", 8), Field("PROP-REPORT", 12), int64_t{0}, Field(pname, 12), Field("MIXED", 8),
       Field(phase, 8), Field(comp, 8), Field(comp.empty() ? "" : "MASS", 4), Field(units, 4), p.values, p.utype,
       p.label, p.ierr);
  return p;
}

TEST_F(BlockResults, ReportTypesSizesAndProfilesOfReactorBlocks) {
  auto types = [](const std::string& block) {
    int64_t n = -1, ierr = -1;
    Field t(12, 3);
    call(tklrrp_, Field(block, 8), n, t, ierr);
    return std::tuple(ierr, n, t.text());
  };
  EXPECT_EQ(types("R1"), std::tuple(int64_t{0}, int64_t{1}, pad("PROP-REPORT", 36)));
  EXPECT_EQ(std::get<2>(types("BR1")).substr(0, 12), pad("PROP-VENT", 12));
  EXPECT_EQ(std::get<0>(types("BR2")), 2);
  EXPECT_EQ(std::get<0>(types("H1")), 1);
  EXPECT_EQ(std::get<1>(types("NOSUCH")), 0);
  const std::tuple<const char*, const char*, Ints> sizes[] = {
      {"R1", "PROP-REPORT", {3, 3, 0}}, {"BR1", "PROP-VENT", {2, 1, 0}}, {"BR1", "PROP-ACCUM", {0, 0, 1}},
      {"R1", "PROP-OTHER", {0, 0, 1}}, {"NOSUCH", "PROP-REPORT", {0, 0, 0}}};
  for (const auto& [block, type, want] : sizes) {
    int64_t np = -1, nprof = -1, ierr = -1;
    call(tksrrp_, Field(block, 8), Field(type, 12), np, nprof, ierr);
    EXPECT_EQ((Ints{np, nprof, ierr}), want) << block << " " << type;
  }
  // Report profiles by position and by description.
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
  EXPECT_EQ(std::tuple(past.ierr, past.pname.text(), past.values[0]), std::tuple(int64_t{1}, pad("", 12), -1.0));

  Profile d = by_description("RHOMX", "LIQUID", "", "MASS");
  EXPECT_EQ(std::tuple(d.ierr, d.utype.text(), d.values[1]), std::tuple(int64_t{0}, pad("MASS-DENSITY", 12), 710.0));
  // Mass density cannot be asked for on a mole basis; the descriptors must
  // all agree, blank ones match anything.
  EXPECT_EQ(by_description("RHOMX", "LIQUID", "", "MOLE").ierr, 1);
  EXPECT_EQ(by_description("HMX", "VAPOR", "", "").ierr, 1);
  EXPECT_EQ(by_description("HMX", "", "H2O", "").ierr, 0);
}

// TKNVAL counts the data set the readers read, and sizes TKPVAL's and
// TKAVAL's arrays: after the later sibling of a path was read by its
// qualifier (H2: the readers still read the first one), for a keyword that a
// longer key earlier in its chain starts with (the readers take the key that
// is the keyword itself), and for a block's "COMPSTAT" (one value built for it).
TEST_F(BlockResults, CountIsOfTheDataSetTheReadersRead) {
  const std::tuple<std::vector<std::string>, int64_t, double> cases[] = {
      {{"BLOCK", "HEATER", "H2", "RESULTS"}, 1, 300 - 273.15},
      {{"BLOCK", "HEATX", "E1", "HOT_"}, 6, -2},
      {{"BLOCK", "HEATX", "E1", "HOT_HCURVE"}, 1, -2},
      {{"BLOCK", "HEATER", "H1", "COMPSTAT"}, 1, -2},
  };
  for (const auto& [keys, want, first] : cases) {
    const Field ids = path(keys);
    const size_t n = static_cast<size_t>(want);
    auto read_later_sibling = [&] {
      int64_t nq = -1, nd = -1, locq = 0, locd = 0;
      if (keys[2] != "H2") return;
      call(tkdset_, int64_t{4}, ids, Field("PAB", 8), nq, nd, locq, locd);
      ASSERT_EQ(nd, 6);
    };
    read_later_sibling();
    int64_t nd = -1, nq = -1, nv = -1, ierr = -1;
    call(tknval_, ids, int64_t{4}, nd, nq, ierr);
    ASSERT_EQ(std::pair(nd, ierr), std::pair(want, int64_t{0})) << keys[3];
    // TKPVAL and TKAVAL into arrays of one entry more, prefilled with '#' and -1.
    Field names(12, n + 1), texts(8, n + 1), utypes(12, n + 1), labels(16, n + 1);
    Ints types(n + 1, -1), ints(n + 1, -1);
    Reals values(n + 1, -1);
    call(tkpval_, ids, int64_t{4}, int64_t{0}, names, values, utypes, labels, nv, ierr);
    EXPECT_EQ(std::tuple(nv, values[n], names[n]), std::tuple(want, -1.0, std::string(12, '#'))) << keys[3];
    if (first != -2) EXPECT_NEAR(values[0], first, 1e-9);
    read_later_sibling();
    labels = Field(16, n + 1);
    call(tkaval_, ids, int64_t{4}, int64_t{0}, names, types, ints, texts, values, utypes, labels, nv, ierr);
    EXPECT_EQ(std::tuple(nv, types[n], labels[n]), std::tuple(want, int64_t{-1}, std::string(16, '#'))) << keys[3];
  }
}

TEST_F(BlockResults, ProfileShapesReadingAndTheFileLoadedLast) {
  const Field ids = path({"PROFILE", "P1"}), qname("PHASE", 16);
  int64_t nset = -1, nper = -1, ierr = -1, nword = 0, qwords[4];
  call(tkcins_, int64_t{16}, qname, nword, qwords);
  // Three properties at two points, and one property at two points (its
  // only change is at the last value).
  for (auto [profile, sets, per] : {std::tuple{"P1", 2, 3}, {"P2", 2, 1}}) {
    call(tksprf_, path({"PROFILE", profile}), int64_t{2}, qwords, nset, nper, ierr);
    EXPECT_EQ((Ints{nset, nper, ierr}), (Ints{sets, per, 0})) << profile;
  }
  // TKPRF2 reads the shape it is given (point 2's first property is value
  // 4), nothing past it; a shape that is not the data set's, or one whose
  // product wraps around 64 bits onto a small count, reads nothing.
  for (auto [points, props, want, at4] : {std::tuple<int64_t, int64_t, int64_t, double>{2, 3, 0, 310 - 273.15},
                                          {3, 3, 3, -1}, {INT64_MAX / 2 + 1, 2, 3, -1}}) {
    Reals values(7, -1);
    call(tkprf2_, ids, int64_t{2}, qname, points, props, Field(12, 4), values, Field(12, 6), Field(16, 6), ierr);
    EXPECT_EQ(std::tuple(ierr, values[6]), std::tuple(want, -1.0)) << points;
    EXPECT_NEAR(values[3], at4, 1e-9) << points;
  }
  // Sequences and set heads are kept for a load only: a file loaded next
  // whose sequence and set of the same names have other sizes is read afresh.
  const Field h4 = path({"BLOCK", "HEATER", "H4", "PROF"}), kn = path({"PROPERTIES"});
  auto sizes_of = [&] {
    Ints sizes{-1};
    int64_t nfound = -1, nmem = -1, nsets = -1, ierr = -1;
    call(tkspr3_, h4, int64_t{4}, int64_t{1}, kn, path({"TEMP"}), int64_t{1}, path({"NPOINT"}), sizes, nfound,
         ierr);
    call(tkspr2_, h4, int64_t{4}, Field("NPOINT", 8), nmem, nsets, ierr);
    return Ints{sizes[0], nmem};
  };
  EXPECT_EQ(sizes_of(), (Ints{2, 2}));
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.idset_once("P1", {"PROPERTIES"}, {{{"22"}, 2, 22}});
  shaped_profile(w, b, 5);
  const TempSummaryFile other(b.text());
  const LoadedSummary loaded(other.string());
  ASSERT_EQ(loaded.ierr(), 0);
  EXPECT_EQ(sizes_of(), (Ints{5, 5}));
}

// TKSPLT over a block's TUBE_PRP section (the model keyword left for it to
// fill), with the descriptor values in their usual order.
TEST_F(BlockResults, ChoosingDataSetsByQualifierValuesAndTheirDimensions) {
  Field ids("", 128), qual("#", 8);
  auto split = [&](const std::string& block, const std::vector<std::string>& vals) {
    static const std::vector<std::string> names{"PROPERTIES", "SUBSTREAM", "PHASE"};
    int64_t ierr = -1;
    ids = path({"BLOCK", "X", block, "TUBE_PRP"}, 128);
    qual = Field("#", 8);
    call(tksplt_, int64_t{4}, ids, static_cast<int64_t>(vals.size()),
         path({names.begin(), names.begin() + static_cast<std::ptrdiff_t>(vals.size())}), path(vals), qual, ierr);
    return ierr;
  };
  EXPECT_EQ(split("R1", {"HMX", "", "LIQUID"}), 0);
  EXPECT_NE(qual.text(), pad("#", 8));
  EXPECT_EQ(ids[1], pad("TUBERX", 128));  // the model filled in
  EXPECT_EQ(split("R1", {"NOSUCHPROP"}), 2);
  // A block that does not exist is a failure, with the qualifier blank.
  EXPECT_EQ(split("NOSUCH", {"HMX"}), 1);
  EXPECT_EQ(qual.text(), pad("", 8));
  // The block exists, the section does not.
  EXPECT_EQ(split("H1", {"TEMP"}), 3);
  // TKFDST chooses any data set by qualifier values.
  const Field r1 = path({"BLOCK", "TUBERX", "R1", "TUBE_PRP"}), kn = path({"PROPERTIES", "PHASE"});
  int64_t ipos = -1, ierr = -1;
  auto fdst = [&](const Field& at, const Field& values) {
    call(tkfdst_, at, int64_t{4}, int64_t{2}, kn, values, Field(8), ipos, ierr);
    return ierr;
  };
  EXPECT_EQ(fdst(r1, path({"RHOMX", "LIQUID"})), 0);
  EXPECT_GT(ipos, 0);
  EXPECT_EQ(fdst(r1, path({"NOTAPROP", ""})), 2);
  EXPECT_EQ(fdst(path({"BLOCK", "TUBERX", "R9", "TUBE_PRP"}), path({"RHOMX", ""})), 3);
  // Dimensions of the chosen data set: a name not along it is not found.
  Ints sizes{-1, -1};
  int64_t nfound = -1;
  call(tkspr3_, r1, int64_t{4}, int64_t{2}, kn, path({"RHOMX", "LIQUID"}), int64_t{2},
       path({"NPOINT", "OTHER"}), sizes, nfound, ierr);
  EXPECT_EQ((Ints{ierr, nfound, sizes[0], sizes[1]}), (Ints{0, 1, 3, -1}));
}

// TKNPRF and TKPRFR (checked on the random pipelines) at K past the siblings
// and an N or NP that is not the profile's count; TKPRFR fills in the model.
TEST_F(BlockResults, ProfilesAmongSiblingsByPositionAndDescriptors) {
  for (auto [n, k, ierr, name] : {std::tuple{3, 3, 0, "RHOMX"}, {3, 4, 0, ""}, {2, 1, 1, ""}}) {
    Profile p;
    call(tknprf_, path({"BLOCK", "TUBERX", "R1", "TUBE_PRP"}), int64_t{4}, int64_t{n}, int64_t{k}, p.pname, p.sub,
         p.phase, p.comp, p.basis, p.fbasis, p.values, p.utype, p.label, p.ierr);
    EXPECT_EQ(std::tuple(p.ierr, p.pname.text(), p.values[0]),
              std::tuple(int64_t{ierr}, pad(name, 12), name == std::string("RHOMX") ? 700.0 : -1.0)) << k;
  }
  for (auto [np, ierr, first] : {std::tuple{3, 0, 300 - 273.15}, {4, 1, -1.0}}) {
    Reals v(4, -1);
    int64_t e = -1;
    call(tkprfr_, path({"BLOCK", "X", "R1", "TUBE_PRP"}, 128), int64_t{4}, path({"TEMP", "MIXED"}), int64_t{2},
         int64_t{np}, v, Field(12), Field(16), e);
    EXPECT_EQ(e, ierr) << np;
    EXPECT_NEAR(v[0], first, 1e-9) << np;
  }
}

}  // namespace
