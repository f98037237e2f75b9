// The example flowsheet: FEED1 and FEED2 mixed (M1), heated (H1), flashed
// (F1), the liquid stabilised in column C1; beside them reactor R1, relief
// object PSV-1 and refinery column U1. Flows and duties balance by hand.
#include "support/example_flowsheet.hpp"

#include <charconv>
#include <cmath>
#include <functional>
#include <numeric>

#include "support/equipment_records.hpp"
#include "support/exchanger_records.hpp"
#include "support/column_records.hpp"
#include "support/flowsheet_records.hpp"
#include "support/pipeline_records.hpp"
#include "support/stream_records.hpp"

namespace flowsum::testing {
namespace {

// Six significant digits keep the file readable.
double r6(double x) {
  if (x == 0) return 0;
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 5);
  double v = 0;
  std::from_chars(buf, r.ptr, v);
  return v;
}

const std::vector<std::string> kComponents{"WATER", "METHANE", "ETHANE", "PROPANE", "NBUTANE"};
const std::vector<double> kMw{18.015, 16.043, 30.07, 44.097, 58.123};

// Temperature K, pressure Pa, flows kmol/s per component, enthalpy J/kmol.
struct StreamState {
  std::string id, source, destination;
  double temp = 0, pres = 0, vfrac = 0;
  std::vector<double> flows;
  double hmx = 0;
};

double total(const std::vector<double>& f) { return std::accumulate(f.begin(), f.end(), 0.0); }

// a op b element by element, rounded.
template <class Op>
std::vector<double> each(const std::vector<double>& a, const std::vector<double>& b, Op op) {
  std::vector<double> out(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = r6(op(a[i], b[i]));
  return out;
}

// A stream whose made-up molar enthalpy rises with temperature and vapour.
StreamState state(std::string id, std::string source, std::string destination, double temp,
                  double pres, double vfrac, std::vector<double> flows) {
  return {std::move(id), std::move(source), std::move(destination), temp, pres, vfrac, std::move(flows),
          r6(-1.1e8 + 3.5e4 * (temp - 298.15) + 1.6e7 * vfrac)};
}

// Heat flow of a stream, W.
double heat(const StreamState& s) { return total(s.flows) * s.hmx; }

ExplicitStream stream_record(const StreamState& s) {
  ExplicitStream m{"MATERIAL", s.id, s.source, s.destination};
  double moles = total(s.flows);
  double mass = 0;
  std::vector<double> frac(s.flows.size());
  for (size_t i = 0; i < s.flows.size(); ++i) {
    mass += s.flows[i] * kMw[i];
    frac[i] = moles > 0 ? r6(s.flows[i] / moles) : 0.0;
  }
  m.rows = StreamWriter::mixed_rows({{prop::kTemp, s.temp, unit_type::kTemperature},
                                     {prop::kPres, s.pres, unit_type::kPressure},
                                     {prop::kVfrac, s.vfrac, unit_type::kNone},
                                     {prop::kMoleFlowTotal, r6(moles), unit_type::kMoleFlow},
                                     {prop::kMassFlowTotal, r6(mass), unit_type::kMassFlow},
                                     {prop::kHmx, s.hmx, unit_type::kMolarEnthalpy}}, kComponents,
                                    {{prop::kMoleFlow, s.flows, unit_type::kMoleFlow},
                                     {prop::kMoleFrac, frac, unit_type::kNone}});
  return m;
}

}  // namespace

SummaryBuilder example_flowsheet() {
  // Streams, balanced component by component.
  StreamState feed1 = state("FEED1", "", "M1", 300.0, 3.0e6, 1.0, {0.001, 0.02, 0.005, 0.003, 0.001});
  StreamState feed2 = state("FEED2", "", "M1", 290.0, 3.0e6, 0.0, {0.002, 0.001, 0.002, 0.004, 0.006});
  StreamState s1 = state("S1", "M1", "H1", 296.4, 3.0e6, 0.62, each(feed1.flows, feed2.flows, std::plus<>()));
  StreamState s2 = state("S2", "H1", "F1", 330.0, 2.95e6, 0.71, s1.flows);
  StreamState vap = state("VAP", "F1", "", 320.0, 2.9e6, 1.0,
                          each(s2.flows, {0.05, 0.97, 0.85, 0.55, 0.3}, std::multiplies<>()));
  StreamState liq = state("LIQ", "F1", "C1", 320.0, 2.9e6, 0.0, each(s2.flows, vap.flows, std::minus<>()));
  StreamState dist = state("DIST", "C1", "", 265.0, 1.5e6, 0.0,
                           each(liq.flows, {0.0, 1.0, 0.98, 0.6, 0.05}, std::multiplies<>()));
  StreamState bott = state("BOTT", "C1", "", 380.0, 1.55e6, 0.0, each(liq.flows, dist.flows, std::minus<>()));
  // The mixer is adiabatic: its outlet enthalpy comes from its inlets.
  s1.hmx = r6((heat(feed1) + heat(feed2)) / total(s1.flows));

  double h1_duty = r6(heat(s2) - heat(s1));
  double f1_duty = r6(heat(vap) + heat(liq) - heat(s2));
  double c1_condenser = -1.5e5;
  double c1_reboiler = r6(heat(dist) + heat(bott) - heat(liq) - c1_condenser);

  SummaryBuilder b;
  FlowsheetWriter w(b);
  b.line("FLOWSUM EXAMPLE SUMMARY FILE")
      .line("Lines before the header line are kept in the copy but not read.")
      .header(Header::kIwp80);

  // Names of the property numbers the data sets below use.
  w.property_names("PROPS");

  // Run information.
  w.run_status({"12.1", "EXAMPLE1", "FLOWSUM EXAMPLE: MIXER, HEATER, FLASH, COLUMN", 0, "RUN COMPLETED NORMALLY",
                "ALL BLOCKS CONVERGED"});
  w.account({"ENGINEER", "DEMO-01", "FLOWSUM EXAMPLE PROJECT", "PROCESS ENGINEERING"});

  // Components and their molecular weights.
  w.components(kComponents);
  w.component_property("MW", prop::kMw, kMw);

  // Blocks: connections, then temperature, pressure, duty, vapour fraction.
  auto block = [&](const char* model, const char* id, const std::vector<std::string>& in,
                   const std::vector<std::string>& out, const StreamState& at, const double* duty, double vfrac,
                   const char* set) {
    std::vector<std::pair<std::string, std::string>> ins, outs;
    for (const std::string& s : in) ins.push_back({s, "MATERIAL"});
    for (const std::string& s : out) outs.push_back({s, "MATERIAL"});
    b.blank_line();
    w.connections(model, id, ins, outs);
    std::vector<BlockResult> r{BlockResult::real(prop::kTemp, at.temp, unit_type::kTemperature),
                               BlockResult::real(prop::kPres, at.pres, unit_type::kPressure)};
    if (duty) r.push_back(BlockResult::real(prop::kQcalc, *duty, unit_type::kEnthalpyFlow));
    r.push_back(BlockResult::real(prop::kVfrac, vfrac));
    w.block_results(model, id, {}, r, set);
  };
  block("MIXER", "M1", {"FEED1", "FEED2"}, {"S1"}, s1, nullptr, s1.vfrac, "MIXRES");
  block("TEMPCHG", "H1", {"S1"}, {"S2"}, s2, &h1_duty, s2.vfrac, "HEATRES");
  example_heat_transfer(w, "TEMPCHG", "H1", s1.temp, s2.temp, s1.pres, s2.pres, h1_duty);
  block("FLASH", "F1", {"S2"}, {"VAP", "LIQ"}, vap, &f1_duty, r6(total(vap.flows) / total(s2.flows)), "HEATRES");

  b.blank_line();
  w.connections("TRAYCOL", "C1", {{"LIQ", "MATERIAL"}}, {{"DIST", "MATERIAL"}, {"BOTT", "MATERIAL"}});
  // Feed on tray 5, distillate from tray 1, bottoms from tray 10 (from 0).
  w.ports("TRAYCOL", "C1", {{0, 4, 0}}, {{1, 0, 0}, {2, 9, 0}});
  w.block_results("TRAYCOL", "C1", {"LOCATION"}, {BlockResult::integer(prop::kNstage, 10, {"COLUMN"}),
                   BlockResult::real(prop::kRefluxRatio, 2.5, unit_type::kNone, {"COLUMN"}),
                   BlockResult::real(prop::kTemp, dist.temp, unit_type::kTemperature, {"CONDENSR"}),
                   BlockResult::real(prop::kTemp, bott.temp, unit_type::kTemperature, {"REBOILER"}),
                   BlockResult::real(prop::kQcalc, c1_condenser, unit_type::kEnthalpyFlow, {"CONDENSR"}),
                   BlockResult::real(prop::kQcalc, c1_reboiler, unit_type::kEnthalpyFlow, {"REBOILER"})}, "COLRES");
  // Tray profile: temperature, pressure, and a liquid shifting towards the
  // later components down the column.
  {
    std::vector<double> temps, pres, x;
    for (int t = 0; t < 10; ++t) {
      temps.push_back(r6(dist.temp + (bott.temp - dist.temp) * t / 9.0));
      pres.push_back(1.5e5 + 2000.0 * t);
      std::vector<double> weights;
      double sum = 0;
      for (size_t c = 0; c < kComponents.size(); ++c) sum += weights.emplace_back(std::pow(1.0 + 0.3 * t, double(c)));
      for (double wgt : weights) x.push_back(r6(wgt / sum));
    }
    const ColumnSet trays = tray_set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const std::vector<std::string> profile{"BLOCK", "TRAYCOL", "C1", "TRC_PRO2"};
    column_dataset(w, profile, {property_set(prop::kTemp, unit_type::kTemperature), trays}, reals(temps, 1));
    column_dataset(w, profile, {property_set(prop::kPres, unit_type::kPressure), trays}, reals(pres, 1));
    column_dataset(w, {"BLOCK", "TRAYCOL", "C1", "TRAY_X"}, {property_set(36), component_set({}), trays}, reals(x));
  }

  // Plug-flow reactor R1: five points of temperature, pressure and mole
  // fractions, the first component converted into the second.
  {
    const std::vector<std::string> pfr{"BLOCK", "TUBERX", "R1"};
    auto at = [&](const char* section) { auto p = pfr; p.push_back(section); return p; };
    const ColumnSet mixed{{"SUBSTREAM"}, {{{"MIXED"}}}, ""}, points{{"NPOINT"}, {{{"#5"}}}, ""};
    std::vector<double> temps, pres, x;
    for (int t = 0; t < 5; ++t) {
      temps.push_back(600.0 + 15.0 * t);
      pres.push_back(2.0e6 - 25000.0 * t);
      const double converted = r6(0.4 * t / 4.0);
      const std::vector<double> xs{0.5 - converted, 0.2 + converted, 0.15, 0.1, 0.05};
      x.insert(x.end(), xs.begin(), xs.end());
    }
    b.blank_line();
    w.block_results("TUBERX", "R1", {}, {BlockResult::real(prop::kTemp, temps.back(), unit_type::kTemperature)});
    column_dataset(w, at("PLPR_1"), {property_set(prop::kTemp, unit_type::kTemperature), mixed, points}, reals(temps, 1));
    column_dataset(w, at("PLPR_1"), {property_set(prop::kPres, unit_type::kPressure), mixed, points}, reals(pres, 1));
    column_dataset(w, at("PLZ_1"), {property_set(36), component_set({}), points}, reals(x));
    // Relief object PSV-1: a fire scenario, vent pressure and temperature.
    const ColumnSet results{{"PROPERTIES"}, {{{"872"}, 1}, {{"873"}, 1}, {{"874"}, 1}, {{"875"}, 1}}, ""};
    const ColumnSet three{{"NPOINT"}, {{{"#3"}}}, ""};
    column_dataset(w, {"PRES-RELIEF", "PSV-1", "PRDYSC"}, {results}, integers({0, 1, 1, 1}));
    column_dataset(w, {"PRES-RELIEF", "PSV-1", "PRVTP"}, {property_set(881, unit_type::kPressure), three},
                   reals({3.2e6, 2.9e6, 2.6e6}, 1));
    column_dataset(w, {"PRES-RELIEF", "PSV-1", "PRVTT"}, {property_set(882, unit_type::kTemperature), three},
                   reals({340.0, 336.0, 331.0}, 1));
  }

  // Streams: totals, then per component mole flow and mole fraction.
  for (const StreamState* s : {&feed1, &feed2, &s1, &s2, &vap, &liq, &dist, &bott}) {
    b.blank_line();
    StreamWriter(w).main_table(stream_record(*s), "STRMAIN");
  }

  // Three-stage compressor K1 (intercoolers, wheels), a costed pump and tower.
  b.blank_line();
  const ResultGrid perf{{{47, unit_type::kEnthalpyFlow}, {48, 0}, {49, 0}},
                        {{185000.0, 5400.0, 0.78}, {192000.0, 5600.0, 0.77}, {199000.0, 5800.0, 0.76}}};
  const ResultGrid stages{{{prop::kTemp, unit_type::kTemperature}, {prop::kPres, unit_type::kPressure}},
                          {{395.0, 300000.0}, {398.0, 900000.0}, {401.0, 2700000.0}}};
  const ResultGrid coolers{{{prop::kTemp, unit_type::kTemperature}, {62, unit_type::kEnthalpyFlow}},
                           {{313.15, -120000.0}, {313.15, -125000.0}}};
  const ResultGrid wheels{{{51, 0}, {48, 0}}, {{9800.0, 2750.0}, {9800.0, 2650.0}}};
  w.block_results("STAGEBST", "K1", {}, {BlockResult::real(prop::kPres, 2700000.0, unit_type::kPressure)});
  EquipmentWriter equipment(w);
  equipment.compressor({"STAGEBST", "K1", perf, stages, coolers, {{1, wheels}, {2, wheels}, {3, wheels}}});
  b.blank_line();
  auto count = [](int64_t p, int64_t n) { return CostResult{p, 1, n}; };
  auto amount = [](int64_t p, double x, int64_t ut = 0) { return CostResult{p, 2, 0, x, ut}; };
  equipment.costing({"PUMP", "P-101", "SZECST",
                     {count(222, 2), count(381, 15000), amount(382, 21500.5), amount(384, 1.2e6, unit_type::kPressure)}});
  equipment.costing({"TRAY-TOWER", "T-101", "SZECST1",
                     {count(222, 1), amount(381, 250000.0), count(382, 410000), amount(56, 1.8),
                      CostResult{874, 5, 0, 0, 0, false, "SIEVE"}}});

  // Pipeline L1: three segments over 150 m carrying the vapour.
  b.blank_line();
  w.block_results("DUCTLINE", "L1", {}, {BlockResult::real(prop::kPres, 2600000.0, unit_type::kPressure)});
  PipelineRecord line;
  line.id = "L1";
  const auto real = [](int64_t p, std::vector<double> v, int64_t ut = 0) { return PipeSeries{p, 2, ut, std::move(v)}; };
  line.inlet = {real(prop::kTemp, {320.0}, unit_type::kTemperature), real(prop::kPres, {2900000.0}, unit_type::kPressure)};
  line.outlet = {real(prop::kTemp, {314.5}, unit_type::kTemperature), real(prop::kPres, {2600000.0}, unit_type::kPressure)};
  line.comp_in = {real(prop::kMoleFrac, {0.01, 0.62, 0.21, 0.11, 0.05})};
  line.comp_out = {real(prop::kMoleFrac, {0.005, 0.625, 0.21, 0.11, 0.05})};
  line.segments = {real(56, {0.2, 0.2, 0.25}), real(60, {12.5, 12.1, 8.4})};
  line.descriptions = {PipeSeries{874, 5, 0, {}, {"PIPE", "ELBOW", "PIPE"}}};
  line.fluid = {real(66, {0.02})};
  line.profile = {real(prop::kTemp, {320.0, 318.0, 316.2, 314.5}, unit_type::kTemperature),
                  real(prop::kPres, {2900000.0, 2800000.0, 2700000.0, 2600000.0}, unit_type::kPressure)};
  line.length = real(59, {0.0, 50.0, 100.0, 150.0});
  line.tube = {real(prop::kTemp, {320.0, 318.0, 316.2, 314.5}, unit_type::kTemperature)};
  line.tube[0].qualifiers = {"MIXED", "VAPOR", " ", "MOLE"};
  PipelineWriter(w).pipeline(line);

  // Refinery column U1: a main column of four trays, two strippers, a
  // pumparound, the furnace, two connections, petroleum profiles.
  b.blank_line();
  {
    auto at = [](const char* section) { return std::vector<std::string>{"BLOCK", "CRUDEUNIT", "U1", section}; };
    const ColumnSet results{{"PROPERTIES"}, {{{"22"}, 2, unit_type::kTemperature}, {{"8001"}, 2, unit_type::kMoleFlow}}, ""};
    const ColumnSet connection{
        {"PROPERTIES"}, {{{"33"}, 2, 0}, {{"22"}, 2, unit_type::kTemperature}, {{"23"}, 2, unit_type::kPressure}}, ""};
    w.block_results("CRUDEUNIT", "U1", {}, {BlockResult::real(prop::kTemp, 640.0, unit_type::kTemperature)});
    column_dataset(w, at("HYD_M"), {property_set(601, unit_type::kMassFlow), tray_set({1, 2, 3, 4})},
                   reals({12.0, 14.5, 15.2, 9.8}, 1));
    column_dataset(w, at("HYDS_1"), {property_set(601, unit_type::kMassFlow), tray_set({1, 2})}, reals({2.1, 1.7}, 1));
    column_dataset(w, at("HYDS_2"), {property_set(601, unit_type::kMassFlow), tray_set({1, 2})}, reals({3.4, 2.9}, 1));
    column_dataset(w, at("INFO_M"), {results}, reals({640.0, 0.05}, 1));
    column_dataset(w, at("INFO_S"), {results, keyed_set("N_STRIP", {"1", "2"})}, reals({450.0, 0.012, 520.0, 0.009}, 1));
    column_dataset(w, at("PUMPAROU"), {results, keyed_set("PUMPAROUND", {"1"})}, reals({400.0, 0.02}, 1));
    column_dataset(w, at("M-FCONNE"), {results, keyed_set("M-FCONNECT", {"FEED", "NAPHTHA"})},
                   reals({640.0, 0.05, 380.0, 0.015}, 1));
    column_dataset(w, at("MF_CON"), {connection, keyed_set("M-FCONNECT", {"FEED", "NAPHTHA"})},
                   {Value::real(4.0), Value::real(640.0, 1), Value::real(2.0e5, 1), Value::real(1.0),
                    Value::real(380.0, 1), Value::real(1.5e5, 1)});
    column_dataset(w, at("MSCO_1"), {results}, reals({450.0, 0.012}, 1));
    column_dataset(w, at("MSCO_2"), {results}, reals({520.0, 0.009}, 1));
    column_dataset(w, at("FURN_XXY"), {property_set(prop::kMoleFrac), component_set({})},
                   reals({0.02, 0.05, 0.13, 0.3, 0.5}));
    column_dataset(w, at("PPL_M"), {property_set(prop::kTemp, unit_type::kTemperature), tray_set({1, 2, 3, 4})},
                   reals({380.0, 450.0, 520.0, 640.0}, 1));
    column_dataset(w, at("PPS_M"), {property_set(prop::kMw), tray_set({1, 2, 3, 4})}, reals({95.0, 150.0, 210.0, 320.0}));
  }
  return b;
}

}  // namespace flowsum::testing
