// Profile readers: the shared pattern of the column, reactor and pipeline
// families. A block's profile is a set of sibling data sets under
// "BLOCK" model id section, one property per data set, chosen among its
// siblings by "PROPERTIES" = name (or by position); a per-point profile
// holds one value per point, a per-component profile one value per
// (component, point) pair placed by its "COMPONENTS" and point qualifiers.
// Values come back converted into the caller's units, with the quantity
// name of their unit type and the unit label.
//
// What a profile data set's loading sequence says is read from the
// definition lines of its identifier sets ("IDSET name ( keyword ) ( value
// ...)"): the set name is the element's value type, the keyword names the
// element, the first member is its value.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/load_stamp.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// A block found in the block table, with its model keyword (the 8
// characters the table keeps, trailing blanks cut) and the paths to its
// sections.
struct ProfileBlock {
  ItemMatch match;
  std::string model;
  std::string id;
  explicit operator bool() const { return static_cast<bool>(match); }
  bool is(std::string_view m) const { return model == m; }
  std::array<std::string_view, 4> path(std::string_view section) const {
    return {"BLOCK", model, id, section};
  }
};
// The block asked for last is remembered (see LoadStamp), and with it the
// data sets section_nodes found for it.
ProfileBlock profile_block(std::string_view id);

// prefix followed by n in decimal ("LKPR_" and 12 give "LKPR_12"); empty
// for n below 1, which names no section.
std::string numbered_section(std::string_view prefix, int64_t n);

// A number as a wanted qualifier value: decimal, left-justified in 16.
std::string number_key(int64_t n);

// The elements of a profile data set, read from its loading sequence.
struct ProfileElements {
  int64_t points = 0;       // the point element's count ("#10" or "10" gives 10)
  int64_t column = 0;       // "N_COL"; 0 when the data set has none
  bool has_column = false;
  int64_t property = 0;     // "PROPERTIES": the property number
  int64_t properties = 0;   // and the number of members of its set
  int64_t components = 0;   // "COMPONENTS": members, or the run's count for "ID_NCC"
  bool has_components = false;
  std::string substream;    // first non-blank "SUBSTREAM" value, trailing blanks cut
};
ProfileElements profile_elements(std::string_view lsetid, std::string_view point_keyword = "TRAY_NO");
// The same for the data set of a tree node.
ProfileElements node_elements(int64_t node, std::string_view point_keyword = "TRAY_NO");

// The data sets of one section of a block: the node the tree finds for the
// section and its following siblings of the same keyword (empty when the
// section is absent).
std::vector<int64_t> section_nodes(const ProfileBlock& b, std::string_view section);
bool section_present(const ProfileBlock& b, std::string_view section);
// The first data set of a section whose "N_COL" element is column (column
// 0: the section's first data set). 0 when there is none.
int64_t column_node(const ProfileBlock& b, std::string_view section, int64_t column);

// The first data set of a section whose "PROPERTIES" element is property
// and (column > 0) whose "N_COL" element is column: the choice of the data
// set by those keys, made from what the data sets' sequences say (read
// once per load) instead of evaluating each sibling's whole qualifier
// block. 0 when none; property 0 takes any.
int64_t choose_profile_node(const ProfileBlock& b, std::string_view section, int64_t property, int64_t column);

// A block section's path ("BLOCK", model, id, section) as a caller's
// keyword array for the generic readers: four elements, each as wide as the
// longest keyword (at least 8), held on the stack, since every profile and
// size read builds one.
struct CallerPath {
  std::array<char, 4 * kKeywordChars> text;
  size_t width = 8;
  int64_t nid = 4;
  explicit CallerPath(const std::array<std::string_view, 4>& keys);
  CallerPath(const ProfileBlock& b, std::string_view section) : CallerPath(b.path(section)) {}
  char* data() { return text.data(); }
  // Keyword i without its trailing blanks, and all four.
  std::string_view key(size_t i) const {
    return TextField::trim_right(std::string_view(text.data() + i * width, width));
  }
  std::array<std::string_view, 4> keys() const { return {key(0), key(1), key(2), key(3)}; }
};

// Tree node -> the qualifier (loading sequence, 8 characters) its data
// record names; blank when the node carries none.
std::string node_qualifier(int64_t node);
// The data set of a chosen node under path, read by the node's own record:
// siblings may share a loading sequence, which alone finds only the first
// of them. Not found when the node is 0 or not a data set's.
DatasetAnswer lookup_node(std::span<const std::string_view> path, int64_t node);

// Quantity name and unit label of a profile read.
struct ProfileUnits {
  TextField quantity;
  TextField label;
};

// A per-point profile: values first .. first+n-1 of the data set at
// (path, qualifier), converted with the data set's first unit type and
// unit code, into values[0..n-1]. Values the data set does not hold are
// not written. The quantity name and label are set (blank without a unit
// type). False when the data set holds no values.
bool read_point_profile(std::span<const std::string_view> path, std::string_view qualifier,
                        int64_t first, int64_t n, double* values, ProfileUnits units);

// A per-component profile: each value of the data set's range [first,
// first+count) (count < 0: to the end) is placed at (component position,
// point) of values, whose leading dimension is ld, by its "COMPONENTS"
// qualifier (positions in order of first appearance, ids appended to
// compids) and its point qualifier (a decimal text; an integer for
// "NPOINT"). Values whose
// component position exceeds ld or whose point lies outside 1..npoints are
// not stored; no id beyond ld is written. Values without a unit type are
// copied as stored. False when the data set holds no values.
bool read_component_profile(std::span<const std::string_view> path, std::string_view qualifier,
                            int64_t first, int64_t count, int64_t ld, int64_t npoints, char* compids,
                            size_t compids_len, double* values, ProfileUnits units,
                            std::string_view point_qualifier = "TRAY_NO");

}  // namespace flowsum
