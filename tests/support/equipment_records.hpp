// Fixture compressor blocks (BOOSTR: PERF_SCL; STAGEBST: PERF_STG, SGBS_PRF,
// COOL_PRF, a PERF_WHL per stage keyed by STAGE_NO) and costed equipment
// items ("COSTING EQUIPMEN type id" SZECST, or SZECST1 for towers and
// CUSTOM2), reals in unit 1.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/curve_records.hpp"

namespace flowsum::testing {

// Values at points by properties; each property has one unit type (0: none).
struct ResultGrid {
  std::vector<std::pair<int64_t, int64_t>> properties;  // number, unit type
  std::vector<std::vector<double>> values;              // [point][property]
  int64_t npoints() const { return static_cast<int64_t>(values.size()); }
  int64_t nprops() const { return static_cast<int64_t>(properties.size()); }
  bool empty() const { return values.empty() || properties.empty(); }
};

struct CompressorRecord {
  // "BOOSTR" or "STAGEBST"; the multistage sections are written for any
  // model beginning "STAGEB".
  std::string model, id;
  ResultGrid performance;  // BOOSTR: one point; STAGEBST: one point a stage
  ResultGrid stages, coolers;
  std::map<int64_t, ResultGrid> wheels;  // by stage number
};

struct CostResult {
  int64_t property = 0, type = 2, integer = 0;  // type: 1 integer, 2 real, 5 text of 8, 6 long text
  double real = 0;
  int64_t unit_type = 0;  // reals only
  bool missing = false;   // a real written as "*"
  std::string text;
};

struct CostingRecord {
  std::string type, id, section;  // type as written in the path ("TRAY-TOWER", "PUMP", ...)
  std::vector<CostResult> results;
};
std::string costing_section_of(const std::string& type);

struct EquipmentWriter {
  explicit EquipmentWriter(FlowsheetWriter& w) : w_(w) {}
  void compressor(const CompressorRecord& c);
  void costing(const CostingRecord& c);
  FlowsheetWriter& w_;
};

}  // namespace flowsum::testing
