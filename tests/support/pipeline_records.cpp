#include "support/pipeline_records.hpp"

#include <cmath>
#include <random>

namespace flowsum::testing {
namespace {

std::vector<Value> values_of(const PipeSeries& s) {
  std::vector<Value> v;
  for (size_t j = 0; j < s.size(); ++j) {
    if (s.type == 1) v.push_back(Value::integer(static_cast<int64_t>(s.reals[j])));
    else if (s.type != 2) v.push_back(Value::text(s.texts[j]));
    else v.push_back(s.unit_type != 0 ? Value::real(s.reals[j], 1) : Value::real(s.reals[j]));
  }
  return v;
}

}  // namespace

void PipelineWriter::pipeline(const PipelineRecord& p) {
  const auto write = [&](const std::string& section, const std::vector<ColumnSet>& sets, const std::vector<Value>& v) {
    shared_dataset(w_, "PQ", {"BLOCK", p.model, p.id, section}, sets, v);
  };
  const auto property = [](const PipeSeries& s) {
    return ColumnSet{{"PROPERTIES"}, {{{num(s.property)}, s.type, s.type == 2 ? s.unit_type : 0}}, ""};
  };
  const auto points = [](size_t n) { return counted_set("NPOINTS", static_cast<int64_t>(n)); };
  for (const auto& [section, entries] : {std::pair{"PIP_IN", &p.inlet}, std::pair{"PIP_OUT", &p.outlet}}) {
    if (entries->empty()) continue;
    ColumnSet props{{"PROPERTIES"}, {}, ""};
    std::vector<Value> v;
    for (const PipeSeries& e : *entries) props.members.push_back(property(e).members[0]), v.push_back(values_of(e)[0]);
    write(section, {props}, v);
  }
  ColumnSet components{{"COMPONENTS"}, {}, p.components.empty() ? "ID_NCC" : ""};
  for (const std::string& c : p.components) components.members.push_back({{c}});
  for (const auto& [section, list] : {std::pair{"PIP_IN2", &p.comp_in}, std::pair{"PIP_OU2", &p.comp_out}})
    for (const PipeSeries& s : *list) write(section, {property(s), components}, values_of(s));
  for (const auto& [section, list] : {std::pair{"PIP_DAT", &p.segments}, std::pair{"PIP_DES", &p.descriptions},
                                      std::pair{"FLU_PROP", &p.fluid}, std::pair{"PIP_PROF", &p.profile}})
    for (const PipeSeries& s : *list) write(section, {property(s), points(s.size())}, values_of(s));
  if (!p.length.reals.empty()) write("PIP_LEN", {property(p.length), points(p.length.size())}, values_of(p.length));
  for (const PipeSeries& s : p.tube) {
    const std::vector<std::string> q{num(s.property), s.qualifiers[0], s.qualifiers[1], s.qualifiers[2], s.qualifiers[3], " "};
    write("TUBE_PRP", {{{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"}, {{q, 2, s.unit_type}}, ""},
                       points(s.size())}, values_of(s));
  }
}

std::vector<PipelineRecord> random_pipelines(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                             std::set<std::string>& used) {
  std::mt19937_64 e(seed * 0x9E3779B97F4A7C15ull + 21);
  const auto between = [&](int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(e() % static_cast<uint64_t>(hi - lo + 1)); };
  const auto real = [&] {
    return real_as_read(static_cast<double>(between(-999999, 999999)) * std::pow(10.0, static_cast<double>(between(-4, 4))));
  };
  // Distinct properties of a section: (number, unit type); 874 is a text.
  const std::vector<std::pair<int64_t, int64_t>> pool{{22, unit_type::kTemperature}, {23, unit_type::kPressure},
                                                      {24, 0}, {56, 0}, {57, 0}, {60, 0}, {66, 0}, {874, 0}};
  const auto series = [&](size_t n, bool texts, std::vector<PipeSeries>& out) {
    std::vector<std::pair<int64_t, int64_t>> left = pool;
    for (int64_t k = between(0, 4); k > 0; --k) {
      const size_t pick = static_cast<size_t>(between(0, static_cast<int64_t>(left.size()) - 1));
      PipeSeries s{left[pick].first, 2, left[pick].second};
      left.erase(left.begin() + static_cast<std::ptrdiff_t>(pick));
      if (s.property == 874 && !texts) continue;
      if (s.property == 874) s.type = between(5, 6);
      else if (texts && s.unit_type == 0 && between(0, 3) == 0) s.type = 1;
      for (size_t j = 0; j < n; ++j) {
        if (s.type == 1) s.reals.push_back(static_cast<double>(between(-99999, 99999)));
        else if (s.type == 2) s.reals.push_back(real());
        else s.texts.push_back(s.type == 5 ? "T" + num(between(0, 999999)) : "LONG TEXT " + num(between(0, 1 << 30)));
      }
      out.push_back(std::move(s));
    }
  };
  std::vector<PipelineRecord> out;
  PipelineWriter writer(w);
  for (int64_t i = between(0, 2); i > 0; --i) {
    PipelineRecord p;
    // A model that begins like the pipeline's, or that it begins with (the
    // block table keeps 8 characters: a longer one is not told apart there).
    if (between(0, 9) == 0) p.model = between(0, 1) ? "DUCTWORK" : "DUCTLIN";
    while (!used.insert(p.id = "PIPE" + num(between(1, 99999))).second) {}
    series(1, true, p.inlet);
    series(1, true, p.outlet);
    if (!ncc.empty() && between(0, 1)) {
      for (const std::string& c : ncc)
        if (between(0, 2)) p.components.push_back(c);
      if (between(0, 2) == 0) p.components.clear();
      const size_t nc = p.components.empty() ? ncc.size() : p.components.size();
      series(nc, false, p.comp_in);
      p.comp_out = p.comp_in;
      for (PipeSeries& s : p.comp_out)
        for (double& x : s.reals) x = real();
    }
    const size_t nseg = static_cast<size_t>(between(1, 8)), npt = static_cast<size_t>(between(2, 12));
    series(nseg, true, p.segments);
    series(nseg, true, p.descriptions);
    series(1, false, p.fluid);
    series(npt, false, p.profile);
    if (!p.profile.empty()) {
      p.length = {59, 2, 0};
      for (size_t j = 0; j < npt; ++j) p.length.reals.push_back(real());
    }
    series(npt, false, p.tube);
    for (PipeSeries& s : p.tube)
      s.qualifiers = {"MIXED", between(0, 1) ? "TOTAL" : "LIQUID", ncc.empty() || between(0, 1) ? " " : ncc[0],
                      between(0, 1) ? "MOLE" : "MASS"};
    writer.pipeline(p);
    out.push_back(std::move(p));
  }
  return out;
}

}  // namespace flowsum::testing
