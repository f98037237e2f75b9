// Heating curves: the tables of points that heat-exchanging blocks report
// along their duty (TKNHCV, TKLHCV, TKSHCV, TKHCRV, TKHPRP, TKNHPR, TKHCID)
// and the refinery set for crude-unit blocks (TKNHCR, TKLHCR, TKSHCR,
// TKHCUR, TKHCPR, TKNHCP), which passes every other block to the general
// routines.
//
// A curve is a data set "BLOCK", model, block id, curve section. Its
// loading sequence names an identifier set whose qualifier is "HCURV_NO"
// and whose one member is the curve number written as text (for the
// refinery stripper and pumparound sections: the location id, a blank and
// the number). Its values are rows of a table with the qualifier columns
// "NPOINT" (the point number) and "PROPERTIES", and "SUBSTREAM", "PHASE",
// "COMPONENTS", "BASIS" for further properties; the rows of a point are
// consecutive, its first five being the standard values 131, 7001, 7002,
// 7003 and 62.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/dataset_tree.hpp"

namespace flowsum {

// One curve of a block as the listing routines report it.
struct CurveEntry {
  std::string type;      // curve type, trailing blanks cut
  std::string location;  // refinery location ("MAIN" or an id); "" for general curves
  int64_t number = 0;
  std::string section;   // the data set's section keyword
  DataRecord record;     // the data set's line and loading sequence
};

// The curves of a block in listing order: sections in table order, data
// sets of a section in the tree's order. refinery selects the crude-unit
// sections (for crude-unit blocks only; others get the general list).
// status receives the last failing compile status of a curve's loading
// sequence (0 when all compiled). Empty for an unknown block or a model
// without curves.
std::vector<CurveEntry> block_curves(std::string_view block, bool refinery, int64_t& status);

// Size of one curve: points and further properties (0 and 0 when absent).
struct CurveShape {
  bool found = false;
  int64_t npoints = 0;
  int64_t nfurther = 0;
};
CurveShape curve_shape(std::string_view block, std::string_view location, std::string_view type,
                       int64_t number, bool refinery);

}  // namespace flowsum
