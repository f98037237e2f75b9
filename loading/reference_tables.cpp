// Reference tables read at load time. Placeholder steps until the reference
// files are read: nothing is read and nothing is built.
#include "loading/load_steps.hpp"

namespace flowsum {

StepEnd read_property_file(LoadContext&, int64_t, std::string_view) { return StepEnd::kGoOn; }
StepEnd read_unit_table(LoadContext&, int64_t, std::string_view) { return StepEnd::kGoOn; }
StepEnd build_component_table(LoadContext&) { return StepEnd::kGoOn; }
void adjust_for_version() {}
double ambient_pressure() { return 101325.0; }

}  // namespace flowsum
