#include "support/curve_records.hpp"

#include <random>
#include <sstream>

namespace flowsum::testing {

void shared_dataset(FlowsheetWriter& w, const std::string& prefix, const std::vector<std::string>& path,
                    const std::vector<ColumnSet>& sets, const std::vector<Value>& values) {
  std::string def;
  for (const ColumnSet& s : sets) {
    std::string name = s.name, key;
    for (const std::string& q : s.qualifiers) key += q + ",";
    for (const IdMember& m : s.members) {
      for (const std::string& i : m.items) key += i + ",";
      key += "*" + num(m.type) + "<" + num(m.unit_type) + ">;";
    }
    if (name.empty()) w.idset_once(name = w.layout_name(key, "", prefix), s.qualifiers, s.members);
    def += (def.empty() ? "(%" : " & %") + name;
  }
  const std::string seq = w.layout_name(def += ")", "", prefix + "L");
  w.lset_once(seq, def);
  w.builder().dset(path, seq, values);
}

void CurveWriter::curve(const std::string& model, const std::string& block, const Curve& c) {
  const bool located = c.section == "SREB_HCU" || c.section == "PA_HCURV";
  auto item = [](const std::string& s) { return s.empty() ? std::string(" ") : s; };
  ColumnSet rows{{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS"}, {}, ""};
  for (auto [p, ut] : {std::pair{131, 0}, {7001, 22}, {7002, 20}, {7003, 0}, {62, 13}})
    rows.members.push_back({{num(p), " ", " ", " ", " "}, 2, ut});
  for (const CurveProperty& p : c.further)
    rows.members.push_back(
        {{num(p.property), item(p.substream), item(p.phase), item(p.component), item(p.basis)}, 2, p.unit_type});
  std::vector<Value> vals;
  for (size_t p = 0; p < c.npoints(); ++p) {
    vals.insert(vals.end(), {Value::real(c.status[p]), Value::real(c.temp[p], 1), Value::real(c.pres[p], 1),
                             Value::real(c.vfrac[p]), Value::real(c.duty[p], 1)});
    for (const CurveProperty& f : c.further)
      vals.push_back(f.unit_type != 0 ? Value::real(f.values[p], 1) : Value::real(f.values[p]));
  }
  const std::string number = located ? c.location + " " + num(c.number) : num(c.number);
  shared_dataset(w_, "HC", {"BLOCK", model, block, c.section},
                 {rows, counted_set("NPOINT", static_cast<int64_t>(c.npoints())), {{"HCURV_NO"}, {{{number}}}, ""}},
                 vals);
}

Curve sample_curve(const std::string& section, const std::string& type, int64_t number, size_t np, size_t nfurther,
                   uint64_t seed) {
  std::mt19937_64 g(seed);
  auto pick = [&](int lo, int hi) { return static_cast<double>(std::uniform_int_distribution<int>(lo, hi)(g)); };
  Curve c{section, type, "", number, {}, {}, {}, {}, {}, {}};
  for (size_t p = 0; p < np; ++p) {
    c.status.push_back(pick(0, 2));
    c.temp.push_back(300.0 + pick(0, 4000) / 10.0);
    c.pres.push_back(pick(1, 500) * 1000.0);
    c.vfrac.push_back(pick(0, 100) / 100.0);
    c.duty.push_back(pick(-9999, 9999) * 10.0);
  }
  const std::vector<CurveProperty> kinds{{prop::kMassFlowTotal, "MIXED", "LIQUID", "", "", unit_type::kMassFlow, {}},
                                         {prop::kMoleFlowTotal, "MIXED", "VAPOR", "", "", unit_type::kMoleFlow, {}},
                                         {prop::kMoleFrac, "MIXED", "LIQUID", "H2O", "MOLE", 0, {}},
                                         {prop::kQcalc, "MIXED", "", "", "MASS", unit_type::kEnthalpyFlow, {}},
                                         {prop::kTemp, "CISOLID", "", "", "", unit_type::kTemperature, {}}};
  for (size_t k = 0; k < nfurther; ++k) {
    CurveProperty p = kinds[k % kinds.size()];
    if (k >= kinds.size()) p.component = "C" + num(static_cast<int64_t>(k));
    for (size_t i = 0; i < np; ++i) p.values.push_back(pick(1, 99999) / 100.0);
    c.further.push_back(p);
  }
  return c;
}

std::vector<CurveBlock> random_curve_blocks(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids) {
  std::mt19937_64 g(seed ^ 0x6375727665ULL);
  auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); };
  const std::vector<std::pair<std::string, std::string>> models{
      {"VLDRUM", "HCURVE:HCURVE"},  {"TEMPCHG", "HCURVE:HCURVE"},   {"TWOSIDE", "HOT_HCUR:HOT COLD_HCU:COLD"},
      {"MULTSIDE", "HCURVE:HCURVE"}, {"KINETCOL", "REB_HCUR:REBOILER COND_HCU:CONDENSER"},
      {"TRAYCOL", "REB_HCUR:REBOILER COND_HCU:CONDENSER ICH_HCUR:ICSTREAM"}, {"LINKEDCOL", "ICH_HCUR:ICSTREAM"},
      {"CRUDEUNIT", "REB_HCIM:REBOILER COND_HCU:CONDENSER SREB_HCU:STRIPPERREBOILER PA_HCURV:PUMPAROUND"}};
  CurveWriter cw(w);
  std::vector<CurveBlock> out;
  for (int i = below(4); i > 0; --i) {
    const auto& [model, sections] = models[static_cast<size_t>(below(static_cast<int>(models.size())))];
    CurveBlock b{model, "", {}, model == "CRUDEUNIT"};
    do b.id = "HX" + num(below(100000));
    while (!used_ids.insert(b.id).second);
    std::istringstream in(sections);
    for (std::string s; in >> s;) {
      const std::string section = s.substr(0, s.find(':')), type = s.substr(s.find(':') + 1);
      std::set<std::pair<std::string, int64_t>> taken;
      // The first section has a curve at least: the block exists only through its curves.
      for (int k = below(3) + (b.curves.empty() ? 1 : 0); k > 0; --k) {
        int64_t number = 1 + below(12);
        std::string location = b.refinery ? "MAIN" : "";
        if (section == "SREB_HCU" || section == "PA_HCURV") {
          // Two locations of few numbers: curves of one number at both.
          location = section.substr(0, 2) + num(1 + below(2));
          number = 1 + below(2);
        }
        if (!taken.insert({location, number}).second) continue;
        Curve c = sample_curve(section, type, number, static_cast<size_t>(1 + below(6)), static_cast<size_t>(below(7)), g());
        c.location = location;
        cw.curve(b.model, b.id, c);
        b.curves.push_back(std::move(c));
      }
    }
    // Intermediate-stream identifiers for the first curve numbers (integers for LINKEDCOL).
    const bool linked = model == "LINKEDCOL";
    std::vector<Value> ids;
    for (int k = sections.find("ICSTREAM") == std::string::npos ? 0 : below(13); k > 0; --k) {
      b.stream_ids.push_back(linked ? num(below(1000)) : "IC-" + num(below(100000)));
      ids.push_back(linked ? Value::integer(std::stoll(b.stream_ids.back())) : Value::text(b.stream_ids.back()));
    }
    if (!ids.empty())
      shared_dataset(w, "HC", {"BLOCK", model, b.id, "ICH_HCUI"},
                     {{{"ICSTRM"}, {{{"#" + num(static_cast<int64_t>(ids.size()))}, linked ? 1 : 5, 0}}, ""}}, ids);
    out.push_back(std::move(b));
  }
  return out;
}

}  // namespace flowsum::testing
