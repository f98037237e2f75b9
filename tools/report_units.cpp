// Reference tables and target units of the loaded file, for the tool.
#include "tools/report_units.hpp"

#include <cinttypes>
#include <string>

#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/reference_tables.hpp"
#include "store/text_field.hpp"
#include "tools/views.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum_tool {

namespace {

const char* set_name(int64_t set) {
  switch (set) {
    case 0: return "OUT (values as stored)";
    case 1: return "SI";
    case 3: return "MET";
    default: return "ENG";
  }
}

std::string trimmed(const std::string& s) { return std::string(flowsum::TextField::trim_right(s)); }

}  // namespace

void report_units(std::FILE* out) {
  using namespace flowsum;
  const UnitTable table;
  std::fprintf(out, "reference tables: %" PRId64 " property names, %" PRId64 " unit types, %" PRId64
               " components\n",
               locs(l::kPropCount), table.types(), component_count());
  std::fprintf(out, "units: %s\n", set_name(last_load().unit_set));
  // The quantities of the stream and block listings: temperature, pressure,
  // flows and heat duty.
  for (int64_t type : {int64_t{22}, kPressureUnitType, int64_t{10}, int64_t{11}, int64_t{12}, int64_t{13}}) {
    if (!table.has_type(type)) continue;
    const int64_t target = target_unit(type);
    std::string label = target > 0 ? trimmed(table.label(type, target)) : "as stored";
    std::fprintf(out, "  %-12s  %s\n", trimmed(table.type_name(type)).c_str(), label.c_str());
  }
  // The ambient pressure is kept in the base unit (unit 1) of pressure.
  ConvertedValue pamb = convert_stored(kPressureUnitType, 1, rglb(2));
  std::fprintf(out, "ambient pressure: %s %s\n", significant(pamb.value).c_str(),
               trimmed(std::string(pamb.label_view())).c_str());
}

}  // namespace flowsum_tool
