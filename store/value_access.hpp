// Value access: the generic readers of data sets whose values are properties
// (each value tagged by the qualifier "PROPERTIES" with a property number and
// carrying a unit type), and the one place where a data set is chosen among
// siblings of the same path by its qualifier values.
//
// Exported routines (argument lists, all by reference, texts blank-padded
// with their hidden lengths appended in argument order):
//
//   TKPVAL(IDS, NID, IDUM, PNAMES, VALUES, UTYPES, ULABELS, NVAL, IERR)
//   TKAVAL(IDS, NID, IDUM, PNAMES, VTYPES, IVALUES, TEXTS, RVALUES, UTYPES,
//          ULABELS, NVAL, IERR)
//   TKPRF2(IDS, NID, QNAME, NPOINT, NPROP, PNAMES, VALUES, UTYPES, ULABELS,
//          IERR)
//   TKPRF3(IDS, NID, NK, KNAMES, KVALS, QNAME, NPOINT, NPROP, PNAMES, VALUES,
//          UTYPES, ULABELS, IERR)
//   TKSPRF(IDS, NID, QWORDS, NSET, NPER, IERR)
//   TKSPID(TEXT, N)
//   TKFDST(IDS, NID, NK, KNAMES, KVALS, QUAL, IPOS, IERR)
//   TKSPLT(NID, IDS, NK, KNAMES, KVALS, QUAL, IERR)
//   TKSPL2(NID, IDS, NK, KNAMES, KVALS, NX, XSECT, QUAL, IERR)
//   TKPRFR(IDS, NID, KVALS, NK, NPOINT, VALUES, UTYPE, ULABEL, IERR)
//   TKPRFP(IDS, NID, IDUM, PNAMES, IERR)
//   TKSPR2(IDS, NID, QNAME, NMEM, NSETS, IERR)
//   TKSPR3(IDS, NID, NK, KNAMES, KVALS, NDIM, DNAMES, SIZES, NFOUND, IERR)
//   TKNPRF(IDS, NID, N, K, PNAME, SUBSTREAM, PHASE, COMPONENT, BASIS,
//          FLOWBASIS, VALUES, QUANTITY, ULABEL, IERR)
//
// IDS/NID is a data-set path: NID keywords (1..9) in a text array. Property
// names are 12 characters, unit-type names 12, unit labels 16, wanted
// qualifier names and values 16.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/text_field.hpp"

namespace flowsum {

inline constexpr size_t kPropertyNameChars = 12;
inline constexpr size_t kQualifierChars = 16;
// Members counted at most by the profile-dimension routine.
inline constexpr int64_t kMaxProfileMembers = 1000;

// ---- Small shared pieces ---------------------------------------------------

// The property number of a 12-character name (halving search of the
// property-number table, which the load sorts by name); 0 when absent.
int64_t property_number(std::string_view name);

// "FLOW" for unit type 13, "MOLE" for 15, 37, 39, 41, "MASS" for 38, 40,
// 42, 49; empty for every other type.
std::string_view basis_of_unit_type(int64_t unit_type);

// The "UNITS" rule of the data-set choice: a data set whose first value has
// unit type t accepts the wanted basis word when t has a basis and the word
// is that basis; a type without a basis accepts any word.
bool unit_type_accepts_basis(int64_t unit_type, std::string_view wanted);

// The keywords of a caller's path: NID elements of a text array (NID is
// clamped to 0..9; a path of no keywords finds nothing).
std::vector<std::string_view> caller_path(const char* ids, size_t len, int64_t nid);

// The data record (line and qualifier) of tree node p of the loaded tree;
// false when p carries no record inside the tree.
bool node_record(int64_t p, DataRecord& record);

// Fills a profile's descriptors from the qualifiers of its data set: the
// property name, substream, phase, component and the first 4 characters of
// the basis, each only when the data set has that qualifier.
void describe_profile(const DatasetAnswer& a, TextField pname, TextField substream,
                      TextField phase, TextField component, TextField basis);

// Nodes of a sibling chain from node `first` while their keyword agrees
// with `keyword`: in its first 8 characters when first8 is set, else as a
// path keyword of a lookup does. The walk is bounded by the tree's size.
std::vector<int64_t> equal_siblings(int64_t first, std::string_view keyword, bool first8);

// A real value of a data set converted into the caller's unit: with a unit
// type, through the unit conversion with that type and the code given (the
// unit-type name and label set); without one, as stored with both blank.
struct ConvertedReal {
  double value = 0.0;
  std::string unit_type_name;  // 12 characters or empty
  std::string label;           // 16 characters or empty
};
ConvertedReal convert_value(int64_t unit_type, int64_t unit_code, double stored);

// ---- Choosing a data set by qualifier values --------------------------------

struct WantedQualifier {
  std::string name;   // 16 characters
  std::string value;  // 16 characters; blank matches anything
};

struct DatasetChoice {
  int64_t ierr = 1;
  int64_t node = 0;         // tree node of the chosen data set
  std::string qualifier;    // its loading sequence, 8 characters (blank when none)
};

// TKFDST: among the sibling data sets of a four-keyword path, the first whose
// qualifier columns carry every wanted value. IERR 2 for an unknown
// property name among the wanted "PROPERTIES" values, 3 for a path not in
// the tree, 1 when no data set passes.
DatasetChoice find_dataset(std::span<const std::string_view> path,
                           std::span<const WantedQualifier> wanted);

// TKSPLT and TKSPL2. path[2] names the block: its model keyword is taken
// from the block table (and returned in model). The first wanted value is
// the property name. extra_sections lets the walk go on past siblings of
// those keywords (TKSPL2); n_col_models lists the models whose data sets are
// first filtered by the wanted "N_COL" column. IERR 1 also for a block that
// is not in the block table.
DatasetChoice split_block_results(std::span<const std::string_view> path,
                                  std::span<const WantedQualifier> wanted,
                                  std::span<const std::string_view> extra_sections,
                                  std::span<const std::string_view> n_col_models,
                                  std::string& model);

// ---- Profiles ----------------------------------------------------------------

// TKPRF3's reading of the data set find_dataset chose (choice.ierr 0): its
// values as a profile of npoint points of nprop properties, flag 3 when it
// holds another number of values or cannot be read. Property names come
// from its "PROPERTIES" column (unless qname names that column; a blank or
// unknown name leaves the caller's entry as it was), values are converted
// into the caller's units with their unit-type names and labels (blank
// without a unit type). Returns the flag (0 read).
int64_t read_chosen_profile(std::span<const std::string_view> path, const DatasetChoice& choice,
                            std::string_view qname, int64_t npoint, int64_t nprop, char* pnames,
                            size_t pnames_len, double* values, char* utypes, size_t utypes_len,
                            char* ulabels, size_t ulabels_len);

// TKSPR3's sizes of the data set find_dataset chose: for each name
// (compared in 16 characters), the member count of the set of its loading
// sequence whose first qualifier has that name; sizes of names no set has
// are left as they were. Returns the number of sets found.
int64_t chosen_set_sizes(const DatasetChoice& choice, std::span<const std::string_view> names,
                         std::span<int64_t> sizes);

// Counts written in the identifier sets of a loading sequence: for each
// name, the number read from the first member of the first set whose only
// qualifier has that name ("IDSET name ( NPOINT ) ( #10 )" gives 10), 0 when
// no set has it. Returns the status of compiling the sequence (0 compiled).
int64_t sequence_set_counts(std::string_view lsetid, std::span<const std::string_view> names,
                            std::span<int64_t> counts);

// TKSPID: append the decimal digits of n (n >= 1) after the leading
// non-blank characters of a 16-character text; what does not fit is lost.
void append_number(TextField text, int64_t n);

}  // namespace flowsum
