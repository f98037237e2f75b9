// Column profiles: every routine checked against the random flowsheets'
// column blocks (check_columns, called by the round trip), and the cases
// random files do not reach.
#include <gtest/gtest.h>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

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
      int64_t cc = c, nt = -1, nc = -1, np = -1, ierr = -1;
      tkprof_(id.data(), &cc, &nt, &nc, &np, id.size());
      const size_t n = col.properties.size();
      EXPECT_EQ((Ints{nt, nc, np}), (Ints{col.trays, col.components, static_cast<int64_t>(n)}));
      // Arrays of exactly the listed size, and a guard after them.
      std::string names(12 * n + 1, '#');
      Ints kinds(n + 1, -7);
      tkprop_(id.data(), &cc, &np, kinds.data(), names.data(), &ierr, id.size(), 12);
      EXPECT_EQ((Ints{ierr, kinds.back(), names.back()}), (Ints{0, -7, '#'}));
      for (size_t k = 0; k < n; ++k) {
        const Series& p = col.properties[k];
        SCOPED_TRACE("property " + p.name);
        EXPECT_EQ((std::pair{field(names, 12, k), kinds[k]}), (std::pair{p.name, p.kind}));
        const std::string pname = pad(p.name, 12);
        std::string q(12, '#'), l(16, '#');
        // Per component: one component and one tray more than needed show
        // that nothing lands outside its place.
        int64_t nk = static_cast<int64_t>(p.components.size()), ld = nk + 1;
        std::string ids(8 * static_cast<size_t>(ld), '#');
        Reals v(static_cast<size_t>(p.kind == 1 ? nt + 1 : ld * (nt + 1)), -1.0);
        if (p.kind == 1)
          tkpro1_(id.data(), pname.data(), &cc, &nt, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
        else
          tkpro2_(id.data(), pname.data(), &cc, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr,
                  id.size(), 12, 8, 12, 16);
        EXPECT_EQ(ierr, p.written ? 0 : 3);
        if (!p.written) continue;
        EXPECT_EQ((Texts{trim(q), trim(l)}), units_of(p.unit_type));
        Reals want = p.si;
        if (p.kind == 2) {
          for (size_t k2 = 0; k2 < p.components.size(); ++k2) EXPECT_EQ(field(ids, 8, k2), p.components[k2]);
          EXPECT_EQ(ids.substr(8 * static_cast<size_t>(nk)), std::string(8, '#'));
          // The truth runs components fastest over the caller's layout.
          want.clear();
          for (int64_t t = 0; t < nt; ++t)
            for (int64_t k2 = 0; k2 <= nk; ++k2) want.push_back(k2 < nk ? p.si[static_cast<size_t>(t * nk + k2)] : -1.0);
        }
        want.resize(v.size(), -1.0);
        expect_si(v, want);
      }
      // Rate-based summary values.
      int64_t nsum = -1;
      tkrtnr_(id.data(), &cc, &nsum, id.size());
      EXPECT_EQ(nsum, blk.model == "KINETCOL" ? static_cast<int64_t>(col.summary.size()) : 0);
      if (blk.model != "KINETCOL") continue;
      const size_t ns = col.summary.size();
      std::string sn(12 * ns + 1, '#'), sq(12 * ns, ' '), sl(16 * ns, ' ');
      Reals sv(ns + 1, -1.0), want{-1.0};
      tkrtrs_(id.data(), &cc, &nsum, sn.data(), sv.data(), sq.data(), sl.data(), &ierr, id.size(), 12, 12, 16);
      EXPECT_EQ((std::pair{ierr, sn.back()}), (std::pair{int64_t{0}, '#'}));
      want.clear();
      for (size_t k = 0; k < ns; ++k) {
        const Series& s = col.summary[k];
        EXPECT_EQ((Texts{field(sn, 12, k), field(sq, 12, k), field(sl, 16, k)}),
                  (Texts{s.name, units_of(s.unit_type)[0], units_of(s.unit_type)[1]}));
        want.push_back(s.si[0]);
      }
      want.push_back(-1.0);
      expect_si(sv, want);
    }
  }
}

namespace {

// A tray column of 3 trays (temperature, and X over components B, A), a
// refinery block, and a rate-based column whose second column has the
// longer summary.
class ColumnProfiles : public SummarySuite<ColumnProfiles> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"A", "B"});
    column_dataset(w, {"BLOCK", "TRAYCOL", "T1", "TRC_PRO2"}, {property_set(22, 22), tray_set({1, 2, 3})},
                   reals({300, 310, 320}, 1));
    column_dataset(w, {"BLOCK", "TRAYCOL", "T1", "TRAY_X"},
                   {property_set(36), component_set({"B", "A"}), tray_set({1, 2, 3})}, reals({.1, .9, .2, .8, .3, .7}));
    column_dataset(w, {"BLOCK", "CRUDEUNIT", "CU", "HYD_M"}, {property_set(22, 22), tray_set({1, 2})}, reals({1, 2}, 1));
    column_dataset(w, {"BLOCK", "KINETCOL", "K1", "COL_INFO"}, {property_set(44, 13), column_set(1)}, reals({5}, 1));
    column_dataset(w, {"BLOCK", "KINETCOL", "K1", "COL_INFO"},
                   {{{"PROPERTIES"}, {{{"44"}, 2, 13}, {{"33"}, 2, 0}}, ""}, column_set(2)}, {Value::real(6, 1), Value::real(9)});
    column_dataset(w, {"BLOCK", "KINETCOL", "K1", "KCPR_2"}, {property_set(22, 22), column_set(2), tray_set({1, 2})},
                   reals({400, 410}, 1));
    write_file(b.text());
  }
};

// Unknown blocks, refinery blocks (until their family answers) and columns
// outside the block give zeros and failure flags, never a stale 0.
TEST_F(ColumnProfiles, BadBlocksAndColumnsGiveZerosAndFlags) {
  struct Case {
    const char* id;
    int64_t column;
    Ints got;  // TKNCOL, TKPROF's three, TKRTNR; TKPROP's, TKPRO1's and TKRTRS's flags
  };
  for (const Case& c : std::vector<Case>{{"NOPE", 1, {0, 0, 0, 0, 0, 1, 1, 1}},
                                         {"CU", 1, {1, 0, 0, 0, 0, 1, 1, 1}},
                                         {"K1", 0, {2, 0, 0, 0, 0, 1, 3, 1}},
                                         {"K1", -1, {2, 0, 0, 0, 0, 1, 3, 1}},
                                         {"K1", 3, {2, 0, 0, 0, 0, 1, 3, 1}},
                                         {"K1", 2, {2, 2, 0, 3, 2, 0, 0, 0}}}) {
    SCOPED_TRACE(std::string(c.id) + " column " + std::to_string(c.column));
    const std::string id = pad(c.id, 8), pname = pad("TEMP", 12);
    Ints got(8, 0);
    int64_t col = c.column, one = 1, two = 2, kind = 0;
    std::string names(12, ' '), q(12, ' '), l(16, ' ');
    Reals v(2);
    tkncol_(id.data(), &got[0], 8);
    tkprof_(id.data(), &col, &got[1], &got[2], &got[3], 8);
    tkrtnr_(id.data(), &col, &got[4], 8);
    tkprop_(id.data(), &col, &one, &kind, names.data(), &got[5], 8, 12);
    tkpro1_(id.data(), pname.data(), &col, &two, v.data(), q.data(), l.data(), &got[6], 8, 12, 12, 16);
    tkrtrs_(id.data(), &col, &one, names.data(), v.data(), q.data(), l.data(), &got[7], 8, 12, 12, 16);
    EXPECT_EQ(got, c.got);
  }
}

// Lists and profiles stop at what the caller sized: names at NPROP,
// components at the leading dimension, trays at NTRAY.
TEST_F(ColumnProfiles, OutputsStopAtTheCallersSizes) {
  const std::string id = pad("T1", 8);
  int64_t col = 1, one = 1, ierr = -1, ld = 1, nt = 2;
  std::string names(13, '#'), ids(9, '#'), q(12, ' '), l(16, ' ');
  Ints kinds(2, -7);
  tkprop_(id.data(), &col, &one, kinds.data(), names.data(), &ierr, 8, 12);
  EXPECT_EQ((std::tuple{ierr, names, kinds}), (std::tuple{int64_t{0}, pad("TEMP", 12) + "#", Ints{1, -7}}));
  Reals v(3, -1.0);
  for (const auto& [name, flag] : std::vector<std::pair<std::string, int64_t>>{{"X", 0}, {"NOSUCH", 2}, {"TEMP", 3}}) {
    const std::string p = pad(name, 12);
    tkpro2_(id.data(), p.data(), &col, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr, 8, 12, 8, 12, 16);
    EXPECT_EQ(ierr, flag) << name;
  }
  EXPECT_EQ((std::pair{ids, v}), (std::pair{pad("B", 8) + "#", Reals{0.1, 0.2, -1.0}}));
}

}  // namespace
}  // namespace flowsum::testing
