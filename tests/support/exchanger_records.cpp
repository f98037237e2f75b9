#include "support/exchanger_records.hpp"

#include "support/curve_records.hpp"

#include <cmath>
#include <random>

namespace flowsum::testing {
namespace {

std::string num(int64_t n) { return std::to_string(n); }

std::vector<BlockResult> results(const std::vector<PropertyReal>& v) {
  std::vector<BlockResult> out;
  for (const PropertyReal& r : v) out.push_back(BlockResult::real(r.property, r.value, r.unit_type));
  return out;
}

Value real(double x, int64_t unit_type) { return unit_type ? Value::real(x, 1) : Value::real(x); }

// Members 1 .. n of a set.
std::vector<IdMember> members(int64_t n) {
  std::vector<IdMember> m;
  for (int64_t i = 1; i <= n; ++i) m.push_back({{num(i)}});
  return m;
}

// A set (or sequence) named after key, written once.
std::string idset(FlowsheetWriter& w, const std::string& prefix, const std::string& key,
                  const std::vector<std::string>& quals, const std::vector<IdMember>& m) {
  return set_name(prefix, key, [&](const std::string& n) { return w.idset_once(n, quals, m); });
}
std::string lset(FlowsheetWriter& w, const std::string& prefix, const std::string& key, const std::string& a,
                 const std::string& b) {
  return set_name(prefix, key, [&](const std::string& n) { return w.lset_once(n, "(%" + a + " & %" + b + ")"); });
}

}  // namespace

void write_exchanger(FlowsheetWriter& w, const Exchanger& x) {
  const std::string m = x.model, id = x.id;
  std::vector<BlockResult> geometry = results(x.geometry);
  geometry.push_back(BlockResult::integer(prop::kNstage, x.geometry_integer));
  geometry.push_back(BlockResult::text(prop::kMw, x.geometry_text));
  w.block_results(m, id, {}, geometry, "", "GEOMETRY");
  const std::vector<std::pair<const std::vector<PropertyReal>*, std::string>> plain{
      {&x.shells, "SHELLS"}, {&x.tubes, "TUBES"}, {&x.nozzles, "NOZZLES"},
      {&x.equip, "EQUIP-SP"}, {&x.det1, "DET-RES1"}, {&x.det2, "DET-RES2"}};
  for (const auto& [v, section] : plain)
    if (!v->empty()) w.block_results(m, id, {}, results(*v), "", section);

  SummaryBuilder& b = w.builder();
  const int64_t nz = static_cast<int64_t>(x.zone_table.size());
  std::vector<IdMember> zp;
  for (const PropertyReal& p : x.zone_props) zp.push_back({{num(p.property)}, 2, p.unit_type});
  const std::string key = id + "|" + m + "|";
  const std::string zp_name = idset(w, "XP", key, {"PROPERTIES"}, zp),
                    zn_name = idset(w, "XZ", key, {"ZONES"}, members(nz)),
                    zt_name = lset(w, "XT", key, zp_name, zn_name);
  std::vector<Value> vals;
  for (const auto& zone : x.zone_table)
    for (size_t k = 0; k < zone.size(); ++k) vals.push_back(real(zone[k], x.zone_props[k].unit_type));
  b.dset({"BLOCK", m, id, "TWS_ZON"}, zt_name, vals);

  for (size_t z = 0; z < x.profiles.size(); ++z) {
    for (size_t k = 0; k < x.profile_props.size(); ++k) {
      const auto& pts = x.profiles[z][k];
      const std::string pkey = key + num(static_cast<int64_t>(z)) + "|" + num(static_cast<int64_t>(k));
      const std::string fp = idset(w, "XF", pkey, {"PROPERTIES"},
                                   {{{num(x.profile_props[k].property)}, 2, x.profile_props[k].unit_type}}),
                        fn = idset(w, "XN", pkey, {"POINTS"}, members(static_cast<int64_t>(pts.size()))),
                        fs = lset(w, "XS", pkey, fp, fn);
      std::vector<Value> pv;
      for (double v : pts) pv.push_back(real(v, x.profile_props[k].unit_type));
      b.dset({"BLOCK", m, id, "TWS_Z_" + num(static_cast<int64_t>(z + 1))}, fs, pv);
    }
  }

  if (!x.point_values.empty()) {
    std::vector<IdMember> rows{{{num(prop::kNstage), "POS", "1"}, 2, 0}, {{num(prop::kRefluxRatio), "POS", "2"}, 2, 0}};
    for (size_t k = 0; k < x.point_props.size(); ++k)
      rows.push_back({{num(x.point_props[k].property), x.qa[k], x.qb[k]}, 2, x.point_props[k].unit_type});
    const std::string pr = idset(w, "XR", key, {"PROPERTIES", "QA", "QB"}, rows),
                      pn = idset(w, "XM", key, {"NPOINTS"},
                                 {{{"#" + num(static_cast<int64_t>(x.point_values.size()))}}}),
                      ps = lset(w, "XQ", key, pr, pn);
    std::vector<Value> pv;
    for (size_t p = 0; p < x.point_values.size(); ++p) {
      pv.push_back(Value::real(x.positions[p][0]));
      pv.push_back(Value::real(x.positions[p][1]));
      for (size_t k = 0; k < x.point_props.size(); ++k) pv.push_back(real(x.point_values[p][k], x.point_props[k].unit_type));
    }
    b.dset({"BLOCK", m, id, "TWS_PRF"}, ps, pv);
  }
}

void write_intermediate_streams(FlowsheetWriter& w, const IntermediateStreams& s) {
  SummaryBuilder& b = w.builder();
  const int64_t n = static_cast<int64_t>(s.values.size());
  const std::vector<int64_t> vprops{31, 32, 62, 2, 63, 102, 19}, cprops{123, 313, 124, 314};
  std::vector<IdMember> vm, cm;
  for (size_t q = 0; q < vprops.size(); ++q) vm.push_back({{num(vprops[q])}, 2, intermediate_unit_types()[q]});
  for (int64_t p : cprops) cm.push_back({{num(p)}, 1, 0});
  const std::string key = s.id + "|" + s.model;
  const std::string icv = idset(w, "IV", key, {"PROPERTIES"}, vm), icc = idset(w, "IC", key, {"PROPERTIES"}, cm),
                    icn = idset(w, "IN", key, {"ICSTRM"},
                                s.listed ? members(n) : std::vector<IdMember>{{{"#" + num(n)}}}),
                    icl = lset(w, "IL", key, icv, icn), ick = lset(w, "IK", key, icc, icn);
  std::vector<Value> vv, cv;
  for (const auto& row : s.values)
    for (size_t q = 0; q < row.size(); ++q) vv.push_back(real(row[q], intermediate_unit_types()[q]));
  for (const auto& row : s.connections)
    for (int64_t c : row) cv.push_back(Value::integer(c));
  b.dset({"BLOCK", s.model, s.id, "ICSTRM"}, icl, vv);
  b.dset({"BLOCK", s.model, s.id, "ICS-CON"}, ick, cv);
}

Exchanger sample_exchanger(const std::string& id, uint64_t seed) {
  std::mt19937_64 g(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
  auto value = [&] { return between(1, 99999) / 100.0; };
  const std::vector<PropertyReal> kinds{{prop::kTemp, unit_type::kTemperature},
                                        {prop::kPres, unit_type::kPressure},
                                        {prop::kQcalc, unit_type::kEnthalpyFlow},
                                        {prop::kVfrac, 0},
                                        {prop::kMassFlowTotal, unit_type::kMassFlow}};
  auto some = [&](int lo) {
    std::vector<PropertyReal> v;
    for (int i = between(lo, 5); i > 0; --i) {
      PropertyReal r = kinds[static_cast<size_t>(5 - i)];
      r.value = value();
      v.push_back(r);
    }
    return v;
  };
  Exchanger x;
  x.id = id;
  x.shells = some(1);
  x.tubes = some(1);
  x.nozzles = some(1);
  x.equip = some(1);
  x.det1 = some(1);
  x.det2 = some(1);
  x.geometry = some(0);
  x.geometry_integer = between(1, 500);
  x.geometry_text = "TEMA" + num(between(1, 9));
  x.zone_props = some(1);
  const int nz = between(1, 12), np = between(1, 6);
  for (int z = 0; z < nz; ++z) {
    std::vector<double> row;
    for (size_t k = 0; k < x.zone_props.size(); ++k) row.push_back(value());
    x.zone_table.push_back(row);
  }
  x.profile_props = some(1);
  for (int z = 0; z < nz; ++z) {
    std::vector<std::vector<double>> zone;
    for (size_t k = 0; k < x.profile_props.size(); ++k) {
      std::vector<double> pts;
      for (int p = 0; p < np; ++p) pts.push_back(value());
      zone.push_back(pts);
    }
    x.profiles.push_back(zone);
  }
  x.point_props = some(1);
  for (size_t k = 0; k < x.point_props.size(); ++k) {
    x.qa.push_back(k % 2 ? "HOT" : "COLD");
    x.qb.push_back("S" + num(static_cast<int64_t>(k)));
  }
  for (int p = 0; p < np; ++p) {
    x.positions.push_back({value(), value()});
    std::vector<double> row;
    for (size_t k = 0; k < x.point_props.size(); ++k) row.push_back(value());
    x.point_values.push_back(row);
  }
  return x;
}

IntermediateStreams sample_intermediate_streams(const std::string& model, const std::string& id, uint64_t seed) {
  std::mt19937_64 g(seed);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
  IntermediateStreams s;
  s.model = model;
  s.id = id;
  s.listed = between(0, 1) == 1;
  for (int i = between(1, 4); i > 0; --i) {
    std::vector<double> v;
    for (int q = 0; q < 7; ++q) v.push_back(between(1, 99999) / 100.0);
    s.values.push_back(v);
    s.connections.push_back({between(1, 40), between(1, 40), between(1, 40), between(1, 40)});
  }
  return s;
}

}  // namespace flowsum::testing

namespace flowsum::testing {

RandomExchangers random_exchangers(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids) {
  std::mt19937_64 g(seed ^ 0x6578636867ULL);
  auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(g); };
  auto fresh_id = [&](const char* prefix) {
    std::string id;
    do id = prefix + std::to_string(below(100000));
    while (!used_ids.insert(id).second);
    return id;
  };
  RandomExchangers out;
  for (int i = below(3); i > 0; --i) {
    out.exchangers.push_back(sample_exchanger(fresh_id("EX"), g()));
    write_exchanger(w, out.exchangers.back());
  }
  static const std::vector<std::string> models{"TRAYCOL", "KINETCOL", "LINKEDCOL", "CRUDEUNIT"};
  for (int i = below(3); i > 0; --i) {
    out.columns.push_back(sample_intermediate_streams(models[static_cast<size_t>(below(4))], fresh_id("IC"), g()));
    write_intermediate_streams(w, out.columns.back());
  }
  return out;
}

}  // namespace flowsum::testing

#include "support/curve_records.hpp"

namespace flowsum::testing {

void example_heat_transfer(FlowsheetWriter& w, const std::string& model, const std::string& block, double t_in,
                           double t_out, double p_in, double p_out, double duty) {
  Curve c;
  c.section = "HCURVE";
  c.type = "HCURVE";
  c.number = 1;
  for (int i = 0; i < 5; ++i) {
    const double f = i / 4.0;
    c.status.push_back(0.0);
    c.temp.push_back(std::round((t_in + f * (t_out - t_in)) * 100.0) / 100.0);
    c.pres.push_back(std::round(p_in + f * (p_out - p_in)));
    c.vfrac.push_back(0.62 + 0.0225 * i);
    c.duty.push_back(std::round(f * duty));
  }
  c.further.push_back({prop::kMassFlowTotal, "MIXED", "LIQUID", "", "", unit_type::kMassFlow, 1,
                       {0.38, 0.3575, 0.335, 0.3125, 0.29}});
  CurveWriter(w).curve(model, block, c);

  Exchanger x;
  x.model = model;
  x.id = block;
  x.shells = {{prop::kNstage, 0, 1.0}};
  x.tubes = {{prop::kMw, 0, 120.0}};
  x.nozzles = {{prop::kPres, unit_type::kPressure, 2.0e4}};
  x.zone_props = {{prop::kTemp, unit_type::kTemperature}, {prop::kQcalc, unit_type::kEnthalpyFlow}};
  x.zone_table = {{310.0, std::round(duty * 0.4)}, {330.0, std::round(duty * 0.6)}};
  x.profile_props = {{prop::kTemp, unit_type::kTemperature}};
  x.profiles = {{{296.4, 303.0, 310.0}}, {{310.0, 320.0, 330.0}}};
  write_exchanger(w, x);
}

}  // namespace flowsum::testing
