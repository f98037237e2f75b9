// Compressor results and equipment costing: every routine against the
// random flowsheets (check_equipment, called by the round trip, look-alike
// models among them), and the headline fallback those cannot reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
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

// Headlines come from the item's own section unless it gives no quantity,
// then from the other; the list only from its own.
TEST(EquipmentResults, HeadlinesFallBackToTheOtherSection) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  EquipmentWriter ew(w);
  auto integer = [](int64_t p, int64_t n) { return CostResult{p, 1, n}; };
  ew.costing({"PUMP", "P-1", "SZECST", {integer(383, 70), integer(222, 0), integer(383, 80), integer(383, 90)}});
  ew.costing({"PUMP", "P-1", "SZECST1", {integer(222, 3), integer(381, 1500)}});
  ew.costing({"TRAY-TOWER", "T-9", "SZECST", {integer(222, 7)}});
  TempSummaryFile file(b.text());
  LoadedSummary load(file.string(), "SI", 0, kMissing);
  EXPECT_EQ(costs_of("P-1"), (Costs{4, 0, 3, 1500.0, kMissing, 0}));
  Costs tower = costs_of("T-9");
  EXPECT_EQ(std::pair(std::get<1>(tower) != 0, list_of("T-9", 1).ierr), std::pair(true, int64_t{1}));
  std::get<1>(tower) = 1;
  EXPECT_EQ(tower, (Costs{0, 1, 7, kMissing, kMissing, 0}));
}

}  // namespace
}  // namespace flowsum::testing
