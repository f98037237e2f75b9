// The C++ API's tables against the random flowsheets' truth: the stream,
// heating-curve, exchanger, compressor and pipeline tables hold the values
// the generator wrote, in SI, under the table and column names the API
// documents, and ids the file lacks (or blocks of another model) are
// NotFoundError. The column, reactor and relief views are shown for the
// example by the tool's stored CSV and JSON.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
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

TEST(ApiFamilies, TablesMatchRandomFlowsheets) {
  for (uint64_t seed = 1; seed <= 8; ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    const TempSummaryFile file(f.text);
    Summary s = Summary::open(file.string(), {.units = "SI", .ref_dir = std::string(FLOWSUM_SOURCE_DIR) + "/data"});
    SCOPED_TRACE("seed " + std::to_string(seed));
    // The stream table: every main-table row without a component under its
    // key, the first row of a key being the one shown, NaN where missing.
    const Table st = s.stream_table();
    std::map<std::string, size_t> row;
    for (size_t r = st.rows(); r-- > 0;)
      row[st.columns[0].texts[r] + "|" + st.columns[1].texts[r] + "|" + st.columns[2].texts[r]] = r;
    for (const RandomStreamResults& sr : f.stream_results) {
      const Column& col = st.column(sr.stream.id);
      std::set<std::string> seen;
      for (const RandomStreamRow& r : sr.rows) {
        const std::string key =
            r.name + "|" + (sr.without_substream || r.substream.empty() ? "MIXED" : r.substream) + "|";
        if (!r.component.empty() || r.name.empty() || r.name == "HMX" || r.name == "SMX" || r.name == "CPMX" ||
            r.name == "RHOMX" || !seen.insert(key).second)
          continue;
        ASSERT_TRUE(row.count(key)) << key;
        const double got = col.values[row[key]];
        if (r.missing) EXPECT_TRUE(std::isnan(got)) << key;
        else if (r.unit_type == 0) EXPECT_EQ(got, r.real) << key;
        else EXPECT_NEAR(got, r.si, 1e-12 * std::max(1.0, std::fabs(r.si))) << key;
      }
    }
    // Heating curves.
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
    // Exchangers.
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
    // Compressors.
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
    // Pipelines.
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
    for (Tables (Summary::*view)(const std::string&) const :
         {&Summary::column_profiles, &Summary::heating_curves, &Summary::exchanger, &Summary::compressor,
          &Summary::reactor_profiles, &Summary::relief, &Summary::pipeline})
      EXPECT_THROW((s.*view)("NO-SUCH-ID"), NotFoundError);
  }
}

}  // namespace
}  // namespace flowsum::testing
