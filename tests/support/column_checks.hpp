// Checks of the families against a random flowsheet's truth, run by the
// round trip on every flowsheet it loads.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/random_flowsheet.hpp"

namespace flowsum::testing {

void check_columns(const RandomFlowsheet& f);
void check_heat_transfer(const RandomFlowsheet& f);
void check_equipment(const RandomFlowsheet& f);
void check_pipelines(const RandomFlowsheet& f);
// A refinery block's counts, summary results and connections.
void check_refinery(const RandomColumnBlock& blk);

// Values equal to the truth's SI values (to the last digits).
inline void expect_si(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9 * std::abs(want[i])) << i;
}
// Field k of a caller's array of width-character fields, trailing blanks cut.
inline std::string field(const std::string& a, size_t width, size_t k) {
  const std::string f = a.substr(width * k, width);
  return f.substr(0, f.find_last_not_of(' ') + 1);
}
// Quantity name and SI label of a unit type ("" for none).
inline std::vector<std::string> units_of(int64_t unit_type) {
  if (unit_type == 0) return {"", ""};
  return {known_type_name(unit_type), si_label(unit_type)};
}

}  // namespace flowsum::testing
