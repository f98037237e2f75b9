// Stream results over the stream data sets "STR_MAIN", "STRM_UPP",
// "STRM_XY" and "STR_PHAS".
#include "query/stream_results.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "store/text_field.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

namespace {

constexpr std::string_view kMixed = "MIXED   ";

bool is_missing(double v) { return std::fabs(v) >= std::fabs(rglb(1)); }

double missing_marker() { return rglb(1); }

size_t idx(int64_t i) { return static_cast<size_t>(i); }

// One result row of a main table, copied out of the work area so that
// further lookups (molecular weights, standard volumes) may reuse the words.
// The names are held in place: a table has a row per component and property,
// and building strings for each cost more than the rest of the copy.
// Eight characters as one word: substream and component names are eight
// characters, and the row walks compare them for every row.
uint64_t word8(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}
constexpr uint64_t kBlank8 = 0x2020202020202020;

struct MainRow {
  int64_t property = 0;  // 0 when the data set has no "PROPERTIES" column
  char substream_chars[8];  // "MIXED" for blank
  char component_chars[8];
  int64_t unit_type = 0;
  int64_t unit_code = 0;
  double value = 0;

  std::string_view component() const { return {component_chars, 8}; }
  uint64_t substream_word() const { return word8(substream_chars); }
  bool component_blank() const { return word8(component_chars) == kBlank8; }
};

// The 8 characters of qualifier col of value j into out; blanks without the
// column.
void qualifier8_into(const DatasetAnswer& a, int64_t col, int64_t j, char* out) {
  const TextField f(out, 8);
  if (col > 0) a.qualifier_into(col, j, f);
  else f.fill_blank();
}

std::vector<MainRow> main_rows(const DatasetAnswer& answer, int64_t first) {
  std::vector<MainRow> rows;
  if (!answer.found()) return rows;
  const int64_t csub = answer.find_qualifier("SUBSTREAM");
  const int64_t ccomp = answer.find_qualifier("COMPONENTS");
  const int64_t cprop = answer.find_qualifier("PROPERTIES");
  // A copy that nothing else can reach: the rows' characters are written
  // through char pointers, after which the answer's counts and locations
  // would otherwise be read again for every value.
  const DatasetAnswer a = answer;
  if (a.ndata >= first) rows.reserve(static_cast<size_t>(a.ndata - first + 1));
  for (int64_t j = first; j <= a.ndata; ++j) {
    MainRow& r = rows.emplace_back();
    r.property = cprop ? a.qualifier_int(cprop, j) : 0;
    qualifier8_into(a, csub, j, r.substream_chars);
    qualifier8_into(a, ccomp, j, r.component_chars);
    r.unit_type = a.unit_type(j);
    r.unit_code = a.unit_code(j);
    r.value = a.real_value(j);
  }
  // Blank substreams are "MIXED". Tested in a pass of their own: a name read
  // as one word right after its halves were written would wait for those
  // stores on every row.
  for (MainRow& r : rows)
    if (r.substream_word() == kBlank8) std::copy(kMixed.begin(), kMixed.end(), r.substream_chars);
  return rows;
}

bool blank(std::string_view s) { return TextField::trim_right(s).empty(); }

// The values of a component property vector ("MW" "MW", "VLSTD" "VLSTD") in
// SI units, in the order of the conventional components.
std::vector<double> component_vector_si(std::string_view keyword) {
  const std::array<std::string_view, 2> path{keyword, keyword};
  DatasetAnswer a = lookup_dataset(path);
  std::vector<double> out;
  for (int64_t j = 1; j <= a.ndata; ++j)
    out.push_back(stored_to_si(a.unit_type(j), a.unit_code(j), a.real_value(j)));
  return out;
}

// The three kinds of component flow: per-component flow, fraction and
// substream total property numbers, and the unit type of the flow.
struct FlowKind {
  int64_t flow, frac, total, unit_type;
};
constexpr FlowKind kMassKind{stream_prop::kMassFlow, stream_prop::kMassFrac,
                             stream_prop::kMassFlowTotal, kMassFlowType};
constexpr FlowKind kMoleKind{stream_prop::kMoleFlow, stream_prop::kMoleFrac,
                             stream_prop::kMoleFlowTotal, kMoleFlowType};
constexpr FlowKind kStdVolKind{stream_prop::kStdVolFlow, stream_prop::kStdVolFrac,
                               stream_prop::kStdVolFlowTotal, kStdVolFlowType};

const FlowKind& kind_of(SubstreamBasis b) {
  switch (b) {
    case SubstreamBasis::kMoleFlow:
    case SubstreamBasis::kMoleFrac: return kMoleKind;
    case SubstreamBasis::kStdVolFlow:
    case SubstreamBasis::kStdVolFrac: return kStdVolKind;
    default: return kMassKind;
  }
}

bool is_fraction(SubstreamBasis b) {
  return b == SubstreamBasis::kMassFrac || b == SubstreamBasis::kMoleFrac ||
         b == SubstreamBasis::kStdVolFrac;
}

// The rows of one substream of a main table (its eight-character name as a
// word), and where each property's first row is.
struct SubstreamRows {
  const std::vector<MainRow>& rows;
  uint64_t substream;
  std::optional<size_t> first(int64_t property) const {
    for (size_t r = 0; r < rows.size(); ++r)
      if (rows[r].property == property && rows[r].substream_word() == substream) return r;
    return std::nullopt;
  }
  // Row i (0-based) of the block of component rows that starts at first,
  // when it still belongs to the block.
  const MainRow* block_row(size_t first, int64_t property, int64_t i) const {
    const size_t r = first + idx(i);
    if (r >= rows.size()) return nullptr;
    const MainRow& row = rows[r];
    if (row.property != property || row.substream_word() != substream || row.component_blank())
      return nullptr;
    return &row;
  }
  // The first total row of a property, when it is a total row (blank
  // component).
  const MainRow* total(int64_t property) const {
    for (const MainRow& row : rows)
      if (row.property == property && row.substream_word() == substream && row.component_blank())
        return &row;
    return nullptr;
  }
};

// A total in SI units; missing when it is not stored or stored missing.
double total_si(const SubstreamRows& s, const FlowKind& k) {
  const MainRow* t = s.total(k.total);
  if (!t || is_missing(t->value)) return missing_marker();
  return stored_to_si(t->unit_type, t->unit_code, t->value);
}

}  // namespace

StreamRef find_stream_ref(std::string_view id) {
  StreamRef s;
  const ItemMatch m = find_stream(id);
  if (!m) return s;
  s.index = m.index;
  s.type = std::string(widened_type(ItemKind::kStream, m.type.view()));
  return s;
}

DatasetAnswer stream_dataset(const StreamRef& s, std::string_view id, std::string_view section) {
  if (!s) return {};
  const std::array<std::string_view, 4> path{"STREAM", s.type, TextField::trim_right(id),
                                             section};
  return lookup_dataset(path);
}

std::string qualifier8(const DatasetAnswer& a, int64_t col, int64_t j) {
  if (col <= 0) return std::string(8, ' ');
  return padded(a.qualifier_text(col, j), 8);
}

std::string substream_of(const DatasetAnswer& a, int64_t col, int64_t j) {
  std::string s = qualifier8(a, col, j);
  if (blank(s)) return std::string(kMixed);
  return s;
}

SubstreamBasis substream_basis(std::string_view text) {
  const std::string_view t = TextField::trim_right(text);
  if (t == "MOLE-FLOW") return SubstreamBasis::kMoleFlow;
  if (t == "STDVOL-FLOW") return SubstreamBasis::kStdVolFlow;
  if (t == "MASS-FRAC") return SubstreamBasis::kMassFrac;
  if (t == "MOLE-FRAC") return SubstreamBasis::kMoleFrac;
  if (t == "STDVOL-FRAC") return SubstreamBasis::kStdVolFrac;
  return SubstreamBasis::kMassFlow;
}

double stored_to_si(int64_t unit_type, int64_t unit_code, double value) {
  if (unit_type == 0 || is_missing(value)) return value;
  const UnitTable table;
  if (!table.has_unit(unit_type, unit_code) || !table.has_unit(unit_type, 1)) return value;
  // Gauge pressures stand for the run's ambient pressure.
  auto offset = [&](int64_t u) {
    const double o = table.offset(unit_type, u);
    return unit_type == kPressureUnitType && o < 0.0 ? rglb(2) : o;
  };
  const double f1 = table.factor(unit_type, 1);
  if (f1 == 0.0) return value;
  return (value * table.factor(unit_type, unit_code) + offset(unit_code) - offset(1)) / f1;
}

// ---- The routines over C++ fields ----------------------------------------

void stream_main_table(std::string_view id, char* rows, size_t rows_len, double* values,
                       char* unit_names, size_t names_len, char* labels, size_t labels_len) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(id);
  if (!s) return;
  const DatasetAnswer a = stream_dataset(s, id, "STR_MAIN");
  if (a.ndata < 4) return;
  const int64_t csub = a.find_qualifier("SUBSTREAM");
  const int64_t cprop = a.find_qualifier("PROPERTIES");
  const int64_t ccomp = a.find_qualifier("COMPONENTS");
  const UnitTable units;
  StoredConverter convert;
  // Rows in a row often share their property (component flows) and unit
  // type: names are looked up again only when these change.
  char name[12], type_name[12];
  std::memset(name, ' ', sizeof name);
  int64_t name_of = 0, type_of = 0;
  bool named = false, typed = false, has_basis = false;
  // Each row's four 16-character fields are put together here and copied
  // out once, cut to the caller's row length.
  char row_text[64];
  std::memset(row_text, ' ', sizeof row_text);
  if (!csub) std::memcpy(row_text + 16, kMixed.data(), kMixed.size());
  for (int64_t j = 4; j <= a.ndata; ++j) {
    const size_t r = idx(j - 4);
    if (cprop) {
      const int64_t number = a.qualifier_int(cprop, j);
      if (!named || number != name_of) {
        property_name_into(number, TextField(name, sizeof name));
        const std::string_view n = TextField::trim_right(std::string_view(name, sizeof name));
        has_basis = n == "HMX" || n == "RHOMX" || n == "SMX" || n == "CPMX";
      }
      name_of = number;
      named = true;
    }
    std::memcpy(row_text, name, sizeof name);
    if (csub) a.qualifier_into(csub, j, TextField(row_text + 16, 8));
    if (ccomp) a.qualifier_into(ccomp, j, TextField(row_text + 32, 8));
    const int64_t ut = a.unit_type(j);
    if (!typed || ut != type_of) units.type_name_into(ut, TextField(type_name, sizeof type_name));
    type_of = ut;
    typed = true;
    TextField(row_text + 48, 16).assign(has_basis ? basis_of_unit_type(ut) : std::string_view());
    if (rows) TextField(rows + r * rows_len, rows_len).assign(std::string_view(row_text, sizeof row_text));
    text_element(unit_names, names_len, r).assign(std::string_view(type_name, sizeof type_name));
    const ConvertedValue c = convert(ut, a.unit_code(j), a.real_value(j));
    values[r] = c.value;
    text_element(labels, labels_len, r).assign(c.label_view());
  }
}

bool stream_first_value(std::string_view id, std::string_view type, double& value, TextField label) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(id);
  if (!s) return false;
  if (padded(s.type, 4) != padded(type, 4)) return false;
  const DatasetAnswer a = stream_dataset(s, id, "STR_MAIN");
  if (a.ndata < 4) {
    value = missing_marker();
    return true;
  }
  const ConvertedValue c = convert_stored(a.unit_type(4), a.unit_code(4), a.real_value(4));
  value = c.value;
  label.assign(c.label_view());
  return true;
}

int64_t stream_values(std::string_view id, TextField substream, std::string_view property,
                      std::string_view basis, double* values, TextField unit_name,
                      TextField label) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(id);
  if (!s) return 1;
  const DatasetAnswer a = stream_dataset(s, id, "STR_MAIN");
  const int64_t csub = a.find_qualifier("SUBSTREAM");
  const int64_t cprop = a.find_qualifier("PROPERTIES");
  if (blank(substream.view())) substream.assign(kMixed);
  const std::string want = padded(substream.view(), 8);
  const std::string prop = padded(property, 12);
  const std::string b = padded(basis, 4);
  const std::string_view pname = TextField::trim_right(prop);
  // The four properties whose basis is told apart by unit type alone; 0
  // marks a basis that property does not have.
  int64_t basis_type = -1;
  auto pick = [&](int64_t mole, int64_t mass, int64_t flow) {
    if (b == "MOLE") basis_type = mole;
    else if (b == "MASS") basis_type = mass;
    else if (b == "FLOW") basis_type = flow;
  };
  if (pname == "HMX") pick(39, 40, 13);
  else if (pname == "CPMX") pick(15, 49, 0);
  else if (pname == "SMX") pick(41, 42, 0);
  else if (pname == "RHOMX") pick(37, 38, 0);
  size_t written = 0;
  for (int64_t j = 4; j <= a.ndata; ++j) {
    if (substream_of(a, csub, j) != want) continue;
    if (!cprop) continue;
    const std::string name = property_name(a.qualifier_int(cprop, j));
    if (blank(name) || name != prop) continue;
    const int64_t ut = a.unit_type(j);
    if (basis_type == 0 || (basis_type > 0 && ut != basis_type)) continue;
    if (ut == 0) {
      values[written++] = a.real_value(j);
      continue;
    }
    unit_name.assign(unit_type_name(ut));
    const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
    values[written++] = c.value;
    label.assign(c.label_view());
  }
  return written > 0 ? 0 : 1;
}

int64_t user_property_count(std::string_view id, int64_t& count) {
  FreePointerGuard guard;
  count = 0;
  const StreamRef s = find_stream_ref(id);
  if (!s) return 1;
  const DatasetAnswer a = stream_dataset(s, id, "STRM_UPP");
  if (!a.found()) return 2;
  count = a.ndata;
  return 0;
}

int64_t user_properties(std::string_view id, const UserPropertyArrays& out) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(id);
  if (!s) return 1;
  const DatasetAnswer a = stream_dataset(s, id, "STRM_UPP");
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const size_t e = idx(j - 1);
    for (const UserPropertyArrays::Field& f : {out.substreams, out.phases, out.components,
                                               out.bases, out.unit_bases})
      text_element(f.base, f.len, e).fill_blank();
    for (int64_t i = 1; i <= a.nqual; ++i) {
      const std::string q = a.qualifier_name(i);
      const std::string_view qn = TextField::trim_right(q);
      if (qn == "PROPERTIES") {
        // A number the property table does not name leaves the caller's
        // name as it was.
        const std::string name = property_name(a.qualifier_int(i, j));
        if (!TextField::trim_right(name).empty()) text_element(out.names.base, out.names.len, e).assign(name);
      }
      else if (qn == "SUBSTREAM")
        text_element(out.substreams.base, out.substreams.len, e).assign(qualifier8(a, i, j));
      else if (qn == "PHASE")
        text_element(out.phases.base, out.phases.len, e).assign(qualifier8(a, i, j));
      else if (qn == "COMPONENTS")
        text_element(out.components.base, out.components.len, e).assign(qualifier8(a, i, j));
      else if (qn == "BASIS")
        text_element(out.bases.base, out.bases.len, e).assign(qualifier8(a, i, j).substr(0, 4));
    }
    const int64_t ut = a.unit_type(j);
    out.values[e] = a.real_value(j);
    text_element(out.unit_bases.base, out.unit_bases.len, e).assign(basis_of_unit_type(ut));
    if (ut != 0) {
      text_element(out.unit_names.base, out.unit_names.len, e).assign(unit_type_name(ut));
      const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
      out.values[e] = c.value;
      text_element(out.labels.base, out.labels.len, e).assign(c.label_view());
    }
  }
  return 0;
}

void stream_phases(std::string_view id, int64_t n, int64_t& phas_flag, int64_t& xy_flag,
                   const std::array<double*, 4>& compositions,
                   const std::array<double*, 12>& scalars) {
  FreePointerGuard guard;
  phas_flag = 0;
  xy_flag = 0;
  const StreamRef s = find_stream_ref(id);
  if (!s || s.type != "MATERIAL") return;
  tksloc_[0] = s.index;
  {
    const DatasetAnswer a = stream_dataset(s, id, "STRM_XY");
    const int64_t cprop = a.find_qualifier("PROPERTIES");
    if (cprop) xy_flag = 1;
    if (n >= 1 && cprop) {
      for (int64_t i = 1; i <= a.ndata; ++i) {
        const size_t k = idx((i - 1) % n);
        double* target = nullptr;
        switch (a.qualifier_int(cprop, i)) {
          case 39: target = compositions[0]; break;
          case 36: target = compositions[1]; break;
          case 37: target = compositions[2]; break;
          case 38: target = compositions[3]; break;
          default: break;
        }
        if (target) target[k] = a.real_value(i);
      }
    }
  }
  const DatasetAnswer a = stream_dataset(s, id, "STR_PHAS");
  const int64_t cprop = a.find_qualifier("PROPERTIES");
  if (!cprop) return;
  phas_flag = 1;
  static constexpr std::array<int64_t, 12> kNumbers{64, 63, 94, 95, 88, 61,
                                                    89, 90, 991, 992, 993, 994};
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t number = a.qualifier_int(cprop, j);
    const auto it = std::find(kNumbers.begin(), kNumbers.end(), number);
    if (it == kNumbers.end()) continue;
    const int64_t ut = a.unit_type(j);
    double v = a.real_value(j);
    if (ut != 0) v = convert_stored(ut, a.unit_code(j), v).value;
    *scalars[idx(it - kNumbers.begin())] = v;
  }
}

void substream_at(std::string_view id, int64_t k, TextField name, int64_t& ncomp,
                  int64_t& ntotal) {
  FreePointerGuard guard;
  name.fill_blank();
  ncomp = 0;
  ntotal = 0;
  const StreamRef s = find_stream_ref(id);
  if (!s) return;
  const DatasetAnswer a = stream_dataset(s, id, "STR_MAIN");
  const int64_t csub = a.find_qualifier("SUBSTREAM");
  const int64_t ccomp = a.find_qualifier("COMPONENTS");
  if (a.ndata < 2) return;
  int64_t number = 0;
  std::string run;  // the substream of run k, once a total row of it is seen
  std::string previous = qualifier8(a, csub, 1);
  for (int64_t j = 2; j <= a.ndata; ++j) {
    const std::string sub = qualifier8(a, csub, j);
    const bool starts = number == 0 || sub != previous;
    previous = sub;
    if (blank(sub)) continue;
    if (starts) ++number;
    if (number != k) continue;
    const std::string comp = qualifier8(a, ccomp, j);
    if (!blank(comp)) {
      if (ncomp == 0) {
        // The component's list decides the count: the conventional part of
        // the component-identifier table, or the non-conventional one.
        const int64_t pos = component_position(comp);
        ncomp = pos > 0 && pos <= glob(g::kNcc) ? glob(g::kNcc) : glob(g::kNnc);
      }
    } else if (run.empty()) {
      run = sub;
    }
  }
  if (run.empty()) return;
  name.assign(run);
  // The count sizes the total arrays of TKSUBS, which returns every total
  // row of the substream's name among the result rows: a name that comes
  // back after another substream brings its totals along, and blank rows of
  // "MIXED" are its own. Counting the run alone would let TKSUBS write past
  // arrays sized by it.
  for (int64_t j = 4; j <= a.ndata; ++j)
    if (substream_of(a, csub, j) == run && blank(qualifier8(a, ccomp, j))) ++ntotal;
}

void substream_results(std::string_view id, std::string_view substream, std::string_view basis,
                       int64_t n, char* ids, size_t ids_len, double* values, TextField label,
                       char* total_names, size_t total_names_len, double* total_values,
                       char* total_labels, size_t total_labels_len) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(id);
  if (!s) return;
  StoredConverter convert;
  std::vector<MainRow> rows;
  {
    const DatasetAnswer a = stream_dataset(s, id, "STR_MAIN");
    rows = main_rows(a, 4);
  }
  const SubstreamRows sub{rows, word8((blank(substream) ? std::string(kMixed) : padded(substream, 8)).data())};

  // The substream's total rows, in data order.
  size_t t = 0;
  for (const MainRow& row : rows) {
    if (row.substream_word() != sub.substream || !row.component_blank()) continue;
    property_name_into(row.property, text_element(total_names, total_names_len, t));
    const ConvertedValue c = convert(row.unit_type, row.unit_code, row.value);
    if (total_values) total_values[t] = c.value;
    text_element(total_labels, total_labels_len, t).assign(c.label_view());
    ++t;
  }
  if (n < 1) return;

  const SubstreamBasis b = substream_basis(basis);
  const FlowKind& kind = kind_of(b);
  const bool frac = is_fraction(b);

  // The quantity itself is stored.
  const int64_t wanted = frac ? kind.frac : kind.flow;
  if (const auto first = sub.first(wanted)) {
    for (int64_t i = 0; i < n; ++i) {
      const MainRow* row = sub.block_row(*first, wanted, i);
      if (!row) break;
      text_element(ids, ids_len, idx(i)).assign(row->component());
      if (row->unit_type == 0) {
        values[i] = row->value;
      } else {
        const ConvertedValue c = convert(row->unit_type, row->unit_code, row->value);
        values[i] = c.value;
        label.assign(c.label_view());
      }
    }
    return;
  }

  // A flow from the stored fraction of its kind times the substream's total;
  // the product is in the unit the total is stored in.
  if (!frac) {
    if (const auto first = sub.first(kind.frac)) {
      const MainRow* tot = sub.total(kind.total);
      for (int64_t i = 0; i < n; ++i) {
        const MainRow* row = sub.block_row(*first, kind.frac, i);
        if (!row) break;
        text_element(ids, ids_len, idx(i)).assign(row->component());
        double v = missing_marker();
        int64_t code = 1;
        if (tot && !is_missing(tot->value) && !is_missing(row->value)) {
          v = row->value * tot->value;
          code = tot->unit_code;
        }
        const ConvertedValue c = convert(kind.unit_type, code, v);
        values[i] = c.value;
        label.assign(c.label_view());
      }
      return;
    }
  }

  // Derived through mole flows. Everything is taken into SI units first
  // (kg/s, kmol/s, m3/s; molecular weights in kg/kmol, standard liquid
  // volumes in m3/kmol), so the derived flows are in unit 1 of their type
  // before they are converted into the caller's units.
  struct Source {
    const FlowKind* kind;
    bool fraction;
    size_t first;
  };
  std::optional<Source> source;
  for (const FlowKind* k : {&kMassKind, &kMoleKind, &kStdVolKind}) {
    if (const auto f = sub.first(k->flow)) { source = Source{k, false, *f}; break; }
    if (const auto f = sub.first(k->frac)) { source = Source{k, true, *f}; break; }
  }
  if (!source) return;
  const int64_t source_prop = source->fraction ? source->kind->frac : source->kind->flow;
  const double source_total = source->fraction ? total_si(sub, *source->kind) : 0.0;
  const std::vector<double> mw = component_vector_si("MW");
  const std::vector<double> vlstd = component_vector_si("VLSTD");
  auto at = [&](const std::vector<double>& v, int64_t pos) {
    return pos >= 1 && idx(pos) <= v.size() ? v[idx(pos - 1)] : missing_marker();
  };
  // A usable divisor or factor: stored, not missing, not zero.
  auto usable = [](double x) { return !is_missing(x) && x != 0.0; };
  const double result_total = frac ? total_si(sub, kind) : 0.0;

  for (int64_t i = 0; i < n; ++i) {
    const MainRow* row = sub.block_row(source->first, source_prop, i);
    if (!row) break;
    text_element(ids, ids_len, idx(i)).assign(row->component());
    const int64_t pos = component_position(row->component());
    const double m = at(mw, pos), vl = at(vlstd, pos);
    // The source as an SI flow of its own kind.
    double flow = missing_marker();
    if (!is_missing(row->value)) {
      if (!source->fraction)
        flow = stored_to_si(row->unit_type, row->unit_code, row->value);
      else if (!is_missing(source_total))
        flow = row->value * source_total;
    }
    // The mole flow.
    double mole = missing_marker();
    if (!is_missing(flow)) {
      if (source->kind == &kMoleKind) mole = flow;
      else if (source->kind == &kMassKind && usable(m)) mole = flow / m;
      else if (source->kind == &kStdVolKind && usable(vl)) mole = flow / vl;
    }
    // The flow of the requested kind.
    double out = missing_marker();
    if (!is_missing(mole)) {
      if (&kind == &kMoleKind) out = mole;
      else if (&kind == &kMassKind && !is_missing(m)) out = mole * m;
      else if (&kind == &kStdVolKind && !is_missing(vl)) out = mole * vl;
    }
    if (frac) {
      // A zero or absent total gives the missing-value marker, not a
      // division by zero.
      values[i] = !is_missing(out) && usable(result_total) ? out / result_total
                                                            : missing_marker();
    } else {
      const ConvertedValue c = convert(kind.unit_type, 1, out);
      values[i] = c.value;
      label.assign(c.label_view());
    }
  }
}

}  // namespace flowsum

extern "C" {

void tkstrm_(const char* id, int64_t* /*unused*/, char* rows, double* values, char* unit_names,
             char* labels, int64_t* nrows, size_t id_len, size_t rows_len, size_t names_len,
             size_t labels_len) {
  using namespace flowsum;
  *nrows = 0;
  stream_main_table(std::string_view(id, id_len), rows, rows_len, values, unit_names,
                    names_len, labels, labels_len);
}

void tkstra_(const char* id, const char* type, double* value, char* label, size_t id_len, size_t type_len,
             size_t label_len) {
  using namespace flowsum;
  stream_first_value(std::string_view(id, id_len), TextField(type, type_len).view(), *value,
                     TextField(label, label_len));
}

void tksval_(const char* id, const char* substream, const char* property, const char* basis, double* values,
             char* unit_name, char* label, int64_t* ierr, size_t id_len, size_t substream_len,
             size_t property_len, size_t basis_len, size_t unit_name_len, size_t label_len) {
  using namespace flowsum;
  *ierr = stream_values(std::string_view(id, id_len), TextField(substream, substream_len),
                        TextField(property, property_len).view(),
                        TextField(basis, basis_len).view(), values,
                        TextField(unit_name, unit_name_len), TextField(label, label_len));
}

void tknspr_(const char* id, int64_t* count, int64_t* ierr, size_t id_len) {
  *ierr = flowsum::user_property_count(std::string_view(id, id_len), *count);
}

void tksprp_(const char* id, int64_t* /*unused*/, char* names, char* substreams, char* phases,
             char* components, char* bases, char* unit_bases, double* values,
             char* unit_names, char* labels, int64_t* ierr, size_t id_len, size_t names_len,
             size_t substreams_len, size_t phases_len, size_t components_len, size_t bases_len,
             size_t unit_bases_len, size_t unit_names_len, size_t labels_len) {
  using namespace flowsum;
  UserPropertyArrays out{{names, names_len},         {substreams, substreams_len},
                         {phases, phases_len},       {components, components_len},
                         {bases, bases_len},         {unit_bases, unit_bases_len},
                         values,                     {unit_names, unit_names_len},
                         {labels, labels_len}};
  *ierr = user_properties(std::string_view(id, id_len), out);
}

void tksphs_(const char* id, int64_t* n, int64_t* phas_flag, int64_t* xy_flag, double* y, double* x,
             double* x1, double* x2, double* p64, double* p63, double* p94, double* p95,
             double* p88, double* p61, double* p89, double* p90, double* p991, double* p992,
             double* p993, double* p994, size_t id_len) {
  flowsum::stream_phases(std::string_view(id, id_len), *n, *phas_flag, *xy_flag,
                         {y, x, x1, x2},
                         {p64, p63, p94, p95, p88, p61, p89, p90, p991, p992, p993, p994});
}

void tknsub_(const char* id, int64_t* k, char* name, int64_t* ncomp, int64_t* ntotal, size_t id_len,
             size_t name_len) {
  using namespace flowsum;
  substream_at(std::string_view(id, id_len), *k, TextField(name, name_len), *ncomp, *ntotal);
}

void tksubs_(const char* id, const char* substream, const char* basis, int64_t* n, char* ids, double* values,
             char* label, int64_t* /*unused*/, char* total_names, double* total_values,
             char* total_labels, size_t id_len, size_t substream_len, size_t basis_len,
             size_t ids_len, size_t label_len, size_t total_names_len,
             size_t total_labels_len) {
  using namespace flowsum;
  substream_results(std::string_view(id, id_len), TextField(substream, substream_len).view(),
                    TextField(basis, basis_len).view(), *n, ids, ids_len, values,
                    TextField(label, label_len), total_names, total_names_len, total_values,
                    total_labels, total_labels_len);
}

}  // extern "C"
