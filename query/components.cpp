// Components over the identifier sets "ID_NCC" and "ID_NNC" and the
// component property data sets.
#include "query/components.hpp"

#include <array>

#include "flowsum.h"
#include "store/dataset_lookup.hpp"
#include "store/list_evaluation.hpp"
#include "store/packed_words.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

namespace {

int64_t members(std::string_view set_name) {
  const SetDimensions d = idset_dimensions(set_name);
  return d.nmem > 0 ? d.nmem : 0;
}

}  // namespace

ComponentCounts component_counts() {
  return {members("ID_NCC"), members("ID_NNC")};
}

std::vector<std::string> component_set(std::string_view set_name) {
  std::vector<std::string> out;
  const SetDimensions d = idset_dimensions(set_name);
  if (d.nq < 1 || d.nmem < 1) return out;
  const size_t nq = static_cast<size_t>(d.nq), nm = static_cast<size_t>(d.nmem);
  std::vector<int64_t> qnames(4 * nq), qvals(2 * nq * nm), types(nm), units(nm);
  load_idset(set_name, d.nq, d.nmem, qnames.data(), qvals.data(), types.data(), units.data());
  out.reserve(nm);
  for (size_t m = 0; m < nm; ++m) {
    std::string id(8, ' ');
    // The identifier is the member's first qualifier value.
    unpack_text(&qvals[2 * nq * m], 2, TextField(id.data(), id.size()));
    out.push_back(std::move(id));
  }
  return out;
}

std::string component_property_keyword(std::string_view name) {
  if (name.starts_with("TB")) return "TB";
  if (name.starts_with("MW")) return "MW";
  if (name.starts_with("VLSTD") || name.starts_with("VSTD")) return "VST";
  return std::string(TextField::trim_right(name.substr(0, std::min<size_t>(8, name.size()))));
}

void component_property(std::string_view name, int64_t n, double* values, TextField label) {
  FreePointerGuard guard;
  const std::string keyword = component_property_keyword(name);
  if (keyword.empty()) return;
  const std::array<std::string_view, 2> path{keyword, keyword};
  const DatasetAnswer a = lookup_dataset(path);
  if (!a.found()) return;
  const int64_t ut = a.unit_type(1), code = a.unit_code(1);
  const int64_t count = std::min(n, a.ndata);
  for (int64_t i = 1; i <= count; ++i) {
    const ConvertedValue c = convert_stored(ut, code, a.real_value(i));
    values[i - 1] = c.value;
    label.assign(c.label_view());
  }
}

}  // namespace flowsum

extern "C" {

void tkcomp_(int64_t* ncc, int64_t* nnc) {
  const flowsum::ComponentCounts c = flowsum::component_counts();
  *ncc = c.conventional;
  *nnc = c.nonconventional;
}

void tkcids_(int64_t* p, int64_t* q, char* ncc_ids, char* nnc_ids, size_t ncc_len,
             size_t nnc_len) {
  using namespace flowsum;
  FreePointerGuard guard;
  auto copy = [](std::string_view set, int64_t want, char* base, size_t len) {
    const std::vector<std::string> ids = component_set(set);
    if (ids.empty()) return;
    const size_t n = std::min(ids.size(), want > 0 ? static_cast<size_t>(want) : size_t{0});
    for (size_t i = 0; i < n; ++i) text_element(base, len, i).assign(ids[i]);
  };
  copy("ID_NCC", *p, ncc_ids, ncc_len);
  copy("ID_NNC", *q, nnc_ids, nnc_len);
}

void tkcprp_(const char* name, int64_t* n, double* values, char* label, size_t name_len,
             size_t label_len) {
  using namespace flowsum;
  component_property(std::string_view(name, name_len), *n, values, TextField(label, label_len));
}

}  // extern "C"
