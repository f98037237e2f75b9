// flowsum: load a summary file and print what it holds.
//
//   flowsum [--ref-dir DIR] [--units SI|ENG|MET|OUT] FILE
//
// The reference files RCPROPNU.DAT and RCUNITS.DAT are looked up beside FILE,
// then in the installed data folder (and the source tree's data folder when
// run from a build); --ref-dir names the folder to use instead. --units
// chooses the unit set values are returned in (ENG when not given).
// --curve ID prints a block's heating curves as tables (points as rows) and
// --exchanger ID an exchanger's detail (both may be repeated).
// --block ID, --table ID and --sensitivity ID (each may be repeated) print a
// block's results, a property table or envelope, and a sensitivity table;
// --compressor ID a compressor's performance, stage, cooler and wheel tables.
// --column ID a column block's profiles, tray report and sections.
// --reactor ID a reactor's profiles, --relief ID a relief object's scenarios and profiles.
// --pipeline ID a pipeline's segments, conditions, compositions and profiles.
// --basis B chooses the basis of the stream table's component rows
// (MASS-FLOW when not given; MOLE-FLOW, STDVOL-FLOW, MASS-FRAC, MOLE-FRAC,
// STDVOL-FRAC). --dot writes only the flowsheet as a Graphviz graph.
//
// The library's messages (load errors, warnings about a cut or damaged
// file) go to standard error. Exit status: 0 loaded, 1 not loaded, 2 usage,
// 3 loaded with warnings (the report is printed; some values may be
// missing).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "store/dataset_tree.hpp"
#include "tools/report_blocks.hpp"
#include "tools/report_equipment.hpp"
#include "tools/report_pipelines.hpp"
#include "tools/report_heat.hpp"
#include "tools/report_columns.hpp"
#include "tools/report_objects.hpp"
#include "tools/report_reactors.hpp"
#include "tools/report_run_info.hpp"
#include "tools/report_streams.hpp"
#include "tools/report_units.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kSummaryUnit = 10, kScratchUnit = 11, kPropertyUnit = 12,
                  kUnitTableUnit = 13, kMessageUnit = 14;
constexpr int kExitWarnings = 3;

// Messages are written to an in-memory unit and moved to standard error
// after each step, so that they never mix with the report on standard
// output.
void open_message_unit() {
  flowsum::io::open_unit(kMessageUnit, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE");
}
void flush_messages() {
  flowsum::io::rewind_unit(kMessageUnit);
  std::string_view line;
  while (flowsum::io::read_line(kMessageUnit, line, 1 << 16) == 0)
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
  open_message_unit();
}

void usage() {
  std::fputs("usage: flowsum [--ref-dir DIR] [--units SI|ENG|MET|OUT] SUMMARY-FILE\n", stderr);
  std::fputs("               [--block ID] [--column ID] [--table ID] [--sensitivity ID] [--compressor ID]\n", stderr);
  std::fputs("               [--reactor ID] [--relief ID]\n", stderr);
  std::fputs("               [--basis MASS-FLOW|MOLE-FLOW|...] [--dot]\n", stderr);
  std::fputs("               [--curve ID] [--exchanger ID] [--pipeline ID]\n", stderr);
}

// The folder holding both reference files, or empty when none does.
fs::path find_reference_dir(const fs::path& summary, const std::string& ref_dir) {
  auto has_both = [](const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "RCPROPNU.DAT", ec) &&
           fs::is_regular_file(dir / "RCUNITS.DAT", ec);
  };
  if (!ref_dir.empty()) return ref_dir;
  std::vector<fs::path> candidates = {summary.parent_path().empty() ? fs::path(".") : summary.parent_path(),
                                      FLOWSUM_DATA_DIR, FLOWSUM_SOURCE_DATA_DIR};
  for (const auto& dir : candidates)
    if (has_both(dir)) return dir;
  return {};
}

const char* load_status_text(int64_t ierr) {
  switch (ierr) {
    case 0: return "loaded";
    case 1: return "failed: summary file, scratch file or a syntax error in the body";
    case 2: return "failed: property-number file RCPROPNU.DAT";
    case 3: return "failed: unit-table file RCUNITS.DAT";
    case 4: return "failed: work area too small";
    default: return "failed";
  }
}

// Calls a library routine with a std::string as a blank-padded text field.
struct Field {
  std::string text;
  explicit Field(std::string s, size_t width = 0) : text(std::move(s)) {
    if (text.size() < width) text.resize(width, ' ');
    if (text.empty()) text = " ";
  }
  char* data() { return text.data(); }
  size_t size() const { return text.size(); }
};

}  // namespace

int main(int argc, char** argv) {
  std::string ref_dir;
  std::string file;
  std::string units = "ENG";
  flowsum_tool::BlockTableRequests block_tables;
  std::vector<std::string> columns;  // --column ID
  std::string stream_basis = "MASS-FLOW";
  bool dot_graph = false;
  std::vector<std::string> compressors, pipelines;
  std::vector<std::string> reactors, reliefs;  // --reactor ID, --relief ID
  std::vector<std::string> curve_blocks, exchanger_blocks;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--ref-dir" && i + 1 < argc) {
      ref_dir = argv[++i];
    } else if (arg == "--basis" && i + 1 < argc) {
      stream_basis = argv[++i];
    } else if (arg == "--dot") {
      dot_graph = true;
    } else if (arg == "--block" && i + 1 < argc) {
      block_tables.blocks.push_back(argv[++i]);
    } else if (arg == "--curve" && i + 1 < argc) {
      curve_blocks.push_back(argv[++i]);
    } else if (arg == "--exchanger" && i + 1 < argc) {
      exchanger_blocks.push_back(argv[++i]);
    } else if (arg == "--column" && i + 1 < argc) {
      columns.push_back(argv[++i]);
    } else if (arg == "--table" && i + 1 < argc) {
      block_tables.tables.push_back(argv[++i]);
    } else if (arg == "--reactor" && i + 1 < argc) {
      reactors.push_back(argv[++i]);
    } else if (arg == "--relief" && i + 1 < argc) {
      reliefs.push_back(argv[++i]);
    } else if (arg == "--compressor" && i + 1 < argc) {
      compressors.push_back(argv[++i]);
    } else if (arg == "--pipeline" && i + 1 < argc) {
      pipelines.push_back(argv[++i]);
    } else if (arg == "--sensitivity" && i + 1 < argc) {
      block_tables.sensitivities.push_back(argv[++i]);
    } else if (arg == "--units" && i + 1 < argc) {
      // The loader would take any other text for ENG; a mistyped set is
      // refused here instead.
      units = argv[++i];
      if (units != "SI" && units != "ENG" && units != "MET" && units != "OUT") {
        std::fprintf(stderr, "flowsum: unknown unit set %s\n", units.c_str());
        usage();
        return 2;
      }
    } else if (arg == "-h" || arg == "--help") {
      usage();
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "flowsum: unknown option %s\n", arg.c_str());
      usage();
      return 2;
    } else if (file.empty()) {
      file = arg;
    } else {
      usage();
      return 2;
    }
  }
  if (file.empty()) {
    usage();
    return 2;
  }

  // With --dot the graph is the only output: everything else printed on
  // the way (load report, loader messages) goes to /dev/null until then.
  int saved_stdout = -1;
  if (dot_graph) {
    std::fflush(stdout);
    saved_stdout = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, 1);
      close(null_fd);
    }
  }
  std::printf("flowsum: %s\n", file.c_str());
  int64_t unit = kSummaryUnit, recl = 0, ierr = 0;
  Field path(file), access("SEQUENTIAL", 16), form("FORMATTED", 16),
      status("OLD", 16), action("READ", 16);
  tkopen_(&unit, path.data(), access.data(), form.data(), &recl, status.data(),
          action.data(), &ierr, path.size(), access.size(), form.size(),
          status.size(), action.size());
  if (ierr != 0) {
    std::printf("cannot open %s (status %lld)\n", file.c_str(), static_cast<long long>(ierr));
    return 1;
  }

  fs::path refs = find_reference_dir(file, ref_dir);
  std::string prp = refs.empty() ? "" : (refs / "RCPROPNU.DAT").string();
  std::string unt = refs.empty() ? "" : (refs / "RCUNITS.DAT").string();
  if (refs.empty())
    std::printf("reference files: none found (loading without them)\n");
  else
    std::printf("reference files: %s\n", refs.string().c_str());

  int64_t iscr = kScratchUnit, isum = kSummaryUnit, iprp = kPropertyUnit,
          iunt = kUnitTableUnit, msg = kMessageUnit;
  double rmiss = 1.0e35;
  Field unitset(units, 4), prpfile(prp), untfile(unt);
  std::fflush(stdout);
  open_message_unit();
  tkini2_(unitset.data(), &iscr, &isum, &iprp, prpfile.data(), &iunt,
          untfile.data(), &rmiss, &ierr, &msg, unitset.size(), prpfile.size(),
          untfile.size());
  flush_messages();

  const flowsum::LoadSummary& load = flowsum::last_load();
  std::printf("\nload status: %lld (%s)\n", static_cast<long long>(ierr), load_status_text(ierr));
  if (!load.header.empty())
    std::printf("header: %s (line %lld)\n", load.header.c_str() + (load.header[0] == ' ' ? 1 : 0),
                static_cast<long long>(load.header_line));
  std::printf("lines: %lld\n", static_cast<long long>(load.lines));
  std::printf("records: PSET %lld, IDSET %lld, LSET %lld, DSET %lld\n",
              static_cast<long long>(load.psets), static_cast<long long>(load.idsets),
              static_cast<long long>(load.lsets), static_cast<long long>(load.dsets));
  if (ierr == 0) {
    std::printf("indexed: %lld property names, %lld identifier sets, %lld loading sequences, "
                "%lld tree words\n",
                static_cast<long long>(flowsum::locs(flowsum::l::kPropCount)),
                static_cast<long long>(flowsum::locs(flowsum::l::kIdsetCount)),
                static_cast<long long>(flowsum::locs(flowsum::l::kLsetCount)),
                static_cast<long long>(flowsum::locs(flowsum::l::kTreeUsed)));
    std::vector<std::string> top = flowsum::top_level_keywords();
    std::printf("top-level keywords: %zu\n", top.size());
    for (const auto& k : top) std::printf("  %s\n", k.c_str());
    flowsum_tool::report_run_info();
    flowsum_tool::report_units();
    flowsum_tool::report_objects();
    flowsum_tool::report_block_tables(block_tables);
    flowsum_tool::report_compressors(compressors);
    flowsum_tool::report_pipelines(pipelines);
    flowsum_tool::report_curves(curve_blocks);
    flowsum_tool::report_exchangers(exchanger_blocks);
    flowsum_tool::report_columns(columns);
    flowsum_tool::report_reactors(reactors);
    flowsum_tool::report_reliefs(reliefs);
    if (!dot_graph) flowsum_tool::report_streams(stream_basis);
  }
  if (saved_stdout >= 0) {
    std::fflush(stdout);
    dup2(saved_stdout, 1);
    close(saved_stdout);
    if (ierr == 0) flowsum_tool::write_dot();
  }

  // Data sets read for the report may have found values cut short.
  std::fflush(stdout);
  flush_messages();
  int64_t warnings = 0;
  tknwrn_(&warnings);
  if (warnings > 0)
    std::fprintf(stderr, "flowsum: %lld warning%s about %s: it may be cut short or damaged\n",
                 static_cast<long long>(warnings), warnings == 1 ? "" : "s", file.c_str());

  int64_t u1 = kSummaryUnit, u2 = kScratchUnit, u3 = kPropertyUnit, u4 = kUnitTableUnit;
  tkclos_(&u1, &u2, &u3, &u4);
  int64_t close_err = 0;
  tkclfl_(&u1, &close_err);
  flowsum::io::close_unit(kMessageUnit);
  if (ierr != 0) return 1;
  return warnings > 0 ? kExitWarnings : 0;
}
