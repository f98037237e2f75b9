// The hand-over of refinery-column blocks (model "CRUDEUNI"): the column
// profile, tray report and sizing routines pass such a block, with the
// caller's arguments unchanged, to the refinery twin named in this table.
// The refinery family fills the table in (query/refinery_twins.cpp); while
// an entry is empty the general routine answers as for a block it does not
// serve (its not-found outputs).
#pragma once

#include <cstddef>
#include <cstdint>

namespace flowsum {

struct RefineryTwins {
  // Profiles: TKPETF, TKPETP, TKPET1, TKPET2.
  void (*profile_sizes)(const char*, int64_t*, int64_t*, int64_t*, int64_t*, size_t) = nullptr;
  void (*profile_names)(const char*, int64_t*, int64_t*, int64_t*, char*, int64_t*, size_t,
                        size_t) = nullptr;
  void (*tray_profile)(const char*, const char*, int64_t*, int64_t*, double*, char*, char*,
                       int64_t*, size_t, size_t, size_t, size_t) = nullptr;
  void (*component_profile)(const char*, const char*, int64_t*, int64_t*, char*, int64_t*, double*,
                            char*, char*, int64_t*, size_t, size_t, size_t, size_t,
                            size_t) = nullptr;
  // Tray reports: TKPTRE, TKPTPY, TKPTNP.
  void (*report_sizes)(const char*, int64_t*, int64_t*, int64_t*, size_t) = nullptr;
  void (*report_property)(const char*, int64_t*, int64_t*, int64_t*, const char*, const char*,
                          const char*, const char*, const char*, const char*, double*, char*, char*,
                          int64_t*, size_t, size_t, size_t, size_t, size_t, size_t, size_t, size_t,
                          size_t) = nullptr;
  void (*report_by_position)(const char*, int64_t*, int64_t*, int64_t*, int64_t*, char*, char*,
                             char*, char*, char*, char*, double*, char*, char*, int64_t*, size_t,
                             size_t, size_t, size_t, size_t, size_t, size_t, size_t,
                             size_t) = nullptr;
  // Sizing and rating: TKPTNS, TKPTLS, TKPTSS, TKPTPS, TKPTSC, TKPTSR. They
  // take the general routine's arguments and, last, the width of the
  // section-type texts (12).
  void (*section_count)(const char*, int64_t*, int64_t*, int64_t*, size_t, size_t) = nullptr;
  void (*section_list)(const char*, int64_t*, int64_t*, int64_t*, char*, int64_t*, size_t, size_t,
                       size_t) = nullptr;
  void (*section_sizes)(const char*, int64_t*, const char*, int64_t*, int64_t*, int64_t*, int64_t*,
                        int64_t*, size_t, size_t, size_t) = nullptr;
  void (*section_profile_names)(const char*, int64_t*, const char*, int64_t*, int64_t*, char*, char*,
                                int64_t*, size_t, size_t, size_t, size_t, size_t) = nullptr;
  void (*section_results)(const char*, int64_t*, const char*, int64_t*, int64_t*, char*, int64_t*, int64_t*,
                          char*, double*, char*, char*, int64_t*, size_t, size_t, size_t, size_t, size_t,
                          size_t, size_t) = nullptr;
  void (*section_profile)(const char*, int64_t*, const char*, int64_t*, int64_t*, int64_t*, const char*,
                          const char*, double*, char*, char*, int64_t*, size_t, size_t, size_t, size_t,
                          size_t, size_t, size_t) = nullptr;
};

// The table the general column routines consult.
const RefineryTwins& refinery_twins();

}  // namespace flowsum
