// The bundled example examples/flowsheet.sum is the generator's output, so
// what the README and the example callers say about it stays true.
// FLOWSUM_UPDATE_EXAMPLE=1 rewrites the file from the generator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/example_flowsheet.hpp"
#include "support/summary_loader.hpp"

using namespace flowsum::testing;

TEST(ExampleFile, CheckedInFileIsTheGeneratorsOutput) {
  const std::string path = std::string(FLOWSUM_SOURCE_DIR) + "/examples/flowsheet.sum";
  const std::string generated = example_flowsheet().text();
  if (const char* update = std::getenv("FLOWSUM_UPDATE_EXAMPLE"); update && std::string(update) == "1")
    std::ofstream(path, std::ios::binary) << generated;
  std::stringstream checked_in;
  checked_in << std::ifstream(path, std::ios::binary).rdbuf();
  ASSERT_EQ(checked_in.str(), generated) << "examples/flowsheet.sum differs from the generator; run the tests "
                                            "with FLOWSUM_UPDATE_EXAMPLE=1 and review the diff";
  LoadedSummary load(path);
  EXPECT_EQ(std::pair(load.open_status(), load.ierr()), std::pair(int64_t{0}, int64_t{0}));
}
