// Reference files for tests: lines of a unit-table file in its fixed
// columns, and loads with chosen reference files whose messages are kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum::testing {

// Columns 4-7 type number, 13-15 number of units, 25-36 name.
std::string unit_type_line(int64_t number, int64_t units, std::string_view name);
// Columns 5-20 label, 25-47 factor, 53-77 offset (as written).
std::string unit_line(std::string_view label, std::string_view factor, std::string_view offset = "");

struct ReferenceLoad {
  int64_t ierr = -99;
  std::string messages;
};

inline constexpr int64_t kRefSummaryUnit = 91, kRefScratchUnit = 92, kRefPropertyUnit = 93,
                         kRefUnitTableUnit = 94;

// summary_text in a temporary file, opened and loaded with the given
// reference files and unit set. The load stays in place until the next one
// or close_reference_load().
ReferenceLoad load_with_references(const std::string& summary_text, const std::string& property_path,
                                   const std::string& unit_path, const std::string& unitset = "SI",
                                   int64_t property_unit = kRefPropertyUnit,
                                   int64_t unit_table_unit = kRefUnitTableUnit, double rmiss = 1.0e35);
// The same with the project's own data/RCPROPNU.DAT and data/RCUNITS.DAT.
ReferenceLoad load_with_bundled_references(const std::string& summary_text, const std::string& unitset = "SI",
                                           double rmiss = 1.0e35);
void close_reference_load();

}  // namespace flowsum::testing
