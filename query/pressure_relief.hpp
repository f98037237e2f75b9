// Pressure relief: the scenario results of a relief object (steady-state
// "PRSSSC", dynamic "PRDYSC") with their code-compliance verdict and
// scenario descriptors, and its profiles: the vessel ("PRVL"), the
// steady-state calculation ("PRSS"), a second vessel-side family ("PRAC")
// and the vent ("PRVT"). Data sets lie under "PRES-RELIEF" id section; the
// object is found in the relief identifier table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum {

// The text a scenario descriptor code stands for, and the kind it is
// reported with (4 message, 3 text value); empty for property numbers that
// carry no descriptor (872 the verdict, 873 basis, 874 device, 875 scenario).
struct ScenarioText {
  std::string_view text;
  int64_t kind = 0;
};
ScenarioText scenario_text(int64_t property, int64_t code);

}  // namespace flowsum
