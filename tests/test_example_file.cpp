// The bundled example examples/flowsheet.sum is the generator's output, so
// what the README and the example callers say about it stays true.
// FLOWSUM_UPDATE_EXAMPLE=1 rewrites the file from the generator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "flowsum.h"
#include "support/example_flowsheet.hpp"
#include "support/reference_files.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

using namespace flowsum::testing;

namespace {

const std::string kExamplePath = std::string(FLOWSUM_SOURCE_DIR) + "/examples/flowsheet.sum";

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(ExampleFile, CheckedInFileIsTheGeneratorsOutput) {
  std::string generated = example_flowsheet().text();
  const char* update = std::getenv("FLOWSUM_UPDATE_EXAMPLE");
  if (update && std::string(update) == "1") {
    std::ofstream(kExamplePath, std::ios::binary) << generated;
  }
  std::string checked_in = read_file(kExamplePath);
  ASSERT_FALSE(checked_in.empty()) << kExamplePath << " is missing; run the tests with FLOWSUM_UPDATE_EXAMPLE=1";
  EXPECT_EQ(checked_in, generated) << "examples/flowsheet.sum differs from the generator; "
                                      "run the tests with FLOWSUM_UPDATE_EXAMPLE=1 and review the diff";
}

TEST(ExampleFile, LoadsAndIndexesItsSets) {
  LoadedSummary load(kExamplePath);
  ASSERT_EQ(load.open_status(), 0);
  ASSERT_EQ(load.ierr(), 0);

  // Named property numbers: the PSET's and those of the property file; one
  // directory entry per identifier set and loading sequence. (The round
  // trip finds generated data sets again under their paths.)
  std::istringstream in(read_file(kExamplePath));
  int64_t idsets = 0, lsets = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(" IDSET ", 0) == 0) ++idsets;
    if (line.rfind(" LSET ", 0) == 0) ++lsets;
  }
  EXPECT_EQ(tklocs_[1], 22 + bundled_property_count());
  EXPECT_EQ(tklocs_[3], idsets);
  EXPECT_EQ(tklocs_[5], lsets);
  EXPECT_GT(lsets, 10);
}
