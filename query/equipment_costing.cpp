// Equipment costing: result list and headline values of a costed item.
#include "query/equipment_costing.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"

namespace flowsum {

std::string_view costing_section(std::string_view type) {
  const std::string t = padded(type, 8);
  return t == "TRAY-TOW" || t == "PACK-TOW" || t == "CUSTOM2 " ? "SZECST1" : "SZECST";
}

}  // namespace flowsum

namespace {

using namespace flowsum;

// An equipment item and the path of one of its result sections.
struct CostedItem {
  bool found = false;
  std::string type, id;
  std::array<std::string_view, 5> path(std::string_view section) const {
    return {"COSTING", "EQUIPMEN", type, id, section};
  }
  std::array<std::string_view, 5> path() const { return path(costing_section(type)); }
};

CostedItem costed_item(const char* id, size_t id_len) {
  CostedItem item;
  const std::string_view given(id ? id : "", id ? id_len : 0);
  item.id = std::string(TextField::trim_right(given.substr(0, std::min(given.size(), kKeywordChars))));
  const ItemMatch m = find_equipment(item.id);
  if (!m) return item;
  item.found = true;
  item.type = std::string(TextField::trim_right(m.type.view()));
  return item;
}

// A value's real: converted into the caller's unit when it has a unit type.
double real_of(const DatasetAnswer& a, int64_t j) {
  return convert_value(a.unit_type(j), a.unit_code(j), a.real_value(j)).value;
}

struct Headlines {
  int64_t quantity = 0;
  double purchased, installed;
  bool any(double missing) const { return quantity != 0 || purchased != missing || installed != missing; }
};

// Property numbers 222, 381 and 382 of one section (the last of each
// wins). A cost is taken as it is stored: an integer word converted to a
// real, or the real itself (converted into the caller's unit when it has a
// unit type), never the integer word of a real, which holds nothing.
void read_headlines(const CostedItem& item, std::string_view section, Headlines& h) {
  const DatasetAnswer a = lookup_dataset(item.path(section));
  const int64_t pcol = a.found() ? a.find_qualifier("PROPERTIES") : 0;
  if (pcol == 0) return;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t prop = a.qualifier_int(pcol, j);
    const bool is_real = a.type(j) == value_type::kReal;
    const double cost = is_real ? real_of(a, j) : static_cast<double>(a.int_value(j));
    if (prop == kQuantityProperty) h.quantity = a.int_value(j);
    else if (prop == kPurchasedCostProperty) h.purchased = cost;
    else if (prop == kInstalledCostProperty) h.installed = cost;
  }
}

}  // namespace

extern "C" {

void tkneqs_(const char* id, int64_t* nres, int64_t* ierr, size_t id_len) {
  FreePointerGuard guard;
  *nres = 0;
  // An item that is not in the equipment table is a failure, not an item
  // without results.
  *ierr = 1;
  const CostedItem item = costed_item(id, id_len);
  if (!item.found) return;
  const ValueShape shape = data_set_shape(item.path());
  *ierr = shape.ierr;
  if (shape.ierr != 0) return;
  // An open-ended data set brings its count with its values.
  *nres = shape.ndata >= 0 ? shape.ndata : lookup_dataset(item.path()).ndata;
}

void tkeqsr_(const char* id, int64_t* nres, char* names, int64_t* kinds, int64_t* ivalues,
             char* texts, double* reals, char* qnames, char* ulabels, int64_t* ierr, size_t id_len,
             size_t names_len, size_t texts_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const CostedItem item = costed_item(id, id_len);
  if (!item.found) return;
  const DatasetAnswer a = lookup_dataset(item.path());
  // An item without its result data set has nothing to report: a failure.
  if (!a.found()) return;
  *ierr = 0;
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  // The caller's arrays hold NRES results: a longer list is cut there, and
  // nothing is read past the data set's own values.
  const int64_t n = std::min(a.ndata, std::max<int64_t>(*nres, 0));
  for (int64_t j = 1; j <= n; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    const int64_t t = a.type(j);
    text_element(names, names_len, row).assign(pcol > 0 ? property_name(a.qualifier_int(pcol, j)) : "");
    ivalues[row] = a.int_value(j);
    reals[row] = a.real_value(j);
    const TextField text = text_element(texts, texts_len, row), qname = text_element(qnames, qnames_len, row),
                    label = text_element(ulabels, ulabels_len, row);
    text.fill_blank();
    qname.fill_blank();
    label.fill_blank();
    if (t == value_type::kInteger || t == value_type::kReal) {
      kinds[row] = t;
      if (t == value_type::kReal && a.unit_type(j) != 0) {
        const ConvertedReal r = convert_value(a.unit_type(j), a.unit_code(j), a.real_value(j));
        reals[row] = r.value;
        qname.assign(r.unit_type_name);
        label.assign(r.label);
      }
    } else {
      // Texts of 8 characters and long texts are both texts to the caller.
      kinds[row] = 3;
      text.assign(a.text_value(j));
    }
  }
}

void tkeqcr_(const char* id, int64_t* quantity, double* purchased, double* installed, int64_t* izero,
             size_t id_len) {
  FreePointerGuard guard;
  const double missing = rglb(1);
  Headlines h{0, missing, missing};
  *izero = 0;
  *quantity = h.quantity;
  *purchased = h.purchased;
  *installed = h.installed;
  const CostedItem item = costed_item(id, id_len);
  if (!item.found) return;
  read_headlines(item, "SZECST", h);
  if (!h.any(missing)) read_headlines(item, "SZECST1", h);
  *quantity = h.quantity;
  *purchased = h.purchased;
  *installed = h.installed;
}

}  // extern "C"
