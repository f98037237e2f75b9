// Refinery columns (model "CRUDEUNI"): a main column (column 1) with side
// strippers (column c is stripper c - 1). Their tray profiles lie in
// sections of their own: per-tray properties in "HYD_M" and "HYDS_"s, the
// compositions in the "_M" sections of the main column and the "_S"
// sections shared by the strippers, whose data sets are told apart by
// their "N_COL" element (the stripper number). The general column routines
// hand refinery blocks to the routines here, through query/refinery_twins.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "query/column_sections.hpp"
#include "query/refinery_twins.hpp"
#include "query/tray_reports.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"

namespace flowsum {
namespace {

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

// The composition properties in listing order, with their sections.
struct Composition {
  std::string_view name, main, stripper;
};
constexpr std::array<Composition, 6> kCompositions{{{"Y", "TRAY_Y_M", "TRAY_Y_S"},
                                                    {"X", "TRAY_X_M", "TRAY_X_S"},
                                                    {"X1", "TRAY_X1_M", "TRAY_X1_S"},
                                                    {"K", "TRAY_K_M", "TRAY_K_S"},
                                                    {"K1", "TRAY_K1_M", "TRAY_K1_S"},
                                                    {"K2", "TRAY_K2_M", "TRAY_K2_S"}}};

const Composition* composition(std::string_view name) {
  const std::string_view n = TextField::trim_right(name.substr(0, std::min<size_t>(name.size(), 12)));
  for (const Composition& c : kCompositions)
    if (n == c.name) return &c;
  return nullptr;
}

bool hydraulic(std::string_view name) { return name.substr(0, std::min<size_t>(name.size(), 4)) == "HYD_"; }

// A refinery block, or an empty one for any other block.
ProfileBlock crude_block(const char* id, size_t id_len) {
  ProfileBlock b = profile_block(input(id, id_len));
  if (!b.is("CRUDEUNI")) return {};
  return b;
}

// Column c's per-tray section ("HYD_M", "HYDS_"(c - 1)); empty below 1.
std::string tray_section(int64_t column) {
  return column == 1 ? std::string("HYD_M") : numbered_section("HYDS_", column - 1);
}

// The data set of a composition for column c: the main section's first,
// or the stripper section's data set of "N_COL" = c - 1. 0 when absent.
struct CompositionNode {
  std::string section;
  int64_t node = 0;
};
CompositionNode composition_node(const ProfileBlock& b, const Composition& c, int64_t column) {
  if (column < 1) return {};
  if (column == 1) return {std::string(c.main), column_node(b, c.main, 0)};
  return {std::string(c.stripper), column_node(b, c.stripper, column - 1)};
}

struct RefineryProfile {
  bool found = false;
  int64_t trays = 0, components = 0;
  std::vector<std::pair<std::string, int64_t>> properties;  // name, kind
};

RefineryProfile refinery_profile(const ProfileBlock& b, int64_t column) {
  RefineryProfile p;
  if (!b || column < 1) return p;
  bool first = true;
  for (int64_t node : section_nodes(b, tray_section(column))) {
    const ProfileElements e = node_elements(node);
    if (first) p.trays = e.points;
    first = false;
    p.properties.push_back({property_name(e.property), 1});
  }
  bool counted = false;
  for (const Composition& c : kCompositions) {
    const CompositionNode n = composition_node(b, c, column);
    if (n.node == 0) continue;
    if (!counted) p.components = node_elements(n.node).components;
    counted = true;
    p.properties.push_back({std::string(c.name), 2});
  }
  p.found = !p.properties.empty();
  return p;
}

std::vector<WantedQualifier> property_key(std::string_view name) {
  return {{padded("PROPERTIES", 16), padded(name.substr(0, std::min<size_t>(name.size(), 12)), 16)}};
}

}  // namespace
}  // namespace flowsum

using namespace flowsum;

extern "C" {

void tkpetf_(const char* id, int64_t* column, int64_t* ntray, int64_t* ncomp, int64_t* nprop, size_t id_len) {
  FreePointerGuard guard;
  *ntray = *ncomp = *nprop = 0;
  const RefineryProfile p = refinery_profile(crude_block(id, id_len), *column);
  *ntray = p.trays;
  *ncomp = p.components;
  *nprop = static_cast<int64_t>(p.properties.size());
}

void tkpetp_(const char* id, int64_t* column, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr,
             size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const RefineryProfile p = refinery_profile(crude_block(id, id_len), *column);
  if (!p.found) return;
  const size_t n = std::min<size_t>(p.properties.size(), static_cast<size_t>(std::max<int64_t>(*nprop, 0)));
  for (size_t i = 0; i < n; ++i) {
    kinds[i] = p.properties[i].second;
    text_element(names, names_len, i).assign(p.properties[i].first);
  }
  *ierr = 0;
}

void tkpet1_(const char* id, const char* pname, int64_t* column, int64_t* ntray, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  if (!b || *column < 1) return;
  const std::string_view name = input(pname, pname_len);
  const Composition* c = composition(name);
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  std::string section, qualifier;
  if (hydraulic(name)) {
    section = tray_section(*column);
    const DatasetChoice choice = find_dataset(b.path(section), property_key(name));
    if (choice.ierr != 0) {
      *ierr = 3;
      return;
    }
    qualifier = choice.qualifier;
  } else if (c && *column == 1) {
    // The composition's first values, as a per-tray profile.
    const CompositionNode n = composition_node(b, *c, 1);
    if (n.node == 0) {
      *ierr = 3;
      return;
    }
    section = n.section;
    qualifier = node_qualifier(n.node);
  } else {
    return;
  }
  *ierr = read_point_profile(b.path(section), qualifier, 1, *ntray, values, units) ? 0 : 3;
}

void tkpet2_(const char* id, const char* pname, int64_t* column, int64_t* ld, char* compids, int64_t* ntray,
             double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len,
             size_t compids_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  units.quantity.fill_blank();
  units.label.fill_blank();
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  const Composition* c = composition(input(pname, pname_len));
  if (!b || !c || *column < 1) return;
  const CompositionNode n = composition_node(b, *c, *column);
  if (n.node == 0) {
    *ierr = 3;
    return;
  }
  // Values land inside the caller's (leading dimension, trays) array only.
  *ierr = read_component_profile(b.path(n.section), node_qualifier(n.node), 1, -1, std::max<int64_t>(*ld, 0),
                                 std::max<int64_t>(*ntray, 0), compids, compids_len, values, units)
              ? 0
              : 3;
}

// Tray reports and sized or rated sections: the general routines' bodies
// serve the refinery block.
void tkptre_(const char* id, int64_t* column, int64_t* ntray, int64_t* nprop, size_t id_len) {
  reports_tktrep(true, id, column, ntray, nprop, id_len);
}

void tkptpy_(const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, const char* pname, const char* substream, const char* phase, const char* component, const char* basis, const char* units, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len, size_t units_len, size_t qname_len, size_t ulabel_len) {
  reports_tktprp(true, id, column, ntray, traynos, pname, substream, phase, component, basis, units, values, qname, ulabel, ierr, id_len, pname_len, substream_len, phase_len, component_len, basis_len, units_len, qname_len, ulabel_len);
}

void tkptnp_(const char* id, int64_t* column, int64_t* ntray, int64_t* traynos, int64_t* k, char* pname, char* substream, char* phase, char* component, char* basis, char* units, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len, size_t units_len, size_t qname_len, size_t ulabel_len) {
  reports_tkntpr(true, id, column, ntray, traynos, k, pname, substream, phase, component, basis, units, values, qname, ulabel, ierr, id_len, pname_len, substream_len, phase_len, component_len, basis_len, units_len, qname_len, ulabel_len);
}

void tkptns_(const char* id, int64_t* column, int64_t* nsec, int64_t* ierr, size_t id_len) {
  sections_tknsec(true, id, column, nsec, ierr, id_len);
}

void tkptls_(const char* id, int64_t* column, int64_t* n, int64_t* numbers, char* types, int64_t* ierr, size_t id_len, size_t types_len) {
  sections_tklsec(true, id, column, n, numbers, types, ierr, id_len, types_len);
}

void tkptss_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints, int64_t* nprop, int64_t* nres, int64_t* ierr, size_t id_len, size_t type_len) {
  sections_tkssec(true, id, column, type, number, npoints, nprop, nres, ierr, id_len, type_len);
}

void tkptps_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* nprop, char* pnames, char* parts, int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t parts_len) {
  sections_tkpsec(true, id, column, type, number, nprop, pnames, parts, ierr, id_len, type_len, pnames_len, parts_len);
}

void tkptsc_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* n, char* pnames, int64_t* kinds, int64_t* ivalues, char* tvalues, double* rvalues, char* qnames, char* ulabels, int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t tvalues_len, size_t qnames_len, size_t ulabels_len) {
  sections_tkscrs(true, id, column, type, number, n, pnames, kinds, ivalues, tvalues, rvalues, qnames, ulabels, ierr, id_len, type_len, pnames_len, tvalues_len, qnames_len, ulabels_len);
}

void tkptsr_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints, int64_t* traynos, const char* pname, const char* part, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t type_len, size_t pname_len, size_t part_len, size_t qname_len, size_t ulabel_len) {
  sections_tkscpr(true, id, column, type, number, npoints, traynos, pname, part, values, qname, ulabel, ierr, id_len, type_len, pname_len, part_len, qname_len, ulabel_len);
}

}  // extern "C"
