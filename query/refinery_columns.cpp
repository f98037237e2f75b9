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
#include <unordered_map>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "query/column_sections.hpp"
#include "query/refinery_twins.hpp"
#include "query/tray_reports.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

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

// The qualifier of a section's data set of the named property (one
// property per data set); empty when the name is unknown or no data set of
// the section carries it. The choice reads each data set's definition once
// per load rather than evaluating every sibling's qualifiers per call.
std::string property_qualifier(const ProfileBlock& b, std::string_view section, std::string_view name) {
  const int64_t number = property_number(name.substr(0, std::min<size_t>(name.size(), 12)));
  const int64_t node = number != 0 ? choose_profile_node(b, section, number, 0) : 0;
  return node != 0 ? node_qualifier(node) : std::string();
}


// The first data set of a refinery section (not found when absent).
DatasetAnswer first_dataset(const ProfileBlock& b, std::string_view section) {
  const int64_t node = b ? column_node(b, section, 0) : 0;
  if (node == 0) return {};
  return lookup_node(b.path(section), node);
}

// The distinct values of a qualifier column in order of first appearance,
// each with its rows (1-based).
struct Group {
  std::string value;
  std::vector<int64_t> rows;
};
std::vector<Group> groups(const DatasetAnswer& a, std::string_view qualifier) {
  std::vector<Group> out;
  const int64_t col = a.found() ? a.find_qualifier(qualifier) : 0;
  if (col == 0) return out;
  std::unordered_map<std::string, size_t> at;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const std::string v = a.qualifier_text(col, j);
    auto [it, fresh] = at.try_emplace(v, out.size());
    if (fresh) out.push_back({v, {}});
    out[it->second].rows.push_back(j);
  }
  return out;
}

// Result rows into the caller's lists, at most n of them: property names
// (from the "PROPERTIES" column), kinds (when asked), values converted into
// the caller's units, quantity names and unit labels.
struct ResultLists {
  char* names;
  int64_t* kinds;
  double* values;
  char* qnames;
  char* ulabels;
  size_t names_len, qnames_len, ulabels_len;
};
// The rows land at list positions from `from` on; returns the position
// after the last one written.
size_t write_results(const DatasetAnswer& a, const std::vector<int64_t>& rows, int64_t n, const ResultLists& out,
                     size_t from = 0) {
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  const size_t room = static_cast<size_t>(std::max<int64_t>(n, 0));
  const size_t end = from >= room ? from : std::min(room, from + rows.size());
  StoredConverter convert;
  for (size_t k = from; k < end; ++k) {
    const int64_t j = rows[k - from];
    text_element(out.names, out.names_len, k).assign(pcol > 0 ? property_name(a.qualifier_int(pcol, j)) : "");
    const int64_t vt = a.type(j), t = a.unit_type(j);
    if (out.kinds) out.kinds[k] = vt == value_type::kInteger ? 1 : vt == value_type::kReal ? 2 : 3;
    const TextField q = text_element(out.qnames, out.qnames_len, k), label = text_element(out.ulabels, out.ulabels_len, k);
    q.assign(t != 0 ? unit_type_name(t) : "");
    label.fill_blank();
    if (vt == value_type::kInteger) {
      out.values[k] = static_cast<double>(a.int_value(j));
    } else if (t == 0 || vt != value_type::kReal) {
      out.values[k] = vt == value_type::kReal ? a.real_value(j) : 0.0;
    } else {
      const ConvertedValue c = convert(t, a.unit_code(j), a.real_value(j));
      out.values[k] = c.value;
      label.assign(c.label_view());
    }
  }
  return end;
}

std::vector<int64_t> all_rows(const DatasetAnswer& a) {
  std::vector<int64_t> r;
  for (int64_t j = 1; j <= std::max<int64_t>(a.ndata, 0); ++j) r.push_back(j);
  return r;
}

// The rows of a column's summary results: all of "INFO_M" for the main
// column, the rows of "INFO_S" whose "N_STRIP" is the stripper's number.
struct SummaryRows {
  DatasetAnswer data;
  std::vector<int64_t> rows;
};
SummaryRows summary_rows(const ProfileBlock& b, int64_t column) {
  SummaryRows s;
  if (!b || column < 1) return s;
  s.data = first_dataset(b, column == 1 ? "INFO_M" : "INFO_S");
  if (!s.data.found()) return s;
  if (column == 1) {
    s.rows = all_rows(s.data);
    return s;
  }
  const int64_t col = s.data.find_qualifier("N_STRIP");
  for (int64_t j = 1; col > 0 && j <= s.data.ndata; ++j) {
    const std::string text = s.data.qualifier_text(col, j);
    std::string_view digits = TextField::trim_right(text);
    digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of(' ')));
    if (read_unsigned(digits).value == column - 1) s.rows.push_back(j);
  }
  return s;
}

// The petroleum property section of a basis and column; empty for any
// other basis.
std::string petroleum_section(std::string_view basis, int64_t column) {
  static constexpr std::array<std::array<std::string_view, 3>, 3> kBases{
      {{"MOLE", "PPL_M", "PPLS_"}, {"MASS", "PPS_M", "PPSS_"}, {"SVOL", "PPV_M", "PPVS_"}}};
  const std::string b = padded(basis.substr(0, std::min<size_t>(basis.size(), 4)), 4);
  for (const auto& k : kBases)
    if (b == k[0]) return column == 1 ? std::string(k[1]) : numbered_section(k[2], column - 1);
  return {};
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
    qualifier = property_qualifier(b, section, name);
    if (qualifier.empty()) {
      *ierr = 3;
      return;
    }
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


// ---- The refinery column's own results ----

void tknpet_(const char* id, int64_t* column, int64_t* n1, int64_t* n2, int64_t* n3, int64_t* n4, int64_t* n5,
             int64_t* n6, int64_t* n7, int64_t* n8, int64_t* n9, int64_t* n10, int64_t* n11, int64_t* n12,
             size_t id_len) {
  FreePointerGuard guard;
  // Every count starts at 0: an unknown block, another model or a column
  // below 1 leaves no stale count behind.
  for (int64_t* n : {n1, n2, n3, n4, n5, n6, n7, n8, n9, n10, n11, n12}) *n = 0;
  const ProfileBlock b = crude_block(id, id_len);
  if (!b || *column < 1) return;
  const int64_t c = *column;
  const DatasetAnswer info = first_dataset(b, c == 1 ? "INFO_M" : "INFO_S");
  *n4 = std::max<int64_t>(info.ndata, 0);
  if (*n4 == 0) return;
  *n1 = static_cast<int64_t>(section_nodes(b, "PPL_M").size());
  *n2 = static_cast<int64_t>(section_nodes(b, "PPS_M").size());
  *n3 = static_cast<int64_t>(section_nodes(b, "PPV_M").size());
  *n5 = *n6 = *n7 = *n8 = *n9 = *n10 = 0;
  if (c >= 2) {
    const std::string msco = numbered_section("MSCO_", c - 1);
    *n11 = std::max<int64_t>(first_dataset(b, msco).ndata, 0);
    *n12 = static_cast<int64_t>(section_nodes(b, msco).size());
    return;
  }
  // Counts and values per member: the members are the distinct values of
  // the keying qualifier column.
  auto per = [&](std::string_view section, std::string_view key, int64_t* count, int64_t* each) {
    const DatasetAnswer a = first_dataset(b, section);
    *count = static_cast<int64_t>(groups(a, key).size());
    *each = *count > 0 ? a.ndata / *count : 0;
  };
  per("PUMPAROU", "PUMPAROUND", n5, n6);
  per("M-FCONNE", "M-FCONNECT", n7, n8);
  if (*n7 > 0) *n8 += 3;
  const DatasetAnswer furnace = first_dataset(b, "FURN_XXY");
  *n9 = static_cast<int64_t>(groups(furnace, "PROPERTIES").size());
  *n10 = static_cast<int64_t>(groups(furnace, "COMPONENTS").size());
  *n11 = 0;
}

void tkfrcm_(const char* id, int64_t* nprop, int64_t* ncomp, char* pnames, char* compids, double* values,
             char* qnames, char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t compids_len,
             size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const DatasetAnswer a = first_dataset(crude_block(id, id_len), "FURN_XXY");
  const std::vector<Group> props = groups(a, "PROPERTIES"), comps = groups(a, "COMPONENTS");
  if (props.empty() || comps.empty()) return;
  const int64_t np = std::max<int64_t>(*nprop, 0), nc = std::max<int64_t>(*ncomp, 0);
  const int64_t pcol = a.find_qualifier("PROPERTIES"), ccol = a.find_qualifier("COMPONENTS");
  std::unordered_map<std::string, int64_t> comp_at;
  for (size_t k = 0; k < comps.size(); ++k) {
    comp_at[comps[k].value] = static_cast<int64_t>(k);
    if (static_cast<int64_t>(k) < nc) text_element(compids, compids_len, k).assign(TextField::trim_right(comps[k].value));
  }
  StoredConverter convert;
  for (size_t p = 0; p < props.size() && static_cast<int64_t>(p) < np; ++p) {
    const int64_t first = props[p].rows.front(), t = a.unit_type(first);
    text_element(pnames, pnames_len, p).assign(property_name(a.qualifier_int(pcol, first)));
    text_element(qnames, qnames_len, p).assign(t != 0 ? unit_type_name(t) : "");
    const TextField label = text_element(ulabels, ulabels_len, p);
    label.fill_blank();
    for (int64_t j : props[p].rows) {
      const int64_t k = comp_at[a.qualifier_text(ccol, j)];
      if (k >= nc) continue;
      double v = a.real_value(j);
      if (a.unit_type(j) != 0) {
        const ConvertedValue c = convert(a.unit_type(j), a.unit_code(j), v);
        v = c.value;
        label.assign(c.label_view());
      }
      values[static_cast<size_t>(p) * static_cast<size_t>(nc) + static_cast<size_t>(k)] = v;
    }
  }
  *ierr = 0;
}

void tkptpp_(const char* id, int64_t* pumparound, int64_t* nres, char* rnames, double* values, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t rnames_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const DatasetAnswer a = first_dataset(crude_block(id, id_len), "PUMPAROU");
  const std::vector<Group> g = groups(a, "PUMPAROUND");
  if (*pumparound < 1 || *pumparound > static_cast<int64_t>(g.size())) return;
  write_results(a, g[static_cast<size_t>(*pumparound - 1)].rows, *nres,
                {rnames, nullptr, values, qnames, ulabels, rnames_len, qnames_len, ulabels_len});
  *ierr = 0;
}

void tkptfr_(const char* id, int64_t* icon, int64_t* nres, char* rnames, double* values, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t rnames_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  const ResultLists out{rnames, nullptr, values, qnames, ulabels, rnames_len, qnames_len, ulabels_len};
  std::string connection;
  size_t at = 0;
  {
    const DatasetAnswer a = first_dataset(b, "M-FCONNE");
    const std::vector<Group> g = groups(a, "M-FCONNECT");
    if (*icon < 1 || *icon > static_cast<int64_t>(g.size())) return;
    const Group& mine = g[static_cast<size_t>(*icon - 1)];
    connection = mine.value;
    at = write_results(a, mine.rows, *nres, out);
  }
  *ierr = 0;
  // The connection's further values follow from "MF_CON" (read after
  // "M-FCONNE", whose values the lookup no longer holds): its rows of the
  // same "M-FCONNECT" value, wherever they stand in "MF_CON".
  const DatasetAnswer m = first_dataset(b, "MF_CON");
  for (const Group& g : groups(m, "M-FCONNECT"))
    if (g.value == connection) write_results(m, g.rows, *nres, out, at);
}

void tkptcn_(const char* id, int64_t* column, int64_t* nres, char* rnames, double* values, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t rnames_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  if (!b || *column < 1) return;
  const ResultLists out{rnames, nullptr, values, qnames, ulabels, rnames_len, qnames_len, ulabels_len};
  // The main column: every feed and product connection's values in stored
  // order (TKNPET's N7 connections of N8 - 3 values).
  if (*column == 1) {
    const DatasetAnswer a = first_dataset(b, "M-FCONNE");
    if (!a.found()) return;
    write_results(a, all_rows(a), *nres, out);
    *ierr = 0;
    return;
  }
  // Stripper s: its connections to the main column, the "MSCO_"s data sets
  // one after another (TKNPET's N12 data sets of N11 values). They share
  // one loading sequence as a rule, so each is read by its own record: its
  // qualifier would find the first of them every time.
  const std::string section = numbered_section("MSCO_", *column - 1);
  size_t at = 0;
  for (int64_t node : section_nodes(b, section)) {
    DataRecord record;
    if (!node_record(node, record)) continue;
    const DatasetAnswer a = lookup_dataset_record(b.path(section), record);
    if (!a.found()) continue;
    at = write_results(a, all_rows(a), *nres, out, at);
    *ierr = 0;
  }
}

void tkptrs_(const char* id, int64_t* column, int64_t* nres, char* rnames, int64_t* kinds, double* values,
             char* qnames, char* ulabels, int64_t* ierr, size_t id_len, size_t rnames_len, size_t qnames_len,
             size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const SummaryRows s = summary_rows(crude_block(id, id_len), *column);
  if (s.rows.empty()) return;
  write_results(s.data, s.rows, *nres, {rnames, kinds, values, qnames, ulabels, rnames_len, qnames_len, ulabels_len});
  *ierr = 0;
}

void tkptpr_(const char* id, const char* pname, int64_t* column, int64_t* npoints, const char* basis,
             double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len,
             size_t basis_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  const std::string section = petroleum_section(input(basis, basis_len), *column);
  if (!b || *column < 1 || section.empty()) return;
  const std::string qualifier = property_qualifier(b, section, input(pname, pname_len));
  if (qualifier.empty()) {
    *ierr = 3;
    return;
  }
  *ierr = read_point_profile(b.path(section), qualifier, 1, *npoints, values,
                             {TextField(qname, qname_len), TextField(ulabel, ulabel_len)})
              ? 0
              : 3;
}

void tkptad_(const char* id, int64_t* column, int64_t* nprop, char* pnames, char* bases, int64_t* ierr,
             size_t id_len, size_t pnames_len, size_t bases_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = crude_block(id, id_len);
  if (!b || *column < 1) return;
  const int64_t room = std::max<int64_t>(*nprop, 0);
  int64_t k = 0;
  for (std::string_view basis : {"MOLE", "MASS", "SVOL"})
    for (int64_t node : section_nodes(b, petroleum_section(basis, *column))) {
      if (k >= room) break;
      text_element(pnames, pnames_len, static_cast<size_t>(k)).assign(property_name(node_elements(node).property));
      text_element(bases, bases_len, static_cast<size_t>(k++)).assign(basis);
    }
  *ierr = k > 0 ? 0 : 1;
}

}  // extern "C"
