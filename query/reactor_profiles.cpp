// Reactor profiles of the plug-flow and batch reactor models.
#include "query/reactor_profiles.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"

namespace flowsum {
namespace {

constexpr std::string_view kPointKeyword = "NPOINT";

// Composition sections without a number belong to the default substream.
constexpr std::array<std::string_view, 4> kPlugFlowMixed{"TUBE_X", "PMSF_1", "TUBE_XPR", "TUBE_YPR"};
constexpr std::array<std::string_view, 7> kBatchMixed{"BTRX_X", "BTRX_Y", "BTRX_Z", "BTRX_YPR",
                                                      "RBVLX",  "RBVLY",  "RBVLZ"};

bool is_reactor(const ProfileBlock& b) { return b.is("TUBERX") || b.is("BATCHRX"); }

std::string substream_section(const ProfileBlock& b, int64_t k) {
  if (k > kMaxReactorSubstreams) return {};
  return numbered_section(b.is("TUBERX") ? "PLPR_" : "RBVLM_", k);
}

// The batch reactor's main profile: "RBVLPRF", or "BTRX_PRF" without it.
std::string batch_main_section(const ProfileBlock& b) {
  return section_present(b, "RBVLPRF") ? "RBVLPRF" : "BTRX_PRF";
}

bool is_time_axis(std::string_view name) { return name.substr(0, std::min<size_t>(name.size(), 4)) == "TIME"; }

}  // namespace

ProfileBlock reactor_block(std::string_view id) {
  ProfileBlock b = profile_block(id);
  return is_reactor(b) ? b : ProfileBlock{};
}

int64_t reactor_substream_count(const ProfileBlock& b) {
  if (!is_reactor(b)) return 0;
  int64_t n = 0;
  while (section_present(b, substream_section(b, n + 1))) ++n;
  return n;
}

ReactorProfile reactor_profile(const ProfileBlock& b, int64_t profile) {
  ReactorProfile p;
  if (!is_reactor(b) || profile < 1 || profile > kMaxReactorSubstreams) return p;
  const bool plug = b.is("TUBERX");
  const std::string own = substream_section(b, profile);
  // A batch reactor's profiles past the first are its numbered substreams.
  if (!plug && profile > 1 && !section_present(b, own)) return p;
  const std::string main = plug ? own : batch_main_section(b);
  const std::vector<int64_t> nodes = section_nodes(b, main);
  if (nodes.empty()) return p;
  p.found = true;
  for (int64_t node : nodes) {
    const ProfileElements e = node_elements(node, kPointKeyword);
    if (p.properties.empty()) p.points = e.points;
    if (p.substream.empty()) p.substream = e.substream;
    p.properties.emplace_back(ReactorProperty{ProfileProperty{property_name(e.property), 1}, main, node});
  }
  // The batch reactor's substream sections name their substream.
  if (!plug)
    for (int64_t node : section_nodes(b, own))
      if (const ProfileElements e = node_elements(node, kPointKeyword); !e.substream.empty()) {
        p.substream = e.substream;
        break;
      }
  if (p.substream.empty()) p.substream = "MIXED";
  std::vector<std::string> compositions{plug ? numbered_section("PLZ_", profile) : own};
  if (p.substream == "MIXED") {
    if (plug) compositions.insert(compositions.end(), kPlugFlowMixed.begin(), kPlugFlowMixed.end());
    else compositions.insert(compositions.end(), kBatchMixed.begin(), kBatchMixed.end());
  }
  bool counted = false;
  for (const std::string& section : compositions)
    for (int64_t node : section_nodes(b, section)) {
      const ProfileElements e = node_elements(node, kPointKeyword);
      if (!counted && e.has_components) {
        p.components = e.components;
        counted = true;
      }
      p.properties.emplace_back(ReactorProperty{ProfileProperty{property_name(e.property), 2}, section, node});
    }
  return p;
}

VesselProfile vessel_profile(const ProfileBlock& b, VesselSections s) {
  VesselProfile v;
  if (!b.is("BATCHRX")) return v;
  for (int64_t node : section_nodes(b, s.points)) {
    const ProfileElements e = node_elements(node, kPointKeyword);
    if (!v.found) v.points = e.points;
    v.found = true;
    v.properties.push_back({property_name(e.property), 1});
  }
  bool counted = false;
  for (int64_t node : section_nodes(b, s.composition)) {
    const ProfileElements e = node_elements(node, kPointKeyword);
    const std::string name = property_name(e.property);
    if (is_time_axis(name)) continue;
    if (!counted) v.components = e.components;
    counted = true;
    v.found = true;
    v.properties.push_back({name, 2});
  }
  return v;
}

}  // namespace flowsum

// ---- Exported routines ---------------------------------------------------------

namespace {

using namespace flowsum;

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

std::string_view name12(std::string_view s) { return s.substr(0, std::min<size_t>(s.size(), 12)); }

size_t count_of(int64_t n) { return static_cast<size_t>(std::max<int64_t>(n, 0)); }

// Writes at most n listed properties into the caller's kinds and names.
template <class List, class Get>
void list_properties(const List& list, int64_t n, int64_t* kinds, char* names, size_t names_len, Get get) {
  const size_t m = std::min(list.size(), count_of(n));
  for (size_t i = 0; i < m; ++i) {
    kinds[i] = get(list[i]).kind;
    text_element(names, names_len, i).assign(get(list[i]).name);
  }
}

// A per-point property of a section, the data set chosen by its
// "PROPERTIES" element. Error flag 3 when there is none.
int64_t point_values(const ProfileBlock& b, std::string_view section, std::string_view pname, int64_t npoint,
                     double* values, ProfileUnits units) {
  const int64_t number = property_number(name12(pname));
  const int64_t node = number != 0 ? choose_profile_node(b, section, number, 0) : 0;
  if (node == 0) return 3;
  return read_point_profile(b.path(section), node_qualifier(node), 1, npoint, values, units) ? 0 : 3;
}

// A composition property, values placed at (component, point) of the
// caller's (ld, npoint) array. Error flag 2 for a name the property table
// does not hold, 3 when no data set of the sections carries it.
template <class Sections>
int64_t composition_values(const ProfileBlock& b, const Sections& sections, std::string_view pname, int64_t ld,
                           char* compids, size_t compids_len, int64_t npoint, double* values,
                           ProfileUnits units) {
  const int64_t number = property_number(name12(pname));
  if (number == 0) return 2;
  for (std::string_view section : sections) {
    const int64_t node = choose_profile_node(b, section, number, 0);
    if (node == 0) continue;
    return read_component_profile(b.path(section), node_qualifier(node), 1, -1, std::max<int64_t>(ld, 0),
                                  std::max<int64_t>(npoint, 0), compids, compids_len, values, units, "NPOINT")
               ? 0
               : 3;
  }
  return 3;
}

int64_t value_count(const ProfileBlock& b, std::string_view section) {
  if (!is_reactor(b)) return 0;
  CallerPath p(b, section);
  int64_t ndata = 0, nq = 0, ierr = 0;
  tknval_(p.data(), &p.nid, &ndata, &nq, &ierr, p.width);
  return ierr == 0 ? ndata : 0;
}

// Every value of a reactor section as TKPVAL gives it.
void every_value(const char* id, size_t id_len, std::string_view section, char* pnames, double* values,
                 char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t pnames_len, size_t utypes_len,
                 size_t ulabels_len) {
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  CallerPath p(b, section);
  int64_t idum = 0;
  tkpval_(p.data(), &p.nid, &idum, pnames, values, utypes, ulabels, nval, ierr, p.width, pnames_len,
          utypes_len, ulabels_len);
}

// A points-by-properties profile of a reactor section as TKPRF2 reads it.
void point_table(const char* id, size_t id_len, std::string_view section, std::string_view position, int64_t* npoint,
                 int64_t* nprop, char* pnames, double* values, char* utypes, char* ulabels, int64_t* ierr,
                 size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  CallerPath p(b, section);
  const std::string q = padded(position, 16);
  tkprf2_(p.data(), &p.nid, q.data(), npoint, nprop, pnames, values, utypes, ulabels, ierr, p.width,
          16, pnames_len, utypes_len, ulabels_len);
}

// ---- Catalyst attributes: "RBTA_n", one value per element, qualified by
// component ("COMPONENTS"), attribute ("CATR") and element ("ELEM").

struct CatalystSet {
  DatasetAnswer a;
  int64_t comp = 0, attr = 0, elem = 0;
  std::string q(int64_t col, int64_t j) const { return col > 0 ? a.qualifier_text(col, j) : std::string(8, ' '); }
};

CatalystSet catalyst_set(std::string_view id, int64_t section) {
  CatalystSet s;
  const ProfileBlock b = reactor_block(id);
  const std::string name = numbered_section("RBTA_", section);
  if (!b || name.empty()) return s;
  s.a = lookup_dataset(b.path(name));
  s.comp = s.a.find_qualifier("COMPONENTS");
  s.attr = s.a.find_qualifier("CATR");
  s.elem = s.a.find_qualifier("ELEM");
  return s;
}

// The distinct values of column col (in order of first appearance) among
// the rows whose column filter equals want (no filter when filter is 0).
std::vector<std::string> distinct(const CatalystSet& s, int64_t col, int64_t filter, const std::string& want) {
  std::vector<std::string> order;
  std::unordered_map<std::string, size_t> seen;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (filter > 0 && s.q(filter, j) != want) continue;
    const std::string v = s.q(col, j);
    if (seen.emplace(v, order.size()).second) order.push_back(v);
  }
  return order;
}

int64_t matching_rows(const CatalystSet& s, const std::string& comp, const std::string& attr) {
  int64_t n = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) n += s.q(s.comp, j) == comp && s.q(s.attr, j) == attr;
  return n;
}

// Feed sections of a batch reactor.
std::vector<int64_t> feed_nodes(const ProfileBlock& b, std::string_view prefix, int64_t section) {
  return section_nodes(b, numbered_section(prefix, section));
}

}  // namespace

extern "C" {

void tkrsub_(const char* id, int64_t* nsub, size_t id_len) {
  FreePointerGuard guard;
  *nsub = reactor_substream_count(reactor_block(input(id, id_len)));
}

void tkrprf_(const char* id, int64_t* iprof, char* ssid, int64_t* npoint, int64_t* ncomp, int64_t* nprop,
             size_t id_len, size_t ssid_len) {
  FreePointerGuard guard;
  *npoint = *ncomp = *nprop = 0;
  TextField(ssid, ssid_len).fill_blank();
  const ReactorProfile p = reactor_profile(reactor_block(input(id, id_len)), *iprof);
  if (!p.found) return;
  TextField(ssid, ssid_len).assign(p.substream);
  *npoint = p.points;
  *ncomp = p.components;
  *nprop = static_cast<int64_t>(p.properties.size());
}

void tkrprp_(const char* id, int64_t* iprof, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr,
             size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  const ReactorProfile p = reactor_profile(b, *iprof);
  *ierr = 2;
  if (!p.found) return;
  list_properties(p.properties, *nprop, kinds, names, names_len,
                  [](const ReactorProperty& r) -> const ProfileProperty& { return r.property; });
  *ierr = 0;
}

void tkrpr1_(const char* id, const char* pname, const char* ssid, int64_t* npoint, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t ssid_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  *ierr = 2;
  std::string section;
  if (b.is("TUBERX")) {
    // The profile whose substream is the one asked for, whatever its number.
    const std::string want(TextField::trim_right(input(ssid, ssid_len).substr(0, std::min<size_t>(ssid_len, 8))));
    for (int64_t k = 1; k <= kMaxReactorSubstreams && section.empty(); ++k) {
      const std::vector<int64_t> nodes = section_nodes(b, substream_section(b, k));
      if (nodes.empty()) break;
      for (int64_t node : nodes)
        if (node_elements(node, kPointKeyword).substream == want) {
          section = substream_section(b, k);
          break;
        }
    }
  } else {
    section = batch_main_section(b);
    if (!section_present(b, section)) section.clear();
  }
  if (section.empty()) return;
  *ierr = point_values(b, section, input(pname, pname_len), *npoint, values,
                       {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
}

void tkrpr2_(const char* id, const char* pname, int64_t* iprof, int64_t* ld, char* compids, int64_t* npoint,
             double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len,
             size_t compids_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  units.quantity.fill_blank();
  units.label.fill_blank();
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  const ReactorProfile p = reactor_profile(b, *iprof);
  std::vector<std::string> sections;
  for (const ReactorProperty& r : p.properties)
    if (r.property.kind == 2 && (sections.empty() || sections.back() != r.section)) sections.push_back(r.section);
  *ierr = composition_values(b, sections, input(pname, pname_len), *ld, compids, compids_len, *npoint, values, units);
}

// ---- The batch vessel's accumulator and vent profiles ----

namespace {
void vessel_sizes(const char* id, size_t id_len, VesselSections s, int64_t* npoint, int64_t* ncomp, int64_t* nprop) {
  FreePointerGuard guard;
  const VesselProfile v = vessel_profile(reactor_block(input(id, id_len)), s);
  *npoint = v.points;
  *ncomp = v.components;
  *nprop = static_cast<int64_t>(v.properties.size());
}
void vessel_names(const char* id, size_t id_len, VesselSections s, int64_t* nprop, int64_t* kinds, char* names,
                  size_t names_len, int64_t* ierr) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b.is("BATCHRX")) return;
  const VesselProfile v = vessel_profile(b, s);
  *ierr = 2;
  if (!v.found) return;
  list_properties(v.properties, *nprop, kinds, names, names_len,
                  [](const ProfileProperty& p) -> const ProfileProperty& { return p; });
  *ierr = 0;
}
void vessel_points(const char* id, size_t id_len, VesselSections s, const char* pname, size_t pname_len,
                   int64_t npoint, double* values, ProfileUnits units, int64_t* ierr) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b.is("BATCHRX")) return;
  *ierr = 2;
  if (!section_present(b, s.points)) return;
  *ierr = point_values(b, s.points, input(pname, pname_len), npoint, values, units);
}
void vessel_compositions(const char* id, size_t id_len, VesselSections s, const char* pname, size_t pname_len,
                         int64_t npoint, int64_t ld, char* compids, size_t compids_len, double* values,
                         ProfileUnits units, int64_t* ierr) {
  FreePointerGuard guard;
  units.quantity.fill_blank();
  units.label.fill_blank();
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b.is("BATCHRX")) return;
  const std::array<std::string_view, 1> sections{s.composition};
  *ierr = composition_values(b, sections, input(pname, pname_len), ld, compids, compids_len, npoint, values, units);
}
}  // namespace

void tkvapf_(const char* id, int64_t* npoint, int64_t* ncomp, int64_t* nprop, size_t id_len) {
  vessel_sizes(id, id_len, kAccumulatorSections, npoint, ncomp, nprop);
}
void tkvtpf_(const char* id, int64_t* npoint, int64_t* ncomp, int64_t* nprop, size_t id_len) {
  vessel_sizes(id, id_len, kVentSections, npoint, ncomp, nprop);
}
void tkvapr_(const char* id, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr, size_t id_len,
             size_t names_len) {
  vessel_names(id, id_len, kAccumulatorSections, nprop, kinds, names, names_len, ierr);
}
void tkvtpr_(const char* id, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr, size_t id_len,
             size_t names_len) {
  vessel_names(id, id_len, kVentSections, nprop, kinds, names, names_len, ierr);
}
void tkvar1_(const char* id, const char* pname, int64_t* npoint, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  vessel_points(id, id_len, kAccumulatorSections, pname, pname_len, *npoint, values,
                {TextField(qname, qname_len), TextField(ulabel, ulabel_len)}, ierr);
}
void tkvtr1_(const char* id, const char* pname, int64_t* npoint, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  vessel_points(id, id_len, kVentSections, pname, pname_len, *npoint, values,
                {TextField(qname, qname_len), TextField(ulabel, ulabel_len)}, ierr);
}
void tkvar2_(const char* id, const char* pname, int64_t* npoint, int64_t* ld, char* compids, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t compids_len,
             size_t qname_len, size_t ulabel_len) {
  vessel_compositions(id, id_len, kAccumulatorSections, pname, pname_len, *npoint, *ld, compids, compids_len, values,
                      {TextField(qname, qname_len), TextField(ulabel, ulabel_len)}, ierr);
}
void tkvtr2_(const char* id, const char* pname, int64_t* npoint, int64_t* ld, char* compids, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t compids_len,
             size_t qname_len, size_t ulabel_len) {
  vessel_compositions(id, id_len, kVentSections, pname, pname_len, *npoint, *ld, compids, compids_len, values,
                      {TextField(qname, qname_len), TextField(ulabel, ulabel_len)}, ierr);
}

// ---- Reaction, selectivity, heat, segment and equilibrium sections ----

void tkrrpf_(const char* id, int64_t* n, size_t id_len) {
  FreePointerGuard guard;
  *n = value_count(reactor_block(input(id, id_len)), "REAC_PRF");
}
void tkrrns_(const char* id, int64_t* n, size_t id_len) {
  FreePointerGuard guard;
  *n = value_count(reactor_block(input(id, id_len)), "SEL_PRF");
}
void tkrrpr_(const char* id, int64_t* npoint, int64_t* nprop, char* pnames, double* values, char* utypes,
             char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  point_table(id, id_len, "REAC_PRF", "NPOINTS", npoint, nprop, pnames, values, utypes, ulabels, ierr, pnames_len,
              utypes_len, ulabels_len);
}
void tkrrsl_(const char* id, int64_t* /*idum*/, char* pnames, double* values, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  every_value(id, id_len, "SEL_PRF", pnames, values, utypes, ulabels, nval, ierr, pnames_len, utypes_len, ulabels_len);
}
void tkrrhr_(const char* id, int64_t* /*idum*/, char* pnames, double* values, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  every_value(id, id_len, "HEAT_PRF", pnames, values, utypes, ulabels, nval, ierr, pnames_len, utypes_len,
              ulabels_len);
}
void tkrtnl_(const char* id, int64_t* n, size_t id_len) {
  FreePointerGuard guard;
  *n = value_count(reactor_block(input(id, id_len)), "L2_SEGM");
}
void tkrtsp_(const char* id, int64_t* npoint, int64_t* ncomp, size_t id_len) {
  FreePointerGuard guard;
  *npoint = *ncomp = 0;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  // The distinct positions and components the data set's values carry.
  const DatasetAnswer a = lookup_dataset(b.path("SPFRC"));
  for (auto [col, out] : {std::pair{a.find_qualifier("NPOINT"), npoint}, {a.find_qualifier("COMPONENTS"), ncomp}}) {
    std::unordered_map<std::string, int> seen;
    for (int64_t j = 1; col > 0 && j <= a.ndata; ++j) seen.emplace(a.qualifier_text(col, j), 0);
    *out = static_cast<int64_t>(seen.size());
  }
}
void tkrtsr_(const char* id, int64_t* npoint, int64_t* nprop, char* pnames, double* values, char* utypes,
             char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  point_table(id, id_len, "SPFRC", "NPOINT", npoint, nprop, pnames, values, utypes, ulabels, ierr, pnames_len,
              utypes_len, ulabels_len);
}
void tkvle_(const char* id, int64_t* /*idum*/, char* pnames, double* values, char* utypes, char* ulabels,
            int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  every_value(id, id_len, "VLE3", pnames, values, utypes, ulabels, nval, ierr, pnames_len, utypes_len, ulabels_len);
}

// ---- Catalyst attributes ----

void tkrnac_(const char* id, int64_t* isec, int64_t* count, size_t id_len) {
  FreePointerGuard guard;
  const CatalystSet s = catalyst_set(input(id, id_len), *isec);
  *count = s.comp > 0 ? static_cast<int64_t>(distinct(s, s.comp, 0, {}).size()) : 0;
}
void tkrnca_(const char* id, int64_t* isec, int64_t* k, char* comp, int64_t* count, size_t id_len, size_t comp_len) {
  FreePointerGuard guard;
  *count = 0;
  TextField(comp, comp_len).fill_blank();
  const CatalystSet s = catalyst_set(input(id, id_len), *isec);
  if (s.comp == 0) return;
  const std::vector<std::string> comps = distinct(s, s.comp, 0, {});
  if (*k < 1 || *k > static_cast<int64_t>(comps.size())) return;
  const std::string& c = comps[static_cast<size_t>(*k - 1)];
  TextField(comp, comp_len).assign(c);
  *count = static_cast<int64_t>(distinct(s, s.attr, s.comp, c).size());
}
void tkrsca_(const char* id, int64_t* isec, const char* comp, int64_t* k, char* attr, int64_t* count, size_t id_len,
             size_t comp_len, size_t attr_len) {
  FreePointerGuard guard;
  *count = 0;
  TextField(attr, attr_len).fill_blank();
  const CatalystSet s = catalyst_set(input(id, id_len), *isec);
  if (s.comp == 0 || s.attr == 0) return;
  const std::string c = padded(input(comp, comp_len), 8);
  const std::vector<std::string> attrs = distinct(s, s.attr, s.comp, c);
  if (*k < 1 || *k > static_cast<int64_t>(attrs.size())) return;
  const std::string& a = attrs[static_cast<size_t>(*k - 1)];
  TextField(attr, attr_len).assign(a);
  // Every value of the attribute: the count sizes the caller's arrays.
  *count = matching_rows(s, c, a);
}
void tkrcat_(const char* id, int64_t* isec, const char* comp, const char* attr, int64_t* /*idum*/, char* elems,
             double* values, int64_t* ierr, size_t id_len, size_t comp_len, size_t attr_len, size_t elems_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const CatalystSet s = catalyst_set(input(id, id_len), *isec);
  if (!s.a.found()) return;
  const std::string c = padded(input(comp, comp_len), 8), a = padded(input(attr, attr_len), 8);
  size_t e = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.comp, j) != c || s.q(s.attr, j) != a) continue;
    values[e] = s.a.real_value(j);
    text_element(elems, elems_len, e++).assign(s.q(s.elem, j));
  }
  *ierr = 0;
}

// ---- Feed profiles ----

void tkrnfs_(const char* id, int64_t* isec, int64_t* nfc, int64_t* nfi, size_t id_len) {
  FreePointerGuard guard;
  const ProfileBlock b = reactor_block(input(id, id_len));
  *nfc = static_cast<int64_t>(feed_nodes(b, "RBFC_", *isec).size());
  *nfi = static_cast<int64_t>(feed_nodes(b, "RBFI_", *isec).size());
}
void tkrfsp_(const char* id, int64_t* isec, int64_t* n, char* names, int64_t* ierr, size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = reactor_block(input(id, id_len));
  if (!b) return;
  std::vector<int64_t> nodes = feed_nodes(b, "RBFC_", *isec);
  const std::vector<int64_t> more = feed_nodes(b, "RBFI_", *isec);
  nodes.insert(nodes.end(), more.begin(), more.end());
  const size_t m = std::min(nodes.size(), count_of(*n));
  for (size_t i = 0; i < m; ++i)
    text_element(names, names_len, i).assign(property_name(node_elements(nodes[i], kPointKeyword).property));
  *ierr = nodes.empty() ? 2 : 0;
}

}  // extern "C"
