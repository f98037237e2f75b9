// Pieces most query test suites share: caller-field texts padded and
// trimmed as the tests compare them, and a suite over one summary file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {

// s cut or blank-padded to n characters, as a caller's field holds it.
inline std::string pad(std::string_view s, size_t n) {
  std::string out(s.substr(0, n));
  out.resize(n, ' ');
  return out;
}

inline std::string trim(std::string_view s) { return std::string(s.substr(0, s.find_last_not_of(' ') + 1)); }

// A suite over one summary file, written once (write_file from the suite's
// SetUpTestSuite) and loaded afresh in unit_set_ for every test, so that no
// test sees what another left in the work area.
template <class Suite>
class SummarySuite : public ::testing::Test {
 protected:
  static void write_file(const std::string& text) { file() = std::make_unique<TempSummaryFile>(text); }
  static void TearDownTestSuite() { file().reset(); }
  void SetUp() override {
    ASSERT_TRUE(file()) << "the suite wrote no summary file";
    loaded_ = std::make_unique<LoadedSummary>(file()->string(), unit_set_);
    ASSERT_EQ(loaded_->ierr(), 0);
  }

  std::string unit_set_ = "SI";
  std::unique_ptr<LoadedSummary> loaded_;

 private:
  static std::unique_ptr<TempSummaryFile>& file() {
    static std::unique_ptr<TempSummaryFile> f;
    return f;
  }
};

}  // namespace flowsum::testing
