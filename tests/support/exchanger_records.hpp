// Fixture data sets of a rigorous exchanger and of a column's intermediate
// streams, on top of FlowsheetWriter.
//
//  BLOCK model id GEOMETRY, SHELLS, TUBES, NOZZLES, EQUIP-SP, DET-RES1,
//                 DET-RES2  qualifier PROPERTIES, one value per property
//  BLOCK model id TWS_ZON   qualifiers PROPERTIES and ZONES (members 1..n):
//                           the properties of zone 1, then of zone 2, ...
//  BLOCK model id TWS_Z_n   one data set per property (element PROPERTIES),
//                           one value per point (element POINTS, 1..m)
//  BLOCK model id TWS_PRF   qualifiers PROPERTIES QA QB and NPOINTS: per
//                           point two position rows, then the properties
//  BLOCK model id ICSTRM    qualifiers PROPERTIES and ICSTRM (#n): per
//                           stream the seven values 31 32 62 2 63 102 19
//  BLOCK model id ICS-CON   the same with the integers 123 313 124 314
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// A real with its property and unit type (values in unit 1, the SI unit).
struct PropertyReal {
  int64_t property = 0;
  int64_t unit_type = 0;
  double value = 0;
};

struct Exchanger {
  std::string model = "TWOSIDE";
  std::string id;
  std::vector<PropertyReal> shells, tubes, nozzles, equip, det1, det2;
  // GEOMETRY: these reals, then the integer 33 and the text 30.
  std::vector<PropertyReal> geometry;
  int64_t geometry_integer = 0;
  std::string geometry_text;
  // zone_table[z][k]: property zone_props[k] of zone z + 1.
  std::vector<PropertyReal> zone_props;  // unit types; values unused
  std::vector<std::vector<double>> zone_table;
  // profiles[z][k][p]: property profile_props[k] of zone z + 1 at point p + 1.
  std::vector<PropertyReal> profile_props;
  std::vector<std::vector<std::vector<double>>> profiles;
  // TWS_PRF: per point its two positions and one value per property.
  std::vector<PropertyReal> point_props;
  std::vector<std::string> qa, qb;  // per property
  std::vector<std::vector<double>> positions;  // [point][0..1]
  std::vector<std::vector<double>> point_values;  // [point][property]
};

// A column block's intermediate streams: values[s][q] and connections[s][q].
struct IntermediateStreams {
  std::string model;  // "TRAYCOL", "KINETCOL", ...
  std::string id;
  std::vector<std::vector<double>> values;       // 7 per stream
  std::vector<std::vector<int64_t>> connections;  // 4 per stream
  bool listed = false;  // the stream set lists its members instead of "#n"
};

// Unit types of the seven intermediate-stream values.
inline const std::vector<int64_t>& intermediate_unit_types() {
  static const std::vector<int64_t> t{unit_type::kEnthalpyFlow, unit_type::kEnthalpyFlow,
                                      unit_type::kEnthalpyFlow, 0, 0, unit_type::kTemperature,
                                      unit_type::kPressure};
  return t;
}

void write_exchanger(FlowsheetWriter& w, const Exchanger& x);
void write_intermediate_streams(FlowsheetWriter& w, const IntermediateStreams& s);

// An exchanger with sizes and values drawn from seed.
Exchanger sample_exchanger(const std::string& id, uint64_t seed);
IntermediateStreams sample_intermediate_streams(const std::string& model, const std::string& id, uint64_t seed);

}  // namespace flowsum::testing

namespace flowsum::testing {

struct RandomExchangers {
  std::vector<Exchanger> exchangers;
  std::vector<IntermediateStreams> columns;
};
// Up to two exchangers and two columns with intermediate streams, drawn from
// seed; identifiers new to used_ids, which receives them.
RandomExchangers random_exchangers(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids);

}  // namespace flowsum::testing

namespace flowsum::testing {

// The example's heater: a heating curve of 5 points from inlet to outlet
// (temperatures in K, pressures in Pa, duty from 0 to the block's duty in
// W, the vapour fraction and the liquid mass flow in kg/s) and its rating:
// two zones of three points, shells, tubes and nozzles.
void example_heat_transfer(FlowsheetWriter& w, const std::string& model, const std::string& block,
                           double t_in, double t_out, double p_in, double p_out, double duty);

}  // namespace flowsum::testing
