// The flowsum tool's report of a column block (--column ID): per column the
// tray profiles as a table (rows: trays; columns: the per-tray properties
// with their units), one table per composition property (components as
// columns), the tray report and the sized or rated sections; for a refinery
// column also each column's summary results, connections and petroleum
// property profiles, then the pumparounds, main-column connections and the
// furnace table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

void report_columns(const std::vector<std::string>& ids, std::FILE* out = stdout);

}  // namespace flowsum_tool
