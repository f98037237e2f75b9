// Stream results: the main result table of a stream (TKSTRM), single values
// from it (TKSTRA, TKSVAL), user property results (TKNSPR, TKSPRP), phase
// compositions and properties (TKSPHS), and substreams with their component
// flows or fractions on a chosen basis (TKNSUB, TKSUBS).
//
// Every routine finds the stream in the stream table first, which gives its
// type, and reads the data set "STREAM", type, identifier, section keyword.
// The helpers below are shared with the connectivity and stream-attribute
// routines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// A stream found in the stream table: its position and its type keyword
// (trailing blanks cut). index 0 when the stream is not there.
struct StreamRef {
  int64_t index = 0;
  std::string type;
  explicit operator bool() const { return index > 0; }
};
StreamRef find_stream_ref(std::string_view id);

// The data set "STREAM", type, id, section with a blank qualifier; nothing
// found for an absent stream.
DatasetAnswer stream_dataset(const StreamRef& s, std::string_view id, std::string_view section);

// Qualifier text of value j in column col (8 characters), blanks when the
// data set has no such column.
std::string qualifier8(const DatasetAnswer& a, int64_t col, int64_t j);

// The substream of value j: its 8-character name, "MIXED" when the name is
// blank or the data set has no "SUBSTREAM" column.
std::string substream_of(const DatasetAnswer& a, int64_t col, int64_t j);

// Property numbers of the component rows and substream totals.
namespace stream_prop {
inline constexpr int64_t kMoleFlowTotal = 8001, kMoleFrac = 8002, kMassFlowTotal = 8003,
                         kMassFrac = 8004, kStdVolFlowTotal = 8007, kStdVolFrac = 8008,
                         kMoleFlow = 8101, kMassFlow = 8103, kStdVolFlow = 8107;
}
// Unit types of the flow bases.
inline constexpr int64_t kMassFlowType = 10, kMoleFlowType = 11, kStdVolFlowType = 12;

// The quantities TKSUBS returns.
enum class SubstreamBasis { kMassFlow, kMoleFlow, kStdVolFlow, kMassFrac, kMoleFrac, kStdVolFrac };
// "MASS-FLOW", "MOLE-FLOW", "STDVOL-FLOW", "MASS-FRAC", "MOLE-FRAC",
// "STDVOL-FRAC" (blank-padded); anything else is mass flow.
SubstreamBasis substream_basis(std::string_view text);

// A value as stored (unit type and unit code) in unit 1 of its type, the SI
// unit; unchanged when the type has no unit table entry or the value is
// missing (magnitude at least the missing-value marker).
double stored_to_si(int64_t unit_type, int64_t unit_code, double value);

// ---- The routines on C++ fields; the exported ones adapt the caller's
// arguments to these. Arrays are written from element 1 and only as far as
// the data set's rows go.

// TKSTRM: rows 1..ND-3 of "STR_MAIN": 64-character row descriptors
// (property, substream, component, basis in 16 characters each, cut to the
// caller's row length), converted values, unit-type names and labels.
void stream_main_table(std::string_view id, char* rows, size_t rows_len, double* values,
                       char* unit_names, size_t names_len, char* labels, size_t labels_len);

// TKSTRA: the first result row when the stream's type begins with the
// 4-character type wanted (false, nothing written, otherwise); the
// missing-value marker, label untouched, when the main table has no row.
bool stream_first_value(std::string_view id, std::string_view type, double& value,
                        TextField label);

// TKSVAL: the rows of one property of one substream (blank means "MIXED" and
// is written back), optionally filtered by basis. Returns the error flag: 0
// when at least one value was written.
int64_t stream_values(std::string_view id, TextField substream, std::string_view property,
                      std::string_view basis, double* values, TextField unit_name,
                      TextField label);

// TKNSPR: error flag 1 (stream not found), 2 (no user property results) or
// 0; count is the number of results.
int64_t user_property_count(std::string_view id, int64_t& count);

// The caller's arrays of TKSPRP.
struct UserPropertyArrays {
  struct Field {
    char* base;
    size_t len;
  };
  Field names, substreams, phases, components, bases, unit_bases;
  double* values;
  Field unit_names, labels;
};
// TKSPRP: every user property result; returns the error flag (1 stream not
// found, else 0).
int64_t user_properties(std::string_view id, const UserPropertyArrays& out);

// TKSPHS: phase compositions (property numbers 39, 36, 37, 38, n components
// each) and the twelve phase properties (64, 63, 94, 95, 88, 61, 89, 90,
// 991, 992, 993, 994) of a material stream; the stream's table position goes
// to TKSLOC word 1.
void stream_phases(std::string_view id, int64_t n, int64_t& phas_flag, int64_t& xy_flag,
                   const std::array<double*, 4>& compositions,
                   const std::array<double*, 12>& scalars);

// TKNSUB: name, component count and total-row count of substream k (blank
// and zeros when there is no such substream).
void substream_at(std::string_view id, int64_t k, TextField name, int64_t& ncomp,
                  int64_t& ntotal);

// TKSUBS: the component flows or fractions of one substream on a basis, and
// its total rows (as many as substream_at counts). A quantity that is not
// stored is derived: a flow from its fraction times the substream total
// (in the total's unit), otherwise through mole flows in SI units (see the
// stream documentation). Values that cannot be derived (missing inputs, a
// zero molecular weight, a zero or absent total for a fraction) are the
// missing-value marker.
void substream_results(std::string_view id, std::string_view substream, std::string_view basis,
                       int64_t n, char* ids, size_t ids_len, double* values, TextField label,
                       char* total_names, size_t total_names_len, double* total_values,
                       char* total_labels, size_t total_labels_len);

}  // namespace flowsum
