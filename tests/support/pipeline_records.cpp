#include "support/pipeline_records.hpp"

#include <cmath>

namespace flowsum::testing {

void PipelineWriter::pipeline(const PipelineRecord& p) {
  const auto value = [](const PipeSeries& s, size_t j) {
    return s.type == 1 ? Value::integer(static_cast<int64_t>(s.reals[j])) : s.type != 2 ? Value::text(s.texts[j])
           : s.unit_type ? Value::real(s.reals[j], 1) : Value::real(s.reals[j]);
  };
  const auto write = [&](const std::string& section, const std::vector<ColumnSet>& sets, const std::vector<Value>& v) {
    shared_dataset(w_, "PQ", {"BLOCK", p.model, p.id, section}, sets, v);
  };
  const auto property = [](const PipeSeries& s) {
    return ColumnSet{{"PROPERTIES"}, {{{num(s.property)}, s.type, s.type == 2 ? s.unit_type : 0}}, ""};
  };
  for (const auto& [section, entries] : {std::pair{"PIP_IN", &p.inlet}, std::pair{"PIP_OUT", &p.outlet}}) {
    ColumnSet props{{"PROPERTIES"}, {}, ""};
    std::vector<Value> v;
    for (const PipeSeries& e : *entries) props.members.push_back(property(e).members[0]), v.push_back(value(e, 0));
    if (!v.empty()) write(section, {props}, v);
  }
  ColumnSet components{{"COMPONENTS"}, {}, p.components.empty() ? "ID_NCC" : ""};
  for (const std::string& c : p.components) components.members.push_back({{c}});
  const std::vector<PipeSeries> length(!p.length.reals.empty(), p.length);
  for (const auto& [section, list] : {std::pair{"PIP_IN2", &p.comp_in}, {"PIP_OU2", &p.comp_out}, {"PIP_DAT", &p.segments},
                                      {"PIP_DES", &p.descriptions}, {"FLU_PROP", &p.fluid}, {"PIP_PROF", &p.profile},
                                      {"PIP_LEN", &length}, {"TUBE_PRP", &p.tube}})
    for (const PipeSeries& s : *list) {
      ColumnSet props = property(s);
      if (list == &p.tube)
        props = {{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"},
                 {{{num(s.property), s.qualifiers[0], s.qualifiers[1], s.qualifiers[2], s.qualifiers[3], " "}, 2, s.unit_type}}, ""};
      std::vector<Value> v;
      for (size_t j = 0; j < s.size(); ++j) v.push_back(value(s, j));
      write(section, {props, list == &p.comp_in || list == &p.comp_out ? components
                                                                     : counted_set("NPOINTS", static_cast<int64_t>(s.size()))}, v);
    }
}

std::vector<PipelineRecord> random_pipelines(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                             std::set<std::string>& used) {
  Draws d(seed * 0x9E3779B97F4A7C15ull + 21);
  const auto real = [&] {
    return real_as_read(static_cast<double>(d.between(-999999, 999999)) * std::pow(10.0, static_cast<double>(d.between(-4, 4))));
  };
  // Up to four distinct properties of a section at n points: (number, unit
  // type); where texts may be, 874 is a text and the others now and then
  // integers.
  const auto series = [&](size_t n, bool texts, std::vector<PipeSeries>& out) {
    std::vector<std::pair<int64_t, int64_t>> left{{22, unit_type::kTemperature}, {23, unit_type::kPressure}, {24, 0},
                                                  {56, 0}, {57, 0}, {60, 0}, {66, 0}, {874, 0}};
    for (int64_t k = d.between(0, 4); k > 0; --k) {
      const auto pick = left.begin() + static_cast<std::ptrdiff_t>(d.below(left.size()));
      PipeSeries s{pick->first, 2, pick->second};
      left.erase(pick);
      if (s.property == 874 && !texts) continue;
      if (s.property == 874) s.type = d.between(5, 6);
      else if (texts && s.unit_type == 0 && d.between(0, 3) == 0) s.type = 1;
      for (size_t j = 0; j < n; ++j)
        if (s.type <= 2) s.reals.push_back(s.type == 1 ? static_cast<double>(d.between(-99999, 99999)) : real());
        else s.texts.push_back(s.type == 5 ? "T" + num(d.between(0, 999999)) : "LONG TEXT " + num(d.between(0, 1 << 30)));
      out.push_back(std::move(s));
    }
  };
  std::vector<PipelineRecord> out;
  for (int64_t i = d.between(0, 2); i > 0; --i) {
    PipelineRecord& p = out.emplace_back();
    // A model that begins like the pipeline's, or that it begins with (the
    // block table keeps 8 characters: a longer one is not told apart there).
    if (d.between(0, 9) == 0) p.model = d.between(0, 1) ? "DUCTWORK" : "DUCTLIN";
    while (!used.insert(p.id = "PIPE" + num(d.between(1, 99999))).second) {}
    series(1, true, p.inlet);
    series(1, true, p.outlet);
    if (!ncc.empty() && d.between(0, 1)) {
      for (const std::string& c : ncc)
        if (d.between(0, 2)) p.components.push_back(c);
      if (d.between(0, 2) == 0) p.components.clear();
      series(p.components.empty() ? ncc.size() : p.components.size(), false, p.comp_in);
      p.comp_out = p.comp_in;
      for (PipeSeries& s : p.comp_out)
        for (double& x : s.reals) x = real();
    }
    const size_t nseg = static_cast<size_t>(d.between(1, 8)), npt = static_cast<size_t>(d.between(2, 12));
    series(nseg, true, p.segments);
    series(nseg, true, p.descriptions);
    series(1, false, p.fluid);
    series(npt, false, p.profile);
    p.length.property = 59;  // its positions, when there is a profile
    for (size_t j = 0; !p.profile.empty() && j < npt; ++j) p.length.reals.push_back(real());
    series(npt, false, p.tube);
    for (PipeSeries& s : p.tube)
      s.qualifiers = {"MIXED", d.between(0, 1) ? "TOTAL" : "LIQUID", ncc.empty() || d.between(0, 1) ? " " : ncc[0],
                      d.between(0, 1) ? "MOLE" : "MASS"};
    PipelineWriter(w).pipeline(p);
  }
  return out;
}

}  // namespace flowsum::testing
