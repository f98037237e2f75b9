// Random plug-flow and batch reactors and relief objects with their truth,
// values as Series of the column records.
#pragma once

#include <set>

#include "support/column_records.hpp"

namespace flowsum::testing {

// A profile in listing order (relief profiles read by flow basis keep
// their data set's loading sequence in Series::text).
struct ReactorTruth {
  std::string substream;
  int64_t points = 0, components = 0;
  std::vector<Series> properties;
};
// A section read whole (empty: not written): per value, properties
// fastest, its name, unit type and SI value.
struct ValueTable {
  int64_t points = 0, width = 0, components = 0;  // width: values per point
  std::vector<std::string> names;
  std::vector<int64_t> unit_types;
  std::vector<double> si;
};
struct CatalystAttribute {  // of RBTA_1
  std::string component, attribute;
  std::vector<std::string> elements;
  std::vector<double> values;
};
struct RandomReactor {
  std::string model, id;
  std::vector<ReactorTruth> profiles;  // by profile number
  int64_t substreams = 0;              // substream sections written
  ReactorTruth accumulator, vent;      // batch vessel
  // REAC_PRF, SEL_PRF, HEAT_PRF, L2_SEGM, SPFRC, VLE3
  ValueTable reaction, selectivity, heat, segments, fractions, equilibrium;
  std::vector<CatalystAttribute> catalyst;  // grouped by component
  std::vector<std::string> feeds;           // RBFC_1 then RBFI_1 names
  int64_t feed_c = 0;                       // how many of them RBFC_1
};
// Scenario results (kind 1 integer, 2 real, 3 text, 4 message); vent
// sections in listing order, points * sets values, a component a set.
struct RandomRelief {
  std::string id;
  std::vector<Series> dynamic, steady, vent;
  int64_t points = 0, vessel_substreams = 0;
  std::vector<double> times;
  std::vector<ReactorTruth> vessel;  // by profile number
  ReactorTruth steady_profile, accumulator;
};

std::vector<RandomReactor> random_reactors(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                           std::set<std::string>& used);
std::vector<RandomRelief> random_reliefs(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                         std::set<std::string>& used);

struct RandomFlowsheet;
void check_reactors(const RandomFlowsheet& f);

}  // namespace flowsum::testing
