// The flowsum tool's listing of the flowsheet's objects: blocks with their
// models, streams with their types, property tables, equipment items with
// their types and pressure-relief objects, in the library's table order.
#pragma once

#include <cstdio>

namespace flowsum_tool {

// Print the objects of the loaded file to out.
void report_objects(std::FILE* out = stdout);

}  // namespace flowsum_tool
