// Object identifiers and counts: the caller's view of the identifier tables
// (TKBIDS, TKSIDS, TKEIDS, TKPIDS, TKNBLK, TKNSTR, TKNPPT, TKNEQP, TKNXPR,
// TKNEQ, TKNPRS). Types come back widened to their full keyword in a
// 12-character field where the tables keep them cut to 8.
#pragma once

#include <cstdint>

#include "store/identifier_access.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// The whole-list routines: blank elements 1..n of both arrays, then copy the
// table's first min(n, count) identifiers and types. Types of blocks and
// equipment are widened. Returns the error flag (always 0).
int64_t list_objects(ItemKind kind, int64_t n, char* ids, size_t ids_len, char* types,
                     size_t types_len);

// The position routines: k below 1 becomes 1; the identifier and type of
// entry k, blank past the end. Types of blocks, equipment and property
// tables are widened. Returns the error flag (always 0).
int64_t object_at(ItemKind kind, int64_t& k, TextField id, TextField type);

}  // namespace flowsum
