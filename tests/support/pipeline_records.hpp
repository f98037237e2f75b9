// Fixture data sets of pipeline blocks (model DUCTLINE), on top of
// FlowsheetWriter; every real is written in unit 1 of its unit type.
//
//  BLOCK DUCTLINE id PIP_IN, PIP_OUT   PROPERTIES, one value per entry
//  BLOCK DUCTLINE id PIP_DAT, PIP_DES, FLU_PROP, PIP_PROF, PIP_LEN
//                                      PROPERTIES crossed with NPOINTS;
//                                      one data set per property
//  BLOCK DUCTLINE id PIP_IN2, PIP_OU2  PROPERTIES crossed with COMPONENTS
//  BLOCK DUCTLINE id TUBE_PRP          PROPERTIES SUBSTREAM PHASE COMPONENTS
//                                      BASIS UNITS crossed with NPOINTS
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/curve_records.hpp"

namespace flowsum::testing {

// One property of a section: its values (reals, or texts for kind 5 and 6).
struct PipeSeries {
  int64_t property = 0;
  int64_t type = 2;  // 1 integer, 2 real, 5 text of 8, 6 long text
  int64_t unit_type = 0;
  std::vector<double> reals;
  std::vector<std::string> texts;
  std::vector<std::string> qualifiers;  // TUBE_PRP: substream, phase, component, basis
  size_t size() const { return type == 2 || type == 1 ? reals.size() : texts.size(); }
};

struct PipelineRecord {
  std::string model = "DUCTLINE", id;
  std::vector<PipeSeries> inlet, outlet;  // one value per series
  std::vector<std::string> components;    // of the compositions (empty: the run's)
  std::vector<PipeSeries> comp_in, comp_out, segments, descriptions, fluid, profile, tube;
  PipeSeries length;                      // PIP_LEN; no data set when empty
};

// Data sets of the same layout share their sets and loading sequence, as a
// simulator writes them.
class PipelineWriter {
 public:
  explicit PipelineWriter(FlowsheetWriter& w) : w_(w) {}
  void pipeline(const PipelineRecord& p);

 private:
  FlowsheetWriter& w_;
};

// Pipelines with identifiers not in `used` (which receives them) over the
// run's components ncc; now and then a block of a model that begins like
// "DUCTLINE" or is a prefix of it.
std::vector<PipelineRecord> random_pipelines(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                             std::set<std::string>& used);

}  // namespace flowsum::testing
