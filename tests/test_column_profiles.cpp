// Column profiles, tray reports, reboiler results and sized or rated
// sections: every routine against the random flowsheets' column blocks
// (check_columns, called by the round trip).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

// Name, quantity and label of a series, as listed.
Texts described(const Series& s) { return {s.name, units_of(s.unit_type)[0], units_of(s.unit_type)[1]}; }

// The tray reports of one column, and for column 1 the reboiler.
void check_tray_reports(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const Field id(blk.id, 40);
  int64_t cc = c, nt = -1, np = -1, ierr = -1;
  call(tktrep_, id, cc, nt, np);
  std::set<int64_t> trays;
  for (const Series& r : col.reports) trays.insert(r.trays.begin(), r.trays.end());
  EXPECT_EQ((Ints{nt, np}), (Ints{I(trays.size()), I(col.reports.size())}));
  for (size_t k = 0; k < col.reports.size(); ++k) {
    const Series& r = col.reports[k];
    SCOPED_TRACE("report " + r.name + " " + r.component);
    int64_t n = I(r.trays.size()), kk = I(k) + 1;
    Ints got(r.trays.size(), -1);
    Reals values(r.trays.size(), -1.0);
    Field p(12), s(8), ph(8), cm(8), ba(4), un(4), q(12), l(16);
    call(tkntpr_, id, cc, n, got, kk, p, s, ph, cm, ba, un, values, q, l, ierr);
    EXPECT_EQ((Texts{p.trimmed(), s.trimmed(), ph.trimmed(), cm.trimmed(), ba.trimmed(), un.trimmed(), q.trimmed(),
                     l.trimmed()}),
              (Texts{r.name, "MIXED", "LIQUID", r.component, "MOLE", "", units_of(r.unit_type)[0],
                     units_of(r.unit_type)[1]}));
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
    // The same property chosen by its qualifiers; blank units match any.
    std::fill(got.begin(), got.end(), -1);
    call(tktprp_, id, cc, n, got, p, s, ph, cm, ba, un, values, q, l, ierr);
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
  }
  if (!col.reports.empty() && blk.model != "CRUDEUNIT") {
    // The first report's qualifiers, cut to the count given (not for a
    // refinery column); fields past the five are blank.
    const Series& r = col.reports.front();
    int64_t n = I(r.trays.size()), ut = -1;
    Field names(16, r.trays.size() + 1), vals(16, r.trays.size() + 1);
    Reals values(r.trays.size(), -1.0);
    call(tktray_, id, cc, n, names, vals, ut, values);
    Texts qn{"SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"}, qv{"MIXED", "LIQUID", r.component, "MOLE", ""};
    qn.resize(r.trays.size()), qv.resize(r.trays.size());
    EXPECT_EQ(std::tuple(ut, listed(names, r.trays.size()), listed(vals, r.trays.size())),
              std::tuple(r.unit_type, guarded(qn, 16), guarded(qv, 16)));
    expect_si(values, r.si);
  }
  if (c != 1) return;
  // Reboiler results: the three results, then X and Y by component.
  const std::vector<Series>& rb = blk.reboiler;
  int64_t nres = -1, ncp = -1, ncomp = -1;
  call(tktrnr_, id, nres, ncp, ncomp);
  const int64_t nxy = rb.size() > 3 ? 2 : 0, nc = nxy ? I(rb[3].components.size()) : 0;
  EXPECT_EQ((Ints{nres, ncp, ncomp}), (Ints{rb.empty() ? 0 : 3, nxy, nc}));
  if (rb.empty()) return;
  Field pn(12, 4), qn(12, 3), ul(16, 3), cpn(12, static_cast<size_t>(nxy) + 1), ids(8, static_cast<size_t>(nc) + 1);
  Reals values(4, -1.0), cvalues(static_cast<size_t>(nc * nxy) + 1, -1.0), want, cwant;
  call(tktrrs_, id, nres, ncp, ncomp, pn, values, qn, ul, cpn, ids, cvalues, ierr);
  Texts got_names, want_names, got_cp, want_cp;
  for (size_t k = 0; k < 3; ++k) {
    for (const Field* f : {&pn, &qn, &ul}) got_names.push_back(f->trimmed(k));
    for (const std::string& d : described(rb[k])) want_names.push_back(d);
    want.push_back(rb[k].si[0]);
  }
  for (size_t k = 3; k < rb.size(); ++k) {
    want_cp.push_back(rb[k].name);
    cwant.insert(cwant.end(), rb[k].si.begin(), rb[k].si.end());
  }
  EXPECT_EQ(std::tuple(ierr, got_names, pn.trimmed(3), listed(cpn, want_cp.size()), listed(ids, static_cast<size_t>(nc))),
            std::tuple(int64_t{0}, want_names, std::string(12, '#'), guarded(want_cp, 12),
                       guarded(nc ? rb[3].components : Texts{}, 8)));
  expect_si(values, guarded(want, -1.0));
  expect_si(cvalues, guarded(cwant, -1.0));
  // Fewer results than stored; compositions of another size: flag 2, unread.
  int64_t one = 1, more = nc + 1;
  std::fill(cvalues.begin(), cvalues.end(), -1.0);
  call(tktrrs_, id, one, ncp, more, pn, values, qn, ul, cpn, ids, cvalues, ierr);
  EXPECT_EQ((Ints{ierr, cvalues[0] == -1.0}), (Ints{nxy ? 2 : 0, 1}));
}

// Sized and rated sections (the models that have them).
void check_sections(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const Field id(blk.id, 40);
  const bool served = blk.model == "TRAYCOL" || blk.model == "LINKEDCOL" || blk.model == "CRUDEUNIT";
  int64_t cc = c, n = -1, ierr = -1;
  call(tknsec_, id, cc, n, ierr);
  const size_t nsec = col.sections.size();
  EXPECT_EQ((Ints{n, ierr}), (Ints{I(nsec), 0}));
  Ints numbers(nsec + 1, -1);
  Field types(12, nsec + 1);
  call(tklsec_, id, cc, n, numbers, types, ierr);
  EXPECT_EQ(std::tuple(ierr, numbers.back(), types.trimmed(nsec)), std::tuple(served ? 0 : 1, -1, std::string(12, '#')));
  // A type in lower case is unknown.
  int64_t number = 1, ints[3];
  call(tkssec_, id, cc, Field("tray-size", 12), number, ints[0], ints[1], ints[2], ierr);
  EXPECT_EQ(ierr, 1);
  for (size_t k = 0; k < nsec; ++k) {
    const RandomSection& s = col.sections[k];
    SCOPED_TRACE(s.type + " " + std::to_string(s.number));
    EXPECT_EQ((std::pair{numbers[k], types.trimmed(k)}), (std::pair{s.number, s.type}));
    const Field type(s.type, 12);
    int64_t number = s.number, np = -1, nprop = -1, nres = -1;
    call(tkssec_, id, cc, type, number, np, nprop, nres, ierr);
    const size_t nr = s.results.size(), npr = s.profile.size();
    EXPECT_EQ((Ints{np, nprop, nres, ierr}), (Ints{I(s.profile[0].trays.size()), I(npr), I(nr), 0}));
    // Results, each kind in its own field.
    Field pn(12, nr + 1), tv(12, nr), qn(12, nr), ul(16, nr);
    Ints kinds(nr), ints(nr);
    Reals reals(nr);
    call(tkscrs_, id, cc, type, number, nres, pn, kinds, ints, tv, reals, qn, ul, ierr);
    EXPECT_EQ(std::pair(ierr, pn.trimmed(nr)), std::pair(int64_t{0}, std::string(12, '#')));
    for (size_t j = 0; j < nr; ++j) {
      const Series& v = s.results[j];
      EXPECT_EQ((Texts{pn.trimmed(j), tv.trimmed(j), qn.trimmed(j), ul.trimmed(j)}),
                (Texts{v.name, v.text, units_of(v.unit_type)[0], units_of(v.unit_type)[1]}));
      EXPECT_EQ(kinds[j], v.kind);
      if (v.kind == 1) EXPECT_EQ(ints[j], static_cast<int64_t>(v.si[0]));
      if (v.kind == 2) expect_si({reals[j]}, v.si);
    }
    // Profile names, parts and values.
    Field names(12, npr + 1), parts(1, npr + 1);
    call(tkpsec_, id, cc, type, number, nprop, names, parts, ierr);
    EXPECT_EQ(std::tuple(ierr, names.trimmed(npr), parts[npr]), std::tuple(int64_t{0}, std::string(12, '#'), "#"));
    for (size_t k2 = 0; k2 < npr; ++k2) {
      const Series& p = s.profile[k2];
      EXPECT_EQ((std::pair{names.trimmed(k2), parts[k2][0]}), (std::pair{p.name, p.part}));
      Ints trays(p.trays.size(), -1);
      Reals values(p.trays.size(), -1.0);
      Field q("", 12), l("", 16);
      call(tkscpr_, id, cc, type, number, np, trays, Field(p.name, 12), Field(std::string(1, p.part)), values, q, l, ierr);
      EXPECT_EQ((std::tuple{ierr, trays, l.trimmed()}), (std::tuple{int64_t{0}, p.trays, units_of(p.unit_type)[1]}));
      expect_si(values, p.si);
    }
  }
}

}  // namespace

void check_columns(const RandomFlowsheet& f) {
  // Unknown blocks and refinery blocks without column results: zeros and
  // failure flags, never a stale 0.
  Texts others{"NO-SUCH-BLOCK"};
  for (const RandomObject& b : f.blocks)
    if (b.type == "CRUDEUNIT" &&
        std::none_of(f.columns.begin(), f.columns.end(), [&](const RandomColumnBlock& c) { return c.id == b.id; }))
      others.push_back(b.id);
  for (const std::string& other : others) {
    const Field id(other, 40), p("TEMP", 12), type("TRAY-SIZE", 12);
    Ints got(12, 0), ints(2);
    int64_t c = 1, one = 1;
    Field t("", 16);
    Reals v(2);
    call(tkprof_, id, c, got[0], got[1], got[2]);
    call(tkprop_, id, c, one, ints, Field("", 12), got[3]);
    call(tkpro1_, id, p, c, one, v, Field("", 12), t, got[4]);
    call(tkpro2_, id, p, c, one, Field("", 8), one, v, Field("", 12), t, got[5]);
    call(tkrtrs_, id, c, one, Field("", 12), v, Field("", 12), t, got[6]);
    call(tkntpr_, id, c, one, ints, one, Field("", 12), Field("", 8), Field("", 8), Field("", 8), Field("", 4),
         Field("", 4), v, Field("", 12), t, got[7]);
    call(tknsec_, id, c, got[8], got[9]);
    call(tkssec_, id, c, type, one, ints[0], ints[1], got[10], got[10]);
    call(tkscrs_, id, c, type, one, one, Field("", 12), ints, ints, Field("", 12), v, Field("", 12), t, got[11]);
    // A refinery block without sections has none (TKNSEC's flag 0).
    const int64_t known = other != "NO-SUCH-BLOCK";
    EXPECT_EQ(got, (Ints{0, 0, 0, 1, 1, 1, 1, 1, 0, 1 - known, 1, 1})) << other;
  }
  for (const RandomColumnBlock& blk : f.columns) {
    SCOPED_TRACE("column block " + blk.id + " " + blk.model);
    const Field id(blk.id, 40);
    int64_t ncol = -1;
    call(tkncol_, id, ncol);
    ASSERT_EQ(ncol, I(blk.columns.size()));
    if (blk.model == "CRUDEUNIT") check_refinery(blk);
    if (blk.model == "LINKEDCOL" || blk.model == "KINETCOL") {
      // Columns 0 and past the last have no profile.
      for (int64_t c : {int64_t{0}, ncol + 1}) {
        Ints got{c, -1, -1, -1};
        call(tkprof_, id, got[0], got[1], got[2], got[3]);
        EXPECT_EQ(got, (Ints{c, 0, 0, 0}));
      }
    }
    for (int64_t c = 1; c <= ncol; ++c) {
      SCOPED_TRACE("column " + std::to_string(c));
      const RandomColumn& col = blk.columns[static_cast<size_t>(c - 1)];
      check_tray_reports(blk, c, col);
      check_sections(blk, c, col);
      int64_t cc = c, nt = -1, nc = -1, np = -1, ierr = -1;
      call(tkprof_, id, cc, nt, nc, np);
      const size_t n = col.properties.size();
      EXPECT_EQ((Ints{nt, nc, np}), (Ints{col.trays, col.components, I(n)}));
      // Arrays of exactly the listed size, and a guard after them.
      Field names(12, n + 1);
      Ints kinds(n + 1, -7);
      call(tkprop_, id, cc, np, kinds, names, ierr);
      EXPECT_EQ(std::tuple(ierr, kinds.back(), names.trimmed(n)), std::tuple(int64_t{0}, int64_t{-7}, std::string(12, '#')));
      for (size_t k = 0; k < n; ++k) {
        const Series& p = col.properties[k];
        SCOPED_TRACE("property " + p.name);
        EXPECT_EQ((std::pair{names.trimmed(k), kinds[k]}), (std::pair{p.name, p.kind}));
        const Field pname(p.name, 12);
        Field q(12), l(16);
        // One component and one tray more than needed: nothing lands outside.
        int64_t nk = I(p.components.size()), ld = nk + 1;
        Field ids(8, static_cast<size_t>(ld));
        Reals v(static_cast<size_t>(p.kind == 1 ? nt + 1 : ld * (nt + 1)), -1.0);
        if (p.kind == 1) call(tkpro1_, id, pname, cc, nt, v, q, l, ierr);
        int64_t fewer = nt - 1;  // one tray fewer than stored: the last stays untouched
        if (p.kind == 2) call(tkpro2_, id, pname, cc, ld, ids, fewer, v, q, l, ierr);
        EXPECT_EQ(ierr, p.written ? 0 : 3);
        if (!p.written) continue;
        EXPECT_EQ((Texts{q.trimmed(), l.trimmed()}), units_of(p.unit_type));
        Reals want = p.si;
        if (p.kind == 2) {
          EXPECT_EQ(listed(ids, p.components.size()), guarded(p.components, 8));
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
      call(tkrtnr_, id, cc, nsum);
      EXPECT_EQ(nsum, blk.model == "KINETCOL" ? I(col.summary.size()) : 0);
      if (blk.model != "KINETCOL") continue;
      const size_t ns = col.summary.size();
      Field sn(12, ns + 1), sq("", 12, ns), sl("", 16, ns);
      Reals sv(ns + 1, -1.0), want;
      call(tkrtrs_, id, cc, nsum, sn, sv, sq, sl, ierr);
      EXPECT_EQ((std::pair{ierr, sn.trimmed(ns)}), (std::pair{int64_t{0}, std::string(12, '#')}));
      for (size_t k = 0; k < ns; ++k) {
        EXPECT_EQ((Texts{sn.trimmed(k), sq.trimmed(k), sl.trimmed(k)}), described(col.summary[k]));
        want.push_back(col.summary[k].si[0]);
      }
      expect_si(sv, guarded(want, -1.0));
    }
  }
}

}  // namespace flowsum::testing
