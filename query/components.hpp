// Components: the run's conventional ("ID_NCC") and non-conventional
// ("ID_NNC") component lists (TKCOMP, TKCIDS) and pure-component property
// vectors such as molecular weights (TKCPRP).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/text_field.hpp"

namespace flowsum {

struct ComponentCounts {
  int64_t conventional = 0;
  int64_t nonconventional = 0;
};
// TKCOMP: the number of members of each set; 0 for a set the file lacks.
ComponentCounts component_counts();

// The identifiers of an identifier set of components, 8 characters each,
// in the order of the set; empty when the set is absent.
std::vector<std::string> component_set(std::string_view set_name);

// The data-set keyword of a property name: "TB..." reads "TB", "MW..."
// "MW", "VLSTD..." and "VSTD..." "VST"; any other name its first 8
// characters (trailing blanks cut).
std::string component_property_keyword(std::string_view name);

// TKCPRP: values 1..min(n, stored) of the property vector converted with the
// unit of its first value; the label of that unit. Nothing is written when
// the property has no data set.
void component_property(std::string_view name, int64_t n, double* values, TextField label);

}  // namespace flowsum
