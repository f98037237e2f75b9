// Reactor profiles and pressure relief: every routine against the random
// flowsheets' reactors and relief objects (check_reactors, called by the
// round trip). Callers ask for one point, one component row and one result
// more than stored: that room must stay as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/column_checks.hpp"
#include "support/reactor_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;
int64_t I(size_t n) { return static_cast<int64_t>(n); }
size_t Z(int64_t n) { return static_cast<size_t>(std::max<int64_t>(n, 0)); }
const std::string kUntouched12(12, '#');

// Quantity name and SI label; the densities on a flow basis are written in SI.
Texts units(int64_t t) {
  if (t == 37 || t == 38) return {t == 37 ? "MOLE-DENSITY" : "MASS-DENSITY", t == 37 ? "KMOL/CUM" : "KG/CUM"};
  return units_of(t);
}
Field basis_of(const Series& p) { return Field(p.unit_type == 37 ? "MOLE" : p.unit_type == 38 ? "MASS" : "", 4); }

// One property read per point (one) or per component (two) into arrays of
// one point (and one component row) more than stored.
template <class One, class Two>
void check_values(const Series& p, int64_t points, One one, Two two) {
  SCOPED_TRACE("property " + p.name);
  const size_t nk = p.components.size(), rows = p.kind == 1 ? 1 : nk + 1;
  Field pname(p.name, 12), q(12), l(16), ids(8, nk + 1);
  int64_t np = points + 1, ld = I(rows), ierr = -1;
  Reals v(rows * Z(np), -1.0), want(v);
  for (size_t t = 0; t < Z(points); ++t)
    for (size_t k = 0; k < std::max<size_t>(nk, 1); ++k) want[t * rows + k] = p.si[t * std::max<size_t>(nk, 1) + k];
  if (p.kind == 1) one(p, pname, np, v, q, l, ierr);
  else two(pname, np, ld, ids, v, q, l, ierr);
  Texts got{q.trimmed(), l.trimmed()}, ids_want = units(p.unit_type);
  for (size_t k = 0; k < nk; ++k) got.push_back(ids.trimmed(k)), ids_want.push_back(p.components[k]);
  EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, ids_want}));
  if (p.kind == 2) EXPECT_EQ(ids[nk], std::string(8, '#'));
  expect_si(v, want);
}

// A profile's sizes (as its size routine gave them), its names and kinds
// (flag `absent` when there is no profile), and each property's values.
template <class List, class One, class Two>
void check_profile(const ReactorTruth& t, const Ints& sizes, int64_t absent, List list, One one, Two two) {
  const size_t n = t.properties.size();
  EXPECT_EQ(sizes, (Ints{t.points, t.components, I(n)}));
  int64_t nprop = I(n), ierr = -1;
  Field names(12, n + 1);
  Ints kinds(n + 1, -7), want_kinds{-7};
  list(nprop, kinds, names, ierr);
  Texts got, want;
  for (size_t k = 0; k <= n; ++k) got.push_back(names[k]), want.push_back(k < n ? pad(t.properties[k].name, 12) : kUntouched12);
  for (size_t k = n; k > 0; --k) want_kinds.insert(want_kinds.begin(), t.properties[k - 1].kind);
  EXPECT_EQ(std::tuple(ierr, got, kinds), std::tuple(n ? 0 : absent, want, want_kinds));
  for (const Series& p : t.properties) check_values(p, t.points, one, two);
}

// Profiles by number (one past the last too) as the substream profiles of
// a reactor and a relief vessel give them: the argument after the property
// name is the substream or the flow basis.
template <class Sizes, class List, class One, class Two>
void check_numbered(const Field& id, const std::vector<ReactorTruth>& profiles, bool by_basis, Sizes sizes, List list,
                    One one, Two two) {
  for (size_t k = 0; k <= profiles.size(); ++k) {
    SCOPED_TRACE("profile " + std::to_string(k + 1));
    const ReactorTruth t = k < profiles.size() ? profiles[k] : ReactorTruth{};
    int64_t iprof = I(k) + 1;
    Ints n(3, -1);
    Field ss(8);
    call(sizes, id, iprof, ss, n[0], n[1], n[2]);
    EXPECT_EQ(ss.trimmed(), t.substream);
    check_profile(
        t, n, 2, [&](auto&... a) { call(list, id, iprof, a...); },
        [&](const Series& p, Field& pn, auto&... a) {
          call(one, id, pn, by_basis ? basis_of(p) : Field(t.substream, 8), a...);
        },
        [&](Field& pn, int64_t& np, int64_t& ld, Field& ids, auto&... a) { call(two, id, pn, iprof, ld, ids, np, a...); });
  }
}

// A two-section profile (batch vessel, relief PRAC) read through its sizes,
// list, per-point and per-component routines.
template <class Sizes, class List, class One, class Two>
void check_two_sections(const Field& id, const ReactorTruth& t, int64_t absent, Sizes sizes, List list, One one, Two two) {
  Ints n(3, -1);
  call(sizes, id, n[0], n[1], n[2]);
  check_profile(
      t, n, absent, [&](auto&... a) { call(list, id, a...); }, one,
      [&](auto&... a) { call(two, id, a...); });
}

// A section read whole: the count its count routine gives, the values as
// TKPVAL lists them (all) or as TKPRF2 does (grid: names of one point).
void check_table(const Field& id, const ValueTable& t, void (*count)(const char*, int64_t*, size_t), auto all, auto grid) {
  const size_t m = t.si.size(), listed = all ? m : Z(t.width);
  int64_t n = -1, ierr = -1, npoint = t.points, nprop = t.width, idum = 0;
  if (count) {
    call(count, id, n);
    EXPECT_EQ(n, I(m));
  }
  if (!all && (!grid || m == 0)) return;
  Field names(12, m + 1), utypes(12, m + 1), labels(16, m + 1);
  Reals v(m + 1, -1.0), want = t.si;
  want.push_back(-1.0);
  n = -1;
  if (all) call(all, id, idum, names, v, utypes, labels, n, ierr);
  else call(grid, id, npoint, nprop, names, v, utypes, labels, ierr);
  Texts got, expected;
  for (size_t j = 0; j < m; ++j) {
    Texts u = units(t.unit_types[j]);
    got.insert(got.end(), {utypes.trimmed(j), labels.trimmed(j)});
    expected.insert(expected.end(), u.begin(), u.end());
    if (j < listed) got.push_back(names.trimmed(j)), expected.push_back(t.names[j]);
  }
  EXPECT_EQ(std::tuple(ierr, got, names[listed]), std::tuple(all && !m ? 1 : 0, expected, kUntouched12));
  if (all && m) EXPECT_EQ(n, I(m));
  expect_si(v, want);
}

void check_reactor(const RandomReactor& r, const std::vector<std::string>& ncc) {
  SCOPED_TRACE("reactor " + r.id + " " + r.model);
  const Field id(r.id, 40);
  int64_t nsub = -1, one = 1;
  call(tkrsub_, id, nsub);
  EXPECT_EQ(nsub, r.substreams);
  check_numbered(id, r.profiles, false, tkrprf_, tkrprp_, tkrpr1_, tkrpr2_);
  const int64_t absent = r.model == "BATCHRX" ? 2 : 1;
  const auto vessel_one = [&](auto fn) { return [&id, fn](const Series&, auto&... a) { call(fn, id, a...); }; };
  check_two_sections(id, r.accumulator, absent, tkvapf_, tkvapr_, vessel_one(tkvar1_), tkvar2_);
  check_two_sections(id, r.vent, absent, tkvtpf_, tkvtpr_, vessel_one(tkvtr1_), tkvtr2_);
  using All = decltype(&tkrrsl_);
  using Grid = decltype(&tkrrpr_);
  check_table(id, r.reaction, tkrrpf_, All{}, tkrrpr_);
  check_table(id, r.selectivity, tkrrns_, tkrrsl_, Grid{});
  check_table(id, r.heat, nullptr, tkrrhr_, Grid{});
  check_table(id, r.equilibrium, nullptr, tkvle_, Grid{});
  check_table(id, r.segments, tkrtnl_, All{}, Grid{});
  check_table(id, r.fractions, nullptr, All{}, tkrtsr_);
  Ints sizes(2, -1);
  call(tkrtsp_, id, sizes[0], sizes[1]);
  EXPECT_EQ(sizes, (Ints{r.fractions.points, r.fractions.components}));
  // Catalyst attributes, grouped by component: each component, each of its
  // attributes, and their elements.
  int64_t n = -1, kc = 0, ka = 0;
  call(tkrnac_, id, one, n);
  EXPECT_EQ(n, r.catalyst.empty() ? 0 : std::min<int64_t>(I(ncc.size()), 2));
  for (size_t i = 0; i < r.catalyst.size(); ++i) {
    const CatalystAttribute& a = r.catalyst[i];
    const Field comp(a.component, 8);
    if (i == 0 || r.catalyst[i - 1].component != a.component) {
      Field got(8);
      call(tkrnca_, id, one, ++kc, got, n);
      ka = 0;
      const auto attrs = std::count_if(r.catalyst.begin(), r.catalyst.end(),
                                       [&](const CatalystAttribute& x) { return x.component == a.component; });
      EXPECT_EQ(std::pair(got.trimmed(), n), std::pair(a.component, I(Z(attrs))));
    }
    Field attr(8), elems(8, a.elements.size() + 1);
    call(tkrsca_, id, one, comp, ++ka, attr, n);
    EXPECT_EQ(std::pair(attr.trimmed(), n), std::pair(a.attribute, I(a.elements.size())));
    Reals v(a.values.size() + 1, -1.0), want = a.values;
    int64_t idum = 0, ierr = -1;
    call(tkrcat_, id, one, comp, attr, idum, elems, v, ierr);
    Texts got;
    for (size_t e = 0; e < a.elements.size(); ++e) got.push_back(elems.trimmed(e));
    want.push_back(-1.0);
    EXPECT_EQ(std::tuple(ierr, got, v), std::tuple(int64_t{0}, a.elements, want));
  }
  // Feed profiles: counts, then the names, RBFC_1's first.
  Ints nf(2, -1);
  call(tkrnfs_, id, one, nf[0], nf[1]);
  EXPECT_EQ(nf, (Ints{r.feed_c, I(r.feeds.size()) - r.feed_c}));
  int64_t nfeed = I(r.feeds.size()), ierr = -1;
  Field names(12, r.feeds.size() + 1);
  call(tkrfsp_, id, one, nfeed, names, ierr);
  Texts got;
  for (size_t k = 0; k <= r.feeds.size(); ++k) got.push_back(k < r.feeds.size() ? names.trimmed(k) : names[k]);
  Texts want = r.feeds;
  want.push_back(kUntouched12);
  EXPECT_EQ(std::pair(ierr, got), std::pair(r.feeds.empty() ? int64_t{2} : 0, want));
}

void check_relief(const RandomRelief& r) {
  SCOPED_TRACE("relief " + r.id);
  const Field id(r.id, 40);
  // Scenario results with room for one fewer and one more than stored.
  for (const auto& [truth, steady] : {std::pair{&r.dynamic, false}, std::pair{&r.steady, true}})
    for (int64_t extra : {-1, 1}) {
      const size_t m = truth->size() + 1, read = std::min(truth->size(), Z(I(truth->size()) + extra));
      int64_t n = I(truth->size()) + extra, ierr = -1;
      Field names(12, m), texts(12, m), msgs(32, m), qn(12, m), ul(16, m);
      Ints kinds(m, -1), ints(m, -1);
      Reals reals(m, -1);
      if (steady) call(tkpsss_, id, n, names, kinds, ints, texts, msgs, reals, qn, ul, ierr);
      else call(tkpssr_, id, n, names, kinds, ints, texts, msgs, reals, qn, ul);
      if (steady) EXPECT_EQ(ierr, truth->empty() ? 3 : 0);
      for (size_t k = 0; k < m; ++k) {
        const Series s = k < read ? (*truth)[k] : Series{kUntouched12, -1};
        EXPECT_EQ(std::tuple(names.trimmed(k), s.kind == 4 ? msgs.trimmed(k) : texts.trimmed(k), kinds[k]),
                  std::tuple(s.name, s.kind == 2 ? "" : s.kind == -1 ? kUntouched12 : s.text, s.kind));
        if (s.kind == 2) expect_si({reals[k]}, s.si);
      }
    }
  // Vent: sizes, names and time axis, each section's sets into
  // (points + 1, sets), and a name no section has.
  const auto find = [&](const char* name) {
    const auto it = std::find_if(r.vent.begin(), r.vent.end(), [&](const Series& s) { return s.name == name; });
    return it == r.vent.end() ? int64_t{0} : I(it->si.size()) / r.points;
  };
  const int64_t npres = find("B_PRES");
  Ints sizes(4, -1);
  call(tkpvpf_, id, sizes[0], sizes[1], sizes[2], sizes[3]);
  EXPECT_EQ(sizes, (Ints{npres ? r.points : 0, find("B_MOLEFRAC"), I(r.vent.size()), npres}));
  int64_t nvent = I(r.vent.size()), ierr = -1;
  Field names(12, r.vent.size() + 1), q(12), l(16);
  Ints kinds(r.vent.size() + 1, -7), want_kinds;
  Reals times(Z(r.points) + 1, -1.0), want_times = npres ? r.times : Reals{};
  want_times.resize(times.size(), -1.0);
  call(tkpvrp_, id, nvent, kinds, names, times, q, l, ierr);
  Texts got, want;
  for (size_t k = 0; k < r.vent.size(); ++k)
    got.push_back(names.trimmed(k)), want.push_back(r.vent[k].name), want_kinds.push_back(r.vent[k].kind);
  want_kinds.push_back(-7);
  EXPECT_EQ(std::tuple(ierr, got, kinds, times), std::tuple(int64_t{0}, want, want_kinds, want_times));
  for (const Series& s : r.vent) {
    SCOPED_TRACE(s.name);
    int64_t nsets = find(s.name.c_str()), np = r.points + 1, e = -1;
    Field pn(s.name, 12), ids(8, Z(nsets) + 1);
    Reals v(Z(np * nsets) + 1, -1.0), want(v);
    for (size_t k = 0; k < s.si.size(); ++k) want[k / Z(r.points) * Z(np) + k % Z(r.points)] = s.si[k];
    if (s.kind == 1) call(tkpvr1_, id, pn, nsets, np, v, q, l, e);
    else call(tkpvr2_, id, pn, nsets, np, ids, v, q, l, e);
    Texts ids_got;
    for (size_t k = 0; k < s.components.size(); ++k) ids_got.push_back(ids.trimmed(k));
    EXPECT_EQ(std::tuple(e, ids_got, Texts{q.trimmed(), l.trimmed()}), std::tuple(int64_t{0}, s.components, units(s.unit_type)));
    expect_si(v, want);
  }
  call(tkpvr1_, id, Field("B_OTHER", 12), nvent, nvent, times, q, l, ierr);
  EXPECT_EQ(ierr, 3);
  // Vessel, steady-state and PRAC profiles; the per-point readers choose
  // by flow basis, as TKPSPL does on the section's path.
  int64_t nsub = -1;
  call(tkpsub_, id, nsub);
  EXPECT_EQ(nsub, r.vessel_substreams);
  const auto by_basis = [&](auto fn, const char* section) {
    return [&id, &r, fn, section](const Series& p, Field& pn, auto&... a) {
      call(fn, id, pn, basis_of(p), a...);
      int64_t nid = 3, nk = 2, e = -1;
      Field path(pad("PRES-RELIEF", 128) + pad(r.id, 128) + section, 128, 3), qual(8);
      call(tkpspl_, nid, path, nk, Field("PROPERTIESUNITS", 10, 2), Field(pad(p.name, 12) + basis_of(p).text(), 12, 2),
           qual, e);
      EXPECT_EQ(std::pair(e, qual.trimmed()), std::pair(int64_t{0}, p.text));
    };
  };
  check_numbered(id, r.vessel, true, tkpsrf_, tkpsrp_, tkpsr1_, tkpsr2_);
  check_profile(
      r.steady_profile, {r.steady_profile.points, 0, I(r.steady_profile.properties.size())}, 2,
      [&](auto&... a) { call(tkpssp_, id, a...); }, by_basis(tkpss1_, "PRSSPRF"), [](auto&...) { FAIL(); });
  check_two_sections(id, r.accumulator, 2, tkpapf_, tkpapr_, by_basis(tkpar1_, "PRACPRF"), tkpar2_);
}

}  // namespace

void check_reactors(const RandomFlowsheet& f) {
  for (const RandomReactor& r : f.reactors) check_reactor(r, f.ncc);
  for (const RandomRelief& r : f.relief_results) check_relief(r);
  // An unknown object and a block of another model: flags and zeros.
  std::vector<std::string> others{"NO-SUCH"};
  for (const RandomObject& b : f.blocks)
    if (b.type != "TUBERX" && b.type != "BATCHRX") others.push_back(b.id);
  for (const std::string& other : others) {
    SCOPED_TRACE(other);
    const Field id(other, 40);
    Field ss(8), q(12), l(16);
    int64_t one = 1, nsub = -1, ierr = -1;
    Ints n(7, -1);
    Reals v(2, -1.0);
    call(tkrsub_, id, nsub);
    call(tkrprf_, id, one, ss, n[0], n[1], n[2]);
    call(tkrpr1_, id, Field("TEMP", 12), Field("MIXED", 8), one, v, q, l, ierr);
    if (other == others[0]) call(tkpvpf_, id, n[3], n[4], n[5], n[6]);
    else std::fill(n.begin() + 3, n.end(), 0);
    EXPECT_EQ(std::tuple(nsub, ss.text(), ierr, v, n),
              std::tuple(int64_t{0}, std::string(8, ' '), int64_t{1}, Reals{-1, -1}, Ints(7, 0)));
  }
}

}  // namespace flowsum::testing
