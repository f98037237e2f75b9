// Every input kept in tests/regressions/ loads without harm, and the query
// routines called on what it loaded stay inside their callers' fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/summary_loader.hpp"

namespace flowsum::testing {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> regression_inputs() {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(FLOWSUM_SOURCE_DIR) / "tests" / "regressions";
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  return files;
}

// Routines that fill arrays sized by a count another routine gives: every
// array gets exactly that count and a sentinel after it, which must survive.
void check_counted_arrays() {
  constexpr double kSentinel = -7.5;
  for (int64_t k = 1; k <= tkglob_[4]; ++k) {
    std::string id(8, ' '), type(8, ' ');
    int64_t i = k, ierr = -1;
    tknstr_(&i, id.data(), type.data(), &ierr, 8, 8);
    std::string src(8, ' '), dst(8, ' ');
    int64_t nsub = 0, nrows = 0, dum = 0;
    tksinf_(id.data(), src.data(), dst.data(), &nsub, &nrows, &dum, 8, 8, 8);
    for (int64_t sub = 1; sub <= nsub && sub <= 20; ++sub) {
      std::string name(8, ' ');
      int64_t ncomp = 0, ntotal = 0, s = sub;
      tknsub_(id.data(), &s, name.data(), &ncomp, &ntotal, 8, 8);
      if (ntotal < 0 || ntotal > 10000 || ncomp < 0 || ncomp > 10000) continue;
      const auto nt = static_cast<size_t>(ntotal), nc = static_cast<size_t>(ncomp);
      std::string comps(8 * nc + 1, '#'), label(16, ' '), basis = "MASS-FLOW   ";
      std::string tnames(12 * nt + 1, '#'), tlabels(16 * nt + 1, '#');
      std::vector<double> values(nc + 1, kSentinel), totals(nt + 1, kSentinel);
      int64_t n = ncomp;
      tksubs_(id.data(), name.data(), basis.data(), &n, comps.data(), values.data(), label.data(),
              &dum, tnames.data(), totals.data(), tlabels.data(), 8, 8, 12, 8, 16, 12, 16);
      EXPECT_EQ(comps.back(), '#') << id << " substream " << sub;
      EXPECT_EQ(values.back(), kSentinel) << id << " substream " << sub;
      EXPECT_EQ(tnames.back(), '#') << id << " substream " << sub;
      EXPECT_EQ(totals.back(), kSentinel) << id << " substream " << sub;
      EXPECT_EQ(tlabels.back(), '#') << id << " substream " << sub;
    }
  }
  for (int64_t k = 1; k <= tkglob_[3]; ++k) {
    std::string id(8, ' '), type(12, ' ');
    int64_t i = k, ierr = -1;
    tknblk_(&i, id.data(), type.data(), &ierr, 8, 12);
    for (const char* report : {"PROP-REPORT", "PROP-VENT", "PROP-ACCUM"}) {
      std::string rt = report;
      rt.resize(12, ' ');
      int64_t npoints = 0, nprofiles = 0;
      tksrrp_(id.data(), rt.data(), &npoints, &nprofiles, &ierr, 8, 12);
      // A report TKSRRP does not know has no points: nothing may be written.
      if (ierr != 0) npoints = nprofiles = 0;
      if (npoints < 0 || npoints > 100000 || nprofiles > 1000) continue;
      for (int64_t p = 1; p <= nprofiles + 1; ++p) {
        for (auto* routine : {tknrrp_, tknrpr_}) {
          std::vector<double> values(static_cast<size_t>(npoints) + 1, kSentinel);
          char pname[12], sub[8], phase[8], comp[8], basis[4], fbasis[4], utype[12], ulabel[16];
          int64_t kk = p, dum = 0, perr = -1;
          routine(id.data(), rt.data(), &dum, &kk, pname, sub, phase, comp, basis, fbasis,
                  values.data(), utype, ulabel, &perr, 8, 12, 12, 8, 8, 8, 4, 4, 12, 16);
          EXPECT_EQ(values.back(), kSentinel)
              << id << " " << report << " profile " << p << (routine == tknrpr_ ? " TKNRPR" : " TKNRRP");
        }
      }
    }
  }
}

TEST(FuzzRegressions, EveryKeptInputLoadsAndAnswersSafely) {
  const std::vector<fs::path> files = regression_inputs();
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    LoadedSummary load(file.string());
    EXPECT_GE(load.ierr(), 0);
    EXPECT_LE(load.ierr(), 4);
    const int64_t free_before = tklocs_[24];

    // Lists of every kind, each followed by a sentinel that must survive.
    for (int64_t n : {tkglob_[3], tkglob_[4]}) {
      std::vector<char> ids(128 * static_cast<size_t>(n) + 1, '#'), types(12 * static_cast<size_t>(n) + 1, '#');
      int64_t nn = n, ierr = -1;
      tkbids_(&nn, ids.data(), types.data(), &ierr, 128, 12);
      tksids_(&nn, ids.data(), types.data(), &ierr, 128, 12);
      EXPECT_EQ(ids.back(), '#');
      EXPECT_EQ(types.back(), '#');
    }
    char title[65];
    title[64] = '#';
    tktitl_(title, 64);
    EXPECT_EQ(title[64], '#');
    char one[2] = {'#', '#'};
    tktitl_(one, 1);
    EXPECT_EQ(one[1], '#');
    int64_t n = -1;
    tknals_(&n);
    EXPECT_GE(n, 0);
    std::string ids(128 * 9, 'A');
    int64_t nid = 9, ndata = -1, nq = -1, ierr = -1;
    tknval_(ids.data(), &nid, &ndata, &nq, &ierr, 128);
    EXPECT_EQ(tklocs_[24], free_before);
    check_counted_arrays();
    EXPECT_EQ(tklocs_[24], free_before);
  }
}

}  // namespace
}  // namespace flowsum::testing
