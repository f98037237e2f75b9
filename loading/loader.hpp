// The summary-file loader (TKINIT, TKINI2) and what it remembers about the
// file it loaded, for the library's own later load steps and for the tool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flowsum {

// What the last load saw; filled as the load runs.
struct LoadSummary {
  int64_t ierr = -1;          // result of the last load (-1: none yet)
  std::string header;         // the header line as found (trailing blanks cut)
  int64_t header_line = 0;    // its line number
  int64_t lines = 0;          // lines read from the summary file
  int64_t psets = 0, idsets = 0, lsets = 0, dsets = 0;  // records opened
  int64_t summary_unit = 0;   // ISUM of the last load
  int64_t unit_set = 2;       // 0 OUT, 1 SI, 2 ENG, 3 MET
  int64_t ncc_line = 0;       // line of the IDSET "ID_NCC" (0: none)
  int64_t nnc_line = 0;       // line of the IDSET "ID_NNC" (0: none)
  uint64_t serial = 0;        // counts loads: tables cached by a reader
                              // are rebuilt when it changes
};

const LoadSummary& last_load();

// True when a summary-file line opens a record (" PSET ", " IDSET ",
// " LSET ", " DSET " in its first columns): no data set's values run past it.
bool opens_record(std::string_view line);

// The distinct top-level keywords of the loaded data-set tree, in tree order
// (the loader's dummy first node left out).
std::vector<std::string> top_level_keywords();

// The loader proper; msgunit is written to TKGLOB word 12 first.
int64_t load_summary_file(std::string_view unitset, int64_t iscr, int64_t isum,
                          int64_t iprp, std::string_view prpfile, int64_t iunt,
                          std::string_view untfile, double rmiss,
                          int64_t msgunit);

}  // namespace flowsum
