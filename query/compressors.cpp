// Compressor results: thin routines over the generic profile and value
// readers.
#include "query/compressors.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <cstring>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/list_evaluation.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

CompressorBlock compressor_block(std::string_view id) {
  CompressorBlock b;
  // The profile readers' block search: a pass asks for one block many
  // times in a row, and they remember the block asked for last.
  const ProfileBlock p = profile_block(id);
  if (!p) return b;
  b.found = true;
  b.keyword = p.model;
  b.id = p.id;
  // The whole keyword is compared: "BOOSTR" must not accept "BOOSTRX", nor
  // "STAGEBST" a model that merely begins like it.
  if (b.keyword == "BOOSTR") b.model = CompressorModel::kSingle;
  else if (b.keyword == "STAGEBST") b.model = CompressorModel::kMultistage;
  return b;
}

std::string stage_key(int64_t stage) { return padded(std::to_string(stage), 16); }

}  // namespace flowsum

namespace {

using namespace flowsum;

constexpr size_t kName16 = 16;

// The position-qualifier names the readers are given, 16 characters each.
// A routine passes the entry it needs: the reader reads one name (TKPRF2,
// TKPRF3, TKSPRF) or two consecutive names (TKSPR3: wheels, then results).
constexpr std::array<std::string_view, 10> kPositionNames{
    "NPOINTS", "ZONES", "NMINS1", "NSTAGE", "ZONES", "NSTAGE", "NMINS1", "NSTAGE", "NWHEEL", "PROPERTIES"};
enum Entry : size_t {
  kCoolerPoints = 2,   // TKMCCP
  kStagePoints = 3,    // TKMCPR, TKPERF
  kStageShape = 5,     // TKNMCP, stage profile
  kCoolerShape = 6,    // TKNMCP, cooler profile
  kStagedResults = 7,  // TKNPER
  kWheels = 8,         // TKNWHL (with the next: wheels, results), TKWHLR, TKNPER
  kWheelResults = 9,   // TKNWHL
};

const std::string& position_names() {
  static const std::string list = [] {
    std::string s;
    for (std::string_view n : kPositionNames) s += padded(n, kName16);
    return s;
  }();
  return list;
}
char* position_name(Entry e) { return const_cast<char*>(position_names().data()) + e * kName16; }

// The path "BLOCK", model, block id, section of a compressor block.
CallerPath block_section(const CompressorBlock& b, std::string_view section) {
  return CallerPath({"BLOCK", b.keyword, b.id, section});
}

// The block when it is of the model wanted (kNone: either compressor model).
// A block of another model is a failure too: the flag, where the routine has
// one, is set to 1 and nothing is written.
bool of_model(const CompressorBlock& b, CompressorModel wanted) {
  if (b.model == CompressorModel::kNone) return false;
  return wanted == CompressorModel::kNone || b.model == wanted;
}

std::string_view id_view(const char* id, size_t id_len) { return {id ? id : "", id ? id_len : 0}; }

// TKMCCP and TKMCPR: one of the multistage profiles read by TKPRF2; the
// caller's sizes arrive as (properties, points).
void multistage_profile(const char* id, size_t id_len, std::string_view section, Entry qname,
                        int64_t* nprop, int64_t* npoint, char* pnames, double* values, char* utypes,
                        char* ulabels, int64_t* ierr, size_t pnames_len, size_t utypes_len,
                        size_t ulabels_len) {
  *ierr = 1;
  const std::string_view given = id_view(id, id_len);
  const CompressorBlock b = compressor_block(given);
  if (!of_model(b, CompressorModel::kMultistage)) return;
  CallerPath path = block_section(b, section);
  tkprf2_(path.data(), &path.nid, position_name(qname), npoint, nprop, pnames, values, utypes, ulabels,
          ierr, path.width, kName16, pnames_len, utypes_len, ulabels_len);
}

// TKSPRF along one position qualifier: (sets, values per set).
std::pair<int64_t, int64_t> profile_shape(CallerPath& path, Entry qname) {
  int64_t words[4], nset = 0, nper = 0, ierr = 0;
  pack_text(std::string_view(position_name(qname), kName16), 16, words);
  tksprf_(path.data(), &path.nid, words, &nset, &nper, &ierr, path.width);
  return {nset, nper};
}

// The shape TKSPRF reports for a multistage profile, (sets, values per
// set), from the data set's qualifier block alone: a count needs no values,
// and reading them here would not spare the reader reading them again. The
// data set is the one a blank qualifier finds; an open-ended one, whose
// count comes with its values, goes through TKSPRF.
std::pair<int64_t, int64_t> counted_shape(CallerPath& path, Entry qname) {
  FreePointerGuard guard;  // the qualifier block is given up again
  const auto keys = path.keys();
  int64_t node = 0;
  DataRecord rec;
  if (TreeNodes::loaded().find(keys, node) != 0 || node == 0 || !choose_loaded_sibling(node, keys[3], {}, rec))
    return {0, 0};
  const ListAnswer list = evaluate_list_remembered(std::string_view(rec.value, sizeof rec.value));
  if (list.ndata < 0) return profile_shape(path, qname);
  DatasetAnswer a;
  a.nqual = list.nqual;
  a.ndata = list.ndata;
  a.locq = list.locq;
  const int64_t c = a.find_qualifier(std::string_view(position_name(qname), kName16));
  if (c == 0 || a.ndata < 2) return {0, 0};
  // A new set starts where the qualifier's value changes (its integer word
  // or its text).
  auto same = [&](int64_t j) {
    return a.qualifier_int(c, j) == a.qualifier_int(c, j - 1) && a.qualifier_text(c, j) == a.qualifier_text(c, j - 1);
  };
  for (int64_t j = 2; j <= a.ndata; ++j)
    if (!same(j)) return {a.ndata / (j - 1), j - 1};
  return {1, a.ndata};
}

// The wheel data sets of every stage asked for in this load: the data set
// chosen by the stage's "STAGE_NO" key and the member counts of its wheel
// and result sets, kept for the load (KeptPerLoad). A caller asks a stage's
// wheel counts and then its wheel results, pass after pass; each choice
// walks the block's wheel data sets and evaluates their qualifier blocks,
// and each count reads the sets' heads.
struct StageWheels {
  DatasetChoice choice;
  bool sized = false;  // sizes read (their count kept in nsized)
  int64_t nsized = 0;
  std::array<int64_t, 2> sizes{0, 0};
};

// The wheels of a stage (its data set chosen as TKFDST chooses it).
StageWheels& stage_wheels(const CallerPath& path, int64_t stage) {
  static KeptPerLoad<StageWheels> kept(ItemKind::kBlock);
  // The stage number, then the block id.
  char key[sizeof stage + kKeywordChars];
  std::memcpy(key, &stage, sizeof stage);
  const std::string_view id = path.key(2);
  std::memcpy(key + sizeof stage, id.data(), id.size());
  return kept.get(std::string_view(key, sizeof stage + id.size()), [&] {
    const std::array<WantedQualifier, 1> wanted{{{padded("STAGE_NO", kName16), stage_key(stage)}}};
    StageWheels w;
    w.choice = find_dataset(path.keys(), wanted);
    return w;
  });
}

// The counts TKNPER and TKNMCP give for a block, kept for the load
// (KeptPerLoad): they come from the qualifier blocks alone.
struct BlockCounts {
  int64_t nres = 0, nstage = 0;                                    // TKNPER
  int64_t stage_nprop = 0, nstage_prf = 0, cooler_nprop = 0, ncooler = 0;  // TKNMCP
};

BlockCounts count_block(const CompressorBlock& b) {
  BlockCounts c;
  if (b.model == CompressorModel::kSingle) {
    const CallerPath path = block_section(b, "PERF_SCL");
    const ValueShape shape = data_set_shape(path.keys());
    // An open-ended data set brings its count with its values.
    c.nres = shape.ndata >= 0 ? shape.ndata : lookup_dataset(path.keys()).ndata;
    c.nstage = 1;
    return c;
  }
  CallerPath stages = block_section(b, "SGBS_PRF");
  std::tie(c.nstage_prf, c.stage_nprop) = counted_shape(stages, kStageShape);
  CallerPath coolers = block_section(b, "COOL_PRF");
  std::tie(c.ncooler, c.cooler_nprop) = counted_shape(coolers, kCoolerShape);
  CallerPath perf = block_section(b, "PERF_STG");
  std::tie(c.nstage, c.nres) = counted_shape(perf, kStagedResults);
  if (c.nres != 0) return c;
  // Without staged results the stages are counted by their wheel data sets,
  // one per stage.
  CallerPath wheels = block_section(b, "PERF_WHL");
  int64_t nmem = 0, nsets = 0, ierr = 0;
  tkspr2_(wheels.data(), &wheels.nid, position_name(kWheels), &nmem, &nsets, &ierr, wheels.width, kName16);
  c.nstage = nsets;
  return c;
}

const BlockCounts& block_counts(const CompressorBlock& b) {
  static KeptPerLoad<BlockCounts> kept(ItemKind::kBlock, 1024);
  return kept.get(b.id, [&] { return count_block(b); });
}

}  // namespace

extern "C" {

void tkmccp_(const char* id, int64_t* nprop, int64_t* npoint, char* pnames, double* values,
             char* utypes, char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len) {
  multistage_profile(id, id_len, "COOL_PRF", kCoolerPoints, nprop, npoint, pnames, values, utypes, ulabels,
                     ierr, pnames_len, utypes_len, ulabels_len);
}

void tkmcpr_(const char* id, int64_t* nprop, int64_t* npoint, char* pnames, double* values,
             char* utypes, char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len) {
  multistage_profile(id, id_len, "SGBS_PRF", kStagePoints, nprop, npoint, pnames, values, utypes, ulabels,
                     ierr, pnames_len, utypes_len, ulabels_len);
}

void tknmcp_(const char* id, int64_t* stage_nprop, int64_t* nstage, int64_t* cooler_nprop,
             int64_t* ncooler, size_t id_len) {
  FreePointerGuard guard;
  *stage_nprop = *nstage = *cooler_nprop = *ncooler = 0;
  const CompressorBlock b = compressor_block(id_view(id, id_len));
  if (!of_model(b, CompressorModel::kMultistage)) return;
  const BlockCounts& c = block_counts(b);
  *stage_nprop = c.stage_nprop;
  *nstage = c.nstage_prf;
  *cooler_nprop = c.cooler_nprop;
  *ncooler = c.ncooler;
}

void tknper_(const char* id, int64_t* nres, int64_t* nstage, size_t id_len) {
  FreePointerGuard guard;
  *nres = *nstage = 0;
  const CompressorBlock b = compressor_block(id_view(id, id_len));
  if (!of_model(b, CompressorModel::kNone)) return;
  const BlockCounts& c = block_counts(b);
  *nres = c.nres;
  *nstage = c.nstage;
}

void tkperf_(const char* id, int64_t* nres, int64_t* nstage, char* pnames, double* values,
             char* utypes, char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const std::string_view given = id_view(id, id_len);
  const CompressorBlock b = compressor_block(given);
  if (!of_model(b, CompressorModel::kNone)) return;
  if (b.model == CompressorModel::kMultistage) {
    CallerPath path = block_section(b, "PERF_STG");
    tkprf2_(path.data(), &path.nid, position_name(kStagePoints), nstage, nres, pnames, values, utypes,
            ulabels, ierr, path.width, kName16, pnames_len, utypes_len, ulabels_len);
    return;
  }
  CallerPath path = block_section(b, "PERF_SCL");
  // The value reader writes every value of the data set: a data set of more
  // results than the caller sized its arrays for is refused, as a profile
  // of another shape is (flag 3).
  const int64_t ndata = lookup_dataset(path.keys()).ndata;
  if (ndata > std::max<int64_t>(*nres, 0)) {
    *ierr = 3;
    return;
  }
  int64_t nval = 0;
  tkpval_(path.data(), &path.nid, nres, pnames, values, utypes, ulabels, &nval, ierr, path.width, pnames_len,
          utypes_len, ulabels_len);
}

void tknwhl_(const char* id, int64_t* stage, int64_t* nwheel, int64_t* nres, size_t id_len) {
  FreePointerGuard guard;
  *nwheel = *nres = 0;
  const std::string_view given = id_view(id, id_len);
  const CompressorBlock b = compressor_block(given);
  if (!of_model(b, CompressorModel::kMultistage)) return;
  const CallerPath path = block_section(b, "PERF_WHL");
  StageWheels& w = stage_wheels(path, *stage);
  if (w.choice.ierr != 0) return;
  // The member counts of its wheel and result sets, as TKSPR3 gives them.
  if (!w.sized) {
    const std::array<std::string_view, 2> names{std::string_view(position_name(kWheels), kName16),
                                                std::string_view(position_name(kWheelResults), kName16)};
    w.nsized = chosen_set_sizes(w.choice, names, w.sizes);
    w.sized = true;
  }
  if (w.nsized != 2) return;
  *nwheel = w.sizes[0];
  *nres = w.sizes[1];
}

void tkwhlr_(const char* id, int64_t* stage, int64_t* npoint, int64_t* nprop, char* pnames,
             double* values, char* utypes, char* ulabels, int64_t* ierr, size_t id_len,
             size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  *ierr = 1;
  const std::string_view given = id_view(id, id_len);
  const CompressorBlock b = compressor_block(given);
  if (!of_model(b, CompressorModel::kMultistage)) return;
  FreePointerGuard guard;
  const CallerPath path = block_section(b, "PERF_WHL");
  const DatasetChoice& choice = stage_wheels(path, *stage).choice;
  // Read as TKPRF3 reads the data set it chose.
  *ierr = choice.ierr != 0 ? choice.ierr
                           : read_chosen_profile(path.keys(), choice, std::string_view(position_name(kWheels), kName16),
                                                 *npoint, *nprop, pnames, pnames_len, values, utypes, utypes_len,
                                                 ulabels, ulabels_len);
}

}  // extern "C"
