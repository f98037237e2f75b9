// The seven global blocks, zero-filled from library start.
#include "flowsum.h"

extern "C" {
// Aligned so that the area can be backed by huge pages (see the loader).
alignas(2097152) int64_t tkwork_[TK_WORK_WORDS];
int64_t tkglob_[TK_GLOB_WORDS];
int64_t tklocs_[TK_LOCS_WORDS];
int64_t tkmemw_[TK_MEMW_WORDS];
double tkrglb_[TK_RGLB_WORDS];
struct tkretn_block tkretn_;
int64_t tksloc_[TK_SLOC_WORDS];
}
