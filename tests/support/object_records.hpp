// Data sets that make flowsheet objects exist: one small data set (one
// real) under each object's path, which is all the loader needs and keeps
// the file well formed for any reader.
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

  void block(const std::string& model, const std::string& id, const std::string& section = "RESULTS") {
    data_set({"BLOCK", model, id, section});
  }
  void stream(const std::string& type, const std::string& id, const std::string& section = "STR_MAIN") {
    data_set({"STREAM", type, id, section});
  }
  void property_table(const std::string& type, const std::string& id) { data_set({"PROP-TABLE", type, id, "PROPTAB"}); }
  void equipment(const std::string& type, const std::string& id, const std::string& section = "SZECST") {
    data_set({"COSTING", "EQUIPMEN", type, id, section});
  }
  void relief(const std::string& id, const std::string& section = "PRDYSC") { data_set({"PRES-RELIEF", id, section}); }
  void sensitivity(const std::string& id) { data_set({"SENSITIVITY", id, "SNS_TAB"}); }
  // Any path, with the shared one-value sequence.
  void data_set(const std::vector<std::string>& path);

 private:
  SummaryBuilder& b_;
  bool sets_written_ = false;
};

// prefix1, prefix2, ..., prefix<n>.
std::vector<std::string> numbered_ids(const std::string& prefix, int64_t n);

// The builder's text in a temporary file, loaded (unit set SI, the
// project's reference files) while the object lives.
struct LoadedText {
  explicit LoadedText(const SummaryBuilder& b, int64_t message_unit = 0)
      : file(b.text()), summary(file.string(), "SI", message_unit) {}
  int64_t ierr() const { return summary.ierr(); }

  TempSummaryFile file;
  LoadedSummary summary;
};

}  // namespace flowsum::testing
