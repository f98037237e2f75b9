// Block results, the flowsheet balance and the reactor property reports.
#include "query/block_results.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "flowsum.h"
#include "query/block_path.hpp"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/list_evaluation.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

constexpr std::array<ReactorReport, 4> kReports{{
    {"PROP-REPORT", "TUBE_PRP", "TUBERX"},
    {"PROP-REACTOR", "BRX_PRF1", "BATCHRX"},
    {"PROP-ACCUM", "BRX_PRF2", "BATCHRX"},
    {"PROP-VENT", "BRX_PRF3", "BATCHRX"},
}};
constexpr std::array<ReactorReport, 4> kAlternateReports{{
    {"PROP-REPORT", "TUBE_PRP", "TUBERX"},
    {"PROP-REACTOR", "BTRX_PRF1", "BATCHRX"},
    {"PROP-ACCUM", "BTRX_PRF2", "BATCHRX"},
    {"PROP-VENT", "BTRX_PRF3", "BATCHRX"},
}};

// The profile nodes of one report: the section's node and its following
// siblings of the same keyword.
std::vector<int64_t> report_nodes(const BlockPath& b, std::string_view section) {
  const auto path = b.path(section);
  int64_t node = 0;
  if (TreeNodes::loaded().find(path, node) != 0 || node == 0) return {};
  return equal_siblings(node, section, false);
}

// The number of values a node's data set holds, from its loading sequence
// (or from the data set itself when the sequence is open-ended).
int64_t node_value_count(std::span<const std::string_view> path, int64_t node) {
  FreePointerGuard guard;
  DataRecord rec;
  if (!node_record(node, rec)) return 0;
  const ListAnswer list = evaluate_list_remembered(std::string_view(rec.value, 8));
  locs(l::kFreePointer) = guard.saved();
  if (list.ndata >= 0) return list.ndata;
  return lookup_dataset(path, std::string_view(rec.value, 8)).ndata;
}

// Unit-type name, basis from the unit type, label and converted values of
// a profile: every value in the unit of the first. Callers size VALUES by
// the report's points (those of its first profile), so a longer profile
// writes only that many.
void read_report_values(const DatasetAnswer& a, double* values, int64_t points, TextField utype,
                        TextField flowbasis, TextField ulabel) {
  const int64_t t = a.unit_type(1), code = a.unit_code(1);
  utype.assign(t != 0 ? unit_type_name(t) : std::string());
  flowbasis.assign(basis_of_unit_type(t));
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const ConvertedValue c = convert_stored(t, code, a.real_value(j));
    if (values && j <= points) values[j - 1] = c.value;
    ulabel.assign(c.label_view());
  }
}

}  // namespace

const ReactorReport* reactor_report(std::string_view type, bool alternate) {
  const auto& table = alternate ? kAlternateReports : kReports;
  for (const ReactorReport& r : table)
    if (padded(type, 12) == padded(r.type, 12)) return &r;
  return nullptr;
}

ResultShape result_shape(std::string_view id) {
  ResultShape s;
  const BlockPath b = block_path(id);
  if (!b.block) return s;
  const auto path = b.path("RESULTS");
  const ValueShape v = data_set_shape(path);
  s.status = v.ierr;
  if (v.ierr != 0) return s;
  s.ndescriptors = v.nq;
  s.nresults = v.ndata;
  if (v.ndata < 0) {
    // An open-ended table: its count comes with the data set.
    FreePointerGuard guard;
    s.nresults = lookup_dataset(path).ndata;
  }
  return s;
}

ReportShape report_shape(std::string_view id, std::string_view report_type) {
  ReportShape s;
  const ReactorReport* r = reactor_report(report_type);
  if (r == nullptr) {
    s.ierr = 1;
    return s;
  }
  const BlockPath b = block_path(id);
  if (!b.block) return s;
  const std::vector<int64_t> nodes = report_nodes(b, r->section);
  if (nodes.empty()) {
    s.ierr = 1;
    return s;
  }
  s.nprofiles = static_cast<int64_t>(nodes.size());
  s.npoints = node_value_count(b.path(r->section), nodes[0]);
  return s;
}

}  // namespace flowsum

namespace {

using namespace flowsum;

// TKNRRP and TKNRPR: profile k of a report.
void profile_by_position(const char* id, size_t id_len, const char* rtype, size_t rtype_len, int64_t k,
                         bool alternate, char* pname, size_t pname_len, char* substream,
                         size_t substream_len, char* phase, size_t phase_len, char* component,
                         size_t component_len, char* basis, size_t basis_len, char* flowbasis,
                         size_t flowbasis_len, double* values, char* utype, size_t utype_len,
                         char* ulabel, size_t ulabel_len, int64_t* ierr) {
  FreePointerGuard guard;
  for (TextField f : {TextField(pname, pname_len), TextField(substream, substream_len),
                      TextField(phase, phase_len), TextField(component, component_len),
                      TextField(basis, basis_len), TextField(flowbasis, flowbasis_len)})
    f.fill_blank();
  *ierr = 1;
  const BlockPath b = block_path(TextField(id, id_len).view());
  if (!b.block) return;
  const ReactorReport* r = reactor_report(TextField(rtype, rtype_len).view(), alternate);
  if (r == nullptr) return;
  const std::vector<int64_t> nodes = report_nodes(b, r->section);
  // A position outside the report's profiles is a failure (flag 1).
  if (k < 1 || k > static_cast<int64_t>(nodes.size())) return;
  *ierr = 0;
  const auto path = b.path(r->section);
  // Callers size VALUES by TKSRRP's points: the first profile's. The batch
  // reactor's other section names are held to that count too; when TKSRRP
  // does not report the report (a block with only those sections) it gives
  // no points, and no values are written.
  int64_t points = node_value_count(path, nodes[0]);
  if (alternate) {
    const ReportShape shape = report_shape(TextField(id, id_len).view(), TextField(rtype, rtype_len).view());
    points = shape.ierr == 0 && shape.nprofiles > 0 ? std::min(points, shape.npoints) : 0;
  }
  DataRecord rec;
  node_record(nodes[static_cast<size_t>(k - 1)], rec);
  const DatasetAnswer a = lookup_dataset(path, std::string_view(rec.value, 8));
  if (!a.found()) return;
  describe_profile(a, TextField(pname, pname_len), TextField(substream, substream_len),
                   TextField(phase, phase_len), TextField(component, component_len),
                   TextField(basis, basis_len));
  TextField(ulabel, ulabel_len).fill_blank();
  read_report_values(a, values, points, TextField(utype, utype_len), TextField(flowbasis, flowbasis_len),
                     TextField(ulabel, ulabel_len));
}

}  // namespace

extern "C" {

void tknres_(const char* id, int64_t* nres, int64_t* ndesc, int64_t* status, size_t id_len) {
  const ResultShape s = result_shape(TextField(id, id_len).view());
  *nres = s.nresults;
  *ndesc = s.ndescriptors;
  *status = s.status;
}

void tkbres_(const char* id, int64_t* /*idum1*/, int64_t* /*idum2*/, char* pnames, char* quals,
             int64_t* vtypes, int64_t* ivalues, char* tvalues, double* rvalues, char* utypes,
             char* ulabels, size_t id_len, size_t pnames_len, size_t quals_len, size_t tvalues_len,
             size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  const BlockPath b = block_path(TextField(id, id_len).view());
  if (!b.block) return;
  const DatasetAnswer a = lookup_dataset(b.path("RESULTS"));
  if (!a.found()) return;
  const int64_t pcol = a.find_qualifier("PROPERTIES");
  const int64_t ndesc = std::max<int64_t>(a.nqual - 1, 0);
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const size_t row = static_cast<size_t>(j - 1);
    // Descriptive qualifiers of row j, in qualifier order.
    size_t e = row * static_cast<size_t>(ndesc);
    for (int64_t i = 1; i <= a.nqual; ++i) {
      if (i == pcol) continue;
      // Without a property column the first qualifier would make one too
      // many: keep to NQ - 1 elements a row.
      if (e >= (row + 1) * static_cast<size_t>(ndesc)) break;
      text_element(quals, quals_len, e++).assign(a.qualifier_text(i, j));
    }
    if (pcol > 0) {
      const std::string name = property_name(a.qualifier_int(pcol, j));
      if (!TextField::trim_right(name).empty()) text_element(pnames, pnames_len, row).assign(name);
    }
    const int64_t t = a.type(j);
    ivalues[row] = t == value_type::kInteger ? a.int_value(j) : 0;
    text_element(utypes, utypes_len, row).fill_blank();
    text_element(ulabels, ulabels_len, row).fill_blank();
    const TextField text = text_element(tvalues, tvalues_len, row);
    text.fill_blank();
    if (t == value_type::kReal) {
      vtypes[row] = t;
      const int64_t ut = a.unit_type(j);
      if (ut != 0) {
        const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
        rvalues[row] = c.value;
        text_element(utypes, utypes_len, row).assign(unit_type_name(ut));
        text_element(ulabels, ulabels_len, row).assign(c.label_view());
      } else {
        rvalues[row] = a.real_value(j);
      }
    } else if (t == value_type::kInteger) {
      vtypes[row] = t;
    } else {
      // Texts of 8 and long texts are both texts to the caller; a long
      // text is cut to its first 8 characters.
      vtypes[row] = 3;
      text.assign(a.text_value(j).substr(0, 8));
    }
  }
}

void tkflwb_(double* s1, double* s2, double* s3, double* s4, double* s5, double* s6, int64_t* p,
             double* a1, double* a2, int64_t* q, double* b1, double* b2, int64_t* ierr) {
  FreePointerGuard guard;
  *ierr = 1;
  const std::array<std::string_view, 1> path{"FLWBAL"};
  const DatasetAnswer a = lookup_dataset(path);
  if (!a.found()) return;
  // Counts beyond the data set's values read nothing more; capping them
  // there keeps the index arithmetic from overflowing.
  const int64_t np = std::clamp<int64_t>(*p, 0, a.ndata + 1), nq = std::clamp<int64_t>(*q, 0, a.ndata + 1);
  // A balance shorter than the caller's p and q is a mismatch: what exists
  // is copied, the rest of the caller's arrays is left alone, and the flag
  // stays 1.
  auto r = [&](int64_t i, double* out) {
    if (i >= 1 && i <= a.ndata && out) *out = a.real_value(i);
  };
  for (int64_t i = 1; i <= np; ++i) {
    r(i, &a1[i - 1]);
    r(np + i, &a2[i - 1]);
  }
  for (int64_t i = 1; i <= nq; ++i) {
    r(2 * np + i, &b1[i - 1]);
    r(2 * np + nq + i, &b2[i - 1]);
  }
  double* singles[6] = {s1, s2, s3, s4, s5, s6};
  for (int64_t i = 0; i < 6; ++i) r(2 * np + 2 * nq + 1 + i, singles[i]);
  *ierr = *p >= 0 && *q >= 0 && a.ndata >= 2 * np + 2 * nq + 6 ? 0 : 1;
}

void tklrrp_(const char* id, int64_t* n, char* types, int64_t* ierr, size_t id_len, size_t types_len) {
  FreePointerGuard guard;
  *ierr = 1;
  *n = 0;
  for (size_t i = 0; i < 3; ++i) text_element(types, types_len, i).fill_blank();
  const BlockPath b = block_path(TextField(id, id_len).view());
  if (!b.block || (b.model != "TUBERX" && b.model != "BATCHRX")) return;
  for (const ReactorReport& r : kReports) {
    if (r.model != b.model) continue;
    int64_t node = 0;
    const auto path = b.path(r.section);
    if (TreeNodes::loaded().find(path, node) == 0 && node != 0)
      text_element(types, types_len, static_cast<size_t>((*n)++)).assign(r.type);
  }
  *ierr = *n == 0 ? 2 : 0;
}

void tksrrp_(const char* id, const char* rtype, int64_t* npoints, int64_t* nprofiles, int64_t* ierr,
             size_t id_len, size_t rtype_len) {
  const ReportShape s = report_shape(TextField(id, id_len).view(), TextField(rtype, rtype_len).view());
  *npoints = s.npoints;
  *nprofiles = s.nprofiles;
  *ierr = s.ierr;
}

void tknrrp_(const char* id, const char* rtype, int64_t* /*idum*/, int64_t* k, char* pname, char* substream,
             char* phase, char* component, char* basis, char* flowbasis, double* values,
             char* utype, char* ulabel, int64_t* ierr, size_t id_len, size_t rtype_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t utype_len, size_t ulabel_len) {
  profile_by_position(id, id_len, rtype, rtype_len, *k, false, pname, pname_len, substream,
                      substream_len, phase, phase_len, component, component_len, basis, basis_len,
                      flowbasis, flowbasis_len, values, utype, utype_len, ulabel, ulabel_len, ierr);
}

void tknrpr_(const char* id, const char* rtype, int64_t* /*idum*/, int64_t* k, char* pname, char* substream,
             char* phase, char* component, char* basis, char* flowbasis, double* values,
             char* utype, char* ulabel, int64_t* ierr, size_t id_len, size_t rtype_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t utype_len, size_t ulabel_len) {
  profile_by_position(id, id_len, rtype, rtype_len, *k, true, pname, pname_len, substream,
                      substream_len, phase, phase_len, component, component_len, basis, basis_len,
                      flowbasis, flowbasis_len, values, utype, utype_len, ulabel, ulabel_len, ierr);
}

void tkrrrp_(const char* id, const char* rtype, int64_t* /*idum*/, const char* pname, const char* substream, const char* phase,
             const char* component, const char* basis, const char* units, double* values, char* utype, char* ulabel,
             int64_t* ierr, size_t id_len, size_t rtype_len, size_t pname_len, size_t substream_len,
             size_t phase_len, size_t component_len, size_t basis_len, size_t units_len,
             size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const BlockPath b = block_path(TextField(id, id_len).view());
  if (!b.block) return;
  const ReactorReport* r = reactor_report(TextField(rtype, rtype_len).view());
  if (r == nullptr) return;
  const std::array<std::string_view, 6> given{
      TextField(pname, pname_len).view(),         TextField(substream, substream_len).view(),
      TextField(phase, phase_len).view(),         TextField(component, component_len).view(),
      TextField(basis, basis_len).view(),         TextField(units, units_len).view()};
  const std::array<std::string_view, 6> names{"PROPERTIES", "SUBSTREAM", "PHASE",
                                              "COMPONENTS", "BASIS",     "UNITS"};
  std::vector<WantedQualifier> wanted;
  for (size_t i = 0; i < 6; ++i) wanted.push_back({padded(names[i], 16), padded(given[i], 16)});
  const auto path = b.path(r->section);
  std::string model;
  const DatasetChoice choice = split_block_results(path, wanted, {}, {}, model);
  if (choice.ierr != 0) return;
  const std::vector<int64_t> nodes = report_nodes(b, r->section);
  const int64_t points = nodes.empty() ? 0 : node_value_count(path, nodes[0]);
  const DatasetAnswer a = lookup_dataset(path, choice.qualifier);
  if (!a.found()) return;
  char flow[4];
  TextField(ulabel, ulabel_len).fill_blank();
  read_report_values(a, values, points, TextField(utype, utype_len), TextField(flow, 4),
                     TextField(ulabel, ulabel_len));
  *ierr = 0;
}

}  // extern "C"
