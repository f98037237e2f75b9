// The flowsum tool's reports of block and table results: a block's result
// table with units (and its reactor property reports), a property table or
// phase envelope, and a sensitivity table.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace flowsum_tool {

struct BlockTableRequests {
  std::vector<std::string> blocks;         // --block ID
  std::vector<std::string> tables;         // --table ID
  std::vector<std::string> sensitivities;  // --sensitivity ID
  bool empty() const { return blocks.empty() && tables.empty() && sensitivities.empty(); }
};

// The default report's block summaries: for each block (identifier and
// model) its result count and the first `rows` rows of its result table
// with their units, and how many more there are when the table is longer.
void report_block_summaries(const std::vector<std::pair<std::string, std::string>>& blocks, int rows,
                            std::FILE* out = stdout);

// Print what was asked for from the loaded file.
void report_block_tables(const BlockTableRequests& requests, std::FILE* out = stdout);

}  // namespace flowsum_tool
