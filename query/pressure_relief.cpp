// Pressure-relief scenarios and profiles.
#include "query/pressure_relief.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/profile_readers.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

ScenarioText scenario_text(int64_t property, int64_t code) {
  switch (property) {
    case 872:
      return {code != 0 ? "Does not meet code requirements" : "Does meet code requirements", 4};
    case 873:
      return {code == 1 ? "Code" : code == 2 ? "Actual" : "Both", 3};
    case 874: {
      constexpr std::array<std::string_view, 4> devices{"PSV", "PSD", "ERV", "Pipe"};
      return {code >= 1 && code <= 4 ? devices[static_cast<size_t>(code - 1)] : "PSV-PSD", 3};
    }
    case 875: {
      constexpr std::array<std::string_view, 5> scenarios{"Fire", "Heat-Input", "Over-Pump", "Line-Pres",
                                                          "Broken-Pipe"};
      return {code >= 1 && code <= 5 ? scenarios[static_cast<size_t>(code - 1)] : "Flow-Spec", 3};
    }
    default:
      return {};
  }
}

namespace {

constexpr std::string_view kPointKeyword = "NPOINT";

// A relief object found in the relief table, and the paths to its sections.
struct Relief {
  std::string id;
  bool found = false;
  explicit operator bool() const { return found; }
  std::array<std::string_view, 3> path(std::string_view section) const { return {"PRES-RELIEF", id, section}; }
};

Relief relief(std::string_view id) {
  Relief r;
  r.id = std::string(TextField::trim_right(id.substr(0, std::min<size_t>(id.size(), kIdentifierChars))));
  r.found = !r.id.empty() && find_relief(r.id) > 0;
  return r;
}

std::vector<int64_t> nodes_of(const Relief& r, std::string_view section) {
  if (!r) return {};
  const auto path = r.path(section);
  int64_t node = 0;
  if (TreeNodes::loaded().find(path, node) != 0 || node == 0) return {};
  return equal_siblings(node, section, true);
}

// A data set of a section chosen by its "PROPERTIES" element; 0 when none.
int64_t property_node(const Relief& r, std::string_view section, std::string_view pname) {
  const int64_t number = property_number(pname.substr(0, std::min<size_t>(pname.size(), 12)));
  if (number == 0) return 0;
  for (int64_t node : nodes_of(r, section))
    if (node_elements(node, kPointKeyword).property == number) return node;
  return 0;
}

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }
size_t count_of(int64_t n) { return static_cast<size_t>(std::max<int64_t>(n, 0)); }

// ---- Scenario results ----

struct ScenarioFields {
  char *names, *tvalues, *messages, *qnames, *ulabels;
  int64_t *kinds, *ivalues;
  double* rvalues;
  size_t names_len, tvalues_len, messages_len, qnames_len, ulabels_len;
};

// Reads at most n results of a scenario section into the caller's arrays.
// False when the object or the data set is unknown.
bool scenario_results(std::string_view id, std::string_view section, int64_t n, const ScenarioFields& f) {
  const Relief r = relief(id);
  if (!r) return false;
  const auto path = r.path(section);
  const DatasetAnswer a = lookup_dataset(path);
  if (!a.found()) return false;
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  const int64_t rows = std::min<int64_t>(a.ndata, std::max<int64_t>(n, 0));
  StoredConverter convert;
  for (int64_t j = 1; j <= rows; ++j) {
    const size_t i = static_cast<size_t>(j - 1);
    const int64_t number = pcol > 0 ? a.qualifier_int(pcol, j) : 0;
    text_element(f.names, f.names_len, i).assign(property_name(number));
    const TextField text = text_element(f.tvalues, f.tvalues_len, i), message = text_element(f.messages, f.messages_len, i);
    const TextField qname = text_element(f.qnames, f.qnames_len, i), label = text_element(f.ulabels, f.ulabels_len, i);
    text.fill_blank();
    message.fill_blank();
    qname.fill_blank();
    label.fill_blank();
    const int64_t t = a.type(j);
    f.kinds[i] = t == value_type::kInteger || t == value_type::kReal ? t : 3;
    f.ivalues[i] = a.int_value(j);
    f.rvalues[i] = a.real_value(j);
    if (t == value_type::kReal && a.unit_type(j) != 0) {
      const ConvertedValue c = convert(a.unit_type(j), a.unit_code(j), a.real_value(j));
      f.rvalues[i] = c.value;
      qname.assign(unit_type_name(a.unit_type(j)));
      label.assign(c.label_view());
    } else if (f.kinds[i] == 3) {
      text.assign(a.text_value(j));
    }
    if (t == value_type::kInteger) {
      const ScenarioText s = scenario_text(number, a.int_value(j));
      if (s.kind == 4) message.assign(s.text);
      if (s.kind == 3) text.assign(s.text);
      if (s.kind != 0) f.kinds[i] = s.kind;
    }
  }
  return true;
}

// ---- Vent profiles ----

struct VentSection {
  std::string_view section, name;
  int64_t kind;
};
constexpr std::array<VentSection, 5> kVentSections{{{"PRVTP", "B_PRES", 1},
                                                    {"PRVTT", "B_TEMP", 1},
                                                    {"PRVTV", "B_VFRAC", 1},
                                                    {"PRVTR", "DENSITY", 1},
                                                    {"PRVTZ", "B_MOLEFRAC", 2}}};

const VentSection* vent_section(std::string_view pname) {
  for (const VentSection& v : kVentSections)
    if (padded_equal(pname.substr(0, std::min<size_t>(pname.size(), 12)), v.name)) return &v;
  return nullptr;
}

int64_t point_count(const Relief& r, std::string_view section) {
  const auto path = r.path(section);
  return std::max<int64_t>(lookup_dataset(path).ndata, 0);
}

// The sets of one vent section into values(npoint, nsets), component ids
// (one per set) when compids is given. Error flag as TKPVR1's.
int64_t vent_sets(std::string_view id, std::string_view pname, int64_t nsets, int64_t npoint, char* compids,
                  size_t compids_len, double* values, ProfileUnits units) {
  const Relief r = relief(id);
  if (!r) return 1;
  const VentSection* v = vent_section(pname);
  if (v == nullptr || (compids != nullptr) != (v->kind == 2)) return 3;
  const std::vector<int64_t> nodes = nodes_of(r, v->section);
  const auto path = r.path(v->section);
  const size_t sets = std::min(nodes.size(), count_of(nsets));
  const int64_t points = std::max<int64_t>(npoint, 0);
  for (size_t s = 0; s < sets; ++s) {
    const std::string qual = node_qualifier(nodes[s]);
    read_point_profile(path, qual, 1, points, values + s * count_of(points), units);
    if (compids == nullptr) continue;
    FreePointerGuard guard;
    const DatasetAnswer a = lookup_dataset(path, qual);
    const int64_t c = a.find_qualifier("COMPONENTS");
    text_element(compids, compids_len, s).assign(c > 0 && a.found() ? a.qualifier_text(c, 1) : std::string());
  }
  return nodes.empty() ? 3 : 0;
}

// ---- Vessel-side profiles (PRVL, PRSS, PRAC) ----

struct Listed {
  std::string name;
  int64_t kind;
  std::string section;
};
struct ReliefProfile {
  bool found = false;
  std::string substream;
  int64_t points = 0, components = 0;
  std::vector<Listed> properties;
};

// A profile of per-point data sets in `points` and composition data sets
// in `compositions`. A composition data set named "TIME..." is a time axis
// and is not listed.
ReliefProfile relief_profile(const Relief& r, std::string_view points, const std::vector<std::string>& compositions) {
  ReliefProfile p;
  for (int64_t node : nodes_of(r, points)) {
    const ProfileElements e = node_elements(node, kPointKeyword);
    if (!p.found) p.points = e.points;
    if (p.substream.empty()) p.substream = e.substream;
    p.found = true;
    p.properties.push_back({property_name(e.property), 1, std::string(points)});
  }
  bool counted = false;
  for (const std::string& section : compositions)
    for (int64_t node : nodes_of(r, section)) {
      const ProfileElements e = node_elements(node, kPointKeyword);
      const std::string name = property_name(e.property);
      if (name.substr(0, 4) == "TIME") continue;
      if (p.substream.empty()) p.substream = e.substream;
      if (!counted && e.has_components) {
        p.components = e.components;
        counted = true;
      }
      p.found = true;
      p.properties.push_back({name, 2, section});
    }
  if (p.found && p.substream.empty()) p.substream = "MIXED";
  return p;
}

// The vessel profile IPROF: the common per-point section, the substream's
// own compositions PRVLM_k, and for the default substream PRVLX, PRVLY, PRVLZ.
ReliefProfile vessel_profile(const Relief& r, int64_t iprof) {
  if (!r || iprof < 1 || iprof > 9) return {};
  const std::string own = numbered_section("PRVLM_", iprof);
  std::string sub;
  for (int64_t node : nodes_of(r, own))
    if (sub.empty()) sub = node_elements(node, kPointKeyword).substream;
  if (iprof > 1 && nodes_of(r, own).empty()) return {};
  std::vector<std::string> comps{own};
  if (sub.empty() || sub == "MIXED") comps.insert(comps.end(), {"PRVLX", "PRVLY", "PRVLZ"});
  ReliefProfile p = relief_profile(r, "PRVLPRF", comps);
  if (!sub.empty()) p.substream = sub;
  return p;
}

void list_into(const ReliefProfile& p, int64_t n, int64_t* kinds, char* names, size_t names_len) {
  const size_t m = std::min(p.properties.size(), count_of(n));
  for (size_t i = 0; i < m; ++i) {
    kinds[i] = p.properties[i].kind;
    text_element(names, names_len, i).assign(p.properties[i].name);
  }
}

// A per-point property of a section chosen by "PROPERTIES" and the flow
// basis ("UNITS"; blank takes any). Error flag 1 unknown object, 3 absent.
int64_t basis_point_values(std::string_view id, std::string_view section, std::string_view pname,
                           std::string_view basis, int64_t npoint, double* values, ProfileUnits units) {
  const Relief r = relief(id);
  if (!r) return 1;
  const auto path = r.path(section);
  const std::array<WantedQualifier, 2> wanted{{{padded("PROPERTIES", 16), padded(pname.substr(0, std::min<size_t>(pname.size(), 12)), 16)},
                                               {padded("UNITS", 16), padded(basis.substr(0, std::min<size_t>(basis.size(), 4)), 16)}}};
  const DatasetChoice c = find_dataset(path, wanted);
  if (c.ierr != 0) return 3;
  return read_point_profile(path, c.qualifier, 1, npoint, values, units) ? 0 : 3;
}

// A composition property of the sections into values(ld, npoint).
int64_t relief_composition(std::string_view id, const std::vector<std::string>& sections, std::string_view pname,
                           int64_t ld, char* compids, size_t compids_len, int64_t npoint, double* values,
                           ProfileUnits units) {
  units.quantity.fill_blank();
  units.label.fill_blank();
  const Relief r = relief(id);
  if (!r) return 1;
  if (property_number(pname.substr(0, std::min<size_t>(pname.size(), 12))) == 0) return 2;
  for (const std::string& section : sections) {
    const int64_t node = property_node(r, section, pname);
    if (node == 0) continue;
    const auto path = r.path(section);
    return read_component_profile(path, node_qualifier(node), 1, -1, std::max<int64_t>(ld, 0),
                                  std::max<int64_t>(npoint, 0), compids, compids_len, values, units, "NPOINT")
               ? 0
               : 3;
  }
  return 3;
}

void sizes_out(const ReliefProfile& p, int64_t* npoint, int64_t* ncomp, int64_t* nprop) {
  *npoint = p.points;
  *ncomp = p.components;
  *nprop = static_cast<int64_t>(p.properties.size());
}

const std::vector<std::string> kPracCompositions{"PRACZ"};

}  // namespace
}  // namespace flowsum

using namespace flowsum;

extern "C" {

void tkpssr_(const char* id, int64_t* nres, char* names, int64_t* kinds, int64_t* ivalues, char* tvalues,
             char* messages, double* rvalues, char* qnames, char* ulabels, size_t id_len, size_t names_len,
             size_t tvalues_len, size_t messages_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  scenario_results(input(id, id_len), "PRDYSC", *nres,
                   {names, tvalues, messages, qnames, ulabels, kinds, ivalues, rvalues, names_len, tvalues_len,
                    messages_len, qnames_len, ulabels_len});
}

void tkpsss_(const char* id, int64_t* nres, char* names, int64_t* kinds, int64_t* ivalues, char* tvalues,
             char* messages, double* rvalues, char* qnames, char* ulabels, int64_t* ierr, size_t id_len,
             size_t names_len, size_t tvalues_len, size_t messages_len, size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 3;
  if (scenario_results(input(id, id_len), "PRSSSC", *nres,
                       {names, tvalues, messages, qnames, ulabels, kinds, ivalues, rvalues, names_len, tvalues_len,
                        messages_len, qnames_len, ulabels_len}))
    *ierr = 0;
}

void tkpvpf_(const char* id, int64_t* npoint, int64_t* ncomp, int64_t* nvent, int64_t* npres, size_t id_len) {
  FreePointerGuard guard;
  *npoint = *ncomp = *nvent = *npres = 0;
  const Relief r = relief(input(id, id_len));
  if (!r) return;
  for (const VentSection& v : kVentSections) {
    const size_t n = nodes_of(r, v.section).size();
    if (n == 0) continue;
    ++*nvent;
    if (v.section == "PRVTP") {
      *npoint = point_count(r, v.section);
      *npres = static_cast<int64_t>(n);
    }
    if (v.section == "PRVTZ") *ncomp = static_cast<int64_t>(n);
  }
}

void tkpvrp_(const char* id, int64_t* nprop, int64_t* kinds, char* names, double* times, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t names_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const Relief r = relief(input(id, id_len));
  if (!r) return;
  // The time axis has one value per vent point: no more are written than
  // TKPVPF reports.
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  units.quantity.fill_blank();
  units.label.fill_blank();
  const auto path = r.path("PRVTZT");
  read_point_profile(path, std::string(8, ' '), 1, point_count(r, "PRVTP"), times, units);
  size_t k = 0;
  for (const VentSection& v : kVentSections) {
    if (nodes_of(r, v.section).empty() || k >= count_of(*nprop)) continue;
    kinds[k] = v.kind;
    text_element(names, names_len, k++).assign(v.name);
  }
  *ierr = 0;
}

void tkpvr1_(const char* id, const char* pname, int64_t* nsets, int64_t* npoint, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = vent_sets(input(id, id_len), input(pname, pname_len), *nsets, *npoint, nullptr, 0, values,
                    {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpvr2_(const char* id, const char* pname, int64_t* nsets, int64_t* npoint, char* compids, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t compids_len,
             size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  static char none = ' ';
  *ierr = vent_sets(input(id, id_len), input(pname, pname_len), *nsets, *npoint, compids ? compids : &none,
                    compids ? compids_len : 0, values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpsub_(const char* id, int64_t* nsub, size_t id_len) {
  FreePointerGuard guard;
  *nsub = 0;
  const Relief r = relief(input(id, id_len));
  while (*nsub < 9 && !nodes_of(r, numbered_section("PRVLM_", *nsub + 1)).empty()) ++*nsub;
}

void tkpsrf_(const char* id, int64_t* iprof, char* ssid, int64_t* npoint, int64_t* ncomp, int64_t* nprop,
             size_t id_len, size_t ssid_len) {
  FreePointerGuard guard;
  const ReliefProfile p = vessel_profile(relief(input(id, id_len)), *iprof);
  TextField(ssid, ssid_len).assign(p.substream);
  sizes_out(p, npoint, ncomp, nprop);
}

void tkpsrp_(const char* id, int64_t* iprof, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr,
             size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const Relief r = relief(input(id, id_len));
  if (!r) return;
  const ReliefProfile p = vessel_profile(r, *iprof);
  *ierr = p.found ? 0 : 2;
  list_into(p, *nprop, kinds, names, names_len);
}

void tkpsr1_(const char* id, const char* pname, const char* basis, int64_t* npoint, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t basis_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = basis_point_values(input(id, id_len), "PRVLPRF", input(pname, pname_len), input(basis, basis_len), *npoint,
                             values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpsr2_(const char* id, const char* pname, int64_t* iprof, int64_t* ld, char* compids, int64_t* npoint,
             double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len,
             size_t compids_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const ReliefProfile p = vessel_profile(relief(input(id, id_len)), *iprof);
  std::vector<std::string> sections;
  for (const Listed& l : p.properties)
    if (l.kind == 2 && (sections.empty() || sections.back() != l.section)) sections.push_back(l.section);
  *ierr = relief_composition(input(id, id_len), sections, input(pname, pname_len), *ld, compids, compids_len, *npoint,
                             values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpss1_(const char* id, const char* pname, const char* basis, int64_t* npoint, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t basis_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = basis_point_values(input(id, id_len), "PRSSPRF", input(pname, pname_len), input(basis, basis_len), *npoint,
                             values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpssp_(const char* id, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr, size_t id_len,
             size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const Relief r = relief(input(id, id_len));
  if (!r) return;
  const ReliefProfile p = relief_profile(r, "PRSSPRF", {});
  *ierr = p.found ? 0 : 2;
  list_into(p, *nprop, kinds, names, names_len);
}

void tkpapf_(const char* id, int64_t* npoint, int64_t* ncomp, int64_t* nprop, size_t id_len) {
  FreePointerGuard guard;
  const Relief r = relief(input(id, id_len));
  sizes_out(r ? relief_profile(r, "PRACPRF", kPracCompositions) : ReliefProfile{}, npoint, ncomp, nprop);
}

void tkpapr_(const char* id, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr, size_t id_len,
             size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const Relief r = relief(input(id, id_len));
  if (!r) return;
  const ReliefProfile p = relief_profile(r, "PRACPRF", kPracCompositions);
  *ierr = p.found ? 0 : 2;
  list_into(p, *nprop, kinds, names, names_len);
}

void tkpar1_(const char* id, const char* pname, const char* basis, int64_t* npoint, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t basis_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = basis_point_values(input(id, id_len), "PRACPRF", input(pname, pname_len), input(basis, basis_len), *npoint,
                             values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpar2_(const char* id, const char* pname, int64_t* npoint, int64_t* ld, char* compids, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t compids_len,
             size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = relief_composition(input(id, id_len), kPracCompositions, input(pname, pname_len), *ld, compids, compids_len,
                             *npoint, values, {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkpspl_(int64_t* nid, char* ids, int64_t* nk, const char* knames, const char* kvals, char* qual, int64_t* ierr,
             size_t ids_len, size_t knames_len, size_t kvals_len, size_t qual_len) {
  FreePointerGuard guard;
  *ierr = 1;
  TextField out(qual, qual_len);
  const auto path = caller_path(ids, ids_len, *nid);
  // The object must be in the relief table.
  if (path.size() < 2 || find_relief(TextField::trim_right(path[1].substr(0, std::min<size_t>(path[1].size(), kIdentifierChars)))) <= 0) {
    out.fill_blank();
    return;
  }
  std::vector<WantedQualifier> wanted;
  for (int64_t k = 0; k < std::clamp<int64_t>(*nk, 0, 100); ++k) {
    const size_t i = static_cast<size_t>(k);
    wanted.push_back({padded(text_element(knames, knames_len, i).view(), 16), padded(text_element(kvals, kvals_len, i).view(), 16)});
  }
  const DatasetChoice c = find_dataset(path, wanted);
  *ierr = c.ierr;
  out.assign(c.ierr == 0 ? c.qualifier : std::string());
}

}  // extern "C"
