// Compressor results: the performance results of compressor blocks (model
// BOOSTR) and multistage compressor blocks (STAGEBST), and the stage,
// cooler and wheel profiles of the multistage model.
//
// Every routine checks the block and its model, builds the path "BLOCK",
// model, block id, section and hands the caller's arguments to the generic
// readers of value access (TKPRF2, TKPRF3, TKSPRF, TKSPR2, TKSPR3, TKPVAL,
// TKNVAL). Sections:
//
//   PERF_SCL  BOOSTR    one value per performance result
//   PERF_STG  STAGEBST  performance results per stage (position "NSTAGE")
//   SGBS_PRF  STAGEBST  stage profile (position "NSTAGE")
//   COOL_PRF  STAGEBST  cooler profile (position "NMINS1")
//   PERF_WHL  STAGEBST  wheel results (position "NWHEEL"), one data set per
//                       stage, told apart by the qualifier "STAGE_NO" whose
//                       value is the stage number as a left-aligned text
//
// The stage and cooler profiles and the staged performance results take
// their sizes as (properties, points), the order in which TKNMCP and TKNPER
// report them, and hand them to the reader as (points, properties); the
// wheel routines keep the reader's order (wheels, results).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum {

enum class CompressorModel { kNone, kSingle, kMultistage };

// The model of a block: kSingle for BOOSTR, kMultistage for STAGEBST (the
// whole 8-character keyword compared), kNone for any other model or an
// unknown block (found tells the two apart).
struct CompressorBlock {
  bool found = false;
  CompressorModel model = CompressorModel::kNone;
  std::string keyword;  // the stored model keyword, trailing blanks cut
  std::string id;       // the id as asked for, trailing blanks cut
};
CompressorBlock compressor_block(std::string_view id);

// The key value of a stage number: its decimal digits, left-aligned in 16
// characters ("3", "12").
std::string stage_key(int64_t stage);

}  // namespace flowsum
