// flowsum: load a summary file and print what it holds.
//
// Without a view option the tool prints the default report (run
// information, units, objects, connections, the stream table, heat and work
// streams, block summaries); options that name objects (--block, --column,
// ...) print only those views. --format csv|json writes the views as tables of the C++ API
// (tools/formats.hpp). The reference files RCPROPNU.DAT and RCUNITS.DAT are
// found as the C++ API finds them (flowsum::find_reference_dir); --ref-dir
// names the folder to use instead. --help lists every option.
//
// Results go to standard output; errors and the library's messages to
// standard error. Exit codes are those of tools/views.hpp.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/ioctl.h>
#include <unistd.h>

#include "flowsum.h"
#include "flowsum/summary.hpp"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "store/dataset_tree.hpp"
#include "tools/formats.hpp"
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
#include "tools/views.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kSummaryUnit = 10, kScratchUnit = 11, kPropertyUnit = 12,
                  kUnitTableUnit = 13, kMessageUnit = 14;

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

// The views that options naming objects select, in the order they are
// printed. A family adds its view with one line here.
using flowsum_tool::Check;
constexpr const char* kCompressorModels[] = {"BOOSTR", "STAGEBST", nullptr};
constexpr const char* kPipelineModels[] = {"DUCTLINE", nullptr};
const flowsum_tool::View kViews[] = {
    {"stream", "a stream's ends and its values in the stream table", Check::kView,
     flowsum_tool::report_stream_view, "stream",
     [](const flowsum::Summary& s, const std::string& id) {
       return s.stream_table({id}, flowsum_tool::settings().basis);
     }},
    {"block", "a block's result table with units", Check::kView,
     [](const std::vector<std::string>& ids, std::FILE* out) {
       flowsum_tool::report_block_tables({ids, {}, {}}, out);
     },
     "block", [](const flowsum::Summary& s, const std::string& id) { return s.block_results(id); }},
    {"column", "a column block's tray profiles, tray report and sections", Check::kBlock,
     flowsum_tool::report_columns, "column", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.column_profiles(id); }},
    {"table", "a property table or phase envelope", Check::kView,
     [](const std::vector<std::string>& ids, std::FILE* out) {
       flowsum_tool::report_block_tables({{}, ids, {}}, out);
     },
     "property table", [](const flowsum::Summary& s, const std::string& id) { return s.property_table(id); }},
    {"curve", "a block's heating curves as tables, points as rows", Check::kBlock,
     flowsum_tool::report_curves, "heating curves", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.heating_curves(id); }},
    {"exchanger", "an exchanger's geometry, shells, tubes, nozzles, zones and profiles", Check::kView,
     flowsum_tool::report_exchangers, "exchanger", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.exchanger(id); }},
    {"sensitivity", "a sensitivity table", Check::kView,
     [](const std::vector<std::string>& ids, std::FILE* out) {
       flowsum_tool::report_block_tables({{}, {}, ids}, out);
     },
     "sensitivity", [](const flowsum::Summary& s, const std::string& id) { return s.sensitivity(id); }},
    {"compressor", "a compressor's performance, stage, cooler and wheel tables", Check::kBlock,
     flowsum_tool::report_compressors, "compressor", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.compressor(id); }, kCompressorModels},
    {"reactor", "a plug-flow or batch reactor's profiles as tables, points as rows", Check::kBlock,
     flowsum_tool::report_reactors, "reactor", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.reactor_profiles(id); }},
    {"relief", "a relief object's scenarios, vent and vessel profiles", Check::kRelief,
     flowsum_tool::report_reliefs, "relief", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.relief(id); }},
    {"pipeline", "a pipeline's segments, inlet and outlet conditions and compositions, and profiles", Check::kBlock,
     flowsum_tool::report_pipelines, "pipeline", nullptr,
     [](const flowsum::Summary& s, const std::string& id) { return s.pipeline(id); }, kPipelineModels},
};
constexpr size_t kViewCount = sizeof kViews / sizeof kViews[0];

constexpr const char* kUnitSets[] = {"SI", "ENG", "MET", "OUT"};
constexpr const char* kBases[] = {"MASS-FLOW", "MOLE-FLOW", "STDVOL-FLOW",
                                  "MASS-FRAC", "MOLE-FRAC", "STDVOL-FRAC"};

void short_usage() {
  std::fputs("usage: flowsum [OPTION]... SUMMARY-FILE\n"
             "Try 'flowsum --help' for the options.\n", stderr);
}

void help() {
  std::printf(
      "usage: flowsum [OPTION]... SUMMARY-FILE\n"
      "\n"
      "Loads a summary file and prints its report: run information, units, objects,\n"
      "connections, the stream table and each block's first results. Options that\n"
      "name objects print only those views; each may be repeated and takes a comma\n"
      "list of IDs.\n"
      "\n"
      "  --format F         text (default), csv or json: every view as tables with\n"
      "                     a header row (csv) or as JSON of a versioned schema\n"
      "                     (docs/tool-json.md); missing values empty or null\n"
      "  --units SET        unit set of the values: SI, ENG (default), MET or OUT\n"
      "                     (as stored); any case\n"
      "  --basis B          basis of the stream table's component flows: MASS-FLOW\n"
      "                     (default), MOLE-FLOW, STDVOL-FLOW, MASS-FRAC, MOLE-FRAC,\n"
      "                     STDVOL-FRAC; any case\n");
  for (const auto& v : kViews) {
    std::string opt = std::string("--") + v.option + " ID";
    std::printf("  %-18s %s\n", opt.c_str(), v.help);
  }
  std::printf(
      "  --all-blocks       the result tables of every block (as --block)\n"
      "  --digits N         significant digits of every value (default 6)\n"
      "  --width N          width of the text stream table: streams are shown in\n"
      "                     column groups that fit (default: the terminal's width,\n"
      "                     else COLUMNS, else 80; 0: no limit)\n"
      "  --by-stream        the stream table with one stream per row\n"
      "  --block-rows N     results shown per block in the report's block summaries\n"
      "                     (default 5; 0 leaves the summaries out)\n"
      "  --dot              write the flowsheet as a Graphviz graph instead\n"
      "  --verbose          add what the loader read and indexed to the report\n"
      "  --ref-dir DIR      folder of RCPROPNU.DAT and RCUNITS.DAT (default: beside\n"
      "                     the file, then $FLOWSUM_DATA_DIR, then the installed\n"
      "                     data folder)\n"
      "  --help             print this help\n"
      "  --version          print the version\n"
      "\n"
      "Options take their value as '--units SI' or '--units=SI'.\n"
      "\n"
      "Exit codes: 0 done; 1 the file does not load (or cannot be opened);\n"
      "2 bad usage; 3 an asked-for object is not in the file; 4 loaded with\n"
      "warnings (the file is cut short or damaged; values it lacks are missing).\n"
      "\n"
      "Example:\n"
      "  flowsum --units=SI --block H1,F1 examples/flowsheet.sum\n");
}

// The width the text stream table fits: the terminal's when standard output
// is one, else COLUMNS when set, else 80.
int terminal_width() {
  winsize ws{};
  if (isatty(1) && ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    const int n = std::atoi(columns);
    if (n > 0) return n;
  }
  return 80;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

template <size_t N>
bool one_of(const std::string& s, const char* const (&names)[N]) {
  return std::find_if(std::begin(names), std::end(names),
                      [&](const char* n) { return s == n; }) != std::end(names);
}

// Appends the IDs of a comma list, leaving out empty ones.
void add_ids(std::vector<std::string>& ids, const std::string& list) {
  size_t at = 0;
  while (at <= list.size()) {
    size_t comma = list.find(',', at);
    if (comma == std::string::npos) comma = list.size();
    if (comma > at) ids.push_back(list.substr(at, comma - at));
    at = comma + 1;
  }
}

const char* load_status_text(int64_t ierr) {
  switch (ierr) {
    case 1: return "summary file, scratch file or a syntax error in the body";
    case 2: return "property-number file RCPROPNU.DAT";
    case 3: return "unit-table file RCUNITS.DAT";
    case 4: return "work area too small";
    default: return "load error";
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

// --format csv and json: the file loaded through the C++ API and every view
// asked for written as tables; the default is the run information, the
// blocks and the stream table. Returns the exit code.
int structured_output(const std::string& format, const std::string& file, const std::string& units,
                      const std::string& ref_dir, bool all_blocks,
                      const std::vector<std::string> (&view_ids)[kViewCount], bool any_view) {
  using flowsum_tool::Section;
  for (size_t v = 0; v < kViewCount; ++v)
    if (!view_ids[v].empty() && !kViews[v].table && !kViews[v].tables) {
      std::fprintf(stderr, "flowsum: --%s has no %s form yet; use --format text\n", kViews[v].option,
                   format.c_str());
      return flowsum_tool::kExitUsage;
    }
  std::vector<Section> sections;
  int64_t warnings = 0;
  try {
    flowsum::Summary s = flowsum::Summary::open(file, {units, ref_dir});
    for (const std::string& m : s.messages()) std::fprintf(stderr, "%s\n", m.c_str());
    if (!any_view && !all_blocks) {
      const flowsum::RunInfo info = s.run_info();
      flowsum::Table run;
      run.columns.reserve(2);
      auto& field = run.add_texts("field");
      auto& value = run.add_texts("value");
      for (const auto& [f, v] : {std::pair<const char*, std::string>{"title", info.title},
                                 {"version", info.version},
                                 {"run identifier", info.run_id},
                                 {"completion", std::to_string(info.completion)},
                                 {"status text 1", info.status1},
                                 {"status text 2", info.status2}}) {
        field.texts.push_back(f);
        value.texts.push_back(v);
      }
      sections.push_back({"run", "", std::move(run)});
      flowsum::Table blocks, summaries;
      blocks.columns.reserve(3);
      auto& id = blocks.add_texts("id");
      auto& model = blocks.add_texts("model");
      auto& results = blocks.add_numbers("results");
      const size_t rows = static_cast<size_t>(flowsum_tool::settings().block_rows);
      for (const flowsum::Block& b : s.blocks()) {
        id.texts.push_back(b.id);
        model.texts.push_back(b.model);
        flowsum::Table t;
        try {
          t = s.block_results(b.id);
        } catch (const flowsum::NotFoundError&) {
          // Listed but without a result table the API can read: no results.
        }
        results.values.push_back(static_cast<double>(t.rows()));
        flowsum_tool::add_block_summary(b.id, t, rows, summaries);
      }
      sections.push_back({"blocks", "", std::move(blocks)});
      if (!s.streams().empty())
        sections.push_back({"streams", "", s.stream_table({}, flowsum_tool::settings().basis)});
      if (rows > 0) sections.push_back({"block summaries", "", std::move(summaries)});
    }
    if (all_blocks)
      for (const flowsum::Block& b : s.blocks()) sections.push_back({"block", b.id, s.block_results(b.id)});
    for (size_t v = 0; v < kViewCount; ++v)
      for (const std::string& id : view_ids[v]) {
        if (!flowsum_tool::object_in_file(kViews[v], id)) continue;
        try {
          if (kViews[v].table) {
            sections.push_back({kViews[v].kind, id, kViews[v].table(s, id)});
          } else {
            for (flowsum::NamedTable& t : kViews[v].tables(s, id))
              sections.push_back({kViews[v].kind, id, std::move(t.table), std::move(t.name)});
          }
        } catch (const flowsum::NotFoundError&) {
          flowsum_tool::not_in_file(kViews[v].check == Check::kBlock ? "block" : kViews[v].kind, id);
        }
      }
    tknwrn_(&warnings);
  } catch (const flowsum::LoadError& e) {
    std::fprintf(stderr, "flowsum: %s\n", e.what());
    return flowsum_tool::kExitNotLoaded;
  } catch (const flowsum::Error& e) {
    std::fprintf(stderr, "flowsum: %s\n", e.what());
    return flowsum_tool::kExitUsage;
  }
  if (format == "CSV")
    flowsum_tool::write_csv(sections, stdout);
  else
    flowsum_tool::write_json(file, units, sections, stdout);
  std::fflush(stdout);
  if (warnings > 0)
    std::fprintf(stderr, "flowsum: %lld warning%s about %s: it may be cut short or damaged\n",
                 static_cast<long long>(warnings), warnings == 1 ? "" : "s", file.c_str());
  if (flowsum_tool::objects_not_in_file() > 0) return flowsum_tool::kExitNotInFile;
  return warnings > 0 ? flowsum_tool::kExitWarnings : flowsum_tool::kExitDone;
}

int main(int argc, char** argv) {
  using flowsum_tool::kExitUsage;
  std::string ref_dir;
  std::string file;
  std::string units = "ENG";
  flowsum_tool::Settings& settings = flowsum_tool::settings();
  std::string format = "TEXT";
  bool dot_graph = false, verbose = false, all_blocks = false, width_given = false;
  std::vector<std::string> view_ids[kViewCount];
  bool any_view = false;

  auto bad_usage = [](const char* what, const std::string& arg) {
    std::fprintf(stderr, "flowsum: %s %s\n", what, arg.c_str());
    short_usage();
    return kExitUsage;
  };
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], value;
    bool has_value = false;
    if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
      value = arg.substr(arg.find('=') + 1);
      arg.resize(arg.find('='));
      has_value = true;
    }
    // The value of an option that takes one: after '=' or the next argument.
    auto take_value = [&]() -> bool {
      if (has_value) return true;
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    const size_t view = static_cast<size_t>(
        std::find_if(std::begin(kViews), std::end(kViews),
                     [&](const flowsum_tool::View& v) { return arg == std::string("--") + v.option; }) -
        std::begin(kViews));
    if (view < kViewCount) {
      if (!take_value()) return bad_usage("missing ID after", arg);
      add_ids(view_ids[view], value);
      any_view = true;
    } else if (arg == "--ref-dir") {
      if (!take_value()) return bad_usage("missing folder after", arg);
      ref_dir = value;
    } else if (arg == "--basis") {
      if (!take_value()) return bad_usage("missing basis after", arg);
      settings.basis = upper(value);
      if (!one_of(settings.basis, kBases)) return bad_usage("unknown basis", value);
    } else if (arg == "--digits" || arg == "--width" || arg == "--block-rows") {
      if (!take_value()) return bad_usage("missing number after", arg);
      const bool digits = arg == "--digits", width = arg == "--width";
      char* end = nullptr;
      const long n = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || n < (digits ? 1 : 0) || n > (digits ? 17 : 100000))
        return bad_usage(digits ? "--digits takes 1 to 17, not"
                         : width ? "--width takes 0 to 100000, not"
                                 : "--block-rows takes 0 to 100000, not",
                         value);
      (digits ? settings.digits : width ? settings.width : settings.block_rows) = static_cast<int>(n);
      width_given = width_given || width;
    } else if (arg == "--format") {
      if (!take_value()) return bad_usage("missing format after", arg);
      format = upper(value);
      if (format != "TEXT" && format != "CSV" && format != "JSON") return bad_usage("unknown format", value);
    } else if (arg == "--units") {
      // The loader would take any other text for ENG; a mistyped set is
      // refused here instead.
      if (!take_value()) return bad_usage("missing unit set after", arg);
      units = upper(value);
      if (!one_of(units, kUnitSets)) return bad_usage("unknown unit set", value);
    } else if (has_value) {
      return bad_usage("option takes no value:", arg);
    } else if (arg == "--dot") {
      dot_graph = true;
    } else if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--all-blocks") {
      all_blocks = true;
    } else if (arg == "--by-stream") {
      settings.by_stream = true;
    } else if (arg == "-h" || arg == "--help") {
      help();
      return 0;
    } else if (arg == "--version") {
      std::printf("flowsum %s\n", FLOWSUM_VERSION);
      return 0;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return bad_usage("unknown option", arg);
    } else if (file.empty()) {
      file = arg;
    } else {
      return bad_usage("more than one summary file:", arg);
    }
  }
  if (file.empty()) {
    std::fputs("flowsum: no summary file given\n", stderr);
    short_usage();
    return kExitUsage;
  }

  if (!width_given) settings.width = terminal_width();
  if (format != "TEXT") {
    if (dot_graph) return bad_usage("--dot writes Graphviz, not", format);
    return structured_output(format, file, units, ref_dir, all_blocks, view_ids, any_view);
  }

  int64_t unit = kSummaryUnit, recl = 0, ierr = 0;
  Field path(file), access("SEQUENTIAL", 16), form("FORMATTED", 16),
      status("OLD", 16), action("READ", 16);
  tkopen_(&unit, path.data(), access.data(), form.data(), &recl, status.data(),
          action.data(), &ierr, path.size(), access.size(), form.size(),
          status.size(), action.size());
  if (ierr != 0) {
    std::fprintf(stderr, "flowsum: cannot open %s\n", file.c_str());
    return flowsum_tool::kExitNotLoaded;
  }

  const fs::path refs = flowsum::find_reference_dir(file, ref_dir);
  std::string prp = refs.empty() ? "" : (refs / "RCPROPNU.DAT").string();
  std::string unt = refs.empty() ? "" : (refs / "RCUNITS.DAT").string();

  int64_t iscr = kScratchUnit, isum = kSummaryUnit, iprp = kPropertyUnit,
          iunt = kUnitTableUnit, msg = kMessageUnit;
  double rmiss = 1.0e35;
  Field unitset(units, 4), prpfile(prp), untfile(unt);
  open_message_unit();
  tkini2_(unitset.data(), &iscr, &isum, &iprp, prpfile.data(), &iunt,
          untfile.data(), &rmiss, &ierr, &msg, unitset.size(), prpfile.size(),
          untfile.size());
  flush_messages();

  const flowsum::LoadSummary& load = flowsum::last_load();
  if (ierr != 0) {
    std::fprintf(stderr, "flowsum: %s does not load (%s)\n", file.c_str(), load_status_text(ierr));
  } else if (dot_graph) {
    flowsum_tool::write_dot();
  } else {
    std::printf("flowsum: %s\n", file.c_str());
    if (verbose) {
      std::printf("reference files: %s\n", refs.empty() ? "none found (loading without them)"
                                                         : refs.string().c_str());
      if (!load.header.empty())
        std::printf("header: %s (line %lld)\n", load.header.c_str() + (load.header[0] == ' ' ? 1 : 0),
                    static_cast<long long>(load.header_line));
      std::printf("lines: %lld\n", static_cast<long long>(load.lines));
      std::printf("records: PSET %lld, IDSET %lld, LSET %lld, DSET %lld\n",
                  static_cast<long long>(load.psets), static_cast<long long>(load.idsets),
                  static_cast<long long>(load.lsets), static_cast<long long>(load.dsets));
      std::printf("indexed: %lld property names, %lld identifier sets, %lld loading sequences, "
                  "%lld tree words\n",
                  static_cast<long long>(flowsum::locs(flowsum::l::kPropCount)),
                  static_cast<long long>(flowsum::locs(flowsum::l::kIdsetCount)),
                  static_cast<long long>(flowsum::locs(flowsum::l::kLsetCount)),
                  static_cast<long long>(flowsum::locs(flowsum::l::kTreeUsed)));
      std::vector<std::string> top = flowsum::top_level_keywords();
      std::printf("top-level keywords: %zu\n", top.size());
      for (const auto& k : top) std::printf("  %s\n", k.c_str());
    }
    if (all_blocks) {
      // Every block's results, before the views asked for by name.
      std::vector<std::string> ids = flowsum_tool::block_ids();
      if (!ids.empty()) flowsum_tool::report_block_tables({ids, {}, {}});
    }
    if (any_view) {
      for (size_t v = 0; v < kViewCount; ++v) {
        std::vector<std::string> ids;
        for (const auto& id : view_ids[v])
          if (flowsum_tool::object_in_file(kViews[v], id)) ids.push_back(id);
        if (!ids.empty()) kViews[v].print(ids, stdout);
      }
    } else if (!all_blocks) {
      flowsum_tool::report_run_info();
      flowsum_tool::report_units();
      flowsum_tool::report_objects();
      flowsum_tool::report_streams();
      flowsum_tool::report_block_summaries(flowsum_tool::block_list(), settings.block_rows);
    }
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
  if (ierr != 0) return flowsum_tool::kExitNotLoaded;
  if (flowsum_tool::objects_not_in_file() > 0) return flowsum_tool::kExitNotInFile;
  return warnings > 0 ? flowsum_tool::kExitWarnings : flowsum_tool::kExitDone;
}
