// The flowsum tool's compressor tables (--compressor ID) and the headline
// costs of the costed equipment items.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

// Performance results, stage and cooler profiles and wheel results of each
// compressor block named.
void report_compressors(const std::vector<std::string>& ids, std::FILE* out = stdout);

// Each equipment item with its quantity, purchased and installed cost.
void report_equipment_costs(std::FILE* out = stdout);

}  // namespace flowsum_tool
