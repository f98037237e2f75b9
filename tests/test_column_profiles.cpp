// Column profiles: every routine checked against the random flowsheets'
// column blocks (check_columns, called by the round trip), and the cases
// random files do not reach.
#include <gtest/gtest.h>

#include <algorithm>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

void check_columns(const RandomFlowsheet& f) {
  // Unknown blocks and refinery blocks without column results give zeros
  // and failure flags, never a stale 0.
  Texts others{"NO-SUCH-BLOCK"};
  for (const RandomObject& b : f.blocks)
    if (b.type == "CRUDEUNIT" &&
        std::none_of(f.columns.begin(), f.columns.end(), [&](const RandomColumnBlock& c) { return c.id == b.id; }))
      others.push_back(b.id);
  for (const std::string& other : others) {
    const std::string id = pad(other, 40), p = pad("TEMP", 12), type = pad("TRAY-SIZE", 12);
    Ints got(12, 0), ints(2);
    int64_t c = 1, one = 1;
    std::string t(16, ' ');
    Reals v(2);
    tkprof_(id.data(), &c, &got[0], &got[1], &got[2], 40);
    tkprop_(id.data(), &c, &one, ints.data(), t.data(), &got[3], 40, 12);
    tkpro1_(id.data(), p.data(), &c, &one, v.data(), t.data(), t.data(), &got[4], 40, 12, 12, 16);
    tkpro2_(id.data(), p.data(), &c, &one, t.data(), &one, v.data(), t.data(), t.data(), &got[5], 40, 12, 8, 12, 16);
    tkrtrs_(id.data(), &c, &one, t.data(), v.data(), t.data(), t.data(), &got[6], 40, 12, 12, 16);
    tkntpr_(id.data(), &c, &one, ints.data(), &one, t.data(), t.data(), t.data(), t.data(), t.data(), t.data(),
            v.data(), t.data(), t.data(), &got[7], 40, 12, 8, 8, 8, 4, 4, 12, 16);
    tknsec_(id.data(), &c, &got[8], &got[9], 40);
    tkssec_(id.data(), &c, type.data(), &one, &ints[0], &ints[1], &got[10], &got[10], 40, 12);
    tkscrs_(id.data(), &c, type.data(), &one, &one, t.data(), ints.data(), ints.data(), t.data(), v.data(), t.data(),
            t.data(), &got[11], 40, 12, 12, 12, 12, 16);
    // A refinery block without sections has none (TKNSEC's flag 0).
    const int64_t known = other != "NO-SUCH-BLOCK";
    EXPECT_EQ(got, (Ints{0, 0, 0, 1, 1, 1, 1, 1, 0, 1 - known, 1, 1})) << other;
  }
  for (const RandomColumnBlock& blk : f.columns) {
    SCOPED_TRACE("column block " + blk.id + " " + blk.model);
    const std::string id = pad(blk.id, 40);
    int64_t ncol = -1;
    tkncol_(id.data(), &ncol, id.size());
    ASSERT_EQ(ncol, static_cast<int64_t>(blk.columns.size()));
    if (blk.model == "CRUDEUNIT") check_refinery(blk);
    if (blk.model == "LINKEDCOL" || blk.model == "KINETCOL") {
      // Columns 0 and past the last have no profile.
      for (int64_t c : {int64_t{0}, ncol + 1}) {
        Ints got{c, -1, -1, -1};
        tkprof_(id.data(), &got[0], &got[1], &got[2], &got[3], id.size());
        EXPECT_EQ(got, (Ints{c, 0, 0, 0}));
      }
    }
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
      // A shorter list stops at its count.
      std::string cut(12 * n, '#');
      int64_t shorter = np - 1;
      tkprop_(id.data(), &cc, &shorter, kinds.data(), cut.data(), &ierr, id.size(), 12);
      if (n > 0) EXPECT_EQ(cut.substr(12 * (n - 1)), std::string(12, '#'));
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
        int64_t fewer = nt - 1;  // one tray fewer than stored: the last stays untouched
        if (p.kind == 2)
          tkpro2_(id.data(), pname.data(), &cc, &ld, ids.data(), &fewer, v.data(), q.data(), l.data(), &ierr,
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
          for (int64_t t = 0; t < fewer; ++t)
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

}  // namespace flowsum::testing
