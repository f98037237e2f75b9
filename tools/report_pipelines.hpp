// The flowsum tool's pipeline tables (--pipeline ID).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

// Segment data and descriptions, fluid properties, inlet and outlet
// conditions and compositions, and the profiles along the line of each
// pipeline block named.
void report_pipelines(const std::vector<std::string>& ids, std::FILE* out = stdout);

}  // namespace flowsum_tool
