// Heat-exchanger detail: the result sections a rigorous exchanger leaves
// under its block (geometry, shells, tubes, nozzles, equipment
// data, detailed results, the zone table and the zone profiles) and
// the intermediate-stream results of column blocks.
//
// Thin members (TKHXBA, TKHXES, TKHXSH, TKHXTU, TKHXD1, TKHXD2, TKHXNO,
// TKHXZO, TKNHXD, TKNHXE, TKNHXT, TKHXPF) check the block and hand the
// section's path to a generic value reader; the others read their section
// themselves. Zone n's profile lies in the sibling data sets of section
// "TWS_Z_" followed by n in decimal, one property each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum {

// The section keyword of zone n's profile: "TWS_Z_3", "TWS_Z_12".
std::string zone_section(int64_t zone);

// Sizes of an exchanger's zone data (TKNHXS).
struct ZoneSizes {
  int64_t ierr = 1;
  int64_t nzones = 0, nzone_props = 0, npoints = 0, nprofile_props = 0;
};
ZoneSizes zone_sizes(std::string_view block);

// Number of intermediate streams of a column block (TKNICS).
int64_t intermediate_stream_count(std::string_view block);

}  // namespace flowsum
