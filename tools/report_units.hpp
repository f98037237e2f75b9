// The flowsum tool's summary of the reference tables of a load: how many
// property names, unit types and components it holds, the unit set values
// come back in, and the target units of the main quantities.
#pragma once

#include <cstdio>

namespace flowsum_tool {

// Print the reference tables and target units of the loaded file to out.
void report_units(std::FILE* out = stdout);

}  // namespace flowsum_tool
