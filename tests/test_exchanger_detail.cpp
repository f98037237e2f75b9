// Heat-exchanger detail and intermediate-stream results: every routine
// checked against the exchangers and columns the random flowsheets write,
// and hand-built cases for the failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/exchanger_records.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Reals = std::vector<double>;
using Ints = std::vector<int64_t>;

std::string name_of(int64_t property) { return pad(flowsum::property_name(property), 12); }
std::string type_of(int64_t unit_type) { return pad(unit_type ? known_type_name(unit_type) : "", 12); }
std::string label_of(int64_t unit_type) { return pad(unit_type ? si_label(unit_type) : "", 16); }

// A generic section through its thin member: names, values and labels.
using PvalMember = void (*)(const char*, int64_t*, char*, double*, char*, char*, int64_t*, int64_t*, size_t,
                            size_t, size_t, size_t);
using AvalMember = void (*)(const char*, int64_t*, char*, int64_t*, int64_t*, char*, double*, char*, char*,
                            int64_t*, int64_t*, size_t, size_t, size_t, size_t, size_t);

void check_section(const std::string& id, const std::vector<PropertyReal>& truth, PvalMember pval,
                   AvalMember aval) {
  const size_t n = truth.size();
  std::string pnames(12 * n, '#'), utypes(12 * n, '#'), labels(16 * n, '#'), texts(12 * n, '#');
  Reals values(n, -7.0);
  Ints vtypes(n, -1), ivalues(n, -1);
  int64_t idum = 0, nval = -1, ierr = -1;
  if (pval)
    pval(id.data(), &idum, pnames.data(), values.data(), utypes.data(), labels.data(), &nval, &ierr, id.size(), 12,
         12, 16);
  else
    aval(id.data(), &idum, pnames.data(), vtypes.data(), ivalues.data(), texts.data(), values.data(), utypes.data(),
         labels.data(), &nval, &ierr, id.size(), 12, 12, 12, 16);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(nval, static_cast<int64_t>(n));
  std::string want_names, want_types, want_labels;
  Reals want_values;
  for (const PropertyReal& r : truth) {
    want_names += name_of(r.property);
    want_types += type_of(r.unit_type);
    want_labels += label_of(r.unit_type);
    want_values.push_back(r.value);
  }
  EXPECT_EQ(pnames + utypes + labels, want_names + want_types + want_labels);
  EXPECT_EQ(values, want_values);
}

void check_exchanger(const Exchanger& x) {
  SCOPED_TRACE("exchanger " + x.id);
  std::string id = pad(x.id, 128);
  check_section(id, x.shells, nullptr, tkhxba_);
  check_section(id, x.equip, nullptr, tkhxes_);
  check_section(id, x.tubes, nullptr, tkhxtu_);
  check_section(id, x.det1, tkhxd1_, nullptr);
  check_section(id, x.det2, tkhxd2_, nullptr);
  check_section(id, x.nozzles, tkhxno_, nullptr);

  const int64_t nz = static_cast<int64_t>(x.zone_table.size()), nzp = static_cast<int64_t>(x.zone_props.size()),
                npt = static_cast<int64_t>(x.point_values.size()),
                nfp = static_cast<int64_t>(x.profile_props.size());
  int64_t a = -1, b = -1, c = -1, d = -1, e = -1, f = -1, ierr = -1;
  tknhxd_(id.data(), &a, &b, id.size());
  EXPECT_EQ(Ints({a, b}), Ints({static_cast<int64_t>(x.det1.size()), static_cast<int64_t>(x.det2.size())}));
  tknhxe_(id.data(), &a, &ierr, id.size());
  EXPECT_EQ(Ints({a, ierr}), Ints({static_cast<int64_t>(x.equip.size()), 0}));
  tknhxt_(id.data(), &a, &b, &c, &d, &e, &f, id.size());
  EXPECT_EQ(Ints({a, b, c, d, e, f}),
            Ints({nz, nzp, static_cast<int64_t>(x.equip.size()), static_cast<int64_t>(x.tubes.size()),
                  static_cast<int64_t>(x.shells.size()), static_cast<int64_t>(x.nozzles.size())}));
  tknhxs_(id.data(), &a, &b, &c, &d, &ierr, id.size());
  EXPECT_EQ(Ints({a, b, c, d, ierr}), Ints({nz, nzp, npt, nfp, 0}));
  std::string section = pad("TWS_PRF", 8);
  tkhxpf_(id.data(), section.data(), &a, &b, id.size(), 8);
  EXPECT_EQ(Ints({a, b}), Ints({npt, static_cast<int64_t>(x.point_props.size())}));

  // Geometry: the reals, an integer and a text; one entry more than asked
  // for is never written.
  const size_t ng = x.geometry.size() + 2;
  tkngm_(id.data(), &a, id.size());
  EXPECT_EQ(a, static_cast<int64_t>(ng));
  {
    int64_t n = static_cast<int64_t>(ng) - 1, idum = -5;
    std::string names(12 * ng, '#'), texts(12 * ng, '#'), qnames(12 * ng, '#'), labels(16 * ng, '#');
    Ints kinds(ng, -1), ints(ng, -1);
    Reals reals(ng, -7.0);
    tkhxgm_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), reals.data(), qnames.data(),
            labels.data(), &idum, id.size(), 12, 12, 12, 16);
    std::string want_names, want_q, want_l;
    Ints want_kinds;
    for (const PropertyReal& r : x.geometry) {
      want_names += name_of(r.property);
      want_q += type_of(r.unit_type);
      want_l += label_of(r.unit_type);
      want_kinds.push_back(2);
    }
    want_names += name_of(prop::kNstage) + std::string(12, '#');
    want_kinds.insert(want_kinds.end(), {1, -1});
    EXPECT_EQ(names + qnames.substr(0, want_q.size()) + labels.substr(0, want_l.size()),
              want_names + want_q + want_l);
    EXPECT_EQ(kinds, want_kinds);
    EXPECT_EQ(ints[x.geometry.size()], x.geometry_integer);
    EXPECT_EQ(idum, -5);
    n = static_cast<int64_t>(ng);
    tkhxgm_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), reals.data(), qnames.data(),
            labels.data(), &idum, id.size(), 12, 12, 12, 16);
    EXPECT_EQ(texts.substr(12 * (ng - 1)), pad(x.geometry_text, 12));
  }

  // Zone table by both readers.
  {
    const size_t nv = static_cast<size_t>(nz * nzp);
    Reals want;
    for (const auto& zone : x.zone_table) want.insert(want.end(), zone.begin(), zone.end());
    std::string want_names, want_q, want_l;
    for (const PropertyReal& p : x.zone_props) {
      want_names += name_of(p.property);
      want_q += type_of(p.unit_type);
      want_l += label_of(p.unit_type);
    }
    std::string names(12 * static_cast<size_t>(nzp), '#'), qnames = names, labels(16 * static_cast<size_t>(nzp), '#');
    Reals values(nv, -7.0);
    int64_t zz = nz, pp = nzp;
    tkhxsc_(id.data(), &zz, &pp, names.data(), values.data(), qnames.data(), labels.data(), &ierr, id.size(), 12,
            12, 16);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(values, want);
    EXPECT_EQ(names + qnames + labels, want_names + want_q + want_l);
    Reals values2(nv, -7.0);
    std::string names2(12 * nv, '#'), ut(12 * nv, '#'), lb(16 * nv, '#');
    tkhxzo_(id.data(), &zz, &pp, names2.data(), values2.data(), ut.data(), lb.data(), &ierr, id.size(), 12, 12, 16);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(values2, want);
    // A table of another size is refused.
    ++zz;
    tkhxsc_(id.data(), &zz, &pp, names.data(), values.data(), qnames.data(), labels.data(), &ierr, id.size(), 12,
            12, 16);
    EXPECT_EQ(ierr, 3);
  }

  // Zone profiles: names, then every zone's profile of every property.
  {
    std::string names(12 * static_cast<size_t>(nfp) + 1, '#'), want;
    for (const PropertyReal& p : x.profile_props) want += name_of(p.property);
    int64_t n = nfp;
    tkcoef_(id.data(), &n, names.data(), &ierr, id.size(), 12);
    EXPECT_EQ(names, want + "#");
    for (int64_t z = 1; z <= nz; ++z)
      for (size_t k = 0; k < x.profile_props.size(); ++k) {
        std::string pname = name_of(x.profile_props[k].property), q(12, '#'), l(16, '#');
        Reals values(static_cast<size_t>(npt) + 1, -7.0);
        int64_t zone = z, np = npt;
        tkhxcf_(id.data(), &zone, &np, pname.data(), values.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
        Reals w = x.profiles[static_cast<size_t>(z - 1)][k];
        w.push_back(-7.0);
        EXPECT_EQ(values, w) << "zone " << z;
        EXPECT_EQ(q + l, type_of(x.profile_props[k].unit_type) + label_of(x.profile_props[k].unit_type));
      }
  }

  // The per-point section.
  {
    const size_t np = x.point_props.size();
    std::string names(12 * np, '#'), q1(8 * np, '#'), q2(8 * np, '#'), wn, w1, w2;
    int64_t n = static_cast<int64_t>(np);
    tkhxpp_(id.data(), section.data(), &n, names.data(), q1.data(), q2.data(), &ierr, id.size(), 8, 12, 8, 8);
    for (size_t k = 0; k < np; ++k) {
      wn += name_of(x.point_props[k].property);
      w1 += pad(x.qa[k], 8);
      w2 += pad(x.qb[k], 8);
    }
    EXPECT_EQ(names + q1 + q2, wn + w1 + w2);
    for (size_t k = 0; k < np; ++k) {
      std::string pname = name_of(x.point_props[k].property), q(12, '#'), l(16, '#');
      Reals a1(static_cast<size_t>(npt), -7.0), a2 = a1, v = a1, want1, want2, want;
      int64_t points = npt;
      tkhxpr_(id.data(), section.data(), pname.data(), &points, a1.data(), a2.data(), v.data(), q.data(), l.data(),
              &ierr, id.size(), 8, 12, 12, 16);
      for (size_t p = 0; p < x.point_values.size(); ++p) {
        want1.push_back(x.positions[p][0]);
        want2.push_back(x.positions[p][1]);
        want.push_back(x.point_values[p][k]);
      }
      EXPECT_EQ(ierr, 0);
      EXPECT_EQ(a1, want1);
      EXPECT_EQ(a2, want2);
      EXPECT_EQ(v, want);
    }
  }
}

void check_column(const IntermediateStreams& s) {
  SCOPED_TRACE("column " + s.id);
  std::string id = pad(s.id, 128);
  const size_t n = s.values.size();
  int64_t count = -1;
  tknics_(id.data(), &count, id.size());
  EXPECT_EQ(count, static_cast<int64_t>(n));
  // Room for one stream fewer than there are: nothing past it is written.
  int64_t room = static_cast<int64_t>(n) - 1, ierr = -1;
  std::vector<Ints> con(4, Ints(n, -1));
  std::vector<Reals> val(7, Reals(n, -7.0));
  tkicst_(id.data(), &room, con[0].data(), con[1].data(), con[2].data(), con[3].data(), val[0].data(),
          val[1].data(), val[2].data(), val[3].data(), val[4].data(), val[5].data(), val[6].data(), &ierr, id.size());
  EXPECT_EQ(ierr, 0);
  const bool kinetic = s.model == "KINETCOL";
  for (size_t i = 0; i < n; ++i) {
    const bool in = i + 1 < n;
    for (size_t q = 0; q < 4; ++q) EXPECT_EQ(con[q][i], !in ? -1 : kinetic ? 0 : s.connections[i][q]);
    for (size_t q = 0; q < 7; ++q)
      EXPECT_EQ(val[q][i], !in ? -7.0 : kinetic && q >= 5 ? 1.0e35 : s.values[i][q]) << i << " " << q;
  }
}

TEST(ExchangerRoundTrip, EveryRoutineAgreesWithTheWrittenSections) {
  int exchangers = 0, columns = 0;
  for (uint64_t seed = 1; seed <= 60; ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    if (f.exchangers.exchangers.empty() && f.exchangers.columns.empty()) continue;
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempSummaryFile file(f.text);
    LoadedSummary loaded(file.string());
    ASSERT_EQ(loaded.ierr(), 0);
    for (const Exchanger& x : f.exchangers.exchangers) check_exchanger(x), ++exchangers;
    for (const IntermediateStreams& c : f.exchangers.columns) check_column(c), ++columns;
  }
  EXPECT_GT(exchangers, 10);
  EXPECT_GT(columns, 10);
}

// Failures: unknown blocks, models the routines do not serve, absent data.
class ExchangerDetail : public SummarySuite<ExchangerDetail> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    Exchanger x = sample_exchanger("X1", 5);
    x.model = "HEATX";  // geometry under a model that is not TWOSIDE
    write_exchanger(w, x);
    IntermediateStreams s = sample_intermediate_streams("HEATX", "X2", 6);
    write_intermediate_streams(w, s);
    write_file(b.text());
  }
};

TEST_F(ExchangerDetail, FailuresGiveTheirFlagsAndZeros) {
  std::string x1 = pad("X1", 128), x2 = pad("X2", 128), none = pad("NOSUCH", 128);
  int64_t n = -1, ierr = -1;
  tkngm_(x1.data(), &n, x1.size());
  EXPECT_EQ(n, 0);  // geometry of a model that is not TWOSIDE
  int64_t room = 1, c[4] = {-1, -1, -1, -1};
  double v[7] = {-7, -7, -7, -7, -7, -7, -7};
  tkicst_(x2.data(), &room, c, c + 1, c + 2, c + 3, v, v + 1, v + 2, v + 3, v + 4, v + 5, v + 6, &ierr, x2.size());
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(v[0], -7.0);
  tkicst_(none.data(), &room, c, c + 1, c + 2, c + 3, v, v + 1, v + 2, v + 3, v + 4, v + 5, v + 6, &ierr,
          none.size());
  EXPECT_EQ(ierr, 1);
  int64_t a = -1, b = -1, d = -1, e = -1;
  tknhxs_(none.data(), &a, &b, &d, &e, &ierr, none.size());
  EXPECT_EQ(Ints({a, b, d, e, ierr}), Ints({0, 0, 0, 0, 1}));
  tknics_(none.data(), &n, none.size());
  EXPECT_EQ(n, 0);
  // A zone without a profile, and a property the zone has none of.
  for (const auto& [zone, prop] : std::vector<std::pair<int64_t, std::string>>{{13, "TEMP"}, {0, "TEMP"}, {1, "NOSUCH"}}) {
    std::string pname = pad(prop, 12), q(12, '#'), l(16, '#');
    int64_t z = zone, np = 2;
    Reals values(2, -7.0);
    tkhxcf_(x1.data(), &z, &np, pname.data(), values.data(), q.data(), l.data(), &ierr, x1.size(), 12, 12, 16);
    EXPECT_NE(ierr, 0) << zone << prop;
    EXPECT_EQ(values, Reals(2, -7.0));
  }
  // No points: no division, no values.
  std::string section = pad("TWS_PRF", 8), pname = pad("TEMP", 12), q(12, ' '), l(16, ' ');
  int64_t np = 0;
  double w = -7.0;
  tkhxpr_(x1.data(), section.data(), pname.data(), &np, &w, &w, &w, q.data(), l.data(), &ierr, x1.size(), 8, 12,
          12, 16);
  EXPECT_EQ(w, -7.0);
  a = b = -1;
  std::string absent = pad("NOSUCH", 8);
  tkhxpf_(x1.data(), absent.data(), &a, &b, x1.size(), 8);
  EXPECT_EQ(Ints({a, b}), Ints({0, 0}));
}

}  // namespace
