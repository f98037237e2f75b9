// Data sets of one qualifier whose members are items (an item code or a
// name) with a value each: the shape of the run-information data sets. With
// these a test writes exactly the items it needs (a title only under the
// fallback path, an account with one field, an alias list, case names),
// where FlowsheetWriter::run_status and account write the usual full set.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One member of an item data set: its qualifier value, its value type
// (1 integer, 2 real, 5 text of 8, 6 long text), its unit type and value.
struct Item {
  std::string qualifier_value;
  int64_t type = 0;
  Value value = Value::missing();
  int64_t unit_type = 0;

  static Item integer(std::string q, int64_t n) { return {std::move(q), 1, Value::integer(n)}; }
  static Item text8(std::string q, const std::string& s) { return {std::move(q), 5, Value::word(s)}; }
  static Item long_text(std::string q, const std::string& s) { return {std::move(q), 6, Value::text(s)}; }
};

// IDSET set_name (qualifier) (members), LSET set_name (%set_name) and
// DSET path @set_name (values). The sets are written once per name.
void item_dataset(FlowsheetWriter& w, const std::vector<std::string>& path, const std::string& set_name,
                  const std::string& qualifier, const std::vector<Item>& items);

// "ALIAS": one long text per alias, the qualifier values the names.
void alias_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries);
// "CASN" "CASN" with the qualifier (loading sequence) CASN.
void case_name_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace flowsum::testing
