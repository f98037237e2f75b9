// Fixture data sets of column blocks, on top of FlowsheetWriter.
//
//  BLOCK model id section   one data set per profile property, each with its
//                           own loading sequence: the property (qualifier
//                           PROPERTIES, a real with its unit type), the
//                           column (N_COL) when given, the components
//                           (COMPONENTS: ID_NCC or a set of its own) for a
//                           per-component profile, and the trays (TRAY_NO,
//                           "#n"). Values tray by tray, components fastest.
//  BLOCK model id COL_INFO  a column's summary values (PROPERTIES, N_COL)
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One profile data set. values[t * ncomp + c]: tray t + 1, component c
// (ncomp 1 for a per-tray profile). halves: the data set holds the values
// twice over, a liquid then a vapour half (the rate-based reaction rates).
struct ColumnProfileSet {
  int64_t property = 0;
  int64_t column = 0;                   // 0: no N_COL element
  int64_t trays = 0;
  std::vector<std::string> components;  // empty: per tray
  bool all_components = false;          // COMPONENTS is ID_NCC
  int64_t unit_type = 0;
  int64_t unit_code = 1;
  std::vector<double> values;
  bool halves = false;
};

struct ColumnSummaryValue {
  int64_t property = 0;
  double value = 0;
  int64_t unit_type = 0;
  int64_t unit_code = 1;
};

// One tray-report data set: a qualified property on some trays.
struct TrayReportSet {
  int64_t property = 0;
  std::string substream = "MIXED", phase = "LIQUID", component, basis = "MOLE", units;
  int64_t column = 0;  // 0: no N_COL element
  std::vector<int64_t> trays;
  int64_t unit_type = 0;
  int64_t unit_code = 1;
  std::vector<double> values;  // one per tray
};

// One value of a sized or rated section's results.
struct SectionResultValue {
  int64_t property = 0;
  int64_t type = 2;  // 1 integer, 2 real, 5 text
  int64_t integer = 0;
  double real = 0;
  std::string text;
  int64_t unit_type = 0;
  int64_t unit_code = 1;
};

class ColumnWriter {
 public:
  // A section's data sets carry their identity in "NPOINTS": the section
  // number in characters 1-4 and, for a linked column (column > 0), the
  // column number in 5-8.
  void section_results(const std::string& model, const std::string& block, const std::string& keyword,
                       int64_t section, int64_t column, const std::vector<SectionResultValue>& values);
  void section_profile(const std::string& model, const std::string& block, const std::string& keyword,
                       int64_t section, int64_t column, int64_t property, const std::vector<int64_t>& trays,
                       int64_t unit_type, int64_t unit_code, const std::vector<double>& values);
  void tray_report(const std::string& model, const std::string& block, const std::string& section,
                   const TrayReportSet& r);
  // TREB_XXY of a tray column: values[c * nprop + p] for component c and
  // property p (unit-less).
  void reboiler_compositions(const std::string& block, const std::vector<int64_t>& properties,
                             const std::vector<std::string>& components, const std::vector<double>& values);
  explicit ColumnWriter(FlowsheetWriter& w) : w_(w) {}
  void profile(const std::string& model, const std::string& block, const std::string& section,
               const ColumnProfileSet& p);
  void column_info(const std::string& model, const std::string& block, int64_t column,
                   const std::vector<ColumnSummaryValue>& values);

 private:
  std::string fresh(const std::string& prefix) { return prefix + std::to_string(++counter_); }
  std::string property_set(int64_t property, int64_t unit_type);
  std::string column_set(int64_t column);
  FlowsheetWriter& w_;
  int counter_ = 0;
};

}  // namespace flowsum::testing

namespace flowsum::testing {

// Random column blocks with their truth, for the round-trip flowsheets.
// A listed property whose data set was not written reads as absent.
struct RandomColumnProperty {
  std::string name;
  int64_t kind = 1;
  bool written = true;
  int64_t unit_type = 0;
  std::vector<std::string> components;  // kind 2, in the order written
  std::vector<double> si;               // per tray, or [tray * ncomp + component]
};
struct RandomTrayReport {
  std::string name, substream, phase, component, basis;
  std::vector<int64_t> trays;
  int64_t unit_type = 0;
  std::vector<double> si;
};
struct RandomReboiler {
  std::vector<std::string> names, quantities;  // quantities "" without a unit
  std::vector<int64_t> unit_types;
  std::vector<double> si;
  std::vector<std::string> composition_names, components;
  std::vector<double> compositions;  // [component + ncomp * property]
};
struct RandomSectionProperty {
  std::string name;
  char part = 'A';
  int64_t unit_type = 0;
  std::vector<int64_t> trays;
  std::vector<double> si;
};
struct RandomSection {
  std::string type;
  int64_t number = 0;
  std::vector<std::string> names;
  std::vector<SectionResultValue> results;  // reals in SI
  std::vector<RandomSectionProperty> profile;  // parts A to D
};
struct RandomColumn {
  std::vector<RandomSection> sections;    // in listing order
  std::vector<RandomTrayReport> reports;  // in chain order
  int64_t trays = 0;
  int64_t components = 0;
  std::vector<RandomColumnProperty> properties;  // in listing order
  std::vector<std::string> summary_names;        // rate-based columns
  std::vector<ColumnSummaryValue> summary;       // values in SI
};
struct RandomColumnBlock {
  std::string model;  // as written in the paths
  std::string id;
  std::vector<RandomColumn> columns;
  bool has_reboiler = false;
  RandomReboiler reboiler;
};

// Writes column blocks of every model with identifiers not in `used`
// (which receives them) over the run's components ncc.
std::vector<RandomColumnBlock> random_column_blocks(uint64_t seed, FlowsheetWriter& w,
                                                    const std::vector<std::string>& ncc,
                                                    std::set<std::string>& used);

}  // namespace flowsum::testing
