// The bundled example examples/flowsheet.sum as the builder writes it (a
// test compares them; FLOWSUM_UPDATE_EXAMPLE=1 rewrites the file).
#pragma once

#include <string>

#include "support/summary_builder.hpp"

namespace flowsum::testing {

SummaryBuilder example_flowsheet();

}  // namespace flowsum::testing
