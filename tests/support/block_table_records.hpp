// Reactor property reports (a data set per profile), property tables,
// phase envelopes (per point 7003, 7001, 7002, 131, then the columns),
// sensitivity studies (descriptors 106..111, entries 105, status 131) and
// the flowsheet balance.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One column of a table or one profile of a report ("" is written blank).
struct ProfileColumn {
  int64_t property = 0;
  std::string substream = "MIXED", phase = "LIQUID", component, basis = "MOLE";
  int64_t unit_type = 0, unit_code = 1;
  std::vector<double> values;
};

// One point of an envelope: marker, coordinates and one value per column.
struct EnvelopePoint {
  double marker = 0.0, x = 0.0, y = 0.0;
  std::vector<double> columns;
};

// descriptors[c]: up to 6 of column c + 1; entries[p][c]; status by point.
struct SensitivityStudy {
  std::string id;
  int64_t npoints = 0, ncolumns = 0;
  std::vector<std::vector<std::string>> descriptors;
  std::vector<std::vector<double>> entries;
  std::map<int64_t, int64_t> status;
};

class BlockTableWriter {
 public:
  explicit BlockTableWriter(FlowsheetWriter& w) : w_(w) {}

  void reactor_report(const std::string& model, const std::string& block, const std::string& section,
                      const std::vector<ProfileColumn>& profiles);
  void property_table(const std::string& type, const std::string& id, const std::vector<ProfileColumn>& columns);
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

// Flash curve "FLASH1" (5 points) and study "S-1" (3 points by 2 columns).
void example_tables(FlowsheetWriter& w);

}  // namespace flowsum::testing
