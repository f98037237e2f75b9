// Compressor results and equipment costing: every routine against the
// random flowsheets (check_equipment, called by the round trip, look-alike
// models among them); the family's memories across calls and the headline
// fallback, which those cannot reach, on one hand-built file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
#include "support/message_capture.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr double kMissing = 1.0e35;
using Read = Entries;  // a profile: np names, n values

Read expected(const ResultGrid& g) {
  Read r(g.nprops() * g.npoints(), 0, g.nprops());
  size_t j = 0;
  for (size_t k = 0; k < g.properties.size(); ++k) r.names.replace(12 * k, 12, name_of(g.properties[k].first));
  for (const auto& point : g.values)
    for (size_t k = 0; k < point.size(); ++k, ++j) {
      r.values[j] = point[k];
      r.qnames.replace(12 * j, 12, pad(known_type_name(g.properties[k].second), 12));
      r.labels.replace(16 * j, 16, pad(si_label(g.properties[k].second), 16));
    }
  return r;
}

using GridRoutine = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                             size_t, size_t, size_t);
// TKPERF, TKMCPR, TKMCCP (properties, points); TKWHLR (wheels, properties).
Read profile(GridRoutine fn, const std::string& block, int64_t a, int64_t b, int64_t stage = 0) {
  Read r(a * b, -7, stage ? b : a);
  const std::string id = pad(block, 40);
  if (stage)
    tkwhlr_(id.data(), &stage, &a, &b, r.names.data(), r.values.data(), r.qnames.data(), r.labels.data(), &r.ierr,
            40, 12, 12, 16);
  else
    fn(id.data(), &a, &b, r.names.data(), r.values.data(), r.qnames.data(), r.labels.data(), &r.ierr, 40, 12, 12, 16);
  return r;
}

// TKNMCP's four sizes and TKNPER's two; for a stage > 0, TKNWHL's two.
Ints counts_of(const std::string& block, int64_t stage = 0) {
  const Field id(block, 40);
  Ints n(6, -1);
  if (stage) return call(tknwhl_, id, stage, n[0], n[1]), Ints{n[0], n[1]};
  call(tknmcp_, id, n[0], n[1], n[2], n[3]);
  call(tknper_, id, n[4], n[5]);
  return n;
}

Ints shape(const ResultGrid& g) { return g.empty() ? Ints{0, 0} : Ints{g.nprops(), g.npoints()}; }

void check_compressor(const CompressorRecord& c) {
  SCOPED_TRACE(c.model + " " + c.id);
  const bool staged = c.model == "STAGEBST";
  if (!staged && c.model != "BOOSTR") {  // a model that merely begins like one: flag 1, nothing written
    EXPECT_EQ(counts_of(c.id), Ints(6, 0));
    for (GridRoutine fn : {tkmccp_, tkmcpr_, tkperf_}) EXPECT_EQ(profile(fn, c.id, 2, 2).key(), Read(4, 1, 2).key());
    EXPECT_EQ(std::pair(counts_of(c.id, 1), profile(nullptr, c.id, 2, 2, 1).key()), std::pair(Ints{0, 0}, Read(4, 1, 2).key()));
    return;
  }
  Ints want = staged ? shape(c.stages) : Ints{0, 0}, more = staged ? shape(c.coolers) : Ints{0, 0};
  want.insert(want.end(), more.begin(), more.end());
  more = !staged ? Ints{shape(c.performance)[0], 1}
                 : c.performance.empty() ? Ints{0, static_cast<int64_t>(c.wheels.size())} : shape(c.performance);
  want.insert(want.end(), more.begin(), more.end());
  EXPECT_EQ(counts_of(c.id), want);
  using Section = std::pair<GridRoutine, const ResultGrid*>;
  for (auto [fn, g] : {Section{tkperf_, &c.performance}, Section{tkmcpr_, &c.stages}, Section{tkmccp_, &c.coolers}})
    if (!g->empty()) EXPECT_EQ(profile(fn, c.id, g->nprops(), g->npoints()).key(), expected(*g).key());
    else if (!staged) EXPECT_EQ(profile(fn, c.id, 2, 2).key(), Read(4, 1, 2).key());
  // A single compressor's results do not fit an array of one.
  if (!staged && !c.performance.empty()) EXPECT_EQ(profile(tkperf_, c.id, 1, 1).key(), Read(1, 3, 1).key());
  // Every stage and one past the last: its wheels or none ("1" is not "12").
  for (int64_t s = 1; s <= (staged ? 13 : 1); ++s) {
    const auto it = c.wheels.find(s);
    EXPECT_EQ(counts_of(c.id, s), (it == c.wheels.end() ? Ints{0, 0} : Ints{it->second.npoints(), it->second.nprops()}));
    if (it != c.wheels.end())
      EXPECT_EQ(profile(nullptr, c.id, it->second.npoints(), it->second.nprops(), s).key(), expected(it->second).key());
    else  // no such stage, or no wheel results at all
      EXPECT_EQ(profile(nullptr, c.id, 1, 2, s).ierr, staged && c.wheels.empty() ? 3 : 1) << s;
  }
}

using List = Entries;  // the costing list

List list_of(const std::string& item, int64_t room) {
  List l(room);
  const std::string id = pad(item, 40);
  tkeqsr_(id.data(), &room, l.names.data(), l.kinds.data(), l.ints.data(), l.texts.data(), l.values.data(),
          l.qnames.data(), l.labels.data(), &l.ierr, 40, 12, 12, 12, 16);
  return l;
}

// The list after reading the first room results of c into got (a value's
// other word is as stored: taken from got).
List expected(const CostingRecord& c, const List& got, int64_t room) {
  List l(room, 0);
  for (size_t j = 0; j < std::min(c.results.size(), static_cast<size_t>(room)); ++j) {
    const CostResult& r = c.results[j];
    const bool unit = r.type == 2 && r.unit_type != 0;
    l.names.replace(12 * j, 12, name_of(r.property));
    l.kinds[j] = r.type > 2 ? 3 : r.type;
    l.texts.replace(12 * j, 12, pad(r.type > 2 ? r.text : "", 12));
    l.qnames.replace(12 * j, 12, pad(unit ? known_type_name(r.unit_type) : "", 12));
    l.labels.replace(16 * j, 16, pad(unit ? si_label(r.unit_type) : "", 16));
    l.values[j] = r.type != 2 ? got.values[j] : r.missing ? kMissing : r.real;
    l.ints[j] = r.type == 1 ? r.integer : got.ints[j];
  }
  return l;
}

// TKNEQS's count and flag, then TKEQCR's headlines.
using Costs = std::tuple<int64_t, int64_t, int64_t, double, double, int64_t>;
Costs costs_of(const std::string& item) {
  const Field id(item, 40);
  Costs h{-1, -1, -1, -1, -1, -1};
  auto& [n, flag, quantity, purchased, installed, zero] = h;
  call(tkneqs_, id, n, flag);
  call(tkeqcr_, id, quantity, purchased, installed, zero);
  return h;
}

// The count, and the last value of each headline property; a cost as stored.
Costs truth_costs(const CostingRecord& c) {
  Costs h{static_cast<int64_t>(c.results.size()), 0, 0, kMissing, kMissing, 0};
  for (const CostResult& r : c.results) {
    const double cost = r.type == 1 ? static_cast<double>(r.integer) : r.missing ? kMissing : r.real;
    if (r.property == 222) std::get<2>(h) = r.integer;
    if (r.property == 381) std::get<3>(h) = cost;
    if (r.property == 382) std::get<4>(h) = cost;
  }
  return h;
}

}  // namespace

void check_equipment(const RandomFlowsheet& f) {
  for (const CompressorRecord& c : f.compressors) check_compressor(c);
  for (const CostingRecord& c : f.costing) {
    SCOPED_TRACE(c.type + " " + c.id);
    const int64_t n = static_cast<int64_t>(c.results.size());
    for (int64_t room : {n, std::max<int64_t>(n - 1, 0), n + 1}) {  // a shorter array stops at its count
      const List got = list_of(c.id, room);
      EXPECT_EQ(got.key(), expected(c, got, room).key());
    }
    EXPECT_EQ(costs_of(c.id), truth_costs(c));
  }
  EXPECT_EQ(list_of("NO-SUCH", 2).key(), List(2, 1).key());
  EXPECT_EQ(costs_of("NO-SUCH"), (Costs{0, 1, 0, kMissing, kMissing, 0}));
}

namespace {

// What the routines remember from call to call (the block, stage or item
// asked for last, a profile's data set, values read, a missing section)
// serves only the load, tree and unit set it came from; headlines fall
// back to the other section when the item's own gives no quantity.
TEST(EquipmentResults, RememberedAnswersFollowReloadsTreeEditsAndUnits) {
  const ResultGrid one{{{22, 0}, {23, 0}}, {{5.0, 6.0}}}, two{{{22, 0}, {23, 0}}, {{1.0, 2.0}, {3.0, 4.0}}}, none;
  // K-1 is multistage, then single; E-1 a pump, then a tower of another
  // cost; P-1's profile starts with another value on the same line. K-2's
  // only wheels are stage 3's, K-3 has no coolers, P-2 profiles another
  // property, P-3 has descriptions only.
  auto text = [&](bool later) {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    EquipmentWriter ew(w);
    const std::string model = later ? "BOOSTR" : "STAGEBST";
    for (const auto& [m, id] : {std::pair{std::string("DUCTLINE"), "P-1"}, {"DUCTLINE", "P-2"}, {"DUCTLINE", "P-3"},
                                {model, "K-1"}, {"STAGEBST", "K-2"}, {"STAGEBST", "K-3"}})
      w.block_results(m, id, {}, {BlockResult::real(22, 1.0)});
    for (const auto& [id, property] : {std::pair{"P-1", 22}, {"P-2", 23}, {"P-3", 0}}) {
      PipelineRecord p{.id = id, .descriptions = {PipeSeries{22, 2, 0, {1.0, 2.0}}}};
      if (property) p.profile = {PipeSeries{property, 2, 0, {property == 23 ? 24.0 : later ? 5.0 : 3.0, 2.0}}};
      PipelineWriter(w).pipeline(p);
    }
    ew.compressor({model, "K-1", later ? one : two, two, one, {{1, two}}});
    ew.compressor({"STAGEBST", "K-2", two, two, one, {{3, one}}});
    ew.compressor({"STAGEBST", "K-3", one, one, none, {}});
    auto integer = [](int64_t p, int64_t n) { return CostResult{p, 1, n}; };
    ew.costing({"PUMP", "PU-1", "SZECST", {integer(383, 70), integer(222, 0), integer(383, 80), integer(383, 90)}});
    ew.costing({"PUMP", "PU-1", "SZECST1", {integer(222, 3), integer(381, 1500)}});
    ew.costing({"TRAY-TOWER", "T-9", "SZECST", {integer(222, 7)}});
    ew.costing({later ? "TRAY-TOWER" : "PUMP", "E-1", later ? "SZECST1" : "SZECST",
                {CostResult{381, 2, 0, later ? 2.0e5 : 1.0e5, unit_type::kPressure}}});
    return b.text();
  };
  // P-1's first profile value of a property (TKPIPR), or -IERR.
  auto profile_start = [](int64_t property) {
    int64_t n = 2, ierr = -7;
    std::vector<double> v(2, -1.0);
    call(tkpipr_, Field("P-1", 24), n, Field(name_of(property), 12), v, Field(12), Field(16), ierr);
    return ierr == 0 ? v[0] : -static_cast<double>(ierr);
  };
  // TKDTRE files another block's data set under the block just read.
  auto file_under = [](const char* model, const char* from, const char* to, const char* section) {
    ASSERT_EQ(file_in_tree({"BLOCK", model, to, section}, tree_lookup({"BLOCK", model, from, section})), 0);
  };
  for (const bool later : {false, true}) {
    TempSummaryFile file(text(later));
    LoadedSummary load(file.string(), "SI", 0, kMissing);
    ASSERT_EQ(load.ierr(), 0);
    if (later) {  // values, block and item read afresh
      EXPECT_EQ(profile_start(22), 5.0);
      EXPECT_EQ(counts_of("K-1"), (Ints{0, 0, 0, 0, 2, 1}));
      EXPECT_EQ(costs_of("E-1"), (Costs{1, 0, 0, 2.0e5, kMissing, 0}));
      break;
    }
    EXPECT_EQ(costs_of("PU-1"), (Costs{4, 0, 3, 1500.0, kMissing, 0}));
    Costs tower = costs_of("T-9");
    EXPECT_EQ(std::pair(std::get<1>(tower) != 0, list_of("T-9", 1).ierr), std::pair(true, int64_t{1}));
    std::get<1>(tower) = 1;
    EXPECT_EQ(tower, (Costs{0, 1, 7, kMissing, kMissing, 0}));
    EXPECT_EQ(counts_of("K-1", 3), (Ints{0, 0}));
    file_under("STAGEBST", "K-2", "K-1", "PERF_WHL");
    EXPECT_EQ(counts_of("K-1", 3), (Ints{1, 2}));
    auto descriptions = [] {
      Ints n(10, -1);
      call(tkplsz_, Field("P-3", 8), n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9]);
      return n[6];
    };
    EXPECT_EQ(descriptions(), 1);
    file_under("DUCTLINE", "P-1", "P-3", "PIP_DES");
    EXPECT_EQ(descriptions(), 2);
    EXPECT_LT(profile_start(23), 0.0);
    file_under("DUCTLINE", "P-2", "P-1", "PIP_PROF");
    EXPECT_EQ(profile_start(23), 24.0);
    // A missing section is found once filed; a search meeting a leaf where
    // a branch was expected reports it on every call.
    EXPECT_EQ(counts_of("K-3"), (Ints{2, 1, 0, 0, 2, 1}));
    for (int k = 0; k < 2; ++k) {
      MessageCapture capture;
      std::string deeper = pad("BLOCK", 8) + pad("STAGEBST", 8) + pad("K-1", 8) + pad("COOL_PRF", 8) + pad("X", 8),
                  qual = pad("", 8);
      int64_t nid = 5, nq = 0, nd = 0, lq = 0, ld = 0;
      tkdset_(&nid, deeper.data(), qual.data(), &nq, &nd, &lq, &ld, 8, 8);
      EXPECT_NE(capture.take().find("IMPROPER STRUCTURED DSET TREE AT LEVEL  4"), std::string::npos) << k;
    }
    file_under("STAGEBST", "K-1", "K-3", "COOL_PRF");
    EXPECT_EQ(counts_of("K-3"), (Ints{2, 1, 2, 1, 2, 1}));
    // Headlines remembered from the list read in SI, handed out in ENG.
    list_of("E-1", 1);
    int64_t none = 0, ierr = 1;
    call(tkunit_, Field("ENG", 8), none, Field("", 12), Field("", 16), ierr);
    const double purchased = std::get<3>(costs_of("E-1"));
    EXPECT_EQ(purchased, list_of("E-1", 1).values[0]);
    EXPECT_NE(purchased, 1.0e5);
    EXPECT_EQ(profile_start(22), 3.0);  // read last: kept for the next load's first read
  }
}

}  // namespace
}  // namespace flowsum::testing
