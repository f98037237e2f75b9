// Column profiles: every routine checked against the random flowsheets'
// column blocks (check_columns, called by the round trip), and the cases
// random files do not reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

namespace {
using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;

std::string field(const std::string& a, size_t width, size_t k) {
  return trim(std::string_view(a).substr(width * k, width));
}
}  // namespace

void check_columns(const RandomFlowsheet& f) {
  for (const RandomColumnBlock& blk : f.columns) {
    SCOPED_TRACE("column block " + blk.id + " " + blk.model);
    const std::string id = pad(blk.id, 40);
    int64_t ncol = -1;
    tkncol_(id.data(), &ncol, id.size());
    ASSERT_EQ(ncol, static_cast<int64_t>(blk.columns.size()));
    for (int64_t c = 1; c <= ncol; ++c) {
      SCOPED_TRACE("column " + std::to_string(c));
      const RandomColumn& col = blk.columns[static_cast<size_t>(c - 1)];
      check_tray_reports(blk, c, col);
      check_sections(blk, c, col);
      int64_t cc = c, nt = -1, nc = -1, np = -1;
      tkprof_(id.data(), &cc, &nt, &nc, &np, id.size());
      const int64_t nprop = static_cast<int64_t>(col.properties.size());
      EXPECT_EQ((Ints{nt, nc, np}), (Ints{col.trays, col.components, nprop}));
      // Names and kinds into arrays of exactly the listed size; a guard
      // byte after the names.
      std::string names(12 * static_cast<size_t>(nprop) + 1, '#');
      Ints kinds(static_cast<size_t>(nprop) + 1, -7);
      int64_t ierr = -1;
      tkprop_(id.data(), &cc, &np, kinds.data(), names.data(), &ierr, id.size(), 12);
      EXPECT_EQ(ierr, 0);
      EXPECT_EQ(names.back(), '#');
      EXPECT_EQ(kinds.back(), -7);
      for (size_t k = 0; k < col.properties.size(); ++k) {
        const RandomColumnProperty& p = col.properties[k];
        SCOPED_TRACE("property " + p.name);
        EXPECT_EQ(field(names, 12, k), p.name);
        EXPECT_EQ(kinds[k], p.kind);
        const std::string pname = pad(p.name, 12);
        const std::string quantity = p.unit_type ? known_type_name(p.unit_type) : "";
        const std::string label = p.unit_type ? si_label(p.unit_type) : "";
        std::string q(12, '#'), l(16, '#');
        ierr = -1;
        if (p.kind == 1) {
          Reals v(static_cast<size_t>(col.trays) + 1, -1.0);
          tkpro1_(id.data(), pname.data(), &cc, &nt, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
          EXPECT_EQ(ierr, p.written ? 0 : 3);
          if (!p.written) continue;
          EXPECT_EQ((std::vector<std::string>{trim(q), trim(l)}), (std::vector<std::string>{quantity, label}));
          v.pop_back();
          for (size_t t = 0; t < v.size(); ++t) EXPECT_NEAR(v[t], p.si[t], 1e-9 * std::abs(p.si[t])) << t;
          continue;
        }
        // Per component: an array one component and one tray larger than
        // needed shows that nothing lands outside its place.
        const int64_t ncomp = static_cast<int64_t>(p.components.size());
        int64_t ld = ncomp + 1;
        std::string ids(8 * static_cast<size_t>(ld), '#');
        Reals v(static_cast<size_t>(ld * (col.trays + 1)), -1.0);
        tkpro2_(id.data(), pname.data(), &cc, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr,
                id.size(), 12, 8, 12, 16);
        EXPECT_EQ(ierr, p.written ? 0 : 3);
        if (!p.written) continue;
        EXPECT_EQ((std::vector<std::string>{trim(q), trim(l)}), (std::vector<std::string>{quantity, label}));
        for (size_t k2 = 0; k2 < p.components.size(); ++k2) EXPECT_EQ(field(ids, 8, k2), p.components[k2]);
        EXPECT_EQ(ids.substr(8 * static_cast<size_t>(ncomp)), std::string(8, '#'));
        for (int64_t t = 0; t <= col.trays; ++t)
          for (int64_t k2 = 0; k2 < ld; ++k2) {
            const double got = v[static_cast<size_t>(k2 + ld * t)];
            if (t == col.trays || k2 == ncomp) {
              EXPECT_EQ(got, -1.0) << "written outside at " << k2 << "," << t;
            } else {
              const double want = p.si[static_cast<size_t>(t * ncomp + k2)];
              EXPECT_NEAR(got, want, 1e-9 * std::abs(want)) << k2 << "," << t;
            }
          }
      }
      // Rate-based summary values, and the size routine for the column.
      int64_t nsum = -1;
      tkrtnr_(id.data(), &cc, &nsum, id.size());
      EXPECT_EQ(nsum, blk.model == "KINETCOL" ? static_cast<int64_t>(col.summary.size()) : 0);
      if (blk.model != "KINETCOL") continue;
      std::string sn(12 * col.summary.size() + 1, '#'), sq(12 * col.summary.size(), ' '),
          sl(16 * col.summary.size(), ' ');
      Reals sv(col.summary.size() + 1, -1.0);
      tkrtrs_(id.data(), &cc, &nsum, sn.data(), sv.data(), sq.data(), sl.data(), &ierr, id.size(), 12, 12, 16);
      EXPECT_EQ(ierr, 0);
      EXPECT_EQ(sn.back(), '#');
      EXPECT_EQ(sv.back(), -1.0);
      for (size_t k = 0; k < col.summary.size(); ++k) {
        EXPECT_EQ(field(sn, 12, k), col.summary_names[k]);
        EXPECT_NEAR(sv[k], col.summary[k].value, 1e-9 * std::abs(col.summary[k].value));
        const int64_t ut = col.summary[k].unit_type;
        EXPECT_EQ(field(sl, 16, k), ut ? si_label(ut) : "");
      }
    }
  }
}

}  // namespace flowsum::testing

namespace {

using namespace flowsum::testing;

// A tray column of 3 trays (temperature, and X over two components in
// the order B, A), a refinery block and a rate-based column whose second
// column holds a larger summary than its first.
class ColumnProfiles : public SummarySuite<ColumnProfiles> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"A", "B"});
    ColumnWriter cw(w);
    cw.profile("TRAYCOL", "T1", "TRC_PRO2", {22, 0, 3, {}, false, 22, 1, {300, 310, 320}});
    cw.profile("TRAYCOL", "T1", "TRAY_X", {36, 0, 3, {"B", "A"}, false, 0, 1, {0.1, 0.9, 0.2, 0.8, 0.3, 0.7}});
    cw.profile("CRUDEUNIT", "CU", "HYD_M", {22, 0, 2, {}, false, 22, 1, {1, 2}});
    cw.column_info("KINETCOL", "K1", 1, {{44, 5.0, 13, 1}});
    cw.column_info("KINETCOL", "K1", 2, {{44, 6.0, 13, 1}, {33, 9.0, 0, 1}});
    cw.profile("KINETCOL", "K1", "KCPR_2", {22, 2, 2, {}, false, 22, 1, {400, 410}});
    write_file(b.text());
  }
};

// Unknown blocks, blocks the family does not serve and columns outside the
// block give zeros and a failure flag, never a stale 0.
TEST_F(ColumnProfiles, BadBlocksAndColumnsGiveZerosAndFlags) {
  struct Case {
    const char* id;
    int64_t column;
    Ints sizes;  // TKNCOL, TKPROF's three, TKRTNR
    int64_t prop_flag, pro1_flag;
  };
  const std::vector<Case> cases{{"NOPE", 1, {0, 0, 0, 0, 0}, 1, 1},
                                {"CU", 1, {1, 0, 0, 0, 0}, 1, 1},
                                {"K1", 0, {2, 0, 0, 0, 0}, 1, 3},
                                {"K1", -1, {2, 0, 0, 0, 0}, 1, 3},
                                {"K1", 3, {2, 0, 0, 0, 0}, 1, 3},
                                {"K1", 2, {2, 2, 0, 3, 2}, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " column " + std::to_string(c.column));
    const std::string id = pad(c.id, 8), pname = pad("TEMP", 12);
    int64_t col = c.column, ncol = -1, nt = -1, nc = -1, np = -1, nsum = -1, ierr = 0, one = 1;
    tkncol_(id.data(), &ncol, 8);
    tkprof_(id.data(), &col, &nt, &nc, &np, 8);
    tkrtnr_(id.data(), &col, &nsum, 8);
    EXPECT_EQ((Ints{ncol, nt, nc, np, nsum}), c.sizes);
    std::string names(12, '#'), q(12, ' '), l(16, ' ');
    Ints kinds(1, -7);
    tkprop_(id.data(), &col, &one, kinds.data(), names.data(), &ierr, 8, 12);
    EXPECT_EQ(ierr, c.prop_flag);
    Reals v(2, -1.0);
    int64_t two = 2;
    ierr = 0;
    tkpro1_(id.data(), pname.data(), &col, &two, v.data(), q.data(), l.data(), &ierr, 8, 12, 12, 16);
    EXPECT_EQ(ierr, c.pro1_flag);
    std::string sn(12, ' '), sq(12, ' '), sl(16, ' ');
    ierr = 0;
    tkrtrs_(id.data(), &col, &one, sn.data(), v.data(), sq.data(), sl.data(), &ierr, 8, 12, 12, 16);
    EXPECT_EQ(ierr, c.sizes[4] > 0 ? 0 : 1);
  }
}

// Lists and profiles are cut to what the caller sized: names to NPROP,
// components to the leading dimension, trays to NTRAY.
TEST_F(ColumnProfiles, OutputsStopAtTheCallersSizes) {
  const std::string id = pad("T1", 8);
  int64_t col = 1, one = 1, ierr = -1;
  std::string names(13, '#');
  Ints kinds(2, -7);
  tkprop_(id.data(), &col, &one, kinds.data(), names.data(), &ierr, 8, 12);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(names, pad("TEMP", 12) + "#");
  EXPECT_EQ(kinds, (Ints{1, -7}));

  // One component of two, two trays of three: X(B, 1..2) only.
  int64_t ld = 1, nt = 2;
  std::string ids(9, '#'), q(12, ' '), l(16, ' ');
  Reals v(3, -1.0);
  const std::string x = pad("X", 12);
  tkpro2_(id.data(), x.data(), &col, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr, 8, 12, 8, 12, 16);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ids, pad("B", 8) + "#");
  EXPECT_EQ(v, (Reals{0.1, 0.2, -1.0}));

  // A name not in the property table, and one that names no composition.
  for (const auto& [name, flag] : std::vector<std::pair<std::string, int64_t>>{{"NOSUCH", 2}, {"TEMP", 3}}) {
    const std::string p = pad(name, 12);
    tkpro2_(id.data(), p.data(), &col, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr, 8, 12, 8, 12, 16);
    EXPECT_EQ(ierr, flag) << name;
  }
}

}  // namespace
