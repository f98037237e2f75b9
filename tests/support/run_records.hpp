// Data sets of one qualifier whose members are items (an item code or a
// name) with a value each, the shape of the run-information data sets: a
// test writes exactly the items it needs, where FlowsheetWriter::run_status
// and account write the usual full set.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

struct Item {
  std::string qualifier_value;
  int64_t type = 0;  // 1 integer, 5 text of 8, 6 long text
  Value value = Value::missing();

  static Item integer(std::string q, int64_t n) { return {std::move(q), 1, Value::integer(n)}; }
  static Item text8(std::string q, const std::string& s) { return {std::move(q), 5, Value::word(s)}; }
  static Item long_text(std::string q, const std::string& s) { return {std::move(q), 6, Value::text(s)}; }
};

// IDSET set_name (qualifier) (members), LSET set_name (%set_name), each
// written once per name, and DSET path @set_name (values).
void item_dataset(FlowsheetWriter& w, const std::vector<std::string>& path, const std::string& set_name,
                  const std::string& qualifier, const std::vector<Item>& items);

// "ALIAS" and "CASN" "CASN": one long text per name.
void alias_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries);
void case_name_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace flowsum::testing
