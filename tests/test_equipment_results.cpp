// Compressor results and equipment costing: every routine against the
// compressors and costed items of the random flowsheets, then what those
// cannot reach: look-alike models, short caller arrays, the headline
// fallback, the tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "support/equipment_records.hpp"
#include "support/random_flowsheet.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr double kMissing = 1.0e35;
using Ints = std::vector<int64_t>;

std::string name_of(int64_t property) {
  static const std::map<int64_t, std::string> names{
      {22, "TEMP"},       {23, "PRES"},       {47, "POWER"},      {48, "HEAD"},         {49, "ISEN-EFF"},
      {51, "SPEED"},      {62, "DUTY"},       {222, "QUANTITY"},  {381, "PURCH-COST"},  {382, "INST-COST"},
      {383, "EQUIP-WEIGHT"}, {384, "DESIGN-PRES"}, {385, "DESIGN-TEMP"}, {874, "DEVICE-TYPE"}};
  const auto it = names.find(property);
  return it == names.end() ? "" : it->second;
}

// A profile in caller arrays of np names and n values, one guard entry
// ('#', -1) after each.
struct Read {
  std::string pnames, utypes, ulabels;
  std::vector<double> values;
  int64_t ierr = -7;
  Read(int64_t np, int64_t n)
      : pnames(12 * static_cast<size_t>(np + 1), '#'), utypes(12 * static_cast<size_t>(n + 1), '#'),
        ulabels(16 * static_cast<size_t>(n + 1), '#'), values(static_cast<size_t>(n + 1), -1.0) {}
  auto key() const { return std::tie(ierr, pnames, values, utypes, ulabels); }
};

Read expected(const ResultGrid& g) {
  Read r(g.nprops(), g.nprops() * g.npoints());
  r.ierr = 0;
  size_t j = 0;
  for (size_t k = 0; k < g.properties.size(); ++k) r.pnames.replace(12 * k, 12, pad(name_of(g.properties[k].first), 12));
  for (const auto& point : g.values)
    for (size_t k = 0; k < point.size(); ++k, ++j) {
      r.values[j] = point[k];
      r.utypes.replace(12 * j, 12, pad(known_type_name(g.properties[k].second), 12));
      r.ulabels.replace(16 * j, 16, pad(si_label(g.properties[k].second), 16));
    }
  return r;
}

using GridRoutine = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                             size_t, size_t, size_t);

// TKPERF, TKMCPR, TKMCCP: sizes (properties, points).
Read profile(GridRoutine fn, const std::string& block, int64_t np, int64_t npt) {
  Read r(np, np * npt);
  const std::string id = pad(block, 40);
  fn(id.data(), &np, &npt, r.pnames.data(), r.values.data(), r.utypes.data(), r.ulabels.data(), &r.ierr, id.size(),
     12, 12, 16);
  return r;
}

Read wheels(const std::string& block, int64_t stage, int64_t nw, int64_t np) {
  Read r(np, np * nw);
  const std::string id = pad(block, 40);
  tkwhlr_(id.data(), &stage, &nw, &np, r.pnames.data(), r.values.data(), r.utypes.data(), r.ulabels.data(), &r.ierr,
          id.size(), 12, 12, 16);
  return r;
}

// TKNMCP's four sizes, then TKNPER's two.
Ints counts_of(const std::string& block) {
  const std::string id = pad(block, 40);
  Ints n(6, -1);
  tknmcp_(id.data(), &n[0], &n[1], &n[2], &n[3], id.size());
  tknper_(id.data(), &n[4], &n[5], id.size());
  return n;
}

Ints wheel_counts(const std::string& block, int64_t stage) {
  const std::string id = pad(block, 40);
  Ints n(2, -1);
  tknwhl_(id.data(), &stage, &n[0], &n[1], id.size());
  return n;
}

Ints shape(const ResultGrid& g) { return g.empty() ? Ints{0, 0} : Ints{g.nprops(), g.npoints()}; }

void check_compressor(const CompressorRecord& c) {
  SCOPED_TRACE(c.model + " " + c.id);
  const bool staged = c.model == "STAGEBST";
  Ints want = staged ? shape(c.stages) : Ints{0, 0}, more = staged ? shape(c.coolers) : Ints{0, 0};
  want.insert(want.end(), more.begin(), more.end());
  more = !staged ? Ints{shape(c.performance)[0], 1}
                 : c.performance.empty() ? Ints{0, static_cast<int64_t>(c.wheels.size())} : shape(c.performance);
  want.insert(want.end(), more.begin(), more.end());
  EXPECT_EQ(counts_of(c.id), want);
  using Section = std::pair<GridRoutine, const ResultGrid*>;
  for (auto [fn, g] : {Section{tkperf_, &c.performance}, Section{tkmcpr_, &c.stages}, Section{tkmccp_, &c.coolers}})
    if (!g->empty()) EXPECT_EQ(profile(fn, c.id, g->nprops(), g->npoints()).key(), expected(*g).key());
  // Every stage and one past the last: its wheels or none ("1" is not "12").
  for (int64_t s = 1; staged && s <= 13; ++s) {
    const auto it = c.wheels.find(s);
    EXPECT_EQ(wheel_counts(c.id, s), (it == c.wheels.end() ? Ints{0, 0} : Ints{it->second.npoints(), it->second.nprops()}));
    if (it != c.wheels.end())
      EXPECT_EQ(wheels(c.id, s, it->second.npoints(), it->second.nprops()).key(), expected(it->second).key());
    else  // no such stage, or no wheel results at all
      EXPECT_EQ(wheels(c.id, s, 1, 2).ierr, c.wheels.empty() ? 3 : 1) << s;
  }
}

// The costing list in caller arrays of room entries and one guard each.
struct List {
  std::string names, texts, qnames, labels;
  Ints kinds, ints;
  std::vector<double> reals;
  int64_t ierr = -1;
  explicit List(int64_t room)
      : names(12 * static_cast<size_t>(room + 1), '#'), texts(names), qnames(names),
        labels(16 * static_cast<size_t>(room + 1), '#'), kinds(static_cast<size_t>(room + 1), -9), ints(kinds),
        reals(kinds.size(), -9.0) {}
  auto key() const { return std::tie(ierr, names, kinds, ints, texts, qnames, labels, reals); }
};

List list_of(const std::string& item, int64_t room) {
  List l(room);
  const std::string id = pad(item, 40);
  tkeqsr_(id.data(), &room, l.names.data(), l.kinds.data(), l.ints.data(), l.texts.data(), l.reals.data(),
          l.qnames.data(), l.labels.data(), &l.ierr, id.size(), 12, 12, 12, 16);
  return l;
}

// What the list must hold after reading the first n results of c into got:
// the integer word of an integer and the real of a real (the other word of
// each is read as stored, and taken from got).
List expected(const CostingRecord& c, const List& got, int64_t room, size_t n) {
  List l(room);
  l.ierr = 0;
  for (size_t j = 0; j < n; ++j) {
    const CostResult& r = c.results[j];
    const bool unit = r.type == 2 && r.unit_type != 0;
    l.names.replace(12 * j, 12, pad(name_of(r.property), 12));
    l.kinds[j] = r.type > 2 ? 3 : r.type;
    l.texts.replace(12 * j, 12, pad(r.type > 2 ? r.text : "", 12));
    l.qnames.replace(12 * j, 12, pad(unit ? known_type_name(r.unit_type) : "", 12));
    l.labels.replace(16 * j, 16, pad(unit ? si_label(r.unit_type) : "", 16));
    l.reals[j] = r.type != 2 ? got.reals[j] : r.missing ? kMissing : r.real;
    l.ints[j] = r.type == 1 ? r.integer : got.ints[j];
  }
  return l;
}

Ints count_of(const std::string& item) {
  const std::string id = pad(item, 40);
  Ints n(2, -1);
  tkneqs_(id.data(), &n[0], &n[1], id.size());
  return n;
}

using Headlines = std::tuple<int64_t, double, double, int64_t>;
Headlines headlines_of(const std::string& item) {
  const std::string id = pad(item, 40);
  Headlines h{-1, -1, -1, -1};
  tkeqcr_(id.data(), &std::get<0>(h), &std::get<1>(h), &std::get<2>(h), &std::get<3>(h), id.size());
  return h;
}

// The last value of each headline property; a cost as stored.
Headlines truth_headlines(const CostingRecord& c) {
  Headlines h{0, kMissing, kMissing, 0};
  for (const CostResult& r : c.results) {
    const double cost = r.type == 1 ? static_cast<double>(r.integer) : r.missing ? kMissing : r.real;
    if (r.property == 222) std::get<0>(h) = r.integer;
    if (r.property == 381) std::get<1>(h) = cost;
    if (r.property == 382) std::get<2>(h) = cost;
  }
  return h;
}

TEST(EquipmentResults, RandomFlowsheetsReadBack) {
  int64_t compressors = 0, items = 0, towers = 0;
  for (uint64_t seed = 1; seed <= 150 && !::testing::Test::HasFailure(); ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    if (f.compressors.empty() && f.equipment.empty()) continue;
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempSummaryFile file(f.text);
    LoadedSummary load(file.string(), "SI", 0, kMissing);
    ASSERT_EQ(load.ierr(), 0);
    for (const CompressorRecord& c : f.compressors) check_compressor(c);
    compressors += static_cast<int64_t>(f.compressors.size());
    for (const RandomObject& e : f.equipment) {
      SCOPED_TRACE(e.type + " " + e.id);
      const auto c = std::find_if(f.costing.begin(), f.costing.end(), [&](auto& x) { return x.id == e.id; });
      if (c == f.costing.end()) continue;
      const int64_t n = static_cast<int64_t>(c->results.size());
      EXPECT_EQ(count_of(e.id), (Ints{n, 0}));
      const List got = list_of(e.id, n);
      EXPECT_EQ(got.key(), expected(*c, got, n, c->results.size()).key());
      EXPECT_EQ(headlines_of(e.id), truth_headlines(*c));
      ++items;
      towers += c->section == "SZECST1";
    }
  }
  EXPECT_GT(compressors, 100);
  EXPECT_GT(items, 100);
  EXPECT_GT(towers, 20);
}

class EquipmentCases : public SummarySuite<EquipmentCases> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    EquipmentWriter ew(w);
    const ResultGrid two{{{22, 0}, {23, 0}}, {{1.0, 2.0}, {3.0, 4.0}}}, one{{{22, 0}, {23, 0}}, {{5.0, 6.0}}};
    // Two models and two that merely begin like them.
    for (const char* model : {"BOOSTR", "BOOSTER", "STAGEBST", "STAGEBAT"}) {
      w.block_results(model, std::string("C-") + model, {}, {BlockResult::real(22, 1.0)});
      ew.compressor({model, std::string("C-") + model, model[0] == 'B' ? one : two, two, one, {{1, two}}});
    }
    // A pump whose own section has no headline, and a section of the other
    // kind that has them.
    auto integer = [](int64_t p, int64_t n) { return CostResult{p, 1, n}; };
    ew.costing({"PUMP", "P-1", "SZECST", {integer(383, 70), integer(222, 0), integer(383, 80), integer(383, 90)}});
    ew.costing({"PUMP", "P-1", "SZECST1", {integer(222, 3), integer(381, 1500)}});
    // A tower whose results lie under the section of other types.
    ew.costing({"TRAY-TOWER", "T-9", "SZECST", {integer(222, 7)}});
    write_file(b.text());
  }
};

TEST_F(EquipmentCases, OtherModelsAreRefusedWithNothingWritten) {
  EXPECT_EQ(counts_of("C-STAGEBST"), (Ints{2, 2, 2, 1, 2, 2}));
  EXPECT_EQ(counts_of("C-BOOSTR"), (Ints{0, 0, 0, 0, 2, 1}));
  for (const char* id : {"C-BOOSTER", "C-STAGEBAT", "NO-SUCH", "C-BOOSTR"}) {
    SCOPED_TRACE(id);
    if (std::string(id) != "C-BOOSTR") EXPECT_EQ(counts_of(id), Ints(6, 0));
    Read untouched(2, 4);
    untouched.ierr = 1;
    for (GridRoutine fn : {tkmccp_, tkmcpr_, tkperf_})
      if (fn != tkperf_ || std::string(id) != "C-BOOSTR") EXPECT_EQ(profile(fn, id, 2, 2).key(), untouched.key());
    EXPECT_EQ(wheel_counts(id, 1), (Ints{0, 0}));
    EXPECT_EQ(wheels(id, 1, 2, 2).key(), untouched.key());
  }
  // A single compressor's two results do not fit an array of one.
  Read small(1, 1);
  small.ierr = 3;
  EXPECT_EQ(profile(tkperf_, "C-BOOSTR", 1, 1).key(), small.key());
  EXPECT_EQ(profile(tkperf_, "C-BOOSTR", 2, 1).key(), expected(ResultGrid{{{22, 0}, {23, 0}}, {{5.0, 6.0}}}).key());
}

TEST_F(EquipmentCases, CostingKeepsToTheCallersCountAndFallsBack) {
  EXPECT_EQ(count_of("NO-SUCH"), (Ints{0, 1}));
  List unknown(2);
  unknown.ierr = 1;
  EXPECT_EQ(list_of("NO-SUCH", 2).key(), unknown.key());
  EXPECT_EQ(headlines_of("NO-SUCH"), (Headlines{0, kMissing, kMissing, 0}));

  EXPECT_EQ(count_of("P-1"), (Ints{4, 0}));
  const CostingRecord pump{"PUMP", "P-1", "SZECST", {{383, 1, 70}, {222, 1, 0}, {383, 1, 80}, {383, 1, 90}}};
  for (int64_t room : {0, 2, 4, 6}) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(room, 4));
    const List got = list_of("P-1", room);
    EXPECT_EQ(got.key(), expected(pump, got, room, n).key());
  }
  // SZECST gives no headline (a quantity of 0): SZECST1 does.
  EXPECT_EQ(headlines_of("P-1"), (Headlines{3, 1500.0, kMissing, 0}));
  // The tower's list is looked for under SZECST1 only; its headlines under
  // SZECST first.
  EXPECT_EQ(count_of("T-9")[0], 0);
  EXPECT_NE(count_of("T-9")[1], 0);
  EXPECT_EQ(list_of("T-9", 1).ierr, 1);
  EXPECT_EQ(headlines_of("T-9"), (Headlines{7, kMissing, kMissing, 0}));
}

TEST(EquipmentTool, PrintsTheExamplesCompressorAndCosts) {
  // The compressor's view, then the default report with the costs.
  std::string out;
  for (const char* view : {"--compressor K1", ""}) {
    const ToolRun r = run_tool(std::string("--units SI ") + view + " --ref-dir " + kSourceDir + "/data " + kSourceDir +
                               "/examples/flowsheet.sum");
    ASSERT_EQ(r.status, 0) << r.out;
    out += r.out;
  }
  for (const char* line : {"compressor K1 (STAGEBST): 3 stages\n", "    POWER        [W]              185000 192000 199000\n",
                           "    DUTY         [W]              -120000 -125000\n", "  stage 3 wheels: 2 wheels, 2 results\n",
                           "  T-101  TRAY-TOWER           1          250000          410000\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << out;
}

}  // namespace
}  // namespace flowsum::testing
