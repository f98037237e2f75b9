// The flowsum tool's reports of heat-transfer results: a block's heating
// curves as tables (points as rows) and an exchanger's detail.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace flowsum_tool {

void report_curves(const std::vector<std::string>& blocks, std::FILE* out = stdout);
void report_exchangers(const std::vector<std::string>& blocks, std::FILE* out = stdout);

}  // namespace flowsum_tool
