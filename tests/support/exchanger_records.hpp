// Fixture exchanger detail (result tables, zone table TWS_ZON, zone
// profiles TWS_Z_n, per-point section TWS_PRF) and intermediate streams
// (ICSTRM and ICS-CON looped over ICSTRM).
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

struct RandomExchangers {
  std::vector<Exchanger> exchangers;
  std::vector<IntermediateStreams> columns;
};

void write_exchanger(FlowsheetWriter& w, const Exchanger& x);
Exchanger sample_exchanger(const std::string& id, uint64_t seed);
RandomExchangers random_exchangers(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids);
// The example heater's curve (5 points) and rating (two zones of three points).
void example_heat_transfer(FlowsheetWriter& w, const std::string& model, const std::string& block, double t_in,
                           double t_out, double p_in, double p_out, double duty);

}  // namespace flowsum::testing
