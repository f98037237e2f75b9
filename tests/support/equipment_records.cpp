#include "support/equipment_records.hpp"

namespace flowsum::testing {
namespace {

// A grid's data set in a section of the block: its properties (given the
// descriptive qualifiers of staged results, a whole-stream row) crossed
// with the sets in `crossed`. Nothing for an empty grid.
void grid(FlowsheetWriter& w, const CompressorRecord& c, const std::string& section, const ResultGrid& g,
          const std::vector<std::string>& qualifiers, std::vector<ColumnSet> crossed) {
  if (g.empty()) return;
  ColumnSet props{qualifiers, {}, ""};
  for (const auto& [property, unit_type] : g.properties) {
    props.members.push_back({{num(property), "MIXED", "TOTAL", " ", "MOLE", " "}, 2, unit_type});
    props.members.back().items.resize(qualifiers.size());
  }
  std::vector<Value> values;
  for (const std::vector<double>& point : g.values)
    for (size_t k = 0; k < point.size(); ++k)
      values.push_back(g.properties[k].second != 0 ? Value::real(point[k], 1) : Value::real(point[k]));
  crossed.insert(crossed.begin(), props);
  shared_dataset(w, "CQ", {"BLOCK", c.model, c.id, section}, crossed, values);
}

}  // namespace

std::string costing_section_of(const std::string& type) {
  const std::string t = type.substr(0, 8);
  return t == "TRAY-TOW" || t == "PACK-TOW" || t == "CUSTOM2" ? "SZECST1" : "SZECST";
}

void EquipmentWriter::compressor(const CompressorRecord& c) {
  const std::vector<std::string> props{"PROPERTIES"};
  if (c.model.rfind("STAGEB", 0) != 0) return grid(w_, c, "PERF_SCL", c.performance, props, {});
  grid(w_, c, "PERF_STG", c.performance, {"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"},
       {counted_set("NSTAGE", c.performance.npoints())});
  grid(w_, c, "SGBS_PRF", c.stages, props, {counted_set("NSTAGE", c.stages.npoints())});
  grid(w_, c, "COOL_PRF", c.coolers, props, {counted_set("NMINS1", c.coolers.npoints())});
  for (const auto& [stage, g] : c.wheels)
    grid(w_, c, "PERF_WHL", g, props, {counted_set("NWHEEL", g.npoints()), {{"STAGE_NO"}, {{{num(stage)}}}, ""}});
}

void EquipmentWriter::costing(const CostingRecord& c) {
  ColumnSet set{{"PROPERTIES"}, {}, ""};
  std::vector<Value> values;
  for (const CostResult& r : c.results) {
    set.members.push_back({{num(r.property)}, r.type, r.type == 2 ? r.unit_type : 0});
    values.push_back(r.type == 1 ? Value::integer(r.integer) : r.type != 2 ? Value::text(r.text)
                     : r.missing ? (r.unit_type != 0 ? Value::missing(1) : Value::missing())
                                 : (r.unit_type != 0 ? Value::real(r.real, 1) : Value::real(r.real)));
  }
  shared_dataset(w_, "EQ", {"COSTING", "EQUIPMEN", c.type, c.id, c.section}, {set}, values);
}

}  // namespace flowsum::testing
