// Column data sets ("BLOCK" model id section, a sequence looping sets of
// one qualifier each, the first fastest: PROPERTIES, COMPONENTS, N_COL,
// NPOINTS (section number in characters 1-4, column in 5-8), TRAY_NO), and
// random column blocks with their truth.
#pragma once

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// Reproducible draws from the engine's raw stream (the standard
// distributions differ between libraries).
class Draws {
 public:
  explicit Draws(uint64_t state) : e_(state) {}
  uint64_t below(uint64_t n) { return n == 0 ? 0 : e_() % n; }  // 0 .. n-1
  int64_t between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(below(static_cast<uint64_t>(hi - lo + 1))); }
  bool chance(int percent) { return below(100) < static_cast<uint64_t>(percent); }
  template <class T>
  const T& pick(const std::vector<T>& v) { return v[below(v.size())]; }
  std::mt19937_64 e_;
};

// One identifier set of a column data set (name "ID_NCC": the run's).
struct ColumnSet {
  std::vector<std::string> qualifiers;
  std::vector<IdMember> members;
  std::string name;
};
inline std::string num(int64_t n) { return std::to_string(n); }
// A set of members 1 to n, written "#n".
inline ColumnSet counted_set(const std::string& qualifier, int64_t n) { return {{qualifier}, {{{"#" + num(n)}}}, ""}; }
// The sets (fresh names, tried from *next on), a sequence looping them and
// the data set at path.
void column_dataset(FlowsheetWriter& w, const std::vector<std::string>& path, const std::vector<ColumnSet>& sets,
                    const std::vector<Value>& values, int* next = nullptr);
ColumnSet property_set(int64_t property, int64_t unit_type = 0, int64_t type = 2);
ColumnSet column_set(int64_t column);
ColumnSet identity_set(int64_t section, int64_t column);
// Trays 1 to n are written "#n" (a profile's tray count) unless listed.
ColumnSet tray_set(const std::vector<int64_t>& trays, bool listed = false);
ColumnSet component_set(const std::vector<std::string>& components);  // empty: ID_NCC
ColumnSet keyed_set(const std::string& qualifier, const std::vector<std::string>& keys);  // members listed

// A series of the truth (profile or report property, result), in SI: one
// per tray, or [tray * ncomp + component] for kind 2.
struct Series {
  std::string name;
  int64_t kind = 1;        // 1 per tray, 2 per component; results: 1 integer, 2 real, 3 text
  char part = 'A';         // section profiles
  int64_t unit_type = 0;
  bool written = true;     // listed but no data set when false
  std::vector<int64_t> trays;
  std::vector<std::string> components;
  std::string component, text;  // report qualifier; text result
  std::vector<double> si;
};
struct RandomSection {
  std::string type;
  int64_t number = 0;
  std::vector<Series> results, profile;
};
struct RandomColumn {
  int64_t trays = 0, components = 0;
  std::vector<Series> properties, reports, summary;
  std::vector<RandomSection> sections;
  std::vector<Series> connections;  // refinery: the column's connection results in listing order
};
struct RandomColumnBlock {
  std::string model, id;  // model as written in the paths
  std::vector<RandomColumn> columns;
  std::vector<Series> reboiler;  // results, then (kind 2) the compositions
  // Refinery: each main-column connection's results then "MF_CON" values;
  // each stripper's number of "MSCO_" data sets.
  std::vector<std::vector<Series>> feed_connections;
  std::vector<int64_t> stripper_sets;
};

// Column blocks of every model, with identifiers not in `used` (which
// receives them), over the run's components ncc.
std::vector<RandomColumnBlock> random_column_blocks(uint64_t seed, FlowsheetWriter& w,
                                                    const std::vector<std::string>& ncc, std::set<std::string>& used);

}  // namespace flowsum::testing
