// Random plug-flow and batch reactors and relief objects with their truth.
// Profile data sets loop PROPERTIES, then SUBSTREAM, COMPONENTS and NPOINT
// (written "#n") as they have them; values are Series of the column
// records (SI, [point * ncomp + component] for compositions).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/column_records.hpp"

namespace flowsum::testing {

struct ReactorTruth {
  std::string substream;
  int64_t points = 0, components = 0;
  std::vector<Series> properties;  // listing order
};
struct RandomReactor {
  std::string model, id;
  std::vector<ReactorTruth> profiles;  // by profile number
  int64_t substreams = 0;              // substream sections written
  ReactorTruth accumulator, vent;      // batch vessel
};
// A relief object: scenario results (kind 1 integer, 2 real, 3 text, 4
// message; text holds the expected text; si[0] the value) and the vent
// sections (si holds points * sets values, components one id per set).
struct RandomRelief {
  std::string id;
  std::vector<Series> dynamic, steady, vent;
  int64_t points = 0;
};

std::vector<RandomReactor> random_reactors(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                           std::set<std::string>& used);
std::vector<RandomRelief> random_reliefs(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                         std::set<std::string>& used);

struct RandomFlowsheet;
// Every reactor and relief routine against a random flowsheet's truth (the
// round trip calls it).
void check_reactors(const RandomFlowsheet& f);

}  // namespace flowsum::testing
