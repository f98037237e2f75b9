// Heating curves: every routine checked against the curves the random
// flowsheets write, and hand-built cases for the refinery locations, the
// last-curve memory, intermediate-stream ids and bad requests.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/curve_records.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Reals = std::vector<double>;

// One curve read through the general or the refinery routines.
struct CurveCall {
  std::string block, location, type;
  int64_t number = 0;
  bool refinery = false;

  std::pair<int64_t, int64_t> shape() const {
    std::string id = pad(block, 128), loc = pad(location, 8), ty = pad(type, 16);
    int64_t np = -1, nf = -1, n = number;
    if (refinery) tkshcr_(id.data(), loc.data(), ty.data(), &n, &np, &nf, id.size(), 8, 16);
    else tkshcv_(id.data(), ty.data(), &n, &np, &nf, id.size(), 16);
    return {np, nf};
  }
  // The five standard arrays, sized np + 1 so that a write past np shows.
  std::array<Reals, 5> standard(int64_t np, int64_t& ierr) const {
    std::string id = pad(block, 128), loc = pad(location, 8), ty = pad(type, 16);
    std::array<Reals, 5> v;
    for (Reals& r : v) r.assign(static_cast<size_t>(np) + 1, -7.0);
    int64_t n = number;
    if (refinery)
      tkhcur_(id.data(), loc.data(), ty.data(), &n, &np, v[0].data(), v[1].data(), v[2].data(), v[3].data(),
              v[4].data(), &ierr, id.size(), 8, 16);
    else
      tkhcrv_(id.data(), ty.data(), &n, &np, v[0].data(), v[1].data(), v[2].data(), v[3].data(), v[4].data(),
              &ierr, id.size(), 16);
    return v;
  }
};

struct Further {
  std::string pname = std::string(12, '#'), substream = std::string(8, '#'), phase = std::string(8, '#'),
              component = std::string(8, '#'), basis = std::string(4, '#'), flowbasis = std::string(4, '#'),
              qname = std::string(12, '#'), label = std::string(16, '#');
  Reals values;
  int64_t ierr = -1;
};

Further by_position(const CurveCall& c, int64_t np, int64_t k) {
  Further f;
  f.values.assign(static_cast<size_t>(std::max<int64_t>(np, 0)) + 1, -7.0);
  std::string id = pad(c.block, 128), loc = pad(c.location, 8), ty = pad(c.type, 16);
  int64_t n = c.number;
  if (c.refinery)
    tknhcp_(id.data(), loc.data(), ty.data(), &n, &np, &k, f.pname.data(), f.substream.data(), f.phase.data(),
            f.component.data(), f.basis.data(), f.flowbasis.data(), f.values.data(), f.qname.data(),
            f.label.data(), &f.ierr, id.size(), 8, 16, 12, 8, 8, 8, 4, 4, 12, 16);
  else
    tknhpr_(id.data(), ty.data(), &n, &np, &k, f.pname.data(), f.substream.data(), f.phase.data(),
            f.component.data(), f.basis.data(), f.flowbasis.data(), f.values.data(), f.qname.data(),
            f.label.data(), &f.ierr, id.size(), 16, 12, 8, 8, 8, 4, 4, 12, 16);
  return f;
}

// TKHPRP (or TKHCPR) with the qualifiers q gives.
Further by_qualifiers(const CurveCall& c, int64_t np, const Further& q) {
  Further f;
  f.values.assign(static_cast<size_t>(std::max<int64_t>(np, 0)) + 1, -7.0);
  std::string id = pad(c.block, 128), loc = pad(c.location, 8), ty = pad(c.type, 16);
  int64_t n = c.number;
  if (c.refinery)
    tkhcpr_(id.data(), loc.data(), ty.data(), &n, &np, q.pname.data(), q.substream.data(), q.phase.data(),
            q.component.data(), q.basis.data(), q.flowbasis.data(), f.values.data(), f.qname.data(),
            f.label.data(), &f.ierr, id.size(), 8, 16, 12, 8, 8, 8, 4, 4, 12, 16);
  else
    tkhprp_(id.data(), ty.data(), &n, &np, q.pname.data(), q.substream.data(), q.phase.data(),
            q.component.data(), q.basis.data(), q.flowbasis.data(), f.values.data(), f.qname.data(),
            f.label.data(), &f.ierr, id.size(), 16, 12, 8, 8, 8, 4, 4, 12, 16);
  return f;
}

std::string basis_of(int64_t unit_type) {
  switch (unit_type) {
    case 13: return "FLOW";
    case 15: case 37: case 39: case 41: return "MOLE";
    case 38: case 40: case 42: case 49: return "MASS";
    default: return "";
  }
}

// Every routine of the family against what one block's curves hold.
void check_block(const CurveBlock& b) {
  SCOPED_TRACE("block " + b.id);
  std::string id = pad(b.id, 128);
  const int64_t ncurves = static_cast<int64_t>(b.curves.size());
  int64_t n = -1;
  (b.refinery ? tknhcr_ : tknhcv_)(id.data(), &n, id.size());
  EXPECT_EQ(n, ncurves);
  // The list, one entry short of the count when there is more than one: the
  // entries past the caller's count stay untouched.
  int64_t room = ncurves > 1 ? ncurves - 1 : ncurves, ierr = -1;
  std::string types(16 * static_cast<size_t>(ncurves), '#'), locs(8 * static_cast<size_t>(ncurves), '#');
  std::vector<int64_t> numbers(static_cast<size_t>(ncurves), -1);
  if (b.refinery) tklhcr_(id.data(), &room, locs.data(), types.data(), numbers.data(), &ierr, id.size(), 8, 16);
  else tklhcv_(id.data(), &room, types.data(), numbers.data(), &ierr, id.size(), 16);
  EXPECT_EQ(ierr, 0);
  std::string want_types, want_locs;
  std::vector<int64_t> want_numbers;
  for (int64_t i = 0; i < ncurves; ++i) {
    const Curve& c = b.curves[static_cast<size_t>(i)];
    const bool listed = i < room;
    want_types += listed ? pad(c.type, 16) : std::string(16, '#');
    want_locs += listed ? pad(c.location, 8) : std::string(8, '#');
    want_numbers.push_back(listed ? c.number : -1);
  }
  EXPECT_EQ(types, want_types);
  if (b.refinery) EXPECT_EQ(locs, want_locs);
  EXPECT_EQ(numbers, want_numbers);

  for (const Curve& c : b.curves) {
    SCOPED_TRACE(c.type + " " + c.location + " " + std::to_string(c.number));
    const CurveCall call{b.id, c.location, c.type, c.number, b.refinery};
    const int64_t np = static_cast<int64_t>(c.npoints()), nf = static_cast<int64_t>(c.further.size());
    EXPECT_EQ(call.shape(), std::make_pair(np, nf));
    int64_t err = -1;
    const auto v = call.standard(np, err);
    EXPECT_EQ(err, 0);
    const std::array<const Reals*, 5> truth{&c.status, &c.temp, &c.pres, &c.vfrac, &c.duty};
    for (size_t k = 0; k < 5; ++k) {
      Reals want = *truth[k];
      want.push_back(-7.0);
      EXPECT_EQ(v[k], want) << "standard array " << k;
    }
    for (int64_t k = 1; k <= nf; ++k) {
      const CurveProperty& p = c.further[static_cast<size_t>(k - 1)];
      const Further f = by_position(call, np, k);
      ASSERT_EQ(f.ierr, 0) << k;
      EXPECT_EQ(f.pname, pad(flowsum::property_name(p.property), 12));
      EXPECT_EQ(f.substream + f.phase + f.component + f.basis,
                pad(p.substream, 8) + pad(p.phase, 8) + pad(p.component, 8) + pad(p.basis, 4));
      EXPECT_EQ(f.flowbasis, pad(basis_of(p.unit_type), 4));
      EXPECT_EQ(f.qname, pad(p.unit_type ? known_type_name(p.unit_type) : "", 12));
      EXPECT_EQ(f.label, pad(p.unit_type ? si_label(p.unit_type) : "", 16));
      Reals want = p.values;
      want.push_back(-7.0);
      EXPECT_EQ(f.values, want);
      // The same property chosen by the qualifiers TKNHPR reported.
      const Further g = by_qualifiers(call, np, f);
      EXPECT_EQ(g.ierr, 0);
      EXPECT_EQ(g.values, want);
      EXPECT_EQ(g.qname + g.label, f.qname + f.label);
    }
  }
}

TEST(HeatingCurvesRoundTrip, EveryRoutineAgreesWithTheWrittenCurves) {
  int curves = 0;
  for (uint64_t seed = 1; seed <= 80; ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    if (f.curve_blocks.empty()) continue;
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempSummaryFile file(f.text);
    LoadedSummary loaded(file.string());
    ASSERT_EQ(loaded.ierr(), 0);
    for (const CurveBlock& b : f.curve_blocks) {
      check_block(b);
      curves += static_cast<int>(b.curves.size());
    }
  }
  EXPECT_GT(curves, 50);
}

// A hand-built file: curves the random files leave out and bad requests.
class HeatingCurves : public SummarySuite<HeatingCurves> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    CurveWriter cw(w);
    // Two pumparounds of one crude unit, both curve 1.
    Curve pa1 = sample_curve("PA_HCURV", "PUMPAROUND", 1, 3, 1, 11);
    pa1.location = "PA1";
    pa1.further[0].unit_type = unit_type::kMassDensity;
    Curve pa2 = sample_curve("PA_HCURV", "PUMPAROUND", 1, 3, 1, 12);
    pa2.location = "PA2";
    cw.curve("CRUDEUNIT", "CU", pa1);
    cw.curve("CRUDEUNIT", "CU", pa2);
    // Intermediate-stream curves of two column models, and their streams.
    cw.curve("TRAYCOL", "T1", sample_curve("ICH_HCUR", "ICSTREAM", 2, 2, 0, 13));
    cw.intermediate_ids("TRAYCOL", "T1", {"IC-A", "IC-B"}, false);
    cw.curve("LINKEDCOL", "L1", sample_curve("ICH_HCUR", "ICSTREAM", 1, 2, 0, 14));
    cw.intermediate_ids("LINKEDCOL", "L1", {"7"}, true);
    // A curve section under a model that has none, and a curve without
    // further properties.
    cw.curve("MIXER", "M1", sample_curve("HCURVE", "HCURVE", 1, 2, 0, 15));
    cw.curve("VLDRUM", "D1", sample_curve("HCURVE", "HCURVE", 10, 2, 0, 16));
    write_file(b.text());
  }
};

TEST_F(HeatingCurves, PumparoundsOfOneNumberStayApartThroughTheMemory) {
  const CurveCall pa1{"CU", "PA1", "PUMPAROUND", 1, true}, pa2{"CU", "PA2", "PUMPAROUND", 1, true};
  const Curve t1 = sample_curve("PA_HCURV", "PUMPAROUND", 1, 3, 1, 11), t2 = sample_curve("PA_HCURV", "PUMPAROUND", 1, 3, 1, 12);
  int64_t ierr = -1;
  // Asked in turns, and each twice, every answer is its own curve's.
  for (const auto& [call, truth] : {std::pair{pa1, &t1}, {pa1, &t1}, {pa2, &t2}, {pa2, &t2}, {pa1, &t1}}) {
    EXPECT_EQ(call.shape(), std::make_pair(int64_t{3}, int64_t{1}));
    EXPECT_EQ(call.standard(3, ierr)[1], (Reals{truth->temp[0], truth->temp[1], truth->temp[2], -7.0}));
    EXPECT_EQ(by_position(call, 3, 1).values, (Reals{truth->further[0].values[0], truth->further[0].values[1],
                                                     truth->further[0].values[2], -7.0}));
  }
  // A location that is not the curve's finds nothing.
  EXPECT_EQ((CurveCall{"CU", "PA3", "PUMPAROUND", 1, true}.shape()), std::make_pair(int64_t{0}, int64_t{0}));
}

TEST_F(HeatingCurves, IntermediateStreamIdentifiers) {
  struct Case {
    std::string block;
    std::string type;
    int64_t number, ierr, inum;
    std::string ident;
  };
  for (const Case& c : std::vector<Case>{{"T1", "ICSTREAM", 2, 0, 0, "IC-B"},
                                         {"L1", "ICSTREAM", 1, 0, 7, ""},
                                         {"T1", "ICSTREAM", 1, 1, 0, ""},
                                         {"T1", "REBOILER", 2, 1, 0, ""}}) {
    std::string id = pad(c.block, 128), ty = pad(c.type, 8), ident(9, '#');
    int64_t n = c.number, inum = -1, ierr = -1;
    tkhcid_(id.data(), ty.data(), &n, &inum, ident.data(), &ierr, id.size(), 8, 8);
    EXPECT_EQ(std::make_tuple(ierr, inum, ident), std::make_tuple(c.ierr, c.inum, pad(c.ident, 8) + "#"))
        << c.block << " " << c.number;
  }
}

TEST_F(HeatingCurves, BadRequestsGiveFlagsAndZerosAndWriteNothing) {
  struct Case {
    CurveCall call;
    int64_t np, k;
  };
  const std::vector<Case> cases{
      {{"NOSUCH", "", "HCURVE", 10}, 2, 1},      // unknown block
      {{"M1", "", "HCURVE", 1}, 2, 1},           // model without curves
      {{"D1", "", "HOT", 10}, 2, 1},             // type the model does not report
      {{"D1", "", "HCURVE", 3}, 2, 1},           // number absent
      {{"D1", "", "HCURVE", 10}, 2, 1},          // no further properties
      {{"CU", "PA1", "PUMPAROUND", 1, true}, 3, 0},  // position 0
      {{"CU", "PA1", "PUMPAROUND", 1, true}, 3, 2},  // position past the last
      {{"CU", "PA1", "PUMPAROUND", 1, true}, 0, 1},  // no points
      {{"CU", "PA1", "PUMPAROUND", 1, true}, 2, 1},  // points that are not the curve's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call.block + " " + c.call.type + " " + std::to_string(c.call.number));
    const Further f = by_position(c.call, c.np, c.k);
    EXPECT_EQ(f.ierr, 1);
    EXPECT_EQ(f.values, Reals(static_cast<size_t>(c.np) + 1, -7.0));
    EXPECT_EQ(f.pname + f.substream, std::string(20, ' '));
    Further q;
    q.pname = pad("MASSFLMX", 12);
    EXPECT_EQ(by_qualifiers(c.call, c.np, q).ierr, 1);
  }
  int64_t n = -1;
  for (const char* block : {"NOSUCH", "M1"}) {
    std::string id = pad(block, 128);
    tknhcv_(id.data(), &n, id.size());
    EXPECT_EQ(n, 0);
    tknhcr_(id.data(), &n, id.size());
    EXPECT_EQ(n, 0);
  }
  // A list asked with room for no entry writes none.
  std::string id = pad("CU", 128), types(16, '#'), locs(8, '#');
  int64_t room = 0, num = -1, ierr = -1;
  tklhcr_(id.data(), &room, locs.data(), types.data(), &num, &ierr, id.size(), 8, 16);
  EXPECT_EQ(types + locs, std::string(24, '#'));
  EXPECT_EQ(num, -1);
  // Standard values are kept to the caller's points.
  int64_t err = -1;
  const auto v = (CurveCall{"D1", "", "HCURVE", 10}.standard(1, err));
  EXPECT_EQ(err, 0);
  EXPECT_EQ(v[4][1], -7.0);
}

TEST_F(HeatingCurves, MassDensityNeedsTheMassFlowBasis) {
  // Property 1 of the first pumparound curve is a mass density.
  const CurveCall pa1{"CU", "PA1", "PUMPAROUND", 1, true};
  Further q = by_position(pa1, 3, 1);
  ASSERT_EQ(q.ierr, 0);
  EXPECT_EQ(q.flowbasis, "MASS");
  for (const char* basis : {"MOLE", "    "}) {
    q.flowbasis = basis;
    EXPECT_EQ(by_qualifiers(pa1, 3, q).ierr, 1) << basis;
  }
}

}  // namespace
