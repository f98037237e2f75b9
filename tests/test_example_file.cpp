// The bundled example examples/flowsheet.sum is the generator's output, so
// what the README and the example callers say about it stays true.
// FLOWSUM_UPDATE_EXAMPLE=1 rewrites the file from the generator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

TEST(ExampleFile, LoadsAndIndexesEveryRecord) {
  LoadedSummary load(kExamplePath);
  ASSERT_EQ(load.open_status(), 0);
  ASSERT_EQ(load.ierr(), 0);

  std::istringstream in(read_file(kExamplePath));
  int64_t n = 0, idsets = 0, lsets = 0, dsets = 0;
  for (std::string line; std::getline(in, line);) {
    ++n;
    if (line.rfind(" IDSET ", 0) == 0) ++idsets;
    if (line.rfind(" LSET ", 0) == 0) ++lsets;
    if (line.rfind(" DSET ", 0) != 0) continue;
    ++dsets;
    // Every data set is found again under its path, at its own line, with
    // its qualifier (the example has no two data sets of one path).
    std::vector<std::string> toks = split_definition(line);
    std::vector<std::string> path;
    size_t i = 1;
    for (; i < toks.size() && toks[i][0] != '@'; ++i) path.push_back(toks[i]);
    ASSERT_LT(i, toks.size()) << line;
    TreeEntry e = tree_lookup(path);
    EXPECT_EQ(e.ierr, 0) << line;
    EXPECT_EQ(e.line, n) << line;
    EXPECT_EQ(e.qualifier, toks[i].substr(1)) << line;
  }
  EXPECT_GT(dsets, 30);  // the loop above did see the data sets
  // Named property numbers: the PSET's and those of the property file.
  EXPECT_EQ(tklocs_[1], 22 + bundled_property_count());
  EXPECT_EQ(tklocs_[3], idsets);  // identifier-set directory
  EXPECT_EQ(tklocs_[5], lsets);   // loading-sequence directory
}
