// Block results: a block's general result table (TKNRES, TKBRES), the
// flowsheet balance (TKFLWB), and the property reports of the plug-flow and
// batch reactor models (TKLRRP, TKSRRP, TKNRRP, TKNRPR, TKRRRP).
//
// A block's data sets are "BLOCK", model, block identifier, section; the
// model comes from the block table. A reactor report is a run of sibling
// data sets of one section keyword, one per property (a profile), each
// described by its qualifiers "PROPERTIES", "SUBSTREAM", "PHASE",
// "COMPONENTS", "BASIS" and "UNITS".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum {

// Report types and their section keywords. `alternate` selects the keywords
// TKNRPR uses ("BTRX_PRF1" ...) instead of the common ones ("BRX_PRF1" ...).
struct ReactorReport {
  std::string_view type;     // "PROP-REPORT", "PROP-REACTOR", "PROP-ACCUM", "PROP-VENT"
  std::string_view section;  // section keyword of its profiles
  std::string_view model;    // "TUBERX" or "BATCHRX"
};
// The report named by a 12-character type; nullptr for any other text.
const ReactorReport* reactor_report(std::string_view type, bool alternate = false);

// Shape of a block's general result table: number of results, number of
// descriptive qualifiers, and the tree's status (0 found; 1 for an unknown
// block).
struct ResultShape {
  int64_t nresults = 0;
  int64_t ndescriptors = 0;
  int64_t status = 1;
};
ResultShape result_shape(std::string_view block);

// Number of points and profiles of one report; flag as TKSRRP.
struct ReportShape {
  int64_t npoints = 0;
  int64_t nprofiles = 0;
  int64_t ierr = 0;
};
ReportShape report_shape(std::string_view block, std::string_view report_type);

}  // namespace flowsum
