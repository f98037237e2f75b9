// Fixture heating curves: a data set per curve looping a point's rows over
// NPOINT and HCURV_NO (the number, or "PA1 2" in stripper and pumparound
// sections); and the writer of shared sets the family writers use.
#pragma once

#include <set>

#include "support/column_records.hpp"

namespace flowsum::testing {

struct CurveProperty {  // qualifiers ("" written blank), unit type, a value per point
  int64_t property = 0;
  std::string substream, phase, component, basis;
  int64_t unit_type = 0;
  std::vector<double> values;
};

struct Curve {
  std::string section, type, location;  // location: refinery sections only
  int64_t number = 1;
  std::vector<double> status, temp, pres, vfrac, duty;  // 131, 7001 (K), 7002 (Pa), 7003, 62 (W)
  std::vector<CurveProperty> further;
  size_t npoints() const { return temp.size(); }
};

struct CurveBlock {
  std::string model, id;
  std::vector<Curve> curves;  // in listing order
  bool refinery = false;
  std::vector<std::string> stream_ids;  // ICH_HCUI: by curve number (integers for LINKEDCOL)
};

// The data set at path and a sequence looping the sets, each set and
// sequence named from prefix once per content, so that data sets of one
// layout share them, as a simulator writes them.
void shared_dataset(FlowsheetWriter& w, const std::string& prefix, const std::vector<std::string>& path,
                    const std::vector<ColumnSet>& sets, const std::vector<Value>& values);

struct CurveWriter {  // curves of one layout share their sets
  explicit CurveWriter(FlowsheetWriter& w) : w_(w) {}
  void curve(const std::string& model, const std::string& block, const Curve& c);
  FlowsheetWriter& w_;
};

Curve sample_curve(const std::string& section, const std::string& type, int64_t number, size_t np, size_t nfurther,
                   uint64_t seed);
// Blocks of every curve model and crude units with curves drawn from seed.
std::vector<CurveBlock> random_curve_blocks(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids);

}  // namespace flowsum::testing
