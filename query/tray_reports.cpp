// Tray reports of column blocks (qualified properties on chosen trays) and
// the reboiler results of tray columns.
#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "query/tray_reports.hpp"
#include "query/refinery_twins.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

bool by_column(const ProfileBlock& b) { return b.is("LINKEDCO") || b.is("KINETCOL"); }

// The report section of a column: "MTRY_" and the column for the linked
// and rate-based models, "PTRY_M" for a refinery main column (its strippers
// keep no tray report), "TRAY_REP" for every other.
std::string report_section(const ProfileBlock& b, int64_t column) {
  if (b.is("CRUDEUNI")) return column == 1 ? "PTRY_M" : "";
  return by_column(b) ? numbered_section("MTRY_", column) : std::string("TRAY_REP");
}

// The column's report data sets in chain order.
std::vector<int64_t> report_nodes(const ProfileBlock& b, int64_t column) {
  std::vector<int64_t> out;
  const std::string section = report_section(b, column);
  if (section.empty()) return out;
  for (int64_t node : section_nodes(b, section)) {
    if (by_column(b)) {
      const ProfileElements e = node_elements(node);
      if (e.has_column && e.column != column) continue;
    }
    out.push_back(node);
  }
  return out;
}

// Tray numbers, converted values, quantity name and label of the first
// ntray values of a report data set.
void read_report(const DatasetAnswer& a, int64_t ntray, int64_t* traynos, double* values, TextField qname,
                 TextField ulabel) {
  const int64_t t = a.unit_type(1);
  qname.assign(t != 0 ? unit_type_name(t) : std::string());
  ulabel.fill_blank();
  const int64_t tcol = a.find_qualifier("TRAY_NO");
  const int64_t n = std::min<int64_t>(a.ndata, std::max<int64_t>(ntray, 0));
  StoredConverter convert;
  for (int64_t j = 1; j <= n; ++j) {
    if (tcol > 0) {
      // A tray number is its digits after any blanks; a text that does
      // not start with a digit leaves the entry as it was.
      const std::string text = a.qualifier_text(tcol, j);
      std::string_view digits = TextField::trim_right(text);
      digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of(' ')));
      const size_t len = std::min(digits.size(), digits.find_first_not_of("0123456789"));
      if (len > 0) traynos[j - 1] = read_unsigned(digits.substr(0, len)).value;
    }
    const int64_t ut = a.unit_type(j);
    if (ut == 0) {
      values[j - 1] = a.real_value(j);
      continue;
    }
    const ConvertedValue c = convert(ut, a.unit_code(j), a.real_value(j));
    values[j - 1] = c.value;
    ulabel.assign(c.label_view());
  }
}

}  // namespace
}  // namespace flowsum

using namespace flowsum;

// The routines' bodies, shared with the refinery twins (twin true: a
// refinery block is served here rather than handed on).
namespace flowsum {

void reports_tktrep(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* nprop, size_t id_len) {
  FreePointerGuard guard;
  *ntray = *nprop = 0;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().report_sizes) refinery_twins().report_sizes(id, column, ntray, nprop, id_len);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  std::unordered_set<std::string> trays;
  const std::string section = report_section(b, *column);
  for (int64_t node : report_nodes(b, *column)) {
    ++*nprop;
    const DatasetAnswer a = lookup_node(b.path(section), node);
    const int64_t tcol = a.find_qualifier("TRAY_NO");
    for (int64_t j = 1; tcol > 0 && j <= a.ndata; ++j) trays.insert(padded(a.qualifier_text(tcol, j), 16));
  }
  *ntray = static_cast<int64_t>(trays.size());
}


void reports_tktprp(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, const char* pname,
             const char* substream, const char* phase, const char* component, const char* basis,
             const char* units, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t units_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().report_property)
      refinery_twins().report_property(id, column, ntray, traynos, pname, substream, phase, component, basis,
                                       units, values, qname, ulabel, ierr, id_len, pname_len, substream_len,
                                       phase_len, component_len, basis_len, units_len, qname_len, ulabel_len);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  const std::string section = report_section(b, *column);
  if (section.empty()) return;
  const std::array<std::pair<std::string_view, std::string_view>, 6> given{{
      {"PROPERTIES", input(pname, std::min<size_t>(pname_len, 12))},
      {"SUBSTREAM", input(substream, std::min<size_t>(substream_len, 8))},
      {"PHASE", input(phase, std::min<size_t>(phase_len, 8))},
      {"COMPONENTS", input(component, std::min<size_t>(component_len, 8))},
      {"BASIS", input(basis, std::min<size_t>(basis_len, 4))},
      {"UNITS", input(units, std::min<size_t>(units_len, 4))},
  }};
  std::vector<WantedQualifier> wanted;
  for (const auto& [name, value] : given) wanted.push_back({padded(name, 16), padded(value, 16)});
  if (by_column(b)) wanted.push_back({padded("N_COL", 16), number_key(*column)});
  const std::array<std::string_view, 2> linked{"LINKEDCO", "KINETCOL"};
  std::string model;
  const DatasetChoice c = split_block_results(b.path(section), wanted, {}, linked, model);
  if (c.ierr != 0) return;
  const DatasetAnswer a = lookup_dataset(b.path(section), c.qualifier);
  if (!a.found()) return;
  read_report(a, *ntray, traynos, values, TextField(qname, qname_len), TextField(ulabel, ulabel_len));
  *ierr = 0;
}


void reports_tkntpr(bool twin, const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, int64_t* k, char* pname,
             char* substream, char* phase, char* component, char* basis, char* units, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len,
             size_t phase_len, size_t component_len, size_t basis_len, size_t units_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().report_by_position)
      refinery_twins().report_by_position(id, column, ntray, traynos, k, pname, substream, phase, component,
                                          basis, units, values, qname, ulabel, ierr, id_len, pname_len,
                                          substream_len, phase_len, component_len, basis_len, units_len,
                                          qname_len, ulabel_len);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  const std::vector<int64_t> nodes = report_nodes(b, *column);
  if (*k < 1 || *k > static_cast<int64_t>(nodes.size())) return;
  const DatasetAnswer a =
      lookup_node(b.path(report_section(b, *column)), nodes[static_cast<size_t>(*k - 1)]);
  if (!a.found()) return;
  const TextField unit_word(units, units_len);
  for (TextField f : {TextField(pname, pname_len), TextField(substream, substream_len), TextField(phase, phase_len),
                      TextField(component, component_len), TextField(basis, basis_len), unit_word})
    f.fill_blank();
  describe_profile(a, TextField(pname, pname_len), TextField(substream, substream_len), TextField(phase, phase_len),
                   TextField(component, component_len), TextField(basis, basis_len));
  const int64_t ucol = a.find_qualifier("UNITS");
  if (ucol > 0) unit_word.assign(a.qualifier_text(ucol, 1).substr(0, 4));
  read_report(a, *ntray, traynos, values, TextField(qname, qname_len), TextField(ulabel, ulabel_len));
  *ierr = 0;
}
}  // namespace flowsum

extern "C" {

void tktrep_(const char* id, int64_t* column, int64_t* ntray, int64_t* nprop, size_t id_len) {
  reports_tktrep(false, id, column, ntray, nprop, id_len);
}

void tktprp_(const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, const char* pname,
             const char* substream, const char* phase, const char* component, const char* basis,
             const char* units, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t units_len, size_t qname_len, size_t ulabel_len) {
  reports_tktprp(false, id, column, ntray, traynos, pname, substream, phase, component, basis, units, values, qname, ulabel, ierr, id_len, pname_len, substream_len, phase_len, component_len, basis_len, units_len, qname_len, ulabel_len);
}

void tkntpr_(const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, int64_t* k, char* pname,
             char* substream, char* phase, char* component, char* basis, char* units, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len,
             size_t phase_len, size_t component_len, size_t basis_len, size_t units_len, size_t qname_len,
             size_t ulabel_len) {
  reports_tkntpr(false, id, column, ntray, traynos, k, pname, substream, phase, component, basis, units, values, qname, ulabel, ierr, id_len, pname_len, substream_len, phase_len, component_len, basis_len, units_len, qname_len, ulabel_len);
}

void tktray_(const char* id, int64_t* column, int64_t* n, char* qnames, char* qvalues, int64_t* utype,
             double* values, size_t id_len, size_t qnames_len, size_t qvalues_len) {
  FreePointerGuard guard;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b || b.is("CRUDEUNI")) return;
  const std::vector<int64_t> nodes = report_nodes(b, *column);
  if (nodes.empty()) return;
  const DatasetAnswer a = lookup_node(b.path(report_section(b, *column)), nodes.front());
  const size_t room = static_cast<size_t>(std::max<int64_t>(*n, 0));
  for (size_t i = 0; i < room; ++i) {
    text_element(qnames, qnames_len, i).fill_blank();
    text_element(qvalues, qvalues_len, i).fill_blank();
  }
  if (!a.found()) return;
  size_t e = 0;
  for (int64_t i = 1; i <= a.nqual && e < room; ++i) {
    const std::string name = a.qualifier_name(i);
    if (padded_equal(name, "TRAY_NO") || padded_equal(name, "PROPERTIES") || padded_equal(name, "N_COL")) continue;
    text_element(qnames, qnames_len, e).assign(name);
    text_element(qvalues, qvalues_len, e++).assign(a.qualifier_text(i, 1));
  }
  *utype = a.unit_type(1);
  StoredConverter convert;
  for (int64_t j = 1; j <= std::min<int64_t>(a.ndata, static_cast<int64_t>(room)); ++j)
    values[j - 1] = a.unit_type(j) != 0 ? convert(a.unit_type(j), a.unit_code(j), a.real_value(j)).value
                                        : a.real_value(j);
}

void tktrnr_(const char* id, int64_t* nres, int64_t* ncprop, int64_t* ncomp, size_t id_len) {
  FreePointerGuard guard;
  *nres = *ncprop = *ncomp = 0;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b.is("TRAYCOL")) return;
  *nres = lookup_dataset(b.path("TREB_RES")).ndata;
  const std::vector<int64_t> xxy = section_nodes(b, "TREB_XXY");
  if (xxy.empty()) return;
  const ProfileElements e = node_elements(xxy.front());
  *ncprop = e.properties;
  *ncomp = e.components;
}

void tktrrs_(const char* id, int64_t* nres, int64_t* ncprop, int64_t* ncomp, char* pnames, double* values,
             char* qnames, char* ulabels, char* cpnames, char* compids, double* cvalues, int64_t* ierr,
             size_t id_len, size_t pnames_len, size_t qnames_len, size_t ulabels_len, size_t cpnames_len,
             size_t compids_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b.is("TRAYCOL")) return;
  {
    const DatasetAnswer a = lookup_dataset(b.path("TREB_RES"));
    if (!a.found()) {
      *ierr = 3;
      return;
    }
    *ierr = 2;
    const int64_t pcol = a.find_qualifier("PROPERTIES");
    // The scalar results stop at the caller's count.
    const int64_t n = std::min<int64_t>(a.ndata, std::max<int64_t>(*nres, 0));
    for (int64_t j = 1; j <= n; ++j) {
      const size_t row = static_cast<size_t>(j - 1);
      if (pcol > 0) text_element(pnames, pnames_len, row).assign(property_name(a.qualifier_int(pcol, j)));
      const int64_t ut = a.unit_type(j);
      text_element(qnames, qnames_len, row).fill_blank();
      text_element(ulabels, ulabels_len, row).fill_blank();
      if (a.type(j) == value_type::kInteger) {
        values[row] = static_cast<double>(a.int_value(j));
      } else if (ut != 0) {
        const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
        values[row] = c.value;
        text_element(qnames, qnames_len, row).assign(unit_type_name(ut));
        text_element(ulabels, ulabels_len, row).assign(c.label_view());
      } else {
        values[row] = a.real_value(j);
      }
    }
  }
  const DatasetAnswer x = lookup_dataset(b.path("TREB_XXY"));
  if (!x.found()) {
    *ierr = 0;
    return;
  }
  const int64_t np = std::max<int64_t>(*ncprop, 0), nc = std::max<int64_t>(*ncomp, 0);
  // A composition part of another size than the caller's stays unread.
  if (x.ndata != np * nc) return;
  *ierr = 4;
  const int64_t pcol = x.find_qualifier("PROPERTIES"), ccol = x.find_qualifier("COMPONENTS");
  std::unordered_map<int64_t, int64_t> prop_at;
  std::unordered_map<std::string, int64_t> comp_at;
  StoredConverter convert;
  for (int64_t j = 1; j <= x.ndata; ++j) {
    const int64_t number = pcol > 0 ? x.qualifier_int(pcol, j) : 0;
    const auto [p, new_prop] = prop_at.try_emplace(number, static_cast<int64_t>(prop_at.size()) + 1);
    if (new_prop && p->second <= np)
      text_element(cpnames, cpnames_len, static_cast<size_t>(p->second - 1)).assign(property_name(number));
    const std::string comp = ccol > 0 ? x.qualifier_text(ccol, j) : std::string(8, ' ');
    const auto [c, new_comp] = comp_at.try_emplace(comp, static_cast<int64_t>(comp_at.size()) + 1);
    if (new_comp && c->second <= nc)
      text_element(compids, compids_len, static_cast<size_t>(c->second - 1)).assign(comp);
    if (p->second > np || c->second > nc) continue;
    const int64_t ut = x.unit_type(j);
    cvalues[(c->second - 1) + nc * (p->second - 1)] =
        ut != 0 ? convert(ut, x.unit_code(j), x.real_value(j)).value : x.real_value(j);
  }
  *ierr = 0;
}

}  // extern "C"
