// Arbitrary bytes as a summary file, loaded with the bundled reference files.
// The load must end in one of its documented error codes and leave the
// free-word pointer inside the work area.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.hpp"

namespace fz = flowsum::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fz::InputFile input(".sum");
  static const std::string property_file = fz::bundled_reference("RCPROPNU.DAT");
  static const std::string unit_file = fz::bundled_reference("RCUNITS.DAT");
  input.write(data, size);
  int64_t ierr = fz::load_summary(input.path(), property_file, unit_file);
  if (ierr == -100) fz::fail("the summary file could not be opened");
  if (ierr < 0 || ierr > 4) fz::fail("load error code outside 0..4");
  if (ierr == 0 && (tklocs_[24] < 1 || tklocs_[24] > TK_WORK_WORDS + 1))
    fz::fail("free-word pointer outside the work area after a load");
  fz::unload_summary();
  return 0;
}
