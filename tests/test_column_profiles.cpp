// Column profiles, tray reports, reboiler results and sized or rated
// sections: every routine checked against the random flowsheets' column
// blocks (check_columns, called by the round trip), unknown blocks and
// refinery blocks without column results among them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

// The tray reports of one column, and for column 1 the reboiler.
void check_tray_reports(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const std::string id = pad(blk.id, 40);
  int64_t cc = c, nt = -1, np = -1, ierr = -1;
  tktrep_(id.data(), &cc, &nt, &np, id.size());
  std::set<int64_t> trays;
  for (const Series& r : col.reports) trays.insert(r.trays.begin(), r.trays.end());
  EXPECT_EQ((Ints{nt, np}), (Ints{static_cast<int64_t>(trays.size()), static_cast<int64_t>(col.reports.size())}));
  for (size_t k = 0; k < col.reports.size(); ++k) {
    const Series& r = col.reports[k];
    SCOPED_TRACE("report " + r.name + " " + r.component);
    int64_t n = static_cast<int64_t>(r.trays.size()), kk = static_cast<int64_t>(k) + 1;
    Ints got(r.trays.size(), -1);
    Reals values(r.trays.size(), -1.0);
    std::string p(12, '#'), s(8, '#'), ph(8, '#'), cm(8, '#'), ba(4, '#'), un(4, '#'), q(12, '#'), l(16, '#');
    tkntpr_(id.data(), &cc, &n, got.data(), &kk, p.data(), s.data(), ph.data(), cm.data(), ba.data(), un.data(),
            values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ((Texts{trim(p), trim(s), trim(ph), trim(cm), trim(ba), trim(un), trim(q), trim(l)}),
              (Texts{r.name, "MIXED", "LIQUID", r.component, "MOLE", "", units_of(r.unit_type)[0],
                     units_of(r.unit_type)[1]}));
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
    // The same property chosen by its qualifiers; blank units match any.
    std::fill(got.begin(), got.end(), -1);
    tktprp_(id.data(), &cc, &n, got.data(), p.data(), s.data(), ph.data(), cm.data(), ba.data(), un.data(),
            values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
  }
  if (!col.reports.empty() && blk.model != "CRUDEUNIT") {
    // The first report's descriptive qualifiers, cut to the count given
    // (a refinery column's report has no such view).
    const Series& r = col.reports.front();
    int64_t n = static_cast<int64_t>(r.trays.size()), ut = -1;
    std::string names(16 * r.trays.size() + 1, '#'), vals(16 * r.trays.size() + 1, '#');
    Reals values(r.trays.size(), -1.0);
    tktray_(id.data(), &cc, &n, names.data(), vals.data(), &ut, values.data(), id.size(), 16, 16);
    // Fields past the five qualifiers are blank, the guard after them kept.
    const Texts qn{"SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"}, qv{"MIXED", "LIQUID", r.component, "MOLE", ""};
    std::string want_names, want_vals;
    for (size_t i = 0; i < r.trays.size(); ++i) want_names += pad(i < 5 ? qn[i] : "", 16), want_vals += pad(i < 5 ? qv[i] : "", 16);
    EXPECT_EQ(std::tie(ut, names, vals), std::tie(r.unit_type, want_names += "#", want_vals += "#"));
    expect_si(values, r.si);
  }
  if (c != 1) return;
  // Reboiler results: the three results, then X and Y by component.
  const std::vector<Series>& rb = blk.reboiler;
  int64_t nres = -1, ncp = -1, ncomp = -1;
  tktrnr_(id.data(), &nres, &ncp, &ncomp, id.size());
  const int64_t nxy = rb.size() > 3 ? 2 : 0, nc = nxy ? static_cast<int64_t>(rb[3].components.size()) : 0;
  EXPECT_EQ((Ints{nres, ncp, ncomp}), (Ints{rb.empty() ? 0 : 3, nxy, nc}));
  if (rb.empty()) return;
  std::string pn(37, '#'), qn(36, '#'), ul(48, '#'), cpn(12 * static_cast<size_t>(nxy) + 1, '#'),
      ids(8 * static_cast<size_t>(nc) + 1, '#');
  Reals values(4, -1.0), cvalues(static_cast<size_t>(nc * nxy) + 1, -1.0), want, cwant;
  tktrrs_(id.data(), &nres, &ncp, &ncomp, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
          cvalues.data(), &ierr, id.size(), 12, 12, 16, 12, 8);
  EXPECT_EQ((Ints{ierr, pn.back(), cpn.back(), ids.back()}), (Ints{0, '#', '#', '#'}));
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ((Texts{field(pn, 12, k), field(qn, 12, k), field(ul, 16, k)}),
              (Texts{rb[k].name, units_of(rb[k].unit_type)[0], units_of(rb[k].unit_type)[1]}));
    want.push_back(rb[k].si[0]);
  }
  for (size_t k = 3; k < rb.size(); ++k) {
    EXPECT_EQ(field(cpn, 12, k - 3), rb[k].name);
    cwant.insert(cwant.end(), rb[k].si.begin(), rb[k].si.end());
  }
  for (size_t k = 0; k < static_cast<size_t>(nc); ++k) EXPECT_EQ(field(ids, 8, k), rb[3].components[k]);
  want.push_back(-1.0);
  cwant.push_back(-1.0);
  expect_si(values, want);
  expect_si(cvalues, cwant);
  // Fewer results than stored, and compositions of another size (flag 2,
  // left unread).
  int64_t one = 1, more = nc + 1;
  std::fill(cvalues.begin(), cvalues.end(), -1.0);
  tktrrs_(id.data(), &one, &ncp, &more, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
          cvalues.data(), &ierr, id.size(), 12, 12, 16, 12, 8);
  EXPECT_EQ((Ints{ierr, cvalues[0] == -1.0}), (Ints{nxy ? 2 : 0, 1}));
}

// Sized and rated sections (the models that have them).
void check_sections(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const std::string id = pad(blk.id, 40);
  const bool served = blk.model == "TRAYCOL" || blk.model == "LINKEDCOL" || blk.model == "CRUDEUNIT";
  int64_t cc = c, n = -1, ierr = -1;
  tknsec_(id.data(), &cc, &n, &ierr, id.size());
  const size_t nsec = col.sections.size();
  EXPECT_EQ((Ints{n, ierr}), (Ints{static_cast<int64_t>(nsec), 0}));
  Ints numbers(nsec + 1, -1);
  std::string types(12 * nsec + 1, '#');
  tklsec_(id.data(), &cc, &n, numbers.data(), types.data(), &ierr, id.size(), 12);
  EXPECT_EQ((Ints{ierr, numbers.back(), types.back()}), (Ints{served ? 0 : 1, -1, '#'}));
  // A shorter list stops at its count; a type in lower case is unknown.
  int64_t shorter = n - 1, number = 1, ints[3];
  Ints cut(nsec + 1, -1);
  std::string cut_types(12 * nsec + 1, '#');
  tklsec_(id.data(), &cc, &shorter, cut.data(), cut_types.data(), &ierr, id.size(), 12);
  EXPECT_EQ(cut[nsec > 0 ? nsec - 1 : 0], -1);
  tkssec_(id.data(), &cc, "tray-size   ", &number, &ints[0], &ints[1], &ints[2], &ierr, id.size(), 12);
  EXPECT_EQ(ierr, 1);
  for (size_t k = 0; k < nsec; ++k) {
    const RandomSection& s = col.sections[k];
    SCOPED_TRACE(s.type + " " + std::to_string(s.number));
    EXPECT_EQ((std::pair{numbers[k], field(types, 12, k)}), (std::pair{s.number, s.type}));
    const std::string type = pad(s.type, 12);
    int64_t number = s.number, np = -1, nprop = -1, nres = -1;
    tkssec_(id.data(), &cc, type.data(), &number, &np, &nprop, &nres, &ierr, id.size(), 12);
    const size_t nr = s.results.size(), npr = s.profile.size();
    EXPECT_EQ((Ints{np, nprop, nres, ierr}), (Ints{static_cast<int64_t>(s.profile[0].trays.size()),
                                                    static_cast<int64_t>(npr), static_cast<int64_t>(nr), 0}));
    // Results, each kind in its own field.
    std::string pn(12 * nr + 1, '#'), tv(12 * nr, '#'), qn(12 * nr, '#'), ul(16 * nr, '#');
    Ints kinds(nr), ints(nr);
    Reals reals(nr);
    tkscrs_(id.data(), &cc, type.data(), &number, &nres, pn.data(), kinds.data(), ints.data(), tv.data(),
            reals.data(), qn.data(), ul.data(), &ierr, id.size(), 12, 12, 12, 12, 16);
    EXPECT_EQ((Ints{ierr, pn.back()}), (Ints{0, '#'}));
    for (size_t j = 0; j < nr; ++j) {
      const Series& v = s.results[j];
      EXPECT_EQ((Texts{field(pn, 12, j), field(tv, 12, j), field(qn, 12, j), field(ul, 16, j)}),
                (Texts{v.name, v.text, units_of(v.unit_type)[0], units_of(v.unit_type)[1]}));
      EXPECT_EQ(kinds[j], v.kind);
      if (v.kind == 1) EXPECT_EQ(ints[j], static_cast<int64_t>(v.si[0]));
      if (v.kind == 2) expect_si({reals[j]}, v.si);
    }
    // Profile names, parts and values.
    std::string names(12 * npr + 1, '#'), parts(npr + 1, '#');
    tkpsec_(id.data(), &cc, type.data(), &number, &nprop, names.data(), parts.data(), &ierr, id.size(), 12, 12, 1);
    EXPECT_EQ((Ints{ierr, names.back(), parts.back()}), (Ints{0, '#', '#'}));
    for (size_t k2 = 0; k2 < npr; ++k2) {
      const Series& p = s.profile[k2];
      EXPECT_EQ((std::pair{field(names, 12, k2), parts[k2]}), (std::pair{p.name, p.part}));
      Ints trays(p.trays.size(), -1);
      Reals values(p.trays.size(), -1.0);
      std::string q(12, ' '), l(16, ' ');
      const std::string pname = pad(p.name, 12);
      tkscpr_(id.data(), &cc, type.data(), &number, &np, trays.data(), pname.data(), &p.part, values.data(),
              q.data(), l.data(), &ierr, id.size(), 12, 12, 1, 12, 16);
      EXPECT_EQ((std::tuple{ierr, trays, trim(l)}), (std::tuple{int64_t{0}, p.trays, units_of(p.unit_type)[1]}));
      expect_si(values, p.si);
    }
  }
}

}  // namespace

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
