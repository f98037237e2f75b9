// Fixture exchanger detail: result tables (qualifier PROPERTIES) for
// GEOMETRY, SHELLS, TUBES, NOZZLES, EQUIP-SP, DET-RES1, DET-RES2; TWS_ZON
// loops the zone properties over ZONES (1..n); TWS_Z_n holds a data set per
// property over POINTS (1..m); TWS_PRF loops two position rows and the
// properties (PROPERTIES QA QB) over NPOINTS; ICSTRM and ICS-CON loop the
// values 31 32 62 2 63 102 19 and the integers 123 313 124 314 over ICSTRM.
#pragma once

#include <set>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

struct PropertyReal {  // a value in unit 1 of its type
  int64_t property = 0, unit_type = 0;
  double value = 0;
};

struct Exchanger {
  std::string model = "TWOSIDE", id;
  std::vector<PropertyReal> shells, tubes, nozzles, equip, det1, det2, geometry;
  int64_t geometry_integer = 7;  // GEOMETRY ends with the integer 33 and the text 30
  std::string geometry_text = "TEMA";
  std::vector<PropertyReal> zone_props, profile_props, point_props;
  std::vector<std::vector<double>> zone_table;             // [zone][property]
  std::vector<std::vector<std::vector<double>>> profiles;  // [zone][property][point]
  std::vector<std::vector<double>> point_rows;             // [point]: two positions, the properties
};

struct IntermediateStreams {
  std::string model, id;
  std::vector<std::vector<double>> values;        // 7 per stream
  std::vector<std::vector<int64_t>> connections;  // 4 per stream
  bool listed = false;                            // members listed instead of "#n"
};
inline const std::vector<int64_t> kIntermediateUnitTypes{13, 13, 13, 0, 0, 22, 20};

struct RandomExchangers {
  std::vector<Exchanger> exchangers;
  std::vector<IntermediateStreams> columns;
};

void write_exchanger(FlowsheetWriter& w, const Exchanger& x);
void write_intermediate_streams(FlowsheetWriter& w, const IntermediateStreams& s);
Exchanger sample_exchanger(const std::string& id, uint64_t seed);
RandomExchangers random_exchangers(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids);
// The example heater's curve (5 points, the liquid mass flow as a further
// property) and rating (two zones of three points).
void example_heat_transfer(FlowsheetWriter& w, const std::string& model, const std::string& block, double t_in,
                           double t_out, double p_in, double p_out, double duty);

}  // namespace flowsum::testing
