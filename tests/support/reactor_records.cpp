#include "support/reactor_records.hpp"

#include <algorithm>
#include <tuple>

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {
namespace {

using Path = std::vector<std::string>;
struct Prop {
  int64_t number;
  const char* name;
  int64_t unit_type;
};
const std::vector<Prop> kPointProps{{22, "TEMP", 22}, {23, "PRES", 20}, {24, "VFRAC", 0}};
// One property on a molar and a mass basis (the relief readers' flow basis).
const Prop kMoleDensity{prop::kRhomx, "RHOMX", 37}, kMassDensity{prop::kRhomx, "RHOMX", 38};
const Prop kX{36, "X", 0}, kY{39, "Y", 0}, kTime{65, "TIME", 0};


class Writer : public Draws {
 public:
  Writer(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc)
      : Draws(seed * 0x2545F4914F6CDD1Dull + 11), w_(w), ncc_(ncc) {}
  std::string fresh(const std::string& prefix, std::set<std::string>& used) {
    for (int64_t k = 1;; ++k)
      if (used.insert(prefix + num(k)).second) return prefix + num(k);
  }
  std::vector<std::string> some_components() {
    std::vector<std::string> c(ncc_.begin(), ncc_.begin() + between(1, static_cast<int64_t>(ncc_.size())));
    if (chance(50)) std::reverse(c.begin(), c.end());
    return c;
  }
  // A unit of the type (none for 0), one for a whole data set.
  const KnownUnit* unit_for(int64_t unit_type) {
    const KnownUnit* unit = nullptr;
    for (const KnownUnit& u : known_units())
      if (u.unit_type == unit_type && !(unit_type == 20 && u.code == 7) && (unit == nullptr || chance(50))) unit = &u;
    return unit;
  }
  // A random real in the unit; si receives its SI value.
  Value real(const KnownUnit* unit, int64_t unit_type, double& si) {
    const double x = real_as_read(static_cast<double>(between(1, 99999)) / 64.0);
    si = unit ? x * unit->factor + unit->offset : x;
    return unit ? Value::real(x, unit->code) : unit_type ? Value::real(x, 1) : Value::real(x);
  }
  void dataset(const Path& path, const std::vector<ColumnSet>& sets, const std::vector<Value>& v) {
    column_dataset(w_, path, sets, v, &next_);
  }
  // A data set of one property, per component over comps (none given: a
  // random choice of the run's).
  Series write(const Path& path, const Prop& p, const std::string& sub, int64_t points, bool per_component,
               std::vector<std::string> comps = {}) {
    Series s{p.name, per_component ? 2 : 1, 'A', p.unit_type};
    std::vector<ColumnSet> sets{property_set(p.number, p.unit_type)};
    if (!sub.empty()) sets.push_back({{"SUBSTREAM"}, {{{sub}}}, ""});
    if (per_component) {
      if (comps.empty() && chance(50)) comps = some_components();
      s.components = comps.empty() ? ncc_ : comps;
      sets.push_back(component_set(comps));
    }
    sets.push_back(counted_set("NPOINT", points));
    const KnownUnit* unit = unit_for(p.unit_type);
    std::vector<Value> v;
    for (size_t k = points * std::max<size_t>(s.components.size(), 1); k > 0; --k)
      v.push_back(real(unit, p.unit_type, s.si.emplace_back()));
    dataset(path, sets, v);
    s.text = "L" + num(next_ - 1);
    return s;
  }
  // Per-point properties in random choice and order (with basis, now and
  // then one on both flow bases).
  void points_section(const Path& path, const std::string& sub, ReactorTruth& t, bool basis = false) {
    std::vector<Prop> props = kPointProps;
    std::shuffle(props.begin(), props.end(), e_);
    props.resize(static_cast<size_t>(between(1, 3)));
    if (const bool mole = chance(50); basis && chance(50))
      props.insert(props.end(), {mole ? kMoleDensity : kMassDensity, mole ? kMassDensity : kMoleDensity});
    for (const Prop& p : props) t.properties.push_back(write(path, p, sub, t.points, false));
  }
  void composition(const Path& path, const Prop& p, const std::string& sub, ReactorTruth& t) {
    t.properties.push_back(write(path, p, sub, t.points, true));
    if (t.components == 0) t.components = static_cast<int64_t>(t.properties.back().components.size());
  }
  // A per-point section shared by the substream profiles, a composition
  // section per substream and one of the default substream.
  template <class In>  // In: the path of a section
  std::vector<ReactorTruth> substream_profiles(In in, const std::string& main, const std::string& prefix,
                                               const std::string& mixed, int64_t nsub, bool basis) {
    ReactorTruth first{"MIXED", between(1, 5)};
    points_section(in(main), "", first, basis);
    std::vector<ReactorTruth> out;
    for (int64_t k = 1; k <= std::max<int64_t>(nsub, 1); ++k) {
      ReactorTruth& t = out.emplace_back(first);
      t.substream = k == 1 ? "MIXED" : "S" + num(k);
      if (k <= nsub) composition(in(prefix + num(k)), kX, t.substream, t);
      if (k == 1 && chance(50)) composition(in(mixed), kY, "", t);
    }
    return out;
  }
  // A per-point and a composition section, now and then a time axis.
  void two_sections(const Path& prf, const Path& z, ReactorTruth& t, bool basis) {
    if (!chance(70)) return;
    t.points = between(1, 4);
    points_section(prf, "", t, basis);
    if (chance(60)) composition(z, kX, "", t);
    if (chance(50)) write(z, kTime, "", t.points, true);
  }
  // A section read whole (see ValueTable), half of the time.
  ValueTable table(const Path& path, const std::string& position, bool per_component) {
    ValueTable t;
    if (!chance(50)) return t;
    std::vector<Prop> props = kPointProps;
    std::shuffle(props.begin(), props.end(), e_);
    props.resize(static_cast<size_t>(between(1, 3)));
    const std::vector<std::string> comps = per_component ? some_components() : std::vector<std::string>{};
    t.points = between(1, 4);
    t.components = static_cast<int64_t>(comps.size());
    t.width = static_cast<int64_t>(props.size() * std::max<size_t>(comps.size(), 1));
    std::vector<ColumnSet> sets{{{"PROPERTIES"}, {}, ""}};
    for (const Prop& p : props) sets[0].members.push_back({{num(p.number)}, 2, p.unit_type});
    if (per_component) sets.push_back(component_set(comps));
    sets.push_back(counted_set(position, t.points));
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
    RandomReactor& r = out.emplace_back(RandomReactor{g.chance(50) ? "TUBERX" : "BATCHRX", g.fresh("RX-", used)});
    const auto in = [&](const std::string& section) { return Path{"BLOCK", r.model, r.id, section}; };
    r.substreams = g.between(r.model == "TUBERX" ? 1 : 0, 3);
    if (r.model == "TUBERX") {
      // Now and then ten substream sections: only nine are served.
      for (int64_t k = 1, written = g.chance(5) ? 10 : r.substreams; k <= written; ++k) {
        ReactorTruth& t = r.profiles.emplace_back(ReactorTruth{k == 1 ? "MIXED" : "S" + num(k), g.between(1, 5)});
        g.points_section(in("PLPR_" + num(k)), t.substream, t);
        if (g.chance(60)) g.composition(in("PLZ_" + num(k)), kX, "", t);
        if (k == 1 && g.chance(60)) g.composition(in("TUBE_X"), kY, "", t);
      }
      r.profiles.resize(std::min<size_t>(r.profiles.size(), 9));
      r.substreams = static_cast<int64_t>(r.profiles.size());
    } else {  // the main profile in the fallback section now and then
      r.profiles = g.substream_profiles(in, g.chance(50) ? "RBVLPRF" : "BTRX_PRF", "RBVLM_",
                                        "BTRX_Y", r.substreams, false);
      g.two_sections(in("RBACPRF"), in("RBACZ"), r.accumulator, false);
      g.two_sections(in("RBVTPRF"), in("RBVTZ"), r.vent, false);
    }
    using Table = std::tuple<ValueTable*, const char*, const char*>;
    for (auto [t, section, position] :
         {Table{&r.reaction, "REAC_PRF", "NPOINTS"}, Table{&r.selectivity, "SEL_PRF", "NPOINT"},
          Table{&r.heat, "HEAT_PRF", "NPOINT"}, Table{&r.segments, "L2_SEGM", "NPOINT"},
          Table{&r.fractions, "SPFRC", "NPOINT"}, Table{&r.equilibrium, "VLE3", "NPOINT"}})
      *t = g.table(in(section), position, t == &r.fractions);
    // Catalyst attributes: elements of attributes of components, one value each.
    std::vector<ColumnSet> rows{{{"COMPONENTS", "CATR", "ELEM"}, {}, ""}};
    std::vector<Value> v;
    for (size_t c = g.chance(50) ? std::min<size_t>(ncc.size(), 2) : 0; c > 0; --c)
      for (int64_t a = g.between(1, 2); a > 0; --a) {
        CatalystAttribute& x = r.catalyst.emplace_back(CatalystAttribute{ncc[c - 1], "ATTR" + num(a)});
        for (int64_t e = g.between(1, 3); e > 0; --e) {
          x.elements.push_back("E" + num(e));
          x.values.push_back(static_cast<double>(g.between(1, 9999)) / 4.0);
          rows[0].members.push_back({{x.component, x.attribute, x.elements.back()}, 2});
          v.push_back(Value::real(x.values.back()));
        }
      }
    if (!v.empty()) g.dataset(in("RBTA_1"), rows, v);
    // Feed profiles: per-point data sets of RBFC_1, then of RBFI_1.
    for (const char* section : {"RBFC_1", "RBFI_1"}) {
      ReactorTruth feed{"", 2};
      if (g.chance(50)) g.points_section(in(section), "", feed);
      for (const Series& s : feed.properties) r.feeds.push_back(s.name);
      if (section[3] == 'C') r.feed_c = static_cast<int64_t>(r.feeds.size());
    }
    w.block_results(r.model, r.id, {}, {BlockResult::real(prop::kTemp, 1.0)});
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
    RandomRelief& r = out.emplace_back(RandomRelief{g.fresh("PSV-", used)});
    const auto in = [&](const std::string& section) { return Path{"PRES-RELIEF", r.id, section}; };
    // The dynamic scenario always, the steady one mostly; codes in and out
    // of their tables.
    for (auto [section, truth] : {std::pair{"PRDYSC", &r.dynamic}, std::pair{"PRSSSC", &r.steady}}) {
      if (truth == &r.steady && g.chance(30)) continue;
      const int64_t c[] = {g.between(0, 1), g.between(0, 3), g.between(1, 7), g.between(1, 9)};
      const double t = real_as_read(static_cast<double>(g.between(1, 9999)) / 8.0);
      g.dataset(in(section),
                {{{"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1}, {{"22"}, 2, 22}}, ""}},
                {Value::integer(c[0]), Value::integer(c[1]), Value::integer(c[2]), Value::integer(c[3]),
                 Value::real(t, 1)});
      *truth = {{"CODE-CHECK", 4}, {"SIZE-BASIS", 3}, {"DEVICE-TYPE", 3}, {"SCENARIO", 3}, {"TEMP", 2, 'A', 22}};
      (*truth)[0].text = c[0] ? "Does not meet code requirements" : "Does meet code requirements";
      (*truth)[1].text = kBasis[c[1] <= 2 ? c[1] : 0];
      (*truth)[2].text = kDevice[c[2] <= 4 ? c[2] : 0];
      (*truth)[3].text = kScenario[c[3] <= 5 ? c[3] : 0];
      (*truth)[4].si = {t};
      for (size_t k = 0; k < 4; ++k) (*truth)[k].si = {static_cast<double>(c[k])};  // the stored code
    }
    // Vent sections of one or two sets, and the time axis.
    r.points = g.between(1, 4);
    using Vent = std::pair<const char*, Prop>;
    for (const auto& [section, p] : {Vent{"PRVTP", {881, "B_PRES", 20}}, Vent{"PRVTT", {882, "B_TEMP", 22}},
                                     Vent{"PRVTV", {883, "B_VFRAC", 0}}, Vent{"PRVTR", {884, "DENSITY", 0}},
                                     Vent{"PRVTZ", {885, "B_MOLEFRAC", 0}}}) {
      if (!g.chance(50)) continue;
      Series& all = r.vent.emplace_back(Series{p.name, p.number == 885 ? 2 : 1, 'A', p.unit_type});
      for (int64_t s = g.between(1, 2); s > 0; --s) {
        const Series one =
            g.write(in(section), p, "", r.points, all.kind == 2, {ncc[static_cast<size_t>(s) % ncc.size()]});
        all.si.insert(all.si.end(), one.si.begin(), one.si.end());
        all.components.insert(all.components.end(), one.components.begin(), one.components.end());
      }
    }
    if (g.chance(60)) r.times = g.write(in("PRVTZT"), kTime, "", r.points, false).si;
    // Vessel (as the batch reactor's), steady-state and PRAC profiles.
    r.vessel_substreams = g.between(0, 2);
    if (g.chance(60)) r.vessel = g.substream_profiles(in, "PRVLPRF", "PRVLM_", "PRVLY", r.vessel_substreams, true);
    else r.vessel_substreams = 0;
    r.steady_profile.points = g.between(1, 4);
    if (g.chance(60)) g.points_section(in("PRSSPRF"), "", r.steady_profile, true);
    g.two_sections(in("PRACPRF"), in("PRACZ"), r.accumulator, true);
  }
  return out;
}

}  // namespace flowsum::testing
