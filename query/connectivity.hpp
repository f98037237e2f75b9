// Connectivity: the inlet and outlet streams of a block (TKCNTN, TKCNCT), the
// typed ports of column and exchanger models (TKPORT), and where a stream
// comes from and goes to (TKSINF).
//
// Blocks and streams inside a hierarchy level are stored under their local
// names; the routines put the hierarchy path back in front of the names they
// return. The prefix of an identifier is the identifier up to and including
// its last dot (H1.H2.B5 -> "H1.H2."), the parent prefix the identifier up to
// and including its second-last dot ("H1.").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/text_field.hpp"

namespace flowsum {

// Prefix and parent prefix as above; empty when there is no such dot.
std::string_view hierarchy_prefix(std::string_view id);
std::string_view parent_prefix(std::string_view id);
// Write prefix followed by the field's text (trailing blanks cut) into the
// field, cut to its length. Nothing happens for an empty prefix.
void qualify(TextField field, std::string_view prefix);

struct ConnectionCounts {
  int64_t inlets = 0;
  int64_t outlets = 0;
  int64_t status = 0;  // the tree's result of the last lookup (0 found)
};
// TKCNTN: the numbers of values of "BLKIN" and "BLKOUT"; zero counts for a
// block that is not in the block table.
ConnectionCounts connection_counts(std::string_view block);

// The caller's four arrays of TKCNCT.
struct ConnectionArrays {
  int64_t in_capacity = 0, out_capacity = 0;
  char* in_ids = nullptr;
  size_t in_ids_len = 0;
  char* in_types = nullptr;
  size_t in_types_len = 0;
  char* out_ids = nullptr;
  size_t out_ids_len = 0;
  char* out_types = nullptr;
  size_t out_types_len = 0;
};
// TKCNCT: returns the error flag, 1 for an unknown block, else 0. A list with
// more values than its capacity is left untouched.
int64_t block_connections(std::string_view block, const ConnectionArrays& arrays);

// TKPORT: returns the error flag, 1 unknown block, 2 model without port
// labels, 0 success. Locations come back counted from 1; entries past the
// stored ports are the filler "G" with location 1 and third integer 0.
struct PortArrays {
  int64_t m = 0, k = 0;
  char* in_labels = nullptr;
  size_t in_labels_len = 0;
  int64_t* in_locations = nullptr;
  int64_t* in_third = nullptr;
  char* out_labels = nullptr;
  size_t out_labels_len = 0;
  int64_t* out_locations = nullptr;
  int64_t* out_third = nullptr;
};
int64_t block_ports(std::string_view block, const PortArrays& arrays);

// The port label of a model's inlet (or outlet) port code, counted from 0;
// empty for a model without labels or a code outside its table.
std::string_view port_label(std::string_view model, bool inlet, int64_t code);

// TKSINF: source and destination blocks (qualified with the hierarchy path),
// the number of substreams and the number of main-table rows. False, nothing
// written, for a stream that is not in the stream table.
bool stream_info(std::string_view stream, TextField source, TextField destination,
                 int64_t& substreams, int64_t& rows);

}  // namespace flowsum
