// The flowsum tool's run information: title, version, run identifier,
// completion code, status texts and flags, account fields, and the aliases
// and case names when the file has them.
#pragma once

#include <cstdio>

namespace flowsum_tool {

// Print the run information of the loaded file to out.
void report_run_info(std::FILE* out = stdout);

}  // namespace flowsum_tool
