#include "support/reactor_records.hpp"

#include <algorithm>
#include <random>
#include <tuple>

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {
namespace {

struct Prop {
  int64_t number;
  const char* name;
  int64_t unit_type;
};
const std::vector<Prop> kPointProps{{22, "TEMP", 22}, {23, "PRES", 20}, {24, "VFRAC", 0}};
// One property on a molar and on a mass basis: the relief readers tell
// them apart by the flow basis their unit types carry.
const Prop kMoleDensity{prop::kRhomx, "RHOMX", 37}, kMassDensity{prop::kRhomx, "RHOMX", 38};
const Prop kX{36, "X", 0}, kY{39, "Y", 0}, kTime{65, "TIME", 0};

std::string num(int64_t n) { return std::to_string(n); }
std::vector<std::string> at(const std::string& model, const std::string& id, const std::string& section) {
  return {"BLOCK", model, id, section};
}

class Writer {
 public:
  Writer(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc)
      : e_(seed * 0x2545F4914F6CDD1Dull + 11), w_(w), ncc_(ncc) {}
  int64_t between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(e_() % static_cast<uint64_t>(hi - lo + 1)); }
  bool chance(int percent) { return between(0, 99) < percent; }
  std::string fresh(const std::string& prefix, std::set<std::string>& used) {
    for (int64_t k = 1;; ++k)
      if (used.insert(prefix + num(k)).second) return prefix + num(k);
  }
  // A unit the type knows (SI or another; none for 0 or a type without
  // known units) and a random real in it; si receives its SI value. The
  // profile readers convert a whole data set by its first value's unit.
  const KnownUnit* unit_for(int64_t unit_type) {
    const KnownUnit* unit = nullptr;
    for (const KnownUnit& u : known_units())
      if (u.unit_type == unit_type && !(unit_type == 20 && u.code == 7) && (unit == nullptr || chance(50))) unit = &u;
    return unit;
  }
  Value real(const KnownUnit* unit, int64_t unit_type, double& si) {
    const double x = real_as_read(static_cast<double>(between(1, 99999)) / 64.0);
    si = unit ? x * unit->factor + unit->offset : x;
    return unit ? Value::real(x, unit->code) : unit_type ? Value::real(x, 1) : Value::real(x);
  }
  std::vector<std::string> some_components() {
    std::vector<std::string> c = ncc_;
    c.resize(static_cast<size_t>(between(1, static_cast<int64_t>(ncc_.size()))));
    if (chance(50)) std::reverse(c.begin(), c.end());
    return c;
  }
  void dataset(const std::vector<std::string>& path, const std::vector<ColumnSet>& sets, const std::vector<Value>& v) {
    column_dataset(w_, path, sets, v, &next_);
  }
  // Writes a data set of one property at path; per component over a
  // random choice of the run's components (all of them as ID_NCC).
  Series write(const std::vector<std::string>& path, const Prop& p, const std::string& sub, int64_t points,
               bool per_component) {
    Series s{p.name, per_component ? 2 : 1, 'A', p.unit_type};
    std::vector<ColumnSet> sets{property_set(p.number, p.unit_type)};
    if (!sub.empty()) sets.push_back({{"SUBSTREAM"}, {{{sub}}}, ""});
    if (per_component) {
      const bool all = chance(50);
      s.components = all ? ncc_ : some_components();
      sets.push_back(component_set(all ? std::vector<std::string>{} : s.components));
    }
    sets.push_back({{"NPOINT"}, {{{"#" + num(points)}}}, ""});
    std::vector<Value> v;
    const KnownUnit* unit = unit_for(p.unit_type);
    for (size_t k = points * (per_component ? s.components.size() : 1); k > 0; --k)
      v.push_back(real(unit, p.unit_type, s.si.emplace_back()));
    dataset(path, sets, v);
    s.text = "L" + num(next_ - 1);
    return s;
  }
  // Per-point properties of a section, in random choice and order; with
  // basis, now and then one property on both flow bases.
  void points_section(const std::vector<std::string>& path, const std::string& sub, ReactorTruth& t, bool basis = false) {
    std::vector<Prop> props = kPointProps;
    for (int64_t k = between(1, 3); k > 0; --k) {
      const auto it = props.begin() + between(0, static_cast<int64_t>(props.size()) - 1);
      t.properties.push_back(write(path, *it, sub, t.points, false));
      props.erase(it);
    }
    if (basis && chance(50))
      for (const Prop& p : chance(50) ? std::vector{kMoleDensity, kMassDensity} : std::vector{kMassDensity, kMoleDensity})
        t.properties.push_back(write(path, p, sub, t.points, false));
  }
  void composition(const std::vector<std::string>& path, const Prop& p, const std::string& sub, ReactorTruth& t) {
    t.properties.push_back(write(path, p, sub, t.points, true));
    if (t.components == 0) t.components = static_cast<int64_t>(t.properties.back().components.size());
  }
  // A main per-point section shared by every substream profile, numbered
  // composition sections (prefix k) naming their substream, and a
  // composition section of the default substream.
  std::vector<ReactorTruth> substream_profiles(const std::vector<std::string>& path, const std::string& main,
                                               const std::string& prefix, const std::string& mixed, int64_t nsub,
                                               bool basis) {
    auto in = [&](const std::string& section) { auto p = path; p.push_back(section); return p; };
    ReactorTruth first{"MIXED", between(1, 5)};
    points_section(in(main), "", first, basis);
    std::vector<ReactorTruth> out;
    for (int64_t k = 1; k <= std::max<int64_t>(nsub, 1); ++k) {
      ReactorTruth t = first;
      t.substream = k == 1 ? "MIXED" : "S" + num(k);
      if (k <= nsub) composition(in(prefix + num(k)), kX, t.substream, t);
      if (k == 1 && chance(50)) composition(in(mixed), kY, "", t);
      out.push_back(t);
    }
    return out;
  }
  // A per-point section and a composition section (with a time axis now
  // and then, which is no property).
  void two_sections(const std::vector<std::string>& prf, const std::vector<std::string>& z, ReactorTruth& t,
                    bool basis) {
    if (!chance(70)) return;
    t.points = between(1, 4);
    points_section(prf, "", t, basis);
    if (chance(60)) composition(z, kX, "", t);
    if (chance(50)) write(z, kTime, "", t.points, true);
  }
  // A section read whole (see ValueTable), half of the time.
  ValueTable table(const std::vector<std::string>& path, const std::string& position, bool per_component) {
    ValueTable t;
    if (!chance(50)) return t;
    std::vector<Prop> props = kPointProps;
    std::shuffle(props.begin(), props.end(), e_);
    props.resize(static_cast<size_t>(between(1, 3)));
    const std::vector<std::string> comps = per_component ? some_components() : std::vector<std::string>{};
    t.points = between(1, 4);
    t.components = static_cast<int64_t>(comps.size());
    t.width = static_cast<int64_t>(props.size() * std::max<size_t>(comps.size(), 1));
    ColumnSet set{{"PROPERTIES"}, {}, ""};
    for (const Prop& p : props) set.members.push_back({{num(p.number)}, 2, p.unit_type});
    std::vector<ColumnSet> sets{set};
    if (per_component) sets.push_back(component_set(comps));
    sets.push_back({{position}, {{{"#" + num(t.points)}}}, ""});
    std::vector<Value> v;
    for (int64_t k = 0; k < t.points * t.width; ++k) {
      const Prop& p = props[static_cast<size_t>(k) % props.size()];
      t.names.push_back(p.name);
      t.unit_types.push_back(p.unit_type);
      v.push_back(real(unit_for(p.unit_type), p.unit_type, t.si.emplace_back()));
    }
    dataset(path, sets, v);
    return t;
  }

 private:
  std::mt19937_64 e_;
  FlowsheetWriter& w_;
  const std::vector<std::string>& ncc_;
  int next_ = 5000;
};

}  // namespace

std::vector<RandomReactor> random_reactors(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                           std::set<std::string>& used) {
  Writer g(seed, w, ncc);
  std::vector<RandomReactor> out;
  for (int64_t n = g.between(0, 2); n > 0; --n) {
    RandomReactor r{g.chance(50) ? "TUBERX" : "BATCHRX", g.fresh("RX-", used)};
    const bool plug = r.model == "TUBERX";
    const int64_t nsub = g.between(plug ? 1 : 0, 3);
    r.substreams = nsub;
    if (plug) {
      for (int64_t k = 1; k <= nsub; ++k) {
        ReactorTruth t{k == 1 ? "MIXED" : "S" + num(k), g.between(1, 5)};
        g.points_section(at(r.model, r.id, "PLPR_" + num(k)), t.substream, t);
        if (g.chance(60)) g.composition(at(r.model, r.id, "PLZ_" + num(k)), kX, "", t);
        if (k == 1 && g.chance(60)) g.composition(at(r.model, r.id, "TUBE_X"), kY, "", t);
        r.profiles.push_back(t);
      }
    } else {
      // The main profile, in the fallback section now and then.
      r.profiles = g.substream_profiles({"BLOCK", r.model, r.id}, g.chance(50) ? "RBVLPRF" : "BTRX_PRF", "RBVLM_",
                                        "BTRX_Y", nsub, false);
      g.two_sections(at(r.model, r.id, "RBACPRF"), at(r.model, r.id, "RBACZ"), r.accumulator, false);
      g.two_sections(at(r.model, r.id, "RBVTPRF"), at(r.model, r.id, "RBVTZ"), r.vent, false);
    }
    using Table = std::tuple<ValueTable*, const char*, const char*, bool>;
    for (auto [t, section, position, per_component] :
         {Table{&r.reaction, "REAC_PRF", "NPOINTS", false}, Table{&r.selectivity, "SEL_PRF", "NPOINT", false},
          Table{&r.heat, "HEAT_PRF", "NPOINT", false}, Table{&r.segments, "L2_SEGM", "NPOINT", false},
          Table{&r.fractions, "SPFRC", "NPOINT", true}, Table{&r.equilibrium, "VLE3", "NPOINT", false}})
      *t = g.table(at(r.model, r.id, section), position, per_component);
    // Catalyst attributes: elements of attributes of components, one value each.
    ColumnSet rows{{"COMPONENTS", "CATR", "ELEM"}, {}, ""};
    std::vector<Value> v;
    for (size_t c = g.chance(50) ? std::min<size_t>(ncc.size(), 2) : 0; c > 0; --c)
      for (int64_t a = g.between(1, 2); a > 0; --a) {
        CatalystAttribute x{ncc[c - 1], "ATTR" + num(a)};
        for (int64_t e = g.between(1, 3); e > 0; --e) {
          x.elements.push_back("E" + num(e));
          x.values.push_back(static_cast<double>(g.between(1, 9999)) / 4.0);
          rows.members.push_back({{x.component, x.attribute, x.elements.back()}, 2});
          v.push_back(Value::real(x.values.back()));
        }
        r.catalyst.push_back(x);
      }
    if (!v.empty()) g.dataset(at(r.model, r.id, "RBTA_1"), {rows}, v);
    // Feed profiles: per-point data sets of RBFC_1, then of RBFI_1.
    for (const char* section : {"RBFC_1", "RBFI_1"}) {
      ReactorTruth feed{"", 2};
      if (g.chance(50)) g.points_section(at(r.model, r.id, section), "", feed);
      for (const Series& s : feed.properties) r.feeds.push_back(s.name);
      if (section[3] == 'C') r.feed_c = static_cast<int64_t>(r.feeds.size());
    }
    w.block_results(r.model, r.id, {}, {BlockResult::real(prop::kTemp, 1.0)});
    out.push_back(r);
  }
  return out;
}

std::vector<RandomRelief> random_reliefs(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                         std::set<std::string>& used) {
  Writer g(seed ^ 0x5EEDull, w, ncc);
  std::vector<RandomRelief> out;
  static const char* const kBasis[] = {"Both", "Code", "Actual"};
  static const char* const kDevice[] = {"PSV-PSD", "PSV", "PSD", "ERV", "Pipe"};
  static const char* const kScenario[] = {"Flow-Spec", "Fire", "Heat-Input", "Over-Pump", "Line-Pres", "Broken-Pipe"};
  for (int64_t n = g.between(0, 2); n > 0; --n) {
    RandomRelief r{g.fresh("PSV-", used)};
    const auto in = [&](const std::string& section) { return std::vector<std::string>{"PRES-RELIEF", r.id, section}; };
    for (auto [section, truth] : {std::pair{"PRDYSC", &r.dynamic}, std::pair{"PRSSSC", &r.steady}}) {
      if (!g.chance(70)) continue;
      // The descriptors with codes in and out of their tables, and a real.
      const int64_t verdict = g.between(0, 1), basis = g.between(0, 3), device = g.between(1, 7), scenario = g.between(1, 9);
      ColumnSet set{{"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1}, {{"22"}, 2, 22}}, ""};
      const double t = real_as_read(static_cast<double>(g.between(1, 9999)) / 8.0);
      g.dataset(in(section), {set},
                {Value::integer(verdict), Value::integer(basis), Value::integer(device), Value::integer(scenario),
                 Value::real(t, 1)});
      *truth = {{"CODE-CHECK", 4}, {"SIZE-BASIS", 3}, {"DEVICE-TYPE", 3}, {"SCENARIO", 3}, {"TEMP", 2, 'A', 22}};
      (*truth)[0].text = verdict ? "Does not meet code requirements" : "Does meet code requirements";
      (*truth)[1].text = kBasis[basis <= 2 ? basis : 0];
      (*truth)[2].text = kDevice[device <= 4 ? device : 0];
      (*truth)[3].text = kScenario[scenario <= 5 ? scenario : 0];
      (*truth)[4].si = {t};
    }
    // Vent sections, one or two sets each; the mole fractions one
    // component a set; the time axis.
    r.points = g.between(1, 4);
    using Vent = std::pair<const char*, Prop>;
    for (const auto& [section, p] : {Vent{"PRVTP", {881, "B_PRES", 20}}, Vent{"PRVTT", {882, "B_TEMP", 22}},
                                     Vent{"PRVTV", {883, "B_VFRAC", 0}}, Vent{"PRVTR", {884, "DENSITY", 0}},
                                     Vent{"PRVTZ", {885, "B_MOLEFRAC", 0}}}) {
      if (!g.chance(50)) continue;
      Series all{p.name, p.number == 885 ? 2 : 1, 'A', p.unit_type};
      for (int64_t s = g.between(1, 2); s > 0; --s) {
        std::vector<ColumnSet> sets{property_set(p.number, p.unit_type), {{"NPOINT"}, {{{"#" + num(r.points)}}}, ""}};
        if (all.kind == 2)
          sets.insert(sets.begin() + 1, component_set({all.components.emplace_back(ncc[static_cast<size_t>(s) % ncc.size()])}));
        std::vector<Value> v;
        const KnownUnit* unit = g.unit_for(p.unit_type);
        for (int64_t k = 0; k < r.points; ++k) v.push_back(g.real(unit, p.unit_type, all.si.emplace_back()));
        g.dataset(in(section), sets, v);
      }
      r.vent.push_back(all);
    }
    if (g.chance(60)) r.times = g.write(in("PRVTZT"), kTime, "", r.points, false).si;
    r.vessel_substreams = g.between(0, 2);
    if (g.chance(60))
      r.vessel = g.substream_profiles({"PRES-RELIEF", r.id}, "PRVLPRF", "PRVLM_", "PRVLY", r.vessel_substreams, true);
    else r.vessel_substreams = 0;
    r.steady_profile.points = g.between(1, 4);
    if (g.chance(60)) g.points_section(in("PRSSPRF"), "", r.steady_profile, true);
    g.two_sections(in("PRACPRF"), in("PRACZ"), r.accumulator, true);
    // Every object has some data set, or it is no relief object.
    if (r.dynamic.empty() && r.steady.empty() && r.vent.empty() && r.times.empty()) {
      g.dataset(in("PRDYSC"), {{{"PROPERTIES"}, {{{"22"}, 2, 22}}, ""}}, {Value::real(1.0, 1)});
      r.dynamic.push_back({"TEMP", 2, 'A', 22});
      r.dynamic[0].si = {1.0};
    }
    out.push_back(r);
  }
  return out;
}

}  // namespace flowsum::testing
