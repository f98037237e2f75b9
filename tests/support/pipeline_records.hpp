// Fixture pipeline blocks (model DUCTLINE), reals in unit 1: PIP_IN and
// PIP_OUT by PROPERTIES; a data set per property crossed with NPOINTS
// (PIP_DAT, PIP_DES, FLU_PROP, PIP_PROF, PIP_LEN, TUBE_PRP) or COMPONENTS.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/curve_records.hpp"

namespace flowsum::testing {

// One property of a section: its values (reals, or texts for kind 5 and 6).
struct PipeSeries {
  int64_t property = 0, type = 2, unit_type = 0;  // type: 1 integer, 2 real, 5 text of 8, 6 long text
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

struct PipelineWriter {
  explicit PipelineWriter(FlowsheetWriter& w) : w_(w) {}
  void pipeline(const PipelineRecord& p);
  FlowsheetWriter& w_;
};

// Pipelines with identifiers not in `used` (which receives them), now and
// then of a model that merely looks like DUCTLINE.
std::vector<PipelineRecord> random_pipelines(uint64_t seed, FlowsheetWriter& w, const std::vector<std::string>& ncc,
                                             std::set<std::string>& used);

}  // namespace flowsum::testing
