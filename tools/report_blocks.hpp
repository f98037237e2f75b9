// The flowsum tool's reports of block and table results: a block's result
// table with units (and its reactor property reports), a property table or
// phase envelope, and a sensitivity table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

struct BlockTableRequests {
  std::vector<std::string> blocks;         // --block ID
  std::vector<std::string> tables;         // --table ID
  std::vector<std::string> sensitivities;  // --sensitivity ID
  bool empty() const { return blocks.empty() && tables.empty() && sensitivities.empty(); }
};

// Print what was asked for from the loaded file.
void report_block_tables(const BlockTableRequests& requests, std::FILE* out = stdout);

}  // namespace flowsum_tool
