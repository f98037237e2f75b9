#include "support/equipment_records.hpp"

namespace flowsum::testing {

std::string costing_section_of(const std::string& type) {
  const std::string t = type.substr(0, 8);
  return t == "TRAY-TOW" || t == "PACK-TOW" || t == "CUSTOM2" ? "SZECST1" : "SZECST";
}

std::string EquipmentWriter::count_set(const std::string& qualifier, int64_t n) {
  const std::string name = qualifier.substr(0, 4) + std::to_string(n);
  w_.idset_once(name, {qualifier}, {{{"#" + std::to_string(n)}}});
  return " & %" + name;
}

std::string EquipmentWriter::named(const std::string& prefix, const std::string& key) {
  return names_.try_emplace(prefix + key, prefix + std::to_string(names_.size() + 1)).first->second;
}

void EquipmentWriter::grid(const std::string& model, const std::string& id, const std::string& section,
                           const ResultGrid& g, const std::vector<std::string>& qualifiers,
                           const std::string& crossed) {
  std::string layout = std::to_string(qualifiers.size());
  std::vector<IdMember> members;
  for (const auto& [property, unit_type] : g.properties) {
    // The descriptive qualifiers of staged results: a whole-stream row.
    IdMember m{{std::to_string(property), "MIXED", "TOTAL", " ", "MOLE", " "}, 2, unit_type};
    m.items.resize(qualifiers.size());
    members.push_back(m);
    layout += " " + std::to_string(property) + "<" + std::to_string(unit_type) + ">";
  }
  const std::string set = named("CM", layout);
  w_.idset_once(set, qualifiers, members);
  const std::string definition = "(%" + set + crossed + ")", sequence = named("CL", definition);
  w_.lset_once(sequence, definition);
  std::vector<Value> values;
  for (const std::vector<double>& point : g.values)
    for (size_t k = 0; k < point.size(); ++k)
      values.push_back(g.properties[k].second != 0 ? Value::real(point[k], 1) : Value::real(point[k]));
  w_.builder().dset({"BLOCK", model, id, section}, sequence, values);
}

void EquipmentWriter::compressor(const CompressorRecord& c) {
  const std::vector<std::string> props{"PROPERTIES"};
  if (c.model.rfind("STAGEB", 0) != 0) {
    if (!c.performance.empty()) grid(c.model, c.id, "PERF_SCL", c.performance, props, "");
    return;
  }
  if (!c.performance.empty())
    grid(c.model, c.id, "PERF_STG", c.performance,
         {"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"},
         count_set("NSTAGE", c.performance.npoints()));
  if (!c.stages.empty()) grid(c.model, c.id, "SGBS_PRF", c.stages, props, count_set("NSTAGE", c.stages.npoints()));
  if (!c.coolers.empty())
    grid(c.model, c.id, "COOL_PRF", c.coolers, props, count_set("NMINS1", c.coolers.npoints()));
  for (const auto& [stage, g] : c.wheels) {
    const std::string key = "STGNO" + std::to_string(stage);
    w_.idset_once(key, {"STAGE_NO"}, {{{std::to_string(stage)}}});
    grid(c.model, c.id, "PERF_WHL", g, props, count_set("NWHEEL", g.npoints()) + " & %" + key);
  }
}

void EquipmentWriter::costing(const CostingRecord& c) {
  std::string layout;
  std::vector<IdMember> members;
  std::vector<Value> values;
  for (const CostResult& r : c.results) {
    members.push_back({{std::to_string(r.property)}, r.type, r.type == 2 ? r.unit_type : 0});
    layout += " " + std::to_string(r.property) + "*" + std::to_string(r.type) + "<" +
              std::to_string(members.back().unit_type) + ">";
    if (r.type == 1) values.push_back(Value::integer(r.integer));
    else if (r.type != 2) values.push_back(Value::text(r.text));
    else if (r.missing) values.push_back(r.unit_type != 0 ? Value::missing(1) : Value::missing());
    else values.push_back(r.unit_type != 0 ? Value::real(r.real, 1) : Value::real(r.real));
  }
  const std::string set = named("EQ", layout);
  w_.idset_once(set, {"PROPERTIES"}, members);
  w_.lset_once(set, "(%" + set + ")");
  w_.builder().dset({"COSTING", "EQUIPMEN", c.type, c.id, c.section}, set, values);
}

}  // namespace flowsum::testing
