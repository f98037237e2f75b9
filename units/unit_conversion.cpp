// Unit conversion over the unit table of the load: TKUCNV, TKUNIT, TKLABL,
// TKCNVT and TKRCNV, and the C++ helpers the query routines use.
#include "units/unit_conversion.hpp"

#include <algorithm>
#include <cmath>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "store/text_field.hpp"

namespace flowsum {
namespace {

// The target-unit table, or nullptr while none exists (its location word is
// 0, or it does not lie in the work area with one word per unit type).
int64_t* target_table(const UnitTable& table) {
  const int64_t where = locs(l::kTargetUnits);
  if (where == 0 || !in_work(where, table.types())) return nullptr;
  return work_ptr(where);
}

// Offset of a unit as a conversion uses it: a gauge unit of the pressure
// type (negative offset) is relative to the run's ambient pressure.
double effective_offset(int64_t type, double offset) {
  return type == kPressureUnitType && offset < 0.0 ? rglb(2) : offset;
}
double effective_offset(const UnitTable& table, int64_t type, int64_t unit) {
  return effective_offset(type, table.offset(type, unit));
}

// Unit of the type whose label equals the caller's text (blank-padded, case
// as given); 0 when none. A text longer than a label matches nothing.
int64_t unit_by_label(const UnitTable& table, int64_t type, std::string_view text) {
  std::string_view wanted = TextField::trim_right(text);
  if (wanted.size() > kUnitLabelChars) return 0;
  return table.find_unit(type, wanted);
}

int64_t type_by_name(const UnitTable& table, std::string_view text) {
  std::string_view wanted = TextField::trim_right(text);
  if (wanted.size() > kUnitTypeNameChars) return 0;
  return table.find_type(wanted);
}

// TKUNIT over the caller's arrays. Returns the error flag.
int64_t choose_target_units(std::string_view set_name, int64_t n, const char* types, size_t types_len,
                            const char* labels, size_t labels_len) {
  const int64_t set = unit_set_number(set_name);
  if (set < 0) return 1;
  const UnitTable table;
  int64_t* targets = target_table(table);
  if (targets == nullptr) {
    // The first table is reserved at the free word and stays there.
    const int64_t base = locs(l::kFreePointer) >= 1 ? locs(l::kFreePointer) : 1;
    if (!in_work(base, table.types())) return 1;
    locs(l::kTargetUnits) = base;
    locs(l::kFreePointer) = base + table.types();
    locs(l::kNextFree) = locs(l::kFreePointer);
    targets = work_ptr(base);
  }
  for (int64_t t = 0; t < table.types(); ++t) targets[t] = set;
  for (int64_t i = 0; i < n; ++i) {
    const auto k = static_cast<size_t>(i);
    const int64_t type = type_by_name(table, text_element(types, types_len, k).view());
    if (type == 0) return 1;
    const int64_t unit = unit_by_label(table, type, text_element(labels, labels_len, k).view());
    if (unit == 0) return 1;
    targets[type - 1] = unit;
  }
  return 0;
}

}  // namespace

int64_t unit_set_number(std::string_view name) {
  std::string_view s = TextField::trim_right(name);
  if (s == "SI") return 1;
  if (s == "ENG") return 2;
  if (s == "MET") return 3;
  if (s == "OUT") return 0;
  return -1;
}

StoredConverter::Plan StoredConverter::plan(int64_t unit_type, int64_t unit_code) {
  Plan p;
  std::fill_n(p.label, kUnitLabelChars, ' ');
  std::fill_n(p.target_label, kUnitLabelChars, ' ');
  const UnitTable table;
  const int64_t* targets = target_table(table);
  if (targets == nullptr || !table.has_type(unit_type)) return p;
  const int64_t target = targets[unit_type - 1];
  if (target == 0) {
    // As stored: the label of the stored unit (blank for an unknown code).
    table.label_into(unit_type, unit_code, TextField(p.label, kUnitLabelChars));
    return p;
  }
  // A target that is not a unit of the type (a unit set beyond the type's
  // units, or a damaged table) converts nothing.
  const int64_t nunits = table.units(unit_type);
  if (target < 1 || target > nunits) return p;
  p.target_found = true;
  // Each unit's entry is located once: its label, factor and offset follow
  // one another there (an entry outside the work area reads as blank and 0).
  const UnitTable::Entry to = table.entry(unit_type, target);
  to.label_into(TextField(p.target_label, kUnitLabelChars));
  if (unit_code < 1 || unit_code > nunits) return p;
  p.target_factor = to.factor();
  if (p.target_factor == 0.0) return p;
  p.converts = true;
  const UnitTable::Entry from = table.entry(unit_type, unit_code);
  p.factor = from.factor();
  p.offset = effective_offset(unit_type, from.offset());
  p.target_offset = effective_offset(unit_type, to.offset());
  std::copy_n(p.target_label, kUnitLabelChars, p.label);
  return p;
}

ConvertedValue StoredConverter::apply(const Plan& p, double value) {
  ConvertedValue out;
  out.value = value;
  // A missing value keeps its value and takes the target's label.
  if (p.target_found && std::fabs(value) >= std::fabs(rglb(1))) {
    std::copy_n(p.target_label, kUnitLabelChars, out.label);
    return out;
  }
  if (p.converts) out.value = (value * p.factor + p.offset - p.target_offset) / p.target_factor;
  std::copy_n(p.label, kUnitLabelChars, out.label);
  return out;
}

ConvertedValue convert_stored(int64_t unit_type, int64_t unit_code, double value) {
  return StoredConverter::apply(StoredConverter::plan(unit_type, unit_code), value);
}

std::string unit_type_name(int64_t unit_type) { return UnitTable().type_name(unit_type); }

int64_t target_unit(int64_t unit_type) {
  const UnitTable table;
  const int64_t* targets = target_table(table);
  if (targets == nullptr || !table.has_type(unit_type)) return -1;
  return targets[unit_type - 1];
}

}  // namespace flowsum

using flowsum::TextField;

extern "C" {

void tkucnv_(int64_t* itype, int64_t* iunit, double* value, double* result, char* label,
             size_t label_len) {
  const flowsum::ConvertedValue c = flowsum::convert_stored(*itype, *iunit, *value);
  *result = c.value;
  TextField(label, label_len).assign(c.label_view());
}

void tkunit_(const char* unitset, int64_t* n, const char* types, const char* labels, int64_t* ierr,
             size_t unitset_len, size_t types_len, size_t labels_len) {
  *ierr = 1;
  *ierr = flowsum::choose_target_units(TextField(unitset, unitset_len).view(), *n, types,
                                       types_len, labels, labels_len);
}

void tklabl_(int64_t* n, const char* types, char* labels, size_t types_len, size_t labels_len) {
  const flowsum::UnitTable table;
  const int64_t* targets = flowsum::target_table(table);
  for (int64_t i = 0; i < *n; ++i) {
    const auto k = static_cast<size_t>(i);
    TextField out = flowsum::text_element(labels, labels_len, k);
    out.fill_blank();
    if (targets == nullptr) continue;
    const int64_t type = flowsum::type_by_name(table, flowsum::text_element(types, types_len, k).view());
    if (type == 0) continue;
    const int64_t target = targets[type - 1];
    if (table.has_unit(type, target)) out.assign(table.label(type, target));
  }
}

void tkcnvt_(const char* type_name, const char* label, int64_t* n, double* values, double* converted,
             size_t type_name_len, size_t label_len) {
  const flowsum::UnitTable table;
  const int64_t* targets = flowsum::target_table(table);
  if (targets == nullptr) return;
  for (int64_t i = 0; i < *n; ++i) converted[i] = values[i];
  const int64_t type = flowsum::type_by_name(table, TextField(type_name, type_name_len).view());
  if (type == 0) return;
  const int64_t named = flowsum::unit_by_label(table, type, TextField(label, label_len).view());
  if (named == 0) return;
  const int64_t target = targets[type - 1];
  if (target == 0 || !table.has_unit(type, target)) return;
  const double to_factor = table.factor(type, named);
  if (to_factor == 0.0) return;
  const double factor = table.factor(type, target);
  const double shift = flowsum::effective_offset(table, type, target) -
                       flowsum::effective_offset(table, type, named);
  for (int64_t i = 0; i < *n; ++i) converted[i] = (converted[i] * factor + shift) / to_factor;
}

void tkrcnv_(int64_t* itype, int64_t* iunit, const char* label, double* value, double* result,
             size_t label_len) {
  const double v = *value;
  *result = v;
  const flowsum::UnitTable table;
  if (flowsum::target_table(table) == nullptr || !table.has_unit(*itype, *iunit)) return;
  const int64_t named = flowsum::unit_by_label(table, *itype, TextField(label, label_len).view());
  if (named == 0) return;
  const double to_factor = table.factor(*itype, named);
  if (to_factor == 0.0) return;
  *result = (v * table.factor(*itype, *iunit) + flowsum::effective_offset(table, *itype, *iunit) -
             flowsum::effective_offset(table, *itype, named)) /
            to_factor;
}

}  // extern "C"
