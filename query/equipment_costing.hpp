// Equipment costing: the sizing and costing results of a costed equipment
// item (TKNEQS, TKEQSR) and its three headline values (TKEQCR).
//
// An item is found in the equipment table, which gives its 8-character
// type. Its results are the data set "COSTING", "EQUIPMEN", type, id,
// section: section SZECST1 for the types "TRAY-TOW", "PACK-TOW" and
// "CUSTOM2", SZECST for every other type. One value per result, with the
// qualifier "PROPERTIES" (the property number); a value is an integer, a
// real (with a unit type and the code of its stored unit) or a text.
//
// Headline values by property number: 222 the quantity (an integer), 381
// the purchased cost and 382 the installed cost (reals).
#pragma once

#include <cstdint>
#include <string_view>

namespace flowsum {

inline constexpr int64_t kQuantityProperty = 222;
inline constexpr int64_t kPurchasedCostProperty = 381;
inline constexpr int64_t kInstalledCostProperty = 382;

// The result section of an equipment type (its stored 8 characters).
std::string_view costing_section(std::string_view type);

}  // namespace flowsum
