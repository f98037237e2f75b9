// Writes a large, realistic summary file for the load benchmark: a
// flowsheet of thousands of blocks and streams, each with several data sets
// whose values fill most of the file's lines.
//
//   make_large_summary OUTPUT [--streams N] [--blocks N] [--components N]
//                             [--trays N] [--model NAME]
//
// --model gives every block the same model (the scaling benchmark's files:
// one long sibling chain of blocks); more blocks than the 10 000 a table
// holds make a file past the sibling limit.
//
// The defaults give a file of a little over 100 MB with about 50 000 data
// sets (50 components, columns of 30 trays), which fits the 2 000 000-word work area once loaded (the tree, the
// directories and the block and stream tables take roughly 900 000 words).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "support/equipment_records.hpp"
#include "support/pipeline_records.hpp"
#include "support/curve_records.hpp"
#include "support/exchanger_records.hpp"
#include "support/flowsheet_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"

using namespace flowsum::testing;

namespace {

struct Options {
  std::string output;
  int streams = 8000;
  int blocks = 3600;
  int components = 50;
  int trays = 30;
  std::string model;  // every block of this model when set
  int compressors = 200;
  int costed = 1000;
  int reactors = 100;  // plug-flow reactors, two substream profiles each
  int reliefs = 100;   // relief objects with a scenario and vent profiles
  int pipelines = 200;
  int refinery = 50;  // refinery columns: a main column and three strippers each
};

std::string numbered(const char* prefix, int n, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%0*d", prefix, width, n);
  return buf;
}

// Values as a simulator writes them: ten significant digits, in a range
// typical of the quantity.
class Values {
 public:
  explicit Values(uint64_t seed) : rng_(seed) {}

  double around(double typical) {
    std::uniform_int_distribution<int64_t> mant(1000000000, 9999999999);
    std::uniform_int_distribution<int> spread(-1, 1);
    int exp10 = static_cast<int>(std::floor(std::log10(std::fabs(typical)))) + spread(rng_) - 9;
    char buf[48];
    int n = std::snprintf(buf, sizeof buf, "%s%lldE%d", typical < 0 ? "-" : "",
                          static_cast<long long>(mant(rng_)), exp10);
    double v = 0;
    std::from_chars(buf, buf + n, v);
    return v;
  }
  double fraction() {
    std::uniform_int_distribution<int64_t> mant(1, 9999999999);
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "0.%010lld", static_cast<long long>(mant(rng_)));
    double v = 0;
    std::from_chars(buf, buf + n, v);
    return v;
  }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::mt19937_64 rng_;
};

bool parse_options(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next_int = [&](int& v) {
      if (i + 1 >= argc) return false;
      v = std::atoi(argv[++i]);
      return v > 0;
    };
    if (a == "--streams") {
      if (!next_int(o.streams)) return false;
    } else if (a == "--blocks") {
      if (!next_int(o.blocks)) return false;
    } else if (a == "--components") {
      if (!next_int(o.components)) return false;
    } else if (a == "--trays") {
      if (!next_int(o.trays)) return false;
    } else if (a == "--model") {
      if (i + 1 >= argc) return false;
      o.model = argv[++i];
    } else if (a == "--compressors") {
      if (!next_int(o.compressors)) return false;
    } else if (a == "--costed") {
      if (!next_int(o.costed)) return false;
    } else if (a == "--reactors") {
      if (!next_int(o.reactors)) return false;
    } else if (a == "--reliefs") {
      if (!next_int(o.reliefs)) return false;
    } else if (a == "--pipelines") {
      if (!next_int(o.pipelines)) return false;
    } else if (a == "--refinery") {
      // 0 leaves them out: the file as it was before refinery columns.
      if (i + 1 >= argc || (o.refinery = std::atoi(argv[++i])) < 0) return false;
    } else if (o.output.empty() && a[0] != '-') {
      o.output = a;
    } else {
      return false;
    }
  }
  // Item tables hold at most 10 000 objects of a kind; a sibling chain is
  // searched over at most 10 000 nodes. Blocks of one model may go past
  // that, to make a file beyond the limit; such a file has no compressors
  // and no costed items, so that its blocks are all of that model.
  if (!o.model.empty()) o.compressors = o.costed = o.reactors = o.pipelines = o.refinery = 0;
  const int most_blocks = o.model.empty() ? 9999 : 100000;
  return !o.output.empty() && o.streams < 10000 &&
         o.blocks + o.compressors + o.reactors + o.pipelines + o.refinery <= most_blocks && o.reliefs < 10000 &&
         o.costed < 10000 && o.components <= 5000;
}

// Every fourth block is a column: columns carry the large tray profiles.
const char* const kModels[] = {"MIXER", "TEMPCHG", "FLASH", "TRAYCOL", "SPLIT", "PUMP", "TWOSIDE",
                               "TRAYCOL", "COMPRESS", "TEMPCHG", "FLASH", "TRAYCOL"};
constexpr int kModelCount = sizeof kModels / sizeof kModels[0];

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse_options(argc, argv, o)) {
    std::cerr << "usage: make_large_summary OUTPUT [--streams N<10000] [--blocks N<10000] "
                 "[--components N<=5000] [--trays N] [--compressors N] [--costed N<10000]\n"
                 "       [--reactors N] [--reliefs N<10000] [--pipelines N] [--refinery N]\n"
                 "       [--model NAME (one model, then --blocks N<=100000)]\n";
    return 2;
  }
  std::ofstream out(o.output, std::ios::binary | std::ios::trunc);
  if (!out) {
    std::cerr << "cannot write " << o.output << "\n";
    return 1;
  }

  SummaryBuilder b;
  FlowsheetWriter w(b);
  CurveWriter curves(w);
  StreamWriter streams(w);
  Values v(12345);
  int64_t datasets = 0;

  b.line("LARGE GENERATED SUMMARY FILE FOR THE LOAD BENCHMARK").header();
  w.property_names();
  RunInfo run;
  run.title = "GENERATED BENCHMARK FLOWSHEET";
  w.run_status(run);
  w.account({"BENCH", "LOAD", "GENERATED FOR THE LOAD BENCHMARK", "FLOWSUM"});
  datasets += 7;

  std::vector<std::string> comps;
  std::vector<double> mw;
  for (int c = 1; c <= o.components; ++c) {
    comps.push_back(numbered("COMP", c, o.components > 999 ? 4 : 3));
    mw.push_back(v.around(50.0));
  }
  w.components(comps);
  w.component_property("MW", prop::kMw, mw);
  datasets += 1;
  b.flush(out);

  // Sets shared by the column profiles: trays, and one property each.
  std::string trays = "T" + std::to_string(o.trays);
  w.idset_once(trays, {"TRAY_NO"}, {{{"#" + std::to_string(o.trays)}}});
  const int64_t tray_props[][2] = {{prop::kTemp, unit_type::kTemperature},
                                   {prop::kPres, unit_type::kPressure},
                                   {prop::kHmx, unit_type::kMolarEnthalpy},
                                   {prop::kMoleFlowTotal, unit_type::kMoleFlow},
                                   {prop::kMassFlowTotal, unit_type::kMassFlow},
                                   {prop::kVfrac, unit_type::kNone},
                                   {prop::kRhomx, unit_type::kMassDensity},
                                   {prop::kCpmx, unit_type::kMolarHeatCapacity}};
  for (const auto& p : tray_props) {
    std::string name = "P" + std::to_string(p[0]);
    w.idset_once(name, {"PROPERTIES"}, {{{std::to_string(p[0])}, 2, p[1]}});
    w.lset_once("TP" + std::to_string(p[0]), "(%" + trays + " & %" + name + ")");
  }
  const int64_t comp_profiles[][2] = {{36, 0}, {39, 0}, {40, 0}};  // x, y, K per tray
  const char* const comp_sections[] = {"TRAY_X", "TRAY_Y", "TRAYB_K"};
  for (const auto& p : comp_profiles) {
    std::string name = "P" + std::to_string(p[0]);
    w.idset_once(name, {"PROPERTIES"}, {{{std::to_string(p[0])}, 2}});
    w.lset_once("CP" + std::to_string(p[0]), "(%ID_NCC & %" + trays + " & %" + name + ")");
  }

  // Blocks: connections, results; columns also ports and profiles.
  for (int k = 1; k <= o.blocks; ++k) {
    std::string id = numbered("B", k, o.blocks > 9999 ? 5 : 4);
    const char* model = o.model.empty() ? kModels[(k - 1) % kModelCount] : o.model.c_str();
    bool column = std::strcmp(model, "TRAYCOL") == 0;
    auto stream_id = [&](int n) { return numbered("S", 1 + (n % o.streams), 5); };
    std::vector<std::pair<std::string, std::string>> in{{stream_id(2 * k), "MATERIAL"}},
        out_ports{{stream_id(2 * k + 1), "MATERIAL"}};
    if (k % 3 == 0) in.push_back({stream_id(2 * k + 7), "MATERIAL"});
    if (column) out_ports.push_back({stream_id(2 * k + 11), "MATERIAL"});
    w.connections(model, id, in, out_ports);
    datasets += 4;

    std::vector<BlockResult> res{
        BlockResult::real(prop::kTemp, v.around(350.0), unit_type::kTemperature),
        BlockResult::real(prop::kPres, v.around(2.0e6), unit_type::kPressure),
        BlockResult::real(prop::kQcalc, v.around(-1.0e6), unit_type::kEnthalpyFlow),
        BlockResult::real(prop::kVfrac, v.fraction())};
    if (column) {
      w.ports(model, id, {{0, o.trays / 2, 0}}, {{1, 0, 0}, {2, o.trays - 1, 0}});
      datasets += 2;
      res.push_back(BlockResult::integer(prop::kNstage, o.trays));
      res.push_back(BlockResult::real(prop::kRefluxRatio, v.around(2.0)));
    }
    // Most models store their main results under a section of their own
    // name, which the loader files as RESULTS.
    w.block_results(model, id, {}, res, "", (k % 2) ? "RESULTS" : std::string("RES_") + model);
    datasets += 1;

    if (column) {
      for (const auto& p : tray_props) {
        std::vector<Value> vals;
        double typical = p[0] == prop::kTemp ? 350.0 : p[0] == prop::kPres ? 1.5e6 : 100.0;
        for (int t = 0; t < o.trays; ++t)
          vals.push_back(p[1] ? Value::real(v.around(typical), 1) : Value::real(v.fraction()));
        b.dset({"BLOCK", model, id, "TRC_PRO2"}, "TP" + std::to_string(p[0]), vals);
        ++datasets;
      }
      for (size_t s = 0; s < 3; ++s) {
        std::vector<Value> vals;
        for (int t = 0; t < o.trays * o.components; ++t)
          vals.push_back(Value::real(s == 2 ? v.around(1.0) : v.fraction()));
        b.dset({"BLOCK", model, id, comp_sections[s]}, "CP" + std::to_string(comp_profiles[s][0]), vals);
        ++datasets;
      }
    }
    // Heating curves of 11 points with two further properties: one for a
    // heater, hot and cold for an exchanger (which also carries its rating
    // of three zones), reboiler and condenser for a column.
    std::vector<std::pair<std::string, std::string>> curve_sections;
    if (std::strcmp(model, "TEMPCHG") == 0) curve_sections = {{"HCURVE", "HCURVE"}};
    if (std::strcmp(model, "TWOSIDE") == 0) curve_sections = {{"HOT_HCUR", "HOT"}, {"COLD_HCU", "COLD"}};
    if (column) curve_sections = {{"REB_HCUR", "REBOILER"}, {"COND_HCU", "CONDENSER"}};
    for (const auto& [section, type] : curve_sections) {
      curves.curve(model, id, sample_curve(section, type, 1, 11, 2, static_cast<uint64_t>(k)));
      ++datasets;
    }
    if (std::strcmp(model, "TWOSIDE") == 0) {
      Exchanger x = sample_exchanger(id, static_cast<uint64_t>(k));
      x.zone_table.resize(std::min<size_t>(x.zone_table.size(), 3));
      x.profiles.resize(x.zone_table.size());
      x.profile_props.resize(1);
      for (auto& zone : x.profiles) zone.resize(1);
      write_exchanger(w, x);
      datasets += 9 + static_cast<int64_t>(x.profiles.size());
    }
    b.flush(out);
  }

  // Streams: main table, phase compositions, phase properties.
  w.idset_once("PHASES", {"PROPERTIES"}, {{{"39"}, 2}, {{"36"}, 2}, {{"37"}, 2}, {{"38"}, 2}});
  w.lset_once("STRXY", "(%ID_NCC & %PHASES)");
  std::vector<IdMember> phase_props;
  for (int p : {64, 63, 94, 95, 88, 61, 89, 90, 991, 992, 993, 994})
    phase_props.push_back({{std::to_string(p)}, 2});
  w.idset_once("PHPROPS", {"PROPERTIES"}, phase_props);
  w.lset_once("STRPHAS", "(%PHPROPS)");
  for (int k = 1; k <= o.streams; ++k) {
    ExplicitStream s;
    s.id = numbered("S", k, 5);
    s.source = numbered("B", 1 + (k / 2) % o.blocks, o.blocks > 9999 ? 5 : 4);
    s.destination = numbered("B", 1 + (k / 2 + 1) % o.blocks, o.blocks > 9999 ? 5 : 4);
    std::vector<StreamWriter::Total> totals{{prop::kTemp, v.around(350.0), unit_type::kTemperature},
                                            {prop::kPres, v.around(2.0e6), unit_type::kPressure},
                                            {prop::kVfrac, v.fraction(), unit_type::kNone},
                                            {prop::kMoleFlowTotal, v.around(0.1), unit_type::kMoleFlow},
                                            {prop::kMassFlowTotal, v.around(5.0), unit_type::kMassFlow},
                                            {prop::kHmx, v.around(-1.0e8), unit_type::kMolarEnthalpy}};
    StreamWriter::ComponentProperty mole{prop::kMoleFlow, {}, unit_type::kMoleFlow},
        frac{prop::kMoleFrac, {}, unit_type::kNone}, mass{prop::kMassFlow, {}, unit_type::kMassFlow},
        mfrac{prop::kMassFrac, {}, unit_type::kNone};
    for (int c = 0; c < o.components; ++c) {
      mole.values.push_back(v.around(0.003));
      frac.values.push_back(v.fraction());
      mass.values.push_back(v.around(0.1));
      mfrac.values.push_back(v.fraction());
    }
    s.rows = StreamWriter::mixed_rows(totals, comps, {mole, frac, mass, mfrac});
    streams.main_table(s);

    std::vector<Value> xy;
    for (int i = 0; i < 4 * o.components; ++i) xy.push_back(Value::real(v.fraction()));
    b.dset({"STREAM", "MATERIAL", s.id, "STRM_XY"}, "STRXY", xy);
    std::vector<Value> ph;
    for (int i = 0; i < 12; ++i) ph.push_back(Value::real(v.around(100.0)));
    b.dset({"STREAM", "MATERIAL", s.id, "STR_PHAS"}, "STRPHAS", ph);
    datasets += 3;
    b.flush(out);
  }
  // Compressors: three of four multistage (five stages with performance,
  // stage and cooler profiles and three wheels a stage), the others single.
  // Then costed items of six types, eight results each.
  EquipmentWriter equipment(w);
  auto grid = [&](int npoints, const std::vector<std::pair<int64_t, int64_t>>& props) {
    ResultGrid g{props, {}};
    for (int i = 0; i < npoints; ++i) {
      g.values.emplace_back();
      for (const auto& p : props) g.values.back().push_back(p.second ? v.around(1000.0) : v.fraction());
    }
    return g;
  };
  const std::vector<std::pair<int64_t, int64_t>> perf{{47, unit_type::kEnthalpyFlow}, {48, 0}, {49, 0},
                                                      {prop::kTemp, unit_type::kTemperature},
                                                      {prop::kPres, unit_type::kPressure}};
  for (int k = 1; k <= o.compressors; ++k) {
    const bool staged = k % 4 != 0;
    CompressorRecord c{staged ? "STAGEBST" : "BOOSTR", numbered("K", k, 4), grid(staged ? 5 : 1, perf), {}, {}, {}};
    if (staged) {
      c.stages = grid(5, {{prop::kTemp, unit_type::kTemperature}, {prop::kPres, unit_type::kPressure}});
      c.coolers = grid(4, {{prop::kTemp, unit_type::kTemperature}, {62, unit_type::kEnthalpyFlow}});
      for (int s = 1; s <= 5; ++s) c.wheels[s] = grid(3, {{51, 0}, {48, 0}, {49, 0}});
    }
    w.block_results(c.model, c.id, {}, {BlockResult::real(prop::kTemp, v.around(400.0), unit_type::kTemperature)});
    equipment.compressor(c);
    datasets += staged ? 9 : 2;
    b.flush(out);
  }
  const char* const kEquipmentTypes[] = {"PUMP", "HEATX", "VESSEL", "TRAY-TOWER", "PACK-TOWER", "CUSTOM2"};
  for (int k = 1; k <= o.costed; ++k) {
    const std::string type = kEquipmentTypes[(k - 1) % 6];
    auto real = [&](int64_t p, double x, int64_t ut = 0) { return CostResult{p, 2, 0, v.around(x), ut}; };
    equipment.costing({type, numbered("E", k, 4), costing_section_of(type),
                       {CostResult{222, 1, 1 + k % 3}, real(381, 1.0e5), CostResult{382, 1, 100000 + k}, real(383, 1.0e4),
                        real(384, 2.0e6, unit_type::kPressure), real(385, 450.0, unit_type::kTemperature),
                        real(56, 2.0), CostResult{874, 5, 0, 0, 0, false, "CS"}}});
    ++datasets;
    b.flush(out);
  }
  // Plug-flow reactors: per substream profile the per-tray properties over
  // the tray count as points, and the liquid composition. Relief objects:
  // a dynamic scenario and two sets of vent pressure and temperature.
  w.idset_once("RXPT", {"NPOINT"}, {{{"#" + std::to_string(o.trays)}}});
  for (const char* sub : {"MIXED", "CISOLID"}) {
    w.idset_once(std::string("RXS") + sub, {"SUBSTREAM"}, {{{sub}}});
    for (const auto& p : tray_props)
      w.lset_once("RP" + std::to_string(p[0]) + sub, "(%P" + std::to_string(p[0]) + " & %RXS" + sub + " & %RXPT)");
  }
  w.lset_once("RXZ", "(%P36 & %ID_NCC & %RXPT)");
  for (int k = 1; k <= o.reactors; ++k) {
    const std::string id = numbered("R", k, 4);
    w.block_results("TUBERX", id, {}, {BlockResult::real(prop::kTemp, v.around(600.0), unit_type::kTemperature)});
    for (int s = 1; s <= 2; ++s) {
      const std::string sub = s == 1 ? "MIXED" : "CISOLID";
      for (const auto& p : tray_props) {
        std::vector<Value> vals;
        for (int t = 0; t < o.trays; ++t) vals.push_back(p[1] ? Value::real(v.around(500.0), 1) : Value::real(v.fraction()));
        b.dset({"BLOCK", "TUBERX", id, "PLPR_" + std::to_string(s)}, "RP" + std::to_string(p[0]) + sub, vals);
        ++datasets;
      }
      std::vector<Value> x;
      for (int t = 0; t < o.trays * o.components; ++t) x.push_back(Value::real(v.fraction()));
      b.dset({"BLOCK", "TUBERX", id, "PLZ_" + std::to_string(s)}, "RXZ", x);
      ++datasets;
    }
    b.flush(out);
  }
  w.idset_once("SCEN", {"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1},
                                        {{std::to_string(prop::kTemp)}, 2, unit_type::kTemperature},
                                        {{std::to_string(prop::kPres)}, 2, unit_type::kPressure}});
  w.lset_once("SCEN", "(%SCEN)");
  w.idset_once("P881", {"PROPERTIES"}, {{{"881"}, 2, unit_type::kPressure}});
  w.idset_once("P882", {"PROPERTIES"}, {{{"882"}, 2, unit_type::kTemperature}});
  w.lset_once("VTP", "(%P881 & %RXPT)");
  w.lset_once("VTT", "(%P882 & %RXPT)");
  for (int k = 1; k <= o.reliefs; ++k) {
    const std::string id = numbered("PSV", k, 4);
    b.dset({"PRES-RELIEF", id, "PRDYSC"}, "SCEN",
           {Value::integer(k % 2), Value::integer(k % 3), Value::integer(k % 5), Value::integer(k % 7),
            Value::real(v.around(400.0), 1), Value::real(v.around(2.0e6), 1)});
    for (int set = 0; set < 2; ++set)
      for (const auto& [section, lset] : {std::pair{"PRVTP", "VTP"}, std::pair{"PRVTT", "VTT"}}) {
        std::vector<Value> vals;
        for (int t = 0; t < o.trays; ++t) vals.push_back(Value::real(v.around(1.0e5), 1));
        b.dset({"PRES-RELIEF", id, section}, lset, vals);
      }
    datasets += 5;
    b.flush(out);
  }

  // Pipelines: ten segments, inlet and outlet conditions and compositions
  // over the run's components, and profiles of 20 points.
  PipelineWriter pipes(w);
  auto series = [&](int64_t property, int64_t ut, size_t n) {
    PipeSeries s{property, 2, ut};
    for (size_t i = 0; i < n; ++i) s.reals.push_back(ut ? v.around(1000.0) : v.fraction());
    return s;
  };
  for (int k = 1; k <= o.pipelines; ++k) {
    PipelineRecord p;
    p.id = numbered("L", k, 4);
    for (auto* side : {&p.inlet, &p.outlet})
      *side = {series(prop::kTemp, unit_type::kTemperature, 1), series(prop::kPres, unit_type::kPressure, 1)};
    p.comp_in = {series(prop::kMoleFrac, 0, comps.size())};
    p.comp_out = {series(prop::kMoleFrac, 0, comps.size())};
    p.segments = {series(56, 0, 10), series(60, 0, 10)};
    p.descriptions = {PipeSeries{874, 5, 0, {}, std::vector<std::string>(10, "PIPE")}};
    p.fluid = {series(66, 0, 1), series(24, 0, 1)};
    p.profile = {series(prop::kTemp, unit_type::kTemperature, 20), series(prop::kPres, unit_type::kPressure, 20)};
    p.length = series(59, 0, 20);
    p.tube = {series(prop::kTemp, unit_type::kTemperature, 20)};
    p.tube[0].qualifiers = {"MIXED", "TOTAL", " ", "MOLE"};
    w.block_results("DUCTLINE", p.id, {}, {BlockResult::real(prop::kPres, v.around(2.0e6), unit_type::kPressure)});
    pipes.pipeline(p);
    datasets += 14;
    b.flush(out);
  }
  // Refinery columns: a main column and three strippers of as many trays
  // (profiles of the column blocks' shape, so that a value of each pass is
  // read from data sets of the same size), each with hydraulic profiles,
  // liquid and vapour compositions and petroleum properties on the three
  // bases; summary results and stripper connections, by which TKNCOL
  // counts the strippers.
  if (o.refinery > 0) {
    w.idset_once("P30", {"PROPERTIES"}, {{{"30"}, 2}});
    w.lset_once("TP30", "(%" + trays + " & %P30)");
    for (int64_t h = 601; h <= 608; ++h) {
      const std::string name = "P" + std::to_string(h);
      w.idset_once(name, {"PROPERTIES"}, {{{std::to_string(h)}, 2, h <= 602 ? unit_type::kMassFlow : 0}});
      w.lset_once("TP" + std::to_string(h), "(%" + trays + " & %" + name + ")");
    }
    w.idset_once("NS3", {"N_STRIP"}, {{{"1"}}, {{"2"}}, {{"3"}}});
    w.lset_once("IM22", "(%P22)");
    w.lset_once("IS22", "(%P22 & %NS3)");
    for (int s = 1; s <= 3; ++s) {
      const std::string nc = "NC" + std::to_string(s);
      w.idset_once(nc, {"N_COL"}, {{{std::to_string(s)}}});
      for (const int64_t p : {36, 39})
        w.lset_once("CS" + std::to_string(p) + "_" + std::to_string(s),
                    "(%ID_NCC & %" + nc + " & %" + trays + " & %P" + std::to_string(p) + ")");
    }
  }
  for (int k = 1; k <= o.refinery; ++k) {
    const std::string id = numbered("CU", k, 4);
    auto at = [&](const std::string& section) { return std::vector<std::string>{"BLOCK", "CRUDEUNIT", id, section}; };
    auto profile = [&](const std::string& section, const std::string& lset, int n, bool fraction) {
      std::vector<Value> vals;
      for (int t = 0; t < n; ++t) vals.push_back(fraction ? Value::real(v.fraction()) : Value::real(v.around(100.0), 1));
      b.dset(at(section), lset, vals);
      ++datasets;
    };
    w.block_results("CRUDEUNIT", id, {}, {BlockResult::real(prop::kTemp, v.around(620.0), unit_type::kTemperature)});
    b.dset(at("INFO_M"), "IM22", {Value::real(v.around(620.0), 1)});
    b.dset(at("INFO_S"), "IS22", {Value::real(v.around(450.0), 1), Value::real(v.around(500.0), 1), Value::real(v.around(550.0), 1)});
    for (int c = 1; c <= 3; ++c) b.dset(at("MSCO_" + std::to_string(c)), "IM22", {Value::real(v.around(450.0), 1)});
    datasets += 5;
    // Data sets of one section keyword follow one another: the strippers
    // share the "_S" composition sections.
    for (int c = 0; c <= 3; ++c)
      for (int64_t h = 601; h <= (c == 0 ? 608 : 604); ++h)
        profile(c == 0 ? "HYD_M" : "HYDS_" + std::to_string(c), "TP" + std::to_string(h), o.trays, h > 602);
    for (const int64_t p : {36, 39})
      for (int c = 0; c <= 3; ++c)
        profile(std::string(p == 36 ? "TRAY_X" : "TRAY_Y") + (c == 0 ? "_M" : "_S"),
                c == 0 ? "CP" + std::to_string(p) : "CS" + std::to_string(p) + "_" + std::to_string(c),
                o.trays * o.components, true);
    for (const char* basis : {"PPL", "PPS", "PPV"})
      for (int c = 0; c <= 3; ++c)
        for (const int64_t p : {prop::kTemp, prop::kMw})
          profile(basis + (c == 0 ? std::string("_M") : "S_" + std::to_string(c)), "TP" + std::to_string(p), o.trays,
                  false);
    b.flush(out);
  }
  out.close();
  if (!out) {
    std::cerr << "error writing " << o.output << "\n";
    return 1;
  }
  std::cout << "wrote " << o.output << ": " << b.line_count() << " lines, " << datasets
            << " data sets, " << o.blocks << " blocks, " << o.streams << " streams\n";
  return 0;
}
