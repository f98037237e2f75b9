// Every input kept in tests/regressions/ loads without harm, and the query
// routines called on what it loaded stay inside their callers' fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {
namespace {

namespace fs = std::filesystem;
constexpr double kSentinel = -7.5;

// An array of n entries and a sentinel after them, which must survive.
std::vector<double> reals_of(int64_t n) { return std::vector<double>(static_cast<size_t>(n) + 1, kSentinel); }
Field fields_of(size_t width, int64_t n) { return Field(width, static_cast<size_t>(n) + 1); }
bool intact(const std::vector<double>& v) { return v.back() == kSentinel; }
bool intact(const Field& f, int64_t n) { return f[static_cast<size_t>(n)] == std::string(f.width(), '#'); }

// Routines that fill arrays sized by a count another routine gives: every
// array gets exactly that count.
void check_counted_arrays() {
  for (int64_t k = 1; k <= tkglob_[4]; ++k) {
    Field id(8), type(8), src(8), dst(8);
    int64_t ierr = -1, nsub = 0, nrows = 0, dum = 0;
    call(tknstr_, int64_t{k}, id, type, ierr);
    call(tksinf_, id, src, dst, nsub, nrows, dum);
    for (int64_t sub = 1; sub <= nsub && sub <= 20; ++sub) {
      Field name(8), label(16);
      int64_t ncomp = 0, ntotal = 0;
      call(tknsub_, id, sub, name, ncomp, ntotal);
      if (ntotal < 0 || ntotal > 10000 || ncomp < 0 || ncomp > 10000) continue;
      Field comps = fields_of(8, ncomp), tnames = fields_of(12, ntotal), tlabels = fields_of(16, ntotal);
      std::vector<double> values = reals_of(ncomp), totals = reals_of(ntotal);
      call(tksubs_, id, name, Field("MASS-FLOW", 12), int64_t{ncomp}, comps, values, label, dum, tnames, totals, tlabels);
      EXPECT_TRUE(intact(comps, ncomp) && intact(values) && intact(tnames, ntotal) && intact(totals) &&
                  intact(tlabels, ntotal))
          << id.text() << " substream " << sub;
    }
  }
  for (int64_t k = 1; k <= tkglob_[3]; ++k) {
    Field id(8), type(12);
    int64_t ierr = -1;
    call(tknblk_, int64_t{k}, id, type, ierr);
    for (const char* report : {"PROP-REPORT", "PROP-VENT", "PROP-ACCUM"}) {
      int64_t npoints = 0, nprofiles = 0;
      call(tksrrp_, id, Field(report, 12), npoints, nprofiles, ierr);
      // A report TKSRRP does not know has no points: nothing may be written.
      if (ierr != 0) npoints = nprofiles = 0;
      if (npoints < 0 || npoints > 100000 || nprofiles > 1000) continue;
      for (int64_t p = 1; p <= nprofiles + 1; ++p)
        for (auto* routine : {tknrrp_, tknrpr_}) {
          std::vector<double> values = reals_of(npoints);
          int64_t dum = 0, perr = -1;
          call(routine, id, Field(report, 12), dum, int64_t{p}, Field(12), Field(8), Field(8), Field(8), Field(4), Field(4),
               values, Field(12), Field(16), perr);
          EXPECT_TRUE(intact(values)) << id.text() << " " << report << " profile " << p;
        }
    }
  }
}

TEST(FuzzRegressions, EveryKeptInputLoadsAndAnswersSafely) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(FLOWSUM_SOURCE_DIR) / "tests" / "regressions"))
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    LoadedSummary load(file.string());
    EXPECT_GE(load.ierr(), 0);
    EXPECT_LE(load.ierr(), 4);
    const int64_t free_before = tklocs_[24];
    for (int64_t n : {tkglob_[3], tkglob_[4]}) {
      Field ids = fields_of(128, n), types = fields_of(12, n);
      int64_t ierr = -1;
      call(tkbids_, int64_t{n}, ids, types, ierr);
      call(tksids_, int64_t{n}, ids, types, ierr);
      EXPECT_TRUE(intact(ids, n) && intact(types, n));
    }
    for (int64_t width : {64, 1}) {
      Field title(static_cast<size_t>(width), 2);
      tktitl_(title.data(), static_cast<size_t>(width));
      EXPECT_TRUE(intact(title, 1)) << width;
    }
    int64_t n = -1, nid = 9, ndata = -1, nq = -1, ierr = -1;
    tknals_(&n);
    EXPECT_GE(n, 0);
    call(tknval_, Field(std::string(128 * 9, 'A'), 128, 9), nid, ndata, nq, ierr);
    EXPECT_EQ(tklocs_[24], free_before);
    check_counted_arrays();
    EXPECT_EQ(tklocs_[24], free_before);
  }
}

}  // namespace
}  // namespace flowsum::testing
