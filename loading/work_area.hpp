// The work-area region allocator, the table sort and the machine constants.
#pragma once

#include <cstdint>

namespace flowsum {

// TKNSYS.
void set_machine_constants();
// TKMEMO over work(1..limit); regions holds base, demand, capacity per region.
int64_t lay_out_regions(int64_t limit, int64_t* work, int64_t mode,
                        int64_t nreg, int64_t* regions);
// TKSORT.
void sort_table(int64_t stride, int64_t n, int64_t* table, int64_t kstart,
                int64_t nkey, int64_t* scratch);

}  // namespace flowsum
