// The C++ API's detail views against the random flowsheets' truth: each
// family's tables hold the values the generator wrote, in SI, under the
// table and column names the API documents, and ids the file lacks (or
// blocks of another model) are NotFoundError.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "flowsum/summary.hpp"
#include "support/column_checks.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {
namespace {

using Reals = std::vector<double>;

const Table& table(const Tables& ts, const std::string& name) {
  for (const NamedTable& t : ts)
    if (t.name == name) return t.table;
  ADD_FAILURE() << "no table " << name;
  static const Table none;
  return none;
}

// Every k-th value from the first: one component of a composition stored
// with components fastest, or one property of a grid stored point by point.
Reals every(const Reals& v, size_t first, size_t k) {
  Reals out;
  for (size_t i = first; i < v.size(); i += k) out.push_back(v[i]);
  return out;
}

// A listed profile: per-point properties in the table called title, each
// composition in "title NAME" with a column per component.
void check_profile(const Tables& ts, const std::string& title, const std::vector<Series>& properties) {
  for (const Series& p : properties) {
    if (!p.written) continue;
    SCOPED_TRACE(title + " " + p.name);
    if (p.kind == 1) {
      const Column& c = table(ts, title).column(p.name);
      EXPECT_EQ(c.unit, units_of(p.unit_type)[1]);
      expect_si(c.values, p.si);
      continue;
    }
    const Table& t = table(ts, title + " " + p.name);
    for (size_t k = 0; k < p.components.size(); ++k)
      expect_si(t.column(p.components[k]).values, every(p.si, k, p.components.size()));
  }
}

// A grid of results: the axis column, then one column per property.
void check_grid(const Tables& ts, const std::string& name, const ResultGrid& g) {
  if (g.empty()) return;
  SCOPED_TRACE(name);
  const Table& t = table(ts, name);
  ASSERT_EQ(t.columns.size(), g.properties.size() + 1);
  for (size_t k = 0; k < g.properties.size(); ++k) {
    Reals want;
    for (const Reals& point : g.values) want.push_back(point[k]);
    expect_si(t.columns[k + 1].values, want);
  }
}

using Check = std::function<void(const Summary&, const RandomFlowsheet&)>;
struct Family {
  const char* name;
  Check check;
};

const Family kFamilies[] = {
    {"columns",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const RandomColumnBlock& b : f.columns) {
         const Tables ts = s.column_profiles(b.id);
         for (size_t c = 0; c < b.columns.size(); ++c)
           check_profile(ts, "column " + std::to_string(c + 1), b.columns[c].properties);
       }
     }},
    {"heating curves",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const CurveBlock& b : f.curve_blocks) {
         const Tables ts = s.heating_curves(b.id);
         ASSERT_EQ(ts.size(), b.curves.size()) << b.id;
         for (size_t i = 0; i < ts.size(); ++i) {
           const Curve& c = b.curves[i];
           const Table& t = ts[i].table;
           EXPECT_EQ(ts[i].name.rfind(c.type + " " + std::to_string(c.number), 0), 0u) << ts[i].name;
           for (const auto& [name, want] : {std::pair{"status", &c.status}, {"temp", &c.temp},
                                            {"pres", &c.pres}, {"vfrac", &c.vfrac}, {"duty", &c.duty}})
             expect_si(t.column(name).values, *want);
           ASSERT_EQ(t.columns.size(), 6 + c.further.size());
           for (size_t k = 0; k < c.further.size(); ++k) expect_si(t.columns[6 + k].values, c.further[k].values);
         }
       }
     }},
    {"exchangers",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const Exchanger& x : f.exchangers.exchangers) {
         const Tables ts = s.exchanger(x.id);
         Reals nozzles;
         for (const PropertyReal& p : x.nozzles) nozzles.push_back(p.value);
         if (!nozzles.empty()) expect_si(table(ts, "nozzles").column("value").values, nozzles);
         for (size_t z = 0; z < x.zone_table.size(); ++z) {
           for (size_t k = 0; k < x.zone_props.size(); ++k)
             EXPECT_NEAR(table(ts, "zones").columns[k + 1].values[z], x.zone_table[z][k],
                         1e-9 * std::abs(x.zone_table[z][k]));
           if (z < x.profiles.size())
             for (size_t k = 0; k < x.profiles[z].size(); ++k)
               expect_si(table(ts, "zone " + std::to_string(z + 1) + " profile").columns[k + 1].values,
                         x.profiles[z][k]);
         }
       }
       for (const IntermediateStreams& c : f.exchangers.columns) {
         const Tables ts = s.exchanger(c.id);
         const Table& t = table(ts, "intermediate streams");
         for (size_t i = 0; i < c.values.size(); ++i)
           for (size_t k = 0; k < 7; ++k) {
             const double got = t.column("value " + std::to_string(k + 1)).values[i];
             if (c.model == "KINETCOL" && k >= 5) EXPECT_TRUE(std::isnan(got));  // reported missing
             else EXPECT_NEAR(got, c.values[i][k], 1e-9 * std::abs(c.values[i][k]));
           }
       }
     }},
    {"compressors",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const CompressorRecord& c : f.compressors) {
         if (c.model != "BOOSTR" && c.model != "STAGEBST") {
           EXPECT_THROW(s.compressor(c.id), NotFoundError);
           continue;
         }
         const Tables ts = s.compressor(c.id);
         check_grid(ts, "performance", c.performance);
         check_grid(ts, "stage profile", c.stages);
         check_grid(ts, "cooler profile", c.coolers);
         for (const auto& [stage, wheels] : c.wheels)
           check_grid(ts, "stage " + std::to_string(stage) + " wheels", wheels);
       }
     }},
    {"reactors",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const RandomReactor& r : f.reactors) {
         const Tables ts = s.reactor_profiles(r.id);
         for (size_t k = 0; k < r.profiles.size(); ++k)
           check_profile(ts, "profile " + std::to_string(k + 1) + " (" + r.profiles[k].substream + ")",
                         r.profiles[k].properties);
         check_profile(ts, "accumulator", r.accumulator.properties);
         check_profile(ts, "vent", r.vent.properties);
       }
     }},
    {"relief",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const RandomRelief& r : f.relief_results) {
         const Tables ts = s.relief(r.id);
         for (const auto& [truth, name] : {std::pair{&r.dynamic, "dynamic scenario"},
                                           {&r.steady, "steady-state scenario"}}) {
           if (truth->empty()) continue;
           const Table& t = table(ts, name);
           ASSERT_EQ(t.rows(), truth->size()) << name;
           for (size_t k = 0; k < truth->size(); ++k) {
             const Series& x = (*truth)[k];
             EXPECT_EQ(t.column("property").texts[k], x.name);
             if (x.kind >= 3) EXPECT_EQ(t.column("text").texts[k], x.text);
             if (x.kind == 2) expect_si({t.column("value").values[k]}, x.si);
           }
         }
         // The vent's points are counted by its pressure sets.
         for (const Series& v : r.vent.empty() || r.vent[0].name != "B_PRES" ? std::vector<Series>{} : r.vent) {
           const size_t sets = v.si.size() / static_cast<size_t>(r.points);
           for (size_t set = 0; v.kind == 1 && set < sets; ++set)
             expect_si(table(ts, "vent").column(v.name + (sets > 1 ? " " + std::to_string(set + 1) : "")).values,
                       Reals(v.si.begin() + set * r.points, v.si.begin() + (set + 1) * r.points));
         }
       }
     }},
    {"pipelines",
     [](const Summary& s, const RandomFlowsheet& f) {
       for (const PipelineRecord& p : f.pipelines) {
         if (p.model != "DUCTLINE") {
           EXPECT_THROW(s.pipeline(p.id), NotFoundError);
           continue;
         }
         const Tables ts = s.pipeline(p.id);
         // Columns after the first, in the order the section lists them.
         auto check = [&](const char* name, const std::vector<PipeSeries>& series, size_t first) {
           if (series.empty()) return;
           const Table& t = table(ts, name);
           ASSERT_EQ(t.columns.size(), series.size() + first) << name;
           for (size_t k = 0; k < series.size(); ++k) {
             const Column& c = t.columns[k + first];
             if (series[k].type <= 2) expect_si(c.values, series[k].reals);
             else EXPECT_EQ(c.texts, series[k].texts) << name;
           }
         };
         check("segments", p.segments, 1);
         check("segment descriptions", p.descriptions, 1);
         check("profile", p.profile, p.length.size() > 0 ? 1 : 0);
         check("plug-flow profile", p.tube, 1);
         if (p.length.size() > 0) expect_si(table(ts, "profile").column("LENGTH").values, p.length.reals);
       }
     }},
};

TEST(ApiFamilies, TablesMatchRandomFlowsheets) {
  for (uint64_t seed = 1; seed <= 8; ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    const TempSummaryFile file(f.text);
    Summary s = Summary::open(file.string(), {.units = "SI", .ref_dir = std::string(FLOWSUM_SOURCE_DIR) + "/data"});
    for (const Family& family : kFamilies) {
      SCOPED_TRACE(std::string(family.name) + ", seed " + std::to_string(seed));
      family.check(s, f);
    }
    for (Tables (Summary::*view)(const std::string&) const :
         {&Summary::column_profiles, &Summary::heating_curves, &Summary::exchanger, &Summary::compressor,
          &Summary::reactor_profiles, &Summary::relief, &Summary::pipeline})
      EXPECT_THROW((s.*view)("NO-SUCH-ID"), NotFoundError);
  }
}

}  // namespace
}  // namespace flowsum::testing
