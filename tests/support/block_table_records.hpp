// Fixture data sets of block and table results, on top of FlowsheetWriter:
// reactor property reports, property tables (a flash curve and the like),
// phase envelopes of several curves, sensitivity studies and the flowsheet
// balance. Block result tables with descriptive qualifiers and every value
// type are FlowsheetWriter::block_results.
//
// Conventions of these data sets:
//
//  BLOCK model id section   one data set per profile of a reactor report,
//                           siblings of one section keyword; qualifiers
//                           PROPERTIES SUBSTREAM PHASE COMPONENTS BASIS and
//                           the point counter NPOINT; every profile has its
//                           own loading sequence
//  PROP-TABLE type id PROPTAB
//                           values point by point, one per column; columns
//                           described as the profiles are
//  PROP-TABLE PTENVELOPE id PROPTAB
//                           per point: the curve marker (7003), the
//                           coordinates (7001, 7002), the point status (131),
//                           then the property columns
//  SENSITIVITY id SNS_TAB   qualifiers PROPERTIES, NPOINTS, NCOL: column
//                           descriptors (106..111, long texts), entries
//                           (105, reals), point status (131, integers)
//  FLWBAL                   reals, no unit
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One column of a table or one profile of a report: its descriptors, unit
// and values (one per point).
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

  // The profiles of one reactor report (all of the same number of points).
  void reactor_report(const std::string& model, const std::string& block, const std::string& section,
                      const std::vector<ProfileColumn>& profiles);
  // A property table of the given type; every column has the same number
  // of values, the table's number of points.
  void property_table(const std::string& type, const std::string& id,
                      const std::vector<ProfileColumn>& columns);
  // A phase envelope; `columns` describe the property columns (their values
  // come with the points).
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

// The example's property table and sensitivity study: a flash curve
// "FLASH1" of 5 points (temperature and vapour fraction, in K and without a
// unit) and a study "S-1" of 3 points by 2 columns. For the example file.
void example_tables(FlowsheetWriter& w);

}  // namespace flowsum::testing
