#include "support/column_records.hpp"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <tuple>

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {

void column_dataset(FlowsheetWriter& w, const std::vector<std::string>& path, const std::vector<ColumnSet>& sets,
                    const std::vector<Value>& values, int* next) {
  std::string def, lset;
  int first = 1;
  int& k = next ? *next : first;
  for (const ColumnSet& s : sets) {
    std::string name = s.name;
    for (; name.empty(); ++k)
      if (w.idset_once("K" + num(k), s.qualifiers, s.members)) name = "K" + num(k);
    def += (def.empty() ? "(%" : " & %") + name;
  }
  for (; lset.empty(); ++k)
    if (w.lset_once("L" + num(k), def + ")")) lset = "L" + num(k);
  w.builder().dset(path, lset, values);
}

namespace {
std::vector<int64_t> range(int64_t first, int64_t last) {
  std::vector<int64_t> v;
  for (int64_t t = first; t <= last; ++t) v.push_back(t);
  return v;
}
}  // namespace

ColumnSet property_set(int64_t property, int64_t unit_type, int64_t type) {
  return {{"PROPERTIES"}, {{{num(property)}, type, unit_type}}, ""};
}
ColumnSet column_set(int64_t column) { return {{"N_COL"}, {{{num(column)}}}, ""}; }
ColumnSet identity_set(int64_t section, int64_t column) {
  char text[16];
  std::snprintf(text, sizeof text, column > 0 ? "%4d%4d" : "%4d", static_cast<int>(section), static_cast<int>(column));
  return {{"NPOINTS"}, {{{text}}}, ""};
}
ColumnSet tray_set(const std::vector<int64_t>& trays, bool listed) {
  const int64_t n = static_cast<int64_t>(trays.size());
  if (!listed && std::equal(trays.begin(), trays.end(), range(1, n).begin())) return counted_set("TRAY_NO", n);
  ColumnSet s{{"TRAY_NO"}, {}, ""};
  for (int64_t t : trays) s.members.push_back({{num(t)}});
  return s;
}
ColumnSet keyed_set(const std::string& qualifier, const std::vector<std::string>& keys) {
  ColumnSet s{{qualifier}, {}, ""};
  for (const std::string& k : keys) s.members.push_back({{k}});
  return s;
}
ColumnSet component_set(const std::vector<std::string>& components) {
  ColumnSet s = keyed_set("COMPONENTS", components);
  if (components.empty()) s.name = "ID_NCC";
  return s;
}

namespace {

struct Named {
  int64_t property;
  const char* name;
  int64_t unit_type;
};
const std::vector<Named> kTrayProperties{{22, "TEMP", 22}, {23, "PRES", 20}, {24, "VFRAC", 0},
                                         {8001, "MOLEFLMX", 11}, {8003, "MASSFLMX", 10}};
const std::vector<Named> kHydraulics{{601, "HYD_LMF", 10}, {602, "HYD_VMF", 10}, {603, "HYD_LVF", 0},
                                     {604, "HYD_VVF", 0},  {605, "HYD_RHOL", 0}, {606, "HYD_RHOV", 0},
                                     {607, "HYD_MUL", 0},  {608, "HYD_MUV", 0},  {609, "HYD_STEN", 0},
                                     {610, "HYD_PARM", 0}, {611, "HYD_QR", 0},   {612, "HYD_MWL", 0},
                                     {613, "HYD_MWV", 0},  {614, "HYD_FMIDX", 0}, {615, "HYD_FFR", 0}};
const std::map<std::string, std::pair<int64_t, std::string>> kCompositions{
    {"X", {36, "TRAY_X"}},   {"X1", {37, "TRAY_X1"}}, {"X2", {38, "TRAY_X2"}}, {"Y", {39, "TRAY_Y"}},
    {"B_K", {40, "TRAYB_K"}}, {"K1", {41, "TRAYK1"}},  {"K2", {42, "TRAYK2"}},  {"KLL", {96, "TRAYKLL"}},
    {"INT_X", {628, "TRAY_I_X"}}, {"INT_Y", {629, "TRAY_I_Y"}}, {"MASS_RATE", {630, "MASS_RAT"}},
    {"CEFF", {631, "COMP_EFF"}}};

double si_of(int64_t unit_type, int64_t code, double x) {
  for (const KnownUnit& u : known_units())
    if (u.unit_type == unit_type && u.code == code) return x * u.factor + u.offset;
  return x;
}


// Writes the random data sets of one block, those of a section together.
class Generator : public Draws {
 public:
  Generator(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc)
      : Draws(seed * 0xD1B54A32D192ED03ull + 7), w_(w), ncc_(ncc) {}
  double real() {
    const double x = static_cast<double>(between(1, 999999)) * std::pow(10.0, static_cast<double>(between(-6, 6)));
    return real_as_read(chance(20) ? -x : x);
  }
  // A unit code of the type (gauge pressure aside), and values in it.
  int64_t code(int64_t unit_type) {
    std::vector<int64_t> codes{1};
    for (const KnownUnit& u : known_units())
      if (u.unit_type == unit_type && !(unit_type == 20 && u.code == 7)) codes.push_back(u.code);
    return codes[static_cast<size_t>(between(0, static_cast<int64_t>(codes.size()) - 1))];
  }
  std::vector<Value> values(Series& s, size_t n, int64_t code) {
    std::vector<Value> v;
    for (size_t k = 0; k < n; ++k) {
      const double x = real();
      v.push_back(s.unit_type ? Value::real(x, code) : Value::real(x));
      s.si.push_back(s.unit_type ? si_of(s.unit_type, code, x) : x);
    }
    return v;
  }
  // A PROPERTIES set of one real per property; truth appended to `to`.
  ColumnSet reals(const std::vector<Named>& props, std::vector<Series>& to, std::vector<Value>& vals) {
    ColumnSet set{{"PROPERTIES"}, {}, ""};
    for (const Named& n : props) {
      set.members.push_back({{num(n.property)}, 2, n.unit_type});
      to.push_back({n.name, 2, 'A', n.unit_type});
      vals.push_back(values(to.back(), 1, code(n.unit_type))[0]);
    }
    return set;
  }
  void begin(const std::string& model, const std::string& id) {
    model_ = model;
    id_ = id;
    pending_.clear();
  }
  void add(const std::string& section, std::vector<ColumnSet> sets, std::vector<Value> vals) {
    pending_[section].push_back([this, section, sets, vals] { column_dataset(w_, {"BLOCK", model_, id_, section}, sets, vals, &next_); });
    if (std::find(order_.begin(), order_.end(), section) == order_.end()) order_.push_back(section);
  }
  void flush() {
    for (const std::string& s : order_)
      for (auto& write : pending_[s]) write();
    order_.clear();
  }
  // A profile property: per tray, or per component (all or a shuffled choice).
  Series profile(const std::string& section, const Named& n, int64_t column, int64_t trays, bool per_component,
                 int64_t halves = 1) {
    Series s{n.name, per_component ? 2 : 1, 'A', n.unit_type};
    s.trays = range(1, trays);
    std::vector<ColumnSet> sets{property_set(n.property, n.unit_type)};
    if (per_component) {
      s.components = ncc_;
      const bool all = chance(50);
      if (!all) {
        for (size_t i = s.components.size(); i > 1; --i)
          std::swap(s.components[i - 1], s.components[static_cast<size_t>(between(0, static_cast<int64_t>(i) - 1))]);
        s.components.resize(static_cast<size_t>(between(1, static_cast<int64_t>(s.components.size()))));
      }
      sets.push_back(component_set(all ? std::vector<std::string>{} : s.components));
    }
    if (column > 0) sets.push_back(column_set(column));
    sets.push_back(tray_set(s.trays));
    if (halves == 2) sets.push_back({{"PHASE"}, {{{"LIQUID"}}, {{"VAPOR"}}}, ""});
    add(section, sets, values(s, static_cast<size_t>(trays) * (per_component ? s.components.size() : 1) * halves, code(n.unit_type)));
    return s;
  }

 private:
  FlowsheetWriter& w_;
  const std::vector<std::string>& ncc_;
  std::string model_, id_;
  int next_ = 1;  // next number to try for a set name
  std::vector<std::string> order_;
  std::map<std::string, std::vector<std::function<void()>>> pending_;
};

// A column's profile properties, in listing order.
void profiles(Generator& g, const std::string& model, int64_t c, bool three, RandomColumn& col) {
  const bool linked = model == "LINKEDCOL", rate = model == "KINETCOL";
  const int64_t key = linked || rate ? c : 0, nt = col.trays;
  std::string section = three ? "TRC_PRO3" : "TRC_PRO2";
  if (model == "SOLVEXT" || model == "SCRUB") section = "LKCL_PRO";
  if (linked) section = (three ? "LK3P_" : "LKPR_") + num(c);
  if (rate) section = "KCPR_" + num(c);
  std::vector<Named> props = kTrayProperties;
  for (int64_t k = g.between(1, 4); k > 0; --k) {
    const auto at = props.begin() + g.between(0, static_cast<int64_t>(props.size()) - 1);
    col.properties.push_back(g.profile(section, *at, key, nt, false));
    props.erase(at);
  }
  auto hydraulics = [&](const std::string& sec, size_t n) {
    for (size_t k = 0; k < n; ++k) col.properties.push_back(g.profile(sec, kHydraulics[k], key, nt, false));
  };
  // Compositions, now and then left out; `counted` gives the component count.
  auto compositions = [&](const std::vector<std::string>& names, const std::string& counted, int percent) {
    std::map<std::string, Series> done;
    for (const std::string& n : names) {
      if (done.count(n) == 0) {
        const auto& [number, sec] = kCompositions.at(n);
        Series s{n, 2, 'A', 0, false};
        if (g.chance(percent)) s = g.profile(sec, {number, n.c_str(), n == "MASS_RATE" ? 11 : 0}, key, nt, true);
        if (sec == counted && s.written) col.components = static_cast<int64_t>(s.components.size());
        done[n] = s;
      }
      if (done[n].written || percent < 100) col.properties.push_back(done[n]);
    }
  };
  if (model == "TRAYCOL") {
    if (const int64_t hyd = g.between(0, 2)) hydraulics("TRAY_HYD", hyd == 1 ? 11 : 15);
    if (three) compositions({"X1", "X2", "Y", "K1", "K2", "KLL", "X"}, "TRAY_X1", 80);
    else compositions({"X", "Y", "B_K"}, "TRAY_X", 80);
  } else if (model == "SOLVEXT") {
    compositions({"X1", "X2", "KLL"}, "TRAY_X1", 80);
  } else if (!rate) {
    if (three) compositions({"X", "Y", "X1", "K1", "K2", "KLL"}, "TRAY_X", 80);
    else compositions({"X", "Y", "B_K"}, "TRAY_X", 80);
    if (linked && g.chance(50)) hydraulics("HYD_" + num(c), 11);
  } else {
    // Sections keyed by the column ("N_COL") or by their numbered keyword.
    const std::vector<std::tuple<std::string, bool, std::vector<Named>>> groups{
        {"INT_TEMP", true, {{621, "INT_TEMP", 22}}},
        {"HEAT_" + num(c), false, {{622, "HEAT_RATE", 13}, {623, "L_CONDUC", 13}, {624, "V_CONDUC", 13}, {626, "V_CONVEC", 13}, {625, "L_CONVEC", 13}}},
        {"FLOD_" + num(c), false, {{57, "FLOOD", 0}, {55, "PDROP", 20}, {56, "DIAM", 0}}},
        {"TRAY_EFF", true, {{627, "EFF", 0}}}, {"PAC_HETP", true, {{58, "HETP", 0}}}};
    for (const auto& [sec, keyed, names] : groups)
      if (g.chance(50))
        for (const Named& n : names) col.properties.push_back(g.profile(sec, n, keyed ? c : 0, nt, false));
    compositions({"X", "Y"}, "TRAY_X", 100);
    std::vector<std::string> optional;
    for (const char* n : {"INT_X", "INT_Y", "B_K", "MASS_RATE", "CEFF"})
      if (g.chance(50)) optional.push_back(n);
    compositions(optional, "", 100);
    if (g.chance(50)) {
      Series both = g.profile("REAC_LRATE", {632, "REAC_LRATE", 11}, c, nt, true, 2), vapour = both;
      const auto half = static_cast<std::ptrdiff_t>(both.si.size() / 2);
      both.si.erase(both.si.begin() + half, both.si.end());
      vapour.name = "REAC_VRATE";
      vapour.si.erase(vapour.si.begin(), vapour.si.begin() + half);
      col.properties.insert(col.properties.end(), {both, vapour});
    }
  }
}

// A refinery column's profile (column c > 1: stripper c - 1).
void refinery_profiles(Generator& g, int64_t c, RandomColumn& col) {
  const std::string suffix = c == 1 ? "_M" : "_S";
  const int64_t key = c == 1 ? 0 : c - 1;
  for (int64_t k = g.between(1, 4), at = g.between(0, 14); k > 0; --k, at = (at + 1) % 15)
    col.properties.push_back(g.profile(c == 1 ? "HYD_M" : "HYDS_" + num(c - 1), kHydraulics[static_cast<size_t>(at)], 0,
                                       col.trays, false));
  for (const Named& n : std::vector<Named>{{39, "Y", 0}, {36, "X", 0}, {37, "X1", 0}, {40, "K", 0}, {41, "K1", 0}, {42, "K2", 0}}) {
    if (!g.chance(60)) continue;
    col.properties.push_back(g.profile(std::string("TRAY_") + n.name + suffix, n, key, col.trays, true));
    if (col.components == 0) col.components = static_cast<int64_t>(col.properties.back().components.size());
  }
}

// A refinery block's summary results, main-column connections ("MF_CON"
// keyed in reverse order) and stripper connections (one to three "MSCO_"s).
void refinery_results(Generator& g, RandomColumnBlock& blk) {
  static const std::vector<Named> kResults{{22, "TEMP", 22}, {23, "PRES", 20}, {33, "NSTAGE", 0}, {8001, "MOLEFLMX", 11}};
  auto pick = [&](int64_t n) {
    std::vector<Named> out;
    for (int64_t at = g.between(0, 3); n > 0; --n, at = (at + 1) % 4) out.push_back(kResults[static_cast<size_t>(at)]);
    return out;
  };
  // One data set over the keys of `column`; the truth per key.
  auto keyed = [&](const std::string& section, const std::vector<Named>& props, const std::string& column,
                   const std::vector<std::string>& keys) {
    std::vector<Value> vals;
    std::vector<std::vector<Series>> truth(std::max<size_t>(keys.size(), 1));
    std::vector<ColumnSet> sets;
    for (std::vector<Series>& t : truth) sets = {g.reals(props, t, vals)};
    if (!column.empty()) sets.push_back({{column}, {}, ""});
    for (const std::string& k : keys) sets.back().members.push_back({{k}});
    g.add(section, sets, vals);
    return truth;
  };
  std::vector<std::string> strippers, conns;
  for (size_t s = 1; s < blk.columns.size(); ++s) strippers.push_back(num(static_cast<int64_t>(s)));
  blk.columns[0].summary = keyed("INFO_M", pick(g.between(1, 3)), "", {})[0];
  const auto info = keyed("INFO_S", pick(g.between(1, 3)), "N_STRIP", strippers);
  for (size_t s = 0; s < info.size(); ++s) blk.columns[s + 1].summary = info[s];
  if (g.chance(85)) {
    for (int64_t k = g.between(1, 4); k > 0; --k) conns.push_back("CON" + num(k));
    blk.feed_connections = keyed("M-FCONNE", pick(g.between(1, 3)), "M-FCONNECT", conns);
    for (const std::vector<Series>& c : blk.feed_connections)
      blk.columns[0].connections.insert(blk.columns[0].connections.end(), c.begin(), c.end());
    if (g.chance(80)) {
      const std::vector<std::string> reversed(conns.rbegin(), conns.rend());
      const auto more = keyed("MF_CON", pick(3), "M-FCONNECT", reversed);
      for (size_t k = 0; k < more.size(); ++k) {
        std::vector<Series>& to = blk.feed_connections[more.size() - 1 - k];
        to.insert(to.end(), more[k].begin(), more[k].end());
      }
    }
  }
  blk.stripper_sets.assign(1, 0);
  for (size_t s = 1; s < blk.columns.size(); ++s) {
    const std::vector<Named> props = pick(g.between(1, 3));
    int64_t sets = g.between(1, 3);
    blk.stripper_sets.push_back(sets);
    for (; sets > 0; --sets) {
      const std::vector<Series> t = keyed("MSCO_" + num(static_cast<int64_t>(s)), props, "", {})[0];
      blk.columns[s].connections.insert(blk.columns[s].connections.end(), t.begin(), t.end());
    }
  }
}

// Summary values, tray reports and sized or rated sections of a column.
void column_extras(Generator& g, const std::string& model, int64_t c, const std::vector<std::string>& ncc,
                   RandomColumn& col) {
  const bool linked = model == "LINKEDCOL", rate = model == "KINETCOL";
  const int64_t key = linked || rate ? c : 0;
  auto pick = [&](std::vector<Named> from, int64_t n) {
    std::vector<Named> out;
    for (; n > 0 && !from.empty(); --n) {
      const auto at = from.begin() + g.between(0, static_cast<int64_t>(from.size()) - 1);
      out.push_back(*at);
      from.erase(at);
    }
    return out;
  };
  if (linked || rate) {
    std::vector<Value> vals;
    const ColumnSet props = g.reals(pick({{44, "REB-DUTY", 13}, {33, "NSTAGE", 0}, {34, "REFLUX-RATIO", 0}}, g.between(1, 3)), col.summary, vals);
    g.add("COL_INFO", {props, column_set(c)}, vals);
  }
  // A refinery column: report in the main column only, sections "_M" or "_S".
  const bool crude = model == "CRUDEUNIT";
  const std::string report = crude ? (c == 1 ? "PTRY_M" : "") : key > 0 ? "MTRY_" + num(c) : "TRAY_REP";
  const std::string suffix = crude ? (c == 1 ? "_M" : "_S") : "";
  const int64_t identity = crude ? c - 1 : key;
  for (const Named& n : report.empty() ? std::vector<Named>{} : pick({{22, "TEMP", 22}, {23, "PRES", 20}, {8002, "MOLEFRAC", 0}, {8101, "MOLEFLOW", 11}}, g.between(0, 3))) {
    Series s{n.name, 1, 'A', n.unit_type};
    if (n.property > 8000) s.component = ncc[static_cast<size_t>(g.between(0, static_cast<int64_t>(ncc.size()) - 1))];
    for (int64_t t = 1; t <= col.trays; ++t)
      if (g.chance(60) || (t == col.trays && s.trays.empty())) s.trays.push_back(t);
    std::vector<ColumnSet> sets{{{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"},
                                 {{{num(n.property), "MIXED", "LIQUID", s.component.empty() ? " " : s.component, "MOLE", " "},
                                   2, n.unit_type}}, ""}};
    if (key > 0) sets.push_back(column_set(c));
    sets.push_back(tray_set(s.trays, true));
    g.add(report, sets, g.values(s, s.trays.size(), g.code(n.unit_type)));
    col.reports.push_back(s);
  }
  if (model != "TRAYCOL" && !linked && !crude) return;
  static const std::vector<std::pair<std::string, std::vector<std::string>>> kTypes{
      {"TRAY-SIZE", {"TS_RES", "TSPR"}}, {"TRAY-RATE", {"TR_RES", "TRPR", "TRPB", "TRPC", "TRPD"}},
      {"PACK-SIZE", {"PS_RES", "PSPR"}}, {"PACK-RATE", {"PR_RES", "PRPR"}}};
  for (const auto& [type, keywords] : kTypes)
    for (int64_t number = 1; number <= 12; ++number) {
      if (!g.chance(number == 12 ? 20 : 8)) continue;
      RandomSection sec{type, number, {}, {}};
      // Results: a text, and an integer and reals now and then.
      ColumnSet props{{"PROPERTIES"}, {}, ""};
      std::vector<Value> vals;
      for (const auto& [n, kind] : std::vector<std::pair<Named, int64_t>>{
               {{57, "FLOOD", 0}, 3}, {{33, "NSTAGE", 0}, 1}, {{56, "DIAM", 0}, 2}, {{55, "PDROP", 20}, 2}}) {
        if (kind != 3 && g.chance(40)) continue;
        props.members.push_back({{num(n.property)}, kind == 3 ? 5 : kind, n.unit_type});
        Series r{n.name, kind, 'A', n.unit_type};
        if (kind == 1) r.si = {static_cast<double>(g.between(-999, 999))}, vals.push_back(Value::integer(static_cast<int64_t>(r.si[0])));
        if (kind == 3) r.text = "VALVE" + num(g.between(1, 9)), vals.push_back(Value::text(r.text));
        if (kind == 2) vals.push_back(g.values(r, 1, g.code(n.unit_type))[0]);
        sec.results.push_back(r);
      }
      g.add(keywords[0] + suffix, {props, identity_set(number, identity)}, vals);
      const int64_t first = g.between(1, col.trays), last = g.between(first, col.trays);
      const std::vector<Named> kProfile{{57, "FLOOD", 0}, {55, "PDROP", 20}, {56, "DIAM", 0}};
      for (size_t part = 1; part < keywords.size(); ++part) {
        if (part > 1 && !g.chance(50)) continue;
        for (int64_t k = g.between(1, 2), at = g.between(0, 2); k > 0; --k, at = (at + 1) % 3) {
          const Named& n = kProfile[static_cast<size_t>(at)];
          Series p{n.name, 1, static_cast<char>('A' + part - 1), n.unit_type};
          p.trays = range(first, last);
          g.add(keywords[part] + suffix, {property_set(n.property, n.unit_type), identity_set(number, identity), tray_set(p.trays, true)},
                g.values(p, p.trays.size(), g.code(n.unit_type)));
          sec.profile.push_back(p);
        }
      }
      col.sections.push_back(sec);
    }
}

}  // namespace

std::vector<RandomColumnBlock> random_column_blocks(uint64_t seed, FlowsheetWriter& w,
                                                    const std::vector<std::string>& ncc, std::set<std::string>& used) {
  Generator g(seed, w, ncc);
  std::vector<RandomColumnBlock> out;
  static const std::vector<std::string> kModels{"TRAYCOL", "LINKEDCOL", "KINETCOL", "SOLVEXT", "SCRUB"};
  for (int64_t i = g.between(0, 4); i > 0; --i) {
    RandomColumnBlock blk{kModels[static_cast<size_t>(g.between(0, 4))], "", {}, {}};
    while (!used.insert(blk.id = "COL" + num(g.between(1, 99999))).second) {}
    g.begin(blk.model, blk.id);
    int64_t ncol = 1;
    if (blk.model == "LINKEDCOL") ncol = g.chance(15) ? 12 : g.between(1, 3);
    if (blk.model == "KINETCOL") ncol = g.between(1, 2);
    for (int64_t c = 1; c <= ncol; ++c) {
      RandomColumn col;
      col.trays = g.between(1, 12);
      profiles(g, blk.model, c, (blk.model == "TRAYCOL" || blk.model == "LINKEDCOL") && g.chance(40), col);
      column_extras(g, blk.model, c, ncc, col);
      blk.columns.push_back(std::move(col));
    }
    if (blk.model == "TRAYCOL" && g.chance(50)) {
      // Reboiler results, and X and Y over the run's components.
      std::vector<Value> vals;
      const ColumnSet props = g.reals({{44, "REB-DUTY", 13}, {43, "BOILUP-RATIO", 0}, {22, "TEMP", 22}}, blk.reboiler, vals);
      g.add("TREB_RES", {props}, vals);
      if (g.chance(70)) {
        Series x{"X", 2, 'A', 0}, y{"Y", 2, 'A', 0};
        x.components = y.components = ncc;
        std::vector<Value> xy;
        for (size_t c = 0; c < ncc.size(); ++c) {
          xy.push_back(g.values(x, 1, 1)[0]);
          xy.push_back(g.values(y, 1, 1)[0]);
        }
        g.add("TREB_XXY", {{{"PROPERTIES"}, {{{"36"}, 2, 0}, {{"39"}, 2, 0}}, ""}, component_set(ncc)}, xy);
        blk.reboiler.insert(blk.reboiler.end(), {x, y});
      }
    }
    g.flush();
    out.push_back(std::move(blk));
  }
  for (int64_t i = g.between(0, 1); i > 0; --i) {
    RandomColumnBlock blk{"CRUDEUNIT", "", {}, {}};
    while (!used.insert(blk.id = "CRU" + num(g.between(1, 99999))).second) {}
    g.begin(blk.model, blk.id);
    const int64_t ncol = g.chance(20) ? 11 : g.between(3, 4);
    for (int64_t c = 1; c <= ncol; ++c) {
      RandomColumn col;
      col.trays = g.between(1, 12);
      refinery_profiles(g, c, col);
      column_extras(g, blk.model, c, ncc, col);
      blk.columns.push_back(std::move(col));
    }
    refinery_results(g, blk);
    g.flush();
    out.push_back(std::move(blk));
  }
  return out;
}

}  // namespace flowsum::testing
