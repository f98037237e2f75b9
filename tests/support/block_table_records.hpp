// Fixture data sets of block and table results, on top of FlowsheetWriter:
// reactor property reports (one data set per profile, siblings of one
// section keyword), property tables (values point by point), phase
// envelopes (per point the curve marker 7003, the coordinates 7001 and
// 7002, the status 131, then the columns), sensitivity studies (column
// descriptors 106..111, entries 105, point status 131) and the flowsheet
// balance. Columns and profiles carry the qualifiers PROPERTIES SUBSTREAM
// PHASE COMPONENTS BASIS and the point counter NPOINT.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One column of a table or one profile of a report.
struct ProfileColumn {
  int64_t property = 0;
  std::string substream = "MIXED";
  std::string phase = "LIQUID";
  std::string component;  // "" for none (written as a blank text)
  std::string basis = "MOLE";
  int64_t unit_type = 0;
  int64_t unit_code = 1;
  std::vector<double> values;
};

// One point of an envelope: marker, coordinates and one value per column.
struct EnvelopePoint {
  double marker = 0.0;
  double x = 0.0;  // property 7001
  double y = 0.0;  // property 7002
  std::vector<double> columns;
};

struct SensitivityStudy {
  std::string id;
  int64_t npoints = 0;
  int64_t ncolumns = 0;
  // descriptors[c][d]: descriptor d + 1 of column c + 1 (up to 6 each).
  std::vector<std::vector<std::string>> descriptors;
  // entries[p][c]: entry (p + 1, c + 1).
  std::vector<std::vector<double>> entries;
  // Status of the points that have one.
  std::map<int64_t, int64_t> status;
};

class BlockTableWriter {
 public:
  explicit BlockTableWriter(FlowsheetWriter& w) : w_(w) {}

  void reactor_report(const std::string& model, const std::string& block, const std::string& section,
                      const std::vector<ProfileColumn>& profiles);
  // Every column holds one value per point.
  void property_table(const std::string& type, const std::string& id,
                      const std::vector<ProfileColumn>& columns);
  // `columns` describe the property columns; their values come with the points.
  void envelope(const std::string& id, const std::vector<ProfileColumn>& columns,
                const std::vector<EnvelopePoint>& points);
  void sensitivity(const SensitivityStudy& study);
  void flowsheet_balance(const std::vector<double>& reals);

 private:
  std::string fresh(const std::string& prefix);
  std::string points_set(int64_t npoints);
  IdMember column_member(const ProfileColumn& c) const;

  FlowsheetWriter& w_;
  int counter_ = 0;
};

// A flash curve "FLASH1" of 5 points (temperature and vapour fraction)
// and a study "S-1" of 3 points by 2 columns.
void example_tables(FlowsheetWriter& w);

}  // namespace flowsum::testing
