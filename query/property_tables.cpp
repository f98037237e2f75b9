// Property tables and phase envelopes.
#include "query/property_tables.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

// A table found through the property-table identifier table, its tree node
// and the loading sequence the node names.
struct TableRef {
  bool found = false;
  std::string type;
  std::string id;
  std::string qualifier;  // 8 characters
  std::array<std::string_view, 4> path() const { return {"PROP-TABLE", type, id, "PROPTAB"}; }
};

TableRef find_table(std::string_view id) {
  TableRef t;
  t.id = std::string(TextField::trim_right(id.substr(0, std::min<size_t>(id.size(), kIdentifierChars))));
  const ItemMatch m = find_prop_table(t.id);
  if (!m) return t;
  t.type = std::string(TextField::trim_right(m.type.view()));
  int64_t node = 0;
  const auto path = t.path();
  DataRecord rec;
  if (TreeNodes::loaded().find(path, node, &rec) != 0 || node == 0) return t;
  t.qualifier.assign(rec.value, 8);
  t.found = true;
  return t;
}

// The table's values, read with its own loading sequence.
DatasetAnswer load_table(const TableRef& t) {
  if (!t.found) return {};
  const auto path = t.path();
  return lookup_dataset(path, t.qualifier);
}

int64_t table_points(const TableRef& t, int64_t& status) {
  static constexpr std::array<std::string_view, 1> kNames{"NPOINT"};
  std::array<int64_t, 1> counts{};
  status = sequence_set_counts(t.qualifier, kNames, counts);
  return counts[0];
}

// The basis a unit type implies for the envelope columns and the check of
// a wanted basis: "FLOW" 13, "MOLE" 37, 39, 41, "MASS" 38, 40, 42.
std::string_view narrow_basis(int64_t t) {
  switch (t) {
    case 13: return "FLOW";
    case 37: case 39: case 41: return "MOLE";
    case 38: case 40: case 42: return "MASS";
    default: return {};
  }
}
// A wanted basis of "FLOW", "MOLE" or "MASS" must be the unit type's; any
// other text asks for no check.
bool basis_agrees(std::string_view wanted, int64_t t) {
  const std::string w = padded(wanted, 4);
  if (w != "FLOW" && w != "MOLE" && w != "MASS") return true;
  return narrow_basis(t) == w;
}

// Descriptor fields of a column.
struct Descriptors {
  TextField pname, substream, phase, component, basis;
  void blank() const {
    for (const TextField& f : {pname, substream, phase, component, basis}) f.fill_blank();
  }
  // From value j's qualifiers; "NPOINT" and unknown qualifiers are skipped.
  void fill(const DatasetAnswer& a, int64_t j) const {
    for (int64_t i = 1; i <= a.nqual; ++i) {
      const std::string q = a.qualifier_name(i);
      if (padded_equal(q, "PROPERTIES")) pname.assign(property_name(a.qualifier_int(i, j)));
      else if (padded_equal(q, "SUBSTREAM")) substream.assign(a.qualifier_text(i, j));
      else if (padded_equal(q, "PHASE")) phase.assign(a.qualifier_text(i, j));
      else if (padded_equal(q, "COMPONENTS")) component.assign(a.qualifier_text(i, j));
      else if (padded_equal(q, "BASIS")) basis.assign(a.qualifier_text(i, j).substr(0, 4));
    }
  }
};

// Wanted descriptors of a column: value j matches when every qualifier but
// "NPOINT" agrees with its argument.
struct WantedColumn {
  std::string pname, substream, phase, component, basis;  // 12, 8, 8, 8, 4
  bool matches(const DatasetAnswer& a, int64_t j) const {
    for (int64_t i = 1; i <= a.nqual; ++i) {
      const std::string q = a.qualifier_name(i);
      if (padded_equal(q, "PROPERTIES")) {
        if (property_name(a.qualifier_int(i, j)) != pname) return false;
      } else if (padded_equal(q, "SUBSTREAM")) {
        if (a.qualifier_text(i, j) != substream) return false;
      } else if (padded_equal(q, "PHASE")) {
        if (a.qualifier_text(i, j) != phase) return false;
      } else if (padded_equal(q, "COMPONENTS")) {
        if (a.qualifier_text(i, j) != component) return false;
      } else if (padded_equal(q, "BASIS")) {
        if (a.qualifier_text(i, j).substr(0, 4) != basis) return false;
      }
    }
    return true;
  }
};

WantedColumn wanted_column(TextField pname, TextField substream, TextField phase, TextField component,
                           TextField basis) {
  return {padded(pname.view(), 12), padded(substream.view(), 8), padded(phase.view(), 8),
          padded(component.view(), 8), padded(basis.view(), 4)};
}

// The walk over an envelope table's values that numbers halves and points.
class CurveWalk {
 public:
  CurveWalk(const DatasetAnswer& a, bool test_new_marker)
      : a_(a), pcol_(a.find_qualifier("PROPERTIES")), test_new_(test_new_marker) {}

  // Take value j into account.
  void step(int64_t j) {
    property_ = pcol_ > 0 ? a_.qualifier_int(pcol_, j) : 0;
    marker_ = property_ == kEnvelopeMarker;
    if (!marker_) return;
    const double v = a_.real_value(j);
    if (v != previous_) {
      const bool skip = test_new_ ? v == 0.5 : previous_ == 0.5;
      half_ += skip ? 2 : 1;
      point_ = 1;
      previous_ = v;
    } else {
      ++point_;
    }
  }
  bool marker() const { return marker_; }
  int64_t property() const { return property_; }
  int64_t half() const { return half_; }
  int64_t point() const { return point_; }  // point within the half, from 1
  double marker_value() const { return previous_; }

 private:
  const DatasetAnswer& a_;
  int64_t pcol_;
  bool test_new_;
  int64_t property_ = 0;
  bool marker_ = false;
  int64_t half_ = 0;
  int64_t point_ = 0;
  double previous_ = -1.0;
};

// The halves of curve e: 2e - 1 and 2e; 0 of the pair for no such curve.
int64_t first_half(int64_t curve) { return curve >= 1 && curve < INT64_MAX / 2 ? 2 * curve - 1 : -10; }

// The envelope column walk of TKNPEV and TKPPEV: `is_column` says whether
// value j (with its position among the point's property columns) is the
// column. Descriptor, unit-type and basis outputs are filled on the first
// column value of the first half; values go to the point's element of lo or
// hi. Returns false when `accept` refuses the first column value's unit type.
template <typename IsColumn, typename OnFirst>
bool walk_envelope_column(const DatasetAnswer& a, int64_t curve, IsColumn is_column, OnFirst on_first,
                          double* mlo, double* mhi, double* lo, double* hi, TextField ulabel) {
  CurveWalk w(a, false);
  const int64_t h1 = first_half(curve), h2 = h1 + 1;
  int64_t col = 0;
  bool first = true;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    w.step(j);
    if (w.marker()) {
      col = 0;
      if (w.point() == 1 && w.half() == h1 && mlo) *mlo = w.marker_value();
      if (w.point() == 1 && w.half() == h2 && mhi) *mhi = w.marker_value();
      continue;
    }
    const int64_t p = w.property();
    if (p == kEnvelopeStatus || p == kEnvelopeX || p == kEnvelopeY) continue;
    ++col;
    if ((w.half() != h1 && w.half() != h2) || w.point() < 1 || !is_column(j, col)) continue;
    const int64_t t = a.unit_type(j);
    if (first) {
      first = false;
      if (!on_first(j, t)) return false;
    }
    const ConvertedValue c = convert_stored(t, a.unit_code(j), a.real_value(j));
    double* out = w.half() == h1 ? lo : hi;
    if (out) out[w.point() - 1] = c.value;
    ulabel.assign(c.label_view());
  }
  return true;
}

}  // namespace

TableShape table_shape(std::string_view id) {
  TableShape s;
  FreePointerGuard guard;
  const TableRef t = find_table(id);
  if (!t.found) return s;
  s.npoints = table_points(t, s.status);
  if (s.npoints <= 0) return s;
  const DatasetAnswer a = load_table(t);
  s.ncolumns = a.ndata / s.npoints;
  return s;
}

TableShape envelope_shape(std::string_view id) {
  TableShape s;
  FreePointerGuard guard;
  const TableRef t = find_table(id);
  if (!t.found) return s;
  s.npoints = table_points(t, s.status);
  const DatasetAnswer a = load_table(t);
  // Values per point less the four special columns 131, 7001, 7002, 7003.
  if (s.npoints > 0) s.ncolumns = std::max<int64_t>(a.ndata / s.npoints - 4, 0);
  CurveWalk w(a, true);
  for (int64_t j = 1; j <= a.ndata; ++j) w.step(j);
  s.ncurves = w.half() / 2;
  return s;
}

CurveSize curve_size(std::string_view id, int64_t curve) {
  CurveSize s;
  FreePointerGuard guard;
  const TableRef t = find_table(id);
  const DatasetAnswer a = load_table(t);
  const int64_t h1 = first_half(curve);
  CurveWalk w(a, false);
  for (int64_t j = 1; j <= a.ndata; ++j) {
    w.step(j);
    if (!w.marker()) continue;
    if (w.half() == h1) ++s.first;
    if (w.half() == h1 + 1) ++s.second;
  }
  return s;
}

}  // namespace flowsum

using namespace flowsum;

extern "C" {

void tksppt_(const char* id, int64_t* np, int64_t* ncol, int64_t* status, size_t id_len) {
  const TableShape s = table_shape(TextField(id, id_len).view());
  *np = s.npoints;
  // Without a point count the column count is not known and stays as it was.
  if (s.npoints > 0) *ncol = s.ncolumns;
  *status = s.status;
}

void tknppr_(const char* id, int64_t* np, int64_t* k, char* pname, char* substream, char* phase,
             char* component, char* basis, char* flowbasis, double* values, char* utype, char* ulabel,
             int64_t* ierr, size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len, size_t utype_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  TextField(basis, basis_len).fill_blank();
  TextField(flowbasis, flowbasis_len).fill_blank();
  const DatasetAnswer a = load_table(find_table(TextField(id, id_len).view()));
  const int64_t npoint = *np;
  if (!a.found() || npoint < 1) return;
  const int64_t c = a.ndata / npoint;
  if (c < 1 || *k < 1 || *k > c) return;
  const Descriptors d{TextField(pname, pname_len), TextField(substream, substream_len),
                      TextField(phase, phase_len), TextField(component, component_len),
                      TextField(basis, basis_len)};
  for (int64_t j = *k; j <= a.ndata; j += c) {
    const int64_t p = (j - 1) / c + 1;
    // Never past the caller's NP elements.
    if (p > npoint) break;
    const int64_t t = a.unit_type(j);
    if (p == 1) {
      d.fill(a, j);
      TextField(utype, utype_len).assign(t != 0 ? unit_type_name(t) : std::string());
      TextField(flowbasis, flowbasis_len).assign(basis_of_unit_type(t));
    }
    const ConvertedValue v = convert_stored(t, a.unit_code(j), a.real_value(j));
    values[p - 1] = v.value;
    TextField(ulabel, ulabel_len).assign(t != 0 ? std::string(v.label_view()) : std::string());
  }
  // Values that do not divide into the caller's points: the caller's NP is
  // not the table's.
  *ierr = a.ndata == npoint * c ? 0 : 1;
}

void tkpprp_(const char* id, int64_t* np, const char* pname, const char* substream, const char* phase, const char* component,
             const char* basis, const char* ubasis, double* values, char* utype, char* ulabel, int64_t* ierr,
             size_t id_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t ubasis_len, size_t utype_len,
             size_t ulabel_len) {
  FreePointerGuard guard;
  *ierr = 1;
  const DatasetAnswer a = load_table(find_table(TextField(id, id_len).view()));
  const int64_t npoint = *np;
  if (!a.found() || npoint < 1) return;
  const int64_t c = a.ndata / npoint;
  if (c < 1) return;
  const WantedColumn want = wanted_column(TextField(pname, pname_len), TextField(substream, substream_len),
                                          TextField(phase, phase_len), TextField(component, component_len),
                                          TextField(basis, basis_len));
  bool found = false;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t p = (j - 1) / c + 1;
    if (p > npoint) break;
    if (!want.matches(a, j)) continue;
    const int64_t t = a.unit_type(j);
    if (!found) {
      found = true;
      TextField(utype, utype_len).assign(t != 0 ? unit_type_name(t) : std::string());
      if (!basis_agrees(TextField(ubasis, ubasis_len).view(), t)) return;
    }
    const ConvertedValue v = convert_stored(t, a.unit_code(j), a.real_value(j));
    values[p - 1] = v.value;
    TextField(ulabel, ulabel_len).assign(t != 0 ? std::string(v.label_view()) : std::string());
  }
  // No matching column is a failure; so is a caller's NP that is not the
  // table's.
  *ierr = found && a.ndata == npoint * c ? 0 : 1;
}

void tknenv_(const char* id, int64_t* ncurves, int64_t* ncol, int64_t* status, size_t id_len) {
  const TableShape s = envelope_shape(TextField(id, id_len).view());
  *ncurves = s.ncurves;
  *ncol = s.ncolumns;
  *status = s.status;
}

void tksenv_(const char* id, int64_t* e, int64_t* n1, int64_t* n2, size_t id_len) {
  const CurveSize s = curve_size(TextField(id, id_len).view(), *e);
  *n1 = s.first;
  *n2 = s.second;
}

void tkptev_(const char* id, int64_t* e, int64_t* /*idum1*/, int64_t* /*idum2*/, double* m1, double* m2,
             double* x1, double* y1, double* x2, double* y2, size_t id_len) {
  FreePointerGuard guard;
  const DatasetAnswer a = load_table(find_table(TextField(id, id_len).view()));
  const int64_t h1 = first_half(*e), h2 = h1 + 1;
  CurveWalk w(a, false);
  for (int64_t j = 1; j <= a.ndata; ++j) {
    w.step(j);
    const bool in1 = w.half() == h1, in2 = w.half() == h2;
    if (!(in1 || in2) || w.point() < 1) continue;
    const size_t i = static_cast<size_t>(w.point() - 1);
    if (w.marker()) {
      if (w.point() == 1) *(in1 ? m1 : m2) = w.marker_value();
    } else if (w.property() == kEnvelopeX) {
      (in1 ? x1 : x2)[i] = a.real_value(j);
    } else if (w.property() == kEnvelopeY) {
      (in1 ? y1 : y2)[i] = a.real_value(j);
    }
  }
}

void tknpev_(const char* id, int64_t* e, int64_t* k, int64_t* /*idum1*/, int64_t* /*idum2*/, double* m1,
             double* m2, char* pname, char* substream, char* phase, char* component, char* basis,
             char* flowbasis, double* v1, double* v2, char* utype, char* ulabel, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const Descriptors d{TextField(pname, pname_len), TextField(substream, substream_len),
                      TextField(phase, phase_len), TextField(component, component_len),
                      TextField(basis, basis_len)};
  d.blank();
  TextField(flowbasis, flowbasis_len).fill_blank();
  TextField(utype, utype_len).fill_blank();
  TextField(ulabel, ulabel_len).fill_blank();
  const DatasetAnswer a = load_table(find_table(TextField(id, id_len).view()));
  const int64_t want = *k;
  walk_envelope_column(
      a, *e, [&](int64_t, int64_t col) { return col == want; },
      [&](int64_t j, int64_t t) {
        d.fill(a, j);
        TextField(utype, utype_len).assign(t != 0 ? unit_type_name(t) : std::string());
        TextField(flowbasis, flowbasis_len).assign(narrow_basis(t));
        return true;
      },
      m1, m2, v1, v2, TextField(ulabel, ulabel_len));
}

void tkppev_(const char* id, int64_t* e, int64_t* /*idum1*/, int64_t* /*idum2*/, const char* pname,
             const char* substream, const char* phase, const char* component, const char* basis, const char* ubasis, double* m1,
             double* m2, double* v1, double* v2, char* utype, char* ulabel, size_t id_len,
             size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t ubasis_len, size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  TextField(utype, utype_len).fill_blank();
  TextField(ulabel, ulabel_len).fill_blank();
  const DatasetAnswer a = load_table(find_table(TextField(id, id_len).view()));
  const WantedColumn want = wanted_column(TextField(pname, pname_len), TextField(substream, substream_len),
                                          TextField(phase, phase_len), TextField(component, component_len),
                                          TextField(basis, basis_len));
  const std::string wanted_basis(TextField(ubasis, ubasis_len).view());
  // A basis that contradicts the column's unit type returns no values and
  // leaves the unit-type name blank: the routine has no flag to say so.
  walk_envelope_column(
      a, *e, [&](int64_t j, int64_t) { return want.matches(a, j); },
      [&](int64_t, int64_t t) {
        if (!basis_agrees(wanted_basis, t)) return false;
        TextField(utype, utype_len).assign(t != 0 ? unit_type_name(t) : std::string());
        return true;
      },
      m1, m2, v1, v2, TextField(ulabel, ulabel_len));
}

}  // extern "C"
