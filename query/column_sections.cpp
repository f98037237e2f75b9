// Sized and rated sections of tray and linked columns: the sections of a
// column, each section's scalar results and its profile along its trays.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "query/column_sections.hpp"
#include "query/profile_readers.hpp"
#include "query/refinery_twins.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

constexpr size_t kTypeChars = 12;

struct SectionType {
  std::string_view type;
  std::string_view results;
  std::array<std::string_view, 4> profiles;  // parts A to D; empty when the type has fewer
};
constexpr std::array<SectionType, 4> kSectionTypes{{
    {"TRAY-SIZE", "TS_RES", {"TSPR", "", "", ""}},
    {"TRAY-RATE", "TR_RES", {"TRPR", "TRPB", "TRPC", "TRPD"}},
    {"PACK-SIZE", "PS_RES", {"PSPR", "", "", ""}},
    {"PACK-RATE", "PR_RES", {"PRPR", "", "", ""}},
}};

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

// The section type a caller names (12 characters, case-sensitive).
const SectionType* section_type(std::string_view text) {
  const std::string t = padded(text.substr(0, std::min(text.size(), kTypeChars)), kTypeChars);
  for (const SectionType& s : kSectionTypes)
    if (padded(s.type, kTypeChars) == t) return &s;
  return nullptr;
}

// The identity a data set carries in its "NPOINTS" qualifier: the section
// number in characters 1-4, the column number (linked columns) in 5-8.
struct SectionIdentity {
  int64_t section = 0;
  int64_t column = 0;
};
SectionIdentity identity(const DatasetAnswer& a) {
  SectionIdentity id;
  const int64_t c = a.find_qualifier("NPOINTS");
  if (c == 0 || !a.found()) return id;
  const std::string text = a.qualifier_text(c, 1);
  auto number = [](std::string_view s) {
    s = TextField::trim_right(s);
    const size_t start = s.find_first_not_of(' ');
    return start == std::string_view::npos ? 0 : read_unsigned(s.substr(start)).value;
  };
  id.section = number(std::string_view(text).substr(0, 4));
  id.column = number(std::string_view(text).substr(4, 4));
  return id;
}

// A column's data sets of one keyword with their identities.
struct SectionSet {
  int64_t node;
  SectionIdentity id;
  std::string qualifier;
};
// The keyword a column stores a section keyword under: a refinery column
// appends "_M" for its main column (column 1) and "_S" for its strippers.
std::string column_keyword(const ProfileBlock& b, std::string_view keyword, int64_t column) {
  if (keyword.empty() || !b.is("CRUDEUNI")) return std::string(keyword);
  return std::string(keyword) + (column == 1 ? "_M" : "_S");
}

// The data sets of one keyword that belong to the column: a linked
// column's carry its number in their identity, a refinery stripper's its
// stripper number (column - 1).
std::vector<SectionSet> keyword_sets(const ProfileBlock& b, std::string_view base, int64_t column) {
  std::vector<SectionSet> out;
  const std::string keyword = column_keyword(b, base, column);
  if (keyword.empty() || (b.is("CRUDEUNI") && column < 1)) return out;
  for (int64_t node : section_nodes(b, keyword)) {
    const std::string qual = node_qualifier(node);
    const SectionIdentity id = identity(lookup_dataset(b.path(keyword), qual));
    if (b.is("LINKEDCO") && id.column != column) continue;
    if (b.is("CRUDEUNI") && column > 1 && id.column != column - 1) continue;
    out.push_back({node, id, qual});
  }
  return out;
}

bool serves(const ProfileBlock& b) { return b.is("TRAYCOL") || b.is("LINKEDCO") || b.is("CRUDEUNI"); }

// The result data set of a section (its qualifier), empty when absent.
std::string result_set(const ProfileBlock& b, const SectionType& t, int64_t column, int64_t number) {
  for (const SectionSet& s : keyword_sets(b, t.results, column))
    if (s.id.section == number) return s.qualifier;
  return {};
}

// The profile data sets of a section, parts A to D in order.
struct ProfilePart {
  std::string keyword;
  char part;
  std::string qualifier;
};
std::vector<ProfilePart> profile_parts(const ProfileBlock& b, const SectionType& t, int64_t column,
                                       int64_t number) {
  std::vector<ProfilePart> out;
  for (size_t k = 0; k < t.profiles.size(); ++k)
    for (const SectionSet& s : keyword_sets(b, t.profiles[k], column))
      if (s.id.section == number)
        out.push_back({column_keyword(b, t.profiles[k], column), static_cast<char>('A' + k), s.qualifier});
  return out;
}

int64_t first_property(const DatasetAnswer& a) {
  const int64_t c = a.find_qualifier("PROPERTIES");
  return c > 0 && a.found() ? a.qualifier_int(c, 1) : 0;
}

}  // namespace
}  // namespace flowsum

using namespace flowsum;

// The routines' bodies, shared with the refinery twins (twin true: a
// refinery block is served here rather than handed on).
namespace flowsum {

void sections_tknsec(bool twin, const char* id, int64_t* column, int64_t* nsec, int64_t* ierr, size_t id_len) {
  FreePointerGuard guard;
  *nsec = 0;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_count) refinery_twins().section_count(id, column, nsec, ierr, id_len, kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  *ierr = 0;
  for (const SectionType& t : kSectionTypes)
    *nsec += static_cast<int64_t>(keyword_sets(b, t.results, *column).size());
}

void sections_tklsec(bool twin, const char* id, int64_t* column, int64_t* n, int64_t* numbers, char* types, int64_t* ierr,
             size_t id_len, size_t types_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = profile_block(input(id, id_len));
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_list)
      refinery_twins().section_list(id, column, n, numbers, types, ierr, id_len, types_len, kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  if (!serves(b)) return;
  // The list stops at the caller's count.
  int64_t k = 0;
  for (const SectionType& t : kSectionTypes)
    for (const SectionSet& s : keyword_sets(b, t.results, *column)) {
      if (k >= *n) break;
      numbers[k] = s.id.section;
      text_element(types, types_len, static_cast<size_t>(k++)).assign(t.type);
    }
  *ierr = 0;
}

void sections_tkssec(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints, int64_t* nprop,
             int64_t* nres, int64_t* ierr, size_t id_len, size_t type_len) {
  FreePointerGuard guard;
  *npoints = *nprop = *nres = 0;
  *ierr = 1;
  const SectionType* t = section_type(input(type, type_len));
  const ProfileBlock b = profile_block(input(id, id_len));
  if (t == nullptr || !b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_sizes)
      refinery_twins().section_sizes(id, column, type, number, npoints, nprop, nres, ierr, id_len, type_len,
                                     kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  const std::string results = result_set(b, *t, *column, *number);
  if (results.empty()) return;
  // Each section's profile is the one whose identity matches it, not the
  // type's first profile.
  const std::vector<ProfilePart> parts = profile_parts(b, *t, *column, *number);
  if (parts.empty()) {
    *ierr = 2;
    return;
  }
  *nres = lookup_dataset(b.path(column_keyword(b, t->results, *column)), results).ndata;
  *npoints = lookup_dataset(b.path(parts.front().keyword), parts.front().qualifier).ndata;
  *nprop = static_cast<int64_t>(parts.size());
  *ierr = 0;
}

void sections_tkpsec(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* nprop, char* pnames,
             char* parts, int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t parts_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const SectionType* t = section_type(input(type, type_len));
  const ProfileBlock b = profile_block(input(id, id_len));
  if (t == nullptr || !b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_profile_names)
      refinery_twins().section_profile_names(id, column, type, number, nprop, pnames, parts, ierr, id_len,
                                             type_len, pnames_len, parts_len, kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  if (!serves(b)) return;
  const std::vector<ProfilePart> found = profile_parts(b, *t, *column, *number);
  if (found.empty()) return;
  const size_t n = std::min(found.size(), static_cast<size_t>(std::max<int64_t>(*nprop, 0)));
  for (size_t k = 0; k < n; ++k) {
    const std::string name = property_name(first_property(lookup_dataset(b.path(found[k].keyword), found[k].qualifier)));
    if (TextField::trim_right(name).empty()) {
      *ierr = 2;
      return;
    }
    text_element(pnames, pnames_len, k).assign(name);
    text_element(parts, parts_len, k).assign(std::string_view(&found[k].part, 1));
  }
  *ierr = 0;
}

void sections_tkscrs(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* n, char* pnames,
             int64_t* kinds, int64_t* ivalues, char* tvalues, double* rvalues, char* qnames, char* ulabels,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t tvalues_len,
             size_t qnames_len, size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const SectionType* t = section_type(input(type, type_len));
  const ProfileBlock b = profile_block(input(id, id_len));
  if (t == nullptr || !b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_results)
      refinery_twins().section_results(id, column, type, number, n, pnames, kinds, ivalues, tvalues, rvalues,
                                       qnames, ulabels, ierr, id_len, type_len, pnames_len, tvalues_len,
                                       qnames_len, ulabels_len, kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  const std::string qual = result_set(b, *t, *column, *number);
  if (qual.empty()) return;
  const DatasetAnswer a = lookup_dataset(b.path(column_keyword(b, t->results, *column)), qual);
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  if (pcol == 0) {
    *ierr = 2;
    return;
  }
  const int64_t count = std::min<int64_t>(a.ndata, std::max<int64_t>(*n, 0));
  for (int64_t j = 1; j <= count; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    text_element(pnames, pnames_len, row).assign(property_name(a.qualifier_int(pcol, j)));
    const int64_t vt = a.type(j), ut = a.unit_type(j);
    const TextField text = text_element(tvalues, tvalues_len, row), qname = text_element(qnames, qnames_len, row),
                    label = text_element(ulabels, ulabels_len, row);
    text.fill_blank();
    qname.fill_blank();
    label.fill_blank();
    kinds[row] = vt == value_type::kInteger ? 1 : vt == value_type::kReal ? 2 : 3;
    ivalues[row] = a.int_value(j);
    rvalues[row] = a.real_value(j);
    if (kinds[row] == 3) text.assign(a.text_value(j).substr(0, kTypeChars));
    if (vt == value_type::kReal && ut != 0) {
      const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
      rvalues[row] = c.value;
      qname.assign(unit_type_name(ut));
      label.assign(c.label_view());
    }
  }
  *ierr = 0;
}

void sections_tkscpr(bool twin, const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints,
             int64_t* traynos, const char* pname, const char* part, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pname_len, size_t part_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const SectionType* t = section_type(input(type, type_len));
  const ProfileBlock b = profile_block(input(id, id_len));
  if (t == nullptr || !b) return;
  if (!twin && b.is("CRUDEUNI")) {
    if (refinery_twins().section_profile)
      refinery_twins().section_profile(id, column, type, number, npoints, traynos, pname, part, values, qname,
                                       ulabel, ierr, id_len, type_len, pname_len, part_len, qname_len,
                                       ulabel_len, kTypeChars);
    return;
  }
  if (twin && !b.is("CRUDEUNI")) return;
  const std::string_view name = input(pname, std::min<size_t>(pname_len, 12));
  const int64_t property = property_number(name);
  if (property == 0) {
    *ierr = 2;
    return;
  }
  const char letter = part_len > 0 && part ? part[0] : ' ';
  for (const ProfilePart& p : profile_parts(b, *t, *column, *number)) {
    if (p.part != letter) continue;
    const DatasetAnswer a = lookup_dataset(b.path(p.keyword), p.qualifier);
    if (first_property(a) != property) continue;
    const int64_t tcol = a.find_qualifier("TRAY_NO");
    const int64_t n = std::min<int64_t>(a.ndata, std::max<int64_t>(*npoints, 0));
    for (int64_t j = 1; j <= n && tcol > 0; ++j)
      traynos[j - 1] = read_unsigned(TextField::trim_right(a.qualifier_text(tcol, j))).value;
    read_point_profile(b.path(p.keyword), p.qualifier, 1, n, values,
                       {TextField(qname, qname_len), TextField(ulabel, ulabel_len)});
    *ierr = 0;
    return;
  }
}

}  // namespace flowsum

extern "C" {

void tknsec_(const char* id, int64_t* column, int64_t* nsec, int64_t* ierr, size_t id_len) {
  sections_tknsec(false, id, column, nsec, ierr, id_len);
}

void tklsec_(const char* id, int64_t* column, int64_t* n, int64_t* numbers, char* types, int64_t* ierr,
             size_t id_len, size_t types_len) {
  sections_tklsec(false, id, column, n, numbers, types, ierr, id_len, types_len);
}

void tkssec_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints, int64_t* nprop,
             int64_t* nres, int64_t* ierr, size_t id_len, size_t type_len) {
  sections_tkssec(false, id, column, type, number, npoints, nprop, nres, ierr, id_len, type_len);
}

void tkpsec_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* nprop, char* pnames,
             char* parts, int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t parts_len) {
  sections_tkpsec(false, id, column, type, number, nprop, pnames, parts, ierr, id_len, type_len, pnames_len, parts_len);
}

void tkscrs_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* n, char* pnames,
             int64_t* kinds, int64_t* ivalues, char* tvalues, double* rvalues, char* qnames, char* ulabels,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pnames_len, size_t tvalues_len,
             size_t qnames_len, size_t ulabels_len) {
  sections_tkscrs(false, id, column, type, number, n, pnames, kinds, ivalues, tvalues, rvalues, qnames, ulabels, ierr, id_len, type_len, pnames_len, tvalues_len, qnames_len, ulabels_len);
}

void tkscpr_(const char* id, int64_t* column, const char* type, int64_t* number, int64_t* npoints,
             int64_t* traynos, const char* pname, const char* part, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t type_len, size_t pname_len, size_t part_len, size_t qname_len,
             size_t ulabel_len) {
  sections_tkscpr(false, id, column, type, number, npoints, traynos, pname, part, values, qname, ulabel, ierr, id_len, type_len, pname_len, part_len, qname_len, ulabel_len);
}

}  // extern "C"
