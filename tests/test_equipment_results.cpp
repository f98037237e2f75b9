// Pipelines, compressors and equipment costing: every routine against the
// random flowsheets (check_pipelines and check_equipment, called by the
// round trip; look-alike models and unknown ids among them); the family's
// memories across calls and the headline fallback, which those cannot
// reach, on one hand-built file; the tool's views of the example as stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
#include "support/message_capture.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

using List = std::vector<PipeSeries>;
using Section = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                         size_t, size_t, size_t, size_t, size_t);
using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);

int64_t kind_of(const PipeSeries& s) { return s.type == 1 ? 1 : s.type == 2 ? 2 : 3; }

struct Out : Entries {
  using Entries::Entries;
  // The quantity name and label of s in entry u (the label once read).
  void unit(size_t u, const PipeSeries& s, bool read) {
    qnames.replace(12 * u, 12, pad(s.unit_type ? known_type_name(s.unit_type) : "", 12));
    labels.replace(16 * u, 16, pad(read && s.type == 2 && s.unit_type ? si_label(s.unit_type) : "", 16));
  }
  // Entry j holding value k of s; a named entry (TKPLIO) has its own kind
  // and units, other reads keep the units in entry 0.
  Out& put(size_t j, const PipeSeries& s, size_t k, bool named = false) {
    values[j] = kind_of(s) == 3 ? 0.0 : s.reals[k];
    texts.replace(12 * j, 12, pad(kind_of(s) == 3 ? s.texts[k] : "", 12));
    if (named) names.replace(12 * j, 12, name_of(s.property)), kinds[j] = kind_of(s);
    unit(named ? j : 0, s, true);
    return *this;
  }
  // The property names of l as a name routine lists them.
  Out& listing(const List& l) {
    ierr = l.empty() ? 3 : 0;
    for (size_t k = 0; k < l.size(); ++k) names.replace(12 * k, 12, name_of(l[k].property));
    return *this;
  }
};

void check_pipeline(const PipelineRecord& p, const std::vector<std::string>& ncc) {
  SCOPED_TRACE(p.model + " " + p.id);
  const Field f(p.id, 24);
  const char* id = f.data();
  // TKPLND or TKPLSG, or TKPLPR for none; a name routine.
  const auto section_read = [&](Section fn, int64_t property, int64_t n) {
    Out o(n);
    const std::string pname = name_of(property);
    if (fn) fn(id, &n, pname.data(), o.kinds.data(), o.values.data(), o.texts.data(), o.qnames.data(), o.labels.data(),
               &o.ierr, 24, 12, 12, 12, 16);
    else tkplpr_(id, &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 12, 16);
    return o;
  };
  const auto names_read = [&](Names fn, int64_t n) {
    Out o(n);
    fn(id, &n, o.names.data(), &o.ierr, 24, 12);
    return o;
  };
  // TKPLSZ's ten outputs, then TKPISP's and TKSPIR's two each.
  Ints sizes(14, -1);
  call(tkplsz_, f, sizes[0], sizes[1], sizes[2], sizes[3], sizes[4], sizes[5], sizes[6], sizes[7], sizes[8], sizes[9]);
  call(tkpisp_, f, sizes[10], sizes[11]);
  call(tkspir_, f, sizes[12], sizes[13]);
  if (p.model != "DUCTLINE") {  // flag 1, counts 0, nothing else written
    EXPECT_EQ(sizes, (Ints{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    for (Section fn : {Section(tkplnd_), Section(tkplsg_), Section(nullptr)})
      EXPECT_EQ(section_read(fn, 22, 2).key(), Out(2, 1).key());
    for (Names fn : {tkplnp_, tkplsp_, tkplpp_, tkplcp_, Names(tkpinp_)}) EXPECT_EQ(names_read(fn, 2).key(), Out(2, 1).key());
    return;
  }
  Ints want{I(p.inlet.size()), p.comp_in.empty() ? 0 : I(p.components.empty() ? ncc.size() : p.components.size()),
            I(p.comp_in.size())};
  for (const List* s : {&p.segments, &p.descriptions, &p.fluid, &p.profile, &p.tube}) {
    if (s == &p.profile) want.push_back(p.inlet.empty() && p.segments.empty() && p.descriptions.empty() && p.fluid.empty());
    want.insert(want.end(), {s->empty() ? 0 : I((*s)[0].size()), I(s->size())});
  }
  EXPECT_EQ(sizes, want);
  // Each section's names; values asked for as many, one fewer and two more than a data set holds.
  using Reads = std::tuple<Section, const List*, Names>;
  for (auto [fn, list, names] : {Reads{tkplsg_, &p.segments, tkplsp_}, Reads{tkplnd_, &p.descriptions, tkplnp_},
                                 Reads{nullptr, &p.fluid, tkplpp_}, Reads{nullptr, &p.comp_in, tkplcp_}}) {
    EXPECT_EQ(names_read(names, I(list->size())).key(), Out(I(list->size())).listing(*list).key());
    for (const PipeSeries& s : list == &p.comp_in ? List{} : *list)
      for (int64_t n : {I(s.size()), I(s.size()) - 1, I(s.size()) + 2}) {
        Out o(n, 0);
        o.unit(0, s, false);
        for (size_t j = 0; j < std::min(s.size(), Z(n)); ++j) o.put(j, s, j);
        if (fn) o.kinds[0] = kind_of(s);
        else o.texts = Out(n).texts;
        EXPECT_EQ(section_read(fn, s.property, n).key(), o.key()) << s.property << " " << n;
      }
  }
  // Inlet then outlet conditions, the outlet's cut to the inlet's count.
  const size_t nio = p.inlet.size();
  Out io(I(2 * nio)), w(I(2 * nio), nio ? 0 : 3);
  tkplio_(id, io.names.data(), io.kinds.data(), io.values.data(), io.texts.data(), io.qnames.data(), io.labels.data(),
          &io.ierr, 24, 12, 12, 12, 16);
  for (size_t j = 0; j < nio; ++j) w.put(j, p.inlet[j], 0, true);
  for (size_t j = 0; j < std::min(nio, p.outlet.size()); ++j) w.put(nio + j, p.outlet[j], 0, true);
  EXPECT_EQ(io.key(), w.key());
  // Compositions: component ids (8 wide, in names), the inlet's values, the outlet's.
  const std::vector<std::string>& comps = p.components.empty() ? ncc : p.components;
  for (size_t k = 0; k < p.comp_in.size(); ++k)
    for (int64_t n : {I(comps.size()), I(comps.size()) - 1}) {
      Out o(2 * n), w(2 * n, 0);
      const std::string pname = name_of(p.comp_in[k].property);
      tkplco_(id, &n, pname.data(), o.names.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12,
              8, 12, 16);
      w.unit(0, p.comp_in[k], false);
      for (size_t j = 0; j < Z(n); ++j)
        w.put(Z(n) + j, p.comp_out[k], j).put(j, p.comp_in[k], j).names.replace(8 * j, 8, pad(comps[j], 8));
      w.texts = o.texts;
      EXPECT_EQ(o.key(), w.key()) << n;
    }
  // Profile names; the profile along the line, then the plug-flow one by descriptors and by position.
  EXPECT_EQ(names_read(tkpinp_, I(p.profile.size())).names, Out(I(p.profile.size())).listing(p.profile).names);
  List along = p.profile;
  if (!p.length.reals.empty()) along.push_back(p.length);
  for (const List* list : {static_cast<const List*>(&along), &p.tube})
    for (size_t k = 0; k < list->size(); ++k) {
      const PipeSeries& s = (*list)[k];
      int64_t n = I(s.size()), pos = I(k + 1);
      Out o(n), w(n, 0), by(n);
      for (size_t j = 0; j < s.size(); ++j) w.put(j, s, j);
      w.texts = o.texts;
      const std::string pname = name_of(s.property);
      if (list == &along) {
        tkpipr_(id, &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 12, 16);
        EXPECT_EQ(o.key(), w.key()) << s.property;
        continue;
      }
      std::string q = pname + pad(s.qualifiers[0], 8) + pad(s.qualifiers[1], 8) + pad(s.qualifiers[2], 8) +
                      pad(s.qualifiers[3], 4) + "    ", d(44, '#');
      const char* c = q.data();
      char* e = d.data();
      tkrpip_(id, &n, c, c + 12, c + 20, c + 28, c + 36, c + 40, o.values.data(), o.qnames.data(), o.labels.data(),
              &o.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
      tknpip_(id, &n, &pos, e, e + 12, e + 20, e + 28, e + 36, e + 40, by.values.data(), by.qnames.data(),
              by.labels.data(), &by.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
      EXPECT_EQ(o.key(), w.key()) << s.property;
      EXPECT_EQ(std::tie(d, by.values, by.qnames, by.labels), std::tie(q, w.values, w.qnames, w.labels));
    }
}

constexpr double kMissing = 1.0e35;

// A grid as the profile routines read it: its names, then its values.
Entries expected(const ResultGrid& g) {
  Entries r(g.nprops() * g.npoints(), 0, g.nprops());
  const size_t np = g.properties.size();
  for (size_t j = 0; j < np * g.values.size(); ++j) {
    const auto [property, unit_type] = g.properties[j % np];
    if (j < np) r.names.replace(12 * j, 12, name_of(property));
    r.values[j] = g.values[j / np][j % np];
    r.qnames.replace(12 * j, 12, pad(known_type_name(unit_type), 12));
    r.labels.replace(16 * j, 16, pad(si_label(unit_type), 16));
  }
  return r;
}

using GridRoutine = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                             size_t, size_t, size_t);
// TKPERF, TKMCPR, TKMCCP (properties, points); for a stage > 0, TKWHLR (wheels, properties).
Entries profile(GridRoutine fn, const std::string& block, int64_t a, int64_t b, int64_t stage = 0) {
  Entries r(a * b, -7, stage ? b : a);
  const std::string id = pad(block, 40);
  if (stage) tkwhlr_(id.data(), &stage, &a, &b, r.names.data(), r.values.data(), r.qnames.data(), r.labels.data(), &r.ierr,
                     40, 12, 12, 16);
  else fn(id.data(), &a, &b, r.names.data(), r.values.data(), r.qnames.data(), r.labels.data(), &r.ierr, 40, 12, 12, 16);
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
  const Entries refused(4, 1, 2);
  if (!staged && c.model != "BOOSTR") {  // a model that merely begins like one: flag 1, nothing written
    for (GridRoutine fn : {tkmccp_, tkmcpr_, tkperf_}) EXPECT_EQ(profile(fn, c.id, 2, 2).key(), refused.key());
    EXPECT_EQ(std::tuple(counts_of(c.id), counts_of(c.id, 1), profile(nullptr, c.id, 2, 2, 1).key()),
              std::tuple(Ints(6, 0), Ints{0, 0}, refused.key()));
    return;
  }
  const Ints st = shape(c.stages), co = shape(c.coolers), pf = shape(c.performance);
  EXPECT_EQ(counts_of(c.id), (!staged ? Ints{0, 0, 0, 0, pf[0], 1}
                                      : Ints{st[0], st[1], co[0], co[1], pf[0], pf[0] ? pf[1] : I(c.wheels.size())}));
  using Section = std::pair<GridRoutine, const ResultGrid*>;
  for (auto [fn, g] : {Section{tkperf_, &c.performance}, Section{tkmcpr_, &c.stages}, Section{tkmccp_, &c.coolers}})
    if (!g->empty()) EXPECT_EQ(profile(fn, c.id, g->nprops(), g->npoints()).key(), expected(*g).key());
    else if (!staged) EXPECT_EQ(profile(fn, c.id, 2, 2).key(), refused.key());
  // A single compressor's results do not fit an array of one.
  if (!staged && !c.performance.empty()) EXPECT_EQ(profile(tkperf_, c.id, 1, 1).key(), Entries(1, 3, 1).key());
  // Every stage and one past the last: its wheels or none ("1" is not "12").
  for (int64_t s = 1; s <= (staged ? 13 : 1); ++s) {
    const auto it = c.wheels.find(s);
    const ResultGrid& g = it == c.wheels.end() ? ResultGrid{} : it->second;
    EXPECT_EQ(counts_of(c.id, s), (g.empty() ? Ints{0, 0} : Ints{g.npoints(), g.nprops()})) << s;
    if (!g.empty()) EXPECT_EQ(profile(nullptr, c.id, g.npoints(), g.nprops(), s).key(), expected(g).key());
    else EXPECT_EQ(profile(nullptr, c.id, 1, 2, s).ierr, staged && c.wheels.empty() ? 3 : 1) << s;  // no such stage
  }
}

Entries list_of(const std::string& item, int64_t room) {
  Entries l(room);
  const std::string id = pad(item, 40);
  tkeqsr_(id.data(), &room, l.names.data(), l.kinds.data(), l.ints.data(), l.texts.data(), l.values.data(),
          l.qnames.data(), l.labels.data(), &l.ierr, 40, 12, 12, 12, 16);
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

void check_costing(const CostingRecord& c) {
  SCOPED_TRACE(c.type + " " + c.id);
  // The list in as many, one fewer and one more entries (a value's other word as read).
  const size_t n = c.results.size();
  for (const size_t room : {n, n ? n - 1 : 0, n + 1}) {
    const Entries got = list_of(c.id, I(room));
    Out want(I(room), 0);
    for (size_t j = 0; j < std::min(n, room); ++j) {
      const CostResult& r = c.results[j];
      want.put(j, {r.property, r.type, r.unit_type, {r.missing ? kMissing : r.real}, {r.text}}, 0, true);
      want.values[j] = r.type != 2 ? got.values[j] : want.values[j];
      want.ints[j] = r.type == 1 ? r.integer : got.ints[j];
    }
    EXPECT_EQ(got.key(), want.key());
  }
  // The count, and the last value of each headline property; a cost as stored.
  Costs h{I(n), 0, 0, kMissing, kMissing, 0};
  for (const CostResult& r : c.results) {
    const double cost = r.type == 1 ? static_cast<double>(r.integer) : r.missing ? kMissing : r.real;
    if (r.property == 222) std::get<2>(h) = r.integer;
    if (r.property == 381) std::get<3>(h) = cost;
    if (r.property == 382) std::get<4>(h) = cost;
  }
  EXPECT_EQ(costs_of(c.id), h);
}

}  // namespace

void check_pipelines(const RandomFlowsheet& f) {
  for (const PipelineRecord& p : f.pipelines) check_pipeline(p, f.ncc);
  check_pipeline({"none", "NO-SUCH-PIPE"}, f.ncc);
}

void check_equipment(const RandomFlowsheet& f) {
  for (const CompressorRecord& c : f.compressors) check_compressor(c);
  for (const CostingRecord& c : f.costing) check_costing(c);
  EXPECT_EQ(list_of("NO-SUCH", 2).key(), Entries(2, 1).key());
  EXPECT_EQ(costs_of("NO-SUCH"), (Costs{0, 1, 0, kMissing, kMissing, 0}));
}

namespace {

// The tool's views of the example's equipment as stored (FLOWSUM_UPDATE_EXPECTED=1 stores them anew).
TEST(EquipmentTool, ViewsOfTheExampleAsStored) {
  const ToolRun r = run_tool("--units SI --ref-dir " + kSourceDir + "/data --pipeline L1 --compressor K1 --column U1 " +
                             kSourceDir + "/examples/flowsheet.sum");
  const std::string views = r.out.substr(r.out.find('\n') + 1), stored = kSourceDir + "/tests/expected/equipment_views_si.txt";
  if (std::getenv("FLOWSUM_UPDATE_EXPECTED")) std::ofstream(stored) << views;
  std::stringstream want;
  want << std::ifstream(stored).rdbuf();
  EXPECT_EQ(std::pair(r.status, views), std::pair(0, want.str()));
}

// What the routines remember from call to call (the block, stage or item
// asked for last, a profile's data set, values read, a missing section)
// serves only the load, tree and unit set it came from; headlines fall
// back to the other section when the item's own gives no quantity.
TEST(EquipmentResults, RememberedAnswersFollowReloadsTreeEditsAndUnits) {
  const ResultGrid one{{{22, 0}, {23, 0}}, {{5.0, 6.0}}}, two{{{22, 0}, {23, 0}}, {{1.0, 2.0}, {3.0, 4.0}}};
  // K-1 is multistage, then single; E-1 a pump, then a tower of another
  // cost; P-1's profile starts with another value on the same line. K-2
  // has no coolers and only stage 3's wheels, P-2 profiles another
  // property, P-3 has descriptions only.
  auto text = [&](bool later) {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    EquipmentWriter ew(w);
    const std::string model = later ? "BOOSTR" : "STAGEBST";
    for (const auto& [m, id] : {std::pair{std::string("DUCTLINE"), "P-1"}, {"DUCTLINE", "P-2"}, {"DUCTLINE", "P-3"},
                                {model, "K-1"}, {"STAGEBST", "K-2"}})
      w.block_results(m, id, {}, {BlockResult::real(22, 1.0)});
    for (const auto& [id, property] : {std::pair{"P-1", 22}, {"P-2", 23}, {"P-3", 0}}) {
      PipelineRecord p{.id = id, .descriptions = {PipeSeries{22, 2, 0, {1.0, 2.0}}}};
      if (property) p.profile = {PipeSeries{property, 2, 0, {property == 23 ? 24.0 : later ? 5.0 : 3.0, 2.0}}};
      PipelineWriter(w).pipeline(p);
    }
    ew.compressor({model, "K-1", later ? one : two, two, one, {{1, two}}});
    ew.compressor({"STAGEBST", "K-2", two, two, {}, {{3, one}}});
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
    const auto [n, flag, quantity, purchased, installed, zero] = costs_of("T-9");  // its own section missing
    EXPECT_EQ(std::tuple(n, flag != 0, quantity, purchased, installed, zero, list_of("T-9", 1).ierr),
              std::tuple(0, true, 7, kMissing, kMissing, 0, 1));
    // TKDTRE files another block's data set (or a section it lacked) under the block just read.
    struct Edit {
      std::function<Ints()> read;
      Ints before, after;
      const char *model, *from, *to, *section;
    };
    const auto descriptions = [] {
      Ints n(10, -1);
      call(tkplsz_, Field("P-3", 8), n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9]);
      return Ints{n[6]};
    };
    for (const Edit& e : {Edit{[] { return counts_of("K-1", 3); }, {0, 0}, {1, 2}, "STAGEBST", "K-2", "K-1", "PERF_WHL"},
                          Edit{descriptions, {1}, {2}, "DUCTLINE", "P-1", "P-3", "PIP_DES"},
                          Edit{[&] { return Ints{I(profile_start(23))}; }, {-1}, {24}, "DUCTLINE", "P-2", "P-1", "PIP_PROF"},
                          Edit{[] { return counts_of("K-2"); }, {2, 2, 0, 0, 2, 2}, {2, 2, 2, 1, 2, 2}, "STAGEBST", "K-1",
                               "K-2", "COOL_PRF"}}) {
      EXPECT_EQ(e.read(), e.before) << e.section;
      ASSERT_EQ(file_in_tree({"BLOCK", e.model, e.to, e.section}, tree_lookup({"BLOCK", e.model, e.from, e.section})), 0);
      EXPECT_EQ(e.read(), e.after) << e.section;
    }
    // A search meeting a leaf where a branch was expected reports it on every call.
    for (int k = 0; k < 2; ++k) {
      MessageCapture capture;
      int64_t nid = 5, nq = 0, nd = 0, lq = 0, ld = 0;
      call(tkdset_, nid, Field("BLOCK   STAGEBSTK-1     COOL_PRFX", 8, 5), Field("", 8), nq, nd, lq, ld);
      EXPECT_NE(capture.take().find("IMPROPER STRUCTURED DSET TREE AT LEVEL  4"), std::string::npos) << k;
    }
    // Headlines remembered from the list read in SI, handed out in ENG.
    list_of("E-1", 1);
    int64_t none = 0, ierr = 1;
    call(tkunit_, Field("ENG", 8), none, Field("", 12), Field("", 16), ierr);
    const double eng = std::get<3>(costs_of("E-1"));
    EXPECT_EQ(eng, list_of("E-1", 1).values[0]);
    EXPECT_NE(eng, 1.0e5);
    EXPECT_EQ(profile_start(22), 3.0);  // read last: kept for the next load's first read
  }
}

}  // namespace
}  // namespace flowsum::testing
