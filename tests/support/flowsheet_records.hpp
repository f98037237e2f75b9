// Ready-made data sets of a flowsheet run, on top of SummaryBuilder: each
// helper writes the IDSETs and LSETs its data set needs once, then the DSET.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/summary_builder.hpp"

namespace flowsum::testing {

// Unit types the fixtures use (numbers of the unit-type table).
namespace unit_type {
inline constexpr int64_t kNone = 0, kMassFlow = 10, kMoleFlow = 11, kStdVolumeFlow = 12,
                         kEnthalpyFlow = 13 /* heat duty */, kMolarHeatCapacity = 15, kPressure = 20,
                         kTemperature = 22, kMassDensity = 38, kMolarEnthalpy = 39, kMassEnthalpy = 40,
                         kMassEntropy = 42;
}  // namespace unit_type

// Property numbers the fixtures use, and the PSET entries that name them.
namespace prop {
inline constexpr int64_t kTemp = 22, kPres = 23, kVfrac = 24, kLfrac = 25, kHmx = 26,
                         kSmx = 27, kRhomx = 28, kCpmx = 29, kMw = 30, kQcalc = 31,
                         kPamb = 32, kNstage = 33, kRefluxRatio = 34;
inline constexpr int64_t kMoleFlowTotal = 8001, kMoleFrac = 8002, kMassFlowTotal = 8003,
                         kMassFrac = 8004, kStdVolFlowTotal = 8007, kStdVolFrac = 8008,
                         kMoleFlow = 8101, kMassFlow = 8103, kStdVolFlow = 8107;
// Item codes of the run-status and account data sets.
inline constexpr int64_t kCompletion = 115, kStatusText1 = 117, kStatusText2 = 119,
                         kAccountUser = 222, kAccountProject = 347, kAccountText355 = 355, kAccountText348 = 348;
}  // namespace prop
std::vector<PsetEntry> fixture_property_names();

// A real with its unit code when it has a unit type (NaN: missing), and a
// qualifier item ("" written as a quoted blank).
Value unit_real(double x, int64_t unit_type, int64_t unit_code = 1);
inline std::string blank_item(const std::string& s) { return s.empty() ? " " : s; }

struct RunInfo {
  std::string version = "12.1", run_id = "RUN1", title = "FLOWSHEET";
  int64_t completion = 0;  // written as item 115
  std::string status_text1 = "RUN COMPLETED NORMALLY", status_text2 = " ";
  std::vector<int64_t> flags{0, 0, 0, 0, 0, 0};
  std::optional<double> ambient_pressure = 101325.0;  // Pa; none: no PAMB data set
};

struct AccountInfo {
  std::string user, project;  // items 222 and 347, 8 characters
  std::string text355, text348;  // long texts
};

// One value of a block result table.
struct BlockResult {
  int64_t property = 0;
  std::vector<std::string> descriptors;  // one per descriptive qualifier
  Value value = Value::missing();  // a missing real of a unit type is written with unit code 1
  int64_t type = 2;       // 1 integer, 2 real, 5 text of 8, 6 long text
  int64_t unit_type = 0;  // reals only; the value then carries its unit code

  static BlockResult real(int64_t property, double x, int64_t unit_type = 0,
                          std::vector<std::string> descriptors = {}, int64_t unit_code = 1);
  static BlockResult integer(int64_t property, int64_t n, std::vector<std::string> descriptors = {});
  static BlockResult text(int64_t property, const std::string& s, std::vector<std::string> descriptors = {});
};

struct Port {
  int64_t code = 0, location = 0 /* as stored: counted from 0 */, third = 0;
};

class FlowsheetWriter {
 public:
  explicit FlowsheetWriter(SummaryBuilder& b) : b_(b) {}

  SummaryBuilder& builder() { return b_; }

  void property_names(const std::string& pset_name = "PROPS");
  void run_status(const RunInfo& info);
  void account(const AccountInfo& info);
  void components(const std::vector<std::string>& ncc, const std::vector<std::string>& nnc = {});
  // Data set keyword keyword (e.g. "MW" "MW"), one real per ID_NCC member.
  void component_property(const std::string& keyword, int64_t property, const std::vector<double>& values,
                          int64_t unit_type = unit_type::kNone, int64_t unit_code = 1);
  // BLKIN, TYPIN, BLKOUT, TYPOUT of a block: counted lists of (stream, type).
  void connections(const std::string& model, const std::string& block,
                   const std::vector<std::pair<std::string, std::string>>& inlets,
                   const std::vector<std::pair<std::string, std::string>>& outlets);
  void ports(const std::string& model, const std::string& block, const std::vector<Port>& in,
             const std::vector<Port>& out);
  // BLOCK model id section: the result table. Blocks of one layout share
  // their sets, named set_name when new (else RESn).
  void block_results(const std::string& model, const std::string& block,
                     const std::vector<std::string>& descriptor_qualifiers, const std::vector<BlockResult>& results,
                     const std::string& set_name = "", const std::string& section = "RESULTS");
  // A data set under path read through the set and sequence "(%set)".
  void single(const std::vector<std::string>& path, const std::string& set, const std::vector<std::string>& qualifiers,
              const std::vector<IdMember>& members, const std::vector<Value>& values);
  // An IDSET (LSET) unless one of this name was written before.
  bool idset_once(const std::string& name, const std::vector<std::string>& qualifiers,
                  const std::vector<IdMember>& members);
  bool lset_once(const std::string& name, const std::string& definition);
  // The name a layout got before, else wanted, else a new one from prefix.
  std::string layout_name(const std::string& signature, const std::string& wanted, const std::string& prefix);

 private:
  SummaryBuilder& b_;
  std::set<std::string> idsets_, lsets_;
  std::map<std::string, std::string> layouts_;  // layout signature -> set name
  std::map<std::string, int> prefix_counts_;    // names made up per prefix
  std::set<std::string> names_;                 // set names given to layouts
};

}  // namespace flowsum::testing
