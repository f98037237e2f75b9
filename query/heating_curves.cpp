// Heating curves: curve location by type, number and location, the
// standard and further rows of a curve, and the last-curve memory.
#include "query/heating_curves.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "flowsum.h"
#include "query/block_path.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/reference_tables.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/load_stamp.hpp"
#include "store/packed_words.hpp"
#include "store/sequence_elements.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

struct CurveType {
  std::string_view type;
  std::string_view section;
  bool main = false;  // refinery: located at "MAIN", the number alone in HCURV_NO
};

constexpr std::array<CurveType, 6> kGeneralTypes{{{"HCURVE", "HCURVE"},
                                                  {"HOT", "HOT_HCUR"},
                                                  {"COLD", "COLD_HCU"},
                                                  {"REBOILER", "REB_HCUR"},
                                                  {"CONDENSER", "COND_HCU"},
                                                  {"ICSTREAM", "ICH_HCUR"}}};
constexpr std::array<CurveType, 4> kRefineryTypes{{{"REBOILER", "REB_HCIM", true},
                                                   {"CONDENSER", "COND_HCU", true},
                                                   {"STRIPPERREBOILER", "SREB_HCU", false},
                                                   {"PUMPAROUND", "PA_HCURV", false}}};

struct ModelSections {
  std::string_view model;
  std::array<std::string_view, 3> sections;
};
constexpr std::array<ModelSections, 10> kModels{{
    {"VLDRUM", {"HCURVE"}},
    {"VLLDRUM", {"HCURVE"}},
    {"TEMPCHG", {"HCURVE"}},
    {"TWOSIDE", {"HOT_HCUR", "COLD_HCU"}},
    {"MULTSIDE", {"HCURVE"}},
    {"TRAYCOL", {"REB_HCUR", "COND_HCU", "ICH_HCUR"}},
    {"LINKEDCO", {"REB_HCUR", "COND_HCU", "ICH_HCUR"}},
    {"STAGEBST", {"HCURVE"}},
    {"KINETCOL", {"REB_HCUR", "COND_HCU", "ICH_HCUR"}},
    {"LLSETTLR", {"HCURVE"}},
}};

constexpr std::string_view kCrudeModel = "CRUDEUNI";
constexpr std::string_view kMainLocation = "MAIN";
constexpr std::array<int64_t, 5> kStandardProperties{131, 7001, 7002, 7003, 62};
constexpr int64_t kStandardRows = 5;

using Block = BlockPath;

bool crude(const Block& b) { return b.model == kCrudeModel; }

const ModelSections* model_sections(std::string_view model) {
  for (const ModelSections& m : kModels)
    if (padded(m.model, 8) == padded(model, 8)) return &m;
  return nullptr;
}

// The curve type a caller names: the general routines compare the first 8
// characters, the refinery set the whole 16. nullptr for any other type, or
// a general type whose section the block's model does not report.
const CurveType* general_type(const Block& b, std::string_view type) {
  const ModelSections* m = model_sections(b.model);
  if (m == nullptr) return nullptr;
  const std::string want = padded(type, 8);
  for (const CurveType& t : kGeneralTypes) {
    if (padded(t.type, 8) != want) continue;
    for (std::string_view s : m->sections)
      if (s == t.section) return &t;
    return nullptr;
  }
  return nullptr;
}

const CurveType* refinery_type(std::string_view type) {
  const std::string want = padded(type, 16);
  for (const CurveType& t : kRefineryTypes)
    if (padded(t.type, 16) == want) return &t;
  return nullptr;
}

// The data-set nodes of one section of a block, in chain order.
std::vector<int64_t> section_nodes(const Block& b, std::string_view section) {
  const auto path = b.path(section);
  int64_t node = 0;
  if (TreeNodes::loaded().find(path, node) != 0 || node == 0) return {};
  return equal_siblings(node, section, false);
}

// Location and number of a curve from its "HCURV_NO" member text: the
// number alone, or (with_location) the location id, a blank, the number.
void read_curve_number(std::string_view text, bool with_location, CurveEntry& e) {
  std::string_view digits = text;
  if (with_location) {
    size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view loc = text.substr(start, std::min<size_t>(end - start, 8));
    e.location = std::string(loc);
    digits = text.substr(end);
  }
  const UnsignedRead r = read_unsigned(digits);
  e.number = r.ierr == 0 ? r.value : 0;
}

// The member of a loading sequence's "HCURV_NO" element when it has one
// qualifier and one member; kept per sequence for the load, since every
// listing and search reads it for each curve and many curves share one
// sequence. status receives the sequence's compile status.
struct CurveNumberText {
  bool present = false;
  std::string text;
  int64_t status = 0;
};

const CurveNumberText& curve_number_text(std::string_view lset) {
  static LoadStamp stamp;
  static std::unordered_map<std::string, CurveNumberText> known;
  if (!(stamp == LoadStamp::now())) {
    known.clear();
    stamp = LoadStamp::now();
  }
  auto [it, fresh] = known.emplace(std::string(lset), CurveNumberText{});
  if (fresh) {
    CurveNumberText& c = it->second;
    const std::vector<SequenceElement> elements = sequence_elements(lset, c.status);
    const SequenceElement* el = find_element(elements, "HCURV_NO");
    if (el != nullptr && el->nqualifiers == 1 && el->members.size() == 1) {
      c.present = true;
      c.text = el->members[0].text;
    }
  }
  return it->second;
}

// The curve entry of one data set: its "HCURV_NO" element with a single
// member. False for a data set without one.
bool curve_entry(int64_t node, const CurveType& t, bool refinery, CurveEntry& e, int64_t& status) {
  if (!node_record(node, e.record)) return false;
  const CurveNumberText& c = curve_number_text(std::string_view(e.record.value, 8));
  if (c.status != 0) status = c.status;
  if (!c.present) return false;
  e.type = std::string(t.type);
  e.section = std::string(t.section);
  read_curve_number(c.text, refinery && !t.main, e);
  if (refinery && t.main) e.location = std::string(kMainLocation);
  return true;
}

bool location_matches(const CurveType& t, bool refinery, std::string_view wanted, const CurveEntry& e) {
  if (!refinery) return true;
  const std::string w(TextField::trim_right(wanted.substr(0, std::min<size_t>(wanted.size(), 8))));
  if (t.main) return w.empty() || w == kMainLocation;
  return w == e.location;
}

// ---- A located curve and its table ------------------------------------------

// One value of a curve's table as the routines read it: point number,
// property number, unit type and stored unit code, the stored real, and
// which standard value it is (0-based in kStandardProperties; -1 for a row
// that carries a further-property qualifier or another property).
struct CurveRow {
  int64_t point = 0, property = 0, unit_type = 0, unit_code = 0;
  double value = 0.0;
  int standard = -1;
};

// The names of the further-property qualifier columns, in the order
// FurtherTexts keeps their texts.
constexpr std::array<std::string_view, 4> kFurtherColumns{"SUBSTREAM", "PHASE", "COMPONENTS", "BASIS"};
using FurtherTexts = std::array<std::string, 4>;  // 8 characters each

// A located curve's table, read once from the data set's blocks into rows,
// so that the routines asked about the same curve in turn read plain values
// rather than the work area's packed words again.
struct CurveTable {
  std::vector<CurveRow> rows;         // value j at rows[j - 1]
  std::vector<FurtherTexts> further;  // qualifier texts of the first point's rows
  int64_t rows_per_point = 0;
  int64_t npoints = 0;
  // The qualifier block the rows' points, properties, unit types, standard
  // values and further texts were read from, as list evaluation keeps it
  // (null when none was kept), and its qualifier count.
  std::shared_ptr<const std::vector<int64_t>> block;
  int64_t nqual = 0;
  int64_t ndata() const { return static_cast<int64_t>(rows.size()); }
  int64_t nfurther() const { return std::max<int64_t>(rows_per_point - kStandardRows, 0); }
  const CurveRow& row(int64_t j) const { return rows[static_cast<size_t>(j - 1)]; }
  // Text of further-property column k (kFurtherColumns) of row j of the
  // first point (j <= rows_per_point).
  const std::string& text(int64_t j, size_t k) const { return further[static_cast<size_t>(j - 1)][k]; }
};

// Reads the located data set's blocks into t. Everything but the unit codes
// and values comes from the qualifier block, which every curve of one
// loading sequence shares: when t was read from the same block (block, as
// answer_qualifier_block gives it), only the codes and values are read.
void read_table(const DatasetAnswer& a, CurveTable& t, std::shared_ptr<const std::vector<int64_t>> block) {
  if (block != nullptr && block == t.block && a.found() && a.nqual == t.nqual && a.ndata == t.ndata() &&
      in_work(a.locd, 5 * a.ndata)) {
    const int64_t nd = a.ndata, codes = a.locd + 3 * nd, reals = a.locd + 4 * nd;
    for (int64_t j = 1; j <= nd; ++j) {
      CurveRow& r = t.rows[static_cast<size_t>(j - 1)];
      r.unit_code = work(codes + j - 1);
      r.value = std::bit_cast<double>(work(reals + j - 1));
    }
    return;
  }
  t.block = nullptr;
  int64_t point_col = 0, prop_col = 0;
  std::array<int64_t, kFurtherColumns.size()> text_cols{};  // first column of each name
  std::vector<int64_t> further_cols;  // every column that marks a further property
  char q[16];
  for (int64_t i = 1; i <= a.nqual; ++i) {
    a.qualifier_name_into(i, TextField(q, 16));
    const std::string_view name(q, 16);
    if (padded_equal(name, "NPOINT")) {
      point_col = i;  // the last of that name
      continue;
    }
    if (padded_equal(name, "PROPERTIES")) {
      prop_col = i;
      continue;
    }
    for (size_t k = 0; k < kFurtherColumns.size(); ++k) {
      if (!padded_equal(name, kFurtherColumns[k])) continue;
      if (text_cols[k] == 0) text_cols[k] = i;
      further_cols.push_back(i);
      break;
    }
  }
  // A further-property row has one of those qualifiers set: its packed
  // words are not blanks.
  static const std::array<int64_t, 2> blank = [] {
    std::array<int64_t, 2> w{};
    pack_text("", 8, w.data());
    return w;
  }();
  // The words as the lookup lays them out (0 outside the work area, as the
  // answer's readers give them; blocks of a found data set lie inside it).
  const int64_t nd = std::max<int64_t>(a.ndata, 0), nq = std::max<int64_t>(a.nqual, 0);
  const int64_t pairs = a.locq + 4 * nq, units = pairs + 2 * nq * nd + nd;
  const int64_t codes = a.locd + 3 * nd, reals = a.locd + 4 * nd;
  const bool inside = in_work(a.locq, 4 * nq + 2 * nq * nd + 2 * nd) && in_work(a.locd, 5 * nd);
  auto at = [inside](int64_t k) { return inside || in_work(k, 1) ? work(k) : 0; };
  t.rows.assign(static_cast<size_t>(nd), CurveRow{});
  for (int64_t j = 1; j <= nd; ++j) {
    CurveRow& r = t.rows[static_cast<size_t>(j - 1)];
    const int64_t q = pairs + 2 * nq * (j - 1);  // the row's qualifier pairs
    r.point = point_col > 0 ? at(q + 2 * (point_col - 1)) : 0;
    r.property = prop_col > 0 ? at(q + 2 * (prop_col - 1)) : 0;
    r.unit_type = at(units + j - 1);
    r.unit_code = at(codes + j - 1);
    r.value = std::bit_cast<double>(at(reals + j - 1));
    const auto k = std::find(kStandardProperties.begin(), kStandardProperties.end(), r.property);
    if (k == kStandardProperties.end()) continue;
    bool standard = true;
    for (int64_t c : further_cols) {
      const int64_t w = q + 2 * (c - 1);
      if (at(w) != blank[0] || at(w + 1) != blank[1]) standard = false;
    }
    if (standard) r.standard = static_cast<int>(k - kStandardProperties.begin());
  }
  // A table without values or without point numbers has no points; rows per
  // point are at least 1 whenever there are values, so nothing divides by 0.
  t.rows_per_point = 0;
  t.npoints = 0;
  t.further.clear();
  if (a.found() && point_col > 0) {
    const int64_t first = t.row(1).point;
    int64_t r = 1;
    while (r < nd && t.row(r + 1).point == first) ++r;
    t.rows_per_point = r;
    t.npoints = nd / r;
    t.further.resize(static_cast<size_t>(r));
    for (int64_t j = 1; j <= r; ++j)
      for (size_t k = 0; k < kFurtherColumns.size(); ++k)
        t.further[static_cast<size_t>(j - 1)][k] =
            text_cols[k] > 0 ? a.qualifier_text(text_cols[k], j) : std::string(8, ' ');
  }
  // Only a table read whole from the work area stands for its block.
  t.nqual = a.nqual;
  if (inside) t.block = std::move(block);
}

// ---- The last-curve memory ----------------------------------------------------
//
// The located curve is remembered with its table, the request that located
// it (block id, curve type, refinery set, location and number), the load
// and tree it was read from, and the data record (line and loading
// sequence) it was found at. TKRETN words 2 and 3 carry the number and the
// line beside the path the lookup records. The memory answers only while
// the load is the same, TKDTRE has not changed the tree, and TKRETN still
// holds this curve's path, loading sequence, number and line: a curve read
// by another routine in between, or another curve of the same number in
// another location, is searched afresh. (Within one load and tree a block, section, location and
// number always locate the same data set, whose values the file fixes; the
// values are converted on every call, so a change of units is seen.)
struct CurveMemory {
  bool valid = false;
  LoadStamp stamp;  // of the block table
  std::string id, type;  // the request: block id and curve type, trailing blanks cut
  bool refinery = false;
  std::string location;  // the request's location, first 8 characters, trailing blanks cut
  int64_t number = 0;
  std::string model, section;
  DataRecord record;
  // The curve's path and loading sequence as TKRETN's first five texts hold
  // them after its lookup, each blank-padded to the text's length: compared
  // in one piece, so that a lookup of another data set of the path in
  // between is seen.
  std::array<char, 5 * TK_RETN_TEXT_LEN> retn_texts;
  CurveTable table;
};
CurveMemory g_memory;

std::string_view trimmed(std::string_view s, size_t n) { return TextField::trim_right(s.substr(0, std::min(s.size(), n))); }

// Whether the first n characters of s, trailing blanks cut, are key (which
// has none): compared eight characters at a time, since callers pass long
// blank-padded fields.
bool same_key(std::string_view s, size_t n, std::string_view key) {
  return padded_equal(s.substr(0, std::min(s.size(), n)), key);
}

const CurveTable* remembered_curve(std::string_view id, std::string_view type, bool refinery,
                                   std::string_view location, int64_t number) {
  const CurveMemory& m = g_memory;
  if (!m.valid || !(m.stamp == LoadStamp::now(ItemKind::kBlock)) ||
      m.number != number || m.refinery != refinery || !same_key(id, kIdentifierChars, m.id) ||
      !same_key(type, 16, m.type) || m.location != location)
    return nullptr;
  if (tkretn_.iret[0] != 4 || tkretn_.iret[1] != number || tkretn_.iret[2] != m.record.idata ||
      std::memcmp(tkretn_.text[0], m.retn_texts.data(), m.retn_texts.size()) != 0)
    return nullptr;
  return &m.table;
}

// The caller's curve: block, set and type checked.
struct CurveRequest {
  Block block;
  const CurveType* type = nullptr;
  bool refinery = false;
};

CurveRequest curve_request(std::string_view id, std::string_view type, bool refinery) {
  CurveRequest r;
  r.block = block_path(id);
  if (!r.block.block) return r;
  r.refinery = refinery && crude(r.block);
  r.type = r.refinery ? refinery_type(type) : general_type(r.block, type);
  return r;
}

// A block's curve list, remembered for the block last listed: TKNHCV and
// TKLHCV ask for the same block one after the other. The list depends on
// the block table, the tree and the loading sequences only, so it is used
// again while the load is the same and TKDTRE has not changed the tree.
// The memory also serves the search of a curve in a block just listed.
struct ListedCurves {
  bool valid = false;
  LoadStamp stamp;  // of the block table
  std::string id;  // the block id as block_curves reads it: 128 characters, trailing blanks cut
  bool refinery = false;
  int64_t status = 0;
  std::vector<CurveEntry> curves;
};

ListedCurves g_listed;

const ListedCurves& listed_curves(std::string_view id, bool refinery) {
  ListedCurves& m = g_listed;
  if (!m.valid || !(m.stamp == LoadStamp::now(ItemKind::kBlock)) || m.refinery != refinery ||
      !same_key(id, kIdentifierChars, m.id)) {
    m.valid = false;
    m.curves = block_curves(id, refinery, m.status);
    m.stamp = LoadStamp::now(ItemKind::kBlock);
    m.id = std::string(trimmed(id, kIdentifierChars));
    m.refinery = refinery;
    m.valid = true;
  }
  return m;
}

// The listing remembered for block id (as block_path keeps it) and the
// refinery set, while it is still right; nullptr when the memory holds
// another block or is stale.
const ListedCurves* remembered_listing(std::string_view id, bool refinery) {
  const ListedCurves& m = g_listed;
  return m.valid && m.stamp == LoadStamp::now(ItemKind::kBlock) &&
                 m.refinery == refinery && m.id == id
             ? &m
             : nullptr;
}

// The caller's curve located and its table read: from the last-curve memory
// while it holds this curve, else by a search of the block's section and a
// lookup, after which the memory holds it. nullptr when the block, type or
// curve is unknown. The table stays valid until the next search.
const CurveTable* locate(std::string_view id, std::string_view location, std::string_view type, int64_t number,
                         bool refinery) {
  const std::string_view loc_key = trimmed(location, 8);
  if (const CurveTable* t = remembered_curve(id, type, refinery, loc_key, number)) return t;
  const CurveRequest r = curve_request(id, type, refinery);
  if (r.type == nullptr) return nullptr;
  const Block& b = r.block;
  const CurveType& t = *r.type;
  DataRecord record;
  bool found = false;
  if (const ListedCurves* listed = remembered_listing(b.id, refinery)) {
    // The block was just listed: its entries are the section's curves in
    // the order a walk of the section finds them.
    for (const CurveEntry& e : listed->curves) {
      if (e.section != t.section || e.number != number || !location_matches(t, r.refinery, location, e)) continue;
      record = e.record;
      found = true;
      break;
    }
  } else {
    int64_t status = 0;
    for (int64_t node : section_nodes(b, t.section)) {
      CurveEntry e;
      if (!curve_entry(node, t, r.refinery, e, status) || e.number != number ||
          !location_matches(t, r.refinery, location, e))
        continue;
      record = e.record;
      found = true;
      break;
    }
  }
  if (!found) return nullptr;
  const auto path = b.path(t.section);
  const DatasetAnswer a = lookup_dataset_record(path, record);
  CurveMemory& m = g_memory;
  m.valid = false;
  m.stamp = LoadStamp::now(ItemKind::kBlock);
  m.id = b.id;
  m.type = std::string(trimmed(type, 16));
  m.refinery = refinery;
  m.location = std::string(loc_key);
  m.number = number;
  m.model = b.model;
  m.section = std::string(t.section);
  m.record = record;
  auto retn_text = [&m](size_t i) { return TextField(m.retn_texts.data() + i * TK_RETN_TEXT_LEN, TK_RETN_TEXT_LEN); };
  for (size_t i = 0; i < path.size(); ++i) retn_text(i).assign(path[i]);
  retn_text(path.size()).assign(std::string_view(record.value, 8));
  read_table(a, m.table, answer_qualifier_block());
  m.valid = true;
  tkretn_.iret[1] = number;
  tkretn_.iret[2] = record.idata;
  return &m.table;
}

// Fields of a further property's qualifiers.
struct FurtherFields {
  TextField pname, substream, phase, component, basis, flowbasis;
  void blank() const {
    for (const TextField& f : {pname, substream, phase, component, basis, flowbasis}) f.fill_blank();
  }
};

// The values of further-property row `row` of the first point, at every
// point, into values (at most npoints, stored by point number), with the
// quantity name and unit label of the first.
void read_further(const CurveTable& t, int64_t row, int64_t npoints, double* values, TextField qname,
                  TextField ulabel) {
  qname.fill_blank();
  ulabel.fill_blank();
  StoredConverter convert;
  for (int64_t p = 0; p < t.npoints; ++p) {
    const CurveRow& r = t.row(p * t.rows_per_point + row);
    const ConvertedValue c = convert(r.unit_type, r.unit_code, r.value);
    if (r.point >= 1 && r.point <= npoints && values) values[r.point - 1] = c.value;
    if (p == 0) {
      qname.assign(r.unit_type != 0 ? unit_type_name(r.unit_type) : std::string());
      ulabel.assign(c.label_view());
    }
  }
}

void standard_values(std::string_view id, std::string_view location, std::string_view type, int64_t number,
                     int64_t npoints, std::array<double*, 5> out, int64_t* ierr, bool refinery) {
  FreePointerGuard guard;
  *ierr = 1;
  const CurveTable* t = locate(id, location, type, number, refinery);
  if (t == nullptr) return;
  *ierr = 0;
  // One converter a standard value: each keeps its unit from row to row.
  std::array<StoredConverter, 5> convert;
  for (const CurveRow& r : t->rows) {
    if (r.standard < 0 || r.point < 1 || r.point > npoints) continue;
    const size_t i = static_cast<size_t>(r.standard);
    if (out[i] == nullptr) continue;
    out[i][r.point - 1] = i == 0 ? r.value : convert[i](r.unit_type, r.unit_code, r.value).value;
  }
}

// TKHPRP and its twin: the further property whose qualifiers equal the
// caller's. The caller's number of points must be the curve's.
void property_by_qualifiers(std::string_view id, std::string_view location, std::string_view type,
                            int64_t number, int64_t npoints, const std::array<std::string_view, 6>& want,
                            double* values, TextField qname, TextField ulabel, int64_t* ierr, bool refinery) {
  FreePointerGuard guard;
  *ierr = 1;
  const CurveTable* found = locate(id, location, type, number, refinery);
  if (found == nullptr) return;
  const CurveTable& t = *found;
  if (npoints < 1 || npoints != t.npoints || t.nfurther() == 0) return;
  qname.fill_blank();
  const std::string pname = padded(want[0], 12);
  const std::string flowbasis = std::string(TextField::trim_right(padded(want[5], 4)));
  const std::array<std::string, 4> texts{padded(want[1], 8), padded(want[2], 8), padded(want[3], 8),
                                         padded(want[4], 4)};
  for (int64_t row = kStandardRows + 1; row <= t.rows_per_point; ++row) {
    if (padded(property_name(t.row(row).property), 12) != pname) continue;
    if (t.text(row, 0) != texts[0] || t.text(row, 1) != texts[1] || t.text(row, 2) != texts[2] ||
        std::string_view(t.text(row, 3)).substr(0, 4) != texts[3])
      continue;
    const std::string_view basis = basis_of_unit_type(t.row(row).unit_type);
    if (!basis.empty() && basis != flowbasis) continue;
    read_further(t, row, npoints, values, qname, ulabel);
    *ierr = 0;
    return;
  }
}

// TKNHPR and its twin: further property k with its qualifiers.
void property_by_position(std::string_view id, std::string_view location, std::string_view type,
                          int64_t number, int64_t npoints, int64_t k, const FurtherFields& f,
                          double* values, TextField qname, TextField ulabel, int64_t* ierr, bool refinery) {
  FreePointerGuard guard;
  *ierr = 1;
  f.blank();
  const CurveTable* found = locate(id, location, type, number, refinery);
  if (found == nullptr) return;
  const CurveTable& t = *found;
  if (npoints < 1 || npoints != t.npoints || k < 1 || k > t.nfurther()) return;
  const int64_t row = kStandardRows + k;
  f.pname.assign(property_name(t.row(row).property));
  f.substream.assign(t.text(row, 0));
  f.phase.assign(t.text(row, 1));
  f.component.assign(t.text(row, 2));
  f.basis.assign(std::string_view(t.text(row, 3)).substr(0, 4));
  f.flowbasis.assign(basis_of_unit_type(t.row(row).unit_type));
  read_further(t, row, npoints, values, qname, ulabel);
  *ierr = 0;
}

}  // namespace

std::vector<CurveEntry> block_curves(std::string_view id, bool refinery, int64_t& status) {
  status = 0;
  std::vector<CurveEntry> out;
  const Block b = block_path(id);
  if (!b.block) return out;
  auto add_section = [&](const CurveType& t, bool crude) {
    for (int64_t node : section_nodes(b, t.section)) {
      CurveEntry e;
      if (curve_entry(node, t, crude, e, status)) out.push_back(std::move(e));
    }
  };
  if (refinery && crude(b)) {
    for (const CurveType& t : kRefineryTypes) add_section(t, true);
    return out;
  }
  const ModelSections* m = model_sections(b.model);
  if (m == nullptr) return out;
  for (std::string_view s : m->sections)
    for (const CurveType& t : kGeneralTypes)
      if (!s.empty() && t.section == s) add_section(t, false);
  return out;
}

CurveShape curve_shape(std::string_view id, std::string_view location, std::string_view type, int64_t number,
                       bool refinery) {
  FreePointerGuard guard;
  CurveShape s;
  const CurveTable* t = locate(id, location, type, number, refinery);
  if (t == nullptr) return s;
  s.found = true;
  s.npoints = t->npoints;
  s.nfurther = t->nfurther();
  return s;
}

}  // namespace flowsum

// ---- Exported routines ---------------------------------------------------------

namespace {

using namespace flowsum;

int64_t count_curves(const char* id, size_t id_len, bool refinery) {
  FreePointerGuard guard;
  return static_cast<int64_t>(listed_curves(caller_text(id, id_len), refinery).curves.size());
}

void list_curves(const char* id, size_t id_len, int64_t n, char* locations, size_t locations_len, char* types,
                 size_t types_len, int64_t* numbers, int64_t* ierr, bool refinery) {
  FreePointerGuard guard;
  *ierr = 1;
  const size_t room = static_cast<size_t>(std::max<int64_t>(n, 0));
  if (refinery)
    for (size_t i = 0; i < room; ++i) text_element(locations, locations_len, i).fill_blank();
  const ItemMatch m = find_block(TextField::trim_right(caller_text(id, id_len)));
  if (!m) return;
  const ListedCurves& listed = listed_curves(caller_text(id, id_len), refinery);
  const std::vector<CurveEntry>& curves = listed.curves;
  *ierr = listed.status;
  for (size_t i = 0; i < curves.size() && i < room; ++i) {
    if (refinery) text_element(locations, locations_len, i).assign(curves[i].location);
    text_element(types, types_len, i).assign(curves[i].type);
    if (numbers) numbers[i] = curves[i].number;
  }
}

void shape_out(const char* id, size_t id_len, std::string_view location, const char* type, size_t type_len,
               int64_t number, int64_t* npoints, int64_t* nfurther, bool refinery) {
  *npoints = 0;
  *nfurther = 0;
  const CurveShape s = curve_shape(caller_text(id, id_len), location, caller_text(type, type_len), number, refinery);
  *npoints = s.npoints;
  *nfurther = s.nfurther;
}

}  // namespace

extern "C" {

void tknhcv_(const char* id, int64_t* n, size_t id_len) {
  *n = 0;
  try {
    *n = count_curves(id, id_len, false);
  } catch (...) {
  }
}

void tklhcv_(const char* id, int64_t* n, char* types, int64_t* numbers, int64_t* ierr, size_t id_len,
             size_t types_len) {
  *ierr = 1;
  try {
    list_curves(id, id_len, *n, nullptr, 0, types, types_len, numbers, ierr, false);
  } catch (...) {
    *ierr = 1;
  }
}

void tkshcv_(const char* id, const char* type, int64_t* number, int64_t* npoints, int64_t* nfurther,
             size_t id_len, size_t type_len) {
  try {
    shape_out(id, id_len, {}, type, type_len, *number, npoints, nfurther, false);
  } catch (...) {
  }
}

void tkhcrv_(const char* id, const char* type, int64_t* number, int64_t* npoints, double* v1, double* v2,
             double* v3, double* v4, double* v5, int64_t* ierr, size_t id_len, size_t type_len) {
  *ierr = 1;
  try {
    standard_values(caller_text(id, id_len), {}, caller_text(type, type_len), *number, *npoints, {v1, v2, v3, v4, v5},
                    ierr, false);
  } catch (...) {
    *ierr = 1;
  }
}

void tkhprp_(const char* id, const char* type, int64_t* number, int64_t* npoints, const char* pname,
             const char* substream, const char* phase, const char* component, const char* basis,
             const char* flowbasis, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t type_len, size_t pname_len, size_t substream_len, size_t phase_len, size_t component_len,
             size_t basis_len, size_t flowbasis_len, size_t qname_len, size_t ulabel_len) {
  *ierr = 1;
  try {
    property_by_qualifiers(caller_text(id, id_len), {}, caller_text(type, type_len), *number, *npoints,
                           {caller_text(pname, pname_len), caller_text(substream, substream_len), caller_text(phase, phase_len),
                            caller_text(component, component_len), caller_text(basis, basis_len),
                            caller_text(flowbasis, flowbasis_len)},
                           values, TextField(qname, qname_len), TextField(ulabel, ulabel_len), ierr, false);
  } catch (...) {
    *ierr = 1;
  }
}

void tknhpr_(const char* id, const char* type, int64_t* number, int64_t* npoints, int64_t* k, char* pname,
             char* substream, char* phase, char* component, char* basis, char* flowbasis, double* values,
             char* qname, char* ulabel, int64_t* ierr, size_t id_len, size_t type_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t flowbasis_len, size_t qname_len, size_t ulabel_len) {
  *ierr = 1;
  try {
    property_by_position(caller_text(id, id_len), {}, caller_text(type, type_len), *number, *npoints, *k,
                         {TextField(pname, pname_len), TextField(substream, substream_len),
                          TextField(phase, phase_len), TextField(component, component_len),
                          TextField(basis, basis_len), TextField(flowbasis, flowbasis_len)},
                         values, TextField(qname, qname_len), TextField(ulabel, ulabel_len), ierr, false);
  } catch (...) {
    *ierr = 1;
  }
}

void tkhcid_(const char* id, const char* type, int64_t* number, int64_t* inum, char* ident, int64_t* ierr,
             size_t id_len, size_t type_len, size_t ident_len) {
  *ierr = 1;
  *inum = 0;
  TextField(ident, ident_len).fill_blank();
  try {
    FreePointerGuard guard;
    if (padded(caller_text(type, type_len), 8) != padded("ICSTREAM", 8)) return;
    if (locate(caller_text(id, id_len), {}, "ICSTREAM", *number, false) == nullptr) return;
    // The identifiers of the intermediate-stream curves, one value per
    // curve number.
    const Block b = block_path(caller_text(id, id_len));
    const DatasetAnswer a = lookup_dataset(b.path("ICH_HCUI"));
    if (*number < 1 || *number > a.ndata) return;
    if (b.model == "LINKEDCO") *inum = a.int_value(*number);
    else TextField(ident, ident_len).assign(a.text_value(*number).substr(0, 8));
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tknhcr_(const char* id, int64_t* n, size_t id_len) {
  *n = 0;
  try {
    *n = count_curves(id, id_len, true);
  } catch (...) {
  }
}

void tklhcr_(const char* id, int64_t* n, char* locations, char* types, int64_t* numbers, int64_t* ierr,
             size_t id_len, size_t locations_len, size_t types_len) {
  *ierr = 1;
  try {
    list_curves(id, id_len, *n, locations, locations_len, types, types_len, numbers, ierr, true);
  } catch (...) {
    *ierr = 1;
  }
}

void tkshcr_(const char* id, const char* location, const char* type, int64_t* number, int64_t* npoints,
             int64_t* nfurther, size_t id_len, size_t location_len, size_t type_len) {
  try {
    shape_out(id, id_len, caller_text(location, location_len), type, type_len, *number, npoints, nfurther, true);
  } catch (...) {
  }
}

void tkhcur_(const char* id, const char* location, const char* type, int64_t* number, int64_t* npoints,
             double* v1, double* v2, double* v3, double* v4, double* v5, int64_t* ierr, size_t id_len,
             size_t location_len, size_t type_len) {
  *ierr = 1;
  try {
    standard_values(caller_text(id, id_len), caller_text(location, location_len), caller_text(type, type_len), *number, *npoints,
                    {v1, v2, v3, v4, v5}, ierr, true);
  } catch (...) {
    *ierr = 1;
  }
}

void tkhcpr_(const char* id, const char* location, const char* type, int64_t* number, int64_t* npoints,
             const char* pname, const char* substream, const char* phase, const char* component,
             const char* basis, const char* flowbasis, double* values, char* qname, char* ulabel,
             int64_t* ierr, size_t id_len, size_t location_len, size_t type_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t flowbasis_len, size_t qname_len, size_t ulabel_len) {
  *ierr = 1;
  try {
    property_by_qualifiers(caller_text(id, id_len), caller_text(location, location_len), caller_text(type, type_len), *number,
                           *npoints,
                           {caller_text(pname, pname_len), caller_text(substream, substream_len), caller_text(phase, phase_len),
                            caller_text(component, component_len), caller_text(basis, basis_len),
                            caller_text(flowbasis, flowbasis_len)},
                           values, TextField(qname, qname_len), TextField(ulabel, ulabel_len), ierr, true);
  } catch (...) {
    *ierr = 1;
  }
}

void tknhcp_(const char* id, const char* location, const char* type, int64_t* number, int64_t* npoints,
             int64_t* k, char* pname, char* substream, char* phase, char* component, char* basis,
             char* flowbasis, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t location_len, size_t type_len, size_t pname_len, size_t substream_len, size_t phase_len,
             size_t component_len, size_t basis_len, size_t flowbasis_len, size_t qname_len,
             size_t ulabel_len) {
  *ierr = 1;
  try {
    property_by_position(caller_text(id, id_len), caller_text(location, location_len), caller_text(type, type_len), *number,
                         *npoints, *k,
                         {TextField(pname, pname_len), TextField(substream, substream_len),
                          TextField(phase, phase_len), TextField(component, component_len),
                          TextField(basis, basis_len), TextField(flowbasis, flowbasis_len)},
                         values, TextField(qname, qname_len), TextField(ulabel, ulabel_len), ierr, true);
  } catch (...) {
    *ierr = 1;
  }
}

}  // extern "C"
