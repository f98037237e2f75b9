// The flowsum tool's reports of reactors (--reactor ID: per substream
// profile a table with points as rows, one table per composition, and the
// batch vessel's accumulator and vent profiles) and of relief objects
// (--relief ID: both scenarios, the vent sets and the vessel profile).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

void report_reactors(const std::vector<std::string>& ids, std::FILE* out = stdout);
void report_reliefs(const std::vector<std::string>& ids, std::FILE* out = stdout);

}  // namespace flowsum_tool
