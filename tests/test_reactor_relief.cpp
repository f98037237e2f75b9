// Reactor profiles and pressure relief: every routine against the random
// flowsheets' reactors and relief objects (check_reactors, called by the
// round trip), and over one hand-built file the cases random files do not
// reach: other models, more points than stored, the caller's count of
// scenario results, vent sets cut to the caller's dimensions.
#include <gtest/gtest.h>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/reactor_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

// One property of a profile read by its kind: per point through `one`,
// per component through `two` into (ld = components + 1, points) with a
// guard row and column.
template <class One, class Two>
void check_property(const Series& p, int64_t points, One one, Two two) {
  SCOPED_TRACE("property " + p.name);
  const std::string pname = pad(p.name, 12);
  std::string q(12, '#'), l(16, '#');
  int64_t ierr = -1, np = points, nk = static_cast<int64_t>(p.components.size()), ld = nk + 1;
  std::string ids(8 * static_cast<size_t>(ld), '#');
  Reals v(static_cast<size_t>(p.kind == 1 ? points + 1 : ld * (points + 1)), -1.0), want;
  if (p.kind == 1) {
    one(pname.data(), &np, v.data(), q.data(), l.data(), &ierr);
    want = p.si;
  } else {
    two(pname.data(), &np, &ld, ids.data(), v.data(), q.data(), l.data(), &ierr);
    for (int64_t k = 0; k < nk; ++k) EXPECT_EQ(field(ids, 8, static_cast<size_t>(k)), p.components[static_cast<size_t>(k)]);
    EXPECT_EQ(ids.substr(8 * static_cast<size_t>(nk)), std::string(8, '#'));
    for (int64_t t = 0; t < points; ++t)
      for (int64_t k = 0; k <= nk; ++k) want.push_back(k < nk ? p.si[static_cast<size_t>(t * nk + k)] : -1.0);
  }
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ((Texts{trim(q), trim(l)}), units_of(p.unit_type));
  want.resize(v.size(), -1.0);
  expect_si(v, want);
}

// Sizes and names of a listed profile.
void check_listing(const ReactorTruth& t, Ints sizes, const std::string& names, const Ints& kinds) {
  EXPECT_EQ(sizes, (Ints{t.points, t.components, static_cast<int64_t>(t.properties.size())}));
  for (size_t k = 0; k < t.properties.size(); ++k)
    EXPECT_EQ((std::pair{field(names, 12, k), kinds[k]}), (std::pair{t.properties[k].name, t.properties[k].kind}));
  EXPECT_EQ(names.substr(12 * t.properties.size()), std::string(12, '#'));
}

}  // namespace

void check_reactors(const RandomFlowsheet& f) {
  for (const RandomReactor& r : f.reactors) {
    SCOPED_TRACE("reactor " + r.id + " " + r.model);
    const std::string id = pad(r.id, 40);
    int64_t nsub = -1;
    tkrsub_(id.data(), &nsub, id.size());
    EXPECT_EQ(nsub, r.substreams);
    for (size_t k = 0; k < r.profiles.size(); ++k) {
      const ReactorTruth& t = r.profiles[k];
      SCOPED_TRACE("profile " + std::to_string(k + 1));
      int64_t p = static_cast<int64_t>(k) + 1, np = -1, nc = -1, nn = -1, ierr = -1;
      std::string ss(8, '#');
      tkrprf_(id.data(), &p, ss.data(), &np, &nc, &nn, id.size(), 8);
      std::string names(12 * t.properties.size() + 12, '#');
      Ints kinds(t.properties.size() + 1, -7);
      tkrprp_(id.data(), &p, &nn, kinds.data(), names.data(), &ierr, id.size(), 12);
      EXPECT_EQ((std::pair{trim(ss), ierr}), (std::pair{t.substream, int64_t{0}}));
      check_listing(t, {np, nc, nn}, names, kinds);
      const std::string sub = pad(t.substream, 8);
      for (const Series& s : t.properties)
        check_property(
            s, t.points,
            [&](const char* pn, int64_t* n, double* v, char* q, char* l, int64_t* e) {
              tkrpr1_(id.data(), pn, sub.data(), n, v, q, l, e, id.size(), 12, 8, 12, 16);
            },
            [&](const char* pn, int64_t* n, int64_t* ld, char* ids, double* v, char* q, char* l, int64_t* e) {
              tkrpr2_(id.data(), pn, &p, ld, ids, n, v, q, l, e, id.size(), 12, 8, 12, 16);
            });
    }
    using Sizes = void (*)(const char*, int64_t*, int64_t*, int64_t*, size_t);
    using Names = void (*)(const char*, int64_t*, int64_t*, char*, int64_t*, size_t, size_t);
    using One = void (*)(const char*, const char*, int64_t*, double*, char*, char*, int64_t*, size_t, size_t, size_t, size_t);
    using Two = void (*)(const char*, const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                         size_t, size_t, size_t, size_t);
    struct Family { const ReactorTruth& t; Sizes sizes; Names names; One one; Two two; };
    for (const Family& fam : {Family{r.accumulator, tkvapf_, tkvapr_, tkvar1_, tkvar2_},
                              Family{r.vent, tkvtpf_, tkvtpr_, tkvtr1_, tkvtr2_}}) {
      int64_t np = -1, nc = -1, nn = -1, ierr = -1;
      fam.sizes(id.data(), &np, &nc, &nn, id.size());
      std::string names(12 * fam.t.properties.size() + 12, '#');
      Ints kinds(fam.t.properties.size() + 1, -7);
      fam.names(id.data(), &nn, kinds.data(), names.data(), &ierr, id.size(), 12);
      check_listing(fam.t, {np, nc, nn}, names, kinds);
      for (const Series& s : fam.t.properties)
        check_property(
            s, fam.t.points,
            [&](const char* pn, int64_t* n, double* v, char* q, char* l, int64_t* e) {
              fam.one(id.data(), pn, n, v, q, l, e, id.size(), 12, 12, 16);
            },
            [&](const char* pn, int64_t* n, int64_t* ld, char* ids, double* v, char* q, char* l, int64_t* e) {
              fam.two(id.data(), pn, n, ld, ids, v, q, l, e, id.size(), 12, 8, 12, 16);
            });
    }
  }
  for (const RandomRelief& r : f.relief_results) {
    SCOPED_TRACE("relief " + r.id);
    const std::string id = pad(r.id, 40);
    for (const auto& [truth, steady] : {std::pair{&r.dynamic, false}, std::pair{&r.steady, true}}) {
      // One row more than stored: it stays untouched.
      int64_t n = static_cast<int64_t>(truth->size()) + 1, ierr = -1;
      const size_t m = static_cast<size_t>(n);
      std::string names(12 * m, '#'), texts(12 * m, '#'), msgs(32 * m, '#'), qn(12 * m, '#'), ul(16 * m, '#');
      Ints kinds(m, -1), ints(m, -1);
      Reals reals(m, -1);
      if (steady)
        tkpsss_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), msgs.data(), reals.data(),
                qn.data(), ul.data(), &ierr, id.size(), 12, 12, 32, 12, 16);
      else
        tkpssr_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), msgs.data(), reals.data(),
                qn.data(), ul.data(), id.size(), 12, 12, 32, 12, 16);
      if (steady) EXPECT_EQ(ierr, truth->empty() ? 3 : 0);
      EXPECT_EQ(kinds.back(), -1);
      for (size_t k = 0; k < truth->size(); ++k) {
        const Series& s = (*truth)[k];
        EXPECT_EQ((Texts{field(names, 12, k), s.kind == 4 ? field(msgs, 32, k) : field(texts, 12, k)}),
                  (Texts{s.name, s.text}));
        EXPECT_EQ(kinds[k], s.kind);
        if (s.kind == 2) expect_si({reals[k]}, s.si);
      }
    }
    // Vent: sizes, names, and every section's sets.
    Ints sizes(4, -1);
    tkpvpf_(id.data(), &sizes[0], &sizes[1], &sizes[2], &sizes[3], id.size());
    const bool pres = !r.vent.empty() && r.vent[0].name == "B_PRES";
    const int64_t npres = pres ? static_cast<int64_t>(r.vent[0].si.size()) / r.points : 0;
    EXPECT_EQ(sizes, (Ints{pres ? r.points : 0, 0, static_cast<int64_t>(r.vent.size()), npres}));
    for (const Series& s : r.vent) {
      int64_t nsets = static_cast<int64_t>(s.si.size()) / r.points, np = r.points, ierr = -1;
      std::string pn = pad(s.name, 12), q(12, ' '), l(16, ' ');
      Reals v(s.si.size() + 1, -1.0), want = s.si;
      want.push_back(-1.0);
      tkpvr1_(id.data(), pn.data(), &nsets, &np, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
      EXPECT_EQ(ierr, 0);
      expect_si(v, want);
    }
  }
}

namespace {

class ReactorRelief : public SummarySuite<ReactorRelief> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"A", "B", "C"});
    int next = 1;
    auto ds = [&](std::vector<std::string> path, std::vector<ColumnSet> sets, std::vector<Value> v) {
      column_dataset(w, path, sets, v, &next);
    };
    const ColumnSet mixed{{"SUBSTREAM"}, {{{"MIXED"}}}, ""}, three{{"NPOINT"}, {{{"#3"}}}, ""};
    w.block_results("FLASH", "F-1", {}, {BlockResult::real(prop::kTemp, 1.0)});
    ds({"BLOCK", "TUBERX", "R-1", "PLPR_1"}, {property_set(22, 22), mixed, three}, reals({300, 310, 320}, 1));
    ds({"BLOCK", "BATCHRX", "R-2", "SEL_PRF"}, {{{"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}}, ""}},
       reals({1, 2}, 1));
    // Relief object: dynamic scenario with every descriptor; two vent
    // pressure sets and a temperature set.
    ColumnSet results{{"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1}, {{"22"}, 2, 22}}, ""};
    ds({"PRES-RELIEF", "PSV-1", "PRDYSC"}, {results},
       {Value::integer(0), Value::integer(0), Value::integer(7), Value::integer(9), Value::real(300, 1)});
    ds({"PRES-RELIEF", "PSV-1", "PRVTP"}, {property_set(881, 20), three}, reals({1, 2, 3}, 1));
    ds({"PRES-RELIEF", "PSV-1", "PRVTP"}, {property_set(881, 20), three}, reals({4, 5, 6}, 1));
    ds({"PRES-RELIEF", "PSV-1", "PRVTT"}, {property_set(22, 22), three}, reals({7, 8, 9}, 1));
    ds({"PRES-RELIEF", "PSV-1", "PRVTZT"}, {property_set(65), three}, reals({0, 10, 20}));
    write_file(b.text());
  }
};

TEST_F(ReactorRelief, BadInputGivesFlagsAndZeros) {
  // Another model, an unknown block, a property without a data set, and
  // more points asked than stored: only what the data set holds is read.
  struct Row { const char* id; const char* prop; int64_t ierr, nsub; Reals values; };
  for (const Row& r : {Row{"F-1", "TEMP", 1, 0, {-1, -1, -1, -1}}, Row{"NO-SUCH", "TEMP", 1, 0, {-1, -1, -1, -1}},
                       Row{"R-1", "VFRAC", 3, 1, {-1, -1, -1, -1}}, Row{"R-1", "TEMP", 0, 1, {300, 310, 320, -1}}}) {
    std::string id = pad(r.id, 16), pn = pad(r.prop, 12), ss = pad("MIXED", 8), q(12, ' '), l(16, ' ');
    int64_t n = 4, ierr = -1, nsub = -1;
    Reals v(4, -1);
    tkrpr1_(id.data(), pn.data(), ss.data(), &n, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 12, 16);
    tkrsub_(id.data(), &nsub, id.size());
    EXPECT_EQ((std::tuple{ierr, nsub, v}), (std::tuple{r.ierr, r.nsub, r.values})) << r.id << " " << r.prop;
  }
  // The selectivity profile is read whole, with its count.
  const std::string id = pad("R-2", 16);
  int64_t count = -1, nval = -1, idum = 0, ierr = -1;
  tkrrns_(id.data(), &count, id.size());
  std::string sn(24, ' '), st(24, ' '), sl(32, ' ');
  Reals sv(2, -1);
  tkrrsl_(id.data(), &idum, sn.data(), sv.data(), st.data(), sl.data(), &nval, &ierr, id.size(), 12, 12, 16);
  EXPECT_EQ((std::tuple{count, nval, ierr, sv, field(sn, 12, 1)}),
            (std::tuple{int64_t{2}, int64_t{2}, int64_t{0}, Reals{1, 2}, std::string("PRES")}));
}

TEST_F(ReactorRelief, ScenarioDescriptorsAndCallerCount) {
  const std::string id = pad("PSV-1", 16);
  // Room for three results: the others are not written.
  int64_t nres = 3;
  std::string names(12 * 5, '#'), texts(12 * 5, '#'), msgs(32 * 5, '#'), qn(12 * 5, '#'), ul(16 * 5, '#');
  Ints kinds(5, -1), ints(5, -1);
  Reals reals(5, -1);
  tkpssr_(id.data(), &nres, names.data(), kinds.data(), ints.data(), texts.data(), msgs.data(), reals.data(), qn.data(),
          ul.data(), id.size(), 12, 12, 32, 12, 16);
  EXPECT_EQ(kinds, (Ints{4, 3, 3, -1, -1}));
  EXPECT_EQ((Texts{field(msgs, 32, 0), field(texts, 12, 1), field(texts, 12, 2), names.substr(36)}),
            (Texts{"Does meet code requirements", "Both", "PSV-PSD", std::string(24, '#')}));
  // An unknown object: zeros.
  Ints sizes(4, -1);
  const std::string other = pad("PSV-9", 16);
  tkpvpf_(other.data(), &sizes[0], &sizes[1], &sizes[2], &sizes[3], other.size());
  EXPECT_EQ(sizes, (Ints{0, 0, 0, 0}));
}

TEST_F(ReactorRelief, VentSetsWithinCallerDimensions) {
  const std::string id = pad("PSV-1", 16), pn = pad("B_PRES", 12);
  std::string q(12, ' '), l(16, ' ');
  // Two sets asked, two points each: the third point of each is not read.
  int64_t nsets = 2, npoint = 2, ierr = -1;
  Reals v(5, -1);
  tkpvr1_(id.data(), pn.data(), &nsets, &npoint, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
  EXPECT_EQ((std::pair{ierr, v}), (std::pair{int64_t{0}, Reals{1, 2, 4, 5, -1}}));
  const std::string bad = pad("B_OTHER", 12);
  tkpvr1_(id.data(), bad.data(), &nsets, &npoint, v.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
  EXPECT_EQ(ierr, 3);
  int64_t nprop = 2;
  Ints kinds(3, -7);
  std::string names(36, '#');
  Reals times(3, -1);  // the time axis has the vent's three points
  tkpvrp_(id.data(), &nprop, kinds.data(), names.data(), times.data(), q.data(), l.data(), &ierr, id.size(), 12, 12, 16);
  EXPECT_EQ((std::tuple{ierr, kinds, field(names, 12, 0), field(names, 12, 1), times}),
            (std::tuple{int64_t{0}, Ints{1, 1, -7}, std::string("B_PRES"), std::string("B_TEMP"), Reals{0, 10, 20}}));
}

}  // namespace
}  // namespace flowsum::testing
