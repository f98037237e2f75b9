#include "support/exchanger_records.hpp"

#include <cmath>
#include <random>

#include "support/curve_records.hpp"

namespace flowsum::testing {
namespace {

Value real(double x, int64_t unit_type) { return unit_type ? Value::real(x, 1) : Value::real(x); }
int64_t I(size_t n) { return static_cast<int64_t>(n); }

std::vector<IdMember> members(int64_t n) {
  std::vector<IdMember> m;
  for (int64_t i = 1; i <= n; ++i) m.push_back({{num(i)}});
  return m;
}

std::vector<IdMember> properties(const std::vector<PropertyReal>& v, int64_t type = 2) {
  std::vector<IdMember> m;
  for (const PropertyReal& p : v) m.push_back({{num(p.property)}, type, p.unit_type});
  return m;
}

void write_intermediate_streams(FlowsheetWriter& w, const IntermediateStreams& s) {
  const std::vector<IdMember> streams = s.listed ? members(I(s.values.size())) : counted_set("", I(s.values.size())).members;
  const std::vector<PropertyReal> vp{{31, 13}, {32, 13}, {62, 13}, {2, 0}, {63, 0}, {102, 22}, {19, 20}},
      cp{{123, 0}, {313, 0}, {124, 0}, {314, 0}};
  std::vector<Value> vv, cv;
  for (const auto& row : s.values)
    for (size_t q = 0; q < row.size(); ++q) vv.push_back(real(row[q], vp[q].unit_type));
  for (const auto& row : s.connections)
    for (int64_t c : row) cv.push_back(Value::integer(c));
  // The values and the connections, each looped over the streams.
  shared_dataset(w, "XQ", {"BLOCK", s.model, s.id, "ICSTRM"}, {{{"PROPERTIES"}, properties(vp), ""}, {{"ICSTRM"}, streams, ""}},
                 vv);
  shared_dataset(w, "XQ", {"BLOCK", s.model, s.id, "ICS-CON"},
                 {{{"PROPERTIES"}, properties(cp, 1), ""}, {{"ICSTRM"}, streams, ""}}, cv);
}

}  // namespace

void write_exchanger(FlowsheetWriter& w, const Exchanger& x) {
  for (const auto& [v, section] : {std::pair{&x.geometry, "GEOMETRY"}, {&x.shells, "SHELLS"}, {&x.tubes, "TUBES"},
                                   {&x.nozzles, "NOZZLES"}, {&x.equip, "EQUIP-SP"}, {&x.det1, "DET-RES1"},
                                   {&x.det2, "DET-RES2"}}) {
    std::vector<BlockResult> r;
    for (const PropertyReal& p : *v) r.push_back(BlockResult::real(p.property, p.value, p.unit_type));
    if (v == &x.geometry)  // GEOMETRY ends with an integer and a text
      r.insert(r.end(), {BlockResult::integer(prop::kNstage, x.geometry_integer), BlockResult::text(prop::kMw, x.geometry_text)});
    if (!r.empty()) w.block_results(x.model, x.id, {}, r, "", section);
  }
  const auto at = [&](const std::string& section) { return std::vector<std::string>{"BLOCK", x.model, x.id, section}; };
  std::vector<Value> vals;
  for (const auto& zone : x.zone_table)
    for (size_t k = 0; k < zone.size(); ++k) vals.push_back(real(zone[k], x.zone_props[k].unit_type));
  shared_dataset(w, "XQ", at("TWS_ZON"),
                 {{{"PROPERTIES"}, properties(x.zone_props), ""}, {{"ZONES"}, members(I(x.zone_table.size())), ""}}, vals);
  for (size_t z = 0; z < x.profiles.size(); ++z)
    for (size_t k = 0; k < x.profile_props.size(); ++k) {
      std::vector<Value> pv;
      for (double v : x.profiles[z][k]) pv.push_back(real(v, x.profile_props[k].unit_type));
      shared_dataset(w, "XQ", at("TWS_Z_" + num(I(z + 1))), {{{"PROPERTIES"}, properties({x.profile_props[k]}), ""},
                     {{"POINTS"}, members(I(x.profiles[z][k].size())), ""}}, pv);
    }
  if (x.point_rows.empty()) return;
  std::vector<IdMember> rows{{{num(prop::kNstage), "POS", "1"}, 2, 0}, {{num(prop::kRefluxRatio), "POS", "2"}, 2, 0}};
  for (size_t k = 0; k < x.point_props.size(); ++k)
    rows.push_back({{num(x.point_props[k].property), k % 2 ? "HOT" : "COLD", "S" + num(static_cast<int64_t>(k))},
                    2, x.point_props[k].unit_type});
  vals.clear();
  for (const auto& row : x.point_rows)
    for (size_t k = 0; k < row.size(); ++k) vals.push_back(real(row[k], k < 2 ? 0 : x.point_props[k - 2].unit_type));
  shared_dataset(w, "XQ", at("TWS_PRF"), {{{"PROPERTIES", "QA", "QB"}, rows, ""}, counted_set("NPOINTS", I(x.point_rows.size()))},
                 vals);
}

Exchanger sample_exchanger(const std::string& id, uint64_t seed) {
  std::mt19937_64 g(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
  auto value = [&] { return between(1, 99999) / 100.0; };
  const std::vector<PropertyReal> kinds{{prop::kTemp, unit_type::kTemperature}, {prop::kPres, unit_type::kPressure},
                                        {prop::kQcalc, unit_type::kEnthalpyFlow}, {prop::kVfrac, 0},
                                        {prop::kMassFlowTotal, unit_type::kMassFlow}};
  auto some = [&](int lo) {
    std::vector<PropertyReal> v(kinds.end() - between(lo, 5), kinds.end());
    for (PropertyReal& r : v) r.value = value();
    return v;
  };
  auto table = [&](size_t rows, size_t cols) {
    std::vector<std::vector<double>> t(rows, std::vector<double>(cols));
    for (auto& r : t)
      for (double& v : r) v = value();
    return t;
  };
  Exchanger x{"TWOSIDE", id, some(1), some(1), some(1), some(1), some(1), some(1), some(0), between(1, 500),
              "TEMA" + num(between(1, 9)), some(1), some(1), some(1), {}, {}, {}};
  const size_t nz = static_cast<size_t>(between(1, 12)), np = static_cast<size_t>(between(1, 6));
  x.zone_table = table(nz, x.zone_props.size());
  for (size_t z = 0; z < nz; ++z) x.profiles.push_back(table(x.profile_props.size(), np));
  x.point_rows = table(np, 2 + x.point_props.size());
  return x;
}

RandomExchangers random_exchangers(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids) {
  std::mt19937_64 g(seed ^ 0x6578636867ULL);
  auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); };
  auto fresh_id = [&](const char* prefix) {
    std::string id;
    do id = prefix + num(below(100000));
    while (!used_ids.insert(id).second);
    return id;
  };
  RandomExchangers out;
  for (int i = below(3); i > 0; --i) {
    out.exchangers.push_back(sample_exchanger(fresh_id("EX"), g()));
    if (below(4) == 0) out.exchangers.back().model = "HEATX";  // geometry under a model that is not TWOSIDE
    write_exchanger(w, out.exchangers.back());
  }
  static const std::vector<std::string> models{"TRAYCOL", "KINETCOL", "LINKEDCOL", "CRUDEUNIT"};
  for (int i = below(3); i > 0; --i) {
    IntermediateStreams s{models[static_cast<size_t>(below(4))], fresh_id("IC"), {}, {}, below(2) == 1};
    for (int k = 1 + below(4); k > 0; --k) {
      s.values.emplace_back();
      for (int q = 0; q < 7; ++q) s.values.back().push_back((1 + below(99999)) / 100.0);
      s.connections.push_back({1 + below(40), 1 + below(40), 1 + below(40), 1 + below(40)});
    }
    write_intermediate_streams(w, s);
    out.columns.push_back(std::move(s));
  }
  return out;
}

void example_heat_transfer(FlowsheetWriter& w, const std::string& model, const std::string& block, double t_in,
                           double t_out, double p_in, double p_out, double duty) {
  Curve c{"HCURVE", "HCURVE", "", 1, {}, {}, {}, {}, {}, {}};
  for (int i = 0; i < 5; ++i) {
    const double f = i / 4.0;
    c.status.push_back(0.0);
    c.temp.push_back(std::round((t_in + f * (t_out - t_in)) * 100.0) / 100.0);
    c.pres.push_back(std::round(p_in + f * (p_out - p_in)));
    c.vfrac.push_back(0.62 + 0.0225 * i);
    c.duty.push_back(std::round(f * duty));
  }
  c.further.push_back({prop::kMassFlowTotal, "MIXED", "LIQUID", "", "", unit_type::kMassFlow,
                       {0.38, 0.3575, 0.335, 0.3125, 0.29}});
  CurveWriter(w).curve(model, block, c);
  write_exchanger(w, {.model = model, .id = block, .shells = {{prop::kNstage, 0, 1.0}}, .tubes = {{prop::kMw, 0, 120.0}},
                      .nozzles = {{prop::kPres, unit_type::kPressure, 2.0e4}},
                      .zone_props = {{prop::kTemp, unit_type::kTemperature}, {prop::kQcalc, unit_type::kEnthalpyFlow}},
                      .profile_props = {{prop::kTemp, unit_type::kTemperature}},
                      .zone_table = {{310.0, std::round(duty * 0.4)}, {330.0, std::round(duty * 0.6)}},
                      .profiles = {{{296.4, 303.0, 310.0}}, {{310.0, 320.0, 330.0}}}});
}

}  // namespace flowsum::testing
