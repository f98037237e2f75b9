// Arbitrary bytes as one of the two reference files, the other one bundled,
// with a small valid summary file. The first byte chooses which file the
// bytes replace and the unit set of the load.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.hpp"

namespace fz = flowsum::fuzz;

namespace {

// A summary file that names a few properties and has one data set with a
// unit, so that the unit conversion runs over the loaded tables.
constexpr const char* kSummary =
    " IWPSUMMARY8.0\n"
    " PSET PROPS 2 22 TEMP 23 PRES )\n"
    " IDSET PROPS (PROPERTIES) (22 *2 <22> 23 *2 <20>)\n"
    " LSET PROPS (%PROPS)\n"
    " DSET BLOCK HEATER H1 RESULTS @PROPS (300.0 1 101325.0 1 )\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fz::InputFile summary(".sum"), reference(".DAT");
  static bool summary_written = false;
  static const std::string property_file = fz::bundled_reference("RCPROPNU.DAT");
  static const std::string unit_file = fz::bundled_reference("RCUNITS.DAT");
  static fz::GuardedArena label_arena(4096);
  if (!summary_written) {
    summary.write(kSummary);
    summary_written = true;
  }
  if (size == 0) return 0;
  const bool as_units = (data[0] & 1) != 0;
  static const char* kSets[] = {"SI", "ENG", "MET", "OUT"};
  const char* unitset = kSets[(data[0] >> 1) & 3];
  reference.write(data + 1, size - 1);

  int64_t ierr = as_units ? fz::load_summary(summary.path(), property_file, reference.path(), unitset)
                          : fz::load_summary(summary.path(), reference.path(), unit_file, unitset);
  if (ierr == -100) fz::fail("the summary file could not be opened");
  if (ierr < 0 || ierr > 4) fz::fail("load error code outside 0..4");
  if (ierr == 0) {
    // Every unit of every type through the conversion, into guarded labels.
    const int64_t ntypes = tkglob_[7];
    for (int64_t type = 0; type <= ntypes + 1 && type <= 200; ++type) {
      for (int64_t unit = -1; unit <= 4; ++unit) {
        double value = 1.5, result = 0;
        char* label = label_arena.tail(16);
        int64_t t = type, u = unit;
        tkucnv_(&t, &u, &value, &result, label, 16);
      }
    }
  }
  fz::unload_summary();
  return 0;
}
