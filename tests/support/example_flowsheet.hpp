// The bundled example summary file examples/flowsheet.sum, as the builder
// writes it: two feeds mixed, heated, flashed, and the flash liquid
// stabilised in a small column. A test checks that the checked-in file is
// exactly this text (and rewrites it when FLOWSUM_UPDATE_EXAMPLE=1).
#pragma once

#include <string>
#include <vector>

#include "support/summary_builder.hpp"

namespace flowsum::testing {

// Facts of the example that tests check against what the library returns.
struct ExampleFacts {
  std::vector<std::string> components;     // ID_NCC, in file order
  std::vector<double> molecular_weights;   // MW MW, per component
  std::vector<std::string> blocks;         // identifiers, file order
  std::vector<std::string> block_models;   // model keyword of each block
  std::vector<std::string> streams;        // identifiers, file order
  std::string title;
  std::string version;
  std::string run_id;
};

SummaryBuilder example_flowsheet();
const ExampleFacts& example_facts();

}  // namespace flowsum::testing
