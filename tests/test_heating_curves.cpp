// Heating curves: every routine against the curves the random flowsheets
// write, and a hand-built file for intermediate streams and bad requests.
#include <gtest/gtest.h>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

Reals plus_guard(Reals v) {
  v.push_back(-7.0);
  return v;
}

// One curve through the refinery routines, which serve crude units and pass
// every other block to the general ones (the Fortran client calls those);
// arrays one longer than asked for, so that a write past the count shows.
struct Call {
  std::string block, loc, type;
  int64_t number = 0;
  std::string id = pad(block, 128), l = pad(loc, 8), t = pad(type, 16);

  std::pair<int64_t, int64_t> shape() {
    int64_t np = -1, nf = -1;
    tkshcr_(id.data(), l.data(), t.data(), &number, &np, &nf, 128, 8, 16);
    return {np, nf};
  }
  std::vector<Reals> standard(int64_t np, int64_t& ierr) {
    std::vector<Reals> v(5, Reals(static_cast<size_t>(np) + 1, -7.0));
    tkhcur_(id.data(), l.data(), t.data(), &number, &np, v[0].data(), v[1].data(), v[2].data(), v[3].data(),
            v[4].data(), &ierr, 128, 8, 16);
    return v;
  }
  // Further property k into q (name, substream, phase, component, basis,
  // flow basis, quantity, label) and v; k 0 chooses it by what q holds.
  void further(int64_t np, int64_t k, Texts& q, Reals& v, int64_t& ierr) {
    v.assign(static_cast<size_t>(std::max<int64_t>(np, 0)) + 1, -7.0);
    q[6].assign(12, '#');
    q[7].assign(16, '#');
    char *a = q[0].data(), *b = q[1].data(), *c = q[2].data(), *d = q[3].data(), *e = q[4].data(), *f = q[5].data();
    if (k > 0)
      tknhcp_(id.data(), l.data(), t.data(), &number, &np, &k, a, b, c, d, e, f, v.data(), q[6].data(), q[7].data(),
              &ierr, 128, 8, 16, 12, 8, 8, 8, 4, 4, 12, 16);
    else
      tkhcpr_(id.data(), l.data(), t.data(), &number, &np, a, b, c, d, e, f, v.data(), q[6].data(), q[7].data(), &ierr,
              128, 8, 16, 12, 8, 8, 8, 4, 4, 12, 16);
  }
};

Texts blank_qualifiers() { return {pad("", 12), pad("", 8), pad("", 8), pad("", 8), pad("", 4), pad("", 4), "", ""}; }

void check_block(const CurveBlock& b) {
  SCOPED_TRACE("block " + b.id);
  std::string id = pad(b.id, 128);
  const size_t n = b.curves.size();
  int64_t count = -1, room = n > 1 ? static_cast<int64_t>(n) - 1 : static_cast<int64_t>(n), ierr = -1;
  tknhcr_(id.data(), &count, 128);
  EXPECT_EQ(count, static_cast<int64_t>(n));
  // The list with room for one curve fewer: the last entry stays untouched.
  std::string types(16 * n, '#'), locs(8 * n, '#'), want_types, want_locs;
  std::vector<int64_t> numbers(n, -1), want_numbers;
  tklhcr_(id.data(), &room, locs.data(), types.data(), numbers.data(), &ierr, 128, 8, 16);
  for (size_t i = 0; i < n; ++i) {
    const bool in = static_cast<int64_t>(i) < room;
    want_types += in ? pad(b.curves[i].type, 16) : std::string(16, '#');
    want_locs += in ? pad(b.curves[i].location, 8) : std::string(8, '#');
    want_numbers.push_back(in ? b.curves[i].number : -1);
  }
  EXPECT_EQ(std::make_tuple(ierr, types, locs, numbers), std::make_tuple(int64_t{0}, want_types, want_locs, want_numbers));

  for (const Curve& c : b.curves) {
    SCOPED_TRACE(c.type + " " + c.location + " " + std::to_string(c.number));
    Call call{b.id, c.location, c.type, c.number};
    const int64_t np = static_cast<int64_t>(c.npoints()), nf = static_cast<int64_t>(c.further.size());
    // Values first: the last-curve memory holds the block's previous curve,
    // which may have the same number at another location.
    EXPECT_EQ(call.standard(np, ierr), (std::vector<Reals>{plus_guard(c.status), plus_guard(c.temp),
                                                           plus_guard(c.pres), plus_guard(c.vfrac), plus_guard(c.duty)}));
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(call.shape(), std::make_pair(np, nf));
    for (int64_t k = 1; k <= nf; ++k) {
      const CurveProperty& p = c.further[static_cast<size_t>(k - 1)];
      Texts q = blank_qualifiers();
      Reals v, again;
      call.further(np, k, q, v, ierr);
      EXPECT_EQ(q, (Texts{pad(flowsum::property_name(p.property), 12), pad(p.substream, 8), pad(p.phase, 8),
                          pad(p.component, 8), pad(p.basis, 4), pad(p.unit_type == 13 ? "FLOW" : "", 4),
                          pad(p.unit_type ? known_type_name(p.unit_type) : "", 12),
                          pad(p.unit_type ? si_label(p.unit_type) : "", 16)}));
      EXPECT_EQ(std::make_pair(ierr, v), std::make_pair(int64_t{0}, plus_guard(p.values)));
      call.further(np, 0, q, again, ierr);  // the same property by its qualifiers
      EXPECT_EQ(std::make_pair(ierr, again), std::make_pair(int64_t{0}, v));
    }
  }
}

TEST(HeatingCurves, EveryRoutineAgreesWithTheRandomFlowsheets) {
  size_t curves = 0;
  for (uint64_t seed = 1; seed <= 80; ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    TempSummaryFile file(f.text);
    LoadedSummary loaded(file.string());
    ASSERT_EQ(loaded.ierr(), 0);
    for (const CurveBlock& b : f.curve_blocks) check_block(b), curves += b.curves.size();
  }
  EXPECT_GT(curves, 50u);
}

TEST(HeatingCurves, IntermediateStreamsAndBadRequests) {
  SummaryBuilder sb;
  sb.header();
  FlowsheetWriter w(sb);
  w.property_names();
  CurveWriter cw(w);
  cw.curve("TRAYCOL", "T1", sample_curve("ICH_HCUR", "ICSTREAM", 2, 2, 0, 13));
  cw.intermediate_ids("TRAYCOL", "T1", {"IC-A", "IC-B"}, false);
  cw.curve("LINKEDCOL", "L1", sample_curve("ICH_HCUR", "ICSTREAM", 1, 2, 0, 14));
  cw.intermediate_ids("LINKEDCOL", "L1", {"7"}, true);
  cw.curve("MIXER", "M1", sample_curve("HCURVE", "HCURVE", 1, 2, 0, 15));  // a model without curves
  cw.curve("VLDRUM", "D1", sample_curve("HCURVE", "HCURVE", 10, 2, 1, 16));
  Curve pa = sample_curve("PA_HCURV", "PUMPAROUND", 1, 3, 1, 17);
  pa.location = "PA1";
  cw.curve("CRUDEUNIT", "CU", pa);
  TempSummaryFile file(sb.text());
  LoadedSummary loaded(file.string());

  for (const auto& [block, type, number, ierr, inum, ident] :
       std::vector<std::tuple<std::string, std::string, int64_t, int64_t, int64_t, std::string>>{
           {"T1", "ICSTREAM", 2, 0, 0, "IC-B"}, {"L1", "ICSTREAM", 1, 0, 7, ""}, {"T1", "ICSTREAM", 1, 1, 0, ""},
           {"T1", "REBOILER", 2, 1, 0, ""}}) {
    std::string id = pad(block, 128), ty = pad(type, 8), out(9, '#');
    int64_t n = number, got = -1, err = -1;
    tkhcid_(id.data(), ty.data(), &n, &got, out.data(), &err, 128, 8, 8);
    EXPECT_EQ(std::make_tuple(err, got, out), std::make_tuple(ierr, inum, pad(ident, 8) + "#")) << block << number;
  }
  // Unknown block, model without curves, type the model lacks, number
  // absent, location absent, position 0 and past the last, no points, points
  // that are not the curve's: flag 1, nothing written.
  for (auto [call, np, k] : std::vector<std::tuple<Call, int64_t, int64_t>>{
           {{"NOSUCH", "", "HCURVE", 10}, 2, 1}, {{"M1", "", "HCURVE", 1}, 2, 1}, {{"D1", "", "HOT", 10}, 2, 1},
           {{"D1", "", "HCURVE", 3}, 2, 1}, {{"CU", "PA3", "PUMPAROUND", 1}, 3, 1},
           {{"CU", "PA1", "PUMPAROUND", 1}, 3, 0}, {{"D1", "", "HCURVE", 10}, 2, 2},
           {{"D1", "", "HCURVE", 10}, 0, 1}, {{"CU", "PA1", "PUMPAROUND", 1}, 2, 1}}) {
    Texts q = blank_qualifiers();
    Reals v;
    int64_t ierr = -1;
    call.further(np, k, q, v, ierr);
    EXPECT_EQ(std::make_pair(ierr, v), std::make_pair(int64_t{1}, Reals(static_cast<size_t>(np) + 1, -7.0)))
        << call.block << " " << call.type << " " << np << " " << k;
  }
  int64_t n = -1, m = -1, ierr = -1;
  std::string none = pad("NOSUCH", 128), mixer = pad("M1", 128);
  tknhcr_(mixer.data(), &n, 128);
  tknhcr_(none.data(), &m, 128);
  EXPECT_EQ(n + m, 0);
  EXPECT_EQ((Call{"D1", "", "HCURVE", 10}.standard(1, ierr)[4][1]), -7.0);  // kept to the caller's points
}

}  // namespace
