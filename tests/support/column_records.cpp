#include "support/column_records.hpp"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <tuple>

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {

namespace {
std::string num(int64_t n) { return std::to_string(n); }
}  // namespace

std::string ColumnWriter::property_set(int64_t property, int64_t unit_type) {
  const std::string name = "P" + num(property) + "U" + num(unit_type);
  w_.idset_once(name, {"PROPERTIES"}, {{{num(property)}, 2, unit_type}});
  return name;
}

std::string ColumnWriter::column_set(int64_t column) {
  const std::string name = "NC" + num(column);
  w_.idset_once(name, {"N_COL"}, {{{num(column)}}});
  return name;
}

void ColumnWriter::profile(const std::string& model, const std::string& block, const std::string& section,
                           const ColumnProfileSet& p) {
  std::string def = "(%" + property_set(p.property, p.unit_type);
  if (!p.components.empty() || p.all_components) {
    std::string comps = "ID_NCC";
    if (!p.all_components) {
      comps = fresh("CM");
      std::vector<IdMember> members;
      for (const std::string& c : p.components) members.push_back({{c}});
      w_.idset_once(comps, {"COMPONENTS"}, members);
    }
    def += " & %" + comps;
  }
  if (p.column > 0) def += " & %" + column_set(p.column);
  const std::string trays = "TR" + num(p.trays);
  w_.idset_once(trays, {"TRAY_NO"}, {{{"#" + num(p.trays)}}});
  def += " & %" + trays;
  if (p.halves) {
    w_.idset_once("HALVES", {"PHASE"}, {{{"LIQUID"}}, {{"VAPOR"}}});
    def += " & %HALVES";
  }
  const std::string set = fresh("CL");
  w_.lset_once(set, def + ")");
  std::vector<Value> vals;
  for (double x : p.values) vals.push_back(p.unit_type != 0 ? Value::real(x, p.unit_code) : Value::real(x));
  w_.builder().dset({"BLOCK", model, block, section}, set, vals);
}

void ColumnWriter::column_info(const std::string& model, const std::string& block, int64_t column,
                               const std::vector<ColumnSummaryValue>& values) {
  const std::string props = fresh("CI");
  std::vector<IdMember> members;
  for (const ColumnSummaryValue& v : values) members.push_back({{num(v.property)}, 2, v.unit_type});
  w_.idset_once(props, {"PROPERTIES"}, members);
  w_.lset_once(props, "(%" + props + " & %" + column_set(column) + ")");
  std::vector<Value> vals;
  for (const ColumnSummaryValue& v : values)
    vals.push_back(v.unit_type != 0 ? Value::real(v.value, v.unit_code) : Value::real(v.value));
  w_.builder().dset({"BLOCK", model, block, "COL_INFO"}, props, vals);
}

}  // namespace flowsum::testing

namespace flowsum::testing {

void ColumnWriter::tray_report(const std::string& model, const std::string& block, const std::string& section,
                               const TrayReportSet& r) {
  auto item = [](const std::string& s) { return s.empty() ? std::string(" ") : s; };
  const std::string quals = fresh("RQ"), trays = fresh("RT");
  w_.idset_once(quals, {"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"},
                {{{num(r.property), item(r.substream), item(r.phase), item(r.component), item(r.basis),
                   item(r.units)},
                  2,
                  r.unit_type}});
  std::vector<IdMember> members;
  for (int64_t t : r.trays) members.push_back({{num(t)}});
  w_.idset_once(trays, {"TRAY_NO"}, members);
  std::string def = "(%" + quals;
  if (r.column > 0) def += " & %" + column_set(r.column);
  w_.lset_once(quals, def + " & %" + trays + ")");
  std::vector<Value> vals;
  for (double x : r.values) vals.push_back(r.unit_type != 0 ? Value::real(x, r.unit_code) : Value::real(x));
  w_.builder().dset({"BLOCK", model, block, section}, quals, vals);
}

namespace {
std::string identity_text(int64_t section, int64_t column) {
  char text[16];
  if (column > 0) std::snprintf(text, sizeof text, "%4d%4d", static_cast<int>(section), static_cast<int>(column));
  else std::snprintf(text, sizeof text, "%4d", static_cast<int>(section));
  return text;
}
}  // namespace

void ColumnWriter::section_results(const std::string& model, const std::string& block, const std::string& keyword,
                                   int64_t section, int64_t column, const std::vector<SectionResultValue>& values) {
  const std::string ident = fresh("SI"), props = fresh("SR");
  w_.idset_once(ident, {"NPOINTS"}, {{{identity_text(section, column)}}});
  std::vector<IdMember> members;
  for (const SectionResultValue& v : values) members.push_back({{num(v.property)}, v.type, v.unit_type});
  w_.idset_once(props, {"PROPERTIES"}, members);
  w_.lset_once(props, "(%" + props + " & %" + ident + ")");
  std::vector<Value> vals;
  for (const SectionResultValue& v : values) {
    if (v.type == 1) vals.push_back(Value::integer(v.integer));
    else if (v.type == 2) vals.push_back(v.unit_type ? Value::real(v.real, v.unit_code) : Value::real(v.real));
    else vals.push_back(Value::text(v.text));
  }
  w_.builder().dset({"BLOCK", model, block, keyword}, props, vals);
}

void ColumnWriter::section_profile(const std::string& model, const std::string& block, const std::string& keyword,
                                   int64_t section, int64_t column, int64_t property,
                                   const std::vector<int64_t>& trays, int64_t unit_type, int64_t unit_code,
                                   const std::vector<double>& values) {
  const std::string ident = fresh("SI"), tset = fresh("ST"), set = fresh("SP");
  w_.idset_once(ident, {"NPOINTS"}, {{{identity_text(section, column)}}});
  std::vector<IdMember> members;
  for (int64_t t : trays) members.push_back({{num(t)}});
  w_.idset_once(tset, {"TRAY_NO"}, members);
  w_.lset_once(set, "(%" + property_set(property, unit_type) + " & %" + ident + " & %" + tset + ")");
  std::vector<Value> vals;
  for (double x : values) vals.push_back(unit_type ? Value::real(x, unit_code) : Value::real(x));
  w_.builder().dset({"BLOCK", model, block, keyword}, set, vals);
}

void ColumnWriter::reboiler_compositions(const std::string& block, const std::vector<int64_t>& properties,
                                         const std::vector<std::string>& components,
                                         const std::vector<double>& values) {
  const std::string props = fresh("XP"), comps = fresh("XC");
  std::vector<IdMember> pm, cm;
  for (int64_t p : properties) pm.push_back({{num(p)}, 2, 0});
  for (const std::string& c : components) cm.push_back({{c}});
  w_.idset_once(props, {"PROPERTIES"}, pm);
  w_.idset_once(comps, {"COMPONENTS"}, cm);
  w_.lset_once(props, "(%" + props + " & %" + comps + ")");
  std::vector<Value> vals;
  for (double x : values) vals.push_back(Value::real(x));
  w_.builder().dset({"BLOCK", "TRAYCOL", block, "TREB_XXY"}, props, vals);
}

}  // namespace flowsum::testing

// ---- Random column blocks ------------------------------------------------------

namespace flowsum::testing {
namespace {

class ColumnRng {
 public:
  explicit ColumnRng(uint64_t seed) : e_(seed * 0xD1B54A32D192ED03ull + 7) {}
  int64_t between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(e_() % static_cast<uint64_t>(hi - lo + 1)); }
  bool chance(int percent) { return static_cast<int>(e_() % 100) < percent; }
  double real() {
    const double x = static_cast<double>(between(1, 999999)) * std::pow(10.0, static_cast<double>(between(-6, 6)));
    return real_as_read(chance(20) ? -x : x);
  }

 private:
  std::mt19937_64 e_;
};

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
// Composition names, their property numbers and sections.
const std::map<std::string, std::pair<int64_t, std::string>> kCompositions{
    {"X", {36, "TRAY_X"}},   {"X1", {37, "TRAY_X1"}}, {"X2", {38, "TRAY_X2"}}, {"Y", {39, "TRAY_Y"}},
    {"B_K", {40, "TRAYB_K"}}, {"K1", {41, "TRAYK1"}},  {"K2", {42, "TRAYK2"}},  {"KLL", {96, "TRAYKLL"}}};

struct BlockPlan {
  std::string model, id;
  // Data sets by section, sections in order of first use: siblings of one
  // section are written one after another.
  std::vector<std::pair<std::string, std::vector<std::function<void()>>>> sections;
  void add(const std::string& section, std::function<void()> write) {
    for (auto& [name, writes] : sections)
      if (name == section) {
        writes.push_back(std::move(write));
        return;
      }
    sections.push_back({section, {std::move(write)}});
  }
};

double si_of(int64_t unit_type, int64_t code, double x) {
  for (const KnownUnit& u : known_units())
    if (u.unit_type == unit_type && u.code == code) return x * u.factor + u.offset;
  return x;
}

// A unit code of the type other than gauge pressure.
int64_t unit_code_of(ColumnRng& r, int64_t unit_type) {
  std::vector<int64_t> codes;
  for (const KnownUnit& u : known_units())
    if (u.unit_type == unit_type && !(unit_type == 20 && u.code == 7)) codes.push_back(u.code);
  return codes.empty() ? 1 : codes[static_cast<size_t>(r.between(0, static_cast<int64_t>(codes.size()) - 1))];
}

class ColumnGenerator {
 public:
  ColumnGenerator(ColumnRng& r, ColumnWriter& cw, const std::vector<std::string>& ncc)
      : r_(r), cw_(cw), ncc_(ncc) {}

  // A per-tray data set of the property in the section.
  RandomColumnProperty tray(BlockPlan& plan, const std::string& section, const Named& n, int64_t column,
                            int64_t trays) {
    ColumnProfileSet p;
    p.property = n.property;
    p.column = column;
    p.trays = trays;
    p.unit_type = n.unit_type;
    p.unit_code = n.unit_type != 0 ? unit_code_of(r_, n.unit_type) : 1;
    RandomColumnProperty t{n.name, 1, true, n.unit_type, {}, {}};
    for (int64_t k = 0; k < trays; ++k) {
      p.values.push_back(r_.real());
      t.si.push_back(n.unit_type != 0 ? si_of(n.unit_type, p.unit_code, p.values.back()) : p.values.back());
    }
    write(plan, section, p);
    return t;
  }

  // A per-component data set; components all of the run's or a shuffled
  // choice of them.
  RandomColumnProperty composition(BlockPlan& plan, const std::string& section, const std::string& name,
                                   int64_t property, int64_t unit_type, int64_t column, int64_t trays,
                                   bool halves = false) {
    ColumnProfileSet p;
    p.property = property;
    p.column = column;
    p.trays = trays;
    p.unit_type = unit_type;
    p.unit_code = unit_type != 0 ? unit_code_of(r_, unit_type) : 1;
    p.all_components = r_.chance(50);
    std::vector<std::string> comps = ncc_;
    if (!p.all_components) {
      for (size_t i = comps.size(); i > 1; --i)
        std::swap(comps[i - 1], comps[static_cast<size_t>(r_.between(0, static_cast<int64_t>(i) - 1))]);
      comps.resize(static_cast<size_t>(r_.between(1, static_cast<int64_t>(comps.size()))));
      p.components = comps;
    }
    p.halves = halves;
    RandomColumnProperty t{name, 2, true, unit_type, comps, {}};
    const size_t n = static_cast<size_t>(trays) * comps.size() * (halves ? 2 : 1);
    for (size_t k = 0; k < n; ++k) {
      p.values.push_back(r_.real());
      t.si.push_back(unit_type != 0 ? si_of(unit_type, p.unit_code, p.values.back()) : p.values.back());
    }
    write(plan, section, p);
    return t;
  }

 private:
  void write(BlockPlan& plan, const std::string& section, const ColumnProfileSet& p) {
    ColumnWriter& cw = cw_;
    const std::string model = plan.model, id = plan.id;
    plan.add(section, [&cw, model, id, section, p] { cw.profile(model, id, section, p); });
  }
  ColumnRng& r_;
  ColumnWriter& cw_;
  const std::vector<std::string>& ncc_;
};

std::string block_id(ColumnRng& r, std::set<std::string>& used) {
  for (;;) {
    std::string id = "COL" + std::to_string(r.between(1, 99999));
    if (used.insert(id).second) return id;
  }
}

}  // namespace

std::vector<RandomColumnBlock> random_column_blocks(uint64_t seed, FlowsheetWriter& w,
                                                    const std::vector<std::string>& ncc,
                                                    std::set<std::string>& used) {
  ColumnRng r(seed);
  ColumnWriter cw(w);
  ColumnGenerator g(r, cw, ncc);
  std::vector<RandomColumnBlock> out;
  static const std::vector<std::string> kModels{"TRAYCOL", "LINKEDCOL", "KINETCOL", "SOLVEXT", "SCRUB"};
  for (int64_t i = r.between(0, 4); i > 0; --i) {
    BlockPlan plan;
    plan.model = kModels[static_cast<size_t>(r.between(0, 4))];
    plan.id = block_id(r, used);
    RandomColumnBlock truth{plan.model, plan.id, {}};
    const bool linked = plan.model == "LINKEDCOL", rate = plan.model == "KINETCOL";
    int64_t ncol = 1;
    if (linked) ncol = r.chance(15) ? 12 : r.between(1, 3);
    if (rate) ncol = r.between(1, 2);
    for (int64_t c = 1; c <= ncol; ++c) {
      RandomColumn col;
      col.trays = r.between(1, 12);
      const int64_t key = linked || rate ? c : 0;
      const bool three = (plan.model == "TRAYCOL" || linked) && r.chance(40);
      std::string section = "LKCL_PRO";
      if (plan.model == "TRAYCOL") section = three ? "TRC_PRO3" : "TRC_PRO2";
      if (linked) section = (three ? "LK3P_" : "LKPR_") + std::to_string(c);
      if (rate) section = "KCPR_" + std::to_string(c);
      // One to four per-tray properties, each once.
      std::vector<Named> props = kTrayProperties;
      for (int64_t k = r.between(1, 4); k > 0; --k) {
        const size_t at = static_cast<size_t>(r.between(0, static_cast<int64_t>(props.size()) - 1));
        col.properties.push_back(g.tray(plan, section, props[at], key, col.trays));
        props.erase(props.begin() + static_cast<std::ptrdiff_t>(at));
      }
      auto hydraulics = [&](const std::string& sec, size_t n) {
        for (size_t k = 0; k < n; ++k) col.properties.push_back(g.tray(plan, sec, kHydraulics[k], key, col.trays));
      };
      // Composition names in listing order; each data set is written now
      // and then left out.
      auto compositions = [&](const std::vector<std::string>& names, const std::string& counted) {
        std::map<std::string, RandomColumnProperty> written;
        for (const std::string& n : names) {
          if (written.count(n) != 0) {
            col.properties.push_back(written[n]);
            continue;
          }
          const auto& [number, sec] = kCompositions.at(n);
          RandomColumnProperty p{n, 2, false, 0, {}, {}};
          if (r.chance(80)) p = g.composition(plan, sec, n, number, 0, key, col.trays);
          written[n] = p;
          col.properties.push_back(p);
          if (sec == counted && p.written) col.components = static_cast<int64_t>(p.components.size());
        }
      };
      if (plan.model == "TRAYCOL") {
        const int64_t hyd = r.between(0, 2);
        if (hyd > 0) hydraulics("TRAY_HYD", hyd == 1 ? 11 : 15);
        if (three) compositions({"X1", "X2", "Y", "K1", "K2", "KLL", "X"}, "TRAY_X1");
        else compositions({"X", "Y", "B_K"}, "TRAY_X");
      } else if (plan.model == "SOLVEXT") {
        compositions({"X1", "X2", "KLL"}, "TRAY_X1");
      } else if (plan.model == "SCRUB") {
        compositions({"X", "Y", "B_K"}, "TRAY_X");
      } else if (linked) {
        if (three) compositions({"X", "Y", "X1", "K1", "K2", "KLL"}, "TRAY_X");
        else compositions({"X", "Y", "B_K"}, "TRAY_X");
        if (r.chance(50)) hydraulics("HYD_" + std::to_string(c), 11);
      } else {
        const std::string n = std::to_string(c);
        if (r.chance(50)) col.properties.push_back(g.tray(plan, "INT_TEMP", {621, "INT_TEMP", 22}, c, col.trays));
        if (r.chance(50))
          for (const Named& h : std::vector<Named>{{622, "HEAT_RATE", 13}, {623, "L_CONDUC", 13}, {624, "V_CONDUC", 13},
                                                   {626, "V_CONVEC", 13}, {625, "L_CONVEC", 13}})
            col.properties.push_back(g.tray(plan, "HEAT_" + n, h, 0, col.trays));
        if (r.chance(50))
          for (const Named& h : std::vector<Named>{{57, "FLOOD", 0}, {55, "PDROP", 20}, {56, "DIAM", 0}})
            col.properties.push_back(g.tray(plan, "FLOD_" + n, h, 0, col.trays));
        if (r.chance(50)) col.properties.push_back(g.tray(plan, "TRAY_EFF", {627, "EFF", 0}, c, col.trays));
        if (r.chance(50)) col.properties.push_back(g.tray(plan, "PAC_HETP", {58, "HETP", 0}, c, col.trays));
        col.properties.push_back(g.composition(plan, "TRAY_X", "X", 36, 0, c, col.trays));
        col.components = static_cast<int64_t>(col.properties.back().components.size());
        col.properties.push_back(g.composition(plan, "TRAY_Y", "Y", 39, 0, c, col.trays));
        for (const auto& [name, sec, number, ut] :
             std::vector<std::tuple<std::string, std::string, int64_t, int64_t>>{{"INT_X", "TRAY_I_X", 628, 0},
                                                                                {"INT_Y", "TRAY_I_Y", 629, 0},
                                                                                {"B_K", "TRAYB_K", 40, 0},
                                                                                {"MASS_RATE", "MASS_RAT", 630, 11},
                                                                                {"CEFF", "COMP_EFF", 631, 0}})
          if (r.chance(50)) col.properties.push_back(g.composition(plan, sec, name, number, ut, c, col.trays));
        if (r.chance(50)) {
          RandomColumnProperty both = g.composition(plan, "REAC_LRATE", "REAC_LRATE", 632, 11, c, col.trays, true);
          RandomColumnProperty vapour = both;
          const auto half = static_cast<std::ptrdiff_t>(both.si.size() / 2);
          both.si.erase(both.si.begin() + half, both.si.end());
          vapour.name = "REAC_VRATE";
          vapour.si.erase(vapour.si.begin(), vapour.si.begin() + half);
          col.properties.push_back(both);
          col.properties.push_back(vapour);
        }
      }
      if (linked || rate) {
        std::vector<ColumnSummaryValue> summary;
        for (const Named& s : std::vector<Named>{{44, "REB-DUTY", 13}, {33, "NSTAGE", 0}, {34, "REFLUX-RATIO", 0}}) {
          if (!r.chance(70) && !summary.empty()) continue;
          ColumnSummaryValue v{s.property, r.real(), s.unit_type, s.unit_type ? unit_code_of(r, s.unit_type) : 1};
          summary.push_back(v);
          col.summary_names.push_back(s.name);
          col.summary.push_back({v.property, s.unit_type ? si_of(s.unit_type, v.unit_code, v.value) : v.value,
                                 s.unit_type, 1});
        }
        const std::string model = plan.model, id = plan.id;
        plan.add("COL_INFO", [&cw, model, id, c, summary] { cw.column_info(model, id, c, summary); });
      }
      // Sized and rated sections, numbered 1 to 12: results, and a profile
      // of one or two properties in each of its parts (parts B to D of a
      // rated tray section now and then).
      if (plan.model == "TRAYCOL" || linked) {
        static const std::vector<std::pair<std::string, std::vector<std::string>>> kTypes{
            {"TRAY-SIZE", {"TS_RES", "TSPR"}},
            {"TRAY-RATE", {"TR_RES", "TRPR", "TRPB", "TRPC", "TRPD"}},
            {"PACK-SIZE", {"PS_RES", "PSPR"}},
            {"PACK-RATE", {"PR_RES", "PRPR"}}};
        static const std::vector<std::pair<Named, int64_t>> kResults{
            {{56, "DIAM", 0}, 2}, {{33, "NSTAGE", 0}, 1}, {{55, "PDROP", 20}, 2}, {{57, "FLOOD", 0}, 5}};
        static const std::vector<Named> kProfile{{57, "FLOOD", 0}, {55, "PDROP", 20}, {56, "DIAM", 0}};
        for (const auto& [type, keywords] : kTypes) {
          for (int64_t number = 1; number <= 12; ++number) {
            if (!r.chance(number == 12 ? 20 : 8)) continue;
            RandomSection sec{type, number, {}, {}, {}};
            std::vector<SectionResultValue> written;
            for (const auto& [n, vtype] : kResults) {
              if (!r.chance(60) && !(written.empty() && n.property == 57)) continue;
              written.push_back({n.property, vtype, r.between(-999, 999), r.real(),
                                 "VALVE" + std::to_string(r.between(1, 9)), n.unit_type,
                                 n.unit_type ? unit_code_of(r, n.unit_type) : 1});
              sec.names.push_back(n.name);
              sec.results.push_back(written.back());
              if (n.unit_type) sec.results.back().real = si_of(n.unit_type, written.back().unit_code, written.back().real);
            }
            const std::string model = plan.model, id = plan.id;
            const int64_t column = key;
            plan.add(keywords[0], [&cw, model, id, kw = keywords[0], number, column, written] {
              cw.section_results(model, id, kw, number, column, written);
            });
            const int64_t first = r.between(1, col.trays), last = r.between(first, col.trays);
            for (size_t part = 1; part < keywords.size(); ++part) {
              if (part > 1 && !r.chance(50)) continue;
              for (int64_t k = r.between(1, 2), at = r.between(0, 2); k > 0; --k, at = (at + 1) % 3) {
                const Named& n = kProfile[static_cast<size_t>(at)];
                const int64_t code = n.unit_type ? unit_code_of(r, n.unit_type) : 1;
                RandomSectionProperty p{n.name, static_cast<char>('A' + part - 1), n.unit_type, {}, {}};
                std::vector<double> vals;
                for (int64_t t = first; t <= last; ++t) {
                  vals.push_back(r.real());
                  p.trays.push_back(t);
                  p.si.push_back(n.unit_type ? si_of(n.unit_type, code, vals.back()) : vals.back());
                }
                sec.profile.push_back(p);
                plan.add(keywords[part], [&cw, model, id, kw = keywords[part], number, column, n, trays = p.trays,
                                          code, vals] {
                  cw.section_profile(model, id, kw, number, column, n.property, trays, n.unit_type, code, vals);
                });
              }
            }
            col.sections.push_back(sec);
          }
        }
      }
      // Tray reports: distinct properties on random sets of trays.
      std::vector<Named> reported{{22, "TEMP", 22}, {23, "PRES", 20}, {8002, "MOLEFRAC", 0}, {8101, "MOLEFLOW", 11}};
      for (int64_t k = r.between(0, 3); k > 0; --k) {
        const size_t at = static_cast<size_t>(r.between(0, static_cast<int64_t>(reported.size()) - 1));
        const Named n = reported[at];
        reported.erase(reported.begin() + static_cast<std::ptrdiff_t>(at));
        TrayReportSet set;
        set.property = n.property;
        set.column = key;
        set.unit_type = n.unit_type;
        set.unit_code = n.unit_type ? unit_code_of(r, n.unit_type) : 1;
        if (n.property > 8000) set.component = ncc[static_cast<size_t>(r.between(0, static_cast<int64_t>(ncc.size()) - 1))];
        RandomTrayReport t{n.name, set.substream, set.phase, set.component, set.basis, {}, n.unit_type, {}};
        for (int64_t tray = 1; tray <= col.trays; ++tray) {
          if (!r.chance(60) && !(tray == col.trays && set.trays.empty())) continue;
          set.trays.push_back(tray);
          set.values.push_back(r.real());
          t.trays.push_back(tray);
          t.si.push_back(n.unit_type ? si_of(n.unit_type, set.unit_code, set.values.back()) : set.values.back());
        }
        col.reports.push_back(t);
        const std::string model = plan.model, id = plan.id,
                          section = linked || rate ? "MTRY_" + std::to_string(c) : "TRAY_REP";
        plan.add(section, [&cw, model, id, section, set] { cw.tray_report(model, id, section, set); });
      }
      truth.columns.push_back(std::move(col));
    }
    if (plan.model == "TRAYCOL" && r.chance(50)) {
      truth.has_reboiler = true;
      RandomReboiler& rb = truth.reboiler;
      std::vector<BlockResult> results;
      for (const Named& n : std::vector<Named>{{44, "REB-DUTY", 13}, {43, "BOILUP-RATIO", 0}, {22, "TEMP", 22}}) {
        if (!r.chance(70) && !results.empty()) continue;
        const int64_t code = n.unit_type ? unit_code_of(r, n.unit_type) : 1;
        const double x = r.real();
        results.push_back(BlockResult::real(n.property, x, n.unit_type, {}, code));
        rb.names.push_back(n.name);
        rb.quantities.push_back(n.unit_type ? known_type_name(n.unit_type) : "");
        rb.unit_types.push_back(n.unit_type);
        rb.si.push_back(n.unit_type ? si_of(n.unit_type, code, x) : x);
      }
      w.block_results(plan.model, plan.id, {}, results, "", "TREB_RES");
      if (r.chance(70)) {
        std::vector<int64_t> props{36, 39};
        rb.composition_names = {"X", "Y"};
        rb.components = ncc;
        std::vector<double> written(props.size() * ncc.size());
        rb.compositions.resize(written.size());
        for (size_t c = 0; c < ncc.size(); ++c)
          for (size_t p = 0; p < props.size(); ++p) {
            written[c * props.size() + p] = r.real();
            rb.compositions[c + ncc.size() * p] = written[c * props.size() + p];
          }
        cw.reboiler_compositions(plan.id, props, ncc, written);
      }
    }
    for (auto& [section, writes] : plan.sections)
      for (auto& write : writes) write();
    out.push_back(std::move(truth));
  }
  return out;
}

}  // namespace flowsum::testing
