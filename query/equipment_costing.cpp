// Equipment costing: result list and headline values of a costed item.
#include "query/equipment_costing.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/load_stamp.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

std::string_view costing_section(std::string_view type) {
  // Types count with their first 8 characters, as the tree keeps them.
  const std::string_view t = type.substr(0, std::min<size_t>(8, type.size()));
  return padded_equal(t, "TRAY-TOW") || padded_equal(t, "PACK-TOW") || padded_equal(t, "CUSTOM2") ? "SZECST1"
                                                                                                : "SZECST";
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

// One headline as the data set stores it: the value's integer word, and
// its real with unit type and unit code when it is a real. Converted only
// when handed out, so that it holds in any unit set.
struct StoredHeadline {
  bool set = false;
  bool is_real = false;
  int64_t integer = 0;
  double real = 0.0;
  int64_t unit_type = 0, unit_code = 0;

  // A cost is taken as it is stored: an integer word converted to a real,
  // or the real itself (converted into the caller's unit when it has a unit
  // type), never the integer word of a real, which holds nothing.
  double cost() const {
    return is_real ? convert_value(unit_type, unit_code, real).value : static_cast<double>(integer);
  }
};

// Property numbers 222, 381 and 382 of one section's data set (the last of
// each wins).
struct SectionHeadlines {
  StoredHeadline quantity, purchased, installed;
};

// pcol: the column of "PROPERTIES" when the caller has it.
SectionHeadlines headlines_of(const DatasetAnswer& a, int64_t pcol = -1) {
  SectionHeadlines out;
  if (pcol < 0) pcol = a.found() ? a.find_qualifier("PROPERTIES") : 0;
  if (pcol == 0) return out;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t prop = a.qualifier_int(pcol, j);
    StoredHeadline* h = prop == kQuantityProperty        ? &out.quantity
                        : prop == kPurchasedCostProperty ? &out.purchased
                        : prop == kInstalledCostProperty ? &out.installed
                                                         : nullptr;
    if (!h) continue;
    h->set = true;
    h->is_real = a.type(j) == value_type::kReal;
    h->integer = a.int_value(j);
    h->real = a.real_value(j);
    h->unit_type = a.unit_type(j);
    h->unit_code = a.unit_code(j);
  }
  return out;
}

// The item asked for last, and the headlines of the sections read for it
// since. A caller reads an item's count, its results and then its
// headlines, which lie in the data set the results came from: they are
// served from here instead of searching the equipment table and reading
// the data set again. The memory serves only while the load, its tree and
// the equipment table are the ones it was filled from.
struct ItemMemory {
  bool valid = false;
  LoadStamp stamp;
  std::string given;  // the id as asked for, cut to a keyword's length
  CostedItem item;
  static constexpr std::array<std::string_view, 2> sections{"SZECST", "SZECST1"};
  std::array<bool, 2> read{false, false};
  std::array<SectionHeadlines, 2> headlines;
  std::array<int8_t, 2> held{-1, -1};  // as ItemFacts::held

  bool current() const { return valid && stamp == LoadStamp::now(ItemKind::kEquipment); }
  static size_t slot(std::string_view section) { return section == sections[0] ? 0 : 1; }
  void keep(std::string_view section, const SectionHeadlines& h) {
    read[slot(section)] = true;
    headlines[slot(section)] = h;
  }
};
ItemMemory g_item_memory;

// What the equipment table and the tree say of an item, kept for the load
// (KeptPerLoad): its type, and the count TKNEQS gives once it was asked
// for. A pass asks for every item in turn, so each new item would
// otherwise search the equipment table, and its count read its result
// data set's loading sequence.
struct ItemFacts {
  CostedItem item;
  bool counted = false;
  ValueShape shape;
  // Whether the tree holds the path of each costing section (-1 when its
  // search wrote a message: the lookup then answers). Items of half the
  // types keep no first section, which the headlines ask for first.
  std::array<int8_t, 2> held{-1, -1};
};

ItemFacts& item_facts(std::string_view id) {
  static KeptPerLoad<ItemFacts> kept(ItemKind::kEquipment, 1024);
  return kept.get(id, [&] {
    ItemFacts f;
    f.item.id = std::string(id);
    if (const ItemMatch match = find_equipment(id)) {
      f.item.found = true;
      f.item.type = std::string(TextField::trim_right(match.type.view()));
      for (std::string_view section : ItemMemory::sections) {
        int64_t node = 0;
        bool plain = false;
        const int64_t rc = TreeNodes::loaded().find(f.item.path(section), node, nullptr, &plain);
        f.held[ItemMemory::slot(section)] = rc == 0 ? 1 : rc > 0 && plain ? 0 : -1;
      }
    }
    return f;
  });
}

std::string_view given_id(const char* id, size_t id_len) {
  const std::string_view whole(id ? id : "", id ? id_len : 0);
  return TextField::trim_right(whole.substr(0, std::min(whole.size(), kKeywordChars)));
}

CostedItem costed_item(const char* id, size_t id_len) {
  const std::string_view given = given_id(id, id_len);
  ItemMemory& m = g_item_memory;
  // Compared blank-padded: a caller's id field is mostly blanks, which
  // this skips eight at a time.
  if (m.current() && padded_equal(given, m.given)) return m.item;
  const ItemFacts& f = item_facts(given);
  const CostedItem item = f.item;
  m = ItemMemory{};
  m.held = f.held;
  m.valid = true;
  m.stamp = LoadStamp::now(ItemKind::kEquipment);
  m.given = item.id;
  m.item = item;
  return item;
}

// Whether the memory holds the item's headlines of a section.
const SectionHeadlines* remembered_headlines(const CostedItem& item, std::string_view section) {
  const ItemMemory& m = g_item_memory;
  if (!m.current() || m.given != item.id || !m.read[m.slot(section)]) return nullptr;
  return &m.headlines[m.slot(section)];
}

void remember_headlines(const CostedItem& item, std::string_view section, const SectionHeadlines& h) {
  ItemMemory& m = g_item_memory;
  if (m.current() && m.given == item.id) m.keep(section, h);
}

struct Headlines {
  int64_t quantity = 0;
  double purchased, installed;
  bool any(double missing) const { return quantity != 0 || purchased != missing || installed != missing; }
};

// The headlines of one section (read, or remembered from the item's result
// read) into h: each one the section holds replaces h's.
void read_headlines(const CostedItem& item, std::string_view section, Headlines& h) {
  const SectionHeadlines* kept = remembered_headlines(item, section);
  SectionHeadlines read;
  const ItemMemory& m = g_item_memory;
  if (!kept && m.current() && m.given == item.id && m.held[m.slot(section)] == 0) return;  // no such section
  if (!kept) {
    read = headlines_of(lookup_dataset(item.path(section)));
    remember_headlines(item, section, read);
    kept = &read;
  }
  if (kept->quantity.set) h.quantity = kept->quantity.integer;
  if (kept->purchased.set) h.purchased = kept->purchased.cost();
  if (kept->installed.set) h.installed = kept->installed.cost();
}

}  // namespace

extern "C" {

void tkneqs_(const char* id, int64_t* nres, int64_t* ierr, size_t id_len) {
  FreePointerGuard guard;
  *nres = 0;
  // An item that is not in the equipment table is a failure, not an item
  // without results.
  *ierr = 1;
  ItemFacts& f = item_facts(given_id(id, id_len));
  if (!f.item.found) return;
  // The count comes from the result data set's loading sequence.
  if (!f.counted) {
    f.shape = data_set_shape(f.item.path());
    // An open-ended data set brings its count with its values.
    if (f.shape.ierr == 0 && f.shape.ndata < 0) f.shape.ndata = lookup_dataset(f.item.path()).ndata;
    f.counted = true;
  }
  *ierr = f.shape.ierr;
  if (f.shape.ierr == 0) *nres = f.shape.ndata;
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
  remember_headlines(item, costing_section(item.type), headlines_of(a, pcol));
  // The caller's arrays hold NRES results: a longer list is cut there, and
  // nothing is read past the data set's own values.
  const int64_t n = std::min(a.ndata, std::max<int64_t>(*nres, 0));
  // Reals of one unit type and code in a row share the conversion's table
  // look-ups, and a unit type's name is looked up once for each run of it.
  StoredConverter convert;
  const UnitTable table;
  int64_t named = 0;
  char type_name[kUnitTypeNameChars];
  for (int64_t j = 1; j <= n; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    const int64_t t = a.type(j);
    const TextField name = text_element(names, names_len, row);
    if (pcol > 0) property_name_into(a.qualifier_int(pcol, j), name);
    else name.fill_blank();
    ivalues[row] = a.int_value(j);
    reals[row] = a.real_value(j);
    const TextField text = text_element(texts, texts_len, row), qname = text_element(qnames, qnames_len, row),
                    label = text_element(ulabels, ulabels_len, row);
    text.fill_blank();
    qname.fill_blank();
    label.fill_blank();
    if (t == value_type::kInteger || t == value_type::kReal) {
      kinds[row] = t;
      const int64_t ut = t == value_type::kReal ? a.unit_type(j) : 0;
      if (ut != 0) {
        const ConvertedValue c = convert(ut, a.unit_code(j), a.real_value(j));
        if (ut != named) {
          table.type_name_into(ut, TextField(type_name, sizeof type_name));
          named = ut;
        }
        reals[row] = c.value;
        qname.assign(std::string_view(type_name, sizeof type_name));
        label.assign(c.label_view());
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
