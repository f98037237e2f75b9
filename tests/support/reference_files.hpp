// Reference files for tests: lines of a unit-table file in its fixed
// columns, and a load of a summary text with chosen reference files whose
// messages are kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum::testing {

// A type line: columns 4-7 type number, 13-15 number of units, 25-36 name.
std::string unit_type_line(int64_t number, int64_t units, std::string_view name);
// A unit line: columns 5-20 label, 25-47 factor, 53-77 offset (as written).
std::string unit_line(std::string_view label, std::string_view factor,
                      std::string_view offset = "");

struct ReferenceLoad {
  int64_t ierr = -99;
  std::string messages;  // every line written, each followed by '\n'
};

// Units of such a load: summary, scratch, property file, unit table.
inline constexpr int64_t kRefSummaryUnit = 91, kRefScratchUnit = 92, kRefPropertyUnit = 93,
                         kRefUnitTableUnit = 94;

// Writes summary_text to a temporary file, opens it and loads it with the
// given reference-file paths and unit set. The load stays in place (scratch
// copy open) until the next such load or close_reference_load(); the units
// default to the ones above.
ReferenceLoad load_with_references(const std::string& summary_text,
                                   const std::string& property_path,
                                   const std::string& unit_path,
                                   const std::string& unitset = "SI",
                                   int64_t property_unit = kRefPropertyUnit,
                                   int64_t unit_table_unit = kRefUnitTableUnit);
// The same with the project's own data/RCPROPNU.DAT and data/RCUNITS.DAT.
ReferenceLoad load_with_bundled_references(const std::string& summary_text,
                                           const std::string& unitset = "SI");
// TKCLOS for the units above, and the summary unit closed.
void close_reference_load();

// Number of entries of the project's data/RCPROPNU.DAT (the count on the
// line after its ADD line): the property names every load adds to the
// summary file's own.
int64_t bundled_property_count();

}  // namespace flowsum::testing
