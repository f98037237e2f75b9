// Checks of the column families against a random flowsheet's truth, run
// by the round trip on every flowsheet it loads.
#pragma once

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {

void check_columns(const RandomFlowsheet& f);
// Tray reports of one column (and, for column 1, the block's reboiler).
// Sized and rated sections of one column.
void check_sections(const RandomColumnBlock& blk, int64_t column, const RandomColumn& col);
void check_tray_reports(const RandomColumnBlock& blk, int64_t column, const RandomColumn& col);

}  // namespace flowsum::testing
