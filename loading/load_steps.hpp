// The load steps that follow the body of the summary file: reference files,
// component identifiers, item tables, version adjustment and ambient
// pressure. The loader runs them in order; each lives in the file of the
// tables it builds.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace flowsum {

// How a step ends the load.
enum class StepEnd {
  kGoOn,          // the next step runs
  kClosingSteps,  // a failure: the closing steps run, with what was built
  kReturnNow,     // a failure that returns at once (reference-file open)
};

// What the loader shares with its later steps.
struct LoadContext {
  int64_t work_size = 0;     // last usable work word
  int64_t unit_set = 2;      // 0 OUT, 1 SI, 2 ENG, 3 MET
  int64_t scratch_unit = 0;  // unit of the scratch copy
  int64_t ncc_line = 0;      // line of the last IDSET "ID_NCC" (0: none)
  int64_t nnc_line = 0;      // line of the last IDSET "ID_NNC" (0: none)
  int64_t ierr = 0;          // the load's error code; a step sets it
  // Grows loader region r (1 to 4) so that `words` more words fit; false,
  // with nothing moved, when the regions would no longer fit the work area.
  std::function<bool(int region, int64_t words)> grow_region;
};

// Step 11: RCPROPNU.DAT into region 1 (on success the unit is left open and
// the loader closes it after sorting the tables; a failed read closes it).
StepEnd read_property_file(LoadContext& ctx, int64_t unit, std::string_view path);
// Step 13: RCUNITS.DAT after the regions, from TKLOCS word 24 on.
StepEnd read_unit_table(LoadContext& ctx, int64_t unit, std::string_view path);
// Step 14, first part: the component identifiers of "ID_NCC" and "ID_NNC".
StepEnd build_component_table(LoadContext& ctx);
// Step 14, second part: block, stream, property-table and equipment tables
// and the pressure-relief table. Lack of room sets IERR 4 and leaves that
// table empty; the load goes on.
void build_item_tables(LoadContext& ctx);
// Closing step d: tables adjusted for files of old simulator versions.
void adjust_for_version();
// Closing step e: the run's ambient pressure (101325 Pa when none is given).
double ambient_pressure();

}  // namespace flowsum
