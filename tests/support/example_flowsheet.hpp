// The bundled example summary file examples/flowsheet.sum, as the builder
// writes it: two feeds mixed, heated, flashed, and the flash liquid
// stabilised in a small column. A test checks that the checked-in file is
// exactly this text (and rewrites it when FLOWSUM_UPDATE_EXAMPLE=1).
#pragma once

#include <string>

#include "support/summary_builder.hpp"

namespace flowsum::testing {

SummaryBuilder example_flowsheet();

}  // namespace flowsum::testing
