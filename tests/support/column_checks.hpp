// Checks of the families against a random flowsheet's truth, run by the
// round trip.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "loading/reference_tables.hpp"
#include "support/caller.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;
inline int64_t I(size_t n) { return static_cast<int64_t>(n); }
inline size_t Z(int64_t n) { return static_cast<size_t>(std::max<int64_t>(n, 0)); }
// A property's name in a caller's field of 12.
inline std::string name_of(int64_t property) { return pad(flowsum::property_name(property), 12); }

void check_columns(const RandomFlowsheet& f);
void check_heat_transfer(const RandomFlowsheet& f);
void check_equipment(const RandomFlowsheet& f);
void check_pipelines(const RandomFlowsheet& f);
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
// Fields 0..n of a caller's array, trailing blanks cut (n: the guard), and
// the truth with that guard added.
inline std::vector<std::string> listed(const Field& f, size_t n) {
  std::vector<std::string> t;
  for (size_t k = 0; k <= n; ++k) t.push_back(f.trimmed(k));
  return t;
}
inline std::vector<std::string> guarded(std::vector<std::string> v, size_t width) {
  return v.push_back(std::string(width, '#')), v;
}
template <class T>
std::vector<T> guarded(std::vector<T> v, T guard) { return v.push_back(guard), v; }
// Caller arrays of n entries (np names) with a guard entry ('#', -1) after each.
struct Entries {
  std::string names, texts, qnames, labels;
  Ints kinds, ints;
  Reals values;
  int64_t ierr;
  explicit Entries(int64_t n, int64_t flag = -7, int64_t np = -1)
      : names(12 * Z((np < 0 ? n : np) + 1), '#'), texts(12 * Z(n + 1), '#'), qnames(texts), labels(16 * Z(n + 1), '#'),
        kinds(Z(n + 1), -1), ints(kinds), values(Z(n + 1), -1.0), ierr(flag) {}
  auto key() const { return std::tie(ierr, names, texts, qnames, labels, kinds, ints, values); }
};
// Quantity name and SI label of a unit type ("" for none).
inline std::vector<std::string> units_of(int64_t unit_type) {
  if (unit_type == 0) return {"", ""};
  return {known_type_name(unit_type), si_label(unit_type)};
}

}  // namespace flowsum::testing
