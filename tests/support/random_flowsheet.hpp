// Random flowsheets for round-trip tests: a seeded, reproducible generator
// that writes a summary file and keeps everything it wrote (the truth).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/equipment_records.hpp"
#include "support/curve_records.hpp"
#include "support/exchanger_records.hpp"
#include "support/column_records.hpp"
#include "support/reactor_records.hpp"
#include "support/flowsheet_records.hpp"
#include "support/pipeline_records.hpp"

namespace flowsum::testing {

struct RandomObject {
  std::string type;     // as written in the path (may be longer than 8)
  std::string id;
};

// One value of a block's RESULTS data set.
struct RandomValue {
  int64_t property = 0;
  int64_t type = 2;        // 1 integer, 2 real, 5 text of 8, 6 long text
  int64_t unit_type = 0;   // reals only
  int64_t unit_code = 0;   // code written after a real with a unit type
  bool missing = false;    // written as "*"
  int64_t integer = 0;
  double real = 0;         // as a reader gets it back (real_as_read)
  double si = 0;           // the real in the SI unit of its type
  std::string text;
};

struct RandomBlockResults {
  RandomObject block;
  std::vector<RandomValue> values;
};

// One result row of a stream's main table.
struct RandomStreamRow {
  int64_t property = 0;
  std::string name;        // the property's name ("" for a number no table names)
  std::string substream;   // as written; "" is written blank
  std::string component;   // "" on a total row
  int64_t unit_type = 0;
  int64_t unit_code = 1;
  bool missing = false;    // written as "*"
  double real = 0;         // as a reader gets it back
  double si = 0;           // the real in the SI unit of its type
};

// A stream with a main table; source and destination are whole block
// identifiers ("" for a feed or a product).
struct RandomStreamResults {
  RandomObject stream;
  std::string source, destination;
  std::string stream_class;         // "" is written as missing
  bool without_substream = false;   // no "SUBSTREAM" qualifier: every row is MIXED
  std::vector<RandomStreamRow> rows;
};

// The streams a block lists as entering and leaving it; written: the four
// list data sets exist (perhaps empty).
struct RandomConnections {
  bool written = false;
  std::vector<RandomObject> inlets, outlets;
};

// A unit the generator writes values in: SI = written * factor + offset
// (kept apart from the bundled unit table, which the tests thus check).
struct KnownUnit {
  int64_t unit_type;
  int64_t code;
  double factor;
  double offset;
};
const std::vector<KnownUnit>& known_units();
// The label of a unit type's SI unit, and the type's name.
std::string si_label(int64_t unit_type);
std::string known_type_name(int64_t unit_type);

struct RandomFlowsheet {
  uint64_t seed = 0;
  std::string text;           // the summary file
  Layout layout;              // the line layout the records were written with

  RunInfo run;
  bool has_account = false;
  AccountInfo account;
  std::vector<std::pair<std::string, std::string>> aliases;     // name, text
  std::vector<std::pair<std::string, std::string>> case_names;  // name, text
  std::vector<std::string> ncc, nnc;                            // components

  std::vector<RandomObject> blocks, streams, tables, equipment;  // file order
  std::vector<std::string> reliefs;
  std::vector<RandomBlockResults> results;  // one per block, same order
  std::vector<RandomStreamResults> stream_results;  // streams with a main table, file order
  std::vector<RandomConnections> connections;       // one per block, same order
  std::vector<CompressorRecord> compressors;        // compressor blocks (also in blocks)
  std::vector<CostingRecord> costing;               // equipment items with results
  std::vector<CurveBlock> curve_blocks;             // blocks with heating curves (also in blocks)
  RandomExchangers exchangers;                      // exchangers and columns (also in blocks)
  std::vector<RandomColumnBlock> columns;           // column blocks (also in blocks)
  std::vector<RandomReactor> reactors;              // reactor blocks (also in blocks)
  std::vector<RandomRelief> relief_results;         // relief objects with results (also in reliefs)
  std::vector<PipelineRecord> pipelines;            // pipeline blocks (also in blocks)
};

RandomFlowsheet random_flowsheet(uint64_t seed);

// The 8 characters the tables keep of a type.
std::string stored_type(const std::string& type);

}  // namespace flowsum::testing
