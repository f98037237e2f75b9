// Data sets that make flowsheet objects exist in the data-set tree.
#include "support/object_records.hpp"

namespace flowsum::testing {

void ObjectWriter::data_set(const std::vector<std::string>& path) {
  if (!sets_written_) {
    // One temperature value: enough for the loader and for a value reader.
    b_.idset("OBJVAL", {"PROPERTIES"}, {{{"22"}, 2}});
    b_.lset("OBJVAL", "(%OBJVAL)");
    sets_written_ = true;
  }
  b_.dset(path, "OBJVAL", {Value::real(300.0)});
}

void ObjectWriter::block(const std::string& model, const std::string& id, const std::string& section) {
  data_set({"BLOCK", model, id, section});
}

void ObjectWriter::stream(const std::string& type, const std::string& id, const std::string& section) {
  data_set({"STREAM", type, id, section});
}

void ObjectWriter::property_table(const std::string& type, const std::string& id) {
  data_set({"PROP-TABLE", type, id, "PROPTAB"});
}

void ObjectWriter::equipment(const std::string& type, const std::string& id, const std::string& section) {
  data_set({"COSTING", "EQUIPMEN", type, id, section});
}

void ObjectWriter::relief(const std::string& id, const std::string& section) {
  data_set({"PRES-RELIEF", id, section});
}

void ObjectWriter::sensitivity(const std::string& id) { data_set({"SENSITIVITY", id, "SNS_TAB"}); }

std::vector<std::string> numbered_ids(const std::string& prefix, int64_t n) {
  std::vector<std::string> ids;
  ids.reserve(static_cast<size_t>(n));
  for (int64_t i = 1; i <= n; ++i) ids.push_back(prefix + std::to_string(i));
  return ids;
}

}  // namespace flowsum::testing
