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

class Writer {
 public:
  Writer(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc)
      : e_(seed * 0x2545F4914F6CDD1Dull + 11), w_(w), ncc_(ncc) {}
  int64_t between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(e_() % static_cast<uint64_t>(hi - lo + 1)); }
  bool chance(int percent) { return between(0, 99) < percent; }
  std::string fresh(const std::string& prefix, std::set<std::string>& used) {
    for (int64_t k = 1;; ++k)
      if (used.insert(prefix + std::to_string(k)).second) return prefix + std::to_string(k);
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
      s.components = ncc_;
      if (!all) s.components.resize(static_cast<size_t>(between(1, static_cast<int64_t>(ncc_.size()))));
      if (!all && chance(50)) std::reverse(s.components.begin(), s.components.end());
      sets.push_back(component_set(all ? std::vector<std::string>{} : s.components));
    }
    sets.push_back({{"NPOINT"}, {{{"#" + std::to_string(points)}}}, ""});
    // A unit the type knows, SI or another.
    const KnownUnit* unit = nullptr;
    for (const KnownUnit& u : known_units())
      if (u.unit_type == p.unit_type && !(p.unit_type == 20 && u.code == 7) && (unit == nullptr || chance(50))) unit = &u;
    std::vector<Value> v;
    const size_t n = static_cast<size_t>(points) * (per_component ? s.components.size() : 1);
    for (size_t k = 0; k < n; ++k) {
      const double x = real_as_read(static_cast<double>(between(1, 99999)) / 64.0);
      v.push_back(unit ? Value::real(x, unit->code) : Value::real(x));
      s.si.push_back(unit ? x * unit->factor + unit->offset : x);
    }
    column_dataset(w_, path, sets, v, &next_);
    return s;
  }
  // Per-point properties of a section, in random choice and order.
  void points_section(const std::vector<std::string>& path, const std::string& sub, ReactorTruth& t, int64_t least) {
    std::vector<Prop> props = kPointProps;
    for (int64_t k = between(least, 3); k > 0; --k) {
      const auto at = props.begin() + between(0, static_cast<int64_t>(props.size()) - 1);
      t.properties.push_back(write(path, *at, sub, t.points, false));
      props.erase(at);
    }
  }
  void composition(const std::vector<std::string>& path, const Prop& p, const std::string& sub, ReactorTruth& t) {
    t.properties.push_back(write(path, p, sub, t.points, true));
    if (t.components == 0) t.components = static_cast<int64_t>(t.properties.back().components.size());
  }

 private:
  std::mt19937_64 e_;
  FlowsheetWriter& w_;
  const std::vector<std::string>& ncc_;
  int next_ = 5000;
};

std::vector<std::string> at(const std::string& model, const std::string& id, const std::string& section) {
  return {"BLOCK", model, id, section};
}

const Prop kX{36, "X", 0}, kY{39, "Y", 0}, kTime{65, "TIME", 0};

}  // namespace

std::vector<RandomReactor> random_reactors(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                           std::set<std::string>& used) {
  Writer g(seed, w, ncc);
  std::vector<RandomReactor> out;
  for (int64_t n = g.between(0, 2); n > 0; --n) {
    RandomReactor r{g.chance(50) ? "TUBERX" : "BATCHRX", g.fresh("RX-", used)};
    const bool plug = r.model == "TUBERX";
    const int64_t points = g.between(1, 5);
    const int64_t nsub = g.between(plug ? 1 : 0, 3);
    r.substreams = nsub;
    if (plug) {
      for (int64_t k = 1; k <= nsub; ++k) {
        ReactorTruth t{k == 1 ? "MIXED" : "S" + std::to_string(k), g.between(1, 5)};
        g.points_section(at(r.model, r.id, "PLPR_" + std::to_string(k)), t.substream, t, 1);
        if (g.chance(60)) g.composition(at(r.model, r.id, "PLZ_" + std::to_string(k)), kX, "", t);
        if (k == 1 && g.chance(60)) g.composition(at(r.model, r.id, "TUBE_X"), kY, "", t);
        r.profiles.push_back(t);
      }
    } else {
      // The main profile, in the fallback section now and then; the
      // substream sections hold compositions.
      ReactorTruth main{"MIXED", points};
      g.points_section(at(r.model, r.id, g.chance(50) ? "RBVLPRF" : "BTRX_PRF"), "", main, 1);
      for (int64_t k = 1; k <= std::max<int64_t>(nsub, 1); ++k) {
        ReactorTruth t = main;
        t.substream = k == 1 ? "MIXED" : "S" + std::to_string(k);
        if (k <= nsub) g.composition(at(r.model, r.id, "RBVLM_" + std::to_string(k)), kX, t.substream, t);
        if (k == 1 && g.chance(50)) g.composition(at(r.model, r.id, "BTRX_Y"), kY, "", t);
        r.profiles.push_back(t);
      }
      for (auto [truth, prf, z] : {std::tuple{&r.accumulator, "RBACPRF", "RBACZ"}, std::tuple{&r.vent, "RBVTPRF", "RBVTZ"}}) {
        if (!g.chance(70)) continue;
        truth->points = g.between(1, 4);
        g.points_section(at(r.model, r.id, prf), "", *truth, 1);
        if (g.chance(60)) g.composition(at(r.model, r.id, z), kX, "", *truth);
        // A time axis among the compositions is no property.
        if (g.chance(50)) g.write(at(r.model, r.id, z), kTime, "", truth->points, true);
      }
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
    for (auto [section, truth] : {std::pair{"PRDYSC", &r.dynamic}, std::pair{"PRSSSC", &r.steady}}) {
      if (!g.chance(70)) continue;
      // The descriptors with codes in and out of their tables, and a real.
      const int64_t verdict = g.between(0, 1), basis = g.between(0, 3), device = g.between(1, 7), scenario = g.between(1, 9);
      ColumnSet set{{"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1}, {{"22"}, 2, 22}}, ""};
      const double t = real_as_read(static_cast<double>(g.between(1, 9999)) / 8.0);
      column_dataset(w, {"PRES-RELIEF", r.id, section}, {set},
                     {Value::integer(verdict), Value::integer(basis), Value::integer(device), Value::integer(scenario),
                      Value::real(t, 1)});
      *truth = {{"CODE-CHECK", 4}, {"SIZE-BASIS", 3}, {"DEVICE-TYPE", 3}, {"SCENARIO", 3}, {"TEMP", 2, 'A', 22}};
      (*truth)[0].text = verdict ? "Does not meet code requirements" : "Does meet code requirements";
      (*truth)[1].text = kBasis[basis <= 2 ? basis : 0];
      (*truth)[2].text = kDevice[device <= 4 ? device : 0];
      (*truth)[3].text = kScenario[scenario <= 5 ? scenario : 0];
      (*truth)[4].si = {t};
    }
    r.points = g.between(1, 4);
    for (const Prop& p : {Prop{881, "B_PRES", 20}, Prop{882, "B_TEMP", 22}}) {
      if (!g.chance(70)) continue;
      Series all{p.name, 1, 'A', p.unit_type};
      for (int64_t s = g.between(1, 2); s > 0; --s) {
        const Series one = g.write({"PRES-RELIEF", r.id, p.name == std::string("B_PRES") ? "PRVTP" : "PRVTT"}, p, "",
                                   r.points, false);
        all.si.insert(all.si.end(), one.si.begin(), one.si.end());
      }
      r.vent.push_back(all);
    }
    if (r.dynamic.empty() && r.steady.empty() && r.vent.empty()) {
      column_dataset(w, {"PRES-RELIEF", r.id, "PRVTT"}, {property_set(882, 22), {{"NPOINT"}, {{{"#1"}}}, ""}},
                     {Value::real(1.0, 1)});
      r.vent.push_back({"B_TEMP", 1, 'A', 22});
      r.vent.back().si = {1.0};
      r.points = 1;
    }
    out.push_back(r);
  }
  return out;
}

}  // namespace flowsum::testing
