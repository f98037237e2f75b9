// The work-area region allocator, the table sort and the machine constants.
#pragma once

#include <cstdint>

namespace flowsum {

// TKNSYS: TKGLOB words 13 to 19 := 1, 4, 1, 1, 2, 3, 4.
void set_machine_constants();

// TKMEMO over work(1..limit) (work[0] is word 1); regions holds base, demand,
// capacity per region. Returns NEED: the first word after the last region,
// or, when the regions cannot fit, the word they would need to reach (always
// above limit then; nothing is moved). Arguments that do not describe
// regions inside work(1..limit) move nothing and return limit + 1.
int64_t lay_out_regions(int64_t limit, int64_t* work, int64_t mode,
                        int64_t nreg, int64_t* regions);

// TKSORT: ascending on entry words kstart..kstart+nkey-1 compared as signed
// 64-bit integers; scratch holds one entry (stride words).
void sort_table(int64_t stride, int64_t n, int64_t* table, int64_t kstart,
                int64_t nkey, int64_t* scratch);

}  // namespace flowsum
