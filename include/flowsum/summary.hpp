// flowsum/summary.hpp -- the C++ way into a summary file.
//
//   flowsum::Summary s = flowsum::Summary::open("run.sum", {.units = "SI"});
//   flowsum::Table t = s.stream_table();
//
// A Summary loads the file through the exported routines when it is opened
// and closes their units when it is destroyed or closed. The library keeps
// one loaded file per process, so opening a second Summary while one is
// open throws UsageError. Calls are serialised by one process-wide lock.
// Every failure is an Error (or one of its subclasses); nothing returns a
// silent empty result for a file that did not load or an unknown id.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "flowsum/table.hpp"

namespace flowsum {

// Every error the API throws. status() is the loader's status for a load
// that failed (1 summary or scratch file or syntax, 2 property-number file,
// 3 unit-table file, 4 work area), else 0; messages() the loader's messages.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& what, int64_t status = 0,
                 std::vector<std::string> messages = {})
      : std::runtime_error(what), status_(status), messages_(std::move(messages)) {}
  int64_t status() const { return status_; }
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  int64_t status_;
  std::vector<std::string> messages_;
};
// The file could not be opened or did not load.
class LoadError : public Error {
  using Error::Error;
};
// An id (block, stream, table, study, column) the loaded file does not hold.
class NotFoundError : public Error {
  using Error::Error;
};
// A call on a closed Summary, or a second Summary opened while one is open.
class UsageError : public Error {
  using Error::Error;
};

struct OpenOptions {
  std::string units = "SI";  // SI, ENG, MET or OUT (as stored)
  std::string ref_dir;       // folder of RCPROPNU.DAT and RCUNITS.DAT; empty:
                             // beside the file, then the installed data folder
};

// The folder of RCPROPNU.DAT and RCUNITS.DAT that a load of summary_path
// uses: ref_dir when given; else the first folder holding both of: beside
// the summary file, $FLOWSUM_DATA_DIR, the installed data folder (found
// relative to the library or the program, then at the configured prefix),
// the source tree's data folder of a build. Empty when none does.
std::string find_reference_dir(const std::string& summary_path, const std::string& ref_dir = "");

struct RunInfo {
  std::string title, version, run_id, status1, status2;
  int64_t completion = 0;
  std::array<int64_t, 6> flags{};
  int64_t blocks = 0, streams = 0, property_tables = 0;
};

struct Block {
  std::string id, model;
};
struct Stream {
  std::string id, type, source, destination;  // source/destination empty: feed/product
};
struct Component {
  std::string id;
  bool conventional = true;
};
struct Connections {
  std::vector<std::string> inlets, outlets;
};
// The phase data of a material stream: "component", "Y", "X", "X1", "X2"
// compositions (NaN when the file has none) and the twelve phase properties
// by property number.
struct StreamPhases {
  bool has_compositions = false, has_properties = false;
  Table compositions;
  std::array<int, 12> property_numbers{};
  std::array<double, 12> properties{};
};

// One table of a block's or object's detail views, named within the view
// ("column 1", "column 1 X", "HCURVE 1", "zones", ...).
struct NamedTable {
  std::string name;
  Table table;
};
using Tables = std::vector<NamedTable>;

class Summary {
 public:
  static Summary open(const std::string& path, const OpenOptions& options = {});

  Summary(Summary&& other) noexcept;
  Summary& operator=(Summary&& other) noexcept;
  Summary(const Summary&) = delete;
  Summary& operator=(const Summary&) = delete;
  ~Summary();

  bool is_open() const { return open_; }
  void close() noexcept;
  // Loader messages of the load (also kept when it succeeded).
  const std::vector<std::string>& messages() const { return messages_; }
  const std::string& units() const { return units_; }

  RunInfo run_info() const;
  std::vector<Block> blocks() const;
  std::vector<Stream> streams() const;
  std::vector<Component> components() const;
  std::vector<std::string> property_tables() const;
  Connections connections(const std::string& block) const;

  // Columns "property", "substream", "component", "unit", then one numeric
  // column per stream (all streams when streams is empty). Rows: the main
  // table's rows without a component (property and basis), then the
  // component flows or fractions of every substream on basis ("MASS-FLOW",
  // "MOLE-FLOW", "STDVOL-FLOW", "MASS-FRAC", "MOLE-FRAC", "STDVOL-FRAC"),
  // property being the basis. NaN where a stream has no such row. An
  // unknown stream is a NotFoundError, an unknown basis a UsageError.
  Table stream_table(const std::vector<std::string>& streams = {},
                     const std::string& basis = "MASS-FLOW") const;
  std::vector<std::string> substreams(const std::string& stream) const;
  StreamPhases phases(const std::string& stream) const;

  // Columns "property", "qualifier 1".."qualifier N", "value" (reals and
  // integers; NaN for texts), "text", "unit": one row per result.
  Table block_results(const std::string& block) const;
  // One numeric column per property column, one row per point; the column
  // name joins its non-blank descriptors (property, substream, phase,
  // component, basis) with blanks.
  Table property_table(const std::string& id) const;
  // One numeric column per column of the study, named by its non-blank
  // descriptors, then "status" (NaN where a point has none).
  Table sensitivity(const std::string& study) const;

  // Detail views of one block or object, one NamedTable per table, empty
  // tables left out. Profiles have points as rows: an axis column first
  // ("tray", "point", "stage", ...), then one numeric column per property
  // with its unit label; a composition has a table of its own named after
  // the profile and the property, one column per component. Result lists
  // have the columns of block_results: "property", "value", "text", "unit".
  // An id the file does not hold (or of another kind, such as a compressor
  // that is a mixer) is a NotFoundError.
  //
  // Per column of a column block: "column N" (tray profiles), "column N
  // PROPERTY" (compositions).
  Tables column_profiles(const std::string& block) const;
  // One table per curve: "TYPE NUMBER" ("TYPE NUMBER at LOCATION" in a
  // crude unit's sections): "point", "status", "temp", "pres", "vfrac",
  // "duty", then the further properties named by their descriptors.
  Tables heating_curves(const std::string& block) const;
  // "geometry", "shells", "tubes", "equipment", "nozzles", "details 1",
  // "details 2" (result lists), "zones" (one row per zone), "zone N
  // profile", "intermediate streams".
  Tables exchanger(const std::string& block) const;
  // "performance" (one row per stage), "stage profile", "cooler profile",
  // "stage N wheels".
  Tables compressor(const std::string& block) const;
  // "profile N (SUBSTREAM)" per substream profile, "accumulator" and "vent"
  // of a batch vessel, each with its composition tables.
  Tables reactor_profiles(const std::string& block) const;
  // "dynamic scenario", "steady-state scenario" (result lists; a verdict
  // message in "text"), "vent" (one row per time, a column per property and
  // pressure set), "vessel profile" with its composition tables.
  Tables relief(const std::string& id) const;
  // "segments", "segment descriptions", "fluid properties" (one row per
  // entry; text values in text columns), "conditions" (inlet and outlet),
  // "compositions", "profile" (along the line, "LENGTH" first),
  // "plug-flow profile".
  Tables pipeline(const std::string& block) const;

 private:
  Summary() = default;
  void check_open() const;

  bool open_ = false;
  std::string units_;
  std::vector<std::string> messages_;
};

}  // namespace flowsum
