// Column profiles of the tray, linked, rate-based and other column models.
#include "query/column_profiles.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/refinery_twins.hpp"
#include "store/dataset_lookup.hpp"
#include "store/list_evaluation.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

constexpr std::array<std::string_view, 15> kHydraulicNames{
    "HYD_LMF", "HYD_VMF", "HYD_LVF",  "HYD_VVF",   "HYD_RHOL", "HYD_RHOV", "HYD_MUL", "HYD_MUV",
    "HYD_STEN", "HYD_PARM", "HYD_QR", "HYD_MWL", "HYD_MWV", "HYD_FMIDX", "HYD_FFR"};
constexpr size_t kShortHydraulics = 11;

// Composition sections of the kind-2 property numbers.
struct CompositionSection {
  int64_t property;
  std::string_view section;
};
constexpr std::array<CompositionSection, 9> kCompositionSections{{{36, "TRAY_X"},
                                                                  {37, "TRAY_X1"},
                                                                  {38, "TRAY_X2"},
                                                                  {39, "TRAY_Y"},
                                                                  {40, "TRAYB_K"},
                                                                  {41, "TRAYK1"},
                                                                  {42, "TRAYK2"},
                                                                  {96, "TRAYKLL"},
                                                                  {161, "TRCL_RXN"}}};

// Where a property of the rate-based column lies: a section (with the
// column number appended when numbered) and the key that selects the data
// set: "N_COL" = column, or "PROPERTIES" = the property name.
struct RateProperty {
  std::string_view name;
  std::string_view section;
  bool numbered;
  bool by_column;
  int64_t kind;
};
constexpr std::array<RateProperty, 23> kRateProperties{{
    {"INT_TEMP", "INT_TEMP", false, true, 1},   {"HEAT_RATE", "HEAT_", true, false, 1},
    {"L_CONDUC", "HEAT_", true, false, 1},      {"V_CONDUC", "HEAT_", true, false, 1},
    {"L_CONVEC", "HEAT_", true, false, 1},      {"V_CONVEC", "HEAT_", true, false, 1},
    {"FLOOD", "FLOD_", true, false, 1},         {"PDROP", "FLOD_", true, false, 1},
    {"DIAM", "FLOD_", true, false, 1},          {"EFF", "TRAY_EFF", false, true, 1},
    {"HETP", "PAC_HETP", false, true, 1},       {"TDEW", "BPDP_", true, false, 1},
    {"TBUB", "BPDP_", true, false, 1},          {"X", "TRAY_X", false, true, 2},
    {"Y", "TRAY_Y", false, true, 2},            {"B_K", "TRAYB_K", false, true, 2},
    {"INT_X", "TRAY_I_X", false, true, 2},      {"INT_Y", "TRAY_I_Y", false, true, 2},
    {"MASS_RATE", "MASS_RAT", false, true, 2},  {"CEFF", "COMP_EFF", false, true, 2},
    {"REAC_LRATE", "REAC_LRATE", false, true, 2}, {"REAC_VRATE", "REAC_LRATE", false, true, 2},
    // Any other name: the rate-based profile section itself.
    {"", "KCPR_", true, false, 1},
}};

const RateProperty& rate_property(std::string_view name) {
  for (const RateProperty& p : kRateProperties)
    if (!p.name.empty() && padded_equal(name, p.name)) return p;
  return kRateProperties.back();
}

std::string rate_section(const RateProperty& p, int64_t column) {
  return p.numbered ? numbered_section(p.section, column) : std::string(p.section);
}

bool selects_column(const ProfileBlock& b) { return b.is("LINKEDCO") || b.is("KINETCOL"); }

// The tray profile section of a column and whether it is the three-phase
// fallback; empty when neither is present.
struct ProfileSection {
  std::string name;
  bool three_phase = false;
};
ProfileSection profile_section(const ProfileBlock& b, int64_t column) {
  std::string first, fallback;
  if (b.is("TRAYCOL")) {
    first = "TRC_PRO2";
    fallback = "TRC_PRO3";
  } else if (b.is("LINKEDCO")) {
    first = numbered_section("LKPR_", column);
    fallback = numbered_section("LK3P_", column);
  } else if (b.is("KINETCOL")) {
    first = numbered_section("KCPR_", column);
  } else {
    first = "LKCL_PRO";
  }
  if (section_present(b, first)) return {first, false};
  if (!fallback.empty() && section_present(b, fallback)) return {fallback, true};
  return {};
}

// Is a data set of the section present for the column ("N_COL" = column)?
bool present_for_column(const ProfileBlock& b, std::string_view section, int64_t column) {
  return column_node(b, section, column) != 0;
}

void add(std::vector<ProfileProperty>& list, std::initializer_list<std::string_view> names, int64_t kind) {
  for (std::string_view n : names) list.push_back({std::string(n), kind});
}

}  // namespace

ColumnProfile column_profile(const ProfileBlock& b, int64_t column) {
  ColumnProfile p;
  if (!b || b.is("CRUDEUNI")) return p;
  const ProfileSection sec = profile_section(b, column);
  if (sec.name.empty()) return p;
  p.found = true;
  p.status = 0;
  const bool by_column = selects_column(b);
  bool first = true;
  for (int64_t node : section_nodes(b, sec.name)) {
    const ProfileElements e = node_elements(node);
    if (by_column && !(e.has_column && e.column == column)) continue;
    if (first) p.trays = e.points;
    first = false;
    p.properties.push_back({property_name(e.property), 1});
  }
  std::string composition = "TRAY_X";
  auto& list = p.properties;
  if (b.is("TRAYCOL") || b.is("SOLVEXT")) {
    if (b.is("TRAYCOL") && section_present(b, "TRAY_HYD")) {
      const bool long_list = find_dataset(b.path("TRAY_HYD"),
                                          std::array<WantedQualifier, 1>{{{padded("PROPERTIES", 16),
                                                                           padded("HYD_MWL", 16)}}})
                                 .ierr == 0;
      const size_t n = long_list ? kHydraulicNames.size() : kShortHydraulics;
      for (size_t i = 0; i < n; ++i) list.push_back({std::string(kHydraulicNames[i]), 1});
    }
    if (b.is("TRAYCOL") && section_present(b, "TRCL_RXN")) add(list, {"RXN_GEN"}, 2);
    if (b.is("SOLVEXT")) add(list, {"X1", "X2", "KLL"}, 2);
    else if (sec.three_phase) add(list, {"X1", "X2", "Y", "K1", "K2", "KLL", "X"}, 2);
    else add(list, {"X", "Y", "B_K"}, 2);
    if (b.is("SOLVEXT") || sec.three_phase) composition = "TRAY_X1";
  } else if (b.is("KINETCOL")) {
    const std::string heat = numbered_section("HEAT_", column), flood = numbered_section("FLOD_", column),
                      bpdp = numbered_section("BPDP_", column);
    // The sections keyed by "N_COL" count only when the column has a data
    // set there: a listed property can always be read.
    if (present_for_column(b, "INT_TEMP", column)) add(list, {"INT_TEMP"}, 1);
    if (section_present(b, heat)) add(list, {"HEAT_RATE", "L_CONDUC", "V_CONDUC", "V_CONVEC", "L_CONVEC"}, 1);
    if (section_present(b, flood)) add(list, {"FLOOD", "PDROP", "DIAM"}, 1);
    if (present_for_column(b, "TRAY_EFF", column)) add(list, {"EFF"}, 1);
    if (section_present(b, bpdp)) add(list, {"TBUB", "TDEW"}, 1);
    if (present_for_column(b, "PAC_HETP", column)) add(list, {"HETP"}, 1);
    add(list, {"X", "Y"}, 2);
    if (present_for_column(b, "TRAY_I_X", column)) add(list, {"INT_X"}, 2);
    if (present_for_column(b, "TRAY_I_Y", column)) add(list, {"INT_Y"}, 2);
    if (present_for_column(b, "TRAYB_K", column)) add(list, {"B_K"}, 2);
    if (present_for_column(b, "MASS_RAT", column)) add(list, {"MASS_RATE"}, 2);
    if (present_for_column(b, "COMP_EFF", column)) add(list, {"CEFF"}, 2);
    if (present_for_column(b, "REAC_LRATE", column)) add(list, {"REAC_LRATE", "REAC_VRATE"}, 2);
  } else {
    if (sec.three_phase) add(list, {"X", "Y", "X1", "K1", "K2", "KLL"}, 2);
    else add(list, {"X", "Y", "B_K"}, 2);
    if (b.is("LINKEDCO") && section_present(b, numbered_section("HYD_", column)))
      for (size_t i = 0; i < kShortHydraulics; ++i) list.push_back({std::string(kHydraulicNames[i]), 1});
  }
  // Each column's own composition data set gives its component count.
  const int64_t cnode = column_node(b, composition, by_column ? column : 0);
  if (cnode != 0) p.components = node_elements(cnode).components;
  return p;
}

int64_t column_count(const ProfileBlock& b) {
  if (!b) return 0;
  if (b.is("TRAYCOL") || b.is("SCRUB") || b.is("SOLVEXT")) return 1;
  if (b.is("CRUDEUNI")) {
    int64_t n = 1;
    for (int64_t k = 1; k <= 99 && section_present(b, numbered_section("MSCO_", k)); ++k) ++n;
    return n;
  }
  if (selects_column(b)) {
    int64_t n = 0;
    for (int64_t node : section_nodes(b, "COL_INFO")) n = std::max(n, node_elements(node).column);
    return n;
  }
  return 0;
}

}  // namespace flowsum

namespace {

using namespace flowsum;

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

std::vector<WantedQualifier> property_key(std::string_view name) {
  return {{padded("PROPERTIES", 16), padded(name.substr(0, std::min<size_t>(name.size(), 12)), 16)}};
}

// The per-tray profile of a rate-based column: the data set keyed by the
// property's table entry. ierr as TKPRO1's.
void rate_tray_profile(const ProfileBlock& b, std::string_view pname, int64_t column, int64_t ntray,
                       double* values, ProfileUnits units, int64_t* ierr) {
  *ierr = 1;
  if (!b.is("KINETCOL")) return;
  const RateProperty& p = rate_property(pname);
  if (p.kind != 1) {
    *ierr = 3;
    return;
  }
  const std::string section = rate_section(p, column);
  const auto path = b.path(section);
  std::vector<WantedQualifier> wanted =
      p.by_column ? std::vector<WantedQualifier>{{padded("N_COL", 16), number_key(column)}} : property_key(pname);
  const DatasetChoice c = section.empty() ? DatasetChoice{3, 0, {}} : find_dataset(path, wanted);
  if (c.ierr != 0) {
    *ierr = c.ierr == 2 ? 2 : 3;
    return;
  }
  if (!read_point_profile(path, c.qualifier, 1, ntray, values, units)) {
    *ierr = 3;
    return;
  }
  *ierr = 0;
}

// The column-th "COL_INFO" data set of a rate-based column (0 when none).
int64_t column_info_node(const ProfileBlock& b, int64_t column) {
  if (!b.is("KINETCOL") || column < 1) return 0;
  const std::vector<int64_t> nodes = section_nodes(b, "COL_INFO");
  return column <= static_cast<int64_t>(nodes.size()) ? nodes[static_cast<size_t>(column - 1)] : 0;
}

}  // namespace

extern "C" {

void tkncol_(const char* id, int64_t* ncol, size_t id_len) {
  FreePointerGuard guard;
  *ncol = column_count(profile_block(input(id, id_len)));
}

void tkprof_(const char* id, int64_t* column, int64_t* ntray, int64_t* ncomp, int64_t* nprop, size_t id_len) {
  FreePointerGuard guard;
  *ntray = *ncomp = *nprop = 0;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (b.is("CRUDEUNI")) {
    if (refinery_twins().profile_sizes) refinery_twins().profile_sizes(id, column, ntray, ncomp, nprop, id_len);
    return;
  }
  const ColumnProfile p = column_profile(b, *column);
  if (!p.found) return;
  *ntray = p.trays;
  *ncomp = p.components;
  *nprop = static_cast<int64_t>(p.properties.size());
}

void tkprop_(const char* id, int64_t* column, int64_t* nprop, int64_t* kinds, char* names, int64_t* ierr,
             size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (b.is("CRUDEUNI")) {
    if (refinery_twins().profile_names)
      refinery_twins().profile_names(id, column, nprop, kinds, names, ierr, id_len, names_len);
    return;
  }
  if (!b) return;
  const ColumnProfile p = column_profile(b, *column);
  *ierr = p.status;
  if (!p.found) return;
  // The list is cut to the caller's array.
  const size_t n = std::min<size_t>(p.properties.size(), static_cast<size_t>(std::max<int64_t>(*nprop, 0)));
  for (size_t i = 0; i < n; ++i) {
    kinds[i] = p.properties[i].kind;
    text_element(names, names_len, i).assign(p.properties[i].name);
  }
}

void tkrat1_(const char* id, const char* pname, int64_t* column, int64_t* ntray, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  rate_tray_profile(b, input(pname, pname_len), *column, *ntray, values,
                    {TextField(qname, qname_len), TextField(ulabel, ulabel_len)}, ierr);
}

void tkpro1_(const char* id, const char* pname, int64_t* column, int64_t* ntray, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b) return;
  if (b.is("CRUDEUNI")) {
    if (refinery_twins().tray_profile)
      refinery_twins().tray_profile(id, pname, column, ntray, values, qname, ulabel, ierr, id_len, pname_len,
                                    qname_len, ulabel_len);
    return;
  }
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  const std::string_view name = input(pname, pname_len);
  if (b.is("KINETCOL")) {
    rate_tray_profile(b, name, *column, *ntray, values, units, ierr);
    return;
  }
  const bool hydraulic = name.substr(0, std::min<size_t>(name.size(), 4)) == "HYD_";
  std::string section;
  if (b.is("TRAYCOL")) {
    section = hydraulic ? "TRAY_HYD" : section_present(b, "TRC_PRO2") ? "TRC_PRO2" : "TRC_PRO3";
  } else if (b.is("LINKEDCO")) {
    const std::string first = numbered_section("LKPR_", *column);
    section = hydraulic ? numbered_section("HYD_", *column)
              : section_present(b, first) ? first : numbered_section("LK3P_", *column);
  } else {
    section = "LKCL_PRO";
  }
  if (section.empty()) {
    *ierr = 3;
    return;
  }
  std::vector<WantedQualifier> wanted = property_key(name);
  if (b.is("LINKEDCO")) wanted.push_back({padded("N_COL", 16), number_key(*column)});
  std::array<std::string_view, 2> more{"TRC_PR3S", "TRC_PR3V"};
  if (section == "TRC_PRO2") more = {"TRC_PR2S", "TRC_PR2V"};
  const std::span<const std::string_view> extra =
      b.is("LINKEDCO") ? std::span<const std::string_view>() : std::span<const std::string_view>(more);
  const std::array<std::string_view, 1> linked{"LINKEDCO"};
  std::string model;
  const DatasetChoice c = split_block_results(b.path(section), wanted, extra, linked, model);
  if (c.ierr != 0) {
    *ierr = c.ierr == 2 ? 2 : 3;
    return;
  }
  *ierr = read_point_profile(b.path(section), c.qualifier, 1, *ntray, values, units) ? 0 : 3;
}

void tkpro2_(const char* id, const char* pname, int64_t* column, int64_t* ld, char* compids, int64_t* ntray,
             double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len,
             size_t compids_len, size_t qname_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (b.is("CRUDEUNI")) {
    *ierr = 1;
    if (refinery_twins().component_profile)
      refinery_twins().component_profile(id, pname, column, ld, compids, ntray, values, qname, ulabel, ierr,
                                         id_len, pname_len, compids_len, qname_len, ulabel_len);
    return;
  }
  const ProfileUnits units{TextField(qname, qname_len), TextField(ulabel, ulabel_len)};
  units.quantity.fill_blank();
  units.label.fill_blank();
  *ierr = 1;
  if (!b) return;
  const std::string_view name = input(pname, pname_len);
  std::string section, qualifier;
  int64_t first = 1, count = -1;
  if (b.is("KINETCOL")) {
    const RateProperty& p = rate_property(name);
    if (p.kind != 2) return;
    section = p.section;
    const int64_t node = *column >= 1 ? choose_profile_node(b, section, 0, *column) : 0;
    if (node == 0) {
      *ierr = 3;
      return;
    }
    qualifier = node_qualifier(node);
    if (p.name == "REAC_LRATE" || p.name == "REAC_VRATE") {
      // Liquid rates fill the first half of the data set, vapour rates
      // the second.
      const int64_t half = lookup_dataset(b.path(section), qualifier).ndata / 2;
      count = half;
      if (p.name == "REAC_VRATE") first = half + 1;
    }
  } else {
    const int64_t number = property_number(name.substr(0, std::min<size_t>(name.size(), 12)));
    if (number == 0) {
      *ierr = 2;
      return;
    }
    for (const CompositionSection& s : kCompositionSections)
      if (s.property == number) section = s.section;
    if (section.empty()) {
      *ierr = 3;
      return;
    }
    // Linked columns choose by column too.
    const bool linked = b.is("LINKEDCO");
    const int64_t node = linked && *column < 1 ? 0 : choose_profile_node(b, section, number, linked ? *column : 0);
    if (node == 0) {
      *ierr = 3;
      return;
    }
    qualifier = node_qualifier(node);
  }
  // Values land inside the caller's (leading dimension, trays) array only.
  *ierr = read_component_profile(b.path(section), qualifier, first, count, std::max<int64_t>(*ld, 0),
                                 std::max<int64_t>(*ntray, 0), compids, compids_len, values, units)
              ? 0
              : 3;
}

void tkrtnr_(const char* id, int64_t* column, int64_t* n, size_t id_len) {
  FreePointerGuard guard;
  *n = 0;
  const ProfileBlock b = profile_block(input(id, id_len));
  const int64_t node = column_info_node(b, *column);
  if (node == 0) return;
  const std::string qual = node_qualifier(node);
  const int64_t listed = evaluate_list(qual).ndata;
  locs(l::kFreePointer) = guard.saved();
  *n = listed >= 0 ? listed : lookup_dataset(b.path("COL_INFO"), qual).ndata;
}

void tkrtrs_(const char* id, int64_t* column, int64_t* n, char* pnames, double* values, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t qnames_len,
             size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  const int64_t node = column_info_node(b, *column);
  if (node == 0) return;
  const DatasetAnswer a = lookup_node(b.path("COL_INFO"), node);
  if (!a.found()) return;
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  const int64_t count = std::min<int64_t>(a.ndata, std::max<int64_t>(*n, 0));
  StoredConverter convert;
  for (int64_t j = 1; j <= count; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    text_element(pnames, pnames_len, row).assign(pcol > 0 ? property_name(a.qualifier_int(pcol, j)) : "");
    const int64_t t = a.unit_type(j);
    text_element(qnames, qnames_len, row).assign(t != 0 ? unit_type_name(t) : "");
    const TextField label = text_element(ulabels, ulabels_len, row);
    if (t == 0) {
      values[row] = a.real_value(j);
      label.fill_blank();
      continue;
    }
    const ConvertedValue c = convert(t, a.unit_code(j), a.real_value(j));
    values[row] = c.value;
    label.assign(c.label_view());
  }
  *ierr = 0;
}

}  // extern "C"
