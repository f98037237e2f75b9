// Data sets that make flowsheet objects exist in the data-set tree.
#include "support/object_records.hpp"

namespace flowsum::testing {

void ObjectWriter::data_set(const std::vector<std::string>& path) {
  if (!sets_written_) {
    b_.idset("OBJVAL", {"PROPERTIES"}, {{{"22"}, 2}});  // one temperature
    b_.lset("OBJVAL", "(%OBJVAL)");
    sets_written_ = true;
  }
  b_.dset(path, "OBJVAL", {Value::real(300.0)});
}

std::vector<std::string> numbered_ids(const std::string& prefix, int64_t n) {
  std::vector<std::string> ids;
  for (int64_t i = 1; i <= n; ++i) ids.push_back(prefix + std::to_string(i));
  return ids;
}

}  // namespace flowsum::testing
