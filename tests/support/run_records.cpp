// Item data sets of the run information.
#include "support/run_records.hpp"

namespace flowsum::testing {

void item_dataset(FlowsheetWriter& w, const std::vector<std::string>& path, const std::string& set_name,
                  const std::string& qualifier, const std::vector<Item>& items) {
  std::vector<IdMember> members;
  std::vector<Value> values;
  for (const Item& it : items) {
    members.push_back({{it.qualifier_value}, it.type});
    values.push_back(it.value);
  }
  w.idset_once(set_name, {qualifier}, members);
  w.lset_once(set_name, "(%" + set_name + ")");
  w.builder().dset(path, set_name, values);
}

namespace {
std::vector<Item> long_texts(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::vector<Item> items;
  for (const auto& [name, text] : entries) items.push_back(Item::long_text(name, text));
  return items;
}
}  // namespace

void alias_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries) {
  item_dataset(w, {"ALIAS"}, "ALIAS", "ID", long_texts(entries));
}

void case_name_list(FlowsheetWriter& w, const std::vector<std::pair<std::string, std::string>>& entries) {
  item_dataset(w, {"CASN", "CASN"}, "CASN", "CASE", long_texts(entries));
}

}  // namespace flowsum::testing
