// Pipeline results: thin routines over the profile readers, the data-set
// choice by "PROPERTIES" and the generic profile accessors.
#include "query/pipelines.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/load_stamp.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

ProfileBlock pipeline_block(std::string_view id) {
  ProfileBlock b = profile_block(id);
  if (!b.is("DUCTLINE")) b.match = ItemMatch{};
  return b;
}

}  // namespace flowsum

namespace {

using namespace flowsum;

constexpr size_t kName12 = 12, kText8 = 8;

std::string_view input(const char* s, size_t len) { return s ? std::string_view(s, len) : std::string_view(); }

int64_t count_of(const int64_t* n) { return std::max<int64_t>(*n, 0); }

// The data set of a section whose "PROPERTIES" element names the property,
// chosen by what the siblings' sequences say (read once per load); found
// is false when the section has none, or the name no property.
struct Chosen {
  bool found = false;
  DatasetAnswer a;
};
Chosen choose(const ProfileBlock& b, std::string_view section, std::string_view pname) {
  const int64_t number = property_number(pname.substr(0, std::min(pname.size(), kPropertyNameChars)));
  const int64_t node = number != 0 ? choose_profile_node(b, section, number, 0) : 0;
  if (node == 0) return {};
  Chosen out;
  out.a = lookup_node(b.path(section), node);
  out.found = out.a.found();
  return out;
}

// The kind of a data set's values, from its first value: 1 integer, 2 real,
// 3 text (of 8 characters or long).
int64_t kind_of(const DatasetAnswer& a) {
  const int64_t t = a.type(1);
  return t == value_type::kInteger ? 1 : t == value_type::kReal ? 2 : 3;
}

// Value j of a data set into the caller's entry: reals converted, integers
// as reals, texts into the 12-character text entry (a real entry of a text
// is 0, a text entry of a number blank).
void put_value(const DatasetAnswer& a, int64_t j, int64_t kind, StoredConverter& convert, double* value,
               TextField text, TextField label) {
  if (kind == 2) {
    const int64_t t = a.unit_type(j);
    if (t == 0) {
      *value = a.real_value(j);
      label.fill_blank();
    } else {
      const ConvertedValue c = convert(t, a.unit_code(j), a.real_value(j));
      *value = c.value;
      label.assign(c.label_view());
    }
    text.fill_blank();
    return;
  }
  *value = kind == 1 ? static_cast<double>(a.int_value(j)) : 0.0;
  label.fill_blank();
  if (kind == 1) text.fill_blank();
  else text.assign(a.text_value(j));
}

// TKPLND, TKPLSG, TKPLPR: the property's data set of a section, its first
// n values (no more than it holds) into values and texts (texts null: reals
// only, a text value read as 0). ierr 1 for an unknown block or a block of
// another model, 3 when the section has no data set of the property.
void section_values(const char* id, size_t id_len, std::string_view section, int64_t* n, const char* pname,
                    size_t pname_len, int64_t* kind, double* values, char* texts, size_t texts_len,
                    char* qname, size_t qname_len, char* ulabel, size_t ulabel_len, int64_t* ierr) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  if (kind) *kind = 0;
  const TextField quantity(qname, qname_len), label(ulabel, ulabel_len);
  quantity.fill_blank();
  label.fill_blank();
  const Chosen c = choose(b, section, input(pname, pname_len));
  if (!c.found) {
    *ierr = 3;
    return;
  }
  const DatasetAnswer& a = c.a;
  const int64_t k = kind_of(a);
  if (kind) *kind = k;
  const int64_t t = a.unit_type(1);
  if (t != 0) quantity.assign(unit_type_name(t));
  StoredConverter convert;
  std::string scratch(kName12, ' ');
  const int64_t count = std::min(count_of(n), a.ndata);
  for (int64_t j = 1; j <= count; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    const TextField text = texts ? text_element(texts, texts_len, row) : TextField(scratch.data(), kName12);
    // The label of the last value read stands for the data set.
    put_value(a, j, k, convert, values + row, text, label);
  }
  *ierr = 0;
}

// TKPLNP, TKPLSP, TKPLPP, TKPLCP: the property name of each data set of the
// section, no more than n. ierr 1 for a block that is not a pipeline, 3
// when the section is absent.
void section_names(const ProfileBlock& b, std::string_view section, int64_t* n, char* names, size_t names_len,
                   int64_t* ierr) {
  *ierr = 1;
  if (!b) return;
  const std::vector<int64_t> nodes = section_nodes(b, section);
  if (nodes.empty()) {
    *ierr = 3;
    return;
  }
  const size_t count = std::min(nodes.size(), static_cast<size_t>(count_of(n)));
  for (size_t i = 0; i < count; ++i)
    property_name_into(node_elements(nodes[i]).property,
                       text_element(names, names_len, i));
  *ierr = 0;
}

// The composition section a pipeline lists its properties in: the inlet's,
// or the outlet's when the inlet has none.
std::string_view composition_section(const ProfileBlock& b) {
  return section_present(b, "PIP_IN2") || !section_present(b, "PIP_OU2") ? "PIP_IN2" : "PIP_OU2";
}

// The number of values of the data set the readers read at path, from its
// loading sequence: the sizes need not read the values themselves. An
// open-ended data set brings its count with its values.
int64_t value_count(std::span<const std::string_view> path) {
  const ValueShape shape = data_set_shape(path);
  if (shape.ierr != 0) return 0;
  return shape.ndata >= 0 ? shape.ndata : lookup_dataset(path).ndata;
}

// TKSPR2 along the point qualifier on a section of a pipeline.
void profile_sizes(const char* id, size_t id_len, std::string_view section, int64_t* nmem, int64_t* nsets) {
  FreePointerGuard guard;
  *nmem = *nsets = 0;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  CallerPath path(b, section);
  const std::string qname = padded(kPipelinePointQualifier, kText8);
  int64_t ierr = 0;
  tkspr2_(path.data(), &path.nid, qname.c_str(), nmem, nsets, &ierr, path.width, kText8);
}

// TKPRFR on a section of a pipeline with the wanted values given (16
// characters each).
void profile_values(const ProfileBlock& b, std::string_view section, std::string& kvals, int64_t nk,
                    int64_t* npoint, double* values, char* utype, size_t utype_len, char* ulabel,
                    size_t ulabel_len, int64_t* ierr) {
  CallerPath path(b, section);
  tkprfr_(path.data(), &path.nid, kvals.data(), &nk, npoint, values, utype, ulabel, ierr, path.width,
          kQualifierChars, utype_len, ulabel_len);
}

// TKPLSZ's sizes of a pipeline block, kept for the load (KeptPerLoad): they
// come from the tree and the loading sequences alone (data sets, their
// counts and components, never their values).
struct PipelineSizes {
  int64_t nio = 0, ncomp = 0, ncprop = 0, nseg = 0, nsegp = 0, ndes = 0, ndesp = 0, nflu = 0, nflup = 0;
  int64_t ierr = 1;
};

PipelineSizes read_sizes(const ProfileBlock& b) {
  PipelineSizes z;
  const int64_t nin = value_count(b.path("PIP_IN"));
  if (nin > 0) {
    z.ierr = 0;
    z.nio = nin;
  }
  // One composition property per data set; the inlet lists them, the
  // outlet holds the same ones.
  const std::vector<int64_t> comp = section_nodes(b, composition_section(b));
  z.ncprop = static_cast<int64_t>(comp.size());
  if (!comp.empty()) z.ncomp = node_elements(comp.front()).components;
  struct Sizes {
    std::string_view section;
    int64_t *size, *count;
  };
  for (const Sizes& s : {Sizes{"PIP_DAT", &z.nseg, &z.nsegp}, Sizes{"PIP_DES", &z.ndes, &z.ndesp},
                         Sizes{"FLU_PROP", &z.nflu, &z.nflup}}) {
    const std::vector<int64_t> nodes = section_nodes(b, s.section);
    if (nodes.empty()) continue;
    // The section's first data set is the one a blank qualifier finds.
    *s.size = value_count(b.path(s.section));
    *s.count = static_cast<int64_t>(nodes.size());
    z.ierr = 0;
  }
  return z;
}

}  // namespace

extern "C" {

void tkplsz_(const char* id, int64_t* nio, int64_t* ncomp, int64_t* ncprop, int64_t* nseg, int64_t* nsegp,
             int64_t* ndes, int64_t* ndesp, int64_t* nflu, int64_t* nflup, int64_t* ierr, size_t id_len) {
  FreePointerGuard guard;
  *nio = *ncomp = *ncprop = *nseg = *nsegp = *ndes = *ndesp = *nflu = *nflup = 0;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  static KeptPerLoad<PipelineSizes> kept(ItemKind::kBlock, 1024);
  const PipelineSizes& z = kept.get(b.id, [&] { return read_sizes(b); });
  for (auto [out, n] : {std::pair{nio, z.nio}, {ncomp, z.ncomp}, {ncprop, z.ncprop}, {nseg, z.nseg}, {nsegp, z.nsegp},
                        {ndes, z.ndes}, {ndesp, z.ndesp}, {nflu, z.nflu}, {nflup, z.nflup}})
    *out = n;
  *ierr = z.ierr;
}

void tkplnd_(const char* id, int64_t* n, const char* pname, int64_t* kind, double* values, char* texts,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t texts_len,
             size_t qname_len, size_t ulabel_len) {
  section_values(id, id_len, "PIP_DES", n, pname, pname_len, kind, values, texts, texts_len, qname, qname_len,
                 ulabel, ulabel_len, ierr);
}

void tkplsg_(const char* id, int64_t* n, const char* pname, int64_t* kind, double* values, char* texts,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t texts_len,
             size_t qname_len, size_t ulabel_len) {
  section_values(id, id_len, "PIP_DAT", n, pname, pname_len, kind, values, texts, texts_len, qname, qname_len,
                 ulabel, ulabel_len, ierr);
}

void tkplpr_(const char* id, int64_t* n, const char* pname, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  section_values(id, id_len, "FLU_PROP", n, pname, pname_len, nullptr, values, nullptr, 0, qname, qname_len,
                 ulabel, ulabel_len, ierr);
}

void tkplnp_(const char* id, int64_t* n, char* names, int64_t* ierr, size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  section_names(pipeline_block(input(id, id_len)), "PIP_DES", n, names, names_len, ierr);
}

void tkplsp_(const char* id, int64_t* n, char* names, int64_t* ierr, size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  section_names(pipeline_block(input(id, id_len)), "PIP_DAT", n, names, names_len, ierr);
}

void tkplpp_(const char* id, int64_t* n, char* names, int64_t* ierr, size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  section_names(pipeline_block(input(id, id_len)), "FLU_PROP", n, names, names_len, ierr);
}

void tkplcp_(const char* id, int64_t* n, char* names, int64_t* ierr, size_t id_len, size_t names_len) {
  FreePointerGuard guard;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  section_names(b, composition_section(b), n, names, names_len, ierr);
}

void tkplio_(const char* id, char* names, int64_t* kinds, double* values, char* texts, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t names_len, size_t texts_len, size_t qnames_len,
             size_t ulabels_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  const DatasetAnswer in = lookup_dataset(b.path("PIP_IN"));
  if (!in.found()) {
    *ierr = 3;
    return;
  }
  // The caller sizes the arrays for the inlet's entries twice over (TKPLSZ):
  // the outlet's entries start after the inlet's and are cut to as many.
  const int64_t nin = in.ndata;
  StoredConverter convert;
  const auto entries = [&](const DatasetAnswer& a, size_t offset) {
    const int64_t pcol = a.find_qualifier("PROPERTIES");
    for (int64_t j = 1; j <= std::min(a.ndata, nin); ++j) {
      const size_t row = offset + static_cast<size_t>(j - 1);
      property_name_into(pcol > 0 ? a.qualifier_int(pcol, j) : 0, text_element(names, names_len, row));
      const int64_t t = a.type(j);
      kinds[row] = t == value_type::kInteger ? 1 : t == value_type::kReal ? 2 : 3;
      const int64_t ut = kinds[row] == 2 ? a.unit_type(j) : 0;
      text_element(qnames, qnames_len, row).assign(ut != 0 ? unit_type_name(ut) : "");
      put_value(a, j, kinds[row], convert, values + row, text_element(texts, texts_len, row),
                text_element(ulabels, ulabels_len, row));
    }
  };
  entries(in, 0);
  // The outlet's lookup reuses the free words the inlet's values lie in:
  // the inlet is read first.
  const DatasetAnswer out = lookup_dataset(b.path("PIP_OUT"));
  if (out.found()) entries(out, static_cast<size_t>(nin));
  *ierr = 0;
}

void tkplco_(const char* id, int64_t* n, const char* pname, char* compids, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t compids_len, size_t qname_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  const TextField quantity(qname, qname_len), label(ulabel, ulabel_len);
  quantity.fill_blank();
  label.fill_blank();
  const std::string_view name = input(pname, pname_len);
  const int64_t ncomp = count_of(n);
  *ierr = 3;
  StoredConverter convert;
  // Column 1 the inlet's composition, column 2 the outlet's, each no
  // longer than the caller's n components.
  const std::array<std::string_view, 2> sections{"PIP_IN2", "PIP_OU2"};
  for (size_t s = 0; s < sections.size(); ++s) {
    const Chosen c = choose(b, sections[s], name);
    if (!c.found) continue;
    const DatasetAnswer& a = c.a;
    const int64_t ccol = a.find_qualifier("COMPONENTS");
    const bool ids = *ierr != 0;  // ids from the first composition found
    const int64_t t = a.unit_type(1);
    if (t != 0) quantity.assign(unit_type_name(t));
    for (int64_t j = 1; j <= std::min(a.ndata, ncomp); ++j) {
      const size_t row = static_cast<size_t>(j - 1);
      if (ids) {
        const TextField cid = text_element(compids, compids_len, row);
        if (ccol > 0) a.qualifier_into(ccol, j, cid);
        else cid.fill_blank();
      }
      double* v = values + s * static_cast<size_t>(ncomp) + row;
      if (a.unit_type(j) == 0) {
        *v = a.real_value(j);
        continue;
      }
      const ConvertedValue cv = convert(a.unit_type(j), a.unit_code(j), a.real_value(j));
      *v = cv.value;
      label.assign(cv.label_view());
    }
    *ierr = 0;
  }
}

void tkpinp_(const char* id, int64_t* idum, char* pnames, int64_t* ierr, size_t id_len, size_t pnames_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  CallerPath path(b, "PIP_PROF");
  tkprfp_(path.data(), &path.nid, idum, pnames, ierr, path.width, pnames_len);
}

void tkpisp_(const char* id, int64_t* nmem, int64_t* nsets, size_t id_len) {
  profile_sizes(id, id_len, "PIP_PROF", nmem, nsets);
}

void tkspir_(const char* id, int64_t* nmem, int64_t* nsets, size_t id_len) {
  profile_sizes(id, id_len, "TUBE_PRP", nmem, nsets);
}

void tkpipr_(const char* id, int64_t* npoint, const char* pname, double* values, char* utype, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  const std::string_view name = input(pname, pname_len);
  std::string kvals = padded(name.substr(0, std::min(name.size(), kPropertyNameChars)), kQualifierChars);
  // The length positions are a section of their own.
  const std::string_view section = padded_equal(kvals, "LENGTH") ? "PIP_LEN" : "PIP_PROF";
  profile_values(b, section, kvals, 1, npoint, values, utype, utype_len, ulabel, ulabel_len, ierr);
}

void tkrpip_(const char* id, int64_t* npoint, const char* pname, const char* ssid, const char* phase,
             const char* comp, const char* basis, const char* units, double* values, char* utype, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t ssid_len, size_t phase_len, size_t comp_len,
             size_t basis_len, size_t units_len, size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  // The six wanted values, each cut to its caller field's width and padded
  // to 16.
  const std::array<std::pair<std::string_view, size_t>, 6> keys{{{input(pname, pname_len), kPropertyNameChars},
                                                                 {input(ssid, ssid_len), kText8},
                                                                 {input(phase, phase_len), kText8},
                                                                 {input(comp, comp_len), kText8},
                                                                 {input(basis, basis_len), 4},
                                                                 {input(units, units_len), 4}}};
  std::string kvals;
  for (const auto& [text, width] : keys) kvals += padded(text.substr(0, std::min(text.size(), width)), kQualifierChars);
  profile_values(b, "TUBE_PRP", kvals, 6, npoint, values, utype, utype_len, ulabel, ulabel_len, ierr);
}

void tknpip_(const char* id, int64_t* n, int64_t* k, char* pname, char* ssid, char* phase, char* comp,
             char* basis, char* fbasis, double* values, char* qty, char* ulabel, int64_t* ierr, size_t id_len,
             size_t pname_len, size_t ssid_len, size_t phase_len, size_t comp_len, size_t basis_len,
             size_t fbasis_len, size_t qty_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const ProfileBlock b = pipeline_block(input(id, id_len));
  if (!b) return;
  CallerPath path(b, "TUBE_PRP");
  tknprf_(path.data(), &path.nid, n, k, pname, ssid, phase, comp, basis, fbasis, values, qty, ulabel, ierr,
          path.width, pname_len, ssid_len, phase_len, comp_len, basis_len, fbasis_len, qty_len, ulabel_len);
}

}  // extern "C"
