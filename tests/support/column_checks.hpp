// Checks of the column families against a random flowsheet's truth, run
// by the round trip on every flowsheet it loads.
#pragma once

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {

void check_columns(const RandomFlowsheet& f);

}  // namespace flowsum::testing
