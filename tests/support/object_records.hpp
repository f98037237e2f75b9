// Data sets that make flowsheet objects exist: blocks of a model, streams of
// a type, property tables, costed equipment items, pressure-relief objects,
// sensitivity studies and named block sections (heating curves, profiles).
// Each object gets one small data set under its own path; the loader only
// needs the paths, and the values (one real) keep the file well formed for
// any reader. Object lists of any length are written with the same helpers,
// so tests can build files with thousands of objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {

class ObjectWriter {
 public:
  explicit ObjectWriter(SummaryBuilder& b) : b_(b) {}

  // "BLOCK" model id section.
  void block(const std::string& model, const std::string& id, const std::string& section = "RESULTS");
  // "STREAM" type id section.
  void stream(const std::string& type, const std::string& id, const std::string& section = "STR_MAIN");
  // "PROP-TABLE" type id "PROPTAB".
  void property_table(const std::string& type, const std::string& id);
  // "COSTING" "EQUIPMEN" type id section.
  void equipment(const std::string& type, const std::string& id, const std::string& section = "SZECST");
  // "PRES-RELIEF" id section.
  void relief(const std::string& id, const std::string& section = "PRDYSC");
  // "SENSITIVITY" id "SNS_TAB".
  void sensitivity(const std::string& id);
  // Any path: one data set with the shared one-value sequence.
  void data_set(const std::vector<std::string>& path);

 private:
  SummaryBuilder& b_;
  bool sets_written_ = false;
};

// prefix1, prefix2, ..., prefix<n>.
std::vector<std::string> numbered_ids(const std::string& prefix, int64_t n);

// The builder's text written to a temporary file and loaded (unit set SI,
// the project's reference files); unloaded and removed when it goes away.
struct LoadedText {
  explicit LoadedText(const SummaryBuilder& b, int64_t message_unit = 0)
      : file(b.text()), summary(file.string(), "SI", message_unit) {}
  int64_t ierr() const { return summary.ierr(); }

  TempSummaryFile file;
  LoadedSummary summary;
};

}  // namespace flowsum::testing
