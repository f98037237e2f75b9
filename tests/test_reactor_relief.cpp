// Reactor profiles and pressure relief: every routine against the random
// flowsheets (check_reactors, called by the round trip), callers asking for
// one entry more than stored, which must stay as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/column_checks.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

// Quantity name and SI label; the densities on a flow basis are written in SI.
Texts units(int64_t t) {
  if (t == 37 || t == 38) return {t == 37 ? "MOLE-DENSITY" : "MASS-DENSITY", t == 37 ? "KMOL/CUM" : "KG/CUM"};
  return units_of(t);
}
Field basis_of(const Series& p) { return Field(p.unit_type == 37 ? "MOLE" : p.unit_type == 38 ? "MASS" : "", 4); }
// Names (the one after untouched) and kinds (-7 after) of a listing.
std::pair<Texts, Ints> listing(const std::vector<Series>& list) {
  std::pair<Texts, Ints> l;
  for (const Series& s : list) l.first.push_back(s.name), l.second.push_back(s.kind);
  return {guarded(l.first, 12), guarded(l.second, int64_t{-7})};
}

// One property read per point (one) or per component (two).
template <class One, class Two>
void check_values(const Series& p, int64_t points, One one, Two two) {
  SCOPED_TRACE("property " + p.name);
  const size_t nk = p.components.size(), rows = p.kind == 1 ? 1 : nk + 1, per = std::max<size_t>(nk, 1);
  Field pname(p.name, 12), q(12), l(16), ids(8, nk + 1);
  int64_t np = points + 1, ld = I(rows), ierr = -1;
  Reals v(rows * Z(np), -1.0), want(v);
  for (size_t j = 0; j < p.si.size(); ++j) want[j / per * rows + j % per] = p.si[j];
  if (p.kind == 1) one(p, pname, np, v, q, l, ierr);
  else two(pname, np, ld, ids, v, q, l, ierr);
  EXPECT_EQ(std::tuple(ierr, Texts{q.trimmed(), l.trimmed()}, listed(ids, nk)),
            std::tuple(int64_t{0}, units(p.unit_type), guarded(p.components, 8)));
  expect_si(v, want);
}

// A profile's sizes (as given), names and kinds (flag `absent` without a
// profile) and each property's values.
template <class List, class One, class Two>
void check_profile(const ReactorTruth& t, const Ints& sizes, int64_t absent, List list, One one, Two two) {
  const size_t n = t.properties.size();
  int64_t nprop = I(n), ierr = -1;
  Field names(12, n + 1);
  Ints kinds(n + 1, -7);
  list(nprop, kinds, names, ierr);
  EXPECT_EQ(std::tuple(sizes, ierr, std::pair(listed(names, n), kinds)),
            std::tuple(Ints{t.points, t.components, I(n)}, n ? 0 : absent, listing(t.properties)));
  for (const Series& p : t.properties) check_values(p, t.points, one, two);
}

// Profiles by number, and one past the last, of a reactor (by substream)
// or a relief vessel (by flow basis).
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
        [&](Field& pn, int64_t& np, int64_t& ld, Field& ids, auto&... a) {
          call(two, id, pn, iprof, ld, ids, np, a...);
        });
  }
}

// A two-section profile (batch vessel, relief PRAC).
template <class Sizes, class List, class One, class Two>
void check_two_sections(const Field& id, const ReactorTruth& t, int64_t absent, Sizes sizes, List list, One one,
                        Two two) {
  Ints n(3, -1);
  call(sizes, id, n[0], n[1], n[2]);
  check_profile(t, n, absent, [&](auto&... a) { call(list, id, a...); }, one, [&](auto&... a) { call(two, id, a...); });
}

// A section read whole: its count, and its values as a list (all) or a
// grid (the names of one point).
void check_table(const Field& id, const ValueTable& t, void (*count)(const char*, int64_t*, size_t), auto all,
                 auto grid) {
  const size_t m = t.si.size();
  int64_t n = -1, ierr = -1, npoint = t.points, nprop = t.width, idum = 0;
  if (count) call(count, id, n);
  EXPECT_EQ(n, count ? I(m) : -1);
  if (!all && (!grid || !m)) return;
  Field names(12, m + 1), utypes(12, m + 1), labels(16, m + 1);
  Reals v(m + 1, -1.0);
  n = -1;
  if (all) call(all, id, idum, names, v, utypes, labels, n, ierr);
  else call(grid, id, npoint, nprop, names, v, utypes, labels, ierr);
  Texts want(t.names.begin(), t.names.begin() + static_cast<std::ptrdiff_t>(all ? m : Z(t.width)));
  Texts got_units, want_units;
  for (size_t j = 0; j < m; ++j) {
    for (const std::string& u : units(t.unit_types[j])) want_units.push_back(u);
    got_units.insert(got_units.end(), {utypes.trimmed(j), labels.trimmed(j)});
  }
  EXPECT_EQ(std::tuple(ierr, n, got_units, listed(names, want.size())),
            std::tuple(all && !m ? 1 : 0, all && m ? I(m) : -1, want_units, guarded(want, 12)));
  expect_si(v, guarded(t.si, -1.0));
}

void check_reactor(const RandomReactor& r) {
  SCOPED_TRACE("reactor " + r.id + " " + r.model);
  const Field id(r.id, 40);
  int64_t n = -1, one = 1, ierr = -1;
  call(tkrsub_, id, n);
  EXPECT_EQ(n, r.substreams);
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
  // Catalyst attributes walked as a caller does.
  std::vector<std::tuple<std::string, std::string, int64_t, Texts, Reals>> walked, want;
  call(tkrnac_, id, one, n);
  for (int64_t kc = 1, na = -1, ne = -1, idum = 0; kc <= n; ++kc) {
    Field comp(8), attr(8);
    call(tkrnca_, id, one, kc, comp, na);
    for (int64_t ka = 1; ka <= na; ++ka) {
      call(tkrsca_, id, one, comp, ka, attr, ne);
      Field elems(8, Z(ne) + 1);
      Reals v(Z(ne) + 1, -1.0);
      call(tkrcat_, id, one, comp, attr, idum, elems, v, ierr);
      walked.emplace_back(comp.trimmed(), attr.trimmed(), ierr, listed(elems, Z(ne)), v);
    }
  }
  for (const CatalystAttribute& a : r.catalyst)
    want.emplace_back(a.component, a.attribute, 0, guarded(a.elements, 8), guarded(a.values, -1.0));
  EXPECT_EQ(walked, want);
  // Feed profiles: counts, then the names, RBFC_1's first.
  int64_t nfeed = I(r.feeds.size());
  Field names(12, r.feeds.size() + 1);
  call(tkrnfs_, id, one, sizes[0], sizes[1]);
  call(tkrfsp_, id, one, nfeed, names, ierr);
  EXPECT_EQ(std::tuple(sizes, ierr, listed(names, r.feeds.size())),
            std::tuple(Ints{r.feed_c, nfeed - r.feed_c}, nfeed ? 0 : 2, guarded(r.feeds, 12)));
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
      EXPECT_EQ(ierr, !steady ? -1 : truth->empty() ? 3 : 0);
      for (size_t k = 0; k < m; ++k) {
        const std::string none(12, '#');
        const Series s = k < read ? (*truth)[k] : Series{none, -1, 'A', 0, true, {}, {}, "", none};
        EXPECT_EQ(std::tuple(names.trimmed(k), s.kind == 4 ? msgs.trimmed(k) : texts.trimmed(k), kinds[k]),
                  std::tuple(s.name, s.text, s.kind));
        if (s.kind == 2) expect_si({reals[k]}, s.si);
        if (s.kind == 2) EXPECT_EQ((std::vector{qn.trimmed(k), ul.trimmed(k)}), units_of(s.unit_type));
        if (s.kind >= 3) EXPECT_EQ(ints[k], I(s.si.at(0)));  // the code beside its text
      }
    }
  // Vent: sizes, names, time axis, each section into (points + 1, sets),
  // and a name no section has.
  const auto sets = [&](const std::string& name) {
    const auto it = std::find_if(r.vent.begin(), r.vent.end(), [&](const Series& s) { return s.name == name; });
    return it == r.vent.end() ? int64_t{0} : I(it->si.size()) / r.points;
  };
  const int64_t npres = sets("B_PRES");
  int64_t nvent = I(r.vent.size()), ierr = -1;
  Ints sizes(4, -1), kinds(r.vent.size() + 1, -7);
  Field names(12, r.vent.size() + 1), q(12), l(16);
  Reals times(Z(r.points) + 1, -1.0), want_times = npres ? r.times : Reals{};
  want_times.resize(times.size(), -1.0);
  call(tkpvpf_, id, sizes[0], sizes[1], sizes[2], sizes[3]);
  call(tkpvrp_, id, nvent, kinds, names, times, q, l, ierr);
  EXPECT_EQ(std::tuple(sizes, ierr, std::pair(listed(names, r.vent.size()), kinds), times),
            std::tuple(Ints{npres ? r.points : 0, sets("B_MOLEFRAC"), nvent, npres}, int64_t{0}, listing(r.vent),
                       want_times));
  for (const Series& s : r.vent) {
    SCOPED_TRACE(s.name);
    int64_t nsets = sets(s.name), np = r.points + 1;
    Field pn(s.name, 12), ids(8, Z(nsets) + 1);
    Reals v(Z(np * nsets), -1.0), want_v(v);
    for (size_t k = 0; k < s.si.size(); ++k) want_v[k / Z(r.points) * Z(np) + k % Z(r.points)] = s.si[k];
    if (s.kind == 1) call(tkpvr1_, id, pn, nsets, np, v, q, l, ierr);
    else call(tkpvr2_, id, pn, nsets, np, ids, v, q, l, ierr);
    EXPECT_EQ(std::tuple(ierr, listed(ids, s.components.size()), Texts{q.trimmed(), l.trimmed()}),
              std::tuple(int64_t{0}, guarded(s.components, 8), units(s.unit_type)));
    expect_si(v, want_v);
  }
  call(tkpvr1_, id, Field("B_OTHER", 12), nvent, nvent, times, q, l, ierr);
  EXPECT_EQ(ierr, 3);
  // Vessel, steady-state and PRAC profiles, chosen by flow basis as TKPSPL
  // does on the section's path.
  call(tkpsub_, id, nvent);
  EXPECT_EQ(nvent, r.vessel_substreams);
  const auto by_basis = [&](auto fn, const char* section) {
    return [&id, &r, fn, section](const Series& p, Field& pn, auto&... a) {
      int64_t nid = 3, nk = 2, e = -1;
      Field path(pad("PRES-RELIEF", 128) + pad(r.id, 128) + section, 128, 3), qual(8);
      call(fn, id, pn, basis_of(p), a...);
      call(tkpspl_, nid, path, nk, Field("PROPERTIESUNITS", 10, 2),
           Field(pad(p.name, 12) + basis_of(p).text(), 12, 2), qual, e);
      EXPECT_EQ(std::pair(e, qual.trimmed()), std::pair(int64_t{0}, p.text));
    };
  };
  const ReactorTruth& ss = r.steady_profile;
  check_numbered(id, r.vessel, true, tkpsrf_, tkpsrp_, tkpsr1_, tkpsr2_);
  check_profile(ss, {ss.points, 0, I(ss.properties.size())}, 2, [&](auto&... a) { call(tkpssp_, id, a...); },
                by_basis(tkpss1_, "PRSSPRF"), [](auto&...) { FAIL(); });
  check_two_sections(id, r.accumulator, 2, tkpapf_, tkpapr_, by_basis(tkpar1_, "PRACPRF"), tkpar2_);
  // A path of the object alone is searched, not refused as an unknown object.
  int64_t nid = 2, nk = 0, e = -1;
  Field qual(8);
  call(tkpspl_, nid, Field(pad("PRES-RELIEF", 128) + r.id, 128, 2), nk, Field(10), Field(12), qual, e);
  EXPECT_EQ(e, 3);
}

}  // namespace

void check_reactors(const RandomFlowsheet& f) {
  for (const RandomReactor& r : f.reactors) check_reactor(r);
  for (const RandomRelief& r : f.relief_results) check_relief(r);
  // An unknown object and the blocks of other models: flags and zeros.
  std::vector<RandomObject> others{{"", "NO-SUCH"}};
  for (const RandomObject& b : f.blocks)
    if (b.type != "TUBERX" && b.type != "BATCHRX") others.push_back(b);
  for (const RandomObject& b : others) {
    Field ss(8), q(12), l(16);
    int64_t one = 1, ierr = -1;
    Ints n(7, -1);
    Reals v(2, -1.0);
    call(tkrsub_, Field(b.id, 40), n[0]);
    call(tkrprf_, Field(b.id, 40), one, ss, n[1], n[2], n[3]);
    call(tkrpr1_, Field(b.id, 40), Field("TEMP", 12), Field("MIXED", 8), one, v, q, l, ierr);
    call(tkpvpf_, Field(b.id, 40), n[4], n[5], n[6], n[6]);
    EXPECT_EQ(std::tuple(n, ss.text(), ierr, v), std::tuple(Ints(7, 0), std::string(8, ' '), int64_t{1}, Reals{-1, -1}))
        << b.id;
  }
}

}  // namespace flowsum::testing
