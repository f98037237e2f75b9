// Property tables, phase envelopes and sensitivity studies: point and column
// arithmetic, the caller's point count or leading dimension as the bound of
// every write, the two curve-half rules and the basis checks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;

Reals seq(double first, double step, size_t n) {
  Reals v;
  for (size_t i = 0; i < n; ++i) v.push_back(first + step * static_cast<double>(i));
  return v;
}

class PropertyTables : public SummarySuite<PropertyTables> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    BlockTableWriter t(w);
    // 10 points of 3 columns; value j of the table is j.
    t.property_table("FLASHCURVE", "FC1",
                     {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, seq(1, 3, 10)},
                      {prop::kHmx, "MIXED", "LIQUID", "H2O", "MOLE", unit_type::kMolarEnthalpy, 1, seq(2, 3, 10)},
                      {prop::kVfrac, "MIXED", "VAPOR", "", "", 0, 1, seq(3, 3, 10)}});
    t.property_table("FLASHCURVE", "ONE", {{prop::kPres, "MIXED", "", "", "", 0, 1, {5, 6, 7, 8}}});
    // Two curves of two halves each.
    const std::vector<ProfileColumn> cols{
        {prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {}},
        {prop::kHmx, "MIXED", "VAPOR", "", "", unit_type::kMolarEnthalpy, 1, {}}};
    t.envelope("ENV1", cols,
               {{0.0, 300, 1e5, {1, 2}}, {0.0, 310, 2e5, {3, 4}}, {0.0, 320, 3e5, {5, 6}},
                {1.0, 330, 4e5, {7, 8}}, {1.0, 340, 5e5, {9, 10}},
                {0.0, 350, 6e5, {11, 12}}, {0.0, 360, 7e5, {13, 14}},
                {1.0, 370, 8e5, {15, 16}}, {1.0, 380, 9e5, {17, 18}}});
    // Markers 0, 0.5 and 1: the count skips a half at the new 0.5, the
    // readers after it.
    t.envelope("ENV2", {cols[0]},
               {{0.0, 1, 1, {1}}, {0.0, 2, 2, {2}}, {0.5, 3, 3, {3}}, {0.5, 4, 4, {4}},
                {1.0, 5, 5, {5}}, {1.0, 6, 6, {6}}});
    // A table whose loading sequence names no point set.
    w.single({"PROP-TABLE", "FLASHCURVE", "NOPTS", "PROPTAB"}, "NOPT", {"PROPERTIES"},
             {{{"22"}, 2, 0}, {{"23"}, 2, 0}}, {Value::real(1.0), Value::real(2.0)});
    // Studies: S-1 with status for points 1 and 3, S-2 with no status values
    // at all (the set then holds a code outside the table).
    t.sensitivity({"S-1", 3, 2, {{"FEED", "TEMP", "A DESCRIPTOR LONGER THAN 8"}, {"B1", "QCALC"}},
                   {{11, 12}, {21, 22}, {31, 32}}, {{1, 0}, {3, 4}}});
    t.sensitivity({"S-2", 2, 1, {}, {{1}, {2}}, {}});
    // A study without its table.
    w.single({"SENSITIVITY", "S-3", "OTHER"}, "SOTHER", {"ITEM"}, {{{"X"}, 2, 0}}, {Value::real(1.0)});
    write_file(b.text());
  }
};

// TKSPPT: points, columns (-5 when not written) and status.
Ints shape(const std::string& table) {
  int64_t np = -1, nc = -5, st = -1;
  call(tksppt_, Field(table, 12), np, nc, st);
  return {np, nc, st};
}

struct Column {
  Field pname{"#", 12}, sub{"#", 8}, phase{"#", 8}, comp{"#", 8}, basis{"#", 4}, fbasis{"#", 4}, utype{"#", 12},
      label{"#", 16};
  Reals values = Reals(12, -1.0);
  int64_t ierr = -1;
};
Column column(const std::string& table, int64_t np, int64_t k, size_t room = 12) {
  Column c;
  c.values.resize(room);
  call(tknppr_, Field(table, 12), np, k, c.pname, c.sub, c.phase, c.comp, c.basis, c.fbasis, c.values, c.utype,
       c.label, c.ierr);
  return c;
}
// TKPPRP on FC1's ten points for the MIXED substream.
Column by_description(const std::string& pname, const std::string& phase, const std::string& ubasis) {
  Column c;
  call(tkpprp_, Field("FC1", 12), int64_t{10}, Field(pname, 12), Field("MIXED", 8), Field(phase, 8),
       Field(phase.empty() ? "" : "H2O", 8), Field(phase.empty() ? "" : "MOLE", 4), Field(ubasis, 4), c.values,
       c.utype, c.label, c.ierr);
  return c;
}

// Ordinary columns are read by the tool's and the API's property tables;
// here the bounds of every write, the basis check and descriptor matching.
TEST_F(PropertyTables, ColumnsByPositionAndByDescription) {
  EXPECT_EQ(shape("FC1"), (Ints{10, 3, 0}));
  Column c = column("FC1", 10, 2);
  EXPECT_EQ(c.values, (Reals{2, 5, 8, 11, 14, 17, 20, 23, 26, 29, -1, -1}));
  EXPECT_EQ(c.fbasis.text() + c.utype.text() + c.label.text(), "MOLE" + pad("MOLE-ENTHALP", 12) + pad("J/KMOL", 16));
  EXPECT_EQ(column("ONE", 4, 1).values[3], 8);
  // A table whose sequence names no point set has no points and leaves the
  // column count alone; no table at all is an error. A column outside the
  // table, a point count that is not the caller's, or more points than
  // values: flag 1.
  EXPECT_EQ(shape("NOPTS"), (Ints{0, -5, 0}));
  EXPECT_EQ(shape("NOSUCH"), (Ints{0, -5, 1}));
  for (auto [table, np, k] : {std::tuple<const char*, int64_t, int64_t>{"FC1", 10, 4}, {"FC1", 10, 0},
                                {"NOSUCH", 10, 1}, {"FC1", 0, 1}, {"ONE", 8, 1}})
    EXPECT_EQ(column(table, np, k).ierr, 1) << table << " " << np << " " << k;
  // Seven points asked for: 30 values make 4 a point, which would run to an
  // eighth point; only the caller's seven elements are written.
  c = column("FC1", 7, 1, 9);
  EXPECT_EQ(c.ierr, 1);
  EXPECT_EQ(Reals(c.values.begin() + 6, c.values.end()), (Reals{25, -1, -1}));

  c = by_description("HMX", "LIQUID", "MOLE");
  EXPECT_EQ(std::tuple(c.ierr, c.values[9], c.utype.text()), std::tuple(int64_t{0}, 29.0, pad("MOLE-ENTHALP", 12)));
  // A molar enthalpy asked for on a mass basis; an unknown basis is not
  // checked.
  c = by_description("HMX", "LIQUID", "MASS");
  EXPECT_EQ(std::pair(c.ierr, c.values[0]), std::pair(int64_t{1}, -1.0));
  EXPECT_EQ(by_description("HMX", "LIQUID", "XYZ").ierr, 0);
  // Descriptors that match no column; blank ones match anything.
  EXPECT_EQ(by_description("HMX", "VAPOR", "").ierr, 1);
  EXPECT_EQ(by_description("TEMP", "", "").values[1], 4);
}

TEST_F(PropertyTables, EnvelopeCurvesHalvesAndColumns) {
  auto envelope = [](const std::string& table) {
    int64_t nc = -1, ncol = -1, st = -1;
    call(tknenv_, Field(table, 12), nc, ncol, st);
    return Ints{nc, ncol, st};
  };
  auto curve = [](const std::string& table, int64_t e) {
    int64_t n1 = -1, n2 = -1;
    call(tksenv_, Field(table, 12), e, n1, n2);
    return Ints{n1, n2};
  };
  EXPECT_EQ(envelope("ENV1"), (Ints{2, 2, 0}));
  EXPECT_EQ(envelope("NOSUCH"), (Ints{0, 0, 1}));
  // ENV2's count: 0 starts half 1, the new 0.5 half 3, 1 half 4: two
  // curves. Its readers: 0 half 1, 0.5 half 2, 1 after the 0.5 half 4.
  EXPECT_EQ(envelope("ENV2")[0], 2);
  for (auto [table, e, want] : {std::tuple{"ENV1", 1, Ints{3, 2}}, {"ENV1", 2, Ints{2, 2}}, {"ENV1", 3, Ints{0, 0}},
                                {"ENV2", 1, Ints{2, 2}}, {"ENV2", 2, Ints{0, 2}}})
    EXPECT_EQ(curve(table, e), want) << table << " " << e;

  const Field id("ENV1", 12);
  double m1 = -1, m2 = -1;
  Column c;
  Reals v1(4, -1), v2(4, -1);
  call(tknpev_, id, int64_t{1}, int64_t{2}, int64_t{0}, int64_t{0}, m1, m2, c.pname, c.sub, c.phase, c.comp,
       c.basis, c.fbasis, v1, v2, c.utype, c.label);
  EXPECT_EQ(c.pname.text() + c.phase.text() + c.fbasis.text() + c.utype.text(),
            pad("HMX", 12) + pad("VAPOR", 8) + "MOLE" + pad("MOLE-ENTHALP", 12));
  EXPECT_EQ(v1, (Reals{2, 4, 6, -1}));
  EXPECT_EQ(std::pair(m1, m2), std::pair(0.0, 1.0));  // the markers of the curve's two halves
  EXPECT_EQ(v2, (Reals{8, 10, -1, -1}));
  // The same column by its description, and refused on a mass basis.
  auto ppev = [&](const std::string& ubasis) {
    Reals p(8, -1);
    call(tkppev_, id, int64_t{2}, int64_t{0}, int64_t{0}, Field("HMX", 12), Field("MIXED", 8), Field("VAPOR", 8),
         Field("", 8), Field("", 4), Field(ubasis, 4), m1, m2, p, p[4], c.utype, c.label);
    return p;
  };
  EXPECT_EQ(ppev("MOLE"), (Reals{12, 14, -1, -1, 16, 18, -1, -1}));
  EXPECT_EQ(ppev("MASS"), Reals(8, -1));
  EXPECT_EQ(c.utype.text(), pad("", 12));
}

// TKSENS into arrays of ld x ncol values, 6 x ncol descriptors and npoints
// statuses, each with one guard element after it.
struct Study {
  Field desc;
  Reals matrix;
  Ints status;
  int64_t ierr = -1;
};
Study study(const std::string& id, int64_t ld, size_t ncol, size_t npoints) {
  Study t{Field(8, 6 * ncol + 1), Reals(static_cast<size_t>(ld) * ncol + 1, -1.0), Ints(npoints + 1, -7)};
  call(tksens_, Field(id, 16), ld, int64_t{0}, t.desc, t.matrix, t.status, t.ierr);
  return t;
}

TEST_F(PropertyTables, SensitivityStudies) {
  for (auto [id, want] : {std::pair{"S-1", Ints{3, 2, 0}}, {"S-3", Ints{0, 0, 1}}, {"NOSUCH", Ints{0, 0, 1}}}) {
    int64_t np = -1, nc = -1, st = -1;
    call(tknsen_, Field(id, 16), np, nc, st);
    EXPECT_EQ((Ints{np, nc, st}), want) << id;
  }
  Study t = study("S-1", 5, 2, 3);
  EXPECT_EQ(t.ierr, 0);
  // Entry (2, 2) is element 7 with L = 5; status arrives for points 1 and 3.
  EXPECT_EQ(t.matrix, (Reals{11, 21, 31, -1, -1, 12, 22, 32, -1, -1, -1}));
  EXPECT_EQ(t.status, (Ints{0, -7, 4, -7}));
  EXPECT_EQ(t.desc.text().substr(0, 24), "FEED    TEMP    A DESCRI");
  EXPECT_EQ(t.desc[6] + t.desc[7] + t.desc[8] + t.desc[12], "B1      QCALC           ########");
  // Status codes outside the table change nothing.
  t = study("S-2", 2, 1, 2);
  EXPECT_EQ(t.ierr, 0);
  EXPECT_EQ(t.matrix, (Reals{1, 2, -1}));
  EXPECT_EQ(t.status, (Ints{-7, -7, -7}));
  // L = 2 for 3 points: the third point's entries are not written (they
  // would land in the next column's place) and the flag says so.
  t = study("S-1", 2, 2, 3);
  EXPECT_EQ(t.ierr, 1);
  EXPECT_EQ(t.matrix, (Reals{11, 21, 12, 22, -1}));
  t = study("NOSUCH", 3, 1, 1);
  EXPECT_EQ(t.ierr, 1);
  EXPECT_EQ(t.matrix, (Reals(4, -1.0)));
  EXPECT_EQ(t.desc.text(), std::string(56, '#'));
  EXPECT_EQ(study("S-3", 3, 1, 1).ierr, 1);
}

}  // namespace
