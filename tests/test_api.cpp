// The C++ API's errors and object lifetime (its tables and the errors of its
// views are checked against the random flowsheets and the tool's transcript).
#include <gtest/gtest.h>

#include <string>

#include "flowsum/summary.hpp"
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
  EXPECT_THROW(s.connections("NOPE"), NotFoundError);
  EXPECT_THROW(s.substreams("NOPE"), NotFoundError);
  EXPECT_THROW(s.stream_table({}, "MOLE-FLO"), UsageError);  // not read as mass flows
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

}  // namespace
}  // namespace flowsum::testing
