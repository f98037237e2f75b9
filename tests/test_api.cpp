// The C++ API: its errors, its object lifetime, and the tables it builds
// from property tables and sensitivity studies.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flowsum/summary.hpp"
#include "support/block_table_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {
namespace {

const std::string kExample = std::string(FLOWSUM_SOURCE_DIR) + "/examples/flowsheet.sum";
const std::string kData = std::string(FLOWSUM_SOURCE_DIR) + "/data";

Summary open_example(const std::string& units = "SI") {
  return Summary::open(kExample, {.units = units, .ref_dir = kData});
}

TEST(Api, ErrorsAreTypedAndTheFileStaysUsable) {
  try {
    Summary::open("/nonexistent/run.sum");
    FAIL() << "a missing file opened";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.status(), 1);
  }
  try {
    Summary::open(kExample, {.ref_dir = "/nonexistent"});
    FAIL() << "loaded without its reference files";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.status(), 2);  // the property-number file
    ASSERT_FALSE(e.messages().empty());
    EXPECT_NE(std::string(e.what()).find(e.messages().back().substr(1)), std::string::npos);
  }
  const TempSummaryFile garbage("not a summary file\n");
  EXPECT_THROW(Summary::open(garbage.string(), {.ref_dir = kData}), LoadError);
  EXPECT_THROW(Summary::open(kExample, {.units = "FURLONG"}), UsageError);

  Summary s = open_example();
  const auto nblocks = s.run_info().blocks;
  ASSERT_GT(nblocks, 0);
  EXPECT_THROW(Summary::open(kExample), UsageError);  // one loaded file per process
  EXPECT_THROW(s.block_results("NOPE"), NotFoundError);
  EXPECT_THROW(s.connections("NOPE"), NotFoundError);
  EXPECT_THROW(s.substreams("NOPE"), NotFoundError);
  EXPECT_THROW(s.stream_table({"S1", "NOPE"}), NotFoundError);
  EXPECT_THROW(s.stream_table({}, "MOLE-FLO"), UsageError);  // not read as mass flows
  EXPECT_THROW(s.property_table("NOPE"), NotFoundError);
  EXPECT_THROW(s.stream_table().column("NOPE"), NotFoundError);
  EXPECT_EQ(s.run_info().blocks, nblocks);  // still loaded after the errors

  Summary moved = std::move(s);
  EXPECT_FALSE(s.is_open());
  EXPECT_THROW(s.blocks(), UsageError);
  EXPECT_EQ(static_cast<int64_t>(moved.blocks().size()), nblocks);
  moved.close();
  EXPECT_THROW(moved.streams(), UsageError);
  EXPECT_EQ(open_example().streams().size(), 8u);  // closing frees the library
}

// Property tables and studies turn point-by-point answers into one column
// per property column, named by its descriptors; a point without a status
// is NaN, not the caller's fill.
TEST(Api, PropertyAndSensitivityTablesAreColumns) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  BlockTableWriter tables(w);
  tables.property_table(
      "FLASHCURVE", "FC1",
      {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {300, 310, 320}},
       {prop::kVfrac, "MIXED", "VAPOR", "H2O", "MOLE", 0, 1, {0.1, 0.2, 0.3}}});
  tables.sensitivity({"S-1", 3, 2, {{"FEED", "TEMP"}, {"B1", "QCALC"}}, {{11, 12}, {21, 22}, {31, 32}}, {{1, 0}, {3, 4}}});
  const TempSummaryFile file(b.text());
  Summary s = Summary::open(file.string(), {.units = "SI", .ref_dir = kData});
  const Table p = s.property_table("FC1");
  ASSERT_EQ(p.columns.size(), 2u);
  EXPECT_EQ(p.columns[0].name + "|" + p.columns[1].name, "TEMP MIXED|VFRAC MIXED VAPOR H2O MOLE");
  EXPECT_EQ(p.columns[1].values, (std::vector<double>{0.1, 0.2, 0.3}));
  EXPECT_EQ(p.columns[1].unit, "");
  EXPECT_FALSE(p.columns[0].unit.empty());
  const Table t = s.sensitivity("S-1");
  ASSERT_EQ(t.columns.size(), 3u);
  EXPECT_EQ(t.columns[0].name + "|" + t.columns[1].name, "FEED TEMP|B1 QCALC");
  EXPECT_EQ(t.columns[1].values, (std::vector<double>{12, 22, 32}));
  const std::vector<double>& status = t.column("status").values;
  ASSERT_EQ(status.size(), 3u);
  EXPECT_EQ(status[0] + status[2], 4);
  EXPECT_TRUE(std::isnan(status[1]));
  EXPECT_THROW(s.sensitivity("S-9"), NotFoundError);
}

}  // namespace
}  // namespace flowsum::testing
