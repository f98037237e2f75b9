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
  }
}

}  // namespace
}  // namespace flowsum::testing
